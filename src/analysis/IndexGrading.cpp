#include "analysis/IndexGrading.h"

#include "shell/Format.h"

#include <cmath>

namespace {

// Sentences by index 1..5 and grade -3..3 (column grade + 3); index 5 has
// grades 0..3 only. Each is kept as UTF-8 for writers and as a static
// QString, whose copies cost no reference counting.
struct Sentence {
  const char *utf8;
  QString text;
};
#define SENTENCE(s)                                                                                          \
  { s, QStringLiteral(s) }

const Sentence (&sentences())[6][7] {
  static const Sentence table[6][7] = {
      {},
      {SENTENCE("体能状况低落,元气不足"), SENTENCE("体能精气状态稍弱"),
       SENTENCE("体能元气状态偏虚,但仍属正常"), SENTENCE("体能及元气状态正常"),
       SENTENCE("体能状态偏旺,但仍在正常范围"), SENTENCE("体能状态略有亢奋现象"),
       SENTENCE("体能状态亢奋,活动力旺盛")},
      {SENTENCE("下焦气血旺盛,有明显精神衰弱倾向"), SENTENCE("上焦气血不足,有中度精神衰弱倾向"),
       SENTENCE("上焦气血偏虚,精神活动力略降"), SENTENCE("上下焦气血平衡,精神活动力正常"),
       SENTENCE("上焦气血略旺,有轻微精神压力倾向"), SENTENCE("上盛下衰,有中度精神压力倾向"),
       SENTENCE("上焦气血旺盛,有明显精神压力倾向")},
      {SENTENCE("左侧气血衰弱,肌肉骨骼系统有明显运作不良"), SENTENCE("右侧气血旺盛,肌骨系统运作失调"),
       SENTENCE("右侧气血略旺,肌骨系统运作稍微失衡"), SENTENCE("左右气血平衡,肌肉骨骼系统运作正常"),
       SENTENCE("左右稍微失衡,肌骨系统稍有障碍"), SENTENCE("左盛右衰,肌骨系统功能障碍"),
       SENTENCE("右侧气血衰弱,肌肉骨骼系统运作有明显障碍")},
      {SENTENCE("阳腑盛于阴脏,机体代谢功能异常增加"), SENTENCE("阳盛于阴,机体代谢功能增加"),
       SENTENCE("阳盛于阴,机体代谢稍快"), SENTENCE("阴阳平衡,机体代谢功能正常"),
       SENTENCE("阴盛于阳,机体代谢稍低"), SENTENCE("阴盛于阳,机体代谢功能降低"),
       SENTENCE("阴脏盛于阳腑,机体代谢功能异常不足")},
      {{},
       {},
       {},
       SENTENCE("全身自律神经系统功能正常"),
       SENTENCE("自律神经系统有轻微失衡现象"),
       SENTENCE("自律神经系统有中度失衡倾象"),
       SENTENCE("有明显自律神经系统失衡倾象")},
  };
  return table;
}
#undef SENTENCE

const Sentence *sentence(int index, int grade) {
  if (index < 1 || index > 5 || grade < -3 || grade > 3)
    return nullptr;
  const Sentence &s = sentences()[index][grade + 3];
  return s.utf8 ? &s : nullptr;
}

const QColor kGreen(0, 128, 0), kGold(251, 214, 4), kRed(255, 0, 0);
const QColor kValueGreen(53, 210, 45), kOlive(128, 128, 0), kBlue(0, 0, 255), kOrange(238, 149, 21);

// Ties to even, as the bars and the index fill expect.
int roundEven(double v) {
  return int(std::nearbyint(v));
}

} // namespace

const QString &IndexSentence(int index, int grade) {
  static const QString empty;
  const Sentence *s = sentence(index, grade);
  return s ? s->text : empty;
}

const char *IndexSentenceUtf8(int index, int grade) {
  const Sentence *s = sentence(index, grade);
  return s ? s->utf8 : nullptr;
}

QString IndexCaption(int index) {
  switch (index) {
  case kIndexBodyEnergy: return QStringLiteral("身体能量:");
  case kIndexUpperLower: return QStringLiteral("精神状态比值:");
  case kIndexLeftRight: return QStringLiteral("左右肌骨系统:");
  case kIndexYinYang: return QStringLiteral("新陈代谢功能:");
  case kIndexHighLow: return QStringLiteral("自律神经平衡度:");
  default: return QString();
  }
}

