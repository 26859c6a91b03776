#pragma once
// Number formats written as the program's texts give them ("%5.1f", "%3.0f",
// "%6.0d", "%4d", "%8.0n"), with the locale's decimal and group separators.
// Rounding is half away from zero on the decimal value, as the displays expect.
#include <QLocale>
#include <QString>

// Supports %[-][width][.precision](f|d|n|s-free) for one number.
QString FormatNumber(const char *format, double value, const QLocale &locale = QLocale());
// Fixed decimals without padding ("%.1f"), the usual point value display.
QString FormatFixed(double value, int decimals, const QLocale &locale = QLocale());
// Round half away from zero to the given number of decimals.
double RoundHalfAway(double value, int decimals);
// Shortest general text of a double ("1" for 1.0, "0.95"), locale separator.
QString FormatGeneral(double value, const QLocale &locale = QLocale());
// Parses integer / decimal texts the way the program reads typed or stored
// numbers: surrounding blanks allowed, locale separator or '.'.
bool ParseInteger(const QString &text, int *out);
bool ParseDecimal(const QString &text, double *out, const QLocale &locale = QLocale());
