#pragma once
// The instrument's wire protocol as pure functions over bytes: the link key,
// scrambling, output and input reports, and the parsing of replies. Both sides
// use it: the link (host) and the instrument simulator (device).
//
// Scrambling. Character i (1..5) of a command becomes (c + LinkKey[i] - 15)
// mod 256; a reply of at most five characters is unscrambled the other way.
// With kLinkKey = 10 1B 12 19 14 (hex) the offsets are +1 +12 +3 +10 +5:
//
//   command  "D0000"   44 30 30 30 30
//   scrambled          45 3C 33 3A 35          ("E<3:5")
//
// Output report (host to instrument), exactly L bytes, L the device's declared
// output report length (report ID byte included). For L = 9:
//
//   00 | 45 3C 33 3A 35 | 20 20 20
//   ID   scrambled "D0000"   blanks up to L
//
// A command longer than L-1 characters is cut; a report longer than 65 bytes is
// built and sent whole (the length follows the device, not a fixed buffer).
//
// Input report (instrument to host): byte 0 the report ID (ignored), then the
// reply text as 8-bit characters, trimmed of blanks and control characters.
// A trimmed reply of at most five characters that is neither "Z0000" nor
// "Z0001" is unscrambled; longer ones and the two status replies are not:
//
//   00 | 45 3C 44 4C 48 | 20 20 20   ->  "D0ABC"   (probe reading 0xABC = 2748)
//   00 | 5A 30 30 30 31 | 00 00 00   ->  "Z0001"   (status, left as it is)
//   00 | 20 53 3C 34 50 37 0D 0A     ->  "R01F2"   (trimmed first: 53 3C 34 50 37)
//
// Replies to a register read ("R" + register + "00") carry the byte in
// characters 4 and 5: "R06FF" is register 06 holding FF. Replies to the probe
// read ("D0000") carry the reading in characters 3 to 5.
//
// The key is one fixed value for the product, set at every connection: the
// instrument's firmware carries the same five bytes. It keeps every scrambled
// character of a reply made of digits and capital letters printable (offsets 1
// to 12), so trimming never eats a scrambled character and no scrambled reply
// can read "Z0000" or "Z0001" (a scrambled digit is never '0'; the
// instrument starts no reply with 'Y').
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace LinkProtocol {

using LinkKey = std::array<quint8, 5>;
inline constexpr LinkKey kLinkKey{0x10, 0x1B, 0x12, 0x19, 0x14};

inline constexpr quint16 kVendorId = 0x2F68;
inline constexpr quint16 kProductId = 0x39D4;
inline constexpr char kNewerHardware[] = "SOVA6-20051706-A02";
inline constexpr int kReportBuffer = 65; // report ID and 64 data bytes, the usual size

QByteArray Scramble(const QByteArray &text, const LinkKey &key);
QByteArray Unscramble(const QByteArray &text, const LinkKey &key);

// Host side: the output report for a command, outputLength bytes (at least 1).
QByteArray BuildOutputReport(const QString &command, const LinkKey &key, int outputLength);
// Host side: the reply text of an input report's data bytes (report ID removed).
QString ParseReplyData(const QByteArray &data, const LinkKey &key);
// Trims leading and trailing blanks and control characters.
QByteArray TrimReply(const QByteArray &data);

// Device side: the command text in an output report (report ID included).
QString DecodeOutputReport(const QByteArray &report, const LinkKey &key);
// Device side: the data bytes (report ID excluded) of the input report carrying
// reply, inputLength - 1 bytes filled with blanks. Status replies go as they are.
QByteArray BuildReplyData(const QString &reply, const LinkKey &key, int inputLength);

// Reply parsing. ProbeValue: characters 3 to 5 read as hexadecimal, 0 when any
// is missing or not hexadecimal ("Z0001" is handled by the caller).
int ProbeValue(const QString &reply);
// Characters 4 and 5 of a register read's reply (may be shorter or not hex).
QString RegisterDigits(const QString &reply);
// Reads text as hexadecimal, fallback when it is empty or not hexadecimal.
int HexValue(const QString &text, int fallback);

// Command texts.
QString ByteHex(int byte); // two upper-case digits, leading zero
QString ReadRegisterCommand(int reg);
QString WriteRegisterCommand(int reg, int byte);
QString GainCommand(int gain);
// The commands Sound(n) sends; empty for n without a signal.
QStringList SoundCommands(int n);

} // namespace LinkProtocol
