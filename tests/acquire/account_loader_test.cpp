#include "acquire/account_loader.h"
#include "acquire/account_splices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "acquire/fake_http_getter.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "acquire/store/snapshot_optimizer.h"
#include "cache_test_support.h"
#include "model/model_fixture.h"
#include "model/tables.h"
#include "text/clock.h"
#include "text/html_escape.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

using testing::Paragraphs;
using testing::CapturedLog;
using testing::FixedClock;
using testing::NamesIn;
using testing::Put;
using testing::Slurp;
using testing::TempFolder;
using Urls = std::vector<std::string>;

constexpr char kApi[] = "http://api.test";
constexpr char kMeta[] = R"(,"meta":{"count":1})";

std::string SearchUrl(const std::string& name) {
  return std::string(kApi) + "/wot/account/list/?application_id=APP&search=" + PercentEncode(name) + "&limit=1";
}
std::string InfoUrl(const std::string& id) {
  return std::string(kApi) + "/wot/account/info/?application_id=APP&account_id=" + id +
         "&fields=account_id,nickname,updated_at,created_at,last_battle_time,logout_at,clan_id,global_rating,"
         "statistics&extra=statistics.random,statistics.globalmap_absolute,statistics.globalmap_champion,"
         "statistics.globalmap_middle,statistics.fallout";
}
std::string AchievementsUrl(const std::string& id) {
  return std::string(kApi) + "/wot/account/achievements/?application_id=APP&account_id=" + id;
}
std::string MembershipUrl(const std::string& id) {
  return std::string(kApi) + "/wgn/clans/membersinfo/?application_id=APP&account_id=" + id +
         "&fields=clan.clan_id,clan.tag,clan.name,clan.created_at,role,joined_at,account_name";
}
std::string VehiclesUrl(const std::string& id) {
  return std::string(kApi) + "/wot/tanks/stats/?application_id=APP&account_id=" + id +
         "&fields=tank_id,all,random,clan,company,globalmap,stronghold_defense,stronghold_skirmish,team,"
         "regular_team,fallout,max_xp,max_frags,mark_of_mastery&extra=random,fallout";
}
std::string ClanInfoUrl(const std::string& clan_id) {
  return std::string(kApi) + "/wgn/clans/info/?application_id=APP&clan_id=" + clan_id +
         "&fields=clan_id,tag,name,color,motto,updated_at,created_at,members_count,members.account_id,"
         "members.account_name,members.joined_at,members.role";
}

// The player Tester (12345) of the clan WOLF (777): answers as the publisher gives them.
constexpr char kSearch[] = R"({"status":"ok","meta":{"count":1},"data":[{"nickname":"Tester","account_id":12345}]})";
constexpr char kUnknownSearch[] = R"({"status":"ok","meta":{"count":0},"data":[]})";
constexpr char kAchievements[] =
    R"({"status":"ok","meta":{"count":1},"data":{"12345":{"achievements":{"warrior":2},"frags":{"sinai":1},)"
    R"("max_series":{"titleSniper":4}}}})";
constexpr char kMembership[] =
    R"({"status":"ok","meta":{"count":1},"data":{"12345":{"clan":{"created_at":1368805212,"tag":"WOLF",)"
    R"("name":"Wolves","clan_id":777},"role":"private","joined_at":1390221000,"account_name":"Tester"}}})";
constexpr char kClanInfo[] =
    R"({"status":"ok","meta":{"count":1},"data":{"777":{"members_count":2,"name":"Wolves","color":"#1E73BE",)"
    R"("created_at":1368805212,"tag":"WOLF","updated_at":1480917764,"motto":"m","clan_id":777,"members":[]}}})";

// Account info with `battles` in "all" and in `mode`; without a clan when clan_id is "null".
std::string Info(int battles, const std::string& clan_id = "777", const std::string& mode = "random") {
  const std::string block = R"({"battles":)" + std::to_string(battles) + R"(,"wins":6})";
  return R"({"status":"ok","meta":{"count":1},"data":{"12345":{"last_battle_time":1480449660,)"
         R"("account_id":12345,"created_at":1303501510,"updated_at":1480450527,"global_rating":4590,)"
         R"("clan_id":)" + clan_id + R"(,"statistics":{"all":)" + block + ",\"" + mode + "\":" + block +
         R"(,"trees_cut":3},"nickname":"Tester","logout_at":1480452000}}})";
}

