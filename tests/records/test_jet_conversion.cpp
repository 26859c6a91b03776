// Converting the Windows edition's Jet files at start-up: every row and field
// of the fixtures arrives in the working database.
#include "records/JetFixtures.h"

#include "records/Database.h"
#include "records/DatabasePreparation.h"
#include "records/DbSchema.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DataFolder.h"
#include "shell/Prompter.h"
#include "shell/StartupView.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace jetfixtures;

namespace {

class QuietView : public StartupView {
public:
  void setLightColour(int, Colour) override {}
  void setLightOn(int, bool) override {}
  void setRowLabel(const QString &) override {}
  void setProgress(int) override {}
  void setFields(const QString &, const QString &, const QString &) override {}
  void setStatusText(const QString &) override {}
};

const QDateTime kToday(QDate(2026, 3, 7), QTime(10, 15));
const QString kBackup = QStringLiteral("sova_20260307_BAK.mdb");

// Every row of the four tables as text, to tell whether anything changed.
QStringList Dump(QSqlDatabase db) {
  QStringList out;
  for (const QString &table : Tables()) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)))
      return {QStringLiteral("cannot read ") + table};
    while (q.next()) {
      QStringList row;
      for (int c = 0; c < q.record().count(); ++c)
        row << (q.isNull(c) ? QStringLiteral("NULL") : q.value(c).toString());
      out << table + u':' + row.join(u'|');
    }
  }
  return out;
}

QByteArray FileBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data folder with the template, reference and programme databases of ours.
struct DataFolder {
  QTemporaryDir tmp;
  QString path() const { return tmp.path() + u'/'; }
  bool prepare(QString *error) {
    return CreateTemplateDatabase(tmp.path(), error) &&
           CreateDatabaseFile(path() + QLatin1String(DbFile::Reference), DatabaseKind::Reference, error) &&
           CreateDatabaseFile(path() + QLatin1String(DbFile::Programme), DatabaseKind::Programme, error);
  }
  bool put(const QByteArray &bytes, const QString &name) {
    QFile f(path() + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
  }
};

// The start-up preparation of the files and connections, on a virtual clock.
struct Startup {
  VirtualClock clock{0, kToday};
  ScriptedPrompter prompter;
  QuietView view;
  AppContext ctx{&clock, &prompter};
  explicit Startup(const QString &folder) { ctx.dataFolder = folder; }
  bool run(bool *converted) {
    DatabasePreparation prep(ctx, view);
    const bool ready = prep.Run();
    *converted = prep.converted();
    return ready;
  }
  QStringList told() const {
    QStringList l;
    for (const auto &q : prompter.questions())
      l << q.text;
    return l;
  }
};

// What the conversion makes of a fixture's rows: new keys, PRESOA rebuilt from
// the measurements, a missing date of birth stored as 0. The programme help
// texts (ProHel1..5) are not carried over, and later fields that an old file
// lacks stay empty: those are listed apart.
struct Expected {
  QList<Row> rows;
  QStringList empty;
};

Expected Converted(const QString &table, bool full) {
  Expected e;
  if (table == QLatin1String("SoPro"))
    for (int i = 1; i <= 5; ++i)
      e.empty << QStringLiteral("ProHel%1").arg(i);
  if (!full)
    for (const QString &field : LaterColumns(table))
      if (field != QLatin1String("PRESOA")) // rebuilt whatever the file held
        e.empty << field;
  const QHash<QString, double> latest{{"A1", k20030618}, {"A10", k20040108b}, {"B'7", k20050930}};
  const QList<Row> rows = Rows(table, full);
  for (int i = 0; i < rows.size(); ++i) {
    Row r;
    for (auto [field, value] : rows[i]) {
      if (e.empty.contains(field))
        continue;
      if (field == QLatin1String("MKEY"))
        value = i + 1;
      else if (field == QLatin1String("PRESOA"))
        value = latest.value(rows[i][0].second.toString());
      else if (field == QLatin1String("DBirth") && !value.isValid())
        value = 0.0;
      r << qMakePair(field, value);
    }
    e.rows << r;
  }
  return e;
}

// NULL, or the column's default.
bool IsEmptyValue(const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return true;
  if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
    return v.toDouble() == 0.0;
  return v.toString().isEmpty();
}

// Compares the working table with the expected rows, after `skip` rows that
// were there before.
void CompareTable(QSqlDatabase db, const QString &table, const Expected &expected, int skip = 0) {
  QSqlQuery q(db);
  QVERIFY2(q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)), qPrintable(table));
  int n = 0;
  while (q.next()) {
    if (n++ < skip)
      continue;
    const int i = n - 1 - skip;
    QVERIFY2(i < expected.rows.size(), qPrintable(QStringLiteral("%1: more rows than expected").arg(table)));
    const QSqlRecord rec = q.record();
    for (const auto &[field, want] : expected.rows[i]) {
      const int c = rec.indexOf(field);
      QVERIFY2(c >= 0, qPrintable(table + u'.' + field));
      const bool isDate = field == QLatin1String("SoDate") || field == QLatin1String("DBirth") ||
                          field == QLatin1String("PRESOA");
      QString why;
      QVERIFY2(SameValue(q.value(c), want, isDate, &why),
               qPrintable(QStringLiteral("%1 row %2 %3: %4").arg(table).arg(i + 1).arg(field, why)));
    }
    for (const QString &field : expected.empty) {
      const int c = rec.indexOf(field);
      QVERIFY2(c >= 0, qPrintable(table + u'.' + field));
      QVERIFY2(IsEmptyValue(q.value(c)), qPrintable(QStringLiteral("%1 row %2 %3: got %4, expected it empty")
                                                         .arg(table)
                                                         .arg(i + 1)
                                                         .arg(field, q.value(c).toString())));
    }
  }
  QCOMPARE(n - skip, expected.rows.size());
}

} // namespace

