// The simulator's probe model and operators, driven as the measuring and calibrating code drives them.
#include "link/DemoOperator.h"
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QtTest>

class TestInstrumentSimulator : public QObject {
  Q_OBJECT
  struct Fixture {
    explicit Fixture(SimulatedInstrument::Hardware hw = SimulatedInstrument::Hardware::Newer)
        : sim(clock, hw) {
      sim.plugInto(ctx);
      sim.clearTrace();
    }
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    SimulatedInstrument sim;
    Link &link() { return ctx.link(); }
    void send(std::initializer_list<const char *> commands) {
      for (const char *c : commands)
        link().SendCommand(QString::fromLatin1(c));
    }
    // Reads until the reading is above (or, with above false, at most) threshold; returns the
    // virtual milliseconds it took, or -1 after limitMs.
    qint64 readUntil(bool above, int threshold, int limitMs = 10000) {
      const qint64 t0 = clock.virtualMs();
      while (clock.virtualMs() - t0 < limitMs) {
        const int r = link().ReadProbe();
        if (above ? r > threshold : r <= threshold)
          return clock.virtualMs() - t0;
      }
      return -1;
    }
  };

private slots:
  void scriptedContactFollowsTheWaitingPhase() {
    Fixture f;
    f.sim.queueContacts({ProbeContact{.level = 1200, .noise = 10, .delayMs = 500, .holdMs = 3000}});
    QCOMPARE(f.link().ReadProbe(), 0);
    f.send({"F007F", "C0000"});
    QCOMPARE(f.sim.phase(), SimPhase::WaitingForTouch);
    const qint64 touchedAfter = f.readUntil(true, 20);
    QVERIFY(touchedAfter >= 480 && touchedAfter <= 540);
    for (int i = 0; i < 50; ++i) {
      const int r = f.link().ReadProbe();
      QVERIFY2(r >= 1190 && r <= 1210, qPrintable(QString::number(r)));
    }
    f.send({"C007F", "F0000"});
    QCOMPARE(f.sim.phase(), SimPhase::Reading);
    const qint64 liftedAfter = f.readUntil(false, 20);
    QVERIFY(liftedAfter > 2000 && liftedAfter < 3100);
  }

  void contactLossAndHoldUntilTaken() {
    Fixture f;
    f.sim.queueContacts({ProbeContact{
        .level = 800, .delayMs = 100, .holdMs = -1, .liftDelayMs = 400, .losses = {{1000, 60}}}});
    f.send({"F007F", "C0000"});
    f.readUntil(true, 20);
    const qint64 lost = f.readUntil(false, 20);
    QVERIFY(lost >= 900 && lost <= 1100);
    QVERIFY(f.readUntil(true, 20) <= 80);
    // Held until the point is taken, then lifted after the lift delay.
    QCOMPARE(f.readUntil(false, 20, 5000), -1);
    f.send({"F00FF", "C0000"});
    const qint64 lifted = f.readUntil(false, 20);
    QVERIFY(lifted >= 380 && lifted <= 440);
  }

  void scriptedProbeFault() {
    Fixture f;
    f.sim.queueContacts(
        {ProbeContact{.level = 900, .delayMs = 0, .holdMs = 2000, .faultAtMs = 500, .faultForMs = 100}});
    f.send({"F007F", "C0000"});
    f.readUntil(true, 20);
    QCOMPARE(f.readUntil(false, 1, 2000) >= 480, true); // the fault reads as 1
    QVERIFY(f.link().probeFaultShown());
    QVERIFY(f.ctx.tray.balloonVisible);
    QVERIFY(f.readUntil(true, 1, 200) >= 0);
    QVERIFY(!f.link().probeFaultShown());
    QVERIFY(!f.ctx.tray.balloonVisible);
  }

