// The account and clan loaders against the sample API service serving the demo
// answers (tools/sample_api/demo): which requests go out, in which order, what
// lands in the cache, which messages arise and what the records hold.
//
// Each test serves its own copy of the demo folder, so a test can change answers
// or put routes in front of the recorded ones (the service reads routes.json for
// every request). Clocks in the clan-war campaign (13.11.2016-19.12.2016) are used
// where fame points are requested, 2026 clocks elsewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <utility>

#include "loaders_end_to_end.h"

namespace tarvelo {
namespace {

// ---- account: the full path through the network and the cache ------------------

TEST_F(LoadersEndToEndTest, FirstSearchOfAClanMemberMakesEveryRequestInOrderAndStoresTheMergedSnapshot) {
  SetClock("2016-12-05T15:00:00");  // inside the campaign window
  WriteBytes(ClanSnapshotFolder(kClanId) / "rating.dat",
             R"({"status":"ok","data":{"172431":{"points":5120,"bonus_points":300,"position":87}}})");

  const AccountLoadResult result = Search(kMember);

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{AccountList(kMember), AccountInfo(kMemberId),
                                                    Achievements(kMemberId), Membership(kMemberId),
                                                    TanksStats(kMemberId), ClanInfo(kClanId), FamePoints(kMemberId),
                                                    Replays(kMemberId), Location(kMemberId)}));
  for (const auto& request : service_->requests()) EXPECT_EQ(request.outcome, "200") << request.target;
  EXPECT_TRUE(waits_.empty());

  // Cache: the index, the snapshot under the last-battle day (22:30 UTC on 2 December,
  // already the 3rd in Moscow) and again under yesterday, the clan's snapshot of today
  // and the side files.
  EXPECT_EQ(ReadBytes(UserFolder() / "index" / "Gromoboy_77=4817293.id"),
            WithoutMeta(Answer("api/account_list_gromoboy_77.json")));
  EXPECT_EQ(NamesIn(AccountFolder(kMemberId).string()),
            (std::vector<std::string>{"2016-12-02.json", "2016-12-04.json", "location.dat", "rating.dat",
                                      "replays.dat"}));
  const std::string expected = ExpectedSnapshot(kMemberId);
  EXPECT_EQ(ReadBytes(AccountFolder(kMemberId) / "2016-12-02.json"), expected);
  EXPECT_EQ(ReadBytes(AccountFolder(kMemberId) / "2016-12-04.json"), expected);
  EXPECT_EQ(ReadBytes(ClanSnapshotFolder(kClanId) / "2016-12-05.json"),
            WithoutMeta(Answer("api/clans_info_172431.json")));
  EXPECT_EQ(ReadBytes(AccountFolder(kMemberId) / "rating.dat"), Answer("portal/front_stats_4817293.json"));
  EXPECT_EQ(ReadBytes(AccountFolder(kMemberId) / "replays.dat"), Answer("replays/player_4817293.json"));
  EXPECT_EQ(ReadBytes(AccountFolder(kMemberId) / "location.dat"), Answer("location/user_4817293.json"));

  // Records: the merge moved the role into the clan object, the clan info and the side
  // sources reached the record, the fame points came with the portal's header.
  const RWOTAccount& account = result.current;
  EXPECT_EQ(account.Nickname, kMember);
  EXPECT_EQ(account.Stats[0].Battles, kMemberBattles);
  EXPECT_EQ(account.Vehicles.size(), 13u);
  EXPECT_EQ(account.ClanId, kClanId);
  EXPECT_EQ(account.ClanRole, "executive_officer");
  EXPECT_EQ(account.ClanTag, "VOLKI");
  EXPECT_EQ(account.ClanName, "Волки Севера");
  EXPECT_EQ(account.ClanColor, "#1E73BE");
  EXPECT_DOUBLE_EQ(account.LastBattle, UnixToDateTime(1480717841));
  EXPECT_EQ(account.CacheDate, 0.0);
  EXPECT_EQ(account.ReplayCount, 23);
  EXPECT_EQ(account.ReplayVideoCount, 2);
  EXPECT_EQ(account.City, "Екатеринбург");
  EXPECT_EQ(account.CountryCode, "RU");
  EXPECT_EQ(result.fame.points, 943);
  EXPECT_EQ(result.fame.position, 38590);
  EXPECT_EQ(result.fame.front_name, "Основной фронт");
  EXPECT_EQ(result.clan_fame.points, 5120);
  EXPECT_EQ(result.clan_fame.position, 87);
  EXPECT_EQ(json::text(result.snapshot_data, "4817293.clan.role"), "executive_officer");
  EXPECT_EQ(json::length(json::at(result.snapshot_data, "vehicles")), 13u);
}

