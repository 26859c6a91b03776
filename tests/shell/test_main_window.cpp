#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/ui/MainWindow.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestMainWindow : public QObject {
  Q_OBJECT
  struct Fixture {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    Fixture() { ctx.dataFolder = dir.path() + u'/'; }
  };

private slots:
  void buttonsAndMenusWaitForTheStartupCheck() {
    Fixture f;
    TSoForm w(f.ctx);
    for (int k = 1; k <= 12; ++k) {
      QToolButton *b = w.findChild<QToolButton *>(QStringLiteral("ToolButton%1").arg(k));
      QVERIFY(b);
      QVERIFY(!b->isEnabled());
    }
    QCOMPARE(w.toolButton(1)->text(), QStringLiteral("经络测量"));
    QCOMPARE(w.toolButton(12)->toolTip(), QStringLiteral("退出S.O.V.A.系统执行"));
    QVERIFY(!w.supportMenu()->menuAction()->isVisible());
    w.setStartupCheck([](AppContext &, QWidget *) { return true; });
    w.FirstActivate();
    QVERIFY(f.ctx.SystemReady);
    QVERIFY(w.toolButton(5)->isEnabled());
    QVERIFY(w.supportMenu()->menuAction()->isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("S.O.V.A. So-10 经络能量分析系统"));
    QCOMPARE(f.ctx.tray.image, 15);
  }

  void failedStartupCheckClosesTheWindow() {
    Fixture f;
    TSoForm w(f.ctx);
    w.show();
    w.setStartupCheck([](AppContext &, QWidget *) { return false; });
    w.FirstActivate();
    QVERIFY(!w.toolButton(1)->isEnabled());
    QTRY_VERIFY(!w.isVisible());
  }

  void visibilityString_data() {
    QTest::addColumn<QString>("visibility");
    QTest::addColumn<QString>("shown");
    QTest::newRow("111000") << "111000" << "111000";
    QTest::newRow("000000") << "000000" << "000000";
    QTest::newRow("short string shows the rest") << "01" << "011111";
  }
  void visibilityString() {
    QFETCH(QString, visibility);
    QFETCH(QString, shown);
    Fixture f;
    TSoForm w(f.ctx); // reads or creates the settings file
    f.ctx.settings.FunctionVisibility = visibility;
    f.ctx.settings.FunctionHint[2] = QStringLiteral("启动影音播放功能");
    w.show();
    QString actual;
    for (int k = 1; k <= 6; ++k)
      actual += w.isToolButtonShown(TSoForm::Fn1 + k - 1) ? u'1' : u'0';
    QCOMPARE(actual, shown);
    QCOMPARE(w.toolButton(TSoForm::Fn2)->toolTip(), QStringLiteral("启动影音播放功能"));
  }

  void offlineCommandsShowTheMessage() {
    Fixture f;
    TSoForm w(f.ctx);
    bool opened = false;
    w.OpenModal([&](AppContext &, QWidget *) {
      opened = true;
      return std::unique_ptr<QDialog>();
    });
    QVERIFY(!opened);
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 6);
    QCOMPARE(f.prompter.questions()[0].text, QStringLiteral("S.O.V.A.已经脱机！请重新连接装置"));

    // Custom function 1 writes the branding file even when off-line, launches nothing.
    w.RunCustomFunction(1);
    QVERIFY(f.launcher.calls.isEmpty());
    QFile dat(f.ctx.dataFolder + QStringLiteral("SOVA.DAT"));
    QVERIFY(dat.open(QIODevice::ReadOnly));
    QCOMPARE(dat.readAll().count("\r\n"), 13);
  }

  void closingWithoutInstrumentAsksNothing() {
    Fixture f;
    TSoForm w(f.ctx);
    w.show();
    QVERIFY(w.close());
    QVERIFY(f.prompter.questions().isEmpty());
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
