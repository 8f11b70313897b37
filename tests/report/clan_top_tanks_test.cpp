// The clan top-tanks table: shortened vehicle names, the columns of each
// breakdown, member rows of every kind, the averages row and the notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "golden_page.h"
#include "report/clan_report.h"
#include "report/report_fixture.h"

namespace tarvelo::testing {
namespace {

TEST(ShortVehicleName, AppliesEveryShorteningInOrder) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Объект 260", "Об. 260"},
      {"Jagdpanzer E 100", "JagdPz E 100"},
      {"Bat.-Chatillon 25 t", "BatChat. 25t"},
      {"T57 Heavy Tank", "T57 Heavy"},
      {"M48A5 Patton", "M48A5"},
      {"E 50 Ausf. M", "E 50 M"},
      {"Centurion Action X", "Centurion AX"},
      {"Waffentrager auf E 100", "Waff. E 100"},
      {"AMX 50 Foch (155)", "Foch (155)"},
      {"Bat.-Chatillon 155 58", "BatChat. 58"},
      {"Conqueror Gun Carriage", "Conqueror GC"},
      // Every occurrence, case-sensitively, and names no rule knows stay.
      {"Panzer Tank Tank", "Panzer"},
      {"Light tank", "Light tank"},
      {"Maus", "Maus"},
      {"", ""},
  };
  for (const auto& [name, shortened] : cases) EXPECT_EQ(ShortVehicleName(name), shortened) << name;
}

// Names of the listed vehicles, as the encyclopedia gives them.
constexpr std::pair<std::string_view, std::string_view> kNames[] = {
    {"10785", "T110E5"},        {"14881", "T57 Heavy Tank"},       {"6929", "Maus"},
    {"9489", "E 100"},          {"58641", "VK 72.01 (K)"},         {"7169", "ИС-7"},
    {"58369", "Объект 260"},    {"6145", "ИС-4"},                  {"6209", "AMX 50 B"},
    {"5425", "113"},            {"6225", "FV215b"},                {"3937", "Type 5 Heavy"},
    {"14113", "M48A5 Patton"},  {"16897", "Объект 140"},           {"12049", "Jagdpanzer E 100"},
    {"13889", "AMX 50 Foch (155)"}, {"8481", "T92 HMC"},          {"9233", "G.W. E 100"},
    {"8705", "Объект 261"},     {"11841", "Bat.-Chatillon 155 58"}, {"12369", "Conqueror Gun Carriage"},
};

ReferenceData NamedVehicles() {
  std::string tanks = R"({"data":{)";
  for (const auto& [id, name] : kNames) {
    tanks += std::string(tanks.back() == '{' ? "" : ",") + "\"" + std::string(id) + R"(":{"name":")" +
             std::string(name) + R"(","tier":10})";
  }
  ReferenceTexts texts{};
  const std::string document = tanks + "}}";
  texts.tanks_info = document;
  return ReferenceData::FromTexts(texts);
}

RVehicleStat Vehicle(std::string id, int32_t battles, int32_t wins, uint32_t damage, int mode = kModeAll) {
  RVehicleStat vehicle;
  vehicle.TankId = std::move(id);
  vehicle.Stats[mode] = Block(battles, wins);
  vehicle.Stats[mode].DamageDealt = damage;
  return vehicle;
}

RWOTAccount Member(std::string name, std::string role, int32_t battles, int32_t wins, float eff,
                   AVehicleStats vehicles = {}) {
  RWOTAccount member;
  member.Nickname = std::move(name);
  member.ClanRole = std::move(role);
  member.ClanTag = "VOLKI";
  member.Stats[kModeAll] = Block(battles, wins);
  member.Stats[kModeAll].rateEFF = eff;
  member.Vehicles = std::move(vehicles);
  return member;
}

// The cells of the row that holds `marker`, without their tags.
std::vector<std::string> Cells(const std::string& html, std::string_view marker) {
  const size_t at = html.find(marker);
  if (at == std::string::npos) return {};
  const size_t start = html.rfind("<tr", at);
  const std::string row = html.substr(start, html.find("</tr>", at) - start);
  std::vector<std::string> cells;
  size_t cell = row.find("<td");
  while (cell != std::string::npos) {
    const size_t next = row.find("<td", cell + 3);
    std::string text;
    bool in_tag = false;
    for (const char c : row.substr(cell, next == std::string::npos ? std::string::npos : next - cell)) {
      if (c == '<' || c == '>') {
        in_tag = c == '<';
      } else if (!in_tag) {
        text += c;
      }
    }
    cells.push_back(text);
    cell = next;
  }
  return cells;
}

