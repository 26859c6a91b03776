#include "cli/Commands.h"

#include <QString>

int DbCheckCommand(const QStringList &args);
int AnalyzeCommand(const QStringList &args); // AnalyzeCommand.cpp
int MeasureCommand(const QStringList &args); // MeasureCommand.cpp
int InstrumentCommand(const QStringList &args); // InstrumentCommand.cpp
int RunSettingsCommand(const QStringList &args);
int RunCipherCommand(const QStringList &args);

// Each command's issue adds its line here.
static const CliCommand kCommands[] = {
    {"version", "print the program version", [](const QStringList &) {
       CliPrint(QStringLiteral("So-10 Version 6.5.0\n"));
       return 0;
     }},
    {"db-check", "check the database files: [--data-dir DIR] [FILE...]", DbCheckCommand},
    {"analyze", "analyse measurements, print the results as JSON", AnalyzeCommand},
    {"measure", "one measurement run against the simulator: --simulate [--trace] ...", MeasureCommand},
    {"instrument", "connect the instrument, print its identity: [--simulate] [--counter] [--json]", InstrumentCommand},
    {"settings", "show the settings file's 78 values: settings show [--data-dir DIR]", RunSettingsCommand},
    {"cipher", "key-string cipher: cipher encode|decode --key N [TEXT]", RunCipherCommand},
};

const CliCommand *CliCommands(int *count) {
  *count = int(sizeof(kCommands) / sizeof(kCommands[0]));
  return kCommands;
}

int CliUsageError(const QString &message) {
  std::fprintf(stderr, "sova-cli: %s\n", message.toUtf8().constData());
  return 2;
}

void CliPrint(const QString &text) {
  const QByteArray b = text.toUtf8();
  std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}
