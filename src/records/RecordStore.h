#pragma once
// Subjects and measurements of a working database: typed rows and the
// operations the windows use. Each operation is one transaction: when it fails
// (the message tells why) the database is as it was before. Subject numbers
// are bound as values, so any character, an apostrophe too, is safe. Numbers
// compare without regard to letter case, as the lists and the editor do.
#include "measure/Measurement.h"

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <optional>

struct SubjectRecord {
  QString CustNo, Name;
  bool Sex = true; // true: male
  double DBirth = 0;
  QString Addr, Tel, Tel2, Tel3, EMail, Memo;
  double PRESOA = 0;
  QString BType;
  double Height = 0, Weight = 0;
  QString CustCat, CustFG;
  bool PrtFG = false;

  static SubjectRecord fromSql(const QSqlRecord &r);
  static SubjectRecord fromSubject(const Subject &s);
  Subject toSubject() const;
};

struct MeasurementRecord {
  qint64 MKEY = 0;
  QString CustNo;
  double SoDate = 0;
  bool SoVota = false;
  SlotArray SO{}; // [1..24]
  QString MEMO1, MEMO2, STD, AutoKey;
  bool PrtFG = false;

  static MeasurementRecord fromSql(const QSqlRecord &r);
  // STD is built from the stability values; MEMO1 joins the note lines.
  static MeasurementRecord fromMeasurement(const Measurement &m, const QString &custNo);
  // As a loaded measurement: stabilities from STD, StoredKey = MKEY.
  Measurement toMeasurement() const;
};

// The subject whose number equals custNo without regard to case.
std::optional<SubjectRecord> FindSubject(QSqlDatabase db, const QString &custNo, QString *error = nullptr);
std::optional<MeasurementRecord> FindMeasurement(QSqlDatabase db, qint64 mkey, QString *error = nullptr);
// Newest first.
QList<MeasurementRecord> MeasurementsOf(QSqlDatabase db, const QString &custNo, QString *error = nullptr);
int CountSubjects(QSqlDatabase db);
int CountMeasurements(QSqlDatabase db, const QString &custNo);

// Texts are stored trimmed. Refuses a number that is empty or already used.
bool InsertSubject(QSqlDatabase db, const SubjectRecord &s, QString *error);
// Writes every field but PRESOA to the subject numbered oldCustNo (exactly);
// when the number changes, its measurements move to the new number with it.
bool UpdateSubject(QSqlDatabase db, const QString &oldCustNo, const SubjectRecord &s, QString *error);
// Deletes the subject and all its measurements.
bool DeleteSubject(QSqlDatabase db, const QString &custNo, QString *error);

// Appends a row and returns its MKEY (0 on failure: also when no subject has
// that number); the subject's PRESOA is raised when the new SoDate is later.
qint64 AppendMeasurement(QSqlDatabase db, const MeasurementRecord &m, QString *error);
// Rewrites SoDate, SoVota, MEMO1 and SO1..SO24 of row m.MKEY (CustNo, STD
// stay); PRESOA follows the subject's latest measurement.
bool UpdateMeasurement(QSqlDatabase db, const MeasurementRecord &m, QString *error);
// Rewrites only MEMO1 of row mkey (the analysis window's notes).
bool UpdateMeasurementNote(QSqlDatabase db, qint64 mkey, const QString &memo1, QString *error);
// Deletes row mkey; PRESOA becomes the latest remaining SoDate, or 0.
bool DeleteMeasurement(QSqlDatabase db, qint64 mkey, QString *error);

// PRESOA = the largest SoDate of the subject's measurements, or 0.
bool SetPresoaToLatest(QSqlDatabase db, const QString &custNo, QString *error);
bool RecomputeAllPresoa(QSqlDatabase db, QString *error);
