// A Jet file where the working database belongs is moved aside to be converted.
#include "records/Database.h"
#include "records/JetWorkingFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestJetWorkingFiles : public QObject {
  Q_OBJECT
private slots:
  void jetFilesLeaveTheWorkingPlace_data() {
    QTest::addColumn<QStringList>("jet");    // files written as Jet
    QTest::addColumn<QStringList>("sqlite"); // files written as ours
    QTest::addColumn<QStringList>("after");  // the folder afterwards, name:format
    QTest::addColumn<QStringList>("told");   // a phrase of each message
    QTest::newRow("jet working") << QStringList{"Sova6.mdb"} << QStringList{"SoSpa_60.mdb"}
                                 << QStringList{"SoSpa_60.mdb:sqlite", "sova.mdb:jet"}
                                 << QStringList{"Sova6.mdb 是 Windows 版的 Access 数据库"};
    QTest::newRow("jet delivered, no working")
        << QStringList{"sova_60.mdb"} << QStringList{} << QStringList{"sova.mdb:jet"}
        << QStringList{"sova_60.mdb 是 Windows 版的 Access 数据库，不能直接作为工作数据库使用。已将它改名为 sova.mdb，"
                       "其资料将转换到由模板新建的工作数据库中。"};
    QTest::newRow("jet delivered beside ours")
        << QStringList{"SOVA_60.MDB"} << QStringList{"sova6.mdb"} << QStringList{"sova.mdb:jet", "sova6.mdb:sqlite"}
        << QStringList{"转换到现有的工作数据库中"};
    QTest::newRow("both jet") << QStringList{"sova6.mdb", "sova_60.mdb"} << QStringList{}
                              << QStringList{"sova.mdb:jet", "sova_60.mdb:jet"}
                              << QStringList{"由模板新建的", "sova_60.mdb 将在下次启动时转换"};
    QTest::newRow("jet working, old waiting")
        << QStringList{"sova6.mdb"} << QStringList{"sova.mdb"} << QStringList{"sova.mdb:sqlite", "sova6.mdb:jet"}
        << QStringList{"请移走其中一个文件后重新启动"};
    QTest::newRow("all ours") << QStringList{} << QStringList{"sova6.mdb", "sova_60.mdb"}
                              << QStringList{"sova6.mdb:sqlite", "sova_60.mdb:sqlite"} << QStringList{};
    QTest::newRow("jet old database stays") << QStringList{"sova.mdb", "sova4.mdb"} << QStringList{"sova6.mdb"}
                                            << QStringList{"sova.mdb:jet", "sova4.mdb:jet", "sova6.mdb:sqlite"}
                                            << QStringList{};
  }
  void jetFilesLeaveTheWorkingPlace() {
    QFETCH(QStringList, jet);
    QFETCH(QStringList, sqlite);
    QFETCH(QStringList, after);
    QFETCH(QStringList, told);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    QByteArray jetHead(4096 * 4, '\0');
    jetHead[1] = 1;
    jetHead.replace(4, 15, "Standard Jet DB");
    for (const QString &name : jet) {
      QFile f(dir + name);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(jetHead);
    }
    for (const QString &name : sqlite) {
      QString err;
      QVERIFY2(CreateDatabaseFile(dir + name, DatabaseKind::Working, &err), qPrintable(err));
    }

    const QStringList messages = SetAsideJetWorkingFiles(tmp.path());

    QStringList folder;
    for (const QString &name : QDir(dir).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
      folder << name + (DetectFileFormat(dir + name) == FileFormat::Jet ? ":jet" : ":sqlite");
    QCOMPARE(folder, after);
    QCOMPARE(messages.size(), told.size());
    for (int i = 0; i < told.size(); ++i)
      QVERIFY2(messages[i].contains(told[i]), qPrintable(messages[i]));
  }
};

QTEST_GUILESS_MAIN(TestJetWorkingFiles)
#include "test_jet_working_files.moc"
