#include "records/ui/TSoREdit.h"

#include "link/Link.h"
#include "records/Database.h"
#include "records/RecordStore.h"
#include "records/SubjectEditing.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kMaroon(128, 0, 0);

QIcon drawnIcon(bool save) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (save) { // a diskette
    p.setPen(QPen(QColor(20, 50, 110), 1.5));
    p.setBrush(QColor(60, 110, 200));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(8, 17, 16, 11));
  } else { // a door with an arrow
    p.setPen(QPen(QColor(90, 60, 30), 1.5));
    p.setBrush(QColor(200, 150, 90));
    p.drawRect(QRectF(6, 4, 14, 24));
    p.setPen(QPen(QColor(170, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 16), QPointF(28, 16));
    p.drawLine(QPointF(23, 11), QPointF(28, 16));
    p.drawLine(QPointF(23, 21), QPointF(28, 16));
  }
  return QIcon(pm);
}

} // namespace

TSoREdit::TSoREdit(AppContext &ctx, int mode, const QString &rowCustNo, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_mode(mode >= 1 && mode <= 3 ? mode : 2), m_rowCustNo(rowCustNo) {
  setObjectName(QStringLiteral("SoREdit"));
  setWindowTitle(QStringLiteral("受测者资料异动"));
  setWindowFlag(Qt::Tool);
  setModal(true);
  buildUi();
  FormShow();
}

void TSoREdit::buildUi() {
  setFixedSize(541, 511);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto *bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setAutoFillBackground(true);
  auto *barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(4, 2, 4, 2);
  m_save = new QToolButton(bar);
  m_save->setObjectName(QStringLiteral("ToolButton1"));
  m_save->setText(QStringLiteral("储  存"));
  m_save->setToolTip(QStringLiteral("储存受测者资料"));
  m_save->setIcon(drawnIcon(true));
  m_exit = new QToolButton(bar);
  m_exit->setObjectName(QStringLiteral("ToolButton2"));
  m_exit->setText(QStringLiteral("    离  开    "));
  m_exit->setToolTip(QStringLiteral("离开资料储存系统"));
  m_exit->setIcon(drawnIcon(false));
  for (QToolButton *b : {m_save, m_exit}) {
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(32, 32));
    b->setAutoRaise(true);
    b->setMinimumWidth(80);
    barLayout->addWidget(b);
  }
  barLayout->addStretch(1);
  layout->addWidget(bar);

  auto *form = new QWidget(this);
  auto *grid = new QGridLayout(form);
  grid->setContentsMargins(14, 10, 14, 6);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  auto line = [&](const QString &name, int maxLength) {
    auto *e = new QLineEdit(form);
    e->setObjectName(name + QStringLiteral("Edit"));
    e->setMaxLength(maxLength);
    e->installEventFilter(this);
    return e;
  };
  m_custNo = line(QStringLiteral("CustNo"), 15);
  m_name = line(QStringLiteral("Name"), 20);
  for (QLineEdit *e : {m_custNo, m_name}) {
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, kMaroon);
    e->setPalette(pal);
    QFont f = e->font();
    f.setBold(true);
    e->setFont(f);
  }
  m_addr = line(QStringLiteral("Addr"), 50);
  m_tel = line(QStringLiteral("Tel"), 30);
  m_tel2 = line(QStringLiteral("Tel2"), 30);
  m_tel3 = line(QStringLiteral("Tel3"), 30);
  m_email = line(QStringLiteral("EMail"), 50);

  int r = 0;
  grid->addWidget(new QLabel(QStringLiteral("编号:"), form), r, 0);
  grid->addWidget(m_custNo, r, 1);
  auto *required = new QLabel(QStringLiteral("(请务必输入)"), form);
  required->setObjectName(QStringLiteral("RequiredLabel"));
  required->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
  grid->addWidget(required, r, 2);
  ++r;
  grid->addWidget(new QLabel(QStringLiteral("姓名:"), form), r, 0);
  grid->addWidget(m_name, r, 1);

  auto *sexGroup = new QGroupBox(QStringLiteral("性别"), form);
  sexGroup->setObjectName(QStringLiteral("SexGroup"));
  auto *sexLayout = new QHBoxLayout(sexGroup);
  m_male = new QRadioButton(QStringLiteral("男  性"), sexGroup);
  m_male->setObjectName(QStringLiteral("MaleButton"));
  m_female = new QRadioButton(QStringLiteral("女  性"), sexGroup);
  m_female->setObjectName(QStringLiteral("FemaleButton"));
  auto *sexButtons = new QButtonGroup(this);
  sexButtons->addButton(m_male);
  sexButtons->addButton(m_female);
  m_male->installEventFilter(this);
  m_female->installEventFilter(this);
  sexLayout->addWidget(m_male);
  sexLayout->addWidget(m_female);
  grid->addWidget(sexGroup, r, 2, 2, 1);
  ++r;

  grid->addWidget(new QLabel(QStringLiteral("生日:"), form), r, 0);
  auto *birthRow = new QHBoxLayout;
  m_birthBox = new QCheckBox(form);
  m_birthBox->setObjectName(QStringLiteral("BirthBox"));
  m_birthBox->installEventFilter(this);
  m_picker = new QDateEdit(form);
  m_picker->setObjectName(QStringLiteral("BirthPicker"));
  m_picker->setCalendarPopup(true);
  m_picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat).contains(QLatin1String("yyyy"))
                                 ? QLocale().dateFormat(QLocale::ShortFormat)
                                 : QStringLiteral("yyyy-MM-dd"));
  m_picker->setMinimumDate(QDate(1900, 1, 1));
  m_picker->installEventFilter(this);
  birthRow->addWidget(m_birthBox);
  birthRow->addWidget(m_picker, 1);
  grid->addLayout(birthRow, r, 1);
  ++r;
  const std::pair<const char *, QLineEdit *> rest[] = {
      {"地址:", m_addr}, {"电话:", m_tel}, {"移动:", m_tel2}, {"传真:", m_tel3}, {"E-Mail:", m_email}};
  for (const auto &[label, edit] : rest) {
    grid->addWidget(new QLabel(QString::fromUtf8(label), form), r, 0);
    grid->addWidget(edit, r, 1, 1, 2);
    ++r;
  }
  auto *memoLabel = new QLabel(QStringLiteral("备注栏"), form);
  grid->addWidget(memoLabel, r, 0, Qt::AlignTop);
  m_memo = new QPlainTextEdit(form);
  m_memo->setObjectName(QStringLiteral("MemoBox"));
  m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid->addWidget(m_memo, r, 1, 1, 2);
  grid->setRowStretch(r, 1);
  grid->setColumnStretch(1, 1);
  layout->addWidget(form, 1);

  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("StatusBar1"));
  m_status->setFrameShape(QFrame::StyledPanel);
  m_status->setFrameShadow(QFrame::Sunken);
  m_status->setWordWrap(true);
  m_status->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(m_status);

  setTabOrder(m_custNo, m_name);
  setTabOrder(m_name, m_birthBox);
  setTabOrder(m_birthBox, m_picker);
  setTabOrder(m_picker, m_male);
  setTabOrder(m_male, m_female);
  setTabOrder(m_female, m_addr);
  setTabOrder(m_addr, m_tel);
  setTabOrder(m_tel, m_tel2);
  setTabOrder(m_tel2, m_tel3);
  setTabOrder(m_tel3, m_email);
  setTabOrder(m_email, m_memo);

  connect(m_birthBox, &QCheckBox::toggled, m_picker, &QWidget::setEnabled);
  connect(m_custNo, &QLineEdit::textChanged, this,
          [this](const QString &t) { m_save->setEnabled(!t.trimmed().isEmpty()); });
  connect(m_save, &QToolButton::clicked, this, &TSoREdit::SaveClick);
  connect(m_exit, &QToolButton::clicked, this, &TSoREdit::ExitClick);
}

