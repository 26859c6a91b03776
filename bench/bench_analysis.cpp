// Throughput of the analysis: ComputeAnalysis alone, the JSON writer alone,
// and `sova-cli analyze --batch` end to end (goals: 1,000,000 analyses per
// second per core for the function, 200,000 lines per second for the batch).
#include "analysis/Analysis.h"
#include "analysis/AnalysisJson.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// Complete measurements as an instrument gives them: 0.1 µA steps, a
// realistic spread around a subject's own level.
std::vector<SlotArray> randomMeasurements(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> level(12, 110), spread(0.5, 1.6);
  std::vector<SlotArray> out(static_cast<std::size_t>(count));
  for (SlotArray &v : out) {
    const double base = level(rng);
    v[0] = 0;
    for (int p = 1; p <= 24; ++p)
      v[p] = std::max(0.1, std::round(base * spread(rng) * 10) / 10);
  }
  return out;
}

void BM_ComputeAnalysis(benchmark::State &state) {
  const std::vector<SlotArray> data = randomMeasurements(4096, 1);
  AnalysisResult r;
  std::size_t i = 0;
  for (auto _ : state) {
    ComputeAnalysisAtAge(data[i], (i & 1) != 0, 20 + double(i % 50), kBuiltinMeridianFactor, r);
    benchmark::DoNotOptimize(r.OverallBalance);
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputeAnalysis);

void BM_WriteAnalysisJson(benchmark::State &state) {
  const std::vector<SlotArray> data = randomMeasurements(256, 2);
  std::vector<AnalysisResult> results(data.size());
  for (std::size_t k = 0; k < data.size(); ++k)
    ComputeAnalysisAtAge(data[k], true, 40, kBuiltinMeridianFactor, results[k]);
  std::vector<char> buf(AnalysisJsonMaxSize(results[0]));
  std::size_t i = 0, bytes = 0;
  for (auto _ : state) {
    char *end = WriteAnalysisJson(buf.data(), results[i]);
    bytes += std::size_t(end - buf.data());
    benchmark::DoNotOptimize(buf.data());
    i = (i + 1) & 255;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_WriteAnalysisJson);

// One run of the command over a file of state.range(0) lines, output to the
// null device.
void BM_AnalyzeBatch(benchmark::State &state) {
  const int lines = int(state.range(0));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("batch.csv"));
  {
    std::mt19937 rng(3);
    const std::vector<SlotArray> data = randomMeasurements(lines, 3);
    QByteArray text;
    for (int k = 0; k < lines; ++k) {
      text += (k & 1) ? "F," : "M,";
      if (k % 5)
        text += QByteArray::number(15 + int(rng() % 60));
      for (int p = 1; p <= 24; ++p) {
        text += ',';
        text += QByteArray::number(data[std::size_t(k)][p], 'f', 1);
      }
      text += '\n';
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) {
      state.SkipWithError("cannot write the batch file");
      return;
    }
  }
  auto childCpu = [] {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  };
  const double cpuBefore = childCpu();
  for (auto _ : state) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral(SOVA_CLI_PATH), {QStringLiteral("analyze"), QStringLiteral("--batch"), path});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
      state.SkipWithError("sova-cli analyze failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * lines);
  // On a shared machine the wall clock says more about the neighbours than
  // about the command: the lines per second of the command's own CPU time
  // (all its threads together) tell its cost.
  const double cpu = childCpu() - cpuBefore;
  if (cpu > 0)
    state.counters["lines_per_cpu_second"] = double(state.iterations()) * lines / cpu;
}
BENCHMARK(BM_AnalyzeBatch)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
