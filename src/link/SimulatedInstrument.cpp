#include "link/SimulatedInstrument.h"

#include "link/HidController.h"
#include "link/Link.h"
#include "link/SimulatedController.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"

#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#ifdef __linux__
#include <sys/prctl.h>
#endif

using namespace LinkProtocol;

// Real-time reply timing: a thread sleeps until each reply is due and posts it
// to the UI thread, as the real backend's reader thread posts input reports.
// Timers of the UI thread's event loop would add their own coarseness.
class ReplyPump {
public:
  using Clock = std::chrono::steady_clock;
  explicit ReplyPump(QObject *sink) : m_sink(sink), m_thread([this] { run(); }) {}
  ~ReplyPump() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_cv.notify_all();
    m_thread.join();
  }
  void post(Clock::time_point due, std::function<void()> fn) {
    {
      std::lock_guard lock(m_mutex);
      m_queue.push_back({due, std::move(fn)});
    }
    m_cv.notify_all();
  }

private:
  void run() {
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0); // the default 50 us slack is 5 % of a 1 ms reply
#endif
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_cv.wait(lock, [this] { return m_stop || !m_queue.empty(); });
      if (m_stop)
        return;
      const auto due = m_queue.front().first;
      if (Clock::now() < due) {
        m_cv.wait_until(lock, due, [this] { return m_stop; });
        if (m_stop)
          return;
        continue; // the queue is in order of posting, which is the order of due times
      }
      auto fn = std::move(m_queue.front().second);
      m_queue.pop_front();
      QMetaObject::invokeMethod(m_sink, std::move(fn), Qt::QueuedConnection);
    }
  }

  QObject *m_sink;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::deque<std::pair<Clock::time_point, std::function<void()>>> m_queue;
  bool m_stop = false;
  std::thread m_thread;
};

namespace {
bool isHex4(const QString &s) {
  return s.size() == 4 && HexValue(s, -1) >= 0;
}
} // namespace

void ScriptedOperator::phaseChanged(SimulatedInstrument &sim, SimPhase phase) {
  switch (phase) {
  case SimPhase::WaitingForTouch:
  case SimPhase::CalibrationWaiting: {
    if (m_contacts.isEmpty())
      return;
    const ProbeContact c = m_contacts.takeFirst();
    sim.cancelOperatorSteps();
    m_holdUntilTaken = false;
    sim.scheduleOperatorStep(c.delayMs, [this, &sim, c] {
      sim.touch(c.level, c.noise);
      for (const ProbeContact::Loss &loss : c.losses) {
        sim.scheduleOperatorStep(loss.atMs, [&sim] { sim.lift(); });
        sim.scheduleOperatorStep(loss.atMs + loss.forMs, [&sim, c] { sim.touch(c.level, c.noise); });
      }
      if (c.faultAtMs >= 0) {
        sim.scheduleOperatorStep(c.faultAtMs, [&sim] { sim.setFault(true); });
        sim.scheduleOperatorStep(c.faultAtMs + c.faultForMs, [&sim] { sim.setFault(false); });
      }
      if (c.holdMs >= 0) {
        sim.scheduleOperatorStep(c.holdMs, [&sim] { sim.lift(); });
      } else {
        m_holdUntilTaken = true;
        m_liftDelayMs = c.liftDelayMs;
      }
    });
    break;
  }
  case SimPhase::PointTaken:
  case SimPhase::CalibrationFailed:
  case SimPhase::CalibrationError:
    if (m_holdUntilTaken) {
      m_holdUntilTaken = false;
      sim.scheduleOperatorStep(m_liftDelayMs, [&sim] { sim.lift(); });
    }
    break;
  default: break;
  }
}

