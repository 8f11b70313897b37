// The loaders against a sample service that answers with hostile bodies, slow or
// stalled transfers, redirects and oversized answers.
#include <gtest/gtest.h>

#include <chrono>

#include "loaders_end_to_end.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

using Clock = std::chrono::steady_clock;
using testing::Paragraphs;

// Markup that would run in the page if it reached it as markup.
constexpr std::string_view kScript = "<script>doCmd('browse','file:///etc/passwd')</script><img src=x onerror=alert(1)>";

// The tags a loader writes itself: its paragraphs and the details link.
bool OnlyOwnTags(std::string_view messages) {
  for (size_t at = messages.find('<'); at != std::string_view::npos; at = messages.find('<', at + 1)) {
    const std::string_view tag = messages.substr(at);
    if (!tag.starts_with("<p>") && !tag.starts_with("<p class=") && !tag.starts_with("</p>") &&
        !tag.starts_with("<a href=") && !tag.starts_with("</a>")) {
      return false;
    }
  }
  return true;
}

// One search against one changed answer, and what its messages must say.
struct HostileCase {
  std::string path;  // the request path whose answer is `body`; empty: no answer changed
  std::string body;
  std::string search;  // "[TAG]" searches a clan
  std::string expected;
};

class HostileServiceTest : public LoadersEndToEndTest {
 protected:
  void SetUp() override {
    LoadersEndToEndTest::SetUp();
    if (HasFatalFailure()) return;
    recorded_routes_ = Answer("routes.json");
    SetClock("2026-12-09T12:00:00");
  }

  // A fresh cache and the recorded routes only.
  void Reset() {
    WriteBytes(answers_.path() / "routes.json", recorded_routes_);
    fs::remove_all(UserFolder());
    fs::remove_all(ClanFolder());
    fs::create_directories(UserFolder());
    fs::create_directories(ClanFolder());
    NewTargets();
  }

  // Answers every request for `path` with `body`, whatever its query.
  void Serve(const std::string& path, const std::string& body, const std::string& more = "") {
    const std::string file = "hostile/" + std::to_string(++served_) + ".json";
    SetAnswer(file, body);
    PrependRoute("{\"path\": \"" + path + "\", \"file\": \"" + file + "\"" + more + "}");
  }

  // The messages of the case's search on a fresh cache, checked to say what is expected.
  std::string Run(const HostileCase& c) {
    Reset();
    if (!c.path.empty()) Serve(c.path, c.body);
    const bool clan = c.search.starts_with("[");
    const std::string messages = clan ? Paragraphs(SearchClan(c.search.substr(1, c.search.size() - 2)).messages)
                                      : Paragraphs(Search(c.search).messages);
    EXPECT_NE(messages.find(c.expected), std::string::npos) << messages;
    return messages;
  }

  void UseLimits(const TransferLimits& limits) {
    ConnectionSettings settings = fetch_.settings();
    settings.limits = limits;
    fetch_.set_settings(settings);
  }

