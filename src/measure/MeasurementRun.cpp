#include "measure/MeasurementRun.h"

#include "measure/BalanceChart.h"
#include "measure/MeasurementGrid.h"
#include "measure/RunInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Format.h"

#include <algorithm>
#include <cmath>

namespace {
int ClampPercent(int p) { return std::clamp(p, 0, 100); }
QString Display(double v) { return FormatNumber("%5.1f", v); }
} // namespace

MeasurementRun::MeasurementRun(AppContext &ctx, RunInstrument &instrument, MeasurementView &view)
    : m_ctx(ctx), m_inst(instrument), m_view(view) {
  m_countsPerMicroamp = m_ctx.NormalFullScale / 200.0;
  SensitivityChanged();
}

QString MeasurementRun::OfflineText() { return QStringLiteral("S.O.V.A.已经脱机！请重新连接装置"); }

void MeasurementRun::chooseFullScales() {
  const Settings &s = m_ctx.settings;
  if (m_inst.NewerHardware()) {
    m_ctx.NormalFullScale = m_inst.StandardReference();
    m_ctx.HighFullScale = m_inst.HighReference();
  } else if (s.ReferenceSet != 0) {
    m_ctx.NormalFullScale = s.StdReference1;
    m_ctx.HighFullScale = s.HighReference1;
  } else {
    m_ctx.NormalFullScale = s.StdReference0;
    m_ctx.HighFullScale = s.HighReference0;
  }
  // A reference of 0 would make every reading infinite; the settings file
  // already refuses values below 2000, the instrument's registers are guarded here.
  if (m_ctx.NormalFullScale <= 0)
    m_ctx.NormalFullScale = 4000;
  if (m_ctx.HighFullScale <= 0)
    m_ctx.HighFullScale = 4000;
}

void MeasurementRun::SensitivityChanged() {
  const int fullScale = m_ctx.CurrentMeasurement.HighPotential ? m_ctx.HighFullScale : m_ctx.NormalFullScale;
  m_contactThreshold = m_ctx.settings.Sensitivity * fullScale / 200.0;
}

double MeasurementRun::factor() const {
  const int meridian = m_ctx.model.PositionMeridian[m_currentPosition];
  return meridian >= 1 && meridian <= 12 ? m_ctx.model.MeridianFactor[meridian] : 1.0;
}

double MeasurementRun::readMean2() {
  const int a = m_inst.ReadProbe();
  const int b = m_inst.ReadProbe();
  return (a + b) / 2.0;
}

void MeasurementRun::showReading(double raw) {
  m_view.ShowReading(Display(raw / m_countsPerMicroamp), Display(raw * factor() / m_countsPerMicroamp));
}

bool MeasurementRun::SelectPosition(int position) {
  if (!m_awaitingProbe || position < 1 || position > 24)
    return false;
  m_currentPosition = position;
  m_view.ShowPosition(position);
  return true;
}

void MeasurementRun::RunMeasurement() {
  if (m_running)
    return;
  if (!m_inst.isConnected() || !m_ctx.SystemReady) {
    m_ctx.ShowMessageBox(6, OfflineText());
    return;
  }
  Measurement &m = m_ctx.CurrentMeasurement;

  m_view.RedrawGrid();
  chooseFullScales();

  if (m.StoredKey > 0) {
    m_inst.Sound(1);
    if (m_ctx.ShowMessageBox(1, QStringLiteral("您要先清除表格中的数据再开始检测吗？"))) {
      ClearMeasurementValues(m);
      m_ctx.ResetAnalysisView();
      m_view.MeasurementCleared();
      m_view.RedrawGrid();
    }
  }

  m.HighPotential = false;
  // Line 23 was read above; it chooses the reference set of this run only.
  m_ctx.settings.AutoContact = 1;
  m_ctx.settings.ReferenceSet = 0;

  m_running = true;
  m_wentOffline = false;
  m_currentPosition = 1;
  m_view.RunStarted();

  m_view.DrawBalanceChart();
  const QSize chart = m_view.chartSize();
  m_chartHeight = chart.height();
  m_xScale = (chart.width() - 32) / double(kPointTime);
  m_yScale = (chart.height() - 15) / 600.0;

  m_inst.SendCommand(QStringLiteral("X0000"));
  m_inst.SendCommand(QStringLiteral("L0000"));
  m_inst.SendCommand(QStringLiteral("I0000"));
  m_inst.SendCommand(QStringLiteral("K0001"));
  m_countsPerMicroamp = m_ctx.NormalFullScale / 200.0;
  m_stopRequested = false;
  m_lastReading = 0;

  while (!m_stopRequested && m_currentPosition <= 24) {
    m_contactThreshold = m_ctx.settings.Sensitivity * m_countsPerMicroamp;
    m_view.ShowPosition(m_currentPosition);
    Attempt a;
    do
      a = attempt();
    while (a == Attempt::Restart);
    if (a == Attempt::Leave)
      break;
    ++m_currentPosition;
  }

  // Ending the run.
  m_awaitingProbe = false;
  m_view.SetLamp(MeasurementView::Lamp::Off);
  m_view.ShowStatus(QString());
  m_view.ShowSampleCount(QStringLiteral("0"));
  m_inst.SendCommand(QStringLiteral("X0000"));
  m_running = false;
  m_view.RunEnded();
  m_view.ShowReading(QStringLiteral("0.0"), QStringLiteral("0.0"));
  m_view.ShowRemainingTime(QStringLiteral("off"));
  m_view.ShowProgress(0);
  m_view.ShowValueBars(0, 0);
  m_view.DrawBalanceChart();

  if (m_wentOffline)
    m_ctx.ShowMessageBox(6, OfflineText());
}

