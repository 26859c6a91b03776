// Headless tool on the engine library alone.
#include "cli/Commands.h"

#include <QCoreApplication>
#include <QString>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments().mid(1);
  int count = 0;
  const CliCommand *commands = CliCommands(&count);
  if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
    QString usage = QStringLiteral("usage: sova-cli COMMAND [OPTIONS]\n\ncommands:\n");
    for (int i = 0; i < count; ++i)
      usage += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(commands[i].name), -12).arg(QString::fromUtf8(commands[i].summary));
    CliPrint(usage);
    return args.isEmpty() ? 2 : 0;
  }
  const QString name = args.takeFirst();
  for (int i = 0; i < count; ++i)
    if (name == QLatin1String(commands[i].name))
      return commands[i].run(args);
  return CliUsageError(QStringLiteral("unknown command '%1'").arg(name));
}