// Vehicles 1 and 2 with these battles in "all" and in `mode`.
std::string Vehicles(int first, int second, const std::string& mode = "random") {
  auto vehicle = [&](int battles, int id) {
    const std::string block = R"({"battles":)" + std::to_string(battles) + R"(,"wins":1})";
    return R"({"all":)" + block + ",\"" + mode + "\":" + block + R"(,"max_xp":0,"tank_id":)" + std::to_string(id) +
           "}";
  };
  return R"({"status":"ok","meta":{"count":1},"data":{"12345":[)" + vehicle(first, 1) + "," + vehicle(second, 2) +
         "]}}";
}

// The merged snapshot of Info(10), kAchievements, kMembership and Vehicles(7, 3), worked
// out by hand from the splices, before optimisation.
std::string MergedTester() {
  return R"({"status":"ok","data":{"12345":{"clan":{"created_at":1368805212,"tag":"WOLF","name":"Wolves",)"
         R"("clan_id":777,"role":"private","joined_at":1390221000,"account_name":"Tester"},)"
         R"("achievements":{"warrior":2},"frags":{"sinai":1},"max_series":{"titleSniper":4},)"
         R"("last_battle_time":1480449660,"account_id":12345,"created_at":1303501510,"updated_at":1480450527,)"
         R"("global_rating":4590,"clan_id":777,"statistics":{"all":{"battles":10,"wins":6},)"
         R"("random":{"battles":10,"wins":6},"trees_cut":3},"nickname":"Tester","logout_at":1480452000},)"
         R"("vehicles":[{"all":{"battles":7,"wins":1},"random":{"battles":7,"wins":1},"max_xp":0,"tank_id":1},)"
         R"({"all":{"battles":3,"wins":1},"random":{"battles":3,"wins":1},"max_xp":0,"tank_id":2}]}})";
}

std::string WithoutMeta(const std::string& answer) { return ReplaceAll(answer, kMeta, ""); }

TEST(AccountSnapshotMerge, SplicesTheAnswersIntoOneDocument) {
  std::string merged = WithoutMeta(Info(10));
  merged = SpliceAchievements(merged, WithoutMeta(kAchievements), "12345");
  merged = SpliceMembership(merged, WithoutMeta(kMembership), "12345");
  merged = SpliceVehicles(merged, WithoutMeta(Vehicles(7, 3)), "12345");
  EXPECT_EQ(merged, MergedTester());
}

// The recorded demo world holds the merged documents of its five players.
TEST(AccountSnapshotMerge, BuildsTheRecordedDemoDocuments) {
  const std::filesystem::path demo = TARVELO_DEMO_ANSWERS;
  int players = 0;
  for (const char* id : {"3209871", "4817293", "5521930", "9120544", "10452377"}) {
    SCOPED_TRACE(id);
    auto answer = [&](const std::string& kind) {
      return WithoutMeta(Slurp((demo / "api" / (kind + "_" + id + ".json")).string()));
    };
    std::string merged = SpliceAchievements(answer("account_info"), answer("account_achievements"), id);
    const std::string membership = answer("clans_membersinfo");
    if (!membership.empty()) merged = SpliceMembership(merged, membership, id);
    merged = SpliceVehicles(merged, answer("tanks_stats"), id);
    const std::string expected = Slurp((demo / "expected" / ("snapshot_" + std::string(id) + ".json")).string());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(merged, expected);
    ++players;
  }
  EXPECT_EQ(players, 5);
}

class AccountLoaderTest : public testing::FakeNetworkTest {
 protected:
  AccountLoaderTest() {
    context_.urls.hosts.Api = kApi;
    context_.urls.hosts.GamePortal = "http://fame.test";
    context_.urls.hosts.Replays = "http://side.test";
    context_.urls.hosts.Location = "http://side.test";
    context_.reference = &reference_;
    context_.details_topic_url = "http://forum.test/topic";
    context_.pause = [this](int milliseconds) { waits_.push_back(milliseconds); };
  }

