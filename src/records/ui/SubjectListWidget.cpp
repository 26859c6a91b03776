#include "records/ui/SubjectListWidget.h"

#include "records/ListColumnModel.h"
#include "records/SubjectList.h"
#include "shell/AppContext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

namespace {

QIcon searchIcon() {
  QPixmap pm(20, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 70, 150), 2.2));
  p.setBrush(QColor(200, 225, 255));
  p.drawEllipse(QRectF(3, 3, 10, 10));
  p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12.5, 12.5), QPointF(17.5, 17.5));
  return QIcon(pm);
}

class EnterFilter : public QObject {
public:
  using QObject::QObject;
  std::function<void()> onEnter;

protected:
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(e)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && onEnter) {
        onEnter();
        return true;
      }
    }
    return QObject::eventFilter(o, e);
  }
};

} // namespace

QPixmap SearchStatusPixmap(int image) {
  QPixmap pm(18, 18);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(1.5, 1.5, 15, 15);
  switch (image) {
  case 1: // ready: a blue dot with an arrow
    p.setPen(QPen(QColor(20, 80, 170), 1.2));
    p.setBrush(QColor(90, 150, 230));
    p.drawEllipse(r);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 9), QPointF(12, 9));
    p.drawLine(QPointF(9.5, 6.5), QPointF(12, 9));
    p.drawLine(QPointF(9.5, 11.5), QPointF(12, 9));
    break;
  case 2: { // found: a green tick
    p.setPen(QPen(QColor(0, 110, 0), 1.2));
    p.setBrush(QColor(60, 180, 60));
    p.drawEllipse(r);
    QPainterPath tick;
    tick.moveTo(5, 9.5);
    tick.lineTo(8, 12.5);
    tick.lineTo(13, 6);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    break;
  }
  case 3: // not found: a red cross
    p.setPen(QPen(QColor(150, 0, 0), 1.2));
    p.setBrush(QColor(220, 50, 50));
    p.drawEllipse(r);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(12, 12));
    p.drawLine(QPointF(12, 6), QPointF(6, 12));
    break;
  default: // unavailable: a grey ring
    p.setPen(QPen(QColor(150, 150, 150), 1.5));
    p.setBrush(QColor(215, 215, 215));
    p.drawEllipse(r);
    p.drawLine(QPointF(5.5, 9), QPointF(12.5, 9));
    break;
  }
  return pm;
}

