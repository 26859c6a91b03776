#include "records/CalculatedFields.h"
#include "records/Database.h"
#include "records/DbTransaction.h"
#include "records/JetFixtures.h"
#include "records/MeasurementQueryModel.h"
#include "records/ProgrammeStore.h"
#include "records/RecordStore.h"
#include "records/StabilityText.h"
#include "records/SubjectQueryModel.h"
#include "records/TableSource.h"
#include "shell/AppContext.h"
#include "shell/Cipher.h"
#include "shell/DayNumber.h"
#include "shell/Format.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A data folder with the three shared files, opened through an AppContext.
struct Folder {
  QTemporaryDir dir;
  AppContext ctx;
  QString path(const char *name) const { return dir.path() + u'/' + QLatin1String(name); }
  bool create(const char *workingName = DbFile::Working) {
    QString err;
    return CreateDatabaseFile(path(workingName), DatabaseKind::Working, &err) &&
           CreateDatabaseFile(path(DbFile::Reference), DatabaseKind::Reference, &err) &&
           CreateDatabaseFile(path(DbFile::Programme), DatabaseKind::Programme, &err);
  }
  bool open(QString *err = nullptr) {
    QString e;
    const bool ok = ctx.database().open(dir.path(), &e);
    if (err)
      *err = e;
    if (!ok)
      qWarning() << e;
    return ok;
  }
  QSqlDatabase db() const { return ctx.database().working(); }
};

SubjectRecord subject(const QString &no, const QString &name = QStringLiteral("张三"), double birth = 0) {
  SubjectRecord s;
  s.CustNo = no;
  s.Name = name;
  s.DBirth = birth;
  return s;
}

MeasurementRecord measurement(const QString &no, double date, double v = 10.0) {
  MeasurementRecord m;
  m.CustNo = no;
  m.SoDate = date;
  for (int k = 1; k <= 24; ++k)
    m.SO[size_t(k)] = v + k;
  return m;
}

int count(QSqlDatabase db, const QString &sql, const QVariantList &binds = {}) {
  QSqlQuery q(db);
  q.prepare(sql);
  for (const QVariant &v : binds)
    q.addBindValue(v);
  if (!q.exec() || !q.next())
    return -1;
  return q.value(0).toInt();
}

double presoa(QSqlDatabase db, const QString &no) {
  QSqlQuery q(db);
  q.prepare(QStringLiteral("SELECT PRESOA FROM SoCust WHERE CustNo = ?"));
  q.addBindValue(no);
  return q.exec() && q.next() ? q.value(0).toDouble() : -1;
}

} // namespace

class TestDatabase : public QObject {
  Q_OBJECT
private slots:
  void connectionsAndSchema();
  void fileNamesWithoutCase();
  void badFiles_data();
  void badFiles();
  void damagedPages();
  void calculatedSubjectFields_data();
  void calculatedSubjectFields();
  void measurementFields();
  void stabilityText();
  void apostropheEverywhere();
  void invariantsUndoneOnFailure_data();
  void invariantsUndoneOnFailure();
  void presoaFollowsMeasurements();
  void sortedListAndSearch();
  void nestedTransactions();
  void olderWorkingFileCompleted();
  void programmesAndReference();
  void sqliteTableSource();
  void jetTableSource();
};

void TestDatabase::connectionsAndSchema() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QVERIFY(f.db().isOpen());
  // Mixed spellings of tables and fields name the same objects.
  QSqlQuery q(f.db());
  QVERIFY2(q.exec(QStringLiteral("SELECT c.CUSTNO, d.so1, c.Presoa, d.std, d.mkey FROM SOCUST c, SODATA d")),
           qPrintable(q.lastError().text()));
  // The reference and programme databases are read-only.
  QSqlQuery r(f.ctx.database().reference());
  QVERIFY(!r.exec(QStringLiteral("INSERT INTO SOMTDB (MKEY) VALUES (1)")));
  QSqlQuery p(f.ctx.database().programme());
  QVERIFY(p.exec(QStringLiteral("SELECT ProHel1, ProAGL FROM SoPro, SoPrDt")));
  QVERIFY(!p.exec(QStringLiteral("DELETE FROM SoPro")));

  // A second context opens the same folder with connections of its own.
  AppContext other;
  QString err;
  QVERIFY2(other.database().open(f.dir.path(), &err), qPrintable(err));
  QVERIFY(other.database().working().connectionName() != f.db().connectionName());
  QVERIFY(InsertSubject(other.database().working(), subject(QStringLiteral("A1")), &err));
  QCOMPARE(CountSubjects(f.db()), 1);
  other.database().close();
  QVERIFY(!other.database().working().isValid());
  QVERIFY(f.db().isOpen());

  // MKEY numbers rows itself; the template is created empty with all tables.
  const qint64 k1 = AppendMeasurement(f.db(), measurement(QStringLiteral("A1"), 46000), &err);
  const qint64 k2 = AppendMeasurement(f.db(), measurement(QStringLiteral("A1"), 46001), &err);
  QVERIFY(k1 > 0 && k2 > k1);
  QVERIFY(CreateTemplateDatabase(f.dir.path(), &err));
  QVERIFY(!CreateTemplateDatabase(f.dir.path(), &err)); // never replaces a file
  QVERIFY(err.contains(QLatin1String(DbFile::Template)));
  Database t;
  const DatabaseKind working = DatabaseKind::Working;
  QSqlDatabase tdb =
      t.openPrivate(f.dir.path(), QStringLiteral("sospa_60.MDB"), OpenMode::ReadOnly, &err, &working);
  QVERIFY2(tdb.isValid(), qPrintable(err));
  QCOMPARE(count(tdb, QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
  t.closePrivate(tdb);
}

void TestDatabase::fileNamesWithoutCase() {
  Folder f;
  QVERIFY(f.create(DbFile::WorkingCreated)); // "Sova6.mdb" is the working database
  QVERIFY(f.open());
  QString err;
  QVERIFY(InsertSubject(f.db(), subject(QStringLiteral("B2")), &err));
  QVERIFY(!QFile::exists(f.path(DbFile::Working)));
  QCOMPARE(BackupFileName(QDate(2026, 3, 4)), QStringLiteral("sova_20260304_BAK.mdb"));
}

void TestDatabase::badFiles_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<bool>("present");
  QTest::newRow("missing") << QByteArray() << false;
  QTest::newRow("empty file") << QByteArray() << true;
  QTest::newRow("text file") << QByteArray("这不是数据库\n").repeated(200) << true;
  QByteArray jet(4096, '\0');
  jet.replace(4, 15, "Standard Jet DB");
  QTest::newRow("access file") << jet << true;
  QByteArray header("SQLite format 3\0", 16);
  QTest::newRow("sqlite header, garbage after") << header + QByteArray(5000, '\xA5') << true;
}