  // Every answer of a consistent player of the clan WOLF.
  void AnswerTester(const std::string& info = Info(10), const std::string& vehicles = Vehicles(7, 3)) {
    getter_.AnswerText(SearchUrl("Tester"), kSearch);
    getter_.AnswerText(InfoUrl("12345"), info);
    getter_.AnswerText(AchievementsUrl("12345"), kAchievements);
    getter_.AnswerText(MembershipUrl("12345"), kMembership);
    getter_.AnswerText(VehiclesUrl("12345"), vehicles);
    getter_.AnswerText(ClanInfoUrl("777"), kClanInfo);
  }

  AccountLoadResult Load(const std::string& text, int days = 0, const std::string& letters = "",
                         bool interactive = true) {
    AccountLoadRequest request;
    request.search_text = text;
    request.interactive = interactive;
    request.PeriodDays = days;
    request.PeriodLetters = letters;
    return LoadAccount(request, context_);
  }

  // The requests made of the publisher's API, in order (the side sites are not counted).
  Urls ApiRequests() const {
    Urls urls;
    for (const std::string& url : getter_.requested_urls()) {
      if (url.starts_with(kApi)) urls.push_back(url);
    }
    return urls;
  }

  // A fresh index file for Tester.
  void StoreIndex() {
    const std::string index_folder = IndexFolderOf(context_.user_cache_folder);
    std::filesystem::create_directories(index_folder);
    Put(JoinPath(index_folder, "Tester=12345.id"), WithoutMeta(kSearch));
    SetFileDate(testing::TestDisk(), JoinPath(index_folder, "Tester=12345.id"), ProgramClock()());
  }

  std::string AccountFile(const std::string& name) const {
    return JoinPath(EntityFolderOf(context_.user_cache_folder, "12345"), name);
  }
  Urls SnapshotFiles() const { return NamesIn(EntityFolderOf(context_.user_cache_folder, "12345")); }

  // A stored snapshot of Tester with `battles`, dated `date` on disk.
  void StoreSnapshot(const std::string& name, int battles, DateTime date) {
    std::filesystem::create_directories(EntityFolderOf(context_.user_cache_folder, "12345"));
    std::string text = WithoutMeta(Info(battles, "null"));
    text = SpliceVehicles(text, WithoutMeta(Vehicles(battles, 0)), "12345");
    Put(AccountFile(name), text);
    SetFileDate(testing::TestDisk(), AccountFile(name), date);
  }

  // The message paragraphs without those of the replay and location sites, which
  // the fake does not answer.
  static std::string Messages(const AccountLoadResult& result) {
    std::string kept;
    const std::string text = Paragraphs(result.messages);
    for (size_t start = 0, end; start < text.size(); start = end) {
      end = text.find("\r\n", start);
      end = end == std::string::npos ? text.size() : end + 2;
      const std::string paragraph = text.substr(start, end - start);
      if (paragraph.find("side.test") == std::string::npos) kept += paragraph;
    }
    return kept;
  }
  bool AskedSideSites() const {
    const Urls urls = getter_.requested_urls();
    return std::any_of(urls.begin(), urls.end(),
                       [](const std::string& url) { return url.starts_with("http://side.test"); });
  }

  static std::string Paragraph(const std::string& css_class, const std::string& text) {
    return "<p class=\"" + css_class + "\">" + text + "</p>\r\n";
  }

  FixedClock clock_{"2016-12-05T15:00:00"};
  ReferenceData reference_ = testing::SmallReference();
  std::vector<int> waits_;
};