// The header captions from the one after `first` up to the one before `last`.
std::vector<std::string> Between(const std::vector<std::string>& cells, std::string_view first, std::string_view last) {
  const auto from = std::find(cells.begin(), cells.end(), first);
  const auto to = std::find(from, cells.end(), last);
  return from == cells.end() ? std::vector<std::string>{} : std::vector<std::string>(from + 1, to);
}

ClanMemberData Collected(const RWOTAccount& record, bool has_statistics = true) {
  return {record, has_statistics, false, 0, {}};
}

constexpr std::string_view kHeader = "<tr><td>&nbsp;</td><td class=\"tLeft\">Имя";

class ClanTopTanksTest : public ::testing::Test {
 protected:
  ClanTopTanksTest() {
    site_.site = "http://site";
    clan_.clan_id = "172431";
    clan_.tag = "VOLKI";
    clan_.name = "Волки Севера";
  }

  // The page of `members` for "&days=" + days in `mode`, `total` members listed.
  std::string Page(int days, const std::vector<ClanMemberData>& members, int total = -1, int mode = kModeAll) {
    const ClanReportInput input{clan_, {}, Days(days, "", mode), {kNow, kZoneHours}, site_, {}, "", "", reference_};
    const std::unique_ptr<ClanPage> page = MakeClanTopTanksPage(input);
    for (const ClanMemberData& member : members) page->AddMember(member);
    return page->Finish(total < 0 ? static_cast<int>(members.size()) : total);
  }
  std::string Page(int days, const RWOTAccount& member) { return Page(days, {Collected(member)}); }

  RWOTClan clan_;
  ReportSite site_;
  ReferenceData reference_ = NamedVehicles();
};

TEST_F(ClanTopTanksTest, EachBreakdownListsItsClassVehiclesBeforeTheClassColumn) {
  const std::vector<std::string> plain = {"ТТ", "СТ", "ПТ", "САУ"};
  const std::vector<std::string> heavy = {"T110E5", "T57 Heavy", "Maus", "E 100", "VK 72.01 (K)", "ИС-7",
                                          "Об. 260", "ИС-4", "AMX 50 B", "113", "FV215b", "Type 5 Heavy"};
  const std::vector<std::string> artillery = {"T92 HMC", "G.W. E 100", "Об. 261", "BatChat. 58", "Conqueror GC"};
  struct Case {
    int days;
    std::vector<std::string> columns;
  };
  std::vector<Case> cases = {{-1, plain}, {-2, heavy}, {-5, {"ТТ", "СТ", "ПТ"}}};
  cases[1].columns.insert(cases[1].columns.end(), plain.begin(), plain.end());
  cases[2].columns.insert(cases[2].columns.end(), artillery.begin(), artillery.end());
  cases[2].columns.push_back("САУ");
  // Days outside -1..-5 show no breakdown.
  cases.push_back({-9, plain});
  for (const Case& c : cases) {
    const std::string html = Page(c.days, Member("Tihiy_Omut", "commander", 10, 5, 900));
    const std::vector<std::string> header = Cells(html, kHeader);
    EXPECT_EQ(Between(header, "EFF", "Боёв"), c.columns) << c.days;
    // The last caption's Latin "e" keeps it apart from the "Побед" column.
    ASSERT_GE(header.size(), 11u);
    EXPECT_EQ(header[3], "Побед");
    EXPECT_EQ(header.back(), "Поб\x65\xD0\xB4");
    // Every member row and the averages row have a cell under every caption.
    EXPECT_EQ(Cells(html, "Tihiy_Omut").size(), header.size()) << c.days;
    EXPECT_EQ(Cells(html, "В среднем по клану").size(), header.size()) << c.days;
  }
  // The medium breakdown names vehicles the encyclopedia does not know by their id.
  EXPECT_EQ(Between(Cells(Page(-3, Member("A", "private", 1, 1, 1)), kHeader), "EFF", "Боёв").size(), 18u);
}

// The cell of `row` under the header caption `caption`.
std::string Under(const std::vector<std::string>& header, const std::vector<std::string>& row, std::string_view caption) {
  const auto at = std::find(header.begin(), header.end(), caption);
  if (at == header.end() || row.size() != header.size()) return "no column " + std::string(caption);
  return row[static_cast<size_t>(at - header.begin())];
}

