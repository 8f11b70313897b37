// The player page from the command to the finished HTML, headless, against the
// sample API service with the demo answers and a cache that already holds a
// week of daily snapshots of the player.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "sample_service.h"
#include "shell/headless/headless.h"
#include "shell/golden_pages.h"
#include "shell/shell_fixture.h"
#include "text/replace.h"

namespace tarvelo::testing {
namespace {

constexpr std::string_view kPlayerId = "4817293";
// A clanless player with sixty vehicles of every tier and a clan history.
constexpr std::string_view kCollectorId = "7305518";
// Newest first: two stays in one clan a day apart, then a stay after a two-day
// gap, a role change inside it, and the stay that has not ended.
constexpr std::string_view kCollectorRoles =
    R"({"rows":[)"
    R"({"id":"201876","cell":["[VOLKI_] Волчья стая","Боец","2016-06-03","1970-01-01"]},)"
    R"({"id":"172431","cell":["[VOLKI] Волки Севера","Офицер штаба","2015-11-20","2016-06-01"]},)"
    R"({"id":"172431","cell":["[VOLKI] Волки Севера","Боец","2015-05-02","2015-11-20"]},)"
    R"({"id":"172431","cell":["[VOLKI] Волки Севера","Новобранец","2015-03-01","2015-05-01"]},)"
    R"({"id":"99001","cell":["[<b>X</b>] Tag<script>","Рядовой","2014-01-10","2014-12-31"]}]})";

class AccountPageTest : public ::testing::Test {
 protected:
  AccountPageTest() : service_(TARVELO_DEMO_ANSWERS) {
    setenv("TARVELO_HOME", (root() + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
    setenv("TARVELO_APPDATA", (root() + "/appdata").c_str(), 1);
    setenv("TARVELO_NOW", "2016-12-05T15:00:00", 1);
    const std::string host = service_.url();
    WriteText(root() + "/config/tarvelo/settings.ini",
              "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n[Hosts]\nApi=" + host +
                  "\nGamePortal=" + host + "\nClanPortal=" + host + "\nReplays=" + host + "\nLocation=" + host +
                  "\nAlliance=" + host + "\nSite=" + host + "\n");
    StoreHistory(kPlayerId);
    StoreHistory(kCollectorId);
    WriteText(AccountFolder(kCollectorId) + "/role_history.dat", std::string(kCollectorRoles));
  }
  ~AccountPageTest() override {
    for (const char* name : {"TARVELO_HOME", "XDG_CONFIG_HOME", "TARVELO_APPDATA", "TARVELO_NOW"}) unsetenv(name);
  }

  const std::string& root() const { return temp_.path(); }
  std::string AccountFolder(std::string_view id) const { return root() + "/home/cache/user/" + std::string(id); }

  // The demo's daily snapshots, each dated the evening of its day.
  void StoreHistory(std::string_view id) const {
    const std::filesystem::path history = std::filesystem::path(TARVELO_DEMO_ANSWERS) / "history" / id;
    std::filesystem::create_directories(AccountFolder(id));
    for (const auto& entry : std::filesystem::directory_iterator(history)) {
      const std::string target = AccountFolder(id) + "/" + entry.path().filename().string();
      std::filesystem::copy_file(entry.path(), target);
      const std::string day = entry.path().stem().string();
      SetFileDate(testing::TestDisk(), target, EncodeDateTime(std::stoi(day.substr(0, 4)), std::stoi(day.substr(5, 2)),
                                         std::stoi(day.substr(8, 2)), 23, 50, 0));
    }
  }

  // The body of the page a search ends on, with the service's address and the
  // data folder replaced by fixed names.
  std::string Search(const std::string& request) {
    ::testing::internal::CaptureStderr();
    const int code = RunHeadless({"--page", root() + "/page.html", "--command", "[CMD:]search[PRM:]" + request});
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0) << errors;
    EXPECT_EQ(errors, "") << request;
    std::string body = BodyOf(ReadText(root() + "/page.html"));
    body = ReplaceAll(body, service_.url(), "http://sample");
    return ReplaceAll(body, root() + "/home/", "/HOME/");
  }

  static std::string Row(const std::string& body, std::string_view id) { return TableBody(body, id); }

  TempFolder temp_;
  SampleService service_;
};

TEST_F(AccountPageTest, AllTimeViewShowsThePlayerTheClanAndTheWeek) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string body = Search("Gromoboy_77");
  EXPECT_EQ(body.find("ОШИБКА"), std::string::npos) << body;
  EXPECT_NE(Row(body, "AccountName").find(">Gromoboy_77</a><br />Российская Федерация, Свердловская область, "
                                          "Екатеринбург<br />Дата регистрации: 14.03.2012 <span class=\"c0 noWrap\">"
                                          "(4 года, 8 месяцев и 21 день)</span><br />Последний бой: 03.12.2016 01:30 "
                                          "МСК <span class=\"c0 noWrap\">(2 дня назад)</span>"),
            std::string::npos)
      << Row(body, "AccountName");
  EXPECT_NE(Row(body, "AccountName").find("(Очки славы: 943)"), std::string::npos) << "inside the campaign window";
  EXPECT_NE(Row(body, "ClanTagName").find("src=\"file:///HOME/images/clan/172431_emblem_24x24.png\""),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(root() + "/home/images/clan/172431_emblem_24x24.png"));
  EXPECT_NE(Row(body, "ClanTagName").find("Волки Севера <span class=\"c0 noWrap\">(4 бойца)</span>"),
            std::string::npos);

