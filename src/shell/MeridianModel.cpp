#include "shell/MeridianModel.h"

#include <cstdlib>

const MeridianArray kBuiltinMeridianFactor = {0,      0.8541, 0.9318, 1.1081, 0.9318, 0.8039, 0.8039,
                                              1.0,    1.2424, 1.0,    1.0789, 1.2424, 1.1388};

MeridianModel::MeridianModel() {
  BuildMeridianTable(*this);
  std::array<int, 13> identity{};
  for (int i = 1; i <= 12; ++i)
    identity[i] = i;
  MeridianArray ones;
  ones.fill(1.0);
  ApplyOrderAndFactorModes(*this, 0, identity, 0, ones);
}

void BuildMeridianTable(MeridianModel &m) {
  m.MeridianTable[0] = {};
  m.MeridianTable[1] = {"肺经", "LU", "手太阴", "金", "太渊 LU9", "Lung Meridian(LU)", "3am-5am"};
  m.MeridianTable[2] = {"心包", "PC", "手厥阴", "相火", "大陵 PC7", "Pericardium Meridian(PC)", "7pm-9pm"};
  m.MeridianTable[3] = {"心经", "HT", "手少阴", "君火", "神门 HT7", "Heart Meridian(HT)", "11am-1pm"};
  m.MeridianTable[4] = {"小肠", "SI", "手太阳", "君火", "腕骨 SI4", "Small Intestine Meridian(SI)", "1pm-3pm"};
  m.MeridianTable[5] = {"三焦", "TE", "手少阳", "相火", "阳池 TE4", "Triple Energizer Meridian(TE)", "9pm-11pm"};
  m.MeridianTable[6] = {"大肠", "LI", "手阳明", "金", "阳溪 LI5", "Large Intestine Meridian(LI)", "5am-7am"};
  m.MeridianTable[7] = {"脾经", "SP", "足太阴", "土", "太白 SP3", "Spleen Meridian(SP)", "9am-11am"};
  m.MeridianTable[8] = {"肝经", "LR", "足厥阴", "木", "太冲 LR3", "Liver Meridian(LR)", "1am-3am"};
  m.MeridianTable[9] = {"肾经", "KI", "足少阴", "水", "大钟 KI4", "Kidney Meridian(KI)", "5pm-7pm"};
  m.MeridianTable[10] = {"膀胱", "BL", "足太阳", "水", "束骨 BL65", "Bladder Meridian(BL)", "3pm-5pm"};
  m.MeridianTable[11] = {"胆经", "GB", "足少阳", "木", "丘墟 GB40", "Gallbladder Meridian(GB)", "11pm-1am"};
  m.MeridianTable[12] = {"胃经", "ST", "足阳明", "土", "冲阳 ST42", "Stomach Meridian(ST)", "7am-9am"};
  m.GradeColourNormal = QColor(145, 255, 113);
  m.GradeColourMild = QColor(254, 249, 141);
  m.GradeColourStrong = QColor(255, 70, 70);
}

static bool isPermutation(const std::array<int, 13> &order) {
  std::array<bool, 13> seen{};
  for (int i = 1; i <= 12; ++i) {
    const int v = order[i];
    if (v < 1 || v > 12 || seen[v])
      return false;
    seen[v] = true;
  }
  return true;
}

void ApplyOrderAndFactorModes(MeridianModel &m, int orderMode, const std::array<int, 13> &customOrder,
                              int factorMode, const MeridianArray &customFactor) {
  static const std::array<int, 13> tableOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  static const std::array<int, 13> pairedOrder = {0, 1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10};
  if (orderMode == 0)
    m.MeasuringOrder = tableOrder;
  else if (orderMode == 1)
    m.MeasuringOrder = pairedOrder;
  else
    m.MeasuringOrder = isPermutation(customOrder) ? customOrder : tableOrder;
  m.MeasuringOrder[0] = 0;

  for (int i = 1; i <= 12; ++i) {
    const int mer = m.MeasuringOrder[i];
    const int l = SlotOf(Side::Left, mer);
    const int r = SlotOf(Side::Right, mer);
    const int first = i <= 6 ? i : i + 6;
    const int second = i <= 6 ? i + 6 : i + 12;
    m.PositionMeridian[first] = mer;
    m.PositionMeridian[second] = mer;
    m.PositionSlot[first] = l;
    m.PositionSlot[second] = r;
    m.OrderPairs[i] = {l, r};
  }

  if (factorMode == 0) {
    m.MeridianFactor = kBuiltinMeridianFactor;
  } else if (factorMode == 1) {
    m.MeridianFactor.fill(1.0);
  } else {
    m.MeridianFactor = customFactor;
  }
  m.MeridianFactor[0] = 0;
}

int SlotOf(Side side, int meridian) {
  const bool foot = IsFootMeridian(meridian);
  if (side == Side::Left)
    return foot ? meridian + 6 : meridian;
  return foot ? meridian + 12 : meridian + 6;
}

Side SideOfSlot(int slot) {
  return (slot <= 6 || (slot >= 13 && slot <= 18)) ? Side::Left : Side::Right;
}

Limb LimbOfSlot(int slot) { return slot <= 12 ? Limb::Hand : Limb::Foot; }

int MeridianOfSlot(int slot) {
  if (slot <= 6)
    return slot;
  if (slot <= 12)
    return slot - 6;
  if (slot <= 18)
    return slot - 6;
  return slot - 12;
}

Side SideOfPosition(int position) { return SideOfSlot(position); }

QString PictureFileName(int style, int slot) {
  const char styleLetter = style == 2 ? 'G' : style == 3 ? 'C' : 'P';
  const int mer = MeridianOfSlot(slot);
  const int number = IsFootMeridian(mer) ? mer - 6 : mer;
  return QStringLiteral("%1%2%3%4.bmp")
      .arg(QChar(styleLetter))
      .arg(QChar(SideOfSlot(slot) == Side::Left ? u'L' : u'R'))
      .arg(QChar(LimbOfSlot(slot) == Limb::Hand ? u'h' : u'f'))
      .arg(number);
}

double CorrectedValue(const MeridianModel &model, int slot, double pointValue) {
  return pointValue * model.MeridianFactor[MeridianOfSlot(slot)];
}

QColor GradeColour(const MeridianModel &model, int grade) {
  const int a = std::abs(grade);
  return a == 0 ? model.GradeColourNormal : a == 1 ? model.GradeColourMild : model.GradeColourStrong;
}
