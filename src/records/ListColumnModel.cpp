#include "records/ListColumnModel.h"

#include <QFont>
#include <QSize>

namespace {
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;
const QColor kGreen(0, 128, 0);
} // namespace

QList<ListColumn> SubjectListColumns() {
  return {
      {QStringLiteral("Index"), QStringLiteral("RENO"), 64, kLeft},
      {QStringLiteral("编号"), QStringLiteral("CustNo"), 99, kLeft},
      {QStringLiteral("姓名"), QStringLiteral("Name"), 171, kLeft},
      {QStringLiteral("性别"), QStringLiteral("Sex_S"), 39, kCentre},
      {QStringLiteral("生日"), QStringLiteral("DBIRTH_C"), 71, kCentre},
      {QStringLiteral("年龄"), QStringLiteral("SoAge"), 42, kCentre},
      {QStringLiteral("最近测量时间"), QStringLiteral("PRESOA_C"), 157, kCentre},
      {QStringLiteral("电话"), QStringLiteral("Tel"), 214, kLeft},
      {QStringLiteral("地址"), QStringLiteral("Addr"), 399, kLeft},
      {QStringLiteral("e-mail"), QStringLiteral("EMail"), 396, kLeft},
      {QStringLiteral("移动电话"), QStringLiteral("Tel2"), 204, kLeft},
      {QStringLiteral("传真"), QStringLiteral("Tel3"), 204, kLeft},
  };
}

QList<ListColumn> MeasurementListColumns() {
  QList<ListColumn> c{
      {QStringLiteral("Index"), QStringLiteral("STNO"), 42, kLeft},
      {QStringLiteral("测量日期"), QStringLiteral("SODATE_C"), 80, kCentre},
      {QStringLiteral("时间"), QStringLiteral("SODATE_T"), 80, kCentre},
      {QStringLiteral("平均体能"), QStringLiteral("Dta_Avg"), 64, kCentre},
      {QStringLiteral("测量年龄"), QStringLiteral("Soa_Age"), 64, kCentre},
      {QStringLiteral("测量方式"), QStringLiteral("SOVOTA_C"), 64, kCentre},
  };
  static const char *const points[] = {
      "左-肺经", "心包", "心经", "小肠", "三焦", "大肠", "右-肺经", "心包", "心经", "小肠", "三焦", "大肠",
      "左-脾经", "肝经", "肾经", "膀胱", "胆经", "胃经", "右-脾经", "肝经", "肾经", "膀胱", "胆经", "胃经"};
  for (int k = 1; k <= 24; ++k)
    c.append({QString::fromUtf8(points[k - 1]), QStringLiteral("SO%1").arg(k), 64, kCentre});
  return c;
}

ListColumnModel::ListColumnModel(PagedQueryModel *source, QList<ListColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_source(source), m_columns(std::move(columns)) {
  mapColumns();
  connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
  connect(source, &QAbstractItemModel::modelReset, this, [this] {
    mapColumns();
    endResetModel();
  });
}

void ListColumnModel::mapColumns() {
  m_sourceColumns.clear();
  for (const ListColumn &c : m_columns)
    m_sourceColumns.append(m_source ? m_source->fieldIndex(c.field) : -1);
}

int ListColumnModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() || !m_source ? 0 : m_source->rowCount();
}

int ListColumnModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ListColumnModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || !m_source)
    return QVariant();
  const int c = index.column();
  switch (role) {
  case Qt::DisplayRole:
  case Qt::EditRole: {
    const int sc = m_sourceColumns.value(c, -1);
    return sc < 0 ? QVariant() : m_source->data(m_source->index(index.row(), sc), role);
  }
  case Qt::TextAlignmentRole: return QVariant::fromValue(m_columns.at(c).alignment);
  case Qt::ForegroundRole:
  case Qt::FontRole: {
    QColor colour = Qt::black;
    bool bold = false;
    cellStyle(index.row(), c, &colour, &bold);
    if (role == Qt::ForegroundRole)
      return colour;
    QFont f;
    f.setBold(bold);
    return f;
  }
  default: return QVariant();
  }
}

QVariant ListColumnModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
    return QVariant();
  switch (role) {
  case Qt::DisplayRole: return m_columns.at(section).header;
  case Qt::SizeHintRole: return QSize(m_columns.at(section).width, 20);
  case Qt::ForegroundRole:
  case Qt::FontRole: {
    QColor colour = Qt::black;
    bool bold = false;
    headerStyle(section, &colour, &bold);
    if (role == Qt::ForegroundRole)
      return colour;
    QFont f;
    f.setBold(bold);
    return f;
  }
  default: return QVariant();
  }
}

void ListColumnModel::cellStyle(int, int, QColor *, bool *) const {}
void ListColumnModel::headerStyle(int, QColor *, bool *) const {}

SubjectListColumnModel::SubjectListColumnModel(PagedQueryModel *source, QObject *parent)
    : ListColumnModel(source, SubjectListColumns(), parent) {}

void SubjectListColumnModel::cellStyle(int row, int column, QColor *colour, bool *) const {
  if (column == 3)
    *colour = data(index(row, column)).toString() == u"男" ? kGreen : QColor(Qt::red);
}

MeasurementListColumnModel::MeasurementListColumnModel(PagedQueryModel *source, QObject *parent)
    : ListColumnModel(source, MeasurementListColumns(), parent) {}

void MeasurementListColumnModel::cellStyle(int row, int column, QColor *colour, bool *bold) const {
  if (column == 3) {
    *colour = Qt::blue;
    *bold = true;
  } else if (column == 5) {
    *bold = true;
    *colour = data(index(row, column)).toString() == u"HI" ? QColor(Qt::red) : kGreen;
  }
}

void MeasurementListColumnModel::headerStyle(int column, QColor *colour, bool *bold) const {
  if ((column >= 6 && column <= 11) || (column >= 18 && column <= 23)) {
    *colour = QColor(0, 0, 128);
    *bold = true;
  }
}
