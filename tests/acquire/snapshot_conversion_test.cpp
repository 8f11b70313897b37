#include "acquire/store/snapshot_conversion.h"

#include <gtest/gtest.h>

#include "cache_test_support.h"
#include "json/json.h"

namespace tarvelo {
namespace {

using testing::CapturedLog;
using testing::InodeOf;
using testing::Put;
using testing::Slurp;
using testing::TempFolder;

const char kEncyclopedia[] =
    R"({"status":"ok","note":"Lonely","meta":{"count":3},"data":{)"
    R"("1":{"tank_id":1,"nation":"ussr","tag":"R04_T-34","is_premium":false,"type":"mediumTank","tier":5,"name":"T-34"},)"
    R"("63537":{"tank_id":63537,"nation":"china","tag":"Ch25_121_mod_1971B","is_premium":true,"type":"mediumTank","tier":10,"name":"121B"},)"
    R"("99":{"name":"NoId"}}})";

// A snapshot of the oldest layout, as early versions stored it.
const char kOldLayout[] =
    R"({"status":"ok","status_code":"NO_ERROR","data":{"name":"Vasya_2000","created_at":1300000000,)"
    R"("updated_at":1350000000,"integrated_rating":{"value":5000},)"
    R"("summary":{"battles_count":100,"wins":55,"losses":40,"survived_battles":30},)"
    R"("battles":{"spotted":80,"frags":90,"damage_dealt":50000,"hits_percents":60,"capture_points":10,"dropped_capture_points":20},)"
    R"("experience":{"xp":40000,"battle_avg_xp":400,"max_xp":1500},)"
    R"("clan":{"clan":{"id":123,"abbreviation":"TAG"},"member":{"since":1320000000,"role":"private"}},)"
    R"("achievements":{"armorPiercer":1,"medalBoelter":2,"sniper2":9,"heroesOfRassenay":1,)"
    R"("mechanicEngineers":{"ussr":1,"germany":0,"japan":5},"tankExperts":{"usa":1},)"
    R"("maxSniperSeries":3,"maxPiercingSeries":4,"maxInvincibleSeries":5,"maxDiehardSeries":6,"maxKillingSeries":7},)"
    R"("vehicles":[{"name":"T-34","nation":"ussr","name_i18n":"Т-34","image_url":"/static/small/t-34.png","level":5,"class":"mediumTank","battle_count":10,"win_count":6},)"
    R"({"name":"T_50_222","battle_count":3,"win_count":1},)"
    R"({"name":"Mystery","nation":"germany","name_i18n":"Загадка \"X\"","image_url":"http://portal.test/static/small/m.png","level":4,"class":"heavyTank","battle_count":2,"win_count":2}]}})";

// A snapshot with the achievement names of the second layout.
const char kSnakeAchievements[] =
    R"({"status":"ok","data":{"4821907":{"account_id":4821907,"nickname":"Vasya medal_boelter fan",)"
    R"("achievements":{"medal_boelter":1,"tank_expert_ussr":1,"mechanic_engineer":1,"medal_heroes_of_rassenay":1,)"
    R"("max_sniper_series":4,"max_piercing_series":2,"max_killing_series":0,"max_invincible_series":1,)"
    R"("max_diehard_series":3,"medal_kay":2},"statistics":{"all":{"battles":10,"spotted":0,"wins":5}}},"vehicles":[]}})";

class Conversion : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const std::string& text) {
    std::string path = folder_ / name;
    Put(path, text);
    SetFileDate(testing::TestDisk(), path, kStamp);
    return path;
  }
  static constexpr DateTime kStamp = 42719.5;  // 15.12.2016 12:00
  EncyclopediaText encyclopedia_{kEncyclopedia};
  LegacySources sources_{&encyclopedia_, "http://portal.test"};
  TempFolder folder_;
};

TEST_F(Conversion, VehicleIdsComeFromTheEncyclopediaText) {
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "T-34"), 1);
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "Ch25_121_mod_1971B"), 63537);
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "NoId"), 63537);  // the last id before the name
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "Lonely"), 0);    // no id before it
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "R04_T"), 0);     // only whole quoted names
  EXPECT_EQ(VehicleIdByName(&encyclopedia_, "T_50_222"), 16641);
  EXPECT_EQ(VehicleIdByName(nullptr, "T_50_222"), 16641);
  EXPECT_EQ(VehicleIdByName(nullptr, "T-34"), 0);
}

