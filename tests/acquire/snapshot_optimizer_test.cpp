#include "acquire/store/snapshot_optimizer.h"

#include <gtest/gtest.h>

#include "cache_test_support.h"
#include "json/json.h"

namespace tarvelo {
namespace {

using testing::InodeOf;
using testing::Put;
using testing::Slurp;
using testing::TempFolder;

struct Case {
  const char* input;
  const char* expected;
};

// One case per pass, in pass order; each input is touched by its own pass
// (and, where noted, by a later one that finishes the job).
TEST(OptimizeSnapshot, EachPassRemovesItsZeroMembers) {
  const Case cases[] = {
      // 1
      {R"({"dropped_capture_points":0,"survived_battles":0,"damage_received":0,"capture_points":0,"battle_avg_xp":0,"avg_damage_assisted":0.0,"hits_percents":0,"damage_dealt":0,"tanking_factor":0.0,"explosion_hits_received":0,"spotted":3})",
       R"({"spotted":3})"},
      // 2
      {R"({"a":{"spotted":3,"tanking_factor":0.0},"b":{"spotted":4,"explosion_hits_received":0}})",
       R"({"a":{"spotted":3},"b":{"spotted":4}})"},
      // 3
      {R"({"avg_damage_blocked":0.0,"direct_hits_received":0,"explosion_hits":0,"piercings_received":0,"piercings":0,"win_points":0,"resource_absorbed":0,"avg_damage_assisted_radio":0.0,"no_damage_direct_hits_received":0,"spotted":3})",
       R"({"spotted":3})"},
      // 4
      {R"({"base_xp":0,"avg_damage_assisted_track":0.0,"mark_of_mastery":0,"battles":0,"losses":0,"draws":0,"max_xp":0,"max_damage":0,"frags":0,"frags":null,"spotted":0,"max_frags":0,"death_count":0,"shots":0,"wins":0,"hits":0,"xp":0,"max_frags_tank_id":null,"max_damage_tank_id":null,"max_xp_tank_id":null,"trees_cut":7,"avg_damage_assisted_track":0.0})",
       R"({"trees_cut":7})"},
      // 5
      {R"({"a":{"trees_cut":1,"dropped_capture_points":0},"b":{"trees_cut":2,"shots":0}})",
       R"({"a":{"trees_cut":1},"b":{"trees_cut":2}})"},
      // 6: blocks left with one zero member become null
      {R"({"a":{"max_frags":0},"b":{"shots":0},"c":{"wins":0},"d":{"avg_damage_assisted_track":0.0},"e":{"dropped_capture_points":0}})",
       R"({"a":null,"b":null,"c":null,"d":null,"e":null})"},
      // 7
      {R"({"max_frags_with_avatar":0,"flag_capture_solo":0,"flag_capture":0,"trees_cut":1})", R"({"trees_cut":1})"},
      // 8: the second pattern has no comma of its own and leaves ",}"
      {R"({"a":{"trees_cut":1,"max_damage_with_avatar":0},"b":{"trees_cut":2,"flag_capture":0}})",
       R"({"a":{"trees_cut":1},"b":{"trees_cut":2,}})"},
      // 9
      {R"({"avatar_damage_dealt":0,"avatar_frags":0,"max_win_points":0,"trees_cut":1,"avatar_damage_dealt":0})",
       R"({"trees_cut":1})"},
      // 10
      {R"({"a":{"max_damage_with_avatar":0},"b":{"avatar_damage_dealt":0}})", R"({"a":null,"b":null})"},
      // 11
      {R"({"achievements":null,"clan":null,"company":null,"team":null,"fallout":null,"stronghold_defense":null,"stronghold_skirmish":null,"regular_team":null,"historical":null,"globalmap":null,"nickname":"Вася"})",
       R"({"nickname":"Вася"})"},
  };
  int pass = 1;
  for (const auto& c : cases) EXPECT_EQ(OptimizeSnapshot(c.input), c.expected) << "pass " << pass++;
}

TEST(OptimizeSnapshot, KeepsValuesThatAreNotExactlyZero) {
  const char* text =
      R"({"battles":10,"wins":0.5,"frags":3,"xp":100,"max_frags":0.0,"max_xp_tank_id":1,"name":"\"battles\":0,"})";
  EXPECT_EQ(OptimizeSnapshot(text), text);
}

