#include "measure/ui/TSosave.h"

#include "link/Link.h"
#include "measure/SaveMeasurement.h"
#include "records/SubjectList.h"
#include "records/ui/SubjectListWidget.h"
#include "records/ui/TSoREdit.h"
#include "shell/AppContext.h"
#include "shell/DayNumber.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kStoreQuestion = QStringLiteral("您要将检测资料存于这个受测者资料中吗？");

QIcon toolIcon(int which) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (which) {
  case 0: // a person with a plus
    p.setPen(QPen(QColor(30, 70, 140), 1.5));
    p.setBrush(QColor(110, 160, 230));
    p.drawEllipse(QRectF(7, 3, 11, 11));
    p.drawChord(QRectF(2, 15, 21, 22), 0, 180 * 16);
    p.setPen(QPen(QColor(0, 140, 0), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(25, 14), QPointF(25, 26));
    p.drawLine(QPointF(19, 20), QPointF(31, 20));
    break;
  case 1: // a diskette
    p.setPen(QPen(QColor(20, 50, 110), 1.5));
    p.setBrush(QColor(60, 110, 200));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(8, 17, 16, 11));
    break;
  default: // a door with an arrow
    p.setPen(QPen(QColor(90, 60, 30), 1.5));
    p.setBrush(QColor(200, 150, 90));
    p.drawRect(QRectF(6, 4, 14, 24));
    p.setPen(QPen(QColor(170, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 16), QPointF(28, 16));
    p.drawLine(QPointF(23, 11), QPointF(28, 16));
    p.drawLine(QPointF(23, 21), QPointF(28, 16));
    break;
  }
  return QIcon(pm);
}

} // namespace

TSosave::TSosave(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
  setObjectName(QStringLiteral("Sosave"));
  setWindowTitle(QStringLiteral("经络能量资料储存"));
  setModal(true);
  m_runEditor = [](AppContext &c, QWidget *p) {
    TSoREdit editor(c, 3, QString(), p);
    editor.exec();
    return editor.SubjectAdded() ? editor.storedCustNo() : QString();
  };
  buildUi();
  FormShow();
}

TSosave::~TSosave() = default;

void TSosave::buildUi() {
  resize(992, 600);
  setMinimumWidth(992);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  auto *bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  auto *barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(4, 2, 4, 2);
  auto button = [&](const QString &name, const QString &text, const QString &hint, int icon) {
    auto *b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setIcon(toolIcon(icon));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(90);
    barLayout->addWidget(b);
    return b;
  };
  m_add = button(QStringLiteral("ToolButton1"), QStringLiteral("新增受测者"),
                 QStringLiteral("新增一笔受测者资料"), 0);
  m_save = button(QStringLiteral("ToolButton2"), QStringLiteral("储存数据"),
                  QStringLiteral("储存已检测的能量数据"), 1);
  m_exit =
      button(QStringLiteral("ToolButton3"), QStringLiteral("离  开"), QStringLiteral("离开数据储存系统"), 2);
  barLayout->addStretch(1);
  layout->addWidget(bar);

  m_list = new SubjectListWidget(m_ctx, this);
  m_list->setSearchHint(QStringLiteral("资料搜寻"));
  layout->addWidget(m_list, 1);

  auto *panel = new QGroupBox(QStringLiteral("将资料储存治本受测者中"), this);
  panel->setObjectName(QStringLiteral("TargetPanel"));
  auto *grid = new QHBoxLayout(panel);
  auto value = [&](const QString &caption, const QString &name, int width) {
    grid->addWidget(new QLabel(caption, panel));
    auto *l = new QLabel(panel);
    l->setObjectName(name);
    l->setMinimumWidth(width);
    l->setStyleSheet(QStringLiteral("color: rgb(128,0,0); font-weight: bold;"));
    grid->addWidget(l);
    return l;
  };
  m_custNo = value(QStringLiteral("编号:"), QStringLiteral("TargetCustNo"), 140);
  m_name = value(QStringLiteral("姓名:"), QStringLiteral("TargetName"), 200);
  m_birth = value(QStringLiteral("生日:"), QStringLiteral("TargetBirth"), 110);
  m_sex = value(QStringLiteral("性别:"), QStringLiteral("TargetSex"), 60);
  grid->addStretch(1);
  layout->addWidget(panel);

  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("StatusBar1"));
  m_status->setFrameShape(QFrame::StyledPanel);
  m_status->setFrameShadow(QFrame::Sunken);
  m_status->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(m_status);

  connect(m_add, &QToolButton::clicked, this, &TSosave::AddSubjectClick);
  connect(m_save, &QToolButton::clicked, this, &TSosave::SaveClick);
  connect(m_exit, &QToolButton::clicked, this, &TSosave::ExitClick);
  connect(&m_list->list(), &SubjectList::currentChanged, this, &TSosave::subjectChosen);
  connect(m_list, &SubjectListWidget::rowActivated, this, [this](int) { ListDoubleClick(); });
}

