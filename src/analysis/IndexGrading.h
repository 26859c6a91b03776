#pragma once
// The texts, formats and colours of the five indices and of the balance
// scores, in one place for the analysis window, its charts and the reports.
#include "analysis/AnalysisResult.h"

#include <QColor>
#include <QLocale>
#include <QString>

// The sentence of an index grade (index 1..5; grades -3..3, index 5 0..3).
// An empty text for a grade outside its table.
const QString &IndexSentence(int index, int grade);
// The same sentence as UTF-8 bytes (nullptr outside the table).
const char *IndexSentenceUtf8(int index, int grade);

// "身体能量:" ... "自律神经平衡度:".
QString IndexCaption(int index);
// The normal range label, "(30 - 64)" for a male subject's body energy etc.
QString NormalRangeLabel(int index, bool MaleSubject);
// "%5.1f" for the body energy, "%5.2f" for the ratios.
const char *IndexValueFormat(int index);
// The body energy or the ratio of an index.
double IndexValue(const AnalysisResult &r, int index);
// The value in its format.
QString FormatIndexValue(const AnalysisResult &r, int index, const QLocale &locale = QLocale());
// The means text of an index row: "经络平均能量=" for the body energy, else
// e.g. "上  42.3 / 下  44.6 =".
QString IndexMeansText(const AnalysisResult &r, int index, const QLocale &locale = QLocale());

// Index bar: colour, number of parts and the filled length.
QColor IndexBarColour(int index, int grade);
int IndexBarParts(int index);
int IndexBarFill(const AnalysisResult &r, int index); // 0..parts

// Measured values grid: the colour of a point's value by its grade.
QColor MeasuredValueColour(int pointGrade);
// Point balance grid: "%3.1f", and "[10.0]" for a full score.
QString PointBalanceText(double score, const QLocale &locale = QLocale());
bool IsFullPointBalance(double score);
QColor PointBalanceColour(double score);
QColor PointBalanceMeanLabelColour();
// Header cells of both grids.
QColor GridHeaderColour();

// The balance display (0 none, 1 overall balance, 2 meridian balance).
QString BalanceCaption(int display);
QString FormatBalance(double value, const QLocale &locale = QLocale()); // "%3.1f"

// The sentence that closes the body energy advice when its grade is -3.
QString LowBodyEnergyAdvice();
