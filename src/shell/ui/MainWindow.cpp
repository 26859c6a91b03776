#include "shell/ui/MainWindow.h"

#include "link/Link.h"
#include "records/Database.h"
#include "shell/AppContext.h"
#include "shell/Branding.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/ui/Icons.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
struct ButtonSpec {
  const char *caption;
  const char *hint;
};
const ButtonSpec kButtons[13] = {
    {"", ""},
    {"经络测量", "经络能量测量"},
    {"经络解说", "各经络相关资料图例解说"},
    {"数位校准", "仪器自动数位校准系统"},
    {"资料处理", "读取或修改资料"},
    {"档案处理", "资料导入/导出"},
    {"功能1", ""}, {"功能2", ""}, {"功能3", ""}, {"功能4", ""}, {"功能5", ""}, {"功能6", ""},
    {"离开系统", "退出S.O.V.A.系统执行"},
};
} // namespace

TSoForm::TSoForm(AppContext &ctx, QWidget *parent) : QMainWindow(parent), m_ctx(ctx) {
  setObjectName(QStringLiteral("SoForm"));
  buildUi();

  // 1. Branding texts.
  setWindowTitle(Branding::Title() + QStringLiteral(" So-10 ") + Branding::Suffix());
  m_versionLabel->setText(Branding::Product() + QStringLiteral(" So-10 Version 6.5.0"));
  m_webLabel->setText(QStringLiteral("URL: ") + Branding::Web());
  m_noticeLabel->setText(Branding::Notice());
  m_ctx.setTray(15, Branding::TrayLine() + u'\n' + Branding::ProductTitle());

  // 2. The probe-fault balloon state, the grade colours and the meridian table.
  m_ctx.hideBalloon();
  m_ctx.link().resetProbeFault();
  BuildMeridianTable(m_ctx.model);

  // 3. Commands stay off until the start-up check has passed.
  EnableToolButtons(false);
  setTopMenusVisible(false);

  // 4. Measurement bookkeeping.
  m_ctx.CurrentMeasurement = Measurement();
  m_ctx.FirstActivation = true;

  // 5. Connects an instrument that is already plugged in (no balloon yet).
  m_ctx.link().InstallDeviceChangeHandler();
  m_ctx.clock().processPending();

  // 6. Settings file: read it, or create it with the defaults; either way the
  // measuring order and factors are derived.
  m_ctx.LoadSettings();

  // 7. Status bar text.
  m_status->setText(m_ctx.settings.UserName1);

  // 8. No subject on screen.
  m_ctx.CurrentSubject = Subject();

  connect(&m_ctx, &AppContext::trayChanged, this, &TSoForm::syncTray);
  connect(&m_ctx, &AppContext::balloonRequested, this, &TSoForm::syncBalloon);
  syncTray();
}

TSoForm::~TSoForm() = default;

