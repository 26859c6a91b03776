#pragma once
// One clock for the whole program: the millisecond tick, the local time and the
// single wait primitive. Every wait (instrument reply, probe contact, animation)
// goes through waitUntil(), so tests and the simulator can run in virtual time.
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

class Clock : public QObject {
  Q_OBJECT
public:
  using Condition = std::function<bool()>;
  using Action = std::function<void()>;

  // 32-bit millisecond tick. Differences must be taken with elapsedSince() so a
  // wrap of the counter between two readings neither ends nor stretches a wait.
  virtual quint32 tick() const = 0;
  static quint32 elapsed(quint32 from, quint32 to) { return to - from; }
  quint32 elapsedSince(quint32 from) const { return elapsed(from, tick()); }

  virtual QDateTime now() const = 0;

  // Waits until cond() holds or timeoutMs have passed, processing events all the
  // while. Returns cond()'s final value. cond may be empty (a plain pause).
  virtual bool waitUntil(const Condition &cond, int timeoutMs) = 0;
  void sleep(int ms) { waitUntil({}, ms); }

  // Runs action after ms milliseconds of this clock's time, on this thread's
  // event loop. The action is dropped if context is destroyed first.
  virtual void callAfter(int ms, QObject *context, Action action) = 0;

  // Processes pending events once without advancing time.
  virtual void processPending();
};

class RealClock final : public Clock {
  Q_OBJECT
public:
  explicit RealClock(quint32 tickOffset = 0);
  quint32 tick() const override;
  QDateTime now() const override;
  bool waitUntil(const Condition &cond, int timeoutMs) override;
  void callAfter(int ms, QObject *context, Action action) override;

private:
  qint64 m_start;
  quint32 m_offset;
};

// Time advances only when the program waits and nothing else is pending: it then
// jumps to the next scheduled action or to the wait's deadline, whichever is first.
class VirtualClock final : public Clock {
  Q_OBJECT
public:
  explicit VirtualClock(quint32 startTick = 0,
                        QDateTime startTime = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
  quint32 tick() const override { return quint32(m_startTick + m_nowMs); }
  qint64 virtualMs() const { return m_nowMs; }
  QDateTime now() const override { return m_startTime.addMSecs(m_nowMs); }
  bool waitUntil(const Condition &cond, int timeoutMs) override;
  void callAfter(int ms, QObject *context, Action action) override;
  void advance(int ms); // runs due actions on the way
  void setNow(const QDateTime &t) { m_startTime = t.addMSecs(-m_nowMs); }

private:
  struct Pending {
    QPointer<QObject> context;
    bool hasContext;
    Action action;
  };
  bool runDue();
  quint32 m_startTick;
  QDateTime m_startTime;
  qint64 m_nowMs = 0;
  quint64 m_seq = 0;
  std::multimap<std::pair<qint64, quint64>, Pending> m_queue;
};
