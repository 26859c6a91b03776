#pragma once
// The demonstration's operator: watches the instrument's output phases as a
// practitioner watches its lamps. When the program waits for a touch, the
// operator touches the next point after about a second, holds the probe about
// three seconds and lifts it. During a calibration it presses the probe to the
// hand grip until the program signals the end. Point values follow one
// plausible subject, drawn anew for each operator, so runs differ a little.
#include "link/SimulatedInstrument.h"

#include <array>

class DemoOperator : public SimOperator {
public:
  explicit DemoOperator(quint32 seed);
  void phaseChanged(SimulatedInstrument &sim, SimPhase phase) override;

  // The subject's current in micro-amperes at each position of the measuring sequence.
  const std::array<double, 25> &profile() const { return m_profile; }

private:
  double countsPerMicroamp(const SimulatedInstrument &sim) const;

  std::mt19937 m_random;
  std::array<double, 25> m_profile{}; // 1-based
  int m_position = 1;
  bool m_holding = false;
};
