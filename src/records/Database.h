#pragma once
// The database layer: files, connections, tables, the queries of the lists and
// the operations that keep the tables consistent.
//
// Files (all in AppContext::dataFolder, looked up without regard to case):
//   DbFile::Working   "sova6.mdb"   subjects, measurements, the user's programmes
//   DbFile::Reference "sovaCn.mdb"  SOMTDB, opened read-only
//   DbFile::Programme "sovaMCn.mdb" SoPro/SoPrDt selection tables, opened read-only
//   DbFile::Template  "SoSpa_60.mdb", DbFile::Transfer "SoTran.mdb", DbFile::Delivered
//   "sova_60.mdb", DbFile::Old "sova.mdb", DbFile::Old4 "sova4.mdb", BackupFileName(date).
//   They are SQLite files; an old or transfer file may also be an Access (Jet)
//   file, read through a TableSource (records/TableSource.h).
//
// Creating files (records/DbSchema.h, this header):
//   CreateDatabaseFile(path, DatabaseKind::Working|Reference|Programme, &err)
//   creates a new file with every table and index of that kind; then fill it
//   with InsertRow(db, "SOMTDB", {{"MKEY", 1}, {"DtMA1", text}, ...}, &err) on a
//   connection from OpenDatabaseFile(path, OpenMode::ReadWrite, name, &err)
//   (close it with CloseDatabaseConnection(name)). CreateTemplateDatabase(folder)
//   writes the empty "SoSpa_60.mdb". Wrap many inserts in a DbTransaction.
//
// Connections (AppContext::database()):
//   Database::open(dataFolder, &err) opens working (read-write), reference and
//   programme (read-only); working(), reference(), programme() give them;
//   close() ends them (the main window does so on exit). openPrivate(fileName,
//   mode, &err) / closePrivate(db) for the old and the transfer database.
//   Every context has its own uniquely named connections. A file that is
//   missing, not a database or damaged fails with a message naming the file.
//
// Reading and writing (records/RecordStore.h): SubjectRecord, MeasurementRecord;
//   FindSubject, InsertSubject, UpdateSubject (renumbers measurements too),
//   DeleteSubject (with its measurements), AppendMeasurement (raises PRESOA),
//   UpdateMeasurement, DeleteMeasurement (PRESOA follows), SetPresoaToLatest,
//   RecomputeAllPresoa, UpdateMeasurementNote. Each is one transaction: on
//   failure nothing changes and the message names the file.
//   Stability text: BuildStabilityText / ParseStabilityText (records/StabilityText.h).
//
// Lists (records/SubjectQueryModel.h, records/MeasurementQueryModel.h): Qt
//   table models that fetch rows page by page and add the calculated fields
//   (RENO, Sex_S, DBIRTH_C, SoAge, PRESOA_C; STNO, SODATE_C, SODATE_T,
//   SOVOTA_C, Soa_Age, Dta_Avg). Columns by name: fieldIndex("Sex_S").
//   SubjectQueryModel::openSorted(db, SubjectSortCode) sorts by the fixed
//   field list of SubjectSortField(); findRow() is the locate of the lists.
//   MeasurementQueryModel::openForSubject(db, custNo, birth) lists one subject's
//   measurements newest first.
//
// Programmes and reference texts (records/ProgrammeStore.h): ReadProgrammes
//   (SoProB order), FindProgramme (MKEY), FindProgrammeByName,
//   ReadProgrammeConditions (ProNo), ReadReferenceTopic (SOMTDB by MKEY; text()
//   deciphers with key 1).
//
// Old and transfer files (records/TableSource.h): OpenTableSource(path) reads
//   a SQLite or a Jet file table by table, row by row, with typed values.
#include "records/DbSchema.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace DbFile {
inline constexpr char Working[] = "sova6.mdb";
inline constexpr char WorkingCreated[] = "Sova6.mdb"; // spelling used when created from the template
inline constexpr char Reference[] = "sovaCn.mdb";
inline constexpr char Programme[] = "sovaMCn.mdb";
inline constexpr char Template[] = "SoSpa_60.mdb";
inline constexpr char Transfer[] = "SoTran.mdb";
inline constexpr char Delivered[] = "sova_60.mdb";
inline constexpr char Old[] = "sova.mdb";
inline constexpr char Old4[] = "sova4.mdb";
} // namespace DbFile
// "sova_" + yyyymmdd + "_BAK.mdb"
QString BackupFileName(const QDate &date);

enum class OpenMode { ReadWrite, ReadOnly };

// What kind of file a path holds, judged from its first bytes.
enum class FileFormat { Missing, Sqlite, Jet, Unknown };
FileFormat DetectFileFormat(const QString &path);

// Opens path as the connection `connectionName`. The file must exist and be a
// readable SQLite database; with `expect` given, its tables must be there too
// (a read-write connection adds tables or later fields that are missing).
// Returns an invalid QSqlDatabase and a message naming the file on failure.
QSqlDatabase OpenDatabaseFile(const QString &path, OpenMode mode, const QString &connectionName,
                              QString *error, const DatabaseKind *expect = nullptr);
void CloseDatabaseConnection(const QString &connectionName);
// A database error as the user reads it, naming the connection's file
// ("... 已损坏" when the file is damaged).
QString DescribeDbError(const QSqlDatabase &db, const QSqlError &error);
// A full check of the file's pages (slow on a big file; for repair tools and tests).
bool CheckDatabaseIntegrity(QSqlDatabase &db, QString *error);

// Creates a new file at path with the tables and indexes of kind; fails when
// the file exists already.
bool CreateDatabaseFile(const QString &path, DatabaseKind kind, QString *error);
// Writes the empty template "SoSpa_60.mdb" into folder (replacing none).
bool CreateTemplateDatabase(const QString &folder, QString *error);

class Database {
public:
  Database();
  ~Database();
  Database(const Database &) = delete;
  Database &operator=(const Database &) = delete;

  // Opens the three shared connections; on failure none stays open.
  bool open(const QString &dataFolder, QString *error);
  void close();
  bool isOpen() const { return m_open; }
  QString dataFolder() const { return m_folder; }

  QSqlDatabase working() const;
  QSqlDatabase reference() const;
  QSqlDatabase programme() const;

  // A private connection to another file of the data folder (old database,
  // transfer database), found without regard to case.
  QSqlDatabase openPrivate(const QString &folder, const QString &fileName, OpenMode mode, QString *error,
                           const DatabaseKind *expect = nullptr);
  void closePrivate(QSqlDatabase &db);

private:
  QString name(const char *role) const;
  QString m_folder;
  bool m_open = false;
  int m_privateCount = 0;
  QStringList m_private;
};
