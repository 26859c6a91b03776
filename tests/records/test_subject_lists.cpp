#include "records/ListColumnModel.h"
#include "records/ListsFixture.h"
#include "records/MeasurementQueryModel.h"
#include "records/SubjectList.h"
#include "records/ui/MeasurementListView.h"
#include "records/ui/SubjectListWidget.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

class TestSubjectLists : public QObject {
  Q_OBJECT

  static QStringList numbers(const SubjectList &l) {
    QStringList out;
    for (int r = 0; r < l.model().rowCount(); ++r)
      out << l.model().value(r, QStringLiteral("CustNo")).toString();
    return out;
  }

private slots:
  void sortTwiceReversesAndNextWindowFollows() {
    ListsFolder f;
    f.addSubject(QStringLiteral("B2"), QStringLiteral("甲"));
    f.addSubject(QStringLiteral("A1"), QStringLiteral("丙"));
    f.addSubject(QStringLiteral("C3"), QStringLiteral("乙"));
    SubjectList first(f.ctx);
    QVERIFY(first.OpenSubjectList());
    QCOMPARE(f.ctx.SubjectSortCode, 1);
    QCOMPARE(numbers(first), QStringList({"A1", "B2", "C3"}));
    QVERIFY(first.locate(QStringLiteral("b2")));

    first.SortSubjectList(1);
    QCOMPARE(f.ctx.SubjectSortCode, -1);
    QCOMPARE(numbers(first), QStringList({"C3", "B2", "A1"}));
    QCOMPARE(first.currentCustNo(), QStringLiteral("B2")); // the same subject stays selected
    first.SortSubjectList(1);
    QCOMPARE(f.ctx.SubjectSortCode, 1);
    QCOMPARE(numbers(first), QStringList({"A1", "B2", "C3"}));

    // Another column keeps the direction; the next window opens in that order.
    first.SortSubjectList(1);
    first.SortSubjectList(2);
    QCOMPARE(f.ctx.SubjectSortCode, -2);
    SubjectList next(f.ctx);
    next.OpenSubjectList();
    QVERIFY(next.model().statement().contains(QLatin1String("Name DESC")));
    QCOMPARE(numbers(next).size(), 3);
    QCOMPARE(next.model().value(0, QStringLiteral("Name")).toString(),
             first.model().value(0, QStringLiteral("Name")).toString());
    QVERIFY(next.descending());

    // 0 counts as descending by number; header column 0 as column 1.
    f.ctx.SubjectSortCode = 0;
    next.OpenSubjectList();
    QCOMPARE(f.ctx.SubjectSortCode, -1);
    next.SortSubjectList(0);
    QCOMPARE(f.ctx.SubjectSortCode, 1);
  }

