// The measurement window: enabling rules, the grid, the controls, clearing and
// runs through the window with a scripted instrument.
#include "ScriptedInstrument.h"
#include "link/SimulatedInstrument.h"
#include "measure/MeasurementRun.h"
#include "measure/ui/TSodec.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
struct Fixture {
  QTemporaryDir dir;
  VirtualClock clock;
  ScriptedPrompter prompter;
  RecordingLauncher launcher;
  AppContext ctx{&clock, &prompter, &launcher};
  ScriptedInstrument inst{clock};
  Fixture() {
    ctx.dataFolder = dir.path() + u'/';
    ctx.SystemReady = true;
    ctx.settings.SoundMode = 0;
  }
};

template <typename T> T *child(QWidget &w, const char *name) {
  T *c = w.findChild<T *>(QString::fromLatin1(name));
  if (!c)
    qFatal("no child %s", name);
  return c;
}

QString labelText(QWidget &w, const char *name) { return child<QLabel>(w, name)->text(); }
bool enabled(TSodec &w, int k) { return w.toolButton(k)->isEnabled(); }

// A window that closes as soon as it is shown.
std::unique_ptr<QDialog> closingWindow(AppContext &, QWidget *parent, int *opened) {
  auto d = std::make_unique<QDialog>(parent);
  ++*opened;
  QTimer::singleShot(0, d.get(), &QDialog::accept);
  return d;
}
} // namespace

class TestMeasurementWindow : public QObject {
  Q_OBJECT
private slots:
  void enablingRulesOnShowing_data() {
    QTest::addColumn<int>("zeros");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("data");
    QTest::newRow("all 24 values") << 0 << true << true;
    QTest::newRow("one value missing") << 1 << false << true;
    QTest::newRow("no values") << 24 << false << false;
  }
  void enablingRulesOnShowing() {
    QFETCH(int, zeros);
    QFETCH(bool, whole);
    QFETCH(bool, data);
    Fixture f;
    Measurement &m = f.ctx.CurrentMeasurement;
    m.PointValue.fill(40);
    for (int k = 1; k <= zeros; ++k)
      m.PointValue[k] = 0;
    m.MeasurementDate = ToDayNumber(QDateTime(QDate(2025, 3, 4), QTime(10, 20, 30)));
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    QCOMPARE(enabled(w, TSodec::AnalysisButton), whole);
    QCOMPARE(enabled(w, TSodec::CompareButton), whole);
    QCOMPARE(enabled(w, TSodec::SaveButton), data);
    QCOMPARE(enabled(w, TSodec::ClearButton), data);
    QVERIFY(enabled(w, TSodec::MeasureButton));
    QVERIFY(enabled(w, TSodec::ReadButton));
    QVERIFY(!enabled(w, TSodec::StopButton));
    QCOMPARE(m.HasData, data);
    QCOMPARE(m.MeasurementDate == 0, !data);
    QCOMPARE(labelText(w, "DateLabel").isEmpty(), !data);
    QCOMPARE(labelText(w, "AverageLabel"), data ? QStringLiteral("40.0") : QString());
    QCOMPARE(labelText(w, "TimeDisplay"), QStringLiteral("off"));
    QVERIFY(!child<QTableWidget>(w, "ValuesGrid")->isEnabled());
  }

