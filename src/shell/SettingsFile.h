#pragma once
// The settings file "SoDefCn6C.ini": 78 lines, one value each, every line
// enciphered with key 5, CRLF line ends. Values are written as integers,
// shortest decimals with the locale's separator, "1"/"0" and plain texts.
#include "shell/Settings.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

constexpr int kSettingsLineCount = 78;
constexpr int kSettingsKey = 5;

QString SettingsFileName(); // "SoDefCn6C.ini"
// The file in the data folder (an existing file is found whatever its case).
QString SettingsFilePath(const QString &dataFolder);

// Every value of the table of defaults.
void SetDefaultSettings(Settings &s, const QLocale &locale = QLocale(),
                        const QDate &today = QDate::currentDate());

// The 78 value texts as they are written before enciphering (index 0 = line 1).
QStringList SettingsLineTexts(const Settings &s, const QLocale &locale = QLocale());
// Applies each line's reading rule to the deciphered texts; missing lines
// read as empty texts.
void SettingsFromLineTexts(Settings &s, const QStringList &texts, const QLocale &locale = QLocale(),
                           const QDate &today = QDate::currentDate());
// A short English meaning of a line (1..78), for support tools.
QString SettingsLineMeaning(int line);

struct SettingsReadResult {
  bool ok = true;           // false: the file could not be opened; defaults were set
  QString error;            // why, with the file's path
  QList<int> replacedLines; // lines that were not valid enciphered text
};
// Reads the file into s. A line that cannot be deciphered is read as an empty
// text (so its rule's value applies) and listed; the rest is still read.
SettingsReadResult ReadSettings(Settings &s, const QString &path, const QLocale &locale = QLocale(),
                                const QDate &today = QDate::currentDate());

struct SettingsWriteResult {
  bool ok = true;
  QString error; // with the file's path
};
// Writes all 78 lines to a temporary file beside the target and renames it
// over the old one, so a failed write leaves the old file as it was.
SettingsWriteResult WriteSettings(const Settings &s, const QString &path, const QLocale &locale = QLocale());
