#pragma once
// sova-cli commands: each lives in a file of its own and is listed in Commands.cpp.
#include <QStringList>
#include <cstdio>

struct CliCommand {
  const char *name;
  const char *summary;
  int (*run)(const QStringList &args); // args after the command name
};

const CliCommand *CliCommands(int *count);

// A one-line message on standard error and exit status 2.
int CliUsageError(const QString &message);
void CliPrint(const QString &text); // UTF-8 to standard output
