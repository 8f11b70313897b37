// The clan pages from the command to the finished HTML, headless, against the
// sample API service: a clan collected from the network, then from the cache,
// stopped half-way, compared with an earlier day, and shown as top tanks; and
// the same clan collected one by one and with its requests batched and paced,
// storing the same files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "acquire/net/http_fetch.h"
#include "sample_service.h"
#include "shell/golden_pages.h"
#include "shell/headless/headless.h"
#include "shell/shell_fixture.h"
#include "text/replace.h"

namespace tarvelo::testing {
namespace {

constexpr std::string_view kTag = "STAL";
constexpr int kMembers = 32;

size_t Count(const std::string& text, std::string_view part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

class ClanPageTest : public ::testing::Test {
 protected:
  ClanPageTest() {
    std::filesystem::copy(TARVELO_DEMO_ANSWERS, answers(), std::filesystem::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
    setenv("TARVELO_APPDATA", (root() + "/appdata").c_str(), 1);
    At("2016-12-05T15:00:00");
    StartService("home", "");
  }

  // A fresh service on the answers, the program's data in `home` below the
  // root, and `settings` lines added to the program's own group.
  void StartService(const std::string& home, const std::string& settings) {
    service_ = std::make_unique<SampleService>(answers());
    home_ = home;
    setenv("TARVELO_HOME", (root() + "/" + home).c_str(), 1);
    WriteSettings(service_->url(), settings);
  }

  // Every host of the settings pointed at `host`.
  void WriteSettings(const std::string& host, const std::string& settings) {
    WriteText(root() + "/config/tarvelo/settings.ini",
              "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n" + settings + "[Hosts]\nApi=" + host +
                  "\nGamePortal=" + host + "\nClanPortal=" + host + "\nReplays=" + host + "\nLocation=" + host +
                  "\nAlliance=" + host + "\nSite=" + host + "\n");
  }
  ~ClanPageTest() override {
    for (const char* name : {"TARVELO_HOME", "XDG_CONFIG_HOME", "TARVELO_APPDATA", "TARVELO_NOW"}) unsetenv(name);
  }

  const std::string& root() const { return temp_.path(); }
  std::string answers() const { return root() + "/answers"; }
  static void At(const char* now) { setenv("TARVELO_NOW", now, 1); }

  // The body of the page the headless search ends on, with the service's
  // address and the data folder replaced by fixed names; `extra` are options
  // before the search.
  std::string Search(const std::string& request, std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{"--page", root() + "/page.html"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    arguments.push_back("[" + std::string(kTag) + "]" + request);
    ::testing::internal::CaptureStderr();
    const int code = RunHeadless(arguments);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0) << errors;
    std::string body = BodyOf(ReadText(root() + "/page.html"));
    body = ReplaceAll(body, service_->url(), "http://sample");
    return ReplaceAll(body, root() + "/" + home_ + "/", "/HOME/");
  }

  size_t RequestsTo(std::string_view path) const {
    size_t n = 0;
    for (const std::string& target : service_->targets()) n += target.starts_with(path) ? 1 : 0;
    return n;
  }

  TempFolder temp_;
  std::unique_ptr<SampleService> service_;
  std::string home_;
};

// The first `rows` rows of a table body.
std::string FirstRows(const std::string& body, size_t rows) {
  size_t end = 0;
  for (size_t i = 0; i < rows && end != std::string::npos; ++i) {
    end = body.find("</tr>", end);
    if (end != std::string::npos) end += 5;
  }
  return body.substr(0, end);
}

TEST_F(ClanPageTest, CollectedFromTheNetworkOnceThenFromTheCache) {
  ASSERT_TRUE(service_->running()) << service_->error();
  const std::string body = Search("");
  EXPECT_EQ(body.find("ОШИБКА"), std::string::npos);
  EXPECT_EQ(Count(body, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers));
  EXPECT_NE(body.find("<td>&nbsp;</td><td class=\"tLeft\">В среднем по клану</td>"), std::string::npos);
  EXPECT_EQ(body.find("Сбор данных был прерван"), std::string::npos);
  // The answers that take several accounts were asked for once for all
  // members, the vehicles once per member.
  for (std::string_view path : {"/wot/account/info/", "/wot/account/achievements/", "/wgn/clans/membersinfo/"}) {
    EXPECT_EQ(RequestsTo(path), 1u) << path;
  }
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), static_cast<size_t>(kMembers));
  EXPECT_EQ(RequestsTo("/wot/account/list/"), 0u);
  ExpectGolden("clan_page_body.html", body);

  const std::string cached = Search("");
  EXPECT_EQ(TableBody(cached, "ClanMembersBody"), TableBody(body, "ClanMembersBody")) << "the same members from the cache";
  EXPECT_NE(cached.find("title=\"Кеш от 05.12.2016 15:00 МСК\""), std::string::npos);
  // Member snapshots are used for 720 minutes without asking again.
  At("2016-12-06T02:50:00");
  Search("");
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), static_cast<size_t>(kMembers));
  At("2016-12-06T03:10:00");
  Search("");
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), static_cast<size_t>(2 * kMembers));
  EXPECT_EQ(RequestsTo("/wot/account/info/"), 2u);
}

