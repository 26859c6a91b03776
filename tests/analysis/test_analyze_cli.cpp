// sova-cli analyze, run as a user runs it.
#include "analysis/Analysis.h"
#include "analysis/AnalysisJson.h"
#include "shell/DayNumber.h"

#include <QProcess>
#include <QtTest>

namespace {

const char kCaseA[] = "42.0,45.5,38.0,50.0,47.5,52.0,40.5,44.0,36.0,51.5,49.0,55.0,"
                      "35.0,30.5,33.0,48.0,41.0,44.5,36.5,28.0,34.0,50.5,39.5,46.0";
const char kCaseB[] = "20,22,18,25,24,26,21,23,19,24,22,27,15,12,14,25,20,22,16,11,13,26,19,21";

struct Run {
  int status = -1;
  QByteArray out, err;
};

Run analyze(const QStringList &args, const QByteArray &input = QByteArray()) {
  QProcess p;
  p.start(QStringLiteral(SOVA_CLI), QStringList{QStringLiteral("analyze")} + args);
  if (!p.waitForStarted())
    return {};
  p.write(input);
  p.closeWriteChannel();
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

SlotArray values(const char *list) {
  SlotArray a{};
  const QList<QByteArray> parts = QByteArray(list).split(',');
  for (int i = 0; i < 24; ++i)
    a[i + 1] = parts[i].toDouble();
  return a;
}

QByteArray expected(const char *list, bool male, double age,
                    const MeridianArray &f = kBuiltinMeridianFactor) {
  AnalysisResult r;
  ComputeAnalysisAtAge(values(list), male, age, f, r);
  return AnalysisResultToJson(r) + '\n';
}

} // namespace

class TestAnalyzeCli : public QObject {
  Q_OBJECT
private slots:
  void singleMeasurement() {
    Run r = analyze({"--values", kCaseA, "--sex", "M", "--age", "35"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, expected(kCaseA, true, 35));
    QVERIFY(r.err.isEmpty());

    // Dates: 35 × 365 days apart is the same age.
    const QDate measured(2026, 3, 14);
    const QDate birth = measured.addDays(-35 * 365);
    r = analyze({"--values", kCaseA, "--sex", "m", "--birth", birth.toString(Qt::ISODate), "--date",
                 measured.toString(Qt::ISODate) + " 00:00:00"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, expected(kCaseA, true, 35));

    // No birth date: the default age; factors of 1.0.
    MeridianArray ones;
    ones.fill(1.0);
    r = analyze({"--values", kCaseB, "--sex", "F", "--date", "2026-03-14 09:30:00", "--factors", "ones"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, expected(kCaseB, false, kDefaultAnalysisAge, ones));
    r = analyze({"--values=" + QString::fromLatin1(kCaseB), "--sex=F", "--factors=1,1,1,1,1,1,1,1,1,1,1,1"});
    QCOMPARE(r.out, expected(kCaseB, false, kDefaultAnalysisAge, ones));
  }

  void batch() {
    const QByteArray input = QByteArray("M,35,") + kCaseA + "\n\r\nF,," + kCaseB + "\r\n  \nF,61.5," + kCaseA;
    const QByteArray want = expected(kCaseA, true, 35) + expected(kCaseB, false, kDefaultAnalysisAge) +
                            expected(kCaseA, false, 61.5);
    Run r = analyze({"--batch", "-"}, input);
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, want);

    QTemporaryDir dir;
    QFile f(dir.filePath("batch.csv"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    // Enough lines to be shared out to several threads: order is kept.
    QByteArray many, manyWant;
    for (int i = 0; i < 5000; ++i) {
      const double age = 20 + i % 50;
      many += (i % 2 ? "F," : "M,") + QByteArray::number(age) + ',' + (i % 3 ? kCaseA : kCaseB) + '\n';
      manyWant += expected(i % 3 ? kCaseA : kCaseB, i % 2 == 0, age);
    }
    f.write(many);
    f.close();
    r = analyze({"--batch", f.fileName()});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out == manyWant);
  }

  void badInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("problem");
    const QString a = QString::fromLatin1(kCaseA);
    QString word = a, negative = a, infinite = a;
    infinite.replace(QStringLiteral("42.0"), QStringLiteral("inf"));
    const QString zeros = QStringList(24, QStringLiteral("0")).join(u',');
    word.replace(QStringLiteral("38.0"), QStringLiteral("3x8"));
    negative.replace(QStringLiteral("38.0"), QStringLiteral("-38"));
    QTest::newRow("23 values") << QStringList{"--values", a.section(',', 0, 22), "--sex", "M"} << QByteArray()
                               << "expected 24 values, got 23";
    QTest::newRow("25 values") << QStringList{"--values", a + ",1", "--sex", "M"} << QByteArray()
                               << "expected 24 values, got 25";
    QTest::newRow("not a number") << QStringList{"--values", word, "--sex", "M"} << QByteArray()
                                  << "value 3 '3x8' is not a number";
    QTest::newRow("negative") << QStringList{"--values", negative, "--sex", "M"} << QByteArray()
                              << "value 3 '-38' is negative";
    QTest::newRow("infinity") << QStringList{"--values", infinite, "--sex", "M"} << QByteArray()
                              << "not a number";
    QTest::newRow("unknown option") << QStringList{"--values", QString::fromLatin1(kCaseA), "--sex", "M",
                                                   "--fast"}
                                    << QByteArray() << "unknown option '--fast'";
    QTest::newRow("no sex") << QStringList{"--values", QString::fromLatin1(kCaseA)} << QByteArray()
                            << "--sex";
    QTest::newRow("bad sex") << QStringList{"--values", QString::fromLatin1(kCaseA), "--sex", "X"}
                             << QByteArray() << "--sex must be M or F";
    QTest::newRow("bad date") << QStringList{"--values", QString::fromLatin1(kCaseA),
                                             "--sex",    "M",
                                             "--birth",  "1990-02-30",
                                             "--date",   "2026-01-01 10:00:00"}
                              << QByteArray() << "--birth must be YYYY-MM-DD";
    QTest::newRow("age and birth") << QStringList{"--values", QString::fromLatin1(kCaseA),
                                                  "--sex",    "M",
                                                  "--age",    "30",
                                                  "--birth",  "1990-01-01"}
                                   << QByteArray() << "either --age or --birth";
    QTest::newRow("born after") << QStringList{"--values", QString::fromLatin1(kCaseA),
                                               "--sex",    "M",
                                               "--birth",  "2027-01-01",
                                               "--date",   "2026-01-01 10:00:00"}
                                << QByteArray() << "is after --date";
    QTest::newRow("factors") << QStringList{"--values",  QString::fromLatin1(kCaseA),
                                            "--sex",     "M",
                                            "--factors", "1,2"}
                             << QByteArray() << "expected 12 factors, got 2";
    QTest::newRow("all zero") << QStringList{"--values", zeros, "--sex", "M"} << QByteArray()
                              << "cannot be analysed: the body energy is 0";
    QTest::newRow("batch: bad second line")
        << QStringList{"--batch", "-"} << QByteArray("M,30,") + kCaseA + "\nF,30," + kCaseB + ",7\n"
        << "line 2: expected 24 values, got 25";
    QTest::newRow("batch: bad sex") << QStringList{"--batch", "-"} << QByteArray("W,30,") + kCaseA + "\n"
                                    << "line 1: sex 'W' is not M or F";
    QTest::newRow("batch: bad age") << QStringList{"--batch", "-"} << QByteArray("M,old,") + kCaseA + "\n"
                                    << "line 1: age 'old' is not a number";
    QTest::newRow("batch: empty group")
        << QStringList{"--batch", "-"} << QByteArray("M,30,0,0,0,") + QByteArray(kCaseA).mid(15) + "\n"
        << "line 1: cannot be analysed: a point group has a mean of 0";
    QTest::newRow("batch with values")
        << QStringList{"--batch", "-", "--sex", "M"} << QByteArray() << "do not go with it";
    QTest::newRow("batch: missing file")
        << QStringList{"--batch", "/nonexistent/batch.csv"} << QByteArray() << "cannot open";
  }
  void badInput() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, problem);
    const Run r = analyze(args, input);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.out.isEmpty(), r.out.left(200).constData());
    QVERIFY2(r.err.endsWith('\n') && r.err.count('\n') == 1, r.err.constData());
    QVERIFY2(QString::fromUtf8(r.err).contains(problem), r.err.constData());
  }
};

QTEST_GUILESS_MAIN(TestAnalyzeCli)
#include "test_analyze_cli.moc"