  // Two days of this search (the last battle's and yesterday) and eight of the week before.
  const std::string days = Row(body, "Semaphore");
  EXPECT_NE(days.find("id=\"d10\""), std::string::npos);
  EXPECT_NE(days.find("<label for=\"d4\">с 30.11.2016"), std::string::npos) << days;
  EXPECT_NE(days.find("<label for=\"d10\">по 23.11.2016"), std::string::npos);
  EXPECT_NE(days.find("..<a href=\"http://sample/?search=Gromoboy_77&days=1\" onclick=\"return "
                      "doCmd('search','Gromoboy_77&days=1')\">04 дек</a>"),
            std::string::npos)
      << days;
  // 2 December less 1 December: the battles of that day.
  EXPECT_NE(days.find(">02 дек</a><br />29<br />"), std::string::npos) << days;
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>6\u00A0618</td>"), std::string::npos);
}

TEST_F(AccountPageTest, ModeRandomShowsRandomBattles) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string body = Search("Gromoboy_77&mode=random");
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>6\u00A0421</td>"), std::string::npos)
      << Row(body, "stAllBattles");
  EXPECT_NE(Row(body, "Total").find("Общая статистика</b> <span>(случайные бои)</span>"), std::string::npos);
  EXPECT_NE(Row(body, "Semaphore").find("doCmd('search','Gromoboy_77&mode=random&days=1')"), std::string::npos);
}

TEST_F(AccountPageTest, PeriodViewsCompareWithTheStoredDays) {
  ASSERT_TRUE(service_.running()) << service_.error();
  // Stored: 04.12 and 02.12 of this search, then 01.12, 30.11, … 23.11; three back is 30 November.
  std::string body = Search("Gromoboy_77&days=3");
  EXPECT_NE(Row(body, "AccountName").find("title=\"Выбранный период данных\"><span style=\"float:left\">30.11.2016<br />"
                                          "23:40 МСК</span>"),
            std::string::npos)
      << Row(body, "AccountName");
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>53</td>"), std::string::npos)
      << Row(body, "stAllBattles");
  EXPECT_NE(Row(body, "Semaphore").find("class=\"tLeft curDays\""), std::string::npos);

  body = Search("Gromoboy_77&days=4o");
  EXPECT_NE(Row(body, "Semaphore").find(" checked=\"checked\"><label for=\"d4o\">"), std::string::npos);
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>"), std::string::npos);

  body = Search("Gromoboy_77&days=2b");
  EXPECT_NE(Row(body, "Semaphore").find("class=\"tLeft curDaysL\""), std::string::npos);
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>6\u00A0618</td>"), std::string::npos)
      << "the state on 2 December";
}

TEST_F(AccountPageTest, SmallLayoutsShowTheStripAndTheMainFigures) {
  ASSERT_TRUE(service_.running()) << service_.error();
  std::string body = Search("Gromoboy_77&days=-1");
  EXPECT_EQ(body.find("id=\"showh\""), std::string::npos) << "no navigation";
  EXPECT_NE(Row(body, "Semaphore").find(">02 дек</a>"), std::string::npos);
  EXPECT_NE(Row(body, "SemaphoreEx").find("<tr><td>Бои</td><td><span class=\"c3\">6\u00A0618</span></td></tr>"),
            std::string::npos)
      << Row(body, "SemaphoreEx");
  body = Search("Gromoboy_77&days=-2");
  for (std::string_view id : {"Semaphore", "ClanTagName", "SemaphoreClaim", "VehiclesAll", "ClanHistoryWithRoles",
                              "Clanable", "Replays"}) {
    EXPECT_NE(Row(body, id), "") << id;
  }
}

TEST_F(AccountPageTest, ANegativeDaysNumberOtherThanTheSmallLayoutsShowsTheAllTimePage) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string body = Search("Gromoboy_77&days=-3");
  EXPECT_EQ(body.find("Нет данных для отображения"), std::string::npos);
  EXPECT_NE(Row(body, "stAllBattles").find("<td>Количество боёв</td><td>6\u00A0618</td>"), std::string::npos)
      << Row(body, "stAllBattles");
}

