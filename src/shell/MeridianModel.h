#pragma once
// The twelve meridians, the 24 value slots, the measuring sequence, the
// meridian factors, the point picture names and the grade colours. Index 0 of
// every 1-based array is unused so that the code reads like the tables.
#include <QColor>
#include <QString>
#include <array>

struct MeridianRecord {
  QString Name, Code, Channel, Element, SourcePoint, EnglishName, Hours;
};

enum class Side { Left, Right };
enum class Limb { Hand, Foot };

using MeridianTableType = std::array<MeridianRecord, 13>;
using SlotArray = std::array<double, 25>;       // [1..24]
using MeridianArray = std::array<double, 13>;   // [1..12]

struct SlotPair {
  int left = 0, right = 0;
};

// Everything Part of the shared model that is derived from the settings modes.
struct MeridianModel {
  MeridianTableType MeridianTable;
  std::array<int, 13> MeasuringOrder{};
  std::array<int, 25> PositionMeridian{};
  std::array<int, 25> PositionSlot{};
  std::array<SlotPair, 13> OrderPairs{};
  MeridianArray MeridianFactor{};
  QColor GradeColourNormal, GradeColourMild, GradeColourStrong;

  MeridianModel(); // builds the table and applies mode 0 / factor mode 0
};

// Fills the table's texts and the grade colours.
void BuildMeridianTable(MeridianModel &model);
// Derives the order, the position tables, the pairs and the factors. A custom
// order that is not a permutation of 1..12 falls back to table order.
void ApplyOrderAndFactorModes(MeridianModel &model, int orderMode, const std::array<int, 13> &customOrder,
                              int factorMode, const MeridianArray &customFactor);

extern const MeridianArray kBuiltinMeridianFactor;

// Lookups.
constexpr bool IsFootMeridian(int meridian) { return meridian > 6; }
int SlotOf(Side side, int meridian);
Side SideOfSlot(int slot);
Limb LimbOfSlot(int slot);
int MeridianOfSlot(int slot);
// Side of a measuring position: 1..6 and 13..18 left, the others right.
Side SideOfPosition(int position);
// "PLh1.bmp" ... style 1 P, 2 G, 3 C.
QString PictureFileName(int style, int slot);
// Corrected value of a slot: point value times the slot meridian's factor.
double CorrectedValue(const MeridianModel &model, int slot, double pointValue);
// The colour of a grade: 0 normal, |1| mild, larger strong.
QColor GradeColour(const MeridianModel &model, int grade);
