// The player page from a warm cache (300 vehicles, 7 daily snapshots, "&days=3"),
// from the search to the finished HTML: the account loader, then the report
// with its day strip over the stored snapshots. Beside it, in the same run, the
// bare JSON parse of the snapshot files the page reads, so that the page's cost
// can be told as a ratio, and the page's two halves alone. Each benchmark runs
// five repetitions; the summary takes the best repetition's CPU time per call.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

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
std::string PlayerPage(AccountLoadResult& result, bool upper_sections_only = false) {
  ReportView view;
  view.days = kPeriodDays;
  view.days_suffix = "&days=" + std::to_string(kPeriodDays);
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
      .clock = {Now(), 3},
      .site = Site(),
      .fame = fame,
      .clan_emblem_file = "/tmp/emblem.png",
      .vehicle_images_folder = "/tmp/vehicle",
      .history_emblem_files = {},
      .dates = stored.dates(),
      .stored_snapshot = [&stored](size_t index) { return stored.ModeAt(index); },
      .rating_name = "EFF",
      .document = result.snapshot_data,
      .reference = BenchReference(),
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

BENCHMARK(BM_WarmPlayerPage)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);
BENCHMARK(BM_WarmUpperPlayerPage)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);
BENCHMARK(BM_PlayerReportOnly)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);
BENCHMARK(BM_SnapshotParses)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);

// UNFINISHED: taken turn about with the bare parse, the whole page runs at
// about 2.9 to 3.0 times the parse, short of 2.5, and the page up to its
// vehicle list at about 2.4, short of 2.0. Beside the seven parses (about a third of the
// page) the time is spread: the day strip's work on its five stored days other
// than the parse (reading, the conversion check, the mode figures, and the
// per-vehicle ratings of each day's change), the loader's two whole records
// and the period record, the vehicle list's rows (about a fifth), the other
// rows. None of them alone is the remaining gap.
// Seconds of one call of `work`, on the steady clock.
template <class Work>
double Timed(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The pages and the bare parses taken turn about, so that both meet the same
// state of the machine (the benchmarks above run one after the other, and on
// a shared machine the speed drifts between them): the best of each.
struct Interleaved {
  double whole = 1e9;
  double upper = 1e9;
  double parses = 1e9;
};

Interleaved MeasureInterleaved(int rounds) {
  Interleaved best;
  for (int round = 0; round < rounds; ++round) {
    for (const bool upper : {false, true}) {
      std::optional<AccountLoadResult> result;
      const double page = Timed([&] {
        result.emplace(Cache().Search());
        benchmark::DoNotOptimize(PlayerPage(*result, upper).size());
      });
      result.reset();
      (upper ? best.upper : best.whole) = std::min(upper ? best.upper : best.whole, page);
    }
    best.parses = std::min(best.parses, Timed([] {
      for (const std::string& text : Cache().Snapshots()) benchmark::DoNotOptimize(json::parse(text));
    }));
  }
  return best;
}

void PrintSummary(const BestOfReporter& reporter) {
  const double page = reporter.Seconds("BM_WarmPlayerPage");
  const double report = reporter.Seconds("BM_PlayerReportOnly");
  const double parses = reporter.Seconds("BM_SnapshotParses");
  std::printf("\nBest CPU time per call of 5 repetitions. Player page: %d vehicles, %d daily snapshots of %zu bytes, "
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
  const double upper = reporter.Seconds("BM_WarmUpperPlayerPage");
  if (upper > 0) {
    std::printf("The page up to its vehicle list %.1f ms; ratio %.2f (goal <= 2.0)\n", upper * 1e3, upper / parses);
  }
  constexpr int kRounds = 100;
  const Interleaved best = MeasureInterleaved(kRounds);
  std::printf("\nTaken turn about, best of %d rounds (wall time): the bare parse %.2f ms; the whole page %.2f ms, "
              "ratio %.2f (goal <= 2.5); the page up to its vehicle list %.2f ms, ratio %.2f (goal <= 2.0)\n",
              kRounds, best.parses * 1e3, best.whole * 1e3, best.whole / best.parses, best.upper * 1e3,
              best.upper / best.parses);
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
  if (std::getenv("TARVELO_BENCH_DEFAULT_MALLOC") == nullptr) tarvelo::KeepFreedMemoryForReuse();
  return tarvelo::RunBenchmarksWithSummary(argc, argv, tarvelo::PrintSummary);
}