TEST_F(ClanTopTanksTest, EveryFigureStandsUnderItsOwnCaptionInEachBreakdown) {
  // One vehicle of each class, each with its own number of battles; the class
  // totals differ from every vehicle's figure.
  const RWOTAccount member =
      Member("Gromoboy_77", "private", 5000, 2500, 1000,
             {Vehicle("10785", 101, 50, 1), Vehicle("6929", 11, 5, 1), Vehicle("16897", 202, 100, 1),
              Vehicle("14113", 22, 10, 1), Vehicle("12049", 303, 150, 1), Vehicle("8705", 404, 200, 1),
              Vehicle("8481", 44, 20, 1)});
  const RWOTAccount averaged = Member("Second", "private", 5000, 2500, 1000);
  struct Case {
    int days;
    std::vector<std::pair<std::string, std::string>> cells;  // caption, the member's cell under it
  };
  const std::vector<std::pair<std::string, std::string>> classes = {
      {"ТТ", "112"}, {"СТ", "224"}, {"ПТ", "303"}, {"САУ", "448"}, {"Боёв", "1087"}};
  std::vector<Case> cases = {
      {-1, {}},
      {-2, {{"T110E5", "101"}, {"Maus", "11"}, {"T57 Heavy", "-"}}},
      {-3, {{"Об. 140", "202"}, {"M48A5", "22"}, {"UnknownVehicle_12305", "-"}}},
      {-4, {{"JagdPz E 100", "303"}, {"Foch (155)", "-"}}},
      {-5, {{"Об. 261", "404"}, {"T92 HMC", "44"}, {"Conqueror GC", "-"}}},
  };
  for (Case& c : cases) {
    c.cells.insert(c.cells.end(), classes.begin(), classes.end());
    const std::string html = Page(c.days, {Collected(member), Collected(averaged)});
    const std::vector<std::string> header = Cells(html, kHeader);
    for (const auto& [caption, cell] : c.cells) {
      EXPECT_EQ(Under(header, Cells(html, ">Gromoboy_77<"), caption), cell) << c.days << " " << caption;
    }
    // The averages row keeps the same order: half the member's figures.
    EXPECT_EQ(Under(header, Cells(html, "В среднем по клану"), "САУ"), "224") << c.days;
    EXPECT_EQ(Under(header, Cells(html, "В среднем по клану"), "ТТ"), "56") << c.days;
    // The footer repeats the header.
    const size_t foot = html.find("<tfoot");
    ASSERT_NE(foot, std::string::npos);
    std::vector<std::string> footer = Cells(html.substr(foot), "<tr style=\"color:white\">");
    ASSERT_EQ(footer.size(), header.size()) << c.days;
    footer[1] = header[1];
    footer[2] = header[2];
    EXPECT_EQ(footer, header) << c.days;
  }
}

TEST_F(ClanTopTanksTest, SeveralClansAddAClanColumnToEveryRow) {
  clan_.tag = "VOLKI,STAL";
  const std::string html = Page(-2, Member("Tihiy_Omut", "commander", 10, 5, 900));
  const std::vector<std::string> header = Cells(html, kHeader);
  ASSERT_GE(header.size(), 3u);
  EXPECT_EQ(header[2], "Клан");
  EXPECT_EQ(Cells(html, "Tihiy_Omut").size(), header.size());
  EXPECT_EQ(Cells(html, "В среднем по клану").size(), header.size());
  EXPECT_NE(html.find("[<a href=\"http://site?search=[VOLKI]\" onclick=\"return doCmd('search','[VOLKI]')\">VOLKI</a>]"),
            std::string::npos);
  EXPECT_NE(html.find("<td colspan=\"21\">"), std::string::npos);
}

