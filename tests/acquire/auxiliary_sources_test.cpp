#include "acquire/auxiliary_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "acquire/fake_http_getter.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "cache_test_support.h"
#include "text/clock.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

using testing::Paragraphs;
using testing::FixedClock;
using testing::NamesIn;
using testing::Put;
using testing::Slurp;
using testing::TempFolder;
using Urls = std::vector<std::string>;

constexpr char kAccountId[] = "4817293";
constexpr char kClanId[] = "1000123";
constexpr char kFameUrl[] = "http://portal.test/community/accounts/4817293/get_front_stats/";
constexpr char kReplaysUrl[] = "http://replays.test/sApi/v3/player.getInfo?wgId=4817293";
constexpr char kLocationUrl[] = "http://location.test/api/usercacheget/?accountId=4817293";

constexpr char kTwoFronts[] =
    R"({"status":"ok","fronts":[{"name":"Основной фронт","fame_points":1101,"rank":8514},)"
    R"({"name":"Продвинутый фронт","fame_points":300,"rank":200}]})";
constexpr char kReplaysFound[] =
    R"({"isOk":true,"data":{"wgId":4817293,"url":"http://replays.test/player/4817293","replayCount":23,)"
    R"("videoUrls":["v1","v2"]}})";
constexpr char kLocationFound[] =
    R"({"status":1,"accountId":4817293,"city":"Екатеринбург","region":"Свердловская область","country":"RU"})";
constexpr char kNoLocation[] = R"({"status":3,"accountId":4817293,"city":null,"region":null,"country":null})";

class AuxiliarySourcesTest : public testing::FakeNetworkTest {
 protected:
  AuxiliarySourcesTest() {
    context_.urls.hosts.GamePortal = "http://portal.test";
    context_.urls.hosts.Replays = "http://replays.test";
    context_.urls.hosts.Location = "http://location.test";
    std::filesystem::create_directories(AccountFolder());
    std::filesystem::create_directories(EntityFolderOf(context_.clan_cache_folder, kClanId));
  }

  void SetClock(const char* local_now) {
    clock_.reset();
    clock_.emplace(local_now);
  }
  std::string AccountFolder() const { return EntityFolderOf(context_.user_cache_folder, kAccountId); }
  std::string AccountFile(std::string_view name) const { return JoinPath(AccountFolder(), name); }
  std::string ClanFile(std::string_view name) const {
    return JoinPath(EntityFolderOf(context_.clan_cache_folder, kClanId), name);
  }
  // A file of the account folder holding `text`, last written at `date`.
  void PutAccountFile(std::string_view name, const std::string& text, DateTime date) {
    Put(AccountFile(name), text);
    ASSERT_TRUE(SetFileDate(testing::TestDisk(), AccountFile(name), date));
  }
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

  AccountFamePoints Fame(int period_days = 0, bool update = false) {
    return LoadAccountFamePoints(context_, kAccountId, "Gromoboy_77", period_days, update);
  }

  std::optional<FixedClock> clock_{std::in_place, "2016-12-01T12:00:00"};
  RWOTAccount account_;
  LoaderMessages messages_;
};

// ---- campaign and fame points -----------------------------------------------------

TEST_F(AuxiliarySourcesTest, NoFamePointsAreLoadedOutsideTheCampaignWindowOnly) {
  getter_.AnswerText(kFameUrl, kTwoFronts);
  Put(ClanFile("rating.dat"), R"({"status":"ok","data":{"1000123":{"points":5,"bonus_points":1,"position":2}}})");
  for (const char* now : {"2016-12-19T00:00:00", "2017-03-01T10:00:00", "2016-11-13T20:00:00"}) {
    SCOPED_TRACE(now);
    SetClock(now);
    const AccountFamePoints fame = Fame(0, true);
    EXPECT_EQ(fame.points, 0);
    EXPECT_EQ(fame.position, 0);
    EXPECT_EQ(LoadClanFamePoints(context_, kClanId).points, 0);
  }
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_FALSE(Exists(AccountFile("rating.dat")));
  EXPECT_TRUE(InsideCampaignWindow(EncodeDate(2016, 11, 14)));
  EXPECT_TRUE(InsideCampaignWindow(EncodeDateTime(2016, 12, 18, 23, 59, 0)));
}

