#pragma once
// The measurement run: the 24 positions of the measuring sequence, each one
// detected, sampled for 2500 ms, averaged over its last 500 ms, rated for
// steadiness and stored in CurrentMeasurement. It runs inside the caller's
// handler; every wait goes through the clock, so window events (stop, a click
// on the grid, the sensitivity) are served while it runs.
#include "measure/MeasurementView.h"

#include <QString>
#include <array>

class AppContext;
class RunInstrument;

class MeasurementRun {
public:
  static constexpr int kPointTime = 2500;      // ms per point
  static constexpr int kAveragingWindow = 500; // ms at the end of each point
  static constexpr int kBeat = 625;            // ms between countdown signals
  static constexpr int kReleaseTimeout = 5000; // ms

  MeasurementRun(AppContext &ctx, RunInstrument &instrument, MeasurementView &view);

  // Runs the whole measurement; returns after position 24 or a stop.
  void RunMeasurement();
  void RequestStop() { m_stopRequested = true; }
  // A click on the grid while the current position awaits the probe (or is
  // being sampled): that position becomes current. Returns whether it did.
  bool SelectPosition(int position);
  // The sensitivity control changed: the contact threshold follows at once.
  void SensitivityChanged();

  bool isRunning() const { return m_running; }
  bool StopRequested() const { return m_stopRequested; }
  bool AwaitingProbe() const { return m_awaitingProbe; }
  int CurrentPosition() const { return m_currentPosition; }
  double ContactThreshold() const { return m_contactThreshold; }
  double CountsPerMicroamp() const { return m_countsPerMicroamp; }

  static QString OfflineText();

private:
  enum class Attempt { Stored, Restart, Leave };
  void chooseFullScales();
  bool waitForContact(double &r);
  Attempt attempt();
  void waitForRelease();
  double factor() const;
  double readMean2();
  void showReading(double raw);

  AppContext &m_ctx;
  RunInstrument &m_inst;
  MeasurementView &m_view;

  bool m_running = false;
  bool m_stopRequested = false;
  bool m_awaitingProbe = false;
  bool m_wentOffline = false;
  int m_currentPosition = 1;
  double m_countsPerMicroamp = 20.0;
  double m_contactThreshold = 20.0;
  double m_xScale = 0, m_yScale = 0;
  int m_chartHeight = 179;
  double m_lastReading = 0;
  QPoint m_pen;
};