TEST_F(LoadersEndToEndTest, ARepeatedSearchUsesTheCacheUntilAnUpdateIsAsked) {
  SetClock("2016-12-05T15:00:00");
  ASSERT_TRUE(Search(kMember).result);
  NewTargets();

  // 179 minutes later only the replays, made stale here, are fetched again.
  SetClock("2016-12-05T17:59:00");
  ASSERT_TRUE(SetFileDate(testing::TestDisk(), (AccountFolder(kMemberId) / "replays.dat").string(), EncodeDateTime(2016, 12, 5, 4, 0, 0)));
  const AccountLoadResult cached = Search(kMember);
  EXPECT_TRUE(cached.result);
  EXPECT_EQ(Paragraphs(cached.messages), "");
  EXPECT_EQ(NewTargets(), std::vector<std::string>{Replays(kMemberId)});
  EXPECT_NEAR(cached.current.CacheDate, EncodeDateTime(2016, 12, 5, 15, 0, 0), 1.0 / 86400);
  EXPECT_EQ(cached.current.Stats[0].Battles, kMemberBattles);
  EXPECT_EQ(cached.current.ClanTag, "VOLKI");
  EXPECT_EQ(cached.fame.points, 943);  // from rating.dat

  // An update fetches everything but the replay and location answers, which are fresh
  // and successful; the snapshot goes under yesterday only, its last-battle file exists.
  const AccountLoadResult updated = Search(kMember, /*update=*/true);
  EXPECT_TRUE(updated.result);
  EXPECT_EQ(Paragraphs(updated.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{AccountList(kMember), AccountInfo(kMemberId),
                                                    Achievements(kMemberId), Membership(kMemberId),
                                                    TanksStats(kMemberId), ClanInfo(kClanId), FamePoints(kMemberId)}));
  EXPECT_EQ(updated.current.CacheDate, 0.0);
  EXPECT_NEAR(testing::TestDisk().ModifiedDate((AccountFolder(kMemberId) / "2016-12-02.json").string()),
              EncodeDateTime(2016, 12, 5, 15, 0, 0), 1.0 / 86400);
  EXPECT_NEAR(testing::TestDisk().ModifiedDate((AccountFolder(kMemberId) / "2016-12-04.json").string()),
              EncodeDateTime(2016, 12, 5, 17, 59, 0), 1.0 / 86400);
}

TEST_F(LoadersEndToEndTest, APlayerWithoutAClanMakesNoMembershipRequest) {
  SetClock("2026-12-08T15:00:00");  // outside the campaign: no fame points
  const AccountLoadResult result = Search(kClanless);

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{AccountList(kClanless), AccountInfo(kClanlessId),
                                                    Achievements(kClanlessId), TanksStats(kClanlessId),
                                                    Replays(kClanlessId), Location(kClanlessId)}));
  EXPECT_EQ(JsonFilesIn(AccountFolder(kClanlessId)), (std::vector<std::string>{"2016-12-04.json", "2026-12-07.json"}));
  const std::string stored = ReadBytes(AccountFolder(kClanlessId) / "2026-12-07.json");
  EXPECT_EQ(stored, ExpectedSnapshot(kClanlessId));
  EXPECT_FALSE(json::at(json::parse(stored), "data.9120544.clan").present());
  EXPECT_EQ(result.current.ClanId, "");
  EXPECT_EQ(result.current.ClanTag, "");
  EXPECT_EQ(result.fame.points, 0);
  // The replay site's "not found" and a location without a city are kept, but give nothing.
  EXPECT_EQ(ReadBytes(AccountFolder(kClanlessId) / "replays.dat"), Answer("replays/player_9120544.json"));
  EXPECT_EQ(ReadBytes(AccountFolder(kClanlessId) / "location.dat"), Answer("location/user_9120544.json"));
  EXPECT_EQ(result.current.ReplayCount, 0);
  EXPECT_EQ(result.current.City, "");
}

TEST_F(LoadersEndToEndTest, AnAccountIdWithoutIndexFileGoesStraightToTheAccountInfo) {
  SetClock("2026-12-08T15:00:00");
  const AccountLoadResult result = Search("@9120544", false, 0, "", /*interactive=*/false);
  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{AccountInfo(kClanlessId), Achievements(kClanlessId),
                                                    TanksStats(kClanlessId)}));
  EXPECT_EQ(result.current.Nickname, kClanless);
  EXPECT_FALSE(fs::exists(UserFolder() / "index") && !fs::is_empty(UserFolder() / "index"));

  // Without a nickname in the answer the record is named by the id.
  json::Value info = json::parse(Answer("api/account_info_9120544.json"));
  ASSERT_TRUE(json::remove(info, "data.9120544.nickname"));
  SetAnswer("api/account_info_9120544.json", json::print(info));
  const AccountLoadResult unnamed = Search("@9120544", /*update=*/true, 0, "", false);
  EXPECT_TRUE(unnamed.result);
  EXPECT_EQ(unnamed.current.Nickname, "9120544");
}

TEST_F(LoadersEndToEndTest, AnUnknownNameGivesExactlyOneMessage) {
  SetClock("2026-12-08T15:00:00");
  const AccountLoadResult result = Search("Nikto_Takoy");
  EXPECT_FALSE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), Paragraph("r", "ОШИБКА: Не найден игрок с именем \"Nikto_Takoy\"."));
  EXPECT_EQ(NewTargets(), std::vector<std::string>{AccountList("Nikto_Takoy")});
  EXPECT_TRUE(NamesIn((UserFolder() / "index").string()).empty());
}