TEST_F(ClanPageTest, AnUpdateFetchesTheEmblemAndEveryMemberAgain) {
  ASSERT_TRUE(service_->running()) << service_->error();
  Search("");
  Search("");
  EXPECT_EQ(RequestsTo("/clans/media/clans/emblems/"), 1u) << "the emblem is kept for a day";
  Search("&update");
  EXPECT_EQ(RequestsTo("/clans/media/clans/emblems/"), 2u);
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), static_cast<size_t>(2 * kMembers));
}

// The member's load asks for the fame points; the collection takes them from it.
TEST_F(ClanPageTest, ASearchAsksForEachMembersFamePointsOnce) {
  for (const std::string settings : {"", "BatchedRequests=0\n"}) {
    SCOPED_TRACE(settings);
    StartService(settings.empty() ? "batched" : "one", settings);
    ASSERT_TRUE(service_->running()) << service_->error();
    Search("");
    EXPECT_EQ(RequestsTo("/community/accounts/"), static_cast<size_t>(kMembers));
    Search("&update");
    EXPECT_EQ(RequestsTo("/community/accounts/"), static_cast<size_t>(2 * kMembers));
    Search("");
    EXPECT_EQ(RequestsTo("/community/accounts/"), static_cast<size_t>(2 * kMembers)) << "fresh from the cache";
  }
}

TEST_F(ClanPageTest, ABreakStopsAfterTheMembersDoneAndKeepsThem) {
  ASSERT_TRUE(service_->running()) << service_->error();
  std::string body = Search("", {"--break-after", "3"});
  EXPECT_EQ(Count(body, "<tr onclick=\"check(this)\""), 3u);
  EXPECT_NE(body.find("<p>Сбор данных был прерван. Обработано только 3 бойца из " + std::to_string(kMembers) +
                      ".</p>"),
            std::string::npos);
  // The vehicles are fetched a round of four members ahead, no further.
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), 4u) << "nothing asked for the members after the round under way";
  EXPECT_EQ(FirstRows(TableBody(body, "ClanMembersBody"), 3), FirstRows(TableBody(Search(""), "ClanMembersBody"), 3))
      << "the rows finished before the break, in member order";
  At("2016-12-06T03:10:00");
  body = Search("&update", {"--break-after", "1"});
  EXPECT_NE(body.find("Обработан только 1 боец из"), std::string::npos);
  // The next collection goes through.
  body = Search("&update");
  EXPECT_EQ(Count(body, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers));
}

// The account info answer of `account_id` with `battles` more battles, the
// last of them at `last_battle` (Unix time).
void PlayMore(const std::string& answers, const std::string& account_id, int battles, long long last_battle) {
  const std::string file = answers + "/api/account_info_" + account_id + ".json";
  std::string text = ReadText(file);
  std::smatch match;
  const std::regex all_battles("(\"all\": ?\\{[^{}]*?\"battles\": ?)([0-9]+)");
  ASSERT_TRUE(std::regex_search(text, match, all_battles)) << file;
  text = match.prefix().str() + match[1].str() + std::to_string(std::stoi(match[2].str()) + battles) +
         match.suffix().str();
  const std::regex last_battle_time("(\"last_battle_time\": ?)[0-9]+");
  ASSERT_TRUE(std::regex_search(text, match, last_battle_time)) << file;
  text = match.prefix().str() + match[1].str() + std::to_string(last_battle) + match.suffix().str();
  WriteText(file, text);
}

