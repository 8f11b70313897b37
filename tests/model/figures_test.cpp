// The --figures output of a small snapshot, read back as JSON.
#include "model/figures.h"

#include <gtest/gtest.h>

#include <sstream>

#include "json/json.h"
#include "model_fixture.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

constexpr const char* kSnapshot = R"({"status":"ok","data":{"777":{"nickname":"Петя",
  "statistics":{"all":{"battles":4,"wins":3,"survived_battles":1,"frags":2,"damage_dealt":1000,
   "damage_received":500,"shots":10,"hits":7},"fallout":{"battles":1,"wins":1}}},
  "vehicles":[{"tank_id":1,"all":{"battles":4,"wins":3,"frags":2,"damage_dealt":1000,"shots":10,"hits":7}}]}})";

struct FiguresRun {
  int code;
  std::string out;
  std::string err;
};

FiguresRun Figures(std::string_view text, FiguresOptions options = {}) {
  std::ostringstream out, err;
  int code = WriteFigures(text, options, testing::SmallReference(), out, err);
  return {code, out.str(), err.str()};
}

TEST(WriteFigures, PrintsTheSelectedModeBlockAggregatesAndVehicles) {
  FiguresRun run = Figures(kSnapshot);
  ASSERT_EQ(run.code, 0) << run.err;
  json::Value figures = json::parse(run.out);
  ASSERT_TRUE(figures.present()) << run.out;
  EXPECT_EQ(json::text(figures, "account_id"), "777");
  EXPECT_EQ(json::text(figures, "nickname"), "Петя");
  EXPECT_EQ(json::text(figures, "mode"), "all");
  EXPECT_EQ(json::integer(figures, "stats.Battles"), 4);
  EXPECT_EQ(json::integer(figures, "stats.Draws"), 1);  // 4 - 0 losses - 3 wins
  EXPECT_DOUBLE_EQ(json::real(figures, "stats.HitsPercent"), 70.0);
  EXPECT_FLOAT_EQ(static_cast<float>(json::real(figures, "stats.FragsKoef")), 2.0f / 3);
  EXPECT_EQ(json::integer(figures, "ExpTotals.DamageDealt"), 1000);
  EXPECT_EQ(json::integer(figures, "aggregates.VehicleCount"), 1);
  EXPECT_EQ(json::integer(figures, "aggregates.VehiclesByTier[4]"), 1);
  EXPECT_EQ(json::text(figures, "vehicles[0].Name"), "T-34");
  EXPECT_EQ(json::integer(figures, "vehicles[0].stats.Battles"), 4);
  EXPECT_TRUE(json::at(figures, "stats.MaxWinPoints").present());  // the last field is there too
}

TEST(WriteFigures, FloatsReadBackToTheStoredSingleValue) {
  FiguresRun run = Figures(kSnapshot);
  json::Value figures = json::parse(run.out);
  // 2/3 is not exact in single precision; "%.9g" keeps every bit.
  EXPECT_EQ(static_cast<float>(json::real(figures, "stats.FragsKoef")), static_cast<float>(2.0 / 3));
}

TEST(WriteFigures, ModeAndAccountIdAreChosen) {
  FiguresOptions options;
  options.mode_key = "fallout";
  options.account_id = "777";
  FiguresRun run = Figures(kSnapshot, options);
  ASSERT_EQ(run.code, 0);
  json::Value figures = json::parse(run.out);
  EXPECT_EQ(json::text(figures, "mode"), "fallout");
  EXPECT_EQ(json::integer(figures, "stats.Battles"), 1);
  EXPECT_EQ(json::length(json::at(figures, "vehicles")), 0u);
}

TEST(WriteFigures, RefusesUnknownModesAccountsAndText) {
  FiguresOptions unknown_mode;
  unknown_mode.mode_key = "arcade";
  EXPECT_EQ(Figures(kSnapshot, unknown_mode).code, 2);
  FiguresOptions other_account;
  other_account.account_id = "778";
  FiguresRun missing = Figures(kSnapshot, other_account);
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("778"), std::string::npos);
  EXPECT_EQ(Figures("{\"status\":").code, 1);
  EXPECT_TRUE(Figures("{\"status\":").out.empty());
}

constexpr const char* kOlderSnapshot = R"({"status":"ok","data":{"777":{"nickname":"Петя",
  "statistics":{"all":{"battles":1,"wins":1,"survived_battles":0,"frags":1,"damage_dealt":300,
   "damage_received":100,"shots":4,"hits":3}}},
  "vehicles":[{"tank_id":1,"all":{"battles":1,"wins":1,"frags":1,"damage_dealt":300,"shots":4,"hits":3}}]}})";

TEST(WritePeriodFigures, PrintsThePeriodBetweenTwoSnapshotsOrRefusesAMismatch) {
  std::ostringstream out, err;
  ASSERT_EQ(WritePeriodFigures(kSnapshot, kOlderSnapshot, {}, testing::SmallReference(), out, err), 0) << err.str();
  json::Value figures = json::parse(out.str());
  EXPECT_EQ(json::text(figures, "account_id"), "777");
  EXPECT_EQ(json::integer(figures, "stats.Battles"), 3);
  EXPECT_EQ(json::integer(figures, "stats.DamageDealt"), 700);
  EXPECT_EQ(static_cast<float>(json::real(figures, "stats.HitsPercent")), static_cast<float>(4.0 / 6 * 100));
  EXPECT_EQ(json::integer(figures, "vehicles[0].stats.Battles"), 3);
  EXPECT_EQ(json::integer(figures, "aggregates.VehicleCount"), 1);

  std::ostringstream none, why;
  const std::string other_account = ReplaceAll(kOlderSnapshot, "\"777\"", "\"778\"");
  EXPECT_EQ(WritePeriodFigures(kSnapshot, other_account, {}, testing::SmallReference(), none, why), 1);
  EXPECT_NE(why.str().find("более раннего снимка нет данных игрока 777"), std::string::npos) << why.str();
  EXPECT_TRUE(none.str().empty());
}

}  // namespace
}  // namespace tarvelo
