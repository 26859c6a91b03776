// sova-cli analyze: the analysis of one measurement, or of a batch, as JSON.
//
//   analyze --values v1,...,v24 --sex M|F [--birth YYYY-MM-DD --date "YYYY-MM-DD hh:mm:ss" | --age YEARS]
//           [--factors builtin|ones|f1,...,f12]
//   analyze --batch FILE|- [--factors ...]      one "sex,age,v1,...,v24" a line
//
// Every input is checked before anything is written, so bad input leaves
// standard output empty.
#include "analysis/Analysis.h"
#include "analysis/AnalysisJson.h"
#include "cli/Commands.h"
#include "shell/DayNumber.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

const char kUsage[] =
    "usage: sova-cli analyze --values v1,...,v24 --sex M|F\n"
    "                        [--birth YYYY-MM-DD --date \"YYYY-MM-DD hh:mm:ss\" | --age YEARS]\n"
    "                        [--factors builtin|ones|f1,...,f12]\n"
    "       sova-cli analyze --batch FILE|- [--factors ...]\n"
    "Values in uA in slot order; without a birth date or age the age is 40.\n"
    "Batch lines: sex,age,v1,...,v24 (an empty age means no birth date).\n"
    "Prints the analysis as one JSON object a line.\n";

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

QString quoted(std::string_view s) {
  constexpr std::size_t kMax = 40;
  QString t = QString::fromUtf8(s.data(), qsizetype(std::min(s.size(), kMax)));
  if (s.size() > kMax)
    t += QStringLiteral("...");
  return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// "123.4" and the like, the form instruments and spreadsheets write: digits
// with at most one point and fewer than 2^53 as a whole number of the last
// decimal. Both that number and the power of ten are exact doubles, so one
// correctly rounded division gives the nearest double, as a full parser
// would. Anything else is left to the full parser.
bool fastDecimal(const char *p, const char *end, double *out) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::uint64_t m = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; p != end; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      m = m * 10 + std::uint64_t(c - '0');
      if (++digits > 15)
        return false;
      decimals += point ? 1 : 0;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0)
    return false;
  *out = double(m) / kPow10[decimals];
  return true;
}

// A plain decimal number: optional sign, digits, point, exponent. No "inf",
// "nan", hex or trailing text.
bool parseNumber(std::string_view s, double *out) {
  s = trimmed(s);
  if (s.empty())
    return false;
  const char *first = s.data();
  if (*first == '+')
    ++first;
  const char *last = s.data() + s.size();
  if (first == last || !((*first >= '0' && *first <= '9') || *first == '.' || *first == '-'))
    return false;
  double v = 0;
  if (fastDecimal(first, last, &v)) {
    *out = v;
    return true;
  }
  const auto res = std::from_chars(first, last, v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != last || !std::isfinite(v))
    return false;
  *out = v == 0 ? 0.0 : v; // no negative zero
  return true;
}

// Parses `count` comma-separated non-negative numbers into out[1..count].
// Returns an empty text or the problem.
template <std::size_t N>
QString parseList(std::string_view s, int count, const char *what, std::array<double, N> &out) {
  int n = 0;
  std::size_t pos = 0;
  while (true) {
    const std::size_t comma = s.find(',', pos);
    const std::string_view item = s.substr(pos, comma == std::string_view::npos ? s.npos : comma - pos);
    ++n;
    if (n <= count) {
      double v;
      if (!parseNumber(item, &v))
        return QStringLiteral("%1 %2 %3 is not a number").arg(QLatin1String(what)).arg(n).arg(quoted(item));
      if (v < 0)
        return QStringLiteral("%1 %2 %3 is negative").arg(QLatin1String(what)).arg(n).arg(quoted(item));
      out[std::size_t(n)] = v;
    }
    if (comma == std::string_view::npos)
      break;
    pos = comma + 1;
  }
  if (n != count)
    return QStringLiteral("expected %1 %2s, got %3").arg(count).arg(QLatin1String(what)).arg(n);
  return QString();
}

