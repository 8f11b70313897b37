#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>

#include "acquire/memory_disk.h"
#include "cache_test_support.h"

namespace tarvelo {
namespace {

using testing::CapturedLog;
using testing::MemoryDisk;
using testing::NamesIn;
using testing::Put;
using testing::Slurp;
using testing::TempFolder;
using Names = std::vector<std::string>;

constexpr DateTime kNow = 42722.58680555555;  // 18.12.2016 14:05

// The names in a folder of the disk, sorted.
Names NamesOn(const Disk& disk, const std::string& folder) {
  Names names;
  for (const FolderEntry& entry : disk.List(folder, Listing::kKinds)) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CacheNames, OrdinaryNamesStayAsTheyAre) {
  EXPECT_EQ(CacheNamePart("Vasya_2000"), "Vasya_2000");
  EXPECT_EQ(CacheNamePart("Вася-Танкист"), "Вася-Танкист");
  EXPECT_EQ(CacheNamePart("...x"), "...x");
  EXPECT_EQ(IndexFileName("Vasya_2000", "12345"), "Vasya_2000=12345.id");
  EXPECT_EQ(IndexMaskByName("Vasya_2000"), "Vasya_2000=*.id");
  EXPECT_EQ(IndexMaskById("12345"), "*=12345.id");
  EXPECT_EQ(SnapshotFileName(EncodeDateTime(2016, 11, 3, 23, 59, 0)), "2016-11-03.json");
}

TEST(CacheNames, UnsafeCharactersAreEscapedReversiblyAndWithoutCollisions) {
  EXPECT_EQ(CacheNamePart("../x"), "..%2Fx");
  EXPECT_EQ(CacheNamePart("a\\b"), "a%5Cb");
  EXPECT_EQ(CacheNamePart(std::string("a\0b", 3)), "a%00b");
  EXPECT_EQ(CacheNamePart("."), "%2E");
  EXPECT_EQ(CacheNamePart(".."), "%2E%2E");
  EXPECT_EQ(CacheNamePart("*?=%"), "%2A%3F%3D%25");
  const std::vector<std::string> names = {"a/b", "a%2Fb", "a%b", "..", "%2E%2E", "x=1", std::string("\0", 1), "Вася"};
  std::set<std::string> parts;
  for (const auto& name : names) {
    std::string part = CacheNamePart(name);
    EXPECT_EQ(part.find_first_of(std::string("/\\*?=\0", 6)), std::string::npos) << part;
    EXPECT_EQ(OriginalCacheName(part), name);
    parts.insert(part);
  }
  EXPECT_EQ(parts.size(), names.size());
}

TEST(CacheNames, HostileNamesStayInsideTheirFolder) {
  MemoryDisk disk;
  const std::string cache = "/cache";
  ASSERT_TRUE(disk.MakeFolder(cache));
  std::string user = UserCacheFolderOf(cache);
  ASSERT_EQ(PrepareCacheFolder(disk, cache, user), "");
  std::string index = IndexFolderOf(user);
  ASSERT_EQ(PrepareCacheFolder(disk, user, index), "");
  for (std::string nick : {"../../escape", "..", "/abs", "a\\b"}) {
    ASSERT_TRUE(WriteTextFile(disk, "{}", JoinPath(index, IndexFileName(nick, "7"))));
  }
  std::string folder = EntityFolderOf(user, "..");
  EXPECT_EQ(PrepareCacheFolder(disk, user, folder), "");
  EXPECT_EQ(NamesOn(disk, cache), Names({"user"}));
  EXPECT_EQ(NamesOn(disk, user), Names({"%2E%2E", "index"}));
  EXPECT_EQ(NamesOn(disk, index).size(), 4u);
  EXPECT_EQ(NewestFile(disk, index, IndexMaskByName("../../escape")).name, "..%2F..%2Fescape=7.id");
}

TEST(CacheNames, WildcardsInATypedNameMatchOnlyThemselves) {
  MemoryDisk disk;
  disk.Put("/index/" + IndexFileName("Vasya", "1"), "v", kNow);
  EXPECT_EQ(NewestFile(disk, "/index", IndexMaskByName("*")).name, "");
  EXPECT_EQ(NewestFile(disk, "/index", IndexMaskByName("Vas?a")).name, "");
  disk.Put("/index/" + IndexFileName("*", "2"), "star", kNow);
  EXPECT_EQ(NewestFile(disk, "/index", IndexMaskByName("*")).name, "%2A=2.id");
}

TEST(MatchesMask, IgnoresLetterCaseAndMatchesWholeNames) {
  EXPECT_TRUE(MatchesMask("Vasya=123.id", "vasya=*.id"));
  EXPECT_TRUE(MatchesMask("ВАСЯ=5.id", "вася=*.id"));
  EXPECT_TRUE(MatchesMask("2016-11-13.JSON", "*.json"));
  EXPECT_TRUE(MatchesMask("ёж.dat", "?ж.dat"));
  EXPECT_FALSE(MatchesMask("x=15.id", "*=5.id"));
  EXPECT_FALSE(MatchesMask("a.json.bak", "*.json"));
  EXPECT_FALSE(MatchesMask("Vasya2=1.id", "vasya=*.id"));
}

TEST(NewestFile, TakesTheNewestMatchAndTheFirstNameAmongEqualDates) {
  MemoryDisk disk;
  disk.Put("/f/a.json", "a", EncodeDateTime(2016, 11, 13, 10, 0, 0));
  disk.Put("/f/b.json", "b", EncodeDateTime(2016, 11, 14, 10, 0, 0));
  // Later within the same second: the dates are equal to the second.
  disk.Put("/f/c.json", "c", EncodeDateTime(2016, 11, 14, 10, 0, 0, 700));
  disk.Put("/f/z.txt", "z", EncodeDateTime(2017, 1, 1, 0, 0, 0));
  disk.MakeFolder("/f/d.json");

  NewestFileResult newest = NewestFile(disk, "/f", "*.JSON");
  EXPECT_EQ(newest.name, "b.json");
  EXPECT_DOUBLE_EQ(newest.date, EncodeDateTime(2016, 11, 14, 10, 0, 0));

  NewestFileResult none = NewestFile(disk, "/f", "*.id");
  EXPECT_EQ(none.name, "");
  EXPECT_EQ(none.date, 0.0);
  EXPECT_EQ(NewestFile(disk, "/f/missing", "*").name, "");
  EXPECT_EQ(disk.ModifiedDate("/f/missing"), 0.0);
}

TEST(ListSnapshotDates, ListsDatedSnapshotsNewestFirst) {
  MemoryDisk disk;
  for (const char* name : {"2016-11-13.json", "2016-11-15.json", "notes.json", "2016-02-30.json", "2016-11-14.txt",
                           "2015-01-02.JSON"}) {
    disk.Put(std::string("/f/") + name, "{}", kNow);
  }
  disk.MakeFolder("/f/2016-11-16.json");
  std::vector<DateTime> dates = ListSnapshotDates(disk, "/f");
  ASSERT_EQ(dates.size(), 3u);
  EXPECT_EQ(dates[0], EncodeDate(2016, 11, 15));
  EXPECT_EQ(dates[1], EncodeDate(2016, 11, 13));
  EXPECT_EQ(dates[2], EncodeDate(2015, 1, 2));
}

TEST(TextFiles, ReadGivesTheDefaultAndLogsWhenTheFileIsMissing) {
  TempFolder folder;
  CapturedLog log;
  Disk& disk = testing::TestDisk();
  EXPECT_EQ(ReadTextFile(disk, folder / "none.json", "fallback"), "fallback");
  EXPECT_TRUE(log.Has("Чтение файла: " + (folder / "none.json")));
  EXPECT_TRUE(log.Has("ОШИБКА: Файл не найден!"));
  std::filesystem::create_directory(folder / "folder.json");
  EXPECT_EQ(ReadTextFile(disk, folder / "folder.json", "fallback"), "fallback");

  Put(folder / "bytes.dat", std::string("a\0\xFF\r\n", 5));
  EXPECT_EQ(ReadTextFile(disk, folder / "bytes.dat", ""), std::string("a\0\xFF\r\n", 5));
  const std::string large(300000, 'L');
  Put(folder / "large.dat", large);
  EXPECT_EQ(ReadTextFile(disk, folder / "large.dat", ""), large);
}

TEST(TextFiles, WriteCreatesOneFolderLevelReplacesTheFileAndDatesItByTheClock) {
  TempFolder folder;
  CapturedLog log;
  const std::unique_ptr<Disk> disk = MakeRealDisk([] { return kNow; });
  std::string path = folder / "123/2016-12-18.json";
  ASSERT_TRUE(WriteTextFile(*disk, "first", path));
  chmod(path.c_str(), 0600);
  ASSERT_TRUE(WriteTextFile(*disk, "second", path));
  EXPECT_EQ(Slurp(path), "second");
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(NamesIn(folder / "123"), Names({"2016-12-18.json"}));
  EXPECT_DOUBLE_EQ(disk->ModifiedDate(path), EncodeDateTime(2016, 12, 18, 14, 5, 0));
  EXPECT_TRUE(log.Has("Запись файла: " + path));

  EXPECT_FALSE(WriteTextFile(*disk, "x", folder / "a/b/c.json"));
  EXPECT_TRUE(log.Has("ОШИБКА: Не удалось создавть папку!"));
}

TEST(TextFiles, ARewriteKeepsTheDateToTheNanosecond) {
  MemoryDisk disk;
  const FileTime old = *FileTimeOf(EncodeDateTime(2016, 11, 1, 10, 0, 0)) + std::chrono::nanoseconds(123456789);
  disk.Put("/f/2016-11-01.json", "old layout", kNow);
  disk.SetModified("/f/2016-11-01.json", old);
  disk.SetNow(kNow);
  ASSERT_TRUE(RewriteKeepingDate(disk, "new layout", "/f/2016-11-01.json"));
  EXPECT_EQ(disk.Text("/f/2016-11-01.json"), "new layout");
  EXPECT_EQ(disk.Facts("/f/2016-11-01.json")->modified, old);
  disk.FailWrites(true);
  EXPECT_FALSE(RewriteKeepingDate(disk, "newer", "/f/2016-11-01.json"));
  EXPECT_EQ(disk.Text("/f/2016-11-01.json"), "new layout");
}

TEST(TextFiles, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  CapturedLog log;
  Disk& disk = testing::TestDisk();
  std::string path = folder / "2016-12-18.json";
  ASSERT_TRUE(WriteTextFile(disk, "good old snapshot", path));

  // A disk that fills up in the middle of the write.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  bool written = WriteTextFile(disk, std::string(5000, 'x'), path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(written);
  EXPECT_TRUE(log.Has("ОШИБКА: Не удалось записать файл!"));
  EXPECT_EQ(Slurp(path), "good old snapshot");
  EXPECT_EQ(NamesIn(folder.path()), Names({"2016-12-18.json"}));

  // A rename that cannot replace its target (a folder in the way).
  std::filesystem::create_directories(folder / "busy.json/inside");
  EXPECT_FALSE(WriteTextFile(disk, "x", folder / "busy.json"));
  EXPECT_EQ(NamesIn(folder.path()), Names({"2016-12-18.json", "busy.json"}));
}

TEST(TextFiles, AWriteIntoAReadOnlyFolderFailsCleanly) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempFolder folder;
  Disk& disk = testing::TestDisk();
  std::string path = folder / "f.json";
  ASSERT_TRUE(WriteTextFile(disk, "old", path));
  chmod(folder.path().c_str(), 0555);
  EXPECT_FALSE(WriteTextFile(disk, "new", path));
  chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(Slurp(path), "old");
}

TEST(Freshness, UnderTheLimitIsFreshAtTheLimitIsNot) {
  const double minute = 1.0 / 1440;
  EXPECT_TRUE(IsFresh(kNow - 179 * minute, SnapshotFresh, kNow));
  EXPECT_FALSE(IsFresh(kNow - 180 * minute, SnapshotFresh, kNow));
  EXPECT_TRUE(IsFresh(kNow + 179 * minute, SnapshotFresh, kNow));  // a clock set back
  EXPECT_TRUE(IsFresh(kNow - 719 * minute, SideFileFresh, kNow));
  EXPECT_FALSE(IsFresh(kNow - 720 * minute, SideFileFresh, kNow));
}

TEST(Freshness, CachedFileFollowsTheFileDateAndTheUpdateFlag) {
  MemoryDisk disk;
  disk.Put("/f/2016-12-18.json", "{}", EncodeDateTime(2016, 12, 18, 11, 6, 0));  // 179 minutes ago

  CachedFile fresh = FindCachedFile(disk, "/f", kSnapshotMask, SnapshotFresh, false, kNow);
  EXPECT_EQ(fresh.path, "/f/2016-12-18.json");
  EXPECT_TRUE(fresh.fresh);

  CachedFile ignored = FindCachedFile(disk, "/f", kSnapshotMask, SnapshotFresh, true, kNow);
  EXPECT_EQ(ignored.path, "");
  EXPECT_EQ(ignored.date, 0.0);
  EXPECT_FALSE(ignored.fresh);

  SetFileDate(disk, "/f/2016-12-18.json", EncodeDateTime(2016, 12, 18, 11, 5, 0));  // 180 minutes ago
  EXPECT_FALSE(FindCachedFile(disk, "/f", kSnapshotMask, SnapshotFresh, false, kNow).fresh);
}

TEST(CacheFolders, MissingRootsAndUncreatableFoldersGiveTheMessage) {
  MemoryDisk disk;
  disk.MakeFolder("/cache");
  std::string user = UserCacheFolderOf("/cache");
  std::string account = EntityFolderOf(user, "42");
  EXPECT_EQ(PrepareCacheFolder(disk, user, account),
            "ОШИБКА: Не удалось создать папку для хранения кеша данных: " + user);
  ASSERT_EQ(PrepareCacheFolder(disk, "/cache", user), "");
  EXPECT_EQ(PrepareCacheFolder(disk, user, account), "");
  EXPECT_EQ(PrepareCacheFolder(disk, user, account), "");  // already there
  disk.Put(JoinPath(user, "index"), "a file in the way", kNow);
  EXPECT_EQ(PrepareCacheFolder(disk, user, IndexFolderOf(user)),
            "ОШИБКА: Не удалось создать папку для хранения кеша данных: " + IndexFolderOf(user));
}

// The date rule, with the clock at 18.12.2016 14:05 Moscow time (UTC+3).
class SnapshotDates : public ::testing::Test {
 protected:
  SnapshotDates() { disk_.MakeFolders(kAccount); }