TEST_F(ClanTopTanksTest, MemberRowsShowDashesWhereThereIsNothingToCount) {
  const RWOTAccount player = Member("Gromoboy_77", "executive_officer", 3000, 1650, 1200,
                                    {Vehicle("10785", 200, 120, 500000), Vehicle("16897", 100, 45, 210000),
                                     Vehicle("6929", 0, 0, 0), Vehicle("1", 2700, 1485, 2000000)});
  const RWOTAccount no_listed = Member("Ded_Pihto", "private", 900, 450, 700, {Vehicle("1", 900, 450, 90000)});
  RWOTAccount no_random = player;
  no_random.Nickname = "Zhenya_Rzhevsky";
  no_random.Stats[kModeRandom] = Block(0, 0);
  struct Case {
    std::string_view name;
    std::vector<std::string> cells;  // after the role: win rate, EFF, ТТ, СТ, ПТ, САУ, Боёв, Побeд
  };
  const std::vector<std::string> dashes(8, "-");
  const std::vector<std::pair<int, std::vector<ClanMemberData>>> pages = {
      {kModeAll, {Collected(player), Collected(no_listed), Collected(no_random, false)}},
      {kModeRandom, {Collected(player), Collected(no_listed), Collected(no_random)}},
  };
  const std::vector<std::vector<Case>> expected = {
      {{"Gromoboy_77", {"55,0%", "1200", "200", "100", "-", "-", "300", "55,0%"}},
       {"Ded_Pihto", {"50,0%", "700", "-", "-", "-", "-", "-", "-"}},
       {"Zhenya_Rzhevsky", dashes}},  // no snapshot
      {{"Gromoboy_77", dashes}, {"Ded_Pihto", dashes}, {"Zhenya_Rzhevsky", dashes}},  // no random battles
  };
  for (size_t p = 0; p < pages.size(); ++p) {
    const std::string html = Page(-1, pages[p].second, -1, pages[p].first);
    for (const Case& c : expected[p]) {
      const std::vector<std::string> cells = Cells(html, ">" + std::string(c.name) + "<");
      ASSERT_EQ(cells.size(), 11u) << c.name;
      EXPECT_EQ(std::vector<std::string>(cells.begin() + 3, cells.end()), c.cells) << p << " " << c.name;
    }
  }
  // Colours and tooltips of the figures.
  const std::string html = Page(-2, player);
  EXPECT_NE(html.find("<td class=\"tCenter\"><span class=\"c5\">[Замком]</span>"
                      "</td><td class=\"tCenter\"><span class=\"c4\">55,0%</span>"
                      "</td><td class=\"tCenter\"><span class=\"c4\">1200</span>"
                      "</td><td title=\"60,0% побед, 2500 урон\" class=\"tCenter\"><span class=\"c5\">200</span>"
                      "</td><td class=\"tCenter\">-</td><td class=\"tCenter\">-</td>"),
            std::string::npos);
  EXPECT_NE(html.find("<td title=\"60,0% побед\" class=\"tCenter\"><span class=\"c5\">200</span>"
                      "</td><td title=\"45,0% побед\" class=\"tCenter\"><span class=\"c1\">100</span>"),
            std::string::npos);
  EXPECT_NE(html.find("<td class=\"tCenter\">-</td><td class=\"tCenter\">-</td><td class=\"tCenter\">"
                      "<span class=\"c1\">300</span></td><td class=\"tCenter\"><span class=\"c4\">55,0%</span>"),
            std::string::npos);
}

TEST_F(ClanTopTanksTest, HostileNamesAreEscapedAndSearchedWithoutModeOrPeriod) {
  const RWOTAccount image = Member("<img src=x onerror=alert(1)>", "<b>boss</b>", 10, 5, 900);
  const RWOTAccount quote = Member("O'Neil\\", "commander", 10, 5, 900);
  const ClanReportInput input{clan_, {}, Days(-1, "", kModeRandom), {kNow, kZoneHours}, site_, {}, "", "",
                              reference_};
  const std::unique_ptr<ClanPage> page = MakeClanTopTanksPage(input);
  page->AddMember(Collected(image));
  page->AddMember(Collected(quote));
  const std::string html = page->Finish(2);
  EXPECT_EQ(html.find("<img src=x"), std::string::npos);
  EXPECT_EQ(html.find("<b>boss"), std::string::npos);
  EXPECT_NE(html.find(">&lt;img src=x onerror=alert(1)&gt;</a>"), std::string::npos);
  EXPECT_NE(html.find("[&lt;b&gt;boss&lt;/b&gt;]"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"http://site?search=O&#39;Neil\\\" onclick=\"return doCmd('search','O\\&#39;Neil\\\\')\""
                      " class=\"name\" target=\"O&#39;Neil\\\">O&#39;Neil\\</a>"),
            std::string::npos);
}

