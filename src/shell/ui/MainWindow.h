#pragma once
// TSoForm: the program's frame. Builds the shared tables, reads the settings,
// hosts the link and the tray icon, runs the start-up check on its first
// activation and opens every other window modally.
#include <QDialog>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class AppContext;
class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QToolButton;

class TSoForm : public QMainWindow {
  Q_OBJECT
public:
  // Tool buttons 1..12 in tool bar order.
  enum Button { Measure = 1, Explain, Calibrate, Records, Files, Fn1, Fn2, Fn3, Fn4, Fn5, Fn6, Exit };
  using WindowFactory = std::function<std::unique_ptr<QDialog>(AppContext &, QWidget *parent)>;
  // Runs the start-up check modally; returns whether the system is ready.
  using StartupCheck = std::function<bool(AppContext &, QWidget *parent)>;

  explicit TSoForm(AppContext &ctx, QWidget *parent = nullptr);
  ~TSoForm() override;

  void EnableToolButtons(bool on);
  // The common pattern of every window-opening command.
  void OpenModal(const WindowFactory &factory, bool isRecordBrowser = false);
  void RunCustomFunction(int k);
  // Called on the first activation; public so tests can drive it offscreen.
  void FirstActivate();

  // Each window's issue registers how it is created.
  void setWindowFactory(Button button, WindowFactory factory);
  void setUserSettingsFactory(WindowFactory factory) { m_userSettingsFactory = std::move(factory); }
  void setAboutFactory(WindowFactory factory) { m_aboutFactory = std::move(factory); }
  void setStartupCheck(StartupCheck check) { m_startupCheck = std::move(check); }

  QToolButton *toolButton(int k) const { return m_buttons.at(k); }
  bool isToolButtonShown(int k) const;
  QMenu *supportMenu() const { return m_supportMenu; }
  QString statusText() const;
  void ApplyCustomFunctionButtons();

protected:
  void closeEvent(QCloseEvent *event) override;
  bool event(QEvent *event) override;
  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void buildUi();
  void setTopMenusVisible(bool on);
  void openButtonWindow(Button b);
  void writeBrandingFile();
  void syncTray();
  void syncBalloon();

  AppContext &m_ctx;
  std::array<QToolButton *, 13> m_buttons{};
  std::array<QAction *, 13> m_buttonActions{};
  std::array<WindowFactory, 13> m_factories;
  WindowFactory m_userSettingsFactory, m_aboutFactory;
  StartupCheck m_startupCheck;
  QAction *m_menuMeasure = nullptr, *m_menuExplain = nullptr, *m_menuRecords = nullptr, *m_menuAbout = nullptr;
  QMenu *m_supportMenu = nullptr;
  QAction *m_supportMenuAction = nullptr;
  QLabel *m_status = nullptr, *m_versionLabel = nullptr, *m_webLabel = nullptr, *m_noticeLabel = nullptr;
  QSystemTrayIcon *m_tray = nullptr;
  bool m_closingConfirmed = false;
};