bool parseSex(std::string_view s, bool *male) {
  s = trimmed(s);
  if (s == "M" || s == "m") {
    *male = true;
    return true;
  }
  if (s == "F" || s == "f") {
    *male = false;
    return true;
  }
  return false;
}

struct Job {
  SlotArray values{};
  double age = kDefaultAnalysisAge;
  bool male = true;
};

// One batch line: "sex,age,v1,...,v24"; an empty age means no birth date.
QString parseBatchLine(std::string_view line, Job &job) {
  const std::size_t c1 = line.find(',');
  const std::size_t c2 = c1 == line.npos ? line.npos : line.find(',', c1 + 1);
  if (c2 == line.npos)
    return QStringLiteral("expected sex,age,v1,...,v24");
  if (!parseSex(line.substr(0, c1), &job.male))
    return QStringLiteral("sex %1 is not M or F").arg(quoted(trimmed(line.substr(0, c1))));
  const std::string_view age = trimmed(line.substr(c1 + 1, c2 - c1 - 1));
  job.age = kDefaultAnalysisAge;
  if (!age.empty()) {
    if (!parseNumber(age, &job.age))
      return QStringLiteral("age %1 is not a number").arg(quoted(age));
    if (job.age < 0)
      return QStringLiteral("age %1 is negative").arg(quoted(age));
  }
  return parseList(line.substr(c2 + 1), 24, "value", job.values);
}

QString parseFactors(const QString &text, MeridianArray &factors) {
  if (text == u"builtin") {
    factors = kBuiltinMeridianFactor;
    return QString();
  }
  if (text == u"ones") {
    factors.fill(1.0);
    factors[0] = 0;
    return QString();
  }
  const QByteArray b = text.toUtf8();
  factors[0] = 0;
  const QString problem =
      parseList(std::string_view(b.constData(), std::size_t(b.size())), 12, "factor", factors);
  return problem.isEmpty() ? QString() : QStringLiteral("--factors: ") + problem;
}

