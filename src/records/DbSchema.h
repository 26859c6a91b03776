#pragma once
// The tables of the database files and how they are created. The files keep
// their historical ".mdb" names but are SQLite databases; table and field
// names compare without regard to case in SQL, and every text field is declared
// COLLATE NOCASE so that comparisons, prefix searches and sorts treat letter
// case the way the program always has.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <vector>

enum class FieldType {
  Text,       // short text (size = characters the program writes at most; 0 = free)
  Memo,       // long text
  YesNo,      // 0 / 1
  DateTime,   // day number (shell/DayNumber.h); 0 = not given
  Double,     // floating-point number
  Long,       // whole number
  AutoNumber, // assigned by the database on insert
  Picture     // image bytes
};

struct FieldDef {
  const char *name;
  FieldType type;
  int size = 0;
  bool later = false; // missing from databases of earlier versions
};

struct TableDef {
  const char *name;
  std::vector<FieldDef> fields;
  int fieldIndex(const QString &field) const; // case-insensitive; -1 when absent
  QStringList fieldNames() const;
};

// "SoCust", "SoData", "SoPro", "SoPrDt", "SOMTDB" (any spelling), or nullptr.
const TableDef *FindTableDef(const QString &table);
const TableDef &SoCustTable();
const TableDef &SoDataTable();
const TableDef &SoProTable();
const TableDef &SoPrDtTable();
const TableDef &SomtdbTable();

// What a database file holds.
enum class DatabaseKind {
  Working,   // sova6.mdb, SoSpa_60.mdb (template), SoTran.mdb, sova_60.mdb: SoCust, SoData, SoPro, SoPrDt
  Reference, // sovaCn.mdb: SOMTDB
  Programme  // sovaMCn.mdb: SoPro, SoPrDt
};
QList<const TableDef *> TablesOf(DatabaseKind kind);

// Creates the tables and indexes of kind on an open connection (one
// transaction; tables and indexes that exist already are left as they are).
bool CreateSchema(QSqlDatabase &db, DatabaseKind kind, QString *error, bool indexes = true);
bool CreateIndexes(QSqlDatabase &db, DatabaseKind kind, QString *error);

// Inserts one row; column names are checked against the table's definition
// (any spelling), values are bound. Unknown columns fail. *rowId receives the
// new row's key (MKEY where the table has one).
bool InsertRow(QSqlDatabase &db, const QString &table, const QVariantMap &values, QString *error,
               qint64 *rowId = nullptr);
