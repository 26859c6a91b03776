#pragma once
// The 78 values of the settings file, in file order. Arrays are 1-based.
// AppContext starts with SetDefaultSettings() (shell/SettingsFile.h) applied.
#include <QString>
#include <array>

struct Settings {
  // Lines 1-4: reference sets 0 and 1 (standard, high potential).
  int StdReference0 = 4000, HighReference0 = 4000, StdReference1 = 4000, HighReference1 = 4000;
  QString PrintOptions;       // 5: 42 flag characters
  double Sensitivity = 1.0;   // 6
  QString CalibrationDate;    // 7: locale short date
  QString UserName1;          // 8: main window status bar
  QString UserName2;          // 9: first report header line
  QString UserData1;          // 10
  QString UserData2;          // 11
  QString Kept12;             // 12..17: read and written back unchanged
  bool Kept13 = true, Kept14 = false;
  int Kept15 = 2;
  double Kept16 = 0;
  bool Kept17 = false;
  int PictureStyle = 1;       // 18: 1..3
  int SoundMode = 1;          // 19: 0 silent, 1 standard, 2 single tone
  int CalibrationSound = 1;   // 20
  int Kept21 = 1;             // 21
  int AutoContact = 1;        // 22
  int ReferenceSet = 0;       // 23
  int ChartSpanCustom = 0;    // 24
  int ChartSpanSampling = 2000; // 25
  int ChartSpanAveraging = 500; // 26
  QString FunctionVisibility; // 27: six '0'/'1'
  std::array<QString, 7> FunctionCaption;   // 28..33
  std::array<QString, 7> FunctionHint;      // 34..39
  std::array<QString, 7> FunctionProgram;   // 40..45
  std::array<QString, 7> FunctionParameter; // 46..51
  int OrderMode = 0;                        // 52
  std::array<int, 13> CustomOrder{};        // 53..64
  int FactorMode = 0;                       // 65
  std::array<double, 13> CustomFactor{};    // 66..77
  int BalanceDisplay = 1;                   // 78
};
