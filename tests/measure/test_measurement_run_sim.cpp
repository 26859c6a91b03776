// Whole measurement runs through the link against the instrument simulator,
// in virtual time.
#include "link/DemoOperator.h"
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "measure/LinkInstrument.h"
#include "measure/MeasurementRun.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QtTest>

namespace {
struct Fixture {
  VirtualClock clock;
  ScriptedPrompter prompter;
  RecordingLauncher launcher;
  AppContext ctx{&clock, &prompter, &launcher};
  SimulatedInstrument sim;
  std::unique_ptr<RunInstrument> inst;
  MeasurementView view;
  std::unique_ptr<MeasurementRun> run;
  explicit Fixture(SimulatedInstrument::Hardware hw = SimulatedInstrument::Hardware::Newer) : sim(clock, hw) {
    ctx.SystemReady = true;
    ctx.settings.SoundMode = 0;
    sim.setReferences(4000, 4000);
    sim.plugInto(ctx);
    inst = MakeLinkInstrument(ctx.link());
    run = std::make_unique<MeasurementRun>(ctx, *inst, view);
  }
  // Contacts held until the point is taken, lifted 200 ms later.
  void contacts(int n, int level, int noise = 0) {
    QList<ProbeContact> list;
    for (int i = 0; i < n; ++i)
      list.append(ProbeContact{.level = level, .noise = noise, .holdMs = -1});
    sim.queueContacts(list);
  }
  QStringList commandsWithoutSounds() const {
    QStringList out;
    for (const QString &c : sim.commands()) {
      if (c.startsWith(u'S'))
        continue;
      if (c == u"D0000" && !out.isEmpty() && out.last() == u"D")
        continue;
      out.append(c == u"D0000" ? QStringLiteral("D") : c);
    }
    return out;
  }
};
} // namespace

class TestMeasurementRunSim : public QObject {
  Q_OBJECT
private slots:
  void demoOperatorMeasuresEveryPoint() {
    Fixture f;
    f.sim.setOperator(std::make_unique<DemoOperator>(7));
    const DemoOperator *demo = static_cast<const DemoOperator *>(f.sim.simOperator());
    f.sim.clearTrace();
    f.run->RunMeasurement();
    const Measurement &m = f.ctx.CurrentMeasurement;
    QCOMPARE(m.PointsTaken, 24);
    for (int p = 1; p <= 24; ++p) {
      const int k = f.ctx.model.PositionSlot[p];
      // The operator's subject within the 2 % it varies a touch by, plus the probe's noise.
      QVERIFY2(qAbs(m.PointValue[k] - demo->profile()[p]) <= demo->profile()[p] * 0.03 + 0.5,
               qPrintable(QStringLiteral("position %1: %2 vs %3").arg(p).arg(m.PointValue[k]).arg(demo->profile()[p])));
      QVERIFY(m.Stability[k] > 90 && m.Stability[k] <= 100);
    }
    QStringList expected{"X0000", "L0000", "I0000", "K0001"};
    for (int p = 1; p <= 24; ++p)
      expected << "F007F" << "C0000" << "D" << "C007F" << "F0000" << "D" << "F00FF" << "C0000" << "D";
    expected << "X0000";
    QCOMPARE(f.commandsWithoutSounds(), expected);
    // A run of 24 points takes about two minutes of the instrument's time.
    QVERIFY(f.clock.virtualMs() > 24 * 3000 && f.clock.virtualMs() < 24 * 8000);
  }

  void steadyContactIsFiftyMicroamps() {
    Fixture f;
    f.contacts(24, 1000);
    f.run->RunMeasurement();
    for (int k = 1; k <= 24; ++k) {
      QCOMPARE(f.ctx.CurrentMeasurement.PointValue[k], 50.0);
      QCOMPARE(f.ctx.CurrentMeasurement.Stability[k], 100.0);
    }
  }

