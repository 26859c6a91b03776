#include "analysis/ProgrammeMatch.h"

#include "shell/DayNumber.h"

#include <cmath>

namespace {

// The stored text is used as it is: blank means all zeros, a missing or
// non-digit character counts as 0.
int digitAt(const QString &text, int position) {
  if (text.trimmed().isEmpty() || position > text.size())
    return 0;
  const QChar ch = text.at(position - 1);
  return ch >= u'0' && ch <= u'9' ? ch.unicode() - u'0' : 0;
}

bool gradeFlag(int c, int g, bool required, bool aboveIsOne) {
  switch (c) {
  case 0: return g == 0 && required;
  case 1: return aboveIsOne ? g > 0 : g < 0;
  case 2: return aboveIsOne ? g < 0 : g > 0;
  case 3: return g != 0;
  default: return false;
  }
}

bool positionFlag(int n, int c, bool required, const ProgrammeCondition &row, const AnalysisResult &r, int age,
                  bool male) {
  if (n == 1) {
    const double whole = std::trunc(r.BodyEnergy);
    switch (c) {
    case 4: return whole == row.ProEng;
    case 5: return whole > row.ProEng;
    case 6: return whole < row.ProEng;
    default: return gradeFlag(c, r.IndexGrade[1], required, false);
    }
  }
  if (n == 2)
    return gradeFlag(c, r.IndexGrade[2], required, false);
  if (n == 3 || n == 5) {
    const int g = r.IndexGrade[n];
    return c == 0 ? g == 0 && required : (c >= 1 && c <= 3 && g != 0);
  }
  if (n == 4)
    return gradeFlag(c, r.IndexGrade[4], required, true);
  if (n <= 17) {
    const int m = ConditionMeridian(n);
    const int gl = r.PointGrade[SlotOf(Side::Left, m)], gr = r.PointGrade[SlotOf(Side::Right, m)];
    switch (c) {
    case 0: return gl == 0 && gr == 0 && required;
    case 1: return gl < 0 && gr < 0;
    case 2: return gl > 0 && gr > 0;
    case 3: return gl != 0 || gr != 0;
    default: return false;
    }
  }
  if (n <= 22)
    return gradeFlag(c, r.ElementGrade[ConditionElementRow(n)][1], required, false);
  if (n == 23) {
    switch (c) {
    case 1: return age >= row.ProAGL;
    case 2: return age <= row.ProAGH;
    case 3: return age >= row.ProAGL && age <= row.ProAGH;
    default: return false;
    }
  }
  return (c == 1 && male) || (c == 2 && !male);
}

} // namespace

int ConditionMeridian(int position) {
  static const int meridians[12] = {1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10};
  return position >= 6 && position <= 17 ? meridians[position - 6] : 0;
}

int ConditionElementRow(int position) {
  static const int rows[5] = {1, 7, 4, 5, 6};
  return position >= 18 && position <= 22 ? rows[position - 18] : 0;
}

int ProgrammeAge(int presentYear, double BirthDate) {
  return presentYear - DateFromDayNumber(BirthDate).year();
}

bool ConditionRowMatches(const ProgrammeCondition &row, const AnalysisResult &r, int age, bool MaleSubject) {
  bool matched = false;
  for (int n = 1; n <= kConditionPositions; ++n) {
    if (n == 23 && age == 0)
      continue;
    const int c = digitAt(row.ProCond, n);
    const bool required = digitAt(row.ProAnd, n) == 1;
    const bool flag = positionFlag(n, c, required, row, r, age, MaleSubject);
    if (!flag && (n <= 22 ? required : c != 0))
      return false;
    matched = matched || flag;
  }
  return matched;
}

bool ProgrammeMatches(const QList<ProgrammeCondition> &rows, const AnalysisResult &r, int age, bool MaleSubject) {
  bool matched = false;
  for (const ProgrammeCondition &row : rows) {
    if (ConditionRowMatches(row, r, age, MaleSubject))
      matched = true;
    else if (row.ProFlg)
      return false;
  }
  return matched;
}

QString ConditionRowProblem(const ProgrammeCondition &row) {
  for (const QString *text : {&row.ProCond, &row.ProAnd}) {
    if (text->size() > kConditionPositions)
      return QStringLiteral("more than %1 digits: \"%2\"").arg(kConditionPositions).arg(*text);
    for (QChar ch : *text)
      if (!ch.isDigit() || ch > u'9')
        return QStringLiteral("not a digit in \"%1\"").arg(*text);
  }
  bool any = false;
  for (int n = 1; n <= kConditionPositions; ++n) {
    const int c = digitAt(row.ProCond, n), a = digitAt(row.ProAnd, n);
    const int maxDigit = n == 1 ? 6 : n == 24 ? 2 : 3;
    if (c > maxDigit)
      return QStringLiteral("position %1: condition %2 is not defined").arg(n).arg(c);
    if (a > 1)
      return QStringLiteral("position %1: required digit %2 (only 0 or 1)").arg(n).arg(a);
    if (c == 0 && a == 1 && n >= 23)
      return QStringLiteral("position %1: condition 0 is never true").arg(n);
    if (c != 0 || a == 1)
      any = true;
  }
  if (!any)
    return QStringLiteral("no condition");
  const int age = digitAt(row.ProCond, 23);
  if (age == 3 && row.ProAGL > row.ProAGH)
    return QStringLiteral("age bounds %1..%2 the wrong way round").arg(row.ProAGL).arg(row.ProAGH);
  return {};
}
