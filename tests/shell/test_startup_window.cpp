// The start-up status window with the instrument simulator on a temporary data
// folder: the three instrument states, the self-test, the timing of the lights
// and fields, and the main window's first activation.
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "records/Database.h"
#include "records/DbSchema.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/StartupCheck.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/SoStatu.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
const QColor kRed(230, 40, 40), kYellow(250, 210, 30), kGreen(40, 220, 70);

struct Fixture {
  QTemporaryDir dir;
  VirtualClock clock;
  ScriptedPrompter prompter;
  RecordingLauncher launcher;
  AppContext ctx{&clock, &prompter, &launcher};
  std::unique_ptr<SimulatedInstrument> sim;

  explicit Fixture(bool instrument, const QString &string3 = QStringLiteral("SOVA6-20051706-A02")) {
    ctx.dataFolder = dir.path() + u'/';
    QString err;
    CreateTemplateDatabase(dir.path(), &err);
    CreateDatabaseFile(ctx.dataFolder + QLatin1String(DbFile::Reference), DatabaseKind::Reference, &err);
    CreateDatabaseFile(ctx.dataFolder + QLatin1String(DbFile::Programme), DatabaseKind::Programme, &err);
    if (instrument) {
      sim = std::make_unique<SimulatedInstrument>(clock);
      sim->setIndexedString3(string3);
      sim->setSerial(0x0012A4C3F701ULL);
      sim->plugInto(ctx);
      sim->clearTrace();
    }
  }
  ~Fixture() { ctx.database().close(); }
};

void saveShot(QWidget *w, const QString &name) {
  const QString dir = qEnvironmentVariable("SOVA_SCREENSHOT_DIR");
  if (!dir.isEmpty())
    w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

QStringList fields(const TSoStatu &w) { return {w.field(0)->text(), w.field(1)->text(), w.field(2)->text()}; }
} // namespace

class TestStartupWindow : public QObject {
  Q_OBJECT

private slots:
  void failedChecksWaitForTheExitButton_data() {
    QTest::addColumn<bool>("instrument");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("no instrument")
        << false << kRed << "S.O.V.A.并未启动！请检查电源是否开启，USB联机是否正常。"
        << QStringList({"None!", "None!", "None!"});
    QTest::newRow("empty hardware string")
        << true << kYellow << "USB界面异常！请检查S.O.V.A.的USB联机"
        << QStringList({StartupCheck::ModelText(), "0012A4C3F701", "USB Status Error!"});
  }
  void failedChecksWaitForTheExitButton() {
    QFETCH(bool, instrument);
    QFETCH(QColor, colour);
    QFETCH(QString, message);
    QFETCH(QStringList, fields);
    Fixture f(instrument, QString());
    TSoStatu w(f.ctx);
    w.show();
    w.runCheck();

    QVERIFY(!f.ctx.SystemReady);
    QVERIFY(w.isVisible());
    QCOMPARE(w.statusText(), message);
    QCOMPARE(::fields(w), fields);
    for (int k = 1; k <= 7; ++k) {
      QCOMPARE(w.lamp(k)->colour(), colour);
      QVERIFY(w.lamp(k)->isOn());
    }
    QCOMPARE(w.progressBar()->value(), 100);
    QVERIFY(w.exitButton()->isVisible());
    QCOMPARE(w.exitButton()->text(), QStringLiteral("离  开"));
    QCOMPARE(w.exitButton()->toolTip(), QStringLiteral("离开S.O.V.A.系统运行"));
    // Nothing is sent to an instrument that failed, and the files stay untouched.
    if (f.sim)
      QVERIFY(f.sim->commands().isEmpty());
    QVERIFY(!QFile::exists(f.ctx.dataFolder + QStringLiteral("Sova6.mdb")));
    QVERIFY(f.prompter.questions().isEmpty());
    saveShot(&w, instrument ? QStringLiteral("status_no_hardware_string") : QStringLiteral("status_failed"));

    QTest::mouseClick(w.exitButton(), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(!f.ctx.SystemReady);
    QVERIFY(!w.progressBar()->isEnabled());
  }

  void readyInstrumentRunsTheSelfTestOnceAndPreparesTheDatabase() {
    Fixture f(true);
    TSoStatu w(f.ctx);
    w.show();
    // What the window shows during the animation (1.5 s, bar = ms / 15).
    struct Seen {
      int bar;
      bool lit[8];
      QStringList fields;
    };
    QList<Seen> seen;
    const qint64 start = f.clock.virtualMs();
    for (int ms : {250, 650, 1300}) {
      f.clock.callAfter(ms, &w, [&] {
        Seen s{w.progressBar()->value(), {}, ::fields(w)};
        for (int k = 1; k <= 7; ++k)
          s.lit[k] = w.lamp(k)->isOn();
        seen.append(s);
        if (seen.size() == 3)
          saveShot(&w, QStringLiteral("status_running"));
      });
    }
    w.runCheck();

    QVERIFY(f.ctx.SystemReady);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(f.sim->commands(), QStringList({"A007F", "C007F", "F00FF", "X0000"}));
    QVERIFY(f.clock.virtualMs() - start >= StartupCheck::kAnimationMs + 400); // animation and fade-out
    QVERIFY(f.prompter.questions().isEmpty());
    QCOMPARE(::fields(w), QStringList({StartupCheck::ModelText(), "0012A4C3F701", "SOVA6-20051706-A02"}));
    QVERIFY(f.ctx.database().isOpen());
    QVERIFY(QFile::exists(f.ctx.dataFolder + QStringLiteral("Sova6.mdb")));

    QCOMPARE(seen.size(), 3);
    // At 250 ms (bar 16): lights 1 and 2, fields not yet written.
    QVERIFY(seen[0].bar >= 13 && seen[0].bar <= 26);
    QVERIFY(seen[0].lit[1] && seen[0].lit[2] && !seen[0].lit[3]);
    QCOMPARE(seen[0].fields, QStringList({"", "", ""}));
    // At 650 ms (bar 43): four lights, fields written.
    QVERIFY(seen[1].lit[4] && !seen[1].lit[5]);
    QCOMPARE(seen[1].fields[2], QStringLiteral("SOVA6-20051706-A02"));
    // At 1300 ms (bar 86): all seven, green.
    for (int k = 1; k <= 7; ++k)
      QVERIFY(seen[2].lit[k]);
    QCOMPARE(w.statusText(), QStringLiteral("Done."));
    QVERIFY(!w.progressBar()->isEnabled());
    saveShot(&w, QStringLiteral("status_ready"));
  }

  void firstActivationOfTheMainWindowRunsTheCheck_data() {
    QTest::addColumn<bool>("instrument");
    QTest::newRow("ready") << true;
    QTest::newRow("no instrument") << false;
  }
  void firstActivationOfTheMainWindowRunsTheCheck() {
    QFETCH(bool, instrument);
    Fixture f(instrument);
    TSoForm main(f.ctx);
    main.setStartupCheck(&TSoStatu::RunCheck);
    main.show();
    // Presses "离  开" once the failed check offers it.
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [] {
      if (auto *w = qobject_cast<TSoStatu *>(QApplication::activeModalWidget()))
        if (w->exitButton()->isVisible())
          w->exitButton()->click();
    });
    presser.start(5);
    main.FirstActivate();
    QCOMPARE(f.ctx.SystemReady, instrument);
    QCOMPARE(main.toolButton(1)->isEnabled(), instrument);
    if (!instrument)
      QTRY_VERIFY(!main.isVisible());
  }
};

QTEST_MAIN(TestStartupWindow)
#include "test_startup_window.moc"
