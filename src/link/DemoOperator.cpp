#include "link/DemoOperator.h"

#include <cmath>

namespace {
int uniform(std::mt19937 &r, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(r);
}
double uniformReal(std::mt19937 &r, double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(r);
}
} // namespace

DemoOperator::DemoOperator(quint32 seed) : m_random(seed) {
  // Positions 1-12 are hand points, 13-24 foot points (six per limb, left
  // first). Hands read higher than feet; the two sides of a meridian agree
  // within a few micro-amperes, with one or two meridians clearly off.
  const double energy = uniformReal(m_random, 45, 85);
  std::array<double, 7> meridianHand{}, meridianFoot{};
  for (int m = 1; m <= 6; ++m) {
    meridianHand[m] = uniformReal(m_random, 0.8, 1.25);
    meridianFoot[m] = uniformReal(m_random, 0.7, 1.1);
  }
  meridianHand[uniform(m_random, 1, 6)] *= uniformReal(m_random, 0.6, 1.5);
  meridianFoot[uniform(m_random, 1, 6)] *= uniformReal(m_random, 0.6, 1.5);
  for (int p = 1; p <= 24; ++p) {
    const int m = (p - 1) % 6 + 1;
    const double side = uniformReal(m_random, 0.92, 1.08);
    const double v = energy * (p <= 12 ? meridianHand[m] : meridianFoot[m]) * side;
    m_profile[p] = std::clamp(v, 8.0, 180.0);
  }
}

double DemoOperator::countsPerMicroamp(const SimulatedInstrument &sim) const {
  // Newer instruments measure against their own standard reference.
  const int reference = sim.indexedString3().trimmed() == QLatin1String(LinkProtocol::kNewerHardware)
                            ? (sim.reg(0x0B) << 8 | sim.reg(0x0C))
                            : 4000;
  return qMax(1.0, reference / 200.0);
}

void DemoOperator::phaseChanged(SimulatedInstrument &sim, SimPhase phase) {
  switch (phase) {
  case SimPhase::WaitingForTouch: {
    sim.cancelOperatorSteps();
    sim.lift();
    const double ua = m_profile[m_position] * uniformReal(m_random, 0.98, 1.02);
    const int level = qBound(30, int(std::lround(ua * countsPerMicroamp(sim))), 4095);
    const int noise = 2 + level / 250;
    const int hold = uniform(m_random, 3000, 3400);
    sim.scheduleOperatorStep(uniform(m_random, 700, 1400), [&sim, level, noise, hold] {
      sim.touch(level, noise);
      sim.scheduleOperatorStep(hold, [&sim] { sim.lift(); });
    });
    break;
  }
  case SimPhase::PointTaken:
    if (m_holding) { // calibration finished within tolerance
      m_holding = false;
      sim.scheduleOperatorStep(uniform(m_random, 600, 1000), [&sim] { sim.lift(); });
    } else {
      m_position = m_position % 24 + 1;
    }
    break;
  case SimPhase::CalibrationWaiting: {
    sim.cancelOperatorSteps();
    sim.lift();
    const bool newer = sim.indexedString3().trimmed() == QLatin1String(LinkProtocol::kNewerHardware);
    const int reference = sim.reg(0x0B) << 8 | sim.reg(0x0C);
    const int level = newer ? reference - uniform(m_random, 20, 80) : uniform(m_random, 2950, 3250);
    m_holding = true;
    sim.scheduleOperatorStep(uniform(m_random, 1000, 1600), [&sim, level] { sim.touch(level, 3); });
    break;
  }
  case SimPhase::CalibrationFailed:
  case SimPhase::CalibrationError:
    m_holding = false;
    sim.scheduleOperatorStep(uniform(m_random, 500, 900), [&sim] { sim.lift(); });
    break;
  case SimPhase::Idle:
    if (m_holding) {
      m_holding = false;
      sim.cancelOperatorSteps();
      sim.lift();
    }
    break;
  default: break;
  }
}
