// sova-cli measure: one whole measurement run against the instrument simulator
// in virtual time, printed as one JSON object.
//
//   measure --simulate [--seed N] [--scenario FILE] [--sound-mode 0|1|2] [--older-hardware] [--trace]
//
// Without a scenario the simulator's demo operator touches every point; a
// scenario file (JSON) scripts the operator instead:
//
//   { "contacts": [ { "level": 1000, "noise": 0, "delayMs": 300, "holdMs": -1, "liftDelayMs": 200,
//                     "losses": [ { "atMs": 1500, "forMs": 60 } ], "faultAtMs": -1, "faultForMs": 0 } ],
//     "latencyMs": 10, "references": [4000, 4000], "sensitivity": 1.0,
//     "answers": [true], "stopAtMs": 60000 }
//
// One contact is taken each time the run waits for a touch (a lost contact
// takes the next one); when they run out the run is stopped. "answers" answer
// the run's questions in order (then "是"). Every key is optional.
#include "cli/Commands.h"
#include "link/DemoOperator.h"
#include "link/Link.h"
#include "link/Protocol.h"
#include "link/SimulatedInstrument.h"
#include "measure/LinkInstrument.h"
#include "measure/MeasurementRun.h"
#include "measure/RunInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace {

const char kUsage[] = "usage: sova-cli measure --simulate [--seed N] [--scenario FILE] [--sound-mode 0|1|2]\n"
                      "                        [--older-hardware] [--trace]\n";

// Records every transaction the run makes: the command as sent and the reply
// as the link received it, unscrambled.
class TracingInstrument final : public RunInstrument {
public:
  TracingInstrument(Link &link, VirtualClock &clock) : m_link(link), m_clock(clock), m_inner(MakeLinkInstrument(link)) {}
  void start() { m_start = m_clock.virtualMs(); }
  const QJsonArray &trace() const { return m_trace; }

  bool isConnected() const override { return m_inner->isConnected(); }
  void SendCommand(const QString &command) override {
    const qint64 t = m_clock.virtualMs();
    m_inner->SendCommand(command);
    record(t, command);
  }
  int ReadProbe() override {
    const qint64 t = m_clock.virtualMs();
    const int v = m_inner->ReadProbe();
    record(t, QStringLiteral("D0000"));
    return v;
  }
  void Sound(int n) override {
    // The link sends each signal as its fixed commands; sent one by one here
    // so each transaction is seen.
    for (const QString &command : LinkProtocol::SoundCommands(n))
      SendCommand(command);
  }
  bool NewerHardware() const override { return m_inner->NewerHardware(); }
  int StandardReference() const override { return m_inner->StandardReference(); }
  int HighReference() const override { return m_inner->HighReference(); }

private:
  void record(qint64 t, const QString &command) {
    m_trace.append(QJsonObject{{"t", double(t - m_start)},
                               {"command", command.left(5)},
                               {"reply", m_link.lastReply()}});
  }
  Link &m_link;
  VirtualClock &m_clock;
  std::unique_ptr<RunInstrument> m_inner;
  QJsonArray m_trace;
  qint64 m_start = 0;
};

struct Scenario {
  QList<ProbeContact> contacts;
  bool hasContacts = false;
  int latencyMs = -1;
  int standardReference = -1, highReference = -1;
  double sensitivity = -1;
  QList<bool> answers;
  qint64 stopAtMs = -1;
};

bool intOf(const QJsonObject &o, const char *key, int *out, QString *error, int lo, int hi) {
  const QJsonValue v = o.value(QLatin1String(key));
  if (v.isUndefined())
    return true;
  const double d = v.toDouble(qQNaN());
  if (!v.isDouble() || d != std::floor(d) || d < lo || d > hi) {
    *error = QStringLiteral("\"%1\" must be a whole number from %2 to %3").arg(QLatin1String(key)).arg(lo).arg(hi);
    return false;
  }
  *out = int(d);
  return true;
}

