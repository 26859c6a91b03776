#include "link/Link.h"

#include "link/HidController.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Clock.h"

#include <QAbstractEventDispatcher>

using namespace LinkProtocol;

namespace {
constexpr int kAttempts = 3;
constexpr int kReplyWaitMs = 100;
constexpr int kBalloonMs = 10000;

QString infoTitle() {
  return Branding::ProductTitle() + QStringLiteral(" Information");
}
} // namespace

Link::Link(Clock &clock, QObject *parent) : QObject(parent), m_clock(clock) {}

Link::Link(AppContext &ctx, QObject *parent) : QObject(parent), m_clock(ctx.clock()), m_ctx(&ctx) {}

Link::~Link() {
  releaseInstrument();
}

void Link::setController(HidController *controller) {
  if (controller == m_controller)
    return;
  releaseInstrument();
  if (m_controller)
    disconnect(m_controller, nullptr, this, nullptr);
  m_controller = controller;
  m_handlerInstalled = false;
}

void Link::InstallDeviceChangeHandler() {
  releaseInstrument();
  if (!m_controller)
    return;
  if (!m_handlerInstalled) {
    connect(m_controller, &HidController::deviceChanged, this, &Link::DeviceChange);
    m_controller->startMonitoring();
    m_handlerInstalled = true;
  }
  DeviceChange();
}

void Link::DeviceChange() {
  if (!m_controller)
    return;
  if (m_device) {
    // Another device's arrival or removal changes nothing.
    if (!m_device->isPluggedIn())
      disconnectInstrument();
    return;
  }
  HidDevice *device = m_controller->take(kVendorId, kProductId);
  if (!device)
    device = m_controller->take(
        [](const HidDeviceInfo &d) { return d.vendorId == kVendorId && d.productId == kProductId; });
  if (device)
    connectInstrument(device);
}

void Link::connectInstrument(HidDevice *device) {
  m_device = device;
  connect(device, &HidDevice::inputReport, this, &Link::InputReport);
  if (m_ctx) {
    m_ctx->setTray(14,
                   Branding::TrayLine() + u'\n' + Branding::ProductTitle() + QStringLiteral(" is on-line."));
    if (!m_ctx->FirstActivation)
      m_ctx->showBalloon(infoTitle(), Branding::ProductTitle() + QStringLiteral(" 已联机"),
                         TrayState::Information, kBalloonMs);
  }
  // The product's instruments all carry the same key; it is set anew at every
  // connection so a key change in a later firmware needs only this line.
  m_key = kLinkKey;
  ReadInstrumentInfo();
  // The instrument may have gone again while its information was read.
  if (m_device == device)
    emit connectedChanged(true);
}

void Link::disconnectInstrument() {
  releaseInstrument();
  if (m_ctx) {
    m_ctx->setTray(15, Branding::TrayLine() + u'\n' + Branding::ProductTitle() +
                           QStringLiteral(" is off-line !!"));
    m_ctx->showBalloon(infoTitle(), Branding::ProductTitle() + QStringLiteral(" 已中断联机！"),
                       TrayState::Error, kBalloonMs);
  }
  emit connectedChanged(false);
}

void Link::releaseInstrument() {
  if (!m_device)
    return;
  HidDevice *device = m_device;
  m_device = nullptr;
  disconnect(device, nullptr, this, nullptr);
  device->flush();
  if (m_controller)
    m_controller->release(device);
}

void Link::InputReport(quint8 reportId, const QByteArray &data) {
  Q_UNUSED(reportId);
  if (!m_device || sender() != m_device)
    return;
  const int declared = m_device->inputReportLength() - 1;
  const QString reply = ParseReplyData(declared >= 0 ? data.left(declared) : data, m_key);
  m_rxReply = reply;
  m_rxReady = true;
  if (!m_busy) {
    m_lastReply = reply;
    m_replyReady = true;
  } else if (auto *dispatcher = QAbstractEventDispatcher::instance()) {
    // The waiting loop is inside an event-processing call; without this an
    // event dispatcher that delivered the reply first may still go to sleep
    // until its next event (the plain Unix one does).
    dispatcher->interrupt();
  }
}

bool Link::waitReply(quint32 start) {
  // Measured from the write with wrap-safe differences of the tick.
  const auto done = [this] { return m_rxReady || !m_device; };
  for (;;) {
    if (done())
      return m_rxReady;
    const quint32 spent = Clock::elapsed(start, m_clock.tick());
    if (spent >= quint32(kReplyWaitMs))
      return false;
    m_clock.waitUntil(done, int(kReplyWaitMs - spent));
  }
}

bool Link::SendCommand(const QString &command) {
  // Entered again from an event handler inside another transaction's wait:
  // sharing the reply state would hand one reply to both callers.
  if (m_busy)
    return false;
  m_replyReady = false;
  m_lastReply.clear();
  if (!m_device)
    return false;

  m_busy = true;
  m_rxReady = false;
  m_rxReply.clear();
  const QByteArray report = BuildOutputReport(command, m_key, m_device->outputReportLength());
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (!m_device)
      break; // removed during the last wait
    const quint32 start = m_clock.tick();
    if (!m_device->writeReport(report)) {
      if (m_device)
        m_device->flush();
      m_clock.waitUntil([this] { return !m_device; }, kReplyWaitMs);
      continue;
    }
    waitReply(start);
    if (m_rxReady && m_rxReply != QLatin1String("Z0000"))
      break;
    m_rxReady = false;
    m_rxReply.clear();
  }
  m_busy = false;
  m_lastReply = m_rxReply;
  m_replyReady = m_rxReady;
  return m_replyReady;
}
