#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "measure/SaveMeasurement.h"
#include "measure/ui/TSodec.h"
#include "measure/ui/TSosave.h"
#include "records/ListsFixture.h"
#include "records/SubjectEditing.h"
#include "records/SubjectList.h"
#include "records/ui/SubjectListWidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace {

Measurement sample(double date, int points = 24) {
  Measurement m;
  m.MeasurementDate = date;
  for (int k = 1; k <= points; ++k) {
    m.PointValue[size_t(k)] = 20.0 + k / 4.0;
    m.Stability[size_t(k)] = 90.0 + k / 10.0;
  }
  m.HasData = true;
  return m;
}

const QString kQuestion = QStringLiteral("您要将检测资料存于这个受测者资料中吗？");

} // namespace

class TestSaveWindow : public QObject {
  Q_OBJECT

private slots:
  void savingTwiceGivesTwoRows() {
    ListsFolder f;
    f.addSubject(QStringLiteral("S1"), QStringLiteral("冯"), ToDayNumber(QDate(1975, 4, 1)), false);
    f.addSubject(QStringLiteral("S2"), QStringLiteral("陈"));
    const double when = ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 30)));
    f.ctx.CurrentMeasurement = sample(when);
    f.ctx.CurrentSubject.CustNo = QStringLiteral("s1 ");
    int keys[2] = {0, 0};
    for (int &key : keys) {
      TSosave w(f.ctx);
      QCOMPARE(w.windowTitle(), QStringLiteral("经络能量资料储存"));
      QCOMPARE(w.statusText(),
               QStringLiteral("请至查询窗口点选受测者数据，或新增一笔受测者基本数据以供储存。"));
      QVERIFY(w.saveButton()->isEnabled());
      QCOMPARE(w.shownCustNo(), QStringLiteral("S1"));
      QCOMPARE(w.shownName(), QStringLiteral("冯"));
      QCOMPARE(w.shownSex(), QStringLiteral("女性"));
      QCOMPARE(w.shownBirth(), ShortDateText(ToDayNumber(QDate(1975, 4, 1))));
      w.saveButton()->click();
      QCOMPARE(w.result(), int(QDialog::Accepted));
      key = f.ctx.CurrentMeasurement.StoredKey;
    }
    QVERIFY(keys[0] > 0 && keys[1] > 0 && keys[0] != keys[1]);
    QCOMPARE(f.ctx.CurrentSubject.CustNo, QStringLiteral("S1"));
    QCOMPARE(f.ctx.CurrentSubject.Name, QStringLiteral("冯"));
    const QList<MeasurementRecord> rows = MeasurementsOf(f.db(), QStringLiteral("S1"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].SO, rows[1].SO);
    QCOMPARE(rows[0].STD, rows[1].STD);
    QCOMPARE(rows[0].SoDate, when);
    QCOMPARE(FindSubject(f.db(), QStringLiteral("S1"))->PRESOA, when);
    QVERIFY(f.prompter.questions().isEmpty());
  }

  void olderMeasurementLeavesLaterPresoa() {
    ListsFolder f;
    f.addSubject(QStringLiteral("P1"));
    const double later = ToDayNumber(QDateTime(QDate(2026, 5, 1), QTime(8, 0)));
    f.addMeasurement(QStringLiteral("P1"), later);
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2024, 5, 1), QTime(8, 0))));
    f.ctx.CurrentMeasurement.StoredKey = 1; // loaded from the database: stored again as a new row
    f.ctx.CurrentSubject.CustNo = QStringLiteral("P1");
    QString err;
    QVERIFY2(SaveMeasurement(f.ctx, f.ctx.CurrentSubject, &err), qPrintable(err));
    QVERIFY(f.ctx.CurrentMeasurement.StoredKey > 1);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 2);
    QCOMPARE(FindSubject(f.db(), QStringLiteral("P1"))->PRESOA, later);
  }

  void missingPointAndTwoLineNote() {
    ListsFolder f;
    f.addSubject(QStringLiteral("T1"));
    Measurement m = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))), 24);
    m.PointValue[17] = 0;
    m.Stability[17] = 0;
    m.HighPotential = true;
    m.Note = QStringList{QStringLiteral("第一行"), QStringLiteral("second line")};
    f.ctx.CurrentMeasurement = m;
    QString err;
    Subject t;
    t.CustNo = QStringLiteral("T1");
    QVERIFY2(SaveMeasurement(f.ctx, t, &err), qPrintable(err));
    const std::optional<MeasurementRecord> r = FindMeasurement(f.db(), f.ctx.CurrentMeasurement.StoredKey);
    QVERIFY(r);
    QCOMPARE(r->SO[17], 0.0);
    QCOMPARE(r->SO[18], m.PointValue[18]);
    QCOMPARE(r->STD.size(), 120);
    QCOMPARE(r->STD.mid(16 * 5, 5), QStringLiteral("  0.0"));
    QCOMPARE(r->STD.mid(0, 5), QStringLiteral(" 90.1"));
    QCOMPARE(r->MEMO1, QStringLiteral("第一行\nsecond line"));
    QCOMPARE(r->toMeasurement().Note, m.Note);
    QVERIFY(r->SoVota);
  }

  void deletedSubjectLeavesSaveDisabled() {
    ListsFolder f;
    f.addSubject(QStringLiteral("D1"), QStringLiteral("褚"));
    f.addSubject(QStringLiteral("D2"), QStringLiteral("卫"));
    f.ctx.CurrentSubject.CustNo = QStringLiteral("GONE");
    f.ctx.CurrentSubject.MaleSubject = false;
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    TSosave w(f.ctx);
    QVERIFY(!w.saveButton()->isEnabled());
    QCOMPARE(w.shownCustNo(), QString());
    QCOMPARE(w.shownName(), QString());
    QCOMPARE(w.shownSex(), QStringLiteral("女性"));
    QVERIFY(w.SaveTarget().CustNo.isEmpty());
    w.SaveClick(); // nothing to store under
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);

    // Choosing a subject enables it; a search that moves the row chooses too.
    w.subjectList()->list().setCurrentRow(1);
    QVERIFY(w.saveButton()->isEnabled());
    QCOMPARE(w.shownCustNo(), QStringLiteral("D2"));
    QVERIFY(w.subjectList()->list().SearchSubject(QStringLiteral("d1")));
    QCOMPARE(w.shownName(), QStringLiteral("褚"));
    QCOMPARE(w.SaveTarget().CustNo, QStringLiteral("D1"));

    // The chosen subject deleted by now: the error is shown, the window stays.
    QString err;
    QVERIFY(DeleteSubject(f.db(), QStringLiteral("D1"), &err));
    w.SaveClick();
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 5);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
  }

  void doubleClick() {
    ListsFolder f;
    f.addSubject(QStringLiteral("C1"));
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    TSosave w(f.ctx);
    // No subject chosen: asks to choose or add one; nothing stored under an empty number.
    w.ListDoubleClick();
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).type, 5);
    QVERIFY(f.prompter.questions().at(0).text.contains(QStringLiteral("新增")));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);

    w.subjectList()->list().setCurrentRow(0);
    f.prompter.answer(false);
    w.ListDoubleClick();
    QCOMPARE(f.prompter.questions().last().type, 1);
    QCOMPARE(f.prompter.questions().last().text, kQuestion);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
    QCOMPARE(w.result(), int(QDialog::Rejected));

    f.prompter.answer(true);
    emit w.subjectList()->rowActivated(0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'C1'")), 1);
    QCOMPARE(w.result(), int(QDialog::Accepted));
  }

  void addSubjectOnTheSpot_data() {
    QTest::addColumn<bool>("added");
    QTest::addColumn<bool>("answer");
    QTest::newRow("added, stored") << true << true;
    QTest::newRow("added, not stored") << true << false;
    QTest::newRow("none added") << false << true;
  }
  void addSubjectOnTheSpot() {
    QFETCH(bool, added);
    QFETCH(bool, answer);
    ListsFolder f;
    f.addSubject(QStringLiteral("A1"));
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    TSosave w(f.ctx);
    w.setEditorRunner([added](AppContext &c, QWidget *) {
      if (!added)
        return QString();
      SubjectRecord s;
      s.CustNo = QStringLiteral("B7");
      s.Name = QStringLiteral("蒋");
      return SaveNewSubject(c.database().working(), s).custNo;
    });
    f.prompter.answer(answer);
    w.addButton()->click();
    if (!added) {
      QVERIFY(f.prompter.questions().isEmpty());
      QVERIFY(!w.saveButton()->isEnabled());
      QVERIFY(w.SaveTarget().CustNo.isEmpty());
      return;
    }
    QCOMPARE(f.prompter.questions().size(), 1);
    QCOMPARE(f.prompter.questions().at(0).text, kQuestion);
    QCOMPARE(w.shownCustNo(), QStringLiteral("B7"));
    QCOMPARE(w.SaveTarget().CustNo, QStringLiteral("B7"));
    if (!answer) { // still open, on the new subject
      QCOMPARE(w.subjectList()->list().currentCustNo(), QStringLiteral("B7"));
      QCOMPARE(w.subjectList()->list().model().rowCount(), 2);
    }
    QVERIFY(w.saveButton()->isEnabled());
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'B7'")), answer ? 1 : 0);
    QCOMPARE(w.result(), int(answer ? QDialog::Accepted : QDialog::Rejected));
  }

  void openedFromTheMeasurementWindow() {
    ListsFolder f;
    f.addSubject(QStringLiteral("M1"), QStringLiteral("韩"));
    f.ctx.CurrentSubject.CustNo = QStringLiteral("M1");
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    TSodec measure(f.ctx);
    measure.setWindowFactory(TSodec::Save, [](AppContext &c, QWidget *p) -> std::unique_ptr<QDialog> {
      return std::make_unique<TSosave>(c, p);
    });
    measure.show();
    QVERIFY(QTest::qWaitForWindowExposed(&measure));
    QString opened;
    QTimer::singleShot(0, this, [&] {
      auto *save = qobject_cast<TSosave *>(QApplication::activeModalWidget());
      if (!save)
        return;
      opened = save->windowTitle();
      save->saveButton()->click();
    });
    measure.OpenSave();
    QCOMPARE(opened, QStringLiteral("经络能量资料储存"));
    QVERIFY(f.ctx.CurrentMeasurement.StoredKey > 0);
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData WHERE CustNo = 'M1'")), 1);
  }

  void soundBeforeEachQuestion() {
    // The instrument signals before the question and before the warning.
    ListsFolder f;
    SimulatedInstrument sim(f.clock);
    sim.plugInto(f.ctx);
    QVERIFY(f.ctx.link().isConnected());
    f.addSubject(QStringLiteral("C1"));
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    struct Recorder : Prompter {
      SimulatedInstrument *sim;
      QList<qsizetype> soundsAtAsk;
      bool ask(int, const QString &) override {
        soundsAtAsk << sim->sounds().size();
        return false;
      }
    } recorder;
    recorder.sim = &sim;
    f.ctx.setPrompter(&recorder);
    TSosave w(f.ctx);
    sim.clearTrace();
    w.ListDoubleClick(); // no subject: a warning
    w.subjectList()->list().setCurrentRow(0);
    w.ListDoubleClick(); // the question
    QCOMPARE(recorder.soundsAtAsk.size(), 2);
    QVERIFY(recorder.soundsAtAsk[0] >= 1);
    QVERIFY(recorder.soundsAtAsk[1] > recorder.soundsAtAsk[0]);
    f.ctx.setPrompter(&f.prompter);
  }

  void exitStoresNothing() {
    ListsFolder f;
    f.addSubject(QStringLiteral("E1"));
    f.ctx.CurrentSubject.CustNo = QStringLiteral("E1");
    f.ctx.CurrentMeasurement = sample(ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0))));
    TSosave w(f.ctx);
    w.exitButton()->click();
    QCOMPARE(w.SaveTarget().CustNo, QStringLiteral(" "));
    QCOMPARE(f.count(QStringLiteral("SELECT COUNT(*) FROM SoData")), 0);
    QCOMPARE(f.ctx.CurrentMeasurement.StoredKey, 0);
  }
};

QTEST_MAIN(TestSaveWindow)
#include "test_save_window.moc"