class TestJetConversion : public QObject {
  Q_OBJECT
private slots:
  // Each fixture, wherever the Windows edition's files may be found.
  void convertsEachFixture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("placedAs");
    QTest::addColumn<bool>("toldAside");
    QTest::newRow("full as sova.mdb") << "legacy-full.mdb" << "sova.mdb" << false;
    QTest::newRow("old as sova.mdb") << "legacy-old.mdb" << "sova.mdb" << false;
    QTest::newRow("empty as sova.mdb") << "legacy-empty.mdb" << "sova.mdb" << false;
    QTest::newRow("full as sova4.mdb") << "legacy-full.mdb" << "sova4.mdb" << false;
    QTest::newRow("full as sova6.mdb") << "legacy-full.mdb" << "sova6.mdb" << true;
    QTest::newRow("old as delivered sova_60.mdb") << "legacy-old.mdb" << "sova_60.mdb" << true;
  }
  void convertsEachFixture() {
    QFETCH(QString, file);
    QFETCH(QString, placedAs);
    QFETCH(bool, toldAside);
    JET_FIXTURES_OR_SKIP(dir);
    const QByteArray original = FileBytes(dir + u'/' + file);
    DataFolder folder;
    QString err;
    QVERIFY2(folder.prepare(&err), qPrintable(err));
    QVERIFY(folder.put(original, placedAs));

    Startup s(folder.path());
    bool converted = false;
    QVERIFY2(s.run(&converted), qPrintable(s.told().join(u'\n')));
    QVERIFY2(converted, qPrintable(s.told().join(u'\n')));

    // The old file is kept, unchanged, as the backup of the day; the working
    // database is one of ours.
    QVERIFY(!FileExistsNoCase(folder.path(), QStringLiteral("sova.mdb")));
    QVERIFY(!FileExistsNoCase(folder.path(), QStringLiteral("sova4.mdb")));
    QVERIFY(!FileExistsNoCase(folder.path(), QStringLiteral("sova_60.mdb")));
    QCOMPARE(FileBytes(folder.path() + kBackup), original);
    QCOMPARE(DetectFileFormat(FindFileNoCase(folder.path(), QStringLiteral("sova6.mdb"))), FileFormat::Sqlite);
    const QStringList told = s.told();
    QCOMPARE(told.size(), toldAside ? 1 : 0);
    if (toldAside) {
      QVERIFY2(told[0].contains(placedAs) && told[0].contains(QStringLiteral("改名为 sova.mdb")), qPrintable(told[0]));
      QVERIFY(told[0].contains(QStringLiteral("由模板新建的")));
    }

    const bool empty = file.contains(QLatin1String("empty"));
    const bool full = file.contains(QLatin1String("full"));
    QSqlDatabase db = s.ctx.database().working();
    for (const QString &table : Tables())
      CompareTable(db, table, empty ? Expected() : Converted(table, full));
  }

  // A delivered Jet file beside a working database of ours is added to it.
  void jetDeliveryJoinsTheWorkingDatabase() {
    JET_FIXTURES_OR_SKIP(dir);
    DataFolder folder;
    QString err;
    QVERIFY2(folder.prepare(&err), qPrintable(err));
    QVERIFY(QFile::copy(folder.path() + QLatin1String(DbFile::Template), folder.path() + QStringLiteral("sova6.mdb")));
    {
      const QString name = QStringLiteral("jet-test-fill");
      QSqlDatabase db = OpenDatabaseFile(folder.path() + QStringLiteral("sova6.mdb"), OpenMode::ReadWrite, name, &err);
      QVERIFY2(db.isValid(), qPrintable(err));
      QVERIFY2(InsertRow(db, QStringLiteral("SoCust"), {{QStringLiteral("CustNo"), QStringLiteral("Z9")}}, &err),
               qPrintable(err));
      db = QSqlDatabase();
      CloseDatabaseConnection(name);
    }
    QVERIFY(folder.put(FileBytes(dir + QStringLiteral("/legacy-full.mdb")), QStringLiteral("SOVA_60.MDB")));

    Startup s(folder.path());
    bool converted = false;
    QVERIFY(s.run(&converted));
    QVERIFY(converted);
    QCOMPARE(s.told().size(), 1);
    QVERIFY2(s.told()[0].contains(QStringLiteral("转换到现有的工作数据库中")), qPrintable(s.told()[0]));
    QSqlDatabase db = s.ctx.database().working();
    CompareTable(db, QStringLiteral("SoCust"), Converted(QStringLiteral("SoCust"), true), 1);
    CompareTable(db, QStringLiteral("SoData"), Converted(QStringLiteral("SoData"), true));
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT PRESOA FROM SoCust WHERE CustNo = ?"));
    q.addBindValue(QStringLiteral("Z9"));
    QVERIFY(q.exec() && q.next());
    QCOMPARE(q.value(0).toDouble(), 0.0); // no measurements
  }

  // A Jet delivery that finds another old database waiting is never installed
  // as the working database: it waits for the next start and is converted then.
  void jetDeliveryWaitsBehindAnOldDatabase() {
    JET_FIXTURES_OR_SKIP(dir);
    DataFolder folder;
    QString err;
    QVERIFY2(folder.prepare(&err), qPrintable(err));
    const QString oldPath = folder.path() + QStringLiteral("sova.mdb");
    QVERIFY2(CreateDatabaseFile(oldPath, DatabaseKind::Working, &err), qPrintable(err));
    {
      const QString name = QStringLiteral("jet-test-old");
      QSqlDatabase db = OpenDatabaseFile(oldPath, OpenMode::ReadWrite, name, &err);
      QVERIFY2(InsertRow(db, QStringLiteral("SoCust"), {{QStringLiteral("CustNo"), QStringLiteral("Z9")}}, &err),
               qPrintable(err));
      db = QSqlDatabase();
      CloseDatabaseConnection(name);
    }
    QVERIFY(folder.put(FileBytes(dir + QStringLiteral("/legacy-old.mdb")), QStringLiteral("sova_60.mdb")));

    {
      Startup first(folder.path());
      bool converted = false;
      QVERIFY2(first.run(&converted), qPrintable(first.told().join(u'\n')));
      QVERIFY(converted);
      QCOMPARE(first.told().size(), 1);
      QVERIFY2(first.told()[0].contains(QStringLiteral("sova_60.mdb 将在下次启动时转换")), qPrintable(first.told()[0]));
      QCOMPARE(DetectFileFormat(folder.path() + QStringLiteral("sova_60.mdb")), FileFormat::Jet);
      QCOMPARE(Dump(first.ctx.database().working()).size(), 1);
    }
    Startup second(folder.path());
    bool converted = false;
    QVERIFY2(second.run(&converted), qPrintable(second.told().join(u'\n')));
    QVERIFY(converted);
    QVERIFY(!FileExistsNoCase(folder.path(), QStringLiteral("sova_60.mdb")));
    QSqlDatabase db = second.ctx.database().working();
    CompareTable(db, QStringLiteral("SoCust"), Converted(QStringLiteral("SoCust"), false), 1);
    CompareTable(db, QStringLiteral("SoData"), Converted(QStringLiteral("SoData"), false));
  }

  // A damaged old file converts nothing: the working database, the old file
  // and the earlier backup of the day stay as they were, and the user reads
  // which file could not be read.
  void damagedFileLeavesEverythingAsItWas_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("header") << "header";
    QTest::newRow("measurement pages") << "data";
    QTest::newRow("memo pages") << "memo";
    QTest::newRow("cut short") << "cut";
  }
  void damagedFileLeavesEverythingAsItWas() {
    QFETCH(QString, damage);
    JET_FIXTURES_OR_SKIP(dir);
    DataFolder folder;
    QString err;
    QVERIFY2(folder.prepare(&err), qPrintable(err));
    const QByteArray old = FileBytes(dir + QStringLiteral("/legacy-old.mdb"));
    QVERIFY(folder.put(old, QStringLiteral("sova.mdb")));
    QStringList before;
    {
      Startup first(folder.path());
      bool converted = false;
      QVERIFY(first.run(&converted) && converted);
      before = Dump(first.ctx.database().working());
    }
    QCOMPARE(before.size(), 2 + 3 + 2 + 3);

    QByteArray bytes = FileBytes(dir + QStringLiteral("/legacy-full.mdb"));
    constexpr int kPage = 4096;
    if (damage == QLatin1String("header")) {
      memset(bytes.data(), 0, kPage);
    } else if (damage == QLatin1String("cut")) {
      bytes.truncate(bytes.size() - 3 * kPage);
    } else {
      for (int p = 31; p < bytes.size() / kPage; ++p) {
        char *pg = bytes.data() + p * kPage;
        // SoData's rows (its definition is page 26 of this file), or the
        // long-value pages of the user tables.
        const bool hit = pg[0] == 1 && (damage == QLatin1String("data") ? qFromLittleEndian<quint32>(pg + 4) == 26
                                                                       : memcmp(pg + 4, "LVAL", 4) == 0);
        if (hit)
          memset(pg, 0, kPage);
      }
    }
    QVERIFY(folder.put(bytes, QStringLiteral("sova.mdb")));

    Startup second(folder.path());
    bool converted = true;
    second.run(&converted);
    QVERIFY(!converted);
    const QStringList told = second.told();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].contains(QDir::toNativeSeparators(folder.path() + QStringLiteral("sova.mdb"))), qPrintable(told[0]));
    QCOMPARE(Dump(second.ctx.database().working()), before);
    QCOMPARE(FileBytes(folder.path() + QStringLiteral("sova.mdb")), bytes);
    QCOMPARE(FileBytes(folder.path() + kBackup), old);
  }
};

QTEST_GUILESS_MAIN(TestJetConversion)
#include "test_jet_conversion.moc"
