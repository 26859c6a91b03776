// The Linux backend's pure part (report lengths from a descriptor) and its
// behaviour on a machine without the instrument.
#include "link/HidReportDescriptor.h"
#include "link/HidapiController.h"
#include "link/Link.h"
#include "shell/Clock.h"

#include <QtTest>

class TestHidTransport : public QObject {
  Q_OBJECT
private slots:
  void reportLengths_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("feature");
    QTest::addColumn<bool>("numbered");
    // The example documented in link/HidReportDescriptor.h.
    QTest::newRow("64-byte vendor reports")
        << QByteArray::fromHex("0600FF0901A10115002600FF7508954009018102954009019102C0") << 65 << 65 << 0
        << false;
    QTest::newRow("8-byte reports, 4-byte long items for sizes")
        << QByteArray::fromHex("0600FF0901A101150027FF0000007708000000950809018102950809019102C0") << 9 << 9
        << 0 << false;
    // Report 1: 8 bytes in, 4 out; report 2: 32 bytes in; feature 2 bytes.
    QTest::newRow("numbered reports: the longest counts")
        << QByteArray::fromHex("0600FF0901A10185017508950809018102950409019102"
                               "850295200901810295020901B102C0")
        << 33 << 5 << 3 << true;
    QTest::newRow("push and pop") << QByteArray::fromHex("75089504A4751095048102B4950209019102") << 9 << 3
                                  << 0 << false;
    QTest::newRow("truncated") << QByteArray::fromHex("75089510810295") << 17 << 0 << 0 << false;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << 0 << false;
  }
  void reportLengths() {
    QFETCH(QByteArray, descriptor);
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(int, feature);
    QFETCH(bool, numbered);
    const HidReportLengths l = ParseReportDescriptor(descriptor);
    QCOMPARE(l.input, input);
    QCOMPARE(l.output, output);
    QCOMPARE(l.feature, feature);
    QCOMPARE(l.numbered, numbered);
  }

  void noInstrumentOnThisMachine() {
    // Builds and runs without any HID device: nothing to take, nothing connects.
    VirtualClock clock;
    HidapiController hid;
    Link link(clock);
    link.setController(&hid);
    link.InstallDeviceChangeHandler();
    for (const HidDeviceInfo &d : hid.enumerate())
      if (d.vendorId == 0x2F68 && d.productId == 0x39D4)
        QSKIP("an instrument is plugged in here");
    QVERIFY(!link.isConnected());
    QVERIFY(!hid.take(0x2F68, 0x39D4));
    QVERIFY(!link.SendCommand(QStringLiteral("X0000")));
  }
};

QTEST_GUILESS_MAIN(TestHidTransport)
#include "test_hid_transport.moc"