TEST_F(AccountLoaderTest, LoadsAClanMemberFromTheNetworkAndStoresEverything) {
  AnswerTester();
  const AccountLoadResult result = Load("Tester");

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Messages(result), "");
  EXPECT_EQ(ApiRequests(), (Urls{SearchUrl("Tester"), InfoUrl("12345"), AchievementsUrl("12345"),
                                 MembershipUrl("12345"), VehiclesUrl("12345"), ClanInfoUrl("777")}));
  EXPECT_TRUE(waits_.empty());
  EXPECT_EQ(Slurp(JoinPath(IndexFolderOf(context_.user_cache_folder), "Tester=12345.id")), WithoutMeta(kSearch));
  // Last battle on 29 November: stored under that day and under yesterday.
  EXPECT_EQ(SnapshotFiles(), (Urls{"2016-11-29.json", "2016-12-04.json"}));
  EXPECT_EQ(Slurp(AccountFile("2016-11-29.json")), OptimizeSnapshot(MergedTester()));
  EXPECT_EQ(Slurp(JoinPath(EntityFolderOf(context_.clan_cache_folder, "777"), "2016-12-05.json")),
            WithoutMeta(kClanInfo));

  const RWOTAccount& current = result.current;
  EXPECT_EQ(current.Nickname, "Tester");
  EXPECT_EQ(current.Stats[kModeAll].Battles, 10);
  EXPECT_EQ(current.Vehicles.size(), 2u);
  EXPECT_EQ(current.CacheDate, 0);
  EXPECT_EQ(current.ClanId, "777");
  EXPECT_EQ(current.ClanRole, "private");
  EXPECT_EQ(current.ClanTag, "WOLF");
  EXPECT_EQ(current.ClanName, "Wolves");
  EXPECT_EQ(current.ClanColor, "#1E73BE");
  EXPECT_EQ(current.ClanMembersCount, 2);
  EXPECT_EQ(current.ClanCreated, UnixToDateTime(1368805212));
  EXPECT_EQ(result.clan.tag, "WOLF");
  EXPECT_EQ(result.base.Stats[kModeAll].Battles, 10);
  EXPECT_EQ(json::text(result.snapshot_data, "12345.clan.tag"), "WOLF");
  EXPECT_TRUE(AskedSideSites());
}

TEST_F(AccountLoaderTest, CollectingAClanMemberSkipsTheClanAndTheSideSites) {
  AnswerTester();
  const AccountLoadResult result = Load("@12345", 0, "", false);

  EXPECT_TRUE(result.result);
  EXPECT_EQ(ApiRequests(),
            (Urls{InfoUrl("12345"), AchievementsUrl("12345"), MembershipUrl("12345"), VehiclesUrl("12345")}));
  EXPECT_FALSE(AskedSideSites());
  EXPECT_EQ(result.current.ClanId, "777");
  EXPECT_EQ(result.current.ClanTag, "");
}

TEST_F(AccountLoaderTest, APlayerWithoutAClanHasNoMembershipRequestAndNoClanMember) {
  AnswerTester(Info(10, "null"));
  const AccountLoadResult result = Load("Tester");

  EXPECT_EQ(ApiRequests(),
            (Urls{SearchUrl("Tester"), InfoUrl("12345"), AchievementsUrl("12345"), VehiclesUrl("12345")}));
  EXPECT_EQ(Messages(result), "");
  EXPECT_FALSE(json::at(result.snapshot_data, "12345.clan").present());
  EXPECT_EQ(Slurp(AccountFile("2016-11-29.json")).find("\"clan\""), std::string::npos);
  EXPECT_EQ(result.current.ClanId, "");
}

TEST_F(AccountLoaderTest, RetriesAnswersThatDoNotParse) {
  CapturedLog log;
  AnswerTester();
  HttpResponse garbage{TransferEnd::kComplete, 200, "{\"status\":\"ok\",\"data\":{\"123", {}};
  getter_.AnswerOnce(AchievementsUrl("12345"), garbage);
  getter_.AnswerOnce(AchievementsUrl("12345"), garbage);
  getter_.AnswerOnce(VehiclesUrl("12345"), garbage);
  const AccountLoadResult result = Load("Tester");

  EXPECT_EQ(waits_, (std::vector<int>{100, 300, 100}));
  EXPECT_EQ(ApiRequests(), (Urls{SearchUrl("Tester"), InfoUrl("12345"), AchievementsUrl("12345"),
                                 AchievementsUrl("12345"), AchievementsUrl("12345"), MembershipUrl("12345"),
                                 VehiclesUrl("12345"), VehiclesUrl("12345"), ClanInfoUrl("777")}));
  EXPECT_EQ(log.Count("ОШИБКА: Неверные данные (27 байт)!"), 1u);
  EXPECT_TRUE(log.Has("Данные получены (" + std::to_string(Vehicles(7, 3).size()) + " байт)."));
  EXPECT_EQ(Messages(result), "");
  EXPECT_EQ(Slurp(AccountFile("2016-11-29.json")), OptimizeSnapshot(MergedTester()));
}

