#include "shell/PrintJob.h"

void PrintJob::start(const QString &title, std::function<void()> abortHandler) {
  m_title = title;
  m_aborted = false;
  m_active = true;
  m_abortHandler = std::move(abortHandler);
  emit started();
}

void PrintJob::finish() {
  if (!m_active)
    return;
  m_active = false;
  m_abortHandler = {};
  emit finished();
}

void PrintJob::abort() {
  if (!m_active || m_aborted)
    return;
  m_aborted = true;
  if (m_abortHandler)
    m_abortHandler();
  emit aborted();
}
