#pragma once
// Writes the three delivered databases from the content sources: the empty
// template "SoSpa_60.mdb", the reference "sovaCn.mdb" (table SOMTDB, texts
// enciphered with key 1, meridian illustrations) and the programme database
// "sovaMCn.mdb" (SoPro with its SoPrDt conditions).
#include <QString>

bool WriteDeliveredDatabases(const QString &sourceDir, const QString &outDir, QString *error);
