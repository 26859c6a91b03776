// The demonstration end to end in virtual time: the measurement run on the
// link, the simulator and its demo operator; every point is taken in one go.
#include "link/DemoOperator.h"
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "measure/LinkInstrument.h"
#include "measure/MeasurementRun.h"
#include "measure/MeasurementView.h"
#include "measure/RunInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QtTest>

class TestDemoMeasurement : public QObject {
  Q_OBJECT
private slots:
  void demoOperatorTakesEveryPoint_data() {
    QTest::addColumn<quint32>("seed");
    QTest::newRow("subject 1") << quint32(1);
    QTest::newRow("subject 2") << quint32(77);
  }
  void demoOperatorTakesEveryPoint() {
    QFETCH(quint32, seed);
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx(&clock, &prompter, &launcher);
    ctx.SystemReady = true;
    SimulatedInstrument sim(clock);
    sim.plugInto(ctx);
    auto demo = std::make_unique<DemoOperator>(seed);
    const auto profile = demo->profile();
    sim.setOperator(std::move(demo));

    MeasurementView view;
    const auto instrument = MakeLinkInstrument(ctx.link());
    MeasurementRun run(ctx, *instrument, view);
    run.RunMeasurement();

    QVERIFY2(prompter.questions().isEmpty(), "the operator lifted the probe in time at every point");
    for (int p = 1; p <= 24; ++p) {
      const int slot = ctx.model.PositionSlot[p];
      const double v = ctx.CurrentMeasurement.PointValue[slot];
      QVERIFY2(qAbs(v - profile[p]) <= profile[p] * 0.05 + 0.5,
               qPrintable(QStringLiteral("position %1: %2 for %3").arg(p).arg(v).arg(profile[p])));
    }
    QCOMPARE(sim.commands().last(), QStringLiteral("X0000"));
  }
};

QTEST_GUILESS_MAIN(TestDemoMeasurement)
#include "test_demo_measurement.moc"
