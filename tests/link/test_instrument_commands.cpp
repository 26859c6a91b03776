// The instrument's operations: probe, registers, identity, counter, sounds.
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QtTest>

class TestInstrumentCommands : public QObject {
  Q_OBJECT
  struct Fixture {
    explicit Fixture(SimulatedInstrument::Hardware hw = SimulatedInstrument::Hardware::Newer)
        : sim(clock, hw) {}
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    SimulatedInstrument sim;
    Link &link() { return ctx.link(); }
    void connect() {
      sim.plugInto(ctx);
      sim.clearTrace();
    }
  };

private slots:
  void probeReading() {
    Fixture f;
    f.connect();
    QCOMPARE(f.link().ReadProbe(), 0); // nobody touches it
    f.sim.touch(0xABC);
    QCOMPARE(f.link().ReadProbe(), 2748);
    QCOMPARE(f.sim.replies().last(), QStringLiteral("D0ABC"));
    QCOMPARE(f.sim.commands(), QStringList({"D0000", "D0000"}));
  }

  void probeFaultBalloon() {
    Fixture f;
    f.connect();
    f.sim.touch(500);
    f.sim.setFault(true);
    QCOMPARE(f.link().ReadProbe(), 1);
    QCOMPARE(f.ctx.tray.balloonCount, 1);
    QVERIFY(f.ctx.tray.balloonVisible);
    QCOMPARE(f.ctx.tray.balloonIcon, TrayState::Error);
    QCOMPARE(f.ctx.tray.balloonMs, 10000);
    QVERIFY(f.ctx.tray.balloonText.endsWith(QStringLiteral(" 检测棒异常！请检查..")));
    QVERIFY(f.ctx.tray.balloonTitle.endsWith(QStringLiteral(" Information")));
    QVERIFY(f.link().probeFaultShown());
    f.sim.setFault(false);
    QCOMPARE(f.link().ReadProbe(), 500);
    QVERIFY(!f.ctx.tray.balloonVisible);
    QVERIFY(!f.link().probeFaultShown());
    QCOMPARE(f.ctx.tray.balloonCount, 1);
  }

  void registers() {
    Fixture f;
    f.connect();
    QCOMPARE(f.link().ReadRegister(0x0E), QStringLiteral("1D"));
    f.link().WriteRegister(0x0D, 30);
    QCOMPARE(f.sim.commands(), QStringList({"R0E00", "W0D1E"}));
    QCOMPARE(f.sim.reg(0x0D), quint8(30));
    QCOMPARE(Link::RegisterValue(QStringLiteral("1D"), 29), 0x1D);
    QCOMPARE(Link::RegisterValue(QStringLiteral("x"), 29), 29);
    QCOMPARE(Link::RegisterValue(QString(), 30), 30);
  }

  void counter() {
    Fixture f;
    f.sim.setRegister(0x06, 0x00);
    f.sim.setRegister(0x07, 0x01);
    f.sim.setRegister(0x08, 0xFF);
    f.connect();
    QCOMPARE(f.link().ReadMeasurementCounter(false), 511);
    QCOMPARE(f.link().info().MeasurementCount, 511);
    QCOMPARE(f.sim.commands(), QStringList({"R0600", "R0700", "R0800"}));
    f.sim.clearTrace();
    QCOMPARE(f.link().ReadMeasurementCounter(true), 512);
    QCOMPARE(f.sim.commands(), QStringList({"R0600", "R0700", "R0800", "W0600", "W0702", "W0800"}));
    QCOMPARE(f.sim.counter(), 512);
  }

  void counterUnreadableIsNotOverwritten() {
    Fixture f;
    f.sim.setCounter(70000);
    f.connect();
    f.sim.injectReplyText(QStringLiteral("R0601"));
    f.sim.injectReply("R0"); // the middle byte's reply is cut short
    f.sim.injectReplyText(QStringLiteral("R0870"));
    f.link().ReadMeasurementCounter(true);
    QCOMPARE(f.sim.commands(), QStringList({"R0600", "R0700", "R0800"}));
    QCOMPARE(f.sim.counter(), 70000);
  }

