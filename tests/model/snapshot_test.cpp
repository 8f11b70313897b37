// Snapshot documents turned into account records: the derived blocks, the
// vehicle fallbacks, the aggregates and whole accounts checked figure by figure.
#include "model/figures.h"
#include "model/snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/tables.h"
#include "model_fixture.h"

namespace tarvelo {
namespace {

using testing::Snapshot;
using testing::SmallReference;

constexpr const char* kTwoVehicleAccount = R"({"nickname":"Tester","created_at":1300000000,
 "updated_at":1480000000,"global_rating":5000,
 "statistics":{"all":{"battles":100,"wins":55,"losses":44,"survived_battles":30,"xp":50000,"frags":90,
  "spotted":120,"capture_points":150,"dropped_capture_points":80,"damage_dealt":120000,"damage_received":100000,
  "shots":800,"hits":600}}})";

// T-34 (tier 5, expected values, no weight) and 121B (tier 10, premium, both),
// and a vehicle that has no battles in the selected mode.
constexpr const char* kTwoVehicles = R"([
 {"tank_id":1,"mark_of_mastery":2,"all":{"battles":60,"wins":33,"losses":27,"survived_battles":20,"xp":30000,
  "frags":50,"spotted":70,"capture_points":100,"dropped_capture_points":40,"damage_dealt":70000,
  "damage_received":60000,"shots":500,"hits":380}},
 {"tank_id":2,"mark_of_mastery":1,"random":{"battles":3,"wins":1}},
 {"tank_id":63537,"mark_of_mastery":4,"all":{"battles":40,"wins":22,"losses":17,"survived_battles":10,
  "xp":20000,"frags":40,"spotted":50,"capture_points":50,"dropped_capture_points":40,"damage_dealt":50000,
  "damage_received":40000,"shots":300,"hits":220}}])";

RWOTAccount Parse(const json::Value& document, int mode = kModeAll, const std::string& id = "100") {
  RWOTAccount account;
  account.AccountId = id;
  ParseAccount(account, document, true, false, mode, SmallReference());
  return account;
}

TEST(ParseAccount, TwoRatedVehiclesGiveTheHandComputedVehicleFigures) {
  RWOTAccount account = Parse(Snapshot("100", kTwoVehicleAccount, kTwoVehicles));
  ASSERT_EQ(account.Vehicles.size(), 2u);
  const RWOTAccountStats& t34 = account.Vehicles[0].Stats[kModeAll];
  EXPECT_EQ(account.Vehicles[0].Name, "T-34");
  EXPECT_FLOAT_EQ(t34.HitsPercent, 76.0f);  // 380 / 500 * 100
  EXPECT_FLOAT_EQ(t34.FragsKoef, 1.25f);    // 50 / (60 - 20)
  EXPECT_FLOAT_EQ(t34.EfficiencyKoef, 1.5f);  // (50 + 70) / 2 / 40
  // Expected sums: 511.21 * 60, 1.04 * 60, 1.46 * 60, 1.06 * 60, 55.71 * 60 / 100.
  EXPECT_FLOAT_EQ(t34.ExpDamageSum, 30672.6f);
  EXPECT_FLOAT_EQ(t34.ExpWinsSum, 33.426f);
  EXPECT_FLOAT_EQ(t34.ExpDamageKoef, 2.2821672f);  // 70000 / 30672.6
  // EFF, tier 5: a = 150 * ln(100/60 + 1) / ln 1.732 = 267.8511;
  // b = 70000/60 * 10 / 7 * 0.33 = 550; c = (12500 + 10500 + 6000) / 60 = 483.3333.
  EXPECT_FLOAT_EQ(t34.rateEFF, 1301.18f);
  // WN6, tier 5: f = (1240 - 1040 / 5^0.164) * 50/60 = 367.7215; d = 1166.67 * 530 / (184 e^1.2 + 130)
  // = 834.5689; s = 145.8333; k = 66.6667; w = (185 / (0.17 + e^(-2.68)) - 500) * 0.45 = 123.9642; l = -60.
  EXPECT_FLOAT_EQ(t34.rateWN6, 1478.75f);
  // WN8: rDAMAGE 2.2821672, rSPOT 70/87.6 = 0.7990867, rFRAG 50/62.4 = 0.8012820, rDEF 40/63.6 = 0.6289308,
  // rWIN 33/33.426 = 0.9872555; rWINc 0.9560533, rDAMAGEc 2.6438041, rFRAGc 0.7741842, rSPOTc 0.6759464,
  // rDEFc 0.5877009; 145 * 0.9560533 + 980 * 2.6438041 + 210 * 2.6438041 * 0.7741842
  // + 155 * 0.7741842 * 0.6759464 + 75 * 0.5877009 * 0.7741842 = 3274.6187.
  EXPECT_FLOAT_EQ(t34.rateWN8, 3274.6187f);
  // BS with N = 100: ln(100)/10 * (500 + 1166.67 * (1.1 + 0.75 + 0.5833 + 0.8333 + 0.3333)) = 2164.43.
  EXPECT_FLOAT_EQ(t34.rateBS, 2164.43f);
  EXPECT_FLOAT_EQ(t34.powerIVR, 0.0f);
  EXPECT_EQ(t34.IvrBattles, 0);

  const RWOTAccountStats& b121 = account.Vehicles[1].Stats[kModeAll];
  EXPECT_FLOAT_EQ(b121.rateEFF, 1256.87f);  // a 221.4540 + b 447.9167 + c 587.5
  EXPECT_FLOAT_EQ(b121.rateWN6, 1151.97f);  // f 464.7951 + d 306.9596 + s 156.25 + k 100 + w 123.9642 + l 0
  EXPECT_FLOAT_EQ(b121.rateWN8, 654.6997f);
  EXPECT_FLOAT_EQ(b121.rateBS, 2388.93f);
  // conf = 1 - (300 - 40) * 0.1 / 50 = 0.48; rateIVR = 0.48 * 0.55^3 * 0.85 * 1^2 * 0.7333333.
  EXPECT_FLOAT_EQ(b121.powerIVR, 0.85f);
  EXPECT_FLOAT_EQ(b121.IvrBattlesAdj, 19.2f);
  EXPECT_FLOAT_EQ(b121.rateIVR, 0.0497794f);
}

