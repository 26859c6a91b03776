#include "shell/ui/AbortBox.h"

#include "shell/PrintJob.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TAbortBox::TAbortBox(PrintJob &job, QWidget *parent) : QDialog(parent), m_job(job) {
  setObjectName(QStringLiteral("AbortBox"));
  setWindowTitle(QStringLiteral("打印"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  setModal(false);

  auto *lay = new QVBoxLayout(this);
  lay->setContentsMargins(24, 20, 24, 16);
  lay->setSpacing(16);
  auto *text = new QLabel(QStringLiteral("分析资料打印中...."), this);
  text->setObjectName(QStringLiteral("Label1"));
  text->setAlignment(Qt::AlignCenter);
  lay->addWidget(text);
  m_button = new QPushButton(QStringLiteral("打印中断"), this);
  m_button->setObjectName(QStringLiteral("Button1"));
  m_button->setMinimumSize(110, 30);
  lay->addWidget(m_button, 0, Qt::AlignHCenter);
  setFixedSize(280, 120);

  connect(m_button, &QPushButton::clicked, this, [this] {
    m_job.abort();
    hide();
  });
  connect(&m_job, &PrintJob::started, this, [this] { show(); });
  connect(&m_job, &PrintJob::finished, this, [this] { hide(); });
}

void TAbortBox::showEvent(QShowEvent *event) {
  if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
