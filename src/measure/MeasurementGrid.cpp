#include "measure/MeasurementGrid.h"

#include "shell/DayNumber.h"
#include "shell/Format.h"

int PositionOfCell(int row, int column) {
  if (column < 1 || column > 12)
    return 0;
  if (row == 1)
    return column <= 6 ? column : column + 6;
  if (row == 2)
    return column <= 6 ? column + 6 : column + 12;
  return 0;
}

GridCell CellOfPosition(int position) {
  if (position >= 1 && position <= 6)
    return {1, position};
  if (position >= 7 && position <= 12)
    return {2, position - 6};
  if (position >= 13 && position <= 18)
    return {1, position - 6};
  if (position >= 19 && position <= 24)
    return {2, position - 12};
  return {};
}

QString GridCellText(double value) { return value == 0.0 ? QString() : FormatNumber("%3.0f", value); }

double UpdateAverage(Measurement &m) {
  double sum = 0;
  int count = 0;
  for (int k = 1; k <= 24; ++k) {
    if (m.PointValue[k] != 0.0) {
      sum += m.PointValue[k];
      ++count;
    }
  }
  m.Average = count > 0 ? sum / count : 0.0;
  return m.Average;
}

QString AverageText(double average) { return average > 0 ? FormatNumber("%3.1f", average) : QString(); }

QString AgeText(double birthDate, double at) {
  if (!IsDateGiven(birthDate) || !IsDateGiven(at))
    return QString();
  return FormatNumber("%3.1f", AgeInYears(birthDate, at));
}

bool HasAllPoints(const Measurement &m) {
  for (int k = 1; k <= 24; ++k)
    if (m.PointValue[k] == 0.0)
      return false;
  return true;
}

bool HasAnyPoint(const Measurement &m) {
  for (int k = 1; k <= 24; ++k)
    if (m.PointValue[k] != 0.0)
      return true;
  return false;
}

void ClearMeasurementValues(Measurement &m) {
  m.StoredKey = 0;
  m.PointsTaken = 0;
  m.Note.clear();
  m.PointValue.fill(0);
  m.CorrectedValue.fill(0);
  m.Stability.fill(0);
  m.Average = 0;
  m.MeasurementDate = 0;
  m.HasData = false;
}