void TSoForm::buildUi() {
  auto *bar = addToolBar(QStringLiteral("tools"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(40, 40));
  for (int k = 1; k <= 12; ++k) {
    auto *b = new QToolButton(bar);
    b->setObjectName(QStringLiteral("ToolButton%1").arg(k));
    b->setText(QString::fromUtf8(kButtons[k].caption));
    b->setToolTip(QString::fromUtf8(kButtons[k].hint));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIcon(MainToolIcon(k));
    b->setIconSize(QSize(40, 40));
    b->setMinimumWidth(76);
    m_buttonActions[k] = bar->addWidget(b);
    m_buttons[k] = b;
    if (k == 3 || k == 5 || k == 8 || k == 11)
      bar->addSeparator();
    connect(b, &QToolButton::clicked, this, [this, k] {
      if (k >= Fn1 && k <= Fn6)
        RunCustomFunction(k - Fn1 + 1);
      else if (k == Exit) {
        EnableToolButtons(false);
        close();
      } else
        openButtonWindow(Button(k));
    });
  }

  auto *mb = menuBar();
  m_menuMeasure = mb->addAction(QStringLiteral("经络测量"));
  m_menuMeasure->setStatusTip(QStringLiteral("经络能量检测"));
  m_menuMeasure->setToolTip(QStringLiteral("经络能量检测"));
  connect(m_menuMeasure, &QAction::triggered, this, [this] { openButtonWindow(Measure); });
  m_menuExplain = mb->addAction(QStringLiteral("经络解说"));
  m_menuExplain->setToolTip(QStringLiteral("各经络相关资料图例解说"));
  connect(m_menuExplain, &QAction::triggered, this, [this] { openButtonWindow(Explain); });
  m_menuRecords = mb->addAction(QStringLiteral("资料处理"));
  m_menuRecords->setToolTip(QStringLiteral("读取或修改资料"));
  connect(m_menuRecords, &QAction::triggered, this, [this] { openButtonWindow(Records); });
  m_supportMenu = mb->addMenu(QStringLiteral("系统支援"));
  m_supportMenu->setObjectName(QStringLiteral("SupportMenu"));
  m_supportMenu->setToolTip(QStringLiteral("系统支援与服务"));
  m_supportMenu->setToolTipsVisible(true);
  m_supportMenuAction = m_supportMenu->menuAction();
  QAction *userSettings = m_supportMenu->addAction(QStringLiteral("用户资料设定"));
  userSettings->setToolTip(QStringLiteral("用户连结与资料设定"));
  connect(userSettings, &QAction::triggered, this, [this] {
    if (m_userSettingsFactory)
      OpenModal(m_userSettingsFactory);
    ApplyCustomFunctionButtons();
  });
  QAction *calib = m_supportMenu->addAction(QStringLiteral("数位校准系统"));
  calib->setToolTip(QStringLiteral("自动数位校准系统"));
  connect(calib, &QAction::triggered, this, [this] { openButtonWindow(Calibrate); });
  m_supportMenu->addSeparator();
  QAction *files = m_supportMenu->addAction(QStringLiteral("档案导入/导出"));
  files->setToolTip(QStringLiteral("客户及检测资料处理"));
  connect(files, &QAction::triggered, this, [this] { openButtonWindow(Files); });
  m_supportMenu->addSeparator();
  QAction *quit = m_supportMenu->addAction(QStringLiteral("离开系统"));
  quit->setToolTip(QStringLiteral("退出S.O.V.A.系统执行"));
  connect(quit, &QAction::triggered, this, [this] {
    EnableToolButtons(false);
    close();
  });
  m_menuAbout = mb->addAction(QStringLiteral("关于版本"));
  connect(m_menuAbout, &QAction::triggered, this, [this] {
    if (m_aboutFactory)
      OpenModal(m_aboutFactory);
  });

  auto *central = new QWidget(this);
  central->setObjectName(QStringLiteral("MainPanel"));
  central->setAutoFillBackground(true);
  QPalette pal = central->palette();
  QLinearGradient grad(0, 0, 0, 800);
  grad.setColorAt(0, QColor(18, 60, 110));
  grad.setColorAt(1, QColor(8, 24, 48));
  pal.setBrush(QPalette::Window, grad);
  central->setPalette(pal);
  auto *lay = new QVBoxLayout(central);
  lay->setContentsMargins(40, 40, 40, 24);
  lay->addStretch(2);
  m_versionLabel = new QLabel(central);
  m_versionLabel->setObjectName(QStringLiteral("VersionLabel"));
  m_versionLabel->setAlignment(Qt::AlignCenter);
  m_versionLabel->setStyleSheet(QStringLiteral("color: #f2f6ff; font-size: 34px; font-weight: bold;"));
  lay->addWidget(m_versionLabel);
  auto *sub = new QLabel(Branding::ProductTitle(), central);
  sub->setAlignment(Qt::AlignCenter);
  sub->setStyleSheet(QStringLiteral("color: #9fc4ee; font-size: 20px;"));
  lay->addWidget(sub);
  lay->addStretch(3);
  m_webLabel = new QLabel(central);
  m_webLabel->setObjectName(QStringLiteral("WebLabel"));
  m_webLabel->setAlignment(Qt::AlignCenter);
  m_webLabel->setCursor(Qt::PointingHandCursor);
  m_webLabel->setStyleSheet(QStringLiteral("color: #7fd0ff; text-decoration: underline; font-size: 14px;"));
  m_webLabel->installEventFilter(this);
  lay->addWidget(m_webLabel);
  m_noticeLabel = new QLabel(central);
  m_noticeLabel->setObjectName(QStringLiteral("NoticeLabel"));
  m_noticeLabel->setAlignment(Qt::AlignCenter);
  m_noticeLabel->setStyleSheet(QStringLiteral("color: #c8d4e4; font-size: 13px;"));
  lay->addWidget(m_noticeLabel);
  setCentralWidget(central);

  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("StatusText"));
  statusBar()->addWidget(m_status, 1);

  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    m_tray = new QSystemTrayIcon(this);
    m_tray->show();
  }
}

QString TSoForm::statusText() const { return m_status->text(); }

void TSoForm::EnableToolButtons(bool on) {
  for (int k = 1; k <= 12; ++k)
    m_buttons[k]->setEnabled(on);
}

void TSoForm::setTopMenusVisible(bool on) {
  m_menuMeasure->setVisible(on);
  m_menuExplain->setVisible(on);
  m_supportMenuAction->setVisible(on);
  m_menuAbout->setVisible(on);
}

void TSoForm::setWindowFactory(Button button, WindowFactory factory) { m_factories[button] = std::move(factory); }

