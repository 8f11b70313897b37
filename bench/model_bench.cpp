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
#include "generated_snapshot.h"

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

using namespace tarvelo::bench;

std::string GeneratedSnapshot() {
  int total = 0;
  const std::string vehicles = VehiclesText(VehicleIds(), 0, total);
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

BENCHMARK(BM_JsonParse)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_ParseAccount)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_ParseTextAndAccount)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);
BENCHMARK(BM_ReferenceStartup)->Unit(benchmark::kMicrosecond)->Apply(BestOfFive);

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
