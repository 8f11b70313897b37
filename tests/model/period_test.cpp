// Period records: the difference of two blocks, of two parsed snapshots, and a
// small period checked figure by figure against hand-derived values.
#include "model/period.h"

#include <gtest/gtest.h>

#include "model/snapshot.h"
#include "model/tables.h"
#include "model_fixture.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

using testing::Snapshot;
using testing::SmallReference;

RWOTAccountStats Block(int32_t battles, int32_t wins, uint32_t damage_dealt, uint32_t damage_received) {
  RWOTAccountStats block;
  block.Battles = battles;
  block.Wins = wins;
  block.DamageDealt = damage_dealt;
  block.DamageReceived = damage_received;
  return block;
}

RWOTAccount Parse(const std::string& account_json, const std::string& vehicles_json) {
  RWOTAccount account;
  account.AccountId = "100";
  ParseAccount(account, Snapshot("100", account_json, vehicles_json), true, false, kModeAll, SmallReference());
  return account;
}

int32_t CountOf(const AAchievements& achievements, const std::string& key) {
  for (const RAchievements& entry : achievements) {
    if (entry.key == key) return entry.count;
  }
  return -1;
}

TEST(StatsDelta, DamageFiguresOfInconsistentOrOlderSnapshots) {
  // 1000 older battles without a damage figure: no damage, not the whole damage.
  EXPECT_EQ(StatsDelta(Block(1010, 500, 800000, 700000), Block(1000, 495, 0, 0)).DamageDealt, 0u);
  EXPECT_EQ(StatsDelta(Block(12, 5, 9000, 0), Block(2, 1, 0, 0)).DamageDealt, 9000u);  // two battles may deal none
  EXPECT_EQ(StatsDelta(Block(12, 5, 900, 0), Block(10, 4, 1000, 0)).DamageDealt, 0u);   // not wrapped
  const RWOTAccountStats received_less = StatsDelta(Block(20, 10, 15000, 9000), Block(10, 5, 7000, 9500));
  EXPECT_EQ(received_less.DamageReceived, 8000u);
  EXPECT_EQ(received_less.DamageKoef, 1.0f);
  // A period vehicle's modes without battles on either side are left zero without it.
  EXPECT_TRUE(StatsDelta({}, {}) == RWOTAccountStats{});
}

TEST(StatsDelta, RatiosOfThePeriodAlone) {
  RWOTAccountStats newer = Block(30, 20, 4000, 0);
  newer.Frags = 25;
  newer.SurvivedBattles = 12;
  newer.MaxFrags = 7;
  newer.MaxFragsTankId = "1";
  RWOTAccountStats older = Block(20, 12, 1000, 0);
  older.Frags = 15;
  older.SurvivedBattles = 2;
  older.MaxFrags = 5;
  RWOTAccountStats d = StatsDelta(newer, older);
  EXPECT_EQ(d.Draws, 2);     // 10 battles - 0 losses - 8 wins
  EXPECT_EQ(d.MaxFrags, 2);  // a new record
  EXPECT_TRUE(d.MaxFragsTankId.empty());
  EXPECT_FLOAT_EQ(d.WinsRatioChange, static_cast<float>(20.0 / 30 - 0.6 + 1e-9));
  EXPECT_EQ(d.FragsKoef, 0.0f);  // nobody died in the period: no frag ratios
  EXPECT_EQ(d.DamageWithoutExp, 3000u);  // no expected values in between
  EXPECT_EQ(d.DamageTop, 0.0f);
  newer.ExpDamageSum = 2500;
  older.ExpDamageSum = 1000;
  EXPECT_FLOAT_EQ(StatsDelta(newer, older).DamageTop, 3700.0f);  // 3000 / 1500 * 1850
}

TEST(PeriodDelta, NoBattlesInBetweenGivesEmptyBlocksWithoutRatingsOrVehicles) {
  const std::string account = R"({"global_rating":%d,"statistics":{"all":{"battles":100,"wins":55,"frags":90,
   "damage_dealt":120000,"shots":800,"hits":600},"fallout":{"battles":4,"wins":3}}})";
  const std::string vehicles = R"([{"tank_id":1,"all":{"battles":100,"wins":55,"frags":90,"damage_dealt":120000}}])";
  RWOTAccount older = Parse(ReplaceAll(account, "%d", "5000"), vehicles);
  RWOTAccount p = PeriodDelta(Parse(ReplaceAll(account, "%d", "5020"), vehicles), older, true, kModeAll,
                              SmallReference());
  for (const RWOTAccountStats& block : p.Stats) {
    EXPECT_EQ(block.Battles, 0);
    EXPECT_EQ(block.rateWG, 0.0f);
    EXPECT_EQ(block.LevelAvg, 0.0f);
  }
  EXPECT_EQ(p.Stats[kModeAll].WinsRatioChange, 1e-9f);  // both ratios equal
  EXPECT_EQ(p.Stats[kModeFallout].WinsRatioChange, 1e-9f);
  EXPECT_EQ(p.Stats[kModeCompany].WinsRatioChange, 0.0f);  // no battles on either side
  EXPECT_TRUE(p.Vehicles.empty());
  EXPECT_EQ(p.HighestTier + p.VehicleCount + p.CountByBadge[0], 0);
}

