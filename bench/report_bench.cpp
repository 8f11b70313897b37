// The player page from a warm cache (300 vehicles, 7 daily snapshots, "&days=3"),
// from the search to the finished HTML: the account loader, then the report
// with its day strip over the stored snapshots. Beside it, in the same run, the
// bare JSON parse of the snapshot files the page reads, so that the page's cost
// can be told as a ratio, and the page's two halves alone. Each benchmark runs
// five repetitions; the summary takes the best repetition's wall time per call,
// and then takes pages and parses turn about, in wall and processor time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "acquire/store/history_service.h"
#include "best_of_reporter.h"
#include "report/account_report.h"
#include "text/process_memory.h"
#include "warm_cache.h"

namespace tarvelo {
namespace {

using namespace tarvelo::bench;

const WarmCache& Cache() {
  static const WarmCache cache;
  return cache;
}

const ReportSite& Site() {
  static const ReportSite site{"https://tarvelo.example.org", "/usr/bin/tarvelo", {}, {}};
  return site;
}

// The full layout up to its vehicles section: the page without the vehicle
// list and the sections below it.
AccountLayout UpperSections(AccountLayout layout) {
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].key == "[section]VehiclesAll") return layout.first(i);
  }
  return layout;
}

// The page as the program's search service builds it.
std::string PlayerPage(AccountLoadResult& result, bool upper_sections_only = false, int days = kPeriodDays,
                       std::vector<SummaryDay> history = {}) {
  ReportView view;
  view.days = days;
  view.chart = 365;
  const AccountLayout whole = AccountLayoutForDays(view.days);
  const AccountLayout layout = upper_sections_only ? UpperSections(whole) : whole;
  const RSettings state = BuildRowState(layout, view.mode);
  StoredSnapshots& stored = result.stored;
  const FameView fame{false, {}, {}, {}};
  const AccountReportInput input{
      .shown = result.period,
      .current = result.current,
      .base = result.base,
      .layout = layout,
      .row_state = state,
      .view = view,
      .clock = {ProgramClock()(), 3},
      .site = Site(),
      .fame = fame,
      .clan_emblem_file = "/tmp/emblem.png",
      .vehicle_images_folder = "/tmp/vehicle",
      .history_emblem_files = {},
      .dates = stored.dates(),
      .strip_days = stored.StripDays(),
      .rating_name = "EFF",
      .document = result.snapshot_data,
      .reference = BenchReference(),
      .history = std::move(history),
  };
  return AccountReport(input).html;
}

void BM_WarmPlayerPage(benchmark::State& state) {
  const std::string problem = Cache().Problem();
  if (!problem.empty()) {
    state.SkipWithError(problem.c_str());
    return;
  }
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    result.emplace(Cache().Search());
    benchmark::DoNotOptimize(PlayerPage(*result).size());
    state.PauseTiming();  // freeing the records is not part of the page
    result.reset();
    state.ResumeTiming();
  }
}

// The same without the vehicle list and the sections below it.
void BM_WarmUpperPlayerPage(benchmark::State& state) {
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    result.emplace(Cache().Search());
    benchmark::DoNotOptimize(PlayerPage(*result, true).size());
    state.PauseTiming();
    result.reset();
    state.ResumeTiming();
  }
}

// The period since the oldest of the seven stored days, with that day a plain
// file or in the history archive (the newest three days stay files).
void PeriodSinceTheOldestDay(benchmark::State& state, bool archived) {
  static WarmCache plain_cache;
  static WarmCache archived_cache;
  static const auto history = [] {
    HistoryPlace place = HistoryPlaceOf(archived_cache.root(), {}, 3);
    auto service = std::make_unique<HistoryService>(testing::TestDisk(), place, BenchReference());
    service->CompactNow();
    archived_cache.SetHistory(service.get());
    return service;
  }();
  WarmCache& cache = archived ? archived_cache : plain_cache;
  const int days = kDays - 1;
  cache.SetPeriodDays(days);
  if (history->Sizes().days != kDays - 3) state.SkipWithError("the oldest days did not move into the archive");
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    result.emplace(cache.Search());
    benchmark::DoNotOptimize(PlayerPage(*result, false, days).size());
    state.PauseTiming();
    result.reset();
    state.ResumeTiming();
  }
}

void BM_PeriodPageFromAPlainDay(benchmark::State& state) { PeriodSinceTheOldestDay(state, false); }
void BM_PeriodPageFromAnArchivedDay(benchmark::State& state) { PeriodSinceTheOldestDay(state, true); }

// A year of daily play as the history archive summarizes it, newest first.
std::vector<SummaryDay> YearOfDays() {
  std::vector<SummaryDay> days;
  DayTotals total;
  for (int day = 0; day < 365; ++day) {
    SummaryDay summary;
    summary.day = EncodeDate(2016, 1, 1) + day;
    summary.figures.has_step = day > 0;
    const int64_t battles = day % 5 == 0 ? 0 : 5 + day % 17;
    summary.figures.step = {battles, battles / 2 + day % 3, battles * 1500, battles, battles, battles * 600,
                            battles / 3, battles, battles, battles > 0 ? 1200.0 + day % 900 : 0, 1000};
    total += summary.figures.step;
    summary.figures.total = total;
    summary.figures.total.wn8 = 1500 + day % 40;
    days.push_back(summary);
  }
  std::reverse(days.begin(), days.end());
  return days;
}

