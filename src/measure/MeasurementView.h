#pragma once
// What a measurement run shows while it runs. The measurement window
// implements it; headless runs use the empty defaults.
#include <QPoint>
#include <QSize>
#include <QString>

class MeasurementView {
public:
  enum class Lamp { Off, BlinkingGreen, Red, DarkGreen };
  virtual ~MeasurementView() = default;

  virtual QSize chartSize() const { return QSize(727, 179); }

  // The point of the run's current position: picture, limb, meridian and point
  // names; remembers the grid cell the value goes into and shows the picture area.
  virtual void ShowPosition(int /*position*/) {}
  virtual void RedrawGrid() {}
  virtual void DrawBalanceChart() {} // the empty frame; the trace so far is lost
  virtual void TraceLine(const QPoint & /*from*/, const QPoint & /*to*/) {}

  virtual void ShowAverage(const QString & /*text*/) {}
  virtual void ShowStatus(const QString & /*text*/) {}
  virtual void ShowReading(const QString & /*value*/, const QString & /*corrected*/) {}
  virtual void ShowRemainingTime(const QString & /*text*/) {}
  virtual void ShowProgress(int /*percent*/) {}
  virtual void ShowValueBars(int /*valuePercent*/, int /*correctedPercent*/) {}
  virtual void ShowSampleCount(const QString & /*text*/) {}
  virtual void ShowReleaseCountdown(bool /*shown*/, const QString & /*text*/) {}
  virtual void SetLamp(Lamp) {}
  virtual void WritePointCell(const QString & /*text*/) {} // the cell ShowPosition remembered
  virtual void ShowMeasurementTime(const QString & /*date*/, const QString & /*time*/, const QString & /*age*/) {}

  // The clearing question at the start was answered "是".
  virtual void MeasurementCleared() {}
  // Grid enabled and focused with its active-cell highlight; every tool button
  // but stop disabled.
  virtual void RunStarted() {}
  // Picture hidden, highlight off, labels cleared, buttons back by their rules.
  virtual void RunEnded() {}
};
