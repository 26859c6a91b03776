#include "link/HidapiController.h"

#include "link/HidReportDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <fcntl.h>
#include <hidapi.h>
#include <libudev.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kDefaultReportLength = 65; // when the descriptor cannot be read
constexpr int kReadTimeoutMs = 50;       // how soon the reader notices a release

QString fromWide(const wchar_t *s) {
  return s ? QString::fromWCharArray(s) : QString();
}

HidDeviceInfo toInfo(const hid_device_info *d) {
  HidDeviceInfo info;
  info.path = QString::fromLocal8Bit(d->path);
  info.vendorId = d->vendor_id;
  info.productId = d->product_id;
  info.releaseNumber = d->release_number;
  info.manufacturer = fromWide(d->manufacturer_string);
  info.product = fromWide(d->product_string);
  info.serialNumber = fromWide(d->serial_number);
  return info;
}

QList<HidDeviceInfo> enumerateIds(quint16 vendorId, quint16 productId) {
  QList<HidDeviceInfo> list;
  hid_device_info *all = hid_enumerate(vendorId, productId);
  for (hid_device_info *d = all; d; d = d->next)
    list.append(toInfo(d));
  hid_free_enumeration(all);
  return list;
}

// "/dev/hidraw3" -> "/sys/class/hidraw/hidraw3"
QString sysfsPath(const QString &devNode) {
  return QStringLiteral("/sys/class/hidraw/") + QFileInfo(devNode).fileName();
}

// A USB string descriptor by index: from sysfs when it is one of the three the
// device descriptor names, otherwise by a GET_DESCRIPTOR control transfer.
QString usbString(struct udev *udev, const QString &hidrawSysPath, int index) {
  if (!udev || index <= 0 || index > 255)
    return {};
  udev_device *raw = udev_device_new_from_syspath(udev, hidrawSysPath.toLocal8Bit().constData());
  if (!raw)
    return {};
  QString result;
  udev_device *usb = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_device");
  if (usb) {
    const QString usbPath = QString::fromLocal8Bit(udev_device_get_syspath(usb));
    QFile descriptors(usbPath + QStringLiteral("/descriptors"));
    QByteArray dd;
    if (descriptors.open(QIODevice::ReadOnly))
      dd = descriptors.read(18);
    const char *named = nullptr;
    if (dd.size() >= 17) {
      if (quint8(dd[14]) == index)
        named = "manufacturer";
      else if (quint8(dd[15]) == index)
        named = "product";
      else if (quint8(dd[16]) == index)
        named = "serial";
    }
    if (named) {
      if (const char *v = udev_device_get_sysattr_value(usb, named))
        result = QString::fromUtf8(v);
    } else if (const char *node = udev_device_get_devnode(usb)) {
      const int fd = ::open(node, O_RDWR | O_CLOEXEC);
      if (fd >= 0) {
        const auto request = [fd](int descIndex, quint16 langId, unsigned char *buf) {
          usbdevfs_ctrltransfer ct{};
          ct.bRequestType = 0x80; // device to host, standard, device
          ct.bRequest = 6;        // GET_DESCRIPTOR
          ct.wValue = quint16((3 << 8) | descIndex);
          ct.wIndex = langId;
          ct.wLength = 255;
          ct.timeout = 500;
          ct.data = buf;
          return ioctl(fd, USBDEVFS_CONTROL, &ct);
        };
        unsigned char buf[256] = {};
        quint16 lang = 0x0409;
        if (request(0, 0, buf) >= 4)
          lang = quint16(buf[2] | (buf[3] << 8));
        const int n = request(index, lang, buf);
        if (n >= 2) {
          const int len = qMin(n, int(buf[0]));
          for (int k = 2; k + 1 < len; k += 2)
            result += QChar(char16_t(buf[k] | (buf[k + 1] << 8)));
        }
        ::close(fd);
      }
    }
  }
  udev_device_unref(raw);
  return result;
}

class HidapiDevice final : public HidDevice {
public:
  HidapiDevice(hid_device *dev, const HidDeviceInfo &info, struct udev *udev) : m_dev(dev), m_info(info) {
    QFile rd(sysfsPath(info.path) + QStringLiteral("/device/report_descriptor"));
    HidReportLengths lengths;
    if (rd.open(QIODevice::ReadOnly))
      lengths = ParseReportDescriptor(rd.readAll());
    m_numbered = lengths.numbered;
    m_input = lengths.input > 0 ? lengths.input : kDefaultReportLength;
    m_output = lengths.output > 0 ? lengths.output : kDefaultReportLength;
    m_string3 = usbString(udev, sysfsPath(info.path), 3);
    m_reader = std::thread([this] { readLoop(); });
  }
  ~HidapiDevice() override {
    m_stop = true;
    m_reader.join();
    hid_close(m_dev);
  }

