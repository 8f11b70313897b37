#include "acquire/store/stored_snapshots.h"

#include <gtest/gtest.h>

#include "cache_test_support.h"
#include "model/tables.h"

namespace tarvelo::testing {
namespace {

std::string SnapshotText(int battles) {
  return R"({"status":"ok","data":{"77":{"nickname":"Someone","statistics":{"all":{"battles":)" +
         std::to_string(battles) + R"(,"wins":)" + std::to_string(battles / 2) + R"(}}},"vehicles":[]}})";
}

class StoredSnapshotsTest : public ::testing::Test {
 protected:
  StoredSnapshots Stored() {
    RWOTAccount model;
    model.AccountId = "77";
    model.ClanTag = "KEPT";
    return StoredSnapshots({&testing::TestDisk(), nullptr, folder_.path(), "77", {}, kModeAll, true, &reference_}, model);
  }

  FixedClock clock_{"2016-12-05T15:00:00"};
  TempFolder folder_;
  ReferenceData reference_;
};

TEST_F(StoredSnapshotsTest, ListsTheDaysNewestFirstAndParsesEachOnce) {
  Put(folder_ / "2016-12-01.json", SnapshotText(100));
  Put(folder_ / "2016-12-04.json", SnapshotText(130));
  Put(folder_ / "2016-11-30.json", SnapshotText(90));
  Put(folder_ / "notes.txt", "x");
  StoredSnapshots stored = Stored();
  ASSERT_EQ(stored.dates(), (ADateArr{EncodeDate(2016, 12, 4), EncodeDate(2016, 12, 1), EncodeDate(2016, 11, 30)}));

  CapturedLog log;
  const RWOTAccount* first = stored.At(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Stats[kModeAll].Battles, 100);
  EXPECT_EQ(first->ClanTag, "KEPT") << "what the snapshot does not hold comes from the model";
  EXPECT_EQ(stored.At(1), first);
  EXPECT_EQ(log.Count("Чтение файла: "), 1u);
  std::filesystem::remove(folder_ / "2016-12-01.json");
  EXPECT_EQ(stored.At(1), first) << "kept once read";
  EXPECT_EQ(stored.At(3), nullptr);
}

TEST_F(StoredSnapshotsTest, GivesNothingForFilesThatCannotBeUsed) {
  Put(folder_ / "2016-12-04.json", R"({"status":"error","error":{"message":"x"}})");
  Put(folder_ / "2016-12-03.json", R"({"status":"ok","data":{"78":{"nickname":"Other"}}})");
  Put(folder_ / "2016-12-02.json", "Ошибка соединения");
  Put(folder_ / "2016-12-01.json", R"({"status":"ok","data":{"77":null}})");
  Put(folder_ / "2016-11-30.json", "");
  StoredSnapshots stored = Stored();
  ASSERT_EQ(stored.dates().size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(stored.At(i), nullptr) << i;
}

// The battles of the selected mode as ModeAt gives them; -1 for a day that cannot be used.
int32_t ModeBattles(StoredSnapshots& stored, size_t index) {
  ModeSnapshot made;
  const ModeSnapshot* figures = stored.ModeAt(index).Figures(kModeAll, made);
  return figures != nullptr ? figures->block.Battles : -1;
}

TEST_F(StoredSnapshotsTest, PreparedDaysGiveWhatReadingThemOnDemandGivesAndAreReadOnce) {
  Put(folder_ / "2016-12-04.json", SnapshotText(130));
  Put(folder_ / "2016-12-03.json", SnapshotText(120));
  Put(folder_ / "2016-12-02.json", "Ошибка соединения");
  Put(folder_ / "2016-12-01.json", SnapshotText(100));
  StoredSnapshots on_demand = Stored();
  CapturedLog log;
  StoredSnapshots prepared = Stored();
  prepared.PrepareModes({1, 2, 3, 9});
  StoredSnapshots moved = std::move(prepared);
  for (size_t day = 0; day < 5; ++day) EXPECT_EQ(ModeBattles(moved, day), ModeBattles(on_demand, day)) << day;
  EXPECT_EQ(ModeBattles(moved, 3), 100);
  EXPECT_EQ(ModeBattles(moved, 2), -1);
  // Days 1 to 3 on the preparing thread, day 0 on demand, and the on-demand object's four.
  EXPECT_EQ(log.Count("Чтение файла: "), 8u);
  ASSERT_NE(moved.Take(1), nullptr) << "a whole record is still read";
  EXPECT_EQ(ModeBattles(moved, 1), 120);
  EXPECT_EQ(log.Count("Чтение файла: "), 9u);

  // Going away while the thread still reads waits for it.
  StoredSnapshots left = Stored();
  left.PrepareModes({0, 1, 2, 3});
}

// Whichever days the page reads itself while the thread reads others, each
// file is read once and every day gives its own figures.
TEST_F(StoredSnapshotsTest, PreparedDaysAreSharedBetweenThePageAndTheThread) {
  for (int day = 1; day <= 9; ++day) {
    Put(folder_ / ("2016-11-0" + std::to_string(day) + ".json"), SnapshotText(100 + day));
  }
  CapturedLog log;
  for (int round = 0; round < 20; ++round) {
    StoredSnapshots stored = Stored();
    stored.PrepareModes({1, 2, 3, 4, 5, 6, 7, 1});
    const bool backwards = round % 2 == 1;
    for (size_t k = 0; k < 9; ++k) {
      const size_t day = backwards ? 8 - k : k;
      EXPECT_EQ(ModeBattles(stored, day), static_cast<int32_t>(109 - day)) << round << ", day " << day;
    }
  }
  EXPECT_EQ(log.Count("Чтение файла: "), 20u * 9);
}

}  // namespace
}  // namespace tarvelo::testing
