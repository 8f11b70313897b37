// The history archive on a generated year (and five) of daily play of a
// 300-vehicle player, stored by the program's own saving code: the bytes a day
// costs as a plain file and in the archive, the time a move takes, the time to
// read any one day and to list the days, and, through the history service as
// the program runs it, a year moved with its day summaries and the summaries
// of five years read for a chart.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "acquire/memory_disk.h"
#include "acquire/player_year.h"
#include "acquire/sample_service.h"
#include "acquire/store/history_archive.h"
#include "acquire/store/history_codec.h"
#include "acquire/store/history_service.h"
#include "embedded.h"
#include "model/tables.h"
#include "text/process_memory.h"

namespace tarvelo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const ReferenceData& Documents() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

constexpr char kFolder[] = "/cache/user/5120001";

// The days a year of play leaves, by date, oldest first.
std::map<DateTime, std::string> StoredDays(int days) {
  testing::MemoryDisk disk;
  const std::string folder = kFolder;
  disk.MakeFolders(folder);
  testing::PlayerYear player(300, 7, testing::RatedVehicleIds(Documents()));
  player.Run(EncodeDate(2021, 1, 1), days, [&](const std::string& text, const AccountSnapshotFacts& facts,
                                                const SnapshotClock& clock) {
    SaveAccountSnapshot(disk, text, facts, folder, clock);
  });
  std::map<DateTime, std::string> stored;
  for (DateTime date : ListSnapshotDates(disk, folder)) stored[date] = disk.Text(JoinPath(folder, SnapshotFileName(date)));
  return stored;
}

// Sizes and times of key frames and deltas at each level, over the days of a
// month, to choose the levels from.
void CompareLevels(const std::map<DateTime, std::string>& days) {
  std::vector<const std::string*> month;
  for (const auto& [date, text] : days) {
    if (month.size() == 30) break;
    month.push_back(&text);
  }
  for (int level : {3, 6, 9, 12, 15, 19}) {
    size_t key_bytes = 0, delta_bytes = 0;
    double key_ms = 0, delta_ms = 0;
    for (size_t i = 1; i < month.size(); ++i) {
      auto start = Clock::now();
      delta_bytes += CompressDay(*month[i], *month[i - 1], level).size();
      delta_ms += Milliseconds(Clock::now() - start);
      start = Clock::now();
      key_bytes += CompressDay(*month[i], {}, level).size();
      key_ms += Milliseconds(Clock::now() - start);
    }
    const double n = static_cast<double>(month.size() - 1);
    std::printf("level %2d: key frame %6.0f bytes in %6.1f ms, delta %5.0f bytes in %6.1f ms\n", level,
                key_bytes / n, key_ms / n, delta_bytes / n, delta_ms / n);
  }
}

// The first year moved by the history service, as the program moves an
// existing cache: each day summarized, compressed, checked, committed and its
// file removed; then the other four years, and what a chart reads.
void ThroughTheService(const std::map<DateTime, std::string>& days, const std::filesystem::path& folder) {
  testing::MemoryDisk disk;
  disk.MakeFolders(kFolder);
  HistoryPlace place = HistoryPlaceOf("/cache", {}, 7);
  place.database = (folder / "service.sqlite").string();
  const DateTime year_end = EncodeDate(2022, 1, 1);
  const auto put = [&](bool first_year) {
    for (const auto& [date, text] : days) {
      if ((date < year_end) == first_year) disk.Put(JoinPath(kFolder, SnapshotFileName(date)), text, date + 0.9);
    }
  };
  put(true);
  auto history = std::make_unique<HistoryService>(disk, place, Documents());
  auto start = Clock::now();
  const HistoryMoves year = history->CompactNow();
  const double year_seconds = Milliseconds(Clock::now() - start) / 1000;
  history.reset();  // the write-ahead log goes into the database
  const double year_bytes = static_cast<double>(std::filesystem::file_size(place.database)) / std::max(1, year.days);
  history = std::make_unique<HistoryService>(disk, place, Documents());
  put(false);
  history->CompactNow();
  start = Clock::now();
  const size_t chart_days = history->Summaries(testing::PlayerYear::kAccountId, kModeRandom).size();
  const double chart_ms = Milliseconds(Clock::now() - start);
  const ArchiveSizes sizes = history->Sizes();
  history.reset();
  const double database = static_cast<double>(std::filesystem::file_size(place.database));
  std::printf("through the service: first year, %d days moved with their summaries in %.1f s (%.1f ms a day), "
              "database with summaries %.0f bytes a day (goal at most 4096); "
              "five years: %lld days archived, %.0f bytes a day; the summaries of %zu days for a chart read in %.1f ms\n",
              year.days, year_seconds, 1000 * year_seconds / std::max(1, year.days), year_bytes,
              static_cast<long long>(sizes.days), database / static_cast<double>(sizes.days), chart_days, chart_ms);
}