TEST_F(ClanTopTanksTest, TheAveragesRowDividesTheClanTotalsByTheMembersCounted) {
  const RWOTAccount first = Member("First", "commander", 1001, 500, 1000,
                                   {Vehicle("10785", 300, 150, 600000), Vehicle("8481", 100, 70, 100000)});
  const RWOTAccount second = Member("Second", "private", 2000, 1100, 1700, {Vehicle("10785", 500, 300, 1000000)});
  const RWOTAccount unnamed = Member("", "private", 5000, 5000, 5000, {Vehicle("10785", 5000, 5000, 1)});
  const RWOTAccount unloaded = Member("Unloaded", "private", 0, 0, 0);
  const std::string html =
      Page(-2, {Collected(first), Collected(second), Collected(unnamed), Collected(unloaded, false)});
  // Neither the unnamed member nor the one without data counts: 1500,5 battles
  // and 800 wins; on the heavy row's first vehicle 400 battles, 225 wins and
  // 2000 damage each.
  const std::vector<std::string> averages = Cells(html, "В среднем по клану");
  ASSERT_EQ(averages.size(), 23u);
  EXPECT_EQ(averages[3], "53,3%");
  EXPECT_EQ(averages[4], "1350");
  EXPECT_EQ(averages[5], "400");
  EXPECT_EQ(averages[17], "400");  // ТТ
  EXPECT_EQ(averages[20], "50");   // САУ
  EXPECT_EQ(averages[21], "450");
  EXPECT_EQ(averages[22], "57,8%");
  EXPECT_NE(html.find("<td title=\"56,3% побед, 2000 урон\" class=\"tCenter\"><span class=\"c4\">400</span>"),
            std::string::npos);
  // A clan of one member averages to that member.
  const std::string single = Page(-1, first);
  std::vector<std::string> member = Cells(single, ">First<");
  std::vector<std::string> average = Cells(single, "В среднем по клану");
  ASSERT_EQ(member.size(), average.size());
  EXPECT_EQ(std::vector<std::string>(member.begin() + 3, member.end()),
            std::vector<std::string>(average.begin() + 3, average.end()));
}

TEST_F(ClanTopTanksTest, AStoppedCollectionEndsWithTheNoteOfHowManyWereDone) {
  const RWOTAccount member = Member("A", "private", 10, 5, 900);
  const std::vector<ClanMemberData> three(3, Collected(member));
  EXPECT_NE(Page(-1, three, 25).find("</table>\r\n<br /><br />\r\n"
                                     "<p>Сбор данных был прерван. Обработано только 3 бойца из 25.</p>\r\n"),
            std::string::npos);
  EXPECT_NE(Page(-1, {three[0]}, 25).find("Обработан только 1 боец из 25."), std::string::npos);
  EXPECT_EQ(Page(-1, three, 3).find("Сбор данных был прерван"), std::string::npos);
  // Rows are numbered in the order added.
  EXPECT_NE(Page(-1, three, 3).find("<tr onclick=\"check(this)\"><td>3</td>"), std::string::npos);
}

TEST_F(ClanTopTanksTest, PageMatchesTheGoldenPage) {
  const RWOTAccount commander = Member("Tihiy_Omut", "commander", 12000, 6600, 1650,
                                       {Vehicle("10785", 800, 480, 1900000), Vehicle("58369", 350, 180, 800000),
                                        Vehicle("13889", 120, 55, 250000), Vehicle("12369", 40, 22, 95000)});
  const RWOTAccount officer = Member("Gromoboy_77", "combat_officer", 6000, 3000, 1100,
                                     {Vehicle("6929", 1200, 640, 2500000), Vehicle("16897", 90, 40, 180000)});
  const RWOTAccount recruit = Member("Zhenya_Rzhevsky", "recruit", 300, 140, 500, {Vehicle("1", 300, 140, 50000)});
  const RWOTAccount silent = Member("Ded_Pihto", "reservist", 0, 0, 0);
  const std::string html = Page(-2, {Collected(commander), Collected(officer), Collected(recruit), Collected(silent, false)}, 6);
  const char* test_data = std::getenv("TARVELO_TEST_DATA");
  const std::string folder = test_data != nullptr ? test_data : TARVELO_REPORT_TEST_DATA;
  EXPECT_EQ(GoldenDifference(folder + "/golden/clan_top_tanks_heavy.html", html), "");
}

}  // namespace
}  // namespace tarvelo::testing
