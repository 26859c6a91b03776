#pragma once
// One table of a Jet file opened by JetDatabase: its columns and a forward
// cursor over its rows with typed values. Read only.
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

struct JetFile;

enum class JetType {
  Bool,     // yes/no: bool, never NULL
  Byte,     // int
  Integer,  // 16-bit: int
  Long,     // 32-bit (also auto numbers): int
  Money,    // double
  Single,   // double
  Double,   // double
  DateTime, // double: the stored day number (days since 1899-12-30, time as fraction)
  Binary,   // QByteArray
  Text,     // QString
  Ole,      // QByteArray (pictures)
  Memo,     // QString
  Guid,     // QString "{...}"
  Numeric,  // double
  Other     // a type this reader does not decode: always NULL
};

struct JetColumn {
  QString name;
  JetType type = JetType::Other;
  int size = 0; // stored size in bytes (0 for memo and OLE)
  bool autoNumber = false;
};

class JetTable {
public:
  ~JetTable();
  JetTable(const JetTable &) = delete;
  JetTable &operator=(const JetTable &) = delete;

  QString name() const { return m_name; }
  const QList<JetColumn> &columns() const { return m_columns; }
  // Without regard to case; -1 when the table has no such column.
  int columnIndex(const QString &column) const;
  bool hasColumn(const QString &column) const { return columnIndex(column) >= 0; }
  // The row count the table's definition records.
  qint64 rowCount() const { return m_rowCount; }

  // Moves to the next row. False at the end, or when the file turns out to be
  // damaged (errorText() then says where); a cursor that failed stays failed.
  bool next();
  void rewind();
  // Values of the current row. A NULL is an invalid QVariant; an empty text
  // is an empty (non-NULL) QString; a yes/no is always a bool.
  QVariant value(int column) const;
  QVariant value(const QString &column) const; // NULL when there is no such column
  const QList<QVariant> &values() const { return m_values; }

  bool hasError() const { return !m_error.isEmpty(); }
  QString errorText() const { return m_error; }

private:
  friend class JetDatabase;
  JetTable(std::shared_ptr<JetFile> file, void *tableDef);
  bool fail(const QString &detail);
  bool crackCurrentRow(int rowStart, int rowSize);

  std::shared_ptr<JetFile> m_file;
  void *m_def = nullptr; // MdbTableDef
  QString m_name;
  QList<JetColumn> m_columns;
  QHash<QString, int> m_byExactName;
  QHash<QString, int> m_byName; // lower-case name -> index
  qint64 m_rowCount = 0;
  qint64 m_rowsRead = 0;
  QList<QVariant> m_values;
  QByteArray m_page; // the current data page (kept apart from libmdb's buffers)
  quint32 m_pageNumber = 0;
  int m_slot = 0;
  int m_slots = 0;
  bool m_started = false;
  bool m_atEnd = false;
  QString m_error;
};
