#pragma once
// Reading the expert and multi-meridian programmes (SoPro with its conditions
// SoPrDt, in the working and in the programme database) and the meridian
// reference topics (SOMTDB of the reference database).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <optional>

struct ProgrammeRecord {
  qint64 MKEY = 0;
  QString ProNo, ProName, ProData;
  QByteArray ProPict;
  bool ProScal = false;
  QString ProFn;
  std::array<QString, 5> ProScrp, ProPrg, ProParm; // [1..4]
  std::array<QString, 6> ProHel;                   // [1..5]
  bool PrtFG = false;
};

struct ProgrammeCondition {
  QString ProNo, ProSubN, ProNote, ProAnd, ProCond;
  double ProEng = 0, ProAGL = 0, ProAGH = 0;
  bool ProFlg = false, PrtFG = false;
};

// In the order of the index SoProB (ProNo), then as stored.
QList<ProgrammeRecord> ReadProgrammes(QSqlDatabase db, QString *error = nullptr);
std::optional<ProgrammeRecord> FindProgramme(QSqlDatabase db, qint64 mkey, QString *error = nullptr);
// The first programme, in SoProB order, with that name (any letter case).
std::optional<ProgrammeRecord> FindProgrammeByName(QSqlDatabase db, const QString &name,
                                                   QString *error = nullptr);
// The conditions of one programme, in the order of the index on ProNo.
QList<ProgrammeCondition> ReadProgrammeConditions(QSqlDatabase db, const QString &proNo,
                                                  QString *error = nullptr);

// One SOMTDB topic: key 1..12 the meridians, 13..17 the five indices. The
// texts are as stored (enciphered with key 1; see shell/Cipher.h).
struct ReferenceTopic {
  int MKEY = 0;
  QHash<QString, QString> texts; // lower-case field name -> stored text
  QByteArray DtGpM;              // the meridian's picture
  QString stored(const QString &field) const { return texts.value(field.toLower()); }
  // Deciphered text of a field; empty when missing or not decipherable.
  QString text(const QString &field) const;
};
std::optional<ReferenceTopic> ReadReferenceTopic(QSqlDatabase db, int mkey, QString *error = nullptr);
