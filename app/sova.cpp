#include "measure/ui/TSodec.h"
#include "shell/AppContext.h"
#include "shell/DataFolder.h"
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

  TSoForm window(ctx);
  window.setWindowFactory(TSoForm::Measure, [](AppContext &c, QWidget *parent) -> std::unique_ptr<QDialog> {
    return std::make_unique<TSodec>(c, parent);
  });
  prompter.setParent(&window);
  window.showMaximized();
  return app.exec();
}
