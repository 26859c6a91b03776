// Reading and converting the Jet files of the Windows edition: rows per
// second over the fixtures (shared/fixtures/jet), again and again.
#include "records/Database.h"
#include "records/DatabasePreparation.h"
#include "records/JetDatabase.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DataFolder.h"
#include "shell/Prompter.h"
#include "shell/StartupView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

class QuietView : public StartupView {
public:
  void setLightColour(int, Colour) override {}
  void setLightOn(int, bool) override {}
  void setRowLabel(const QString &) override {}
  void setProgress(int) override {}
  void setFields(const QString &, const QString &, const QString &) override {}
  void setStatusText(const QString &) override {}
};

// The start-up conversion of the fixture as "sova.mdb", again and again, each
// time into a fresh working database made from the template. Only the
// conversion is timed (reading, the inserts in one transaction, PRESOA, the
// backup rename); putting the files in place is not.
void BM_ConvertJetFile(benchmark::State &state, const char *file) {
  const QString dir = FixtureFolder();
  if (dir.isEmpty()) {
    state.SkipWithError("Jet fixtures not found: set SOVA_SHARED_DIR");
    return;
  }
  QFile src(dir + u'/' + QLatin1String(file));
  src.open(QIODevice::ReadOnly);
  const QByteArray bytes = src.readAll();
  qint64 rowsPerFile = 0;
  {
    JetDatabase db;
    db.open(src.fileName());
    for (const QString &table : db.tableNames())
      rowsPerFile += db.openTable(table)->rowCount();
  }

  QTemporaryDir tmp;
  const QString folder = tmp.path() + u'/';
  QString err;
  CreateTemplateDatabase(folder, &err);
  CreateDatabaseFile(folder + QLatin1String(DbFile::Reference), DatabaseKind::Reference, &err);
  CreateDatabaseFile(folder + QLatin1String(DbFile::Programme), DatabaseKind::Programme, &err);
  VirtualClock clock;
  ScriptedPrompter prompter;
  QuietView view;
  AppContext ctx(&clock, &prompter);
  ctx.dataFolder = folder;
  DatabasePreparation prep(ctx, view);

  qint64 rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ctx.database().close();
    QFile::remove(FindFileNoCase(folder, QLatin1String(DbFile::Working)));
    QFile old(folder + QLatin1String(DbFile::Old));
    old.open(QIODevice::WriteOnly);
    old.write(bytes);
    old.close();
    prep.InstallFiles();
    prep.OpenConnections();
    state.ResumeTiming();
    if (!prep.ConvertOldDatabase()) {
      state.SkipWithError("conversion failed");
      return;
    }
    rows += rowsPerFile;
  }
  state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
  state.counters["rows/file"] = double(rowsPerFile);
}

} // namespace

// The empty file gives the fixed cost of a conversion (opening, the commit,
// the backup); the others add their rows to it.
BENCHMARK_CAPTURE(BM_ConvertJetFile, full, "legacy-full.mdb")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertJetFile, old, "legacy-old.mdb")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertJetFile, empty, "legacy-empty.mdb")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadJetFile, full, "legacy-full.mdb");
BENCHMARK_CAPTURE(BM_ReadJetFile, old, "legacy-old.mdb");
BENCHMARK(BM_ReadJetMeasurements);
BENCHMARK_MAIN();
