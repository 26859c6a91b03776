#include "measure/ui/MeasureIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {
QPixmap canvas(int w, int h) {
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  return pm;
}

void plate(QPainter &p, const QRectF &r, const QColor &c) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, c.lighter(140));
  g.setColorAt(1, c.darker(110));
  p.setBrush(g);
  p.setPen(QPen(c.darker(160), 1.2));
  p.drawRoundedRect(r, 9, 9);
}

void speaker(QPainter &p, const QColor &c) {
  QPainterPath body;
  body.moveTo(6, 13);
  body.lineTo(11, 13);
  body.lineTo(18, 6);
  body.lineTo(18, 26);
  body.lineTo(11, 19);
  body.lineTo(6, 19);
  body.closeSubpath();
  p.setBrush(c);
  p.setPen(QPen(c.darker(150), 1));
  p.drawPath(body);
}
} // namespace

QPixmap MeasureToolImage(int button) {
  QPixmap pm = canvas(55, 52);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(3, 2, 49, 48);
  const QPen white(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (button) {
  case 1: { // measure: the probe on a point
    plate(p, r, QColor(30, 150, 90));
    p.setPen(white);
    p.drawLine(QPointF(16, 38), QPointF(36, 14));
    p.setBrush(QColor(255, 230, 120));
    p.setPen(QPen(QColor(255, 230, 120), 1));
    p.drawEllipse(QPointF(14, 40), 5, 5);
    p.setPen(QPen(Qt::white, 2));
    p.drawArc(QRectF(4, 30, 20, 20), 200 * 16, 140 * 16);
    break;
  }
  case 2: // stop
    plate(p, r, QColor(190, 50, 50));
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(17, 16, 21, 21), 3, 3);
    break;
  case 3: { // analysis: bars
    plate(p, r, QColor(40, 110, 190));
    p.setPen(Qt::NoPen);
    const int h[4] = {12, 24, 17, 29};
    const QColor c[4] = {QColor(255, 220, 90), QColor(140, 240, 140), QColor(255, 150, 90), QColor(220, 240, 255)};
    for (int i = 0; i < 4; ++i) {
      p.setBrush(c[i]);
      p.drawRect(QRectF(12 + i * 8, 40 - h[i], 6, h[i]));
    }
    p.setPen(white);
    p.drawLine(QPointF(10, 41), QPointF(45, 41));
    break;
  }
  case 4: { // save: a disk
    plate(p, r, QColor(70, 90, 170));
    p.setBrush(QColor(235, 240, 250));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(13, 11, 29, 30), 3, 3);
    p.setBrush(QColor(70, 90, 170));
    p.drawRect(QRectF(18, 11, 18, 10));
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(30, 13, 4, 6));
    p.setBrush(QColor(120, 140, 210));
    p.drawRect(QRectF(17, 27, 21, 12));
    break;
  }
  case 5: { // read: a folder
    plate(p, r, QColor(200, 140, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 235, 170));
    QPainterPath f;
    f.moveTo(11, 17);
    f.lineTo(22, 17);
    f.lineTo(25, 20);
    f.lineTo(44, 20);
    f.lineTo(44, 39);
    f.lineTo(11, 39);
    f.closeSubpath();
    p.drawPath(f);
    p.setBrush(QColor(255, 250, 225));
    p.drawRect(QRectF(11, 24, 33, 15));
    break;
  }
  case 6: { // clear: a grid struck through
    plate(p, r, QColor(120, 120, 135));
    p.setPen(QPen(Qt::white, 1.5));
    for (int i = 0; i <= 3; ++i) {
      p.drawLine(QPointF(12, 14 + i * 8), QPointF(43, 14 + i * 8));
      p.drawLine(QPointF(12 + i * 10.33, 14), QPointF(12 + i * 10.33, 38));
    }
    p.setPen(QPen(QColor(255, 90, 90), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 41), QPointF(40, 11));
    break;
  }
  case 7: { // manual entry: a pencil on a grid
    plate(p, r, QColor(60, 140, 150));
    p.setPen(QPen(Qt::white, 1.5));
    for (int i = 0; i <= 2; ++i)
      p.drawLine(QPointF(10, 22 + i * 8), QPointF(34, 22 + i * 8));
    p.setPen(QPen(QColor(255, 220, 90), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(24, 38), QPointF(42, 14));
    p.setPen(QPen(QColor(250, 180, 150), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(22, 41), QPointF(24, 38));
    break;
  }
  case 8: { // compare: two series
    plate(p, r, QColor(130, 80, 170));
    p.setPen(QPen(QColor(255, 230, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF a{{10, 34}, {19, 22}, {28, 30}, {37, 16}, {45, 24}};
    p.drawPolyline(a);
    p.setPen(QPen(QColor(150, 240, 255), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF b{{10, 40}, {19, 33}, {28, 38}, {37, 28}, {45, 35}};
    p.drawPolyline(b);
    break;
  }
  case 9: { // exit: a door and an arrow
    plate(p, r, QColor(170, 60, 60));
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(12, 11, 17, 30));
    p.setPen(white);
    p.drawLine(QPointF(24, 26), QPointF(44, 26));
    p.drawLine(QPointF(38, 20), QPointF(44, 26));
    p.drawLine(QPointF(38, 32), QPointF(44, 26));
    break;
  }
  default:
    break;
  }
  return pm;
}

QPixmap SoundModeImage(int soundMode) {
  QPixmap pm = canvas(32, 32);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  speaker(p, QColor(60, 90, 160));
  p.setBrush(Qt::NoBrush);
  if (soundMode == 0) {
    p.setPen(QPen(QColor(210, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 11), QPointF(29, 21));
    p.drawLine(QPointF(29, 11), QPointF(21, 21));
  } else {
    p.setPen(QPen(QColor(30, 150, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(12, 10, 12, 12), -50 * 16, 100 * 16);
    if (soundMode == 1) {
      p.drawArc(QRectF(9, 6, 20, 20), -50 * 16, 100 * 16);
      p.drawArc(QRectF(6, 2, 28, 28), -50 * 16, 100 * 16);
    }
  }
  return pm;
}

QPixmap PictureStyleImage(int style) {
  QPixmap pm = canvas(32, 32);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 70, 90), 1.5));
  p.setBrush(QColor(250, 250, 245));
  p.drawRect(QRectF(3, 5, 26, 22));
  if (style == 1 || style == 3) { // landscape of a photograph
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 180, 240));
    p.drawRect(QRectF(4, 6, 24, 12));
    p.setBrush(QColor(70, 160, 80));
    QPolygonF hill{{4, 26}, {12, 14}, {19, 22}, {23, 18}, {28, 26}};
    p.drawPolygon(hill);
  }
  if (style == 2 || style == 3) { // the outline of a drawing
    p.setPen(QPen(QColor(200, 60, 40), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 6, 6);
    p.drawLine(QPointF(16, 22), QPointF(16, 26));
  }
  return pm;
}

QPixmap SexImage(bool male) {
  QPixmap pm = canvas(24, 24);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = male ? QColor(40, 100, 200) : QColor(210, 60, 130);
  p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  if (male) {
    p.drawEllipse(QPointF(10, 14), 6, 6);
    p.drawLine(QPointF(14.5, 9.5), QPointF(21, 3));
    p.drawLine(QPointF(15, 3), QPointF(21, 3));
    p.drawLine(QPointF(21, 3), QPointF(21, 9));
  } else {
    p.drawEllipse(QPointF(12, 9), 6, 6);
    p.drawLine(QPointF(12, 15), QPointF(12, 23));
    p.drawLine(QPointF(8, 19.5), QPointF(16, 19.5));
  }
  return pm;
}

QPixmap ModePicture(bool highPotential) {
  QPixmap pm = canvas(120, 26);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = highPotential ? QColor(200, 60, 40) : QColor(30, 120, 200);
  plate(p, QRectF(1, 1, 118, 24), c);
  QFont f;
  f.setPixelSize(14);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 120, 26), Qt::AlignCenter,
             highPotential ? QStringLiteral("高电位测量") : QStringLiteral("标准电位测量"));
  return pm;
}
