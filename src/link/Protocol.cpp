#include "link/Protocol.h"

namespace LinkProtocol {

namespace {
bool isTrimmed(char c) {
  const auto u = quint8(c);
  return u <= 0x20 || u == 0x7F;
}
bool isStatus(const QByteArray &t) {
  return t == "Z0000" || t == "Z0001";
}
} // namespace

QByteArray Scramble(const QByteArray &text, const LinkKey &key) {
  QByteArray out = text;
  for (int i = 0; i < qMin(5, int(out.size())); ++i)
    out[i] = char(quint8(quint8(out[i]) + key[i] - 15));
  return out;
}

QByteArray Unscramble(const QByteArray &text, const LinkKey &key) {
  QByteArray out = text;
  for (int i = 0; i < qMin(5, int(out.size())); ++i)
    out[i] = char(quint8(quint8(out[i]) - key[i] + 15));
  return out;
}

QByteArray TrimReply(const QByteArray &data) {
  qsizetype b = 0, e = data.size();
  while (b < e && isTrimmed(data[b]))
    ++b;
  while (e > b && isTrimmed(data[e - 1]))
    --e;
  return data.mid(b, e - b);
}

QByteArray BuildOutputReport(const QString &command, const LinkKey &key, int outputLength) {
  const int length = qMax(1, outputLength);
  QByteArray report(length, ' ');
  report[0] = 0;
  const QByteArray text = Scramble(command.toLatin1(), key);
  for (int i = 0; i < text.size() && i + 1 < length; ++i)
    report[i + 1] = text[i];
  return report;
}

QString ParseReplyData(const QByteArray &data, const LinkKey &key) {
  QByteArray text = TrimReply(data);
  if (text.size() <= 5 && !isStatus(text))
    text = Unscramble(text, key);
  return QString::fromLatin1(text);
}

QString DecodeOutputReport(const QByteArray &report, const LinkKey &key) {
  if (report.isEmpty())
    return {};
  const QByteArray body = report.mid(1);
  // Only the first five characters are scrambled; the padding is plain blanks.
  QByteArray text = Unscramble(body.left(5), key) + body.mid(5);
  return QString::fromLatin1(TrimReply(text));
}

QByteArray BuildReplyData(const QString &reply, const LinkKey &key, int inputLength) {
  const int length = qMax(0, inputLength - 1);
  QByteArray text = reply.toLatin1();
  if (text.size() <= 5 && !isStatus(text))
    text = Scramble(text, key);
  QByteArray data(length, ' ');
  for (int i = 0; i < text.size() && i < length; ++i)
    data[i] = text[i];
  return data;
}

int HexValue(const QString &text, int fallback) {
  // Plain digits only: QString::toInt would also take a sign or "0x".
  if (text.isEmpty() || text.size() > 7)
    return fallback;
  int v = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    int d;
    if (u >= '0' && u <= '9')
      d = u - '0';
    else if (u >= 'A' && u <= 'F')
      d = u - 'A' + 10;
    else if (u >= 'a' && u <= 'f')
      d = u - 'a' + 10;
    else
      return fallback;
    v = v * 16 + d;
  }
  return v;
}

int ProbeValue(const QString &reply) {
  // A short reply is malformed, not a small reading.
  const QString digits = reply.mid(2, 3);
  return digits.size() == 3 ? HexValue(digits, 0) : 0;
}

QString RegisterDigits(const QString &reply) {
  return reply.mid(3, 2);
}

QString ByteHex(int byte) {
  return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString ReadRegisterCommand(int reg) {
  return u'R' + ByteHex(reg) + QStringLiteral("00");
}

QString WriteRegisterCommand(int reg, int byte) {
  return u'W' + ByteHex(reg) + ByteHex(byte);
}

QString GainCommand(int gain) {
  return QStringLiteral("G00") + ByteHex(qBound(0, gain, 255));
}

QStringList SoundCommands(int n) {
  switch (n) {
  case 1: return {QStringLiteral("S8863")};
  case 2: return {QStringLiteral("S885E"), QStringLiteral("S8862")};
  case 3: return {QStringLiteral("S5662"), QStringLiteral("S8960")};
  case 4: return {QStringLiteral("SB660")};
  case 5: return {QStringLiteral("S6862")};
  case 6: return {QStringLiteral("S6864"), QStringLiteral("S4F62")};
  case 7: return {QStringLiteral("SD05D")};
  case 8: return {QStringLiteral("SA060")};
  case 9: return {QStringLiteral("SD05D")};
  case 10: return {QStringLiteral("SAB5D")};
  case 11: return {QStringLiteral("S905D")};
  case 12: return {QStringLiteral("S685D")};
  case 13: return {QStringLiteral("SC040")};
  default: return {};
  }
}

} // namespace LinkProtocol
