// The clan members page of a large clan through the program's search service,
// with the clan's answers played by the sample service:
//
// 1. Collected from the network, every request answered after 100 ms: the
//    time until the page can be shown, the requests made and the most begun
//    in one second, one member after the other (each with its own requests,
//    unpaced) and then with the requests batched and paced at 10 and at 20
//    requests a second.
// 2. From the warm cache that collection left: the time of the whole page
//    (clan, members, report) and its ratio to the bare JSON parse of the
//    member snapshots it reads.
//
// The answers come from the demo generator:
//   python3 tools/sample_api/demo/make_demo.py --bench-clan FOLDER [--members 100]
//   clan_page_bench FOLDER
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "embedded.h"
#include "json/json.h"
#include "model/reference.h"
#include "sample_service.h"
#include "shell/core_state.h"
#include "bench_core.h"
#include "shell/loader_search_service.h"
#include "shell/search_options.h"
#include "shell/settings_store.h"

namespace tarvelo::bench {
namespace {

constexpr std::string_view kTag = "BENCH";  // as the search hands it on, without brackets
constexpr int kLatencyMs = 100;
constexpr int kWarmRuns = 40;

// The processor time this thread has used: what a warm run costs, whatever
// else the machine is doing meanwhile.
double ThreadSeconds() { return CpuSeconds(CLOCK_THREAD_CPUTIME_ID); }

// A root serving the same answers as `answers`, each after the latency.
void WriteSlowRoot(const std::filesystem::path& answers, const std::filesystem::path& root) {
  for (const auto& entry : std::filesystem::directory_iterator(answers)) {
    if (entry.path().filename() != "routes.json") {
      std::filesystem::create_directory_symlink(entry.path(), root / entry.path().filename());
    }
  }
  std::string routes = testing::ReadBytes(answers / "routes.json");
  routes = std::regex_replace(routes, std::regex("\\{\"path\": "),
                              "{\"delay_ms\": " + std::to_string(kLatencyMs) + ", \"path\": ");
  testing::WriteBytes(root / "routes.json", routes);
}

struct PageRun {
  double seconds = 0;
  double cpu_seconds = 0;
  size_t rows = 0;
  bool found = false;
};

// The clan search and its page, as the window runs them.
PageRun ClanPage(const CoreState& core, const SettingsStore& settings) {
  const auto service = MakeLoaderSearchService(core, settings, testing::TestDisk(), testing::TestClock(), "/usr/bin/tarvelo");
  const SearchRequest request = ParseSearchRequest(std::string(kTag), false);
  LoaderMessages messages;
  const auto start = Clock::now();
  const double cpu_start = ThreadSeconds();
  PageRun run;
  run.found = service->LoadClan(request, messages);
  const std::string html =
      service->ClanReportHtml(request.view, false, [](std::string_view, std::string_view, int, int) { return true; });
  run.seconds = Seconds(Clock::now() - start);
  run.cpu_seconds = ThreadSeconds() - cpu_start;
  for (size_t at = html.find("<tr onclick=\"check(this)\""); at != std::string::npos;
       at = html.find("<tr onclick=\"check(this)\"", at + 1)) {
    ++run.rows;
  }
  return run;
}

// The newest snapshot of every member folder.
std::vector<std::string> NewestSnapshots(const CoreState& core) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(core.UserCacheFolder)) {
    if (!entry.is_directory() || entry.path().filename() == "index") continue;
    const ADateArr dates = ListSnapshotDates(testing::TestDisk(), entry.path().string());
    if (!dates.empty()) files.push_back(JoinPath(entry.path().string(), SnapshotFileName(dates.front())));
  }
  return files;
}

// Reading and parsing the snapshots, nothing else: wall and processor seconds.
std::pair<double, double> BareParse(const std::vector<std::string>& files) {
  const auto start = Clock::now();
  const double cpu_start = ThreadSeconds();
  size_t parsed = 0;
  for (const std::string& file : files) parsed += json::parse(ReadTextFile(testing::TestDisk(), file, "")).present() ? 1 : 0;
  const std::pair<double, double> seconds{Seconds(Clock::now() - start), ThreadSeconds() - cpu_start};
  if (parsed != files.size()) std::printf("only %zu of %zu snapshots parse\n", parsed, files.size());
  return seconds;
}

