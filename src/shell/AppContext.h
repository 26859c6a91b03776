#pragma once
// The state that several windows share, in one object. Windows receive it by
// reference; tests build a fresh one. Each subsystem adds its own members.
#include "analysis/AnalysisResult.h"
#include "measure/Measurement.h"
#include "shell/MeridianModel.h"
#include "shell/PrintJob.h"
#include "shell/Settings.h"

#include <QObject>
#include <QString>
#include <array>
#include <memory>

class Clock;
class Prompter;
class Launcher;
class Link;
class Database;

// The tray icon's state, kept here so it exists (and can be tested) on
// platforms without a tray. Images: 14 connected, 15 not connected.
struct TrayState {
  enum BalloonIcon { NoIcon, Information, Warning, Error };
  int image = 15;
  QString hint;
  bool balloonVisible = false;
  QString balloonTitle, balloonText;
  BalloonIcon balloonIcon = NoIcon;
  int balloonMs = 0;
  int balloonCount = 0; // balloons shown so far
};

class AppContext : public QObject {
  Q_OBJECT
public:
  // The context does not own the services passed in; pass nullptr for any of
  // them to get the real implementation (owned by the context).
  explicit AppContext(Clock *clock = nullptr, Prompter *prompter = nullptr, Launcher *launcher = nullptr,
                      QObject *parent = nullptr);
  ~AppContext() override;

  Clock &clock() const { return *m_clock; }
  Prompter &prompter() const { return *m_prompter; }
  Launcher &launcher() const { return *m_launcher; }
  Link &link() const { return *m_link; }
  Database &database() const { return *m_database; } // records/Database.h
  void setPrompter(Prompter *p); // not owned

  // The system's only message and question dialog (types 1..6).
  bool ShowMessageBox(int type, const QString &text);

  // Tray state changes go through here so the main window can mirror them.
  void setTray(int image, const QString &hint);
  void showBalloon(const QString &title, const QString &text, TrayState::BalloonIcon icon, int ms);
  void hideBalloon();

  // The settings file in the data folder. Reading and writing go through the
  // whole file and then derive the measuring order and factors into model; a
  // problem is told to the user once. Both return false when the file could
  // not be read or written; the settings in memory are then the defaults
  // (read) or stay as they were (write).
  QString settingsFilePath() const;
  bool LoadSettings(); // at start: read the file, or set the defaults and write it
  bool ReadSettings();
  bool WriteSettings();
  void SetDefaultSettings();
  void applySettingsModes();

  MeridianModel model;
  Settings settings;
  QString dataFolder; // ends with '/'
  bool FirstActivation = true;
  bool SystemReady = false;
  Measurement CurrentMeasurement;
  Subject CurrentSubject;
  TrayState tray;
  PrintJob printJob; // the report being printed, watched by the print progress box

  // The analysis of the measurement last analysed (the type is the record of
  // the same name).
  ::AnalysisResult AnalysisResult;

  // The page and charts the analysis window opens on; every window that takes,
  // loads, clears or changes the measurement on screen resets them.
  int AnalysisPage = 0;
  int ChartGroup = 1;
  std::array<int, 7> ChartChoice{1, 1, 1, 1, 1, 1, 1}; // [1..6]
  void ResetAnalysisView();

  // The raw counts that mean 200 µA in standard and high potential, chosen when
  // a measurement run starts and set by a calibration.
  int NormalFullScale = 4000;
  int HighFullScale = 4000;

  // The sort of every subject list: |code| is the column 1..11, negative
  // descending; 1 at start, kept for the run only.
  int SubjectSortCode = 1;

  // Whether the record browser asks before it loads a measurement: set when
  // it is opened from the main window, cleared from the measurement window.
  bool LoadNeedsConfirmation = true;

signals:
  void trayChanged();
  void balloonRequested();

private:
  std::unique_ptr<Clock> m_ownClock;
  std::unique_ptr<Prompter> m_ownPrompter;
  std::unique_ptr<Launcher> m_ownLauncher;
  Clock *m_clock;
  Prompter *m_prompter;
  Launcher *m_launcher;
  std::unique_ptr<Link> m_link;
  std::unique_ptr<Database> m_database;
};