TEST_F(AccountLoaderTest, UsesTheThirdVehiclesAnswerAfterWaitingLonger) {
  CapturedLog log;
  AnswerTester();
  HttpResponse garbage{TransferEnd::kComplete, 200, "<html>busy</html>", {}};
  getter_.AnswerOnce(VehiclesUrl("12345"), garbage);
  getter_.AnswerOnce(VehiclesUrl("12345"), garbage);
  getter_.AnswerOnce(VehiclesUrl("12345"), garbage);
  const AccountLoadResult result = Load("Tester");

  EXPECT_EQ(waits_, (std::vector<int>{100, 200}));
  EXPECT_EQ(log.Count("ОШИБКА: Неверные данные (17 байт)!"), 2u);
  EXPECT_EQ(Messages(result),
            Paragraph("r", "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о технике "
                           "игрока, уровень боев неизвестен, рейтинги рассчитаны некорректно. Попробуйте повторить "
                           "запрос позднее."));
  EXPECT_TRUE(SnapshotFiles().empty());
}

TEST_F(AccountLoaderTest, AnIdWithoutIndexGoesStraightToTheAccountInfo) {
  getter_.AnswerText(InfoUrl("12345"), ReplaceAll(Info(10, "null"), R"("nickname":"Tester",)", ""));
  getter_.AnswerText(AchievementsUrl("12345"), kAchievements);
  getter_.AnswerText(VehiclesUrl("12345"), Vehicles(7, 3));
  const AccountLoadResult result = Load("@12345");

  EXPECT_TRUE(result.result);
  EXPECT_EQ(ApiRequests(), (Urls{InfoUrl("12345"), AchievementsUrl("12345"), VehiclesUrl("12345")}));
  EXPECT_EQ(result.current.AccountId, "12345");
  EXPECT_EQ(result.current.Nickname, "12345");
  EXPECT_FALSE(std::filesystem::exists(IndexFolderOf(context_.user_cache_folder)));
}

TEST_F(AccountLoaderTest, AnUnknownNameGivesOneMessageAndNoAccount) {
  getter_.AnswerText(SearchUrl("Nobody"), kUnknownSearch);
  const AccountLoadResult result = Load("Nobody");

  EXPECT_FALSE(result.result);
  EXPECT_EQ(Messages(result), Paragraph("r", "ОШИБКА: Не найден игрок с именем \"Nobody\"."));
  EXPECT_EQ(ApiRequests(), Urls{SearchUrl("Nobody")});

  // The typed name is quoted as text, never as markup.
  getter_.AnswerText(SearchUrl("<i>x</i>"), kUnknownSearch);
  EXPECT_EQ(Messages(Load("<i>x</i>")), Paragraph("r", "ОШИБКА: Не найден игрок с именем \"&lt;i&gt;x&lt;/i&gt;\"."));
}