void TestDatabase::badFiles() {
  QFETCH(QByteArray, content);
  QFETCH(bool, present);
  Folder f;
  QVERIFY(f.create());
  QFile::remove(f.path(DbFile::Working));
  if (present) {
    QFile w(f.path(DbFile::Working));
    QVERIFY(w.open(QIODevice::WriteOnly));
    w.write(content);
  }
  QString err;
  QVERIFY(!f.ctx.database().open(f.dir.path(), &err));
  QVERIFY2(err.contains(QLatin1String(DbFile::Working)), qPrintable(err));
  QVERIFY(!f.ctx.database().isOpen());
  QVERIFY(!f.ctx.database().reference().isValid());
  // Nothing was written over the bad file.
  QFile w(f.path(DbFile::Working));
  QCOMPARE(w.exists(), present);
  if (present) {
    QVERIFY(w.open(QIODevice::ReadOnly));
    QCOMPARE(w.readAll(), content);
  }
}

void TestDatabase::damagedPages() {
  Folder f;
  QVERIFY(f.create());
  {
    QVERIFY(f.open());
    QString err;
    QVERIFY(InsertSubject(f.db(), subject(QStringLiteral("C3")), &err));
    {
      DbTransaction tx(f.db());
      QVERIFY(tx.begin());
      for (int i = 0; i < 400; ++i)
        QVERIFY(AppendMeasurement(f.db(), measurement(QStringLiteral("C3"), 46000 + i), &err));
      QVERIFY(tx.commit());
    }
    f.ctx.database().close();
  }
  // Overwrite every page but the first: the header and the table list still read.
  QFile w(f.path(DbFile::Working));
  QVERIFY(w.open(QIODevice::ReadWrite));
  const qint64 size = w.size();
  QVERIFY(size > 40000);
  w.seek(4096);
  w.write(QByteArray(size - 4096, '\x5A'));
  w.close();
  QString err;
  QVERIFY2(f.ctx.database().open(f.dir.path(), &err), qPrintable(err));
  QSqlDatabase db = f.db();
  QVERIFY(!CheckDatabaseIntegrity(db, &err));
  QVERIFY2(err.contains(QLatin1String(DbFile::Working)), qPrintable(err));
  // Reading and writing report the damage, naming the file.
  MeasurementQueryModel m;
  QVERIFY(!m.openForSubject(db, QStringLiteral("C3"), 0));
  QVERIFY2(m.lastError().contains(QLatin1String(DbFile::Working)), qPrintable(m.lastError()));
  QCOMPARE(m.rowCount(), 0);
  QVERIFY(m.record(0).isEmpty());
  SubjectQueryModel s;
  QVERIFY(!s.openSorted(db, 1));
  err.clear();
  QVERIFY(!DeleteSubject(db, QStringLiteral("C3"), &err));
  QVERIFY2(err.contains(QLatin1String(DbFile::Working)), qPrintable(err));
  QVERIFY(!AppendMeasurement(db, measurement(QStringLiteral("C3"), 47000), &err));
}

void TestDatabase::calculatedSubjectFields_data() {
  QTest::addColumn<QDate>("birth");
  QTest::addColumn<bool>("shown");
  QTest::newRow("no birth date") << QDate() << false;
  QTest::newRow("13 December 1910") << QDate(1910, 12, 13) << false;
  QTest::newRow("14 December 1910") << QDate(1910, 12, 14) << true;
  QTest::newRow("1970") << QDate(1970, 6, 1) << true;
}

