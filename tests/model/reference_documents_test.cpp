// The reference documents carried in the executable: they parse, hold the facts the
// program relies on and agree with each other.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "embedded.h"
#include "json/json.h"

namespace tarvelo {
namespace {

// The vehicles of the clan tables (heavy, medium, tank destroyer, artillery rows).
constexpr int64_t kClassVehicleIds[] = {
    10785, 14881, 6929,  9489,  58641, 7169,  58369, 6145,  6209,  5425,
    6225,  3937,  14113, 15905, 12305, 14609, 13825, 16897, 17153, 3649,
    15425, 4145,  7249,  3681,  15617, 61697, 13857, 13089, 12049, 16913,
    13569, 14337, 13889, 9297,  13905, 8481,  9233,  8705,  11841, 12369,
};

json::Value Document(std::string_view name) {
  std::string_view bytes = FindResource(name);
  EXPECT_FALSE(bytes.empty()) << name << " is not embedded";
  return json::parse(bytes);
}

std::string DataPath(int64_t id, std::string_view member) {
  return "data." + std::to_string(id) + "." + std::string(member);
}

TEST(ReferenceDocuments, EveryDocumentParsesAsAnObject) {
  for (const char* name : {"TanksInfo", "TanksExpValues", "TanksIvanerr", "AchievementsList", "CountryList"}) {
    json::Value document = Document(name);
    ASSERT_TRUE(document.present()) << name;
    EXPECT_EQ(document.kind(), json::Kind::Object) << name;
  }
}

TEST(ReferenceDocuments, VehicleEncyclopediaHoldsThe121BAsAPremiumChineseMediumOfTierTen) {
  json::Value info = Document("TanksInfo");
  EXPECT_EQ(json::text(info, "status"), "ok");
  EXPECT_EQ(json::integer(info, "data.63537.tank_id"), 63537);
  EXPECT_EQ(json::text(info, "data.63537.name"), "121B");
  EXPECT_EQ(json::text(info, "data.63537.tag"), "Ch25_121_mod_1971B");
  EXPECT_EQ(json::text(info, "data.63537.nation"), "china");
  EXPECT_EQ(json::text(info, "data.63537.type"), "mediumTank");
  EXPECT_EQ(json::integer(info, "data.63537.tier"), 10);
  EXPECT_EQ(json::at(info, "data.63537.is_premium").kind(), json::Kind::Boolean);
  EXPECT_TRUE(json::boolean(info, "data.63537.is_premium"));
  EXPECT_EQ(json::text(info, "data.63537.images").rfind("http", 0), 0u);
  EXPECT_FALSE(json::at(info, "data.1234567").present());
  EXPECT_EQ(json::text(info, "data.1234567"), "");
}

TEST(ReferenceDocuments, EveryEncyclopediaEntryIsAWellFormedVehicle) {
  json::Value info = Document("TanksInfo");
  json::Value data = json::at(info, "data");
  const std::set<std::string> classes = {"lightTank", "mediumTank", "heavyTank", "AT-SPG", "SPG"};
  ASSERT_GT(json::member_count(data), 0u);
  EXPECT_EQ(json::integer(info, "meta.count"), static_cast<int64_t>(json::member_count(data)));
  for (const auto& [id, vehicle] : json::members(data)) {
    EXPECT_EQ(std::to_string(json::integer(vehicle, "tank_id")), id);
    EXPECT_TRUE(classes.count(json::text(vehicle, "type"))) << id;
    EXPECT_GE(json::integer(vehicle, "tier"), 1) << id;
    EXPECT_LE(json::integer(vehicle, "tier"), 10) << id;
    EXPECT_FALSE(json::text(vehicle, "name").empty()) << id;
    EXPECT_FALSE(json::text(vehicle, "nation").empty()) << id;
  }
}

// The old-layout conversion finds a vehicle id by searching the encyclopedia text for
// the quoted name and reading the last "tank_id" before it.
TEST(ReferenceDocuments, TankIdPrecedesTheNameInsideEachEncyclopediaEntry) {
  std::string_view text = FindResource("TanksInfo");
  size_t name = text.find("\"121B\"");
  ASSERT_NE(name, std::string_view::npos);
  size_t tank_id = text.rfind("\"tank_id\":", name);
  ASSERT_NE(tank_id, std::string_view::npos);
  EXPECT_EQ(text.substr(tank_id + 10, 6), "63537,");
}

TEST(ReferenceDocuments, EveryClanTableVehicleIsKnownRatedAndWeighted) {
  json::Value info = Document("TanksInfo");
  json::Value expected = Document("TanksExpValues");
  json::Value ivanerr = Document("TanksIvanerr");
  for (int64_t id : kClassVehicleIds) {
    EXPECT_EQ(json::integer(info, DataPath(id, "tier")), 10) << id;
    EXPECT_GT(json::real(expected, DataPath(id, "expDamage")), 0.0) << id;
    std::string kef = "kefs." + std::to_string(id);
    EXPECT_FALSE(json::text(ivanerr, kef + ".tankname_localized_short").empty()) << id;
    EXPECT_GT(json::real(ivanerr, kef + ".weight"), 0.0) << id;
  }
}

TEST(ReferenceDocuments, EveryExpectedValueIsPositive) {
  json::Value data = json::at(Document("TanksExpValues"), "data");
  ASSERT_GT(json::member_count(data), 0u);
  EXPECT_GT(json::real(data, "1.expDamage"), 0.0);
  for (const auto& [id, values] : json::members(data)) {
    for (const char* name : {"expFrag", "expDamage", "expSpot", "expDef", "expWinRate"}) {
      EXPECT_GT(json::real(values, name), 0.0) << id << " " << name;
    }
    EXPECT_LT(json::real(values, "expWinRate"), 100.0) << id;
  }
}

TEST(ReferenceDocuments, IvanerrWeightsAreDecimalStringsAnd61697WeighsPoint85) {
  json::Value ivanerr = Document("TanksIvanerr");
  EXPECT_EQ(json::text(ivanerr, "kefs.61697.weight"), "0.850");
  EXPECT_DOUBLE_EQ(json::real(ivanerr, "kefs.61697.weight"), 0.85);
  EXPECT_FALSE(json::at(ivanerr, "kefs.1").present());
  EXPECT_DOUBLE_EQ(json::real(ivanerr, "caps.maxskill"), 0.53);
  EXPECT_NE(FindResource("TanksIvanerr").find("\"maxskill\":.53"), std::string_view::npos);
  json::Value kefs = json::at(ivanerr, "kefs");
  EXPECT_EQ(json::member_count(kefs), 42u);
  for (const auto& [id, kef] : json::members(kefs)) {
    EXPECT_EQ(json::at(kef, "weight").kind(), json::Kind::String) << id;
  }
}

TEST(ReferenceDocuments, EveryAchievementHasItsSixFieldsWithAKnownSectionAndType) {
  json::Value list = Document("AchievementsList");
  json::Value data = json::at(list, "data");
  const std::set<std::string> sections = {"battle", "epic", "class", "special", "memorial", "group", "action"};
  const std::set<std::string> types = {"repeatable", "class", "single", "custom", "series"};
  std::set<std::string> used_sections;
  std::set<std::string> used_types;
  EXPECT_EQ(json::text(list, "status"), "ok");
  ASSERT_GT(json::member_count(data), 0u);
  EXPECT_EQ(json::integer(list, "meta.count"), static_cast<int64_t>(json::member_count(data)));
  for (const auto& [key, entry] : json::members(data)) {
    EXPECT_FALSE(json::text(entry, "name_i18n").empty()) << key;
    EXPECT_FALSE(json::text(entry, "description").empty()) << key;
    EXPECT_EQ(json::at(entry, "order").kind(), json::Kind::Integer) << key;
    EXPECT_EQ(json::at(entry, "condition").kind(), json::Kind::String) << key;
    EXPECT_TRUE(sections.count(json::text(entry, "section"))) << key;
    EXPECT_TRUE(types.count(json::text(entry, "type"))) << key;
    used_sections.insert(json::text(entry, "section"));
    used_types.insert(json::text(entry, "type"));
  }
  EXPECT_EQ(used_sections, sections);
  EXPECT_EQ(used_types, types);
}

TEST(ReferenceDocuments, NationalVariantsStandBesideTheirAllNationsAward) {
  json::Value data = json::at(Document("AchievementsList"), "data");
  EXPECT_EQ(json::text(data, "tankExpert.name_i18n"), "Эксперт");
  EXPECT_EQ(json::text(data, "tankExpert0.name_i18n"), "Эксперт: СССР");
  for (std::string key : {"tankExpert", "mechanicEngineer"}) {
    EXPECT_EQ(json::text(data, key + ".type"), "custom");
    EXPECT_EQ(json::text(data, key + ".name_i18n").find(": "), std::string::npos) << key;
    for (char digit = '0'; digit <= '8'; ++digit) {
      std::string variant = key + digit;
      EXPECT_EQ(json::text(data, variant + ".type"), "custom") << variant;
      EXPECT_NE(json::text(data, variant + ".name_i18n").find(": "), std::string::npos) << variant;
    }
  }
}

TEST(ReferenceDocuments, CatalogueKnowsEveryKeyThatConvertedSnapshotsCarry) {
  json::Value data = json::at(Document("AchievementsList"), "data");
  for (const char* key :
       {"armorPiercer", "handOfDeath", "heroesOfRassenay", "ironMan", "luckyDevil", "mainGun",
        "medalAbrams", "medalBillotte", "medalWittmann", "medalBrothersInArms", "medalBrunoPietro",
        "medalBurda", "medalCarius", "medalCrucialContribution", "medalDeLanglade", "medalDumitru",
        "medalEkins", "medalFadin", "medalHalonen", "medalKay", "medalKnispel", "medalKolobanov",
        "medalLafayettePool", "medalLavrinenko", "medalLeClerc", "medalLehvaslaiho", "medalNikolas",
        "medalOrlik", "medalOskin", "medalPascucci", "medalPoppel", "medalRadleyWalters",
        "medalTamadaYoshio", "medalTarczay", "pattonValley", "titleSniper", "maxDiehardSeries",
        "maxInvincibleSeries", "maxKillingSeries", "maxPiercingSeries", "maxSniperSeries",
        "beasthunter", "bombardier", "defender", "diehard", "evileye", "huntsman", "invader",
        "invincible", "kamikaze", "lumberjack", "mousebane", "raider", "scout", "sinai", "sniper",
        "sniper2", "steelwall", "sturdy", "supporter", "warrior", "fireAndSteelMedal"}) {
    EXPECT_TRUE(json::at(data, key).present()) << key;
  }
  // "sniper" is counted among the battle heroes on its own, so it must not be one twice.
  EXPECT_NE(json::text(data, "sniper.section"), "battle");
  for (const char* key : {"armorPiercer", "titleSniper", "invincible", "diehard", "handOfDeath"}) {
    EXPECT_EQ(json::text(data, std::string(key) + ".type"), "series") << key;
  }
  EXPECT_EQ(json::text(data, "histBattle1_battlefield.condition"), "historical");
}

TEST(ReferenceDocuments, EveryCountryHasFourValuesAndAFlagClass) {
  json::Value countries = Document("CountryList");
  std::string_view style = FindResource("ResStyleFlags");
  ASSERT_GT(json::member_count(countries), 200u);
  EXPECT_EQ(json::item_text(json::at(countries, "RU"), 1), "Российская Федерация");
  EXPECT_EQ(json::item_text(json::at(countries, "AD"), 3), "020");
  EXPECT_EQ(json::item(json::at(countries, "ABKHAZIA"), 2).kind(), json::Kind::Null);
  for (const auto& [code, names] : json::members(countries)) {
    ASSERT_EQ(json::length(names), 4u) << code;
    EXPECT_FALSE(json::item_text(names, 0).empty()) << code;
    EXPECT_FALSE(json::item_text(names, 1).empty()) << code;
    for (size_t i : {2u, 3u}) {
      json::Kind kind = json::item(names, i).kind();
      EXPECT_TRUE(kind == json::Kind::String || kind == json::Kind::Null) << code << " " << i;
    }
    EXPECT_NE(style.find(".flag-" + code + "{"), std::string_view::npos) << code;
  }
}

uint32_t BigEndian32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

TEST(ReferenceDocuments, FlagSpriteHasANineRowCellForEveryCountry) {
  std::string_view sprite = FindResource("RESPNGFLAGS");
  std::string_view style = FindResource("ResStyleFlags");
  ASSERT_GE(sprite.size(), 24u);
  ASSERT_EQ(sprite.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
  ASSERT_EQ(sprite.substr(12, 4), "IHDR");
  size_t countries = json::member_count(Document("CountryList"));
  EXPECT_EQ(BigEndian32(sprite, 16), 16u);
  EXPECT_EQ(BigEndian32(sprite, 20), 9u * countries);
  EXPECT_NE(style.find("res://%ExePath%/PNG/RESPNGFLAGS"), std::string_view::npos);
  std::string last_offset = "-" + std::to_string(9 * (countries - 1)) + "px}";
  EXPECT_NE(style.find(last_offset), std::string_view::npos);
}

}  // namespace
}  // namespace tarvelo
