#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/SettingsFile.h"
#include "shell/ui/MainWindow.h"

#include <QTemporaryDir>
#include <QtTest>

// Creating the main window reads or creates the settings file and shows line 8
// in the status bar.
class TestSettingsStartup : public QObject {
  Q_OBJECT
  struct Fixture {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx{&clock, &prompter, &launcher};
    Fixture() { ctx.dataFolder = dir.path() + u'/'; }
    QString path() const { return dir.path() + u'/' + SettingsFileName(); }
  };

private slots:
  void absentFileIsCreatedWithDefaults() {
    Fixture f;
    TSoForm w(f.ctx);
    QVERIFY(QFileInfo::exists(f.path()));
    Settings defaults;
    SetDefaultSettings(defaults);
    QCOMPARE(w.statusText(), defaults.UserName1);
    QCOMPARE(f.ctx.settings.FunctionVisibility, QStringLiteral("111000"));
    QVERIFY(f.prompter.questions().isEmpty());
  }

  void presentFileIsReadAndModesApplied() {
    Fixture f;
    Settings s;
    SetDefaultSettings(s);
    s.UserName1 = QStringLiteral("仁心中医诊所");
    s.OrderMode = 1;
    s.FunctionVisibility = QStringLiteral("100001");
    QVERIFY(WriteSettings(s, f.path()).ok);
    // Damage line 30 (a caption nothing shows): the user is told once.
    QFile file(f.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    lines[29] = "ZZ\r";
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();

    TSoForm w(f.ctx);
    w.show();
    QCOMPARE(w.statusText(), QStringLiteral("仁心中医诊所"));
    QCOMPARE(f.ctx.model.MeasuringOrder[2], 6);
    QVERIFY(w.isToolButtonShown(TSoForm::Fn1));
    QVERIFY(!w.isToolButtonShown(TSoForm::Fn2));
    QVERIFY(w.isToolButtonShown(TSoForm::Fn6));
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 5);
    QVERIFY(f.prompter.questions()[0].text.contains(QStringLiteral("第 30 行")));
    QCOMPARE(f.ctx.settings.FunctionCaption[3], QString());
  }
};

QTEST_MAIN(TestSettingsStartup)
#include "test_settings_startup.moc"
