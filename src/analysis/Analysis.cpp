#include "analysis/Analysis.h"

#include "analysis/IndexGrading.h"
#include "shell/AppContext.h"

#include <cmath>

namespace {

// Bands are compared with a margin far below the instrument's 0.1 µA
// resolution, so that a value whose decimal text sits exactly on a bound
// lands in the band that the bound opens, whatever binary rounding did to it.
constexpr double kTol = 1e-9;

inline bool atLeast(double x, double bound) {
  return x >= bound - kTol;
}
inline bool atMost(double x, double bound) {
  return x <= bound + kTol;
}

// Meridian of each point, points 1..24.
constexpr int kPointMeridian[25] = {0, 1, 2, 3,  4,  5,  6, 1, 2, 3,  4,  5, 6,
                                    7, 8, 9, 10, 11, 12, 7, 8, 9, 10, 11, 12};
// Left and right point of each meridian.
constexpr int kLeftPoint[13] = {0, 1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18};
constexpr int kRightPoint[13] = {0, 7, 8, 9, 10, 11, 12, 19, 20, 21, 22, 23, 24};
// Element pairs: (yin point, yang point), left side first.
constexpr int kPairYin[13] = {0, 14, 3, 2, 13, 1, 15, 20, 9, 8, 19, 7, 21};
constexpr int kPairYang[13] = {0, 17, 4, 5, 18, 6, 16, 23, 10, 11, 24, 12, 22};
// Element rows 1..6: yin and yang meridian (wood, sovereign fire,
// ministerial fire, earth, metal, water).
constexpr int kElementYin[7] = {0, 8, 3, 2, 7, 1, 9};
constexpr int kElementYang[7] = {0, 11, 4, 5, 12, 6, 10};

// The cross term of a point's balance score: the other-side point (the ST
// points take their own), the element pair, the partner meridian and the
// partner's point on the same side.
struct CrossTerm {
  int o, q, partner, pp;
};
constexpr CrossTerm kCross[25] = {
    {0, 0, 0, 0},    {7, 5, 6, 6},    {8, 3, 5, 5},    {9, 2, 4, 4},    {10, 8, 3, 3},
    {11, 9, 2, 2},   {12, 11, 1, 1},  {1, 5, 6, 12},   {2, 3, 5, 11},   {3, 2, 4, 10},
    {4, 8, 3, 9},    {5, 9, 2, 8},    {6, 11, 1, 7},   {19, 4, 12, 18}, {20, 1, 11, 17},
    {21, 6, 10, 16}, {22, 12, 9, 15}, {23, 7, 8, 14},  {18, 10, 7, 13}, {13, 4, 12, 24},
    {14, 1, 11, 23}, {15, 6, 10, 22}, {16, 12, 9, 21}, {17, 7, 8, 20},  {24, 10, 7, 19},
};

// Lower bounds of grades -2..3 of indices 1..4; below the first is -3.
struct Bands {
  double b[6];
};
constexpr Bands kBodyEnergyMale = {{19, 28, 30, 65, 70, 75}};
constexpr Bands kBodyEnergyFemale = {{18, 24, 28, 62, 67, 72}};
constexpr Bands kUpperLowerMale = {{0.73, 0.83, 0.88, 1.2, 1.3, 1.4}};
constexpr Bands kUpperLowerFemale = {{0.65, 0.75, 0.78, 1.1, 1.15, 1.25}};
constexpr Bands kLeftRight = {{0.68, 0.78, 0.88, 1.15, 1.25, 1.35}};
constexpr Bands kYinYang = {{0.62, 0.72, 0.82, 1.25, 1.35, 1.45}};

int bandGrade(double v, const Bands &bands) {
  int g = -3;
  for (int i = 0; i < 6; ++i)
    if (atLeast(v, bands.b[i]))
      g = i - 2;
  return g;
}

int highLowGrade(double h) {
  if (atMost(h, 1.5))
    return 0;
  if (atMost(h, 1.8))
    return 1;
  if (atMost(h, 2.0))
    return 2;
  return 3;
}

inline int iabs(int v) {
  return v < 0 ? -v : v;
}

// n / 10 for the scores 0.0 .. 10.0, each the double nearest the decimal.
struct Tenths {
  double v[101];
  constexpr Tenths() : v() {
    for (int n = 0; n <= 100; ++n)
      v[n] = n / 10.0;
  }
};
constexpr Tenths kTenths;

// The thresholds of step 4, held in registers while the grades are set.
struct Thresholds {
  double excess, strongExcess, deficiency, strongDeficiency, side, strongSide;
  explicit Thresholds(const AnalysisResult &r)
      : excess(r.Excess), strongExcess(r.StrongExcess), deficiency(r.Deficiency),
        strongDeficiency(r.StrongDeficiency), side(r.SideDifference), strongSide(r.StrongSideDifference) {}
};

// The grades count the bounds a difference reaches, without branches: real
// measurements scatter around the bounds and would defeat branch prediction.
// The thresholds are positive (u > 0.57 for any body energy), so at most one
// of the two sides counts.
inline int sevenLevel(double d, const Thresholds &t) {
  const double a = -d;
  return int(atLeast(d, t.excess)) + int(atLeast(d, t.strongExcess)) +
         int(atLeast(d, t.strongExcess + t.excess)) - int(atLeast(a, t.deficiency)) -
         int(atLeast(a, t.strongDeficiency)) - int(atLeast(a, t.strongDeficiency + t.deficiency));
}

inline int fiveLevel(double d, const Thresholds &t) {
  const double a = -d;
  return int(atLeast(d, t.excess)) + int(atLeast(d, t.strongExcess)) - int(atLeast(a, t.deficiency)) -
         int(atLeast(a, t.strongDeficiency));
}

inline int difference(double d, const Thresholds &t) {
  return int(atLeast(d, t.side)) + int(atLeast(d, t.strongSide)) - int(atLeast(-d, t.side)) -
         int(atLeast(-d, t.strongSide));
}

} // namespace

