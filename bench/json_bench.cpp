// JSON documents: parse throughput against RapidJSON's DOM parser on generated
// documents shaped like the program's data, and keyed member lookup time.
//
// Inputs: account snapshots (hundreds of vehicles with statistics blocks, about
// 300 KB, and the same shape grown to 3 MB and 30 MB, to show that the cost per
// byte stays flat) and reference documents keyed by vehicle id (500 and 5000
// members). Every figure is the median of the repetitions, in CPU time; the
// interleaved runs time both parsers alternately in one loop with the thread's
// CPU clock, which keeps the ratio steady on a shared machine.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <time.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "json/json.h"

namespace {

namespace json = tarvelo::json;

constexpr int kRepetitions = 5;

void AppendStatistics(std::string& out, std::mt19937& random) {
  static const char* const kFields[] = {"battles", "wins", "losses", "draws", "damage_dealt", "damage_received",
                                        "frags", "spotted", "capture_points", "dropped_capture_points",
                                        "survived_battles", "xp", "hits", "shots", "max_xp", "max_damage",
                                        "max_frags", "tanking_factor", "battle_avg_xp", "hits_percents"};
  out += '{';
  bool first = true;
  for (const char* field : kFields) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += field;
    out += "\":";
    out += std::to_string(random() % 250000);
  }
  out += ",\"avg_damage_blocked\":" + std::to_string(random() % 1000) + "." + std::to_string(random() % 100);
  out += '}';
}

// An account snapshot of at least `min_bytes`: account statistics and a list of
// vehicles, each with several statistics blocks.
std::string SnapshotDocument(size_t min_bytes) {
  std::mt19937 random(20240517);
  std::string out =
      "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"5012345\":{\"nickname\":\"Танкист_2012\","
      "\"account_id\":5012345,\"created_at\":1325376000,\"global_rating\":7421,\"clan_id\":null,"
      "\"client_language\":\"ru\",\"statistics\":{\"all\":";
  AppendStatistics(out, random);
  out += ",\"clan\":";
  AppendStatistics(out, random);
  out += "},\"vehicles\":[";
  for (int i = 0; out.size() < min_bytes; ++i) {
    if (i != 0) out += ',';
    out += "{\"tank_id\":" + std::to_string(1 + i * 256) + ",\"mark_of_mastery\":" + std::to_string(random() % 5) +
           ",\"in_garage\":" + (random() % 2 ? "true" : "false") + ",\"statistics\":{\"all\":";
    AppendStatistics(out, random);
    out += ",\"random\":";
    AppendStatistics(out, random);
    out += "}}";
  }
  out += "]}}}";
  return out;
}

std::string VehicleId(int i) { return std::to_string(1 + i * 256 + i % 17); }

// A reference document keyed by vehicle id: data.<id>.name and friends.
std::string KeyedDocument(int members) {
  static const char* const kNations[] = {"ussr", "germany", "usa", "france", "uk", "china", "japan"};
  static const char* const kTypes[] = {"lightTank", "mediumTank", "heavyTank", "AT-SPG", "SPG"};
  std::string out = "{\"status\":\"ok\",\"meta\":{\"count\":" + std::to_string(members) + "},\"data\":{";
  for (int i = 0; i < members; ++i) {
    const std::string id = VehicleId(i);
    if (i != 0) out += ',';
    out += "\"" + id + "\":{\"tank_id\":" + id + ",\"name\":\"Т-" + id + "\",\"short_name\":\"T" + id +
           "\",\"nation\":\"" + kNations[i % 7] + "\",\"type\":\"" + kTypes[i % 5] +
           "\",\"tier\":" + std::to_string(1 + i % 10) + ",\"is_premium\":" + (i % 9 == 0 ? "true" : "false") +
           ",\"images\":{\"small_icon\":\"http://img.example/vehicle/small/" + id + ".png\"}}";
  }
  out += "}}";
  return out;
}

struct Inputs {
  std::string snapshot = SnapshotDocument(300 * 1024);
  std::string snapshot_3m = SnapshotDocument(3 * 1024 * 1024);
  std::string snapshot_30m = SnapshotDocument(30 * 1024 * 1024);
  std::string keyed_500 = KeyedDocument(500);
  std::string keyed_5000 = KeyedDocument(5000);
};

