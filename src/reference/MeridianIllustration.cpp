#include "reference/MeridianIllustration.h"

#include "reference/PointPicture.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

// The figure stands in anatomical position (palms forward) in a 220 x 540 box
// whose midline is x = 110. Courses are given for the body side drawn on the
// right half of the box and mirrored to the other side.

namespace {

constexpr qreal kMid = 110;
constexpr qreal kFigureRight = 276; // labels stay left of this, in figure units
const QTransform kFlip(-1, 0, 0, 1, 2 * kMid, 0);

struct Limb {
  QPointF joint[4];
  qreal half[4];
};
// Arm: shoulder, elbow, wrist, finger tips. Leg: hip, knee, ankle, toes.
const Limb kArm = {{{160, 102}, {180, 192}, {192, 272}, {198, 326}}, {15, 11, 9, 10}};
const Limb kLeg = {{{131, 262}, {129, 384}, {126, 490}, {128, 524}}, {18, 12, 9, 12}};

// t runs 0..3 over the three segments; s runs -1 (inner edge) .. +1 (outer edge).
QPointF along(const Limb &l, qreal t, qreal s) {
  const int i = qBound(0, int(t), 2);
  const qreal f = t - i;
  const QPointF a = l.joint[i], b = l.joint[i + 1];
  const QPointF p = a + (b - a) * f;
  const QLineF seg(a, b);
  const QPointF d = (b - a) / seg.length();
  const QPointF n(d.y(), -d.x());
  const qreal h = l.half[i] + (l.half[i + 1] - l.half[i]) * f;
  return p + n * (s * h);
}
QPointF arm(qreal t, qreal s) { return along(kArm, t, s); }
QPointF leg(qreal t, qreal s) { return along(kLeg, t, s); }

QPainterPath capsule(QPointF a, QPointF b, qreal w) {
  const QLineF axis(a, b);
  QPainterPath local;
  local.addRoundedRect(QRectF(-w / 2, -w / 2, axis.length() + w, w), w / 2, w / 2);
  QTransform t;
  t.translate(a.x(), a.y());
  t.rotate(-axis.angle());
  return t.map(local);
}

QPainterPath figureOutline() {
  QPainterPath half;
  half.moveTo(kMid, 62);
  half.lineTo(121, 62);
  half.lineTo(122, 80);
  half.cubicTo(136, 86, 152, 86, 164, 98);
  half.cubicTo(170, 108, 160, 122, 150, 132);
  half.cubicTo(144, 160, 140, 180, 142, 200);
  half.cubicTo(146, 222, 152, 236, 150, 262);
  half.lineTo(kMid + 4, 278);
  half.lineTo(kMid, 278);
  half.closeSubpath();
  QPainterPath body = half.united(kFlip.map(half));
  QPainterPath head;
  head.addEllipse(QPointF(kMid, 38), 22, 28);
  body = body.united(head);
  QPainterPath limbs;
  limbs = limbs.united(capsule(kArm.joint[0], kArm.joint[1], 26));
  limbs = limbs.united(capsule(kArm.joint[1], kArm.joint[2], 20));
  limbs = limbs.united(capsule(kArm.joint[2], kArm.joint[3] - QPointF(1, 6), 19));
  limbs = limbs.united(capsule(arm(2.1, 0.9), arm(2.45, 2.2), 8)); // thumb
  limbs = limbs.united(capsule(kLeg.joint[0], kLeg.joint[1], 36));
  limbs = limbs.united(capsule(kLeg.joint[1], kLeg.joint[2], 26));
  QPainterPath foot;
  foot.addEllipse(QPointF(127, 506), 14, 20);
  limbs = limbs.united(foot);
  body = body.united(limbs).united(kFlip.map(limbs));
  return body.simplified();
}

struct Course {
  bool back;                      // drawn on the back view
  QList<QPolygonF> lines;         // right-half courses
  QPointF first, last;            // first and last points of the meridian
  QString firstName, lastName;
  QPointF source;                 // the measured point
  QString summary;                // legend: how the course runs
};

QPolygonF armLine(qreal s, qreal from, qreal to, int steps = 6) {
  QPolygonF p;
  for (int i = 0; i <= steps; ++i)
    p << arm(from + (to - from) * i / steps, s);
  return p;
}
QPolygonF legLine(qreal s, qreal from, qreal to, int steps = 6) {
  QPolygonF p;
  for (int i = 0; i <= steps; ++i)
    p << leg(from + (to - from) * i / steps, s);
  return p;
}

Course courseOf(int m) {
  Course c;
  switch (m) {
  case 1: { // LU
    QPolygonF l{{140, 112}, {150, 104}};
    l << armLine(0.55, 0.15, 2.0) << arm(2.45, 2.1);
    c = {false, {l}, {140, 112}, arm(2.45, 2.1), QStringLiteral("中府 LU1"), QStringLiteral("少商 LU11"),
         arm(2.0, 0.55), QStringLiteral("起于胸前外上方中府，沿上肢内侧前缘下行，经腕部太渊，止于拇指桡侧端少商。")};
    break;
  }
  case 2: { // PC
    QPolygonF l{{134, 130}, {150, 122}};
    l << armLine(0.0, 0.2, 3.0, 8);
    c = {false, {l}, {134, 130}, arm(3.0, 0.0), QStringLiteral("天池 PC1"), QStringLiteral("中冲 PC9"),
         arm(2.0, 0.0), QStringLiteral("起于乳头外侧天池，上抵腋下，沿上肢内侧正中下行，过腕横纹中点大陵、掌心劳宫，止于中指端中冲。")};
    break;
  }
  case 3: { // HT
    QPolygonF l{{150, 118}};
    l << armLine(-0.65, 0.2, 2.0) << arm(2.85, -0.7);
    c = {false, {l}, {150, 118}, arm(2.85, -0.7), QStringLiteral("极泉 HT1"), QStringLiteral("少冲 HT9"),
         arm(2.0, -0.65), QStringLiteral("起于腋窝极泉，沿上肢内侧后缘下行，经腕横纹尺侧端神门，止于小指桡侧端少冲。")};
    break;
  }
  case 4: { // SI (back)
    QPolygonF l;
    l << arm(2.85, -0.75) << armLine(-0.8, 2.0, 0.2) << QPointF(150, 108) << QPointF(138, 118)
      << QPointF(146, 126) << QPointF(132, 100) << QPointF(122, 78) << QPointF(132, 50);
    c = {true, {l}, arm(2.85, -0.75), {132, 50}, QStringLiteral("少泽 SI1"), QStringLiteral("听宫 SI19"),
         arm(1.88, -0.85), QStringLiteral("起于小指尺侧端少泽，沿手背尺侧上行，经腕骨，循上肢外侧后缘，绕行肩胛，上颈至面颊，止于耳前听宫。")};
    break;
  }
  case 5: { // TE (back)
    QPolygonF l;
    l << arm(2.95, -0.25) << armLine(0.0, 2.0, 0.15) << QPointF(156, 94) << QPointF(128, 76)
      << QPointF(134, 48) << QPointF(136, 30) << QPointF(128, 22);
    c = {true, {l}, arm(2.95, -0.25), {128, 22}, QStringLiteral("关冲 TE1"), QStringLiteral("丝竹空 TE23"),
         arm(2.0, 0.0), QStringLiteral("起于无名指尺侧端关冲，经手背、腕背阳池，沿上肢外侧正中上行至肩，上颈绕耳后，止于眉梢丝竹空。")};
    break;
  }
  case 6: { // LI
    QPolygonF l;
    l << arm(2.9, 0.55) << arm(2.35, 1.1) << armLine(0.95, 2.0, 0.1) << QPointF(158, 96) << QPointF(126, 80)
      << QPointF(118, 58) << QPointF(104, 50);
    c = {false, {l}, arm(2.9, 0.55), {104, 50}, QStringLiteral("商阳 LI1"), QStringLiteral("迎香 LI20"),
         arm(2.0, 0.95), QStringLiteral("起于食指桡侧端商阳，经合谷、腕部阳溪，沿上肢外侧前缘上行至肩，上颈过面颊，交人中，止于对侧鼻旁迎香。")};
    break;
  }
  case 7: { // SP
    QPolygonF l;
    l << leg(2.95, -0.7) << leg(2.55, -0.95) << legLine(-0.7, 2.0, 1.0, 4) << legLine(-0.55, 1.0, 0.05, 4)
      << QPointF(134, 246) << QPointF(134, 180) << QPointF(140, 140) << QPointF(144, 108) << QPointF(152, 138);
    c = {false, {l}, leg(2.95, -0.7), {152, 138}, QStringLiteral("隐白 SP1"), QStringLiteral("大包 SP21"),
         leg(2.6, -0.95), QStringLiteral("起于足大趾内侧端隐白，沿足内侧经太白，上行内踝前，循下肢内侧上行入腹，经胸外侧，止于腋下大包。")};
    break;
  }
  case 8: { // LR
    QPolygonF l;
    l << leg(2.95, -0.35) << leg(2.5, -0.4) << leg(2.0, -0.55) << legLine(-0.65, 1.9, 1.05, 4)
      << leg(1.0, -0.9) << legLine(-0.8, 0.9, 0.1, 4) << QPointF(118, 268) << QPointF(146, 196) << QPointF(136, 150);
    c = {false, {l}, leg(2.95, -0.35), {136, 150}, QStringLiteral("大敦 LR1"), QStringLiteral("期门 LR14"),
         leg(2.5, -0.4), QStringLiteral("起于足大趾外侧端大敦，经足背太冲，上行内踝前，沿下肢内侧中线上行，绕阴器，抵小腹，布胁肋，止于乳下期门。")};
    break;
  }
  case 9: { // KI
    QPolygonF l;
    l << leg(2.6, -0.2) << leg(2.35, -0.95) << leg(2.1, -1.05) << legLine(-0.95, 1.9, 0.1, 6)
      << QPointF(116, 264) << QPointF(116, 172) << QPointF(128, 140) << QPointF(128, 100);
    c = {false, {l}, leg(2.6, -0.2), {128, 100}, QStringLiteral("涌泉 KI1"), QStringLiteral("俞府 KI27"),
         leg(2.1, -1.05), QStringLiteral("起于足心涌泉，出内踝后方经大钟，沿下肢内侧后缘上行，入腹旁开正中线，上胸，止于锁骨下俞府。")};
    break;
  }
  case 10: { // BL (back)
    QPolygonF l1{{116, 12}, {117, 40}, {118, 66}, {120, 84}, {122, 100}, {122, 250}, {124, 272}};
    l1 << legLine(0.0, 0.15, 1.0, 4) << legLine(0.1, 1.0, 1.9, 4) << leg(2.05, 0.9) << leg(2.6, 1.1)
       << leg(2.95, 0.95);
    QPolygonF l2{{124, 90}, {136, 100}, {136, 250}, {140, 272}};
    l2 << legLine(0.45, 0.2, 1.0, 4);
    c = {true, {l1, l2}, {116, 12}, leg(2.95, 0.95), QStringLiteral("睛明 BL1"), QStringLiteral("至阴 BL67"),
         leg(2.6, 1.1), QStringLiteral("起于目内眦睛明，上额越头顶，下项，沿脊柱两旁分两行下行背腰，经臀及下肢后侧，出外踝后，经束骨，止于小趾外侧端至阴。")};
    break;
  }
  case 11: { // GB (back, head and flank)
    QPolygonF l{{130, 40}, {131, 24}, {121, 17}, {128, 32}, {128, 56}, {122, 70}, {146, 92}, {160, 120},
                {150, 160}, {148, 210}, {152, 250}};
    l << legLine(0.95, 0.15, 2.0, 6) << leg(2.3, 1.25) << leg(2.9, 0.6);
    c = {true, {l}, {130, 40}, leg(2.9, 0.6), QStringLiteral("瞳子髎 GB1"), QStringLiteral("足窍阴 GB44"),
         leg(2.3, 1.25), QStringLiteral("起于目外眦瞳子髎，曲折行于头侧，下项至肩井，循胁肋身侧下行，沿下肢外侧中线，经外踝前丘墟，止于第四趾外侧端足窍阴。")};
    break;
  }
  case 12: { // ST
    QPolygonF face{{120, 36}, {118, 56}, {124, 66}, {130, 56}, {130, 20}};
    QPolygonF l{{124, 66}, {118, 84}, {128, 94}, {134, 120}, {134, 150}, {122, 170}, {122, 250}, {124, 258}};
    l << legLine(0.25, 0.1, 1.0, 4) << legLine(0.35, 1.05, 2.0, 4) << leg(2.0, 0.05) << leg(2.55, 0.0)
      << leg(2.98, 0.1);
    c = {false, {face, l}, {120, 36}, leg(2.98, 0.1), QStringLiteral("承泣 ST1"), QStringLiteral("厉兑 ST45"),
         leg(2.55, 0.0), QStringLiteral("起于目下承泣，循面颊，上至额角，下颈过锁骨，经乳中线下行腹部，循下肢外侧前缘下行，经足背冲阳，止于第二趾外侧端厉兑。")};
    break;
  }
  }
  return c;
}

QColor elementColour(const QString &element) {
  if (element == u"木") return QColor(20, 140, 60);
  if (element.endsWith(u'火')) return QColor(215, 40, 40);
  if (element == u"土") return QColor(200, 140, 0);
  if (element == u"金") return QColor(100, 90, 200);
  return QColor(20, 90, 210);
}

void drawFigureDetails(QPainter &p, bool back) {
  p.setPen(QPen(QColor(150, 140, 130), 1.0));
  p.setBrush(Qt::NoBrush);
  if (!back) {
    // Face, collar bones, chest, navel, knees.
    p.drawEllipse(QPointF(101, 36), 3, 1.6);
    p.drawEllipse(QPointF(119, 36), 3, 1.6);
    p.drawLine(QPointF(110, 38), QPointF(108, 48));
    p.drawArc(QRectF(103, 50, 14, 6), 200 * 16, 140 * 16);
    for (int k : {-1, 1}) {
      p.drawLine(QPointF(kMid + k * 4, 88), QPointF(kMid + k * 40, 92));
      p.drawEllipse(QPointF(kMid + k * 24, 132), 2, 2);
      p.drawArc(QRectF(kMid + k * 18 - 11, 378, 22, 14), 0, 180 * 16);
    }
    p.drawEllipse(QPointF(kMid, 208), 2, 2);
  } else {
    // Ears, spine, shoulder blades, gluteal folds, the backs of the knees.
    for (int k : {-1, 1}) {
      p.drawEllipse(QPointF(kMid + k * 23, 40), 3.5, 7);
      p.drawArc(QRectF(kMid + k * 26 - 14, 104, 28, 40), k > 0 ? 90 * 16 : -90 * 16, 180 * 16);
      p.drawArc(QRectF(kMid + k * 20 - 18, 262, 36, 18), 180 * 16, 180 * 16);
      p.drawLine(QPointF(kMid + k * 18 - 8, 384), QPointF(kMid + k * 18 + 8, 384));
    }
    QPen dashed(QColor(150, 140, 130), 1.0, Qt::DotLine);
    p.setPen(dashed);
    p.drawLine(QPointF(kMid, 70), QPointF(kMid, 262));
  }
}

void drawLabel(QPainter &p, QPointF at, const QString &text, bool right, const QColor &colour) {
  p.setFont(DeliveredPictureFont(11));
  const QFontMetrics fm(p.font());
  const int w = fm.horizontalAdvance(text) + 6;
  if (right && at.x() + 6 + w > kFigureRight)
    right = false; // keep clear of the legend panel
  const QRectF box(right ? at.x() + 6 : at.x() - 6 - w, at.y() - 8, w, 16);
  p.setPen(QPen(colour, 1));
  p.setBrush(QColor(255, 255, 255, 220));
  p.drawRoundedRect(box, 3, 3);
  p.setPen(colour.darker(140));
  p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

QImage DrawMeridianIllustration(const MeridianModel &model, int meridian) {
  QImage img(kMeridianIllustrationSize, QImage::Format_RGB32);
  img.fill(QColor(250, 250, 246));
  if (meridian < 1 || meridian > 12)
    return img;
  const MeridianRecord &rec = model.MeridianTable[meridian];
  const Course c = courseOf(meridian);
  const QColor colour = elementColour(rec.Element);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  // Figure.
  p.save();
  p.translate(36, 40);
  const QPainterPath outline = figureOutline();
  p.fillPath(outline.translated(3, 4), QColor(0, 0, 0, 28));
  QLinearGradient skin(0, 0, 220, 0);
  skin.setColorAt(0, QColor(240, 220, 204));
  skin.setColorAt(0.5, QColor(250, 234, 220));
  skin.setColorAt(1, QColor(240, 220, 204));
  p.fillPath(outline, skin);
  p.strokePath(outline, QPen(QColor(120, 100, 90), 1.4));
  drawFigureDetails(p, c.back);
  for (const QPolygonF &line : c.lines)
    for (const QPolygonF &side : {line, kFlip.map(line)}) {
      QPainterPath path(side.first());
      for (int i = 1; i < side.size(); ++i)
        path.lineTo(side[i]);
      p.strokePath(path, QPen(QColor(255, 255, 255, 200), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.strokePath(path, QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
  for (const QPointF &pt : {c.first, c.last, kFlip.map(c.first), kFlip.map(c.last)}) {
    p.setPen(QPen(colour.darker(150), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(pt, 3.5, 3.5);
  }
  for (const QPointF &pt : {c.source, kFlip.map(c.source)}) {
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(230, 20, 20));
    p.drawEllipse(pt, 5, 5);
  }
  // Names on the side drawn right of the midline.
  const bool firstRight = c.first.x() >= kMid - 4;
  drawLabel(p, c.first, c.firstName, firstRight, colour);
  drawLabel(p, c.last, c.lastName, c.last.x() >= kMid - 4, colour);
  // On the feet the first or last point lies close below the measured one.
  const QPointF sourceLabel = c.source - QPointF(0, c.source.y() > 440 ? 14 : 0);
  drawLabel(p, sourceLabel, rec.SourcePoint, true, QColor(200, 0, 0));
  p.restore();

  // Title and legend panel.
  const QString full = rec.Channel + rec.Name + (rec.Name.endsWith(u'经') ? QString() : QStringLiteral("经"));
  p.setPen(colour.darker(120));
  p.setFont(DeliveredPictureFont(22, true));
  p.drawText(QRect(16, 6, 528, 30), Qt::AlignLeft | Qt::AlignVCenter, full);
  p.setFont(DeliveredPictureFont(12));
  p.setPen(QColor(90, 90, 90));
  p.drawText(QRect(16, 6, 528, 30), Qt::AlignRight | Qt::AlignVCenter, rec.EnglishName);
  p.fillRect(QRect(16, 38, 528, 2), colour);

  const QRect panel(322, 56, 222, 520);
  p.setPen(QPen(QColor(200, 196, 186), 1));
  p.setBrush(Qt::white);
  p.drawRoundedRect(panel, 6, 6);
  p.setPen(QColor(40, 40, 40));
  p.setFont(DeliveredPictureFont(13));
  const QStringList facts = {
      QStringLiteral("视图: %1").arg(c.back ? QStringLiteral("背面") : QStringLiteral("正面")),
      QStringLiteral("五行: %1").arg(rec.Element),
      QStringLiteral("流注: %1").arg(rec.Hours),
      QStringLiteral("起点: %1").arg(c.firstName),
      QStringLiteral("止点: %1").arg(c.lastName),
  };
  int y = panel.top() + 12;
  for (const QString &f : facts) {
    p.drawText(QRect(panel.left() + 12, y, panel.width() - 24, 20), Qt::AlignLeft | Qt::AlignVCenter, f);
    y += 24;
  }
  p.setPen(QColor(200, 0, 0));
  p.setFont(DeliveredPictureFont(13, true));
  p.drawText(QRect(panel.left() + 12, y, panel.width() - 24, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("测定点: %1").arg(rec.SourcePoint));
  y += 34;
  p.setPen(QColor(60, 60, 60));
  p.setFont(DeliveredPictureFont(13));
  p.drawText(QRect(panel.left() + 12, y, panel.width() - 24, 260), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
             QStringLiteral("循行: ") + c.summary);
  // Key of the marks.
  const int ky = panel.bottom() - 70;
  p.setPen(QPen(colour, 2.4));
  p.drawLine(panel.left() + 14, ky, panel.left() + 40, ky);
  p.setPen(QColor(60, 60, 60));
  p.setFont(DeliveredPictureFont(12));
  p.drawText(QPoint(panel.left() + 48, ky + 5), QStringLiteral("经脉循行 (左右对称)"));
  p.setPen(QPen(colour.darker(150), 1.2));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(panel.left() + 27, ky + 22), 3.5, 3.5);
  p.setPen(QColor(60, 60, 60));
  p.drawText(QPoint(panel.left() + 48, ky + 27), QStringLiteral("起止穴"));
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(QColor(230, 20, 20));
  p.drawEllipse(QPointF(panel.left() + 27, ky + 44), 5, 5);
  p.setPen(QColor(60, 60, 60));
  p.drawText(QPoint(panel.left() + 48, ky + 49), QStringLiteral("测定点"));
  return img;
}