// Cap 10 battles. Leichttraktor is new (4 battles, badge 3), T-34 gains 6 and
// its badge goes 1 -> 3, Pz.Kpfw. B2 lost battles, Type 61 gained more than
// the account, 121B (tier 10) did not play.
TEST(PeriodDelta, VehiclesOfThePeriodAndTheirAggregates) {
  RWOTAccount older = Parse(R"({"statistics":{"all":{"battles":110,"wins":56}}})", R"([
   {"tank_id":1,"mark_of_mastery":1,"max_frags":4,"all":{"battles":30,"wins":15}},
   {"tank_id":2,"all":{"battles":20,"wins":10}},{"tank_id":3,"all":{"battles":50,"wins":25}},
   {"tank_id":63537,"mark_of_mastery":2,"all":{"battles":10,"wins":6}}])");
  RWOTAccount newer = Parse(R"({"statistics":{"all":{"battles":120,"wins":63}}})", R"([
   {"tank_id":7,"mark_of_mastery":3,"all":{"battles":4,"wins":3,"frags":2}},
   {"tank_id":1,"mark_of_mastery":3,"max_frags":6,"max_xp":900,"all":{"battles":36,"wins":19}},
   {"tank_id":2,"all":{"battles":15,"wins":8}},{"tank_id":3,"all":{"battles":65,"wins":33}},
   {"tank_id":63537,"mark_of_mastery":2,"all":{"battles":10,"wins":6}}])");
  RWOTAccount p = PeriodDelta(newer, older, false, kModeAll, SmallReference());
  ASSERT_EQ(p.Vehicles.size(), 2u);
  EXPECT_EQ(p.Vehicles[0].Name, "Leichttraktor");
  EXPECT_EQ(p.Vehicles[0].Stats[kModeAll].Frags, 2);  // missing from the older record: all of it
  EXPECT_EQ(p.Vehicles[1].Stats[kModeAll].Wins, 4);
  EXPECT_EQ(p.Vehicles[1].MaxFrags + p.Vehicles[1].MaxXp, 6);  // the newer MaxFrags, no MaxXp
  EXPECT_EQ(p.VehicleCount, 2);
  EXPECT_EQ(p.BattlesByTier[4], 6);
  EXPECT_EQ(p.WinsByClass[2], 4);  // the medium T-34
  EXPECT_EQ(p.HighestTier, 10);    // from every vehicle of the newer record
  EXPECT_EQ(p.TopVehicleCount, 0);
  EXPECT_EQ(p.MasteryCount, 2);
  EXPECT_EQ(p.NamesByBadge[3], "Leichttraktor, T-34");
  EXPECT_EQ(p.CountByBadge[2], 0);  // 121B kept its badge
  EXPECT_FLOAT_EQ(p.Stats[kModeAll].LevelAvg, 3.4f);  // (1 * 4 + 5 * 6) / 10
  EXPECT_EQ(PeriodDelta(newer, older, true, kModeAll, SmallReference()).Vehicles[0].Name, "T-34");
}