void TSoForm::openButtonWindow(Button b) {
  if (m_factories[b])
    OpenModal(m_factories[b], b == Records);
  else if (!m_ctx.link().isConnected())
    OpenModal({}, false); // still tells the user the instrument is off-line
}

void TSoForm::OpenModal(const WindowFactory &factory, bool isRecordBrowser) {
  if (!m_ctx.link().isConnected()) {
    m_ctx.ShowMessageBox(6, Branding::Product() + QStringLiteral("已经脱机！请重新连接装置"));
    return;
  }
  if (!factory)
    return;
  EnableToolButtons(false);
  {
    std::unique_ptr<QDialog> window = factory(m_ctx, this);
    if (window)
      window->exec();
  }
  EnableToolButtons(true);
}

void TSoForm::RunCustomFunction(int k) {
  if (k == 1)
    writeBrandingFile();
  if (!m_ctx.link().isConnected()) {
    m_ctx.ShowMessageBox(6, Branding::Product() + QStringLiteral("已经脱机！请重新连接装置"));
    return;
  }
  EnableToolButtons(false);
  LaunchCustomFunction(m_ctx.launcher(), m_ctx.settings.FunctionProgram[k], m_ctx.settings.FunctionParameter[k]);
  EnableToolButtons(true);
}

void TSoForm::writeBrandingFile() {
  // Written for the product's record; nothing reads it. A Linux system has no
  // drive C, so it lives in the data folder.
  QSaveFile f(m_ctx.dataFolder + QStringLiteral("SOVA.DAT"));
  if (!f.open(QIODevice::WriteOnly))
    return;
  for (const QString &line : Branding::BrandingFileLines())
    f.write(line.toLatin1() + "\r\n");
  f.commit();
}

void TSoForm::ApplyCustomFunctionButtons() {
  const QString vis = m_ctx.settings.FunctionVisibility;
  for (int k = 1; k <= 6; ++k) {
    QToolButton *b = m_buttons[Fn1 + k - 1];
    const bool hidden = k <= vis.size() && vis.at(k - 1) == u'0';
    m_buttonActions[Fn1 + k - 1]->setVisible(!hidden);
    b->setToolTip(m_ctx.settings.FunctionHint[k]);
  }
}

void TSoForm::showEvent(QShowEvent *event) {
  ApplyCustomFunctionButtons();
  QMainWindow::showEvent(event);
}

bool TSoForm::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate && m_ctx.FirstActivation) {
    const bool r = QMainWindow::event(e);
    QMetaObject::invokeMethod(this, &TSoForm::FirstActivate, Qt::QueuedConnection);
    return r;
  }
  return QMainWindow::event(e);
}

bool TSoForm::eventFilter(QObject *watched, QEvent *e) {
  if (watched == m_webLabel && e->type() == QEvent::MouseButtonRelease) {
    LaunchCustomFunction(m_ctx.launcher(), Branding::Web(), QString());
    return true;
  }
  return QMainWindow::eventFilter(watched, e);
}

void TSoForm::FirstActivate() {
  if (!m_ctx.FirstActivation)
    return;
  m_ctx.FirstActivation = false;
  const bool ready = m_startupCheck ? m_startupCheck(m_ctx, this) : true;
  m_ctx.SystemReady = ready;
  if (ready) {
    EnableToolButtons(true);
    setTopMenusVisible(true);
  } else {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
}

void TSoForm::closeEvent(QCloseEvent *event) {
  if (m_ctx.link().isConnected()) {
    m_ctx.link().Sound(2);
    if (!m_ctx.ShowMessageBox(2, QStringLiteral("您确定要结束本系统吗?"))) {
      EnableToolButtons(true);
      event->ignore();
      return;
    }
    m_ctx.link().SendCommand(QStringLiteral("X0000"));
  }
  EnableToolButtons(false);
  if (m_tray)
    m_tray->hide();
  m_ctx.database().close();
  event->accept();
}

void TSoForm::syncTray() {
  if (!m_tray)
    return;
  m_tray->setIcon(TrayIcon(m_ctx.tray.image));
  m_tray->setToolTip(m_ctx.tray.hint);
}

void TSoForm::syncBalloon() {
  if (!m_tray || !m_ctx.tray.balloonVisible)
    return;
  QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
  switch (m_ctx.tray.balloonIcon) {
  case TrayState::Information: icon = QSystemTrayIcon::Information; break;
  case TrayState::Warning: icon = QSystemTrayIcon::Warning; break;
  case TrayState::Error: icon = QSystemTrayIcon::Critical; break;
  default: break;
  }
  m_tray->showMessage(m_ctx.tray.balloonTitle, m_ctx.tray.balloonText, icon, m_ctx.tray.balloonMs);
}

bool TSoForm::isToolButtonShown(int k) const { return m_buttonActions.at(k)->isVisible(); }