  std::vector<std::string> FilesBelow(const fs::path& folder) const {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  std::string recorded_routes_;
  int served_ = 0;
};

// Every message that quotes an answer, an excerpt, a failure text or typed text,
// for both loaders and the auxiliary sources.
TEST_F(HostileServiceTest, NoMarkupFromAnAnswerOrTheTypedTextReachesTheMessages) {
  const std::string script(kScript);
  const std::string error = R"({"status":"error","error":{"code":407,"message":")" + script + R"("}})";
  const std::string spoofed_failure =
      "ОШИБКА: Не удалось соединиться с сервером " + script + ". Проверьте подключение к сети и настройки прокси.";
  const std::vector<HostileCase> cases = {
      {"/wot/account/list/", R"({"status":")" + script + R"(","error":")" + script + "\"}", std::string(kMember),
       "Ошибка поиска данных"},
      {"/wot/account/list/", spoofed_failure, std::string(kMember), "Не удалось соединиться"},
      {"/wot/account/list/", "<html>" + script + "</html>", std::string(kMember), "некорректные данные"},
      {"/wot/account/list/", R"({"status":"ok","data":[]})", script, "Не найден игрок"},
      {"/wot/account/info/", error, std::string(kMember), "Ошибка в данных"},
      {"/wot/account/info/", "Ошибка " + script + " \"status\"", std::string(kMember), "некорректные данные"},
      {"/wgn/clans/membersinfo/", error, std::string(kMember), "принадлежности игрока к клану"},
      {"/wgn/clans/info/", error, std::string(kMember), "Ошибка в данных"},
      {"/sApi/v3/player.getInfo", "{\"html\":\"" + script + "\"}", std::string(kMember), "о реплеях"},
      {"/api/usercacheget/", spoofed_failure, std::string(kMember), "Не удалось соединиться"},
      {"/wgn/clans/list/", error, "[VOLKI]", "Ошибка поиска данных"},
      {"/wgn/clans/list/", spoofed_failure, "[VOLKI]", "Не удалось соединиться"},
      {"/wgn/clans/list/", R"({"status":"ok","data":[]})", "[" + script + "]", "Не найден клан"},
      {"/wgn/clans/info/", error, "[VOLKI]", "Ошибка в данных"},
      {"", "", "[@1" + script + "]", "Не найден клан с ID"},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.path + " " + c.body + " for " + c.search);
    const std::string messages = Run(c);
    EXPECT_TRUE(OnlyOwnTags(messages)) << messages;
  }
}

// An id from an answer, or typed, that is empty, null or not decimal names no
// folder: nothing is written anywhere in the cache.
TEST_F(HostileServiceTest, AnswersWithoutAUsableIdWriteNothing) {
  const std::string clan_entry = R"(,"tag":"VOLKI","name":"x","created_at":1,"members_count":4}]})";
  const std::vector<HostileCase> cases = {
      {"/wgn/clans/list/", R"({"status":"ok","data":[{"clan_id":"")" + clan_entry, "[VOLKI]", "Не найден клан"},
      {"/wgn/clans/list/", R"({"status":"ok","data":[{"clan_id":null)" + clan_entry, "[VOLKI]", "Не найден клан"},
      {"/wgn/clans/list/", R"({"status":"ok","data":[{"clan_id":"..")" + clan_entry, "[VOLKI]", "Не найден клан"},
      {"", "", "[@]", "Не найден клан с ID"},
      {"/wot/account/list/", R"({"status":"ok","data":[{"nickname":"Gromoboy_77","account_id":""}]})",
       std::string(kMember), "Не найден игрок"},
      {"/wot/account/list/", R"({"status":"ok","data":[{"nickname":"Gromoboy_77","account_id":"../x"}]})",
       std::string(kMember), "Не найден игрок"},
      {"", "", "@", "Не найден игрок"},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.body + " for " + c.search);
    Run(c);
    EXPECT_EQ(FilesBelow(cache_.path()), std::vector<std::string>{});
  }

  // A membership answer with a clan id that is no id: no clan is read or stored.
  Reset();
  Serve("/wgn/clans/membersinfo/",
        WithoutMeta(ReplaceAll(Answer("api/clans_membersinfo_4817293.json"), "\"clan_id\":172431", "\"clan_id\":\"..\"")));
  const AccountLoadResult result = Search(kMember);
  EXPECT_TRUE(result.result);
  EXPECT_EQ(result.current.ClanTag, "");
  EXPECT_EQ(FilesBelow(ClanFolder()), std::vector<std::string>{});
}

// A name with "&" stays one query value; a last battle no calendar holds dates no file.
TEST_F(HostileServiceTest, TypedTextStaysOneQueryValueAndWildDatesNameNoFile) {
  PrependRoute(R"({"path": "/wot/account/list/", "query": {"search": "Tom&limit=100#x", "limit": "1"},
                   "file": "api/account_list_gromoboy_77.json"})");
  const AccountLoadResult result = Search("Tom&limit=100#x");
  EXPECT_TRUE(result.result) << Paragraphs(result.messages);
  EXPECT_EQ(result.current.AccountId, kMemberId);

  for (const int64_t wild : {int64_t{1} << 50, int64_t{-1} << 40}) {
    SCOPED_TRACE(wild);
    Reset();
    SetAnswerNumber("api/account_info_4817293.json", "data.4817293.last_battle_time", wild);
    ASSERT_TRUE(Search(kMember).result);
    EXPECT_EQ(JsonFilesIn(AccountFolder(kMemberId)), std::vector<std::string>{"2026-12-08.json"});
  }
}