TEST(OptimizeSnapshot, AStatisticsBlockOfZerosBecomesNullAndStillReadsAsZero) {
  std::string optimized =
      OptimizeSnapshot(R"({"random":{"battles":0,"wins":0,"losses":0,"shots":0},"all":{"battles":5,"wins":3}})");
  EXPECT_EQ(optimized, R"({"random":null,"all":{"battles":5,"wins":3}})");
  json::Value document = json::parse(optimized);
  EXPECT_EQ(json::integer(document, "random.battles"), 0);
  EXPECT_EQ(json::integer(document, "all.wins"), 3);
}

TEST(OptimizeSnapshot, TheCommaLeftBeforeABraceStillParses) {
  std::string optimized = OptimizeSnapshot(R"({"fallout":{"wins":2,"flag_capture":0},"x":1})");
  EXPECT_EQ(optimized, R"({"fallout":{"wins":2,},"x":1})");
  json::Value document = json::parse(optimized);
  ASSERT_TRUE(document);
  EXPECT_EQ(json::integer(document, "fallout.wins"), 2);
  EXPECT_EQ(json::integer(document, "x"), 1);
}

TEST(OptimizeSnapshot, AMergedSnapshotShrinksAndKeepsItsFigures) {
  const std::string merged =
      R"({"status":"ok","data":{"4821907":{"achievements":{"medalKay":1},"frags":null,"max_series":{"sniper":2},)"
      R"("clan":null,"account_id":4821907,"nickname":"Vasya_2000","last_battle_time":1481900000,)"
      R"("statistics":{"clan":{"spotted":0,"battles":0,"wins":0,"shots":0},"company":null,)"
      R"("all":{"spotted":120,"max_xp":1520,"hits_percents":64,"battles":342,"damage_dealt":301234,)"
      R"("wins":181,"losses":155,"draws":0,"frags":290,"max_frags_tank_id":null,"tanking_factor":0.0},)"
      R"("random":{"battles":342,"wins":181,"avg_damage_assisted_track":0.0},"trees_cut":17}},)"
      R"("vehicles":[{"all":{"battles":0,"wins":0,"shots":0},"tank_id":1,"mark_of_mastery":0,"max_frags":2},)"
      R"({"all":{"battles":12,"wins":7,"spotted":0,"frags":4},"tank_id":2,"max_xp":0,"max_frags":1}]}})";
  std::string optimized = OptimizeSnapshot(merged);
  EXPECT_LT(optimized.size(), merged.size());
  EXPECT_EQ(optimized.find(":0,"), std::string::npos) << optimized;
  json::Value before = json::parse(merged), after = json::parse(optimized);
  ASSERT_TRUE(after);
  for (const char* path : {"data.4821907.statistics.all.battles", "data.4821907.statistics.all.wins",
                           "data.4821907.statistics.all.damage_dealt", "data.4821907.statistics.random.wins",
                           "data.4821907.statistics.clan.battles", "data.vehicles[1].all.frags",
                           "data.vehicles[0].max_frags", "data.vehicles[0].all.battles"}) {
    EXPECT_EQ(json::integer(after, path), json::integer(before, path)) << path;
  }
  EXPECT_EQ(json::text(after, "data.4821907.nickname"), "Vasya_2000");
}

TEST(PatchSnapshotFile, RewritesOnlyAChangedTextAndKeepsTheFileDate) {
  TempFolder folder;
  const std::string path = folder / "2016-12-15.json";
  const DateTime stamp = EncodeDateTime(2016, 12, 15, 20, 30, 0);
  Put(path, R"({"since":1})");
  SetFileDate(testing::TestDisk(), path, stamp);
  ino_t before = InodeOf(path);

  EXPECT_EQ(PatchSnapshotFile(R"({"since":1})", "\"until\"", "\"x\"", {&testing::TestDisk(), path}), R"({"since":1})");
  EXPECT_EQ(InodeOf(path), before);  // not rewritten

  EXPECT_EQ(PatchSnapshotFile(R"({"since":1})", "\"since\"", "\"joined_at\"", {&testing::TestDisk(), path}), R"({"joined_at":1})");
  EXPECT_EQ(Slurp(path), R"({"joined_at":1})");
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), stamp);
}

}  // namespace
}  // namespace tarvelo
