// The history section: its charts and table from the day summaries handed in,
// the range links, gaps in the calendar, a first day without a step, a day
// without battles, and the player's name escaped in every link.
#include <gtest/gtest.h>

#include "report/report_fixture.h"

namespace tarvelo::testing {
namespace {

constexpr char kNbsp[] = "\u00a0";

size_t CountOccurrences(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

SummaryDay Day(DateTime day, std::optional<DayTotals> step, DayTotals total) {
  SummaryDay summary;
  summary.day = day;
  summary.figures.total = total;
  summary.figures.has_step = step.has_value();
  if (step) summary.figures.step = *step;
  return summary;
}

DayTotals Figures(int64_t battles, int64_t wins, int64_t damage, double wn8) {
  DayTotals totals;
  totals.battles = battles;
  totals.wins = wins;
  totals.damage = damage;
  totals.wn8 = wn8;
  return totals;
}

class HistorySectionTest : public AccountReportTest {
 protected:
  HistorySectionTest() {
    // Newest first: a day after a two-day gap, a day without battles, a played day, the first day.
    history_ = {Day(EncodeDate(2016, 12, 7), Figures(3, 1, 2100, 950), Figures(115, 60, 150000, 1500)),
                Day(EncodeDate(2016, 12, 4), Figures(0, 0, 0, 0), Figures(112, 59, 147900, 1510)),
                Day(EncodeDate(2016, 12, 3), Figures(12, 7, 22476, 1912.4), Figures(112, 59, 147900, 1510)),
                Day(EncodeDate(2016, 12, 2), std::nullopt, Figures(100, 52, 125424, 1480))};
  }
  std::string Section(ReportView view = {}) { return RowOf(Report(view), "History"); }
};

TEST_F(HistorySectionTest, TheTableGivesEachStepNewestFirst) {
  const std::string section = Section();
  const size_t table = section.find("<table class=\"history-data\">");
  ASSERT_NE(table, std::string::npos) << section;
  EXPECT_EQ(section.substr(table, section.find("</table>", table) - table),
            "<table class=\"history-data\"><tr><th>Дата</th><th>Боёв</th><th>Побед</th><th>Урон</th>"
            "<th>WN8 дня</th><th>WN8</th></tr>"
            "<tr><td>07.12.2016</td><td>3</td><td>33,33%</td><td>700,00</td><td class=\"c3\">950,00</td>"
            "<td class=\"c4\">1500,00</td></tr>"
            "<tr><td>04.12.2016</td><td>0</td><td></td><td></td><td></td><td class=\"c4\">1510,00</td></tr>"
            "<tr><td>03.12.2016</td><td>12</td><td>58,33%</td><td>1873,00</td><td class=\"c4\">1912,40</td>"
            "<td class=\"c4\">1510,00</td></tr>"
            "<tr><td>02.12.2016</td><td></td><td></td><td></td><td></td><td class=\"c4\">1480,00</td></tr>");
  EXPECT_NE(section.find("<details>"), std::string::npos) << "the table is folded under the charts";
}

TEST_F(HistorySectionTest, FourChartsOnTheCalendarWithATooltipOnEveryMark) {
  const std::string section = Section();
  EXPECT_EQ(CountOccurrences(section, "<figure class=\"chart\">"), 4u);
  EXPECT_NE(section.find(std::string("<title>03.12.2016: 12 боёв, 58,33 % побед, урон 1") + kNbsp +
                         "873, WN8 1" + kNbsp + "912,40</title>"),
            std::string::npos)
      << section;
  EXPECT_NE(section.find("<title>04.12.2016: 0 боёв</title>"), std::string::npos);
  EXPECT_EQ(section.find("<title>02.12.2016"), std::string::npos) << "the first day has no step to mark";
  // Three bars (the first day has no step); the days 05 and 06 are a gap of two day widths.
  EXPECT_EQ(CountOccurrences(section, "<rect class=\"bar\""), 3u);
  const auto bar_x = [&](const std::string& day) {
    const size_t title = section.find("<title>" + day);
    const size_t x = section.rfind("<rect class=\"bar\" x=\"", title) + 21;
    return std::stod(section.substr(x, section.find('"', x) - x));
  };
  const double day_width = bar_x("04.12.2016") - bar_x("03.12.2016");
  EXPECT_GT(day_width, 0);
  EXPECT_NEAR(bar_x("07.12.2016") - bar_x("04.12.2016"), 3 * day_width, 0.3);
  // The all-time WN8 line breaks at the gap: it starts twice.
  const size_t line = section.find("<path class=\"line\" d=\"M");
  ASSERT_NE(line, std::string::npos);
  const std::string path = section.substr(line, section.find("\"/>", line) - line);
  EXPECT_EQ(CountOccurrences(path, "M"), 2u) << path;
  EXPECT_EQ(section.find(",0 "), std::string::npos) << "coordinates are written with a point";
}

TEST_F(HistorySectionTest, TheRangeLinksRepeatTheSearchAndTheCaptionCountsTheDays) {
  ReportView view = Days(3, "", kModeRandom);
  view.chart = 2;
  const std::string section = Section(view);
  EXPECT_NE(section.find("История</b> – 2 сохранённых дня"), std::string::npos) << section;
  EXPECT_EQ(CountOccurrences(section, "<tr><td>0"), 2u) << "two rows";
  EXPECT_NE(section.find("doCmd('search','Gromoboy_77&mode=random&days=3&chart=365')\">365</a>"), std::string::npos)
      << section;
  EXPECT_NE(section.find("doCmd('search','Gromoboy_77&mode=random&days=3&chart=0')\">все</a>"), std::string::npos);

  view.chart = 0;
  EXPECT_NE(Section(view).find("– 4 сохранённых дня"), std::string::npos);
  view.chart.reset();
  EXPECT_NE(Section(view).find("&chart=90')\" class=\"current\">90</a>"), std::string::npos);
}

TEST_F(HistorySectionTest, AOneDayOrEmptyHistoryAndAMarkedUpName) {
  history_.resize(1);
  history_[0] = Day(EncodeDate(2016, 12, 8), std::nullopt, Figures(100, 52, 125424, 0));
  std::string section = Section();
  EXPECT_NE(section.find("– 1 сохранённый день"), std::string::npos) << section;
  EXPECT_EQ(section.find("<rect class=\"bar\""), std::string::npos);
  EXPECT_EQ(section.find("<circle"), std::string::npos) << "nothing played, nothing to mark";

  shown_.Nickname = current_.Nickname = "<b>\"x'";
  section = Section();
  EXPECT_EQ(section.find("<b>\""), std::string::npos) << section;
  EXPECT_NE(section.find("&lt;b&gt;"), std::string::npos);

  history_.clear();
  EXPECT_EQ(Section(), "") << "without stored days there is no section";
}

}  // namespace
}  // namespace tarvelo::testing
