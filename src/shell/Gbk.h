#pragma once
// UTF-8 in memory; GBK bytes where texts are enciphered or stored as 8-bit text.
#include <QByteArray>
#include <QString>

QByteArray ToGbk(const QString &text);
QString FromGbk(const QByteArray &bytes);
