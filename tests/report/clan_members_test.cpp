// The clan members page built from hand-made members: rows, the averages,
// the shown-when rules of the columns, the notes and what answers may not do.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/tables.h"
#include "report/clan_report.h"
#include "report_fixture.h"

namespace tarvelo::testing {
namespace {

RWOTClan Clan() {
  RWOTClan clan;
  clan.clan_id = "172431";
  clan.tag = "VOLKI";
  clan.name = "Волки Севера";
  clan.created = EncodeDateTime(2013, 5, 17, 15, 40, 12);
  clan.updated = EncodeDateTime(2016, 12, 8, 6, 2, 44);
  clan.members_count = 3;
  clan.emblem_64 = "http://clans.ru/emblem_64x64.png";
  return clan;
}

RWOTAccount Member(std::string name, int32_t battles, int32_t wins) {
  RWOTAccount member = Player();
  member.Nickname = std::move(name);
  member.ClanId = "172431";
  member.ClanTag = "VOLKI";
  member.ClanRole = "private";
  member.ClanJoined = EncodeDateTime(2016, 11, 8, 10, 0, 0);
  member.Stats = {};
  member.Stats[kModeAll] = Block(battles, wins);
  return member;
}

// The cells of the `n`-th body row (from 1) as texts.
std::vector<std::string> Cells(const std::string& html, int n, std::string_view body = "ClanMembersBody") {
  std::string rows = RowOf(html, body);
  if (rows.empty()) {  // the footer
    const size_t start = html.find("<tfoot");
    rows = html.substr(start, html.find("</tfoot>") - start);
  }
  size_t at = 0;
  for (int i = 0; i < n; ++i) at = rows.find("<tr", at + 1);
  const std::string row = rows.substr(at, rows.find("</tr>", at) - at);
  std::vector<std::string> cells;
  for (size_t cell = row.find("<td"); cell != std::string::npos; cell = row.find("<td", cell + 1)) {
    const size_t open = row.find('>', cell) + 1;
    cells.push_back(row.substr(open, std::min(row.find("</td>", open), row.size()) - open));
  }
  return cells;
}

class ClanMembersTest : public ::testing::Test {
 protected:
  ClanMembersTest() {
    site_.site = "http://site";
    site_.program_file = "/opt/tarvelo/tarvelo";
    site_.urls.hosts.Alliance = "http://alliance.%REGION%";
  }

  // The page of `members` (added in order; fewer than `total` means stopped).
  std::string Page(const std::vector<ClanMemberData>& members, ReportView view = {}, int total = -1) {
    const ClanReportInput input{clan_,  dates_, view, {kNow, kZoneHours}, site_, fame_, "/data/images/clan/172431.png",
                                client_, reference_};
    std::unique_ptr<ClanPage> page = MakeClanMembersPage(input);
    for (const ClanMemberData& member : members) page->AddMember(member);
    return page->Finish(total < 0 ? static_cast<int>(members.size()) : total);
  }

  static ClanMemberData With(const RWOTAccount& record) { return {record, true, false, 0, {}}; }

