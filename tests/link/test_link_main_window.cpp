// The main window with an instrument connected: connection at creation, exit question.
#include "link/Link.h"
#include "link/SimulatedController.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/ui/MainWindow.h"

#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestLinkMainWindow : public QObject {
  Q_OBJECT
  struct Fixture {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    SimulatedInstrument sim{clock};
    Fixture() {
      ctx.dataFolder = dir.path() + u'/';
      sim.plugInto(ctx, false); // plugged in before the program starts
    }
  };

private slots:
  void creatingTheWindowConnectsWithoutBalloon() {
    Fixture f;
    TSoForm w(f.ctx);
    QVERIFY(f.ctx.link().isConnected());
    QCOMPARE(f.ctx.tray.image, 14);
    QCOMPARE(f.ctx.tray.balloonCount, 0);
    QVERIFY(f.ctx.link().info().NewerHardware);
    QCOMPARE(f.sim.commands().first(), QStringLiteral("R0000"));
  }

  void decliningTheExitQuestionKeepsRunning() {
    Fixture f;
    TSoForm w(f.ctx);
    w.setStartupCheck([](AppContext &, QWidget *) { return true; });
    w.show();
    w.FirstActivate();
    f.sim.clearTrace();
    f.prompter.answer(false);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    for (int k = 1; k <= 12; ++k)
      QVERIFY(w.toolButton(k)->isEnabled());
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 2);
    QCOMPARE(f.prompter.questions()[0].text, QStringLiteral("您确定要结束本系统吗?"));
    QCOMPARE(f.sim.commands(), QStringList({"S885E", "S8862"}));
  }

  void agreeingSendsTheWarningSoundThenIdle() {
    Fixture f;
    TSoForm w(f.ctx);
    w.setStartupCheck([](AppContext &, QWidget *) { return true; });
    w.show();
    w.FirstActivate();
    f.sim.clearTrace();
    f.prompter.answer(true);
    QVERIFY(w.close());
    QCOMPARE(f.sim.commands(), QStringList({"S885E", "S8862", "X0000"}));
    QVERIFY(!w.toolButton(1)->isEnabled());
  }

  void instrumentPluggedInLaterShowsTheBalloon() {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx(&clock, &prompter, &launcher);
    ctx.dataFolder = dir.path() + u'/';
    SimulatedInstrument sim(clock);
    ctx.link().setController(&sim.controller());
    TSoForm w(ctx);
    w.setStartupCheck([](AppContext &, QWidget *) { return true; });
    w.FirstActivate();
    QVERIFY(!ctx.link().isConnected());
    sim.plugIn();
    clock.advance(1);
    QVERIFY(ctx.link().isConnected());
    QCOMPARE(ctx.tray.balloonCount, 1);
    QVERIFY(ctx.tray.balloonText.endsWith(QStringLiteral(" 已联机")));
  }
};

QTEST_MAIN(TestLinkMainWindow)
#include "test_link_main_window.moc"