// ---- account: answers that go wrong ------------------------------------------

TEST_F(LoadersEndToEndTest, AFailedAccountInfoAnswerIsReportedAndNothingIsStored) {
  SetClock("2026-12-08T15:00:00");
  struct Case {
    const char* name;
    std::string route_answer;  // the members that make the route answer
    std::string outcome;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"504", R"("body": "{\"status\":\"error\",\"error\":{\"field\":null,\"message\":\"SOURCE_NOT_AVAILABLE\",\"code\":504,\"value\":null}}")",
       "200", "ОШИБКА: Сервер базы данных World of Tanks временно недоступен."},
      {"empty", R"("body": "")", "200", "ОШИБКА: Получены пустые данные."},
      {"garbage", R"("fault": "garbage")", "200 garbage",
       "ОШИБКА: Получены некорректные данные (\"‰PNG Service Unavailable Привет...\")."},
  };
  bool first = true;
  for (const Case& failure : cases) {
    SCOPED_TRACE(failure.name);
    PrependRoute(R"({"path": "/wot/account/info/", "query": {"account_id": "4817293", "fields": "*", "extra": "*"}, )" +
                 failure.route_answer + "}");
    const AccountLoadResult result = Search(kMember);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(Paragraphs(result.messages), Paragraph("r", failure.message));
    // The replay and location side files are fresh after the first case.
    const std::vector<std::string> expected =
        first ? std::vector<std::string>{AccountList(kMember), AccountInfo(kMemberId), Replays(kMemberId),
                                         Location(kMemberId)}
              : std::vector<std::string>{AccountInfo(kMemberId)};
    EXPECT_EQ(NewTargets(), expected);
    EXPECT_EQ(LastOutcomeOf(AccountInfo(kMemberId)), failure.outcome);
    EXPECT_TRUE(JsonFilesIn(AccountFolder(kMemberId)).empty());
    EXPECT_TRUE(NamesIn(ClanFolder().string()).empty());
    first = false;
  }
}

TEST_F(LoadersEndToEndTest, AFailedAchievementsStepKeepsTheReportButStoresNothingAndChecksNothing) {
  SetClock("2026-12-08T15:00:00");
  PrependRoute(R"({"path": "/wot/account/achievements/", "query": {"account_id": "4817293"}, "fault": "garbage"})");
  // More battles than the vehicles hold: a checked snapshot would give a warning.
  SetAnswerNumber("api/account_info_4817293.json", "data.4817293.statistics.all.battles", kMemberBattles + 7);

  const AccountLoadResult result = Search(kMember);

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages),
            Paragraph("r", "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о "
                           "достижениях игрока. Попробуйте повторить запрос позднее."));
  EXPECT_EQ(NewTargets(),
            (std::vector<std::string>{AccountList(kMember), AccountInfo(kMemberId), Achievements(kMemberId),
                                      Achievements(kMemberId), Achievements(kMemberId), Membership(kMemberId),
                                      TanksStats(kMemberId), ClanInfo(kClanId), Replays(kMemberId),
                                      Location(kMemberId)}));
  EXPECT_EQ(waits_, (std::vector<int>{100, 300}));
  EXPECT_TRUE(JsonFilesIn(AccountFolder(kMemberId)).empty());
  EXPECT_EQ(result.current.Stats[0].Battles, kMemberBattles + 7);
  EXPECT_EQ(result.current.Vehicles.size(), 13u);
  EXPECT_EQ(result.current.ClanRole, "executive_officer");
}

TEST_F(LoadersEndToEndTest, AFailedVehiclesStepIsRetriedTwiceAndLeavesAReportWithoutVehicles) {
  SetClock("2026-12-08T15:00:00");
  PrependRoute(R"({"path": "/wot/tanks/stats/", "query": {"account_id": "4817293", "fields": "*", "extra": "*"}, "fault": "garbage"})");

  const AccountLoadResult result = Search(kMember);

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages),
            Paragraph("r", "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о технике "
                           "игрока, уровень боев неизвестен, рейтинги рассчитаны некорректно. Попробуйте повторить "
                           "запрос позднее."));
  EXPECT_EQ(NewTargets(),
            (std::vector<std::string>{AccountList(kMember), AccountInfo(kMemberId), Achievements(kMemberId),
                                      Membership(kMemberId), TanksStats(kMemberId), TanksStats(kMemberId),
                                      TanksStats(kMemberId), ClanInfo(kClanId), Replays(kMemberId),
                                      Location(kMemberId)}));
  EXPECT_EQ(waits_, (std::vector<int>{100, 200}));
  EXPECT_TRUE(JsonFilesIn(AccountFolder(kMemberId)).empty());
  EXPECT_EQ(result.current.Stats[0].Battles, kMemberBattles);
  EXPECT_TRUE(result.current.Vehicles.empty());
  EXPECT_EQ(result.current.ClanTag, "VOLKI");
}