void TSoREdit::FormShow() {
  const QDateTime now = m_ctx.clock().now();
  std::optional<SubjectRecord> row;
  if (m_mode == 1)
    row = FindSubject(m_ctx.database().working(), m_rowCustNo);
  if (m_mode == 1 && row) {
    setWindowTitle(QStringLiteral("受测者数据修改"));
    m_status->setText(QStringLiteral("修改受测者基本数据，确认后请将数据储存。"));
    m_email->setText(row->EMail);
    m_custNo->setText(row->CustNo);
    m_name->setText(row->Name);
    m_addr->setText(row->Addr);
    m_tel->setText(row->Tel);
    m_tel2->setText(row->Tel2);
    m_tel3->setText(row->Tel3);
    m_memo->setPlainText(row->Memo);
    (row->Sex ? m_male : m_female)->setChecked(true);
    if (IsDateGiven(row->DBirth)) {
      m_picker->setDate(DateFromDayNumber(row->DBirth));
      m_birthBox->setChecked(true);
      m_picker->setEnabled(true);
    } else {
      m_pickerStart = now;
      m_picker->setDate(now.date());
      m_birthBox->setChecked(false);
      m_picker->setEnabled(false);
    }
    m_rowCustNo = row->CustNo;
  } else {
    if (m_mode == 1) // the row went away meanwhile: nothing to change, but a new one may be added
      m_mode = 2;
    setWindowTitle(QStringLiteral("受测者资料新增"));
    m_status->setText(
        QStringLiteral("新增受测者数据，编号及性别部分务必输入，其他部分则不限定。确认后请将数据储存。"));
    for (QLineEdit *e : {m_custNo, m_name, m_addr, m_tel, m_tel2, m_tel3, m_email})
      e->clear();
    m_memo->clear();
    (m_ctx.CurrentSubject.MaleSubject ? m_male : m_female)->setChecked(true);
    m_pickerStart = now;
    m_picker->setDate(now.date());
    m_birthBox->setChecked(false);
    m_picker->setEnabled(false);
  }
  m_custNo->setEnabled(true);
  m_save->setEnabled(!m_custNo->text().trimmed().isEmpty());
  m_custNo->setFocus();
}

