#pragma once
// The key-string cipher: one random seed byte, then each plain byte chained
// with the previous cipher byte and XORed with the cycling key string; written
// as upper-case hexadecimal pairs. Key numbers 1..7 (6 is the same as 1).
#include <QByteArray>
#include <QString>
#include <optional>

QString Encipher(const QByteArray &plain, int keyNumber);
// The same with a given seed byte (0..255), for repeatable output.
QString Encipher(const QByteArray &plain, int keyNumber, int seed);
// Upper or lower case digits. Malformed input (a pair that is not
// hexadecimal, a lone seed) gives nullopt. A lone digit after the last pair is
// ignored, except that the first byte is read even from a single digit.
// Never yields a zero byte (a zero byte enciphers like 255 and comes back so).
std::optional<QByteArray> Decipher(const QString &hexText, int keyNumber);

// Text forms: Chinese goes through GBK bytes as the stored texts require.
QString EncipherText(const QString &plain, int keyNumber);
std::optional<QString> DecipherText(const QString &hexText, int keyNumber);
// For branding texts compiled into the program: an undecipherable text is a
// build fault, so it gives an empty string rather than an optional.
QString DecipherOrEmpty(const QString &hexText, int keyNumber);

QByteArray KeyString(int keyNumber);
