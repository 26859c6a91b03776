#include "shell/ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QPixmap badge(const QColor &fill, const QString &glyph, int size = 64) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size);
  g.setColorAt(0, fill.lighter(135));
  g.setColorAt(1, fill.darker(115));
  p.setBrush(g);
  p.setPen(QPen(fill.darker(160), size / 32.0));
  p.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), size / 5.0, size / 5.0);
  QFont f;
  f.setPixelSize(int(size * 0.5));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
  return pm;
}
} // namespace

QIcon MainToolIcon(int button) {
  static const struct {
    QColor colour;
    const char *glyph;
  } spec[13] = {
      {Qt::gray, ""},
      {QColor(32, 140, 90), "测"},  {QColor(40, 110, 180), "解"}, {QColor(190, 120, 30), "校"},
      {QColor(90, 80, 170), "资"},  {QColor(60, 130, 150), "档"}, {QColor(110, 110, 120), "1"},
      {QColor(110, 110, 120), "2"}, {QColor(110, 110, 120), "3"}, {QColor(110, 110, 120), "4"},
      {QColor(110, 110, 120), "5"}, {QColor(110, 110, 120), "6"}, {QColor(180, 50, 50), "离"},
  };
  if (button < 1 || button > 12)
    return {};
  return QIcon(badge(spec[button].colour, QString::fromUtf8(spec[button].glyph)));
}

QIcon TrayIcon(int image) {
  const int size = 32;
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = image == 14 ? QColor(40, 170, 70) : QColor(200, 50, 50);
  QRadialGradient g(QPointF(size * 0.4, size * 0.35), size * 0.6);
  g.setColorAt(0, c.lighter(170));
  g.setColorAt(1, c);
  p.setBrush(g);
  p.setPen(QPen(c.darker(170), 1.5));
  p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
  p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  if (image == 14) {
    QPainterPath tick;
    tick.moveTo(9, 16);
    tick.lineTo(14, 21);
    tick.lineTo(23, 11);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  } else {
    p.drawLine(11, 11, 21, 21);
    p.drawLine(21, 11, 11, 21);
  }
  return QIcon(pm);
}
