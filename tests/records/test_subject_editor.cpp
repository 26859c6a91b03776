#include "records/ListsFixture.h"
#include "records/SubjectEditing.h"
#include "records/ui/TSoREdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

class TestSubjectEditor : public QObject {
  Q_OBJECT

  static void type(TSoREdit &e, const QString &field, const QString &text) { e.field(field)->setText(text); }

private slots:
  void duplicateNumbers_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    QTest::newRow("add, other case") << 2 << ""
                                     << "abc"
                                     << "王五";
    QTest::newRow("add from the save window, blanks") << 3 << ""
                                                      << "  ABC "
                                                      << "王五";
    QTest::newRow("change to another's number in another case") << 1 << "X1"
                                                                << "aBc"
                                                                << "王五";
    QTest::newRow("change only the case of one's own") << 1 << "X1"
                                                       << "x1"
                                                       << "赵六";
  }
  void duplicateNumbers() {
    QFETCH(int, mode);
    QFETCH(QString, row);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    ListsFolder f;
    f.addSubject(QStringLiteral("ABC"), QStringLiteral(" 王五 "));
    f.addSubject(QStringLiteral("X1"), QStringLiteral("赵六"));
    TSoREdit e(f.ctx, mode, row);
    type(e, QStringLiteral("CustNo"), typed);
    type(e, QStringLiteral("Name"), QStringLiteral("新名"));
    e.SaveClick();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 5);
    QCOMPARE(
        f.prompter.questions().at(0).text,
        QStringLiteral("您所输入的受测者编号已经与姓名为\n[ %1 ]\n重复!!请重新指定另一个编号。").arg(named));
    QVERIFY(!e.SubjectAdded());
    QCOMPARE(e.result(), int(QDialog::Rejected)); // still open
    // Nothing written; a change puts the row's own number back.
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoCust")), 2);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoCust WHERE Name = '新名'")), 0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoCust WHERE CustNo = 'X1' COLLATE BINARY")), 1);
    if (mode == 1)
      QCOMPARE(e.field(QStringLiteral("CustNo"))->text(), row);
  }

  void numberChangeMovesMeasurements() {
    ListsFolder f;
    f.addSubject(QStringLiteral("K1"), QStringLiteral("钱七"), ToDayNumber(QDate(1960, 3, 3)));
    f.addSubject(QStringLiteral("K9"));
    const double d1 = ToDayNumber(QDateTime(QDate(2025, 1, 1), QTime(8, 0)));
    const double d2 = ToDayNumber(QDateTime(QDate(2025, 6, 1), QTime(8, 0)));
    f.addMeasurement(QStringLiteral("K1"), d1);
    f.addMeasurement(QStringLiteral("K1"), d2);
    f.addMeasurement(QStringLiteral("K9"), d1);
    TSoREdit e(f.ctx, 1, QStringLiteral("K1"));
    QCOMPARE(e.windowTitle(), QStringLiteral("受测者数据修改"));
    QVERIFY(e.birthBox()->isChecked());
    QVERIFY(e.picker()->isEnabled());
    QCOMPARE(e.picker()->date(), QDate(1960, 3, 3));
    type(e, QStringLiteral("CustNo"), QStringLiteral(" K2 "));
    e.memoBox()->setPlainText(QStringLiteral("第一行\n第二行"));
    e.SaveClick();
    QCOMPARE(e.result(), int(QDialog::Accepted));
    QCOMPARE(e.storedCustNo(), QStringLiteral("K2"));
    QVERIFY(f.prompter.questions().isEmpty());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'K2'")), 2);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'K1'")), 0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'K9'")), 1);
    const std::optional<SubjectRecord> s = FindSubject(f.db(), QStringLiteral("K2"));
    QVERIFY(s);
    QCOMPARE(s->PRESOA, d2);
    QCOMPARE(s->Name, QStringLiteral("钱七"));
    QCOMPARE(s->DBirth, ToDayNumber(QDate(1960, 3, 3)));
    QCOMPARE(s->Memo, QStringLiteral("第一行\n第二行"));
  }

  void addTrimmedWithoutBirthDate() {
    ListsFolder f;
    f.ctx.CurrentSubject.MaleSubject = false;
    TSoREdit e(f.ctx, 3);
    QCOMPARE(e.windowTitle(), QStringLiteral("受测者资料新增"));
    QVERIFY(e.femaleButton()->isChecked()); // follows the subject on screen
    QVERIFY(!e.birthBox()->isChecked());
    QVERIFY(!e.picker()->isEnabled());
    QVERIFY(!e.saveButton()->isEnabled());
    type(e, QStringLiteral("CustNo"), QStringLiteral("   "));
    QVERIFY(!e.saveButton()->isEnabled());
    type(e, QStringLiteral("CustNo"), QStringLiteral("  N1 "));
    QVERIFY(e.saveButton()->isEnabled());
    type(e, QStringLiteral("Name"), QStringLiteral("  李 四  "));
    type(e, QStringLiteral("Addr"), QStringLiteral(" 北京 "));
    type(e, QStringLiteral("EMail"), QStringLiteral("li@example.org "));
    e.SaveClick();
    QVERIFY(e.SubjectAdded());
    const std::optional<SubjectRecord> s = FindSubject(f.db(), QStringLiteral("N1"));
    QVERIFY(s);
    QCOMPARE(s->CustNo, QStringLiteral("N1"));
    QCOMPARE(s->Name, QStringLiteral("李 四"));
    QCOMPARE(s->Addr, QStringLiteral("北京"));
    QCOMPARE(s->EMail, QStringLiteral("li@example.org"));
    QCOMPARE(s->DBirth, 0.0);
    QVERIFY(!s->Sex);
    QCOMPARE(s->PRESOA, 0.0);
  }

  void enterThroughNameAndPicker_data() {
    QTest::addColumn<int>("daysMoved");
    QTest::newRow("no date chosen") << 0;
    QTest::newRow("a date chosen") << -9000;
  }
  void enterThroughNameAndPicker() {
    QFETCH(int, daysMoved);
    ListsFolder f;
    TSoREdit e(f.ctx, 2);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QCOMPARE(e.PickerStart(), f.clock.now());
    QLineEdit *no = e.field(QStringLiteral("CustNo"));
    no->setFocus();
    QTest::keyClicks(no, QStringLiteral("E1"));
    QTest::keyClick(no, Qt::Key_Return);
    QVERIFY(e.field(QStringLiteral("Name"))->hasFocus());
    e.field(QStringLiteral("Name"))->setText(QStringLiteral("孙"));
    QTest::keyClick(e.field(QStringLiteral("Name")), Qt::Key_Return);
    QVERIFY(e.birthBox()->isChecked());
    QVERIFY(e.picker()->isEnabled());
    QVERIFY(e.picker()->hasFocus());
    if (daysMoved)
      e.picker()->setDate(e.picker()->date().addDays(daysMoved));
    QTest::keyClick(e.picker(), Qt::Key_Return);
    QCOMPARE(e.birthBox()->isChecked(), daysMoved != 0);
    QCOMPARE(e.picker()->isEnabled(), daysMoved != 0);
    QVERIFY(!e.picker()->hasFocus());
    e.SaveClick();
    const std::optional<SubjectRecord> s = FindSubject(f.db(), QStringLiteral("E1"));
    QVERIFY(s);
    QCOMPARE(s->DBirth, daysMoved ? ToDayNumber(QDate(2026, 12, 11).addDays(daysMoved)) : 0.0);
  }

  void exitWritesNothing() {
    ListsFolder f;
    f.addSubject(QStringLiteral("Q1"), QStringLiteral("周"));
    TSoREdit e(f.ctx, 1, QStringLiteral("Q1"));
    QVERIFY(!e.birthBox()->isChecked()); // no birth date: picker at now, disabled
    QVERIFY(!e.picker()->isEnabled());
    QCOMPARE(e.picker()->date(), QDate(2026, 12, 11));
    type(e, QStringLiteral("Name"), QStringLiteral("吴"));
    e.ExitClick();
    QVERIFY(!e.SubjectAdded());
    QCOMPARE(FindSubject(f.db(), QStringLiteral("Q1"))->Name, QStringLiteral("周"));
  }

  void subjectGoneMeanwhile() {
    // Changing a subject that another window deleted reports it; nothing else changes.
    ListsFolder f;
    f.addSubject(QStringLiteral("G1"));
    TSoREdit e(f.ctx, 1, QStringLiteral("G1"));
    QString err;
    QVERIFY(DeleteSubject(f.db(), QStringLiteral("G1"), &err));
    type(e, QStringLiteral("Name"), QStringLiteral("郑"));
    e.SaveClick();
    QCOMPARE(f.prompter.questions().size(), 1);
    QVERIFY(f.prompter.questions().at(0).text.contains(QLatin1String("G1")));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoCust")), 0);
  }
};

QTEST_MAIN(TestSubjectEditor)
#include "test_subject_editor.moc"