TEST_F(LoadersEndToEndTest, BattleCountsThatDisagreeWithTheVehiclesAreReported) {
  SetClock("2026-12-08T15:00:00");  // 12:00 UTC
  const std::string info = "api/account_info_4817293.json";
  const std::string original_info = Answer(info);
  const fs::path folder = AccountFolder(kMemberId);

  {
    SCOPED_TRACE("fewer battles than the vehicles, the last-battle file already there");
    WriteBytes(folder / "2016-12-02.json", "older");
    ASSERT_TRUE(SetFileDate(testing::TestDisk(), (folder / "2016-12-02.json").string(), EncodeDateTime(2016, 12, 3, 12, 0, 0)));
    SetAnswerNumber(info, "data.4817293.statistics.all.battles", kMemberBattles - 5);
    const AccountLoadResult result = Search(kMember);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(Paragraphs(result.messages),
              Paragraph("r", "ОШИБКА: От сервера World of Tanks были получены некорректные данные &ndash; общее "
                             "количество боёв игрока (6\u00A0613) меньше суммарного количества боёв на танках "
                             "(6\u00A0618). Вследствие этого, рейтинги рассчитаны приблизительно. " +
                                 DetailsLink()));
    // The snapshot goes under today's UTC date instead of the last-battle day.
    EXPECT_EQ(JsonFilesIn(folder), (std::vector<std::string>{"2016-12-02.json", "2026-12-08.json"}));
    EXPECT_EQ(ReadBytes(folder / "2016-12-02.json"), "older");
  }
  {
    SCOPED_TRACE("more battles than the vehicles");
    fs::remove_all(folder);
    SetAnswer(info, original_info);
    SetAnswerNumber(info, "data.4817293.statistics.all.battles", kMemberBattles + 7);
    const AccountLoadResult result = Search(kMember);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(Paragraphs(result.messages),
              Paragraph("g", "ПРЕДУПРЕЖДЕНИЕ: От сервера World of Tanks были получены некорректные данные &ndash; "
                             "общее количество боёв игрока (6\u00A0625) больше суммарного количества боёв на танках "
                             "(6\u00A0618). Вследствие этого, рейтинги могут быть рассчитаны неточно. " +
                                 DetailsLink()));
    EXPECT_EQ(JsonFilesIn(folder), (std::vector<std::string>{"2016-12-02.json", "2026-12-07.json"}));
  }
  {
    SCOPED_TRACE("matching counts");
    fs::remove_all(folder);
    SetAnswer(info, original_info);
    EXPECT_EQ(Paragraphs(Search(kMember).messages), "");
  }
}

TEST_F(LoadersEndToEndTest, InTheFalloutModeOnlyMoreBattlesThanTheVehiclesAreReported) {
  SetClock("2026-12-08T15:00:00");
  context_.mode_index = kFalloutMode;
  const std::string info = "api/account_info_4817293.json";
  const std::string original_info = Answer(info);
  const fs::path folder = AccountFolder(kMemberId);

  SetAnswerNumber(info, "data.4817293.statistics.fallout.battles", kMemberFalloutBattles - 5);
  const AccountLoadResult fewer = Search(kMember);
  EXPECT_TRUE(fewer.result);
  EXPECT_EQ(Paragraphs(fewer.messages), "");
  EXPECT_EQ(fewer.current.Stats[kFalloutMode].Battles, kMemberFalloutBattles - 5);
  EXPECT_EQ(fewer.current.Vehicles.size(), 4u);  // those with fallout battles

  fs::remove_all(folder);
  SetAnswer(info, original_info);
  SetAnswerNumber(info, "data.4817293.statistics.fallout.battles", kMemberFalloutBattles + 5);
  EXPECT_EQ(Paragraphs(Search(kMember).messages),
            Paragraph("g", "ПРЕДУПРЕЖДЕНИЕ: От сервера World of Tanks были получены некорректные данные &ndash; "
                           "общее количество боёв игрока (160) больше суммарного количества боёв на танках "
                           "(155). Вследствие этого, рейтинги могут быть рассчитаны неточно. " +
                               DetailsLink()));
}

// ---- account: period views over cached days ------------------------------------

class PeriodViewsTest : public LoadersEndToEndTest {
 protected:
  // Four snapshots of Gromoboy_77: the current one (7 December, fresh) and three older
  // ones with fewer battles, all of them on the T-62A (13825).
  void SetUp() override {
    LoadersEndToEndTest::SetUp();
    SetClock("2026-12-08T15:00:00");
    const fs::path folder = AccountFolder(kMemberId);
    fs::create_directories(folder);
    WriteSnapshot(folder / "2026-12-07.json", 0, 0, EncodeDateTime(2026, 12, 7, 20, 0, 0),
                  EncodeDateTime(2026, 12, 8, 14, 30, 0));
    WriteSnapshot(folder / "2026-12-06.json", 12, 7, EncodeDateTime(2026, 12, 6, 20, 0, 0),
                  EncodeDateTime(2026, 12, 6, 23, 0, 0));
    // Updated before the day of its file: a period since it starts on that day.
    WriteSnapshot(folder / "2026-12-04.json", 30, 16, EncodeDateTime(2026, 12, 3, 18, 0, 0),
                  EncodeDateTime(2026, 12, 4, 23, 0, 0));
    WriteSnapshot(folder / "2026-12-01.json", 41, 22, EncodeDateTime(2026, 12, 1, 20, 0, 0),
                  EncodeDateTime(2026, 12, 1, 23, 0, 0));
  }

