// The measurement run against an instrument whose readings the test scripts.
#include "ScriptedInstrument.h"
#include "measure/MeasurementRun.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QtTest>
#include <functional>

namespace {
struct RecordingView : MeasurementView {
  QList<int> positions;
  QStringList cells, sampleCounts, remaining, statuses;
  QList<QPair<QPoint, QPoint>> trace;
  int frames = 0;
  std::function<void()> onCell, onRemaining;
  void ShowPosition(int p) override { positions.append(p); }
  void DrawBalanceChart() override { ++frames; }
  void TraceLine(const QPoint &a, const QPoint &b) override { trace.append({a, b}); }
  void ShowSampleCount(const QString &t) override { sampleCounts.append(t); }
  void ShowRemainingTime(const QString &t) override {
    remaining.append(t);
    if (onRemaining)
      onRemaining();
  }
  void ShowStatus(const QString &t) override { statuses.append(t); }
  void WritePointCell(const QString &t) override {
    cells.append(t);
    if (onCell)
      onCell();
  }
};

struct Fixture {
  VirtualClock clock;
  ScriptedPrompter prompter;
  RecordingLauncher launcher;
  AppContext ctx{&clock, &prompter, &launcher};
  ScriptedInstrument inst{clock};
  RecordingView view;
  MeasurementRun run{ctx, inst, view};
  Fixture() {
    ctx.SystemReady = true;
    ctx.settings.SoundMode = 0;
  }
  void stopAfterPoints(int n) {
    view.onCell = [this, n] {
      if (view.cells.size() >= n)
        run.RequestStop();
    };
  }
};
} // namespace

class TestMeasurementRun : public QObject {
  Q_OBJECT
private slots:
  void wholeRunStoresEveryPointAndSendsThePhases() {
    Fixture f;
    f.run.RunMeasurement();
    const Measurement &m = f.ctx.CurrentMeasurement;
    for (int k = 1; k <= 24; ++k) {
      QCOMPARE(m.PointValue[k], 50.0);
      QCOMPARE(m.CorrectedValue[k], 50.0 * f.ctx.model.MeridianFactor[MeridianOfSlot(k)]);
      QCOMPARE(m.Stability[k], 100.0);
    }
    QCOMPARE(m.PointsTaken, 24);
    QVERIFY(m.HasData);
    QVERIFY(!m.HighPotential);
    QCOMPARE(DateFromDayNumber(m.MeasurementDate), f.clock.now().date());
    QCOMPARE(f.view.positions.size(), 24);
    QCOMPARE(f.view.cells, QStringList(24, QStringLiteral(" 50")));
    QVERIFY(!f.run.isRunning());
    QVERIFY(!f.run.AwaitingProbe());

    QStringList expected{"X0000", "L0000", "I0000", "K0001"};
    for (int p = 1; p <= 24; ++p)
      expected << "F007F" << "C0000" << "D" << "C007F" << "F0000" << "D" << "F00FF" << "C0000" << "D";
    expected << "X0000";
    QCOMPARE(f.inst.compressed(), expected);
  }

