#pragma once
// TSoMsag: the system's message and question box. Types 1..3 ask ("是"/"否"),
// types 4..6 inform ("确  定"); captions and icons by type. The result is true
// only for "是" or "确  定"; any other way of closing gives false.
#include <QDialog>

class Clock;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

class TSoMsag : public QDialog {
  Q_OBJECT
public:
  // clock may be null (no fade-out then).
  explicit TSoMsag(Clock *clock, QWidget *parent = nullptr);

  // Sets the box up for type and text; exec() then shows it.
  void setMessage(int type, const QString &text);
  // Shows the box modally and returns the answer.
  bool ask(int type, const QString &text);
  bool answer() const { return m_result; }
  int type() const { return m_type; }

  QPushButton *yesButton() const { return m_yes; }
  QPushButton *noButton() const { return m_no; }
  QPushButton *okButton() const { return m_ok; }

  static QString Caption(int type);

  void done(int r) override;

protected:
  void showEvent(QShowEvent *event) override;

private:
  Clock *m_clock;
  int m_type = 6;
  bool m_result = false;
  bool m_fading = false;
  QLabel *m_icons[3] = {};
  QPlainTextEdit *m_text = nullptr;
  QPushButton *m_yes = nullptr, *m_no = nullptr, *m_ok = nullptr;
  QTimer *m_repaint = nullptr;
};