TEST(ParseAccount, TwoRatedVehiclesGiveTheHandComputedAccountFigures) {
  RWOTAccount account = Parse(Snapshot("100", kTwoVehicleAccount, kTwoVehicles));
  const RWOTAccountStats& all = account.Stats[kModeAll];
  EXPECT_EQ(account.Nickname, "Tester");
  EXPECT_DOUBLE_EQ(account.Created, UnixToDateTime(1300000000));
  // Totals of the vehicles with expected values: both of them.
  EXPECT_EQ(account.ExpTotals.Battles, 100);
  EXPECT_EQ(account.ExpTotals.Wins, 55);
  EXPECT_EQ(account.ExpTotals.DamageDealt, 120000u);
  EXPECT_EQ(all.BattlesWithoutExp, 0);
  EXPECT_FLOAT_EQ(all.ExpDamageSum, 126672.6f);  // 30672.6 + 96000
  EXPECT_FLOAT_EQ(all.ExpWinsSum, 54.626f);      // 33.426 + 21.2
  EXPECT_FLOAT_EQ(all.LevelAvg, 7.0f);           // 5 * 60/100 + 10 * 40/100
  EXPECT_FLOAT_EQ(all.ExpDamageKoef, 0.94732404f);  // 120000 / 126672.6
  EXPECT_FLOAT_EQ(all.DamageTop, 1752.5494f);       // 0.94732404 * 1850
  // EFF with T = 7: a 250.2265 + b 1200 * 10/9 * 0.37 = 493.3333 + c 525.
  EXPECT_FLOAT_EQ(all.rateEFF, 1268.56f);
  // WN6 with T = 7 (t6 = 6): f 418.3155 + d 569.2486 + s 150 + k 80 + w 123.9642 + l 0.
  EXPECT_FLOAT_EQ(all.rateWN6, 1341.53f);
  // WN8 of the account block's sums against ExpTotals.
  EXPECT_FLOAT_EQ(all.rateWN8, 1372.8988f);
  EXPECT_FLOAT_EQ(all.rateBS, 2252.85f);
  EXPECT_FLOAT_EQ(all.rateWG, 5000.0f);
  EXPECT_FLOAT_EQ(all.xEFF, 59.39f);
  EXPECT_FLOAT_EQ(all.xWN6, 60.03f);
  EXPECT_FLOAT_EQ(all.xWN8, 50.94f);
  EXPECT_FLOAT_EQ(all.xBS, 37.31f);
  EXPECT_FLOAT_EQ(all.xWG, 40.06f);
  EXPECT_FLOAT_EQ(all.rateKORV, 1057.7676f);  // (1268.56 + 1341.53 + 2252.85 / 4) / 3
  // IVR: only the 121B is weighted; skill = 0.55^3 * 1^2 * (220/300) * (19.2/40) = 0.058564.
  EXPECT_EQ(all.IvrBattles, 40);
  EXPECT_FLOAT_EQ(all.skillIVR, 0.058564004f);
  EXPECT_FLOAT_EQ(all.rateIVR, 0.049779404f);  // 0.85 * 0.058564
  // Clanable terms 1, 2, 7, 5, 6, 8, 3, 4: 1057.7676/1175, (55/52)^3, 7/6, 1752.5494/1850,
  // (1.5/1.3)^0.5, (1/3)^0.2, (100/10000)^(1/3), 0.9; their sum / 8.
  EXPECT_FLOAT_EQ(all.Clanable, 0.89872873f);
}

