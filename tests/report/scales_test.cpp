#include "report/scales.h"

#include <gtest/gtest.h>

#include "model/tables.h"
#include "text/russian.h"

namespace tarvelo {
namespace {

TEST(ColourClass, TakesTheHighestThresholdReached) {
  EXPECT_EQ(ColourClass(scales::kWinRate, 46.5), "c2");
  EXPECT_EQ(ColourClass(scales::kWinRate, 46.49), "c1");
  EXPECT_EQ(ColourClass(scales::kWinRate, 0), "c1");
  EXPECT_EQ(ColourClass(scales::kWinRate, -1), "");
  EXPECT_EQ(ColourClass(scales::kWinRate, 64.5), "c6");
  EXPECT_EQ(ColourClass(scales::kWinRate, 1000), "c6");
  EXPECT_EQ(ColourClass(scales::kEff, 1174.99), "c3");
  EXPECT_EQ(ColourClass(scales::kEff, 1175), "c4");
  // Thresholds are single precision: 0.1 as a float is a little above 0.1.
  EXPECT_EQ(ColourClass(scales::kIvrSkill, 0.1), "c2");
  EXPECT_EQ(ColourClass(scales::kIvrSkill, 0.09999), "c1");
  EXPECT_EQ(ColourClass(scales::kWgChange, -5), "c1");
  EXPECT_EQ(ColourClass(scales::kWgChange, 0), "c4");
}

TEST(ColourClass, ScalesByBattleMode) {
  EXPECT_EQ(ColourClass(BattlesByModeScale(kModeAll), 16000), "c4");
  EXPECT_EQ(ColourClass(BattlesByModeScale(kModeHistorical), 16000), "c6");
  EXPECT_EQ(ColourClass(BattlesByModeScale(kModeGlobalmapMiddle), 24), "c2");
  EXPECT_EQ(ColourClass(BattlesPerDayScale(kModeAll), 5), "c2");
  EXPECT_EQ(ColourClass(BattlesPerDayScale(kModeRandom), 5), "c6");
  EXPECT_EQ(&MainRatingScale("WN8"), &scales::kWn8);
  EXPECT_EQ(&MainRatingScale("EFF"), &scales::kEff);
  EXPECT_EQ(&MainRatingScale("anything"), &scales::kEff);
}

TEST(BracketColour, WrapsTheBracketedPartOrDropsTheBrackets) {
  EXPECT_EQ(BracketColour("%.0n|[%.2f%%]", "c3"), "%.0n|<span class=\"c3\">%.2f%%</span>");
  EXPECT_EQ(BracketColour("%.0n|[%.2f%%]", ""), "%.0n|%.2f%%");
  EXPECT_EQ(BracketColour("no brackets", "c1"), "no brackets");
}

// A coloured value is formatted piece by piece around the spans; it must come
// out as the bracket-coloured format would, also where a bracket stands inside
// or next to a directive, and where a missing class joins the pieces.
TEST(ColouredValue, IsTheBracketColouredFormatFormatted) {
  const char* const formats[] = {"[%.2f]", "%.0n|[%.2f%%]", "<td>[%d]</td>", "%[%", "%.2[f]", "[%]d",
                                 "a%%[b]%.1f", "[%.1f] / [%.1f]", "[", "]%s[", "no brackets %.0f", ""};
  for (const char* format : formats) {
    for (const double colour_value : {-1.0, 50.0, 70.0}) {
      const std::string css_class = ColourClass(scales::kWinRate, colour_value);
      EXPECT_EQ(ColouredValue(format, 1234.567, scales::kWinRate, colour_value),
                Format(BracketColour(format, css_class), {1234.567}))
          << format << " with class \"" << css_class << "\"";
    }
  }
  std::string html = "<td>";
  AppendColouredValue(html, "[%.1f%%]", 51.25, scales::kWinRate, 51.25);
  EXPECT_EQ(html, "<td><span class=\"c3\">51,3%</span>");
}

TEST(NextStepTooltip, NamesWhatIsMissingToTheNextColour) {
  EXPECT_EQ(NextStepTooltip(scales::kEff, 1000), "175,00 до 1175");
  EXPECT_EQ(NextStepTooltip(scales::kEff, 300), "310,00 до 610");
  EXPECT_EQ(NextStepTooltip(scales::kEff, 1540), "340,00 до 1880");
  EXPECT_EQ(NextStepTooltip(scales::kEff, 1880), "0,00 до 1880");
  EXPECT_EQ(NextStepTooltip(scales::kEff, 1900), "");
  EXPECT_EQ(NextStepTooltip(scales::kIvrSkill, 0.05), "0,05 до 0,10");
  EXPECT_EQ(NextStepTooltip(scales::kIvrSkill, 0.45), "0,05 до 0,50");
  EXPECT_EQ(NextStepTooltip(scales::kIvr, 2.5), "0,50 до 3,00");
}

TEST(RoleClass, RanksRolesByTheirGroup) {
  EXPECT_EQ(RoleClass("commander"), "c6");
  EXPECT_EQ(RoleClass("Командующий"), "c6");
  EXPECT_EQ(RoleClass("executive_officer"), "c5");
  EXPECT_EQ(RoleClass("combat_officer"), "c4");
  EXPECT_EQ(RoleClass("junior_officer"), "c3");
  EXPECT_EQ(RoleClass("младший офицер"), "c3");
  // The first two groups list their roles with a leading underscore.
  EXPECT_EQ(RoleClass("_private"), "c2");
  EXPECT_EQ(RoleClass("private"), "");
  EXPECT_EQ(RoleClass("officer"), "");
}

}  // namespace
}  // namespace tarvelo
