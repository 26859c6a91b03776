#pragma once
// Every number the analysis of one measurement shows, prints and matches
// against. Arrays are 1-based like the tables they follow (index 0 unused):
// points 1..24, meridians 1..12, groups 1..8, pairs 1..12, element rows 1..7
// by columns 1..3 (whole element, yin organ, yang organ), indices 1..5.
#include "shell/MeridianModel.h"

#include <QString>
#include <array>

using GroupArray = std::array<double, 9>;                    // [1..8]
using ElementTable = std::array<std::array<double, 4>, 8>;   // [1..7][1..3]
using ElementGradeTable = std::array<std::array<int, 4>, 8>; // [1..7][1..3]

// Index numbers shared by IndexGrade, IndexText and the grading helpers.
enum AnalysisIndex {
  kIndexBodyEnergy = 1,
  kIndexUpperLower = 2,
  kIndexLeftRight = 3,
  kIndexYinYang = 4,
  kIndexHighLow = 5,
};

struct AnalysisResult {
  double BodyEnergy = 0; // mean of the 24 raw values
  bool LowEnergy = false;
  SlotArray CorrectedValue{};
  SlotArray Deviation{}; // corrected value minus body energy
  double ThresholdUnit = 0;
  double StrongExcess = 0, Excess = 0, Deficiency = 0, StrongDeficiency = 0;
  double SideDifference = 0, StrongSideDifference = 0;
  GroupArray GroupMean{};
  double YinMean = 0, YangMean = 0, UpperMean = 0, LowerMean = 0, LeftMean = 0, RightMean = 0;
  double MinGroupMean = 0, MaxGroupMean = 0;
  std::array<double, 13> PairMean{};
  ElementTable ElementValue{};
  std::array<int, 25> PointGrade{};    // -3..3
  std::array<int, 13> MeridianGrade{}; // -3..3
  std::array<int, 13> SideGrade{};     // -2..2, left against right
  std::array<int, 13> PairGrade{};     // -2..2
  std::array<int, 13> PairDiffGrade{}; // -2..2, yin point against yang point
  ElementGradeTable ElementGrade{};    // -2..2
  std::array<int, 6> IndexGrade{};     // 1..4: -3..3, 5: 0..3
  std::array<QString, 6> IndexText;
  double OverallBalance = 0; // E.C.I.
  SlotArray PointBalance{};  // 1.0..10.0
  double MeridianBalance = 0, LeftBalanceMean = 0, RightBalanceMean = 0;
};

// Why a measurement could not be analysed. Anything but Ok leaves the
// caller's previous result as it was.
enum class AnalysisStatus {
  Ok,
  InvalidValue,  // a point value that is negative or not a finite number
  InvalidFactor, // a meridian factor that is negative or not a finite number
  NoBodyEnergy,  // the body energy is 0
  EmptyGroup,    // a point group's mean corrected value is 0
};
