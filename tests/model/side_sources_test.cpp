// The auxiliary fields of an account and the clan document: location text,
// former nicknames, clan history, clan members and alliance.
#include "model/side_sources.h"

#include <gtest/gtest.h>

#include "model/clan.h"
#include "model/date_text.h"
#include "model/tables.h"
#include "model_fixture.h"

namespace tarvelo {
namespace {

using testing::SmallReference;

std::string Location(std::string_view code, std::string_view region, std::string_view city) {
  RWOTAccount account;
  SetLocation(code, region, city, account, SmallReference());
  return account.LocationText;
}

TEST(SetLocation, ComposesCountryRegionAndCity) {
  EXPECT_EQ(Location("RU", "Москва", "Москва"), "Россия, Москва");
  EXPECT_EQ(Location("RU", "москва", "МОСКВА"), "Россия, МОСКВА");  // the same ignoring case
  EXPECT_EQ(Location("RU", "Тверская область", "Тверь"), "Россия, Тверская область, Тверь");
  EXPECT_EQ(Location("XK", "", "Приштина"), "XK, Приштина");  // unlisted code shown as itself
  EXPECT_EQ(Location("", "", "Минск"), "Минск");
  EXPECT_EQ(Location("AD", "", ""), "Андорра, ");
}

constexpr DateTime kNow = 46364.5;  // 08.12.2026 12:00

TEST(ParseDateText, ReadsTheProgramsDateFormat) {
  EXPECT_EQ(detail::ParseDateText("05.12.2016", kNow), EncodeDate(2016, 12, 5));
  EXPECT_EQ(detail::ParseDateText("2016.12.05", kNow), EncodeDate(2016, 12, 5));
  EXPECT_EQ(detail::ParseDateText("5.1.2016 14:30", kNow), EncodeDateTime(2016, 1, 5, 14, 30, 0));
  EXPECT_EQ(detail::ParseDateText("05.12.2016 14:30:15", kNow), EncodeDateTime(2016, 12, 5, 14, 30, 15));
  EXPECT_FALSE(detail::ParseDateText("31.02.2016", kNow));
  EXPECT_FALSE(detail::ParseDateText("2016-12-05", kNow));
  EXPECT_FALSE(detail::ParseDateText("05.12.2016 25:00", kNow));
  EXPECT_FALSE(detail::ParseDateText("", kNow));
  // Two-digit years lie within fifty years of now.
  EXPECT_EQ(detail::ParseDateText("05.12.16", kNow), EncodeDate(2016, 12, 5));
  EXPECT_EQ(detail::ParseDateText("05.12.75", kNow), EncodeDate(2075, 12, 5));
  EXPECT_EQ(detail::ParseDateText("05.12.76", kNow), EncodeDate(1976, 12, 5));
  EXPECT_EQ(detail::ParseDateText("05.12.76", EncodeDate(2040, 1, 1)), EncodeDate(2076, 12, 5));
}

TEST(ParseNameHistory, OldOrUnreadableDatesBecomeTheNoEndMarker) {
  json::Value names = json::parse(R"(["first","second","third"])");
  json::Value dates = json::parse(R"(["12.03.2014","01.01.1970","garbage"])");
  RWOTAccount account;
  account.NameHistory.push_back(RNameHistory{"stale", 1});
  ParseNameHistory(names, dates, kNow, account);
  ASSERT_EQ(account.NameHistory.size(), 3u);
  EXPECT_EQ(account.NameHistory[0].name, "first");
  EXPECT_EQ(account.NameHistory[0].date, EncodeDate(2014, 3, 12));
  EXPECT_EQ(account.NameHistory[1].date, NoEndDate());
  EXPECT_EQ(account.NameHistory[2].date, NoEndDate());
}

TEST(ParseClanHistory, RowsAreReversedSplitAndRenamed) {
  json::Value rows = json::parse(R"([
    {"id":"111","cell":["[OLD] Old Clan","Казначей","2012-05-01","2013-06-02"]},
    {"id":222,"cell":["[NEW] New Clan Name","Заместитель командира","2013-06-03","1970-01-01"]}])");
  RWOTAccount account;
  ParseClanHistory(rows, kNow, account);
  ASSERT_EQ(account.ClanHistory.size(), 2u);
  const RClanRole& current = account.ClanHistory[0];
  EXPECT_EQ(current.clan_id, "222");
  EXPECT_EQ(current.clan_tag, "NEW");
  EXPECT_EQ(current.clan_name, " New Clan Name");
  EXPECT_EQ(current.role, "Замком");
  EXPECT_EQ(current.joined, EncodeDate(2013, 6, 3));
  EXPECT_EQ(current.left, NoEndDate());
  const RClanRole& former = account.ClanHistory[1];
  EXPECT_EQ(former.clan_tag, "OLD");
  EXPECT_EQ(former.role, "Офицер снабжения");
  EXPECT_EQ(former.left, EncodeDate(2013, 6, 2));
}

TEST(ParseClan, FillsTheClanEmblemsAndMembers) {
  json::Value document = json::parse(R"({"status":"ok","data":{"500012345":{"tag":"ABC","name":"Клан",
    "color":"#ff0000","created_at":1300000000,"updated_at":1480000000,"motto":"Вперёд","members_count":2,
    "members":[{"account_id":7,"account_name":"one","joined_at":1400000000,"role":"commander"},
               {"account_id":8,"account_name":"two","joined_at":1410000000,"role":"private"}]}}})");
  RWOTClan clan;
  clan.clan_id = "500012345";
  ParseClan(clan, document, true, "https://clans.example");
  EXPECT_EQ(clan.tag, "ABC");
  EXPECT_EQ(clan.motto, "Вперёд");
  EXPECT_EQ(clan.members_count, 2);
  EXPECT_EQ(clan.emblem_64, "https://clans.example/clans/media/clans/emblems/cl_345/500012345/emblem_64x64.png");
  EXPECT_EQ(clan.emblem_24, "https://clans.example/clans/media/clans/emblems/cl_345/500012345/emblem_24x24.png");
  ASSERT_EQ(clan.members.size(), 2u);
  EXPECT_EQ(clan.members[1].AccountId, "8");
  EXPECT_EQ(clan.members[1].Nickname, "two");
  EXPECT_EQ(clan.members[1].ClanRole, "private");
  EXPECT_EQ(clan.members[1].ClanTag, "ABC");
  EXPECT_EQ(clan.members[1].ClanId, "500012345");
  EXPECT_EQ(clan.members[0].ClanJoined, UnixToDateTime(1400000000));

  RWOTClan without_members;
  without_members.clan_id = "500012345";
  ParseClan(without_members, document, false, "https://clans.example");
  EXPECT_TRUE(without_members.members.empty());
}

TEST(ParseAlliance, TakesIdNameAndColourFromThePage) {
  RWOTClan clan;
  ParseAlliance(R"(<div> <a href="/lt/alliance/42-north">Северный альянс</a> <span style="color:#00ff00">*</span></div>)",
                clan);
  EXPECT_EQ(clan.alliance.id, "42-north");
  EXPECT_EQ(clan.alliance.name, "Северный альянс");
  EXPECT_EQ(clan.alliance.color, "#00ff00");
  ParseAlliance("<div>no alliance</div>", clan);
  EXPECT_EQ(clan.alliance.id, "");
  EXPECT_EQ(clan.alliance.name, "");
}

}  // namespace
}  // namespace tarvelo
