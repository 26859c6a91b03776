#include "records/CalculatedFields.h"

#include "shell/DayNumber.h"
#include "shell/Format.h"

#include <cmath>

QString ListSexText(bool male) {
  return male ? QStringLiteral("男") : QStringLiteral("女");
}

QString ListAgeText(double birth, double at) {
  if (!IsDateGiven(birth))
    return QString();
  return FormatNumber("%3.1f", AgeInYears(birth, at));
}

QString ListDateTimeText(double dayNumber) {
  if (!IsDateGiven(dayNumber))
    return QString();
  return ShortDateText(dayNumber) + u' ' + LongTimeText(dayNumber);
}

QString ListVotaText(bool highPotential) {
  return highPotential ? QStringLiteral("HI") : QStringLiteral("NRM");
}

QString ListAverageText(const SlotArray &values) {
  double sum = 0;
  for (int k = 1; k <= 24; ++k)
    sum += values[size_t(k)];
  return FormatNumber("%3.1f", sum / 24.0);
}

QString PointListText(double value) {
  const double r = RoundHalfAway(value, 1);
  if (r == 0.0)
    return QString();
  QString s = FormatFixed(std::fabs(r), 1);
  const QString zeroDecimal = QLocale().decimalPoint() + u'0';
  if (s.endsWith(zeroDecimal))
    s.chop(zeroDecimal.size());
  if (s.startsWith(u'0'))
    s.remove(0, 1);
  return r < 0 ? u'-' + s : s;
}

QString SubjectSortField(int column) {
  static const char *const fields[] = {"CustNo", "CustNo", "Name", "Sex",   "DBirth", "DBirth",
                                       "Presoa", "Tel",    "Addr", "email", "Tel2",   "Tel3"};
  column = std::abs(column);
  if (column < 1 || column > 11)
    column = 1;
  return QLatin1String(fields[column]);
}

bool SubjectSortSearchable(int column) {
  column = std::abs(column);
  return column == 1 || column == 2 || column == 4 || (column >= 7 && column <= 11);
}

QString SubjectSearchField(int column) {
  return std::abs(column) == 2 ? QStringLiteral("NAME") : SubjectSortField(column);
}