  void identity_data() {
    QTest::addColumn<QString>("string3");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("high");
    QTest::addColumn<QStringList>("commands");
    const QStringList serial{"R0000", "R0100", "R0200", "R0300", "R0400", "R0500"};
    QTest::newRow("newer") << "SOVA6-20051706-A02" << true << 3950 << 4010
                           << serial + QStringList{"R0B00", "R0C00", "R0900", "R0A00"};
    QTest::newRow("newer, trailing blanks") << "SOVA6-20051706-A02   " << true << 3950 << 4010
                                            << serial + QStringList{"R0B00", "R0C00", "R0900", "R0A00"};
    QTest::newRow("older: no reference reads") << "SOVA5-20040312-A01" << false << 4060 << 4060 << serial;
    QTest::newRow("empty string") << "" << false << 4060 << 4060 << serial;
  }
  void identity() {
    QFETCH(QString, string3);
    QFETCH(bool, newer);
    QFETCH(int, standard);
    QFETCH(int, high);
    QFETCH(QStringList, commands);
    Fixture f;
    f.sim.setIndexedString3(string3);
    f.sim.plugInto(f.ctx);
    const InstrumentInfo &info = f.link().info();
    QCOMPARE(info.HardwareVersion, string3.trimmed());
    QCOMPARE(info.NewerHardware, newer);
    QCOMPARE(info.SerialNumber, QStringLiteral("5A0611230047"));
    QCOMPARE(info.StandardReference, standard);
    QCOMPARE(info.HighReference, high);
    QCOMPARE(f.sim.commands(), commands);
  }

  void unreadableReferenceIsTheDefault() {
    Fixture f;
    f.sim.plugInto(f.ctx);
    f.sim.clearTrace();
    // Registers 00..05 answer; 0B answers with garbage, 0C normally.
    for (int i = 0; i < 6; ++i)
      f.sim.injectReplyText(QStringLiteral("R0%1AA").arg(i));
    f.sim.injectReply("R0B");
    f.link().ReadInstrumentInfo();
    QCOMPARE(f.link().info().SerialNumber, QStringLiteral("AAAAAAAAAAAA"));
    QCOMPARE(f.link().info().StandardReference, 4060);
    QCOMPARE(f.link().info().HighReference, 4010);
  }

  void informationSurvivesDisconnection() {
    Fixture f;
    f.sim.plugInto(f.ctx);
    f.sim.unplug();
    f.clock.advance(1);
    QVERIFY(!f.link().isConnected());
    QCOMPARE(f.link().info().StandardReference, 3950);
    QCOMPARE(f.link().info().SerialNumber, QStringLiteral("5A0611230047"));
  }

  void sounds_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("0") << 0 << QStringList();
    QTest::newRow("1") << 1 << QStringList{"S8863"};
    QTest::newRow("2") << 2 << QStringList{"S885E", "S8862"};
    QTest::newRow("3") << 3 << QStringList{"S5662", "S8960"};
    QTest::newRow("4") << 4 << QStringList{"SB660"};
    QTest::newRow("5") << 5 << QStringList{"S6862"};
    QTest::newRow("6") << 6 << QStringList{"S6864", "S4F62"};
    QTest::newRow("7") << 7 << QStringList{"SD05D"};
    QTest::newRow("8") << 8 << QStringList{"SA060"};
    QTest::newRow("9") << 9 << QStringList{"SD05D"};
    QTest::newRow("10") << 10 << QStringList{"SAB5D"};
    QTest::newRow("11") << 11 << QStringList{"S905D"};
    QTest::newRow("12") << 12 << QStringList{"S685D"};
    QTest::newRow("13") << 13 << QStringList{"SC040"};
    QTest::newRow("14") << 14 << QStringList();
    QTest::newRow("-1") << -1 << QStringList();
  }
  void sounds() {
    QFETCH(int, n);
    QFETCH(QStringList, commands);
    Fixture f;
    f.connect();
    f.link().Sound(n);
    QCOMPARE(f.sim.sounds(), commands);
    QCOMPARE(f.sim.commands(), commands);
  }

  void idle() {
    Fixture f;
    f.connect();
    f.link().SendIdle();
    QCOMPARE(f.sim.commands(), QStringList{"X0000"});
  }
};

QTEST_GUILESS_MAIN(TestInstrumentCommands)
#include "test_instrument_commands.moc"