int SevenLevelGrade(double d, const AnalysisResult &r) {
  return sevenLevel(d, Thresholds(r));
}
int FiveLevelGrade(double d, const AnalysisResult &r) {
  return fiveLevel(d, Thresholds(r));
}
int DifferenceGrade(double d, const AnalysisResult &r) {
  return difference(d, Thresholds(r));
}

int IndexGradeOf(int index, double value, bool male) {
  switch (index) {
  case kIndexBodyEnergy: return bandGrade(value, male ? kBodyEnergyMale : kBodyEnergyFemale);
  case kIndexUpperLower: return bandGrade(value, male ? kUpperLowerMale : kUpperLowerFemale);
  case kIndexLeftRight: return bandGrade(value, kLeftRight);
  case kIndexYinYang: return bandGrade(value, kYinYang);
  case kIndexHighLow: return highLowGrade(value);
  default: return 0;
  }
}

double AnalysisAge(double birth, double measured) {
  if (birth <= 0 || measured <= 0)
    return kDefaultAnalysisAge;
  return (measured - birth) / 365.0;
}

double ReferenceEnergy(double age, bool male) {
  double ref;
  if (atMost(age, 20))
    ref = 75;
  else if (atMost(age, 30))
    ref = 68;
  else if (atMost(age, 35))
    ref = 63;
  else if (atMost(age, 40))
    ref = 58;
  else if (atMost(age, 45))
    ref = 53;
  else if (atMost(age, 50))
    ref = 48;
  else if (atMost(age, 55))
    ref = 43;
  else if (atMost(age, 60))
    ref = 40;
  else if (atMost(age, 65))
    ref = 36;
  else
    ref = 32;
  if (!male)
    ref = ref - ref * 0.06;
  return ref;
}

