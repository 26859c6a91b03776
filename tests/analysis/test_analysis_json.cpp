#include "analysis/Analysis.h"
#include "analysis/AnalysisJson.h"
#include "analysis/ShortestDouble.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

SlotArray caseA() {
  const double v[24] = {42.0, 45.5, 38.0, 50.0, 47.5, 52.0, 40.5, 44.0, 36.0, 51.5, 49.0, 55.0,
                        35.0, 30.5, 33.0, 48.0, 41.0, 44.5, 36.5, 28.0, 34.0, 50.5, 39.5, 46.0};
  SlotArray a{};
  for (int i = 0; i < 24; ++i)
    a[i + 1] = v[i];
  return a;
}

QString shortest(double v) {
  char buf[64];
  return QString::fromLatin1(buf, WriteShortestDouble(buf, v) - buf);
}

QString reference(double v) {
  char buf[64];
  return QString::fromLatin1(buf, std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
}

template <std::size_t N> void compareArray(const QJsonValue &json, const std::array<double, N> &a) {
  const QJsonArray arr = json.toArray();
  QCOMPARE(arr.size(), qsizetype(N - 1));
  for (std::size_t i = 1; i < N; ++i)
    QCOMPARE(arr[qsizetype(i - 1)].toDouble(), a[i]); // exact: the text reads back to the same double
}

template <std::size_t N> void compareGrades(const QJsonValue &json, const std::array<int, N> &a) {
  const QJsonArray arr = json.toArray();
  QCOMPARE(arr.size(), qsizetype(N - 1));
  for (std::size_t i = 1; i < N; ++i)
    QCOMPARE(arr[qsizetype(i - 1)].toInt(), a[i]);
}

} // namespace

