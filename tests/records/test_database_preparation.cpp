// The database part of the start-up check on temporary data folders: installing
// delivered and missing files, converting an old database, the dated backup and
// PRESOA, and what a failure leaves behind.
#include "records/Database.h"
#include "records/DatabasePreparation.h"
#include "records/DbSchema.h"
#include "records/RecordStore.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Prompter.h"
#include "shell/StartupView.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct RecordingView : StartupView {
  Colour colour[8] = {};
  bool on[8] = {};
  QString rowLabel = QStringLiteral("USB Status:"), status;
  QList<int> progress;
  void setLightColour(int k, Colour c) override { colour[k] = c; }
  void setLightOn(int k, bool o) override { on[k] = o; }
  void setRowLabel(const QString &t) override { rowLabel = t; }
  void setProgress(int p) override { progress.append(p); }
  void setFields(const QString &, const QString &, const QString &) override {}
  void setStatusText(const QString &t) override { status = t; }
};

const QDate kToday(2026, 3, 14);

struct Folder {
  QTemporaryDir dir;
  VirtualClock clock{0, QDateTime(kToday, QTime(8, 30))};
  ScriptedPrompter prompter;
  AppContext ctx{&clock, &prompter};
  RecordingView view;

  Folder() {
    ctx.dataFolder = dir.path() + u'/';
    QString err;
    CreateDatabaseFile(path(DbFile::Reference), DatabaseKind::Reference, &err);
    CreateDatabaseFile(path(DbFile::Programme), DatabaseKind::Programme, &err);
  }
  ~Folder() { ctx.database().close(); }
  QString path(const QString &name) const { return dir.path() + u'/' + name; }
  QString path(const char *name) const { return path(QLatin1String(name)); }
  bool exists(const QString &name) const { return QFile::exists(path(name)); }
  bool exists(const char *name) const { return exists(QLatin1String(name)); }
  QStringList files() const {
    QStringList l = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    l.removeAll(QLatin1String(DbFile::Reference));
    l.removeAll(QLatin1String(DbFile::Programme));
    std::sort(l.begin(), l.end());
    return l;
  }
  void makeTemplate() {
    QString err;
    QVERIFY2(CreateTemplateDatabase(dir.path(), &err), qPrintable(err));
  }
  bool run() {
    DatabasePreparation prep(ctx, view);
    return prep.Run();
  }
  QStringList messages() const {
    QStringList l;
    for (const auto &q : prompter.questions())
      l << QString::number(q.type) + u':' + q.text;
    return l;
  }
  QSqlDatabase work() const { return ctx.database().working(); }
};

// A working database of ours at path with the given subjects and measurements.
struct FileBuilder {
  QString path, connection;
  QSqlDatabase db;
  explicit FileBuilder(const QString &p) : path(p), connection(QStringLiteral("builder_") + p) {
    QString err;
    if (!QFile::exists(p))
      CreateDatabaseFile(p, DatabaseKind::Working, &err);
    db = OpenDatabaseFile(p, OpenMode::ReadWrite, connection, &err);
  }
  ~FileBuilder() {
    db = QSqlDatabase();
    CloseDatabaseConnection(connection);
  }
  void subject(const QString &no, const QString &name = QStringLiteral("张三"), double birth = 0) {
    QString err;
    QVERIFY2(InsertRow(db, QStringLiteral("SoCust"),
                       {{"CustNo", no}, {"Name", name}, {"Sex", true}, {"DBirth", birth}, {"PRESOA", 0.0}}, &err),
             qPrintable(err));
  }
  void measurement(const QString &no, double date, const QString &std = QString()) {
    QVariantMap row{{"CustNo", no}, {"SoDate", date}, {"SoVota", false}, {"MEMO1", QStringLiteral("备注")}};
    for (int k = 1; k <= 24; ++k)
      row.insert(QStringLiteral("SO%1").arg(k), 10.0 + k);
    if (!std.isEmpty())
      row.insert(QStringLiteral("STD"), std);
    QString err;
    QVERIFY2(InsertRow(db, QStringLiteral("SoData"), row, &err), qPrintable(err));
  }
  void exec(const QString &sql) {
    QSqlQuery q(db);
    QVERIFY2(q.exec(sql), qPrintable(q.lastError().text() + u' ' + sql));
  }
};

int count(QSqlDatabase db, const QString &sql) {
  QSqlQuery q(db);
  if (!q.exec(sql) || !q.next())
    return -1;
  return q.value(0).toInt();
}

