// Reading the Jet files of the Windows edition: rows per second over the
// fixtures (shared/fixtures/jet), read again and again.
#include "records/JetDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

QString FixtureFolder() {
  QStringList roots{QStringLiteral(SOVA_SOURCE_DIR "/../shared")};
  if (qEnvironmentVariableIsSet("SOVA_SHARED_DIR"))
    roots << qEnvironmentVariable("SOVA_SHARED_DIR");
  for (const QString &root : roots) {
    const QString dir = QDir::cleanPath(root + QStringLiteral("/fixtures/jet"));
    if (QFileInfo::exists(dir + QStringLiteral("/legacy-full.mdb")))
      return dir;
  }
  return QString();
}

// Opens the file and reads every row of its four tables, as a conversion does.
void BM_ReadJetFile(benchmark::State &state, const char *file) {
  const QString dir = FixtureFolder();
  if (dir.isEmpty()) {
    state.SkipWithError("Jet fixtures not found: set SOVA_SHARED_DIR");
    return;
  }
  const QString path = dir + u'/' + QLatin1String(file);
  qint64 rows = 0;
  for (auto _ : state) {
    JetDatabase db;
    if (!db.open(path)) {
      state.SkipWithError(qPrintable(db.errorText()));
      return;
    }
    for (const QString &table : db.tableNames()) {
      auto t = db.openTable(table);
      while (t->next())
        ++rows;
    }
  }
  state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

// Only the rows of SoData, on one open file (the measurements dominate a
// clinic's file).
void BM_ReadJetMeasurements(benchmark::State &state) {
  const QString dir = FixtureFolder();
  if (dir.isEmpty()) {
    state.SkipWithError("Jet fixtures not found: set SOVA_SHARED_DIR");
    return;
  }
  JetDatabase db;
  db.open(dir + QStringLiteral("/legacy-full.mdb"));
  auto t = db.openTable(QStringLiteral("SoData"));
  qint64 rows = 0;
  double sum = 0;
  for (auto _ : state) {
    t->rewind();
    while (t->next()) {
      sum += t->value(3).toDouble();
      ++rows;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_ReadJetFile, full, "legacy-full.mdb");
BENCHMARK_CAPTURE(BM_ReadJetFile, old, "legacy-old.mdb");
BENCHMARK(BM_ReadJetMeasurements);
BENCHMARK_MAIN();