struct ColdRun {
  const char* name;
  const char* settings;  // lines of the [Tarvelo] group
};

// The clan collected into an empty home through a fresh slow service; the
// seconds it took, or a negative number when no page came.
double Cold(const ColdRun& run, const std::filesystem::path& slow_root, const std::filesystem::path& home,
            CoreState& core) {
  const testing::SampleService slow(slow_root);
  if (!slow.running()) {
    std::printf("sample service: %s\n", slow.error().c_str());
    return -1;
  }
  const std::filesystem::path ini = home / "settings.ini";
  testing::WriteBytes(ini, std::string("[Tarvelo]\n") + run.settings);
  const SettingsStore settings(testing::TestDisk(), ini.string());
  core = CoreFor(home, slow.hosts());
  const PageRun cold = ClanPage(core, settings);
  const auto log = slow.requests();
  const auto api = testing::ApiRequests(log);
  std::printf("collected from the network, %d ms per request, %s: %zu members in %.2f s, %zu requests (%zu to the "
              "API, at most %d of them begun in one second, at most %d in flight)\n",
              kLatencyMs, run.name, cold.rows, cold.seconds, log.size(), api.size(), testing::MostInOneSecond(api),
              testing::MostInFlight(api));
  return cold.found && cold.rows > 0 ? cold.seconds : -1;
}

int Run(const std::filesystem::path& answers) {
  InstallReferenceData(ReferenceData::FromTexts(EmbeddedReferenceTexts()));
  const testing::ScratchFolder scratch;
  const std::filesystem::path slow_root = scratch.path() / "slow";
  std::filesystem::create_directories(slow_root);
  WriteSlowRoot(answers, slow_root);

  const SettingsStore settings(testing::TestDisk(), (scratch.path() / "settings.ini").string());
  CoreState core;
  const ColdRun runs[] = {
      {"one by one", "BatchedRequests=0\nRequestsPerSecond=1000\n"},
      {"batched, 20 a second", "RequestsPerSecond=20\n"},
      {"batched, default limits (10 a second, 4 in flight)", ""},
  };
  double seconds[3] = {};
  for (size_t i = 0; i < 3; ++i) {
    seconds[i] = Cold(runs[i], slow_root, scratch.path() / ("home" + std::to_string(i)), core);
    if (seconds[i] < 0) return 1;
  }
  std::printf("batched and paced against one by one: %.2f times as fast at 10 a second (goal at least 3.5), %.2f "
              "at 20 a second (goal at least 6)\n",
              seconds[0] / seconds[2], seconds[0] / seconds[1]);

  const testing::SampleService quick(answers);
  core.urls = MakeUrlSettings(quick.hosts(), "ru", "");
  // Turn about, so that a busy moment of the machine weighs on both alike.
  const std::vector<std::string> files = NewestSnapshots(core);
  const size_t snapshots = files.size();
  double page = 1e9, page_cpu = 1e9, parse = 1e9, parse_cpu = 1e9;
  size_t rows = 0;
  for (int run = 0; run < kWarmRuns; ++run) {
    const PageRun warm = ClanPage(core, settings);
    page = std::min(page, warm.seconds);
    page_cpu = std::min(page_cpu, warm.cpu_seconds);
    rows = warm.rows;
    const auto [wall, cpu] = BareParse(files);
    parse = std::min(parse, wall);
    parse_cpu = std::min(parse_cpu, cpu);
  }
  std::printf("from the warm cache: %zu members in %.1f ms (%.1f ms of processor), %zu requests; bare parse of the "
              "%zu member snapshots %.1f ms (%.1f ms of processor); ratio %.2f, of processor time %.2f (goal at "
              "most 3; best of %d)\n",
              rows, page * 1000, page_cpu * 1000, quick.requests().size(), snapshots, parse * 1000,
              parse_cpu * 1000, page / parse, page_cpu / parse_cpu, kWarmRuns);
  return 0;
}

}  // namespace
}  // namespace tarvelo::bench

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: clan_page_bench FOLDER\n  with FOLDER written by: python3 tools/sample_api/demo/make_demo.py "
                "--bench-clan FOLDER\n");
    return 2;
  }
  return tarvelo::bench::Run(argv[1]);
}