double day(int y, int m, int d, int h = 0, int min = 0) { return ToDayNumber(QDateTime(QDate(y, m, d), QTime(h, min))); }

const QString kBackup = QStringLiteral("sova_20260314_BAK.mdb");

} // namespace

class TestDatabasePreparation : public QObject {
  Q_OBJECT

private slots:
  void onlyTheTemplateCreatesTheWorkingDatabase() {
    Folder f;
    f.makeTemplate();
    QVERIFY(f.run());
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "Sova6.mdb"}));
    QVERIFY(f.ctx.database().isOpen());
    QCOMPARE(count(f.work(), QStringLiteral("SELECT COUNT(*) FROM SoCust")), 0);
    // No conversion: lights 1 and 2 green, the rest yellow and dark.
    QCOMPARE(f.view.colour[1], StartupView::Colour::Green);
    QCOMPARE(f.view.colour[2], StartupView::Colour::Green);
    QCOMPARE(f.view.colour[3], StartupView::Colour::Yellow);
    QVERIFY(f.view.on[1] && f.view.on[2] && !f.view.on[3]);
    QCOMPARE(f.view.rowLabel, QStringLiteral("USB Status:"));
  }

  void missingTemplateIsToldAndNothingIsConverted() {
    Folder f;
    {
      FileBuilder old(f.path("sova.mdb"));
      old.subject(QStringLiteral("A1"));
    }
    FileBuilder(f.path("sova6.mdb"));
    QVERIFY(!f.run());
    QCOMPARE(f.messages(), QStringList({"6:您没有完全安装 S.O.V.A.，数据库不存在！请重新安装S.O.V.A."}));
    QVERIFY(f.exists("sova.mdb"));
    QVERIFY(!f.exists(kBackup));
    QCOMPARE(count(f.work(), QStringLiteral("SELECT COUNT(*) FROM SoCust")), 0);
  }

  void connectionsThatCannotOpenAreReported() {
    Folder f;
    f.makeTemplate();
    QFile::remove(f.path(DbFile::Reference));
    QVERIFY(!f.run());
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 6);
    QVERIFY(f.prompter.questions()[0].text.startsWith(
        QStringLiteral("S.O.V.A.数据库启动错误！如果您的操作系统是 Windows 98, SE 或 NT 4.0，请先安装 Microsoft ADO "
                       "驱动程序再执行")));
    QVERIFY(f.prompter.questions()[0].text.contains(QLatin1String(DbFile::Reference)));
    QVERIFY(!f.ctx.database().isOpen());
  }

  void deliveredDatabaseTakesTheOldRows() {
    Folder f;
    f.makeTemplate();
    {
      FileBuilder delivered(f.path("sova_60.mdb"));
      delivered.subject(QStringLiteral("D1"), QStringLiteral("样本"));
    }
    {
      FileBuilder current(f.path("sova6.mdb"));
      current.subject(QStringLiteral("A1"), QStringLiteral("李四"), day(1970, 5, 2, 13, 45));
      current.subject(QStringLiteral("A10"));
      current.subject(QStringLiteral("B7"));
      current.measurement(QStringLiteral("A10"), day(2025, 12, 1, 10));
      current.measurement(QStringLiteral("A1"), day(2025, 6, 1, 9));
      current.measurement(QStringLiteral("A1"), day(2025, 8, 3, 16, 20), QStringLiteral("  9.5"));
      current.measurement(QStringLiteral("A1"), day(2025, 7, 9, 11));
    }
    QVERIFY(f.run());
    QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages().join(u'\n')));
    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "sova6.mdb", kBackup}));

    QSqlDatabase db = f.work();
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoCust")), 4);
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoCust WHERE CustNo = 'D1'")), 1); // the delivered row
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 4);

    const auto a1 = FindSubject(db, QStringLiteral("A1"));
    QVERIFY(a1);
    QCOMPARE(a1->Name, QStringLiteral("李四"));
    QCOMPARE(a1->DBirth, day(1970, 5, 2)); // the date only
    // A1 takes its own latest date, not that of A10; B7 has no measurement.
    QCOMPARE(a1->PRESOA, day(2025, 8, 3, 16, 20));
    QCOMPARE(FindSubject(db, QStringLiteral("A10"))->PRESOA, day(2025, 12, 1, 10));
    QCOMPARE(FindSubject(db, QStringLiteral("B7"))->PRESOA, 0.0);
    QCOMPARE(FindSubject(db, QStringLiteral("D1"))->PRESOA, 0.0);
    const auto latest = MeasurementsOf(db, QStringLiteral("A1"));
    QCOMPARE(latest.size(), 3);
    QCOMPARE(latest[0].STD, QStringLiteral("  9.5"));
    QCOMPARE(latest[0].SO[24], 34.0);
    QCOMPARE(latest[0].MEMO1, QStringLiteral("备注"));

    // The lights: all four tables and PRESOA done; the bar ends full.
    for (int k = 1; k <= 7; ++k) {
      QCOMPARE(f.view.colour[k], StartupView::Colour::Green);
      QVERIFY(f.view.on[k]);
    }
    QCOMPARE(f.view.rowLabel, QStringLiteral("DBT Prog:"));
    QCOMPARE(f.view.status, QStringLiteral("S.O.V.A. 数据库转换中，请稍候.."));
    QVERIFY(f.view.progress.contains(75)); // 3 of 3 subject rows: 3 / (3 + 1)
  }

  void olderDatabaseWithoutLaterFieldsConverts() {
    Folder f;
    f.makeTemplate();
    {
      // sova4.mdb of an earlier version: no STD, PRESOA or later programme fields.
      FileBuilder old(f.path("sova4_build.tmp"));
      old.db.close();
    }
    QFile::remove(f.path("sova4_build.tmp"));
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("early"));
      db.setDatabaseName(f.path("SOVA4.MDB"));
      QVERIFY(db.open());
      QSqlQuery q(db);
      QString so;
      for (int k = 1; k <= 24; ++k)
        so += QStringLiteral(", SO%1 REAL").arg(k);
      for (const QString &sql :
           {QStringLiteral("CREATE TABLE SoCust (CustNo TEXT, Name TEXT, Sex INTEGER, DBirth REAL, Addr TEXT, "
                           "Tel TEXT, Tel2 TEXT, Tel3 TEXT, EMail TEXT, BType TEXT, Height REAL, Weight REAL, "
                           "Memo TEXT, CustCat TEXT, CustFG TEXT, PrtFG INTEGER)"),
            QStringLiteral("CREATE TABLE SoData (MKEY INTEGER PRIMARY KEY, CustNo TEXT, SoDate REAL, SoVota INTEGER, "
                           "MEMO1 TEXT, MEMO2 TEXT, AutoKey TEXT, PrtFG INTEGER%1)")
                .arg(so),
            QStringLiteral("CREATE TABLE SoPro (MKEY INTEGER, ProNo TEXT, ProName TEXT, ProData TEXT, ProPict BLOB, "
                           "ProScal INTEGER, PrtFG INTEGER)"),
            QStringLiteral("CREATE TABLE SoPrDt (ProNo TEXT, ProSubN TEXT, ProNote TEXT, ProAnd TEXT, ProCond TEXT, "
                           "ProEng REAL, ProFlg INTEGER, PrtFG INTEGER)"),
            QStringLiteral("INSERT INTO SoCust (CustNo, Name, Sex, DBirth) VALUES ('O''Neil', 'Old', 0, 0)"),
            QStringLiteral("INSERT INTO SoData (CustNo, SoDate, SoVota, SO1) VALUES ('O''Neil', 46000.5, 1, 55.5)"),
            QStringLiteral("INSERT INTO SoPro (MKEY, ProNo, ProName, ProScal) VALUES (1, 'P1', '调理', 1)"),
            QStringLiteral("INSERT INTO SoPrDt (ProNo, ProSubN, ProEng, ProFlg) VALUES ('P1', '1', 30.5, 1)")})
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
      q.finish();
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("early"));

    QVERIFY(f.run());
    QVERIFY2(f.messages().isEmpty(), qPrintable(f.messages().join(u'\n')));
    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "Sova6.mdb", kBackup}));
    QSqlDatabase db = f.work();
    const auto s = FindSubject(db, QStringLiteral("O'Neil"));
    QVERIFY(s);
    QVERIFY(!s->Sex);
    QCOMPARE(s->PRESOA, 46000.5);
    const auto m = MeasurementsOf(db, QStringLiteral("O'Neil"));
    QCOMPARE(m.size(), 1);
    QVERIFY(m[0].SoVota);
    QCOMPARE(m[0].SO[1], 55.5);
    QVERIFY(m[0].STD.isEmpty());
    QSqlQuery q(db);
    QVERIFY(q.exec(QStringLiteral("SELECT ProName, ProScal, ProFn, ProPrg1 FROM SoPro")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("调理"));
    QCOMPARE(q.value(1).toInt(), 1);
    QVERIFY(q.value(2).toString().isEmpty());
    QVERIFY(q.value(3).toString().isEmpty());
    QVERIFY(q.exec(QStringLiteral("SELECT ProEng, ProAGL, ProAGH FROM SoPrDt")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toDouble(), 30.5);
    QVERIFY(q.value(1).isNull() || q.value(1).toDouble() == 0.0);
  }

  void secondConversionTheSameDayReplacesTheBackup() {
    Folder f;
    f.makeTemplate();
    {
      FileBuilder earlier(f.path(kBackup));
      earlier.subject(QStringLiteral("EARLIER"));
    }
    {
      FileBuilder old(f.path("sova.mdb"));
      old.subject(QStringLiteral("LATER"));
    }
    QVERIFY(f.run());
    QVERIFY(f.messages().isEmpty());
    QVERIFY(!f.exists("sova.mdb"));
    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "Sova6.mdb", kBackup}));
    FileBuilder backup(f.path(kBackup));
    QCOMPARE(count(backup.db, QStringLiteral("SELECT COUNT(*) FROM SoCust WHERE CustNo = 'LATER'")), 1);
    QCOMPARE(count(backup.db, QStringLiteral("SELECT COUNT(*) FROM SoCust WHERE CustNo = 'EARLIER'")), 0);
  }

  void conversionFailingHalfwayLeavesEverythingAsItWas() {
    Folder f;
    f.makeTemplate();
    {
      FileBuilder work(f.path("sova6.mdb"));
      work.subject(QStringLiteral("KEEP"));
      work.measurement(QStringLiteral("KEEP"), day(2026, 1, 2, 10));
    }
    {
      FileBuilder old(f.path("sova.mdb"));
      old.subject(QStringLiteral("NEW1"));
      old.subject(QStringLiteral("NEW2"));
      old.measurement(QStringLiteral("NEW1"), day(2026, 2, 1));
      // The programme table is damaged: it has lost a field every version has.
      old.exec(QStringLiteral("ALTER TABLE SoPro DROP COLUMN ProName"));
    }
    const QByteArray oldBytes = [&] {
      QFile file(f.path("sova.mdb"));
      file.open(QIODevice::ReadOnly);
      return file.readAll();
    }();

    QVERIFY(f.run()); // the program can go on with the working database as it was
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 6);
    QVERIFY(f.prompter.questions()[0].text.contains(QStringLiteral("sova.mdb")));
    QVERIFY(f.prompter.questions()[0].text.contains(QStringLiteral("ProName")));

    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "sova.mdb", "sova6.mdb"}));
    QFile file(f.path("sova.mdb"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), oldBytes);
    QSqlDatabase db = f.work();
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoCust")), 1);
    QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 1);
    QCOMPARE(f.view.colour[3], StartupView::Colour::Green); // SoCust and SoData went through first
    QCOMPARE(f.view.colour[4], StartupView::Colour::Green);
    QCOMPARE(f.view.colour[5], StartupView::Colour::Yellow);
  }

  void renameThatCannotBeDoneIsReported() {
    // A delivery arrives while an earlier old database still waits: the
    // working database cannot become "sova.mdb", so the delivery waits too and
    // the waiting file is converted into the current working database.
    Folder f;
    f.makeTemplate();
    {
      FileBuilder delivered(f.path("sova_60.mdb"));
      delivered.subject(QStringLiteral("D1"));
    }
    {
      FileBuilder work(f.path("sova6.mdb"));
      work.subject(QStringLiteral("W1"));
    }
    {
      FileBuilder old(f.path("SOVA.mdb"));
      old.subject(QStringLiteral("O1"));
    }
    QVERIFY(f.run());
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions()[0].type, 6);
    QVERIFY(f.prompter.questions()[0].text.contains(QStringLiteral("sova6.mdb")));
    QCOMPARE(f.files(), QStringList({"SoSpa_60.mdb", "sova6.mdb", kBackup, "sova_60.mdb"}));
    QSqlDatabase db = f.work();
    QVERIFY(FindSubject(db, QStringLiteral("W1")));
    QVERIFY(FindSubject(db, QStringLiteral("O1")));
    QVERIFY(!FindSubject(db, QStringLiteral("D1")));
  }
};

QTEST_MAIN(TestDatabasePreparation)
#include "test_database_preparation.moc"
