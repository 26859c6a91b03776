#include "shell/ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// Every pictogram is drawn on a 64 x 64 grid and scaled to the tile.
constexpr qreal kGrid = 64;

QColor tileColour(ToolGlyph g) {
  switch (g) {
  case ToolGlyph::Measure: return QColor(32, 140, 90);
  case ToolGlyph::Stop: return QColor(196, 48, 48);
  case ToolGlyph::Analyse: return QColor(40, 110, 180);
  case ToolGlyph::Save: return QColor(50, 120, 160);
  case ToolGlyph::Load: return QColor(90, 80, 170);
  case ToolGlyph::Clear: return QColor(200, 120, 40);
  case ToolGlyph::Keyboard: return QColor(90, 110, 120);
  case ToolGlyph::Compare: return QColor(130, 70, 160);
  case ToolGlyph::Exit: return QColor(180, 50, 50);
  case ToolGlyph::Print: return QColor(70, 90, 110);
  case ToolGlyph::Add: return QColor(40, 150, 80);
  case ToolGlyph::Edit: return QColor(60, 120, 170);
  case ToolGlyph::Delete: return QColor(190, 60, 50);
  case ToolGlyph::Search: return QColor(60, 130, 150);
  case ToolGlyph::Import: return QColor(40, 140, 120);
  case ToolGlyph::Export: return QColor(150, 110, 40);
  case ToolGlyph::Calibrate: return QColor(190, 120, 30);
  case ToolGlyph::Settings: return QColor(100, 100, 120);
  case ToolGlyph::Book: return QColor(40, 110, 180);
  case ToolGlyph::Records: return QColor(90, 80, 170);
  case ToolGlyph::Files: return QColor(60, 130, 150);
  case ToolGlyph::Function: return QColor(110, 110, 120);
  }
  return Qt::gray;
}

void drawTile(QPainter &p, const QColor &fill) {
  QLinearGradient g(0, 0, 0, kGrid);
  g.setColorAt(0, fill.lighter(135));
  g.setColorAt(1, fill.darker(115));
  p.setBrush(g);
  p.setPen(QPen(fill.darker(160), 2));
  p.drawRoundedRect(QRectF(2, 2, kGrid - 4, kGrid - 4), 12, 12);
  // A soft gloss on the upper half.
  QLinearGradient gloss(0, 2, 0, 30);
  gloss.setColorAt(0, QColor(255, 255, 255, 70));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gloss);
  p.drawRoundedRect(QRectF(4, 4, kGrid - 8, 28), 10, 10);
}

QPen ink(qreal w = 4) { return QPen(Qt::white, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void arrow(QPainter &p, QPointF from, QPointF to) {
  p.setPen(ink(4));
  p.drawLine(from, to);
  const QLineF l(to, from);
  const QLineF a = QLineF::fromPolar(9, l.angle() + 35).translated(to);
  const QLineF b = QLineF::fromPolar(9, l.angle() - 35).translated(to);
  p.drawLine(to, a.p2());
  p.drawLine(to, b.p2());
}

void cylinder(QPainter &p, QRectF r) {
  p.setPen(ink(3.5));
  p.setBrush(Qt::NoBrush);
  const qreal h = r.height() * 0.22;
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), h * 2));
  QPainterPath side;
  side.moveTo(r.left(), r.top() + h);
  side.lineTo(r.left(), r.bottom() - h);
  side.arcTo(QRectF(r.left(), r.bottom() - 2 * h, r.width(), 2 * h), 180, 180);
  side.lineTo(r.right(), r.top() + h);
  p.drawPath(side);
}