void TestDatabase::calculatedSubjectFields() {
  QFETCH(QDate, birth);
  QFETCH(bool, shown);
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  const double b = birth.isValid() ? ToDayNumber(birth) : 0.0;
  const double measured = ToDayNumber(QDateTime(QDate(2026, 1, 5), QTime(9, 30, 15)));
  QString err;
  SubjectRecord s = subject(QStringLiteral("D4"), QStringLiteral("李四"), b);
  s.Sex = false;
  QVERIFY(InsertSubject(f.db(), s, &err));
  QVERIFY(AppendMeasurement(f.db(), measurement(QStringLiteral("D4"), measured), &err));

  SubjectQueryModel subjects;
  subjects.setNow([] { return QDateTime(QDate(2026, 1, 5), QTime(12, 0)); });
  QVERIFY(subjects.openSorted(f.db(), 1));
  QCOMPARE(subjects.rowCount(), 1);
  QCOMPARE(subjects.value(0, QStringLiteral("RENO")).toString(), QStringLiteral("1"));
  QCOMPARE(subjects.value(0, QStringLiteral("sex_s")).toString(), QStringLiteral("女"));
  const QString age = subjects.value(0, QStringLiteral("SoAge")).toString();
  const QString shownBirth = subjects.value(0, QStringLiteral("DBIRTH_C"), Qt::DisplayRole).toString();
  QCOMPARE(!age.isEmpty(), shown);
  QCOMPARE(!shownBirth.isEmpty(), shown);
  if (shown) {
    QCOMPARE(subjects.value(0, QStringLiteral("DBIRTH_C")).toDate(), birth);
    const double years = (ToDayNumber(QDateTime(QDate(2026, 1, 5), QTime(12, 0))) - b) / 365.0;
    QCOMPARE(age, FormatNumber("%3.1f", years));
  }
  QCOMPARE(subjects.value(0, QStringLiteral("PRESOA_C")).toString(), ListDateTimeText(measured));

  MeasurementQueryModel m;
  QVERIFY(m.openForSubject(f.db(), QStringLiteral("D4"), b));
  QCOMPARE(!m.value(0, QStringLiteral("Soa_Age")).toString().isEmpty(), shown);
}

void TestDatabase::measurementFields() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QString err;
  const double birth = ToDayNumber(QDate(1980, 1, 1));
  QVERIFY(InsertSubject(f.db(), subject(QStringLiteral("E5"), QStringLiteral("王五"), birth), &err));
  MeasurementRecord zeros =
      measurement(QStringLiteral("E5"), ToDayNumber(QDateTime(QDate(2025, 5, 6), QTime(8, 7, 6))));
  zeros.SO.fill(0);
  zeros.SO[1] = 24.0; // one point measured: the mean counts the 23 zeros
  zeros.SO[2] = 0.54;
  zeros.SoVota = true;
  QVERIFY(AppendMeasurement(f.db(), zeros, &err));
  QVERIFY(AppendMeasurement(f.db(), measurement(QStringLiteral("E5"), ToDayNumber(QDate(2024, 1, 1))), &err));

  MeasurementQueryModel m;
  QVERIFY(m.openForSubject(f.db(), QStringLiteral("e5"), birth)); // numbers compare without case
  QCOMPARE(m.rowCount(), 2);
  QCOMPARE(m.value(0, QStringLiteral("STNO")).toString(), QStringLiteral("1")); // newest first
  QCOMPARE(m.value(0, QStringLiteral("Dta_Avg")).toString(), FormatNumber("%3.1f", 24.54 / 24));
  QCOMPARE(m.value(0, QStringLiteral("SOVOTA_C")).toString(), QStringLiteral("HI"));
  QCOMPARE(m.value(1, QStringLiteral("SOVOTA_C")).toString(), QStringLiteral("NRM"));
  QCOMPARE(m.value(0, QStringLiteral("SODATE_C")).toDate(), QDate(2025, 5, 6));
  QCOMPARE(m.value(0, QStringLiteral("SODATE_T")).toTime(), QTime(8, 7, 6));
  QCOMPARE(m.value(0, QStringLiteral("Soa_Age")).toString(),
           FormatNumber("%3.1f", (zeros.SoDate - birth) / 365.0));
  QCOMPARE(m.value(0, QStringLiteral("SO1"), Qt::DisplayRole).toString(), QStringLiteral("24"));
  QCOMPARE(m.value(0, QStringLiteral("SO2"), Qt::DisplayRole).toString(), FormatFixed(0.5, 1).mid(1));
  QCOMPARE(m.value(0, QStringLiteral("SO3"), Qt::DisplayRole).toString(), QString());
  QCOMPARE(m.value(0, QStringLiteral("so3"), Qt::EditRole).toDouble(), 0.0);
  QCOMPARE(ListAverageText(SlotArray{}), FormatNumber("%3.1f", 0));

  // Times are shown without a zone name, in the user's locale.
  const QLocale saved;
  for (const char *name : {"zh_CN", "en_US", "C"}) {
    QLocale::setDefault(QLocale(QLatin1String(name)));
    const QString time = m.value(0, QStringLiteral("SODATE_T"), Qt::DisplayRole).toString();
    QVERIFY2(!time.contains(u"UTC") && time.contains(u"7:06"), qPrintable(time));
    QVERIFY(ListDateTimeText(zeros.SoDate).endsWith(time));
  }
  QLocale::setDefault(saved);
}