TEST(ParseAccount, TwoRatedVehiclesGiveTheAggregates) {
  RWOTAccount account = Parse(Snapshot("100", kTwoVehicleAccount, kTwoVehicles));
  EXPECT_EQ(account.VehicleCount, 2);
  EXPECT_EQ(account.VehiclesByClass[2], 2);  // both medium
  EXPECT_EQ(account.BattlesByClass[2], 100);
  EXPECT_EQ(account.WinsByClass[2], 55);
  EXPECT_EQ(account.VehiclesByTier[4], 1);
  EXPECT_EQ(account.BattlesByTier[9], 40);
  EXPECT_EQ(account.VehiclesByNation[3], 1);  // ussr
  EXPECT_EQ(account.WinsByNation[4], 22);     // china
  EXPECT_EQ(account.TopVehicleCount, 1);
  EXPECT_EQ(account.PremiumCount, 1);
  EXPECT_EQ(account.TopPremiumCount, 1);
  EXPECT_EQ(account.HighestTier, 10);
  EXPECT_EQ(account.MasteryCount, 2);  // the badge of the vehicle without battles does not count
  EXPECT_EQ(account.CountByBadge[2], 1);
  EXPECT_EQ(account.NamesByBadge[2], "T-34");
  EXPECT_EQ(account.NamesByBadge[4], "121B");
  EXPECT_EQ(account.CountByBadge[1], 0);
}

TEST(ParseAccount, ReparsingARecordReplacesItsVehiclesAndAggregates) {
  json::Value document = Snapshot("100", kTwoVehicleAccount, kTwoVehicles);
  RWOTAccount account;
  account.AccountId = "100";
  ParseAccount(account, document, true, false, kModeAll, SmallReference());
  ParseAccount(account, document, true, false, kModeAll, SmallReference());
  EXPECT_EQ(account.Vehicles.size(), 2u);
  EXPECT_EQ(account.VehicleCount, 2);
  EXPECT_EQ(account.NamesByBadge[2], "T-34");
  EXPECT_EQ(account.Stats[kModeAll].IvrBattles, 40);
}

TEST(ParseAccount, AnAbsentAccountLeavesTheRecordAsItWas) {
  RWOTAccount account;
  account.AccountId = "100";
  account.Nickname = "kept";
  ParseAccount(account, Snapshot("200", kTwoVehicleAccount), true, true, kModeAll, SmallReference());
  EXPECT_EQ(account.Nickname, "kept");
  ParseAccount(account, json::Value(), true, true, kModeAll, SmallReference());
  EXPECT_EQ(account.Nickname, "kept");
}

TEST(ParseAccount, WithoutExpectedValuesWn8IsZeroAndTopDamageFallsBack) {
  // Vehicle 2 (tier 4) and an unknown vehicle (tier 10) have no expected values.
  const char* vehicles = R"([
   {"tank_id":2,"all":{"battles":30,"wins":15,"damage_dealt":9000,"frags":20,"shots":100,"hits":60}},
   {"tank_id":999,"all":{"battles":10,"wins":6,"damage_dealt":7000,"frags":10,"shots":50,"hits":40}}])";
  const char* account_json = R"({"statistics":{"all":{"battles":50,"wins":25,"damage_dealt":20000,
    "frags":30,"shots":200,"hits":120}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json, vehicles));
  const RWOTAccountStats& all = account.Stats[kModeAll];
  ASSERT_EQ(account.Vehicles.size(), 2u);
  EXPECT_EQ(account.Vehicles[1].Name, "UnknownVehicle_999");
  EXPECT_EQ(account.Vehicles[1].Tier, 10);
  EXPECT_FLOAT_EQ(all.rateWN8, 0.0f);
  EXPECT_FLOAT_EQ(all.ExpDamageKoef, 0.0f);
  EXPECT_EQ(all.DamageWithoutExp, 16000u);
  EXPECT_EQ(all.BattlesWithoutExp, 40);
  EXPECT_EQ(account.ExpTotals.Battles, 40);
  EXPECT_EQ(account.ExpTotals.DamageDealt, 0u);
  // LevelAvg = 4 * 30/40 + 10 * 10/40 = 5.5; DamageTop = (20000 - 16000) / 50 / 5.5 * 10.
  EXPECT_FLOAT_EQ(all.LevelAvg, 5.5f);
  EXPECT_FLOAT_EQ(all.DamageTop, 145.45454f);
}

