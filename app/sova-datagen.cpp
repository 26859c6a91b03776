// Build tool: turns the content sources under data/ into the delivered files
// (reference, programme and template databases, point pictures, the balance
// chart background) and can lay the pictures out on contact sheets.
#include "reference/DeliveredData.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv) {
  // Painting text needs a font database, so a GUI application without a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Generates the So-10 delivered data files."));
  parser.addHelpOption();
  const QCommandLineOption source(QStringLiteral("source"), QStringLiteral("content sources folder (data/)"),
                                  QStringLiteral("dir"));
  const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("output folder"), QStringLiteral("dir"));
  const QCommandLineOption sheet(QStringLiteral("contact-sheet"),
                                 QStringLiteral("also write contact sheets NAME-1.png ... (pictures)"),
                                 QStringLiteral("name"));
  parser.addOptions({source, out, sheet});
  parser.process(app);
  QString error;
  if (parser.isSet(out)) {
    if (!parser.isSet(source)) {
      std::fprintf(stderr, "sova-datagen: --source is required with --out\n");
      return 2;
    }
    if (!GenerateDeliveredData(parser.value(source), parser.value(out), &error)) {
      std::fprintf(stderr, "sova-datagen: %s\n", error.toUtf8().constData());
      return 1;
    }
  }
  if (parser.isSet(sheet)) {
    const QStringList written = WriteContactSheets(parser.value(sheet), &error);
    if (written.isEmpty()) {
      std::fprintf(stderr, "sova-datagen: %s\n", error.toUtf8().constData());
      return 1;
    }
    for (const QString &f : written)
      std::printf("%s\n", f.toUtf8().constData());
  }
  return 0;
}