void TSosave::FormShow() {
  m_save->setEnabled(!m_ctx.CurrentSubject.CustNo.trimmed().isEmpty());
  m_status->setText(QStringLiteral("请至查询窗口点选受测者数据，或新增一笔受测者基本数据以供储存。"));
  m_list->open();
  m_list->grid()->setFocus();
  if (m_list->list().locate(m_ctx.CurrentSubject.CustNo)) {
    m_list->grid()->setFocus();
    m_save->setEnabled(true);
    return;
  }
  // Not in the list (none on screen, or deleted meanwhile): nothing chosen.
  m_list->list().setCurrentRow(-1);
  m_target = Subject();
  m_target.MaleSubject = m_ctx.CurrentSubject.MaleSubject;
  m_save->setEnabled(false);
  showTarget();
  m_list->searchBox()->setFocus();
}

void TSosave::subjectChosen(int row) {
  if (row < 0)
    return;
  const std::optional<SubjectRecord> r = m_list->list().currentRecord();
  if (!r)
    return;
  m_target = r->toSubject();
  m_save->setEnabled(true);
  showTarget();
}

void TSosave::showTarget() {
  m_custNo->setText(m_target.CustNo);
  m_name->setText(m_target.Name);
  m_birth->setText(m_target.BirthDate > 0 ? ShortDateText(m_target.BirthDate) : QString());
  m_sex->setText(m_target.MaleSubject ? QStringLiteral("男性") : QStringLiteral("女性"));
}

QString TSosave::statusText() const {
  return m_status->text();
}
QString TSosave::shownCustNo() const {
  return m_custNo->text();
}
QString TSosave::shownName() const {
  return m_name->text();
}
QString TSosave::shownBirth() const {
  return m_birth->text();
}
QString TSosave::shownSex() const {
  return m_sex->text();
}

bool TSosave::store() {
  QString error;
  if (SaveMeasurement(m_ctx, m_target, &error))
    return true;
  m_ctx.link().Sound(3);
  m_ctx.ShowMessageBox(5, error);
  // The subject may have gone meanwhile: show the list as it is now.
  m_list->list().reopen();
  return false;
}

void TSosave::SaveClick() {
  if (!m_save->isEnabled() || m_target.CustNo.trimmed().isEmpty())
    return;
  if (store())
    accept();
}

void TSosave::ListDoubleClick() {
  // A row without a chosen subject would belong to no one.
  if (m_target.CustNo.trimmed().isEmpty()) {
    m_ctx.link().Sound(2);
    m_ctx.ShowMessageBox(5, QStringLiteral("请先点选一位受测者，或新增一笔受测者基本数据，再储存检测资料。"));
    m_list->searchBox()->setFocus();
    return;
  }
  m_ctx.link().Sound(1);
  if (m_ctx.ShowMessageBox(1, kStoreQuestion) && store())
    accept();
}

void TSosave::AddSubjectClick() {
  const int before = m_list->list().currentRow();
  const QString added = m_runEditor ? m_runEditor(m_ctx, this) : QString();
  if (!added.isEmpty()) {
    m_save->setEnabled(true);
    m_ctx.link().Sound(1);
    m_list->list().reopen();
    m_list->list().locate(added);
    const std::optional<SubjectRecord> r = m_list->list().currentRecord();
    if (r && r->CustNo.compare(added, Qt::CaseInsensitive) == 0) {
      m_target = r->toSubject();
      showTarget();
    }
    if (m_ctx.ShowMessageBox(1, kStoreQuestion) && store())
      accept();
    return;
  }
  m_list->list().setCurrentRow(before);
  if (!m_target.CustNo.trimmed().isEmpty()) {
    m_save->setEnabled(true);
    m_list->grid()->setFocus();
  } else {
    m_save->setEnabled(false);
    m_list->searchBox()->setFocus();
  }
}

void TSosave::ExitClick() {
  m_target.CustNo = QStringLiteral(" ");
  reject();
}

void TSosave::done(int r) {
  m_list->list().close();
  QDialog::done(r);
}
