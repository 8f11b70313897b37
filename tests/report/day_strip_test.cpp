// The list of stored days and the day strip of the player report.
#include "report/day_strip.h"

#include <gtest/gtest.h>

#include "report_fixture.h"

namespace tarvelo::testing {
namespace {

class DayStripTest : public AccountReportTest {
 protected:
  // Stored snapshots of the given dates, each `step` battles (half of them won) fewer than the one before.
  void StoreDays(const std::vector<DateTime>& dates, int step = 10) {
    dates_ = dates;
    stored_.clear();
    for (size_t i = 0; i < dates.size(); ++i) {
      RWOTAccount older = Player();
      const int32_t battles = 100 - step * static_cast<int32_t>(i);
      older.Stats[kModeAll] = Block(battles, battles / 2);
      older.Stats[kModeAll].rateEFF = 1200;
      stored_.push_back(older);
    }
  }

  DayStrip Strip(ReportView view = {}) {
    const std::vector<StoredDay> days = StripDays();
    return SemaphoreRow({current_, dates_, days, view, site_.site, "EFF", reference_});
  }

  // The cells of the strip, oldest first.
  static std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    for (size_t at = row.find("<td"); at != std::string::npos; at = row.find("<td", at + 1)) {
      cells.push_back(row.substr(at, row.find("</td>", at) + 5 - at));
    }
    return cells;
  }
};

TEST_F(DayStripTest, WithNothingStoredIsSevenBlankCells) {
  const DayStrip strip = Strip();
  std::string blank;
  for (int i = 0; i < 7; ++i) blank += "<td width=\"14%\">&nbsp;<br />&nbsp;<br />&nbsp;<br />&nbsp;</td>";
  EXPECT_EQ(strip.row, blank);
}

TEST_F(DayStripTest, ThreeSnapshotsGiveTwoDaysThePlayedDifferenceAndTheOldestItsTotals) {
  StoreDays({EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 7), EncodeDate(2016, 12, 6)});
  const DayStrip strip = Strip();
  ASSERT_TRUE(strip.row.starts_with("<tr title=\"Нажмите на дату для просмотра детальной статистики за "
                                    "соответствующий период времени.\"><td"));
  const std::vector<std::string> cells = Cells(strip.row);
  ASSERT_EQ(cells.size(), 7u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cells[i], "<td width=\"14%\">&nbsp;<br />&nbsp;<br />&nbsp;<br />&nbsp;</td>");
  EXPECT_EQ(cells[4],
            "<td width=\"14%\"><a href=\"http://site/?search=Gromoboy_77&days=3\" onclick=\"return "
            "doCmd('search','Gromoboy_77&days=3')\">06 дек</a><br />80<br /><span class=\"c3\">50,0%</span><br /><span "
            "class=\"c4\">1200</span></td>");
  // Day 2: 90 - 80 battles, 45 - 40 wins.
  EXPECT_TRUE(cells[5].starts_with("<td width=\"14%\"><a href=\"http://site/?search=Gromoboy_77&days=2\" "
                                   "onclick=\"return doCmd('search','Gromoboy_77&days=2')\">07 дек</a><br />10<br />"
                                   "<span class=\"c3\">50,0%</span><br /><span title=\"WN8: "))
      << cells[5];
  // Day 1: 100 - 90 battles, 51 - 45 wins.
  EXPECT_TRUE(cells[6].starts_with("<td width=\"14%\"><a href=\"http://site/?search=Gromoboy_77&days=1\" onclick=\"return "
                                   "doCmd('search','Gromoboy_77&days=1')\">08 дек</a><br />10<br /><span class=\"c5\">"
                                   "60,0%</span>"))
      << cells[6];
  EXPECT_EQ(strip.days[0].battles, 10);
  EXPECT_EQ(strip.days[0].label, "08 дек");
  EXPECT_FLOAT_EQ(strip.days[0].win_percent, 60);
  EXPECT_EQ(strip.days[2].battles, 80);
}

