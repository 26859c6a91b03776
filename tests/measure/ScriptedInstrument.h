#pragma once
// A stand-in instrument for run tests that need exact readings: an operator who
// touches the point a while after the run starts waiting, holds a level that a
// function gives, and lifts the probe a while after the point is taken. Every
// transaction costs virtual time.
#include "measure/RunInstrument.h"
#include "shell/Clock.h"

#include <QList>
#include <QStringList>
#include <functional>

class ScriptedInstrument final : public RunInstrument {
public:
  struct Entry {
    qint64 t;
    QString command;
  };
  explicit ScriptedInstrument(VirtualClock &clock) : m_clock(clock) {}

  bool connected = true;
  bool newer = false;
  int standardReference = 4060, highReference = 4060;
  int transactionMs = 50;
  int nextTransactionMs = 0; // one slow transaction when set
  qint64 touchDelayMs = 300;
  qint64 liftDelayMs = 200;
  // The reading while the probe is on the point: ms since the touch, touch number (1-based).
  std::function<int(qint64, int)> level = [](qint64, int) { return 1000; };
  QList<int> forced; // readings returned before the operator's
  QList<Entry> log;
  QList<int> sounds;

  bool isConnected() const override { return connected; }
  void SendCommand(const QString &command) override {
    const qint64 now = m_clock.virtualMs();
    log.append({now, command});
    if (command == u"C0000" && m_last == u"F007F") {
      m_touchAt = now + touchDelayMs;
      m_liftAt = -1;
      ++m_touches;
    } else if (command == u"F00FF") {
      m_liftAt = now + liftDelayMs;
    }
    m_last = command;
    int ms = transactionMs;
    if (nextTransactionMs > 0) {
      ms = nextTransactionMs;
      nextTransactionMs = 0;
    }
    m_clock.sleep(ms);
  }
  int ReadProbe() override {
    const qint64 now = m_clock.virtualMs();
    SendCommand(QStringLiteral("D0000"));
    if (!forced.isEmpty())
      return forced.takeFirst();
    const bool on = m_touchAt >= 0 && now >= m_touchAt && (m_liftAt < 0 || now < m_liftAt);
    return on ? level(now - m_touchAt, m_touches) : 0;
  }
  void Sound(int n) override {
    sounds.append(n);
    SendCommand(QStringLiteral("S%1").arg(n));
  }
  bool NewerHardware() const override { return newer; }
  int StandardReference() const override { return standardReference; }
  int HighReference() const override { return highReference; }

  // The commands with runs of readings shown as one "D".
  QStringList compressed(bool withSounds = false) const {
    QStringList out;
    for (const Entry &e : log) {
      if (!withSounds && e.command.startsWith(u'S'))
        continue;
      const QString c = e.command == u"D0000" ? QStringLiteral("D") : e.command;
      if (c == u"D" && !out.isEmpty() && out.last() == u"D")
        continue;
      out.append(c);
    }
    return out;
  }
  int count(const QString &command) const {
    int n = 0;
    for (const Entry &e : log)
      n += e.command == command;
    return n;
  }

private:
  VirtualClock &m_clock;
  QString m_last;
  qint64 m_touchAt = -1, m_liftAt = -1;
  int m_touches = 0;
};