QString NormalRangeLabel(int index, bool male) {
  switch (index) {
  case kIndexBodyEnergy: return male ? QStringLiteral("(30 - 64)") : QStringLiteral("(28 - 61)");
  case kIndexUpperLower: return male ? QStringLiteral("(0.88-1.19)") : QStringLiteral("(0.78-1.09)");
  case kIndexLeftRight: return QStringLiteral("(0.88-1.14)");
  case kIndexYinYang: return QStringLiteral("(0.82-1.24)");
  case kIndexHighLow: return QStringLiteral("(1.0-1.5)");
  default: return QString();
  }
}

const char *IndexValueFormat(int index) {
  return index == kIndexBodyEnergy ? "%5.1f" : "%5.2f";
}

double IndexValue(const AnalysisResult &r, int index) {
  auto ratio = [](double a, double b) { return b != 0 ? a / b : 0.0; };
  switch (index) {
  case kIndexBodyEnergy: return r.BodyEnergy;
  case kIndexUpperLower: return ratio(r.UpperMean, r.LowerMean);
  case kIndexLeftRight: return ratio(r.LeftMean, r.RightMean);
  case kIndexYinYang: return ratio(r.YinMean, r.YangMean);
  case kIndexHighLow: return ratio(r.MaxGroupMean, r.MinGroupMean);
  default: return 0;
  }
}

QString FormatIndexValue(const AnalysisResult &r, int index, const QLocale &locale) {
  return FormatNumber(IndexValueFormat(index), IndexValue(r, index), locale);
}

QString IndexMeansText(const AnalysisResult &r, int index, const QLocale &locale) {
  struct Row {
    const char *num, *sep;
    double a, b;
  };
  Row row;
  switch (index) {
  case kIndexBodyEnergy: return QStringLiteral("经络平均能量=");
  case kIndexUpperLower: row = {"上", " / 下", r.UpperMean, r.LowerMean}; break;
  case kIndexLeftRight: row = {"左", " / 右", r.LeftMean, r.RightMean}; break;
  case kIndexYinYang: row = {"阴", " / 阳", r.YinMean, r.YangMean}; break;
  case kIndexHighLow: row = {"高", " / 低", r.MaxGroupMean, r.MinGroupMean}; break;
  default: return QString();
  }
  return QString::fromUtf8(row.num) + FormatNumber("%6.1f", row.a, locale) + QString::fromUtf8(row.sep) +
         FormatNumber("%6.1f", row.b, locale) + QStringLiteral(" =");
}

QColor IndexBarColour(int index, int grade) {
  const int a = grade < 0 ? -grade : grade;
  if (a == 0)
    return kGreen;
  if (index == kIndexHighLow)
    return grade >= 3 ? kRed : kGold;
  return a >= 3 ? kRed : kGold;
}

int IndexBarParts(int index) {
  switch (index) {
  case kIndexBodyEnergy: return 150;
  case kIndexHighLow: return 40;
  default: return 20;
  }
}

int IndexBarFill(const AnalysisResult &r, int index) {
  const double v = index == kIndexBodyEnergy ? IndexValue(r, index) : IndexValue(r, index) * 10.0;
  const int parts = IndexBarParts(index);
  if (!(v > 0))
    return 0;
  if (v >= parts)
    return parts;
  return roundEven(v);
}

QColor MeasuredValueColour(int grade) {
  if (grade == 0)
    return kValueGreen;
  if (grade == 1 || grade == -1)
    return kOlive;
  return kRed;
}

bool IsFullPointBalance(double score) {
  return RoundHalfAway(score, 1) >= 10.0;
}

QString PointBalanceText(double score, const QLocale &locale) {
  const QString text = FormatNumber("%3.1f", score, locale);
  return IsFullPointBalance(score) ? QLatin1Char('[') + text + QLatin1Char(']') : text;
}

QColor PointBalanceColour(double score) {
  if (IsFullPointBalance(score))
    return kBlue;
  if (score >= 8.0 - 1e-9)
    return kValueGreen;
  if (score >= 7.0 - 1e-9)
    return kOlive;
  return kRed;
}

QColor PointBalanceMeanLabelColour() {
  return kOrange;
}

QColor GridHeaderColour() {
  return QColor(0, 0, 0);
}

QString BalanceCaption(int display) {
  switch (display) {
  case 1: return QStringLiteral("整体平衡指标");
  case 2: return QStringLiteral("经络平衡指标");
  default: return QString();
  }
}

QString FormatBalance(double value, const QLocale &locale) {
  return FormatNumber("%3.1f", value, locale);
}

QString LowBodyEnergyAdvice() {
  return QStringLiteral("【您的体能过度低落，请特别留意身体机能及经络的异常状态】");
}
