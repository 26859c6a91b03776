#pragma once
// Whether an analysed measurement meets a programme's conditions (the SoPrDt
// rows of an expert or multi-meridian programme). Each row holds up to 24
// condition digits (ProCond), one per position, and the digits of ProAnd that
// make a position required:
//   1 body energy, 2 upper/lower, 3 left/right, 4 yin/yang, 5 high/low,
//   6..17 the meridians LU LI PC TE HT SI SP ST LR GB KI BL (both points),
//   18..22 the elements wood, combined fire, earth, metal, water (whole element),
//   23 the age (ProAGL/ProAGH), 24 the sex.
#include "analysis/AnalysisResult.h"
#include "records/ProgrammeStore.h"

#include <QList>
#include <QString>

inline constexpr int kConditionPositions = 24;
// The meridian (table order 1..12) of condition positions 6..17.
int ConditionMeridian(int position);
// The element table row of positions 18..22.
int ConditionElementRow(int position);

// The age the conditions use: the present calendar year minus the year of the
// birth date (a date not given, 0, counts as born in 1899).
int ProgrammeAge(int presentYear, double BirthDate);

// One row; age 0 skips position 23.
bool ConditionRowMatches(const ProgrammeCondition &row, const AnalysisResult &r, int age, bool MaleSubject);
// At least one row matches and no row with ProFlg set fails; no rows: false.
bool ProgrammeMatches(const QList<ProgrammeCondition> &rows, const AnalysisResult &r, int age, bool MaleSubject);

// Why a row cannot be read as intended (a non-digit, a digit no position
// knows, a condition that can never be true, bounds the wrong way round);
// empty when the row is sound. For tools that check delivered programmes.
QString ConditionRowProblem(const ProgrammeCondition &row);