TEST_F(AuxiliarySourcesTest, FetchedFamePointsAreReadAndKeptByTheirKind) {
  struct Case {
    const char* answer;
    int32_t points;
    int32_t position;
    const char* front;
    bool stored;
  };
  const Case cases[] = {
      {R"({"status":"OK","data":{"4817293":{"points":10,"position":5}}})", 10, 5, "", true},
      {R"({"status":"ok","meta":{"count":1},"users_info":[{"glory_points":77,"position":9}]})", 77, 9, "", true},
      {kTwoFronts, 300, 200, "Продвинутый фронт", true},
      {R"({"status":"ok","fronts":[{"name":"A","fame_points":1101,"rank":8514},{"name":"B","rank":0}]})", 1101,
       8514, "A", true},
      {R"({"status":"ok","fronts":[{"name":"A","fame_points":4,"rank":0},{"name":"B","fame_points":3,"rank":90}]})",
       3, 90, "B", true},
      {R"({"status":"ok","fronts":[{"name":"A","fame_points":4,"rank":50},{"name":"B","fame_points":3,"rank":90}]})",
       4, 50, "A", true},
      {R"({"status":"ok","fronts":[{"name":"A","fame_points":4,"rank":90},{"name":"B","fame_points":3,"rank":90}]})",
       4, 90, "A", true},
      {R"({"status":"ok","data":{"4817293":null},"fronts":[],"users_info":[]})", 0, 0, "", false},
      {R"({"status":"error","error":"Too many requests"})", 0, 0, "", true},
      {R"(<html>Service unavailable</html>)", 0, 0, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    std::filesystem::remove(AccountFile("rating.dat"));
    getter_.AnswerText(kFameUrl, c.answer);
    const AccountFamePoints fame = Fame();
    EXPECT_EQ(fame.points, c.points);
    EXPECT_EQ(fame.position, c.position);
    EXPECT_EQ(fame.front_name, c.front);
    EXPECT_EQ(Exists(AccountFile("rating.dat")), c.stored);
    if (c.stored) {
      EXPECT_EQ(Slurp(AccountFile("rating.dat")), ReplaceAll(c.answer, R"(,"meta":{"count":1})", ""));
    }
  }
  EXPECT_EQ(getter_.requests().back().url, kFameUrl);
  EXPECT_EQ(getter_.requests().back().extra_header, "X-Requested-With: XMLHttpRequest");
}

TEST_F(AuxiliarySourcesTest, FamePointsComeFromTheCacheWhileFreshOrForAPeriod) {
  getter_.AnswerText(kFameUrl, R"({"status":"ok","users_info":[{"glory_points":2,"position":2}]})");
  const std::string cached = R"({"status":"ok","users_info":[{"glory_points":1,"position":1}]})";
  PutAccountFile("rating.dat", cached, EncodeDateTime(2016, 12, 1, 0, 1, 0));  // under twelve hours
  EXPECT_EQ(Fame().points, 1);
  EXPECT_TRUE(getter_.requests().empty());

  ASSERT_TRUE(SetFileDate(testing::TestDisk(), AccountFile("rating.dat"), EncodeDateTime(2016, 11, 30, 23, 59, 0)));
  EXPECT_EQ(Fame(7).points, 1);  // stale, but a period view does not fetch
  EXPECT_TRUE(getter_.requests().empty());

  EXPECT_EQ(Fame().points, 2);
  EXPECT_EQ(getter_.requests().size(), 1u);
  EXPECT_EQ(Fame(7, true).points, 2);  // an update fetches even a fresh file
  EXPECT_EQ(getter_.requests().size(), 2u);

  // A file from before the campaign counts as no answer at all.
  PutAccountFile("rating.dat", cached, EncodeDate(2016, 11, 10));
  EXPECT_EQ(Fame(7).points, 0);
  EXPECT_EQ(getter_.requests().size(), 2u);
}

TEST_F(AuxiliarySourcesTest, FinalFamePointsAreKeptOnceFetchedAfterTheResultsSettled) {
  getter_.AnswerText(kFameUrl, R"({"status":"ok","users_info":[{"glory_points":2,"position":2}]})");
  const std::string cached = R"({"status":"ok","users_info":[{"glory_points":1,"position":1}]})";
  SetClock("2016-12-16T12:00:00");
  PutAccountFile("rating.dat", cached, EncodeDateTime(2016, 12, 14, 10, 0, 0));
  EXPECT_EQ(Fame(0, true).points, 1);
  EXPECT_TRUE(getter_.requests().empty());

  // Written while the campaign was still running: fetched again.
  PutAccountFile("rating.dat", cached, EncodeDateTime(2016, 12, 10, 10, 0, 0));
  EXPECT_EQ(Fame().points, 2);
  EXPECT_EQ(getter_.requests().size(), 1u);
  EXPECT_EQ(Fame().points, 2);
  EXPECT_EQ(getter_.requests().size(), 1u);
}

TEST_F(AuxiliarySourcesTest, ClanFamePointsAreReadFromTheCacheOnly) {
  Put(ClanFile("rating.dat"), R"({"status":"ok","data":{"1000123":{"points":5,"bonus_points":1,"position":2}}})");
  ClanFamePoints fame = LoadClanFamePoints(context_, kClanId);
  EXPECT_EQ(fame.points, 5);
  EXPECT_EQ(fame.bonus_points, 1);
  EXPECT_EQ(fame.position, 2);

  Put(ClanFile("rating.dat"), R"({"status":"ok","data":null,"clans_info":[{"clan_id":1000,"victory_points_custom":9},)"
                              R"({"clan_id":1000123,"victory_points_custom":40,"bonus_fame_points":3,)"
                              R"("rating_position":17}]})");
  fame = LoadClanFamePoints(context_, kClanId);
  EXPECT_EQ(fame.points, 40);
  EXPECT_EQ(fame.bonus_points, 3);
  EXPECT_EQ(fame.position, 17);

  ASSERT_TRUE(SetFileDate(testing::TestDisk(), ClanFile("rating.dat"), EncodeDate(2016, 11, 13)));  // an earlier campaign's
  EXPECT_EQ(LoadClanFamePoints(context_, kClanId).points, 0);
  EXPECT_TRUE(getter_.requests().empty());
}

// ---- histories --------------------------------------------------------------------

TEST_F(AuxiliarySourcesTest, NameHistoryIsReadWhenPresentAndRejectedWithoutANickname) {
  LoadNameHistory(context_, kAccountId, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");

  Put(AccountFile("clan_history.dat"), R"({"nickname":null,"result":1})");
  LoadNameHistory(context_, kAccountId, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_TRUE(account_.NameHistory.empty());

  Put(AccountFile("clan_history.dat"),
      R"({"nickname":"Gromoboy_77","namehis_nicks":["Old_1","Old_2"],"namehis_dates":["01.02.2014",""]})");
  LoadNameHistory(context_, kAccountId, account_, messages_);
  ASSERT_EQ(account_.NameHistory.size(), 2u);
  EXPECT_EQ(account_.NameHistory[0].name, "Old_1");
  EXPECT_EQ(account_.NameHistory[1].date, NoEndDate());

  Put(AccountFile("clan_history.dat"), R"({"result":0,"error":"<b>busy</b>"})");
  LoadNameHistory(context_, kAccountId, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "<p class=\"r\">ОШИБКА: Получены некорректные данные (\"{&quot;result&quot;:0,&quot;error&quot;:&quot;busy&quot;}...\").</p>\r\n");
}

TEST_F(AuxiliarySourcesTest, RoleHistoryDropsTheLeadingQuestionMarkAndNamesTheSearchWhenEmpty) {
  Put(AccountFile("role_history.dat"),
      R"(?callback({"rows":[{"id":"1000123","cell":["[ABC] Alpha","Солдат","2015-01-02","2016-03-04"]}]}))");
  LoadRoleHistory(context_, kAccountId, "Gromoboy_77", account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  ASSERT_EQ(account_.ClanHistory.size(), 1u);
  EXPECT_EQ(account_.ClanHistory[0].clan_tag, "ABC");
  EXPECT_EQ(account_.ClanHistory[0].role, "Рядовой");

  Put(AccountFile("role_history.dat"), "?null");
  LoadRoleHistory(context_, kAccountId, "Gromoboy_77", account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");

  Put(AccountFile("role_history.dat"), R"({"rows":[]})");
  LoadRoleHistory(context_, kAccountId, "<i>Gromoboy_77</i>", account_, messages_);
  EXPECT_EQ(Paragraphs(messages_),
            "<p class=\"r\">ОШИБКА: Не найдена клан-история игрока с именем \"&lt;i&gt;Gromoboy_77&lt;/i&gt;\".</p>\r\n");

  messages_.clear();
  for (const char* garbage : {"?Server error", R"({"total":0})", "rows: none"}) {
    SCOPED_TRACE(garbage);
    Put(AccountFile("role_history.dat"), garbage);
    LoadRoleHistory(context_, kAccountId, "Gromoboy_77", account_, messages_);
    EXPECT_NE(Paragraphs(messages_).find("ОШИБКА: Получены некорректные данные (\""), std::string::npos);
    messages_.clear();
  }
}

// ---- replays ------------------------------------------------------------------------

TEST_F(AuxiliarySourcesTest, ReplayAnswersAreStoredOnlyWhenTheyNameThePlayerOrAnError) {
  getter_.AnswerText(kReplaysUrl, R"({"isOk":false,"error":"Player not found"})");
  LoadReplays(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_EQ(Slurp(AccountFile("replays.dat")), R"({"isOk":false,"error":"Player not found"})");
  EXPECT_EQ(account_.ReplayCount, 0);

  std::filesystem::remove(AccountFile("replays.dat"));
  getter_.AnswerText(kReplaysUrl, R"({"isOk":false})");
  LoadReplays(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_),
            "<p class=\"r\">ОШИБКА: Получены некорректные данные о реплеях игрока (\"{&quot;isOk&quot;:false}...\").</p>\r\n");
  EXPECT_FALSE(Exists(AccountFile("replays.dat")));

  messages_.clear();
  getter_.AnswerText(kReplaysUrl, kReplaysFound);
  LoadReplays(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_EQ(account_.ReplayPage, "http://replays.test/player/4817293");
  EXPECT_EQ(account_.ReplayCount, 23);
  EXPECT_EQ(account_.ReplayVideoCount, 2);
  EXPECT_EQ(Slurp(AccountFile("replays.dat")), kReplaysFound);

  // An answer that cannot be stored is reported and still shown.
  account_ = {};
  context_.user_cache_folder = JoinPath(cache_.path(), "missing/user");
  LoadReplays(context_, kAccountId, false, account_, messages_);
  const std::string path = JoinPath(EntityFolderOf(context_.user_cache_folder, kAccountId), "replays.dat");
  EXPECT_EQ(Paragraphs(messages_), "<p class=\"r\">ОШИБКА: Не удалось сохранить файл данных: " + path + "</p>\r\n");
  EXPECT_EQ(account_.ReplayCount, 23);
}

TEST_F(AuxiliarySourcesTest, AFreshUnsuccessfulReplayAnswerIsRefetchedOnlyOnUpdate) {
  getter_.AnswerText(kReplaysUrl, kReplaysFound);
  PutAccountFile("replays.dat", R"({"isOk":false,"error":"Player not found"})",
                 EncodeDateTime(2016, 12, 1, 11, 55, 0));
  LoadReplays(context_, kAccountId, false, account_, messages_);
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_EQ(account_.ReplayCount, 0);

  LoadReplays(context_, kAccountId, true, account_, messages_);
  EXPECT_EQ(getter_.requests().size(), 1u);
  EXPECT_EQ(account_.ReplayCount, 23);

  // A fresh successful answer is kept even on an update.
  LoadReplays(context_, kAccountId, true, account_, messages_);
  EXPECT_EQ(getter_.requests().size(), 1u);
  EXPECT_EQ(Paragraphs(messages_), "");
}

// ---- location ------------------------------------------------------------------------

TEST_F(AuxiliarySourcesTest, ALocationAnswerWithoutACityIsStoredButShowsNothing) {
  account_.City = "Пермь";
  account_.LocationText = "Пермь";
  getter_.AnswerText(kLocationUrl, kNoLocation);
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_EQ(account_.City, "");
  EXPECT_EQ(account_.CountryCode, "");
  EXPECT_EQ(account_.LocationText, "");
  EXPECT_EQ(Slurp(AccountFile("location.dat")), kNoLocation);

  std::filesystem::remove(AccountFile("location.dat"));
  getter_.AnswerText(kLocationUrl, R"({"status":2,"message":"no such user"})");
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "<p class=\"r\">ОШИБКА: Получены некорректные данные о регионе игрока "
                       "(\"{&quot;status&quot;:2,&quot;message&quot;:&quot;no such user&quot;}...\").</p>\r\n");
  EXPECT_FALSE(Exists(AccountFile("location.dat")));

  // Members that are null are not shown as the word "null".
  messages_.clear();
  getter_.AnswerText(kLocationUrl, R"({"status":1,"accountId":4817293,"city":"Минск","region":null,"country":null})");
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_EQ(account_.CountryCode, "");
  EXPECT_EQ(account_.Region, "");
  EXPECT_EQ(account_.LocationText, "Минск");
}

TEST_F(AuxiliarySourcesTest, ACachedUnknownLocationIsUsedUnchangedUnlessUpdated) {
  getter_.AnswerText(kLocationUrl, kLocationFound);
  PutAccountFile("location.dat", R"({"status":3})", EncodeDateTime(2016, 12, 1, 11, 55, 0));
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_EQ(Slurp(AccountFile("location.dat")), R"({"status":3})");
  // The cached answer names no account, so it is reported like any other.
  EXPECT_NE(Paragraphs(messages_).find("о регионе игрока"), std::string::npos);

  messages_.clear();
  LoadLocation(context_, kAccountId, true, account_, messages_);
  EXPECT_EQ(getter_.requested_urls(), Urls{kLocationUrl});
  EXPECT_EQ(Paragraphs(messages_), "");
  EXPECT_EQ(account_.CountryCode, "RU");
  EXPECT_EQ(account_.Region, "Свердловская область");
  EXPECT_EQ(account_.City, "Екатеринбург");
  EXPECT_EQ(Slurp(AccountFile("location.dat")), kLocationFound);
}

TEST_F(AuxiliarySourcesTest, AnOldRegionFileBecomesTheLocationFile) {
  PutAccountFile("region.dat", kLocationFound, EncodeDateTime(2016, 12, 1, 10, 0, 0));
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_EQ(NamesIn(AccountFolder()), (std::vector<std::string>{"location.dat"}));
  EXPECT_EQ(testing::TestDisk().ModifiedDate(AccountFile("location.dat")), EncodeDateTime(2016, 12, 1, 10, 0, 0));
  EXPECT_EQ(account_.City, "Екатеринбург");

  // A location file already there is newer than any old region file and is kept.
  PutAccountFile("region.dat", kNoLocation, EncodeDateTime(2016, 12, 1, 10, 0, 0));
  LoadLocation(context_, kAccountId, false, account_, messages_);
  EXPECT_EQ(Slurp(AccountFile("location.dat")), kLocationFound);
  EXPECT_EQ(account_.City, "Екатеринбург");
}

}  // namespace
}  // namespace tarvelo