TEST(ParseAccount, MissingRandomBlockIsAllMinusClanMinusCompany) {
  const char* account_json = R"({"statistics":{
    "all":{"battles":100,"wins":60,"losses":38,"xp":80000,"damage_dealt":90000,"shots":500,"hits":400,
           "frags":80,"survived_battles":20,"max_xp":2000},
    "clan":{"battles":10,"wins":7,"losses":3,"xp":9000,"damage_dealt":10000,"shots":50,"hits":45,"frags":10},
    "company":{"battles":20,"wins":13,"losses":7,"xp":11000,"damage_dealt":20000,"shots":90,"hits":55,
               "frags":20,"survived_battles":5}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json));
  const RWOTAccountStats& random = account.Stats[kModeRandom];
  EXPECT_EQ(random.Battles, 70);
  EXPECT_EQ(random.Wins, 40);
  EXPECT_EQ(random.Losses, 28);
  EXPECT_EQ(random.Draws, 2);
  EXPECT_EQ(random.DamageDealt, 60000u);
  EXPECT_EQ(random.MaxXp, 0);  // maxima are not carried
  EXPECT_FLOAT_EQ(random.HitsPercent, 300.0f / 360 * 100);
  EXPECT_FLOAT_EQ(random.WinsPercent, 40.0f / 70 * 100);
  EXPECT_FLOAT_EQ(random.XpAvg, 60000.0f / 70);
  EXPECT_FLOAT_EQ(random.FragsKoef, 50.0f / 55);  // 70 battles, 15 survived
}

TEST(ParseAccount, DerivedRandomWithoutBattlesTakesTheAveragesOfAll) {
  const char* account_json = R"({"statistics":{"random":{},
    "all":{"battles":10,"wins":6,"xp":5000,"damage_dealt":8000,"shots":40,"hits":30},
    "clan":{"battles":10,"wins":6,"xp":5000,"damage_dealt":8000}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json));
  const RWOTAccountStats& random = account.Stats[kModeRandom];
  EXPECT_EQ(random.Battles, 0);
  EXPECT_FLOAT_EQ(random.WinsPercent, 60.0f);
  EXPECT_FLOAT_EQ(random.XpAvg, 500.0f);
  EXPECT_FLOAT_EQ(random.DamageAvg, 800.0f);
  EXPECT_FLOAT_EQ(random.HitsPercent, 75.0f);  // shots 40 - 0 - 0 > 0: 30 / 40
}

TEST(ParseAccount, StrongholdAndGlobalmapAreSumsOfTheirSubModes) {
  const char* account_json = R"({"statistics":{
    "stronghold_defense":{"battles":4,"wins":1,"max_damage":3000,"max_damage_tank_id":11,"damage_dealt":8000},
    "stronghold_skirmish":{"battles":6,"wins":5,"max_damage":3000,"max_damage_tank_id":22,"damage_dealt":9000,
                           "avatar_damage_dealt":500},
    "globalmap_absolute":{"battles":2,"wins":2,"max_xp":900,"max_xp_tank_id":5},
    "globalmap_champion":{"battles":3,"wins":1,"max_xp":1200,"max_xp_tank_id":6},
    "globalmap_middle":{"battles":5,"wins":4,"max_xp":800,"max_xp_tank_id":7}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json));
  const RWOTAccountStats& stronghold = account.Stats[kModeStronghold];
  EXPECT_EQ(stronghold.Battles, 10);
  EXPECT_EQ(stronghold.Wins, 6);
  EXPECT_EQ(stronghold.DamageDealt, 17000u);
  EXPECT_EQ(stronghold.MaxDamageTankId, "11");  // a tie keeps the defense record
  EXPECT_EQ(stronghold.AvatarDamageDealt, 0u);  // not summed
  EXPECT_FLOAT_EQ(stronghold.DamageAvg, 1700.0f);
  const RWOTAccountStats& globalmap = account.Stats[kModeGlobalmap];
  EXPECT_EQ(globalmap.Battles, 10);
  EXPECT_EQ(globalmap.Wins, 7);
  EXPECT_EQ(globalmap.MaxXp, 1200);
  EXPECT_EQ(globalmap.MaxXpTankId, "6");
  EXPECT_FLOAT_EQ(globalmap.WinsPercent, 70.0f);
}

