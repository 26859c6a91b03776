#include "shell/ui/SoStatu.h"

#include "link/Link.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Clock.h"
#include "shell/StartupCheck.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
constexpr int kBlinkMs = 250;
constexpr int kFadeMs = 400;
const QColor kOrange(255, 140, 0);

QColor colourOf(StartupView::Colour c) {
  switch (c) {
  case StartupView::Colour::Red: return QColor(230, 40, 40);
  case StartupView::Colour::Yellow: return QColor(250, 210, 30);
  default: return QColor(40, 220, 70);
  }
}
} // namespace

StatusLamp::StatusLamp(QWidget *parent) : QWidget(parent) { setFixedSize(18, 18); }

void StatusLamp::setColour(const QColor &c) {
  m_colour = c;
  update();
}

void StatusLamp::setOn(bool on) {
  m_on = on;
  update();
}

void StatusLamp::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  const QColor c = m_on ? m_colour : m_colour.darker(330);
  QRadialGradient g(r.left() + r.width() * 0.35, r.top() + r.height() * 0.3, r.width() * 0.7);
  g.setColorAt(0, m_on ? c.lighter(170) : c.lighter(130));
  g.setColorAt(1, c);
  p.setBrush(g);
  p.setPen(QPen(QColor(20, 20, 20), 1.2));
  if (objectName() == QLatin1String("BlinkLamp"))
    p.drawRect(r);
  else
    p.drawEllipse(r);
}