TEST_F(Conversion, TheOldestLayoutIsRebuiltAsATree) {
  std::string rebuilt = ConvertOldLayout(kOldLayout, "4821907", {}, sources_);
  json::Value doc = json::parse(rebuilt);
  ASSERT_TRUE(doc) << rebuilt;
  EXPECT_EQ(rebuilt.find("integrated_rating"), std::string::npos);
  EXPECT_EQ(json::text(doc, "status"), "ok");
  EXPECT_EQ(json::integer(doc, "count"), 1);
  json::Value account = json::at(doc, "data.4821907");
  EXPECT_EQ(json::at(account, "account_id").kind(), json::Kind::Integer);
  EXPECT_EQ(json::integer(account, "account_id"), 4821907);
  EXPECT_EQ(json::text(account, "nickname"), "Vasya_2000");
  EXPECT_EQ(json::integer(account, "created_at"), 1300000000);
  EXPECT_EQ(json::integer(account, "statistics.max_xp"), 1500);
  EXPECT_NE(rebuilt.find(R"("all":{"battles":100,"losses":40,"wins":55,"draws":5,"survived_battles":30,"spotted":80,)"
                         R"("frags":90,"damage_dealt":50000,"hits_percents":60,"capture_points":10,)"
                         R"("dropped_capture_points":20,"xp":40000,"battle_avg_xp":400},)"
                         R"("company":{},"clan":{},"historical":{},"team":{}})"),
            std::string::npos)
      << rebuilt;
  EXPECT_EQ(json::integer(account, "clan.clan.clan_id"), 123);
  EXPECT_EQ(json::integer(account, "clan.joined_at"), 1320000000);
  EXPECT_EQ(json::text(account, "clan.role"), "private");

  json::Value achievements = json::at(account, "achievements");
  EXPECT_EQ(json::integer(achievements, "armor_piercer"), 1);
  EXPECT_EQ(json::integer(achievements, "medal_boelter"), 2);
  EXPECT_EQ(json::integer(achievements, "sniper2"), 9);
  EXPECT_EQ(json::integer(achievements, "medal_heroes_of_rassenay"), 1);
  EXPECT_EQ(json::integer(achievements, "mechanic_engineer_ussr"), 1);
  EXPECT_TRUE(json::at(achievements, "mechanic_engineer_germany"));
  EXPECT_FALSE(json::at(achievements, "mechanic_engineer_japan"));
  EXPECT_EQ(json::integer(achievements, "tank_expert_usa"), 1);
  EXPECT_EQ(json::integer(achievements, "max_killing_series"), 7);

  EXPECT_NE(rebuilt.find(R"("vehicles":[{"tank_id":1,"all":{"battles":10,"wins":6}},)"
                         R"({"tank_id":16641,"all":{"battles":3,"wins":1}},)"),
            std::string::npos)
      << rebuilt;
  json::Value unknown = json::at(doc, "data.vehicles[2]");
  EXPECT_EQ(json::integer(unknown, "tank_id"), 0);
  EXPECT_EQ(json::text(unknown, "nation"), "germany");
  EXPECT_EQ(json::text(unknown, "name_i18n"), "Загадка \"X\"");
  EXPECT_EQ(json::text(unknown, "contour_image"), "http://portal.test/static/contour/m.png");
  EXPECT_EQ(json::integer(unknown, "level"), 4);
  EXPECT_EQ(json::text(unknown, "type"), "heavyTank");
  EXPECT_EQ(json::text(unknown, "name"), "Mystery");
  EXPECT_EQ(json::integer(unknown, "all.wins"), 2);
}

TEST_F(Conversion, TextThatDoesNotParseIsLeftAlone) {
  std::string path = File("2012-01-01.json", R"({"integrated_rating":{"value":)");
  ino_t inode = InodeOf(path);
  EXPECT_EQ(ConvertSnapshot(R"({"integrated_rating":{"value":)", "1", {&testing::TestDisk(), path}, sources_), R"({"integrated_rating":{"value":)");
  EXPECT_EQ(InodeOf(path), inode);
}

TEST_F(Conversion, TheOldestLayoutEndsInTheCurrentVocabularyAndStaysConverted) {
  std::string path = File("2012-10-19.json", kOldLayout);
  std::string converted = ConvertSnapshot(kOldLayout, "4821907", {&testing::TestDisk(), path}, sources_);
  EXPECT_EQ(Slurp(path), converted);
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), kStamp);
  EXPECT_NE(converted.find(R"(,"max_series":{"armorPiercer":4,"titleSniper":3,"deathTrack":0,"invincible":5,)"
                           R"("tacticalBreakthrough":0,"diehard":6,"handOfDeath":7},"achievements":{)"),
            std::string::npos)
      << converted;
  json::Value achievements = json::at(json::parse(converted), "data.4821907.achievements");
  EXPECT_EQ(json::integer(achievements, "armorPiercer"), 1);
  EXPECT_EQ(json::integer(achievements, "medalWittmann"), 2);
  EXPECT_EQ(json::integer(achievements, "heroesOfRassenay"), 1);
  EXPECT_EQ(json::integer(achievements, "mechanicEngineer0"), 1);
  EXPECT_EQ(json::integer(achievements, "tankExpert2"), 1);
  EXPECT_EQ(json::integer(achievements, "maxSniperSeries"), 3);

  CapturedLog log;
  ino_t inode = InodeOf(path);
  EXPECT_EQ(ConvertSnapshot(converted, "4821907", {&testing::TestDisk(), path}, sources_), converted);
  EXPECT_EQ(InodeOf(path), inode);
  EXPECT_EQ(log.Count("Запись файла"), 0u);
}

