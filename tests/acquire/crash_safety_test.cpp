// A search that stores large snapshots, killed (SIGKILL) at random moments: the
// cache holds only whole files, each the old or the new version, and what the
// interrupted writes left behind is gone after the next start. The same for the
// moves of older days into the history archive: no day lost or altered.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "acquire/store/account_days.h"
#include "acquire/store/history_service.h"
#include "embedded.h"
#include "loaders_end_to_end.h"
#include "acquire/memory_disk.h"
#include "player_year.h"

namespace tarvelo {
namespace {

using Contents = std::map<std::string, std::set<std::string>>;  // file below the cache: every version seen

constexpr std::string_view kInfoFile = "api/account_info_4817293.json";
constexpr size_t kPaddingBytes = 3 << 20;  // makes every snapshot a few megabytes

int KillCount() {
  const char* wanted = std::getenv("TARVELO_KILLS");
  return wanted != nullptr && std::atoi(wanted) > 0 ? std::atoi(wanted) : 50;
}

class CrashSafetyTest : public LoadersEndToEndTest {
 protected:
  void SetUp() override {
    LoadersEndToEndTest::SetUp();
    if (HasFatalFailure()) return;
    SetClock("2026-12-09T12:00:00");
    const std::string info = Answer(std::string(kInfoFile));
    const std::string opening = "\"data\":{\"4817293\":{";
    const size_t at = info.find(opening);
    ASSERT_NE(at, std::string::npos);
    for (const char letter : {'a', 'b'}) {
      std::string variant = info;
      variant.insert(at + opening.size(), "\"padding\":\"" + std::string(kPaddingBytes, letter) + "\",");
      variants_.push_back(variant);
    }
  }

  // Puts variant `i` in place for the service as one rename, so no request sees half of it.
  void ServeVariant(size_t i) {
    const fs::path target = answers_.path() / std::string(kInfoFile);
    WriteBytes(target.string() + ".next", variants_[i % variants_.size()]);
    fs::rename(target.string() + ".next", target);
  }

  fs::path Cache() const { return cache_.path() / "cache"; }

  // Every file below the cache with its content.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(Cache())) {
      if (entry.is_regular_file()) files[fs::relative(entry.path(), Cache()).string()] = ReadBytes(entry.path());
    }
    return files;
  }

  static bool IsTemporary(const std::string& file) { return fs::path(file).filename().string().starts_with(".tarvelo-"); }

  // Searches over and over with the variants in turn, until killed.
  [[noreturn]] void SearchForever() {
    std::unique_ptr<HttpGetter> getter = MakeCurlHttpGetter();
    HttpFetch fetch(*getter);
    context_.fetch = &fetch;
    context_.disk = &testing::TestDisk();
    context_.clock = testing::TestClock();
    for (size_t i = 0;; ++i) {
      ServeVariant(i);
      Search(kMember, /*update=*/true);
    }
  }

  std::vector<std::string> variants_;
};

