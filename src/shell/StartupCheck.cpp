#include "shell/StartupCheck.h"

#include "link/Link.h"
#include "records/DatabasePreparation.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/StartupView.h"

namespace {
const QString kNoInstrument = QStringLiteral("S.O.V.A.并未启动！请检查电源是否开启，USB联机是否正常。");
const QString kNoHardwareString = QStringLiteral("USB界面异常！请检查S.O.V.A.的USB联机");
const QString kNone = QStringLiteral("None!");
// The bar percentage above which lights 2..7 come on; light 1 is on from the start.
constexpr int kLightThreshold[8] = {0, -1, 13, 26, 40, 53, 66, 80};
} // namespace

const QString &StartupCheck::ModelText() {
  static const QString text = QStringLiteral("S.O.V.A. So-10");
  return text;
}

StartupCheck::StartupCheck(AppContext &ctx, StartupView &view) : m_ctx(ctx), m_view(view) {}

QString StartupCheck::failureMessage() const {
  switch (m_state) {
  case Instrument::Missing: return kNoInstrument;
  case Instrument::NoHardwareString: return kNoHardwareString;
  default: return {};
  }
}

bool StartupCheck::RunActivation() {
  Link &link = m_ctx.link();
  m_view.setFields({}, {}, {});

  QString model, serial, hardware;
  StartupView::Colour colour;
  if (!link.isConnected()) {
    m_state = Instrument::Missing;
    model = serial = hardware = kNone;
    colour = StartupView::Colour::Red;
  } else if (link.info().HardwareVersion.isEmpty()) {
    m_state = Instrument::NoHardwareString;
    model = ModelText();
    serial = link.info().SerialNumber;
    hardware = QStringLiteral("USB Status Error!");
    colour = StartupView::Colour::Yellow;
  } else {
    m_state = Instrument::Ready;
    model = ModelText();
    serial = link.info().SerialNumber;
    hardware = link.info().HardwareVersion;
    colour = StartupView::Colour::Green;
  }
  m_ready = m_state == Instrument::Ready;
  m_view.setAllLights(colour);
  for (int k = 1; k <= 7; ++k)
    m_view.setLightOn(k, false);

  Clock &clock = m_ctx.clock();
  const quint32 start = clock.tick();
  bool fieldsShown = false, selfTestSent = false;
  bool lit[8] = {};
  for (;;) {
    clock.processPending();
    const quint32 spent = clock.elapsedSince(start);
    if (spent >= quint32(kAnimationMs))
      break;
    const int bar = int(spent / 15);
    m_view.setProgress(bar);
    for (int k = 1; k <= 7; ++k) {
      if (!lit[k] && bar > kLightThreshold[k]) {
        lit[k] = true;
        m_view.setLightOn(k, true);
      }
    }
    // The fields appear around a third of the way; a self-test that kept the
    // instrument busy past that band still gets them written.
    if (!fieldsShown && bar >= 27) {
      m_view.setFields(model, serial, hardware);
      fieldsShown = true;
    }
    if (m_ready && !selfTestSent && bar * 15 < 500) {
      selfTestSent = true;
      link.SendCommand(QStringLiteral("A007F"));
      link.SendCommand(QStringLiteral("C007F"));
      link.SendCommand(QStringLiteral("F00FF"));
    }
    clock.waitUntil({}, 15);
  }
  for (int k = 1; k <= 7; ++k)
    if (!lit[k])
      m_view.setLightOn(k, true);
  if (!fieldsShown)
    m_view.setFields(model, serial, hardware);

  if (m_ready)
    link.SendCommand(QStringLiteral("X0000"));
  m_view.setProgress(100);
  m_view.setStatusText(QStringLiteral("Done."));
  return m_ready;
}

bool StartupCheck::PrepareDatabase() {
  DatabasePreparation prep(m_ctx, m_view);
  if (!prep.Run())
    m_ready = false;
  return m_ready;
}

bool StartupCheck::Run() {
  m_ctx.SystemReady = m_ctx.link().isConnected();
  if (RunActivation())
    PrepareDatabase();
  else
    m_view.setStatusText(failureMessage());
  if (!m_ready)
    m_ctx.SystemReady = false;
  return m_ctx.SystemReady;
}
