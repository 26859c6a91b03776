#include "shell/ui/AboutBox.h"

#include "link/Link.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Clock.h"
#include "shell/Format.h"
#include "shell/Launcher.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kFadeMs = 500;

QLabel *addLabel(QVBoxLayout *lay, const QString &text, const QString &style, QWidget *parent) {
  auto *l = new QLabel(text, parent);
  l->setStyleSheet(style);
  lay->addWidget(l);
  return l;
}
} // namespace

QString TAboutBox::CounterText(double count, const QLocale &locale) {
  return QStringLiteral("[ ") + FormatNumber("%8.0n", count, locale) + QStringLiteral(" ]");
}

TAboutBox::TAboutBox(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("关於版本"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setModal(true);

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(22, 18, 22, 14);
  outer->setSpacing(4);

  addLabel(outer, Branding::ProductTitle(), QStringLiteral("font-size: 20px; font-weight: bold; color: #123c6e;"), this)
      ->setObjectName(QStringLiteral("ProductName"));
  addLabel(outer, Branding::Maker(), QStringLiteral("font-size: 13px; font-weight: bold;"), this)
      ->setObjectName(QStringLiteral("MakerName"));
  addLabel(outer, Branding::Notice(), QStringLiteral("color: #505860;"), this)->setObjectName(QStringLiteral("Notice"));

  auto *line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  outer->addSpacing(6);
  outer->addWidget(line);
  outer->addSpacing(6);

  addLabel(outer, QStringLiteral("SO-10 Ver: 6.5.0 cn"), QStringLiteral("font-weight: bold;"), this)
      ->setObjectName(QStringLiteral("Version"));
  addLabel(outer, QStringLiteral("简体字中文版"), QString(), this);
  addLabel(outer, QStringLiteral("For: Windows 7,Windows 10,Windows 11 "), QString(), this);
  outer->addSpacing(8);

  auto *grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(3);
  auto row = [&](int r, const QString &caption, QLabel **value, const char *name) {
    grid->addWidget(new QLabel(caption, this), r, 0);
    *value = new QLabel(this);
    (*value)->setObjectName(QLatin1String(name));
    (*value)->setStyleSheet(QStringLiteral("font-family: monospace; color: #0b3d91;"));
    grid->addWidget(*value, r, 1);
  };
  row(0, QStringLiteral("Device SerialNo:"), &m_serial, "SerialNo");
  row(1, QStringLiteral("Hardware Version:"), &m_hardware, "HardwareVersion");
  row(2, QStringLiteral("Measurement Counter:"), &m_counter, "Counter");
  grid->setColumnStretch(1, 1);
  outer->addLayout(grid);
  outer->addSpacing(8);

  addLabel(outer, Branding::Tel(), QString(), this)->setObjectName(QStringLiteral("Tel"));
  addLabel(outer, Branding::Fax(), QString(), this)->setObjectName(QStringLiteral("Fax"));
  m_web = addLabel(outer, Branding::Web(), QStringLiteral("color: #1060c0; text-decoration: underline;"), this);
  m_web->setObjectName(QStringLiteral("WebLabel"));
  m_web->setCursor(Qt::PointingHandCursor);
  m_web->installEventFilter(this);
  addLabel(outer, QStringLiteral("E-mail: ") + Branding::EMail(), QString(), this)
      ->setObjectName(QStringLiteral("EMail"));

  outer->addSpacing(10);
  m_ok = new QPushButton(QStringLiteral("确  定"), this);
  m_ok->setObjectName(QStringLiteral("OKButton"));
  m_ok->setMinimumSize(96, 30);
  m_ok->setDefault(true);
  outer->addWidget(m_ok, 0, Qt::AlignHCenter);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void TAboutBox::showEvent(QShowEvent *event) {
  setWindowOpacity(1.0);
  Link &link = m_ctx.link();
  m_serial->setText(link.info().SerialNumber);
  HidDevice *device = link.instrument();
  m_hardware->setText(device ? device->indexedString(3).trimmed() : QString());
  m_counter->setText(CounterText(link.ReadMeasurementCounter(false), QLocale()));
  if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_web && event->type() == QEvent::MouseButtonRelease) {
    LaunchCustomFunction(m_ctx.launcher(), Branding::Web(), QString());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutBox::done(int r) {
  if (m_fading)
    return;
  m_fading = true;
  if (isVisible()) {
    Clock &clock = m_ctx.clock();
    const quint32 start = clock.tick();
    for (;;) {
      const quint32 spent = clock.elapsedSince(start);
      if (spent >= quint32(kFadeMs))
        break;
      setWindowOpacity(1.0 - double(spent) / kFadeMs);
      clock.waitUntil({}, 15);
    }
    setWindowOpacity(0.0);
  }
  m_fading = false;
  QDialog::done(r);
}