  void gridShowsWholeMicroamps() {
    Fixture f;
    Measurement &m = f.ctx.CurrentMeasurement;
    m.PointValue[1] = 50.4;
    m.PointValue[7] = 7.5;
    m.PointValue[13] = 123.6;
    m.PointValue[24] = 9.49;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    auto *grid = child<QTableWidget>(w, "ValuesGrid");
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral(" 50"));
    QCOMPARE(grid->item(2, 1)->text(), QStringLiteral("  8")); // position 7: right hand, first column
    QCOMPARE(grid->item(1, 7)->text(), QStringLiteral("124")); // position 13: left foot
    QCOMPARE(grid->item(2, 12)->text(), QStringLiteral("  9"));
    QCOMPARE(grid->item(1, 2)->text(), QString());
    QCOMPARE(m.PointValue[1], 50.4); // the value keeps its decimals
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("肺经"));
    QCOMPARE(grid->item(0, 12)->text(), QStringLiteral("胃经"));
    QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("左  侧"));
    QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("右  侧"));
    QCOMPARE(labelText(w, "AverageLabel"), QStringLiteral("47.7"));
  }

  void orderModeOneHeadersAndCells() {
    Fixture f;
    ApplyOrderAndFactorModes(f.ctx.model, 1, f.ctx.settings.CustomOrder, 0, f.ctx.settings.CustomFactor);
    f.ctx.CurrentMeasurement.PointValue[6] = 31; // position 2 of this order: left LI
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    auto *grid = child<QTableWidget>(w, "ValuesGrid");
    const QStringList expected{"肺经", "大肠", "心包", "三焦", "心经", "小肠", "脾经", "胃经", "肝经", "胆经", "肾经", "膀胱"};
    for (int c = 1; c <= 12; ++c)
      QCOMPARE(grid->item(0, c)->text(), expected.at(c - 1));
    QCOMPARE(grid->item(1, 2)->text(), QStringLiteral(" 31"));
    QCOMPARE(grid->item(1, 6)->text(), QString());
  }

  void sensitivityControlsStayInStep() {
    Fixture f;
    f.ctx.settings.Sensitivity = 1.0;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    auto *spin = child<QSpinBox>(w, "SensitivitySpin");
    auto *track = child<QSlider>(w, "SensitivityTrackBar");
    QCOMPARE(spin->value(), 10);
    QCOMPARE(labelText(w, "SensitivityDisplay"), QStringLiteral("1.0"));
    track->setValue(35);
    QCOMPARE(spin->value(), 35);
    QCOMPARE(labelText(w, "SensitivityDisplay"), QStringLiteral("3.5"));
    QCOMPARE(f.ctx.settings.Sensitivity, 3.5);
    QCOMPARE(w.run().ContactThreshold(), 70.0);
    spin->setValue(2);
    QCOMPARE(track->value(), 2);
    QCOMPARE(f.ctx.settings.Sensitivity, 0.2);
  }

  void clearing_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("是") << true;
    QTest::newRow("否") << false;
  }
  void clearing() {
    QFETCH(bool, answer);
    Fixture f;
    Measurement &m = f.ctx.CurrentMeasurement;
    m.PointValue.fill(40);
    m.StoredKey = 12;
    m.HighPotential = true;
    m.PointsTaken = 24;
    f.ctx.CurrentSubject.CustNo = QStringLiteral("A-7");
    f.ctx.CurrentSubject.Name = QStringLiteral("王小明");
    f.ctx.CurrentSubject.MaleSubject = false;
    f.ctx.CurrentSubject.BirthDate = ToDayNumber(QDate(1980, 1, 1));
    f.ctx.AnalysisPage = 3;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    f.prompter.answer(answer);
    w.toolButton(TSodec::ClearButton)->click();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 1);
    QCOMPARE(f.prompter.questions().at(0).text,
             QStringLiteral("确定要清除窗口中的经络能量数据吗?\r\n (本功能只会清除窗口表格中的数据，不会影响已经储存的病历数据)"));
    auto *sex = child<QToolButton>(w, "SexButton");
    if (!answer) {
      QCOMPARE(m.PointValue[3], 40.0);
      QCOMPARE(m.StoredKey, 12);
      QCOMPARE(labelText(w, "CustNoLabel"), QStringLiteral("A-7"));
      QCOMPARE(sex->text(), QStringLiteral("女  性"));
      return;
    }
    for (int k = 1; k <= 24; ++k)
      QCOMPARE(m.PointValue[k], 0.0);
    QCOMPARE(m.StoredKey, 0);
    QCOMPARE(m.PointsTaken, 0);
    QVERIFY(!m.HasData);
    QVERIFY(m.HighPotential); // clearing leaves the mode
    QCOMPARE(f.ctx.AnalysisPage, 0);
    QVERIFY(f.ctx.CurrentSubject.CustNo.isEmpty());
    QVERIFY(f.ctx.CurrentSubject.MaleSubject);
    QCOMPARE(f.ctx.CurrentSubject.BirthDate, 0.0);
    QCOMPARE(labelText(w, "CustNoLabel"), QString());
    QCOMPARE(labelText(w, "BirthLabel"), QString());
    QCOMPARE(sex->text(), QStringLiteral("男  性"));
    QCOMPARE(child<QTableWidget>(w, "ValuesGrid")->item(1, 3)->text(), QString());
    for (int k : {TSodec::AnalysisButton, TSodec::CompareButton, TSodec::SaveButton, TSodec::ClearButton})
      QVERIFY(!enabled(w, k));
    QVERIFY(enabled(w, TSodec::MeasureButton));
    QVERIFY(!enabled(w, TSodec::StopButton));
  }

  void runThroughTheWindow() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    QList<bool> duringRun;
    f.clock.callAfter(1500, nullptr, [&] {
      for (int k = 1; k <= 9; ++k)
        duringRun.append(enabled(w, k));
      QCOMPARE(labelText(w, "PositionText"), QStringLiteral("左  手"));
      QCOMPARE(labelText(w, "MeridianText"), QStringLiteral("手太阴 肺经"));
      QCOMPARE(labelText(w, "PointText"), QStringLiteral("太渊 LU9"));
      QCOMPARE(labelText(w, "PictureCaption2"), QStringLiteral("Lung Meridian(LU)"));
      QVERIFY(child<QTableWidget>(w, "ValuesGrid")->isEnabled());
    });
    w.toolButton(TSodec::MeasureButton)->click();
    QCOMPARE(duringRun, QList<bool>({false, true, false, false, false, false, false, false, false}));
    // The whole measurement enables analysis and comparison.
    for (int k : {TSodec::AnalysisButton, TSodec::CompareButton, TSodec::SaveButton, TSodec::ClearButton,
                  TSodec::MeasureButton, TSodec::ReadButton, TSodec::InputButton, TSodec::ExitButton})
      QVERIFY2(enabled(w, k), qPrintable(w.toolButton(k)->text()));
    QVERIFY(!enabled(w, TSodec::StopButton));
    QCOMPARE(child<QTableWidget>(w, "ValuesGrid")->item(2, 12)->text(), QStringLiteral(" 50"));
    QCOMPARE(labelText(w, "TimeDisplay"), QStringLiteral("off"));
    QCOMPARE(labelText(w, "ValueDisplay"), QStringLiteral("0.0"));
    QCOMPARE(labelText(w, "PositionText"), QString());
    QCOMPARE(labelText(w, "AverageLabel"), QStringLiteral("50.0"));
    QVERIFY(!child<QWidget>(w, "PointPicture")->isVisible());
  }

  void runWithAPointMissingKeepsAnalysisOff() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    // After 23 points the operator stops.
    f.inst.level = [&](qint64, int touch) {
      if (touch == 24)
        w.toolButton(TSodec::StopButton)->click();
      return 1000;
    };
    w.toolButton(TSodec::MeasureButton)->click();
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 23);
    QVERIFY(!enabled(w, TSodec::AnalysisButton));
    QVERIFY(!enabled(w, TSodec::CompareButton));
    QVERIFY(enabled(w, TSodec::SaveButton));
    QVERIFY(enabled(w, TSodec::ClearButton));
  }

  void clickOnACellWhileSampling() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    auto *grid = child<QTableWidget>(w, "ValuesGrid");
    f.clock.callAfter(1500, nullptr, [&] {
      // Row 2, column 9: position 21, right KI.
      const QRect cell = grid->visualRect(grid->model()->index(2, 9));
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
      QCOMPARE(labelText(w, "MeridianText"), QStringLiteral("足少阴 肾经"));
      QCOMPARE(labelText(w, "PositionText"), QStringLiteral("右  脚"));
    });
    f.inst.level = [&](qint64, int touch) {
      if (touch == 3)
        w.StopMeasurement();
      return 1000;
    };
    w.RunMeasurement();
    const Measurement &m = f.ctx.CurrentMeasurement;
    QCOMPARE(m.PointValue[1], 0.0);
    QCOMPARE(m.PointValue[21], 50.0);
    QCOMPARE(m.PointValue[22], 50.0);
    QCOMPARE(grid->item(2, 9)->text(), QStringLiteral(" 50"));
  }

  void missingPictureLeavesAnEmptyFrame() {
    Fixture f;
    QDir(f.dir.path()).mkdir(QStringLiteral("Data"));
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(f.dir.path() + QStringLiteral("/Data/PLh1.bmp")));
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    QStringList notices;
    QList<bool> hasPicture;
    auto probe = [&] {
      notices.append(labelText(w, "PictureNotice"));
      hasPicture.append(!child<QLabel>(w, "PointPicture")->pixmap().isNull());
    };
    int probedTouch = 0;
    f.inst.level = [&](qint64, int touch) {
      if (touch == 2 && probedTouch < 2) {
        probedTouch = 2;
        probe();
      }
      if (touch == 3)
        w.StopMeasurement();
      return 1000;
    };
    f.clock.callAfter(1500, nullptr, [&] {
      probe();
      w.SetPictureStyle(2); // GLh1.bmp is missing: reloaded at once
      probe();
      w.SetPictureStyle(1);
    });
    w.RunMeasurement();
    QCOMPARE(hasPicture, QList<bool>({true, false, false}));
    QCOMPARE(notices.at(0), QString());
    QVERIFY(notices.at(1).contains(QStringLiteral("GLh1.bmp")));
    QVERIFY(notices.at(2).contains(QStringLiteral("PLh2.bmp")));
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 2); // the point without a picture was measured
    QCOMPARE(f.ctx.settings.PictureStyle, 1);
  }

  void menusSetTheSettings() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    auto *soundMenu = child<QMenu>(w, "SoundMenu");
    QStringList texts;
    for (QAction *a : soundMenu->actions())
      texts << a->text();
    QCOMPARE(texts, QStringList({"标准音", "  单音", "  静音"}));
    soundMenu->actions().at(1)->trigger();
    QCOMPARE(f.ctx.settings.SoundMode, 2);
    soundMenu->actions().at(2)->trigger();
    QCOMPARE(f.ctx.settings.SoundMode, 0);
    auto *styleMenu = child<QMenu>(w, "PictureStyleMenu");
    texts.clear();
    for (QAction *a : styleMenu->actions())
      texts << a->text();
    QCOMPARE(texts, QStringList({" 照  片", " 图  像", " 合  成"}));
    styleMenu->actions().at(2)->trigger();
    QCOMPARE(f.ctx.settings.PictureStyle, 3);
    auto *sexMenu = child<QMenu>(w, "SexMenu");
    sexMenu->actions().at(1)->trigger();
    QVERIFY(!f.ctx.CurrentSubject.MaleSubject);
    QCOMPARE(child<QToolButton>(w, "SexButton")->text(), QStringLiteral("女  性"));
  }

  void offlineButtonsShowTheMessage() {
    Fixture f;
    f.inst.connected = false;
    f.ctx.CurrentMeasurement.PointValue.fill(40);
    TSodec w(f.ctx, nullptr, &f.inst);
    int opened = 0;
    for (auto sub : {TSodec::Analysis, TSodec::Records, TSodec::ManualEntry, TSodec::Compare, TSodec::Save})
      w.setWindowFactory(sub, [&](AppContext &c, QWidget *p) { return closingWindow(c, p, &opened); });
    w.show();
    for (int k : {TSodec::AnalysisButton, TSodec::ReadButton, TSodec::InputButton, TSodec::CompareButton,
                  TSodec::MeasureButton})
      w.toolButton(k)->click();
    QCOMPARE(f.prompter.questions().size(), 5);
    for (const auto &q : f.prompter.questions()) {
      QCOMPARE(q.type, 6);
      QCOMPARE(q.text, QStringLiteral("S.O.V.A.已经脱机！请重新连接装置"));
    }
    QCOMPARE(opened, 0);
    w.toolButton(TSodec::SaveButton)->click(); // saving works without the instrument
    QCOMPARE(opened, 1);
    QVERIFY(w.isVisible());
  }

  void analysisCountsTheMeasurement_data() {
    QTest::addColumn<int>("pointsTaken");
    QTest::addColumn<int>("increments");
    QTest::newRow("11 points") << 11 << 0;
    QTest::newRow("12 points") << 12 << 1;
  }
  void analysisCountsTheMeasurement() {
    QFETCH(int, pointsTaken);
    QFETCH(int, increments);
    Fixture f;
    SimulatedInstrument sim(f.clock);
    sim.setCounter(510);
    sim.plugInto(f.ctx);
    f.ctx.CurrentMeasurement.PointValue.fill(40);
    f.ctx.CurrentMeasurement.PointsTaken = pointsTaken;
    TSodec w(f.ctx); // on the link
    int opened = 0;
    w.setWindowFactory(TSodec::Analysis, [&](AppContext &c, QWidget *p) { return closingWindow(c, p, &opened); });
    w.show();
    w.toolButton(TSodec::AnalysisButton)->click();
    QCOMPARE(opened, 1);
    QCOMPARE(sim.counter(), 510 + increments);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, increments ? 0 : pointsTaken);
    QVERIFY(w.isVisible()); // shown again after the analysis
  }

  void readingClearsTheLoadQuestion() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    bool confirmation = true;
    w.setWindowFactory(TSodec::Records, [&](AppContext &c, QWidget *p) {
      confirmation = c.LoadNeedsConfirmation;
      c.CurrentMeasurement.PointValue.fill(20); // a stored measurement taken over
      c.CurrentMeasurement.HighPotential = true;
      c.CurrentSubject.MaleSubject = false;
      int n = 0;
      return closingWindow(c, p, &n);
    });
    w.show();
    w.toolButton(TSodec::ReadButton)->click();
    QVERIFY(!confirmation);
    QCOMPARE(child<QToolButton>(w, "SexButton")->text(), QStringLiteral("女  性"));
    QCOMPARE(child<QTableWidget>(w, "ValuesGrid")->item(1, 1)->text(), QStringLiteral(" 20"));
    QVERIFY(enabled(w, TSodec::AnalysisButton));
  }

  void closingWritesTheSettings() {
    Fixture f;
    {
      TSodec w(f.ctx, nullptr, &f.inst);
      w.show();
      child<QSlider>(w, "SensitivityTrackBar")->setValue(35);
      w.SetSoundMode(2);
      w.SetPictureStyle(3);
      w.toolButton(TSodec::ExitButton)->click();
      QVERIFY(!w.isVisible());
    }
    f.ctx.settings = Settings();
    QVERIFY(f.ctx.ReadSettings());
    QCOMPARE(f.ctx.settings.Sensitivity, 3.5);
    QCOMPARE(f.ctx.settings.SoundMode, 2);
    QCOMPARE(f.ctx.settings.PictureStyle, 3);
  }

  void closingDuringARunStopsItFirst() {
    Fixture f;
    TSodec w(f.ctx, nullptr, &f.inst);
    w.show();
    f.clock.callAfter(1000, nullptr, [&] { w.close(); });
    w.RunMeasurement();
    QVERIFY(!w.run().isRunning());
    QTRY_VERIFY(!w.isVisible());
  }
};

QTEST_MAIN(TestMeasurementWindow)
#include "test_measurement_window.moc"