bool readScenario(const QString &file, Scenario *s, QString *error) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot read scenario '%1': %2").arg(file, f.errorString());
    return false;
  }
  QJsonParseError pe;
  const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
  if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
    *error = QStringLiteral("scenario '%1' is not a JSON object: %2").arg(file, pe.errorString());
    return false;
  }
  const QJsonObject root = doc.object();
  const int kMaxMs = 24 * 3600 * 1000;
  if (root.contains(u"contacts")) {
    if (!root.value(u"contacts").isArray()) {
      *error = QStringLiteral("\"contacts\" must be an array");
      return false;
    }
    s->hasContacts = true;
    for (const QJsonValue &cv : root.value(u"contacts").toArray()) {
      if (!cv.isObject()) {
        *error = QStringLiteral("every contact must be an object");
        return false;
      }
      const QJsonObject c = cv.toObject();
      ProbeContact pc;
      if (!intOf(c, "level", &pc.level, error, 0, 4095) || !intOf(c, "noise", &pc.noise, error, 0, 4095) ||
          !intOf(c, "delayMs", &pc.delayMs, error, 0, kMaxMs) || !intOf(c, "holdMs", &pc.holdMs, error, -1, kMaxMs) ||
          !intOf(c, "liftDelayMs", &pc.liftDelayMs, error, 0, kMaxMs) ||
          !intOf(c, "faultAtMs", &pc.faultAtMs, error, -1, kMaxMs) ||
          !intOf(c, "faultForMs", &pc.faultForMs, error, 0, kMaxMs))
        return false;
      if (c.contains(u"losses")) {
        if (!c.value(u"losses").isArray()) {
          *error = QStringLiteral("\"losses\" must be an array");
          return false;
        }
        for (const QJsonValue &lv : c.value(u"losses").toArray()) {
          ProbeContact::Loss loss{0, 0};
          if (!lv.isObject() || !intOf(lv.toObject(), "atMs", &loss.atMs, error, 0, kMaxMs) ||
              !intOf(lv.toObject(), "forMs", &loss.forMs, error, 0, kMaxMs)) {
            if (error->isEmpty())
              *error = QStringLiteral("every loss must be an object");
            return false;
          }
          pc.losses.append(loss);
        }
      }
      s->contacts.append(pc);
    }
  }
  if (!intOf(root, "latencyMs", &s->latencyMs, error, 0, 1000))
    return false;
  if (root.contains(u"references")) {
    const QJsonArray r = root.value(u"references").toArray();
    if (r.size() != 2 || !r[0].isDouble() || !r[1].isDouble() || r[0].toDouble() < 1 || r[0].toDouble() > 65535 ||
        r[1].toDouble() < 1 || r[1].toDouble() > 65535) {
      *error = QStringLiteral("\"references\" must be two numbers from 1 to 65535");
      return false;
    }
    s->standardReference = r[0].toInt();
    s->highReference = r[1].toInt();
  }
  if (root.contains(u"sensitivity")) {
    const double v = root.value(u"sensitivity").toDouble(-1);
    if (v < 0.1 || v > 5.0) {
      *error = QStringLiteral("\"sensitivity\" must be from 0.1 to 5.0");
      return false;
    }
    s->sensitivity = v;
  }
  for (const QJsonValue &a : root.value(u"answers").toArray()) {
    if (!a.isBool()) {
      *error = QStringLiteral("\"answers\" must hold true or false");
      return false;
    }
    s->answers.append(a.toBool());
  }
  int stop = -1;
  if (!intOf(root, "stopAtMs", &stop, error, 0, kMaxMs))
    return false;
  s->stopAtMs = stop;
  return true;
}

QJsonArray slotValues(const SlotArray &a) {
  QJsonArray out;
  for (int k = 1; k <= 24; ++k)
    out.append(a[k]);
  return out;
}

} // namespace