TEST_F(AccountLoaderTest, UnusableAccountAnswersKeepTheAccountButStopTheLoad) {
  struct Case {
    std::string answer;
    std::string message;
  };
  const std::vector<Case> cases = {
      {R"({"status":"error","error":{"code":504,"message":"SOURCE_NOT_AVAILABLE"}})",
       "ОШИБКА: Сервер базы данных World of Tanks временно недоступен."},
      {R"({"status":"error","error":{"code":407,"message":"INVALID"}})",
       "ОШИБКА: Ошибка в данных (\"error - {&quot;code&quot;:407,&quot;message&quot;:&quot;INVALID&quot;}\")."},
      {"", "ОШИБКА: Получены пустые данные."},
      {"<html><body>Service <b>down</b></body></html>", "ОШИБКА: Получены некорректные данные (\"Service down...\")."},
      {R"({"status":"ok","data":{"12345":{"nick)",
       R"(ОШИБКА: Получены некорректные данные ("{&quot;status&quot;:&quot;ok&quot;,&quot;data&quot;:{&quot;12345&quot;:{&quot;nick...").)"},
      {R"({"status":"ok","data":{"12345":null}})",
       R"(ОШИБКА: Получены некорректные данные о игроке ("{&quot;status&quot;:&quot;ok&quot;,&quot;data&quot;:{&quot;12345&quot;:null}}...").)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    TempFolder cache;
    UseCache(cache);
    getter_ = FakeHttpGetter();
    getter_.AnswerText(SearchUrl("Tester"), kSearch);
    getter_.AnswerText(InfoUrl("12345"), c.answer);
    const AccountLoadResult result = Load("Tester", 3);

    EXPECT_TRUE(result.result);
    EXPECT_EQ(Messages(result), Paragraph("r", c.message));
    EXPECT_EQ(ApiRequests(), (Urls{SearchUrl("Tester"), InfoUrl("12345")}));
    EXPECT_EQ(result.current.AccountId, "12345");
    EXPECT_EQ(result.current.Nickname, "Tester");
    EXPECT_TRUE(SnapshotFiles().empty());
  }
}

TEST_F(AccountLoaderTest, AFailedAchievementsStepShowsTheDataButStoresNothing) {
  AnswerTester(Info(10), Vehicles(700, 3));  // inconsistent counts, but no check on failed data
  getter_.AnswerText(AchievementsUrl("12345"), R"({"status":"error","error":{"code":504}})");
  const AccountLoadResult result = Load("Tester");

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Messages(result),
            Paragraph("r", "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о "
                           "достижениях игрока. Попробуйте повторить запрос позднее."));
  EXPECT_EQ(result.current.Stats[kModeAll].Battles, 10);
  EXPECT_EQ(result.current.ClanTag, "WOLF");
  EXPECT_TRUE(SnapshotFiles().empty());
}

TEST_F(AccountLoaderTest, MembershipProblemsFailTheDataButClanInfoProblemsDoNot) {
  const std::string error = R"({"status":"error","error":{"code":504}})";
  AnswerTester();
  getter_.AnswerText(MembershipUrl("12345"), error);
  EXPECT_EQ(Messages(Load("Tester")),
            Paragraph("r", "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о "
                           "принадлежности игрока к клану. Попробуйте повторить запрос позднее. " + EscapeHtml(error)));
  EXPECT_TRUE(SnapshotFiles().empty());

  getter_.AnswerText(MembershipUrl("12345"), R"({"status":"ok","data":{"12345":null}})");
  EXPECT_EQ(Messages(Load("Tester")),
            Paragraph("r", "ОШИБКА: Получены некорректные данные о клане игрока (\"" +
                               EscapeHtml(R"({"status":"ok","data":{"12345":null}})") + "...\")."));
  EXPECT_TRUE(SnapshotFiles().empty());

  AnswerTester();
  std::filesystem::remove_all(EntityFolderOf(context_.clan_cache_folder, "777"));  // stored by the loads above
  getter_.AnswerText(ClanInfoUrl("777"), error);
  const AccountLoadResult result = Load("Tester");
  EXPECT_EQ(Messages(result), Paragraph("r", "ОШИБКА: Ошибка в данных (\"error - {&quot;code&quot;:504}\")."));
  EXPECT_EQ(result.current.ClanTag, "");
  EXPECT_EQ(SnapshotFiles(), (Urls{"2016-11-29.json", "2016-12-04.json"}));
}

TEST_F(AccountLoaderTest, ComparesAccountBattlesWithTheVehiclesSum) {
  const std::string link = "Подробности <a href=\"http://forum.test/topic\" target=\"_blank\">здесь</a>.";
  const std::string counts = "От сервера World of Tanks были получены некорректные данные &ndash; общее количество "
                             "боёв игрока (1\u00a0234) ";
  struct Case {
    int mode;
    std::string mode_key;
    int first_vehicle;
    std::string messages;
  };
  const std::vector<Case> cases = {
      {kModeAll, "random", 1231, ""},
      {kModeAll, "random", 1240,
       Paragraph("r", "ОШИБКА: " + counts + "меньше суммарного количества боёв на танках (1\u00a0243). Вследствие "
                      "этого, рейтинги рассчитаны приблизительно. " + link)},
      {kModeAll, "random", 900,
       Paragraph("g", "ПРЕДУПРЕЖДЕНИЕ: " + counts + "больше суммарного количества боёв на танках (903). "
                      "Вследствие этого, рейтинги могут быть рассчитаны неточно. " + link)},
      {kModeFallout, "fallout", 1240, ""},
      {kModeFallout, "fallout", 900,
       Paragraph("g", "ПРЕДУПРЕЖДЕНИЕ: " + counts + "больше суммарного количества боёв на танках (903). "
                      "Вследствие этого, рейтинги могут быть рассчитаны неточно. " + link)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.first_vehicle));
    TempFolder cache;
    UseCache(cache);
    context_.mode_index = c.mode;
    getter_ = FakeHttpGetter();
    AnswerTester(Info(1234, "null", c.mode_key), Vehicles(c.first_vehicle, 3, c.mode_key));
    const AccountLoadResult result = Load("Tester");
    EXPECT_EQ(Messages(result), c.messages);
    EXPECT_FALSE(SnapshotFiles().empty());
  }
}

TEST_F(AccountLoaderTest, AFreshCachedSnapshotNeedsNoRequest) {
  const DateTime now = ProgramClock()();
  StoreIndex();
  StoreSnapshot("2016-12-05.json", 10, now - 179.0 / 1440);
  const AccountLoadResult result = Load("tester");

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Messages(result), "");
  EXPECT_TRUE(ApiRequests().empty());
  EXPECT_EQ(result.current.Stats[kModeAll].Battles, 10);
  EXPECT_NEAR(result.current.CacheDate, now - 179.0 / 1440, 1e-5);
  EXPECT_EQ(SnapshotFiles(), Urls{"2016-12-05.json"});
}