// The whole page with "&chart=365" over a year of stored days, and without the section.
void PageWithAYearOfHistory(benchmark::State& state, bool with_history) {
  static const std::vector<SummaryDay> year = YearOfDays();
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    result.emplace(Cache().Search());
    benchmark::DoNotOptimize(PlayerPage(*result, false, kPeriodDays, with_history ? year : std::vector<SummaryDay>{}).size());
    state.PauseTiming();
    result.reset();
    state.ResumeTiming();
  }
}

void BM_PageWithAYearOfHistory(benchmark::State& state) { PageWithAYearOfHistory(state, true); }
void BM_PageWithoutHistory(benchmark::State& state) { PageWithAYearOfHistory(state, false); }

// The report alone, on records loaded beforehand; the day strip's snapshots
// are parsed anew each time, as on a page of its own.
void BM_PlayerReportOnly(benchmark::State& state) {
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    state.PauseTiming();
    result.emplace(Cache().Search());
    state.ResumeTiming();
    benchmark::DoNotOptimize(PlayerPage(*result).size());
    state.PauseTiming();
    result.reset();
    state.ResumeTiming();
  }
}

void BM_SnapshotParses(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& text : Cache().Snapshots()) benchmark::DoNotOptimize(json::parse(text));
  }
}

// The page reads the strip's stored days on a second thread while it makes
// the rest: the page benchmarks count wall time, the bare parse its own time.
BENCHMARK(BM_WarmPlayerPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_WarmUpperPlayerPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_PageWithoutHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_PageWithAYearOfHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_PeriodPageFromAPlainDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_PeriodPageFromAnArchivedDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_PlayerReportOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);
BENCHMARK(BM_SnapshotParses)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(BestOfFive);

// The time of one call of `work`: wall seconds on the steady clock, and the
// processor seconds of every thread of the process meanwhile.
struct Spent {
  double wall = 1e9;
  double processor = 1e9;

  void KeepBest(const Spent& other) {
    wall = std::min(wall, other.wall);
    processor = std::min(processor, other.processor);
  }
};

double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class Work>
Spent Timed(Work work) {
  const auto start = std::chrono::steady_clock::now();
  const double processor_start = ProcessSeconds();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessSeconds() - processor_start};
}

// The pages and the bare parses taken turn about, so that both meet the same
// state of the machine (the benchmarks above run one after the other, and on
// a shared machine the speed drifts between them): the best of each.
struct Interleaved {
  Spent whole;
  Spent upper;
  Spent parses;
};

Interleaved MeasureInterleaved(int rounds) {
  Interleaved best;
  for (int round = 0; round < rounds; ++round) {
    for (const bool upper : {false, true}) {
      std::optional<AccountLoadResult> result;
      const Spent page = Timed([&] {
        result.emplace(Cache().Search());
        benchmark::DoNotOptimize(PlayerPage(*result, upper).size());
      });
      result.reset();
      (upper ? best.upper : best.whole).KeepBest(page);
    }
    best.parses.KeepBest(Timed([] {
      for (const std::string& text : Cache().Snapshots()) benchmark::DoNotOptimize(json::parse(text));
    }));
  }
  return best;
}

void PrintSummary(const BestOfReporter& reporter) {
  const double page = reporter.WallSeconds("BM_WarmPlayerPage/real_time");
  const double report = reporter.WallSeconds("BM_PlayerReportOnly/real_time");
  const double parses = reporter.WallSeconds("BM_SnapshotParses/real_time");
  std::printf("\nBest wall time per call of 5 repetitions. Player page: %d vehicles, %d daily snapshots of %zu bytes, "
              "period of %d days.\n",
              kVehicles, kDays, Cache().SnapshotBytes(), kPeriodDays);
  if (page <= 0 || parses <= 0) {
    std::printf("The page could not be measured.\n");
    return;
  }
  std::printf("Whole page %.1f ms; the bare JSON parse of its %zu snapshot files %.1f ms; ratio %.2f (goal <= 2.5)\n",
              page * 1e3, Cache().Snapshots().size(), parses * 1e3, page / parses);
  std::printf("Of the page: the loader %.1f ms, the report with its day strip %.1f ms\n", (page - report) * 1e3,
              report * 1e3);
  const double upper = reporter.WallSeconds("BM_WarmUpperPlayerPage/real_time");
  if (upper > 0) {
    std::printf("The page up to its vehicle list %.1f ms; ratio %.2f (goal <= 2.0)\n", upper * 1e3, upper / parses);
  }
  constexpr int kRounds = 300;
  const Interleaved best = MeasureInterleaved(kRounds);
  const auto line = [&best](const char* what, const Spent& spent, const char* goal) {
    std::printf("  %s: %.2f ms, ratio %.2f (goal %s); processor time of both threads %.2f ms, ratio %.2f\n", what,
                spent.wall * 1e3, spent.wall / best.parses.wall, goal, spent.processor * 1e3,
                spent.processor / best.parses.processor);
  };
  std::printf("\nTaken turn about, best of %d rounds: the bare parse %.2f ms (processor %.2f ms)\n", kRounds,
              best.parses.wall * 1e3, best.parses.processor * 1e3);
  line("the whole page", best.whole, "<= 2.5");
  line("the page up to its vehicle list", best.upper, "<= 2.0");
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
  if (std::getenv("TARVELO_BENCH_DEFAULT_MALLOC") == nullptr) tarvelo::KeepFreedMemoryForReuse();
  return tarvelo::RunBenchmarksWithSummary(argc, argv, tarvelo::PrintSummary);
}
