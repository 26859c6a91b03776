#include "link/SimulatedController.h"

#include "link/SimulatedInstrument.h"

#include <algorithm>

namespace {
// The program's handle on a simulated instrument it has taken.
class SimulatedDevice final : public HidDevice {
public:
  explicit SimulatedDevice(SimulatedInstrument *instrument) : m_instrument(instrument) {}

  HidDeviceInfo info() const override {
    HidDeviceInfo d;
    if (m_instrument) {
      d.path = m_instrument->path();
      d.vendorId = m_instrument->vendorId();
      d.productId = m_instrument->productId();
      d.product = QStringLiteral("S.O.V.A. So-10 (simulated)");
    }
    return d;
  }
  bool isPluggedIn() const override { return m_instrument && m_instrument->isPluggedIn(); }
  int inputReportLength() const override { return m_instrument ? m_instrument->inputReportLength() : 0; }
  int outputReportLength() const override { return m_instrument ? m_instrument->outputReportLength() : 0; }
  QString indexedString(int index) const override {
    return m_instrument && index == 3 ? m_instrument->indexedString3() : QString();
  }
  bool writeReport(const QByteArray &report) override {
    return m_instrument && m_instrument->isPluggedIn() && m_instrument->receiveReport(report);
  }
  void flush() override {
    if (m_instrument)
      m_instrument->flushPending();
  }
  SimulatedInstrument *instrument() const { return m_instrument; }

private:
  QPointer<SimulatedInstrument> m_instrument;
};
} // namespace

SimulatedController::SimulatedController(QObject *parent) : HidController(parent) {}

SimulatedController::~SimulatedController() {
  for (auto &d : m_taken)
    if (auto *inst = static_cast<SimulatedDevice *>(d.get())->instrument())
      inst->setHandle(nullptr);
}

QList<HidDeviceInfo> SimulatedController::enumerate() const {
  QList<HidDeviceInfo> list;
  for (const auto &inst : m_instruments) {
    if (!inst || !inst->isPluggedIn())
      continue;
    HidDeviceInfo d;
    d.path = inst->path();
    d.vendorId = inst->vendorId();
    d.productId = inst->productId();
    d.product = QStringLiteral("S.O.V.A. So-10 (simulated)");
    list.append(d);
  }
  return list;
}

HidDevice *SimulatedController::open(const HidDeviceInfo &info) {
  for (const auto &inst : m_instruments) {
    if (!inst || inst->path() != info.path || !inst->isPluggedIn() || inst->isTaken())
      continue;
    auto device = std::make_unique<SimulatedDevice>(inst);
    HidDevice *raw = device.get();
    inst->setHandle(raw);
    m_taken.push_back(std::move(device));
    return raw;
  }
  return nullptr;
}

void SimulatedController::release(HidDevice *device) {
  auto it = std::find_if(m_taken.begin(), m_taken.end(), [&](const auto &d) { return d.get() == device; });
  if (it == m_taken.end())
    return;
  if (auto *inst = static_cast<SimulatedDevice *>(it->get())->instrument())
    inst->setHandle(nullptr);
  m_taken.erase(it);
}

void SimulatedController::attach(SimulatedInstrument *instrument) {
  m_instruments.erase(std::remove(m_instruments.begin(), m_instruments.end(), nullptr), m_instruments.end());
  if (std::find(m_instruments.begin(), m_instruments.end(), instrument) == m_instruments.end())
    m_instruments.emplace_back(instrument);
}

void SimulatedController::detach(SimulatedInstrument *instrument) {
  m_instruments.erase(std::remove(m_instruments.begin(), m_instruments.end(), instrument),
                      m_instruments.end());
}

void SimulatedController::notifyChange() {
  // Like a device-change window message: handled when events are processed.
  QMetaObject::invokeMethod(
      this, [this] { emit deviceChanged(); }, Qt::QueuedConnection);
}