TEST_F(AccountLoaderTest, ChoosesTheComparedSnapshotsOfAPeriod) {
  StoreIndex();
  StoreSnapshot("2016-12-05.json", 10, ProgramClock()() - 0.01);
  StoreSnapshot("2016-12-03.json", 8, EncodeDate(2016, 12, 3));
  StoreSnapshot("2016-12-01.json", 5, EncodeDate(2016, 12, 1));
  struct Case {
    int days;
    std::string letters;
    int period_battles;
    int base_battles;
  };
  const std::vector<Case> cases = {
      {1, "", 2, 8},   // current − 3 December
      {2, "", 5, 5},   // current − 1 December
      {2, "o", 3, 5},  // 3 December − 1 December
      {2, "b", 8, 10}, // 3 December as it was
      {5, "", 5, 5},   // fewer snapshots than days: the oldest one
      {5, "b", 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.days) + c.letters);
    const AccountLoadResult result = Load("Tester", c.days, c.letters);
    EXPECT_EQ(result.current.Stats[kModeAll].Battles, 10);
    EXPECT_EQ(result.period.Stats[kModeAll].Battles, c.period_battles);
    EXPECT_EQ(result.base.Stats[kModeAll].Battles, c.base_battles);
  }
  EXPECT_TRUE(ApiRequests().empty());
  EXPECT_FALSE(AskedSideSites());
  EXPECT_EQ(Load("Tester", 1).period.PeriodStart, EncodeDate(2016, 12, 3));
  EXPECT_EQ(Load("Tester", 5).period.PeriodStart, UnixToDateTime(1303501510));
}

}  // namespace
}  // namespace tarvelo
