#pragma once
// The key-string cipher: one random seed byte, then each plain byte chained
// with the previous cipher byte and XORed with the cycling key string; written
// as upper-case hexadecimal pairs. Key numbers 1..7 (6 is the same as 1).
#include <QByteArray>
#include <QString>
#include <optional>

QString Encipher(const QByteArray &plain, int keyNumber);
// Malformed input (a pair that is not hexadecimal, a lone seed) gives nullopt.
std::optional<QByteArray> Decipher(const QString &hexText, int keyNumber);

// Text forms: Chinese goes through GBK bytes as the stored texts require.
QString EncipherText(const QString &plain, int keyNumber);
std::optional<QString> DecipherText(const QString &hexText, int keyNumber);
// For branding texts compiled into the program: an undecipherable text is a
// build fault, so it gives an empty string rather than an optional.
QString DecipherOrEmpty(const QString &hexText, int keyNumber);

QByteArray KeyString(int keyNumber);