TSoStatu::TSoStatu(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
  setObjectName(QStringLiteral("SoStatu"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  setFixedSize(500, 350);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(36, 40, 48));
  pal.setColor(QPalette::WindowText, QColor(225, 230, 238));
  setPalette(pal);

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  // The picture: product title, the model display and the orange activity light.
  auto *banner = new QWidget(this);
  banner->setObjectName(QStringLiteral("Image1"));
  banner->setAutoFillBackground(true);
  banner->setFixedHeight(92);
  QPalette bp = banner->palette();
  QLinearGradient bg(0, 0, 500, 92);
  bg.setColorAt(0, QColor(16, 58, 112));
  bg.setColorAt(1, QColor(6, 22, 46));
  bp.setBrush(QPalette::Window, bg);
  banner->setPalette(bp);
  auto *bl = new QHBoxLayout(banner);
  bl->setContentsMargins(18, 10, 18, 10);
  auto *titles = new QVBoxLayout;
  auto *title = new QLabel(Branding::Product(), banner);
  title->setStyleSheet(QStringLiteral("color: #f4f8ff; font-size: 26px; font-weight: bold;"));
  auto *subtitle = new QLabel(Branding::ProductTitle(), banner);
  subtitle->setStyleSheet(QStringLiteral("color: #9fc4ee; font-size: 14px;"));
  titles->addWidget(title);
  titles->addWidget(subtitle);
  bl->addLayout(titles, 1);
  auto *model = new QLabel(QStringLiteral("So-10"), banner);
  model->setObjectName(QStringLiteral("ModelDisplay"));
  model->setAlignment(Qt::AlignCenter);
  model->setFixedSize(132, 50);
  model->setStyleSheet(QStringLiteral("background: #050805; color: #38ff5a; border: 2px solid #30363e;"
                                      "font-family: monospace; font-size: 30px; font-weight: bold;"));
  bl->addWidget(model);
  outer->addWidget(banner);

  auto *body = new QWidget(this);
  auto *grid = new QGridLayout(body);
  grid->setContentsMargins(18, 12, 18, 6);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(7);

  m_rowLabel = new QLabel(QStringLiteral("USB Status:"), body);
  m_rowLabel->setObjectName(QStringLiteral("Label1"));
  grid->addWidget(m_rowLabel, 0, 0);
  auto *lampRow = new QHBoxLayout;
  lampRow->setSpacing(7);
  for (int k = 1; k <= 7; ++k) {
    m_lamps[k] = new StatusLamp(body);
    m_lamps[k]->setObjectName(QStringLiteral("Lamp%1").arg(k));
    lampRow->addWidget(m_lamps[k]);
  }
  lampRow->addStretch();
  m_blink = new StatusLamp(body);
  m_blink->setObjectName(QStringLiteral("BlinkLamp"));
  m_blink->setFixedSize(14, 14);
  m_blink->setColour(kOrange);
  lampRow->addWidget(m_blink);
  grid->addLayout(lampRow, 0, 1);

  m_progress = new QProgressBar(body);
  m_progress->setObjectName(QStringLiteral("ProgressBar1"));
  m_progress->setRange(0, 100);
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_progress->setFixedHeight(14);
  grid->addWidget(m_progress, 1, 0, 1, 2);

  const char *labels[3] = {"Device Mdl:", "Serial Num:", "Hardware Ver:"};
  for (int i = 0; i < 3; ++i) {
    auto *l = new QLabel(QString::fromLatin1(labels[i]), body);
    grid->addWidget(l, 2 + i, 0);
    m_fields[i] = new QLineEdit(body);
    m_fields[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    m_fields[i]->setReadOnly(true);
    m_fields[i]->setFocusPolicy(Qt::NoFocus);
    m_fields[i]->setStyleSheet(QStringLiteral("background: #14181e; color: #ffd86a; border: 1px solid #4a5260;"
                                              "font-family: monospace;"));
    grid->addWidget(m_fields[i], 2 + i, 1);
  }
  grid->setColumnStretch(1, 1);
  outer->addWidget(body, 1);

  auto *foot = new QHBoxLayout;
  foot->setContentsMargins(18, 0, 18, 6);
  auto *maker = new QLabel(Branding::Maker(), this);
  maker->setObjectName(QStringLiteral("MakerLabel"));
  maker->setStyleSheet(QStringLiteral("color: #8a96a8; font-size: 11px;"));
  foot->addWidget(maker, 1);
  m_exit = new QPushButton(QStringLiteral("离  开"), this);
  m_exit->setObjectName(QStringLiteral("BitBtn1"));
  m_exit->setToolTip(QStringLiteral("离开S.O.V.A.系统运行"));
  m_exit->setMinimumSize(96, 28);
  m_exit->hide();
  foot->addWidget(m_exit);
  outer->addLayout(foot);

  auto *bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(24);
  bar->setStyleSheet(QStringLiteral("QStatusBar { background: #d8dde4; color: #101418; padding-left: 6px; }"));
  m_status = new QLabel(bar);
  m_status->setObjectName(QStringLiteral("StatusText"));
  bar->addWidget(m_status, 1);
  outer->addWidget(bar);

  connect(m_exit, &QPushButton::clicked, this, [this] {
    m_ctx.SystemReady = false;
    reject();
  });

  m_check = std::make_unique<StartupCheck>(m_ctx, *this);
}

TSoStatu::~TSoStatu() = default;

bool TSoStatu::RunCheck(AppContext &ctx, QWidget *parent) {
  TSoStatu window(ctx, parent);
  window.exec();
  return ctx.SystemReady;
}

void TSoStatu::showEvent(QShowEvent *event) {
  if (QWidget *p = parentWidget())
    move(p->frameGeometry().center() - rect().center());
  setWindowOpacity(1.0);
  QDialog::showEvent(event);
  if (!m_blinking) {
    m_blinking = true;
    blink();
  }
}

bool TSoStatu::event(QEvent *e) {
  const bool r = QDialog::event(e);
  if ((e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) && !m_started)
    QMetaObject::invokeMethod(this, &TSoStatu::runCheck, Qt::QueuedConnection);
  return r;
}

void TSoStatu::blink() {
  if (!m_blinking)
    return;
  m_blink->setOn(!m_blink->isOn());
  m_ctx.clock().callAfter(kBlinkMs, this, [this] { blink(); });
}

void TSoStatu::runCheck() {
  if (m_started)
    return;
  m_started = true;
  m_ctx.SystemReady = m_ctx.link().isConnected();
  const bool instrumentReady = m_check->RunActivation();
  if (instrumentReady) {
    m_check->PrepareDatabase();
    m_ctx.SystemReady = m_ctx.SystemReady && m_check->readySoFar();
    m_finished = true;
    if (m_ctx.SystemReady)
      fadeOut();
    done(m_ctx.SystemReady ? Accepted : Rejected);
    return;
  }
  m_ctx.SystemReady = false;
  m_finished = true;
  setStatusText(m_check->failureMessage());
  m_exit->show();
  m_exit->setFocus();
}

void TSoStatu::fadeOut() {
  if (!isVisible())
    return;
  Clock &clock = m_ctx.clock();
  const quint32 start = clock.tick();
  for (;;) {
    const quint32 spent = clock.elapsedSince(start);
    if (spent >= quint32(kFadeMs))
      break;
    setWindowOpacity(double(kFadeMs - int(spent)) / kFadeMs);
    clock.waitUntil({}, 15);
  }
  setWindowOpacity(0.0);
}

void TSoStatu::done(int r) {
  if (m_closing)
    return;
  m_closing = true;
  m_progress->setEnabled(false);
  m_blinking = false;
  m_blink->setOn(false);
  QDialog::done(r);
  m_closing = false;
}

void TSoStatu::setLightColour(int k, Colour colour) {
  if (k >= 1 && k <= 7)
    m_lamps[k]->setColour(colourOf(colour));
}

void TSoStatu::setLightOn(int k, bool on) {
  if (k >= 1 && k <= 7)
    m_lamps[k]->setOn(on);
}

void TSoStatu::setRowLabel(const QString &text) { m_rowLabel->setText(text); }

void TSoStatu::setProgress(int percent) { m_progress->setValue(qBound(0, percent, 100)); }

void TSoStatu::setFields(const QString &model, const QString &serial, const QString &hardware) {
  m_fields[0]->setText(model);
  m_fields[1]->setText(serial);
  m_fields[2]->setText(hardware);
}

void TSoStatu::setStatusText(const QString &text) { m_status->setText(text); }

QString TSoStatu::statusText() const { return m_status->text(); }
QString TSoStatu::rowLabel() const { return m_rowLabel->text(); }
