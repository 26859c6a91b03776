#include "shell/Format.h"

#include <cmath>
#include <cstring>

double RoundHalfAway(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale;
  // A tiny nudge keeps values such as 2.25 (stored as 2.2499999...) rounding
  // the way their decimal text reads.
  const double r = std::round(scaled + (scaled >= 0 ? 1e-9 : -1e-9));
  return r / scale;
}

QString FormatFixed(double value, int decimals, const QLocale &locale) {
  QLocale l = locale;
  l.setNumberOptions(QLocale::OmitGroupSeparator);
  double r = RoundHalfAway(value, decimals);
  if (r == 0.0)
    r = 0.0; // no "-0.0"
  return l.toString(r, 'f', decimals);
}

QString FormatGeneral(double value, const QLocale &locale) {
  QLocale l = locale;
  l.setNumberOptions(QLocale::OmitGroupSeparator);
  return l.toString(value, 'g', 15);
}

QString FormatNumber(const char *format, double value, const QLocale &locale) {
  const char *p = std::strchr(format, '%');
  if (!p)
    return QString::fromLatin1(format);
  QString prefix = QString::fromUtf8(format, int(p - format));
  ++p;
  bool left = false;
  if (*p == '-') {
    left = true;
    ++p;
  }
  int width = 0;
  while (*p >= '0' && *p <= '9')
    width = width * 10 + (*p++ - '0');
  int precision = -1;
  if (*p == '.') {
    ++p;
    precision = 0;
    while (*p >= '0' && *p <= '9')
      precision = precision * 10 + (*p++ - '0');
  }
  const char conv = *p ? *p++ : 'f';
  QString suffix = QString::fromUtf8(p);

  QString body;
  switch (conv) {
  case 'd': {
    const long long v = std::llround(RoundHalfAway(value, 0));
    body = QString::number(v);
    if (precision > 0 && body.size() < precision) // Delphi pads digits with zeros
      body = QString(precision - body.size(), u'0') + body;
    break;
  }
  case 'n': {
    QLocale l = locale;
    l.setNumberOptions(QLocale::DefaultNumberOptions);
    const int dec = precision < 0 ? 2 : precision;
    double r = RoundHalfAway(value, dec);
    if (r == 0.0)
      r = 0.0;
    body = l.toString(r, 'f', dec);
    break;
  }
  default: // 'f'
    body = FormatFixed(value, precision < 0 ? 2 : precision, locale);
    break;
  }
  if (body.size() < width)
    body = left ? body + QString(width - body.size(), u' ') : QString(width - body.size(), u' ') + body;
  return prefix + body + suffix;
}

bool ParseInteger(const QString &text, int *out) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (ok && out)
    *out = v;
  return ok;
}

bool ParseDecimal(const QString &text, double *out, const QLocale &locale) {
  const QString t = text.trimmed();
  bool ok = false;
  double v = locale.toDouble(t, &ok);
  if (!ok)
    v = QLocale::c().toDouble(t, &ok);
  if (ok && !std::isfinite(v))
    ok = false;
  if (ok && out)
    *out = v;
  return ok;
}