const Inputs& TheInputs() {
  static const Inputs inputs;
  return inputs;
}

void ParseTarvelo(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    json::Value doc = json::parse(*text);
    if (!doc) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.node());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void ParseRapidJson(benchmark::State& state, const std::string* text) {
  for (auto _ : state) {
    rapidjson::Document doc;
    doc.Parse(text->data(), text->size());
    if (doc.HasParseError()) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.IsObject());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Both parsers in turn within each iteration, so that a busy machine slows them
// alike and their ratio stays meaningful.
void ParseInterleaved(benchmark::State& state, const std::string* text) {
  double ours = 0;
  double theirs = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    {
      json::Value doc = json::parse(*text);
      benchmark::DoNotOptimize(doc.node());
    }
    const double middle = ThreadCpuSeconds();
    {
      rapidjson::Document doc;
      doc.Parse(text->data(), text->size());
      benchmark::DoNotOptimize(doc.IsObject());
    }
    const double end = ThreadCpuSeconds();
    ours += middle - start;
    theirs += end - middle;
  }
  const double megabytes = static_cast<double>(state.iterations()) * static_cast<double>(text->size()) / 1e6;
  state.counters["tarvelo_MB/s"] = megabytes / ours;
  state.counters["rapidjson_MB/s"] = megabytes / theirs;
  state.counters["ratio"] = theirs / ours;
}

// One `text(doc, "data.<id>.name")` per iteration, cycling through every id.
void LookupName(benchmark::State& state, const std::string* text, int members) {
  const json::Value doc = json::parse(*text);
  std::vector<std::string> paths;
  for (int i = 0; i < members; ++i) paths.push_back("data." + VehicleId(i) + ".name");
  size_t next = 0;
  for (auto _ : state) {
    std::string name = json::text(doc, paths[next]);
    if (name.empty()) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(name.data());
    if (++next == paths.size()) next = 0;
  }
}

// One id looked up over and over: the cost of the lookup itself, without the
// cache misses of walking a large document.
void LookupSameName(benchmark::State& state, const std::string* text, int members) {
  const json::Value doc = json::parse(*text);
  const std::string path = "data." + VehicleId(members / 2) + ".name";
  for (auto _ : state) {
    std::string name = json::text(doc, path);
    if (name.empty()) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(name.data());
  }
}

// The same lookups through RapidJSON's member search, for comparison.
void LookupNameRapidJson(benchmark::State& state, const std::string* text, int members) {
  rapidjson::Document doc;
  doc.Parse(text->data(), text->size());
  std::vector<std::string> ids;
  for (int i = 0; i < members; ++i) ids.push_back(VehicleId(i));
  const rapidjson::Value& data = doc["data"];
  size_t next = 0;
  for (auto _ : state) {
    const auto vehicle = data.FindMember(ids[next].c_str());
    if (vehicle == data.MemberEnd()) state.SkipWithError("lookup failed");
    std::string name = vehicle->value["name"].GetString();
    benchmark::DoNotOptimize(name.data());
    if (++next == ids.size()) next = 0;
  }
}