  void WriteSnapshot(const fs::path& file, int fewer_battles, int fewer_wins, DateTime updated_utc,
                     DateTime file_date) {
    json::Value snapshot = json::parse(ExpectedSnapshot(kMemberId));
    const std::string all = "data.4817293.statistics.all.";
    json::set_integer(snapshot, all + "battles", json::integer(snapshot, all + "battles") - fewer_battles);
    json::set_integer(snapshot, all + "wins", json::integer(snapshot, all + "wins") - fewer_wins);
    json::set_integer(snapshot, "data.4817293.updated_at", DateTimeToUnix(updated_utc));
    json::Value vehicles = json::at(snapshot, "data.vehicles");
    for (size_t i = 0; i < json::length(vehicles); ++i) {
      json::Value vehicle = json::item(vehicles, i);
      if (json::integer(vehicle, "tank_id") != 13825) continue;
      json::set_integer(vehicle, "all.battles", json::integer(vehicle, "all.battles") - fewer_battles);
      json::set_integer(vehicle, "all.wins", json::integer(vehicle, "all.wins") - fewer_wins);
    }
    WriteBytes(file, json::print(snapshot));
    ASSERT_TRUE(SetFileDate(testing::TestDisk(), file.string(), file_date));
  }

  AccountLoadResult Period(int days, std::string_view letters) {
    return Search("@4817293", false, days, letters);
  }
};

TEST_F(PeriodViewsTest, WithoutLettersThePeriodRunsFromTheChosenSnapshotToNow) {
  const AccountLoadResult result = Period(2, "");
  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), "");
  // From the cache; the clan info is the only request and no side source is asked for.
  EXPECT_EQ(NewTargets(), std::vector<std::string>{ClanInfo(kClanId)});
  EXPECT_NEAR(result.current.CacheDate, EncodeDateTime(2026, 12, 8, 14, 30, 0), 1.0 / 86400);
  EXPECT_EQ(result.current.Stats[0].Battles, kMemberBattles);
  EXPECT_EQ(result.base.Stats[0].Battles, kMemberBattles - 30);
  EXPECT_EQ(result.period.Stats[0].Battles, 30);
  EXPECT_EQ(result.period.Stats[0].Wins, 16);
  ASSERT_EQ(result.period.Vehicles.size(), 1u);
  EXPECT_EQ(result.period.Vehicles[0].TankId, "13825");
  EXPECT_DOUBLE_EQ(result.period.PeriodStart, EncodeDate(2026, 12, 4));
}

TEST_F(PeriodViewsTest, TheLetterOShowsOneStepBetweenTwoSnapshots) {
  const AccountLoadResult result = Period(2, "o");
  EXPECT_TRUE(result.result);
  EXPECT_EQ(result.base.Stats[0].Battles, kMemberBattles - 30);
  EXPECT_EQ(result.period.Stats[0].Battles, 30 - 12);
  EXPECT_EQ(result.period.Stats[0].Wins, 16 - 7);
  EXPECT_DOUBLE_EQ(result.period.PeriodStart, EncodeDate(2026, 12, 4));
}

TEST_F(PeriodViewsTest, TheLetterBShowsTheStateOfThatDay) {
  const AccountLoadResult result = Period(2, "b");
  EXPECT_TRUE(result.result);
  EXPECT_EQ(result.period.Stats[0].Battles, kMemberBattles - 12);
  EXPECT_DOUBLE_EQ(result.period.PeriodStart, UnixToDateTime(1331745725));  // created_at
  EXPECT_EQ(result.base.Stats[0].Battles, kMemberBattles);                // the current record
  ASSERT_EQ(result.period.Vehicles.size(), 13u);
  for (size_t i = 1; i < result.period.Vehicles.size(); ++i) {
    EXPECT_GE(result.period.Vehicles[i - 1].Stats[0].Battles, result.period.Vehicles[i].Stats[0].Battles) << i;
  }
}

TEST_F(PeriodViewsTest, APeriodLongerThanTheListShowsTheOldestSnapshot) {
  const AccountLoadResult result = Period(5, "");
  EXPECT_TRUE(result.result);
  EXPECT_EQ(result.base.Stats[0].Battles, kMemberBattles - 41);
  EXPECT_EQ(result.period.Stats[0].Battles, kMemberBattles - 41);
  EXPECT_DOUBLE_EQ(result.period.PeriodStart, UnixToDateTime(1331745725));
}

// ---- clan ---------------------------------------------------------------------

