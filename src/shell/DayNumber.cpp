#include "shell/DayNumber.h"

#include <QLocale>
#include <cmath>

static const QDate kEpoch(1899, 12, 30);

double ToDayNumber(const QDate &d) {
  return d.isValid() ? double(kEpoch.daysTo(d)) : 0.0;
}

double ToDayNumber(const QDateTime &dt) {
  if (!dt.isValid())
    return 0.0;
  const double days = double(kEpoch.daysTo(dt.date()));
  const double ms = double(dt.time().msecsSinceStartOfDay());
  return days + ms / 86400000.0;
}

QDateTime FromDayNumber(double dayNumber) {
  double days = std::floor(dayNumber);
  qint64 ms = std::llround((dayNumber - days) * 86400000.0);
  if (ms >= 86400000) {
    days += 1;
    ms -= 86400000;
  }
  // Round to the second: stored doubles carry no sub-second meaning.
  ms = (ms + 500) / 1000 * 1000;
  if (ms >= 86400000) {
    days += 1;
    ms -= 86400000;
  }
  const QDate date = kEpoch.addDays(qint64(days));
  return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QDate DateFromDayNumber(double dayNumber) { return FromDayNumber(dayNumber).date(); }

double AgeInYears(double birth, double at) { return (at - birth) / 365.0; }

QString ShortDateText(double dayNumber) {
  if (!IsDateGiven(dayNumber))
    return QString();
  return QLocale().toString(DateFromDayNumber(dayNumber), QLocale::ShortFormat);
}

QString LongTimeText(double dayNumber) {
  if (!IsDateGiven(dayNumber))
    return QString();
  // Stored times are wall-clock times without a zone: the locale's long time
  // format without its zone name ("t"), which would otherwise read "UTC".
  const QString format = QLocale().timeFormat(QLocale::LongFormat);
  QString f;
  bool quoted = false;
  for (QChar c : format) {
    if (c == u'\'')
      quoted = !quoted;
    if (quoted || c != u't')
      f += c;
  }
  return QLocale().toString(FromDayNumber(dayNumber).time(), f.simplified());
}