  RWOTClan clan_ = Clan();
  ADateArr dates_{EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 7), EncodeDate(2016, 12, 5)};
  ReportSite site_;
  FameView fame_;
  std::string client_;
  ReferenceData reference_;
};

// Column positions in the all-time view outside the campaign window.
constexpr int kNameCell = 1, kRoleCell = 2, kSeniorityCell = 3, kBattlesCell = 5, kWinsCell = 6, kTierCell = 21,
              kFirstModeCell = 7, kIdleCell = 48;

TEST_F(ClanMembersTest, OneMemberGivesItsRowAndAnEqualAveragesRow) {
  RWOTAccount member = Member("Tihiy_Omut", 4460, 2248);
  member.Stats[kModeAll].LevelAvg = 7.25f;
  member.Stats[kModeAll].rateEFF = 1292;
  member.ClanRole = "executive_officer";
  const std::string html = Page({With(member)});
  const std::vector<std::string> row = Cells(html, 1);
  const std::vector<std::string> averages = Cells(html, 2, "");
  ASSERT_EQ(row.size(), 49u);  // the number and 48 columns
  ASSERT_EQ(averages.size(), row.size());
  EXPECT_EQ(row[0], "1");
  EXPECT_EQ(averages[kNameCell], "В среднем по клану");
  for (size_t i = kBattlesCell; i < row.size(); ++i) {
    if (i == kSeniorityCell + 1) continue;  // the creation date's title
    EXPECT_EQ(averages[i], row[i]) << "column " << i;
  }
  EXPECT_EQ(row[kBattlesCell], "<span class=\"c2\">4\u00a0460</span>");
  EXPECT_EQ(row[kWinsCell], "<span class=\"c3\">50,4%</span>");
  EXPECT_EQ(row[kTierCell], "<span class=\"c4\">7,3</span>");
  EXPECT_EQ(row[kSeniorityCell], "<span title=\"08.11.2016\"><span class=\"c2\">29</span></span>");
  EXPECT_EQ(row[kRoleCell], "<span class=\"c5\">[Замком]</span>");
  EXPECT_NE(html.find("по Иванерру (0,00)"), std::string::npos);
}

TEST_F(ClanMembersTest, AveragesAreRatiosOfTheMeansAndSkipWhatIsUnknown) {
  RWOTAccount first = Member("First", 100, 60);
  RWOTAccount second = Member("Second", 300, 150);
  first.Stats[kModeAll].Frags = 100;   // 1.00 per battle
  second.Stats[kModeAll].Frags = 500;  // 1.67 per battle
  first.Stats[kModeAll].rateIVR = 1.25f;
  second.Stats[kModeAll].rateIVR = 2.5f;
  second.LastBattle = 0;  // never fought: no idle days to average
  const std::string html = Page({With(first), With(second)});
  const std::vector<std::string> averages = Cells(html, 2, "");
  EXPECT_EQ(averages[kBattlesCell], "<span class=\"c1\">200</span>");
  EXPECT_EQ(averages[kWinsCell], "<span class=\"c4\">52,5%</span>");  // 105 of 200
  EXPECT_EQ(averages[kTierCell + 1], "<span class=\"c6\">1,50</span>");  // 300 frags of 200 battles
  EXPECT_EQ(Cells(html, 2)[kIdleCell], "-");
  EXPECT_EQ(averages[kIdleCell], Cells(html, 1)[kIdleCell]);
  EXPECT_NE(html.find("по Иванерру (3,75)"), std::string::npos);  // the clan's summed IVR
}

TEST_F(ClanMembersTest, InterruptionNoteCountsTheMembersDone) {
  const struct {
    int done;
    int total;
    std::string_view note;
  } cases[] = {
      {1, 25, "Обработан только 1 боец из 25."},   {3, 25, "Обработано только 3 бойца из 25."},
      {5, 25, "Обработано только 5 бойцов из 25."}, {11, 30, "Обработано только 11 бойцов из 30."},
      {21, 30, "Обработан только 21 боец из 30."},  {22, 30, "Обработано только 22 бойца из 30."},
  };
  const RWOTAccount member = Member("Somebody", 10, 5);
  for (const auto& c : cases) {
    const std::vector<ClanMemberData> members(static_cast<size_t>(c.done), With(member));
    EXPECT_NE(Page(members, {}, c.total).find("<p>Сбор данных был прерван. " + std::string(c.note) + "</p>"),
              std::string::npos)
        << c.done;
  }
  EXPECT_EQ(Page({With(member)}, {}, 1).find("Сбор данных"), std::string::npos);
}

TEST_F(ClanMembersTest, ADaySelectedLeavesOutShortHistoriesAndNotesThePeriodsUnlessARowShowsDashes) {
  RWOTAccount played = Member("Played", 40, 22);
  played.Updated = EncodeDateTime(2016, 12, 8, 6, 0, 0);
  const DateTime compared = EncodeDateTime(2016, 12, 5, 6, 0, 0);
  const RWOTAccount idle = Member("Idle", 0, 0);
  const ClanMemberData short_history{played, true, true, 0, {}};
  const ReportView day = Days(2);

  std::string html = Page({{played, true, false, compared, {}}, short_history}, day);
  EXPECT_EQ(html.find(">Played<"), html.rfind(">Played<"));  // the left-out one has no row
  EXPECT_NE(html.find("<p>Обратите внимание, периоды выборки"), std::string::npos);
  EXPECT_NE(html.find("title=\"с 05.12.2016 09:00 МСК\">3</span>"), std::string::npos);
  EXPECT_EQ(html.find(">Возраст<"), std::string::npos);
  EXPECT_EQ(html.find(">Ассист<"), std::string::npos);
  EXPECT_NE(html.find("title=\"Выбранный период данных\"><span style=\"float:left\">07.12.2016"), std::string::npos);
  EXPECT_NE(html.find("id=\"d1_2\" value=\"2\" checked=\"checked\""), std::string::npos);
  // The rows count the member list: the left-out member's number is skipped.
  html = Page({short_history, {played, true, false, compared, {}}}, day);
  EXPECT_EQ(Cells(html, 1)[0], "2");

  html = Page({{played, true, false, compared, {}}, {idle, true, false, compared, {}}}, day);
  EXPECT_EQ(html.find("<p>Обратите внимание"), std::string::npos);
  EXPECT_EQ(Page({With(played)}).find("<p>Обратите внимание"), std::string::npos);  // no day selected
}

TEST_F(ClanMembersTest, ADaysRatingChangeIsALossAGainOrNeutralWhenItRoundsToNothing) {
  const std::vector<std::pair<float, std::string>> cases = {
      {-3.0f, "<span class=\"c1\">-3</span>"}, {0.0f, "<span class=\"c0\">0</span>"},
      {0.4f, "<span class=\"c0\">0</span>"},   {-0.4f, "<span class=\"c0\">0</span>"},
      {5.0f, "<span class=\"c4\">5</span>"},
  };
  std::vector<RWOTAccount> records;
  for (const auto& [change, cell] : cases) {
    records.push_back(Member("Member", 40, 22));
    records.back().Updated = EncodeDateTime(2016, 12, 8, 6, 0, 0);
    records.back().Stats[kModeAll].rateWG = change;
  }
  std::vector<ClanMemberData> members;
  for (const RWOTAccount& record : records) members.push_back({record, true, false, EncodeDateTime(2016, 12, 5, 6, 0, 0), {}});
  const std::string body = RowOf(Page(members, Days(2)), "ClanMembersBody");
  size_t at = 0;
  for (const auto& [change, cell] : cases) {
    at = body.find("<span class=\"noWrap\">", at);
    ASSERT_NE(at, std::string::npos) << change;
    at += std::string_view("<span class=\"noWrap\">").size();
    EXPECT_EQ(body.substr(at, cell.size()), cell) << change;
  }
}

TEST_F(ClanMembersTest, AMemberWithoutBattlesInTheModeShowsDashesThere) {
  RWOTAccount member = Member("Allrounder", 500, 260);
  member.Stats[kModeRandom] = Block(500, 260);
  const std::vector<std::string> all = Cells(Page({With(member)}), 1);
  EXPECT_NE(all[kTierCell], "-");
  EXPECT_EQ(all[kFirstModeCell + 2], "-");  // no clan battles
  const std::vector<std::string> clan_mode = Cells(Page({With(member)}, Days(0, "", kModeClan)), 1);
  for (int i = kTierCell; i < kIdleCell; ++i) EXPECT_EQ(clan_mode[i], "-") << "column " << i;
  EXPECT_NE(clan_mode[kBattlesCell], "-");
  EXPECT_NE(clan_mode[kIdleCell], "-");
  // Without a snapshot the row keeps its name and role.
  const std::vector<std::string> unloaded = Cells(Page({{Member("Unloaded", 0, 0), false, false, 0, {}}}), 1);
  EXPECT_NE(unloaded[kNameCell].find("Unloaded"), std::string::npos);
  EXPECT_EQ(unloaded[kBattlesCell], "-");
}

TEST_F(ClanMembersTest, TheGameClientsPlayerIsHighlightedIgnoringCase) {
  client_ = "tihiy_omut";
  const std::string html = Page({With(Member("Other", 10, 5)), With(Member("Tihiy_Omut", 10, 5))});
  EXPECT_NE(html.find("<tr onclick=\"check(this)\"><td>1<"), std::string::npos);
  EXPECT_NE(html.find("<tr onclick=\"check(this)\" class=\"checked\"><td>2<"), std::string::npos);
  EXPECT_NE(html.find("class=\"name sectionHdr\">Tihiy_Omut</a>"), std::string::npos);
  EXPECT_NE(html.find("class=\"name\">Other</a>"), std::string::npos);
}

TEST_F(ClanMembersTest, TheCampaignAddsTwoColumnsAndAStandingOnlyInsideItsWindow) {
  clan_.alliance = {"38", "Союз", "#4A90D9"};
  const RWOTAccount fighter = Member("Fighter", 10, 5);
  ClanMemberData member = With(fighter);
  member.fame = {3020, 1200, ""};
  fame_.title = "Кампания";
  fame_.clan = {45000, 0, 150};
  std::string html = Page({member});
  EXPECT_EQ(html.find(">Аллея<"), std::string::npos);
  EXPECT_EQ(html.find("Позиция в Рейтинге"), std::string::npos);
  fame_.inside_window = true;
  html = Page({member});
  const std::vector<std::string> row = Cells(html, 1);
  EXPECT_EQ(row[5], "<span class=\"sectionHdr\" title=\"Кампания\">3020</span>");
  EXPECT_EQ(row[6], "<span class=\"c6\">1200</span>");
  EXPECT_NE(html.find("Позиция в Рейтинге: <span class=\"sectionHdr\">150</span>"), std::string::npos);
  EXPECT_NE(html.find("(Очки славы: 45000)"), std::string::npos);
}

TEST_F(ClanMembersTest, TextsFromTheAnswersCannotAddMarkupOrScript) {
  clan_.name = "<b>Clan</b>";
  clan_.tag = "A'B";
  clan_.alliance = {"38", "<i>Union</i>", "red;background:url(x)"};
  RWOTAccount member = Member("x'<img src=1 onerror=alert(1)>", 10, 5);
  member.ClanRole = "<script>";
  const std::string html = Page({With(member)});
  for (std::string_view raw : {"<b>Clan", "<i>Union", "<img src=1", "<script>", "doCmd('search','A'B", "url(x)"}) {
    EXPECT_EQ(html.find(raw), std::string::npos) << raw;
  }
  EXPECT_NE(html.find("&lt;i&gt;Union&lt;/i&gt;</a>"), std::string::npos);
}

TEST_F(ClanMembersTest, SelectorRowListsTheCachedDaysAndTheReportKinds) {
  const std::string row = ClanSelectorRow({clan_, dates_, Days(-3), {kNow, kZoneHours}, site_, fame_, "", "", reference_});
  EXPECT_NE(row.find("<li><input type=\"radio\" name=\"days\" id=\"d1_1\" value=\"1\" onclick=\"return "
                     "doCmd('search','[VOLKI]&days=1')\"> <label for=\"d1_1\">08.12.2016&nbsp;&nbsp;&nbsp;(1 "
                     "день)</label></li>"),
            std::string::npos);
  EXPECT_NE(row.find("<li><br /><input type=\"radio\" name=\"days\" id=\"d1_3\" value=\"3\""), std::string::npos);
  EXPECT_NE(row.find("(4 дня)"), std::string::npos);
  EXPECT_NE(row.find("id=\"d2_3\" value=\"-3\" checked=\"checked\""), std::string::npos);
  EXPECT_NE(row.find("расшифровка по СТ"), std::string::npos);
  EXPECT_NE(row.find("onclick=\"return doCmd('search','[VOLKI]&days=-1')\" class=\"current\">Топ-танки</a>"),
            std::string::npos);
  EXPECT_NE(row.find("http://alliance.ru/lt/history/clan/VOLKI"), std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
