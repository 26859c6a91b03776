#pragma once
// The start-up status check: tests the instrument, runs its lamp self-test and
// prepares the database files and connections. The status window (TSoStatu)
// drives it and shows its progress through StartupView; tests run it headless.
#include <QString>

class AppContext;
class StartupView;

class StartupCheck {
public:
  enum class Instrument { Missing, NoHardwareString, Ready };

  StartupCheck(AppContext &ctx, StartupView &view);

  // Activation steps: instrument state, lights, the 1.5 s animation with the
  // self-test, and "X0000". Returns whether the system is ready so far.
  bool RunActivation();
  // Database preparation; only after a successful activation. Returns whether
  // the system is still ready.
  bool PrepareDatabase();
  // Both, setting AppContext::SystemReady; the status text of a failed
  // activation is failureMessage().
  bool Run();

  Instrument instrumentState() const { return m_state; }
  QString failureMessage() const;
  bool readySoFar() const { return m_ready; }

  static constexpr int kAnimationMs = 1500;
  static const QString &ModelText();

private:
  AppContext &m_ctx;
  StartupView &m_view;
  Instrument m_state = Instrument::Missing;
  bool m_ready = false;
};