// The id of the first member of the clan's member list in its clan info answer.
std::string FirstMemberId(const std::string& answers) {
  const std::regex member("\"account_id\": ?([0-9]+)");
  for (const auto& entry : std::filesystem::directory_iterator(answers + "/api")) {
    if (!entry.path().filename().string().starts_with("clans_info_")) continue;
    const std::string text = ReadText(entry.path().string());
    if (text.find("\"" + std::string(kTag) + "\"") == std::string::npos) continue;
    std::smatch match;
    if (std::regex_search(text, match, member)) return match[1].str();
  }
  return {};
}

TEST_F(ClanPageTest, ADayComparesEveryMemberWithItsSnapshotThatDay) {
  ASSERT_TRUE(service_->running()) << service_->error();
  Search("");
  const std::string first_id = FirstMemberId(answers());
  ASSERT_FALSE(first_id.empty());
  PlayMore(answers(), first_id, 25, 1481018400);  // 06.12.2016 10:00 UTC
  At("2016-12-06T15:00:00");
  Search("");
  const std::string body = Search("&days=1");
  EXPECT_NE(body.find(">Дней</td>"), std::string::npos);
  EXPECT_EQ(body.find(">Возраст</td>"), std::string::npos);
  const size_t row = body.find("<tr onclick=\"check(this)\"><td>1</td>");
  ASSERT_NE(row, std::string::npos);
  const std::string first_row = body.substr(row, body.find("</tr>", row) - row);
  EXPECT_NE(first_row.find(">25</span>"), std::string::npos) << first_row.substr(0, 1500);
  EXPECT_NE(body.find("id=\"d1_1\" value=\"1\" checked=\"checked\""), std::string::npos);
}

TEST_F(ClanPageTest, TheFiveTopTanksVariantsFromTheCache) {
  ASSERT_TRUE(service_->running()) << service_->error();
  Search("");
  const size_t before = service_->targets().size();
  for (int days = -1; days >= -5; --days) {
    const std::string body = Search("&days=" + std::to_string(days));
    EXPECT_NE(body.find("<thead id=\"ClanMembersHead\">"), std::string::npos) << days;
    EXPECT_EQ(Count(body, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers)) << days;
    EXPECT_NE(body.find("id=\"d2_" + std::to_string(-days) + "\" value=\"" + std::to_string(days) +
                        "\" checked=\"checked\""),
              std::string::npos)
        << days;
    EXPECT_NE(body.find(">Побeд</td>"), std::string::npos) << days;
    EXPECT_NE(body.find("id=\"showh\""), std::string::npos) << days;
    EXPECT_EQ(body.find("id=\"showa\""), std::string::npos) << "nothing for \"Больше\" to open, " << days;
  }
  EXPECT_EQ(service_->targets().size(), before);
}

// The activity view collects the members as the members page does (stored
// days younger than 720 minutes are used as they are) and reads their days'
// summaries only.
TEST_F(ClanPageTest, TheActivityViewCollectsLikeTheMembersPageAndReadsTheStoredDays) {
  ASSERT_TRUE(service_->running()) << service_->error();
  const std::string cold = Search("&days=-6");
  EXPECT_EQ(cold.find("ОШИБКА"), std::string::npos);
  EXPECT_EQ(RequestsTo("/wot/tanks/stats/"), static_cast<size_t>(kMembers));
  EXPECT_EQ(Count(cold, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers));
  EXPECT_NE(cold.find("<tr><td>Игрок</td><td>Должность</td><td>Боёв за 7 дней</td><td>Боёв за 28 дней</td>"
                      "<td>WN8 за 28 дней</td><td>Дней без боёв</td><td>Активен</td></tr>"),
            std::string::npos);
  EXPECT_NE(cold.find("days=-6')\" class=\"current\">Активность</a>"), std::string::npos);
  // A day or two stored per member (the date rule may store a snapshot under two dates): nothing
  // played between them, nobody active.
  EXPECT_GT(Count(cold, "<span title=\"Сохранён только один день\">-</span>"), 0u);
  EXPECT_EQ(Count(cold, "<span class=\"c0\">нет</span></td></tr>") + Count(cold, "<td>-</td></tr>"),
            static_cast<size_t>(kMembers));
  EXPECT_NE(cold.find("<b class=\"sectionHdr\">0</b> из 32"), std::string::npos);
  EXPECT_NE(cold.find("<figure class=\"chart\">"), std::string::npos);
  EXPECT_EQ(cold.find("Архив истории недоступен"), std::string::npos);

  const size_t before = service_->targets().size();
  Search("&days=-6");
  Search("");
  EXPECT_EQ(service_->targets().size(), before);
}

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().lexically_relative(folder).string()] = ReadBytes(entry.path());
  }
  return files;
}

