#include "reference/PointPicture.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <QtMath>

// Every shape is laid out for the right hand or foot in a 217 x 255 frame;
// the left side is its mirror image. Hands: palm view (thumb on the right) for
// the three yin meridians, back view (thumb on the left) for the three yang
// meridians. Feet: the top of the foot (big toe on the left) for LR and ST,
// the inner side (toes to the left) for SP and KI, the outer side (toes to the
// right) for BL and GB.

namespace {

enum class ViewKind { Palm, Back, FootTop, FootInner, FootOuter };

struct LimbView {
  QPainterPath outline;
  QList<QPainterPath> details; // creases, tendons, knuckles
  QList<QPainterPath> nails;
  QList<QRectF> bumps;         // bony prominences: ankle bones, metatarsal base
  QString caption;             // view name after the side and limb
};

struct PointPlace {
  ViewKind view;
  QPointF point;    // the measured source point
  QPolygonF course; // the meridian's local course through the point
  QList<QPointF> neighbours; // other points of the meridian on the course
};

QPainterPath capsule(QPointF base, QPointF tip, qreal width, qreal from = 0, qreal to = 1, qreal widthFrac = 1) {
  const QLineF axis(base, tip);
  const qreal len = axis.length();
  const qreal w = width * widthFrac;
  QPainterPath local;
  local.addRoundedRect(QRectF(from * len, -w / 2, (to - from) * len, w), w / 2, w / 2);
  QTransform t;
  t.translate(base.x(), base.y());
  t.rotate(-axis.angle());
  return t.map(local);
}

QPainterPath ellipse(QPointF c, qreal rx, qreal ry) {
  QPainterPath p;
  p.addEllipse(c, rx, ry);
  return p;
}

QPainterPath curve(std::initializer_list<QPointF> pts) {
  // A smooth line through the points (quadratic pieces through midpoints).
  const QList<QPointF> v(pts);
  QPainterPath p(v.first());
  if (v.size() == 2) {
    p.lineTo(v.last());
    return p;
  }
  for (int i = 1; i < v.size() - 1; ++i) {
    const QPointF mid = (v[i] + v[i + 1]) / 2;
    p.quadTo(v[i], i == v.size() - 2 ? v.last() : mid);
  }
  return p;
}

QPainterPath nailOf(QPointF base, QPointF tip, qreal width) {
  return capsule(tip, base, width, 0.06, 0.36, 0.62);
}

const QTransform kMirror(-1, 0, 0, 1, kPointPictureSize.width(), 0);

struct Finger {
  QPointF base, tip;
  qreal width;
};

// Right hand, palm towards the viewer: little finger left, thumb right.
const Finger kPalmFingers[5] = {
    {{71, 110}, {64, 46}, 17},   // little
    {{92, 106}, {90, 24}, 19},   // ring
    {{114, 106}, {115, 16}, 20}, // middle
    {{136, 108}, {141, 30}, 19}, // index
    {{146, 166}, {196, 96}, 24}, // thumb
};

LimbView palmView() {
  LimbView v;
  QPainterPath body(QPointF(64, 256));
  body.cubicTo(66, 230, 70, 200, 70, 182);
  body.cubicTo(62, 160, 58, 125, 62, 100);
  body.lineTo(148, 102);
  body.cubicTo(152, 112, 154, 120, 156, 128);
  body.cubicTo(160, 150, 156, 170, 148, 184);
  body.cubicTo(150, 205, 152, 230, 154, 256);
  body.closeSubpath();
  body = body.united(ellipse({145, 150}, 16, 22)).united(ellipse({70, 140}, 12, 30));
  for (const Finger &f : kPalmFingers)
    body = body.united(capsule(f.base, f.tip, f.width));
  v.outline = body.simplified();
  // Wrist creases, palm lines, finger creases, the two wrist tendons.
  v.details << curve({{72, 181}, {110, 189}, {148, 182}}) << curve({{74, 190}, {110, 197}, {147, 191}});
  v.details << curve({{62, 120}, {96, 108}, {128, 114}}) << curve({{146, 128}, {110, 134}, {78, 146}})
            << curve({{146, 126}, {128, 150}, {130, 176}});
  for (int i = 0; i < 4; ++i) {
    const Finger &f = kPalmFingers[i];
    for (qreal t : {0.42, 0.68}) {
      const QPointF c = f.base + (f.tip - f.base) * t;
      v.details << curve({c - QPointF(f.width * 0.36, 0), c + QPointF(0, 1.5), c + QPointF(f.width * 0.36, 0)});
    }
  }
  v.details << curve({{167, 126}, {172, 131}, {178, 128}});
  v.details << curve({{112, 198}, {111, 226}, {111, 254}}) << curve({{127, 197}, {129, 226}, {131, 254}});
  v.caption = QStringLiteral("掌侧");
  return v;
}

LimbView backView() {
  LimbView v;
  const LimbView palm = palmView();
  v.outline = kMirror.map(palm.outline);
  for (int i = 0; i < 5; ++i) {
    const Finger &f = kPalmFingers[i];
    const QPointF base = kMirror.map(f.base), tip = kMirror.map(f.tip);
    v.nails << nailOf(base, tip, f.width);
    if (i < 4) { // knuckle creases over the middle and end joints
      for (qreal t : {0.45, 0.72}) {
        const QPointF c = base + (tip - base) * t;
        v.details << curve({c - QPointF(f.width * 0.3, 1), c - QPointF(0, 1.5), c + QPointF(f.width * 0.3, -1)});
      }
      // Knuckle and extensor tendon running to the wrist.
      v.details << curve({base + QPointF(-6, 2), base + QPointF(0, -2), base + QPointF(6, 2)});
      const QPointF wrist(96 + i * 7, 184);
      v.details << curve({base + QPointF(0, 6), base + (wrist - base) * 0.5, wrist});
    }
  }
  // Dorsal wrist crease and the hollow between the thumb tendons.
  v.details << curve({{70, 183}, {108, 179}, {146, 184}});
  v.details << curve({{62, 170}, {70, 178}, {80, 184}}) << curve({{82, 160}, {84, 172}, {88, 186}});
  v.caption = QStringLiteral("背侧");
  return v;
}

// Right foot from above: big toe on the left.
const Finger kTopToes[5] = {
    {{64, 80}, {62, 20}, 32}, {{94, 82}, {94, 18}, 20}, {{114, 86}, {115, 26}, 19},
    {{133, 92}, {135, 38}, 18}, {{150, 98}, {155, 54}, 16},
};

LimbView footTopView() {
  LimbView v;
  QPainterPath body(QPointF(72, 256));
  body.cubicTo(72, 225, 70, 205, 64, 190);
  body.cubicTo(54, 170, 46, 130, 47, 66);
  body.lineTo(158, 84);
  body.cubicTo(166, 110, 160, 150, 150, 176);
  body.cubicTo(146, 190, 144, 210, 144, 256);
  body.closeSubpath();
  body = body.united(ellipse({67, 190}, 6, 10)).united(ellipse({148, 198}, 6, 9));
  for (const Finger &t : kTopToes) {
    body = body.united(capsule(t.base, t.tip, t.width));
    v.nails << nailOf(t.base, t.tip, t.width);
  }
  v.outline = body.simplified();
  // Tendons of the toe extensors fanning from the ankle, ankle crease, toe joints.
  for (int i = 0; i < 5; ++i) {
    const Finger &t = kTopToes[i];
    const QPointF ankle(84 + i * 10, 186);
    v.details << curve({t.base + QPointF(0, 6), (t.base + ankle) / 2 + QPointF(-2, 0), ankle});
  }
  v.bumps << QRectF(58, 178, 16, 22) << QRectF(140, 186, 16, 20);
  v.details << curve({{68, 186}, {108, 194}, {146, 190}});
  for (const Finger &t : kTopToes) {
    const QPointF c = t.base + (t.tip - t.base) * 0.5;
    v.details << curve({c - QPointF(t.width * 0.3, -1), c, c + QPointF(t.width * 0.3, 1)});
  }
  v.caption = QStringLiteral("足背");
  return v;
}

LimbView footInnerView() {
  LimbView v;
  QPainterPath body(QPointF(14, 190));
  body.cubicTo(14, 176, 22, 166, 36, 164);
  body.cubicTo(60, 160, 92, 150, 112, 134);
  body.cubicTo(122, 124, 126, 110, 126, 96);
  body.lineTo(122, 0);
  body.lineTo(180, 0);
  body.cubicTo(182, 60, 180, 110, 186, 140);
  body.cubicTo(196, 160, 202, 186, 190, 200);
  body.cubicTo(180, 210, 160, 208, 150, 204);
  body.cubicTo(128, 196, 100, 192, 80, 200);
  body.cubicTo(60, 208, 30, 206, 14, 190);
  body.closeSubpath();
  v.outline = body;
  v.nails << curve({{18, 172}, {24, 166}, {36, 166}, {34, 172}, {22, 176}, {18, 172}});
  // Inner ankle bone, the border of the sole, the big toe joint, the heel cord.
  v.bumps << QRectF(137, 107, 26, 22);
  v.details << curve({{20, 196}, {70, 196}, {110, 186}, {150, 198}, {190, 192}});
  v.details << curve({{44, 166}, {46, 180}, {44, 198}});
  v.details << curve({{176, 20}, {174, 80}, {178, 132}});
  v.caption = QStringLiteral("内侧");
  return v;
}

LimbView footOuterView() {
  LimbView v;
  QPainterPath body(QPointF(204, 192));
  body.cubicTo(204, 180, 196, 172, 184, 170);
  body.cubicTo(160, 164, 126, 152, 104, 136);
  body.cubicTo(94, 126, 90, 112, 91, 96);
  body.lineTo(95, 0);
  body.lineTo(37, 0);
  body.cubicTo(35, 60, 37, 110, 31, 140);
  body.cubicTo(21, 160, 15, 186, 27, 200);
  body.cubicTo(37, 210, 57, 210, 70, 207);
  body.cubicTo(100, 204, 140, 204, 160, 206);
  body.cubicTo(180, 208, 196, 204, 204, 192);
  body.closeSubpath();
  v.outline = body;
  v.nails << curve({{200, 178}, {195, 172}, {186, 173}, {188, 178}, {197, 181}, {200, 178}});
  // Outer ankle bone, sole border, little toe joint, the base of the fifth
  // metatarsal, the heel cord.
  v.bumps << QRectF(57, 116, 26, 24);
  v.details << curve({{28, 194}, {80, 200}, {150, 200}, {200, 194}});
  v.details << curve({{178, 170}, {176, 184}, {178, 204}});
  v.bumps << QRectF(119, 189, 14, 10);
  v.details << curve({{41, 20}, {43, 80}, {40, 132}});
  v.caption = QStringLiteral("外侧");
  return v;
}

LimbView viewOf(ViewKind k) {
  switch (k) {
  case ViewKind::Palm: return palmView();
  case ViewKind::Back: return backView();
  case ViewKind::FootTop: return footTopView();
  case ViewKind::FootInner: return footInnerView();
  case ViewKind::FootOuter: return footOuterView();
  }
  return {};
}

// Meridian 1..12 in table order: the view, the point and the local course
// (from the trunk side towards the finger or toe, or the reverse; drawing
// does not care).
PointPlace placeOf(int meridian) {
  switch (meridian) {
  case 1: // LU9 at the thumb end of the wrist crease, over the radial pulse
    return {ViewKind::Palm, {142, 183}, {{146, 256}, {145, 215}, {142, 183}, {164, 142}, {197, 94}},
            {{145, 215}, {164, 142}, {196, 97}}};
  case 2: // PC7 in the middle of the wrist crease, between the two tendons
    return {ViewKind::Palm, {119, 187}, {{120, 256}, {120, 222}, {119, 187}, {120, 136}, {115, 20}},
            {{120, 222}, {120, 136}, {115, 20}}};
  case 3: // HT7 at the little-finger end of the wrist crease
    return {ViewKind::Palm, {78, 184}, {{76, 256}, {77, 215}, {78, 184}, {84, 132}, {75, 48}},
            {{77, 215}, {84, 132}, {75, 50}}};
  case 4: // SI4 on the outer edge of the hand, in the hollow before the wrist
    return {ViewKind::Back, {152, 162}, {{152, 52}, {156, 96}, {157, 126}, {152, 162}, {150, 183}, {154, 256}},
            {{156, 96}, {157, 126}, {150, 183}}};
  case 5: // TE4 on the back of the wrist crease, in line with the ring finger
    return {ViewKind::Back, {124, 182}, {{130, 30}, {136, 100}, {137, 128}, {124, 182}, {112, 220}, {110, 256}},
            {{136, 100}, {137, 128}, {112, 220}}};
  case 6: // LI5 in the hollow between the thumb tendons at the wrist
    return {ViewKind::Back, {76, 179}, {{74, 34}, {79, 94}, {76, 120}, {70, 140}, {76, 179}, {66, 256}},
            {{79, 94}, {70, 140}, {68, 230}}};
  case 7: // SP3 behind the big toe joint, where the sole skin begins
    return {ViewKind::FootInner, {72, 192}, {{22, 172}, {48, 188}, {72, 192}, {96, 188}, {132, 140}, {140, 0}},
            {{48, 188}, {96, 188}, {132, 140}}};
  case 8: // LR3 in the hollow where the first two metatarsals meet
    return {ViewKind::FootTop, {80, 108}, {{73, 30}, {79, 76}, {80, 108}, {82, 180}, {80, 256}},
            {{79, 76}, {82, 180}}};
  case 9: // KI4 behind and below the inner ankle bone, in front of the heel cord
    return {ViewKind::FootInner, {172, 140}, {{70, 205}, {104, 186}, {168, 122}, {172, 140}, {166, 152}, {150, 140}, {166, 96}, {164, 0}},
            {{104, 186}, {168, 122}, {166, 152}, {150, 140}}};
  case 10: // BL65 behind the little toe joint, where the sole skin begins
    return {ViewKind::FootOuter, {152, 198}, {{44, 0}, {46, 80}, {48, 130}, {42, 168}, {70, 150}, {96, 172}, {126, 194}, {152, 198}, {176, 196}, {200, 184}},
            {{48, 130}, {70, 150}, {126, 194}, {176, 196}, {200, 184}}};
  case 11: // GB40 in the hollow in front of and below the outer ankle bone
    return {ViewKind::FootOuter, {91, 147}, {{78, 0}, {80, 80}, {91, 147}, {140, 158}, {162, 164}, {184, 170}},
            {{80, 80}, {140, 158}, {162, 164}}};
  case 12: // ST42 on the highest point of the instep, over the pulse
    return {ViewKind::FootTop, {104, 164}, {{107, 256}, {106, 190}, {104, 164}, {104, 102}, {104, 76}, {99, 22}},
            {{106, 190}, {104, 102}, {104, 76}}};
  }
  return {};
}

QColor elementColour(const QString &element) {
  if (element == u"木") return QColor(20, 140, 60);
  if (element.endsWith(u'火')) return QColor(215, 40, 40);
  if (element == u"土") return QColor(200, 140, 0);
  if (element == u"金") return QColor(100, 90, 200);
  return QColor(20, 90, 210); // water
}

void paintSoftShadow(QPainter &p, const QPainterPath &outline, QPointF offset) {
  // A cheap blur: draw the shape small and scale it back up smoothly.
  const QSize small(kPointPictureSize / 4);
  QImage img(small, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter s(&img);
    s.setRenderHint(QPainter::Antialiasing);
    s.scale(0.25, 0.25);
    s.setTransform(p.transform(), true);
    s.translate(offset);
    s.fillPath(outline, QColor(0, 0, 0, 120));
  }
  p.save();
  p.resetTransform();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(QPoint(0, 0), kPointPictureSize), img);
  p.restore();
}