void TestDatabase::stabilityText() {
  SlotArray st{};
  for (int k = 1; k <= 24; ++k)
    st[size_t(k)] = 90.0 + k * 0.25;
  st[7] = 0;       // 23 points measured
  st[8] = 100.0;   // five characters, no padding
  st[9] = -123.45; // longer than five: kept whole
  const QString text = BuildStabilityText(st);
  QCOMPARE(text.mid(30, 5), QStringLiteral("  0.0"));
  QCOMPARE(text.mid(35, 5), QStringLiteral("100.0"));
  QCOMPARE(text.mid(40, 6), QStringLiteral("-123.5"));
  QCOMPARE(text.left(5), QStringLiteral(" 90.3"));
  QCOMPARE(text.size(), 121);

  SlotArray plain = st;
  plain[9] = 55.5;
  const SlotArray back = ParseStabilityText(BuildStabilityText(plain));
  for (int k = 1; k <= 24; ++k)
    QCOMPARE(back[size_t(k)], RoundHalfAway(plain[size_t(k)], 1));
  QCOMPARE(ParseStabilityText(QString()), SlotArray{});
  const SlotArray odd = ParseStabilityText(QStringLiteral(" 12.5  abc 7,5"));
  QCOMPARE(odd[1], 12.5);
  QCOMPARE(odd[2], 0.0);
  QCOMPARE(odd[3], 7.5);
  QCOMPARE(odd[24], 0.0);
}

void TestDatabase::apostropheEverywhere() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QSqlDatabase db = f.db();
  QString err;
  const QString no = QStringLiteral("O'Br'; --");
  QVERIFY2(InsertSubject(db, subject(no, QStringLiteral("O'Brien")), &err), qPrintable(err));
  QVERIFY(InsertSubject(db, subject(QStringLiteral("Other")), &err));
  QVERIFY(!InsertSubject(db, subject(QStringLiteral("o'br'; --")), &err)); // duplicate, any case
  QVERIFY(FindSubject(db, QStringLiteral("o'BR'; --")));
  const qint64 k1 = AppendMeasurement(db, measurement(no, 46000), &err);
  const qint64 k2 = AppendMeasurement(db, measurement(no, 46010), &err);
  QVERIFY(k1 && k2);
  QCOMPARE(presoa(db, no), 46010.0);
  QCOMPARE(MeasurementsOf(db, no).size(), 2);
  // No measurement without its subject (an empty number included).
  QVERIFY(!AppendMeasurement(db, measurement(QStringLiteral("O'Br"), 46000), &err));
  QVERIFY(err.contains(QStringLiteral("O'Br")));
  QVERIFY(!AppendMeasurement(db, measurement(QString(), 46000), &err));
  QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 2);

  SubjectQueryModel s;
  QVERIFY(s.openSorted(db, 1));
  QCOMPARE(s.findRow(QStringLiteral("CustNo"), QStringLiteral("o'b")), 0);
  QCOMPARE(s.findRow(QStringLiteral("custno"), no, PagedQueryModel::Match::Exact), 0);
  QCOMPARE(s.findRow(QStringLiteral("NAME"), QStringLiteral("O'Bri")), 0);
  MeasurementQueryModel m;
  QVERIFY(m.openForSubject(db, no, 0));
  QCOMPARE(m.rowCount(), 2);
  QCOMPARE(m.findKey(k1), 1);

  MeasurementRecord changed = *FindMeasurement(db, k2);
  changed.SoDate = 45990;
  QVERIFY(UpdateMeasurement(db, changed, &err));
  QCOMPARE(presoa(db, no), 46000.0);
  QVERIFY(DeleteMeasurement(db, k1, &err));
  QCOMPARE(presoa(db, no), 45990.0);

  const QString renamed = QStringLiteral("D'Arcy");
  QVERIFY(!UpdateSubject(db, no, subject(QStringLiteral("OTHER")), &err)); // taken by another subject
  QVERIFY2(UpdateSubject(db, no, subject(renamed, QStringLiteral("  D'Arcy  ")), &err), qPrintable(err));
  QCOMPARE(FindSubject(db, renamed)->Name, QStringLiteral("D'Arcy"));
  QCOMPARE(CountMeasurements(db, renamed), 1);
  QCOMPARE(CountMeasurements(db, no), 0);
  QCOMPARE(presoa(db, renamed), 45990.0); // PRESOA stays with the subject
  QVERIFY(SetPresoaToLatest(db, renamed, &err));
  QVERIFY(DeleteSubject(db, renamed, &err));
  QVERIFY(!FindSubject(db, renamed));
  QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
  QCOMPARE(CountSubjects(db), 1);
}

void TestDatabase::invariantsUndoneOnFailure_data() {
  QTest::addColumn<QString>("trigger");
  QTest::addColumn<int>("operation");
  // The failure hits the second table after the first was already changed.
  QTest::newRow("delete subject") << QStringLiteral("BEFORE DELETE ON SoCust") << 0;
  QTest::newRow("renumber subject") << QStringLiteral("BEFORE UPDATE ON SoData") << 1;
  QTest::newRow("append raises PRESOA") << QStringLiteral("BEFORE UPDATE ON SoCust") << 2;
  QTest::newRow("delete measurement, PRESOA") << QStringLiteral("BEFORE UPDATE ON SoCust") << 3;
  QTest::newRow("update measurement, PRESOA") << QStringLiteral("BEFORE UPDATE OF PRESOA ON SoCust") << 4;
}