SimulatedInstrument::SimulatedInstrument(Clock &clock, Hardware hardware, QObject *parent)
    : QObject(parent), m_clock(clock), m_startTick(clock.tick()), m_hardware(hardware),
      m_path(QStringLiteral("sim:%1").arg(quintptr(this), 0, 16)), m_random(20260105) {
  m_string3 = hardware == Hardware::Newer ? QString::fromLatin1(kNewerHardware)
                                          : QStringLiteral("SOVA5-20040312-A01");
  setSerial(0x5A0611230047ULL);
  setCounter(0x000123);
  setReferences(3950, 4010);
  m_regs[0x0D] = 30;
  m_regs[0x0E] = 29;
  m_regs[0x0F] = 30;
  m_regs[0x10] = 29;
  if (!qobject_cast<VirtualClock *>(&m_clock))
    m_pump = std::make_unique<ReplyPump>(this);
}

SimulatedInstrument::~SimulatedInstrument() {
  m_pump.reset();
  if (m_controller && m_controller != m_ownController.get()) {
    m_controller->detach(this);
    if (m_plugged)
      m_controller->notifyChange();
  }
  // Its devices (and the link's pointer to one) go with the controller, while
  // this object is still whole.
  m_ownController.reset();
}

SimulatedController &SimulatedInstrument::controller() {
  if (m_controller)
    return *m_controller;
  if (!m_ownController)
    m_ownController = std::make_unique<SimulatedController>();
  m_controller = m_ownController.get();
  return *m_controller;
}

void SimulatedInstrument::plugInto(AppContext &ctx, bool connectNow) {
  Link &link = ctx.link();
  link.setController(&controller());
  if (!connectNow) {
    plugIn(); // a handler already installed sees the arrival
    return;
  }
  if (!m_plugged)
    record(TraceEntry::Plug, QStringLiteral("plugged in"));
  m_plugged = true;
  controller().attach(this);
  link.InstallDeviceChangeHandler();
}

void SimulatedInstrument::plugIn(SimulatedController &c) {
  if (m_controller && m_controller != &c)
    m_controller->detach(this);
  m_controller = &c;
  plugIn();
}

void SimulatedInstrument::plugIn() {
  SimulatedController &c = controller();
  c.attach(this);
  if (m_plugged)
    return;
  m_plugged = true;
  record(TraceEntry::Plug, QStringLiteral("plugged in"));
  c.notifyChange();
}

void SimulatedInstrument::unplug() {
  if (!m_plugged)
    return;
  m_plugged = false;
  ++m_flushGeneration; // replies in flight are lost with the device
  record(TraceEntry::Plug, QStringLiteral("removed"));
  if (m_controller)
    m_controller->notifyChange();
}

void SimulatedInstrument::setIds(quint16 vendorId, quint16 productId) {
  m_vendorId = vendorId;
  m_productId = productId;
}

void SimulatedInstrument::setReportLengths(int inputLength, int outputLength) {
  m_inputLength = qMax(1, inputLength);
  m_outputLength = qMax(1, outputLength);
}

void SimulatedInstrument::setSerial(quint64 serial48) {
  for (int i = 0; i < 6; ++i)
    m_regs[i] = quint8(serial48 >> (8 * (5 - i)));
}

QString SimulatedInstrument::serialText() const {
  QString s;
  for (int i = 0; i < 6; ++i)
    s += ByteHex(m_regs[i]);
  return s;
}

void SimulatedInstrument::setCounter(int count) {
  m_regs[0x06] = quint8(count >> 16);
  m_regs[0x07] = quint8(count >> 8);
  m_regs[0x08] = quint8(count);
}

int SimulatedInstrument::counter() const {
  return (m_regs[0x06] << 16) | (m_regs[0x07] << 8) | m_regs[0x08];
}

void SimulatedInstrument::setReferences(int standard, int high) {
  m_regs[0x0B] = quint8(standard >> 8);
  m_regs[0x0C] = quint8(standard);
  m_regs[0x09] = quint8(high >> 8);
  m_regs[0x0A] = quint8(high);
}

void SimulatedInstrument::touch(int level, int noise) {
  m_touching = true;
  m_level = level;
  m_noise = qMax(0, noise);
  record(TraceEntry::Probe, QStringLiteral("touch %1").arg(level));
}

void SimulatedInstrument::lift() {
  if (!m_touching)
    return;
  m_touching = false;
  record(TraceEntry::Probe, QStringLiteral("lift"));
}