QLineEdit *TSoREdit::field(const QString &name) const {
  const std::pair<const char *, QLineEdit *> all[] = {
      {"CustNo", m_custNo}, {"Name", m_name}, {"Addr", m_addr},  {"Tel", m_tel},
      {"Tel2", m_tel2},     {"Tel3", m_tel3}, {"EMail", m_email}};
  for (const auto &[n, e] : all)
    if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
      return e;
  return nullptr;
}

QString TSoREdit::statusText() const {
  return m_status->text();
}

bool TSoREdit::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (auto *w = qobject_cast<QWidget *>(watched)) {
        enterPressed(w);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TSoREdit::enterPressed(QWidget *w) {
  if (w == m_name) {
    m_birthBox->setChecked(true);
    m_picker->setEnabled(true);
    m_picker->setFocus();
    return;
  }
  if (w == m_picker) {
    // The picker still at the date it was shown with: no birth date chosen.
    if (m_pickerStart.isValid() && m_picker->date() == m_pickerStart.date()) {
      m_birthBox->setChecked(false);
      m_picker->setEnabled(false);
    }
    m_male->isChecked() ? m_male->setFocus() : m_female->setFocus();
    return;
  }
  if (w == m_male || w == m_female) {
    m_addr->setFocus();
    return;
  }
  focusNextChild();
}

void TSoREdit::SaveClick() {
  if (m_custNo->text().trimmed().isEmpty())
    return;
  SubjectRecord v;
  v.CustNo = m_custNo->text();
  v.Name = m_name->text();
  v.Sex = m_male->isChecked();
  v.DBirth = m_birthBox->isChecked() ? ToDayNumber(m_picker->date()) : 0.0;
  v.Addr = m_addr->text();
  v.Tel = m_tel->text();
  v.Tel2 = m_tel2->text();
  v.Tel3 = m_tel3->text();
  v.EMail = m_email->text();
  v.Memo = m_memo->toPlainText();
  const QSqlDatabase db = m_ctx.database().working();
  const SubjectEditOutcome out = m_mode == 1 ? SaveChangedSubject(db, m_rowCustNo, v) : SaveNewSubject(db, v);
  switch (out.result) {
  case SubjectEditOutcome::Saved:
    m_storedCustNo = out.custNo;
    if (m_mode != 1)
      m_subjectAdded = true;
    accept();
    return;
  case SubjectEditOutcome::Duplicate:
    m_ctx.link().Sound(1);
    m_ctx.ShowMessageBox(5, out.message);
    if (m_mode == 1)
      m_custNo->setText(m_rowCustNo);
    m_custNo->setFocus();
    return;
  case SubjectEditOutcome::Failed:
    m_ctx.link().Sound(3);
    m_ctx.ShowMessageBox(5, out.message);
    return;
  }
}

void TSoREdit::ExitClick() {
  m_subjectAdded = false;
  reject();
}
