// The statistic rows of the player report in the all-time and period views.
#include <gtest/gtest.h>

#include "report_fixture.h"

namespace tarvelo::testing {
namespace {

class AccountStatsTest : public AccountReportTest {};

TEST_F(AccountStatsTest, BattleCountRowsShowTheirModeAndLeadToIt) {
  const std::string html = Report();
  EXPECT_EQ(RowOf(html, "stAllBattles"),
            "<tbody id=\"stAllBattles\"><tr class=\"hand\" onclick=\"return doCmd('search','Gromoboy_77&mode=all')\">"
            "<td>Количество боёв</td><td>100</td><td title=\"2 до 51,5% / 3 до 52,0%\"><span class=\"c3\">51,00%"
            "</span></td><td class=\"progressEmpty\">&nbsp;</td></tr></tbody>");
  EXPECT_EQ(RowOf(html, "stRandomBattles"),
            "<tbody id=\"stRandomBattles\" class=\"hide\"><tr class=\"hand\" onclick=\"return "
            "doCmd('search','Gromoboy_77&mode=random')\"><td>&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>"
            "&nbsp;случайных</td><td>80</td><td title=\"1 до 50,5% / 2 до 51,0%\"><span class=\"c3\">50,00%</span></td>"
            "<td class=\"progressEmpty\">&nbsp;</td></tr></tbody>");
  // Without battles the win percent is left out and the caption greyed.
  EXPECT_NE(RowOf(html, "stTeamBattles")
                .find("<td><span class=\"c0\">&nbsp;&nbsp;командных</span></td><td>0</td><td></td>"),
            std::string::npos)
      << RowOf(html, "stTeamBattles");
  // A format without brackets has no part to leave out: its percent is a zero one.
  EXPECT_NE(RowOf(html, "stFalloutBattles")
                .find("<td><span class=\"c0\">&nbsp;&nbsp;&quot;Бой до последнего&quot;</span></td><td>0</td>"
                      "<td>0,00%</td>"),
            std::string::npos)
      << RowOf(html, "stFalloutBattles");
}

TEST_F(AccountStatsTest, ModeRandomShowsRandomBattlesAndNamesTheMode) {
  const std::string html = Report(Days(0, "", kModeRandom));
  EXPECT_NE(RowOf(html, "stAllBattles").find("'Gromoboy_77&mode=all')\"><td>Количество боёв</td><td>80</td>"),
            std::string::npos)
      << RowOf(html, "stAllBattles");
  EXPECT_EQ(RowOf(html, "stRandomBattles"), "") << "the child rows are shown in mode all only";
  EXPECT_NE(RowOf(html, "Total").find("<b class=\"sectionHdr\">Общая статистика</b> <span>(случайные бои)</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "Total").find("<li><input type=\"radio\" name=\"mode\" value=\"random\" id=\"strandom\" "
                                      "onclick=\"return doCmd('search','Gromoboy_77&mode=random')\" checked=\"checked\">"
                                      "<label for=\"strandom\">&nbsp;&nbsp;&nbsp;случайные бои</label></li>\r\n"),
            std::string::npos);
}

TEST_F(AccountStatsTest, ModeSkirmishShowsOnlyItsRows) {
  const std::string skirmish = Report(Days(0, "", kModeStrongholdSkirmish));
  EXPECT_EQ(RowOf(skirmish, "stStronghold_SkirmishBattles"), "");
  EXPECT_EQ(RowOf(skirmish, "HeroesTotal"), "");
  EXPECT_NE(RowOf(skirmish, "VehiclesTopCount"), "");
  EXPECT_NE(RowOf(skirmish, "rateEFF"), "");
  EXPECT_NE(RowOf(Report(Days(0, "", kModeStronghold)), "stStronghold_SkirmishBattles")
                .find("<tbody id=\"stStronghold_SkirmishBattles\"><tr"),
            std::string::npos);
  EXPECT_NE(RowOf(Report(), "stStronghold_SkirmishBattles").find("class=\"hide\""), std::string::npos);
}

TEST_F(AccountStatsTest, RatingRowsGiveTheScaleValueTheNextStepAndTheColour) {
  shown_.Stats[kModeAll].rateEFF = 1000;
  shown_.Stats[kModeAll].xEFF = 48.25f;
  shown_.Stats[kModeAll].rateWG = 6421;
  shown_.Stats[kModeAll].xWG = 53.3f;
  shown_.Stats[kModeAll].rateIVR = 2.5f;
  const std::string html = Report();
  EXPECT_EQ(RowOf(html, "rateEFF"),
            "<tbody id=\"rateEFF\"><tr><td>Рейтинг эффективности</td><td>48,3</td><td title=\"175,00 до 1175\"><span "
            "class=\"c3\">1000,00</span></td><td class=\"progressEmpty\">&nbsp;</td></tr></tbody>");
  EXPECT_NE(RowOf(html, "rateWG").find("<td>53,3</td><td title=\"94,00 до 6515\"><span class=\"c3\">6421</span></td>"),
            std::string::npos);
  EXPECT_EQ(RowOf(html, "rateIVR"),
            "<tbody id=\"rateIVR\"><tr title=\"Только огневая мощь и скилл, без учета онлайна\"><td>Потенциал силы по "
            "Иванерру</td><td>&nbsp;</td><td title=\"0,50 до 3,00\"><span class=\"c3\">2,50</span></td><td "
            "class=\"progressEmpty\">&nbsp;</td></tr></tbody>");
}

TEST_F(AccountStatsTest, FigureRowsAndTheirTitles) {
  RWOTAccountStats& s = shown_.Stats[kModeAll];
  s.Frags = 120;
  s.DamageDealt = 150000;
  s.DamageAvg = 1500;
  s.ExpDamageSum = 120000;
  s.MaxXp = 2056;
  s.MaxXpTankId = "1";
  s.LevelAvg = 7.04f;
  shown_.TopVehicleCount = 2;
  shown_.BattlesByTier[9] = 40;
  shown_.WinsByTier[9] = 22;
  shown_.HeroesTotal = 5;
  shown_.MasteryCount = 4;
  shown_.CountByBadge[4] = 1;
  reference_ = ReferenceData::FromTexts({R"({"data":{"1":{"name":"Т-34","tier":5,"nation":"ussr","type":"mediumTank"}}})",
                                         "", "", "", ""});
  const std::string html = Report();
  EXPECT_NE(RowOf(html, "Frags").find("<td>Уничтожено</td><td>120</td><td><span class=\"c5\">1,20</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "DamageAvg")
                .find("<td>Нанесённый урон</td><td>150\u00A0000</td><td><span class=\"c5\">1500,00</span></td>"),
            std::string::npos)
      << RowOf(html, "DamageAvg");
  EXPECT_NE(RowOf(html, "max_xp").find("<tr title=\"На танке Т-34 (5-й уровень)\"><td>Максимальный опыт за бой</td>"
                                       "<td>2\u00A0056</td><td>&nbsp;</td>"),
            std::string::npos)
      << RowOf(html, "max_xp");
  EXPECT_NE(RowOf(html, "LevelAvg").find("<td>Уровень боёв</td><td colspan=\"2\"><span class=\"c4\">7,0</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "VehiclesTopCount")
                .find("<tr title=\"Количество танков 10-го уровня и средний процент побед на них\"><td>Топ-танков</td>"
                      "<td>2</td><td><span class=\"c4\">55,00%</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "HeroesTotal").find("<td>5</td><td><span class=\"c2\">0,05</span></td>"), std::string::npos);
  EXPECT_NE(RowOf(html, "VehiclesMasteryHighCount").find("<td>1</td><td><span class=\"c1\">25,00%</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "Wins").find("<td>Побед</td><td>51</td><td>&nbsp;</td>"), std::string::npos);
}

TEST_F(AccountStatsTest, ZeroFiguresAreGreyedInTheAllTimeView) {
  const std::string html = Report();
  // No tier-10 battles: the count alone, with an empty relative cell.
  EXPECT_NE(RowOf(html, "VehiclesTopCount").find("<td><span class=\"c0\">Топ-танков</span></td><td>0</td><td></td>"),
            std::string::npos)
      << RowOf(html, "VehiclesTopCount");
  EXPECT_NE(RowOf(html, "VehiclesMasteryHighCount").find("<td>0</td><td><span class=\"c1\">0,00%</span></td>"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "max_xp").find("<span class=\"c0\">Максимальный опыт за бой</span>"), std::string::npos);
}

class PeriodStatsTest : public AccountStatsTest {
 protected:
  PeriodStatsTest() {
    base_.Stats[kModeAll] = Block(90, 45);
    base_.Stats[kModeAll].XpAvg = 480;
    shown_.Stats[kModeAll] = Block(10, 6);
    shown_.Stats[kModeAll].XpAvg = 680;
    shown_.Stats[kModeRandom] = Block(10, 6);
    shown_.Stats[kModeClan] = Block(3, 2);
    shown_.PeriodStart = EncodeDate(2016, 12, 1);
  }
};

TEST_F(PeriodStatsTest, DropsZeroRowsByTheirLevelAndShowsDeltas) {
  const std::string html = Report(Days(7));
  EXPECT_EQ(RowOf(html, "stFalloutBattles"), "") << "level 2, zero";
  EXPECT_EQ(RowOf(html, "max_xp"), "") << "level 1, zero";
  EXPECT_EQ(RowOf(html, "HeroesTotal"), "") << "level 1, zero";
  for (std::string_view level0 : {"VehiclesMasteryHighCount", "powerIVR", "skillIVR", "VehicleNation",
                                  "ClanHistoryWithRoles", "Clanable", "Replays", "Location"}) {
    EXPECT_EQ(RowOf(html, level0), "") << level0;
  }
  // Child rows of level 2 open in a period view, those of level 1 stay collapsed.
  EXPECT_NE(RowOf(html, "stClanBattles").find("<tbody id=\"stClanBattles\"><tr"), std::string::npos);
  EXPECT_NE(RowOf(html, "stRandomBattles").find("<tbody id=\"stRandomBattles\" class=\"hide\"><tr"), std::string::npos);
  // The win percent went from 50% (base, 45 of 90) to 51% (current, 51 of 100), no wins-needed title.
  EXPECT_EQ(RowOf(html, "stAllBattles"),
            "<tbody id=\"stAllBattles\"><tr class=\"hand\" onclick=\"return doCmd('search','Gromoboy_77&mode=all&days=7')"
            "\"><td>Количество боёв</td><td>10</td><td><span class=\"c5\">60,00%</span></td><td class=\"progress\">"
            "<span class=\"g\">+1,00</span></td></tr></tbody>");
  EXPECT_NE(RowOf(html, "battle_avg_xp").find("<td>5\u00A0000</td><td><span class=\"c5\">680,00</span></td><td "
                                              "class=\"progress\"><span class=\"g\">+20,00</span></td>"),
            std::string::npos)
      << RowOf(html, "battle_avg_xp");
}

TEST_F(PeriodStatsTest, KeepsAZeroBattleCountGreyedAndANewRecordMarked) {
  shown_.Stats[kModeAll] = Block(0, 0);
  std::string html = Report(Days(7));
  EXPECT_NE(RowOf(html, "stAllBattles").find("<td><span class=\"c0\">Количество боёв</span></td><td>0</td><td></td>"),
            std::string::npos)
      << RowOf(html, "stAllBattles");
  shown_.Stats[kModeAll] = Block(10, 6);
  shown_.Stats[kModeAll].MaxXp = 35;
  html = Report(Days(7));
  EXPECT_NE(RowOf(html, "max_xp").find("<td>Максимальный опыт за бой</td><td><span class=\"c3\">+35</span></td>"),
            std::string::npos)
      << RowOf(html, "max_xp");
}

}  // namespace
}  // namespace tarvelo::testing
