#pragma once
// TableSource over a Jet file of the Windows edition (records/JetDatabase.h).
#include "records/JetDatabase.h"
#include "records/TableSource.h"

class JetTableSource : public TableSource {
public:
  static std::unique_ptr<JetTableSource> open(const QString &path, QString *error);

  QString path() const override { return m_db.path(); }
  QStringList tableNames() const override { return m_db.tableNames(); }
  std::unique_ptr<TableReader> openTable(const QString &table, QString *error) override;

private:
  JetTableSource() = default;
  JetDatabase m_db;
};
