#pragma once
// The HID device controller of the instrument simulator: the devices it
// enumerates are the SimulatedInstruments plugged into it. Arrival and removal
// reach the link as queued events, like the window messages of a real device
// change, so they are handled inside a running wait.
#include "link/HidController.h"

#include <QPointer>
#include <memory>
#include <vector>

class SimulatedInstrument;

class SimulatedController : public HidController {
  Q_OBJECT
public:
  explicit SimulatedController(QObject *parent = nullptr);
  ~SimulatedController() override;

  QList<HidDeviceInfo> enumerate() const override;
  void release(HidDevice *device) override;
  void startMonitoring() override {}

  // Used by SimulatedInstrument::plugIn/unplug.
  void attach(SimulatedInstrument *instrument);
  void detach(SimulatedInstrument *instrument);
  void notifyChange();

protected:
  HidDevice *open(const HidDeviceInfo &info) override;

private:
  std::vector<QPointer<SimulatedInstrument>> m_instruments;
  std::vector<std::unique_ptr<HidDevice>> m_taken;
};
