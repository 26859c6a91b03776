#pragma once
// The instrument simulator: the device side of the protocol behind the same
// HID controller interface as the real backend. Its replies reach the link as
// queued events after the reply latency, on the clock it was given: virtual
// time with a VirtualClock (tests), real time otherwise (the demo, benchmarks;
// there a thread of its own times the replies and posts them, as the real
// backend's reader thread does).
//
// Test-facing API, in short:
//
//   VirtualClock clock; ScriptedPrompter prompter; RecordingLauncher launcher;
//   AppContext ctx(&clock, &prompter, &launcher);
//   SimulatedInstrument sim(clock);            // newer hardware ("SOVA6-20051706-A02")
//   sim.plugInto(ctx);                         // connected now (no balloon before the
//                                              // first activation); with a TSoForm use
//                                              // plugInto(ctx, false): the window connects
//                                              // (connecting first would read the identity twice)
//   ctx.link().ReadProbe();                    // 0: nobody touches the probe
//   sim.touch(1000, 5);                        // level 1000, noise +-5 counts; sim.lift()
//   sim.queueContacts({{.level = 1200, .holdMs = 3000}});  // one per "waiting for touch"
//   sim.setOperator(std::make_unique<DemoOperator>(seed)); // or a whole plausible subject
//   sim.commands();                            // every command received, in order
//   sim.sounds(); sim.replies(); sim.trace(); sim.lastReport(); sim.clearTrace();
//   sim.unplug(); sim.plugIn(); clock.advance(1);  // removal and arrival are queued events
//
// ProbeContact: level, noise, delayMs (from the waiting phase), holdMs (< 0: until the
// point is taken, then liftDelayMs), losses {atMs, forMs} after the touch, and a probe
// fault window faultAtMs/faultForMs. A second instrument on the same controller:
// SimulatedInstrument other(clock); other.plugIn(sim.controller());
//
// Identity and reports: SimulatedInstrument(clock, Hardware::Older) for the
// older hardware; setIndexedString3(), setReportLengths(in, out), setLatency(ms)
// (default 10 ms), setRegister()/reg(), setCounter(), setReferences().
//
// Faults: setSilent(true) answers nothing; replyZ0000(n) rejects the next n
// commands; failWrites(n) makes the next n writes fail; unplugDuringNextWait(ms)
// swallows the next command and removes the instrument ms later; injectReply()
// replaces the next reply by raw bytes (malformed replies) and injectReplyText()
// by a text sent the ordinary way (scrambled when short).
//
// Probe: touch(level, noise), lift(), setFault(on) ("Z0001" to "D0000"). While
// a calibration runs ("N0000" until "X0000") a contact reads its level plus
// gainSlope() counts per gain step above 20 on newer hardware (so the reading
// follows "G00"+byte); the older hardware reads the plain level.
//
// Operators react to the output phases the program sets with the C and F
// commands, as a person watching the instrument's lamps would: "F007F","C0000"
// is waiting for a touch; "F00FF","C0000" the point taken (lift). A scripted
// operator (queueContacts) takes one ProbeContact per waiting phase.
#include "link/HidController.h"
#include "link/Protocol.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <random>

class AppContext;
class Clock;
class SimulatedController;
class SimulatedInstrument;
class ReplyPump;

// The phases the program shows with outputs C and F.
enum class SimPhase {
  Idle,
  WaitingForTouch,       // measurement: "F007F","C0000"
  Reading,               // measurement: "C007F","F0000"
  PointTaken,            // measurement point taken, or calibration within tolerance: "F00FF","C0000"
  CalibrationWaiting,    // "C0000","F007F"
  CalibrationConfirming, // "F007F","C007F"
  CalibrationSampling,   // "F0000","C007F"
  CalibrationFailed,     // out of tolerance "C00FF","F0000"
  CalibrationError,      // "C00FF","F00FF"
};

// One touch of the probe, as a scripted operator makes it.
struct ProbeContact {
  int level = 1000;      // raw count while touching
  int noise = 0;         // +- counts, evenly spread
  int delayMs = 300;     // from the waiting phase to the touch
  int holdMs = 3000;     // from the touch to the lift; < 0: until the point is taken
  int liftDelayMs = 200; // with holdMs < 0: from the point taken to the lift
  struct Loss {
    int atMs;  // after the touch
    int forMs; // lifted that long
  };
  QList<Loss> losses;
  int faultAtMs = -1; // after the touch: the probe reports a fault ("Z0001")...
  int faultForMs = 0; // ...for this long
};

class SimOperator {
public:
  virtual ~SimOperator() = default;
  virtual void phaseChanged(SimulatedInstrument &sim, SimPhase phase) = 0;
};

// Takes one contact from its list per waiting phase (measurement or calibration).
class ScriptedOperator : public SimOperator {
public:
  explicit ScriptedOperator(QList<ProbeContact> contacts = {}) : m_contacts(std::move(contacts)) {}
  void add(const ProbeContact &c) { m_contacts.append(c); }
  int remaining() const { return int(m_contacts.size()); }
  void phaseChanged(SimulatedInstrument &sim, SimPhase phase) override;

private:
  QList<ProbeContact> m_contacts;
  bool m_holdUntilTaken = false;
  int m_liftDelayMs = 0;
};

class SimulatedInstrument : public QObject {
  Q_OBJECT
public:
  enum class Hardware { Newer, Older };
  struct TraceEntry {
    enum Kind { Command, Reply, Sound, Probe, Plug, Fault };
    qint64 ms; // clock ticks since the simulator was made
    Kind kind;
    QString text;
  };

