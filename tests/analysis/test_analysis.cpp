#include "analysis/Analysis.h"
#include "analysis/IndexGrading.h"
#include "shell/AppContext.h"
#include "shell/DayNumber.h"

#include <QtTest>
#include <cmath>

using Values = QList<double>;
Q_DECLARE_METATYPE(AnalysisStatus)

namespace {

SlotArray toSlots(const Values &v) {
  SlotArray a{};
  for (int i = 0; i < 24; ++i)
    a[i + 1] = v.value(i);
  return a;
}

Values flat(double value) {
  return Values(24, value);
}

MeridianArray ones() {
  MeridianArray f;
  f.fill(1.0);
  f[0] = 0;
  return f;
}

// |actual - expected| within half a unit of the last decimal given.
bool near(double actual, double expected, int decimals) {
  return std::fabs(actual - expected) <= 0.5 * std::pow(10.0, -decimals) + 1e-12;
}

AnalysisResult analyse(const Values &v, bool male = true, double age = kDefaultAnalysisAge,
                       const MeridianArray &f = ones()) {
  AnalysisResult r;
  const AnalysisStatus s = ComputeAnalysisAtAge(toSlots(v), male, age, f, r);
  if (s != AnalysisStatus::Ok)
    qWarning("not computable: %s", AnalysisStatusMessage(s));
  return r;
}

const Values kCaseA = {42.0, 45.5, 38.0, 50.0, 47.5, 52.0, 40.5, 44.0, 36.0, 51.5, 49.0, 55.0,
                       35.0, 30.5, 33.0, 48.0, 41.0, 44.5, 36.5, 28.0, 34.0, 50.5, 39.5, 46.0};
const Values kCaseB = {20, 22, 18, 25, 24, 26, 21, 23, 19, 24, 22, 27,
                       15, 12, 14, 25, 20, 22, 16, 11, 13, 26, 19, 21};

} // namespace

class TestAnalysis : public QObject {
  Q_OBJECT
private slots:
  void workedCaseA() {
    // Male, 35.0 years at the measurement, given as dates to run the date path.
    const double measured = ToDayNumber(QDateTime(QDate(2026, 3, 14), QTime(10, 30, 0)));
    const double birth = measured - 35.0 * 365;
    AnalysisResult r;
    QCOMPARE(ComputeAnalysis(toSlots(kCaseA), true, birth, measured, kBuiltinMeridianFactor, r),
             AnalysisStatus::Ok);
    QVERIFY(near(r.BodyEnergy, 42.3958, 4));
    QVERIFY(near(r.ThresholdUnit, 0.935840, 6));
    QVERIFY(near(IndexValue(r, kIndexUpperLower), 0.9491, 4));
    QVERIFY(near(IndexValue(r, kIndexLeftRight), 0.9960, 4));
    QVERIFY(near(IndexValue(r, kIndexYinYang), 0.7877, 4));
    QVERIFY(near(IndexValue(r, kIndexHighLow), 1.4811, 4));
    const int grades[6] = {0, 0, 0, 0, -1, 0};
    for (int i = 1; i <= 5; ++i)
      QCOMPARE(r.IndexGrade[i], grades[i]);
    QCOMPARE(r.IndexText[4], QStringLiteral("阳盛于阴,机体代谢稍快"));
    QCOMPARE(r.IndexText[1], QStringLiteral("体能及元气状态正常"));
    for (int p = 1; p <= 24; ++p)
      QCOMPARE(r.PointGrade[p], p == 22 ? 1 : 0);
    QCOMPARE(ReferenceEnergy(AnalysisAge(birth, measured), true), 63.0);
    QVERIFY(near(r.OverallBalance, 78.59, 2));
    const double balance[25] = {0,   9.4, 10.0, 10.0, 9.7, 9.7, 10.0, 9.3, 9.9, 9.8, 9.5, 9.8, 9.9,
                                9.4, 9.6, 9.2,  9.1,  9.2, 9.3, 9.5,  9.3, 9.2, 8.8, 9.4, 9.1};
    for (int p = 1; p <= 24; ++p)
      QVERIFY2(near(r.PointBalance[p], balance[p], 1), qPrintable(QString::number(p)));
    QVERIFY(near(r.MeridianBalance, 9.504, 3));
    QVERIFY(!r.LowEnergy);
  }

