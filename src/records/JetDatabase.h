#pragma once
// Read-only access to the Jet 4 (Access 2000) database files of the Windows
// edition, so that their subjects, measurements and programmes can be carried
// over (conversion at start-up, import of a transfer file). The file is opened
// read-only and never written; table and field names match without regard to
// case, as Jet matches them.
#include "records/JetTable.h"

#include <QString>
#include <QStringList>
#include <memory>

class JetDatabase {
public:
  JetDatabase();
  ~JetDatabase();
  JetDatabase(const JetDatabase &) = delete;
  JetDatabase &operator=(const JetDatabase &) = delete;

  // True when the file's first page carries the Jet (or ACE) signature; says
  // nothing about whether the rest of it can be read.
  static bool IsJetFile(const QString &path);

  // Opens the file and reads its catalogue. On failure errorText() is a
  // message for the user that names the file.
  bool open(const QString &path);
  void close();
  bool isOpen() const { return m_file != nullptr; }
  QString path() const { return m_path; }
  QString errorText() const { return m_error; }

  // The user tables, in the catalogue's order.
  QStringList tableNames() const { return m_tables; }
  bool hasTable(const QString &table) const;
  // A cursor over a table (any spelling of its name); nullptr with
  // errorText() set when the file has no such table or it cannot be read.
  std::unique_ptr<JetTable> openTable(const QString &table);

private:
  std::shared_ptr<JetFile> m_file;
  QString m_path;
  QStringList m_tables;
  QString m_error;
};
