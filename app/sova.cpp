#include "link/DemoOperator.h"
#include "link/HidapiController.h"
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "measure/ui/TSodec.h"
#include "measure/ui/TSosave.h"
#include "reference/DeliveredData.h"
#include "shell/AppContext.h"
#include "shell/DataFolder.h"
#include "shell/ui/AboutBox.h"
#include "shell/ui/AbortBox.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/MessagePrompter.h"
#include "shell/ui/SoStatu.h"

#include <QApplication>
#include <QRandomGenerator>
#include <memory>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  // The application title; a display name would also be appended to every
  // window caption by the platform, so only the name is set.
  QApplication::setApplicationName(QStringLiteral("Kelvor So-10"));

  MessagePrompter prompter;
  AppContext ctx(nullptr, &prompter);
  ctx.dataFolder = ResolveDataFolder(QApplication::arguments());
  // As the installer would: put delivered files the data folder lacks in place.
  InstallDeliveredFiles(ctx.dataFolder);
  prompter.setClock(&ctx.clock());

  // The instrument: the simulator with a demo operator, or the real one.
  std::unique_ptr<SimulatedInstrument> simulator;
  std::unique_ptr<HidapiController> hid;
  if (QApplication::arguments().contains(QStringLiteral("--simulate"))) {
    simulator = std::make_unique<SimulatedInstrument>(ctx.clock());
    simulator->setOperator(std::make_unique<DemoOperator>(QRandomGenerator::global()->generate()));
    simulator->plugInto(ctx, false);
  } else {
    hid = std::make_unique<HidapiController>();
    ctx.link().setController(hid.get());
  }

  TSoForm window(ctx);
  window.setWindowFactory(TSoForm::Measure, [](AppContext &c, QWidget *parent) -> std::unique_ptr<QDialog> {
    auto measure = std::make_unique<TSodec>(c, parent);
    measure->setWindowFactory(TSodec::Save, [](AppContext &c2, QWidget *p) -> std::unique_ptr<QDialog> {
      return std::make_unique<TSosave>(c2, p);
    });
    return measure;
  });
  prompter.setParent(&window);
  TAbortBox abortBox(ctx.printJob, &window); // shows itself while a report prints
  window.setStartupCheck(&TSoStatu::RunCheck);
  window.setAboutFactory([](AppContext &c, QWidget *parent) { return std::make_unique<TAboutBox>(c, parent); });
  window.showMaximized();
  return app.exec();
}