TEST_F(DayStripTest, MarksMissingDaysAndUnusableFiles) {
  StoreDays({EncodeDate(2016, 12, 5), EncodeDate(2016, 12, 2), EncodeDate(2016, 12, 1)});
  std::vector<std::string> cells = Cells(Strip().row);
  EXPECT_TRUE(cells[6].starts_with("<td width=\"14%\">..<a href=\"http://site/?search=Gromoboy_77&days=1\""));
  EXPECT_NE(cells[6].find("\">05 дек</a>"), std::string::npos);
  EXPECT_TRUE(cells[5].starts_with("<td width=\"14%\"><a ")) << "1 and 2 December follow each other";

  // The file of 2 December cannot be read: day 1 stays "...", day 2 compares with what came before.
  dates_ = {EncodeDate(2016, 12, 5), EncodeDate(2016, 12, 2), EncodeDate(2016, 12, 1)};
  const RWOTAccount older = stored_[2];
  const std::vector<StoredDay> only_oldest = {nullptr, &older};
  cells = Cells(SemaphoreRow({current_, dates_, only_oldest, {}, site_.site, "EFF", reference_}).row);
  EXPECT_NE(cells[6].find("05 дек</a><br />...</td>"), std::string::npos) << cells[6];
  EXPECT_NE(cells[5].find("02 дек</a><br />20<br />"), std::string::npos) << cells[5];
}

TEST_F(DayStripTest, HighlightsThePeriodAndCyclesTheCurrentDaysView) {
  StoreDays({EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 7), EncodeDate(2016, 12, 6), EncodeDate(2016, 12, 5),
             EncodeDate(2016, 12, 4)});
  std::vector<std::string> cells = Cells(Strip(Days(3)).row);
  EXPECT_TRUE(cells[4].starts_with("<td width=\"14%\" class=\"curDays\"><a href=\"http://site/?search=Gromoboy_77&days=3o\""));
  EXPECT_TRUE(cells[5].starts_with("<td width=\"14%\" class=\"nextDays\"><a href=\"http://site/?search=Gromoboy_77&days=2\""));
  EXPECT_TRUE(cells[6].starts_with("<td width=\"14%\" class=\"nextDays\">"));
  EXPECT_TRUE(cells[3].starts_with("<td width=\"14%\"><a ")) << cells[3];
  cells = Cells(Strip(Days(3, "o")).row);
  EXPECT_TRUE(cells[4].starts_with("<td width=\"14%\" class=\"curDayso\"><a href=\"http://site/?search=Gromoboy_77&days=3b\""));
  cells = Cells(Strip(Days(3, "b", kModeRandom)).row);
  EXPECT_TRUE(cells[4].starts_with("<td width=\"14%\" class=\"curDaysb\"><a "
                                   "href=\"http://site/?search=Gromoboy_77&mode=random&days=3\""))
      << cells[4];
  EXPECT_TRUE(cells[3].starts_with("<td width=\"14%\" class=\"prevDaysb\">"));
  // A period reaching past the stored days: the oldest is current, the one after it next.
  cells = Cells(Strip(Days(9)).row);
  EXPECT_TRUE(cells[2].starts_with("<td width=\"14%\" class=\"curDays\">")) << cells[2];
  EXPECT_TRUE(cells[3].starts_with("<td width=\"14%\" class=\"nextDays\">")) << cells[3];
  EXPECT_TRUE(cells[1].starts_with("<td width=\"14%\" class=\"prevDays\">")) << cells[1];
}

class DayListTest : public DayStripTest {
 protected:
  std::string List(ReportView view) {
    const std::string row = RowOf(Report(view), "Semaphore");
    return row.substr(0, row.find("</ul></div></div></div>"));
  }
};

TEST_F(DayListTest, ListsTheFirstThirtyOneDaysAndTheLastTwo) {
  std::vector<DateTime> dates;
  for (int i = 0; i < 40; ++i) dates.push_back(EncodeDate(2016, 12, 8) - i);
  StoreDays(dates, 1);
  const std::string list = List({});
  for (int n = 1; n <= 31; ++n) EXPECT_NE(list.find("id=\"d" + std::to_string(n) + "\""), std::string::npos) << n;
  for (int n = 32; n <= 38; ++n) EXPECT_EQ(list.find("id=\"d" + std::to_string(n) + "\""), std::string::npos) << n;
  EXPECT_NE(list.find("<li><input type=\"radio\" name=\"days\" value=\"39\" id=\"d39\" onclick=\"return "
                      "doCmd('search','Gromoboy_77&days=39')\"><label for=\"d39\">с 31.10.2016&nbsp;&nbsp;&nbsp;(39 "
                      "дней)</label></li>\r\n<li><br /><input type=\"radio\" name=\"days\" value=\"40\" id=\"d40\" "
                      "onclick=\"return doCmd('search','Gromoboy_77&days=40')\"><label for=\"d40\">по "
                      "30.10.2016&nbsp;&nbsp;&nbsp;(1691 день)</label></li>\r\n<li><br /><input type=\"radio\" "
                      "name=\"days\" value=\"0\" id=\"d0\" onclick=\"return doCmd('search','Gromoboy_77&days=0')\" "
                      "checked=\"checked\"><label for=\"d0\">за всё время&nbsp;&nbsp;&nbsp;(1730 дней)</label></li>\r\n"),
            std::string::npos)
      << list;
}