  void workedCaseB() {
    AnalysisResult r;
    QCOMPARE(ComputeAnalysis(toSlots(kCaseB), false, 0, 46000.5, kBuiltinMeridianFactor, r),
             AnalysisStatus::Ok);
    QVERIFY(near(r.BodyEnergy, 20.2083, 4));
    const int grades[6] = {0, -2, 0, 0, -1, 2};
    for (int i = 1; i <= 5; ++i)
      QCOMPARE(r.IndexGrade[i], grades[i]);
    QVERIFY(near(IndexValue(r, kIndexHighLow), 1.8017, 4));
    QCOMPARE(r.IndexText[5], QStringLiteral("自律神经系统有中度失衡倾象"));
    for (int p = 1; p <= 24; ++p)
      QCOMPARE(r.PointGrade[p], 0);
    QCOMPARE(ReferenceEnergy(AnalysisAge(0, 46000.5), false), 54.52);
    // Adjustment (E − 54.52) / 54.52 × 100 × 0.3, enlarged by 0.2 of itself,
    // less the grades.
    double deductions = 0;
    for (int p = 1; p <= 24; ++p)
      deductions += 0.6 * std::abs(r.PointGrade[p]);
    for (int m = 1; m <= 12; ++m)
      deductions += 0.6 * (std::abs(r.MeridianGrade[m]) + std::abs(r.SideGrade[m])) +
                    0.5 * (std::abs(r.PairGrade[m]) + std::abs(r.PairDiffGrade[m]));
    deductions +=
        std::abs(r.IndexGrade[2]) + std::abs(r.IndexGrade[3]) + std::abs(r.IndexGrade[4]) + r.IndexGrade[5];
    const double adj = (r.BodyEnergy - 54.52) / 54.52 * 100 * 0.3;
    QVERIFY(std::fabs(r.OverallBalance - (90 + adj * 1.2 - deductions)) < 1e-9);
    QVERIFY(near(r.OverallBalance, 64.34, 2));
  }