int Run() {
  KeepFreedMemoryForReuse();  // as the program does
  const testing::ScratchFolder scratch;
  const auto days = StoredDays(5 * 365);
  std::printf("generated: %zu stored days over five years\n", days.size());
  CompareLevels(days);

  std::string problem;
  const std::string path = (scratch.path() / "history.sqlite").string();
  auto archive = HistoryArchive::Open(path, problem);
  if (!archive) {
    std::printf("no archive: %s\n", problem.c_str());
    return 1;
  }
  int64_t year_plain = 0, year_days = 0, idle_days = 0, idle_bytes = 0;
  double year_seconds = 0;
  const DateTime year_end = EncodeDate(2022, 1, 1);
  const std::string* previous = nullptr;
  int64_t frames_before = 0;
  for (const auto& [date, text] : days) {
    const auto start = Clock::now();
    if (!archive->Put(testing::PlayerYear::kAccountId, date, text, problem)) {
      std::printf("a move failed: %s\n", problem.c_str());
      return 1;
    }
    const double took = Milliseconds(Clock::now() - start);
    const int64_t frames = archive->Sizes().frame_bytes;
    if (date < year_end) {
      year_plain += static_cast<int64_t>(text.size());
      ++year_days;
      year_seconds += took / 1000;
      if (previous != nullptr && *previous == text) {
        ++idle_days;
        idle_bytes += frames - frames_before;
      }
    }
    frames_before = frames;
    previous = &text;
  }
  std::filesystem::remove(path + "-wal");  // closed below; sizes of the database alone
  const ArchiveSizes sizes = archive->Sizes();
  std::printf("levels: deltas %d, key frames %d; a key frame at least every %d days\n", kDeltaLevel, kKeyFrameLevel,
              kKeyFrameDays);
  std::printf("first year: %lld days, plain %.0f bytes a day; moved in %.1f s (%.1f ms a day)\n",
              static_cast<long long>(year_days), static_cast<double>(year_plain) / year_days, year_seconds,
              1000 * year_seconds / year_days);
  std::printf("five years: %lld days, %.0f bytes a day in the archive (compressed texts), %.0f plain; "
              "idle days (a copy of the day before): %lld, %.0f bytes each\n",
              static_cast<long long>(sizes.days), static_cast<double>(sizes.frame_bytes) / sizes.days,
              static_cast<double>(sizes.raw_bytes) / sizes.days, static_cast<long long>(idle_days),
              idle_days ? static_cast<double>(idle_bytes) / idle_days : 0.0);

  double worst = 0, total = 0;
  int reads = 0, slow = 0;
  std::vector<double> times;
  for (const auto& [date, text] : days) {
    const auto start = Clock::now();
    const ArchivedDay day = archive->Read(testing::PlayerYear::kAccountId, date);
    const double took = Milliseconds(Clock::now() - start);
    if (!day.text || *day.text != text) {
      std::printf("a day did not come back\n");
      return 1;
    }
    times.push_back(took);
    worst = std::max(worst, took);
    total += took;
    slow += took > 5;
    ++reads;
  }
  const auto start = Clock::now();
  for (int i = 0; i < 100; ++i) archive->Days(testing::PlayerYear::kAccountId);
  const double list = Milliseconds(Clock::now() - start) / 100;
  std::sort(times.begin(), times.end());
  std::printf("reading one day of the five years: %.2f ms on average, %.2f ms for 99 of 100 days, %.2f ms at worst "
              "(goal at most 5), %d of %d reads over 5 ms; listing the days: %.3f ms (goal at most 2)\n",
              total / reads, times[times.size() * 99 / 100], worst, slow, reads, list);
  archive.reset();
  std::printf("database on disk: %.0f bytes a day\n",
              static_cast<double>(std::filesystem::file_size(path)) / sizes.days);
  ThroughTheService(days, scratch.path());
  return 0;
}

}  // namespace
}  // namespace tarvelo::bench

int main() { return tarvelo::bench::Run(); }
