#include "reference/BalanceBackground.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

QImage DrawBalanceBackground() {
  const int w = 320, h = 240;
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(w / 2.0, h / 2.0);
  // Rings and eight spokes, faint enough to sit under the chart's marks.
  p.setBrush(Qt::NoBrush);
  for (int i = 1; i <= 4; ++i) {
    p.setPen(QPen(QColor(214, 226, 244), i == 4 ? 2.0 : 1.0));
    p.drawEllipse(c, 36.0 * i, 27.0 * i);
  }
  p.setPen(QPen(QColor(226, 234, 248), 1.0, Qt::DashLine));
  for (int k = 0; k < 8; ++k) {
    const qreal a = qDegreesToRadians(22.5 + 45.0 * k);
    p.drawLine(c + QPointF(std::cos(a) * 40, std::sin(a) * 30), c + QPointF(std::cos(a) * 144, std::sin(a) * 108));
  }
  // Taiji: the dark (yin) half with its light eye, the light half with its dark eye.
  const qreal r = 52;
  const QRectF disc(c.x() - r, c.y() - r, 2 * r, 2 * r);
  QPainterPath yin;
  yin.moveTo(c.x(), c.y() - r);
  yin.arcTo(disc, 90, 180);
  yin.arcTo(QRectF(c.x() - r / 2, c.y(), r, r), 270, -180);
  yin.arcTo(QRectF(c.x() - r / 2, c.y() - r, r, r), 270, 180);
  yin.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(206, 218, 238));
  p.drawPath(yin);
  p.setBrush(QColor(246, 249, 255));
  p.drawEllipse(QPointF(c.x(), c.y() - r / 2), r / 7, r / 7);
  p.setBrush(QColor(206, 218, 238));
  p.drawEllipse(QPointF(c.x(), c.y() + r / 2), r / 7, r / 7);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(190, 204, 230), 1.5));
  p.drawEllipse(disc);
  return img;
}