// The routes file with `members` put at the start of the route of `path` for `account_id`.
void MarkRoute(const std::string& answers, std::string_view path, const std::string& account_id,
               const std::string& members) {
  const std::string file = answers + "/routes.json";
  const std::string route = "{\"path\": \"" + std::string(path) + "\", \"query\": {\"account_id\": \"" + account_id + "\"";
  const std::string text = ReadText(file);
  ASSERT_NE(text.find(route), std::string::npos) << route;
  WriteText(file, ReplaceAll(text, route, "{" + members + ", " + route.substr(1)));
}

TEST_F(ClanPageTest, BatchedAndPacedTheClanStoresTheSameFilesAsOneByOne) {
  // Members whose own answers go wrong in different ways: account data the
  // server cannot give, achievements refused, an account the multi-id answer
  // leaves out, vehicles that come garbled once, and vehicles that never come.
  const std::string error = "{\"status\":\"error\",\"error\":{\"code\":504,\"message\":\"SOURCE_NOT_AVAILABLE\"}}";
  WriteText(answers() + "/api/account_info_11302275.json", error);
  WriteText(answers() + "/api/account_achievements_11302312.json", error);
  MarkRoute(answers(), "/wot/account/info/", "11302349", "\"in_batch\": false");
  MarkRoute(answers(), "/wgn/clans/membersinfo/", "11302460", "\"in_batch\": false");
  MarkRoute(answers(), "/wot/tanks/stats/", "11302386", "\"fault\": \"garbage\", \"fault_times\": 1");
  MarkRoute(answers(), "/wot/tanks/stats/", "11302423", "\"fault\": \"garbage\"");
  // Vehicles that take a while, so that they overlap when fetched side by side.
  const std::string routes = answers() + "/routes.json";
  WriteText(routes, ReplaceAll(ReadText(routes), "\"path\": \"/wot/tanks/stats/\"",
                               "\"delay_ms\": 40, \"path\": \"/wot/tanks/stats/\""));

  StartService("one", "BatchedRequests=0\n");
  ASSERT_TRUE(service_->running()) << service_->error();
  const std::string one_by_one = Search("");
  const size_t one_by_one_requests = service_->requests().size();
  EXPECT_EQ(RequestsTo("/wot/account/info/"), static_cast<size_t>(kMembers + 3)) << "twice for those without a snapshot";

  StartService("batched", "RequestsPerSecond=8\nRequestsInFlight=3\n");
  ASSERT_TRUE(service_->running()) << service_->error();
  const std::string batched = Search("");
  const std::vector<LoggedRequest> log = service_->requests();

  EXPECT_EQ(Count(batched, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers));
  EXPECT_EQ(batched, one_by_one);
  const auto one_files = FilesBelow(root() + "/one/cache");
  const auto batched_files = FilesBelow(root() + "/batched/cache");
  EXPECT_GT(one_files.size(), static_cast<size_t>(kMembers));
  for (const auto& [path, bytes] : one_files) {
    const auto other = batched_files.find(path);
    ASSERT_NE(other, batched_files.end()) << path;
    EXPECT_TRUE(other->second == bytes) << path;
  }
  EXPECT_EQ(batched_files.size(), one_files.size());

  EXPECT_LT(log.size() * 2, one_by_one_requests);
  EXPECT_LE(MostInOneSecond(ApiRequests(log)), 8);
  EXPECT_LE(MostInFlight(log), 3);
  EXPECT_GE(MostInFlight(ApiRequests(log)), 2) << "the vehicles were fetched side by side";

  // What the multi-id answer lacked is fetched ahead with the round's vehicles,
  // before them, not by the loader after the round.
  const auto first_of = [&log](const std::string& pattern) {
    const std::regex wanted(pattern);
    return std::find_if(log.begin(), log.end(), [&](const LoggedRequest& r) { return std::regex_search(r.target, wanted); });
  };
  const auto left_out = first_of("^/wot/account/info/\\?.*account_id=11302349(&|$)");
  const auto its_vehicles = first_of("^/wot/tanks/stats/\\?.*account_id=11302349(&|$)");
  ASSERT_NE(left_out, log.end());
  ASSERT_NE(its_vehicles, log.end());
  EXPECT_LT(left_out - log.begin(), its_vehicles - log.begin());
}