void paintShaded(QPainter &p, const LimbView &v, bool foot) {
  paintSoftShadow(p, v.outline, QPointF(5, 6));
  const QRectF box = v.outline.boundingRect();
  QLinearGradient skin(box.left(), 0, box.right(), 0);
  skin.setColorAt(0, QColor(214, 164, 134));
  skin.setColorAt(0.35, QColor(240, 201, 174));
  skin.setColorAt(0.7, QColor(236, 194, 165));
  skin.setColorAt(1, QColor(206, 154, 124));
  p.fillPath(v.outline, skin);
  p.save();
  p.setClipPath(v.outline);
  // Rounded form: darker towards the edges, a soft light from the upper left.
  for (int w : {22, 14, 8, 4})
    p.strokePath(v.outline, QPen(QColor(150, 88, 64, 26), w));
  QRadialGradient light(box.left() + box.width() * 0.4, box.top() + box.height() * 0.35, box.width() * 0.7);
  light.setColorAt(0, QColor(255, 240, 225, 70));
  light.setColorAt(1, QColor(255, 240, 225, 0));
  p.fillRect(box, light);
  for (const QPainterPath &d : v.details)
    if (d.elementCount() > 0 && !d.boundingRect().isEmpty()) {
      p.strokePath(d, QPen(QColor(255, 236, 220, 90), 2.2, Qt::SolidLine, Qt::RoundCap));
      p.strokePath(d.translated(0, -0.8), QPen(QColor(150, 92, 70, 120), 1.0, Qt::SolidLine, Qt::RoundCap));
    }
  for (const QRectF &b : v.bumps) {
    QRadialGradient hi(b.center() - QPointF(b.width() * 0.15, b.height() * 0.2), b.width() * 0.7);
    hi.setColorAt(0, QColor(255, 232, 212, 150));
    hi.setColorAt(0.6, QColor(255, 232, 212, 40));
    hi.setColorAt(1, QColor(255, 232, 212, 0));
    p.fillRect(b.adjusted(-4, -4, 4, 4), hi);
    p.strokePath(curve({b.bottomLeft() + QPointF(b.width() * 0.1, -b.height() * 0.25),
                        QPointF(b.center().x(), b.bottom() + 2),
                        b.bottomRight() + QPointF(-b.width() * 0.1, -b.height() * 0.25)}),
                 QPen(QColor(150, 92, 70, 110), 1.6, Qt::SolidLine, Qt::RoundCap));
  }
  for (const QPainterPath &n : v.nails) {
    QLinearGradient g(n.boundingRect().topLeft(), n.boundingRect().bottomRight());
    g.setColorAt(0, QColor(250, 226, 220));
    g.setColorAt(1, QColor(226, 170, 160));
    p.fillPath(n, g);
    p.strokePath(n, QPen(QColor(170, 110, 96, 170), 0.9));
  }
  p.restore();
  p.strokePath(v.outline, QPen(QColor(140, 84, 62, 150), 1.0));
  Q_UNUSED(foot);
}

