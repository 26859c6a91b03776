#pragma once
// TableSource over one of our own database files, on a private read-only
// connection that lives as long as the source.
#include "records/TableSource.h"

#include <QSqlDatabase>

class SqliteTableSource : public TableSource {
public:
  ~SqliteTableSource() override;
  static std::unique_ptr<SqliteTableSource> open(const QString &path, QString *error);

  QString path() const override { return m_path; }
  QStringList tableNames() const override { return m_tables; }
  std::unique_ptr<TableReader> openTable(const QString &table, QString *error) override;

private:
  SqliteTableSource() = default;
  QString m_path, m_connection;
  QStringList m_tables;
};
