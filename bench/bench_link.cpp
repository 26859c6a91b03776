// Command transactions against the simulator in real time: with replies after
// 1 ms, how many ReadProbe transactions a second the link completes, and how
// much processor time the process spends meanwhile (the waits must sleep).
#include "link/Link.h"
#include "link/SimulatedInstrument.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/Launcher.h"
#include "shell/Prompter.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
double processCpuSeconds() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

void BM_ReadProbe(benchmark::State &state) {
  RealClock clock;
  ScriptedPrompter prompter;
  RecordingLauncher launcher;
  AppContext ctx(&clock, &prompter, &launcher);
  SimulatedInstrument sim(clock);
  sim.setLatency(int(state.range(0)));
  sim.plugInto(ctx);
  sim.touch(1000, 5);
  Link &link = ctx.link();
  if (!link.isConnected()) {
    state.SkipWithError("simulator not connected");
    return;
  }
  int wrong = 0;
  const double cpu0 = processCpuSeconds();
  for (auto _ : state) {
    const int r = link.ReadProbe();
    if (r < 995 || r > 1005)
      ++wrong;
    sim.clearTrace();
  }
  const double cpu = processCpuSeconds() - cpu0;
  state.counters["tx_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cpu_s_per_1000_tx"] = cpu / double(state.iterations()) * 1000.0;
  state.counters["wrong_replies"] = wrong;
}
} // namespace

BENCHMARK(BM_ReadProbe)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