void drawGlyph(QPainter &p, ToolGlyph g, int number) {
  p.setBrush(Qt::NoBrush);
  p.setPen(ink());
  switch (g) {
  case ToolGlyph::Measure: {
    // The probe, its tip on a point, and the reading rising beside it.
    p.save();
    p.translate(22, 40);
    p.rotate(-40);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, -5, 30, 10), 4, 4);
    p.drawRect(QRectF(-8, -1.5, 9, 3));
    p.restore();
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(15, 47), 3.5, 3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(ink(3));
    QPainterPath wave(QPointF(30, 52));
    wave.cubicTo(36, 52, 38, 40, 44, 40);
    wave.cubicTo(50, 40, 50, 30, 56, 26);
    p.drawPath(wave);
    break;
  }
  case ToolGlyph::Stop:
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(19, 19, 26, 26), 4, 4);
    break;
  case ToolGlyph::Analyse:
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(14, 34, 8, 16));
    p.drawRect(QRectF(26, 22, 8, 28));
    p.drawRect(QRectF(38, 28, 8, 22));
    p.setPen(ink(3));
    p.drawLine(QPointF(11, 52), QPointF(53, 52));
    p.drawLine(QPointF(14, 26), QPointF(30, 16));
    p.drawLine(QPointF(30, 16), QPointF(50, 20));
    break;
  case ToolGlyph::Save: {
    QPainterPath disk;
    disk.moveTo(14, 14);
    disk.lineTo(44, 14);
    disk.lineTo(50, 20);
    disk.lineTo(50, 50);
    disk.lineTo(14, 50);
    disk.closeSubpath();
    p.setPen(ink(3.5));
    p.drawPath(disk);
    p.drawRect(QRectF(21, 14, 18, 11));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(20, 34, 24, 16));
    break;
  }
  case ToolGlyph::Load:
    cylinder(p, QRectF(12, 12, 26, 38));
    arrow(p, QPointF(36, 40), QPointF(54, 40));
    break;
  case ToolGlyph::Clear:
    // A sheet of values being wiped.
    p.setPen(ink(3));
    p.drawRect(QRectF(12, 14, 32, 36));
    for (int y : {24, 32, 40})
      p.drawLine(QPointF(17, y), QPointF(39, y));
    p.save();
    p.translate(44, 42);
    p.rotate(-35);
    p.setBrush(Qt::white);
    p.setPen(QPen(tileColour(g).darker(130), 1.5));
    p.drawRoundedRect(QRectF(-8, -14, 16, 24), 3, 3);
    p.restore();
    break;
  case ToolGlyph::Keyboard:
    p.setPen(ink(3));
    p.drawRoundedRect(QRectF(8, 20, 48, 28), 4, 4);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row)
      for (int k = 0; k < 6; ++k)
        p.drawRect(QRectF(13 + k * 7, 25 + row * 8, 5, 5));
    p.drawRect(QRectF(20, 41, 24, 4));
    break;
  case ToolGlyph::Compare:
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(12, 30, 7, 20));
    p.drawRect(QRectF(21, 20, 7, 30));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(QRectF(36, 24, 7, 26));
    p.drawRect(QRectF(45, 34, 7, 16));
    p.setPen(ink(2.5));
    p.drawLine(QPointF(32, 12), QPointF(32, 52));
    break;
  case ToolGlyph::Exit:
    p.setPen(ink(3.5));
    p.drawLine(QPointF(30, 12), QPointF(14, 12));
    p.drawLine(QPointF(14, 12), QPointF(14, 52));
    p.drawLine(QPointF(14, 52), QPointF(30, 52));
    arrow(p, QPointF(24, 32), QPointF(52, 32));
    break;
  case ToolGlyph::Print:
    p.setPen(ink(3));
    p.drawRect(QRectF(20, 10, 24, 14));
    p.drawRoundedRect(QRectF(10, 24, 44, 20), 4, 4);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(20, 38, 24, 16));
    break;
  case ToolGlyph::Add:
    p.setPen(ink(6));
    p.drawLine(QPointF(32, 16), QPointF(32, 48));
    p.drawLine(QPointF(16, 32), QPointF(48, 32));
    break;
  case ToolGlyph::Edit: {
    p.save();
    p.translate(32, 32);
    p.rotate(-45);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(-16, -5, 28, 10));
    QPolygonF tip{{-16, -5}, {-26, 0}, {-16, 5}};
    p.drawPolygon(tip);
    p.drawRoundedRect(QRectF(14, -5, 6, 10), 2, 2);
    p.restore();
    p.setPen(ink(2.5));
    p.drawLine(QPointF(12, 54), QPointF(30, 54));
    break;
  }
  case ToolGlyph::Delete:
    p.setPen(ink(3));
    p.drawLine(QPointF(14, 18), QPointF(50, 18));
    p.drawLine(QPointF(26, 18), QPointF(27, 12));
    p.drawLine(QPointF(27, 12), QPointF(37, 12));
    p.drawLine(QPointF(37, 12), QPointF(38, 18));
    p.drawLine(QPointF(18, 22), QPointF(21, 52));
    p.drawLine(QPointF(21, 52), QPointF(43, 52));
    p.drawLine(QPointF(43, 52), QPointF(46, 22));
    for (int x : {27, 32, 37})
      p.drawLine(QPointF(x, 27), QPointF(x, 46));
    break;
  case ToolGlyph::Search:
    p.setPen(ink(4));
    p.drawEllipse(QPointF(27, 27), 12, 12);
    p.setPen(ink(6));
    p.drawLine(QPointF(36, 36), QPointF(50, 50));
    break;
  case ToolGlyph::Import:
    p.setPen(ink(3));
    p.drawLine(QPointF(12, 40), QPointF(12, 52));
    p.drawLine(QPointF(12, 52), QPointF(52, 52));
    p.drawLine(QPointF(52, 52), QPointF(52, 40));
    arrow(p, QPointF(32, 10), QPointF(32, 42));
    break;
  case ToolGlyph::Export:
    p.setPen(ink(3));
    p.drawLine(QPointF(12, 40), QPointF(12, 52));
    p.drawLine(QPointF(12, 52), QPointF(52, 52));
    p.drawLine(QPointF(52, 52), QPointF(52, 40));
    arrow(p, QPointF(32, 44), QPointF(32, 12));
    break;
  case ToolGlyph::Calibrate: {
    p.setPen(ink(3.5));
    QPainterPath dial;
    dial.arcMoveTo(QRectF(10, 14, 44, 44), 200);
    dial.arcTo(QRectF(10, 14, 44, 44), 200, -220);
    p.drawPath(dial);
    for (int k = 0; k <= 4; ++k) {
      const qreal a = qDegreesToRadians(200.0 - 55.0 * k);
      const QPointF c(32, 36);
      p.drawLine(c + QPointF(std::cos(a) * 22, -std::sin(a) * 22), c + QPointF(std::cos(a) * 17, -std::sin(a) * 17));
    }
    p.setPen(ink(4));
    p.drawLine(QPointF(32, 36), QPointF(44, 22));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 36), 4, 4);
    break;
  }
  case ToolGlyph::Settings: {
    QPainterPath gear;
    for (int k = 0; k < 8; ++k) {
      QTransform t;
      t.translate(32, 32);
      t.rotate(45.0 * k);
      QPainterPath tooth;
      tooth.addRoundedRect(QRectF(-5, -24, 10, 12), 2, 2);
      gear.addPath(t.map(tooth));
    }
    QPainterPath ring;
    ring.addEllipse(QPointF(32, 32), 16, 16);
    gear = gear.united(ring);
    QPainterPath hole;
    hole.addEllipse(QPointF(32, 32), 7, 7);
    p.fillPath(gear.subtracted(hole), Qt::white);
    break;
  }
  case ToolGlyph::Book: {
    p.setPen(ink(3));
    QPainterPath left(QPointF(32, 18));
    left.cubicTo(24, 12, 14, 12, 8, 16);
    left.lineTo(8, 50);
    left.cubicTo(14, 46, 24, 46, 32, 52);
    QPainterPath right(QPointF(32, 18));
    right.cubicTo(40, 12, 50, 12, 56, 16);
    right.lineTo(56, 50);
    right.cubicTo(50, 46, 40, 46, 32, 52);
    p.drawPath(left);
    p.drawPath(right);
    p.drawLine(QPointF(32, 18), QPointF(32, 52));
    p.setPen(ink(2));
    for (int y : {24, 31, 38})
      p.drawLine(QPointF(40, y), QPointF(50, y - 1));
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(19, 30), 5, 5); // a point on the page
    break;
  }
  case ToolGlyph::Records: {
    p.setPen(ink(3));
    QPainterPath folder(QPointF(10, 20));
    folder.lineTo(24, 20);
    folder.lineTo(28, 25);
    folder.lineTo(54, 25);
    folder.lineTo(54, 50);
    folder.lineTo(10, 50);
    folder.closeSubpath();
    p.drawPath(folder);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(24, 35), 4, 4);
    p.drawRoundedRect(QRectF(18, 40, 12, 6), 3, 3);
    p.drawRect(QRectF(34, 33, 14, 3));
    p.drawRect(QRectF(34, 40, 14, 3));
    break;
  }
  case ToolGlyph::Files:
    cylinder(p, QRectF(20, 20, 24, 34));
    arrow(p, QPointF(12, 30), QPointF(12, 8));
    arrow(p, QPointF(52, 8), QPointF(52, 30));
    break;
  case ToolGlyph::Function: {
    QFont f;
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 2, kGrid, kGrid - 8), Qt::AlignCenter, QString::number(number));
    p.setPen(ink(2.5));
    p.drawLine(QPointF(20, 50), QPointF(44, 50));
    break;
  }
  }
}