// "YYYY-MM-DD", optionally followed by " hh:mm[:ss]" (or 'T' between them).
bool parseDate(const QString &text, bool withTime, double *dayNumber) {
  const QString t = text.trimmed();
  const QDate date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
  if (!date.isValid())
    return false;
  QTime time(0, 0);
  if (t.size() > 10) {
    if (!withTime || (t[10] != u' ' && t[10] != u'T'))
      return false;
    const QString rest = t.mid(11).trimmed();
    time = QTime::fromString(rest, QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
      time = QTime::fromString(rest, QStringLiteral("hh:mm"));
    if (!time.isValid())
      return false;
  }
  *dayNumber = ToDayNumber(QDateTime(date, time));
  return true;
}

bool readAll(std::FILE *f, std::string &data) {
  char buf[1 << 16];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    data.append(buf, n);
  return !std::ferror(f);
}

// JSON lines collected in memory without zero-filling: a line is several
// kilobytes and the batch writes hundreds of thousands of them.
class Block {
public:
  void append(const AnalysisResult &r) {
    reserve(AnalysisJsonMaxSize(r) + 1);
    char *end = WriteAnalysisJson(m_data.get() + m_used, r);
    *end++ = '\n';
    m_used = std::size_t(end - m_data.get());
  }
  std::size_t size() const { return m_used; }
  bool writeTo(std::FILE *f) {
    const bool ok = m_used == 0 || std::fwrite(m_data.get(), 1, m_used, f) == m_used;
    m_used = 0;
    return ok;
  }

private:
  void reserve(std::size_t more) {
    if (m_capacity - m_used >= more)
      return;
    const std::size_t capacity = std::max(m_capacity * 2, m_used + more + (1 << 16));
    std::unique_ptr<char[]> data(new char[capacity]);
    if (m_used)
      std::memcpy(data.get(), m_data.get(), m_used);
    m_data = std::move(data);
    m_capacity = capacity;
  }
  std::unique_ptr<char[]> m_data;
  std::size_t m_capacity = 0, m_used = 0;
};

int runBatch(const QString &source, const MeridianArray &factors) {
  std::string data;
  if (source == u"-") {
    if (!readAll(stdin, data))
      return CliUsageError(QStringLiteral("analyze: cannot read standard input"));
  } else {
    std::FILE *f = std::fopen(QFile::encodeName(source).constData(), "rb");
    if (!f)
      return CliUsageError(QStringLiteral("analyze: cannot open '%1': %2")
                               .arg(source, QString::fromLocal8Bit(std::strerror(errno))));
    const bool ok = readAll(f, data);
    std::fclose(f);
    if (!ok)
      return CliUsageError(QStringLiteral("analyze: cannot read '%1'").arg(source));
  }

  // Check every line first: nothing is printed when one of them is bad.
  std::vector<Job> jobs;
  jobs.reserve(data.size() / 100 + 1);
  std::string_view rest(data);
  long long lineNo = 0;
  while (!rest.empty()) {
    const std::size_t nl = rest.find('\n');
    const std::string_view line = trimmed(rest.substr(0, nl));
    rest = nl == rest.npos ? std::string_view() : rest.substr(nl + 1);
    ++lineNo;
    if (line.empty())
      continue;
    Job job;
    const QString problem = parseBatchLine(line, job);
    if (!problem.isEmpty())
      return CliUsageError(QStringLiteral("analyze: line %1: %2").arg(lineNo).arg(problem));
    const AnalysisStatus status = CheckAnalysisInput(job.values, factors);
    if (status != AnalysisStatus::Ok)
      return CliUsageError(QStringLiteral("analyze: line %1: cannot be analysed: %2")
                               .arg(lineNo)
                               .arg(QLatin1String(AnalysisStatusMessage(status))));
    jobs.push_back(job);
  }

  // Large batches are shared out in blocks to the cores; the blocks are
  // written in input order, so the output is the same as from one thread.
  constexpr std::size_t kBlockLines = 2048;
  const std::size_t blocks = (jobs.size() + kBlockLines - 1) / kBlockLines;
  const std::size_t threads =
      std::max<std::size_t>(1, std::min<std::size_t>({std::thread::hardware_concurrency(), 8, blocks}));
  std::vector<Block> out(threads);
  auto work = [&](std::size_t block, Block &into) {
    AnalysisResult r;
    const std::size_t first = block * kBlockLines, last = std::min(jobs.size(), first + kBlockLines);
    for (std::size_t i = first; i < last; ++i) {
      ComputeAnalysisAtAge(jobs[i].values, jobs[i].male, jobs[i].age, factors, r);
      into.append(r);
    }
  };
  bool ok = true;
  for (std::size_t round = 0; round < blocks; round += threads) {
    const std::size_t n = std::min(threads, blocks - round);
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < n; ++t)
      helpers.emplace_back(work, round + t, std::ref(out[t]));
    work(round, out[0]);
    for (std::thread &h : helpers)
      h.join();
    for (std::size_t t = 0; t < n; ++t)
      ok = out[t].writeTo(stdout) && ok;
  }
  if (!ok || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "sova-cli: analyze: cannot write the results\n");
    return 1;
  }
  return 0;
}

} // namespace

