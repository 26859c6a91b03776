#pragma once
// TAboutBox: product, maker and instrument information. Reads the serial
// number, the instrument's string 3 and the measurement counter (without
// incrementing it) each time it is shown.
#include <QDialog>

class AppContext;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(AppContext &ctx, QWidget *parent = nullptr);

  // "[ " + the counter with "%8.0n" + " ]".
  static QString CounterText(double count, const QLocale &locale);

  QLabel *serialLabel() const { return m_serial; }
  QLabel *hardwareLabel() const { return m_hardware; }
  QLabel *counterLabel() const { return m_counter; }
  QLabel *webLabel() const { return m_web; }
  QPushButton *okButton() const { return m_ok; }

  void done(int r) override;

protected:
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  AppContext &m_ctx;
  QLabel *m_serial = nullptr, *m_hardware = nullptr, *m_counter = nullptr, *m_web = nullptr;
  QPushButton *m_ok = nullptr;
  bool m_fading = false;
};