TEST(ParseVehicles, TierEightChampionBlockComesFromGlobalmap) {
  const char* vehicles = R"([{"tank_id":3,"all":{"battles":20,"wins":10},
    "globalmap":{"battles":8,"wins":5,"damage_dealt":16000}}])";
  const char* account_json = R"({"statistics":{"all":{"battles":20,"wins":10},
    "globalmap_champion":{"battles":8,"wins":5}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json, vehicles), kModeGlobalmapChampion);
  ASSERT_EQ(account.Vehicles.size(), 1u);
  const RVehicleStat& vehicle = account.Vehicles[0];
  EXPECT_EQ(vehicle.Stats[kModeGlobalmapChampion].Battles, 8);
  EXPECT_EQ(vehicle.Stats[kModeGlobalmapChampion].DamageDealt, 16000u);
  EXPECT_EQ(vehicle.Stats[kModeGlobalmapAbsolute].Battles, 0);
  EXPECT_EQ(vehicle.Stats[kModeGlobalmapMiddle].Battles, 0);
  EXPECT_EQ(vehicle.Stats[kModeGlobalmap].Battles, 8);
}

TEST(ParseVehicles, StrongholdOfSkirmishesOnlyIsTheSkirmishBlock) {
  const char* vehicles = R"([{"tank_id":1,"all":{"battles":9,"wins":4},
    "stronghold_skirmish":{"battles":7,"wins":4,"damage_dealt":7700,"max_frags":3,"max_frags_tank_id":1}}])";
  const char* account_json = R"({"statistics":{"all":{"battles":9,"wins":4}}})";
  RWOTAccount account = Parse(Snapshot("100", account_json, vehicles));
  const RWOTAccountStats& stronghold = account.Vehicles.at(0).Stats[kModeStronghold];
  EXPECT_EQ(stronghold.Battles, 7);
  EXPECT_EQ(stronghold.DamageDealt, 7700u);
  EXPECT_EQ(stronghold.MaxFragsTankId, "1");
  EXPECT_FLOAT_EQ(stronghold.DamageAvg, 1100.0f);
}

TEST(ParseVehicles, OldVehicleStatisticsMemberFillsTheAllBlock) {
  const char* vehicles = R"([{"tank_id":1,"statistics":{"battles":5,"wins":3}}])";
  RWOTAccount account = Parse(Snapshot("100", R"({"statistics":{"all":{"battles":5,"wins":3}}})", vehicles));
  ASSERT_EQ(account.Vehicles.size(), 1u);
  EXPECT_EQ(account.Vehicles[0].Stats[kModeAll].Battles, 5);
  EXPECT_EQ(account.Vehicles[0].Stats[kModeRandom].Battles, 5);  // derived from all
}

TEST(ParseVehicles, FalloutNeverPlayedKeepsNoVehiclesAndNoTierFigures) {
  RWOTAccount account = Parse(Snapshot("100", kTwoVehicleAccount, kTwoVehicles), kModeFallout);
  const RWOTAccountStats& fallout = account.Stats[kModeFallout];
  EXPECT_TRUE(account.Vehicles.empty());
  EXPECT_EQ(account.VehicleCount, 0);
  EXPECT_FLOAT_EQ(fallout.LevelAvg, 0.0f);
  EXPECT_FLOAT_EQ(fallout.DamageTop, 0.0f);
  EXPECT_FLOAT_EQ(fallout.ExpDamageKoef, 0.0f);
  EXPECT_FLOAT_EQ(fallout.rateEFF, 0.0f);
}

TEST(ParseVehicles, AccountHitsComeFromTheVehiclesWhenTheApiGivesNone) {
  const char* vehicles = R"([{"tank_id":1,"all":{"battles":4,"shots":10,"hits":7}},
                             {"tank_id":2,"all":{"battles":6,"shots":20,"hits":11}}])";
  RWOTAccount account =
      Parse(Snapshot("100", R"({"statistics":{"all":{"battles":10,"shots":40}}})", vehicles));
  EXPECT_EQ(account.Stats[kModeAll].Hits, 18);
  EXPECT_FLOAT_EQ(account.Stats[kModeAll].HitsPercent, 45.0f);
}

