#pragma once
// The measurement window's balance chart: the frame drawn before each point and
// the geometry the run uses for its trace. The frame is computed as a list of
// lines and texts so it can be painted on any QPainter and checked exactly.
#include <QColor>
#include <QLine>
#include <QPen>
#include <QString>
#include <QVector>

class QPainter;
struct Settings;

struct ChartLine {
  QLine line;
  QColor colour;
  int width = 1;
  Qt::PenStyle style = Qt::SolidLine;
};

struct ChartText {
  enum Anchor { Left, Right, Centre }; // horizontal anchor of x; y is the text's top
  QPoint at;
  QString text;
  Anchor anchor = Left;
};

struct BalanceChartFrame {
  QVector<ChartLine> lines;
  QVector<ChartText> texts;
};

// Milliseconds of one point, the chart's default time span.
constexpr int kDefaultChartSpan = 2500;

// The chart's time span: 2500 ms, or the settings' custom measuring time plus
// averaging window when its flag is set.
int BalanceChartSpan(const Settings &settings);

// width × height of the paint box; the time labels are drawn only while a run
// is active.
BalanceChartFrame MakeBalanceChartFrame(int width, int height, int spanMs, bool runActive);
void PaintBalanceChartFrame(QPainter &painter, int width, int height, const BalanceChartFrame &frame);

QPen BalanceTracePen(); // dotted, RGB(255,81,0), width 2

// Rounding to the nearest integer, ties to even, as the chart's geometry uses.
int NearestInt(double x);