// Set TARVELO_UPDATE_GOLDEN to write the golden pages anew.
TEST_F(AccountPageTest, PeriodPageMatchesTheGoldenPage) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string body = Search("Gromoboy_77&days=3");
  ExpectGolden("account_page_days3_body.html", body);

  // Each day of the strip shows the battles the history's table gives that day.
  const std::regex strip_day(">(\\d\\d) [а-я]+</a><br />(\\d+)<br />");
  int days = 0;
  for (std::sregex_iterator day(body.begin(), body.end(), strip_day), end; day != end; ++day, ++days) {
    const std::regex table_row("<tr><td>" + (*day)[1].str() + "\\.\\d\\d\\.\\d{4}</td><td>(\\d*)</td>");
    std::smatch row;
    ASSERT_TRUE(std::regex_search(body, row, table_row)) << (*day)[0];
    EXPECT_EQ(row[1].str(), (*day)[2].str()) << (*day)[0];
  }
  EXPECT_EQ(days, 7);
}

// Every section of the full layout, with the sixty vehicles, the clan history,
// replays and location.
TEST_F(AccountPageTest, AllTimePageOfManyVehiclesMatchesTheGoldenPage) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string body = Search("Bronya_Krepka");
  ExpectGolden("account_page_vehicles_body.html", body);

  const std::string header = Row(body, "VehiclesAll");
  EXPECT_NE(header.find("Топ-техника игрока (10-й уровень)</b><span>&nbsp;(9 / 60)"), std::string::npos) << header;
  EXPECT_NE(header.find("id=\"vLevel0\" onclick=\"showv(this)\" checked=\"checked\">"), std::string::npos);
  const std::string history = Row(body, "ClanHistoryWithRoles");
  EXPECT_EQ(history.find("<script>"), std::string::npos) << "the clan tag is escaped";
  EXPECT_NE(history.find("&ndash; ?\?\?</td>"), std::string::npos) << history;
}

TEST_F(AccountPageTest, PeriodAndClaimViewsOfManyVehicles) {
  ASSERT_TRUE(service_.running()) << service_.error();
  std::string body = Search("Bronya_Krepka&days=3");
  // The rows of the list, to the preference sections after it.
  const size_t list = body.find("<tbody id=\"VehiclesList\">");
  const std::string vehicles = body.substr(list, body.find("<tbody id=\"VehicleLevel\"") - list);
  EXPECT_NE(vehicles.find("<tr class=\"vehicle"), std::string::npos);
  EXPECT_EQ(vehicles.find("display:none"), std::string::npos) << "every row of a period is shown";
  EXPECT_NE(Row(body, "VehiclesAll").find("Вся техника</b><span>&nbsp;("), std::string::npos);
  EXPECT_EQ(vehicles.find("Макс. уничтожено"), std::string::npos);
  EXPECT_EQ(Row(body, "ClanHistoryWithRoles"), "") << "not in a period";

  body = Search("Bronya_Krepka&days=-2");
  EXPECT_NE(Row(body, "VehiclesAll").find("Техника <span id=\"VehiclesCounter\"></span>"), std::string::npos);
  EXPECT_NE(body.find("<tr class=\"vehicle vLevel0", body.find("<tbody id=\"VehiclesList\">")), std::string::npos)
      << "the top tier shown";
}

}  // namespace
}  // namespace tarvelo::testing
