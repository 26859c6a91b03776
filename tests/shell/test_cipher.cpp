#include "shell/Cipher.h"

#include <QRegularExpression>
#include <QtTest>

class TestCipher : public QObject {
  Q_OBJECT
  static void addKeys() {
    QTest::addColumn<int>("key");
    for (int k = 1; k <= 7; ++k)
      QTest::addRow("key %d", k) << k;
  }

private slots:
  void keyStrings() {
    const int lengths[8] = {0, 13, 25, 26, 21, 17, 13, 21};
    for (int k = 1; k <= 7; ++k) {
      const QByteArray key = KeyString(k);
      QCOMPARE(key.size(), lengths[k]);
      QVERIFY2(
          QRegularExpression(QStringLiteral("^[A-Za-z0-9]+$")).match(QString::fromLatin1(key)).hasMatch(),
          key);
      QCOMPARE(QRegularExpression(QStringLiteral("[0-9]")).match(QString::fromLatin1(key)).hasMatch(),
               k != 1 && k != 6);
    }
    QCOMPARE(KeyString(6), KeyString(1));
  }

  // Pins the chaining rule that the stored branding texts rely on:
  // seed 0x10, 'A' (65) with key 1 ('Q' = 81): ((16 + 65) mod 255) xor 81 = 0.
  void knownAnswer() {
    QCOMPARE(Encipher("A", 1, 0x10), QStringLiteral("1000"));
    QCOMPARE(Decipher(QStringLiteral("1000"), 1), QByteArray("A"));
  }

  // Every byte value after every possible previous cipher byte: the seed
  // stands in for it, which covers the chain's step from 255 to 0.
  void everyByteEverySeed_data() { addKeys(); }
  void everyByteEverySeed() {
    QFETCH(int, key);
    for (int seed = 0; seed <= 255; ++seed)
      for (int b = 1; b <= 255; ++b) {
        const QByteArray plain(1, char(b));
        const QString hex = Encipher(plain, key, seed);
        if (Decipher(hex, key) != plain)
          QFAIL(qPrintable(QStringLiteral("seed %1 byte %2 gives %3").arg(seed).arg(b).arg(hex)));
      }
  }

  void longTextsRoundTrip_data() { addKeys(); }
  void longTextsRoundTrip() {
    QFETCH(int, key);
    QByteArray all;
    for (int rep = 0; rep < 3; ++rep)
      for (int b = 255; b >= 1; --b)
        all.append(char(b));
    for (int trial = 0; trial < 50; ++trial) {
      const QString hex = Encipher(all, key);
      QCOMPARE(hex.size(), 2 + 2 * all.size());
      QCOMPARE(hex, hex.toUpper());
      QCOMPARE(Decipher(hex, key), std::optional<QByteArray>(all));
      QCOMPARE(Decipher(hex.toLower(), key), std::optional<QByteArray>(all));
    }
    const QString chinese = QStringLiteral("经络能量分析 So-10，功能1");
    QCOMPARE(DecipherText(EncipherText(chinese, key), key), std::optional<QString>(chinese));
  }

  void lengthsAndEmpty() {
    QCOMPARE(Encipher(QByteArray(), 5), QString());
    QCOMPARE(Decipher(QString(), 5), std::optional<QByteArray>(QByteArray()));
    QCOMPARE(Encipher("x", 5).size(), 4);
    QCOMPARE(Encipher("hello", 5).size(), 12);
    // Different seeds, same plain text.
    QSet<QString> seen;
    for (int i = 0; i < 20; ++i)
      seen.insert(Encipher("hello", 5));
    QVERIFY(seen.size() > 1);
  }

  void keysOneAndSixInterchange() {
    const QByteArray plain = "Meridian 经络";
    QCOMPARE(Decipher(Encipher(plain, 1), 6), std::optional<QByteArray>(plain));
    QCOMPARE(Decipher(Encipher(plain, 6), 1), std::optional<QByteArray>(plain));
    QVERIFY(Decipher(Encipher(plain, 5), 1) != std::optional<QByteArray>(plain));
  }

  void zeroByteComesBackAs255() {
    for (int seed : {0, 100, 255})
      QCOMPARE(Decipher(Encipher(QByteArray(1, '\0'), 3, seed), 3), QByteArray(1, char(255)));
  }

  void malformed_data() {
    QTest::addColumn<QString>("hex");
    QTest::newRow("letter outside hex in seed") << "G0A1";
    QTest::newRow("letter outside hex in a pair") << "10A1Z2";
    QTest::newRow("blank inside") << "10 A1";
    QTest::newRow("seed alone") << "1F";
    QTest::newRow("one digit") << "7";
    QTest::newRow("wide character") << QStringLiteral("10经络");
    QTest::newRow("sign") << "10-1";
  }
  void malformed() {
    QFETCH(QString, hex);
    QCOMPARE(Decipher(hex, 5), std::nullopt);
    QCOMPARE(DecipherText(hex, 5), std::nullopt);
  }

  void strayDigits() {
    const QString hex = Encipher("abc", 2, 77);
    // A lone digit after the last pair is ignored.
    QCOMPARE(Decipher(hex + u'F', 2), QByteArray("abc"));
    // Three digits: a seed and one byte written with one digit.
    QCOMPARE(Decipher(QStringLiteral("10A"), 1), QByteArray(1, char((81 ^ 0x0A) - 0x10)));
  }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "test_cipher.moc"