  // Equal values with factors 1.0: no deviation, so only the index bands and
  // the reference energy speak.
  void flatMeasurement_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("male");
    QTest::addColumn<bool>("lowEnergy");
    QTest::addColumn<int>("energyGrade");
    QTest::addColumn<QString>("energyText");
    QTest::addColumn<int>("barFill");
    QTest::addColumn<double>("overallBalance");
    // Reference 58 (54.52 female) at the default age of 40.
    auto ob = [](double e, double ref) {
      double dev = (e - ref) / ref * 100, adj = dev >= 0 ? dev * 0.1 : dev * 0.3;
      const double k = e <= 10 ? 0.5 : e <= 15 ? 0.4 : e <= 20 ? 0.3 : e <= 25 ? 0.2 : 0;
      return 90 + adj + adj * k;
    };
    QTest::newRow("E 50") << 50.0 << true << false << 0 << "体能及元气状态正常" << 50 << ob(50, 58);
    QTest::newRow("E 12 is low") << 12.0 << true << true << -3 << "体能状况低落,元气不足" << 12 << ob(12, 58);
    QTest::newRow("E 12.05 is not") << 12.05 << true << false << -3 << "体能状况低落,元气不足" << 12
                                    << ob(12.05, 58);
    QTest::newRow("E 10 enlarged by half")
        << 10.0 << false << true << -3 << "体能状况低落,元气不足" << 10 << ob(10, 54.52);
    QTest::newRow("male 65 is grade 1")
        << 65.0 << true << false << 1 << "体能状态偏旺,但仍在正常范围" << 65 << ob(65, 58);
    QTest::newRow("male 64.9") << 64.9 << true << false << 0 << "体能及元气状态正常" << 65 << ob(64.9, 58);
    QTest::newRow("female 62 is grade 1")
        << 62.0 << false << false << 1 << "体能状态偏旺,但仍在正常范围" << 62 << ob(62, 54.52);
    QTest::newRow("female 27.9") << 27.9 << false << false << -1 << "体能元气状态偏虚,但仍属正常" << 28
                                 << ob(27.9, 54.52);
    QTest::newRow("male 27.9") << 27.9 << true << false << -2 << "体能精气状态稍弱" << 28 << ob(27.9, 58);
    QTest::newRow("male 75") << 75.0 << true << false << 3 << "体能状态亢奋,活动力旺盛" << 75 << ob(75, 58);
    QTest::newRow("bar tie to even") << 42.5 << true << false << 0 << "体能及元气状态正常" << 42
                                     << ob(42.5, 58);
    QTest::newRow("bar full") << 160.0 << true << false << 3 << "体能状态亢奋,活动力旺盛" << 150 << 99.0;
    QTest::newRow("exactly 100 stays")
        << 116.0 << true << false << 3 << "体能状态亢奋,活动力旺盛" << 116 << 100.0;
    QTest::newRow("100.4 becomes 99")
        << 118.32 << true << false << 3 << "体能状态亢奋,活动力旺盛" << 118 << 99.0;
    QTest::newRow("minimum above 200")
        << 250.0 << true << false << 3 << "体能状态亢奋,活动力旺盛" << 150 << 99.0;
  }
  void flatMeasurement() {
    QFETCH(double, value);
    QFETCH(bool, male);
    QFETCH(bool, lowEnergy);
    QFETCH(int, energyGrade);
    QFETCH(QString, energyText);
    QFETCH(int, barFill);
    QFETCH(double, overallBalance);
    const AnalysisResult r = analyse(flat(value), male);
    QCOMPARE(r.BodyEnergy, value);
    QCOMPARE(r.LowEnergy, lowEnergy);
    QCOMPARE(r.IndexGrade[1], energyGrade);
    QCOMPARE(r.IndexText[1], energyText);
    QCOMPARE(IndexBarFill(r, kIndexBodyEnergy), barFill);
    QVERIFY2(std::fabs(r.OverallBalance - overallBalance) < 1e-9,
             qPrintable(QString::number(r.OverallBalance, 'g', 17)));
    if (overallBalance >= 99) // the clamp shows as "99.0", an exact 100 as "100.0"
      QCOMPARE(FormatBalance(r.OverallBalance, QLocale::c()), QString::number(overallBalance, 'f', 1));
    QCOMPARE(r.MinGroupMean, value);
    QCOMPARE(r.MaxGroupMean, value);
    for (int i = 2; i <= 5; ++i) {
      QCOMPARE(IndexValue(r, i), 1.0);
      QCOMPARE(r.IndexGrade[i], 0);
      QCOMPARE(FormatIndexValue(r, i, QLocale::c()), QStringLiteral(" 1.00"));
    }
    for (int p = 1; p <= 24; ++p) {
      QCOMPARE(r.PointGrade[p], 0);
      QCOMPARE(r.PointBalance[p], 10.0);
    }
    for (int m = 1; m <= 12; ++m)
      QVERIFY(r.MeridianGrade[m] == 0 && r.SideGrade[m] == 0 && r.PairGrade[m] == 0 &&
              r.PairDiffGrade[m] == 0);
    for (int row = 1; row <= 7; ++row)
      for (int c = 1; c <= 3; ++c)
        QVERIFY(r.ElementValue[row][c] == value && r.ElementGrade[row][c] == 0);
    QCOMPARE(r.MeridianBalance, 10.0);
    QCOMPARE(r.LeftBalanceMean, 10.0);
    QCOMPARE(r.RightBalanceMean, 10.0);
  }

  void thresholdsAtFifty() {
    const AnalysisResult r = analyse(flat(50));
    QCOMPARE(r.ThresholdUnit, 1.0);
    QCOMPARE(r.StrongExcess, 21.0);
    QCOMPARE(r.Excess, 11.5);
    QCOMPARE(r.Deficiency, 10.5);
    QCOMPARE(r.StrongDeficiency, 20.0);
    QCOMPARE(r.SideDifference, 22.0);
    QCOMPARE(r.StrongSideDifference, 41.0);
  }

  // Two points moved by the same amount in opposite directions keep E at 50
  // (u = 1): the grades of both points at the band edges.
  void pointGradeBands_data() {
    QTest::addColumn<double>("shift");
    QTest::addColumn<int>("upGrade");
    QTest::addColumn<int>("downGrade");
    QTest::newRow("below Excess") << 10.4 << 0 << 0;
    QTest::newRow("Deficiency") << 10.5 << 0 << -1;
    QTest::newRow("Excess") << 11.5 << 1 << -1;
    QTest::newRow("StrongDeficiency") << 20.0 << 1 << -2;
    QTest::newRow("StrongExcess") << 21.0 << 2 << -2;
    QTest::newRow("StrongDeficiency + Deficiency") << 30.5 << 2 << -3;
    QTest::newRow("StrongExcess + Excess") << 32.5 << 3 << -3;
  }
  void pointGradeBands() {
    QFETCH(double, shift);
    QFETCH(int, upGrade);
    QFETCH(int, downGrade);
    Values v = flat(50);
    v[0] += shift;  // point 1, LU left
    v[12] -= shift; // point 13, SP left
    const AnalysisResult r = analyse(v);
    QCOMPARE(r.BodyEnergy, 50.0);
    QCOMPARE(r.PointGrade[1], upGrade);
    QCOMPARE(r.PointGrade[13], downGrade);
    // Pairs and elements cap at ±2.
    QCOMPARE(r.ElementGrade[5][1], FiveLevelGrade(r.ElementValue[5][1] - 50, r));
    QVERIFY(std::abs(r.PairGrade[5]) <= 2);
  }

  void sideAndPairDifferences_data() {
    QTest::addColumn<double>("left");
    QTest::addColumn<int>("sideGrade");
    QTest::newRow("21.9 apart") << 71.9 << 0;
    QTest::newRow("SideDifference") << 72.0 << 1;
    QTest::newRow("StrongSideDifference") << 91.0 << 2;
  }
  void sideAndPairDifferences() {
    QFETCH(double, left);
    QFETCH(int, sideGrade);
    // Left and right KI (points 15, 21) apart by left − 50, E kept at 50 by
    // lowering left BL (point 16), which also opens the pair difference.
    Values v = flat(50);
    v[14] = left;
    v[15] = 100 - left;
    const AnalysisResult r = analyse(v);
    QCOMPARE(r.BodyEnergy, 50.0);
    QCOMPARE(r.SideGrade[9], sideGrade);
    QCOMPARE(r.SideGrade[10], -DifferenceGrade(50 - (100 - left), r));
    QCOMPARE(r.PairDiffGrade[6], DifferenceGrade(left - (100 - left), r));
    QCOMPARE(r.PairDiffGrade[6], 2);
  }

  void ratioBands_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("male");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("text");
    QTest::newRow("upper/lower 1.15 male") << 2 << 1.15 << true << 0 << "上下焦气血平衡,精神活动力正常";
    QTest::newRow("upper/lower 1.15 female") << 2 << 1.15 << false << 2 << "上盛下衰,有中度精神压力倾向";
    QTest::newRow("upper/lower 0.72 male") << 2 << 0.72 << true << -3 << "下焦气血旺盛,有明显精神衰弱倾向";
    QTest::newRow("left/right 0.88") << 3 << 0.88 << true << 0 << "左右气血平衡,肌肉骨骼系统运作正常";
    QTest::newRow("left/right 0.8799") << 3 << 0.8799 << true << -1 << "右侧气血略旺,肌骨系统运作稍微失衡";
    QTest::newRow("left/right 1.35") << 3 << 1.35 << false << 3 << "右侧气血衰弱,肌肉骨骼系统运作有明显障碍";
    QTest::newRow("yin/yang 1.25") << 4 << 1.25 << true << 1 << "阴盛于阳,机体代谢稍低";
    QTest::newRow("yin/yang 0.61") << 4 << 0.61 << true << -3 << "阳腑盛于阴脏,机体代谢功能异常增加";
    QTest::newRow("high/low 1.5") << 5 << 1.5 << true << 0 << "全身自律神经系统功能正常";
    QTest::newRow("high/low 1.8") << 5 << 1.8 << true << 1 << "自律神经系统有轻微失衡现象";
    QTest::newRow("high/low 2.0") << 5 << 2.0 << true << 2 << "自律神经系统有中度失衡倾象";
    QTest::newRow("high/low 2.01") << 5 << 2.01 << true << 3 << "有明显自律神经系统失衡倾象";
  }
  void ratioBands() {
    QFETCH(int, index);
    QFETCH(double, ratio);
    QFETCH(bool, male);
    QFETCH(int, grade);
    QFETCH(QString, text);
    QCOMPARE(IndexGradeOf(index, ratio, male), grade);
    QCOMPARE(IndexSentence(index, grade), text);
  }

  void ratiosFromValues() {
    // Left 44, right 50: left/right exactly 0.88, grade 0.
    Values v = flat(50);
    for (int p : {1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18})
      v[p - 1] = 44;
    AnalysisResult r = analyse(v);
    QCOMPARE(IndexValue(r, kIndexLeftRight), 0.88);
    QCOMPARE(r.IndexGrade[kIndexLeftRight], 0);
    QCOMPARE(r.IndexText[kIndexLeftRight], IndexSentence(3, 0));
    // Hands 60, feet 40: upper/lower 1.5, high/low 1.5 (both grade 0 at 1.5 for
    // high/low, 3 for a male upper/lower).
    v = flat(60);
    for (int p = 13; p <= 24; ++p)
      v[p - 1] = 40;
    r = analyse(v);
    QCOMPARE(r.IndexGrade[kIndexUpperLower], 3);
    QCOMPARE(r.IndexGrade[kIndexHighLow], 0);
    QCOMPARE(IndexBarFill(r, kIndexHighLow), 15);
    QCOMPARE(IndexMeansText(r, kIndexUpperLower, QLocale::c()), QStringLiteral("上  60.0 / 下  40.0 ="));
  }

  void pointBalanceRounding_data() {
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("score");
    QTest::newRow("94.0 ties to even") << 94.0 << 9.4;
    QTest::newRow("95.0 ties to even") << 95.0 << 9.6;
    QTest::newRow("94.3") << 94.3 << 9.5;
    QTest::newRow("100") << 100.0 << 10.0;
    QTest::newRow("4.0 raised to 1.0") << 4.0 << 1.0;
    QTest::newRow("a hair above 94 is still the tie") << 94.0 + 1e-12 << 9.4;
    QTest::newRow("far below") << -1e300 << 1.0;
  }
  void pointBalanceRounding() {
    QFETCH(double, s);
    QFETCH(double, score);
    QCOMPARE(ScalePointBalance(s), score);
  }

  void stomachCrossTerm() {
    // Left ST (point 18) at grade 2, right ST level: the cross term takes the
    // left ST's own grade, 0.6 × 2 = 1.2. Left HT balances the body energy.
    Values v = flat(50);
    v[17] = 75;
    v[2] = 25;
    const AnalysisResult r = analyse(v);
    QCOMPARE(r.BodyEnergy, 50.0);
    QCOMPARE(r.PointGrade[18], 2);
    QCOMPARE(r.PointGrade[24], 0);
    QCOMPARE(r.MeridianGrade[12], 1);
    QCOMPARE(r.SideGrade[12], 1);
    // 100 − 20 − 3 − (1 + 1) − 1.2 = 73.8 → 7.4 (with the right ST's grade it
    // would be 75.0 → 7.6).
    QCOMPARE(r.PointBalance[18], 7.4);
  }

  void referenceEnergyByAge_data() {
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("male");
    QTest::addColumn<double>("reference");
    QTest::newRow("20.0") << 20.0 << true << 75.0;
    QTest::newRow("20.01") << 20.01 << true << 68.0;
    QTest::newRow("30") << 30.0 << true << 68.0;
    QTest::newRow("35") << 35.0 << true << 63.0;
    QTest::newRow("40") << 40.0 << true << 58.0;
    QTest::newRow("40 female") << 40.0 << false << 54.52;
    QTest::newRow("45.5") << 45.5 << true << 48.0;
    QTest::newRow("55") << 55.0 << true << 43.0;
    QTest::newRow("60") << 60.0 << true << 40.0;
    QTest::newRow("65") << 65.0 << true << 36.0;
    QTest::newRow("65.1 female") << 65.1 << false << 30.08;
  }
  void referenceEnergyByAge() {
    QFETCH(double, age);
    QFETCH(bool, male);
    QFETCH(double, reference);
    QVERIFY(std::fabs(ReferenceEnergy(age, male) - reference) < 1e-12);
  }

  void ageFromDates() {
    const double birth = ToDayNumber(QDate(1990, 5, 1));
    QCOMPARE(AnalysisAge(birth, birth + 7300), 20.0);
    QCOMPARE(ReferenceEnergy(AnalysisAge(birth, birth + 7300), true), 75.0);
    QCOMPARE(ReferenceEnergy(AnalysisAge(birth, birth + 7300.5), true), 68.0);
    QCOMPARE(AnalysisAge(0, birth + 7300), kDefaultAnalysisAge);
    QCOMPARE(AnalysisAge(-5, birth + 7300), kDefaultAnalysisAge);
    QCOMPARE(AnalysisAge(birth, 0), kDefaultAnalysisAge); // a measurement without a date
    // The age changes the overall balance only.
    AnalysisResult young, old;
    ComputeAnalysis(toSlots(kCaseA), true, birth, birth + 7300, kBuiltinMeridianFactor, young);
    ComputeAnalysis(toSlots(kCaseA), true, birth, birth + 7300.5, kBuiltinMeridianFactor, old);
    QCOMPARE(young.PointBalance, old.PointBalance);
    QVERIFY(young.OverallBalance < old.OverallBalance);
  }

  void overallBalanceFloor() {
    // Low energy, far below the reference, and points scattered between
    // strong excess and near nothing: the deductions take the index below 5.
    const Values v = {42,  39,  0.8, 42, 40,  0.6, 0.6, 0.4, 0.8, 0.4, 41, 36,
                      0.1, 0.9, 36,  1,  0.5, 0.8, 0.7, 0.5, 0.4, 37,  44, 0.6};
    const AnalysisResult r = analyse(v, false, 70);
    double raw = 90 + (r.BodyEnergy - 30.08) / 30.08 * 100 * 0.3 * 1.3;
    for (int p = 1; p <= 24; ++p)
      raw -= 0.6 * std::abs(r.PointGrade[p]);
    for (int m = 1; m <= 12; ++m)
      raw -= 0.6 * (std::abs(r.MeridianGrade[m]) + std::abs(r.SideGrade[m])) +
             0.5 * (std::abs(r.PairGrade[m]) + std::abs(r.PairDiffGrade[m]));
    raw -=
        std::abs(r.IndexGrade[2]) + std::abs(r.IndexGrade[3]) + std::abs(r.IndexGrade[4]) + r.IndexGrade[5];
    QVERIFY2(raw < 5, qPrintable(QString::number(raw)));
    QCOMPARE(r.OverallBalance, 5.0);
    QCOMPARE(FormatBalance(r.OverallBalance, QLocale::c()), QStringLiteral("5.0"));
  }

  void factorsCorrectButBodyEnergyIsRaw() {
    AnalysisResult r;
    QCOMPARE(ComputeAnalysisAtAge(toSlots(flat(40)), true, 40, kBuiltinMeridianFactor, r),
             AnalysisStatus::Ok);
    QCOMPARE(r.BodyEnergy, 40.0);
    QVERIFY(std::fabs(r.CorrectedValue[14] - 49.696) < 1e-12);
    QVERIFY(std::fabs(r.CorrectedValue[5] - 32.156) < 1e-12);
    QVERIFY(std::fabs(r.Deviation[14] - 9.696) < 1e-12);
  }

  void notComputable_data() {
    QTest::addColumn<Values>("values");
    QTest::addColumn<double>("factor");
    QTest::addColumn<AnalysisStatus>("status");
    Values group = kCaseA;
    group[21] = group[22] = group[23] = 0; // group 8, right foot yang
    Values negative = kCaseA;
    negative[4] = -1;
    Values nan = kCaseA;
    nan[7] = std::nan("");
    Values inf = kCaseA;
    inf[7] = HUGE_VAL;
    QTest::newRow("all zero") << flat(0) << 1.0 << AnalysisStatus::NoBodyEnergy;
    QTest::newRow("an empty group") << group << 1.0 << AnalysisStatus::EmptyGroup;
    QTest::newRow("negative value") << negative << 1.0 << AnalysisStatus::InvalidValue;
    QTest::newRow("not a number") << nan << 1.0 << AnalysisStatus::InvalidValue;
    QTest::newRow("infinite") << inf << 1.0 << AnalysisStatus::InvalidValue;
    QTest::newRow("zero factors") << kCaseA << 0.0 << AnalysisStatus::EmptyGroup;
    QTest::newRow("factor not a number") << kCaseA << std::nan("") << AnalysisStatus::InvalidFactor;
  }
  void notComputable() {
    QFETCH(Values, values);
    QFETCH(double, factor);
    QFETCH(AnalysisStatus, status);
    AppContext ctx;
    ctx.CurrentMeasurement.PointValue = toSlots(kCaseB);
    ctx.CurrentSubject.MaleSubject = false;
    QCOMPARE(ComputeAnalysis(ctx), AnalysisStatus::Ok);
    const AnalysisResult before = ctx.AnalysisResult;
    MeridianArray f;
    f.fill(factor);
    QCOMPARE(ComputeAnalysisAtAge(toSlots(values), true, 30, f, ctx.AnalysisResult), status);
    QCOMPARE(ctx.AnalysisResult.BodyEnergy, before.BodyEnergy);
    QCOMPARE(ctx.AnalysisResult.PointBalance, before.PointBalance);
    QCOMPARE(ctx.AnalysisResult.IndexText, before.IndexText);
    QCOMPARE(ctx.AnalysisResult.OverallBalance, before.OverallBalance);
  }

  void singleUnmeasuredPointIsAnalysed() {
    // The charts draw a point of 0 hanging down by the whole body energy.
    Values v = kCaseA;
    v[10] = 0;
    const AnalysisResult r = analyse(v, true, 35, kBuiltinMeridianFactor);
    QCOMPARE(r.Deviation[11], -r.BodyEnergy);
    for (int p = 1; p <= 24; ++p)
      QVERIFY(std::isfinite(r.PointBalance[p]) && r.PointBalance[p] >= 1.0 && r.PointBalance[p] <= 10.0);
  }

  void everyFieldRewritten() {
    AnalysisResult r = analyse(kCaseA, true, 35, kBuiltinMeridianFactor);
    const AnalysisResult a = r;
    ComputeAnalysisAtAge(toSlots(kCaseB), false, 40, kBuiltinMeridianFactor, r);
    ComputeAnalysisAtAge(toSlots(kCaseA), true, 35, kBuiltinMeridianFactor, r);
    QCOMPARE(r.CorrectedValue, a.CorrectedValue);
    QCOMPARE(r.ElementValue, a.ElementValue);
    QCOMPARE(r.ElementGrade, a.ElementGrade);
    QCOMPARE(r.PairDiffGrade, a.PairDiffGrade);
    QCOMPARE(r.IndexText, a.IndexText);
    QCOMPARE(r.LeftBalanceMean, a.LeftBalanceMean);
  }

  void displayRules_data() {
    QTest::addColumn<double>("score");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("full") << 10.0 << "[10.0]" << QColor(0, 0, 255);
    QTest::newRow("mean shown as 10.0") << 9.96 << "[10.0]" << QColor(0, 0, 255);
    QTest::newRow("9.5") << 9.504 << "9.5" << QColor(53, 210, 45);
    QTest::newRow("8.0") << 8.0 << "8.0" << QColor(53, 210, 45);
    QTest::newRow("7.9") << 7.9 << "7.9" << QColor(128, 128, 0);
    QTest::newRow("7.0") << 7.0 << "7.0" << QColor(128, 128, 0);
    QTest::newRow("6.9") << 6.9 << "6.9" << QColor(255, 0, 0);
  }
  void displayRules() {
    QFETCH(double, score);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(PointBalanceText(score, QLocale::c()), text);
    QCOMPARE(PointBalanceColour(score), colour);
  }

  void gradeColours() {
    const QColor green(0, 128, 0), gold(251, 214, 4), red(255, 0, 0);
    for (int i = 1; i <= 4; ++i) {
      QCOMPARE(IndexBarColour(i, 0), green);
      QCOMPARE(IndexBarColour(i, -2), gold);
      QCOMPARE(IndexBarColour(i, 1), gold);
      QCOMPARE(IndexBarColour(i, -3), red);
      QCOMPARE(IndexBarColour(i, 3), red);
    }
    QCOMPARE(IndexBarColour(5, 0), green);
    QCOMPARE(IndexBarColour(5, 2), gold);
    QCOMPARE(IndexBarColour(5, 3), red);
    QCOMPARE(MeasuredValueColour(0), QColor(53, 210, 45));
    QCOMPARE(MeasuredValueColour(-1), QColor(128, 128, 0));
    QCOMPARE(MeasuredValueColour(2), QColor(255, 0, 0));
    QCOMPARE(NormalRangeLabel(1, true), QStringLiteral("(30 - 64)"));
    QCOMPARE(NormalRangeLabel(1, false), QStringLiteral("(28 - 61)"));
    QCOMPARE(NormalRangeLabel(2, false), QStringLiteral("(0.78-1.09)"));
    // Writers copy the sentences into JSON as they are: nothing to escape,
    // and the two forms agree.
    for (int i = 1; i <= 5; ++i)
      for (int g = i == 5 ? 0 : -3; g <= 3; ++g) {
        const QByteArray utf8(IndexSentenceUtf8(i, g));
        QVERIFY(!utf8.isEmpty() && !utf8.contains('"') && !utf8.contains('\\'));
        QCOMPARE(QString::fromUtf8(utf8), IndexSentence(i, g));
      }
    QCOMPARE(IndexSentence(5, -1), QString());
    QCOMPARE(IndexSentenceUtf8(5, -1), nullptr);
  }
};

QTEST_GUILESS_MAIN(TestAnalysis)
#include "test_analysis.moc"
