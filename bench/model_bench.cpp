// Building an account record from a snapshot, against parsing the snapshot's
// text, and the start-up parse of the five reference documents.
//
// The snapshot is generated: an optimised (zero members dropped) account of 300
// vehicles, about 300 KB, with the vehicle ids of the embedded encyclopedia so
// that every lookup finds its entry. Every benchmark runs five repetitions of
// an automatically chosen number of iterations; the summary takes the best
// repetition's CPU time per call.
#include <benchmark/benchmark.h>

#include "best_of_reporter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "json/json.h"
#include "model/reference.h"
#include "model/snapshot.h"
#include "model/tables.h"

namespace tarvelo {
namespace {

constexpr char kAccountId[] = "4821907";
constexpr int kVehicles = 300;

const ReferenceData& BenchReference() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

// Vehicle ids of the encyclopedia, or made-up ones when it is not embedded.
std::vector<std::string> VehicleIds() {
  std::vector<std::string> ids;
  for (const auto& [id, entry] : json::members(json::at(BenchReference().TanksInfo(), "data"))) {
    if (ids.size() == kVehicles) break;
    ids.push_back(id);
  }
  for (int i = 1; ids.size() < kVehicles; ++i) ids.push_back(std::to_string(i * 16 + 1));
  return ids;
}

// One statistics block as an optimised snapshot keeps it, with the members
// the parser does not read as well.
std::string Block(int battles, int seed) {
  auto n = [&](int scale) { return std::to_string(battles * scale + seed % 7); };
  return R"({"spotted":)" + n(1) + R"(,"avg_damage_blocked":)" + n(31) + ".25" + R"(,"direct_hits_received":)" +
         n(9) + R"(,"explosion_hits":)" + n(1) + R"(,"piercings_received":)" + n(7) + R"(,"piercings":)" + n(6) +
         R"(,"xp":)" + n(650) + R"(,"survived_battles":)" + std::to_string(battles / 3) +
         R"(,"dropped_capture_points":)" + n(1) + R"(,"hits_percents":71,"battles":)" + std::to_string(battles) +
         R"(,"damage_received":)" + n(900) + R"(,"avg_damage_assisted":)" + n(3) + ".5" + R"(,"frags":)" + n(1) +
         R"(,"capture_points":)" + n(2) + R"(,"damage_dealt":)" + n(1100) + R"(,"hits":)" + n(8) +
         R"(,"battle_avg_xp":650,"wins":)" + std::to_string(battles / 2 + 1) + R"(,"losses":)" +
         std::to_string(battles / 2 - 1) + R"(,"shots":)" + n(10) + R"(,"tanking_factor":0.41})";
}

std::string GeneratedSnapshot() {
  const std::vector<std::string> ids = VehicleIds();
  std::string vehicles;
  int total = 0;
  for (int i = 0; i < kVehicles; ++i) {
    const int battles = 20 + (i * 37) % 400;
    total += battles;
    if (i) vehicles += ',';
    vehicles += R"({"all":)" + Block(battles, i) + R"(,"random":)" + Block(battles - 4, i);
    if (i % 3 == 0) vehicles += R"(,"globalmap":)" + Block(3, i) + R"(,"stronghold_skirmish":)" + Block(4, i);
    vehicles += R"(,"max_xp":)" + std::to_string(900 + i) + R"(,"mark_of_mastery":)" + std::to_string(i % 5) +
                R"(,"max_frags":)" + std::to_string(i % 6) + R"(,"tank_id":)" + ids[i] + "}";
  }
  std::string achievements = R"({"medalKay":2,"warrior":14,"tankExpert":1,"tankExpert0":1,"mechanicEngineer":1})";
  return std::string(R"({"status":"ok","data":{")") + kAccountId + R"(":{"achievements":)" + achievements +
         R"(,"max_series":{"titleSniper":9},"account_id":4821907,"nickname":"Vasya_2000","global_rating":6123,)"
         R"("created_at":1300000000,"updated_at":1480000000,"statistics":{"all":)" + Block(total, 1) +
         R"(,"random":)" + Block(total - 4 * kVehicles, 2) + R"(,"globalmap_champion":)" + Block(300, 3) +
         R"(,"stronghold_skirmish":)" + Block(400, 4) + R"(}},"vehicles":[)" + vehicles + "]}}";
}

const std::string& Snapshot() {
  static const std::string text = GeneratedSnapshot();
  return text;
}

void BM_JsonParse(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(json::parse(Snapshot()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Snapshot().size()));
}

// The record alone, from an already parsed document.
void BM_ParseAccount(benchmark::State& state) {
  const json::Value document = json::parse(Snapshot());
  for (auto _ : state) {
    RWOTAccount account;
    account.AccountId = kAccountId;
    ParseAccount(account, document, true, true, kModeAll, BenchReference());
    benchmark::DoNotOptimize(account.Vehicles.data());
  }
}

void BM_ParseTextAndAccount(benchmark::State& state) {
  for (auto _ : state) {
    const json::Value document = json::parse(Snapshot());
    RWOTAccount account;
    account.AccountId = kAccountId;
    ParseAccount(account, document, true, true, kModeAll, BenchReference());
    benchmark::DoNotOptimize(account.Vehicles.data());
  }
}

void BM_ReferenceStartup(benchmark::State& state) {
  const ReferenceTexts texts = EmbeddedReferenceTexts();
  for (auto _ : state) benchmark::DoNotOptimize(ReferenceData::FromTexts(texts));
}

void Configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Repetitions(5)->ComputeStatistics("min", Smallest)->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_JsonParse)->Apply(Configure);
BENCHMARK(BM_ParseAccount)->Apply(Configure);
BENCHMARK(BM_ParseTextAndAccount)->Apply(Configure);
BENCHMARK(BM_ReferenceStartup)->Apply(Configure);

void PrintSummary(const BestOfReporter& reporter) {
  const double parse = reporter.Seconds("BM_JsonParse");
  const double record = reporter.Seconds("BM_ParseAccount");
  const double both = reporter.Seconds("BM_ParseTextAndAccount");
  const ReferenceTexts texts = EmbeddedReferenceTexts();
  const size_t reference_bytes = texts.tanks_info.size() + texts.exp_values.size() + texts.ivanerr.size() +
                                 texts.country_list.size() + texts.achievements.size();
  std::printf("\nBest CPU time per call of 5 repetitions. Snapshot: %zu bytes, %d vehicles.\n", Snapshot().size(),
              kVehicles);
  std::printf("json::parse %.0f us; ParseAccount of the parsed document %.0f us (%.2f x the parse);\n", parse * 1e6,
              record * 1e6, parse > 0 ? record / parse : 0.0);
  std::printf("parse + ParseAccount %.0f us, ratio to the bare parse %.2f (goal <= 2)\n", both * 1e6,
              parse > 0 ? both / parse : 0.0);
  std::printf("Reference documents (%zu bytes): start-up parse and index %.0f us\n", reference_bytes,
              reporter.Seconds("BM_ReferenceStartup") * 1e6);
}

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) { return tarvelo::RunBenchmarksWithSummary(argc, argv, tarvelo::PrintSummary); }
