// The subject list as the windows drive it, on the working database of
// 20,000 subjects and 500,000 measurements (bench_database generates it into
// the build tree): opening with the visible rows drawn, a header click that
// keeps the subject selected, the searches, one subject's measurements, and
// storing a measurement.
#include "WorkingDbGenerator.h"

#include "measure/SaveMeasurement.h"
#include "records/Database.h"
#include "records/ListColumnModel.h"
#include "records/MeasurementQueryModel.h"
#include "records/SubjectList.h"
#include "shell/AppContext.h"
#include "shell/Clock.h"
#include "shell/DayNumber.h"
#include "shell/Prompter.h"

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
constexpr int kVisibleRows = 30;

struct Fixture {
  QTemporaryDir dir;
  VirtualClock clock;
  ScriptedPrompter prompter;
  AppContext ctx{&clock, &prompter};
  bool ready = false;

  Fixture() {
    QString err;
    const QString folder = dir.path() + u'/';
    if (!PrepareBenchDataFolder(QStringLiteral(SOVA_BENCH_DATA_DIR), folder, kSubjects, kMeasurements, &err)) {
      std::fprintf(stderr, "%s\n", qPrintable(err));
      return;
    }
    clock.setNow(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    ready = ctx.database().open(folder, &err);
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

// What the grid asks for when it paints its visible rows.
void drawVisible(const ListColumnModel &m, int top) {
  for (int r = top; r < qMin(top + kVisibleRows, m.rowCount()); ++r)
    for (int c = 0; c < m.columnCount(); ++c) {
      benchmark::DoNotOptimize(m.data(m.index(r, c)));
      benchmark::DoNotOptimize(m.data(m.index(r, c), Qt::ForegroundRole));
    }
}

void BM_OpenSubjectList(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready) {
    state.SkipWithError("no database");
    return;
  }
  f.ctx.SubjectSortCode = int(state.range(0));
  for (auto _ : state) {
    SubjectList list(f.ctx);
    SubjectListColumnModel columns(&list.model());
    list.OpenSubjectList();
    list.locate(randomSubject());
    drawVisible(columns, qMax(0, list.currentRow() - kVisibleRows / 2));
  }
}
BENCHMARK(BM_OpenSubjectList)->Arg(1)->Arg(-2)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

// A header click: reopen in the new order, find the selected subject again,
// draw the rows around it.
void BM_HeaderClick(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready) {
    state.SkipWithError("no database");
    return;
  }
  f.ctx.SubjectSortCode = 1;
  SubjectList list(f.ctx);
  SubjectListColumnModel columns(&list.model());
  list.OpenSubjectList();
  list.locate(randomSubject());
  const int column = int(state.range(0));
  for (auto _ : state) {
    list.SortSubjectList(column);
    drawVisible(columns, qMax(0, list.currentRow() - kVisibleRows / 2));
  }
}
BENCHMARK(BM_HeaderClick)->DenseRange(1, 11)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready) {
    state.SkipWithError("no database");
    return;
  }
  f.ctx.SubjectSortCode = int(state.range(0));
  SubjectList list(f.ctx);
  SubjectListColumnModel columns(&list.model());
  list.OpenSubjectList();
  for (auto _ : state) {
    QString text;
    switch (std::abs(f.ctx.SubjectSortCode)) {
    case 1: text = randomSubject().left(4); break;
    case 4:
      text = QLocale().toString(QDate(1950, 1, 1).addDays(QRandomGenerator::global()->bounded(20000)),
                                QLocale::ShortFormat);
      break;
    default:
      text = list.model()
                 .value(QRandomGenerator::global()->bounded(kSubjects),
                        std::abs(f.ctx.SubjectSortCode) == 2 ? QStringLiteral("Name") : QStringLiteral("Tel"))
                 .toString()
                 .left(2);
    }
    list.SearchSubject(text);
    drawVisible(columns, qMax(0, list.currentRow() - kVisibleRows / 2));
  }
}
BENCHMARK(BM_Search)->Arg(1)->Arg(-1)->Arg(2)->Arg(4)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_MeasurementsOfSelected(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready) {
    state.SkipWithError("no database");
    return;
  }
  MeasurementQueryModel query;
  MeasurementListColumnModel columns(&query);
  for (auto _ : state) {
    query.openForSubject(f.ctx.database().working(), randomSubject(), ToDayNumber(QDate(1970, 1, 1)));
    drawVisible(columns, 0);
  }
}
BENCHMARK(BM_MeasurementsOfSelected)->Unit(benchmark::kMillisecond);

void BM_SaveMeasurement(benchmark::State &state) {
  Fixture &f = fixture();
  if (!f.ready) {
    state.SkipWithError("no database");
    return;
  }
  Measurement m;
  for (int k = 1; k <= 24; ++k) {
    m.PointValue[size_t(k)] = 20 + k;
    m.Stability[size_t(k)] = 95;
  }
  m.MeasurementDate = ToDayNumber(QDateTime(QDate(2026, 12, 11), QTime(9, 0)));
  for (auto _ : state) {
    f.ctx.CurrentMeasurement = m;
    Subject target;
    target.CustNo = randomSubject();
    QString err;
    if (!SaveMeasurement(f.ctx, target, &err))
      state.SkipWithError(qPrintable(err));
  }
}
BENCHMARK(BM_SaveMeasurement)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