double ScalePointBalance(double s) {
  // s never exceeds 100; anything at or below 1 scores the floor of 1.0 (this
  // also catches the -inf of a vanishing body energy).
  if (!(s > 1.0))
    return 1.0;
  const double t = s + 0.5;
  const long whole = long(t); // t is positive: truncation is the floor
  const double frac = t - double(whole);
  long n;
  if (std::fabs(frac - 0.5) < kTol) // a tie: to the even neighbour
    n = whole % 2 == 0 ? whole : whole + 1;
  else
    n = frac > 0.5 ? whole + 1 : whole;
  if (n > 100)
    n = 100;
  return n < 10 ? 1.0 : kTenths.v[n];
}

AnalysisStatus CheckAnalysisInput(const SlotArray &v, const MeridianArray &f) {
  for (int m = 1; m <= 12; ++m)
    if (!(f[m] >= 0) || !std::isfinite(f[m]))
      return AnalysisStatus::InvalidFactor;
  double sum = 0;
  for (int p = 1; p <= 24; ++p) {
    if (!(v[p] >= 0) || !std::isfinite(v[p]))
      return AnalysisStatus::InvalidValue;
    sum += v[p];
  }
  if (!std::isfinite(sum))
    return AnalysisStatus::InvalidValue;
  if (!(sum / 24.0 > 0))
    return AnalysisStatus::NoBodyEnergy;
  for (int g = 0; g < 8; ++g) {
    const int p = 3 * g + 1;
    const double s = v[p] * f[kPointMeridian[p]] + v[p + 1] * f[kPointMeridian[p + 1]] +
                     v[p + 2] * f[kPointMeridian[p + 2]];
    if (!std::isfinite(s))
      return AnalysisStatus::InvalidValue;
    if (!(s / 3.0 > 0))
      return AnalysisStatus::EmptyGroup;
  }
  return AnalysisStatus::Ok;
}

const char *AnalysisStatusMessage(AnalysisStatus status) {
  switch (status) {
  case AnalysisStatus::Ok: return "ok";
  case AnalysisStatus::InvalidValue: return "a point value is negative or not a number";
  case AnalysisStatus::InvalidFactor: return "a meridian factor is negative or not a number";
  case AnalysisStatus::NoBodyEnergy: return "the body energy is 0";
  case AnalysisStatus::EmptyGroup: return "a point group has a mean of 0";
  }
  return "unknown";
}

AnalysisStatus ComputeAnalysis(const SlotArray &PointValue, bool MaleSubject, double BirthDate,
                               double MeasurementDate, const MeridianArray &MeridianFactor,
                               AnalysisResult &result) {
  return ComputeAnalysisAtAge(PointValue, MaleSubject, AnalysisAge(BirthDate, MeasurementDate),
                              MeridianFactor, result);
}

AnalysisStatus ComputeAnalysis(AppContext &ctx) {
  return ComputeAnalysis(ctx.CurrentMeasurement.PointValue, ctx.CurrentSubject.MaleSubject,
                         ctx.CurrentSubject.BirthDate, ctx.CurrentMeasurement.MeasurementDate,
                         ctx.model.MeridianFactor, ctx.AnalysisResult);
}

