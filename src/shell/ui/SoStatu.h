#pragma once
// TSoStatu: the small borderless start-up status window. It runs the start-up
// check (StartupCheck) on its first activation and shows its progress; it
// closes itself, fading out, when the system is ready, and otherwise waits for
// "离  开".
#include "shell/StartupView.h"

#include <QDialog>
#include <array>
#include <memory>

class AppContext;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class StartupCheck;

// One LED lamp of the status row: a colour, lit or dark.
class StatusLamp : public QWidget {
  Q_OBJECT
public:
  explicit StatusLamp(QWidget *parent = nullptr);
  void setColour(const QColor &c);
  void setOn(bool on);
  QColor colour() const { return m_colour; }
  bool isOn() const { return m_on; }
  QSize sizeHint() const override { return {18, 18}; }

protected:
  void paintEvent(QPaintEvent *) override;

private:
  QColor m_colour = Qt::green;
  bool m_on = false;
};

class TSoStatu : public QDialog, public StartupView {
  Q_OBJECT
public:
  explicit TSoStatu(AppContext &ctx, QWidget *parent = nullptr);
  ~TSoStatu() override;

  // Shows the window modally, runs the check and returns SystemReady.
  static bool RunCheck(AppContext &ctx, QWidget *parent);

  // Runs the check (once); called on the first activation.
  void runCheck();
  bool finished() const { return m_finished; }

  // StartupView
  void setLightColour(int k, Colour colour) override;
  void setLightOn(int k, bool on) override;
  void setRowLabel(const QString &text) override;
  void setProgress(int percent) override;
  void setFields(const QString &model, const QString &serial, const QString &hardware) override;
  void setStatusText(const QString &text) override;

  StatusLamp *lamp(int k) const { return m_lamps.at(k); }
  StatusLamp *blinkLamp() const { return m_blink; }
  QProgressBar *progressBar() const { return m_progress; }
  QLineEdit *field(int i) const { return m_fields.at(i); } // 0 model, 1 serial, 2 hardware
  QString statusText() const;
  QString rowLabel() const;
  QPushButton *exitButton() const { return m_exit; }

protected:
  void showEvent(QShowEvent *event) override;
  bool event(QEvent *event) override;
  void done(int r) override;

private:
  void blink();
  void fadeOut();

  AppContext &m_ctx;
  std::unique_ptr<StartupCheck> m_check;
  std::array<StatusLamp *, 8> m_lamps{};
  std::array<QLineEdit *, 3> m_fields{};
  StatusLamp *m_blink = nullptr;
  QLabel *m_rowLabel = nullptr, *m_status = nullptr;
  QProgressBar *m_progress = nullptr;
  QPushButton *m_exit = nullptr;
  bool m_started = false, m_finished = false, m_closing = false, m_blinking = false;
};
