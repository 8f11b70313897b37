#include "report/delta.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "text/russian.h"

namespace tarvelo {
namespace {

TEST(DeltaCell, ShowsGainsLossesAndNothing) {
  const std::vector<std::pair<double, std::string>> cases = {
      {1.234, "</td><td class=\"progress\"><span class=\"g\">+1,23</span>"},
      {0.005, "</td><td class=\"progress\"><span class=\"g\">+0,01</span>"},
      {-0.5, "</td><td class=\"progress\"><span class=\"r\">&ndash;0,50</span>"},
      {-0.005, "</td><td class=\"progress\"><span class=\"r\">&ndash;0,01</span>"},
      {-1234.567, "</td><td class=\"progress\"><span class=\"r\">&ndash;1234,57</span>"},
      // A change that rounds to zero is neither a gain nor a loss.
      {0.004, "</td><td class=\"progress\"><span class=\"c0\">0,00</span>"},
      {-0.004, "</td><td class=\"progress\"><span class=\"c0\">0,00</span>"},
      {1e-7, "</td><td class=\"progress\"><span class=\"c0\">0,00</span>"},
      {0, "</td><td class=\"progressEmpty\">&nbsp;"},
      {std::nan(""), "</td><td class=\"progressEmpty\">&nbsp;"},
  };
  for (const auto& [delta, cell] : cases) EXPECT_EQ(DeltaCell(delta), cell) << delta;
  EXPECT_EQ(DeltaCell(0, "NEW"), "</td><td class=\"progress\"><span class=\"c0\">NEW</span>");
  EXPECT_EQ(DeltaCell(2, "NEW"), "</td><td class=\"progress\"><span class=\"g\">+2,00</span>");
  EXPECT_EQ(DeltaCell(-0.001, "NEW"), "</td><td class=\"progress\"><span class=\"c0\">0,00</span>");
}

TEST(WinsNeededTooltip, CountsWinsToTheNextTwoHalfPercentSteps) {
  const std::string format = WinsNeededTooltip("%.0n|[%.2f%%]", 100, 51, 0);
  EXPECT_EQ(format, "%.0n</td><td title=\"2 до 51,5%% / 3 до 52,0%%\">[%.2f%%]");
  EXPECT_EQ(Format(format, {100, 51.0}), "100</td><td title=\"2 до 51,5% / 3 до 52,0%\">[51,00%]");
  EXPECT_EQ(WinsNeededTooltip("|", 6618, 3334, 0), "</td><td title=\"17 до 50,5%% / 85 до 51,0%%\">");
  // 1 of 3 is 33,3%: one more win makes 50%, past both steps.
  EXPECT_EQ(WinsNeededTooltip("|", 3, 1, -2), "</td><td title=\"1 до 33,5%% / 1 до 34,0%%\">");
}

TEST(WinsNeededTooltip, LeavesTheFormatAloneWhereNoStepCanBeShown) {
  EXPECT_EQ(WinsNeededTooltip("%.0n|[%.2f%%]", 100, 51, 7), "%.0n|[%.2f%%]");
  EXPECT_EQ(WinsNeededTooltip("%.0n|[%.2f%%]", 100, 100, 0), "%.0n|[%.2f%%]");
  EXPECT_EQ(WinsNeededTooltip("%.0n|[%.2f%%]", 0, 0, 0), "%.0n|[%.2f%%]");
  // 996 of 1000: the steps would be 100% and beyond, which no run of wins reaches.
  EXPECT_EQ(WinsNeededTooltip("%.0n|[%.2f%%]", 1000, 996, 0), "%.0n|[%.2f%%]");
  EXPECT_EQ(WinsNeededTooltip("%.0n|[%.2f%%]", 1000, 989, 0),
            "%.0n</td><td title=\"100 до 99,0%% / 1200 до 99,5%%\">[%.2f%%]");
}

}  // namespace
}  // namespace tarvelo
