#include "records/PagedQueryModel.h"

#include "records/Database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cmath>

namespace {
constexpr int kPageRows = 200;

bool run(const QSqlDatabase &db, QSqlQuery &q, const QString &sql, const QVariantList &binds,
         QString *error) {
  q.setForwardOnly(true);
  if (!q.prepare(sql)) {
    *error = DescribeDbError(db, q.lastError());
    return false;
  }
  for (const QVariant &v : binds)
    q.addBindValue(v);
  if (!q.exec()) {
    *error = DescribeDbError(db, q.lastError());
    return false;
  }
  return true;
}
} // namespace

PagedQueryModel::PagedQueryModel(QObject *parent) : QAbstractTableModel(parent) {}

bool PagedQueryModel::openStatement(QSqlDatabase db, const QString &table, const QString &where,
                                    const QVariantList &binds, const QString &sortField, bool descending,
                                    const QString &tieField) {
  beginResetModel();
  m_pages.clear();
  m_connection = db.connectionName();
  m_table = table;
  m_where = where;
  m_binds = binds;
  m_sortField = sortField;
  m_descending = descending;
  m_tieField = tieField;
  const QString dir = descending ? QStringLiteral(" DESC") : QString();
  m_order = (sortField.isEmpty() ? QString() : sortField + dir + QStringLiteral(", ")) + tieField + dir;
  m_fields = db.record(table);
  m_calculated = calculatedFields();
  m_open = false;
  m_count = 0;
  m_error.clear();
  QSqlQuery q(db);
  if (m_fields.isEmpty()) {
    m_error = QStringLiteral("数据表 %1 无法读取：%2").arg(table, DescribeDbError(db, db.lastError()));
  } else if (run(db, q,
                 QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2")
                     .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
                 binds, &m_error) &&
             q.next()) {
    m_count = q.value(0).toInt();
    m_open = true;
  } else if (m_error.isEmpty()) {
    m_error = DescribeDbError(db, q.lastError());
  }
  if (!m_open)
    m_fields = QSqlRecord();
  endResetModel();
  return m_open;
}

void PagedQueryModel::close() {
  beginResetModel();
  m_pages.clear();
  m_open = false;
  m_count = 0;
  m_fields = QSqlRecord();
  endResetModel();
}

bool PagedQueryModel::refresh() {
  if (m_connection.isEmpty())
    return false;
  return openStatement(QSqlDatabase::database(m_connection, false), m_table, m_where, m_binds, m_sortField,
                       m_descending, m_tieField);
}

QString PagedQueryModel::statement() const {
  return QStringLiteral("SELECT * FROM \"%1\"%2%3")
      .arg(m_table, m_where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + m_where,
           m_order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + m_order);
}

int PagedQueryModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : m_count;
}

int PagedQueryModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() || !m_open ? 0 : m_fields.count() + int(m_calculated.size());
}

const QList<QSqlRecord> *PagedQueryModel::page(int index) const {
  if (QList<QSqlRecord> *p = m_pages.object(index))
    return p;
  const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  QSqlQuery q(db);
  QVariantList binds = m_binds;
  binds << kPageRows << index * kPageRows;
  if (!run(db, q, statement() + QStringLiteral(" LIMIT ? OFFSET ?"), binds, &m_error))
    return nullptr;
  auto *rows = new QList<QSqlRecord>;
  rows->reserve(kPageRows);
  while (q.next())
    rows->append(q.record());
  m_pages.insert(index, rows);
  return rows;
}

QSqlRecord PagedQueryModel::record(int row) const {
  if (!m_open || row < 0 || row >= m_count)
    return QSqlRecord();
  const QList<QSqlRecord> *p = page(row / kPageRows);
  const int i = row % kPageRows;
  return p && i < p->size() ? p->at(i) : QSqlRecord();
}

int PagedQueryModel::fieldIndex(const QString &name) const {
  for (int i = 0; i < m_fields.count(); ++i)
    if (m_fields.fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
      return i;
  for (int i = 0; i < m_calculated.size(); ++i)
    if (m_calculated.at(i).compare(name, Qt::CaseInsensitive) == 0)
      return m_fields.count() + i;
  return -1;
}

QString PagedQueryModel::fieldName(int column) const {
  if (column < 0)
    return QString();
  if (column < m_fields.count())
    return m_fields.fieldName(column);
  return m_calculated.value(column - m_fields.count());
}

QVariant PagedQueryModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
    return QVariant();
  const QSqlRecord r = record(index.row());
  if (r.isEmpty())
    return QVariant();
  const int c = index.column();
  if (c < m_fields.count()) {
    const QVariant v = r.value(c);
    return role == Qt::DisplayRole ? display(m_fields.fieldName(c), v) : v;
  }
  return calculated(index.row(), fieldName(c), r, role);
}

