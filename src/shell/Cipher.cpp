#include "shell/Cipher.h"

#include "shell/Gbk.h"

#include <QRandomGenerator>

// Our own key strings, of the lengths the stored formats fix: 13, 25, 26, 21,
// 17, (key 1 again), 21. Key 1 is letters only; the others mix in digits.
QByteArray KeyString(int keyNumber) {
  switch (keyNumber) {
  case 1:
  case 6:
    return QByteArrayLiteral("QmWnErTbYvUcX");              // 13
  case 2:
    return QByteArrayLiteral("Hq7Lp2Zx9Kd4Mw6Nr1Tb8Vc3J");  // 25
  case 3:
    return QByteArrayLiteral("aB3dE6gH9jK2mN5pQ8sT1vW4yZ"); // 26
  case 4:
    return QByteArrayLiteral("Rk5Fy8Ug2Ho7Jt4Ls9Pe3");      // 21
  case 5:
    return QByteArrayLiteral("Sv2Kl8Mo5Xe9Nb4Qa");          // 17
  case 7:
    return QByteArrayLiteral("Kv6Sn1Tr8Wd3Ho5Yu7Ma2");      // 21
  default:
    return QByteArrayLiteral("QmWnErTbYvUcX");
  }
}

static const char kHex[] = "0123456789ABCDEF";

QString Encipher(const QByteArray &plain, int keyNumber) {
  return Encipher(plain, keyNumber, int(QRandomGenerator::global()->bounded(256)));
}

QString Encipher(const QByteArray &plain, int keyNumber, int seed) {
  if (plain.isEmpty())
    return QString();
  const QByteArray key = KeyString(keyNumber);
  QByteArray out;
  out.reserve(2 + 2 * plain.size());
  int c = seed & 255;
  out.append(kHex[c >> 4]).append(kHex[c & 15]);
  for (int j = 0; j < plain.size(); ++j) {
    const int b = static_cast<unsigned char>(plain.at(j));
    const int k = static_cast<unsigned char>(key.at(j % key.size()));
    c = ((c + b) % 255) ^ k;
    out.append(kHex[(c >> 4) & 15]).append(kHex[c & 15]);
  }
  return QString::fromLatin1(out);
}

static int hexValue(QChar ch) {
  const char16_t u = ch.unicode();
  if (u >= '0' && u <= '9')
    return u - '0';
  if (u >= 'A' && u <= 'F')
    return u - 'A' + 10;
  if (u >= 'a' && u <= 'f')
    return u - 'a' + 10;
  return -1;
}

// Value of up to two digits; -1 when empty or not hexadecimal.
static int pairValue(QStringView digits) {
  if (digits.isEmpty())
    return -1;
  int v = 0;
  for (QChar ch : digits) {
    const int h = hexValue(ch);
    if (h < 0)
      return -1;
    v = v * 16 + h;
  }
  return v;
}

std::optional<QByteArray> Decipher(const QString &hexText, int keyNumber) {
  if (hexText.isEmpty())
    return QByteArray();
  const QByteArray key = KeyString(keyNumber);
  const QStringView text(hexText);
  int p = pairValue(text.mid(0, 2));
  if (p < 0)
    return std::nullopt;
  QByteArray out;
  // The first byte pair is always read, even when shorter than two digits;
  // after that a lone trailing digit is ignored.
  for (qsizetype pos = 2, j = 0; pos == 2 || pos + 1 < text.size(); pos += 2, ++j) {
    const int c = pairValue(text.mid(pos, 2));
    if (c < 0)
      return std::nullopt;
    const int s = static_cast<unsigned char>(key.at(j % key.size())) ^ c;
    int b = p < s ? s - p : s + 255 - p;
    // After a cipher byte of 255 the chain steps from 255 to 0, which the
    // rule above would read back as 0; the byte enciphered was 255.
    if (b == 0)
      b = 255;
    out.append(char(b));
    p = c;
  }
  return out;
}

QString EncipherText(const QString &plain, int keyNumber) { return Encipher(ToGbk(plain), keyNumber); }

std::optional<QString> DecipherText(const QString &hexText, int keyNumber) {
  auto bytes = Decipher(hexText, keyNumber);
  if (!bytes)
    return std::nullopt;
  return FromGbk(*bytes);
}

QString DecipherOrEmpty(const QString &hexText, int keyNumber) {
  return DecipherText(hexText, keyNumber).value_or(QString());
}
