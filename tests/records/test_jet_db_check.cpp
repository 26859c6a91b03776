// sova-cli db-check on Jet files: a file is sound only when every row reads.
#include "records/JetFixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestJetDbCheck : public QObject {
  Q_OBJECT
private slots:
  void lostRowsAreReported_data() {
    QTest::addColumn<bool>("damaged");
    QTest::newRow("sound") << false;
    QTest::newRow("measurement pages lost") << true;
  }
  void lostRowsAreReported() {
    QFETCH(bool, damaged);
    JET_FIXTURES_OR_SKIP(dir);
    QFile src(dir + QStringLiteral("/legacy-full.mdb"));
    QVERIFY(src.open(QIODevice::ReadOnly));
    QByteArray bytes = src.readAll();
    if (damaged) {
      constexpr int kPage = 4096;
      for (int p = 31; p < bytes.size() / kPage; ++p) {
        char *pg = bytes.data() + p * kPage;
        if (pg[0] == 1 && qFromLittleEndian<quint32>(pg + 4) == 26) // SoData's rows in this file
          memset(pg, 0, kPage);
      }
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("sova.mdb"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    QProcess p;
    p.start(QStringLiteral(SOVA_CLI), {QStringLiteral("db-check"), path});
    QVERIFY(p.waitForFinished(60000));
    const QString printed = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(p.exitCode(), damaged ? 1 : 0);
    QVERIFY2(printed.contains(QStringLiteral("SoCust: 3 rows")), qPrintable(printed));
    QCOMPARE(printed.contains(QStringLiteral("SoData: 5 rows")), !damaged);
    if (damaged)
      QVERIFY2(printed.contains(QStringLiteral("SoData: 数据库文件 %1 已损坏").arg(QDir::toNativeSeparators(path))),
               qPrintable(printed));
  }
};

QTEST_GUILESS_MAIN(TestJetDbCheck)
#include "test_jet_db_check.moc"
