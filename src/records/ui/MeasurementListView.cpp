#include "records/ui/MeasurementListView.h"

#include "records/ListColumnModel.h"
#include "records/MeasurementQueryModel.h"

#include <QHeaderView>

MeasurementListView::MeasurementListView(QWidget *parent)
    : QTableView(parent), m_query(new MeasurementQueryModel(this)),
      m_columns(new MeasurementListColumnModel(m_query, this)) {
  setObjectName(QStringLiteral("MeasurementGrid"));
  setModel(m_columns);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(22);
  horizontalHeader()->setHighlightSections(false);
  const QList<ListColumn> &cols = m_columns->columns();
  for (int c = 0; c < cols.size(); ++c)
    setColumnWidth(c, cols.at(c).width);
}

bool MeasurementListView::openForSubject(const QSqlDatabase &db, const QString &custNo, double birth) {
  const bool ok = m_query->openForSubject(db, custNo, birth);
  if (m_query->rowCount() > 0)
    setCurrentIndex(m_columns->index(0, 0));
  return ok;
}

int MeasurementListView::currentRowIndex() const {
  return currentIndex().isValid() ? currentIndex().row() : -1;
}

qint64 MeasurementListView::currentKey() const {
  const int row = currentRowIndex();
  return row < 0 ? 0 : m_query->value(row, QStringLiteral("MKEY")).toLongLong();
}