TEST_F(CrashSafetyTest, KilledWritesLeaveWholeFilesAndNoTemporaryFileAfterTheNextStart) {
  // What each file may hold: the versions the searches write when nothing interrupts them.
  Contents versions;
  for (size_t i = 0; i < 4; ++i) {
    ServeVariant(i);
    ASSERT_TRUE(Search(kMember, true).result);
    for (const auto& [file, content] : Files()) versions[file].insert(content);
  }
  ASSERT_GE(versions.size(), 5u);
  ASSERT_EQ(versions["user/4817293/2026-12-08.json"].size(), 2u) << "the variants give different snapshots";
  ASSERT_GT(versions["user/4817293/2026-12-08.json"].begin()->size(), kPaddingBytes);

  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> moment_ms(5, 400);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(4);
  int kills = 0;
  int temporary_left = 0;
  for (; kills < KillCount() && std::chrono::steady_clock::now() < deadline; ++kills) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SearchForever();
    std::this_thread::sleep_for(std::chrono::milliseconds(moment_ms(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);

    for (const auto& [file, content] : Files()) {
      if (IsTemporary(file)) {
        ++temporary_left;
        // As if the next start came more than an hour later.
        fs::last_write_time(Cache() / file, fs::file_time_type::clock::now() - std::chrono::hours(2));
        continue;
      }
      ASSERT_TRUE(versions.count(file)) << "a file no search writes: " << file;
      ASSERT_TRUE(versions[file].count(content)) << file << " is neither version (" << content.size() << " bytes)";
      if (file.ends_with(".json") || file.ends_with(".id")) {
        ASSERT_TRUE(json::parse(content).present()) << file;
      }
    }
    RemoveStaleTemporaryFiles(testing::TestDisk(), Cache().string(), std::chrono::system_clock::now());
    for (const auto& [file, content] : Files()) {
      ASSERT_FALSE(IsTemporary(file)) << file << " survived the start";
    }
  }
  EXPECT_GE(kills, KillCount()) << "the kills took longer than their time bound";
  std::printf("[ crash    ] %d kills, %d temporary files left by them and removed at the next start\n", kills,
              temporary_left);
}

// Moves of older days killed at random moments, each time in a cache of its
// own: the next start finishes or redoes the interrupted move, and then every
// day reads as it was stored and only the plain window's files are left.
TEST(HistoryCrashTest, KilledMovesLoseNoDayAndLeaveNoStrayFile) {
  constexpr int kPlainDays = 3;
  const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  const std::string account = testing::PlayerYear::kAccountId;
  std::map<DateTime, std::string> stored;  // the days as a daily search leaves them
  {
    testing::MemoryDisk disk;
    disk.MakeFolders("/user/" + account);
    testing::PlayerYear(20, 3).Run(EncodeDate(2017, 3, 1), 30, [&](const std::string& text, AccountSnapshotFacts facts,
                                                                   SnapshotClock clock) {
      SaveAccountSnapshot(disk, text, facts, "/user/" + account, clock);
    });
    for (DateTime day : ListSnapshotDates(disk, "/user/" + account)) {
      stored[day] = disk.Text("/user/" + account + "/" + SnapshotFileName(day));
    }
  }
  const testing::ScratchFolder scratch;
  Disk& disk = testing::TestDisk();
  std::mt19937 random(20170301);
  std::uniform_int_distribution<int> moment_ms(2, 1200);
  int interrupted = 0;
  const int kills = std::min(KillCount(), 8);
  for (int kill_index = 0; kill_index < kills; ++kill_index) {
    const std::string cache = (scratch.path() / ("cache-" + std::to_string(kill_index))).string();
    const std::string folder = EntityFolderOf(UserCacheFolderOf(cache), account);
    ASSERT_TRUE(disk.MakeFolders(folder));
    for (const auto& [day, text] : stored) ASSERT_TRUE(disk.Write(JoinPath(folder, SnapshotFileName(day)), text));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HistoryService(disk, HistoryPlaceOf(cache, {}, kPlainDays), reference).CompactNow();
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(moment_ms(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    interrupted += WIFSIGNALED(status) ? 1 : 0;

    HistoryService history(disk, HistoryPlaceOf(cache, {}, kPlainDays), reference);
    const HistoryMoves moves = history.CompactNow();
    ASSERT_EQ(moves.failed, 0);
    ASSERT_EQ(AccountDays(disk, &history, folder, account).size(), stored.size());
    for (const auto& [day, text] : stored) {
      const StoredDayText read = ReadAccountDay(disk, &history, folder, account, day);
      ASSERT_TRUE(read.text == text) << FormatDate(day) << " after kill " << kill_index;
    }
    std::set<std::string> left;
    for (const FolderEntry& entry : disk.List(folder, Listing::kKinds)) left.insert(entry.name);
    std::set<std::string> window;
    for (auto day = stored.rbegin(); window.size() < kPlainDays; ++day) window.insert(SnapshotFileName(day->first));
    ASSERT_EQ(left, window) << "after kill " << kill_index;
  }
  std::printf("[ crash    ] %d of %d compactions killed before their end\n", interrupted, kills);
  EXPECT_GT(interrupted, 0) << "no kill came during the moves";
}

}  // namespace
}  // namespace tarvelo
