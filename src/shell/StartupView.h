#pragma once
// What the start-up check shows while it runs: the row of seven lights, the
// progress bar, the three information fields and the status text. The status
// window implements it; tests record it.
#include <QString>

class StartupView {
public:
  enum class Colour { Red, Yellow, Green };
  virtual ~StartupView() = default;
  virtual void setLightColour(int k, Colour colour) = 0; // k = 1..7
  virtual void setLightOn(int k, bool on) = 0;
  virtual void setRowLabel(const QString &text) = 0; // "USB Status:" / "DBT Prog:"
  virtual void setProgress(int percent) = 0;
  virtual void setFields(const QString &model, const QString &serial, const QString &hardware) = 0;
  virtual void setStatusText(const QString &text) = 0;

  void setAllLights(Colour colour) {
    for (int k = 1; k <= 7; ++k)
      setLightColour(k, colour);
  }
};
