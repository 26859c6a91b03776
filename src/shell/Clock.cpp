#include "shell/Clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

void Clock::processPending() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

RealClock::RealClock(quint32 tickOffset)
    : m_start(QDateTime::currentMSecsSinceEpoch()), m_offset(tickOffset) {}

quint32 RealClock::tick() const {
  return quint32(QDateTime::currentMSecsSinceEpoch() - m_start) + m_offset;
}

QDateTime RealClock::now() const { return QDateTime::currentDateTime(); }

bool RealClock::waitUntil(const Condition &cond, int timeoutMs) {
  const quint32 start = tick();
  // The timer only wakes the blocking processEvents() below; the event
  // dispatcher sleeps until an event arrives, so no core is spun.
  QTimer wake;
  wake.setSingleShot(true);
  for (;;) {
    if (cond && cond())
      return true;
    const quint32 spent = elapsedSince(start);
    if (timeoutMs <= 0 || spent >= quint32(timeoutMs))
      return cond ? cond() : false;
    wake.start(int(quint32(timeoutMs) - spent));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void RealClock::callAfter(int ms, QObject *context, Action action) {
  QTimer::singleShot(qMax(0, ms), context ? context : this, std::move(action));
}

VirtualClock::VirtualClock(quint32 startTick, QDateTime startTime)
    : m_startTick(startTick), m_startTime(std::move(startTime)) {}

void VirtualClock::callAfter(int ms, QObject *context, Action action) {
  m_queue.emplace(std::make_pair(m_nowMs + qMax(0, ms), m_seq++),
                  Pending{QPointer<QObject>(context), context != nullptr, std::move(action)});
}

bool VirtualClock::runDue() {
  bool ran = false;
  while (!m_queue.empty() && m_queue.begin()->first.first <= m_nowMs) {
    auto node = m_queue.extract(m_queue.begin());
    Pending &p = node.mapped();
    if (!p.hasContext || p.context)
      p.action();
    ran = true;
  }
  return ran;
}

void VirtualClock::advance(int ms) {
  const qint64 target = m_nowMs + qMax(0, ms);
  for (;;) {
    processPending();
    runDue();
    processPending();
    if (m_queue.empty() || m_queue.begin()->first.first > target)
      break;
    m_nowMs = qMax(m_nowMs, m_queue.begin()->first.first);
  }
  m_nowMs = target;
  runDue();
  processPending();
}

bool VirtualClock::waitUntil(const Condition &cond, int timeoutMs) {
  const qint64 deadline = m_nowMs + qMax(0, timeoutMs);
  for (;;) {
    processPending();
    if (runDue())
      continue;
    if (cond && cond())
      return true;
    if (m_nowMs >= deadline)
      return cond ? cond() : false;
    qint64 next = deadline;
    if (!m_queue.empty())
      next = qMin(next, m_queue.begin()->first.first);
    m_nowMs = qMax(m_nowMs, next);
  }
}
