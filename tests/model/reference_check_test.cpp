// What makes a refreshed encyclopedia or table of expected values unfit to stand
// in for the one in use, and the versions the reference data tells.
#include "model/reference_check.h"

#include <gtest/gtest.h>

#include <string>

#include "embedded.h"
#include "model/reference.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

const std::string kVehicle =
    R"({"tank_id":1,"nation":"ussr","tag":"R04_T-34","is_premium":false,"type":"mediumTank","tier":5,)"
    R"("name":"Т-34","images":"http://img/1.png"})";

std::string Vehicles(const std::string& entry, const std::string& key = "1") {
  return R"({"status":"ok","meta":{"count":1},"data":{")" + key + "\":" + entry + "}}";
}

const std::string kExpected = R"({"expFrag":1.04,"expDamage":511.21,"expSpot":1.46,"expDef":1.06,"expWinRate":55.71})";

std::string Expected(const std::string& entry, const std::string& header = R"({"version":"2026-12-07"})") {
  return R"({"header":)" + header + R"(,"data":{"1":)" + entry + "}}";
}

TEST(ReferenceCheck, TheEmbeddedDocumentsPass) {
  EXPECT_EQ(VehiclesProblem(json::parse(FindResource("TanksInfo"))), std::nullopt);
  EXPECT_EQ(ExpectedValuesProblem(json::parse(FindResource("TanksExpValues"))), std::nullopt);
  EXPECT_EQ(VehiclesProblem(json::parse(Vehicles(kVehicle))), std::nullopt);
  EXPECT_EQ(ExpectedValuesProblem(json::parse(Expected(kExpected))), std::nullopt);
}

TEST(ReferenceCheck, AVehicleOutOfRangeSpoilsTheDocument) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"not JSON", "{\"data\":{\"1\":"},
      {"no vehicles", R"({"status":"ok","data":{}})"},
      {"tier 0", Vehicles(ReplaceAll(kVehicle, "\"tier\":5", "\"tier\":0"))},
      {"tier 11", Vehicles(ReplaceAll(kVehicle, "\"tier\":5", "\"tier\":11"))},
      {"tier as text", Vehicles(ReplaceAll(kVehicle, "\"tier\":5", "\"tier\":\"5\""))},
      {"unknown class", Vehicles(ReplaceAll(kVehicle, "mediumTank", "spaceship"))},
      {"no name", Vehicles(ReplaceAll(kVehicle, "\"Т-34\"", "\"\""))},
      {"no tag", Vehicles(ReplaceAll(kVehicle, "\"tag\":\"R04_T-34\",", ""))},
      {"no nation", Vehicles(ReplaceAll(kVehicle, "\"ussr\"", "\"\""))},
      {"premium flag as number", Vehicles(ReplaceAll(kVehicle, "false", "0"))},
      {"no picture", Vehicles(ReplaceAll(kVehicle, ",\"images\":\"http://img/1.png\"", ""))},
      {"keyed by another id", Vehicles(kVehicle, "2")},
      {"entry not an object", Vehicles("null")},
  };
  for (const auto& c : cases) EXPECT_NE(VehiclesProblem(json::parse(c.text)), std::nullopt) << c.what;
}

TEST(ReferenceCheck, AnExpectedValueOutOfRangeSpoilsTheTable) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"no version", Expected(kExpected, "{}")},
      {"no vehicles", R"({"header":{"version":"1"},"data":{}})"},
      {"zero damage", Expected(ReplaceAll(kExpected, "511.21", "0"))},
      {"negative defence", Expected(ReplaceAll(kExpected, "1.06", "-1.06"))},
      {"win rate of 100 %", Expected(ReplaceAll(kExpected, "55.71", "100"))},
      {"damage beyond any vehicle", Expected(ReplaceAll(kExpected, "511.21", "25000"))},
      {"frags as text", Expected(ReplaceAll(kExpected, "1.04", "\"1.04\""))},
      {"spots missing", Expected(ReplaceAll(kExpected, "\"expSpot\":1.46,", ""))},
      {"frags null", Expected(ReplaceAll(kExpected, "1.04", "null"))},
  };
  for (const auto& c : cases) EXPECT_NE(ExpectedValuesProblem(json::parse(c.text)), std::nullopt) << c.what;
}

TEST(ReferenceCheck, AReplacementListsAtLeastNinetyPercent) {
  EXPECT_EQ(TooFewEntries(90, 100), std::nullopt);
  EXPECT_NE(TooFewEntries(89, 100), std::nullopt);
  EXPECT_EQ(TooFewEntries(852, 851), std::nullopt);
  EXPECT_NE(TooFewEntries(0, 1), std::nullopt);
  EXPECT_EQ(EntryCount(json::parse(FindResource("TanksInfo"))), 851u);
}

TEST(ReferenceCheck, VersionsOfTheDocumentsInUse) {
  ReferenceTexts texts = EmbeddedReferenceTexts();
  const ReferenceData embedded = ReferenceData::FromTexts(texts);
  EXPECT_EQ(embedded.VehiclesVersion(), "встроенный");
  EXPECT_EQ(embedded.ExpectedVersion(), "2025-10-13");
  EXPECT_EQ(embedded.Version(), "встроенный / 2025-10-13");

  const std::string refreshed =
      R"({"status":"ok","meta":{"count":1,"game_version":"1.35.0.0","tanks_updated_at":1796040000},"data":{"1":)" +
      kVehicle + "}}";
  texts.tanks_info = refreshed;
  const std::string table = Expected(kExpected);
  texts.exp_values = table;
  const ReferenceData stored = ReferenceData::FromTexts(texts);
  EXPECT_EQ(stored.VehiclesVersion(), "1.35.0.0 от 30.11.2026");
  EXPECT_EQ(stored.Version(), "1.35.0.0 от 30.11.2026 / 2026-12-07");
  EXPECT_EQ(stored.Vehicle("1").name, "Т-34");
}

}  // namespace
}  // namespace tarvelo