// Keeps the median of every benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      Median& median = medians_[run.run_name.function_name];
      median.nanoseconds = run.GetAdjustedCPUTime();  // time unit is ns
      const auto bytes = run.counters.find("bytes_per_second");
      if (bytes != run.counters.end()) median.megabytes_per_second = bytes->second.value / 1e6;
      for (const auto& [name, counter] : run.counters) median.counters[name] = counter.value;
    }
  }

  void PrintSummary() const {
    const Inputs& inputs = TheInputs();
    std::printf("\nSummary (median of %d repetitions, CPU time)\n", kRepetitions);
    PrintParse("account snapshot", inputs.snapshot.size(), "snapshot");
    PrintParse("account snapshot, 3 MB", inputs.snapshot_3m.size(), "snapshot_3m");
    PrintParse("account snapshot, 30 MB", inputs.snapshot_30m.size(), "snapshot_30m");
    PrintParse("keyed document, 500 members", inputs.keyed_500.size(), "keyed_500");
    PrintParse("keyed document, 5000 members", inputs.keyed_5000.size(), "keyed_5000");
    std::printf("lookup text(doc, \"data.<id>.name\") cycling through every id: %.1f ns with 500 members, %.1f ns with 5000 members\n",
                Get("lookup/500").nanoseconds, Get("lookup/5000").nanoseconds);
    std::printf("lookup of one id over and over (cache warm): %.1f ns with 500 members, %.1f ns with 5000 members\n",
                Get("lookup/same/500").nanoseconds, Get("lookup/same/5000").nanoseconds);
    std::printf("lookup with RapidJSON FindMember: %.1f ns with 500 members, %.1f ns with 5000 members\n",
                Get("lookup/rapidjson/500").nanoseconds, Get("lookup/rapidjson/5000").nanoseconds);
  }

 private:
  struct Median {
    double nanoseconds = 0;
    double megabytes_per_second = 0;
    std::map<std::string, double> counters;
  };

  Median Get(const std::string& name) const {
    const auto found = medians_.find(name);
    return found != medians_.end() ? found->second : Median{};
  }

  void PrintParse(const char* label, size_t bytes, const std::string& input) const {
    const double ours = Get("parse/tarvelo/" + input).megabytes_per_second;
    const double theirs = Get("parse/rapidjson/" + input).megabytes_per_second;
    std::printf("parse %s (%zu bytes): tarvelo %.0f MB/s, RapidJSON DOM %.0f MB/s, ratio %.2f\n", label, bytes, ours,
                theirs, theirs > 0 ? ours / theirs : 0.0);
    auto interleaved = Get("parse/interleaved/" + input).counters;
    std::printf("  interleaved in one loop: tarvelo %.0f MB/s, RapidJSON DOM %.0f MB/s, ratio %.2f\n",
                interleaved["tarvelo_MB/s"], interleaved["rapidjson_MB/s"], interleaved["ratio"]);
  }

  std::map<std::string, Median> medians_;
};

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown";
}

void Repeat(benchmark::internal::Benchmark* benchmark) {
  benchmark->Repetitions(kRepetitions)->ReportAggregatesOnly(true)->Unit(benchmark::kNanosecond);
}

void Register() {
  const Inputs& inputs = TheInputs();
  const std::pair<const char*, const std::string*> parse_inputs[] = {
      {"snapshot", &inputs.snapshot},   {"snapshot_3m", &inputs.snapshot_3m}, {"snapshot_30m", &inputs.snapshot_30m},
      {"keyed_500", &inputs.keyed_500}, {"keyed_5000", &inputs.keyed_5000}};
  for (const auto& [name, text] : parse_inputs) {
    Repeat(benchmark::RegisterBenchmark((std::string("parse/tarvelo/") + name).c_str(), ParseTarvelo, text));
    Repeat(benchmark::RegisterBenchmark((std::string("parse/rapidjson/") + name).c_str(), ParseRapidJson, text));
    Repeat(benchmark::RegisterBenchmark((std::string("parse/interleaved/") + name).c_str(), ParseInterleaved, text));
  }
  Repeat(benchmark::RegisterBenchmark("lookup/500", LookupName, &inputs.keyed_500, 500));
  Repeat(benchmark::RegisterBenchmark("lookup/5000", LookupName, &inputs.keyed_5000, 5000));
  Repeat(benchmark::RegisterBenchmark("lookup/same/500", LookupSameName, &inputs.keyed_500, 500));
  Repeat(benchmark::RegisterBenchmark("lookup/same/5000", LookupSameName, &inputs.keyed_5000, 5000));
  Repeat(benchmark::RegisterBenchmark("lookup/rapidjson/500", LookupNameRapidJson, &inputs.keyed_500, 500));
  Repeat(benchmark::RegisterBenchmark("lookup/rapidjson/5000", LookupNameRapidJson, &inputs.keyed_5000, 5000));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  const Inputs& inputs = TheInputs();
  std::printf("machine: %u hardware threads (nproc), %s\n", std::thread::hardware_concurrency(), CpuModel().c_str());
  std::printf("inputs: snapshots %zu, %zu and %zu bytes, keyed 500 members %zu bytes, keyed 5000 members %zu bytes\n",
              inputs.snapshot.size(), inputs.snapshot_3m.size(), inputs.snapshot_30m.size(), inputs.keyed_500.size(),
              inputs.keyed_5000.size());
  std::printf("repetitions: %d per benchmark, medians reported\n\n", kRepetitions);
  benchmark::AddCustomContext("repetitions", std::to_string(kRepetitions));
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
