#include "records/JetTableSource.h"

namespace {

class JetTableReader : public TableReader {
public:
  explicit JetTableReader(std::unique_ptr<JetTable> table) : m_table(std::move(table)) {
    for (const JetColumn &c : m_table->columns())
      m_columns << c.name;
  }
  QString name() const override { return m_table->name(); }
  QStringList columns() const override { return m_columns; }
  qint64 rowCount() const override { return m_table->rowCount(); }
  bool next() override { return m_table->next(); }
  QVariant value(const QString &column) const override { return m_table->value(column); }
  QString errorText() const override { return m_table->errorText(); }

private:
  std::unique_ptr<JetTable> m_table;
  QStringList m_columns;
};

} // namespace

std::unique_ptr<JetTableSource> JetTableSource::open(const QString &path, QString *error) {
  std::unique_ptr<JetTableSource> s(new JetTableSource);
  if (!s->m_db.open(path)) {
    if (error)
      *error = s->m_db.errorText();
    return nullptr;
  }
  return s;
}

std::unique_ptr<TableReader> JetTableSource::openTable(const QString &table, QString *error) {
  std::unique_ptr<JetTable> t = m_db.openTable(table);
  if (!t) {
    if (error)
      *error = m_db.errorText();
    return nullptr;
  }
  return std::make_unique<JetTableReader>(std::move(t));
}
