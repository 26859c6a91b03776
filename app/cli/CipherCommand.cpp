// sova-cli cipher encode|decode --key N [TEXT]: the key-string cipher on UTF-8
// text (GBK bytes inside). Without TEXT standard input is read; decode then
// takes it line by line, so a whole settings file can be piped in.
#include "cli/Commands.h"
#include "shell/Cipher.h"

#include <QFile>

namespace {
QString readStandardInput() {
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly))
    return QString();
  QString text = QString::fromUtf8(in.readAll());
  if (text.endsWith(u'\n'))
    text.chop(1);
  if (text.endsWith(u'\r'))
    text.chop(1);
  return text;
}
} // namespace

int RunCipherCommand(const QStringList &args) {
  const QString usage = QStringLiteral("usage: sova-cli cipher encode|decode --key N [TEXT]");
  if (args.isEmpty() || (args.first() != u"encode" && args.first() != u"decode"))
    return CliUsageError(usage);
  const bool encode = args.first() == u"encode";
  QStringList rest = args.mid(1);
  int key = 0;
  std::optional<QString> text;
  while (!rest.isEmpty()) {
    const QString a = rest.takeFirst();
    QString keyText;
    if (a == u"--key" && !rest.isEmpty())
      keyText = rest.takeFirst();
    else if (a.startsWith(u"--key="))
      keyText = a.mid(6);
    else if (!text && !a.startsWith(u"--"))
      text = a;
    else
      return CliUsageError(usage);
    if (!keyText.isNull()) {
      bool ok = false;
      key = keyText.toInt(&ok);
      if (!ok || key < 1 || key > 7)
        return CliUsageError(QStringLiteral("the key number must be 1 to 7"));
    }
  }
  if (key == 0)
    return CliUsageError(usage);
  const bool fromInput = !text.has_value();
  const QString input = fromInput ? readStandardInput() : *text;

  if (encode) {
    CliPrint(EncipherText(input, key) + u'\n');
    return 0;
  }
  const QStringList lines = fromInput ? input.split(u'\n') : QStringList{input};
  QString out;
  for (int i = 0; i < lines.size(); ++i) {
    const std::optional<QString> plain = DecipherText(lines.at(i).trimmed(), key);
    if (!plain)
      return CliUsageError(lines.size() > 1
                               ? QStringLiteral("line %1 is not valid enciphered text").arg(i + 1)
                               : QStringLiteral("not valid enciphered text"));
    out += *plain + u'\n';
  }
  CliPrint(out);
  return 0;
}
