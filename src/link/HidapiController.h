#pragma once
// The Linux HID device controller: hidapi over hidraw for the I/O, the udev
// monitor (watched by a QSocketNotifier on the UI thread) for arrival and
// removal, report lengths from the device's report descriptor in sysfs, the
// indexed string from the USB device's string descriptors. Each taken device
// reads its input reports on a thread of its own and posts them to the UI
// thread. Without any HID device, or without udev events (as in containers),
// it simply finds nothing; without a udev monitor it looks for changes in the
// device list every two seconds instead.
#include "link/HidController.h"

#include <QStringList>

#include <memory>
#include <vector>

struct udev;
struct udev_monitor;
class QSocketNotifier;
class QTimer;

class HidapiController : public HidController {
  Q_OBJECT
public:
  explicit HidapiController(QObject *parent = nullptr);
  ~HidapiController() override;

  QList<HidDeviceInfo> enumerate() const override;
  HidDevice *take(quint16 vendorId, quint16 productId) override;
  void release(HidDevice *device) override;
  void startMonitoring() override;

protected:
  HidDevice *open(const HidDeviceInfo &info) override;

private:
  void monitorReadable();
  void pollDevices();

  bool m_hidInit = false;
  struct udev *m_udev = nullptr;
  struct udev_monitor *m_monitor = nullptr;
  QSocketNotifier *m_notifier = nullptr;
  QTimer *m_poll = nullptr;
  QStringList m_lastPaths;
  std::vector<std::unique_ptr<HidDevice>> m_open;
};