int AnalyzeCommand(const QStringList &args) {
  QString values, sex, birth, date, age, batch;
  QString factorsText = QStringLiteral("builtin");
  bool haveValues = false, haveSex = false, haveBirth = false, haveDate = false, haveAge = false,
       haveBatch = false;
  struct Option {
    const char *name;
    QString *value;
    bool *seen;
  };
  bool haveFactors = false;
  const Option options[] = {
      {"--values", &values, &haveValues},
      {"--sex", &sex, &haveSex},
      {"--birth", &birth, &haveBirth},
      {"--date", &date, &haveDate},
      {"--age", &age, &haveAge},
      {"--batch", &batch, &haveBatch},
      {"--factors", &factorsText, &haveFactors},
  };
  for (int i = 0; i < args.size(); ++i) {
    QString name = args[i];
    if (name == u"--help" || name == u"-h") {
      CliPrint(QString::fromLatin1(kUsage));
      return 0;
    }
    QString value;
    bool inlineValue = false;
    if (name.startsWith(u"--") && name.contains(u'=')) {
      value = name.mid(name.indexOf(u'=') + 1);
      name = name.left(name.indexOf(u'='));
      inlineValue = true;
    }
    const Option *opt = nullptr;
    for (const Option &o : options)
      if (name == QLatin1String(o.name))
        opt = &o;
    if (!opt)
      return CliUsageError(name.startsWith(u'-')
                               ? QStringLiteral("analyze: unknown option '%1'").arg(name)
                               : QStringLiteral("analyze: unexpected argument '%1'").arg(name));
    if (*opt->seen)
      return CliUsageError(QStringLiteral("analyze: %1 given twice").arg(name));
    if (!inlineValue) {
      if (i + 1 >= args.size())
        return CliUsageError(QStringLiteral("analyze: %1 needs a value").arg(name));
      value = args[++i];
    }
    *opt->value = value;
    *opt->seen = true;
  }

  MeridianArray factors{};
  if (const QString problem = parseFactors(factorsText.trimmed(), factors); !problem.isEmpty())
    return CliUsageError(QStringLiteral("analyze: ") + problem);

  if (haveBatch) {
    if (haveValues || haveSex || haveBirth || haveDate || haveAge)
      return CliUsageError(QStringLiteral("analyze: --batch takes sex, age and values from its lines; "
                                          "--values, --sex, --birth, --date and --age do not go with it"));
    return runBatch(batch, factors);
  }

  if (!haveValues)
    return CliUsageError(QStringLiteral("analyze: --values v1,...,v24 is missing"));
  if (!haveSex)
    return CliUsageError(QStringLiteral("analyze: --sex M|F is missing"));
  Job job;
  const QByteArray valueBytes = values.toUtf8();
  if (const QString problem = parseList(
          std::string_view(valueBytes.constData(), std::size_t(valueBytes.size())), 24, "value", job.values);
      !problem.isEmpty())
    return CliUsageError(QStringLiteral("analyze: --values: ") + problem);
  const QByteArray sexBytes = sex.toUtf8();
  if (!parseSex(std::string_view(sexBytes.constData(), std::size_t(sexBytes.size())), &job.male))
    return CliUsageError(QStringLiteral("analyze: --sex must be M or F, not '%1'").arg(sex));

  if (haveAge && (haveBirth || haveDate))
    return CliUsageError(QStringLiteral("analyze: give either --age or --birth and --date, not both"));
  if (haveAge) {
    const QByteArray b = age.toUtf8();
    if (!parseNumber(std::string_view(b.constData(), std::size_t(b.size())), &job.age) || job.age < 0)
      return CliUsageError(QStringLiteral("analyze: --age must be a number of years, not '%1'").arg(age));
  } else {
    double birthDay = 0, measured = 0;
    if (haveBirth && !parseDate(birth, false, &birthDay))
      return CliUsageError(QStringLiteral("analyze: --birth must be YYYY-MM-DD, not '%1'").arg(birth));
    if (haveDate && !parseDate(date, true, &measured))
      return CliUsageError(
          QStringLiteral("analyze: --date must be \"YYYY-MM-DD hh:mm:ss\", not '%1'").arg(date));
    if (haveBirth && !haveDate)
      return CliUsageError(QStringLiteral("analyze: --birth needs --date, the date of the measurement"));
    if (haveBirth && birthDay > measured)
      return CliUsageError(QStringLiteral("analyze: --birth %1 is after --date %2").arg(birth, date));
    job.age = AnalysisAge(haveBirth ? birthDay : 0, measured);
  }

  AnalysisResult r;
  const AnalysisStatus status = ComputeAnalysisAtAge(job.values, job.male, job.age, factors, r);
  if (status != AnalysisStatus::Ok)
    return CliUsageError(QStringLiteral("analyze: the measurement cannot be analysed: %1")
                             .arg(QLatin1String(AnalysisStatusMessage(status))));
  Block out;
  out.append(r);
  if (!out.writeTo(stdout) || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "sova-cli: analyze: cannot write the result\n");
    return 1;
  }
  return 0;
}