void TestDatabase::invariantsUndoneOnFailure() {
  QFETCH(QString, trigger);
  QFETCH(int, operation);
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QSqlDatabase db = f.db();
  QString err;
  QVERIFY(InsertSubject(db, subject(QStringLiteral("F'6")), &err));
  const qint64 k1 = AppendMeasurement(db, measurement(QStringLiteral("F'6"), 46000), &err);
  const qint64 k2 = AppendMeasurement(db, measurement(QStringLiteral("F'6"), 46005), &err);
  QVERIFY(k1 && k2);
  QSqlQuery q(db);
  QVERIFY(q.exec(
      QStringLiteral("CREATE TRIGGER fail %1 BEGIN SELECT RAISE(ABORT, 'disk full'); END").arg(trigger)));

  bool ok = true;
  switch (operation) {
  case 0: ok = DeleteSubject(db, QStringLiteral("F'6"), &err); break;
  case 1: ok = UpdateSubject(db, QStringLiteral("F'6"), subject(QStringLiteral("G7")), &err); break;
  case 2: ok = AppendMeasurement(db, measurement(QStringLiteral("F'6"), 46010), &err) != 0; break;
  case 3: ok = DeleteMeasurement(db, k2, &err); break;
  case 4: {
    MeasurementRecord m = *FindMeasurement(db, k2);
    m.SoDate = 45000;
    m.SO[5] = 99;
    ok = UpdateMeasurement(db, m, &err);
    break;
  }
  }
  QVERIFY(!ok);
  QVERIFY2(err.contains(QLatin1String("disk full")), qPrintable(err));
  // Everything as it was.
  QVERIFY(FindSubject(db, QStringLiteral("F'6")));
  QVERIFY(!FindSubject(db, QStringLiteral("G7")));
  QCOMPARE(CountMeasurements(db, QStringLiteral("F'6")), 2);
  QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 2);
  QCOMPARE(presoa(db, QStringLiteral("F'6")), 46005.0);
  QCOMPARE(FindMeasurement(db, k2)->SoDate, 46005.0);
  QCOMPARE(FindMeasurement(db, k2)->SO[5], 15.0);
  // The connection is usable afterwards.
  QVERIFY(q.exec(QStringLiteral("DROP TRIGGER fail")));
  QVERIFY(DeleteSubject(db, QStringLiteral("F'6"), &err));
  QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
}

void TestDatabase::presoaFollowsMeasurements() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QSqlDatabase db = f.db();
  QString err;
  QVERIFY(InsertSubject(db, subject(QStringLiteral("A1")), &err));
  QVERIFY(InsertSubject(db, subject(QStringLiteral("A10")), &err));
  QVERIFY(InsertSubject(db, subject(QStringLiteral("None")), &err));
  const qint64 only = AppendMeasurement(db, measurement(QStringLiteral("A1"), 46000), &err);
  QVERIFY(AppendMeasurement(db, measurement(QStringLiteral("A10"), 47000), &err));
  // An older measurement does not lower PRESOA.
  QVERIFY(AppendMeasurement(db, measurement(QStringLiteral("A10"), 45000), &err));
  QCOMPARE(presoa(db, QStringLiteral("A10")), 47000.0);
  QSqlQuery q(db);
  QVERIFY(q.exec(QStringLiteral("UPDATE SoCust SET PRESOA = 12345")));
  QVERIFY(RecomputeAllPresoa(db, &err));
  QCOMPARE(presoa(db, QStringLiteral("A1")), 46000.0); // not A10's date
  QCOMPARE(presoa(db, QStringLiteral("A10")), 47000.0);
  QCOMPARE(presoa(db, QStringLiteral("None")), 0.0);
  // Deleting the only measurement leaves PRESOA 0 and an empty PRESOA_C.
  QVERIFY(DeleteMeasurement(db, only, &err));
  QCOMPARE(presoa(db, QStringLiteral("A1")), 0.0);
  SubjectQueryModel s;
  QVERIFY(s.openSorted(db, 1));
  QCOMPARE(s.value(0, QStringLiteral("CustNo")).toString(), QStringLiteral("A1"));
  QCOMPARE(s.value(0, QStringLiteral("PRESOA_C")).toString(), QString());
}

