#pragma once
// The HID device controller: the transport under the link. Backends: the
// Linux one over hidraw and udev (HidapiController) and the instrument
// simulator (SimulatedController). Everything here lives on the UI thread;
// a backend that reads on a thread of its own hands every input report to the
// UI thread as a queued event, so inputReport is always emitted there.
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

struct HidDeviceInfo {
  QString path; // backend's identity of the device (hidraw node, simulator id)
  quint16 vendorId = 0;
  quint16 productId = 0;
  quint16 releaseNumber = 0;
  QString manufacturer, product, serialNumber;
};

// A device taken by the program. Released through its controller.
class HidDevice : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;
  virtual HidDeviceInfo info() const = 0;
  virtual bool isPluggedIn() const = 0;
  // Report lengths as the device declares them, report ID byte included.
  virtual int inputReportLength() const = 0;
  virtual int outputReportLength() const = 0;
  // The device's indexed string (USB string descriptor), empty when unreadable.
  virtual QString indexedString(int index) const = 0;
  // Writes one whole output report (byte 0 the report ID); false on failure.
  virtual bool writeReport(const QByteArray &report) = 0;
  // Drops input reports received but not yet delivered.
  virtual void flush() = 0;

signals:
  // data: the bytes after the report ID.
  void inputReport(quint8 reportId, const QByteArray &data);
};

class HidController : public QObject {
  Q_OBJECT
public:
  using AttributeTest = std::function<bool(const HidDeviceInfo &)>;
  using QObject::QObject;

  virtual QList<HidDeviceInfo> enumerate() const = 0;
  // Takes the first attached device with these IDs that is not already taken.
  virtual HidDevice *take(quint16 vendorId, quint16 productId);
  // Takes the first attached, untaken device for which test holds.
  HidDevice *take(const AttributeTest &test);
  // Gives the device back; the pointer is invalid afterwards.
  virtual void release(HidDevice *device) = 0;
  // Starts watching for arrival and removal (idempotent).
  virtual void startMonitoring() = 0;

signals:
  // Any HID device arrived or left.
  void deviceChanged();

protected:
  // Opens the enumerated device; nullptr when it is taken or cannot be opened.
  virtual HidDevice *open(const HidDeviceInfo &info) = 0;
};
