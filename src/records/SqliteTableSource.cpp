#include "records/SqliteTableSource.h"

#include "records/Database.h"
#include "records/DbSchema.h"

#include <QDir>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

class SqliteTableReader : public TableReader {
public:
  SqliteTableReader(QSqlDatabase db, const QString &table, const TableDef *def)
      : m_db(db), m_table(table), m_def(def) {}

  bool start(QString *error) {
    const QString quoted =
        QStringLiteral("\"%1\"").arg(QString(m_table).replace(u'"', QStringLiteral("\"\"")));
    QSqlQuery count(m_db);
    if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted)) || !count.next()) {
      *error = DescribeDbError(m_db, count.lastError());
      return false;
    }
    m_rows = count.value(0).toLongLong();
    m_query = QSqlQuery(m_db);
    m_query.setForwardOnly(true);
    if (!m_query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quoted))) {
      *error = DescribeDbError(m_db, m_query.lastError());
      return false;
    }
    const QSqlRecord r = m_query.record();
    for (int i = 0; i < r.count(); ++i)
      m_columns << r.fieldName(i);
    return true;
  }

  QString name() const override { return m_table; }
  QStringList columns() const override { return m_columns; }
  qint64 rowCount() const override { return m_rows; }

  bool next() override {
    if (!m_error.isEmpty())
      return false;
    if (m_query.next())
      return true;
    if (m_query.lastError().isValid())
      m_error = DescribeDbError(m_db, m_query.lastError());
    return false;
  }

  QVariant value(const QString &column) const override {
    int i = -1;
    for (int c = 0; c < m_columns.size() && i < 0; ++c)
      if (m_columns.at(c).compare(column, Qt::CaseInsensitive) == 0)
        i = c;
    if (i < 0)
      return QVariant();
    const QVariant v = m_query.value(i);
    if (v.isNull())
      return QVariant();
    const int f = m_def ? m_def->fieldIndex(column) : -1;
    if (f < 0)
      return v;
    switch (m_def->fields[size_t(f)].type) {
    case FieldType::YesNo: return v.toInt() != 0;
    case FieldType::DateTime:
    case FieldType::Double: return v.toDouble();
    case FieldType::Long:
    case FieldType::AutoNumber: return v.toLongLong();
    case FieldType::Picture: return v.toByteArray();
    case FieldType::Text:
    case FieldType::Memo: return v.toString();
    }
    return v;
  }

  QString errorText() const override { return m_error; }

private:
  QSqlDatabase m_db;
  QString m_table;
  const TableDef *m_def;
  QSqlQuery m_query;
  QStringList m_columns;
  qint64 m_rows = 0;
  QString m_error;
};

} // namespace

SqliteTableSource::~SqliteTableSource() {
  CloseDatabaseConnection(m_connection);
}

std::unique_ptr<SqliteTableSource> SqliteTableSource::open(const QString &path, QString *error) {
  std::unique_ptr<SqliteTableSource> s(new SqliteTableSource);
  s->m_path = path;
  s->m_connection = QStringLiteral("sova-source-%1").arg(quintptr(s.get()), 0, 16);
  QSqlDatabase db = OpenDatabaseFile(path, OpenMode::ReadOnly, s->m_connection, error);
  if (!db.isValid())
    return nullptr;
  QSqlQuery q(db);
  if (!q.exec(
          QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                         "ORDER BY rowid"))) {
    if (error)
      *error = DescribeDbError(db, q.lastError());
    return nullptr;
  }
  while (q.next())
    s->m_tables << q.value(0).toString();
  return s;
}

std::unique_ptr<TableReader> SqliteTableSource::openTable(const QString &table, QString *error) {
  QString stored;
  for (const QString &t : std::as_const(m_tables))
    if (t.compare(table, Qt::CaseInsensitive) == 0)
      stored = t;
  QString err;
  if (stored.isEmpty()) {
    if (error)
      *error = QStringLiteral("数据库文件 %1 缺少数据表 %2。").arg(QDir::toNativeSeparators(m_path), table);
    return nullptr;
  }
  auto reader = std::make_unique<SqliteTableReader>(QSqlDatabase::database(m_connection, false), stored,
                                                    FindTableDef(stored));
  if (!reader->start(&err)) {
    if (error)
      *error = err;
    return nullptr;
  }
  return reader;
}
