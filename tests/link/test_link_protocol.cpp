// The byte examples documented at the top of link/Protocol.h, exactly.
#include "link/Protocol.h"

#include <QtTest>

using namespace LinkProtocol;

class TestLinkProtocol : public QObject {
  Q_OBJECT
private slots:
  void documentedOutputReport() {
    QCOMPARE(Scramble("D0000", kLinkKey), QByteArray::fromHex("453C333A35"));
    QCOMPARE(BuildOutputReport(QStringLiteral("D0000"), kLinkKey, 9),
             QByteArray::fromHex("00453C333A35202020"));
  }

  void documentedReplies_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reply");
    QTest::newRow("probe ABC") << QByteArray::fromHex("453C444C48202020") << "D0ABC";
    QTest::newRow("status left as it is") << QByteArray::fromHex("5A30303031000000") << "Z0001";
    QTest::newRow("trimmed before unscrambling") << QByteArray::fromHex("20533C345037") + "\r\n"
                                                 << "R01F2";
    QTest::newRow("Z0000 unscrambled never") << QByteArray("Z0000   ") << "Z0000";
    QTest::newRow("longer than five: as it is") << QByteArray(" VERSION 6 ") << "VERSION 6";
    QTest::newRow("short reply: as far as it goes") << QByteArray::fromHex("453C") << "D0";
    QTest::newRow("only blanks") << QByteArray("        ") << "";
  }
  void documentedReplies() {
    QFETCH(QByteArray, data);
    QFETCH(QString, reply);
    QCOMPARE(ParseReplyData(data, kLinkKey), reply);
  }

  void reportLayout_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("report");
    QTest::newRow("cut to L-1") << "D0000" << 4 << QByteArray::fromHex("00453C33");
    QTest::newRow("only the report ID") << "D0000" << 1 << QByteArray::fromHex("00");
    QByteArray longReport(80, ' ');
    longReport[0] = 0;
    longReport.replace(1, 5, QByteArray::fromHex("453C333A35"));
    QTest::newRow("longer than 65 bytes, whole") << "D0000" << 80 << longReport;
  }
  void reportLayout() {
    QFETCH(QString, command);
    QFETCH(int, length);
    QFETCH(QByteArray, report);
    QCOMPARE(BuildOutputReport(command, kLinkKey, length), report);
  }

  void deviceSideRoundTrip() {
    // The simulator decodes what the link builds and the link reads what the simulator builds.
    for (const QString cmd : {QStringLiteral("D0000"), QStringLiteral("W07FF"), QStringLiteral("G0014")}) {
      QCOMPARE(DecodeOutputReport(BuildOutputReport(cmd, kLinkKey, 65), kLinkKey), cmd);
      const QByteArray data = BuildReplyData(cmd, kLinkKey, 9);
      QCOMPARE(data.size(), 8);
      QCOMPARE(ParseReplyData(data, kLinkKey), cmd);
    }
    QCOMPARE(BuildReplyData(QStringLiteral("Z0001"), kLinkKey, 9), QByteArray("Z0001   "));
  }

  void noScrambledReplyReadsAsStatus() {
    // Digits and capitals never scramble into a status text or into trimmed bytes.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWX");
    const QString hex = QStringLiteral("0123456789ABCDEF");
    for (QChar l : letters)
      for (QChar d : hex) {
        const QByteArray s = Scramble(QString(QString(l) + d + d + d + d).toLatin1(), kLinkKey);
        QVERIFY(s != "Z0000" && s != "Z0001");
        for (char c : s)
          QVERIFY(quint8(c) > 0x20 && quint8(c) < 0x7F);
      }
  }

  void replyFields_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("probe");
    QTest::addColumn<QString>("registerDigits");
    QTest::newRow("ABC") << "D0ABC" << 2748 << "BC";
    QTest::newRow("lower case") << "D0abc" << 2748 << "bc";
    QTest::newRow("empty") << "" << 0 << "";
    QTest::newRow("short") << "D0A" << 0 << "";
    QTest::newRow("not hex") << "D0XYZ" << 0 << "YZ";
    QTest::newRow("sign is not a digit") << "D0-12" << 0 << "12";
    QTest::newRow("register reply") << "R06FF" << 0x6FF << "FF";
  }
  void replyFields() {
    QFETCH(QString, reply);
    QFETCH(int, probe);
    QFETCH(QString, registerDigits);
    QCOMPARE(ProbeValue(reply), probe);
    QCOMPARE(RegisterDigits(reply), registerDigits);
  }

  void commandTexts() {
    QCOMPARE(ReadRegisterCommand(0x0B), QStringLiteral("R0B00"));
    QCOMPARE(WriteRegisterCommand(0x07, 2), QStringLiteral("W0702"));
    QCOMPARE(GainCommand(20), QStringLiteral("G0014"));
    QCOMPARE(GainCommand(300), QStringLiteral("G00FF"));
    QCOMPARE(HexValue(QStringLiteral("0F6E"), 4060), 3950);
    QCOMPARE(HexValue(QStringLiteral("0x1F"), 4060), 4060);
  }
};

QTEST_GUILESS_MAIN(TestLinkProtocol)
#include "test_link_protocol.moc"