  Names Save(DateTime last_battle, bool inconsistent = false) {
    AccountSnapshotFacts facts{last_battle, inconsistent};
    EXPECT_EQ(SaveAccountSnapshot(disk_, "new", facts, kAccount, SnapshotClockAt(kNow)), std::vector<std::string>());
    return NamesOn(disk_, kAccount);
  }
  void Put(const std::string& name, std::string_view text) { disk_.Put(kAccount + ("/" + name), text, kNow); }
  std::string Text(const std::string& name) const { return disk_.Text(kAccount + ("/" + name)); }

  static constexpr const char* kAccount = "/cache/user/42";
  MemoryDisk disk_;
};

TEST_F(SnapshotDates, TheClockReadsTheZoneHours) {
  SnapshotClock now = SnapshotClockAt(kNow);
  EXPECT_EQ(now.zone_hours, 3);
  EXPECT_EQ(now.today, EncodeDate(2016, 12, 18));
}

TEST_F(SnapshotDates, FirstLookGoesUnderTheLastBattleAndYesterday) {
  EXPECT_EQ(Save(EncodeDateTime(2016, 12, 15, 10, 0, 0)), Names({"2016-12-15.json", "2016-12-17.json"}));
}

TEST_F(SnapshotDates, NothingNewSinceAStoredDayGoesUnderYesterdayOnly) {
  Put("2016-12-15.json", "old");
  Put("2016-12-17.json", "older");
  EXPECT_EQ(Save(EncodeDateTime(2016, 12, 15, 10, 0, 0)), Names({"2016-12-15.json", "2016-12-17.json"}));
  EXPECT_EQ(Text("2016-12-15.json"), "old");
  EXPECT_EQ(Text("2016-12-17.json"), "new");
}

TEST_F(SnapshotDates, NeverPlayedGoesUnderYesterdayOnly) {
  EXPECT_EQ(Save(UnixToDateTime(0)), Names({"2016-12-17.json"}));
}

TEST_F(SnapshotDates, PlayedTodayGoesUnderTodayOnly) {
  EXPECT_EQ(Save(EncodeDateTime(2016, 12, 18, 9, 0, 0)), Names({"2016-12-18.json"}));
}

TEST_F(SnapshotDates, PlayedYesterdayGoesUnderYesterdayOnce) {
  AccountSnapshotFacts facts{EncodeDateTime(2016, 12, 17, 22, 0, 0), false};
  auto nothing_stored = [](DateTime) { return false; };
  EXPECT_EQ(PlanSnapshotDates(facts, SnapshotClockAt(kNow), nothing_stored), std::vector<DateTime>({facts.last_battle}));
  EXPECT_EQ(Save(facts.last_battle), Names({"2016-12-17.json"}));
}

TEST_F(SnapshotDates, InconsistentBattlesDoNotOverwriteAStoredDay) {
  Put("2016-12-15.json", "old");
  // Stored under the current UTC time (18.12 11:05) instead of yesterday.
  EXPECT_EQ(Save(EncodeDateTime(2016, 12, 15, 10, 0, 0), true), Names({"2016-12-15.json", "2016-12-18.json"}));
  EXPECT_EQ(Text("2016-12-15.json"), "old");
}

TEST_F(SnapshotDates, FailedWritesAreReportedPerFile) {
  std::string folder = "/cache/missing/42";
  AccountSnapshotFacts facts{EncodeDateTime(2016, 12, 15, 10, 0, 0), false};
  EXPECT_EQ(SaveAccountSnapshot(disk_, "new", facts, folder, SnapshotClockAt(kNow)),
            std::vector<std::string>({"ОШИБКА: Не удалось сохранить файл данных: " + folder + "/2016-12-15.json",
                                      "ОШИБКА: Не удалось сохранить файл данных: " + folder + "/2016-12-17.json"}));
}

// What interrupted safe writes leave behind goes at start-up once it is an hour
// old; anything else, or anything younger, or deeper in the tree, stays.
TEST(CacheTemporaryFiles, OnlyOldTemporaryFilesOfTheProgramAreRemoved) {
  TempFolder root;
  const std::string cache = root.path() + "/cache";
  for (const char* folder : {"", "/user", "/user/index", "/user/123", "/user/123/deep", "/clan", "/clan/77"}) {
    std::filesystem::create_directories(cache + folder);
  }
  struct Case {
    std::string path;
    int age_minutes;
    bool removed;
  };
  const std::vector<Case> cases = {
      {"/.tarvelo-a1B2c3", 90, true},          {"/debug.txt.Zz9Yy8", 61, true},
      {"/user/.tarvelo-Qw3rty", 600, true},    {"/user/index/.tarvelo-000000", 61, true},
      {"/user/123/.tarvelo-abcdef", 61, true}, {"/clan/77/.tarvelo-ABCDEF", 61, true},
      {"/user/123/.tarvelo-young1", 59, false},         // a write may be under way
      {"/user/123/deep/.tarvelo-abcdef", 600, false},   // below the program's folders
      {"/user/123/.tarvelo-abcdefg", 600, false},       // not what mkstemp makes
      {"/user/123/.tarvelo-ab.def", 600, false},        {"/user/123/2016-11-13.json", 600, false},
      {"/user/123/tarvelo-abcdef", 600, false},         {"/clan/77/.tarvelo-abc", 600, false},
  };
  for (const Case& c : cases) {
    Put(cache + c.path, "x");
    const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(c.age_minutes);
    std::filesystem::last_write_time(cache + c.path, stamp);
  }
  // A link named like a temporary file is not followed, nor removed.
  std::filesystem::create_symlink(cache + "/user/123/2016-11-13.json", cache + "/user/.tarvelo-link01");
  std::filesystem::create_directory(cache + "/clan/.tarvelo-dir001");

  Disk& disk = testing::TestDisk();
  const FileTime now = std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
  EXPECT_EQ(RemoveStaleTemporaryFiles(disk, cache, now), 6);
  for (const Case& c : cases) EXPECT_EQ(std::filesystem::exists(cache + c.path), !c.removed) << c.path;
  EXPECT_TRUE(std::filesystem::is_symlink(cache + "/user/.tarvelo-link01"));
  EXPECT_TRUE(std::filesystem::is_directory(cache + "/clan/.tarvelo-dir001"));
  EXPECT_EQ(RemoveStaleTemporaryFiles(disk, root.path() + "/missing", now), 0);
}

}  // namespace
}  // namespace tarvelo
