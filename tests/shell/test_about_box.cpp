// The about box: instrument fields read when shown, the counter format, the
// web label and the main window's about command.
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"
#include "shell/ui/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAboutBox : public QObject {
  Q_OBJECT

private slots:
  void counterFormat_data() {
    QTest::addColumn<double>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("seven digits: two group commas, no blanks") << 1234567.0 << "[ 1,234,567 ]";
    QTest::newRow("12: six leading blanks") << 12.0 << "[       12 ]";
    QTest::newRow("0: no reply") << 0.0 << "[        0 ]";
  }
  void counterFormat() {
    QFETCH(double, count);
    QFETCH(QString, text);
    QCOMPARE(TAboutBox::CounterText(count, QLocale(QLocale::English, QLocale::UnitedStates)), text);
    QCOMPARE(TAboutBox::CounterText(count, QLocale(QLocale::Chinese, QLocale::China)), text);
  }

  void showingReadsTheInstrument() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    VirtualClock clock;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    AppContext ctx(&clock, &prompter, &launcher);
    SimulatedInstrument sim(clock);
    sim.setSerial(0x00A1B2C3D4E5ULL);
    sim.setCounter(1234567);
    sim.plugInto(ctx);
    sim.clearTrace();

    TAboutBox box(ctx);
    QCOMPARE(box.windowTitle(), QStringLiteral("关於版本"));
    box.show();
    QCOMPARE(box.serialLabel()->text(), QStringLiteral("00A1B2C3D4E5"));
    QCOMPARE(box.hardwareLabel()->text(), QStringLiteral("SOVA6-20051706-A02"));
    QCOMPARE(box.counterLabel()->text(), QStringLiteral("[ 1,234,567 ]"));
    // The counter is read, never written.
    QCOMPARE(sim.commands(), QStringList({"R0600", "R0700", "R0800"}));
    QCOMPARE(sim.counter(), 1234567);
    QStringList texts;
    for (QLabel *l : box.findChildren<QLabel *>())
      texts << l->text();
    for (const char *fixed : {"SO-10 Ver: 6.5.0 cn", "简体字中文版", "For: Windows 7,Windows 10,Windows 11 ",
                              "Device SerialNo:", "Hardware Version:", "Measurement Counter:"})
      QVERIFY2(texts.contains(QString::fromUtf8(fixed)), fixed);
    const QString shots = qEnvironmentVariable("SOVA_SCREENSHOT_DIR");
    if (!shots.isEmpty())
      box.grab().save(shots + QStringLiteral("/about_box.png"));

    QTest::mouseClick(box.webLabel(), Qt::LeftButton);
    QCOMPARE(launcher.calls.size(), 1);
    QCOMPARE(launcher.calls[0].parameters, QString());
    QVERIFY(launcher.calls[0].program == Branding::Web() || launcher.calls[0].parameters == Branding::Web());

    const qint64 before = clock.virtualMs();
    QTest::mouseClick(box.okButton(), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QVERIFY(clock.virtualMs() - before >= 500); // the fade-out
    QLocale::setDefault(QLocale::c());
  }

  void withoutInstrumentTheCounterReadsZero() {
    VirtualClock clock;
    ScriptedPrompter prompter;
    AppContext ctx(&clock, &prompter);
    TAboutBox box(ctx);
    box.show();
    QCOMPARE(box.counterLabel()->text(), QStringLiteral("[        0 ]"));
    QCOMPARE(box.hardwareLabel()->text(), QString());
  }
};

QTEST_MAIN(TestAboutBox)
#include "test_about_box.moc"
