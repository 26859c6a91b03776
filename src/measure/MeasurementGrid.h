#pragma once
// The values grid of the measurement window: 3 rows × 13 columns, a fixed
// header row and side column, the left half for the hand positions and the
// right half for the foot positions, and the texts the grid and its labels show.
#include "measure/Measurement.h"

#include <QString>

struct GridCell {
  int row = 0, column = 0;
};

// The measuring position shown in a value cell (row 1..2, column 1..12); 0 for
// the header row, the side column or a cell outside the grid.
int PositionOfCell(int row, int column);
GridCell CellOfPosition(int position);

// "%3.0f" of a point value; empty for 0 (not measured).
QString GridCellText(double value);

// Mean of the non-zero point values (0 when there are none), stored in
// Average; the text is "%3.1f", empty when the average is not above 0.
double UpdateAverage(Measurement &m);
QString AverageText(double average);

// "%3.1f" of (at - birth) / 365; empty unless both dates are given.
QString AgeText(double birthDate, double at);

// Whether every one of the 24 slots holds a value (analysis and comparison
// need a whole measurement).
bool HasAllPoints(const Measurement &m);
bool HasAnyPoint(const Measurement &m);

// Empties the values of the measurement on screen (the run's clearing question
// and the window's clearing): key, points taken, note, values, stability,
// average, date and HasData. HighPotential is left as it is.
void ClearMeasurementValues(Measurement &m);