TEST_F(LoadersEndToEndTest, AClanTagInLowerCaseFindsTheClanAndTheCacheSparesLaterSearches) {
  SetClock("2026-12-08T15:00:00");
  const ClanLoadResult result = SearchClan("volki");

  EXPECT_TRUE(result.result);
  EXPECT_EQ(Paragraphs(result.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{ClanList("volki"), ClanInfo(kClanId), Alliance(kClanId)}));
  EXPECT_EQ(NamesIn((ClanFolder() / "index").string()), std::vector<std::string>{"VOLKI=172431.id"});
  EXPECT_EQ(ReadBytes(ClanFolder() / "index" / "VOLKI=172431.id"), Answer("api/clans_list_volki.json"));
  EXPECT_EQ(ReadBytes(ClanSnapshotFolder(kClanId) / "2026-12-08.json"),
            WithoutMeta(Answer("api/clans_info_172431.json")));
  EXPECT_TRUE(fs::exists(ClanSnapshotFolder(kClanId) / "ivanner.dat"));

  const RWOTClan& clan = result.clan;
  EXPECT_EQ(clan.clan_id, kClanId);
  EXPECT_EQ(clan.tag, "VOLKI");
  EXPECT_EQ(clan.name, "Волки Севера");
  EXPECT_EQ(clan.members_count, 4);
  ASSERT_EQ(clan.members.size(), 4u);
  EXPECT_EQ(clan.members[0].Nickname, "Tihiy_Omut");
  EXPECT_EQ(clan.members[0].ClanRole, "commander");
  EXPECT_EQ(clan.members[1].AccountId, kMemberId);
  EXPECT_EQ(clan.emblem_64, service_->url("/clans/media/clans/emblems/cl_431/172431/emblem_64x64.png"));
  EXPECT_EQ(clan.emblem_24, service_->url("/clans/media/clans/emblems/cl_431/172431/emblem_24x24.png"));
  EXPECT_EQ(clan.alliance.id, "38");
  EXPECT_EQ(clan.alliance.name, "Северный Альянс");
  EXPECT_EQ(clan.alliance.color, "#4A90D9");
  EXPECT_EQ(clan.CacheDate, 0.0);

  // Two hours later everything comes from the cache.
  SetClock("2026-12-08T17:00:00");
  const ClanLoadResult cached = SearchClan("VOLKI");
  EXPECT_TRUE(cached.result);
  EXPECT_TRUE(NewTargets().empty());
  EXPECT_NEAR(cached.clan.CacheDate, EncodeDateTime(2026, 12, 8, 15, 0, 0), 1.0 / 86400);
  EXPECT_EQ(cached.clan.members.size(), 4u);
  EXPECT_EQ(cached.clan.alliance.name, "Северный Альянс");

  // Four hours later the clan info is stale, the alliance page is not.
  SetClock("2026-12-08T19:01:00");
  EXPECT_TRUE(SearchClan("VOLKI").result);
  EXPECT_EQ(NewTargets(), std::vector<std::string>{ClanInfo(kClanId)});
}

// What the clan report does after the clan search: every member of the demo clan loads
// without a message, in the campaign with fame points.
TEST_F(LoadersEndToEndTest, EveryMemberOfTheDemoClanLoadsCleanly) {
  SetClock("2016-12-05T15:00:00");
  const ClanLoadResult clan = SearchClan("VOLKI");
  ASSERT_TRUE(clan.result);
  ASSERT_EQ(clan.clan.members.size(), 4u);
  for (const RWOTAccount& member : clan.clan.members) {
    SCOPED_TRACE(member.Nickname);
    NewTargets();
    const AccountLoadResult result = Search("@" + member.AccountId, false, 0, "", /*interactive=*/false);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(Paragraphs(result.messages), "");
    EXPECT_EQ(result.current.Nickname, member.Nickname);
    EXPECT_EQ(result.current.ClanRole, member.ClanRole);
    EXPECT_GT(result.current.Stats[0].Battles, 0);
    // The answers carry hits, as the real API's do, so there is a hit rate.
    EXPECT_GT(result.current.Stats[0].Hits, 0);
    EXPECT_GT(result.current.Stats[0].HitsPercent, 50.0f);
    EXPECT_GT(result.fame.points, 0);
    EXPECT_EQ(NewTargets(), (std::vector<std::string>{AccountInfo(member.AccountId), Achievements(member.AccountId),
                                                      Membership(member.AccountId), TanksStats(member.AccountId),
                                                      FamePoints(member.AccountId)}));
  }
}

