#pragma once
// The measurement list of the record browser and the comparison window: the
// measurements of one subject, newest first, with the list's columns,
// widths and colours.
#include <QTableView>

class MeasurementQueryModel;
class MeasurementListColumnModel;
class QSqlDatabase;

class MeasurementListView : public QTableView {
  Q_OBJECT
public:
  explicit MeasurementListView(QWidget *parent = nullptr);

  MeasurementQueryModel &query() const { return *m_query; }
  // Lists the measurements of the subject (birth: its DBirth, for 测量年龄).
  bool openForSubject(const QSqlDatabase &db, const QString &custNo, double birth);
  int currentRowIndex() const;
  qint64 currentKey() const;

private:
  MeasurementQueryModel *m_query;
  MeasurementListColumnModel *m_columns;
};
