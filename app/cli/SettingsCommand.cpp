// sova-cli settings show [--data-dir DIR]: the 78 values as the program reads
// them, one line each: number, meaning, value (as written before enciphering).
#include "cli/Commands.h"
#include "shell/DataFolder.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
// One value per output line: control characters that would break the line are
// shown escaped.
QString oneLine(QString v) {
  v.replace(u'\t', QStringLiteral("\\t"));
  v.replace(u'\r', QStringLiteral("\\r"));
  v.replace(u'\n', QStringLiteral("\\n"));
  return v;
}
} // namespace

int RunSettingsCommand(const QStringList &args) {
  if (args.isEmpty() || args.first() != u"show")
    return CliUsageError(QStringLiteral("usage: sova-cli settings show [--data-dir DIR]"));
  QStringList rest = args.mid(1);
  QString dir;
  while (!rest.isEmpty()) {
    const QString a = rest.takeFirst();
    if (a == u"--data-dir" && !rest.isEmpty())
      dir = rest.takeFirst();
    else if (a.startsWith(u"--data-dir="))
      dir = a.mid(11);
    else
      return CliUsageError(QStringLiteral("unexpected argument '%1'").arg(a));
  }
  const QString folder = dir.isEmpty() ? ResolveDataFolder({}) : WithTrailingSlash(dir);
  const QString path = SettingsFilePath(folder);

  Settings s;
  if (QFileInfo::exists(path)) {
    const SettingsReadResult r = ReadSettings(s, path);
    if (!r.ok) {
      std::fprintf(stderr, "sova-cli: %s\n", r.error.toUtf8().constData());
      return 1;
    }
    for (int n : r.replacedLines)
      std::fprintf(stderr, "sova-cli: line %d is not valid enciphered text; its rule's value is shown\n", n);
  } else {
    std::fprintf(stderr, "sova-cli: no settings file at %s; showing the defaults\n",
                 QDir::toNativeSeparators(path).toUtf8().constData());
    SetDefaultSettings(s);
  }
  const QStringList texts = SettingsLineTexts(s);
  QString out;
  for (int n = 1; n <= kSettingsLineCount; ++n)
    out += QStringLiteral("%1\t%2\t%3\n").arg(n).arg(SettingsLineMeaning(n), oneLine(texts.at(n - 1)));
  CliPrint(out);
  return 0;
}
