#pragma once
// The visible columns of the subject and measurement lists over their query
// models: headers, widths, alignments and the colours of the cells, so that
// every window that shows these lists shows them alike.
#include "records/PagedQueryModel.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPointer>

struct ListColumn {
  QString header;
  QString field;
  int width = 64;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class ListColumnModel : public QAbstractTableModel {
  Q_OBJECT
public:
  ListColumnModel(PagedQueryModel *source, QList<ListColumn> columns, QObject *parent = nullptr);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  const QList<ListColumn> &columns() const { return m_columns; }
  PagedQueryModel *source() const { return m_source; }

protected:
  // Colour and boldness of a data cell (black, regular by default).
  virtual void cellStyle(int row, int column, QColor *colour, bool *bold) const;
  virtual void headerStyle(int column, QColor *colour, bool *bold) const;

private:
  QPointer<PagedQueryModel> m_source;
  QList<ListColumn> m_columns;
  QList<int> m_sourceColumns;
  void mapColumns();
};

// Index, 编号, 姓名, 性别 (green for 男, red for 女), 生日, 年龄, 最近测量时间,
// 电话, 地址, e-mail, 移动电话, 传真.
class SubjectListColumnModel : public ListColumnModel {
  Q_OBJECT
public:
  explicit SubjectListColumnModel(PagedQueryModel *source, QObject *parent = nullptr);

protected:
  void cellStyle(int row, int column, QColor *colour, bool *bold) const override;
};

// Index, 测量日期, 时间, 平均体能 (bold blue), 测量年龄, 测量方式 (bold, red for
// HI, green otherwise) and the 24 points; the left-side point headers bold navy.
class MeasurementListColumnModel : public ListColumnModel {
  Q_OBJECT
public:
  explicit MeasurementListColumnModel(PagedQueryModel *source, QObject *parent = nullptr);

protected:
  void cellStyle(int row, int column, QColor *colour, bool *bold) const override;
  void headerStyle(int column, QColor *colour, bool *bold) const override;
};

QList<ListColumn> SubjectListColumns();
QList<ListColumn> MeasurementListColumns();
