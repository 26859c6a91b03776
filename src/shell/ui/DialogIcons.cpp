#include "shell/ui/DialogIcons.h"

#include <QPainter>
#include <QPainterPath>

QPixmap DialogIconPixmap(DialogIcon icon, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(2, 2, size - 4, size - 4);
  QFont f;
  f.setBold(true);
  f.setPixelSize(int(size * 0.62));
  p.setFont(f);
  if (icon == DialogIcon::Warning) {
    QPainterPath tri;
    tri.moveTo(r.center().x(), r.top());
    tri.lineTo(r.right(), r.bottom());
    tri.lineTo(r.left(), r.bottom());
    tri.closeSubpath();
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, QColor(255, 224, 90));
    g.setColorAt(1, QColor(236, 170, 20));
    p.setBrush(g);
    p.setPen(QPen(QColor(150, 100, 0), size / 24.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tri);
    p.setPen(QColor(40, 30, 0));
    p.drawText(QRectF(r.left(), r.top() + size * 0.16, r.width(), r.height() * 0.84), Qt::AlignCenter,
               QStringLiteral("!"));
    return pm;
  }
  const QColor base = icon == DialogIcon::Question ? QColor(40, 110, 200) : QColor(30, 140, 190);
  QRadialGradient g(QPointF(size * 0.38, size * 0.32), size * 0.7);
  g.setColorAt(0, base.lighter(165));
  g.setColorAt(1, base);
  p.setBrush(g);
  p.setPen(QPen(base.darker(150), size / 24.0));
  p.drawEllipse(r);
  p.setPen(Qt::white);
  if (icon == DialogIcon::Information) {
    QFont serif(QStringLiteral("serif"));
    serif.setBold(true);
    serif.setPixelSize(int(size * 0.66));
    p.setFont(serif);
  }
  p.drawText(r, Qt::AlignCenter, icon == DialogIcon::Question ? QStringLiteral("?") : QStringLiteral("i"));
  return pm;
}
