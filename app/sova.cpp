#include "shell/AppContext.h"
#include "shell/DataFolder.h"
#include "shell/ui/AbortBox.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/MessagePrompter.h"

#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("sova"));
  QApplication::setApplicationDisplayName(QStringLiteral("Kelvor So-10"));

  MessagePrompter prompter;
  AppContext ctx(nullptr, &prompter);
  ctx.dataFolder = ResolveDataFolder(QApplication::arguments());
  prompter.setClock(&ctx.clock());

  TSoForm window(ctx);
  prompter.setParent(&window);
  TAbortBox abortBox(ctx.printJob, &window); // shows itself while a report prints
  window.showMaximized();
  return app.exec();
}
