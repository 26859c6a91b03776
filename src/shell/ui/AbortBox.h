#pragma once
// TAbortBox: the print progress box. Created once at program start; it shows
// itself when a print job starts and hides before the job ends. "打印中断"
// aborts the job.
#include <QDialog>

class PrintJob;
class QPushButton;

class TAbortBox : public QDialog {
  Q_OBJECT
public:
  explicit TAbortBox(PrintJob &job, QWidget *parent = nullptr);
  QPushButton *abortButton() const { return m_button; }

protected:
  void showEvent(QShowEvent *event) override;

private:
  PrintJob &m_job;
  QPushButton *m_button = nullptr;
};
