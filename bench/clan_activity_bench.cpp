// The clan activity view against the members page of the same clan, both from
// a warm cache, through the program's search service: a clan of 100 members
// (the sample service's answers), each member with a year of stored days (a
// generated year of daily play, saved by the program's own saving code and
// moved into the history archive with its day summaries, as the program keeps
// an old cache). The pages alternate, so a busy moment of the machine weighs
// on both alike; the best of the runs is printed.
//
//   python3 tools/sample_api/demo/make_demo.py --bench-clan FOLDER [--members 100]
//   clan_activity_bench FOLDER [VEHICLES]
// With TARVELO_BENCH_KEEP=DIR the program's data folder is copied to DIR at the end.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "acquire/player_year.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/history_service.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "embedded.h"
#include "model/reference.h"
#include "report/report_view.h"
#include "sample_service.h"
#include "shell/core_state.h"
#include "bench_core.h"
#include "shell/loader_search_service.h"
#include "shell/search_options.h"
#include "shell/settings_store.h"
#include "text/replace.h"

namespace tarvelo::bench {
namespace {

constexpr int kYearDays = 365;
constexpr int kWarmRuns = 20;

// The processor time of the whole process: the activity view has the history
// worker read the summaries, on a thread of its own.
double ProcessSeconds() { return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }

struct PageRun {
  double seconds = 0;
  double cpu_seconds = 0;
  size_t rows = 0;
};

// The clan search and the page of `days`, as the window runs them.
PageRun ClanPage(const CoreState& core, const SettingsStore& settings, int days) {
  const auto service =
      MakeLoaderSearchService(core, settings, testing::TestDisk(), testing::TestClock(), "/usr/bin/tarvelo");
  const SearchRequest request = ParseSearchRequest("BENCH&days=" + std::to_string(days), false);
  const auto go_on = [](std::string_view, std::string_view, int, int) { return true; };
  LoaderMessages messages;
  const auto start = Clock::now();
  const double cpu_start = ProcessSeconds();
  PageRun run;
  std::string html;
  if (service->LoadClan(request, messages)) {
    html = days == kClanActivityDays ? service->ClanActivityHtml(request.view, false, go_on)
                                     : service->ClanReportHtml(request.view, false, go_on);
  }
  run.seconds = Seconds(Clock::now() - start);
  run.cpu_seconds = ProcessSeconds() - cpu_start;
  for (size_t at = html.find("<tr onclick=\"check(this)\""); at != std::string::npos;
       at = html.find("<tr onclick=\"check(this)\"", at + 1)) {
    ++run.rows;
  }
  return run;
}

// The account folders of the cache.
std::vector<std::filesystem::path> MemberFolders(const CoreState& core) {
  std::vector<std::filesystem::path> folders;
  for (const auto& entry : std::filesystem::directory_iterator(core.UserCacheFolder)) {
    if (entry.is_directory() && entry.path().filename() != "index") folders.push_back(entry.path());
  }
  return folders;
}

struct SavedDay {
  std::string text;
  AccountSnapshotFacts facts;
  SnapshotClock clock;
};

// Every member's stored days replaced by a year of daily play ending today.
size_t StoreYears(const CoreState& core, int vehicles) {
  std::vector<SavedDay> year;
  testing::PlayerYear player(vehicles, 7, testing::RatedVehicleIds(Reference()));
  const DateTime today = std::floor(testing::TestClock()());
  player.Run(today - (kYearDays - 1), kYearDays, [&](const std::string& text, const AccountSnapshotFacts& facts,
                                                     const SnapshotClock& clock) {
    year.push_back({text, facts, clock});
  });
  size_t stored = 0;
  for (const std::filesystem::path& folder : MemberFolders(core)) {
    const std::string id = folder.filename().string();
    for (DateTime date : ListSnapshotDates(testing::TestDisk(), folder.string())) {
      std::filesystem::remove(folder / SnapshotFileName(date));
    }
    for (const SavedDay& day : year) {
      SaveAccountSnapshot(testing::TestDisk(), ReplaceAll(day.text, testing::PlayerYear::kAccountId, id), day.facts,
                          folder.string(), day.clock);
    }
    stored += ListSnapshotDates(testing::TestDisk(), folder.string()).size();
  }
  return stored;
}

int Run(const std::filesystem::path& answers, int vehicles) {
  InstallReferenceData(ReferenceData::FromTexts(EmbeddedReferenceTexts()));
  const testing::ScratchFolder scratch;
  const testing::SampleService service(answers);
  if (!service.running()) {
    std::printf("sample service: %s\n", service.error().c_str());
    return 1;
  }
  CoreState core = CoreFor(scratch.path() / "home", service.hosts());
  const SettingsStore settings(testing::TestDisk(), (scratch.path() / "settings.ini").string());

  auto start = Clock::now();
  const PageRun cold = ClanPage(core, settings, 0);
  std::printf("the clan collected from the sample service: %zu members in %.1f s\n", cold.rows,
              Seconds(Clock::now() - start));
  if (cold.rows == 0) return 1;

  start = Clock::now();
  const size_t files = StoreYears(core, vehicles);
  HistoryService history(testing::TestDisk(), HistoryPlaceOf(core.CacheFolder, {}, kDefaultPlainDays), Reference());
  if (!history.available()) {
    std::printf("no history archive: %s\n", history.problem().c_str());
    return 1;
  }
  const HistoryMoves moved = history.CompactNow();
  core.history = &history;
  std::printf("a year of %d days for each member, %d vehicles each: %zu stored days, %d moved into the archive with "
              "their summaries, in %.0f s\n",
              kYearDays, vehicles, files, moved.days, Seconds(Clock::now() - start));

  const size_t requests_before = service.requests().size();
  PageRun members{1e9, 1e9, 0};
  PageRun activity{1e9, 1e9, 0};
  for (int run = 0; run < kWarmRuns; ++run) {
    const PageRun m = ClanPage(core, settings, 0);
    const PageRun a = ClanPage(core, settings, kClanActivityDays);
    members = {std::min(members.seconds, m.seconds), std::min(members.cpu_seconds, m.cpu_seconds), m.rows};
    activity = {std::min(activity.seconds, a.seconds), std::min(activity.cpu_seconds, a.cpu_seconds), a.rows};
  }
  std::printf("from the warm cache (best of %d, alternating), %zu requests:\n", kWarmRuns,
              service.requests().size() - requests_before);
  std::printf("  members page:  %zu rows in %.1f ms (%.1f ms of processor)\n", members.rows, members.seconds * 1000,
              members.cpu_seconds * 1000);
  std::printf("  activity view: %zu rows in %.1f ms (%.1f ms of processor)\n", activity.rows, activity.seconds * 1000,
              activity.cpu_seconds * 1000);
  std::printf("  activity / members: %.2f, of processor time %.2f (goal at most 1)\n",
              activity.seconds / members.seconds, activity.cpu_seconds / members.cpu_seconds);
  // To look at the pages in the window afterwards.
  if (const char* keep = std::getenv("TARVELO_BENCH_KEEP")) {
    std::filesystem::copy(scratch.path() / "home", keep, std::filesystem::copy_options::recursive);
    std::printf("the cache is kept in %s\n", keep);
  }
  return 0;
}

}  // namespace
}  // namespace tarvelo::bench

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::printf("usage: clan_activity_bench FOLDER [VEHICLES]\n  with FOLDER written by: python3 "
                "tools/sample_api/demo/make_demo.py --bench-clan FOLDER\n");
    return 2;
  }
  return tarvelo::bench::Run(argv[1], argc == 3 ? std::atoi(argv[2]) : 100);
}