  void calibrationReadingFollowsTheGain() {
    Fixture f;
    f.send({"X0000", "N0000", "K0001", "L0000"});
    f.sim.touch(3900);
    f.link().SendCommand(QStringLiteral("G0014")); // 20
    QCOMPARE(f.link().ReadProbe(), 3900);
    f.link().SendCommand(QStringLiteral("G0019")); // 25
    QCOMPARE(f.link().ReadProbe(), 3900 + 5 * f.sim.gainSlope());
    QCOMPARE(f.link().ReadRegister(0x0E), QStringLiteral("19"));
    // Outside a calibration the contact reads its plain level.
    f.link().SendIdle();
    QCOMPARE(f.link().ReadProbe(), 3900);
  }

  void olderHardwareCalibratesAtAFixedLevel() {
    Fixture f(SimulatedInstrument::Hardware::Older);
    QVERIFY(!f.link().info().NewerHardware);
    f.send({"X0000", "N0000", "K0001", "L0000"});
    f.sim.touch(3000);
    f.link().SendCommand(QStringLiteral("G0030"));
    QCOMPARE(f.link().ReadProbe(), 3000);
  }

  void unknownCommandsAreRefused() {
    Fixture f;
    QVERIFY(!f.link().SendCommand(QStringLiteral("Q0000")));
    QVERIFY(!f.link().SendCommand(QStringLiteral("D00")));
    QCOMPARE(f.sim.replies(), QStringList({"Z0000", "Z0000", "Z0000", "Z0000", "Z0000", "Z0000"}));
  }

  void demoOperatorMeasuresEveryPoint() {
    Fixture f;
    auto demo = std::make_unique<DemoOperator>(7);
    const auto profile = demo->profile();
    f.sim.setOperator(std::move(demo));
    const double cpu = f.link().info().StandardReference / 200.0;
    f.send({"X0000", "L0000", "I0000", "K0001"});
    for (int position = 1; position <= 24; ++position) {
      f.send({"F007F", "C0000"});
      QVERIFY(f.readUntil(true, cpu, 5000) >= 0);
      f.send({"C007F", "F0000"});
      double sum = 0;
      int n = 0;
      const qint64 t0 = f.clock.virtualMs();
      while (f.clock.virtualMs() - t0 < 2500) {
        const int r = f.link().ReadProbe();
        QVERIFY2(r > cpu, "the operator held the probe through the reading");
        sum += r;
        ++n;
      }
      const double ua = sum / n / cpu;
      QVERIFY(qAbs(ua - profile[position]) <= profile[position] * 0.05 + 0.5);
      QVERIFY(ua >= 8 && ua <= 180);
      f.send({"F00FF", "C0000"});
      const qint64 lifted = f.readUntil(false, cpu, 5000);
      QVERIFY(lifted >= 0 && lifted < 1500);
    }
    f.link().SendIdle();
  }

  void demoOperatorsDiffer() {
    DemoOperator a(1), b(2);
    QVERIFY(a.profile() != b.profile());
  }

  void demoOperatorCalibrates() {
    Fixture f;
    f.sim.setOperator(std::make_unique<DemoOperator>(3));
    f.send({"X0000", "N0000", "K0001", "L0000", "C0000", "F007F"});
    QVERIFY(f.readUntil(true, 1000, 5000) >= 0);
    f.send({"F007F", "C007F", "F0000", "C007F"});
    const int r = f.link().ReadProbe();
    QVERIFY(r > 3950 - 100 && r < 3950);
    f.send({"F00FF", "C0000"});
    QVERIFY(f.readUntil(false, 1000, 3000) >= 0);
  }

  void realTimeRepliesArrive() {
    // The demo's path: replies timed by the simulator's own thread and posted to this one.
    RealClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx(&clock, &prompter, &launcher);
    SimulatedInstrument sim(clock);
    sim.setLatency(1);
    sim.plugInto(ctx);
    QVERIFY(ctx.link().isConnected());
    QCOMPARE(ctx.link().info().SerialNumber, QStringLiteral("5A0611230047"));
    sim.touch(0x321);
    for (int i = 0; i < 20; ++i)
      QCOMPARE(ctx.link().ReadProbe(), 0x321);
  }
};

QTEST_GUILESS_MAIN(TestInstrumentSimulator)
#include "test_instrument_simulator.moc"