void TestDatabase::sortedListAndSearch() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QSqlDatabase db = f.db();
  QString err;
  DbTransaction tx(db);
  QVERIFY(tx.begin());
  for (int i = 0; i < 700; ++i) {
    SubjectRecord s =
        subject(QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("name%1").arg(699 - i));
    s.Sex = i % 3 == 0;
    s.DBirth = i % 5 == 0 ? 0 : ToDayNumber(QDate(1950, 1, 1).addDays(i));
    QVERIFY(InsertSubject(db, s, &err));
  }
  QVERIFY(tx.commit());
  SubjectQueryModel s;
  QVERIFY(s.openSorted(db, 0)); // 0 counts as descending by number
  QCOMPARE(s.sortCode(), -1);
  QCOMPARE(s.rowCount(), 700);
  QCOMPARE(s.value(0, QStringLiteral("CustNo")).toString(), QStringLiteral("N0699"));
  QCOMPARE(s.value(699, QStringLiteral("CustNo")).toString(), QStringLiteral("N0000"));
  QCOMPARE(s.value(450, QStringLiteral("RENO")).toString(), QStringLiteral("451"));
  QCOMPARE(s.findRow(QStringLiteral("CustNo"), QStringLiteral("n00")), 600); // first in the list's order
  QVERIFY(s.statement().contains(QLatin1String("ORDER BY CustNo DESC")));

  QVERIFY(s.openSorted(db, 2));
  QCOMPARE(s.value(0, QStringLiteral("Name")).toString(), QStringLiteral("name0"));
  QCOMPARE(s.findRow(SubjectSearchField(2), QStringLiteral("NAME69")),
           s.findRow(QStringLiteral("name"), QStringLiteral("name69")));
  QCOMPARE(
      s.value(s.findRow(QStringLiteral("name"), QStringLiteral("name69")), QStringLiteral("Name")).toString(),
      QStringLiteral("name69"));
  QCOMPARE(s.findRow(QStringLiteral("name"), QStringLiteral("nobody")), -1);
  QCOMPARE(s.findRow(QStringLiteral("no such field"), QStringLiteral("x")), -1);

  QVERIFY(s.openSorted(db, 4));
  QCOMPARE(s.value(0, QStringLiteral("DBirth")).toDouble(), 0.0);
  const int row = s.findValue(QStringLiteral("DBirth"), ToDayNumber(QDate(1950, 1, 1).addDays(333)));
  QCOMPARE(s.value(row, QStringLiteral("CustNo")).toString(), QStringLiteral("N0333"));

  // The fixed list of sort fields; anything else falls back to the number.
  QCOMPARE(SubjectSortField(6), QStringLiteral("Presoa"));
  QCOMPARE(SubjectSortField(-9), QStringLiteral("email"));
  QCOMPARE(SubjectSortField(42), QStringLiteral("CustNo"));
  QVERIFY(!SubjectSortSearchable(3) && !SubjectSortSearchable(5) && !SubjectSortSearchable(-6));
  QVERIFY(SubjectSortSearchable(-4) && SubjectSortSearchable(11));
  // Rows with NULL fields and repeated values: the found position is the
  // row a walk through the list meets first, in every order.
  for (int i = 0; i < 30; ++i)
    QVERIFY(InsertRow(
        db, QStringLiteral("SoCust"),
        {{QStringLiteral("CustNo"), QStringLiteral("X%1").arg(i)},
         {QStringLiteral("Name"), i % 2 ? QVariant(QStringLiteral("Name5")) : QVariant()},
         {QStringLiteral("Tel"), i % 3 ? QVariant(QStringLiteral("010-%1").arg(i % 4)) : QVariant()}},
        &err));
  const QStringList probes{QStringLiteral("x1"), QStringLiteral("N00"), QStringLiteral("name5"),
                           QStringLiteral("010-2"), QStringLiteral("n")};
  for (int code : {1, -1, 2, -2, 3, -3, 5, -6, 7, -7}) {
    QVERIFY(s.openSorted(db, code));
    QCOMPARE(s.rowCount(), 730);
    for (const QString &field : {QStringLiteral("CustNo"), QStringLiteral("Name"), QStringLiteral("Tel")}) {
      for (const QString &probe : probes) {
        int expected = -1;
        for (int r = 0; r < s.rowCount() && expected < 0; ++r)
          if (s.value(r, field).toString().startsWith(probe, Qt::CaseInsensitive))
            expected = r;
        QCOMPARE(s.findRow(field, probe), expected);
      }
    }
  }
  QVERIFY(s.openSorted(db, 2));
  QCOMPARE(s.findRow(QStringLiteral("CustNo"), QStringLiteral("%")), -1); // no wildcards
  QVERIFY(InsertSubject(db, subject(QStringLiteral("5%_\\x")), &err));
  QVERIFY(s.refresh());
  QCOMPARE(s.value(s.findRow(QStringLiteral("CustNo"), QStringLiteral("5%_\\")), QStringLiteral("CustNo"))
               .toString(),
           QStringLiteral("5%_\\x"));
  QCOMPARE(s.findRow(QStringLiteral("CustNo"), QStringLiteral("5__")), -1);
}