  HidDeviceInfo info() const override { return m_info; }
  bool isPluggedIn() const override { return !m_readError && QFileInfo::exists(m_info.path); }
  int inputReportLength() const override { return m_input; }
  int outputReportLength() const override { return m_output; }
  QString indexedString(int index) const override { return index == 3 ? m_string3 : QString(); }
  bool writeReport(const QByteArray &report) override {
    return hid_write(m_dev, reinterpret_cast<const unsigned char *>(report.constData()),
                     size_t(report.size())) == report.size();
  }
  void flush() override { ++m_flushGeneration; }

private:
  void readLoop() {
    std::vector<unsigned char> buf(size_t(qMax(m_input, kDefaultReportLength)) + 1);
    while (!m_stop) {
      const int n = hid_read_timeout(m_dev, buf.data(), buf.size(), kReadTimeoutMs);
      if (n < 0) {
        m_readError = true; // unplugged; the udev removal event follows
        return;
      }
      if (n == 0)
        continue;
      // hidraw returns the report ID byte only for devices that number reports.
      const quint8 id = m_numbered ? buf[0] : 0;
      const int skip = m_numbered ? 1 : 0;
      QByteArray data(reinterpret_cast<const char *>(buf.data()) + skip, n - skip);
      const quint64 generation = m_flushGeneration;
      QMetaObject::invokeMethod(
          this,
          [this, id, data, generation] {
            if (generation == m_flushGeneration)
              emit inputReport(id, data);
          },
          Qt::QueuedConnection);
    }
  }

  hid_device *m_dev;
  HidDeviceInfo m_info;
  bool m_numbered = false;
  int m_input = kDefaultReportLength, m_output = kDefaultReportLength;
  QString m_string3;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_readError{false};
  std::atomic<quint64> m_flushGeneration{0};
  std::thread m_reader;
};
} // namespace

HidapiController::HidapiController(QObject *parent) : HidController(parent) {
  m_hidInit = hid_init() == 0;
  m_udev = udev_new();
}

HidapiController::~HidapiController() {
  m_open.clear();
  if (m_monitor)
    udev_monitor_unref(m_monitor);
  if (m_udev)
    udev_unref(m_udev);
  if (m_hidInit)
    hid_exit();
}

QList<HidDeviceInfo> HidapiController::enumerate() const {
  return m_hidInit ? enumerateIds(0, 0) : QList<HidDeviceInfo>();
}

HidDevice *HidapiController::take(quint16 vendorId, quint16 productId) {
  if (!m_hidInit)
    return nullptr;
  for (const HidDeviceInfo &d : enumerateIds(vendorId, productId))
    if (HidDevice *dev = open(d))
      return dev;
  return nullptr;
}

HidDevice *HidapiController::open(const HidDeviceInfo &info) {
  if (!m_hidInit)
    return nullptr;
  for (const auto &d : m_open)
    if (d->info().path == info.path)
      return nullptr; // already taken
  hid_device *dev = hid_open_path(info.path.toLocal8Bit().constData());
  if (!dev)
    return nullptr;
  m_open.push_back(std::make_unique<HidapiDevice>(dev, info, m_udev));
  return m_open.back().get();
}

void HidapiController::release(HidDevice *device) {
  for (auto it = m_open.begin(); it != m_open.end(); ++it)
    if (it->get() == device) {
      m_open.erase(it);
      return;
    }
}

void HidapiController::startMonitoring() {
  if (m_monitor || m_poll)
    return;
  if (m_udev)
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
  if (m_monitor) {
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr);
    if (udev_monitor_enable_receiving(m_monitor) < 0) {
      udev_monitor_unref(m_monitor);
      m_monitor = nullptr;
    }
  }
  if (!m_monitor) {
    for (const HidDeviceInfo &d : enumerate())
      m_lastPaths.append(d.path);
    m_lastPaths.sort();
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &HidapiController::pollDevices);
    m_poll->start(2000);
    return;
  }
  m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &HidapiController::monitorReadable);
}

void HidapiController::pollDevices() {
  QStringList paths;
  for (const HidDeviceInfo &d : enumerate())
    paths.append(d.path);
  paths.sort();
  if (paths != m_lastPaths) {
    m_lastPaths = paths;
    emit deviceChanged();
  }
}

void HidapiController::monitorReadable() {
  bool changed = false;
  while (udev_device *d = udev_monitor_receive_device(m_monitor)) {
    const char *action = udev_device_get_action(d);
    if (action && (qstrcmp(action, "add") == 0 || qstrcmp(action, "remove") == 0))
      changed = true;
    udev_device_unref(d);
  }
  if (changed)
    emit deviceChanged();
}