int SimulatedInstrument::currentReading() {
  int level = m_touching ? m_level : m_idleLevel;
  if (m_touching && m_calibrating && m_hardware == Hardware::Newer)
    level += (m_gain - 20) * m_gainSlope;
  const int noise = m_touching ? m_noise : 0;
  if (noise > 0)
    level += std::uniform_int_distribution<int>(-noise, noise)(m_random);
  return qBound(0, level, 4095);
}

void SimulatedInstrument::setOperator(std::unique_ptr<SimOperator> op) {
  cancelOperatorSteps();
  m_operator = std::move(op);
}

void SimulatedInstrument::queueContacts(const QList<ProbeContact> &contacts) {
  auto *scripted = dynamic_cast<ScriptedOperator *>(m_operator.get());
  if (!scripted) {
    setOperator(std::make_unique<ScriptedOperator>());
    scripted = static_cast<ScriptedOperator *>(m_operator.get());
  }
  for (const ProbeContact &c : contacts)
    scripted->add(c);
}

void SimulatedInstrument::scheduleOperatorStep(int ms, std::function<void()> action) {
  const quint64 generation = m_operatorGeneration;
  m_clock.callAfter(ms, this, [this, generation, action = std::move(action)] {
    if (generation == m_operatorGeneration)
      action();
  });
}

QStringList SimulatedInstrument::commands() const {
  QStringList out;
  for (const TraceEntry &e : m_trace)
    if (e.kind == TraceEntry::Command)
      out.append(e.text);
  return out;
}

QStringList SimulatedInstrument::replies() const {
  QStringList out;
  for (const TraceEntry &e : m_trace)
    if (e.kind == TraceEntry::Reply)
      out.append(e.text);
  return out;
}

QStringList SimulatedInstrument::sounds() const {
  QStringList out;
  for (const TraceEntry &e : m_trace)
    if (e.kind == TraceEntry::Sound)
      out.append(e.text);
  return out;
}

void SimulatedInstrument::record(TraceEntry::Kind kind, const QString &text) {
  // A demo runs for hours: keep the trace bounded, dropping the oldest tenth.
  if (m_trace.size() >= m_traceLimit)
    m_trace.remove(0, qMax(qsizetype(1), m_traceLimit / 10));
  m_trace.append(TraceEntry{qint64(Clock::elapsed(m_startTick, m_clock.tick())), kind, text});
}

void SimulatedInstrument::setHandle(HidDevice *handle) {
  m_handle = handle;
}

void SimulatedInstrument::flushPending() {
  ++m_flushGeneration;
}

bool SimulatedInstrument::receiveReport(const QByteArray &report) {
  m_lastReport = report;
  if (m_failWrites > 0) {
    --m_failWrites;
    record(TraceEntry::Fault, QStringLiteral("write failed"));
    return false;
  }
  // The device reads as much as its output report declares.
  const QString command = DecodeOutputReport(report.left(m_outputLength), m_key);
  record(TraceEntry::Command, command);
  if (command.startsWith(u'S'))
    record(TraceEntry::Sound, command);
  emit commandReceived(command);

  QString reply = answer(command);
  if (m_unplugAfterMs >= 0) {
    const int after = m_unplugAfterMs;
    m_unplugAfterMs = -1;
    record(TraceEntry::Fault, QStringLiteral("removal in %1 ms").arg(after));
    m_clock.callAfter(after, this, [this] { unplug(); });
    return true;
  }
  if (m_silent) {
    record(TraceEntry::Fault, QStringLiteral("silent"));
    return true;
  }
  if (m_z0000 > 0) {
    --m_z0000;
    reply = QStringLiteral("Z0000");
  }
  QByteArray data;
  if (!m_injected.isEmpty()) {
    const Injected inj = m_injected.takeFirst();
    if (inj.raw) {
      data = inj.bytes;
      reply = QString::fromLatin1(inj.bytes);
    } else {
      reply = QString::fromLatin1(inj.bytes);
      data = BuildReplyData(reply, m_key, m_inputLength);
    }
  } else {
    data = BuildReplyData(reply, m_key, m_inputLength);
  }
  record(TraceEntry::Reply, reply);
  deliver(data);
  return true;
}

