#include "analysis/AnalysisJson.h"

#include "analysis/IndexGrading.h"
#include "analysis/ShortestDouble.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Everything but the texts: 133 numbers of at most 24 characters, 98 grades,
// the keys and the punctuation come to under 4.5 kB; the rest is room for the
// number writer, which stores whole words past the end of what it writes.
constexpr std::size_t kFixedMax = 8192;

template <std::size_t N> inline char *lit(char *out, const char (&s)[N]) {
  std::memcpy(out, s, N - 1);
  return out + N - 1;
}

inline char *num(char *out, double v) {
  if (!std::isfinite(v)) // never produced by a computed result; JSON has no NaN
    return lit(out, "null");
  return WriteShortestDouble(out, v);
}

inline char *grade(char *out, int g) {
  if (g < 0) {
    *out++ = '-';
    g = -g;
  }
  if (g < 10) {
    *out++ = char('0' + g);
    return out;
  }
  return std::to_chars(out, out + 16, g).ptr;
}

template <std::size_t N> char *numbers(char *out, const std::array<double, N> &a) {
  *out++ = '[';
  for (std::size_t i = 1; i < N; ++i) {
    if (i > 1)
      *out++ = ',';
    out = num(out, a[i]);
  }
  *out++ = ']';
  return out;
}

template <std::size_t N> char *grades(char *out, const std::array<int, N> &a) {
  *out++ = '[';
  for (std::size_t i = 1; i < N; ++i) {
    if (i > 1)
      *out++ = ',';
    out = grade(out, a[i]);
  }
  *out++ = ']';
  return out;
}

template <typename Table, typename Cell> char *table(char *out, const Table &t, Cell cell) {
  *out++ = '[';
  for (int r = 1; r <= 7; ++r) {
    if (r > 1)
      *out++ = ',';
    *out++ = '[';
    for (int c = 1; c <= 3; ++c) {
      if (c > 1)
        *out++ = ',';
      out = cell(out, t[r][c]);
    }
    *out++ = ']';
  }
  *out++ = ']';
  return out;
}

char *escaped(char *out, const char *s, std::size_t n) {
  static const char hex[] = "0123456789abcdef";
  *out++ = '"';
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      *out++ = '\\';
      *out++ = char(c);
    } else if (c < 0x20) {
      out = lit(out, "\\u00");
      *out++ = hex[c >> 4];
      *out++ = hex[c & 15];
    } else {
      *out++ = char(c);
    }
  }
  *out++ = '"';
  return out;
}

// The table sentence when the text is the one the grade picked (the usual
// case, no conversion); otherwise the text itself.
char *text(char *out, const AnalysisResult &r, int i) {
  const QString &t = r.IndexText[i];
  const int g = r.IndexGrade[i];
  if (const char *utf8 = IndexSentenceUtf8(i, g); utf8 && t.constData() == IndexSentence(i, g).constData()) {
    // The sentences hold nothing that needs escaping.
    const std::size_t n = std::strlen(utf8);
    *out++ = '"';
    std::memcpy(out, utf8, n);
    out += n;
    *out++ = '"';
    return out;
  }
  const QByteArray b = t.toUtf8();
  return escaped(out, b.constData(), std::size_t(b.size()));
}

} // namespace

std::size_t AnalysisJsonMaxSize(const AnalysisResult &r) {
  std::size_t n = kFixedMax;
  for (int i = 1; i <= 5; ++i)
    n += std::size_t(r.IndexText[i].size()) * 3 * 6 + 2; // UTF-8, every byte escaped
  return n;
}