// A server that stalls or trickles costs the whole collection the API's time
// limit once, whether the members' requests go batched or one by one: the
// members after it fail at once, and the page comes with every member.
TEST_F(ClanPageTest, AStalledOrTricklingServerCostsTheCollectionOneTimeLimit) {
  struct Case {
    std::string route;
    std::string settings;
  };
  const Case cases[] = {
      {R"({"path": "/wot/tanks/stats/", "file": "api/tanks_stats_11302201.json", "fault": "stall"})", ""},
      {R"({"path": "/wot/tanks/stats/", "file": "api/tanks_stats_11302201.json", "fault": "stall"})",
       "BatchedRequests=0\n"},
      {R"({"path": "/wot/account/info/", "file": "api/account_info_11302201.json", "trickle_ms": 100})", ""},
  };
  const std::string routes = answers() + "/routes.json";
  const std::string recorded = ReadText(routes);
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.route + " " + c.settings);
    WriteText(routes, ReplaceAll(recorded, "{\"routes\": [\n", "{\"routes\": [\n" + c.route + ",\n"));
    StartService("slow" + std::to_string(++run), "RequestTimeLimit=2\n" + c.settings);
    ASSERT_TRUE(service_->running()) << service_->error();
    const auto started = std::chrono::steady_clock::now();
    const std::string body = Search("");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_EQ(Count(body, "<tr onclick=\"check(this)\""), static_cast<size_t>(kMembers));
    EXPECT_NE(body.find("из " + std::to_string(kMembers) + " не обновлены"), std::string::npos);
    EXPECT_LE(RequestsTo("/wot/tanks/stats/"), 4u) << "none after the time was spent";
  }
}

// Without a connection the clan and every member show their newest stored
// days, nothing is stored, and the page says how many members were not refreshed.
TEST_F(ClanPageTest, OfflineTheClanAndItsMembersShowTheirNewestStoredDays) {
  ASSERT_TRUE(service_->running()) << service_->error();
  const std::string online = Search("");
  const auto stored = FilesBelow(root() + "/home/cache");
  const RefusingPort refusing;
  WriteSettings(refusing.url(""), "");
  const std::string offline = ReplaceAll(Search("&update"), refusing.url(""), "http://sample");
  const std::string warning = "<p class=\"g\">ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + HostOf(refusing.url(""));
  const size_t clan_warning = offline.find(warning + ", показаны данные от 05.12.2016 15:00.</p>");
  const size_t members_warning = offline.find(warning + ", данные " + std::to_string(kMembers) + " бойцов из " +
                                              std::to_string(kMembers) + " не обновлены, показаны последние сохранённые.</p>");
  EXPECT_NE(clan_warning, std::string::npos) << offline.substr(0, 3000);
  EXPECT_NE(members_warning, std::string::npos);
  EXPECT_LT(members_warning, offline.find("<thead id=\"ClanTagName\">")) << "above the table";
  EXPECT_EQ(TableBody(offline, "ClanMembersBody"), TableBody(online, "ClanMembersBody"));
  EXPECT_EQ(FilesBelow(root() + "/home/cache"), stored) << "nothing stored";
}

}  // namespace
}  // namespace tarvelo::testing
