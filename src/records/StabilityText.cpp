#include "records/StabilityText.h"

#include "shell/Format.h"

QString BuildStabilityText(const SlotArray &stability) {
  QString s;
  s.reserve(120);
  for (int k = 1; k <= 24; ++k)
    s += FormatNumber("%5.1f", stability[size_t(k)], QLocale::c());
  return s;
}

SlotArray ParseStabilityText(const QString &text) {
  SlotArray v{};
  for (int k = 1; k <= 24; ++k) {
    QString piece = text.mid(5 * (k - 1), 5).trimmed();
    piece.replace(u',', u'.');
    bool ok = false;
    const double d = piece.toDouble(&ok);
    v[size_t(k)] = ok ? d : 0.0;
  }
  return v;
}