QPixmap blank(QSize size) {
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  return pm;
}

} // namespace

QPixmap ToolPixmap(ToolGlyph glyph, int size, int number) {
  QPixmap pm = blank(QSize(size, size));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size / kGrid, size / kGrid);
  drawTile(p, tileColour(glyph));
  drawGlyph(p, glyph, number);
  return pm;
}

QIcon ToolIcon(ToolGlyph glyph, int number) {
  QIcon icon;
  for (int s : {16, 24, 32, 48, 64})
    icon.addPixmap(ToolPixmap(glyph, s, number));
  return icon;
}

QIcon MainToolIcon(int button) {
  if (button < 1 || button > 12)
    return {};
  static const ToolGlyph glyphs[6] = {ToolGlyph::Measure, ToolGlyph::Book,    ToolGlyph::Calibrate,
                                      ToolGlyph::Records, ToolGlyph::Files,   ToolGlyph::Exit};
  if (button <= 5)
    return ToolIcon(glyphs[button - 1]);
  if (button == 12)
    return ToolIcon(ToolGlyph::Exit);
  return ToolIcon(ToolGlyph::Function, button - 5);
}

QIcon MeasureToolIcon(int button) {
  static const ToolGlyph glyphs[9] = {ToolGlyph::Measure, ToolGlyph::Stop,     ToolGlyph::Analyse,
                                      ToolGlyph::Save,    ToolGlyph::Load,     ToolGlyph::Clear,
                                      ToolGlyph::Keyboard, ToolGlyph::Compare, ToolGlyph::Exit};
  if (button < 1 || button > 9)
    return {};
  return ToolIcon(glyphs[button - 1]);
}

