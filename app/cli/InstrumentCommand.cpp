// sova-cli instrument: finds the instrument, connects as the program does and
// prints what the link reads at connection; tells a missing device from one
// that is there but cannot be opened (no udev rule).
#include "cli/Commands.h"
#include "link/HidapiController.h"
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

int InstrumentCommand(const QStringList &args) {
  bool simulate = false, json = false, counter = false;
  for (const QString &a : args) {
    if (a == u"--simulate")
      simulate = true;
    else if (a == u"--json")
      json = true;
    else if (a == u"--counter")
      counter = true;
    else
      return CliUsageError(QStringLiteral("instrument: unknown option '%1'").arg(a));
  }

  RealClock clock;
  AppContext ctx(&clock);
  std::unique_ptr<HidapiController> hid;
  std::unique_ptr<SimulatedInstrument> sim;
  int seen = 0;
  if (simulate) {
    sim = std::make_unique<SimulatedInstrument>(clock);
    sim->setLatency(2);
    sim->plugInto(ctx);
  } else {
    hid = std::make_unique<HidapiController>();
    for (const HidDeviceInfo &d : hid->enumerate())
      if (d.vendorId == LinkProtocol::kVendorId && d.productId == LinkProtocol::kProductId)
        ++seen;
    ctx.link().setController(hid.get());
    ctx.link().InstallDeviceChangeHandler();
  }

  Link &link = ctx.link();
  if (!link.isConnected()) {
    if (seen > 0)
      std::fprintf(stderr,
                   "sova-cli: the instrument is plugged in but cannot be opened; install the udev rule "
                   "(packaging/70-sova-instrument.rules) and plug it in again\n");
    else
      std::fprintf(stderr, "sova-cli: no instrument (USB 2F68:39D4) found\n");
    return 1;
  }
  if (counter)
    link.ReadMeasurementCounter(false);
  const InstrumentInfo &info = link.info();
  if (json) {
    QJsonObject o{{"HardwareVersion", info.HardwareVersion},
                  {"NewerHardware", info.NewerHardware},
                  {"SerialNumber", info.SerialNumber},
                  {"StandardReference", info.StandardReference},
                  {"HighReference", info.HighReference}};
    if (counter)
      o.insert(QStringLiteral("MeasurementCount"), info.MeasurementCount);
    CliPrint(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
  } else {
    QString text =
        QStringLiteral("Hardware Ver: %1%2\nSerial Num:   %3\nReferences:   %4 standard, %5 high\n")
            .arg(info.HardwareVersion, info.NewerHardware ? QStringLiteral(" (newer)") : QString(),
                 info.SerialNumber)
            .arg(info.StandardReference)
            .arg(info.HighReference);
    if (counter)
      text += QStringLiteral("Measurements: %1\n").arg(info.MeasurementCount);
    CliPrint(text);
  }
  link.SendIdle();
  return 0;
}
