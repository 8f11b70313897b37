// An account search answered from a warm cache: the player (300 vehicles) has
// a fresh index file, seven daily snapshots of which the newest is fresh, and a
// clan with a fresh snapshot; the search asks for the period view of 3 days
// (no letters, interactive). Measured from the call of LoadAccount to its
// records being ready. Beside it, in the same run: the JSON parses the search
// makes (the same texts parsed by json::parse alone) and the two account
// records built from the parsed snapshots, so that their share of the search
// can be told.
//
// Everything is generated in a scratch cache folder under the temporary
// folder, removed at the end; the program clock is fixed with TARVELO_NOW.
// The HTTP getter answers nothing: a request would mean the cache was not
// used, and the setup check reports it. Every benchmark runs five repetitions
// of an automatically chosen number of iterations; the summary takes the best
// repetition's CPU time per call. Freeing the records is left out of the
// timings; the parses include freeing their documents, as the search does.
//
// The records are large (about 1.7 MB of vehicles each); the benchmark keeps
// freed memory for reuse as the program does (KeepFreedMemoryForReuse). Run
// with TARVELO_BENCH_DEFAULT_MALLOC=1 to see glibc's default, where every search
// faults its record memory in afresh.
#include <benchmark/benchmark.h>

#include "best_of_reporter.h"
#include "generated_snapshot.h"
#include "warm_cache.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "acquire/account_loader.h"
#include "acquire/fake_http_getter.h"
#include "acquire/net/http_fetch.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "json/json.h"
#include "model/reference.h"
#include "model/snapshot.h"
#include "model/tables.h"
#include "text/clock.h"
#include "text/debug_log.h"
#include "text/process_memory.h"
#include "text/russian.h"

namespace tarvelo {
namespace {

using namespace tarvelo::bench;

const WarmCache& Cache() {
  static const WarmCache cache;
  return cache;
}

void BM_WarmAccountSearch(benchmark::State& state) {
  const std::string problem = Cache().Problem();
  if (!problem.empty()) {
    state.SkipWithError(problem.c_str());
    return;
  }
  std::optional<AccountLoadResult> result;
  for (auto _ : state) {
    result.emplace(Cache().Search());
    benchmark::DoNotOptimize(result->period.Vehicles.data());
    state.PauseTiming();  // freeing the records is not part of the search
    result.reset();
    state.ResumeTiming();
  }
}

// The JSON parses of the search alone: the index file, the clan snapshot, the
// current and the compared account snapshot.
void BM_SearchJsonParses(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& text : Cache().ParsedTexts()) benchmark::DoNotOptimize(json::parse(text));
  }
}

// The two account records of the search from parsed snapshots: the current one
// with its vehicles sorted, the compared one as the period needs it.
void BM_SearchAccountRecords(benchmark::State& state) {
  const std::vector<std::string>& texts = Cache().ParsedTexts();
  if (texts.size() < 4) {
    state.SkipWithError("no texts");
    return;
  }
  const json::Value current = json::parse(texts[2]);
  const json::Value compared = json::parse(texts[3]);
  std::optional<RWOTAccount> newer;
  std::optional<RWOTAccount> older;
  for (auto _ : state) {
    newer.emplace().AccountId = kAccountId;
    ParseAccount(*newer, current, true, true, kModeAll, BenchReference());
    older.emplace().AccountId = kAccountId;
    ParseAccount(*older, compared, true, false, kModeAll, BenchReference());
    benchmark::DoNotOptimize(older->Vehicles.data());
    state.PauseTiming();
    newer.reset();
    older.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_WarmAccountSearch)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_SearchJsonParses)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_SearchAccountRecords)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);

void PrintSummary(const BestOfReporter& reporter) {
  const double search = reporter.Seconds("BM_WarmAccountSearch");
  const double parses = reporter.Seconds("BM_SearchJsonParses");
  const double records = reporter.Seconds("BM_SearchAccountRecords");
  auto share = [search](double part) { return search > 0 ? part / search * 100 : 0.0; };
  std::printf("\nBest CPU time per call of 5 repetitions. Warm search: %d vehicles, %d daily snapshots "
              "(%zu bytes each), period of %d days.\n",
              kVehicles, kDays, Cache().SnapshotBytes(), kPeriodDays);
  if (search <= 0) {
    std::printf("The warm search could not be measured.\n");
    return;
  }
  std::printf("LoadAccount %.0f us; its %zu JSON parses alone %.0f us (%.0f %%);\n", search * 1e6,
              Cache().ParsedTexts().size(), parses * 1e6, share(parses));
  std::printf("its two account records from parsed snapshots %.0f us (%.0f %%); the rest %.0f us (%.0f %%)\n",
              records * 1e6, share(records), (search - parses - records) * 1e6,
              share(search - parses - records));
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
  if (std::getenv("TARVELO_BENCH_DEFAULT_MALLOC") == nullptr) tarvelo::KeepFreedMemoryForReuse();
  return tarvelo::RunBenchmarksWithSummary(argc, argv, tarvelo::PrintSummary);
}
