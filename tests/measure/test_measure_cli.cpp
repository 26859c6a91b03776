// sova-cli measure: a whole simulated run as JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestMeasureCli : public QObject {
  Q_OBJECT
  QByteArray m_out, m_err;
  int run(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(SOVA_BINARY_DIR "/app/sova-cli"), QStringList{"measure"} + args);
    if (!p.waitForFinished(60000))
      return -1;
    m_out = p.readAllStandardOutput();
    m_err = p.readAllStandardError();
    return p.exitCode();
  }

private slots:
  void demoRunWithTrace() {
    QCOMPARE(run({"--simulate", "--seed", "11", "--trace", "--sound-mode", "1"}), 0);
    const QJsonObject o = QJsonDocument::fromJson(m_out).object();
    for (const char *key : {"PointValue", "CorrectedValue", "Stability"}) {
      const QJsonArray a = o.value(QLatin1String(key)).toArray();
      QCOMPARE(a.size(), 24);
      for (const QJsonValue &v : a)
        QVERIFY(v.toDouble() > 0);
    }
    QVERIFY(QDateTime::fromString(o.value("MeasurementDate").toString(), "yyyy-MM-dd hh:mm:ss").isValid());
    const QJsonArray trace = o.value("Trace").toArray();
    QStringList first;
    for (int i = 0; i < 4; ++i)
      first << trace.at(i).toObject().value("command").toString();
    QCOMPARE(first, QStringList({"X0000", "L0000", "I0000", "K0001"}));
    QCOMPARE(trace.last().toObject().value("command").toString(), QStringLiteral("X0000"));
    double last = -1;
    int beats = 0;
    for (const QJsonValue &v : trace) {
      const QJsonObject e = v.toObject();
      QVERIFY(e.value("t").toDouble() >= last);
      last = e.value("t").toDouble();
      QCOMPARE(e.value("command").toString().size(), 5);
      if (e.value("command").toString() == u"D0000")
        QVERIFY(e.value("reply").toString().startsWith(u'D'));
      beats += e.value("command").toString() == u"SB660";
    }
    QCOMPARE(beats, 24 * 5);
    // The same seed gives the same values.
    QCOMPARE(run({"--simulate", "--seed", "11"}), 0);
    QCOMPARE(QJsonDocument::fromJson(m_out).object().value("PointValue"), o.value("PointValue"));
  }

  void scenarioScriptsTheOperator() {
    QTemporaryDir dir;
    QFile f(dir.filePath("s.json"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"({"contacts": [{"level": 1000}, {"level": 600, "noise": 0}], "references": [4000, 4000]})");
    f.close();
    QCOMPARE(run({"--simulate", "--scenario", f.fileName(), "--older-hardware"}), 0);
    const QJsonArray values = QJsonDocument::fromJson(m_out).object().value("PointValue").toArray();
    QCOMPARE(values.at(0).toDouble(), 50.0);
    QCOMPARE(values.at(1).toDouble(), 30.0);
    QCOMPARE(values.at(2).toDouble(), 0.0); // the contacts ran out: the run was stopped
  }

  void badInputIsRefused_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("scenario");
    QTest::newRow("no --simulate") << QStringList{} << QByteArray();
    QTest::newRow("sound mode 3") << QStringList{"--simulate", "--sound-mode", "3"} << QByteArray();
    QTest::newRow("not JSON") << QStringList{"--simulate"} << QByteArray("{contacts");
    QTest::newRow("level out of range") << QStringList{"--simulate"} << QByteArray(R"({"contacts":[{"level":5000}]})");
  }
  void badInputIsRefused() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, scenario);
    QTemporaryDir dir;
    if (!scenario.isEmpty()) {
      QFile f(dir.filePath("s.json"));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(scenario);
      f.close();
      args << "--scenario" << f.fileName();
    }
    QCOMPARE(run(args), 2);
    QVERIFY(m_out.isEmpty());
    QVERIFY(m_err.startsWith("sova-cli: ") || m_err.startsWith("usage"));
  }
};

QTEST_GUILESS_MAIN(TestMeasureCli)
#include "test_measure_cli.moc"