QVariant PagedQueryModel::value(int row, const QString &field, int role) const {
  const int c = fieldIndex(field);
  return c < 0 ? QVariant() : data(index(row, c), role);
}

QVariant PagedQueryModel::calculated(int, const QString &, const QSqlRecord &, int) const {
  return QVariant();
}

QVariant PagedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole)
    return QVariant();
  if (orientation == Qt::Vertical)
    return section + 1;
  return fieldName(section);
}

int PagedQueryModel::findWhere(const QString &condition, const QVariantList &binds) const {
  if (!m_open)
    return -1;
  // The first match in the list's order, then its position counted with the
  // indexes, so that no page before the match has to be fetched.
  const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  const QString where = m_where.isEmpty() ? QString() : QStringLiteral("(%1) AND ").arg(m_where);
  const QString sort = m_sortField.isEmpty() ? m_tieField : m_sortField;
  QSqlQuery q(db);
  if (!run(db, q,
           QStringLiteral("SELECT %1, %2 FROM \"%3\" WHERE %4(%5) ORDER BY %6 LIMIT 1")
               .arg(sort, m_tieField, m_table, where, condition, m_order),
           m_binds + binds, &m_error) ||
      !q.next())
    return -1;
  const QVariant key = q.value(0), tie = q.value(1);
  const QString after = m_descending ? QStringLiteral(">") : QStringLiteral("<");
  QString before;
  QVariantList beforeBinds = m_binds;
  if (m_sortField.isEmpty()) {
    before = QStringLiteral("%1 %2 ?").arg(m_tieField, after);
    beforeBinds << tie;
  } else if (key.isNull()) {
    // NULLs come first ascending and last descending.
    before = m_descending
                 ? QStringLiteral("%1 IS NOT NULL OR (%1 IS NULL AND %2 > ?)").arg(m_sortField, m_tieField)
                 : QStringLiteral("%1 IS NULL AND %2 < ?").arg(m_sortField, m_tieField);
    beforeBinds << tie;
  } else {
    before = QStringLiteral("%1 %3 ? OR (%1 = ? AND %2 %3 ?)").arg(m_sortField, m_tieField, after);
    if (!m_descending)
      before += QStringLiteral(" OR %1 IS NULL").arg(m_sortField);
    beforeBinds << key << key << tie;
  }
  QSqlQuery c(db);
  if (!run(db, c, QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2(%3)").arg(m_table, where, before),
           beforeBinds, &m_error) ||
      !c.next())
    return -1;
  return c.value(0).toInt();
}

int PagedQueryModel::findRow(const QString &field, const QString &text, Match match) const {
  const TableDef *t = FindTableDef(m_table);
  const int f = t ? t->fieldIndex(field) : -1;
  if (f < 0)
    return -1;
  const QString col = QStringLiteral("\"%1\"").arg(QLatin1String(t->fields[size_t(f)].name));
  if (match == Match::Exact)
    return findWhere(col + QStringLiteral(" = ? COLLATE NOCASE"), {text});
  // LIKE compares without regard to case and can use the NOCASE indexes.
  QString pattern = text;
  pattern.replace(u'\\', QStringLiteral("\\\\"))
      .replace(u'%', QStringLiteral("\\%"))
      .replace(u'_', QStringLiteral("\\_"));
  return findWhere(col + QStringLiteral(" LIKE ? ESCAPE '\\'"), {pattern + u'%'});
}

int PagedQueryModel::findValue(const QString &field, const QVariant &value) const {
  const TableDef *t = FindTableDef(m_table);
  const int f = t ? t->fieldIndex(field) : -1;
  if (f < 0)
    return -1;
  const FieldDef &def = t->fields[size_t(f)];
  const QString col = QStringLiteral("\"%1\"").arg(QLatin1String(def.name));
  if (def.type == FieldType::DateTime) {
    const double day = std::floor(value.toDouble());
    return findWhere(col + QStringLiteral(" >= ? AND ") + col + QStringLiteral(" < ?"), {day, day + 1});
  }
  return findWhere(col + QStringLiteral(" = ?"), {value});
}
