#pragma once
// The link to the instrument and its command set. Other subsystems use only
// this facade: whether an instrument is connected, SendCommand and LastReply,
// and the instrument operations built on them (ReadProbe, ReadRegister,
// WriteRegister, ReadInstrumentInfo, ReadMeasurementCounter, Sound, SendIdle).
//
// Layers: the transport is a HidController (hidraw/udev backend or the
// simulator), the byte layout and scrambling are LinkProtocol's pure
// functions, and this class runs the transaction and the operations on top.
//
// The link belongs to the AppContext (ctx.link()); the instrument information
// of the current connection is ctx.link().info(). The main program hands the
// controller over with ctx.link().setController(...) before the main window is
// created; the main window then calls InstallDeviceChangeHandler(), which
// connects an instrument that is already plugged in.
//
// Tray notices go through the AppContext tray API; no balloon is shown for a
// connection made before the main window's first activation.
#include "link/Protocol.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "link/HidController.h"

class AppContext;
class Clock;

// What the program keeps of the connected instrument. Set at every connection
// and kept after a disconnection until the next one.
struct InstrumentInfo {
  QString SerialNumber;    // twelve hexadecimal digits, registers 00 to 05
  QString HardwareVersion; // indexed string 3, trimmed
  bool NewerHardware = false;
  int StandardReference = 4060; // registers 0B/0C on newer hardware
  int HighReference = 4060;     // registers 09/0A on newer hardware
  int MeasurementCount = 0;     // last counter value read (registers 06 to 08)
};

class Link : public QObject {
  Q_OBJECT
public:
  // Without a context: no tray notices (engine tools and tests).
  explicit Link(Clock &clock, QObject *parent = nullptr);
  explicit Link(AppContext &ctx, QObject *parent = nullptr);
  ~Link() override;

  // The controller is not owned and must outlive its use here.
  void setController(HidController *controller);
  HidController *controller() const { return m_controller; }
  // Releases any instrument still held, then watches device changes and runs
  // the handler once, which connects an instrument already plugged in.
  void InstallDeviceChangeHandler();

  bool isConnected() const { return m_device != nullptr; }
  HidDevice *instrument() const { return m_device; }
  const QString &lastReply() const { return m_lastReply; }
  bool replyReady() const { return m_replyReady; }
  const LinkProtocol::LinkKey &linkKey() const { return m_key; }
  const InstrumentInfo &info() const { return m_info; }

  // One command, up to three attempts of 100 ms each. True when a reply other
  // than "Z0000" arrived; lastReply() holds it (empty otherwise). A call made
  // from an event handler while another transaction waits is refused: it
  // returns false and leaves the outer transaction alone.
  bool SendCommand(const QString &command);

  // The probe reading 0..4095; 0 for no or a malformed reply; 1 for a probe
  // fault ("Z0001"), which also shows the probe-fault balloon.
  int ReadProbe();
  // The register's byte as its two hexadecimal digits as replied (may be empty
  // or malformed); convert with RegisterValue().
  QString ReadRegister(int reg);
  static int RegisterValue(const QString &digits, int fallback);
  int ReadRegisterValue(int reg, int fallback) { return RegisterValue(ReadRegister(reg), fallback); }
  void WriteRegister(int reg, int byte);
  // Hardware version, serial number and the two references; run at connection.
  void ReadInstrumentInfo();
  // Reads the 24-bit counter into info().MeasurementCount and returns it. With
  // increment, writes the count plus one back (and returns that), unless a
  // byte could not be read: then nothing is written over the instrument's count.
  int ReadMeasurementCounter(bool increment);
  void Sound(int n);
  void SendIdle();

  bool probeFaultShown() const { return m_probeFaultShown; }
  void resetProbeFault() { m_probeFaultShown = false; }

signals:
  void connectedChanged(bool connected);

private:
  void DeviceChange();
  void InputReport(quint8 reportId, const QByteArray &data);
  void connectInstrument(HidDevice *device);
  void disconnectInstrument();
  void releaseInstrument();
  bool waitReply(quint32 start);

  Clock &m_clock;
  AppContext *m_ctx = nullptr;
  QPointer<HidController> m_controller;
  bool m_handlerInstalled = false;
  QPointer<HidDevice> m_device; // cleared if its controller goes first
  LinkProtocol::LinkKey m_key = LinkProtocol::kLinkKey;
  InstrumentInfo m_info;

  // Published state, as callers read it after a transaction.
  QString m_lastReply;
  bool m_replyReady = false;
  // What the input-report handler received for the running transaction.
  QString m_rxReply;
  bool m_rxReady = false;
  bool m_busy = false;

  bool m_probeFaultShown = false;
};