// Every statistics block of the demo answers and stored days that fired has its
// hits, and they agree with its shots and hit percent, as in the real answers.
TEST(DemoAnswers, EveryBlockWithShotsHasHitsThatAgreeWithItsHitPercent) {
  const std::filesystem::path demo = TARVELO_DEMO_ANSWERS;
  const std::regex leaf_object(R"(\{[^{}]*\})");
  const std::regex shots_key(R"("shots":([0-9]+))");
  const std::regex hits_key(R"("hits":([0-9]+))");
  const std::regex percent_key(R"("hits_percents":([0-9]+))");
  const auto number = [](const std::string& object, const std::regex& key) -> std::optional<double> {
    std::smatch match;
    if (!std::regex_search(object, match, key)) return std::nullopt;
    return std::stod(match[1].str());
  };
  size_t files = 0;
  size_t blocks = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(demo)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || entry.path().extension() != ".json") continue;
    if (!name.starts_with("account_info_") && !name.starts_with("tanks_stats_") &&
        entry.path().parent_path().filename() != "expected" &&
        entry.path().parent_path().parent_path().filename() != "history") {
      continue;
    }
    ++files;
    const std::string text = ReadBytes(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), leaf_object), end; it != end; ++it) {
      const std::string object = it->str();
      const std::optional<double> shots = number(object, shots_key);
      if (!shots || *shots <= 0) continue;
      ++blocks;
      const std::optional<double> hits = number(object, hits_key);
      ASSERT_TRUE(hits.has_value()) << entry.path() << ": " << object.substr(0, 200);
      EXPECT_GT(*hits, 0) << entry.path();
      EXPECT_LE(*hits, *shots) << entry.path();
      // The percent is whole, rounded either way at a half.
      EXPECT_LE(std::fabs(*hits / *shots * 100 - number(object, percent_key).value_or(-1)), 0.5) << entry.path();
    }
  }
  EXPECT_GT(files, 80u);
  EXPECT_GT(blocks, 1000u);
}

std::string ClanEntry(int64_t clan_id, std::string_view tag, std::string_view name) {
  return R"({"members_count":12,"name":")" + std::string(name) + R"(","created_at":1400000000,"tag":")" +
         std::string(tag) + R"(","clan_id":)" + std::to_string(clan_id) + "}";
}

std::string ClanPage(const std::vector<std::string>& entries, std::string_view meta) {
  std::string data;
  for (const std::string& entry : entries) data += (data.empty() ? "" : ",") + entry;
  return R"({"status":"ok","meta":)" + std::string(meta) + R"(,"data":[)" + data + "]}";
}

std::vector<std::string> NumberedClans(std::string_view prefix, int count) {
  std::vector<std::string> entries;
  for (int i = 0; i < count; ++i) {
    const std::string tag = std::string(prefix) + (i < 10 ? "0" : "") + std::to_string(i);
    entries.push_back(ClanEntry(300000 + i, tag, "Клан " + tag));
  }
  return entries;
}

TEST_F(LoadersEndToEndTest, TheClanSearchTurnsThePageOnlyAfterAFullOne) {
  SetClock("2026-12-08T15:00:00");
  SetAnswer("api/volki_page_1.json", ClanPage(NumberedClans("VOLKI", 100), R"({"count":100,"total":101})"));
  const std::string second_page = ClanPage({ClanEntry(172431, "VOLKI", "Волки Севера")}, R"({"count":1})");
  SetAnswer("api/volki_page_2.json", second_page);
  SetAnswer("api/lesa_page_1.json", ClanPage(NumberedClans("LESA", 99), R"({"count":99,"total":99})"));
  PrependRoute(R"({"path": "/wgn/clans/list/", "query": {"search": "VOLKI", "order_by": "tag", "fields": "*"}, "file": "api/volki_page_1.json"})");
  PrependRoute(R"({"path": "/wgn/clans/list/", "query": {"search": "VOLKI", "order_by": "tag", "fields": "*", "page_no": "2"}, "file": "api/volki_page_2.json"})");
  PrependRoute(R"({"path": "/wgn/clans/list/", "query": {"search": "LESA", "order_by": "tag", "fields": "*"}, "file": "api/lesa_page_1.json"})");

  const ClanLoadResult found = SearchClan("VOLKI");
  EXPECT_TRUE(found.result);
  EXPECT_EQ(Paragraphs(found.messages), "");
  EXPECT_EQ(NewTargets(), (std::vector<std::string>{ClanList("VOLKI"), ClanList("VOLKI") + "&page_no=2",
                                                    ClanInfo(kClanId), Alliance(kClanId)}));
  EXPECT_EQ(ReadBytes(ClanFolder() / "index" / "VOLKI=172431.id"), WithoutMeta(second_page));

  const ClanLoadResult missing = SearchClan("LESA");
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(Paragraphs(missing.messages), Paragraph("r", "ОШИБКА: Не найден клан с именем \"LESA\"."));
  EXPECT_EQ(NewTargets(), std::vector<std::string>{ClanList("LESA")});
}

TEST_F(LoadersEndToEndTest, OfTwoClansWithTheSameTagTheLaterEntryIsTaken) {
  SetClock("2026-12-08T15:00:00");
  SetAnswer("api/volki_twice.json",
            ClanPage({ClanEntry(172431, "VOLKI", "Волки Севера"), ClanEntry(199999, "VOLKI", "Волки Юга")},
                     R"({"count":2,"total":2})"));
  std::string other_info = Answer("api/clans_info_172431.json");
  for (size_t at = other_info.find("172431"); at != std::string::npos; at = other_info.find("172431", at)) {
    other_info.replace(at, 6, "199999");
  }
  SetAnswer("api/clans_info_199999.json", other_info);
  PrependRoute(R"({"path": "/wgn/clans/list/", "query": {"search": "VOLKI", "order_by": "tag", "fields": "*"}, "file": "api/volki_twice.json"})");
  PrependRoute(R"({"path": "/wgn/clans/info/", "query": {"clan_id": "199999", "fields": "*"}, "file": "api/clans_info_199999.json"})");

  const ClanLoadResult result = SearchClan("VOLKI");
  EXPECT_TRUE(result.result);
  EXPECT_EQ(result.clan.clan_id, "199999");
  const std::vector<std::string> targets = NewTargets();
  ASSERT_GE(targets.size(), 2u);
  EXPECT_EQ(targets[1], ClanInfo("199999"));
  EXPECT_EQ(NamesIn((ClanFolder() / "index").string()), std::vector<std::string>{"VOLKI=199999.id"});
}