SubjectListWidget::SubjectListWidget(AppContext &ctx, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_list(new SubjectList(ctx, this)) {
  m_searchBar = new QWidget(this);
  m_searchBar->setObjectName(QStringLiteral("SearchBar"));
  auto *row = new QHBoxLayout(m_searchBar);
  row->setContentsMargins(4, 2, 4, 2);
  row->addWidget(new QLabel(QStringLiteral("搜寻："), m_searchBar));
  m_searchBox = new QLineEdit(m_searchBar);
  m_searchBox->setObjectName(QStringLiteral("SearchBox"));
  m_searchBox->setFixedWidth(160);
  row->addWidget(m_searchBox);
  m_searchButton = new QToolButton(m_searchBar);
  m_searchButton->setObjectName(QStringLiteral("SearchButton"));
  m_searchButton->setIcon(searchIcon());
  m_searchButton->setToolTip(QStringLiteral("资料搜寻"));
  row->addWidget(m_searchButton);
  m_image = new QLabel(m_searchBar);
  m_image->setObjectName(QStringLiteral("SearchImage"));
  row->addWidget(m_image);
  m_example = new QLabel(m_searchBar);
  m_example->setObjectName(QStringLiteral("DateExample"));
  row->addWidget(m_example);
  row->addStretch(1);
  m_countCaption = new QLabel(QStringLiteral("资料总笔数:"), m_searchBar);
  row->addWidget(m_countCaption);
  m_count = new QLabel(m_searchBar);
  m_count->setObjectName(QStringLiteral("CountLabel"));
  m_count->setMinimumWidth(120);
  QFont mono = m_count->font();
  mono.setStyleHint(QFont::Monospace);
  mono.setFamily(QStringLiteral("monospace"));
  m_count->setFont(mono);
  row->addWidget(m_count);

  m_columns = new SubjectListColumnModel(&m_list->model(), this);
  m_grid = new QTableView(this);
  m_grid->setObjectName(QStringLiteral("SubjectGrid"));
  m_grid->setModel(m_columns);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setSortingEnabled(false); // sorted through SQL
  m_grid->verticalHeader()->hide();
  m_grid->verticalHeader()->setDefaultSectionSize(22);
  m_grid->horizontalHeader()->setSectionsClickable(true);
  m_grid->horizontalHeader()->setSortIndicatorShown(true);
  m_grid->horizontalHeader()->setHighlightSections(false);
  m_grid->setAlternatingRowColors(false);
  const QList<ListColumn> &cols = m_columns->columns();
  for (int c = 0; c < cols.size(); ++c)
    m_grid->setColumnWidth(c, cols.at(c).width);

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(m_searchBar);
  layout->addWidget(m_grid, 1);

  connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
    m_list->SortSubjectList(c);
    syncSortIndicator();
  });
  connect(m_searchBox, &QLineEdit::textEdited, m_list, &SubjectList::SearchTextChanged);
  connect(m_searchButton, &QToolButton::clicked, this, &SubjectListWidget::search);
  auto *enter = new EnterFilter(this);
  enter->onEnter = [this] {
    if (!m_searchBox->text().trimmed().isEmpty())
      search();
  };
  m_searchBox->installEventFilter(enter);
  connect(m_list, &SubjectList::searchStateChanged, this, &SubjectListWidget::syncSearchState);
  connect(m_list, &SubjectList::currentChanged, this, &SubjectListWidget::syncSelection);
  connect(m_list, &SubjectList::reopened, this, [this] {
    m_count->setText(m_list->countText());
    syncSortIndicator();
  });
  connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex &current) {
            if (!m_syncing)
              m_list->setCurrentRow(current.isValid() ? current.row() : -1);
          });
  connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
    if (i.isValid())
      emit rowActivated(i.row());
  });
  syncSearchState();
}

void SubjectListWidget::setSearchHint(const QString &hint) {
  m_searchButton->setToolTip(hint);
}

void SubjectListWidget::setCountShown(bool shown) {
  m_countCaption->setVisible(shown);
  m_count->setVisible(shown);
}

void SubjectListWidget::setCountText(const QString &text) {
  m_count->setText(text);
}

void SubjectListWidget::open() {
  m_searchBox->clear();
  m_list->SearchTextChanged(QString());
  m_list->OpenSubjectList();
}

void SubjectListWidget::search() {
  m_list->SearchSubject(m_searchBox->text());
  m_searchBox->setFocus();
}

void SubjectListWidget::syncSearchState() {
  const bool on = m_list->searchAvailable();
  m_searchBox->setEnabled(on);
  QPalette pal = m_searchBox->palette();
  const QColor base = on ? palette().color(QPalette::Active, QPalette::Base) : QColor(192, 192, 192);
  pal.setColor(QPalette::Active, QPalette::Base, base);
  pal.setColor(QPalette::Inactive, QPalette::Base, base);
  pal.setColor(QPalette::Disabled, QPalette::Base, base);
  m_searchBox->setPalette(pal);
  m_searchButton->setEnabled(m_list->searchButtonEnabled());
  m_image->setPixmap(SearchStatusPixmap(m_list->searchImage()));
  m_image->setProperty("searchImage", m_list->searchImage());
  m_example->setVisible(m_list->exampleShown());
  m_example->setText(m_list->exampleText());
}

void SubjectListWidget::syncSortIndicator() {
  m_grid->horizontalHeader()->setSortIndicator(
      m_list->sortColumn(), m_list->descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void SubjectListWidget::syncSelection(int row) {
  m_syncing = true;
  if (row < 0) {
    m_grid->selectionModel()->clearSelection();
    m_grid->setCurrentIndex(QModelIndex());
  } else {
    const QModelIndex i = m_columns->index(row, qMax(0, m_grid->currentIndex().column()));
    m_grid->setCurrentIndex(i);
    m_grid->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grid->scrollTo(i);
  }
  m_syncing = false;
}
