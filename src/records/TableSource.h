#pragma once
// Reading another database file row by row, whatever its format: an old
// working database or a transfer file may be one of ours (SQLite) or one of
// the Windows edition (Jet). Conversion and import read through this and
// write into the working database with records/DbSchema.h / RecordStore.h.
//
// Values are typed the same way for both formats: text and memo as QString,
// yes/no as bool, date/time as the stored day number (double), numbers as
// double or int, pictures as QByteArray; NULL, or a column the file does not
// have (an earlier version's file without a later field), is an invalid
// QVariant. Table and column names match without regard to case.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class TableReader {
public:
  virtual ~TableReader() = default;
  virtual QString name() const = 0;
  virtual QStringList columns() const = 0;
  bool hasColumn(const QString &column) const;
  // The number of rows, for progress displays.
  virtual qint64 rowCount() const = 0;
  // Moves to the next row, in the file's stored order. False at the end or
  // on a read error (errorText() then names the file).
  virtual bool next() = 0;
  virtual QVariant value(const QString &column) const = 0;
  virtual QString errorText() const = 0;
};

class TableSource {
public:
  virtual ~TableSource() = default;
  virtual QString path() const = 0;
  virtual QStringList tableNames() const = 0;
  bool hasTable(const QString &table) const;
  // nullptr with *error set when the table is missing or cannot be read.
  virtual std::unique_ptr<TableReader> openTable(const QString &table, QString *error) = 0;
};

// Opens path read-only in the format its first bytes show; nullptr and a
// message naming the file when it is missing, of another kind or damaged.
std::unique_ptr<TableSource> OpenTableSource(const QString &path, QString *error);
