// Connecting, disconnecting and the command transaction, against the simulator in virtual time.
#include "link/Link.h"
#include "link/SimulatedController.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QSignalSpy>
#include <QtTest>

class TestLinkTransaction : public QObject {
  Q_OBJECT
  struct Fixture {
    explicit Fixture(quint32 startTick = 1000) : clock(startTick) {}
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    SimulatedInstrument sim{clock};
    Link &link() { return ctx.link(); }
    void connect() {
      sim.plugInto(ctx);
      QVERIFY(link().isConnected());
      sim.clearTrace();
    }
  };

private slots:
  void connectingBeforeTheFirstActivationShowsNoBalloon() {
    Fixture f;
    QSignalSpy changed(&f.link(), &Link::connectedChanged);
    f.sim.plugInto(f.ctx);
    QVERIFY(f.link().isConnected());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.ctx.tray.image, 14);
    QVERIFY(f.ctx.tray.hint.endsWith(QStringLiteral(" is on-line.")));
    QCOMPARE(f.ctx.tray.balloonCount, 0);
    // The connection reads the identity and, on newer hardware, both references.
    QCOMPARE(f.sim.commands(), QStringList({"R0000", "R0100", "R0200", "R0300", "R0400", "R0500", "R0B00",
                                            "R0C00", "R0900", "R0A00"}));
  }

  void removalAndArrivalAfterTheFirstActivation() {
    Fixture f;
    f.connect();
    f.ctx.FirstActivation = false;
    QSignalSpy changed(&f.link(), &Link::connectedChanged);

    f.sim.unplug();
    f.clock.advance(1);
    QVERIFY(!f.link().isConnected());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toBool(), false);
    QCOMPARE(f.ctx.tray.image, 15);
    QVERIFY(f.ctx.tray.hint.endsWith(QStringLiteral(" is off-line !!")));
    QCOMPARE(f.ctx.tray.balloonIcon, TrayState::Error);
    QVERIFY(f.ctx.tray.balloonText.endsWith(QStringLiteral(" 已中断联机！")));
    QVERIFY(f.ctx.tray.balloonTitle.endsWith(QStringLiteral(" Information")));
    QCOMPARE(f.ctx.tray.balloonMs, 10000);

    f.sim.plugIn();
    f.clock.advance(1);
    QVERIFY(f.link().isConnected());
    QCOMPARE(f.ctx.tray.image, 14);
    QCOMPARE(f.ctx.tray.balloonIcon, TrayState::Information);
    QVERIFY(f.ctx.tray.balloonText.endsWith(QStringLiteral(" 已联机")));
    QCOMPARE(f.ctx.tray.balloonCount, 2);
  }

  void aSecondDeviceChangesNothing() {
    Fixture f;
    f.connect();
    f.ctx.FirstActivation = false;
    HidDevice *first = f.link().instrument();
    SimulatedInstrument second(f.clock);
    second.plugIn(f.sim.controller());
    f.clock.advance(1);
    QCOMPARE(f.link().instrument(), first);
    QCOMPARE(f.ctx.tray.balloonCount, 0);
    QVERIFY(!second.isTaken());
    second.unplug();
    f.clock.advance(1);
    QVERIFY(f.link().isConnected());
    f.link().SendIdle();
    QCOMPARE(f.sim.commands(), QStringList{"X0000"});
    QVERIFY(second.commands().isEmpty());
  }

  void noInstrumentSendsNothing() {
    Fixture f;
    QVERIFY(!f.link().SendCommand(QStringLiteral("X0000")));
    QVERIFY(f.link().lastReply().isEmpty());
    QVERIFY(!f.link().replyReady());
    QCOMPARE(f.clock.virtualMs(), 0);
  }

  void rejections_data() {
    QTest::addColumn<int>("z0000");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("attempts");
    QTest::newRow("accepted at once") << 0 << true << 1;
    QTest::newRow("accepted at the third attempt") << 2 << true << 3;
    QTest::newRow("Z0000 three times") << 3 << false << 3;
  }
  void rejections() {
    QFETCH(int, z0000);
    QFETCH(bool, result);
    QFETCH(int, attempts);
    Fixture f;
    f.connect();
    f.sim.replyZ0000(z0000);
    const qint64 t0 = f.clock.virtualMs();
    QCOMPARE(f.link().SendCommand(QStringLiteral("L0000")), result);
    QCOMPARE(f.link().replyReady(), result);
    QCOMPARE(f.link().lastReply(), result ? QStringLiteral("L0000") : QString());
    QCOMPARE(f.sim.commands().size(), attempts);
    // A rejection is retried at once, not after the rest of the 100 ms.
    QVERIFY(f.clock.virtualMs() - t0 < 100);
  }

  void statusReplyPassesThrough() {
    Fixture f;
    f.connect();
    f.sim.injectReplyText(QStringLiteral("Z0001"));
    QVERIFY(f.link().SendCommand(QStringLiteral("D0000")));
    QCOMPARE(f.link().lastReply(), QStringLiteral("Z0001"));
  }

  void reportFollowsTheDeclaredLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("report");
    QTest::newRow("9") << 9 << QByteArray::fromHex("00453C333A35202020");
    QByteArray long80(80, ' ');
    long80[0] = 0;
    long80.replace(1, 5, QByteArray::fromHex("453C333A35"));
    QTest::newRow("80, sent whole") << 80 << long80;
  }
  void reportFollowsTheDeclaredLength() {
    QFETCH(int, length);
    QFETCH(QByteArray, report);
    Fixture f;
    f.sim.setReportLengths(length, length);
    f.connect();
    f.link().SendCommand(QStringLiteral("D0000"));
    QCOMPARE(f.sim.lastReport(), report);
    QVERIFY(f.link().replyReady());
  }

  void silenceWaitsHundredMillisecondsPerAttempt_data() {
    QTest::addColumn<quint32>("startTick");
    QTest::newRow("plain") << quint32(1000);
    QTest::newRow("tick wraps inside the first wait") << quint32(0xFFFFFFFFu - 40);
    QTest::newRow("tick wraps inside the last wait") << quint32(0xFFFFFFFFu - 250);
  }
  void silenceWaitsHundredMillisecondsPerAttempt() {
    QFETCH(quint32, startTick);
    Fixture f(startTick);
    f.connect();
    f.sim.setSilent(true);
    const qint64 t0 = f.clock.virtualMs();
    QVERIFY(!f.link().SendCommand(QStringLiteral("X0000")));
    QCOMPARE(f.clock.virtualMs() - t0, 300);
    QCOMPARE(f.sim.commands().size(), 3);
    QVERIFY(f.link().lastReply().isEmpty());
  }

  void failedWritesFlushPauseAndRetry() {
    Fixture f;
    f.connect();
    f.sim.failWrites(2);
    const qint64 t0 = f.clock.virtualMs();
    QVERIFY(f.link().SendCommand(QStringLiteral("K0001")));
    QCOMPARE(f.link().lastReply(), QStringLiteral("K0001"));
    QVERIFY(f.clock.virtualMs() - t0 >= 200);
    f.sim.failWrites(3);
    QVERIFY(!f.link().SendCommand(QStringLiteral("K0001")));
    QVERIFY(f.link().lastReply().isEmpty());
  }

  void removalDuringTheWaitEndsTheTransaction() {
    Fixture f;
    f.connect();
    f.ctx.FirstActivation = false;
    f.sim.unplugDuringNextWait(30);
    const qint64 t0 = f.clock.virtualMs();
    QVERIFY(!f.link().SendCommand(QStringLiteral("D0000")));
    QVERIFY(!f.link().isConnected());
    QCOMPARE(f.sim.commands().size(), 1); // no further attempt
    QVERIFY(f.clock.virtualMs() - t0 < 100);
    QVERIFY(f.ctx.tray.balloonText.endsWith(QStringLiteral(" 已中断联机！")));
    QCOMPARE(f.link().ReadProbe(), 0);
  }

  void nestedSendCommandIsRefused() {
    Fixture f;
    f.connect();
    f.sim.touch(0x123);
    bool nestedResult = true;
    QString nestedReply = QStringLiteral("untouched");
    // An event handler that runs inside the outer wait (latency 10 ms).
    f.clock.callAfter(5, &f.ctx, [&] {
      nestedResult = f.link().SendCommand(QStringLiteral("S8863"));
      nestedReply = f.link().lastReply();
    });
    QVERIFY(f.link().SendCommand(QStringLiteral("D0000")));
    QVERIFY(!nestedResult);
    QVERIFY(nestedReply.isEmpty());
    QCOMPARE(f.link().lastReply(), QStringLiteral("D0123"));
    QCOMPARE(f.sim.commands(), QStringList{"D0000"});
  }

  void malformedRepliesReadAsNothing_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("garbage") << QByteArray("\x01\xfe\x80", 3);
    QTest::newRow("empty report") << QByteArray();
    QTest::newRow("blanks") << QByteArray("        ");
  }
  void malformedRepliesReadAsNothing() {
    QFETCH(QByteArray, data);
    Fixture f;
    f.connect();
    f.sim.touch(2000);
    f.sim.injectReply(data);
    QCOMPARE(f.link().ReadProbe(), 0);
    QCOMPARE(f.link().ReadProbe(), 2000); // the next reply is sound again
  }

  void reinstallingReleasesAndReconnects() {
    Fixture f;
    f.connect();
    f.link().InstallDeviceChangeHandler();
    QVERIFY(f.link().isConnected());
    QVERIFY(f.sim.isTaken());
    QCOMPARE(f.ctx.tray.balloonCount, 0);
  }
};

QTEST_GUILESS_MAIN(TestLinkTransaction)
#include "test_link_transaction.moc"
