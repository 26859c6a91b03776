#include "measure/BalanceChart.h"

#include "shell/Format.h"
#include "shell/Settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>

int NearestInt(double x) { return int(std::nearbyint(x)); }

int BalanceChartSpan(const Settings &settings) {
  if (settings.ChartSpanCustom != 0) {
    const int span = settings.ChartSpanSampling + settings.ChartSpanAveraging;
    if (span > 0) // a file with nonsense timings keeps the chart drawable
      return span;
  }
  return kDefaultChartSpan;
}

BalanceChartFrame MakeBalanceChartFrame(int width, int height, int spanMs, bool runActive) {
  BalanceChartFrame f;
  const int W = width - 32;
  const int H = height - 15;
  const QColor green(26, 204, 0), olive(128, 128, 0);

  for (int i = 1; i <= 24; ++i) {
    const int x = 32 + NearestInt(i * W / 25.0);
    f.lines.append({QLine(x, 3, x, H - 3), (i == 5 || i == 20) ? olive : green, 1, Qt::DotLine});
  }
  for (int i = 1; i <= 5; ++i) {
    const int y = NearestInt(i * H / 6.0);
    f.lines.append({QLine(35, y, W + 29, y), green, 1, Qt::DotLine});
  }

  const int xc = 32 + NearestInt(12.5 * W / 25.0);
  const int yc = NearestInt(3 * H / 6.0);
  f.lines.append({QLine(xc, 0, xc, H), green, 1, Qt::SolidLine});
  f.lines.append({QLine(32, yc, W + 31, yc), green, 1, Qt::SolidLine});
  for (int i = 1; i <= 125; ++i) {
    const int x = 32 + NearestInt(i * W / 125.0);
    f.lines.append({QLine(x, yc - 2, x, yc + 2), green, 1, Qt::SolidLine});
  }
  const int xt = 30 + NearestInt(62.5 * W / 125.0);
  for (int i = 1; i <= 30; ++i) {
    const int y = NearestInt(i * H / 30.0);
    f.lines.append({QLine(xt, y, xt + 4, y), green, 1, Qt::SolidLine});
  }

  const QColor frameColour(194, 206, 255);
  f.lines.append({QLine(32, 0, W + 31, 0), frameColour, 3, Qt::SolidLine});
  f.lines.append({QLine(W + 31, 0, W + 31, H - 1), frameColour, 3, Qt::SolidLine});
  f.lines.append({QLine(W + 31, H - 1, 32, H - 1), frameColour, 3, Qt::SolidLine});
  f.lines.append({QLine(32, H - 1, 32, 0), frameColour, 3, Qt::SolidLine});

  f.texts.append({QPoint(0, 0), QStringLiteral("  +30")});
  f.texts.append({QPoint(0, NearestInt(4 * H / 30.0) - 1), QStringLiteral("  +20")});
  f.texts.append({QPoint(0, NearestInt(9 * H / 30.0)), QStringLiteral("  +10")});
  f.texts.append({QPoint(0, NearestInt(14 * H / 30.0)), QStringLiteral(" 0 uA")});
  f.texts.append({QPoint(0, NearestInt(19 * H / 30.0) - 1), QStringLiteral("  -10")});
  f.texts.append({QPoint(0, NearestInt(24 * H / 30.0) - 1), QStringLiteral("  -20")});
  f.texts.append({QPoint(0, H - 9), QStringLiteral("  -30")});
  f.texts.append({QPoint(29, H + 3), QStringLiteral("0 Sec")});

  if (runActive && spanMs > 0) {
    f.texts.append({QPoint(width, H + 3), FormatNumber("%5.1f", spanMs / 1000.0), ChartText::Right});
    int intervals;
    double step;
    if (spanMs <= 5900) {
      intervals = spanMs / 500;
      step = 0.5;
    } else if (spanMs <= 10900) {
      intervals = spanMs / 1000;
      step = 1.0;
    } else {
      intervals = spanMs / 2000;
      step = 2.0;
    }
    if (intervals > 0)
      for (int d = 1; d <= intervals - 1; ++d)
        f.texts.append({QPoint(32 + d * (W / intervals), H + 3), FormatNumber("%5.1f", d * step), ChartText::Centre});
  }
  return f;
}

void PaintBalanceChartFrame(QPainter &p, int width, int height, const BalanceChartFrame &frame) {
  p.save();
  p.fillRect(0, 0, width, height, Qt::black);
  for (const ChartLine &l : frame.lines) {
    QPen pen(l.colour, l.width, l.style);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(l.line);
  }
  QFont font = p.font();
  font.setPointSize(8);
  p.setFont(font);
  p.setPen(QColor(0, 128, 0));
  const QFontMetrics fm(font);
  for (const ChartText &t : frame.texts) {
    const int w = fm.horizontalAdvance(t.text);
    int x = t.at.x();
    if (t.anchor == ChartText::Right)
      x -= w;
    else if (t.anchor == ChartText::Centre)
      x -= w / 2;
    p.drawText(QPoint(x, t.at.y() + fm.ascent()), t.text);
  }
  p.restore();
}

QPen BalanceTracePen() {
  QPen pen(QColor(255, 81, 0), 2, Qt::DotLine);
  return pen;
}
