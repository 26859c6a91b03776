#pragma once
// A read-only table model over one SELECT of one table that fetches its rows
// page by page as the view asks for them, so opening a list of any length
// costs one count and one page. Derived models add calculated columns after
// the table's own. Write through records/RecordStore.h, then refresh().
//
// Roles: Qt::DisplayRole gives the text a list shows; Qt::EditRole the value
// itself (day numbers for dates, 0/1 for yes/no; QDate/QTime for calculated
// date and time columns).
#include <QAbstractTableModel>
#include <QCache>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantList>

class PagedQueryModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit PagedQueryModel(QObject *parent = nullptr);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  bool isOpen() const { return m_open; }
  void close();
  // Runs the statement again (after a write); keeps the order and the filter.
  bool refresh();
  QString lastError() const { return m_error; }
  // The statement as it is run, with "?" where values are bound.
  QString statement() const;

  // Column of a table field or calculated field, any spelling; -1 when absent.
  int fieldIndex(const QString &name) const;
  QString fieldName(int column) const;
  // The table's fields of a row (empty record outside the rows).
  QSqlRecord record(int row) const;
  QVariant value(int row, const QString &field, int role = Qt::EditRole) const;

  // First row, in the list's order, whose field begins with (Prefix) or equals
  // (Exact) text without regard to case; -1 when none.
  enum class Match { Prefix, Exact };
  int findRow(const QString &field, const QString &text, Match match = Match::Prefix) const;
  // First row whose field equals value (numbers, day numbers: the same day).
  int findValue(const QString &field, const QVariant &value) const;

protected:
  // table: a table of the schema; where: condition with "?" marks or empty;
  // the rows in the order of sortField (a schema field, or empty), then of
  // tieField (the row key), both descending or both ascending, so that the
  // order is total and a descending list is the ascending one reversed.
  bool openStatement(QSqlDatabase db, const QString &table, const QString &where, const QVariantList &binds,
                     const QString &sortField, bool descending, const QString &tieField);
  virtual QStringList calculatedFields() const { return {}; }
  virtual QVariant calculated(int row, const QString &field, const QSqlRecord &r, int role) const;
  virtual QVariant display(const QString &field, const QVariant &value) const { return value; }

private:
  int findWhere(const QString &condition, const QVariantList &binds) const;
  const QList<QSqlRecord> *page(int index) const;

  QString m_connection, m_table, m_where, m_order, m_sortField, m_tieField;
  bool m_descending = false;
  QVariantList m_binds;
  QSqlRecord m_fields;
  QStringList m_calculated;
  int m_count = 0;
  bool m_open = false;
  mutable QString m_error;
  mutable QCache<int, QList<QSqlRecord>> m_pages{64};
};