void TestDatabase::olderWorkingFileCompleted() {
  // A working file of an earlier version: no PRESOA, no STD, no indexes.
  Folder f;
  QVERIFY(f.create());
  QFile::remove(f.path(DbFile::Working));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
    db.setDatabaseName(f.path(DbFile::Working));
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec(QStringLiteral("CREATE TABLE SoCust (CustNo TEXT, Name TEXT, Sex INTEGER)")));
    QVERIFY(q.exec(QStringLiteral("INSERT INTO SoCust VALUES ('A1', 'x', 1)")));
    QVERIFY(q.exec(QStringLiteral(
        "CREATE TABLE SoData (CustNo TEXT, SoDate REAL, MKEY INTEGER PRIMARY KEY AUTOINCREMENT)")));
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("older"));
  QVERIFY(f.open());
  QString err;
  QVERIFY2(AppendMeasurement(f.db(), measurement(QStringLiteral("A1"), 46000), &err), qPrintable(err));
  QCOMPARE(presoa(f.db(), QStringLiteral("A1")), 46000.0);
  QCOMPARE(FindSubject(f.db(), QStringLiteral("A1"))->Name, QStringLiteral("x"));
  QCOMPARE(count(f.db(), QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = 'SoProB'")), 1);
}

void TestDatabase::nestedTransactions() {
  Folder f;
  QVERIFY(f.create());
  QVERIFY(f.open());
  QSqlDatabase db = f.db();
  QString err;
  {
    DbTransaction outer(db);
    QVERIFY(outer.begin());
    QVERIFY(InsertSubject(db, subject(QStringLiteral("H8")), &err));
    QVERIFY(!InsertSubject(db, subject(QStringLiteral("h8")), &err)); // the inner unit fails alone
    QVERIFY(InsertSubject(db, subject(QStringLiteral("H9")), &err));
    // no commit: both are undone
  }
  QCOMPARE(CountSubjects(db), 0);
}

void TestDatabase::programmesAndReference() {
  // Delivered content is written into fresh files, then read through the
  // read-only shared connections.
  Folder f;
  QVERIFY(f.create());
  QString err;
  {
    QSqlDatabase p =
        OpenDatabaseFile(f.path(DbFile::Programme), OpenMode::ReadWrite, QStringLiteral("fill-p"), &err);
    QSqlDatabase r =
        OpenDatabaseFile(f.path(DbFile::Reference), OpenMode::ReadWrite, QStringLiteral("fill-r"), &err);
    QVERIFY2(p.isValid() && r.isValid(), qPrintable(err));
    auto tx = std::make_unique<DbTransaction>(p);
    QVERIFY(tx->begin());
    for (const char *no : {"P2", "P1", "P3"})
      QVERIFY(InsertRow(p, QStringLiteral("SoPro"),
                        {{QStringLiteral("ProNo"), QLatin1String(no)},
                         {QStringLiteral("ProName"), QStringLiteral("方案 %1").arg(QLatin1String(no))},
                         {QStringLiteral("ProHel3"), QStringLiteral("药膳")},
                         {QStringLiteral("ProScal"), true},
                         {QStringLiteral("ProFn"), QStringLiteral("1010")}},
                        &err));
    for (const char *sub : {"2", "1"})
      QVERIFY(InsertRow(p, QStringLiteral("SoPrDt"),
                        {{QStringLiteral("ProNo"), QStringLiteral("P1")},
                         {QStringLiteral("ProSubN"), QLatin1String(sub)},
                         {QStringLiteral("ProAGH"), 60.5},
                         {QStringLiteral("ProFlg"), true}},
                        &err));
    QVERIFY(tx->commit());
    tx.reset();
    QVERIFY(InsertRow(r, QStringLiteral("SOMTDB"),
                      {{QStringLiteral("MKEY"), 3},
                       {QStringLiteral("DtMA1"), EncipherText(QStringLiteral("心经的说明"), 1)},
                       {QStringLiteral("DtGpM"), QByteArray("\x89PNG")}},
                      &err));
    QVERIFY(!InsertRow(r, QStringLiteral("SOMTDB"), {{QStringLiteral("MKEY"), 3}}, &err)); // keys are unique
    p = r = QSqlDatabase();
    CloseDatabaseConnection(QStringLiteral("fill-p"));
    CloseDatabaseConnection(QStringLiteral("fill-r"));
  }
  QVERIFY(f.open());
  QSqlDatabase p = f.ctx.database().programme();
  const QList<ProgrammeRecord> all = ReadProgrammes(p, &err);
  QCOMPARE(all.size(), 3);
  QCOMPARE(all[0].ProNo, QStringLiteral("P1")); // SoProB order
  QCOMPARE(all[2].ProNo, QStringLiteral("P3"));
  QCOMPARE(all[0].ProHel[3], QStringLiteral("药膳"));
  QVERIFY(all[0].ProScal);
  QCOMPARE(FindProgramme(p, all[1].MKEY)->ProNo, QStringLiteral("P2"));
  QCOMPARE(FindProgrammeByName(p, QStringLiteral("方案 p3"))->ProNo, QStringLiteral("P3"));
  QVERIFY(!FindProgrammeByName(p, QStringLiteral("none")));
  const QList<ProgrammeCondition> cond = ReadProgrammeConditions(p, QStringLiteral("P1"));
  QCOMPARE(cond.size(), 2);
  QCOMPARE(cond[0].ProSubN, QStringLiteral("2")); // as stored
  QCOMPARE(cond[0].ProAGH, 60.5);
  QVERIFY(cond[0].ProFlg);
  QVERIFY(ReadProgrammeConditions(p, QStringLiteral("P2")).isEmpty());

  const std::optional<ReferenceTopic> t = ReadReferenceTopic(f.ctx.database().reference(), 3, &err);
  QVERIFY(t);
  QCOMPARE(t->text(QStringLiteral("dtma1")), QStringLiteral("心经的说明"));
  QCOMPARE(t->text(QStringLiteral("DtMH1")), QString());
  QCOMPARE(t->DtGpM, QByteArray("\x89PNG"));
  QVERIFY(!ReadReferenceTopic(f.ctx.database().reference(), 4));

  // The analysis window's notes.
  QVERIFY(InsertSubject(f.db(), subject(QStringLiteral("N1")), &err));
  const qint64 key = AppendMeasurement(f.db(), measurement(QStringLiteral("N1"), 46000), &err);
  QVERIFY(UpdateMeasurementNote(f.db(), key, QStringLiteral("第一行\n第二行"), &err));
  QCOMPARE(FindMeasurement(f.db(), key)->toMeasurement().Note,
           (QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")}));
  QVERIFY(!UpdateMeasurementNote(f.db(), key + 1, QStringLiteral("x"), &err));
}

void TestDatabase::sqliteTableSource() {
  QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/SoTran.mdb");
  QString err;
  QVERIFY(CreateDatabaseFile(path, DatabaseKind::Working, &err));
  {
    QSqlDatabase db = OpenDatabaseFile(path, OpenMode::ReadWrite, QStringLiteral("source-fill"), &err);
    QVERIFY2(db.isValid(), qPrintable(err));
    QVERIFY2(InsertRow(db, QStringLiteral("SOCUST"),
                       {{QStringLiteral("custno"), QStringLiteral("B'7")},
                        {QStringLiteral("Sex"), true},
                        {QStringLiteral("DBIRTH"), 32000.0},
                        {QStringLiteral("Memo"), QStringLiteral("a\r\nb")}},
                       &err),
             qPrintable(err));
    QVERIFY(!InsertRow(db, QStringLiteral("SoCust"), {{QStringLiteral("Nonsense"), 1}}, &err));
    QVERIFY(err.contains(QLatin1String("Nonsense")));
    qint64 key = 0;
    QVERIFY(InsertRow(db, QStringLiteral("SoData"), {{QStringLiteral("CustNo"), QStringLiteral("B'7")}}, &err,
                      &key));
    QCOMPARE(key, 1);
    // An earlier version's file: no STD.
    QSqlQuery q(db);
    QVERIFY2(q.exec(QStringLiteral("ALTER TABLE SoData DROP COLUMN STD")), qPrintable(q.lastError().text()));
    db = QSqlDatabase();
    CloseDatabaseConnection(QStringLiteral("source-fill"));
  }
  std::unique_ptr<TableSource> src = OpenTableSource(path, &err);
  QVERIFY2(src, qPrintable(err));
  QVERIFY(src->hasTable(QStringLiteral("socust")) && src->hasTable(QStringLiteral("SOPRDT")));
  std::unique_ptr<TableReader> cust = src->openTable(QStringLiteral("SOCUST"), &err);
  QVERIFY(cust);
  QCOMPARE(cust->rowCount(), 1);
  QVERIFY(cust->next());
  QCOMPARE(cust->value(QStringLiteral("CUSTNO")), QVariant(QStringLiteral("B'7")));
  QCOMPARE(cust->value(QStringLiteral("Sex")), QVariant(true));
  QCOMPARE(cust->value(QStringLiteral("DBirth")), QVariant(32000.0));
  QCOMPARE(cust->value(QStringLiteral("PRESOA")), QVariant(0.0));
  QVERIFY(!cust->value(QStringLiteral("Tel")).isValid()); // NULL
  QVERIFY(!cust->next());
  std::unique_ptr<TableReader> data = src->openTable(QStringLiteral("SoData"), &err);
  QVERIFY(data && data->next());
  QVERIFY(!data->hasColumn(QStringLiteral("STD")));
  QVERIFY(!data->value(QStringLiteral("std")).isValid());
  QCOMPARE(data->value(QStringLiteral("MKEY")), QVariant(qint64(1)));
  QVERIFY(!src->openTable(QStringLiteral("Missing"), &err));
  QVERIFY(err.contains(QStringLiteral("SoTran.mdb")));

  QFile junk(dir.path() + QStringLiteral("/junk.mdb"));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("not a database at all");
  junk.close();
  QVERIFY(!OpenTableSource(junk.fileName(), &err));
  QVERIFY(err.contains(QStringLiteral("junk.mdb")));
}

void TestDatabase::jetTableSource() {
  JET_FIXTURES_OR_SKIP(dir);
  QString err;
  std::unique_ptr<TableSource> src = OpenTableSource(dir + QStringLiteral("/legacy-old.mdb"), &err);
  QVERIFY2(src, qPrintable(err));
  std::unique_ptr<TableReader> cust = src->openTable(QStringLiteral("socust"), &err);
  QVERIFY2(cust, qPrintable(err));
  QCOMPARE(cust->rowCount(), 2);
  QStringList numbers;
  while (cust->next()) {
    numbers << cust->value(QStringLiteral("CUSTNO")).toString();
    QVERIFY(!cust->value(QStringLiteral("PRESOA")).isValid()); // a later field this file lacks
    QCOMPARE(cust->value(QStringLiteral("Sex")).typeId(), QMetaType::Bool);
  }
  QVERIFY(cust->errorText().isEmpty());
  QCOMPARE(numbers, (QStringList{QStringLiteral("A1"), QStringLiteral("B'7")}));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