  void sequenceFollowsTheOrderMode() {
    Fixture f;
    ApplyOrderAndFactorModes(f.ctx.model, 1, f.ctx.settings.CustomOrder, 0, f.ctx.settings.CustomFactor);
    f.inst.level = [&](qint64, int touch) { return 200 + 20 * touch; }; // a different value per position
    f.stopAfterPoints(2);
    f.run.RunMeasurement();
    // Position 2 of order mode 1 is the left LI point, slot 6.
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 11.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[6], 12.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[2], 0.0);
  }

  void contactThreshold_data() {
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<bool>("contact");
    QTest::newRow("20 counts never") << QList<int>{20, 20, 20, 20} << false;
    QTest::newRow("21 then mean 21") << QList<int>{21, 20, 22} << true;
    QTest::newRow("21 then mean 20.5") << QList<int>{21, 20, 21} << true;
    QTest::newRow("21 then mean 20") << QList<int>{21, 20, 20} << false;
  }
  void contactThreshold() {
    QFETCH(QList<int>, readings);
    QFETCH(bool, contact);
    Fixture f;
    f.inst.touchDelayMs = 1'000'000; // the operator never touches: only the scripted readings count
    f.inst.forced = readings;
    f.clock.callAfter(2000, nullptr, [&] { f.run.RequestStop(); });
    f.run.RunMeasurement();
    QCOMPARE(f.run.ContactThreshold(), 20.0);
    // Contact shows as the sampling phase "C007F" before the stop.
    bool sampled = false;
    for (const auto &e : f.inst.log)
      sampled |= e.command == u"C007F" && e.t < 2000;
    QCOMPARE(sampled, contact);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 0);
  }

  void tenReadingsOf1000AreFiftyMicroamps() {
    Fixture f;
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 50.0);
    QCOMPARE(f.view.cells, QStringList{" 50"});
    // The sample count shown last before the point was stored.
    QCOMPARE(f.view.sampleCounts.at(f.view.sampleCounts.lastIndexOf(QStringLiteral("0")) - 1), QStringLiteral("10"));
  }

  void lowReadingsDuringSampling_data() {
    QTest::addColumn<int>("lowMs");
    QTest::addColumn<int>("attempts");
    QTest::newRow("one low reading goes on") << 50 << 1;
    QTest::newRow("two low readings restart") << 100 << 2;
  }
  void lowReadingsDuringSampling() {
    QFETCH(int, lowMs);
    QFETCH(int, attempts);
    Fixture f;
    // On the first touch the probe slips off for lowMs, 1.2 s into sampling.
    f.inst.level = [lowMs](qint64 since, int touch) {
      return touch == 1 && since >= 1300 && since < 1300 + lowMs ? 5 : 1000;
    };
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QCOMPARE(f.inst.count("C007F"), attempts);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 50.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 1);
  }

  void stopWhileWaitingEndsAtOnce() {
    Fixture f;
    f.inst.touchDelayMs = 1'000'000;
    f.clock.callAfter(1000, nullptr, [&] { f.run.RequestStop(); });
    f.run.RunMeasurement();
    QVERIFY(f.clock.virtualMs() < 1300);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 0);
    QVERIFY(!f.ctx.CurrentMeasurement.HasData);
    QCOMPARE(f.inst.log.last().command, QStringLiteral("X0000"));
  }

  void stopWhileSamplingStoresThatPoint() {
    Fixture f;
    // Position 1 starts waiting at 250 ms; the touch comes 300 ms later.
    f.clock.callAfter(1500, nullptr, [&] { f.run.RequestStop(); });
    f.run.RunMeasurement();
    const Measurement &m = f.ctx.CurrentMeasurement;
    QCOMPARE(m.PointValue[1], 50.0);
    QCOMPARE(m.PointsTaken, 1);
    for (int k = 2; k <= 24; ++k)
      QCOMPARE(m.PointValue[k], 0.0);
    // The probe is released before the run ends.
    QCOMPARE(f.inst.compressed().mid(f.inst.compressed().size() - 5),
             QStringList({"D", "F00FF", "C0000", "D", "X0000"}));
  }

  void clearingQuestion_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("是 clears") << true;
    QTest::newRow("否 keeps") << false;
  }
  void clearingQuestion() {
    QFETCH(bool, answer);
    Fixture f;
    Measurement &m = f.ctx.CurrentMeasurement;
    m.StoredKey = 7;
    m.PointValue.fill(33);
    m.PointsTaken = 0;
    m.HasData = true;
    m.Note = QStringList{"note"};
    f.ctx.ChartGroup = 2;
    f.prompter.answer(answer);
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 1);
    QCOMPARE(f.prompter.questions().at(0).text, QStringLiteral("您要先清除表格中的数据再开始检测吗？"));
    QCOMPARE(f.inst.log.first().command, QStringLiteral("S1")); // the question's signal comes first
    QCOMPARE(m.PointValue[1], 50.0);
    QCOMPARE(m.PointValue[2], answer ? 0.0 : 33.0);
    QCOMPARE(m.StoredKey, answer ? 0 : 7);
    QCOMPARE(m.Note.isEmpty(), answer);
    QCOMPARE(f.ctx.ChartGroup, 1); // reset by the stored point in either case
  }

  void noQuestionWithoutStoredRow() {
    Fixture f;
    f.ctx.CurrentMeasurement.PointValue.fill(33);
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QVERIFY(f.prompter.questions().isEmpty());
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[2], 33.0);
  }

  void soundSignals_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("perPoint");
    QTest::addColumn<QList<int>>("lastPoint");
    QTest::newRow("silent") << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("standard") << 1 << QList<int>{4, 4, 4, 4, 4, 5} << QList<int>{4, 4, 4, 4, 4, 6};
    QTest::newRow("single tone") << 2 << QList<int>{13, 4} << QList<int>{13, 4, 5};
  }
  void soundSignals() {
    QFETCH(int, mode);
    QFETCH(QList<int>, perPoint);
    QFETCH(QList<int>, lastPoint);
    Fixture f;
    f.ctx.settings.SoundMode = mode;
    f.run.RunMeasurement();
    QList<int> expected;
    for (int p = 1; p <= 23; ++p)
      expected += perPoint;
    expected += lastPoint;
    QCOMPARE(f.inst.sounds, expected);
    // With the standard sound the countdown beats at about 0, 625, 1250, 1875 and 2500 ms.
    if (mode == 1) {
      QList<qint64> beats;
      qint64 t0 = -1;
      for (const auto &e : f.inst.log) {
        if (e.command == u"F0000" && t0 < 0)
          t0 = e.t + 50;
        if (t0 >= 0 && e.command == u"S4" && beats.size() < 5)
          beats.append(e.t - t0);
      }
      const QList<qint64> nominal{0, 625, 1250, 1875, 2500};
      for (int i = 0; i < 5; ++i)
        QVERIFY2(beats[i] >= nominal[i] && beats[i] <= nominal[i] + 100, qPrintable(QString::number(beats[i])));
    }
  }

  void releaseTimeoutAsksExceptAtTheLastPosition() {
    Fixture f;
    f.inst.liftDelayMs = 1'000'000; // the operator never lifts the probe
    f.run.RunMeasurement();
    QCOMPARE(f.prompter.questions().size(), 23);
    for (const auto &q : f.prompter.questions()) {
      QCOMPARE(q.type, 3);
      QCOMPARE(q.text, QStringLiteral("测量时间过长！是否继续检测？"));
    }
    QCOMPARE(f.inst.count("S3"), 23);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 24);
  }

  void releaseTimeoutAnsweredNoStops() {
    Fixture f;
    f.inst.liftDelayMs = 1'000'000;
    f.prompter.answer(false);
    f.run.RunMeasurement();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 1);
    QCOMPARE(f.inst.log.last().command, QStringLiteral("X0000"));
  }

  void clickDuringSamplingMovesThePoint() {
    Fixture f;
    QVERIFY(!f.run.SelectPosition(5)); // no run: no effect
    f.clock.callAfter(1500, nullptr, [&] { QVERIFY(f.run.SelectPosition(5)); });
    f.stopAfterPoints(2);
    f.run.RunMeasurement();
    const Measurement &m = f.ctx.CurrentMeasurement;
    QCOMPARE(m.PointValue[1], 0.0);
    QCOMPARE(m.PointValue[5], 50.0);
    QCOMPARE(m.PointValue[6], 50.0);
    QCOMPARE(f.view.positions, QList<int>({1, 5, 6}));
  }

  void emptyAveragingWindowMeasuresAgain() {
    Fixture f;
    // The reading that starts 600 ms before the end is answered only after
    // 700 ms: no reading falls into the last 500 ms.
    bool slowed = false;
    f.view.onRemaining = [&] {
      if (!slowed && f.view.remaining.last() == u"  0.6") {
        slowed = true;
        f.inst.nextTransactionMs = 700;
      }
    };
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QVERIFY(slowed);
    QCOMPARE(f.inst.count("C007F"), 2);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 50.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 1);
  }

  void offlineOrNotReadyDoesNotStart_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("ready");
    QTest::newRow("off-line") << false << true;
    QTest::newRow("not ready") << true << false;
  }
  void offlineOrNotReadyDoesNotStart() {
    QFETCH(bool, connected);
    QFETCH(bool, ready);
    Fixture f;
    f.inst.connected = connected;
    f.ctx.SystemReady = ready;
    f.run.RunMeasurement();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 6);
    QCOMPARE(f.prompter.questions().at(0).text, QStringLiteral("S.O.V.A.已经脱机！请重新连接装置"));
    QVERIFY(f.inst.log.isEmpty());
  }

  void unpluggedDuringTheRunEndsIt() {
    Fixture f;
    f.clock.callAfter(6000, nullptr, [&] { f.inst.connected = false; });
    f.run.RunMeasurement();
    QVERIFY(!f.run.isRunning());
    QVERIFY(f.ctx.CurrentMeasurement.PointsTaken >= 1);
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 6);
  }

  void referencesForNewerAndOlderHardware_data() {
    QTest::addColumn<bool>("newer");
    QTest::addColumn<int>("referenceSet");
    QTest::addColumn<int>("fullScale");
    QTest::newRow("older, set 0") << false << 0 << 3000;
    QTest::newRow("older, set 1") << false << 1 << 2500;
    QTest::newRow("newer") << true << 1 << 5000;
  }
  void referencesForNewerAndOlderHardware() {
    QFETCH(bool, newer);
    QFETCH(int, referenceSet);
    QFETCH(int, fullScale);
    Fixture f;
    f.inst.newer = newer;
    f.inst.standardReference = 5000;
    f.inst.highReference = 5200;
    f.ctx.settings.StdReference0 = 3000;
    f.ctx.settings.StdReference1 = 2500;
    f.ctx.settings.ReferenceSet = referenceSet;
    f.ctx.settings.AutoContact = 0;
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    QCOMPARE(f.ctx.NormalFullScale, fullScale);
    QCOMPARE(f.run.CountsPerMicroamp(), fullScale / 200.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointValue[1], 1000.0 / (fullScale / 200.0));
    QCOMPARE(f.ctx.settings.ReferenceSet, 0);
    QCOMPARE(f.ctx.settings.AutoContact, 1);
  }

  void sensitivityChangeTakesEffectDuringTheRun() {
    Fixture f;
    f.inst.level = [](qint64, int) { return 60; }; // 3 µA
    f.clock.callAfter(100, nullptr, [&] {
      f.ctx.settings.Sensitivity = 3.5;
      f.run.SensitivityChanged();
    });
    f.clock.callAfter(8000, nullptr, [&] { f.run.RequestStop(); });
    f.run.RunMeasurement();
    QCOMPARE(f.run.ContactThreshold(), 70.0);
    QCOMPARE(f.ctx.CurrentMeasurement.PointsTaken, 0);
  }

  void traceFollowsTheChartGeometry() {
    Fixture f;
    f.stopAfterPoints(1);
    f.run.RunMeasurement();
    // Chart 727 × 179: x-scale 695/2500, y-scale 164/600.
    QVERIFY(f.view.trace.size() > 10);
    const auto &first = f.view.trace.first();
    QCOMPARE(first.first, QPoint(32, 164));
    QCOMPARE(first.second, QPoint(46, 150)); // e = 50 ms
    int lastX = 0;
    for (const auto &l : f.view.trace) {
      if (l.first == QPoint(32, 164))
        continue; // the rise of the first 300 ms
      QCOMPARE(l.second.y(), 82); // a steady contact stays on the centre line
      QVERIFY(l.second.x() >= lastX);
      lastX = l.second.x();
    }
    QVERIFY(lastX > 700);
  }
};

QTEST_GUILESS_MAIN(TestMeasurementRun)
#include "test_measurement_run.moc"
