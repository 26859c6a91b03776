// Programme matching: the positions, the required digits, the age and sex
// positions and the ProFlg rule, on hand-set grades.
#include "analysis/ProgrammeMatch.h"
#include "shell/DayNumber.h"

#include <QtTest>

namespace {
ProgrammeCondition row(const QString &cond, const QString &req = QString(), bool flag = false) {
  ProgrammeCondition c;
  c.ProCond = cond;
  c.ProAnd = req;
  c.ProFlg = flag;
  return c;
}
// Digits at 1-based positions, zeros elsewhere.
QString digits(std::initializer_list<std::pair<int, char>> at) {
  QString s(kConditionPositions, u'0');
  for (auto [n, d] : at)
    s[n - 1] = QLatin1Char(d);
  return s;
}
AnalysisResult normal() {
  AnalysisResult r;
  r.BodyEnergy = 45.0;
  return r;
}
} // namespace

class TestProgrammeMatch : public QObject {
  Q_OBJECT
private slots:
  void rows_data();
  void rows();
  void flaggedRowsReject();
  void ageFromBirthYear();
  void problems_data();
  void problems();
};

void TestProgrammeMatch::rows_data() {
  QTest::addColumn<QString>("cond");
  QTest::addColumn<QString>("req");
  QTest::addColumn<QString>("state"); // what to change in a normal result
  QTest::addColumn<int>("age");
  QTest::addColumn<bool>("male");
  QTest::addColumn<bool>("matches");
  const QString none;
  QTest::newRow("energy above, grade 1") << digits({{1, '2'}}) << none << "energy+1" << 40 << true << true;
  QTest::newRow("energy above, grade 0") << digits({{1, '2'}}) << none << "" << 40 << true << false;
  QTest::newRow("yin/yang 1 means above") << digits({{4, '1'}}) << none << "yinyang+1" << 40 << true << true;
  QTest::newRow("yin/yang 2 means below") << digits({{4, '2'}}) << none << "yinyang+1" << 40 << true << false;
  QTest::newRow("required normal fails after a true flag")
      << digits({{2, '2'}}) << digits({{4, '1'}}) << "upper+1 yinyang-1" << 40 << true << false;
  QTest::newRow("required normal holds") << digits({{2, '2'}}) << digits({{4, '1'}}) << "upper+1" << 40 << true << true;
  QTest::newRow("male only, male") << digits({{24, '1'}}) << digits({{24, '1'}}) << "" << 40 << true << true;
  QTest::newRow("male only, female") << digits({{24, '1'}}) << none << "" << 40 << false << false;
  QTest::newRow("energy whole 45 at 45.9") << digits({{1, '4'}}) << none << "energy45.9" << 40 << true << true;
  QTest::newRow("energy whole 45 at 46.0") << digits({{1, '4'}}) << none << "energy46.0" << 40 << true << false;
  QTest::newRow("meridian both below") << digits({{14, '1'}}) << none << "LR-both" << 40 << true << true;
  QTest::newRow("meridian one below") << digits({{14, '1'}}) << none << "LR-left" << 40 << true << false;
  QTest::newRow("meridian either, one") << digits({{14, '3'}}) << none << "LR-left" << 40 << true << true;
  QTest::newRow("combined fire element") << digits({{19, '2'}}) << none << "fire+1" << 40 << true << true;
  QTest::newRow("age 0 skips the age") << digits({{23, '1'}, {24, '2'}}) << none << "" << 0 << false << true;
  QTest::newRow("age below the bound") << digits({{23, '1'}, {24, '2'}}) << none << "" << 30 << false << false;
  QTest::newRow("age within") << digits({{23, '3'}, {24, '2'}}) << none << "" << 50 << false << true;
  QTest::newRow("blank is zeros") << QStringLiteral("   ") << none << "energy+1" << 40 << true << false;
  QTest::newRow("no true flag") << digits({}) << none << "energy+1" << 40 << true << false;
}

void TestProgrammeMatch::rows() {
  QFETCH(QString, cond);
  QFETCH(QString, req);
  QFETCH(QString, state);
  QFETCH(int, age);
  QFETCH(bool, male);
  QFETCH(bool, matches);
  AnalysisResult r = normal();
  const QStringList changes = state.split(u' ', Qt::SkipEmptyParts);
  for (const QString &s : changes) {
    if (s == u"energy+1") r.IndexGrade[1] = 1;
    if (s == u"upper+1") r.IndexGrade[2] = 1;
    if (s == u"yinyang+1") r.IndexGrade[4] = 1;
    if (s == u"yinyang-1") r.IndexGrade[4] = -1;
    if (s == u"energy45.9") r.BodyEnergy = 45.9;
    if (s == u"energy46.0") r.BodyEnergy = 46.0;
    if (s == u"LR-both") r.PointGrade[14] = r.PointGrade[20] = -1;
    if (s == u"LR-left") r.PointGrade[14] = -2;
    if (s == u"fire+1") r.ElementGrade[7][1] = 1;
  }
  ProgrammeCondition c = row(cond, req);
  c.ProEng = 45;
  c.ProAGL = 45;
  c.ProAGH = 58;
  QCOMPARE(ConditionRowMatches(c, r, age, male), matches);
}

void TestProgrammeMatch::flaggedRowsReject() {
  AnalysisResult r = normal();
  r.IndexGrade[1] = 1;
  const ProgrammeCondition yes = row(digits({{1, '2'}}));
  ProgrammeCondition no = row(digits({{1, '1'}}));
  QVERIFY(ProgrammeMatches({yes, no}, r, 40, true));
  no.ProFlg = true;
  QVERIFY(!ProgrammeMatches({yes, no}, r, 40, true));
  QVERIFY(!ProgrammeMatches({}, r, 40, true));
}

void TestProgrammeMatch::ageFromBirthYear() {
  QCOMPARE(ProgrammeAge(2026, ToDayNumber(QDate(2026, 3, 1))), 0);
  QCOMPARE(ProgrammeAge(2026, ToDayNumber(QDate(1976, 12, 31))), 50);
  QCOMPARE(ProgrammeAge(2026, 0.0), 127); // no birth date: 30 December 1899
}

void TestProgrammeMatch::problems_data() {
  QTest::addColumn<QString>("cond");
  QTest::addColumn<QString>("req");
  QTest::addColumn<bool>("sound");
  QTest::newRow("sound") << digits({{6, '2'}}) << QString() << true;
  QTest::newRow("letter") << QStringLiteral("00x") << QString() << false;
  QTest::newRow("too long") << QString(25, u'0') << QString() << false;
  QTest::newRow("undefined digit") << digits({{2, '5'}}) << QString() << false;
  QTest::newRow("energy 6 is defined") << digits({{1, '6'}}) << QString() << true;
  QTest::newRow("sex 3") << digits({{24, '3'}}) << QString() << false;
  QTest::newRow("nothing") << digits({}) << QString() << false;
  QTest::newRow("required age 0") << digits({}) << digits({{23, '1'}}) << false;
}

void TestProgrammeMatch::problems() {
  QFETCH(QString, cond);
  QFETCH(QString, req);
  QFETCH(bool, sound);
  QCOMPARE(ConditionRowProblem(row(cond, req)).isEmpty(), sound);
}

QTEST_GUILESS_MAIN(TestProgrammeMatch)
#include "test_programme_match.moc"