  void searchAvailability_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("searchable");
    QTest::addColumn<bool>("example");
    QTest::newRow("number") << 1 << true << false;
    QTest::newRow("name") << 2 << true << false;
    QTest::newRow("sex") << 3 << false << false;
    QTest::newRow("birthday") << 4 << true << true;
    QTest::newRow("age") << 5 << false << false;
    QTest::newRow("latest") << 6 << false << false;
    QTest::newRow("tel") << 7 << true << false;
    QTest::newRow("fax") << 11 << true << false;
  }
  void searchAvailability() {
    QFETCH(int, column);
    QFETCH(bool, searchable);
    QFETCH(bool, example);
    ListsFolder f;
    f.addSubject(QStringLiteral("A1"));
    SubjectListWidget w(f.ctx);
    w.resize(900, 300);
    w.open();
    QVERIFY(w.searchBox()->isEnabled());
    QCOMPARE(w.statusImage()->property("searchImage").toInt(), 1);
    QVERIFY(!w.searchButton()->isEnabled()); // no text yet
    w.grid()->horizontalHeader()->sectionClicked(column);
    QCOMPARE(std::abs(f.ctx.SubjectSortCode), column);
    QCOMPARE(w.searchBox()->isEnabled(), searchable);
    QCOMPARE(w.statusImage()->property("searchImage").toInt(), searchable ? 1 : 0);
    QCOMPARE(w.searchBox()->palette().color(QPalette::Base) == QColor(192, 192, 192), !searchable);
    QCOMPARE(w.exampleLabel()->isVisibleTo(&w), example);
    if (example)
      QCOMPARE(w.exampleLabel()->text(),
               QStringLiteral("范例：") +
                   QLocale().toString(QDate(2026, 12, 11).addDays(-5000), QLocale::ShortFormat));
    QCOMPARE(w.grid()->horizontalHeader()->sortIndicatorSection(), column);
    if (searchable) {
      QTest::keyClicks(w.searchBox(), QStringLiteral("x"));
      QVERIFY(w.searchButton()->isEnabled());
    }
  }

  void prefixSearchInListOrder() {
    ListsFolder f;
    for (const char *no : {"B1", "a3", "A10", "A2", "C'1"})
      f.addSubject(QString::fromLatin1(no));
    SubjectListWidget w(f.ctx);
    w.open();
    SubjectList &l = w.list();
    QCOMPARE(numbers(l), QStringList({"A10", "A2", "a3", "B1", "C'1"}));
    QTest::keyClicks(w.searchBox(), QStringLiteral("a"));
    w.search();
    QCOMPARE(l.currentCustNo(), QStringLiteral("A10"));
    QCOMPARE(l.searchImage(), int(SubjectList::SearchFound));
    QCOMPARE(w.grid()->currentIndex().row(), 0);
    QVERIFY(l.SearchSubject(QStringLiteral(" c' ")));
    QCOMPARE(l.currentCustNo(), QStringLiteral("C'1"));

    l.SortSubjectList(1); // descending: the first match in that order
    QVERIFY(l.SearchSubject(QStringLiteral("A")));
    QCOMPARE(l.currentCustNo(), QStringLiteral("a3"));
    QCOMPARE(l.currentRow(), 2);

    QVERIFY(!l.SearchSubject(QStringLiteral("Z")));
    QCOMPARE(l.searchImage(), int(SubjectList::SearchNotFound));
    QCOMPARE(l.currentCustNo(), QStringLiteral("a3")); // not found keeps the row
    l.SearchTextChanged(QStringLiteral("Z2"));
    QCOMPARE(l.searchImage(), int(SubjectList::SearchReady));
    // "%" and "_" are plain characters in a search.
    QVERIFY(!l.SearchSubject(QStringLiteral("%")));
  }

  void dateSearch_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    const double birth = ToDayNumber(QDate(1980, 5, 17));
    QTest::newRow("valid date") << ShortDateText(birth) << "P2";
    QTest::newRow("iso date") << "1980-05-17"
                              << "P2";
    QTest::newRow("not a date") << "1980-13-45"
                                << "";
    QTest::newRow("words") << "yesterday"
                           << "";
    QTest::newRow("nobody's birthday") << "2001-01-01"
                                       << "";
  }
  void dateSearch() {
    QFETCH(QString, text);
    QFETCH(QString, found);
    ListsFolder f;
    f.addSubject(QStringLiteral("P1"), QStringLiteral("甲"), ToDayNumber(QDate(1970, 1, 2)));
    f.addSubject(QStringLiteral("P2"), QStringLiteral("乙"), ToDayNumber(QDate(1980, 5, 17)));
    f.addSubject(QStringLiteral("P3"), QStringLiteral("丙"), 0);
    SubjectList l(f.ctx);
    l.OpenSubjectList();
    l.SortSubjectList(4);
    l.setCurrentRow(0);
    const QString before = l.currentCustNo();
    QCOMPARE(l.SearchSubject(text), !found.isEmpty());
    QCOMPARE(l.searchImage(), int(found.isEmpty() ? SubjectList::SearchNotFound : SubjectList::SearchFound));
    QCOMPARE(l.currentCustNo(), found.isEmpty() ? before : found);
  }

  void twoDigitYears() {
    // Two-digit years are read in the century nearest to today, not as 19yy.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDate today(2026, 12, 11);
    QCOMPARE(SubjectList::ParseShortDate(QStringLiteral("3/14/13"), today), QDate(2013, 3, 14));
    QCOMPARE(SubjectList::ParseShortDate(QStringLiteral("3/14/52"), today), QDate(1952, 3, 14));
    QCOMPARE(SubjectList::ParseShortDate(QStringLiteral("3/14/1913"), today), QDate(1913, 3, 14));
    QVERIFY(!SubjectList::ParseShortDate(QStringLiteral("14/3/13"), today).isValid());
    QLocale::setDefault(QLocale::c());
  }

  void columnsAndColours() {
    ListsFolder f;
    f.addSubject(QStringLiteral("M1"), QStringLiteral("男"), 0, true);
    f.addSubject(QStringLiteral("M2"), QStringLiteral("女"), ToDayNumber(QDate(1986, 12, 11)), false);
    SubjectListWidget w(f.ctx);
    w.open();
    auto *m = w.grid()->model();
    QCOMPARE(m->columnCount(), 12);
    const QStringList headers{"Index",        "编号", "姓名", "性别",   "生日",     "年龄",
                              "最近测量时间", "电话", "地址", "e-mail", "移动电话", "传真"};
    const QList<int> widths{64, 99, 171, 39, 71, 42, 157, 214, 399, 396, 204, 204};
    for (int c = 0; c < 12; ++c) {
      QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), headers.at(c));
      QCOMPARE(w.grid()->columnWidth(c), widths.at(c));
    }
    QCOMPARE(m->data(m->index(0, 3), Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
    QCOMPARE(m->data(m->index(1, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(m->data(m->index(1, 2), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    QCOMPARE(m->data(m->index(1, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    QCOMPARE(m->data(m->index(1, 0)).toString(), QStringLiteral("2"));
    QCOMPARE(m->data(m->index(1, 5)).toString(), QStringLiteral("40.0"));
    QCOMPARE(m->data(m->index(0, 4)).toString(), QString()); // no birth date: no date, no age
    QCOMPARE(m->data(m->index(0, 5)).toString(), QString());
    QCOMPARE(w.countLabel()->text(), QStringLiteral("     2"));
    QCOMPARE(SubjectList::CombinedCountText(20000, 7), QStringLiteral(" 20000  -  [ 7 ]"));

    f.addMeasurement(QStringLiteral("M2"), ToDayNumber(QDateTime(QDate(2026, 1, 5), QTime(9, 0))));
    MeasurementRecord hi;
    hi.CustNo = QStringLiteral("M2");
    hi.SoDate = ToDayNumber(QDateTime(QDate(2026, 6, 5), QTime(9, 0)));
    hi.SoVota = true;
    QString err;
    QVERIFY(AppendMeasurement(f.db(), hi, &err) > 0);
    MeasurementListView v;
    QVERIFY(v.openForSubject(f.db(), QStringLiteral("M2"), ToDayNumber(QDate(1986, 12, 11))));
    auto *mm = v.model();
    QCOMPARE(mm->columnCount(), 30);
    QCOMPARE(mm->headerData(6, Qt::Horizontal).toString(), QStringLiteral("左-肺经"));
    QCOMPARE(mm->headerData(29, Qt::Horizontal).toString(), QStringLiteral("胃经"));
    for (int c : {6, 11, 18, 23}) {
      QCOMPARE(mm->headerData(c, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 128));
      QVERIFY(mm->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    }
    QCOMPARE(mm->headerData(12, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    // Newest first: the HI one.
    QCOMPARE(mm->data(mm->index(0, 5)).toString(), QStringLiteral("HI"));
    QCOMPARE(mm->data(mm->index(0, 5), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(mm->data(mm->index(1, 5), Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
    QCOMPARE(mm->data(mm->index(1, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    QVERIFY(mm->data(mm->index(1, 3), Qt::FontRole).value<QFont>().bold());
    QCOMPARE(mm->data(mm->index(1, 6)).toString(), QStringLiteral("11"));
    QCOMPARE(v.currentKey(), v.query().value(0, QStringLiteral("MKEY")).toLongLong());
  }
};

QTEST_MAIN(TestSubjectLists)
#include "test_subject_lists.moc"