TEST(ParseAccount, SortsVehiclesByBattlesKeepingTheOrderOfEqualOnes) {
  const char* vehicles = R"([{"tank_id":1,"all":{"battles":5}},{"tank_id":2,"all":{"battles":5}},
                             {"tank_id":3,"all":{"battles":9}},{"tank_id":7,"all":{"battles":5}}])";
  RWOTAccount account;
  account.AccountId = "100";
  ParseAccount(account, Snapshot("100", R"({"statistics":{"all":{"battles":24}}})", vehicles), false, true,
               kModeAll, SmallReference());
  ASSERT_EQ(account.Vehicles.size(), 4u);
  EXPECT_EQ(account.Vehicles[0].TankId, "3");
  EXPECT_EQ(account.Vehicles[1].TankId, "1");
  EXPECT_EQ(account.Vehicles[2].TankId, "2");
  EXPECT_EQ(account.Vehicles[3].TankId, "7");
}

// Every fallback of the vehicle blocks, in every mode: the list holds the
// vehicles with battles in that mode, most battles first, ties in document
// order, and without sorting it is the same vehicles in document order.
TEST(ParseAccount, ListsTheVehiclesWithBattlesOfEachModeInBattleOrder) {
  const char* vehicles = R"([
    {"tank_id":1,"all":{"battles":5},"random":{"battles":0},"clan":{"battles":1},"company":{"battles":1}},
    {"tank_id":3,"statistics":{"battles":7},"globalmap":{"battles":4},"stronghold_skirmish":{"battles":2}},
    {"tank_id":63537,"all":{"battles":5,"battles":9},"all":{"battles":50},"random":{"battles":5},
     "globalmap":{"battles":3},"stronghold_defense":{"battles":6},"stronghold_skirmish":{"battles":2},"team":5},
    {"tank_id":2,"all":{"battles":5},"stronghold_defense":{"battles":3},"fallout":{"battles":-4},
     "regular_team":{"battles":1}},
    {"tank_id":7,"all":{"battles":0},"random":{"battles":2}},
    {"tank_id":99,"globalmap":{"battles":1},"globalmap_absolute":{"battles":6},"historical":{"battles":9}}])";
  std::string statistics;
  for (const auto& mode : BattleModes) {
    statistics += (statistics.empty() ? "\"" : ",\"") + std::string(mode.key) + "\":{\"battles\":100}";
  }
  const json::Value document = Snapshot("100", "{\"statistics\":{" + statistics + "}}", vehicles);
  const std::vector<std::string> document_order = {"1", "3", "63537", "2", "7", "99"};
  using Listed = std::vector<std::pair<std::string, int32_t>>;
  const std::array<Listed, kModeCount> expected = {{
      {{"3", 7}, {"1", 5}, {"63537", 5}, {"2", 5}},               // all: "statistics", the first "all"
      {{"3", 7}, {"63537", 5}, {"2", 5}, {"1", 3}, {"7", 2}},     // random: all - clan - company when 0
      {{"1", 1}},                                                 // clan
      {{"1", 1}},                                                 // company
      {{"3", 4}, {"63537", 3}, {"99", 1}},                        // globalmap
      {{"99", 6}, {"63537", 3}},                                  // X: its own block, or globalmap at tier 10
      {{"3", 4}},                                                 // VIII: globalmap at tier 8
      {},                                                         // VI: no tier 6 vehicle
      {{"63537", 8}, {"2", 3}, {"3", 2}},                         // stronghold: defense + skirmish
      {{"3", 2}, {"63537", 2}},                                   // skirmish
      {{"63537", 6}, {"2", 3}},                                   // defense
      {},                                                         // team: not an object
      {{"2", 1}},                                                 // regular team
      {},                                                         // fallout: negative battles
      {},                                                         // historical: never read
  }};
  const ReferenceData reference = SmallReference();
  for (int mode = 0; mode < kModeCount; ++mode) {
    SCOPED_TRACE(BattleModes[mode].key);
    auto listed = [&](bool sort_vehicles) {
      RWOTAccount account;
      account.AccountId = "100";
      ParseAccount(account, document, false, sort_vehicles, mode, reference);
      EXPECT_EQ(account.VehicleCount, static_cast<int32_t>(account.Vehicles.size()));
      return account.Vehicles;
    };
    auto ids_and_battles = [mode](const AVehicleStats& list) {
      Listed result;
      for (const RVehicleStat& vehicle : list) result.emplace_back(vehicle.TankId, vehicle.Stats[mode].Battles);
      return result;
    };
    const AVehicleStats sorted = listed(true);
    EXPECT_EQ(ids_and_battles(sorted), expected[mode]);

    AVehicleStats unsorted = listed(false);
    Listed in_document_order = expected[mode];
    auto position = [&](const std::string& id) {
      return std::find(document_order.begin(), document_order.end(), id) - document_order.begin();
    };
    std::stable_sort(in_document_order.begin(), in_document_order.end(),
                     [&](const auto& x, const auto& y) { return position(x.first) < position(y.first); });
    EXPECT_EQ(ids_and_battles(unsorted), in_document_order);
    SortVehiclesByBattles(unsorted, mode);
    EXPECT_EQ(ids_and_battles(unsorted), expected[mode]);
    for (size_t i = 0; i < sorted.size() && i < unsorted.size(); ++i) {
      EXPECT_EQ(sorted[i].Name, unsorted[i].Name);
      EXPECT_FLOAT_EQ(sorted[i].Stats[mode].rateWN8, unsorted[i].Stats[mode].rateWN8);
    }
  }
}