// Redirects stay on the API's own scheme and host; a large answer is refused.
TEST_F(HostileServiceTest, RedirectsElsewhereAndOversizedAnswersAreFailedRequests) {
  // "localhost" is the same service under another host name: its answer would be used.
  const std::string elsewhere = "http://localhost:" + std::to_string(service_->port());
  const std::string list = "/wot/account/list/?search=Gromoboy_77&limit=1";
  for (const std::string& location : {elsewhere + list, "//localhost:" + std::to_string(service_->port()) + list}) {
    SCOPED_TRACE(location);
    Reset();
    PrependRoute(R"({"path": "/wot/account/list/", "query": {"search": "Moved", "limit": "1"}, "status": 302,
                     "headers": {"Location": ")" + location + "\"}}");
    const AccountLoadResult result = Search("Moved");
    EXPECT_FALSE(result.result);
    EXPECT_NE(Paragraphs(result.messages).find("перенаправил запрос на другой сервер"), std::string::npos) << Paragraphs(result.messages);
    EXPECT_EQ(NewTargets().size(), 1u);
  }
  Reset();
  PrependRoute(R"({"path": "/wot/account/list/", "query": {"search": "Moved", "limit": "1"}, "status": 302,
                   "headers": {"Location": ")" + list + "\"}}");
  EXPECT_TRUE(Search("Moved").result);

  Reset();
  TransferLimits limits;
  limits.max_body_bytes = 1 << 20;
  UseLimits(limits);
  // Valid JSON, padded past the limit.
  Serve("/wot/tanks/stats/", Answer("api/tanks_stats_4817293.json") + std::string(limits.max_body_bytes, ' '));
  const AccountLoadResult large = Search(kMember);
  EXPECT_TRUE(large.result);
  EXPECT_NE(Paragraphs(large.messages).find("о технике игрока"), std::string::npos) << Paragraphs(large.messages);
  EXPECT_EQ(JsonFilesIn(AccountFolder(kMemberId)), std::vector<std::string>{});
}

// A server that trickles, or stalls every try, costs a search little more than
// the time limit of its host, not a limit per try.
TEST_F(HostileServiceTest, SlowAndStalledServersCostOneTimeLimitPerSearch) {
  TransferLimits limits;
  limits.total_limit = std::chrono::seconds(3);
  limits.low_speed_time = std::chrono::seconds(1);
  UseLimits(limits);

  Serve("/wot/account/list/", Answer("api/account_list_gromoboy_77.json"), R"(, "trickle_ms": 400)");
  auto started = Clock::now();
  const AccountLoadResult trickled = Search(kMember);
  const auto trickle_time = Clock::now() - started;
  EXPECT_FALSE(trickled.result);
  EXPECT_NE(Paragraphs(trickled.messages).find("Не удалось соединиться"), std::string::npos) << Paragraphs(trickled.messages);
  EXPECT_LT(trickle_time, std::chrono::seconds(4));

  Reset();
  Serve("/wot/tanks/stats/", Answer("api/tanks_stats_4817293.json"), R"(, "fault": "stall")");
  started = Clock::now();
  const AccountLoadResult stalled = Search(kMember);
  const auto stall_time = Clock::now() - started;
  EXPECT_TRUE(stalled.result);
  EXPECT_NE(Paragraphs(stalled.messages).find("о технике игрока"), std::string::npos) << Paragraphs(stalled.messages);
  EXPECT_LT(stall_time, std::chrono::seconds(5));
}

}  // namespace
}  // namespace tarvelo