TEST_F(Conversion, AchievementsGetTheirCurrentNamesAndSeries) {
  std::string renamed = RenameAchievements(kSnakeAchievements, "4821907", {});
  EXPECT_EQ(renamed,
            R"({"status":"ok","data":{"4821907":{"account_id":4821907,"nickname":"Vasya medal_boelter fan",)"
            R"("max_series":{"armorPiercer":2,"titleSniper":4,"deathTrack":0,"invincible":1,"tacticalBreakthrough":0,)"
            R"("diehard":3,"handOfDeath":0},"achievements":{"medalWittmann":1,"tankExpert0":1,"mechanicEngineer":1,)"
            R"("heroesOfRassenay":1,"maxSniperSeries":4,"maxPiercingSeries":2,"maxKillingSeries":0,)"
            R"("maxInvincibleSeries":1,"maxDiehardSeries":3,"medalKay":2},"statistics":{"all":{"battles":10,"wins":5}}},)"
            R"("vehicles":[]}})");
  // A second run finds max_series and changes nothing.
  EXPECT_EQ(RenameAchievements(renamed, "4821907", {}), renamed);
}

TEST_F(Conversion, TheDeLangladeMedalGetsThePublishersKey) {
  const std::string snake =
      R"({"data":{"7":{"a":1,"max_series":{"sniper":2},"achievements":{"medal_delanglade":4,"medal_kay":1}}}})";
  EXPECT_EQ(RenameAchievements(snake, "7", {}),
            R"({"data":{"7":{"a":1,"max_series":{"sniper":2},"achievements":{"medalDeLanglade":4,"medalKay":1}}}})");

  // Files converted by earlier versions carry "medalDelanglade": renamed once, date kept.
  const std::string earlier =
      R"({"status":"ok","data":{"7":{"achievements":{"medalDelanglade":3,"medalKay":1},"max_series":{}},"vehicles":[]}})";
  std::string path = File("2016-12-15.json", earlier);
  const std::string converted = ConvertSnapshot(earlier, "7", {&testing::TestDisk(), path}, sources_);
  EXPECT_EQ(converted,
            R"({"status":"ok","data":{"7":{"achievements":{"medalDeLanglade":3,"medalKay":1},"max_series":{}},"vehicles":[]}})");
  EXPECT_EQ(Slurp(path), converted);
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), kStamp);
  EXPECT_EQ(ConvertSnapshot(converted, "7", {}, sources_), converted);

  // A file with the current key is left as it is, even when it has the old one too.
  const std::string both = R"({"data":{"7":{"achievements":{"medalDeLanglade":2,"medalDelanglade":3}}}})";
  EXPECT_EQ(ConvertSnapshot(both, "7", {}, sources_), both);
}

TEST_F(Conversion, AnExistingMaxSeriesIsNotAddedAgain) {
  std::string text = R"({"data":{"7":{"a":1,"max_series":{"sniper":2},"achievements":{"title_sniper":1}}}})";
  EXPECT_EQ(RenameAchievements(text, "7", {}),
            R"({"data":{"7":{"a":1,"max_series":{"sniper":2},"achievements":{"titleSniper":1}}}})");
  // Also when it is the account's first member.
  text = R"({"data":{"7":{"max_series":{"sniper":2},"a":1,"achievements":{"title_sniper":1}}}})";
  EXPECT_EQ(RenameAchievements(text, "7", {}),
            R"({"data":{"7":{"max_series":{"sniper":2},"a":1,"achievements":{"titleSniper":1}}}})");
}

TEST_F(Conversion, TheFixedAccountIdIsReplacedExceptForThatAccount) {
  const std::string text = R"({"status":"ok","data":{"vehicles":[],"4354591":{"nickname":"x"}}})";
  EXPECT_EQ(ConvertSnapshot(text, "777", {}, sources_), R"({"status":"ok","data":{"vehicles":[],"777":{"nickname":"x"}}})");
  std::string path = File("2016-12-15.json", text);
  ino_t inode = InodeOf(path);
  EXPECT_EQ(ConvertSnapshot(text, "4354591", {&testing::TestDisk(), path}, sources_), text);
  EXPECT_EQ(InodeOf(path), inode);
}

