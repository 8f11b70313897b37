// Snapshot optimisation and conversion on generated account snapshots.
//
// Sizes: about 300 KB (a player with a few hundred vehicles) and about 3 MB.
// Every benchmark runs five repetitions of an automatically chosen number of
// iterations. The summary after the table takes the best repetition's CPU time
// per call and gives the time per byte of each size (equal per-byte times mean
// linear growth) and the cost of converting an already current snapshot
// against one std::string::find pass over it.
#include <benchmark/benchmark.h>

#include "best_of_reporter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "acquire/store/snapshot_conversion.h"
#include "acquire/store/snapshot_optimizer.h"

namespace tarvelo {
namespace {

constexpr char kAccountId[] = "4821907";
// The baseline search: one of the conversion's own trigger texts, absent from a current snapshot.
constexpr std::string_view kBaselinePattern = "integrated_rating";

// One statistics block as the API sends it, zero members included.
std::string StatisticsBlock(int battles) {
  if (battles == 0) {
    return R"({"spotted":0,"avg_damage_assisted_track":0.0,"max_xp":0,"avg_damage_blocked":0.0,"direct_hits_received":0,)"
           R"("explosion_hits":0,"piercings_received":0,"piercings":0,"xp":0,"survived_battles":0,)"
           R"("dropped_capture_points":0,"hits_percents":0,"draws":0,"battles":0,"damage_received":0,)"
           R"("avg_damage_assisted":0.0,"frags":0,"capture_points":0,"damage_dealt":0,"hits":0,"battle_avg_xp":0,)"
           R"("wins":0,"losses":0,"shots":0,"explosion_hits_received":0,"tanking_factor":0.0})";
  }
  const std::string n = std::to_string(battles);
  return R"({"spotted":)" + n + R"(,"avg_damage_assisted_track":0.0,"max_xp":0,"avg_damage_blocked":12.5,)"
         R"("direct_hits_received":0,"explosion_hits":0,"piercings_received":0,"piercings":0,"xp":)" + n + "00" +
         R"(,"survived_battles":3,"dropped_capture_points":0,"hits_percents":64,"draws":0,"battles":)" + n +
         R"(,"damage_received":0,"avg_damage_assisted":0.0,"frags":4,"capture_points":0,"damage_dealt":)" + n + "17" +
         R"(,"hits":0,"battle_avg_xp":0,"wins":6,"losses":4,"shots":0,"explosion_hits_received":0,"tanking_factor":0.0})";
}

// A merged snapshot of the second layout (snake-case achievements, zero
// members kept) grown with vehicles until it reaches `size` bytes.
std::string GeneratedSnapshot(size_t size) {
  std::string text =
      std::string(R"({"status":"ok","data":{")") + kAccountId +
      R"(":{"account_id":4821907,"nickname":"Vasya_2000","clan":null,)"
      R"("achievements":{"medal_boelter":1,"tank_expert_ussr":1,"mechanic_engineer":1,"max_sniper_series":4,)"
      R"("max_piercing_series":2,"max_killing_series":0,"max_invincible_series":1,"max_diehard_series":3,"medal_kay":2},)"
      R"("statistics":{"all":)" + StatisticsBlock(342) + R"(,"clan":)" + StatisticsBlock(0) +
      R"(,"company":null,"historical":null}},"vehicles":[)";
  for (int id = 1; text.size() < size; ++id) {
    if (id > 1) text += ',';
    text += R"({"all":)" + StatisticsBlock(id % 50) + R"(,"random":)" + StatisticsBlock(id % 50) +
            R"(,"clan":)" + StatisticsBlock(0) + R"(,"max_xp":500,"mark_of_mastery":0,"max_frags":2,"tank_id":)" +
            std::to_string(id) + "}";
  }
  return text + "]}}";
}

const std::string& Snapshot(size_t size) {
  static std::map<size_t, std::string> made;
  auto found = made.find(size);
  if (found == made.end()) found = made.emplace(size, GeneratedSnapshot(size)).first;
  return found->second;
}

constexpr int64_t kSmall = 300 * 1024;
constexpr int64_t kLarge = 3 * 1024 * 1024;

// A snapshot already in the current layout, at least 300 KB after conversion.
const std::string& CurrentSnapshot() {
  static const std::string current = [] {
    size_t raw = kSmall;
    std::string converted = ConvertSnapshot(GeneratedSnapshot(raw), kAccountId, {}, {});
    while (converted.size() < static_cast<size_t>(kSmall)) {
      raw = raw * kSmall / converted.size() + 4096;
      converted = ConvertSnapshot(GeneratedSnapshot(raw), kAccountId, {}, {});
    }
    return converted;
  }();
  return current;
}

void BM_OptimizeSnapshot(benchmark::State& state) {
  const std::string& text = Snapshot(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(OptimizeSnapshot(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ConvertSnapshot(benchmark::State& state) {
  const std::string& text = Snapshot(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ConvertSnapshot(text, kAccountId, {}, {}));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Includes the copy of the text into ConvertSnapshot's by-value argument.
void BM_ConvertCurrentSnapshot(benchmark::State& state) {
  const std::string& text = CurrentSnapshot();
  for (auto _ : state) benchmark::DoNotOptimize(ConvertSnapshot(text, kAccountId, {}, {}));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_OneFindPass(benchmark::State& state) {
  const std::string& text = CurrentSnapshot();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kBaselinePattern));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Five repetitions each; the console shows their statistics and the summary
// uses the best repetition, since the machine may be busy with other work.
BENCHMARK(BM_OptimizeSnapshot)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);
BENCHMARK(BM_ConvertSnapshot)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Apply(BestOfFive);
BENCHMARK(BM_ConvertCurrentSnapshot)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_OneFindPass)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);

// Shows the statistics of the repetitions and keeps the best CPU time per
// call of each benchmark for the summary.
void PrintSummary(const BestOfReporter& reporter) {
  auto per_byte = [&](const std::string& name, int64_t size) {
    return reporter.Seconds(name + "/" + std::to_string(size)) * 1e9 / static_cast<double>(Snapshot(size).size());
  };
  std::printf("\nBest CPU time per call of 5 repetitions. Snapshots: %zu and %zu bytes; current snapshot %zu bytes.\n", Snapshot(kSmall).size(),
              Snapshot(kLarge).size(), CurrentSnapshot().size());
  for (const char* name : {"BM_OptimizeSnapshot", "BM_ConvertSnapshot"}) {
    double small = per_byte(name, kSmall), large = per_byte(name, kLarge);
    std::printf("%-22s %.3f ns/byte at 300 KB, %.3f ns/byte at 3 MB (ratio %.2f; 1.00 = linear)\n", name, small, large,
                small > 0 ? large / small : 0.0);
  }
  double current = reporter.Seconds("BM_ConvertCurrentSnapshot"), find = reporter.Seconds("BM_OneFindPass");
  std::printf("Current snapshot: conversion %.1f us, one find pass (\"%s\") %.1f us, ratio %.1f\n", current * 1e6,
              std::string(kBaselinePattern).c_str(), find * 1e6, find > 0 ? current / find : 0.0);
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) { return tarvelo::RunBenchmarksWithSummary(argc, argv, tarvelo::PrintSummary); }
