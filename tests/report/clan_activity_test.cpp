// The clan activity view: the rows sorted by the month's battles, the cells of
// short, idle, empty and unread histories, the escaping of outside text, the
// clan's figures under the table, its chart, and a golden page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golden_page.h"
#include "report/clan_report.h"
#include "report/report_fixture.h"

namespace tarvelo::testing {
namespace {

constexpr DateTime kToday = 42712;  // the fixture's clock: 08.12.2016 12:00

ActivityWindow Window(int covered, int64_t battles, double wn8) { return {true, covered, battles, wn8}; }

// A member who played `month` battles in 28 days, `week` of them in the last
// seven, `idle` days ago; one step a day over the month for the chart.
MemberActivity Played(int64_t week, int64_t month, double wn8, int idle) {
  MemberActivity activity;
  activity.has_days = true;
  activity.week = Window(7, week, wn8);
  activity.month = Window(28, month, wn8);
  activity.fought = true;
  activity.last_played = kToday - idle;
  activity.last_played_exact = true;
  for (int back = 0; back < 28; ++back) {
    const int64_t share = back >= idle && back < 28 ? month / (28 - idle) : 0;
    activity.steps.push_back({kToday - back, share});
  }
  return activity;
}

RWOTAccount Listed(std::string name, std::string role) {
  RWOTAccount member;
  member.AccountId = std::to_string(1000 + name.size());
  member.Nickname = std::move(name);
  member.ClanRole = std::move(role);
  return member;
}

class ClanActivityTest : public ::testing::Test {
 protected:
  ClanActivityTest() {
    site_.site = "http://site";
    clan_.clan_id = "172431";
    clan_.tag = "VOLKI";
    clan_.name = "Волки Севера";
  }

  struct Member {
    RWOTAccount listed;
    MemberActivity activity;
  };

  std::string Page(const std::vector<Member>& members, int total = -1, ClanActivityOptions options = {}) {
    const ClanReportInput input{clan_, {}, Days(kClanActivityDays), {kNow, kZoneHours}, site_, {}, "",
                                "Gromoboy_77", reference_};
    ClanActivityPage page(input, options);
    for (const Member& member : members) page.AddMember({member.listed, member.activity});
    return page.Finish(total < 0 ? static_cast<int>(members.size()) : total);
  }

  // The cells of the body row of `name`, as written.
  static std::vector<std::string> RowCells(const std::string& html, const std::string& name) {
    const size_t name_at = html.find(">" + name + "</a>");
    if (name_at == std::string::npos) return {};
    const size_t start = html.rfind("<tr", name_at);
    const size_t end = html.find("</tr>", name_at);
    std::vector<std::string> cells;
    for (size_t at = html.find("<td", start); at < end; at = html.find("<td", at + 1)) {
      const size_t open = html.find('>', at) + 1;
      cells.push_back(html.substr(open, html.find("</td>", open) - open));
    }
    return cells;
  }

  std::vector<Member> Clan() {
    MemberActivity one_day;
    one_day.has_days = true;
    one_day.fought = true;
    one_day.last_played = kToday - 3;
    MemberActivity idle = Played(0, 0, 0, 0);
    idle.last_played = kToday - 40;
    idle.last_played_exact = false;
    MemberActivity fresh = Played(9, 15, 1320, 1);
    fresh.month.covered_days = 12;
    return {
        {Listed("Ded_Pihto", "private"), Played(35, 120, 1510.4, 0)},
        {Listed("Novichok", "recruit"), one_day},
        {Listed("<b>Tom&Jerry\"'</b>", "executive_officer"), Played(4, 21, 905.6, 2)},
        {Listed("Spyashiy", "reservist"), idle},
        {Listed("Gromoboy_77", "commander"), Played(60, 240, 2210, 0)},
        {Listed("Molodoy", "junior_officer"), fresh},
        {Listed("Propavshiy", "private"), {}},
    };
  }

