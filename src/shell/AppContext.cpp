#include "shell/AppContext.h"

#include "link/Link.h"
#include "records/Database.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

AppContext::AppContext(Clock *clock, Prompter *prompter, Launcher *launcher, QObject *parent)
    : QObject(parent) {
  if (!clock) {
    m_ownClock = std::make_unique<RealClock>();
    clock = m_ownClock.get();
  }
  if (!prompter) {
    // Engine-only programs answer every question with its default; the window
    // library installs the real message box.
    m_ownPrompter = std::make_unique<ScriptedPrompter>(true);
    prompter = m_ownPrompter.get();
  }
  if (!launcher) {
    m_ownLauncher = std::make_unique<SystemLauncher>();
    launcher = m_ownLauncher.get();
  }
  m_clock = clock;
  m_prompter = prompter;
  m_launcher = launcher;
  m_link = std::make_unique<Link>(*this);
  m_database = std::make_unique<Database>();
  SetDefaultSettings(); // until the settings file is read
}

AppContext::~AppContext() = default;

void AppContext::setPrompter(Prompter *p) { m_prompter = p ? p : m_ownPrompter.get(); }

bool AppContext::ShowMessageBox(int type, const QString &text) { return m_prompter->ask(type, text); }

void AppContext::setTray(int image, const QString &hint) {
  tray.image = image;
  tray.hint = hint;
  emit trayChanged();
}

void AppContext::showBalloon(const QString &title, const QString &text, TrayState::BalloonIcon icon, int ms) {
  tray.balloonVisible = true;
  tray.balloonTitle = title;
  tray.balloonText = text;
  tray.balloonIcon = icon;
  tray.balloonMs = ms;
  ++tray.balloonCount;
  emit balloonRequested();
}

void AppContext::hideBalloon() {
  tray.balloonVisible = false;
  emit balloonRequested();
}

void AppContext::ResetAnalysisView() {
  AnalysisPage = 0;
  ChartGroup = 1;
  ChartChoice.fill(1);
}
