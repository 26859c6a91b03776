// generate_working_db FILE [SUBJECTS [MEASUREMENTS]]: writes a working
// database for trying the lists with realistic amounts of data.
#include "WorkingDbGenerator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: generate_working_db FILE [SUBJECTS [MEASUREMENTS]]\n");
    return 2;
  }
  const int subjects = args.size() > 2 ? args.at(2).toInt() : 20000;
  const int measurements = args.size() > 3 ? args.at(3).toInt() : 500000;
  QString error;
  if (subjects <= 0 || measurements < 0 ||
      !GenerateWorkingDatabase(args.at(1), subjects, measurements, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? QStringLiteral("bad arguments") : error));
    return 1;
  }
  return 0;
}
