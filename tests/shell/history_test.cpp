// The history of stored days: a generated stretch of daily play saved by the
// program's own saving code, then moved into the archive, read back, summarized,
// damaged and refused a write.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "acquire/store/account_days.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/history_service.h"
#include "acquire/store/snapshot_dates.h"
#include "acquire/store/summary_rows.h"
#include "embedded.h"
#include "acquire/memory_disk.h"
#include "model/period.h"
#include "model/tables.h"
#include "player_year.h"
#include "shell/history_commands.h"

namespace tarvelo {
namespace {

using testing::PlayerYear;

const ReferenceData& Documents() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

// Runs SQL on the archive's database beside the service's own connection.
void OnDatabase(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

class HistoryTest : public ::testing::Test {
 protected:
  static constexpr char kCache[] = "/data/cache";
  const std::string account_ = PlayerYear::kAccountId;

  std::string Folder() const { return EntityFolderOf(UserCacheFolderOf(kCache), account_); }
  // One database per test: ctest runs them side by side.
  std::string Database() const {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return (std::filesystem::path(::testing::TempDir()) / ("history-" + test + ".sqlite")).string();
  }

  void SetUp() override { RemoveDatabase(); }
  void TearDown() override { RemoveDatabase(); }
  void RemoveDatabase() const {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(Database() + suffix);
  }

  // `days` days of play from 1 March 2017, saved every evening; returns the stored files' texts.
  std::map<DateTime, std::string> StoreDays(int days, int vehicles = 20, const std::vector<int64_t>& ids = {}) {
    disk_.MakeFolders(Folder());
    PlayerYear year(vehicles, 11, ids);
    year.Run(EncodeDate(2017, 3, 1), days, [&](const std::string& text, AccountSnapshotFacts facts, SnapshotClock clock) {
      disk_.SetNow(clock.now);
      SaveAccountSnapshot(disk_, text, facts, Folder(), clock);
    });
    std::map<DateTime, std::string> stored;
    for (DateTime day : ListSnapshotDates(disk_, Folder())) stored[day] = disk_.Text(JoinPath(Folder(), SnapshotFileName(day)));
    return stored;
  }

  std::unique_ptr<HistoryService> Service(int plain_days) {
    HistoryPlace place = HistoryPlaceOf(kCache, {}, plain_days);
    place.database = Database();
    return std::make_unique<HistoryService>(disk_, place, Documents());
  }

  std::vector<DateTime> Days(HistoryService& history) { return AccountDays(disk_, &history, Folder(), account_); }
  StoredDayText Read(HistoryService& history, DateTime day) {
    return ReadAccountDay(disk_, &history, Folder(), account_, day);
  }

  // A history command's exit code, with what it printed.
  int Command(HistoryService& history, std::vector<std::string> arguments) {
    std::ostringstream out, err;
    const int code = RunHistoryCommand(arguments, history, disk_, kCache, out, err);
    printed = out.str();
    errors = err.str();
    return code;
  }

  testing::MemoryDisk disk_;
  std::string printed, errors;
};

TEST_F(HistoryTest, OlderDaysMoveIntoTheArchiveAndReadBackByteForByte) {
  const std::map<DateTime, std::string> stored = StoreDays(120);
  ASSERT_GT(stored.size(), 90u);
  auto history = Service(7);
  ASSERT_TRUE(history->available()) << history->problem();
  const HistoryMoves moves = history->CompactNow();
  EXPECT_EQ(moves.days, static_cast<int>(stored.size()) - 7);
  EXPECT_EQ(moves.failed, 0);
  EXPECT_EQ(ListSnapshotDates(disk_, Folder()).size(), 7u) << "the plain window stays files";

  const std::vector<DateTime> days = Days(*history);
  ASSERT_EQ(days.size(), stored.size());
  EXPECT_TRUE(std::is_sorted(days.rbegin(), days.rend())) << "newest first";
  for (const auto& [day, text] : stored) {
    const StoredDayText read = Read(*history, day);
    EXPECT_EQ(read.archived, day < days[6]) << FormatDate(day);
    EXPECT_FALSE(read.damaged);
    EXPECT_TRUE(read.text == text) << FormatDate(day) << " reads back other bytes";
  }
  const ArchiveSizes sizes = history->Sizes();
  EXPECT_EQ(sizes.days, moves.days);
  EXPECT_LT(sizes.frame_bytes * 20, sizes.raw_bytes) << "the archive is a small part of the files";

  // A later start finds nothing more to move, and a kept file of an archived day (a
  // move cut short before the file went) is removed without a second row.
  const DateTime oldest = stored.begin()->first;
  disk_.Put(JoinPath(Folder(), SnapshotFileName(oldest)), stored.begin()->second, oldest);
  EXPECT_EQ(Service(7)->CompactNow().days, 1);
  EXPECT_EQ(ListSnapshotDates(disk_, Folder()).size(), 7u);
  EXPECT_EQ(Service(7)->Sizes().days, moves.days);
}

TEST_F(HistoryTest, SummariesGiveEachStepAndSumToTheWholePeriod) {
  const std::map<DateTime, std::string> stored = StoreDays(45, 80, testing::RatedVehicleIds(Documents()));
  auto history = Service(-1);
  const std::vector<SummaryDay> plain = history->Summaries(account_, kModeAll);
  ASSERT_EQ(plain.size(), stored.size());

  // Each step is the difference of two neighbouring days, rated as the period between them.
  for (size_t i = 0; i + 1 < plain.size(); ++i) {
    const ModeDay& day = plain[i].figures;
    const ModeDay& before = plain[i + 1].figures;
    ASSERT_TRUE(day.has_step);
    EXPECT_EQ(day.step.battles, day.total.battles - before.total.battles);
    EXPECT_EQ(day.step.damage, day.total.damage - before.total.damage);
    if (day.step.battles > 0) {
      EXPECT_NEAR(SummedWn8(day.sums), day.step.wn8, 0.01) << FormatDate(plain[i].day);
      EXPECT_NEAR(SummedEff(day.step, day.sums), day.step.eff, 0.01) << FormatDate(plain[i].day);
    }
  }
  EXPECT_FALSE(plain.back().figures.has_step) << "the first day has nothing before it";
  EXPECT_GT(plain.front().figures.total.wn8, 0) << "the vehicles have expected values";

  // Thirty steps summed rate as the period from the thirtieth day back.
  DayTotals totals;
  RatingSums sums;
  for (size_t i = 0; i < 30; ++i) {
    totals += plain[i].figures.step;
    sums += plain[i].figures.sums;
  }
  const auto modes_of = [&](DateTime day) {
    return AllModesOf(account_, json::parse(stored.at(day)), Documents());
  };
  const RWOTAccountStats period =
      PeriodModeStats(modes_of(plain[0].day)[kModeAll], modes_of(plain[30].day)[kModeAll], Documents());
  EXPECT_EQ(totals.battles, period.Battles);
  EXPECT_NEAR(SummedWn8(sums), period.rateWN8, 0.05);
  EXPECT_NEAR(SummedEff(totals, sums), period.rateEFF, 0.05);

  // The days keep their summaries when they move, and a mode played now and then
  // has a day for every stored day.
  history.reset();
  history = Service(7);
  history->CompactNow();
  EXPECT_EQ(history->Summaries(account_, kModeAll), plain);
  const std::vector<SummaryDay> random = history->Summaries(account_, kModeRandom);
  ASSERT_EQ(random.size(), plain.size());
  EXPECT_LE(random.front().figures.total.battles, plain.front().figures.total.battles);
}

TEST_F(HistoryTest, ARewrittenOrRemovedDayIsSummarizedAgain) {
  const std::map<DateTime, std::string> stored = StoreDays(12);
  auto history = Service(-1);
  const std::vector<SummaryDay> before = history->Summaries(account_, kModeAll);
  ASSERT_GE(before.size(), 4u);

  // The newest day searched again later on the same day: another text, a later time.
  const DateTime newest = before[0].day;
  const std::string older_text = stored.at(before[2].day);
  disk_.SetNow(newest + 0.99);
  disk_.Write(JoinPath(Folder(), SnapshotFileName(newest)), older_text);
  std::vector<SummaryDay> after = history->Summaries(account_, kModeAll);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[0].figures.total, before[2].figures.total);
  EXPECT_LE(after[0].figures.step.battles, 0);

  // A day removed from the middle: the next day's step starts from the day before it.
  disk_.Remove(JoinPath(Folder(), SnapshotFileName(before[2].day)));
  after = history->Summaries(account_, kModeAll);
  ASSERT_EQ(after.size(), before.size() - 1);
  EXPECT_EQ(after[1].day, before[1].day);
  EXPECT_EQ(after[1].figures.step.battles, before[1].figures.total.battles - before[3].figures.total.battles);
}

TEST_F(HistoryTest, AFlippedByteIsReportedAndTheChainHealsAtTheNextKeyFrame) {
  const std::map<DateTime, std::string> stored = StoreDays(110);
  auto history = Service(1);
  history->CompactNow();
  history.reset();
  // The second chain's key frame and a day in the middle of the first chain.
  std::vector<DateTime> archived(stored.size());
  std::transform(stored.begin(), stored.end(), archived.begin(), [](const auto& day) { return day.first; });
  archived.pop_back();  // the plain window
  const DateTime damaged = archived[10];
  OnDatabase(Database(), "UPDATE days SET frame = CAST(substr(frame, 1, 20) || x'5a' || substr(frame, 22) AS BLOB) "
                         "WHERE day = " + FormatDateTime("yyyymmdd", damaged) + ";");
  history = Service(1);
  bool healed = false;
  for (DateTime day : archived) {
    const StoredDayText read = Read(*history, day);
    if (day < damaged) {
      EXPECT_EQ(read.text, stored.at(day)) << "before the damage " << FormatDate(day);
    } else if (day == damaged || !healed) {
      healed = !read.damaged;
      if (healed) {
        EXPECT_EQ(read.text, stored.at(day));
      }
    } else {
      EXPECT_FALSE(read.damaged) << "after the next key frame " << FormatDate(day);
      EXPECT_EQ(read.text, stored.at(day));
    }
  }
  EXPECT_TRUE(healed) << "a key frame follows the damage";
  EXPECT_TRUE(Read(*history, damaged).damaged);

  EXPECT_EQ(Command(*history, {"--history-show", account_, FormatDateTime("yyyy-mm-dd", damaged)}), 1);
  EXPECT_EQ(printed, "");
  EXPECT_NE(errors.find(DamagedDayMessage(damaged)), std::string::npos) << errors;
}

TEST_F(HistoryTest, AFailedWriteLeavesTheFilesAndTheArchiveAsTheyWere) {
  const std::map<DateTime, std::string> stored = StoreDays(20);
  Service(-1)->Summaries(account_, kModeAll);  // makes the database and its tables
  OnDatabase(Database(), "CREATE TRIGGER full_disk BEFORE INSERT ON days BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
  auto history = Service(7);
  const HistoryMoves moves = history->CompactNow();
  EXPECT_EQ(moves.days, 0);
  EXPECT_GT(moves.failed, 0);
  EXPECT_EQ(ListSnapshotDates(disk_, Folder()).size(), stored.size());
  EXPECT_EQ(history->Sizes().days, 0);
  EXPECT_EQ(Command(*history, {"--history-compact"}), 1);
  EXPECT_NE(errors.find("не перенесено"), std::string::npos) << errors;

  history.reset();
  OnDatabase(Database(), "DROP TRIGGER full_disk;");
  history = Service(7);
  EXPECT_EQ(history->CompactNow().days, static_cast<int>(stored.size()) - 7);
  for (const auto& [day, text] : stored) EXPECT_EQ(Read(*history, day).text, text);

  disk_.MakeFolder("/export");
  disk_.FailWrites(true);
  EXPECT_EQ(Command(*history, {"--history-export", account_, "/export"}), 1);
  EXPECT_NE(errors.find("не удалось записать /export/"), std::string::npos) << errors;
  EXPECT_TRUE(disk_.List("/export", Listing::kKinds).empty());
}

TEST_F(HistoryTest, TheCommandsListShowSizeAndExportTheDays) {
  const std::map<DateTime, std::string> stored = StoreDays(30);
  auto history = Service(7);
  ASSERT_EQ(Command(*history, {"--history-compact"}), 0) << errors;
  EXPECT_EQ(printed, account_ + ": в архив перенесено " + std::to_string(stored.size() - 7) + " дней\n"
                     "Всего в архив перенесено " + std::to_string(stored.size() - 7) + " дней\n");

  ASSERT_EQ(Command(*history, {"--history-days", account_}), 0) << errors;
  std::string expected_days;
  for (auto day = stored.rbegin(); day != stored.rend(); ++day) expected_days += FormatDateTime("yyyy-mm-dd", day->first) + "\n";
  EXPECT_EQ(printed, expected_days);

  for (const auto& [day, text] : {*stored.begin(), *stored.rbegin()}) {  // archived, plain
    ASSERT_EQ(Command(*history, {"--history-show", account_, FormatDateTime("yyyy-mm-dd", day)}), 0) << errors;
    EXPECT_TRUE(printed == text);
  }

  ASSERT_EQ(Command(*history, {"--history-size"}), 0) << errors;
  EXPECT_NE(printed.find("Сохранённых дней: " + std::to_string(stored.size()) + ", простыми файлами: 7, в архиве: " +
                         std::to_string(stored.size() - 7) + "\n"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("\nbytes per archived day: "), std::string::npos);
  EXPECT_EQ(printed.back(), '\n');
  EXPECT_EQ(printed.rfind('\n', printed.size() - 2), printed.find("\nbytes per archived day: ")) << "the last line";

  ASSERT_EQ(Command(*history, {"--history-export", account_, "/export"}), 0) << errors;
  for (const auto& [day, text] : stored) EXPECT_TRUE(disk_.Text("/export/" + SnapshotFileName(day)) == text);

  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } refused[] = {
      {{"--history-days"}, "нужен номер игрока"},
      {{"--history-days", "12ab"}, "нужен номер игрока"},
      {{"--history-days", "999"}, "у игрока 999 нет сохранённых дней"},
      {{"--history-show", account_, "2017-02-30"}, "нужна дата вида"},
      {{"--history-show", account_, "1.3.2017"}, "нужна дата вида"},
      {{"--history-show", account_, "2016-01-01"}, "день 01.01.2016 игрока " + account_ + " не сохранён"},
      {{"--history-export", account_}, "нужна папка"},
  };
  for (const auto& [arguments, message] : refused) {
    EXPECT_EQ(Command(*history, arguments), 1) << arguments.back();
    EXPECT_EQ(printed, "") << arguments.back();
    EXPECT_NE(errors.find(message), std::string::npos) << arguments.back() << ": " << errors;
  }
}

TEST(SummaryRows, EncodeEveryFigureAndRefuseCutOrForeignBytes) {
  ModeDay day;
  day.mode = kModeCount - 1;
  day.total = {2147483647LL * 3, 5, -7, 0, 1, 2, 3, 4, 5, 1912.4000244140625, 0.5};
  day.has_step = true;
  day.step = {12, 7, 22476, 9, 11, 7000, 3, 14, 20, 1873.25, 1401.125};
  day.sums = {12345.5, 10.25, 13.5, 8.75, 6.5, 12, 22000, 9, 11, 14, 7, 7.25 * 12};
  const std::string bytes = EncodeModeDay(day);
  EXPECT_EQ(DecodeModeDay(bytes), day);
  EXPECT_LT(bytes.size(), 120u);
  for (size_t cut : {size_t{0}, size_t{1}, bytes.size() / 2, bytes.size() - 1}) {
    EXPECT_FALSE(DecodeModeDay(bytes.substr(0, cut))) << cut;
  }
  EXPECT_FALSE(DecodeModeDay(bytes + "x"));
  ModeDay first;  // no step: the step's figures take no room
  first.total.battles = 9;
  EXPECT_EQ(DecodeModeDay(EncodeModeDay(first)), first);
  EXPECT_LT(EncodeModeDay(first).size(), 24u);

  const DaySummary summary{first, day};
  EXPECT_EQ(DecodeDaySummary(EncodeDaySummary(summary)), summary);
  EXPECT_EQ(DecodeDaySummary(""), DaySummary{}) << "an idle day changes no mode";
  const std::string two = EncodeDaySummary(summary);
  EXPECT_FALSE(DecodeDaySummary(two.substr(0, two.size() - 3)));
  EXPECT_FALSE(DecodeDaySummary(two + '\x05'));
}

}  // namespace
}  // namespace tarvelo
