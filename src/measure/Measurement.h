#pragma once
// The measurement on screen and its subject, shared by every window that
// takes, loads, saves, analyses or compares a measurement.
#include "shell/MeridianModel.h"

#include <QString>
#include <QStringList>

struct Measurement {
  SlotArray PointValue{};     // µA per slot; 0 = not measured
  SlotArray CorrectedValue{}; // PointValue × meridian factor
  SlotArray Stability{};      // 100 - std. deviation of the last raw readings
  double MeasurementDate = 0; // day number; 0 when none
  bool HighPotential = false; // stored as SoVota
  QStringList Note;           // MEMO1 lines
  int StoredKey = 0;          // MKEY of its database row; 0 when none
  int PointsTaken = 0;
  bool HasData = false;
  double Average = 0;

  int measuredCount() const {
    int n = 0;
    for (int k = 1; k <= 24; ++k)
      n += PointValue[k] != 0.0;
    return n;
  }
};

struct Subject {
  QString CustNo, Name;
  bool MaleSubject = true;
  double BirthDate = 0; // day number; 0 when not given
  QString Addr, Tel, Tel2, Tel3, EMail;
};