TEST(ParseAchievements, CountsSeriesCustomSumsAndHeroes) {
  const char* account_json = R"({"achievements":{"warrior":3,"sniper":2,"tankExpert":1,"tankExpert0":1,
    "tankExpert3":1,"tankExpert8":1,"tankExpert_":5,"medalKay":4},"max_series":{"titleSniper":17}})";
  RWOTAccount account = Parse(Snapshot("100", account_json));
  ASSERT_EQ(account.Achievements.size(), 6u);
  // Sorted by "order": titleSniper 5, warrior 10, sniper 20, medalKay 30, tankExpert 40, tankExpert0 41.
  EXPECT_EQ(account.Achievements[0].key, "titleSniper");
  EXPECT_EQ(account.Achievements[0].count, 0);
  EXPECT_EQ(account.Achievements[0].extra_count, 17);
  EXPECT_EQ(account.Achievements[4].key, "tankExpert");
  EXPECT_EQ(account.Achievements[4].extra_count, 3);  // tankExpert0, 3 and 8; "_" is no nation digit
  EXPECT_EQ(account.Achievements[5].key, "tankExpert0");
  EXPECT_EQ(account.Achievements[5].count, 1);
  EXPECT_EQ(account.Achievements[5].extra_count, 0);
  EXPECT_EQ(account.HeroesTotal, 5);  // warrior (section battle) 3 + sniper 2

  // The figures alone: the same record without the list, the heroes counted alike.
  RWOTAccount figures;
  figures.AccountId = "100";
  ParseAccountFigures(figures, Snapshot("100", account_json), kModeAll, SmallReference());
  EXPECT_TRUE(figures.Achievements.empty());
  EXPECT_EQ(figures.HeroesTotal, 5);
  figures.Achievements = account.Achievements;
  EXPECT_EQ(FiguresJson(figures, kModeAll), FiguresJson(account, kModeAll));
}

TEST(FindVehicle, CopiesTheFirstMatchOrSetsOnlyIdAndBattles) {
  AVehicleStats vehicles(2);
  vehicles[0].TankId = "1";
  vehicles[0].Name = "first";
  vehicles[1].TankId = "1";
  vehicles[1].Name = "second";
  RVehicleStat found;
  FindVehicle(vehicles, "1", found, kModeAll);
  EXPECT_EQ(found.Name, "first");
  found.Stats[kModeRandom].Battles = 12;
  FindVehicle(vehicles, "2", found, kModeRandom);
  EXPECT_EQ(found.TankId, "2");
  EXPECT_EQ(found.Name, "first");  // left as it was
  EXPECT_EQ(found.Stats[kModeRandom].Battles, 0);
}