TEST_F(DayListTest, OpensTheChosenDaysSubListAndMarksItsLetter) {
  StoreDays({EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 7), EncodeDate(2016, 12, 6), EncodeDate(2016, 12, 5)});
  const std::string html = RowOf(Report(Days(3, "b")), "Semaphore");
  EXPECT_NE(html.find("<label for=\"d3\">с 06.12.2016&nbsp;&nbsp;&nbsp;(3 дня)</label>\r\n<ul style=\"list-style-type: "
                      "none; padding-left: 1.5em; margin: 0;\"><li><input type=\"radio\" name=\"days\" value=\"3o\" "
                      "id=\"d3o\" onclick=\"return doCmd('search','Gromoboy_77&days=3o')\"><label for=\"d3o\">за "
                      "06.12.2016&nbsp;&nbsp;&nbsp;(1 день)</label></li>\r\n<li><input type=\"radio\" name=\"days\" "
                      "value=\"3b\" id=\"d3b\" onclick=\"return doCmd('search','Gromoboy_77&days=3b')\" "
                      "checked=\"checked\"><label for=\"d3b\">по 06.12.2016&nbsp;&nbsp;&nbsp;(1728 дней)</label></li>"
                      "\r\n</ul></li>\r\n"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\" class=\"tLeft "
                      "curDaysL\">"),
            std::string::npos);
  EXPECT_NE(RowOf(Report(Days(3)), "Semaphore").find("class=\"tLeft curDays\">"), std::string::npos);
  EXPECT_NE(RowOf(Report(Days(4)), "Semaphore").find("class=\"tLeft curDaysL\">"), std::string::npos);
  EXPECT_NE(RowOf(Report(), "Semaphore").find("class=\"tLeft\">"), std::string::npos);
}

TEST_F(DayListTest, SmallLayoutsShowTheStripAndTheMainFigures) {
  StoreDays({EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 7)});
  shown_.TopVehicleCount = 4;
  const std::string semaphore = Report(Days(-1));
  EXPECT_TRUE(semaphore.starts_with("<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main\">\r\n"
                                    "<tbody id=\"Semaphore\"><tr><td></td><td colspan=\"2\"><table border=\"0\" "
                                    "cellpadding=\"1\" cellspacing=\"0\" width=\"100%\" class=\"tLeft\">\r\n<tr title="))
      << semaphore;
  EXPECT_EQ(semaphore.find("Доступные выборки"), std::string::npos);
  const std::string figures = RowOf(semaphore, "SemaphoreEx");
  EXPECT_NE(figures.find("<td colspan=\"2\"><br /><table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" "
                         "width=\"100%\"><tbody><tr><td class=\"noBrd\" width=\"22%\">\r\n<table border=\"0\" "
                         "cellpadding=\"1\" cellspacing=\"0\" width=\"100%\">\r\n<tr><td>Бои</td><td><span "
                         "class=\"c1\">100</span></td></tr>\r\n<tr><td>Победы</td><td><span class=\"c3\">51,00%</span>"
                         "</td></tr>\r\n"),
            std::string::npos)
      << figures;
  EXPECT_NE(figures.find("<tr><td>Топ-танков</td><td><span class=\"c2\">4</span></td></tr>\r\n"), std::string::npos);
  EXPECT_NE(figures.find("</table></td><td class=\"noBrd\">&nbsp;</td><td class=\"noBrd\" width=\"16%\"><table "
                         "border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\">\r\n<tr><td>EFF</td>"),
            std::string::npos);
  // No survived battles, frags or captures: zeros of the lowest colour.
  EXPECT_NE(figures.find("<tr><td>Выживаемость</td><td><span class=\"c1\">0%</span></td></tr>"), std::string::npos);

  const std::string claim = Report(Days(-2));
  EXPECT_NE(RowOf(claim, "SemaphoreClaim").find("<b class=\"sectionHdr\">Показать:</b>"), std::string::npos);
  EXPECT_NE(RowOf(claim, "SemaphoreClaim").find("<b class=\"sectionHdr\">Основные показатели</b></td></tr><tr "
                                                "class=\"noHover\"><td class=\"noBrd\" colspan=\"4\"><table"),
            std::string::npos);
  EXPECT_EQ(RowOf(claim, "AccountName"), "");
}

}  // namespace
}  // namespace tarvelo::testing