  explicit SimulatedInstrument(Clock &clock, Hardware hardware = Hardware::Newer, QObject *parent = nullptr);
  ~SimulatedInstrument() override;

  // Plugging. plugInto hands this instrument's controller to ctx.link() and
  // plugs in; with connectNow it also installs the link's device-change
  // handler, which connects at once.
  void plugInto(AppContext &ctx, bool connectNow = true);
  SimulatedController &controller(); // made on first use
  void plugIn(SimulatedController &controller);
  void plugIn(); // into the last controller (or its own)
  void unplug();
  bool isPluggedIn() const { return m_plugged; }
  bool isTaken() const { return m_handle != nullptr; }

  // Identity and reports.
  void setIndexedString3(const QString &s) { m_string3 = s; }
  QString indexedString3() const { return m_string3; }
  void setIds(quint16 vendorId, quint16 productId);
  quint16 vendorId() const { return m_vendorId; }
  quint16 productId() const { return m_productId; }
  QString path() const { return m_path; }
  void setReportLengths(int inputLength, int outputLength);
  int inputReportLength() const { return m_inputLength; }
  int outputReportLength() const { return m_outputLength; }
  void setLatency(int ms) { m_latencyMs = qMax(0, ms); }
  int latency() const { return m_latencyMs; }

  // Registers 00..FF (00..10 used).
  quint8 reg(int r) const { return m_regs[r & 0xFF]; }
  void setRegister(int r, quint8 byte) { m_regs[r & 0xFF] = byte; }
  void setSerial(quint64 serial48);
  QString serialText() const;
  void setCounter(int count);
  int counter() const;
  void setReferences(int standard, int high);
  int gain() const { return m_gain; }
  void setGainSlope(int countsPerStep) { m_gainSlope = countsPerStep; }
  int gainSlope() const { return m_gainSlope; }
  bool calibrating() const { return m_calibrating; }

  // Probe.
  void touch(int level, int noise = 0);
  void lift();
  bool touching() const { return m_touching; }
  void setFault(bool on) { m_fault = on; }
  void setIdleLevel(int level) { m_idleLevel = level; }
  int currentReading(); // what "D0000" would read now

  // Operators.
  void setOperator(std::unique_ptr<SimOperator> op);
  SimOperator *simOperator() const { return m_operator.get(); }
  void queueContacts(const QList<ProbeContact> &contacts); // installs a ScriptedOperator if needed
  SimPhase phase() const { return m_phase; }
  // Runs action after ms on the simulator's clock; dropped when a later
  // operator step cancels the pending ones (cancelOperatorSteps).
  void scheduleOperatorStep(int ms, std::function<void()> action);
  void cancelOperatorSteps() { ++m_operatorGeneration; }
  Clock &clock() const { return m_clock; }
  std::mt19937 &random() { return m_random; }

  // Faults.
  void setSilent(bool on) { m_silent = on; }
  void replyZ0000(int count) { m_z0000 = count; }
  void failWrites(int count) { m_failWrites = count; }
  void unplugDuringNextWait(int afterMs = 20) { m_unplugAfterMs = afterMs; }
  void injectReply(const QByteArray &data) { m_injected.append(Injected{data, true}); }
  void injectReplyText(const QString &text) { m_injected.append(Injected{text.toLatin1(), false}); }

  // Trace.
  const QList<TraceEntry> &trace() const { return m_trace; }
  QStringList commands() const;
  QStringList replies() const;
  QStringList sounds() const;
  QByteArray lastReport() const { return m_lastReport; } // as written, report ID included
  void clearTrace() { m_trace.clear(); }
  void setTraceLimit(qsizetype entries) { m_traceLimit = qMax(qsizetype(10), entries); } // default 100000

  // Device side, called by the controller's device object.
  bool receiveReport(const QByteArray &report);
  void setHandle(HidDevice *handle);
  HidDevice *handle() const { return m_handle; }
  void flushPending();

signals:
  void commandReceived(const QString &command);
  void phaseChanged(SimPhase phase);

private:
  struct Injected {
    QByteArray bytes;
    bool raw;
  };
  QString answer(const QString &command);
  void deliver(const QByteArray &data);
  void setOutput(const QString &command);
  void record(TraceEntry::Kind kind, const QString &text);

  Clock &m_clock;
  quint32 m_startTick;
  Hardware m_hardware;
  std::unique_ptr<SimulatedController> m_ownController;
  QPointer<SimulatedController> m_controller;
  QPointer<HidDevice> m_handle;
  bool m_plugged = false;
  QString m_path;
  QString m_string3;
  quint16 m_vendorId = LinkProtocol::kVendorId, m_productId = LinkProtocol::kProductId;
  int m_inputLength = 9, m_outputLength = 9;
  int m_latencyMs = 10;
  std::array<quint8, 256> m_regs{};
  LinkProtocol::LinkKey m_key = LinkProtocol::kLinkKey;

  int m_gain = 20;
  int m_gainSlope = 4;
  bool m_calibrating = false;
  QString m_lastOutput;
  SimPhase m_phase = SimPhase::Idle;

  bool m_touching = false;
  int m_level = 0, m_noise = 0, m_idleLevel = 0;
  bool m_fault = false;
  std::mt19937 m_random;

  std::unique_ptr<SimOperator> m_operator;
  quint64 m_operatorGeneration = 0;

  bool m_silent = false;
  int m_z0000 = 0, m_failWrites = 0, m_unplugAfterMs = -1;
  QList<Injected> m_injected;
  quint64 m_flushGeneration = 0;

  std::unique_ptr<ReplyPump> m_pump; // real time only
  QList<TraceEntry> m_trace;
  qsizetype m_traceLimit = 100000;
  QByteArray m_lastReport;
};
