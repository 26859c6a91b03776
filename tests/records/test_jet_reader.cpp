// The Jet reader on the fixtures of the Windows edition's file format.
#include "records/JetFixtures.h"

#include "records/JetDatabase.h"
#include "records/TableSource.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace jetfixtures;

class TestJetReader : public QObject {
  Q_OBJECT
private slots:
  void tablesAndColumns_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("later");
    QTest::newRow("full") << "legacy-full.mdb" << true;
    QTest::newRow("old") << "legacy-old.mdb" << false;
    QTest::newRow("empty") << "legacy-empty.mdb" << true;
  }
  void tablesAndColumns() {
    QFETCH(QString, file);
    QFETCH(bool, later);
    JET_FIXTURES_OR_SKIP(dir);
    const QString path = dir + u'/' + file;
    QVERIFY(JetDatabase::IsJetFile(path));
    JetDatabase db;
    QVERIFY2(db.open(path), qPrintable(db.errorText()));
    QCOMPARE(db.tableNames(), Tables());
    QVERIFY(db.hasTable(QStringLiteral("SODATA")));
    QVERIFY(!db.hasTable(QStringLiteral("MSysObjects")));

    const QList<QPair<QString, int>> columnCounts{{"SoCust", 17}, {"SoData", 33}, {"SoPro", 25}, {"SoPrDt", 10}};
    for (const auto &[table, count] : columnCounts) {
      auto t = db.openTable(table.toLower()); // names match without regard to case
      QVERIFY2(t, qPrintable(db.errorText()));
      QCOMPARE(t->name(), table);
      const int missing = later ? 0 : int(LaterColumns(table).size());
      QCOMPARE(t->columns().size(), count - missing);
      for (const QString &c : LaterColumns(table))
        QCOMPARE(t->hasColumn(c), later);
      // Physical column order as the Windows edition created it.
      QCOMPARE(t->columns().first().name, table == QLatin1String("SoPro") ? QStringLiteral("MKEY")
                                          : table.startsWith(QLatin1String("SoPr")) ? QStringLiteral("ProNo")
                                                                                    : QStringLiteral("CustNo"));
      QCOMPARE(t->columns().last().name, QStringLiteral("PrtFG"));
    }
    auto data = db.openTable(QStringLiteral("SoData"));
    const QList<JetColumn> &cols = data->columns();
    QCOMPARE(cols[data->columnIndex(QStringLiteral("sodate"))].type, JetType::DateTime);
    QCOMPARE(cols[data->columnIndex(QStringLiteral("SoVota"))].type, JetType::Bool);
    QCOMPARE(cols[data->columnIndex(QStringLiteral("so24"))].type, JetType::Double);
    QCOMPARE(cols[data->columnIndex(QStringLiteral("MEMO2"))].type, JetType::Memo);
    const JetColumn &key = cols[data->columnIndex(QStringLiteral("mkey"))];
    QCOMPARE(key.type, JetType::Long);
    QVERIFY(key.autoNumber);
    auto pro = db.openTable(QStringLiteral("SoPro"));
    QCOMPARE(pro->columns()[pro->columnIndex(QStringLiteral("ProPict"))].type, JetType::Ole);
    QCOMPARE(db.openTable(QStringLiteral("SoCust"))->columns()[1].size, 100); // TEXT(50): two bytes a character
  }

  void rowsMatchTheirContents_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    for (const QString &table : Tables()) {
      QTest::addRow("full %s", qPrintable(table)) << "legacy-full.mdb" << table;
      QTest::addRow("old %s", qPrintable(table)) << "legacy-old.mdb" << table;
      QTest::addRow("empty %s", qPrintable(table)) << "legacy-empty.mdb" << table;
    }
  }
  void rowsMatchTheirContents() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    JET_FIXTURES_OR_SKIP(dir);
    JetDatabase db;
    QVERIFY2(db.open(dir + u'/' + file), qPrintable(db.errorText()));
    auto t = db.openTable(table);
    QVERIFY2(t, qPrintable(db.errorText()));
    const bool empty = file.contains(QLatin1String("empty"));
    const bool full = file.contains(QLatin1String("full"));
    const QList<Row> expected = empty ? QList<Row>() : Rows(table, full);
    QCOMPARE(t->rowCount(), qint64(expected.size()));
    for (int pass = 0; pass < 2; ++pass) { // a rewound cursor reads the same rows again
      int n = 0;
      while (t->next()) {
        QVERIFY2(n < expected.size(), "more rows than expected");
        for (const auto &[field, want] : expected[n]) {
          const int c = t->columnIndex(field);
          if (!full && LaterColumns(table).contains(field)) {
            QCOMPARE(c, -1);
            continue;
          }
          QVERIFY2(c >= 0, qPrintable(field));
          QString why;
          QVERIFY2(SameValue(t->value(c), want, false, &why),
                   qPrintable(QStringLiteral("%1 row %2 %3: %4").arg(table).arg(n + 1).arg(field, why)));
          if (t->columns()[c].type == JetType::Bool) // never NULL, even when false
            QCOMPARE(t->value(c).typeId(), QMetaType::Bool);
        }
        ++n;
      }
      QVERIFY2(!t->hasError(), qPrintable(t->errorText()));
      QCOMPARE(n, expected.size());
      t->rewind();
    }
  }

  // The values the fixtures document by checksum, and the distinctions that
  // libmdb's own row API loses.
  void valuesKeepWhatIsStored() {
    JET_FIXTURES_OR_SKIP(dir);
    QCOMPARE(Sha256(RoutineMemo()), QStringLiteral("fa1206b00804b6b4ea133d047211a6989fe9b763a17d659178f41fa8f002431b"));
    QCOMPARE(Sha256(LongTextA()), QStringLiteral("0292c4b8f4815257c8834c2ebfc3e558fde549d77a970786dd58530061b2d092"));
    QCOMPARE(Sha256(LongTextB()), QStringLiteral("ac2c3a7406e7f72f26d921cc502ab60e286005fec9686ab2958d29a2365eab07"));

    JetDatabase db;
    QVERIFY(db.open(dir + QStringLiteral("/legacy-full.mdb")));
    auto cust = db.openTable(QStringLiteral("SOCUST"));
    QVERIFY(cust->next() && cust->next()); // A10
    QCOMPARE(cust->value(QStringLiteral("custno")).toString(), QStringLiteral("A10"));
    QVERIFY(cust->value(QStringLiteral("Tel2")).isValid()); // zero-length text, not NULL
    QCOMPARE(cust->value(QStringLiteral("Tel2")).toString(), QString());
    QVERIFY(!cust->value(QStringLiteral("Tel3")).isValid());
    QVERIFY(!cust->value(QStringLiteral("DBirth")).isValid());
    QCOMPARE(cust->value(QStringLiteral("Sex")), QVariant(false));
    QVERIFY(!cust->value(QStringLiteral("NoSuchField")).isValid());
    QVERIFY(cust->next());
    QCOMPARE(cust->value(0).toString(), QStringLiteral("B'7"));
    QVERIFY(!cust->next());
    QVERIFY(!cust->next()); // stays at the end
    QVERIFY(!cust->hasError());

    auto data = db.openTable(QStringLiteral("SoData"));
    QVERIFY(data->next());
    // Doubles come back bit for bit, dates as the stored day number.
    QCOMPARE(data->value(QStringLiteral("SO6")).toDouble(), 73.4);
    QCOMPARE(data->value(QStringLiteral("SO11")).toDouble(), 66.6);
    QCOMPARE(data->value(QStringLiteral("SoDate")).toDouble(), k20030520);

    // Two cursors on one file do not disturb each other.
    auto pro = db.openTable(QStringLiteral("SoPro"));
    auto dt = db.openTable(QStringLiteral("SoPrDt"));
    QVERIFY(pro->next() && dt->next() && dt->next());
    QCOMPARE(pro->value(QStringLiteral("ProHel5")).toString(), LongTextB());
    QCOMPARE(dt->value(QStringLiteral("ProSubN")).toString(), QStringLiteral("S02"));
    QVERIFY(data->next());
    QCOMPARE(data->value(QStringLiteral("MEMO2")).toString(), QStringLiteral("Follow-up after treatment."));
  }

  // What editing in Access leaves in a file: a deleted row keeps its place
  // with both flags set; a row that grew moves elsewhere, leaving a pointer
  // in its slot, and the moved copy is flagged so that a scan skips it. The
  // rows come back once each, in their original order.
  void editedRowsReadLikeAccess_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("custNos");
    QTest::newRow("deleted") << "deleted" << QStringList{"A1", "B'7"};
    QTest::newRow("moved") << "moved" << QStringList{"A1", "A10", "B'7"};
  }
  void editedRowsReadLikeAccess() {
    QFETCH(QString, edit);
    QFETCH(QStringList, custNos);
    JET_FIXTURES_OR_SKIP(dir);
    QFile src(dir + QStringLiteral("/legacy-full.mdb"));
    QVERIFY(src.open(QIODevice::ReadOnly));
    QByteArray bytes = src.readAll();
    // In this file SoCust's definition is page 24 and its rows are on page 32.
    constexpr int kPage = 4096, kRowsAt = 0x0C, kTdef = 24, kData = 32;
    char *page = bytes.data() + kData * kPage;
    QCOMPARE(int(page[0]), 1);
    QCOMPARE(qFromLittleEndian<quint32>(page + 4), quint32(kTdef));
    auto slot = [&](int i) { return page + kRowsAt + 2 + 2 * i; };
    const int rows = qFromLittleEndian<quint16>(page + kRowsAt);
    QCOMPARE(rows, 3);
    if (edit == QLatin1String("deleted")) {
      qToLittleEndian<quint16>(qFromLittleEndian<quint16>(slot(1)) | 0xC000, slot(1));
      qToLittleEndian<quint32>(2, bytes.data() + kTdef * kPage + 16); // the definition's row count
    } else {
      // Row 0 (A1) goes to a new slot 3 below the others; its old place keeps
      // the pointer (row number, then the 3-byte page number).
      const int start0 = qFromLittleEndian<quint16>(slot(0)), len0 = kPage - start0;
      const int start3 = qFromLittleEndian<quint16>(slot(2)) - len0;
      memcpy(page + start3, page + start0, len0);
      qToLittleEndian<quint16>(quint16(start3 | 0x8000), slot(3));
      qToLittleEndian<quint16>(4, page + kRowsAt);
      memset(page + start0, 0, len0);
      page[start0] = 3;
      qToLittleEndian<quint16>(kData, page + start0 + 1);
      qToLittleEndian<quint16>(quint16(start0 | 0x4000), slot(0));
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("edited.mdb"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    JetDatabase db;
    QVERIFY2(db.open(path), qPrintable(db.errorText()));
    auto t = db.openTable(QStringLiteral("SoCust"));
    const QList<Row> all = SoCustRows(true);
    QStringList seen;
    while (t->next()) {
      seen << t->value(0).toString();
      const Row &want = *std::find_if(all.begin(), all.end(), [&](const Row &r) { return r[0].second == seen.last(); });
      for (const auto &[field, value] : want) {
        QString why;
        QVERIFY2(SameValue(t->value(field), value, false, &why), qPrintable(field + u' ' + why));
      }
    }
    QVERIFY2(!t->hasError(), qPrintable(t->errorText()));
    QCOMPARE(seen, custNos);
  }

  // A transfer file exported by the Windows edition reads through the same
  // path as the old databases (the import's reader), later fields included.
  void transferFileReadsThroughItsTableSource() {
    JET_FIXTURES_OR_SKIP(dir);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("SoTran.mdb"));
    QVERIFY(QFile::copy(dir + QStringLiteral("/legacy-full.mdb"), path));
    QString err;
    std::unique_ptr<TableSource> src = OpenTableSource(path, &err);
    QVERIFY2(src, qPrintable(err));
    for (const QString &table : Tables()) {
      std::unique_ptr<TableReader> t = src->openTable(table.toUpper(), &err);
      QVERIFY2(t, qPrintable(err));
      const QList<Row> expected = Rows(table, true);
      QCOMPARE(t->rowCount(), qint64(expected.size()));
      int n = 0;
      while (t->next()) {
        for (const auto &[field, want] : expected[n]) {
          QString why;
          QVERIFY2(SameValue(t->value(field.toLower()), want, false, &why),
                   qPrintable(QStringLiteral("%1 row %2 %3: %4").arg(table).arg(n + 1).arg(field, why)));
        }
        ++n;
      }
      QVERIFY2(t->errorText().isEmpty(), qPrintable(t->errorText()));
      QCOMPARE(n, expected.size());
    }
  }

  void missingTableAndFile() {
    JET_FIXTURES_OR_SKIP(dir);
    JetDatabase db;
    QVERIFY(db.open(dir + QStringLiteral("/legacy-empty.mdb")));
    QVERIFY(!db.openTable(QStringLiteral("SOMTDB")));
    QVERIFY(db.errorText().contains(QLatin1String("SOMTDB")));
    QVERIFY(db.errorText().contains(QLatin1String("legacy-empty.mdb")));
    QVERIFY(!db.openTable(QStringLiteral("MSysObjects"))); // only user tables

    QVERIFY(!db.open(dir + QStringLiteral("/none.mdb")));
    QVERIFY(db.errorText().contains(QLatin1String("none.mdb")));
    QVERIFY(!db.isOpen());
  }

  // A damaged or encrypted copy is refused with a message naming the file,
  // either when it is opened or, at the latest, when its rows are read; it
  // never passes for a shorter table.
  void damagedFilesAreRefused_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("empty file") << "empty";
    QTest::newRow("cut in a page") << "cut-mid";
    QTest::newRow("cut at a page") << "cut-page";
    QTest::newRow("header zeroed") << "header";
    QTest::newRow("pages encrypted") << "encrypted";
    QTest::newRow("catalogue zeroed") << "catalogue";
    QTest::newRow("data pages zeroed") << "data";
    QTest::newRow("memo pages zeroed") << "memo";
    QTest::newRow("not a database") << "text";
  }
  void damagedFilesAreRefused() {
    QFETCH(QString, damage);
    JET_FIXTURES_OR_SKIP(dir);
    QFile src(dir + QStringLiteral("/legacy-full.mdb"));
    QVERIFY(src.open(QIODevice::ReadOnly));
    QByteArray bytes = src.readAll();
    const int page = 4096;
    auto zeroPages = [&](auto pred) {
      for (int p = 1; p < bytes.size() / page; ++p) {
        const char *pg = bytes.constData() + p * page;
        if (pred(p, pg))
          memset(bytes.data() + p * page, 0, page);
      }
    };
    if (damage == QLatin1String("empty")) {
      bytes.clear();
    } else if (damage == QLatin1String("cut-mid")) {
      bytes.truncate(bytes.size() - 1000);
    } else if (damage == QLatin1String("cut-page")) {
      bytes.truncate(bytes.size() - 2 * page);
    } else if (damage == QLatin1String("header")) {
      memset(bytes.data(), 0, page);
    } else if (damage == QLatin1String("encrypted")) {
      // As if every page but the header were enciphered with a key we lack.
      QRandomGenerator rng(11);
      for (int i = page; i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ char(rng.generate()));
    } else if (damage == QLatin1String("catalogue")) {
      memset(bytes.data() + 2 * page, 0, page); // MSysObjects' definition
    } else if (damage == QLatin1String("data")) {
      // The rows of SoData vanish (its definition is page 26 of this file).
      zeroPages([](int, const char *pg) { return pg[0] == 1 && qFromLittleEndian<quint32>(pg + 4) == 26; });
    } else if (damage == QLatin1String("memo")) {
      // Long memos (M5's MEMO2, P001's ProHel4 and ProHel5) lose their pages.
      zeroPages([](int p, const char *pg) { return p > 30 && pg[0] == 1 && memcmp(pg + 4, "LVAL", 4) == 0; });
    } else {
      bytes = "Standard Jet DB? no, just text\n";
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("sova.mdb"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    JetDatabase db;
    QString error;
    if (!db.open(path)) {
      error = db.errorText();
    } else {
      for (const QString &table : db.tableNames()) {
        auto t = db.openTable(table);
        if (!t) {
          error = db.errorText();
          break;
        }
        while (t->next()) {
        }
        if (t->hasError()) {
          error = t->errorText();
          break;
        }
      }
      if (error.isEmpty() && db.tableNames() != Tables())
        error = QStringLiteral("tables lost without an error");
    }
    QVERIFY2(!error.isEmpty(), "the damaged file was read as if it were sound");
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
  }
};

QTEST_GUILESS_MAIN(TestJetReader)
#include "test_jet_reader.moc"