bool MeasurementRun::waitForContact(double &r) {
  Clock &clock = m_ctx.clock();
  for (;;) {
    clock.processPending();
    if (m_stopRequested)
      return false;
    if (!m_inst.isConnected()) {
      // Without an instrument every reading returns at once: the loop would
      // spin. The run ends and says why.
      m_wentOffline = true;
      m_stopRequested = true;
      return false;
    }
    showReading(r);
    r = m_inst.ReadProbe();
    if (r > m_contactThreshold) {
      r = readMean2();
      if (r > m_contactThreshold)
        return true;
    }
  }
}

MeasurementRun::Attempt MeasurementRun::attempt() {
  Measurement &m = m_ctx.CurrentMeasurement;
  Clock &clock = m_ctx.clock();
  const int soundMode = m_ctx.settings.SoundMode;

  UpdateAverage(m);
  m_view.ShowAverage(AverageText(m.Average));
  m_awaitingProbe = true;
  m_view.ShowStatus(QStringLiteral("请至指定的代表测定点开始测量,或以鼠标点选测量位置"));
  m_view.ShowProgress(0);
  m_view.ShowValueBars(0, 0);
  m_view.ShowSampleCount(QStringLiteral("0"));
  m_view.ShowRemainingTime(Display(kPointTime / 1000.0));
  m_view.ShowReleaseCountdown(false, QString());
  m_view.SetLamp(MeasurementView::Lamp::BlinkingGreen);
  m_inst.SendCommand(QStringLiteral("F007F"));
  m_inst.SendCommand(QStringLiteral("C0000"));

  double r = m_lastReading;
  waitForContact(r);
  m_lastReading = r;

  std::array<double, 20> ring;
  ring.fill(r);
  double baseline = r;
  m_inst.SendCommand(QStringLiteral("C007F"));
  m_inst.SendCommand(QStringLiteral("F0000"));
  m_view.DrawBalanceChart();
  m_pen = QPoint(32, m_chartHeight - 15);
  if (m_stopRequested)
    return Attempt::Leave;

  m_view.SetLamp(MeasurementView::Lamp::Red);
  int countdown = kPointTime / kBeat;
  if (soundMode == 2)
    m_inst.Sound(13);
  m_view.ShowStatus(QStringLiteral("经络能量测定中,请保持测棒稳定不动.."));

  double sum = 0;
  int n = 0;
  int j = 0;
  int progress = 0;
  double sigma = 0;
  const quint32 t0 = clock.tick();
  for (;;) {
    double d = m_inst.ReadProbe();
    if (d <= m_contactThreshold) {
      d = m_inst.ReadProbe();
      if (d <= m_contactThreshold) {
        m_lastReading = d;
        m_view.DrawBalanceChart();
        return Attempt::Restart;
      }
    }
    const qint64 e = clock.elapsedSince(t0);

    if (kPointTime - e <= qint64(countdown) * kBeat) {
      --countdown;
      if (soundMode == 1)
        m_inst.Sound(4);
      if (countdown < 0) {
        progress = 100;
        m_view.ShowProgress(progress);
        break;
      }
    }

    if (e < 300) {
      const QPoint to(NearestInt(e * m_xScale) + 32, NearestInt((600 - e) * m_yScale));
      m_view.TraceLine(QPoint(32, m_chartHeight - 15), to);
      m_pen = to;
      const int fresh = m_inst.ReadProbe();
      baseline = e <= 200 ? fresh : (fresh + baseline) / 2.0;
    } else {
      int y = NearestInt(300 * m_yScale - (d - baseline) / m_countsPerMicroamp * 10 * m_yScale);
      y = std::clamp(y, 0, m_chartHeight);
      const QPoint to(NearestInt((kPointTime / 100 * progress) * m_xScale + 50 * m_xScale) + 32, y);
      m_view.TraceLine(m_pen, to);
      m_pen = to;
    }

    if (kPointTime - e <= kAveragingWindow) {
      sum += d;
      ++n;
    }
    m_view.ShowSampleCount(QString::number(n));

    ring[j] = d;
    j = (j + 1) % 20;
    double mean = 0, meanSq = 0;
    for (double x : ring) {
      mean += x;
      meanSq += x * x;
    }
    mean /= 20.0;
    meanSq /= 20.0;
    sigma = std::sqrt(std::max(0.0, meanSq - mean * mean));

    const double f = factor();
    m_view.ShowRemainingTime(Display(std::max<qint64>(0, kPointTime - e) / 1000.0));
    showReading(d);
    progress = ClampPercent(int(e / (kPointTime / 100)));
    m_view.ShowProgress(progress);
    m_view.ShowValueBars(ClampPercent(NearestInt(d / m_countsPerMicroamp / 200 * 100)),
                         ClampPercent(NearestInt(d * f / m_countsPerMicroamp / 200 * 100)));
    m_lastReading = d;
  }

  // A point whose averaging window caught no reading has no value: the
  // instrument answered too slowly. It is measured again.
  if (n == 0)
    return Attempt::Restart;

  const double v = (sum / n) / m_countsPerMicroamp;
  const double w = v * factor();
  if (m_currentPosition == 24) {
    if (soundMode == 1)
      m_inst.Sound(6);
    else if (soundMode == 2) {
      m_inst.Sound(4);
      m_inst.Sound(5);
    }
  } else {
    if (soundMode == 1)
      m_inst.Sound(5);
    else if (soundMode == 2)
      m_inst.Sound(4);
  }
  m_view.ShowReading(Display(v), Display(w));

  const int k = m_ctx.model.PositionSlot[m_currentPosition];
  m.PointValue[k] = v;
  m.CorrectedValue[k] = w;
  m.Stability[k] = 100.0 - sigma;
  m_view.WritePointCell(FormatNumber("%3.0f", v));
  m_view.ShowStatus(QStringLiteral("【经络能量测定完毕,请移开探测棒】"));

  ++m.PointsTaken;
  m.HasData = true;
  QDateTime now = clock.now();
  now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
  m.MeasurementDate = ToDayNumber(now);
  m_view.ShowMeasurementTime(ShortDateText(m.MeasurementDate), LongTimeText(m.MeasurementDate),
                             AgeText(m_ctx.CurrentSubject.BirthDate, m.MeasurementDate));
  m_awaitingProbe = false;

  m_view.ShowValueBars(ClampPercent(NearestInt(v / 200 * 100)), ClampPercent(NearestInt(w / 200 * 100)));
  m_view.ShowRemainingTime(QStringLiteral("0.0"));
  m_view.SetLamp(MeasurementView::Lamp::DarkGreen);
  m_inst.SendCommand(QStringLiteral("F00FF"));
  m_inst.SendCommand(QStringLiteral("C0000"));
  m_ctx.ResetAnalysisView();

  waitForRelease();
  m_view.ShowReleaseCountdown(false, QString());
  return Attempt::Stored;
}

void MeasurementRun::waitForRelease() {
  Clock &clock = m_ctx.clock();
  const quint32 start = clock.tick();
  for (;;) {
    const qint64 left = qint64(kReleaseTimeout) - qint64(clock.elapsedSince(start));
    m_view.ShowReleaseCountdown(true, FormatNumber("%1.1f", std::max<qint64>(0, left) / 1000.0) + QStringLiteral(" Sec"));
    clock.processPending();
    double r = m_inst.ReadProbe();
    if (r < m_contactThreshold) {
      r = readMean2();
      if (r < m_contactThreshold) {
        m_lastReading = r;
        return;
      }
    }
    if (clock.elapsedSince(start) > quint32(kReleaseTimeout)) {
      if (m_currentPosition == 24)
        return;
      m_inst.Sound(3);
      m_view.ShowReleaseCountdown(true, QStringLiteral("0.0 Sec"));
      if (!m_ctx.ShowMessageBox(3, QStringLiteral("测量时间过长！是否继续检测？")))
        m_stopRequested = true;
      return;
    }
  }
}