void paintDrawn(QPainter &p, const LimbView &v) {
  p.fillPath(v.outline, QColor(255, 255, 255));
  for (const QPainterPath &d : v.details)
    p.strokePath(d, QPen(QColor(110, 110, 110), 0.9, Qt::SolidLine, Qt::RoundCap));
  for (const QPainterPath &n : v.nails)
    p.strokePath(n, QPen(QColor(70, 70, 70), 1.0));
  for (const QRectF &b : v.bumps) {
    QPainterPath arc;
    arc.arcMoveTo(b, 200);
    arc.arcTo(b, 200, 160);
    p.strokePath(arc, QPen(QColor(110, 110, 110), 0.9, Qt::SolidLine, Qt::RoundCap));
  }
  p.strokePath(v.outline, QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void paintCourse(QPainter &p, const PointPlace &place, const QColor &colour) {
  QPainterPath path(place.course.first());
  for (int i = 1; i < place.course.size(); ++i)
    path.lineTo(place.course[i]);
  p.strokePath(path, QPen(QColor(255, 255, 255, 170), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.strokePath(path, QPen(colour, 2.2, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
  p.setPen(QPen(colour.darker(130), 1.2));
  p.setBrush(Qt::white);
  for (const QPointF &n : place.neighbours)
    p.drawEllipse(n, 2.8, 2.8);
}

void paintMarker(QPainter &p, QPointF c, int style) {
  if (style == 2) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 0, 0), 2.0));
    p.drawEllipse(c, 7, 7);
    p.setPen(QPen(QColor(220, 0, 0), 1.2));
    for (QPointF d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
      p.drawLine(c + d * 9, c + d * 14);
    p.setBrush(QColor(220, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 2.5, 2.5);
    return;
  }
  QRadialGradient glow(c, 14);
  glow.setColorAt(0, QColor(255, 40, 20, 150));
  glow.setColorAt(1, QColor(255, 40, 20, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(c, 14, 14);
  p.setBrush(QColor(230, 20, 20));
  p.setPen(QPen(Qt::white, 1.6));
  p.drawEllipse(c, 5, 5);
  if (style == 3) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 0), 1.4));
    p.drawEllipse(c, 9, 9);
  }
}

} // namespace

QFont DeliveredPictureFont(int pixelSize, bool bold) {
  QFont f;
  f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                 QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

QPointF PointPicturePosition(int slot) {
  const QPointF p = placeOf(MeridianOfSlot(slot)).point;
  return SideOfSlot(slot) == Side::Left ? kMirror.map(p) : p;
}

QImage DrawPointPicture(const MeridianModel &model, int style, int slot) {
  QImage img(kPointPictureSize, QImage::Format_RGB32);
  if (slot < 1 || slot > 24 || style < 1 || style > 3) {
    img.fill(Qt::white);
    return img;
  }
  const int meridian = MeridianOfSlot(slot);
  const bool left = SideOfSlot(slot) == Side::Left;
  const bool foot = LimbOfSlot(slot) == Limb::Foot;
  const PointPlace place = placeOf(meridian);
  const LimbView view = viewOf(place.view);
  const MeridianRecord &rec = model.MeridianTable[meridian];

  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRect frame(QPoint(0, 0), kPointPictureSize);
  if (style == 2) {
    p.fillRect(frame, QColor(252, 251, 247));
  } else {
    QLinearGradient bg(0, 0, 0, frame.height());
    bg.setColorAt(0, QColor(84, 96, 112));
    bg.setColorAt(1, QColor(38, 42, 52));
    p.fillRect(frame, bg);
  }

  if (left)
    p.setTransform(kMirror);
  if (style == 2)
    paintDrawn(p, view);
  else
    paintShaded(p, view, foot);
  if (style == 3) {
    p.strokePath(view.outline, QPen(QColor(40, 20, 10, 190), 1.2));
    paintCourse(p, place, elementColour(rec.Element));
  }
  const QPointF point = left ? kMirror.map(place.point) : place.point;
  p.resetTransform();
  paintMarker(p, point, style);

  // Side badge in the upper corner away from the thumb or big toe, and the
  // point's name along the bottom.
  const QString sideText = QString(left ? u'左' : u'右') + QString(foot ? u'脚' : u'手') + u' ' + view.caption;
  p.setFont(DeliveredPictureFont(12, true));
  const QRect badge(4, 4, 78, 18);
  if (style == 2) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
  }
  p.drawRoundedRect(badge, 4, 4);
  p.setPen(style == 2 ? Qt::black : Qt::white);
  p.drawText(badge, Qt::AlignCenter, sideText);

  if (style != 1) {
    const QRect band(0, frame.height() - 22, frame.width(), 22);
    p.fillRect(band, style == 2 ? QColor(255, 255, 255, 230) : QColor(0, 0, 0, 140));
    if (style == 2)
      p.fillRect(QRect(band.left(), band.top(), band.width(), 1), QColor(120, 120, 120));
    p.setFont(DeliveredPictureFont(14, true));
    p.setPen(style == 2 ? QColor(200, 0, 0) : QColor(255, 240, 120));
    p.drawText(band, Qt::AlignCenter, rec.SourcePoint + QStringLiteral("  ") + rec.Channel + rec.Name +
                                    (rec.Name.endsWith(u'经') ? QString() : QStringLiteral("经")));
  }
  return img;
}