int MeasureCommand(const QStringList &args) {
  bool simulate = false, older = false, withTrace = false;
  bool haveSeed = false;
  quint32 seed = 0;
  int soundMode = 1;
  QString scenarioFile;
  for (int i = 0; i < args.size(); ++i) {
    const QString &a = args.at(i);
    auto value = [&](QString *out) {
      if (i + 1 >= args.size())
        return false;
      *out = args.at(++i);
      return true;
    };
    QString v;
    if (a == u"--simulate")
      simulate = true;
    else if (a == u"--older-hardware")
      older = true;
    else if (a == u"--trace")
      withTrace = true;
    else if (a == u"--seed") {
      bool ok = false;
      if (!value(&v) || (seed = v.toUInt(&ok), !ok))
        return CliUsageError(QStringLiteral("--seed needs a whole number from 0 to 4294967295"));
      haveSeed = true;
    } else if (a == u"--sound-mode") {
      if (!value(&v) || (v != u"0" && v != u"1" && v != u"2"))
        return CliUsageError(QStringLiteral("--sound-mode needs 0, 1 or 2"));
      soundMode = v.toInt();
    } else if (a == u"--scenario") {
      if (!value(&scenarioFile))
        return CliUsageError(QStringLiteral("--scenario needs a file"));
    } else if (a == u"--help" || a == u"-h") {
      CliPrint(QString::fromLatin1(kUsage));
      return 0;
    } else {
      std::fputs(kUsage, stderr);
      return CliUsageError(QStringLiteral("unknown option '%1'").arg(a));
    }
  }
  if (!simulate)
    return CliUsageError(QStringLiteral("measure runs only against the simulator: give --simulate"));

  Scenario scenario;
  QString error;
  if (!scenarioFile.isEmpty() && !readScenario(scenarioFile, &scenario, &error))
    return CliUsageError(error);

  VirtualClock clock(0, QDateTime::currentDateTime());
  ScriptedPrompter prompter(true);
  for (bool answer : scenario.answers)
    prompter.answer(answer);
  RecordingLauncher launcher;
  AppContext ctx(&clock, &prompter, &launcher);
  ctx.SystemReady = true;
  ctx.settings.SoundMode = soundMode;
  if (scenario.sensitivity > 0)
    ctx.settings.Sensitivity = scenario.sensitivity;

  SimulatedInstrument sim(clock, older ? SimulatedInstrument::Hardware::Older : SimulatedInstrument::Hardware::Newer);
  if (scenario.latencyMs >= 0)
    sim.setLatency(scenario.latencyMs);
  if (scenario.standardReference > 0) {
    sim.setReferences(scenario.standardReference, scenario.highReference);
    ctx.settings.StdReference0 = scenario.standardReference;
    ctx.settings.HighReference0 = scenario.highReference;
  }
  if (scenario.hasContacts)
    sim.queueContacts(scenario.contacts);
  else
    sim.setOperator(std::make_unique<DemoOperator>(haveSeed ? seed : QRandomGenerator::global()->generate()));
  sim.plugInto(ctx);
  if (!ctx.link().isConnected()) {
    std::fprintf(stderr, "sova-cli: the simulated instrument did not connect\n");
    return 1;
  }

  TracingInstrument instrument(ctx.link(), clock);
  MeasurementView view;
  MeasurementRun run(ctx, instrument, view);

  // A scripted operator who has run out of contacts would leave the run
  // waiting for a touch for ever: the run is stopped then.
  int waits = 0;
  QObject::connect(&sim, &SimulatedInstrument::phaseChanged, &sim, [&](SimPhase phase) {
    if (!scenario.hasContacts || phase != SimPhase::WaitingForTouch)
      return;
    if (++waits > scenario.contacts.size())
      clock.callAfter(1000, &sim, [&] { run.RequestStop(); });
  });
  if (scenario.stopAtMs >= 0)
    clock.callAfter(int(scenario.stopAtMs), &sim, [&] { run.RequestStop(); });

  instrument.start();
  run.RunMeasurement();

  const Measurement &m = ctx.CurrentMeasurement;
  QJsonObject out{{"PointValue", slotValues(m.PointValue)},
                  {"CorrectedValue", slotValues(m.CorrectedValue)},
                  {"Stability", slotValues(m.Stability)}};
  out.insert(QStringLiteral("MeasurementDate"),
             IsDateGiven(m.MeasurementDate)
                 ? QJsonValue(FromDayNumber(m.MeasurementDate).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                 : QJsonValue(QJsonValue::Null));
  if (withTrace)
    out.insert(QStringLiteral("Trace"), instrument.trace());
  CliPrint(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)) + u'\n');
  return 0;
}