class TestAnalysisJson : public QObject {
  Q_OBJECT
private slots:
  void shortestMatchesToChars_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative zero") << -0.0;
    QTest::newRow("tenth") << 0.1;
    QTest::newRow("score") << 9.4;
    QTest::newRow("whole") << 10.0;
    QTest::newRow("corrected") << 42.0 * 1.1081;
    QTest::newRow("unit") << 0.93583984375;
    QTest::newRow("small") << 0.000123;
    QTest::newRow("1e-7") << 1e-7;
    QTest::newRow("1e16") << 1e16;
    QTest::newRow("2^53 + 2") << 9007199254740994.0;
    QTest::newRow("large whole, exact digits") << 53165205877497296.0;
    QTest::newRow("1e22") << 1e22;
    QTest::newRow("1e23") << 1e23;
    QTest::newRow("max") << std::numeric_limits<double>::max();
    QTest::newRow("min normal") << std::numeric_limits<double>::min();
    QTest::newRow("min subnormal") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("below 2^-1022 boundary") << std::nextafter(std::numeric_limits<double>::min(), 0.0);
    QTest::newRow("power of two, closer lower neighbour") << 1024.0 * 1024 * 1024 * 1024 * 1024 * 1024;
    QTest::newRow("negative") << -7.804783333333334;
  }
  void shortestMatchesToChars() {
    QFETCH(double, value);
    QCOMPARE(shortest(value), reference(value));
  }

  void shortestMatchesToCharsOnRandomDoubles() {
    std::mt19937_64 rng(20261211);
    std::uniform_real_distribution<double> uA(0.1, 200);
    int mismatches = 0;
    for (int i = 0; i < 400000 && mismatches < 5; ++i) {
      std::uint64_t bits = rng();
      double any;
      std::memcpy(&any, &bits, sizeof any);
      // Any bit pattern, and values like those the analysis prints.
      const double typical = std::round(uA(rng) * 10) / 10 * 1.2424 / 3.0;
      for (double v : {any, typical}) {
        if (!std::isfinite(v) || shortest(v) == reference(v))
          continue;
        ++mismatches;
        qWarning("%s written as %s", qPrintable(reference(v)), qPrintable(shortest(v)));
      }
    }
    QCOMPARE(mismatches, 0);
  }

  void objectHasEveryField() {
    AnalysisResult r;
    QCOMPARE(ComputeAnalysisAtAge(caseA(), true, 35, kBuiltinMeridianFactor, r), AnalysisStatus::Ok);
    const QByteArray json = AnalysisResultToJson(r);
    std::string appended = "x";
    AppendAnalysisJson(appended, r);
    QCOMPARE(QByteArray::fromStdString(appended), "x" + json);
    QVERIFY(json.size() <= qsizetype(AnalysisJsonMaxSize(r)));
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(json, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    const QStringList keys = {"BodyEnergy",
                              "LowEnergy",
                              "CorrectedValue",
                              "Deviation",
                              "ThresholdUnit",
                              "StrongExcess",
                              "Excess",
                              "Deficiency",
                              "StrongDeficiency",
                              "SideDifference",
                              "StrongSideDifference",
                              "GroupMean",
                              "YinMean",
                              "YangMean",
                              "UpperMean",
                              "LowerMean",
                              "LeftMean",
                              "RightMean",
                              "MinGroupMean",
                              "MaxGroupMean",
                              "PairMean",
                              "ElementValue",
                              "PointGrade",
                              "MeridianGrade",
                              "SideGrade",
                              "PairGrade",
                              "PairDiffGrade",
                              "ElementGrade",
                              "IndexGrade",
                              "IndexText",
                              "OverallBalance",
                              "PointBalance",
                              "MeridianBalance",
                              "LeftBalanceMean",
                              "RightBalanceMean"};
    QStringList sortedKeys = keys;
    sortedKeys.sort();
    QCOMPARE(o.keys(), sortedKeys);
    // Written in the order of the record.
    qsizetype last = -1;
    for (const QString &k : keys) {
      const qsizetype at = json.indexOf("\"" + k.toUtf8() + "\":");
      QVERIFY2(at > last, qPrintable(k));
      last = at;
    }

    QCOMPARE(o["BodyEnergy"].toDouble(), r.BodyEnergy);
    QCOMPARE(o["LowEnergy"].toBool(), false);
    QCOMPARE(o["ThresholdUnit"].toDouble(), r.ThresholdUnit);
    QCOMPARE(o["StrongSideDifference"].toDouble(), r.StrongSideDifference);
    QCOMPARE(o["MinGroupMean"].toDouble(), r.MinGroupMean);
    QCOMPARE(o["OverallBalance"].toDouble(), r.OverallBalance);
    QCOMPARE(o["RightBalanceMean"].toDouble(), r.RightBalanceMean);
    compareArray(o["CorrectedValue"], r.CorrectedValue);
    compareArray(o["Deviation"], r.Deviation);
    compareArray(o["GroupMean"], r.GroupMean);
    compareArray(o["PairMean"], r.PairMean);
    compareArray(o["PointBalance"], r.PointBalance);
    compareGrades(o["PointGrade"], r.PointGrade);
    compareGrades(o["PairDiffGrade"], r.PairDiffGrade);
    compareGrades(o["IndexGrade"], r.IndexGrade);
    const QJsonArray rows = o["ElementValue"].toArray(), gradeRows = o["ElementGrade"].toArray();
    QCOMPARE(rows.size(), 7);
    QCOMPARE(gradeRows.size(), 7);
    for (int row = 1; row <= 7; ++row) {
      QCOMPARE(rows[row - 1].toArray().size(), 3);
      for (int c = 1; c <= 3; ++c) {
        QCOMPARE(rows[row - 1].toArray()[c - 1].toDouble(), r.ElementValue[row][c]);
        QCOMPARE(gradeRows[row - 1].toArray()[c - 1].toInt(), r.ElementGrade[row][c]);
      }
    }
    const QJsonArray texts = o["IndexText"].toArray();
    QCOMPARE(texts.size(), 5);
    for (int i = 1; i <= 5; ++i)
      QCOMPARE(texts[i - 1].toString(), r.IndexText[i]);
    QVERIFY(json.contains("\"IndexText\":[\"体能及元气状态正常\","));
    QVERIFY(json.contains("\"PointBalance\":[9.4,10,10,9.7,"));
  }

  void textsAreEscaped() {
    AnalysisResult r;
    ComputeAnalysisAtAge(caseA(), false, 40, kBuiltinMeridianFactor, r);
    r.IndexText[2] = QStringLiteral("a \"quoted\" \\ back\nline\t说明");
    const QJsonObject o = QJsonDocument::fromJson(AnalysisResultToJson(r)).object();
    QCOMPARE(o["IndexText"].toArray()[1].toString(), r.IndexText[2]);
    QCOMPARE(o["IndexText"].toArray()[0].toString(), r.IndexText[1]);
  }
};

QTEST_GUILESS_MAIN(TestAnalysisJson)
#include "test_analysis_json.moc"
