#pragma once
// The analysis of one measurement: body energy, ratios, grades and balance
// scores, computed from the 24 point values, the subject's sex and age and
// the meridian factors in force. Pure and allocation-free, so it can run for
// every selection in a window and for millions of measurements in a batch.
#include "analysis/AnalysisResult.h"

class AppContext;

// Age used when no birth date is recorded.
constexpr double kDefaultAnalysisAge = 40.0;

// Fills `result` from the inputs. Dates are day numbers; a birth date of 0 or
// less means none is recorded (and so does a measurement without a date).
// On any status but Ok `result` is left untouched.
AnalysisStatus ComputeAnalysis(const SlotArray &PointValue, bool MaleSubject, double BirthDate,
                               double MeasurementDate, const MeridianArray &MeridianFactor,
                               AnalysisResult &result);
// The same with the age at the measurement already known, in years.
AnalysisStatus ComputeAnalysisAtAge(const SlotArray &PointValue, bool MaleSubject, double ageYears,
                                    const MeridianArray &MeridianFactor, AnalysisResult &result);
// The current measurement and subject of the context, with its factors, into
// ctx.AnalysisResult.
AnalysisStatus ComputeAnalysis(AppContext &ctx);

// Whether the inputs can be analysed at all (the checks ComputeAnalysis makes
// before it writes anything).
AnalysisStatus CheckAnalysisInput(const SlotArray &PointValue, const MeridianArray &MeridianFactor);
// A short English description of a status, for tools and logs.
const char *AnalysisStatusMessage(AnalysisStatus status);

// (measurement − birth) / 365 days, or the default age when either date is
// missing.
double AnalysisAge(double BirthDate, double MeasurementDate);
// The reference body energy of an age, lowered by 6 % for a female subject.
double ReferenceEnergy(double ageYears, bool MaleSubject);
// Brings a raw point balance s to the 1.0..10.0 scale: s + 0.5 rounded to an
// integer (ties to even), divided by ten, at least 1.0.
double ScalePointBalance(double s);
// Band of a difference against the thresholds of `r` (its unit must be set).
int SevenLevelGrade(double d, const AnalysisResult &r);
int FiveLevelGrade(double d, const AnalysisResult &r);
int DifferenceGrade(double d, const AnalysisResult &r);
// Grade of an index value (1..4: body energy or ratio, 5: high/low ratio).
int IndexGradeOf(int index, double value, bool MaleSubject);