AnalysisStatus ComputeAnalysisAtAge(const SlotArray &v, bool male, double age, const MeridianArray &f,
                                    AnalysisResult &r) {
  const AnalysisStatus status = CheckAnalysisInput(v, f);
  if (status != AnalysisStatus::Ok)
    return status;

  // 1. Corrected values.
  const SlotArray &A = r.CorrectedValue;
  for (int p = 1; p <= 24; ++p)
    r.CorrectedValue[p] = v[p] * f[kPointMeridian[p]];

  // 2. Body energy, from the raw values.
  double sum = 0;
  for (int p = 1; p <= 24; ++p)
    sum += v[p];
  const double E = sum / 24.0;
  r.BodyEnergy = E;
  r.LowEnergy = atMost(E, 12);

  // 3. Means.
  for (int g = 1; g <= 8; ++g) {
    const int p = 3 * g - 2;
    r.GroupMean[g] = (A[p] + A[p + 1] + A[p + 2]) / 3.0;
  }
  const GroupArray &G = r.GroupMean;
  r.YinMean = (G[1] + G[3] + G[5] + G[7]) / 4.0;
  r.YangMean = (G[2] + G[4] + G[6] + G[8]) / 4.0;
  r.UpperMean = (G[1] + G[2] + G[3] + G[4]) / 4.0;
  r.LowerMean = (G[5] + G[6] + G[7] + G[8]) / 4.0;
  r.LeftMean = (G[1] + G[2] + G[5] + G[6]) / 4.0;
  r.RightMean = (G[3] + G[4] + G[7] + G[8]) / 4.0;
  // The true extremes: group means above 200 µA keep their own minimum.
  double lo = G[1], hi = G[1];
  for (int g = 2; g <= 8; ++g) {
    if (G[g] < lo)
      lo = G[g];
    if (G[g] > hi)
      hi = G[g];
  }
  r.MinGroupMean = lo;
  r.MaxGroupMean = hi;

  // 4. Threshold unit and thresholds.
  const double u = (E - 10) * 0.0084375 + 0.6625;
  r.ThresholdUnit = u;
  r.StrongExcess = 21 * u;
  r.Excess = 11.5 * u;
  r.Deficiency = 10.5 * u;
  r.StrongDeficiency = 20 * u;
  r.SideDifference = r.Excess + r.Deficiency;
  r.StrongSideDifference = r.StrongExcess + r.StrongDeficiency;

  // 5. Pair means.
  for (int q = 1; q <= 12; ++q)
    r.PairMean[q] = (A[kPairYin[q]] + A[kPairYang[q]]) / 2.0;

  // 6. Element values.
  double M[13];
  for (int m = 1; m <= 12; ++m)
    M[m] = (A[kLeftPoint[m]] + A[kRightPoint[m]]) / 2.0;
  r.ElementValue[0] = {};
  for (int row = 1; row <= 6; ++row) {
    r.ElementValue[row][0] = 0;
    r.ElementValue[row][2] = M[kElementYin[row]];
    r.ElementValue[row][3] = M[kElementYang[row]];
    r.ElementValue[row][1] = (r.ElementValue[row][2] + r.ElementValue[row][3]) / 2.0;
  }
  r.ElementValue[7][0] = 0;
  r.ElementValue[7][2] = (M[3] + M[2]) / 2.0;
  r.ElementValue[7][3] = (M[4] + M[5]) / 2.0;
  r.ElementValue[7][1] = (r.ElementValue[2][1] + r.ElementValue[3][1]) / 2.0;

  // 7-8. Grades.
  const Thresholds th(r);
  for (int p = 1; p <= 24; ++p) {
    r.Deviation[p] = A[p] - E;
    r.PointGrade[p] = sevenLevel(r.Deviation[p], th);
  }
  for (int m = 1; m <= 12; ++m) {
    r.MeridianGrade[m] = sevenLevel(M[m] - E, th);
    r.SideGrade[m] = difference(A[kLeftPoint[m]] - A[kRightPoint[m]], th);
  }
  for (int q = 1; q <= 12; ++q) {
    r.PairGrade[q] = fiveLevel(r.PairMean[q] - E, th);
    r.PairDiffGrade[q] = difference(A[kPairYin[q]] - A[kPairYang[q]], th);
  }
  r.ElementGrade[0] = {};
  for (int row = 1; row <= 7; ++row) {
    r.ElementGrade[row][0] = 0;
    for (int c = 1; c <= 3; ++c)
      r.ElementGrade[row][c] = fiveLevel(r.ElementValue[row][c] - E, th);
  }

  // 9. Index grades and their sentences.
  r.IndexGrade[1] = IndexGradeOf(kIndexBodyEnergy, E, male);
  r.IndexGrade[2] = IndexGradeOf(kIndexUpperLower, r.UpperMean / r.LowerMean, male);
  r.IndexGrade[3] = IndexGradeOf(kIndexLeftRight, r.LeftMean / r.RightMean, male);
  r.IndexGrade[4] = IndexGradeOf(kIndexYinYang, r.YinMean / r.YangMean, male);
  r.IndexGrade[5] = IndexGradeOf(kIndexHighLow, r.MaxGroupMean / r.MinGroupMean, male);
  for (int i = 1; i <= 5; ++i)
    r.IndexText[i] = IndexSentence(i, r.IndexGrade[i]);

  // 10. Overall balance index.
  const double ref = ReferenceEnergy(age, male);
  const double dev = (E - ref) / ref * 100.0;
  double adj = dev >= 0 ? dev * 0.1 : dev * 0.3;
  if (atMost(E, 10))
    adj = adj + adj * 0.5;
  else if (atMost(E, 15))
    adj = adj + adj * 0.4;
  else if (atMost(E, 20))
    adj = adj + adj * 0.3;
  else if (atMost(E, 25))
    adj = adj + adj * 0.2;
  double ob = 90 + adj;
  for (int p = 1; p <= 24; ++p)
    ob -= 0.6 * iabs(r.PointGrade[p]);
  for (int m = 1; m <= 12; ++m) {
    ob -= 0.6 * iabs(r.MeridianGrade[m]);
    ob -= 0.6 * iabs(r.SideGrade[m]);
  }
  for (int q = 1; q <= 12; ++q) {
    ob -= 0.5 * iabs(r.PairGrade[q]);
    ob -= 0.5 * iabs(r.PairDiffGrade[q]);
  }
  ob -= iabs(r.IndexGrade[2]);
  ob -= iabs(r.IndexGrade[3]);
  ob -= iabs(r.IndexGrade[4]);
  ob -= r.IndexGrade[5];
  if (ob > 100 + kTol)
    ob = 99;
  else if (ob < 5)
    ob = 5;
  r.OverallBalance = ob;

  // 11. Point balance scores. (A product with 1/E in place of 24 divisions;
  // the scores are whole tenths, so the last bit does not show.)
  const double invE = 1.0 / E;
  for (int p = 1; p <= 24; ++p) {
    const int m = kPointMeridian[p];
    const int g = r.PointGrade[p];
    const CrossTerm &c = kCross[p];
    double s = 100 - 40 * std::fabs(A[p] - E) * invE;
    s -= g >= 0 ? 1.5 * g : 2.0 * -g;
    s -= iabs(r.MeridianGrade[m]) + iabs(r.SideGrade[m]) + (r.MeridianGrade[m] < 0 ? 1 : 0);
    s -= 0.6 * iabs(r.PointGrade[c.o]) + iabs(r.PairGrade[c.q]) + iabs(r.PairDiffGrade[c.q]) +
         0.3 * iabs(r.MeridianGrade[c.partner]) + 0.3 * iabs(r.PointGrade[c.pp]);
    r.PointBalance[p] = ScalePointBalance(s);
  }

  // 12. Balance means.
  double left = 0, right = 0;
  for (int p = 1; p <= 6; ++p) {
    left += r.PointBalance[p] + r.PointBalance[p + 12];
    right += r.PointBalance[p + 6] + r.PointBalance[p + 18];
  }
  r.LeftBalanceMean = left / 12.0;
  r.RightBalanceMean = right / 12.0;
  double all = 0;
  for (int p = 1; p <= 24; ++p)
    all += r.PointBalance[p];
  r.MeridianBalance = all / 24.0;

  r.CorrectedValue[0] = r.Deviation[0] = r.PointBalance[0] = 0;
  r.GroupMean[0] = r.PairMean[0] = 0;
  r.PointGrade[0] = r.MeridianGrade[0] = r.SideGrade[0] = r.PairGrade[0] = r.PairDiffGrade[0] = 0;
  r.IndexGrade[0] = 0;
  r.IndexText[0].clear();
  return AnalysisStatus::Ok;
}
