#pragma once
// The print job in progress, shared by the report printing and the print
// progress box. Report painting checks isAborted() after each section and
// skips the rest once the user has pressed "打印中断"; an aborted job is not
// ended, the printer's own abort (set with setAbortHandler) has discarded it.
#include <QObject>
#include <QString>
#include <functional>

class PrintJob : public QObject {
  Q_OBJECT
public:
  explicit PrintJob(QObject *parent = nullptr) : QObject(parent) {}

  // The job has started on the printer: the progress box shows itself.
  void start(const QString &title, std::function<void()> abortHandler = {});
  // Called before the printer's job is ended (or after it was aborted): the
  // progress box hides itself.
  void finish();
  // The user's request to stop: runs the printer's abort once.
  void abort();

  bool isActive() const { return m_active; }
  bool isAborted() const { return m_aborted; }
  const QString &title() const { return m_title; }

signals:
  void started();
  void finished();
  void aborted();

private:
  bool m_active = false;
  bool m_aborted = false;
  QString m_title;
  std::function<void()> m_abortHandler;
};