char *WriteAnalysisJson(char *o, const AnalysisResult &r) {
  o = lit(o, "{\"BodyEnergy\":");
  o = num(o, r.BodyEnergy);
  o = r.LowEnergy ? lit(o, ",\"LowEnergy\":true") : lit(o, ",\"LowEnergy\":false");
  o = lit(o, ",\"CorrectedValue\":");
  o = numbers(o, r.CorrectedValue);
  o = lit(o, ",\"Deviation\":");
  o = numbers(o, r.Deviation);
  o = lit(o, ",\"ThresholdUnit\":");
  o = num(o, r.ThresholdUnit);
  o = lit(o, ",\"StrongExcess\":");
  o = num(o, r.StrongExcess);
  o = lit(o, ",\"Excess\":");
  o = num(o, r.Excess);
  o = lit(o, ",\"Deficiency\":");
  o = num(o, r.Deficiency);
  o = lit(o, ",\"StrongDeficiency\":");
  o = num(o, r.StrongDeficiency);
  o = lit(o, ",\"SideDifference\":");
  o = num(o, r.SideDifference);
  o = lit(o, ",\"StrongSideDifference\":");
  o = num(o, r.StrongSideDifference);
  o = lit(o, ",\"GroupMean\":");
  o = numbers(o, r.GroupMean);
  o = lit(o, ",\"YinMean\":");
  o = num(o, r.YinMean);
  o = lit(o, ",\"YangMean\":");
  o = num(o, r.YangMean);
  o = lit(o, ",\"UpperMean\":");
  o = num(o, r.UpperMean);
  o = lit(o, ",\"LowerMean\":");
  o = num(o, r.LowerMean);
  o = lit(o, ",\"LeftMean\":");
  o = num(o, r.LeftMean);
  o = lit(o, ",\"RightMean\":");
  o = num(o, r.RightMean);
  o = lit(o, ",\"MinGroupMean\":");
  o = num(o, r.MinGroupMean);
  o = lit(o, ",\"MaxGroupMean\":");
  o = num(o, r.MaxGroupMean);
  o = lit(o, ",\"PairMean\":");
  o = numbers(o, r.PairMean);
  o = lit(o, ",\"ElementValue\":");
  o = table(o, r.ElementValue, num);
  o = lit(o, ",\"PointGrade\":");
  o = grades(o, r.PointGrade);
  o = lit(o, ",\"MeridianGrade\":");
  o = grades(o, r.MeridianGrade);
  o = lit(o, ",\"SideGrade\":");
  o = grades(o, r.SideGrade);
  o = lit(o, ",\"PairGrade\":");
  o = grades(o, r.PairGrade);
  o = lit(o, ",\"PairDiffGrade\":");
  o = grades(o, r.PairDiffGrade);
  o = lit(o, ",\"ElementGrade\":");
  o = table(o, r.ElementGrade, grade);
  o = lit(o, ",\"IndexGrade\":");
  o = grades(o, r.IndexGrade);
  o = lit(o, ",\"IndexText\":[");
  for (int i = 1; i <= 5; ++i) {
    if (i > 1)
      *o++ = ',';
    o = text(o, r, i);
  }
  o = lit(o, "],\"OverallBalance\":");
  o = num(o, r.OverallBalance);
  o = lit(o, ",\"PointBalance\":");
  o = numbers(o, r.PointBalance);
  o = lit(o, ",\"MeridianBalance\":");
  o = num(o, r.MeridianBalance);
  o = lit(o, ",\"LeftBalanceMean\":");
  o = num(o, r.LeftBalanceMean);
  o = lit(o, ",\"RightBalanceMean\":");
  o = num(o, r.RightBalanceMean);
  *o++ = '}';
  return o;
}

void AppendAnalysisJson(std::string &out, const AnalysisResult &r) {
  const std::size_t old = out.size();
  out.resize(old + AnalysisJsonMaxSize(r));
  char *end = WriteAnalysisJson(out.data() + old, r);
  out.resize(std::size_t(end - out.data()));
}

QByteArray AnalysisResultToJson(const AnalysisResult &r) {
  QByteArray b(qsizetype(AnalysisJsonMaxSize(r)), Qt::Uninitialized);
  char *end = WriteAnalysisJson(b.data(), r);
  b.truncate(end - b.constData());
  return b;
}