QIcon TrayIcon(int image) {
  const int size = 32;
  QPixmap pm = blank(QSize(size, size));
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

QPixmap ModePicture(bool highPotential, QSize size) {
  QPixmap pm = blank(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF r(1, 1, size.width() - 2, size.height() - 2);
  const QColor c = highPotential ? QColor(210, 60, 30) : QColor(30, 130, 70);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, c.lighter(130));
  g.setColorAt(1, c.darker(110));
  p.setBrush(g);
  p.setPen(QPen(c.darker(150), 1.5));
  p.drawRoundedRect(r, r.height() / 3, r.height() / 3);
  // A lightning mark for high potential, a level line for standard.
  const qreal h = r.height();
  p.setPen(QPen(Qt::white, qMax(1.5, h / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (highPotential) {
    QPolygonF bolt{{h * 0.55, h * 0.2}, {h * 0.35, h * 0.55}, {h * 0.55, h * 0.55}, {h * 0.4, h * 0.9}};
    p.drawPolyline(bolt);
  } else {
    p.drawLine(QPointF(h * 0.3, h * 0.55), QPointF(h * 0.75, h * 0.55));
  }
  QFont f;
  f.setPixelSize(int(h * 0.55));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(r.adjusted(h * 0.8, 0, 0, 0), Qt::AlignCenter, highPotential ? QStringLiteral("HI") : QStringLiteral("NRM"));
  return pm;
}

QIcon SoundModeIcon(int mode) {
  const int size = 32;
  QPixmap pm = blank(QSize(size, size));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = mode == 0 ? QColor(120, 120, 120) : QColor(40, 110, 180);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  QPolygonF speaker{{4, 12}, {10, 12}, {17, 5}, {17, 27}, {10, 20}, {4, 20}};
  p.drawPolygon(speaker);
  p.setBrush(Qt::NoBrush);
  if (mode == 0) {
    p.setPen(QPen(QColor(200, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(21, 11, 29, 21);
    p.drawLine(29, 11, 21, 21);
  } else {
    p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 10, 12), -60 * 16, 120 * 16);
    if (mode == 1) {
      p.drawArc(QRectF(12, 5, 16, 22), -60 * 16, 120 * 16);
      p.drawArc(QRectF(10, 1, 22, 30), -60 * 16, 120 * 16);
    } else {
      // A single tone: one wave and a note head.
      p.setBrush(c);
      p.drawEllipse(QPointF(27, 22), 3, 2.5);
      p.drawLine(QPointF(29.5, 22), QPointF(29.5, 8));
    }
  }
  return QIcon(pm);
}

QIcon PictureStyleIcon(int style) {
  const int size = 32;
  QPixmap pm = blank(QSize(size, size));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF frame(3, 5, 26, 22);
  if (style == 2) {
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawRect(frame);
  } else {
    QLinearGradient g(frame.topLeft(), frame.bottomLeft());
    g.setColorAt(0, QColor(90, 100, 120));
    g.setColorAt(1, QColor(40, 44, 54));
    p.setBrush(g);
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.drawRect(frame);
  }
  // A small hand: palm and three fingers.
  QPainterPath hand;
  hand.addRoundedRect(QRectF(11, 15, 11, 10), 3, 3);
  for (int k = 0; k < 3; ++k)
    hand.addRoundedRect(QRectF(11.5 + k * 3.6, 8, 3, 9), 1.5, 1.5);
  hand = hand.simplified();
  if (style == 2) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.2));
  } else {
    p.setBrush(QColor(236, 194, 165));
    p.setPen(QPen(QColor(140, 84, 62), 0.8));
  }
  p.drawPath(hand);
  if (style == 3) {
    p.setPen(QPen(QColor(255, 220, 0), 1.5, Qt::DashLine));
    p.drawLine(QPointF(16.5, 9), QPointF(16.5, 26));
  }
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(QColor(230, 20, 20));
  p.drawEllipse(QPointF(16.5, 23), 2.6, 2.6);
  return QIcon(pm);
}

QIcon SexIcon(bool male) {
  const int size = 32;
  QPixmap pm = blank(QSize(size, size));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = male ? QColor(40, 100, 200) : QColor(210, 60, 120);
  p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  if (male) {
    p.drawEllipse(QPointF(13, 19), 8, 8);
    p.drawLine(QPointF(19, 13), QPointF(27, 5));
    p.drawLine(QPointF(20, 5), QPointF(27, 5));
    p.drawLine(QPointF(27, 5), QPointF(27, 12));
  } else {
    p.drawEllipse(QPointF(16, 12), 8, 8);
    p.drawLine(QPointF(16, 20), QPointF(16, 30));
    p.drawLine(QPointF(11, 25), QPointF(21, 25));
  }
  return QIcon(pm);
}