TEST_F(Conversion, OnlyOneLayoutRuleApplies) {
  const std::string text = R"({"data":{"vehicles":[],"4354591":{"clan":{"clan":null}},"x":1}})";
  EXPECT_EQ(ConvertSnapshot(text, "777", {}, sources_), R"({"data":{"vehicles":[],"4354591":{"clan":{"clan":null,"x":1}})");
}

TEST_F(Conversion, OlderStatisticsBlocksAreRenamedAndBrokenVehiclesRepaired) {
  EXPECT_EQ(ConvertSnapshot(R"({"vehicles":[{"statistics":{"wins":1,"battles":2}}],"a":{"statistics":{"battles":2}}})", "1", {}, sources_),
            R"({"vehicles":[{"all":{"wins":1,"battles":2}}],"a":{"statistics":{"battles":2}}})");
  EXPECT_EQ(ConvertSnapshot(R"({"a":{"statistics":{"battles":2}}})", "1", {}, sources_), R"({"a":{"all":{"battles":2}}})");
  EXPECT_EQ(ConvertSnapshot(R"({"data":{"vehicles":["all":{"wins":1}},"all":{"wins":2}}]}})", "1", {}, sources_),
            R"({"data":{"vehicles":[{"all":{"wins":1}},{"all":{"wins":2}}]}})");
  // A sound document whose "all" block starts with its wins is not touched.
  const std::string sound = R"({"data":{"vehicles":[{"tank_id":1,"all":{"wins":1}}]}})";
  EXPECT_EQ(ConvertSnapshot(sound, "1", {}, sources_), sound);
}

TEST_F(Conversion, SplicedMetaIsRemoved) {
  const std::string spliced = R"(,"meta":{"count":1},"data":{"42":{{"status":"ok","count":1,"meta":{"count":1})";
  EXPECT_EQ(ConvertSnapshot(R"({"status":"ok","count":1)" + spliced + R"(,"data":{"42":{"clan_id":5}}})", "42", {}, sources_),
            R"({"status":"ok","count":1,"data":{"42":{"clan":{"clan_id":5}}})");
  EXPECT_EQ(ConvertSnapshot(R"({"a":1,"meta":{"count":1},"data":{"42":{"clan":{"clan_id":5}}}})", "42", {}, sources_),
            R"({"a":1,"meta":{"count":1},"data":{"42":{"clan":{"clan_id":5}}}})");
}

TEST_F(Conversion, AChangedFileIsWrittenOnceAndKeepsItsDate) {
  const std::string text =
      R"({"status":"ok","data":{"vehicles":[{"statistics":{"wins":1}}],"4354591":{"clan":{"role":"private","since":1}}}})";
  std::string path = File("2016-12-15.json", text);
  CapturedLog log;
  std::string converted = ConvertSnapshot(text, "777", {&testing::TestDisk(), path}, sources_);
  EXPECT_EQ(converted,
            R"({"status":"ok","data":{"vehicles":[{"all":{"wins":1}}],"777":{"clan":{"role":"private","joined_at":1}}}})");
  EXPECT_EQ(Slurp(path), converted);
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), kStamp);
  EXPECT_EQ(log.Count("Запись файла"), 1u);
}

TEST_F(Conversion, ACurrentFileIsNeitherChangedNorWritten) {
  const std::string current =
      R"({"status":"ok","data":{"4821907":{"clan":{"clan_id":5,"role":"private","joined_at":1},"achievements":{"medalKay":1},)"
      R"("max_series":{"titleSniper":3},"account_id":4821907,"statistics":{"all":{"battles":10,"wins":5}}},)"
      R"("vehicles":[{"all":{"battles":10,"wins":5},"tank_id":1}]}})";
  std::string path = File("2016-12-15.json", current);
  ino_t inode = InodeOf(path);
  EXPECT_EQ(ConvertSnapshot(current, "4821907", {&testing::TestDisk(), path}, sources_), current);
  EXPECT_EQ(InodeOf(path), inode);
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), kStamp);
}

TEST_F(Conversion, ClanIndexTagIsRenamed) {
  const std::string index = R"({"status":"ok","data":[{"clan_id":5,"abbreviation":"TAG","name":"N"}]})";
  std::string path = File("TAG=5.id", index);
  EXPECT_EQ(ConvertClanIndex(index, {&testing::TestDisk(), path}), R"({"status":"ok","data":[{"clan_id":5,"tag":"TAG","name":"N"}]})");
  EXPECT_EQ(Slurp(path), R"({"status":"ok","data":[{"clan_id":5,"tag":"TAG","name":"N"}]})");
  EXPECT_DOUBLE_EQ(testing::TestDisk().ModifiedDate(path), kStamp);
}

}  // namespace
}  // namespace tarvelo
