#pragma once
// TSodec: the measurement window. Shows the subject, the point to measure with
// its picture, the live displays, the balance chart and the values grid, and
// starts the run and the windows that work on the measurement on screen.
#include "measure/MeasurementView.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <memory>

class AppContext;
class MeasurementRun;
class QLabel;
class QMenu;
class QProgressBar;
class QSlider;
class QSpinBox;
class QTableWidget;
class QToolButton;
class RunInstrument;

// The paint box of the balance chart: the frame and the run's trace are drawn
// into an image that painting copies to the screen.
class BalanceChartBox : public QWidget {
  Q_OBJECT
public:
  explicit BalanceChartBox(QWidget *parent = nullptr);
  void drawFrame(int spanMs, bool runActive);
  void drawTrace(const QPoint &from, const QPoint &to);
  const QImage &image() const { return m_image; }

protected:
  void paintEvent(QPaintEvent *) override;

private:
  QImage m_image;
};

// The status lamp beside the chart.
class RunLamp : public QWidget {
  Q_OBJECT
public:
  explicit RunLamp(QWidget *parent = nullptr);
  void setColour(const QColor &c);
  QColor colour() const { return m_colour; }

protected:
  void paintEvent(QPaintEvent *) override;

private:
  QColor m_colour;
};

class TSodec : public QDialog, private MeasurementView {
  Q_OBJECT
public:
  // The windows this one opens; each arrives with its own window.
  enum SubWindow { Analysis, Save, Records, ManualEntry, Compare, SubWindowCount };
  using WindowFactory = std::function<std::unique_ptr<QDialog>(AppContext &, QWidget *parent)>;
  // Tool buttons 1..9, left to right.
  enum Button { MeasureButton = 1, StopButton, AnalysisButton, SaveButton, ReadButton, ClearButton, InputButton,
                CompareButton, ExitButton };

  // Without an instrument of its own the window measures through the link.
  TSodec(AppContext &ctx, QWidget *parent = nullptr, RunInstrument *instrument = nullptr);
  ~TSodec() override;

  void setWindowFactory(SubWindow w, WindowFactory factory);
  QToolButton *toolButton(int k) const { return m_buttons.at(k); }
  MeasurementRun &run() const { return *m_run; }
  const QImage &chartImage() const;

  // Button handlers (public so tests and the tool bar share them).
  void RunMeasurement();
  void StopMeasurement();
  void ClearData();
  void OpenAnalysis();
  void OpenSave();
  void OpenRecords();
  void OpenManualEntry();
  void OpenCompare();
  void SetSoundMode(int mode);
  void SetPictureStyle(int style);
  void SetMaleSubject(bool male);

protected:
  void showEvent(QShowEvent *e) override;
  void closeEvent(QCloseEvent *e) override;
  void reject() override;

private:
  // MeasurementView
  QSize chartSize() const override;
  void ShowPosition(int position) override;
  void RedrawGrid() override;
  void DrawBalanceChart() override;
  void TraceLine(const QPoint &from, const QPoint &to) override;
  void ShowAverage(const QString &text) override;
  void ShowStatus(const QString &text) override;
  void ShowReading(const QString &value, const QString &corrected) override;
  void ShowRemainingTime(const QString &text) override;
  void ShowProgress(int percent) override;
  void ShowValueBars(int valuePercent, int correctedPercent) override;
  void ShowSampleCount(const QString &text) override;
  void ShowReleaseCountdown(bool shown, const QString &text) override;
  void SetLamp(Lamp lamp) override;
  void WritePointCell(const QString &text) override;
  void ShowMeasurementTime(const QString &date, const QString &time, const QString &age) override;
  void MeasurementCleared() override;
  void RunStarted() override;
  void RunEnded() override;

  void buildUi();
  QWidget *buildToolBar();
  void FormShow();
  void loadPicture();
  void showSubject();
  void showModePicture();
  void updateSexButton();
  void applyDataButtons(bool measureAndRead);
  void setSensitivityPosition(int position);
  void gridCellChosen(int row, int column);
  bool instrumentReady();
  bool openSubWindow(SubWindow w);
  void blink(quint64 generation);

  AppContext &m_ctx;
  std::unique_ptr<RunInstrument> m_ownInstrument;
  RunInstrument *m_instrument;
  std::unique_ptr<MeasurementRun> m_run;
  std::array<WindowFactory, SubWindowCount> m_factories;

  std::array<QToolButton *, 10> m_buttons{};
  QLabel *m_custNo = nullptr, *m_name = nullptr, *m_birth = nullptr, *m_tel = nullptr, *m_ageNow = nullptr;
  QToolButton *m_sexButton = nullptr;
  QLabel *m_positionText = nullptr, *m_meridianText = nullptr, *m_pointText = nullptr;
  QLabel *m_picture = nullptr, *m_pictureCaption1 = nullptr, *m_pictureCaption2 = nullptr;
  QWidget *m_pictureGroup = nullptr, *m_pictureArea = nullptr;
  QLabel *m_valueDisplay = nullptr, *m_correctedDisplay = nullptr, *m_timeDisplay = nullptr, *m_release = nullptr;
  QProgressBar *m_timeBar = nullptr, *m_valueBar = nullptr, *m_correctedBar = nullptr;
  QSpinBox *m_sensitivitySpin = nullptr;
  QSlider *m_sensitivityTrack = nullptr;
  QLabel *m_sensitivityDisplay = nullptr;
  QToolButton *m_soundButton = nullptr, *m_pictureStyleButton = nullptr;
  BalanceChartBox *m_chart = nullptr;
  RunLamp *m_lamp = nullptr;
  QLabel *m_sampleCount = nullptr;
  QLabel *m_modePicture = nullptr;
  QTableWidget *m_grid = nullptr;
  QLabel *m_average = nullptr, *m_date = nullptr, *m_time = nullptr, *m_age = nullptr;
  QLabel *m_statusText = nullptr, *m_pictureNotice = nullptr;

  int m_pointRow = 0, m_pointColumn = 0; // the cell the run writes into
  bool m_settingCell = false;
  bool m_syncingSensitivity = false;
  bool m_closeAfterRun = false;
  quint64 m_blinkGeneration = 0;
  bool m_blinkOn = false;
};
