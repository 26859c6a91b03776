// The lists and the save on a working database of 20,000 subjects and
// 500,000 measurements (generated once into the build tree, then copied).
#include "WorkingDbGenerator.h"

#include "records/Database.h"
#include "records/MeasurementQueryModel.h"
#include "records/RecordStore.h"
#include "records/SubjectQueryModel.h"
#include "shell/DayNumber.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kSubjects = 20000;
constexpr int kMeasurements = 500000;

struct Fixture {
  QTemporaryDir dir;
  Database db;
  bool ready = false;

  Fixture() {
    QString err;
    const QString folder = dir.path() + u'/';
    if (!PrepareBenchDataFolder(QStringLiteral(SOVA_BENCH_DATA_DIR), folder, kSubjects, kMeasurements, &err)) {
      std::fprintf(stderr, "%s\n", qPrintable(err));
      return;
    }
    ready = db.open(folder, &err);
    if (!ready)
      std::fprintf(stderr, "%s\n", qPrintable(err));
  }
};

Fixture &fixture() {
  static Fixture f;
  return f;
}

QString randomSubject() {
  return QStringLiteral("S%1").arg(QRandomGenerator::global()->bounded(kSubjects), 5, 10, QLatin1Char('0'));
}

// What a list shows on opening: the count and the first screen of rows.
void readScreen(const PagedQueryModel &m, int rows) {
  for (int r = 0; r < rows && r < m.rowCount(); ++r)
    for (int c = 0; c < m.columnCount(); ++c)
      benchmark::DoNotOptimize(m.data(m.index(r, c)));
}

void BM_OpenSortedSubjectList(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  for (auto _ : state) {
    SubjectQueryModel m;
    m.openSorted(f.db.working(), int(state.range(0)));
    readScreen(m, 30);
    if (m.rowCount() != kSubjects)
      state.SkipWithError("wrong count");
  }
}
// By number, number descending, name, birthday, latest measurement, e-mail.
BENCHMARK(BM_OpenSortedSubjectList)
    ->Arg(1)
    ->Arg(-1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(-6)
    ->Arg(9)
    ->Unit(benchmark::kMillisecond);

void BM_ScrollSubjectListToEnd(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  SubjectQueryModel m;
  m.openSorted(f.db.working(), int(state.range(0)));
  for (auto _ : state) {
    m.refresh();
    readScreen(m, 1); // first screen, then jump to the last one
    for (int r = kSubjects - 30; r < kSubjects; ++r)
      benchmark::DoNotOptimize(m.data(m.index(r, 1)));
  }
}
BENCHMARK(BM_ScrollSubjectListToEnd)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_MeasurementListOfSubject(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  for (auto _ : state) {
    MeasurementQueryModel m;
    m.openForSubject(f.db.working(), randomSubject(), 25000);
    readScreen(m, m.rowCount());
    if (m.rowCount() != kMeasurements / kSubjects)
      state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_MeasurementListOfSubject)->Unit(benchmark::kMillisecond);

void BM_PrefixSearch(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  SubjectQueryModel m;
  const int column = int(state.range(0));
  m.openSorted(f.db.working(), column);
  for (auto _ : state) {
    const QString text = column == 2 ? QStringLiteral("周芳") : randomSubject().left(5);
    const int row = m.findRow(column == 2 ? QStringLiteral("NAME") : QStringLiteral("CustNo"), text);
    benchmark::DoNotOptimize(m.data(m.index(row, 1)));
    if (row < 0)
      state.SkipWithError("not found");
  }
}
BENCHMARK(BM_PrefixSearch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_AppendMeasurement(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  MeasurementRecord r;
  for (int k = 1; k <= 24; ++k)
    r.SO[size_t(k)] = 40 + k;
  QString err;
  for (auto _ : state) {
    r.CustNo = randomSubject();
    r.SoDate = ToDayNumber(QDateTime::currentDateTime());
    if (!AppendMeasurement(f.db.working(), r, &err))
      state.SkipWithError(qPrintable(err));
  }
}
BENCHMARK(BM_AppendMeasurement)->Unit(benchmark::kMillisecond);

void BM_OpenSharedConnections(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready)
    return state.SkipWithError("no database");
  for (auto _ : state) {
    Database other;
    QString err;
    if (!other.open(f.db.dataFolder(), &err))
      state.SkipWithError(qPrintable(err));
  }
}
BENCHMARK(BM_OpenSharedConnections)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