// ---- without a connection to the API -------------------------------------------

// Every file below `folder` by its relative path, with its bytes and its date.
std::map<std::string, std::pair<std::string, DateTime>> FilesWithDates(const fs::path& folder) {
  std::map<std::string, std::pair<std::string, DateTime>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    files[fs::relative(entry.path(), folder).string()] = {ReadBytes(entry.path()), testing::TestDisk().ModifiedDate(entry.path().string())};
  }
  return files;
}

class OfflineTest : public LoadersEndToEndTest {
 protected:
  // Every host pointed at a port that refuses connections.
  void GoOffline() {
    const std::string base = refusing_.url("");
    context_.urls.hosts = Hosts{base, base, base, base, base, base, base};
  }
  std::string OfflineHost() const { return HostOf(refusing_.url("")); }
  std::string Warning(std::string_view stored) const {
    return Paragraph("g", "ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + OfflineHost() + ", показаны данные от " +
                              std::string(stored) + ".");
  }

  testing::RefusingPort refusing_;
};

// The index and the newest snapshot of any age stand in for the API; nothing is stored.
TEST_F(OfflineTest, ASearchThatCannotReachTheApiShowsTheNewestStoredDay) {
  SetClock("2026-12-08T12:00:00");
  ASSERT_TRUE(Search(kMember).result);
  const auto stored = FilesWithDates(cache_.path());
  GoOffline();
  SetClock("2026-12-09T10:00:00");  // the index and the snapshot are stale
  for (const bool update : {false, true}) {
    SCOPED_TRACE(update);
    const AccountLoadResult result = Search(kMember, update);
    EXPECT_TRUE(result.result) << Paragraphs(result.messages);
    EXPECT_EQ(Paragraphs(result.notice), Warning("08.12.2026 12:00"));
    EXPECT_EQ(result.unreachable_host, OfflineHost());
    EXPECT_NEAR(result.current.CacheDate, EncodeDateTime(2026, 12, 8, 12, 0, 0), 1.0 / 86400);
    EXPECT_EQ(result.current.Stats[0].Battles, kMemberBattles);
    EXPECT_EQ(result.current.Vehicles.size(), 13u);
    EXPECT_EQ(result.current.ClanTag, "VOLKI") << "from the stored clan snapshot";
    EXPECT_EQ(Paragraphs(result.messages).find("некорректные"), std::string::npos) << Paragraphs(result.messages);
    EXPECT_EQ(FilesWithDates(cache_.path()), stored);
  }
  // A player never stored has only the connection failure.
  const AccountLoadResult unknown = Search(kClanless, true);
  EXPECT_FALSE(unknown.result);
  EXPECT_EQ(Paragraphs(unknown.messages), Paragraph("r", ConnectionErrorText(context_.urls.hosts.Api)));
  EXPECT_TRUE(unknown.notice.empty());
}

TEST_F(OfflineTest, AClanSearchThatCannotReachTheApiShowsTheNewestStoredClan) {
  SetClock("2026-12-08T12:00:00");
  ASSERT_TRUE(SearchClan("VOLKI").result);
  const auto stored = FilesWithDates(cache_.path());
  GoOffline();
  SetClock("2026-12-09T10:00:00");
  for (const bool update : {false, true}) {
    SCOPED_TRACE(update);
    const ClanLoadResult result = SearchClan("VOLKI", update);
    EXPECT_TRUE(result.result) << Paragraphs(result.messages);
    EXPECT_EQ(Paragraphs(result.notice), Warning("08.12.2026 12:00"));
    EXPECT_EQ(result.clan.clan_id, kClanId);
    EXPECT_EQ(result.clan.members.size(), 4u);
    EXPECT_NEAR(result.clan.CacheDate, EncodeDateTime(2026, 12, 8, 12, 0, 0), 1.0 / 86400);
    EXPECT_EQ(result.clan.alliance.name, "Северный Альянс") << "from the stored alliance page";
    EXPECT_EQ(FilesWithDates(cache_.path()), stored);
  }
  const ClanLoadResult unknown = SearchClan("LESA", true);
  EXPECT_FALSE(unknown.result);
  EXPECT_EQ(Paragraphs(unknown.messages), Paragraph("r", ConnectionErrorText(context_.urls.hosts.Api)));
  EXPECT_TRUE(unknown.notice.empty());
}

}  // namespace
}  // namespace tarvelo
