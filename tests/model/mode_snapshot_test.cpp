// The one-mode paths of the day strip give exactly what the whole records give:
// ParseModeSnapshot against ParseAccount, PeriodModeStats against PeriodDelta,
// on every demo snapshot, in every battle mode; ParseModeSnapshot also on the
// document pruned for its mode.
#include "model/mode_snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/period.h"
#include "model/snapshot.h"
#include "model/tables.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

const ReferenceData& DemoReference() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Snapshot {
  std::string name;
  std::string account_id;
  json::Value document;
  std::string text;
};

// The stored days of the demo player, newest first, and the merged documents of
// every demo player; each also with its vehicles' random blocks renamed away,
// so that the random blocks are derived from the others.
std::vector<Snapshot> DemoSnapshots() {
  std::vector<Snapshot> snapshots;
  const std::filesystem::path demo = TARVELO_DEMO_ANSWERS;
  auto add = [&](const std::filesystem::path& path, const std::string& id) {
    const std::string text = Slurp(path);
    snapshots.push_back({path.filename().string(), id, json::parse(text), text});
    const std::string without_random = ReplaceAll(text, "\"random\":{\"", "\"random_gone\":{\"");
    snapshots.push_back(
        {path.filename().string() + " without random", id, json::parse(without_random), without_random});
  };
  std::vector<std::filesystem::path> days;
  for (const auto& entry : std::filesystem::directory_iterator(demo / "history" / "4817293")) days.push_back(entry.path());
  std::sort(days.rbegin(), days.rend());
  for (const auto& day : days) add(day, "4817293");
  for (const auto& entry : std::filesystem::directory_iterator(demo / "expected")) {
    const std::string stem = entry.path().stem().string();
    add(entry.path(), stem.substr(stem.find('_') + 1));
  }
  return snapshots;
}

RWOTAccount Parsed(const Snapshot& snapshot, int mode) {
  RWOTAccount account;
  account.AccountId = snapshot.account_id;
  ParseAccount(account, snapshot.document, true, false, mode, DemoReference());
  return account;
}

TEST(ModeSnapshot, ParsedAloneEqualsTheModeOfTheWholeRecord) {
  const std::vector<Snapshot> snapshots = DemoSnapshots();
  ASSERT_GE(snapshots.size(), 20u);
  size_t vehicles = 0;
  size_t whole_bytes = 0;
  size_t pruned_bytes = 0;
  for (const Snapshot& snapshot : snapshots) {
    ASSERT_TRUE(snapshot.document.present()) << snapshot.name;
    RWOTAccount model;
    model.AccountId = snapshot.account_id;
    for (int mode = 0; mode < kModeCount; ++mode) {
      const ModeSnapshot whole = ModeSnapshotOf(Parsed(snapshot, mode), mode);
      EXPECT_TRUE(ParseModeSnapshot(model, snapshot.document, mode, DemoReference()) == whole)
          << snapshot.name << ", mode " << BattleModes[mode].key;
      const json::Value pruned = json::parse(snapshot.text, ModeSnapshotPruning(mode));
      EXPECT_TRUE(ParseModeSnapshot(model, pruned, mode, DemoReference()) == whole)
          << snapshot.name << ", pruned, mode " << BattleModes[mode].key;
      pruned_bytes += json::print(pruned).size();
      whole_bytes += json::print(snapshot.document).size();
      vehicles += whole.vehicles.size();
    }
  }
  EXPECT_GT(vehicles, 500u) << "the modes hold vehicles to compare";
  EXPECT_LT(pruned_bytes, whole_bytes / 2) << "the pruned documents leave out the other modes' blocks";
  // No account data: the model's own figures, as ParseAccount leaves the model alone.
  RWOTAccount model;
  model.AccountId = "1";
  model.Stats[kModeAll].Battles = 5;
  EXPECT_TRUE(ParseModeSnapshot(model, json::parse(R"({"data":{"1":"x"}})"), kModeAll, DemoReference()) ==
              ModeSnapshotOf(model, kModeAll));
}

TEST(PeriodModeStats, EqualsTheModeBlockOfTheWholePeriod) {
  // The stored days, and the newest two of them with derived random blocks.
  std::vector<Snapshot> days;
  size_t derived = 0;
  for (Snapshot& snapshot : DemoSnapshots()) {
    if (snapshot.account_id != "4817293") continue;
    if (snapshot.name.ends_with("without random") && ++derived > 2) continue;
    days.push_back(std::move(snapshot));
  }
  ASSERT_GE(days.size(), 10u);
  // An older day whose first vehicle changed its id: the newer one has no
  // older copy and counts with zero blocks.
  Snapshot renamed = days.back();
  json::Value first = json::item(json::array(renamed.document, "data.vehicles"), 0);
  json::set_integer(first, "tank_id", 999999);
  days.push_back(renamed);

  size_t played = 0;
  for (int mode = 0; mode < kModeCount; ++mode) {
    std::vector<RWOTAccount> records;
    for (const Snapshot& day : days) records.push_back(Parsed(day, mode));
    // Every ordered pair: later days against earlier ones give lost battles
    // and gains beyond the period's battles.
    for (size_t newer = 0; newer < records.size(); ++newer) {
      for (size_t older = 0; older < records.size(); ++older) {
        const RWOTAccount period = PeriodDelta(records[newer], records[older], false, mode, DemoReference());
        const RWOTAccountStats block = PeriodModeStats(ModeSnapshotOf(records[newer], mode),
                                                       ModeSnapshotOf(records[older], mode), DemoReference());
        ASSERT_TRUE(block == period.Stats[mode])
            << days[newer].name << " since " << days[older].name << ", mode " << BattleModes[mode].key;
        played += period.Vehicles.size();
        // Sorted while it is made, the period is the unsorted one sorted afterwards.
        const RWOTAccount sorted = PeriodDelta(records[newer], records[older], true, mode, DemoReference());
        AVehicleStats expected = period.Vehicles;
        SortVehiclesByBattles(expected, mode);
        ASSERT_EQ(sorted.Vehicles.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
          ASSERT_EQ(sorted.Vehicles[i].TankId, expected[i].TankId) << i;
          ASSERT_TRUE(sorted.Vehicles[i].Stats == expected[i].Stats) << i;
        }
        ASSERT_TRUE(sorted.Stats == period.Stats);
        ASSERT_EQ(sorted.NamesByBadge, period.NamesByBadge);
      }
    }
  }
  EXPECT_GT(played, 1000u) << "the pairs have vehicles played between them";
}

TEST(StoredDay, GivesFiguresOfTheAskedModeOnly) {
  RWOTAccount record;
  record.Stats[kModeRandom].Battles = 7;
  ModeSnapshot made;
  const StoredDay whole(&record);
  ASSERT_NE(whole.Figures(kModeRandom, made), nullptr);
  EXPECT_EQ(whole.Figures(kModeRandom, made)->block.Battles, 7);
  const ModeSnapshot random = ModeSnapshotOf(record, kModeRandom);
  EXPECT_EQ(StoredDay(&random).Figures(kModeRandom, made), &random);
  EXPECT_EQ(StoredDay(&random).Figures(kModeAll, made), nullptr) << "figures of another mode cannot serve";
  EXPECT_FALSE(StoredDay(nullptr).usable());
  EXPECT_EQ(StoredDay(nullptr).Figures(kModeAll, made), nullptr);
}

}  // namespace
}  // namespace tarvelo