  void soundSignals_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("perPoint");
    QTest::addColumn<QStringList>("lastPoint");
    QTest::newRow("silent") << 0 << QStringList{} << QStringList{};
    QTest::newRow("standard") << 1 << QStringList{"SB660", "SB660", "SB660", "SB660", "SB660", "S6862"}
                              << QStringList{"SB660", "SB660", "SB660", "SB660", "SB660", "S6864", "S4F62"};
    QTest::newRow("single tone") << 2 << QStringList{"SC040", "SB660"} << QStringList{"SC040", "SB660", "S6862"};
  }
  void soundSignals() {
    QFETCH(int, mode);
    QFETCH(QStringList, perPoint);
    QFETCH(QStringList, lastPoint);
    Fixture f;
    f.ctx.settings.SoundMode = mode;
    f.contacts(24, 1000);
    f.sim.clearTrace();
    f.run->RunMeasurement();
    QStringList expected;
    for (int p = 1; p <= 23; ++p)
      expected += perPoint;
    expected += lastPoint;
    QCOMPARE(f.sim.sounds(), expected);
  }

  void releaseTimeoutAsksAtOtherPositionsOnly() {
    Fixture f;
    // The operator keeps the probe on positions 3 and 24 for 8 s.
    QList<ProbeContact> list;
    for (int p = 1; p <= 24; ++p)
      list.append(ProbeContact{.level = 1000, .holdMs = (p == 3 || p == 24) ? 8000 : -1});
    f.sim.queueContacts(list);
    f.sim.clearTrace();
    f.run->RunMeasurement();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 3);
    QCOMPARE(f.prompter.questions().at(0).text, QStringLiteral("测量时间过长！是否继续检测？"));
    QCOMPARE(f.sim.sounds().count(QStringLiteral("S5662")), 1);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 24);
  }

  void probeSlipsDuringSampling() {
    Fixture f;
    // Position 1: lifted 60 ms (a few readings) 1.5 s after the touch; the
    // operator touches anew when the program waits for the point again.
    QList<ProbeContact> list{ProbeContact{.level = 1000, .holdMs = -1, .losses = {{1500, 60}}}};
    for (int p = 1; p <= 24; ++p)
      list.append(ProbeContact{.level = 1000, .holdMs = -1});
    f.sim.queueContacts(list);
    f.sim.clearTrace();
    f.run->RunMeasurement();
    // The attempt started again: one more contact phase than points.
    QCOMPARE(f.sim.commands().count(QStringLiteral("C007F")), 25);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 24);
  }

  void probeFaultShowsTheNoticeAndTheRunGoesOn() {
    Fixture f;
    // A fault of 100 ms while position 1 is sampled reads as a lost contact:
    // the point is measured again.
    f.contacts(25, 1000);
    f.clock.callAfter(1500, nullptr, [&] { f.sim.setFault(true); });
    f.clock.callAfter(1600, nullptr, [&] { f.sim.setFault(false); });
    f.run->RunMeasurement();
    QVERIFY(f.ctx.tray.balloonCount >= 1);
    QVERIFY(!f.ctx.tray.balloonVisible); // hidden again by the next good reading
    QCOMPARE(f.sim.commands().count(QStringLiteral("C007F")), 25);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 24);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 50.0);
  }

  void referencesOfTheHardware_data() {
    QTest::addColumn<bool>("newer");
    QTest::addColumn<double>("value");
    QTest::newRow("newer: its own reference 5000") << true << 40.0;
    QTest::newRow("older: the settings' 4000") << false << 50.0;
  }
  void referencesOfTheHardware() {
    QFETCH(bool, newer);
    QFETCH(double, value);
    Fixture f(newer ? SimulatedInstrument::Hardware::Newer : SimulatedInstrument::Hardware::Older);
    f.sim.setReferences(5000, 5200);
    f.ctx.link().ReadInstrumentInfo();
    f.contacts(1, 1000);
    f.clock.callAfter(4000, nullptr, [&] { f.run->RequestStop(); });
    f.run->RunMeasurement();
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], value);
    QCOMPARE(f.ctx.NormalFullScale, newer ? 5000 : 4000);
    QCOMPARE(f.ctx.HighFullScale, newer ? 5200 : 4000);
  }

  void unpluggedWhileWaitingEndsTheRun() {
    Fixture f;
    f.contacts(2, 1000);
    f.clock.callAfter(9000, nullptr, [&] { f.sim.unplug(); });
    f.run->RunMeasurement();
    QVERIFY(!f.run->isRunning());
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 2);
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 6);
  }
};

QTEST_GUILESS_MAIN(TestMeasurementRunSim)
#include "test_measurement_run_sim.moc"