  RWOTClan clan_;
  ReportSite site_;
  ReferenceData reference_;
};

TEST_F(ClanActivityTest, RowsComeByTheMonthsBattlesUnknownMonthsLast) {
  const std::string html = Page(Clan());
  std::vector<size_t> at;
  for (const std::string name : {"Gromoboy_77", "Ded_Pihto", "&lt;b&gt;Tom&amp;Jerry&quot;&#39;&lt;/b&gt;",
                                 "Molodoy", "Spyashiy", "Novichok", "Propavshiy"}) {
    at.push_back(html.find(">" + name + "</a>"));
    ASSERT_NE(at.back(), std::string::npos) << name;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
  EXPECT_NE(html.find("<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main clan-activity\">"),
            std::string::npos);
  // The page script sorts and numbers the table of a page's third head: this page has two.
  size_t heads = 0;
  for (size_t at = html.find("<thead"); at != std::string::npos; at = html.find("<thead", at + 1)) ++heads;
  EXPECT_EQ(heads, 2u);
}

TEST_F(ClanActivityTest, CellsOfEveryKindOfHistory) {
  const std::string html = Page(Clan());
  using Cells = std::vector<std::string>;
  // One stored day: nothing to count, but the member is there.
  constexpr std::string_view kOneDay = "<span title=\"Сохранён только один день\">-</span>";
  EXPECT_EQ(RowCells(html, "Novichok")[2], kOneDay);
  EXPECT_EQ(RowCells(html, "Novichok")[6], "-");
  // No battles in the range: zero battles, no WN8, not active, and only a bound on the days without battles.
  const Cells idle = RowCells(html, "Spyashiy");
  ASSERT_EQ(idle.size(), 7u);
  EXPECT_EQ(idle[2], "<span class=\"c1\">0</span>");
  EXPECT_EQ(idle[3], "<span class=\"c1\">0</span>");
  EXPECT_EQ(idle[4], "-");
  EXPECT_EQ(idle[5], "<span title=\"Последний бой не позже 29.10.2016\">&ge;<span class=\"c1\">40</span></span>");
  EXPECT_EQ(idle[6], "<span class=\"c0\">нет</span>");
  // A shorter month says how many days it covers.
  EXPECT_NE(RowCells(html, "Molodoy")[3].find("title=\"Сохранённые дни бойца охватывают 12 дней\">(12&nbsp;дн.)"),
            std::string::npos);
  // Exactly the threshold is active; thousands are written with a no-break space.
  const Cells threshold = RowCells(html, "&lt;b&gt;Tom&amp;Jerry&quot;&#39;&lt;/b&gt;");
  EXPECT_EQ(threshold[6], "<span class=\"c4\">да</span>");
  EXPECT_EQ(RowCells(html, "Ded_Pihto")[4], "<span class=\"c4\">1\u00a0510</span>");
  // Nothing stored at all.
  EXPECT_EQ(RowCells(html, "Propavshiy"),
            (Cells{RowCells(html, "Propavshiy")[0], "[Боец]", std::string(kOneDay), std::string(kOneDay), "-", "-",
                   "-"}));
}

TEST_F(ClanActivityTest, OutsideTextIsEscapedInTextLinksAndTooltips) {
  std::vector<Member> members = {{Listed("x'><script>alert(1)</script>", "<i>boss</i>"), Played(1, 30, 700, 0)}};
  clan_.tag = "A<&>";
  clan_.name = "<img src=x onerror=alert(1)>";
  const std::string html = Page(members);
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_EQ(html.find("<img src=x"), std::string::npos);
  EXPECT_EQ(html.find("<i>boss"), std::string::npos);
  EXPECT_EQ(html.find("'><"), std::string::npos);
  EXPECT_NE(html.find(">x&#39;&gt;&lt;script&gt;alert(1)&lt;/script&gt;</a>"), std::string::npos);
  EXPECT_NE(html.find("doCmd('search','x\\&#39;&gt;&lt;script&gt;"), std::string::npos);
}

TEST_F(ClanActivityTest, ClanFiguresCountTheActiveAndTheStrongestFifteen) {
  std::vector<Member> members;
  // Twenty active members with 40..59 battles at WN8 1000 + battles, and one just below the threshold.
  for (int i = 0; i < 20; ++i) {
    members.push_back({Listed("P" + std::to_string(i), "private"), Played(10, 40 + i, 1000 + 40 + i, 0)});
  }
  members.push_back({Listed("Lazy", "private"), Played(5, 20, 3000, 0)});
  const std::string html = Page(members);
  EXPECT_NE(html.find("Активных бойцов (не меньше 21 боя за 28 дней): <b class=\"sectionHdr\">20</b> из 21"),
            std::string::npos);
  // (40+…+59 + 20) / 28 = 1010 / 28 battles a day.
  EXPECT_NE(html.find("Боёв клана в день за 28 дней: <b class=\"sectionHdr\">36,1</b>"), std::string::npos);
  // The fifteen with 45..59 battles, weighted by them: sum(b * (1000 + b)) / sum(b).
  double weighted = 0, battles = 0;
  for (int b = 45; b < 60; ++b) weighted += b * (1000.0 + b), battles += b;
  EXPECT_NE(html.find("WN8 за 28 дней 15 активных бойцов с наибольшим числом боёв (по боям): <span class=\"c3\">" +
                      Format("%.0n", {weighted / battles}) + "</span>"),
            std::string::npos);
  // A higher threshold leaves fewer active members.
  const std::string strict = Page(members, -1, {55, true});
  EXPECT_NE(strict.find("(не меньше 55 боёв за 28 дней): <b class=\"sectionHdr\">5</b> из 21"), std::string::npos);
}

TEST_F(ClanActivityTest, ChartAddsTheMembersDaysAndLeavesDaysWithoutStepsGaps) {
  MemberActivity a;
  a.has_days = true;
  a.steps = {{kToday, 5}, {kToday - 2, 7}, {kToday - 120, 50}};
  MemberActivity b;
  b.has_days = true;
  b.steps = {{kToday - 2, 4}, {kToday - 3, 0}};
  const std::string html = Page({{Listed("A", "private"), a}, {Listed("B", "private"), b}});
  const size_t chart = html.find("<figure class=\"chart\"><figcaption>Боёв клана в день за 90 дней</figcaption>");
  ASSERT_NE(chart, std::string::npos);
  const std::string svg = html.substr(chart);
  EXPECT_NE(svg.find("<title>08.12.2016: 5 боёв</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>06.12.2016: 11 боёв</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>05.12.2016: 0 боёв</title>"), std::string::npos);
  EXPECT_EQ(svg.find("07.12.2016: "), std::string::npos);  // nobody has a step that day
  EXPECT_EQ(svg.find(": 50 "), std::string::npos);         // outside the 90 days
  EXPECT_NE(svg.find(">10.09.2016</text>"), std::string::npos);  // the first of the 90 days
}

TEST_F(ClanActivityTest, InterruptedAndUnreadHistoriesSaySo) {
  const std::string stopped = Page({{Listed("A", "private"), Played(1, 2, 3, 0)}}, 25);
  EXPECT_NE(stopped.find("<p>Сбор данных был прерван. Обработан только 1 боец из 25.</p>"), std::string::npos);
  const std::string unread = Page({{Listed("A", "private"), {}}}, 1, {21, false});
  EXPECT_NE(unread.find("ПРЕДУПРЕЖДЕНИЕ: Архив истории недоступен"), std::string::npos);
  EXPECT_EQ(unread.find("<figure"), std::string::npos);
}

TEST_F(ClanActivityTest, SelectorMarksTheActivityViewAndKeepsTheMode) {
  ClanReportInput input{clan_, {}, Days(kClanActivityDays, "", kModeRandom), {kNow, kZoneHours}, site_, {}, "", "",
                        reference_};
  const std::string row = ClanSelectorRow(input);
  EXPECT_NE(row.find("onclick=\"return doCmd('search','[VOLKI]&mode=random&days=-6')\" class=\"current\">Активность</a>"),
            std::string::npos);
  EXPECT_NE(row.find("&days=-1')\">Топ-танки</a>"), std::string::npos);
  input.view = Days(-1);
  EXPECT_NE(ClanSelectorRow(input).find("&days=-1')\" class=\"current\">Топ-танки</a>"), std::string::npos);
  EXPECT_NE(ClanSelectorRow(input).find("&days=-6')\">Активность</a>"), std::string::npos);
}

TEST_F(ClanActivityTest, PageMatchesTheGoldenPage) {
  const std::string html = Page(Clan(), 8);
  const std::string folder = TARVELO_REPORT_TEST_DATA;
  EXPECT_EQ(GoldenDifference(folder + "/golden/clan_activity.html", html), "");
}

}  // namespace
}  // namespace tarvelo::testing