// 121B (tier 10, premium, expected values 2400 / 1.2 / 1.1 / 0.7 / 53, weight
// 0.85) plays all of the period: 10 battles, 7 wins, 3 survived, 6000 xp,
// 12 frags, 11 spotted, 4 capture, 6 dropped, 24000 damage, 6000 received,
// 100 shots, 80 hits. T-34 does not play.
TEST(PeriodDelta, SmallPeriodMatchesTheHandComputedFigures) {
  const std::string account = R"({"updated_at":%u,"global_rating":%r,"achievements":%a,"statistics":{"all":%s}})";
  const std::string t34 = R"({"tank_id":1,"all":{"battles":60,"wins":30,"frags":50,"damage_dealt":20000}})";
  const std::string tank = R"({"tank_id":63537,"mark_of_mastery":%m,"all":%s})";
  const std::string older_all = R"({"battles":40,"wins":20,"losses":20,"survived_battles":10,"xp":20000,
   "frags":30,"spotted":50,"capture_points":10,"dropped_capture_points":20,"damage_dealt":40000,
   "damage_received":40000,"shots":300,"hits":220})";
  const std::string newer_all = R"({"battles":50,"wins":27,"losses":23,"survived_battles":13,"xp":26000,
   "frags":42,"spotted":61,"capture_points":14,"dropped_capture_points":26,"damage_dealt":64000,
   "damage_received":46000,"shots":400,"hits":300})";
  auto snapshot = [&](const char* updated, const char* rating, const char* achievements, const char* mark,
                      const std::string& all) {
    // The account's only other vehicle, T-34, does not change: the account gains what 121B gains.
    std::string text = ReplaceAll(ReplaceAll(account, "%u", updated), "%r", rating);
    return Parse(ReplaceAll(ReplaceAll(text, "%a", achievements), "%s", all),
                 "[" + t34 + "," + ReplaceAll(ReplaceAll(tank, "%m", mark), "%s", all) + "]");
  };
  RWOTAccount older = snapshot("1700000000", "1000", R"({"warrior":10,"medalKay":2,"sniper":1})", "2", older_all);
  RWOTAccount newer = snapshot("1700500000", "1050", R"({"warrior":12,"medalKay":3,"sniper":1})", "3", newer_all);
  RWOTAccount p = PeriodDelta(newer, older, false, kModeAll, SmallReference());
  const RWOTAccountStats& all = p.Stats[kModeAll];
  EXPECT_EQ(p.PeriodStart, UnixToDateTime(1700000000));
  EXPECT_EQ(all.Draws, 0);
  EXPECT_FLOAT_EQ(all.EfficiencyKoef, 23.0f / 14);
  EXPECT_FLOAT_EQ(all.DamageKoef, 4.0f);
  EXPECT_FLOAT_EQ(all.WinsRatioChange, 0.04f);  // 27/50 - 20/40 + 1e-9
  EXPECT_FLOAT_EQ(all.LevelAvg, 10.0f);
  EXPECT_FLOAT_EQ(all.ExpDamageKoef, 1.0f);  // 24000 / (2400 * 10)
  EXPECT_FLOAT_EQ(all.DamageTop, 1850.0f);
  // EFF, T = 10: 150 * log1.732(1.4) + 2400 * 10 / 12 * 0.43 + 5550 / 10.
  EXPECT_FLOAT_EQ(all.rateEFF, 1506.89f);
  EXPECT_FLOAT_EQ(all.rateWN6, 1584.22f);
  EXPECT_FLOAT_EQ(all.rateWN8, 1669.0952f);  // rWIN = 7 / 5.3, rDEF = 6 / 7, the other ratios 1
  // ln(50) / 10 * (600 + 2400 * (1.4 + 1.08 + 0.55 + 0.2 + 0.3)): N is the newer battles, not the period's.
  EXPECT_FLOAT_EQ(all.rateBS, 3548.99f);
  EXPECT_FLOAT_EQ(all.rateWG, 50.0f);
  EXPECT_FLOAT_EQ(all.xEFF + all.xWN6 + all.xWN8 + all.xWG, 75.19f + 74.11f + 61.26f + 0.0f);
  EXPECT_FLOAT_EQ(all.xBS, 49.14f);
  EXPECT_FLOAT_EQ(all.rateKORV, 1326.1191f);
  EXPECT_FLOAT_EQ(all.IvrBattlesAdj, 4.2f);  // conf = 1 - 290 * 0.1 / 50
  EXPECT_FLOAT_EQ(all.skillIVR, 0.16595711f);  // 0.7^3 * 1.2^2 * 0.8 * 0.42
  EXPECT_FLOAT_EQ(all.rateIVR, 0.14106354f);   // weight 0.85 * skill
  EXPECT_FLOAT_EQ(all.Clanable, 1.0697957f);
  ASSERT_EQ(p.Vehicles.size(), 1u);
  EXPECT_FLOAT_EQ(p.Vehicles[0].Stats[kModeAll].rateBS, 3548.99f);
  EXPECT_EQ(p.TopVehicleCount + p.PremiumCount + p.TopPremiumCount, 3);
  EXPECT_EQ(p.NamesByBadge[3], "121B");
  ASSERT_EQ(p.Achievements.size(), newer.Achievements.size());
  EXPECT_EQ(CountOf(p.Achievements, "medalKay"), 3);  // a class badge raised from 2 shows its new level
  EXPECT_EQ(CountOf(p.Achievements, "warrior"), 2);   // a counter raised from 10 shows the difference
  EXPECT_EQ(p.HeroesTotal, 2);  // warrior and sniper: 13 - 11
}

}  // namespace
}  // namespace tarvelo