TEST(ParseStatsBlock, ReadsMembersAsTheJsonGettersDo) {
  json::Value object = json::parse(R"({"battles":"12","wins":7.5,"losses":true,"xp":1e3,"frags":2,"frags":9,
    "max_frags_tank_id":"abc","max_xp_tank_id":null,"max_damage_tank_id":51,"avg_damage_assisted":"3.5",
    "damage_dealt":4000000000,"hits":{"x":1}})");
  RWOTAccountStats block = ParseStatsBlock({}, object);
  EXPECT_EQ(block.Battles, json::integer(object, "battles"));
  EXPECT_EQ(block.Wins, json::integer(object, "wins"));
  EXPECT_EQ(block.Losses, json::integer(object, "losses"));
  EXPECT_EQ(block.Xp, json::integer(object, "xp"));
  EXPECT_EQ(block.Frags, json::integer(object, "frags"));  // the first of two
  EXPECT_EQ(block.Hits, 0);
  EXPECT_EQ(block.MaxFragsTankId, "abc");
  EXPECT_EQ(block.MaxXpTankId, "");
  EXPECT_EQ(block.MaxDamageTankId, "51");
  EXPECT_FLOAT_EQ(block.DamageAssist, static_cast<float>(json::real(object, "avg_damage_assisted")));
  EXPECT_EQ(block.DamageDealt, 4000000000u);
}

TEST(ParseStatsBlock, FillsEveryFieldFromItsOwnNameOnly) {
  json::Value object = json::parse(R"({"battles":101,"wins":102,"losses":103,"survived_battles":104,"xp":105,
    "frags":106,"spotted":107,"capture_points":108,"dropped_capture_points":109,"damage_dealt":110,
    "damage_received":111,"avatar_damage_dealt":112,"shots":113,"hits":114,"max_frags":115,"max_xp":116,
    "max_damage":117,"win_points":118,"max_win_points":119,"avg_damage_assisted":120.5,"tanking_factor":0.25,
    "max_frags_tank_id":"F","max_xp_tank_id":"X","max_damage_tank_id":"D",
    "battle":1,"xps":1,"Wins":1,"max_xp_tank":1,"damage_dealt_":1,"":1})");
  RWOTAccountStats block = ParseStatsBlock({}, object);
  EXPECT_EQ(block.Battles, 101);
  EXPECT_EQ(block.Wins, 102);
  EXPECT_EQ(block.Losses, 103);
  EXPECT_EQ(block.SurvivedBattles, 104);
  EXPECT_EQ(block.Xp, 105);
  EXPECT_EQ(block.Frags, 106);
  EXPECT_EQ(block.Spotted, 107);
  EXPECT_EQ(block.Capture, 108);
  EXPECT_EQ(block.Dropped, 109);
  EXPECT_EQ(block.DamageDealt, 110u);
  EXPECT_EQ(block.DamageReceived, 111u);
  EXPECT_EQ(block.AvatarDamageDealt, 112u);
  EXPECT_EQ(block.Shots, 113);
  EXPECT_EQ(block.Hits, 114);
  EXPECT_EQ(block.MaxFrags, 115);
  EXPECT_EQ(block.MaxXp, 116);
  EXPECT_EQ(block.MaxDamage, 117);
  EXPECT_EQ(block.WinPoints, 118u);
  EXPECT_EQ(block.MaxWinPoints, 119);
  EXPECT_FLOAT_EQ(block.DamageAssist, 120.5f);
  EXPECT_FLOAT_EQ(block.TankingKoef, 0.25f);
  EXPECT_EQ(block.MaxFragsTankId, "F");
  EXPECT_EQ(block.MaxXpTankId, "X");
  EXPECT_EQ(block.MaxDamageTankId, "D");
}

// Damaged snapshots (bytes changed, cut short) never break the parser, and the
// counts it makes stay consistent with the vehicle list.
TEST(ParseAccount, DamagedSnapshotsParseIntoConsistentRecords) {
  const std::string original = json::print(Snapshot("100", kTwoVehicleAccount, kTwoVehicles));
  const std::string alphabet = "{}[]\",:0123456789-.eE aln";
  std::mt19937 random(20161205);
  const ReferenceData reference = SmallReference();
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = original;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) text[random() % text.size()] = alphabet[random() % alphabet.size()];
    if (round % 5 == 0) text.resize(random() % text.size());
    json::Value document = json::parse(text);
    if (!document.present()) continue;
    ++parsed;
    RWOTAccount account;
    account.AccountId = "100";
    ParseAccount(account, document, true, true, static_cast<int>(random() % kModeCount), reference);
    ASSERT_EQ(account.VehicleCount, static_cast<int32_t>(account.Vehicles.size())) << text;
    ASSERT_LE(account.Vehicles.size(), json::length(json::at(document, "data.vehicles"))) << text;
  }
  EXPECT_GT(parsed, 100);
}

}  // namespace
}  // namespace tarvelo