void SimulatedInstrument::deliver(const QByteArray &data) {
  const quint64 generation = m_flushGeneration;
  auto emitReport = [this, generation, data] {
    if (generation != m_flushGeneration || !m_handle || !m_plugged)
      return;
    emit m_handle->inputReport(0, data);
  };
  if (m_pump) {
    m_pump->post(ReplyPump::Clock::now() + std::chrono::milliseconds(m_latencyMs), std::move(emitReport));
  } else {
    m_clock.callAfter(m_latencyMs, this, [this, emitReport = std::move(emitReport)] {
      QMetaObject::invokeMethod(this, emitReport, Qt::QueuedConnection);
    });
  }
}

QString SimulatedInstrument::answer(const QString &command) {
  // Every command is a letter and four hexadecimal digits; anything else is refused.
  if (command.size() != 5 || !isHex4(command.mid(1)))
    return QStringLiteral("Z0000");
  const QChar letter = command.at(0);
  if (letter != u'C' && letter != u'F')
    m_lastOutput.clear();
  switch (letter.unicode()) {
  case 'D':
    if (m_fault)
      return QStringLiteral("Z0001");
    return QStringLiteral("D0%1").arg(currentReading(), 3, 16, QLatin1Char('0')).toUpper();
  case 'R': {
    const int r = HexValue(command.mid(1, 2), 0);
    return u'R' + command.mid(1, 2) + ByteHex(m_regs[r]);
  }
  case 'W': m_regs[HexValue(command.mid(1, 2), 0)] = quint8(HexValue(command.mid(3, 2), 0)); return command;
  case 'G':
    if (!command.startsWith(QLatin1String("G00")))
      return QStringLiteral("Z0000");
    if (m_hardware == Hardware::Newer) {
      m_gain = HexValue(command.mid(3, 2), 20);
      m_regs[0x0E] = quint8(m_gain);
      m_regs[0x10] = quint8(m_gain);
    }
    return command;
  case 'X':
    m_calibrating = false;
    if (m_phase != SimPhase::Idle) {
      m_phase = SimPhase::Idle;
      emit phaseChanged(m_phase);
      if (m_operator)
        m_operator->phaseChanged(*this, m_phase);
    }
    return command;
  case 'N': m_calibrating = true; return command;
  case 'I': m_calibrating = false; return command;
  case 'C':
  case 'F': setOutput(command); return command;
  case 'L':
  case 'K':
  case 'A':
  case 'S': return command;
  default: return QStringLiteral("Z0000");
  }
}

void SimulatedInstrument::setOutput(const QString &command) {
  // The outputs are set in pairs; a pair is two output commands in a row.
  if (m_lastOutput.isEmpty()) {
    m_lastOutput = command;
    return;
  }
  const QString pair = m_lastOutput + u',' + command;
  m_lastOutput.clear();
  SimPhase next = m_phase;
  if (!m_calibrating) {
    if (pair == QLatin1String("F007F,C0000"))
      next = SimPhase::WaitingForTouch;
    else if (pair == QLatin1String("C007F,F0000"))
      next = SimPhase::Reading;
    else if (pair == QLatin1String("F00FF,C0000"))
      next = SimPhase::PointTaken;
  } else {
    if (pair == QLatin1String("C0000,F007F"))
      next = SimPhase::CalibrationWaiting;
    else if (pair == QLatin1String("F007F,C007F"))
      next = SimPhase::CalibrationConfirming;
    else if (pair == QLatin1String("F0000,C007F"))
      next = SimPhase::CalibrationSampling;
    else if (pair == QLatin1String("F00FF,C0000"))
      next = SimPhase::PointTaken;
    else if (pair == QLatin1String("C00FF,F0000"))
      next = SimPhase::CalibrationFailed;
    else if (pair == QLatin1String("C00FF,F00FF"))
      next = SimPhase::CalibrationError;
  }
  m_phase = next;
  emit phaseChanged(m_phase);
  if (m_operator)
    m_operator->phaseChanged(*this, m_phase);
}
