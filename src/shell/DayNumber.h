#pragma once
// Stored date-times: days since 30 December 1899 00:00 local wall-clock time,
// the fraction being the time of day. 0 means "not given", and every value not
// greater than 4000 is treated as not given by the displays.
#include <QDate>
#include <QDateTime>
#include <QString>

constexpr double kDateNotGiven = 0.0;
inline bool IsDateGiven(double dayNumber) { return dayNumber > 4000.0; }

double ToDayNumber(const QDateTime &dt);
double ToDayNumber(const QDate &d);
QDateTime FromDayNumber(double dayNumber);
QDate DateFromDayNumber(double dayNumber);
// Age in years: day difference / 365.
double AgeInYears(double birth, double at);
// "yyyy-MM-dd" or locale short date text; empty when not given.
QString ShortDateText(double dayNumber);
QString LongTimeText(double dayNumber);
