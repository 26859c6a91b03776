#include "shell/ui/SoMsag.h"

#include "shell/Clock.h"
#include "shell/ui/DialogIcons.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kFadeMs = 300;
int clampType(int type) { return type >= 1 && type <= 6 ? type : 6; }
} // namespace

QString TSoMsag::Caption(int type) {
  switch (clampType(type)) {
  case 1:
  case 4: return QStringLiteral("询问信息");
  case 2:
  case 5: return QStringLiteral("注意");
  default: return QStringLiteral("重要信息");
  }
}

TSoMsag::TSoMsag(Clock *clock, QWidget *parent) : QDialog(parent), m_clock(clock) {
  setObjectName(QStringLiteral("SoMsag"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::CustomizeWindowHint);
  setModal(true);

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(18, 18, 18, 14);
  outer->setSpacing(14);
  auto *row = new QHBoxLayout;
  row->setSpacing(16);
  const DialogIcon kinds[3] = {DialogIcon::Question, DialogIcon::Warning, DialogIcon::Information};
  const char *names[3] = {"Image1", "Image2", "Image3"};
  auto *iconBox = new QVBoxLayout;
  for (int i = 0; i < 3; ++i) {
    m_icons[i] = new QLabel(this);
    m_icons[i]->setObjectName(QString::fromLatin1(names[i]));
    m_icons[i]->setPixmap(DialogIconPixmap(kinds[i], 48));
    m_icons[i]->setFixedSize(48, 48);
    m_icons[i]->hide();
    iconBox->addWidget(m_icons[i]);
  }
  iconBox->addStretch();
  row->addLayout(iconBox);

  m_text = new QPlainTextEdit(this);
  m_text->setObjectName(QStringLiteral("Memo1"));
  m_text->setReadOnly(true);
  m_text->setFrameShape(QFrame::NoFrame);
  m_text->setFocusPolicy(Qt::NoFocus);
  m_text->setTextInteractionFlags(Qt::NoTextInteraction);
  m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette pal = m_text->palette();
  pal.setColor(QPalette::Base, palette().color(QPalette::Window));
  m_text->setPalette(pal);
  QFont tf = m_text->font();
  tf.setPointSizeF(tf.pointSizeF() * 1.1);
  m_text->setFont(tf);
  row->addWidget(m_text, 1);
  outer->addLayout(row, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  m_yes = new QPushButton(QStringLiteral("是"), this);
  m_yes->setObjectName(QStringLiteral("YesButton"));
  m_no = new QPushButton(QStringLiteral("否"), this);
  m_no->setObjectName(QStringLiteral("NoButton"));
  m_ok = new QPushButton(QStringLiteral("确  定"), this);
  m_ok->setObjectName(QStringLiteral("OkButton"));
  for (QPushButton *b : {m_yes, m_no, m_ok}) {
    b->setMinimumSize(96, 30);
    b->hide();
    buttons->addWidget(b);
  }
  buttons->addStretch();
  outer->addLayout(buttons);

  connect(m_yes, &QPushButton::clicked, this, [this] {
    m_result = true;
    done(Accepted);
  });
  connect(m_ok, &QPushButton::clicked, this, [this] {
    m_result = true;
    done(Accepted);
  });
  connect(m_no, &QPushButton::clicked, this, [this] {
    m_result = false;
    done(Rejected);
  });

  // The box keeps repainting while it is up, so a text changed behind it or a
  // window dragged over it never leaves it stale.
  m_repaint = new QTimer(this);
  m_repaint->setInterval(100);
  connect(m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));

  setFixedSize(440, 190);
}

void TSoMsag::setMessage(int type, const QString &text) {
  m_type = clampType(type);
  m_result = false;
  m_text->setPlainText(text);
  setWindowTitle(Caption(m_type));
  const int icon = (m_type - 1) % 3; // 0 question, 1 warning, 2 information
  for (int i = 0; i < 3; ++i)
    m_icons[i]->setVisible(i == icon);
  const bool asks = m_type <= 3;
  m_yes->setVisible(asks);
  m_no->setVisible(asks);
  m_ok->setVisible(!asks);
  QPushButton *first = asks ? m_yes : m_ok;
  m_yes->setDefault(asks);
  m_ok->setDefault(!asks);
  first->setFocus();
}

bool TSoMsag::ask(int type, const QString &text) {
  setMessage(type, text);
  exec();
  return m_result;
}

void TSoMsag::showEvent(QShowEvent *event) {
  setWindowOpacity(1.0);
  if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  m_repaint->start();
  QDialog::showEvent(event);
  (m_type <= 3 ? m_yes : m_ok)->setFocus();
}

void TSoMsag::done(int r) {
  if (m_fading)
    return; // a second click or close while the box fades out
  m_fading = true;
  m_repaint->stop();
  if (m_clock && isVisible()) {
    const quint32 start = m_clock->tick();
    for (;;) {
      const quint32 spent = m_clock->elapsedSince(start);
      if (spent >= quint32(kFadeMs))
        break;
      setWindowOpacity(1.0 - double(spent) / kFadeMs);
      m_clock->waitUntil({}, 15);
    }
  }
  setWindowOpacity(0.0);
  for (QLabel *i : m_icons)
    i->hide();
  m_yes->hide();
  m_no->hide();
  m_ok->hide();
  m_fading = false;
  QDialog::done(r);
}
