#include "acquire/clan_loader.h"

#include <gtest/gtest.h>

#include "acquire/fake_http_getter.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "cache_test_support.h"
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
using Names = std::vector<std::string>;

constexpr char kInfoAnswer[] =
    R"({"status":"ok","meta":{"count":1},"data":{"1000123":{"clan_id":1000123,"tag":"ABC","name":"Alpha",)"
    R"("color":"#AA0000","motto":"m","updated_at":1480000000,"created_at":1300000000,"members_count":2,)"
    R"("members":[{"account_id":11,"account_name":"One","joined_at":1400000000,"role":"commander"},)"
    R"({"account_id":12,"account_name":"Two","joined_at":1400000000,"role":"private"}]}}})";
constexpr char kAlliancePage[] = R"(<span> <a href="/lt/alliance/77">Union</a></span>)";

// A search entry with tag `tag` and id `id`.
std::string Entry(const std::string& tag, int id) {
  return R"({"clan_id":)" + std::to_string(id) + R"(,"tag":")" + tag + R"(","name":"Clan )" + tag +
         R"(","created_at":1300000000,"members_count":50})";
}

std::string SearchAnswer(const std::vector<std::string>& entries, const std::string& meta) {
  std::string data;
  for (const std::string& entry : entries) data += (data.empty() ? "" : ",") + entry;
  return R"({"status":"ok")" + meta + R"(,"data":[)" + data + "]}";
}

// `count` entries whose tags are not "ABC".
std::vector<std::string> OtherEntries(int count) {
  std::vector<std::string> entries;
  for (int i = 0; i < count; ++i) entries.push_back(Entry("ABX" + std::to_string(i), 2000000 + i));
  return entries;
}

constexpr char kFirstMeta[] = R"(,"meta":{"count":1,"total":1})";
constexpr char kLaterMeta[] = R"(,"meta":{"count":1})";

class ClanLoaderTest : public testing::FakeNetworkTest {
 protected:
  ClanLoaderTest() {
    context_.urls.hosts.Api = "http://api.%REGION%.test";
    context_.urls.hosts.ClanPortal = "http://portal.%REGION%.test";
    context_.urls.hosts.Alliance = "http://alliance.test";
  }

  static std::string SearchUrl(const std::string& tag, int page = 1) {
    return "http://api.ru.test/wgn/clans/list/?application_id=APP&search=" + tag +
           "&order_by=tag&fields=clan_id,tag,name,created_at,members_count" +
           (page > 1 ? "&page_no=" + std::to_string(page) : "");
  }
  static std::string InfoUrl(const std::string& id) {
    return "http://api.ru.test/wgn/clans/info/?application_id=APP&clan_id=" + id +
           "&fields=clan_id,tag,name,color,motto,updated_at,created_at,members_count,members.account_id,"
           "members.account_name,members.joined_at,members.role";
  }
  static std::string AllianceUrl(const std::string& id) { return "http://alliance.test/lt/clan/" + id; }

  // The clan ABC (id 1000123) found on the first page, with its info and alliance page.
  void AnswerClanAbc(const std::string& typed_tag) {
    getter_.AnswerText(SearchUrl(typed_tag), SearchAnswer({Entry("ABD", 1), Entry("ABC", 1000123)}, kFirstMeta));
    getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
    getter_.AnswerText(AllianceUrl("1000123"), kAlliancePage);
  }

  ClanLoadResult Load(const std::string& text, bool update = false, int days = 0) {
    return LoadClan({text, update, days}, context_);
  }
  std::string ClanFile(const std::string& name) const {
    return JoinPath(EntityFolderOf(context_.clan_cache_folder, "1000123"), name);
  }
  std::string IndexFolder() const { return IndexFolderOf(context_.clan_cache_folder); }

  FixedClock clock_{"2016-12-18T14:05:00"};
};

TEST_F(ClanLoaderTest, FindsATagTypedInLowerCaseAndCachesWhatItFetched) {
  AnswerClanAbc("abc");
  const ClanLoadResult loaded = Load("abc");
  ASSERT_TRUE(loaded.result) << Paragraphs(loaded.messages);
  EXPECT_EQ(getter_.requested_urls(), (Urls{SearchUrl("abc"), InfoUrl("1000123"), AllianceUrl("1000123")}));
  EXPECT_EQ(loaded.clan.tag, "ABC");
  ASSERT_EQ(loaded.clan.members.size(), 2u);
  EXPECT_EQ(loaded.clan.emblem_24, "http://portal.ru.test/clans/media/clans/emblems/cl_123/1000123/emblem_24x24.png");
  EXPECT_EQ(loaded.clan.alliance.id, "77");
  EXPECT_EQ(Slurp(JoinPath(IndexFolder(), "ABC=1000123.id")),
            SearchAnswer({Entry("ABD", 1), Entry("ABC", 1000123)}, ""));
  EXPECT_EQ(Slurp(ClanFile("2016-12-18.json")), ReplaceAll(kInfoAnswer, kLaterMeta, ""));
  EXPECT_EQ(Slurp(ClanFile("ivanner.dat")), kAlliancePage);
}

TEST_F(ClanLoaderTest, SearchGoesOnToTheNextPageOnlyAfterAFullPage) {
  std::vector<std::string> full = OtherEntries(100);
  getter_.AnswerText(SearchUrl("ABC"), SearchAnswer(full, kFirstMeta));
  const std::string second = SearchAnswer({Entry("ABC", 1000123)}, kLaterMeta);
  getter_.AnswerText(SearchUrl("ABC", 2), second);
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  ASSERT_TRUE(Load("ABC").result);
  EXPECT_EQ(getter_.requested_urls()[1], SearchUrl("ABC", 2));
  EXPECT_EQ(Slurp(JoinPath(IndexFolder(), "ABC=1000123.id")), ReplaceAll(second, kLaterMeta, ""));

  full.pop_back();
  getter_.AnswerText(SearchUrl("abc"), SearchAnswer(full, kFirstMeta));
  const ClanLoadResult short_page = Load("abc", true);
  EXPECT_FALSE(short_page.result);
  EXPECT_EQ(getter_.requested_urls().size(), 5u);
  EXPECT_EQ(Paragraphs(short_page.messages), "<p class=\"r\">ОШИБКА: Не найден клан с именем \"abc\".</p>\r\n");

  // A server that ignores the page number gives the same full page again.
  getter_.AnswerText(SearchUrl("ABD"), SearchAnswer(OtherEntries(100), ""));
  getter_.AnswerText(SearchUrl("ABD", 2), SearchAnswer(OtherEntries(100), ""));
  EXPECT_FALSE(Load("ABD").result);
  EXPECT_EQ(getter_.requested_urls().size(), 7u);
}

TEST_F(ClanLoaderTest, OfTwoEntriesWithTheTagTheLaterOneWins) {
  getter_.AnswerText(SearchUrl("ABC"), SearchAnswer({Entry("ABC", 555), Entry("abc", 1000123)}, kFirstMeta));
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  EXPECT_EQ(Load("ABC").clan.clan_id, "1000123");
  EXPECT_EQ(NamesIn(IndexFolder()), (Names{"abc=1000123.id"}));
}

TEST_F(ClanLoaderTest, AnIdSkipsTheSearchAndANullClanIsNotFound) {
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  ASSERT_EQ(Load("@1000123").clan.tag, "ABC");
  EXPECT_EQ(getter_.requested_urls(), (Urls{InfoUrl("1000123"), AllianceUrl("1000123")}));
  EXPECT_EQ(NamesIn(context_.clan_cache_folder), (Names{"1000123"}));
  Put(ClanFile("rating.dat"), R"({"status":"ok","data":{"1000123":{"points":1500,"position":7}}})");
  EXPECT_EQ(Load("@1000123").fame.points, 1500);

  getter_.AnswerText(InfoUrl("42"), R"({"status":"ok","data":{"42":null}})");
  const ClanLoadResult missing = Load("@42");
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(Paragraphs(missing.messages), "<p class=\"r\">ОШИБКА: Не найден клан с ID 42.</p>\r\n");
  EXPECT_EQ(NamesIn(context_.clan_cache_folder), (Names{"1000123"}));

  getter_.AnswerText(SearchUrl("XYZ"), SearchAnswer({Entry("XYZ", 42)}, kFirstMeta));
  EXPECT_EQ(Paragraphs(Load("XYZ").messages), "<p class=\"r\">ОШИБКА: Не найден клан с ID 42.</p>\r\n");
}

TEST_F(ClanLoaderTest, AnIndexFileOfAnOlderVersionIsConvertedAndSparesTheSearch) {
  ASSERT_EQ(PrepareCacheFolder(testing::TestDisk(), context_.clan_cache_folder, IndexFolder()), "");
  const std::string path = JoinPath(IndexFolder(), "ABC=1000123.id");
  WriteTextFile(testing::TestDisk(), R"({"status":"ok","data":[{"clan_id":1000123,"abbreviation":"ABC"}]})", path);
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  EXPECT_TRUE(Load("abc").result);
  EXPECT_EQ(getter_.requested_urls(), (Urls{InfoUrl("1000123"), AllianceUrl("1000123")}));
  EXPECT_EQ(Slurp(path), R"({"status":"ok","data":[{"clan_id":1000123,"tag":"ABC"}]})");
}

TEST_F(ClanLoaderTest, CachedFilesSpareTheNetworkWhileTheyAreFresh) {
  AnswerClanAbc("abc");
  ASSERT_TRUE(Load("abc").result);
  const ClanLoadResult again = Load("Abc");
  EXPECT_EQ(getter_.requested_urls().size(), 3u);
  EXPECT_EQ(again.clan.CacheDate, EncodeDateTime(2016, 12, 18, 14, 5, 0));
  EXPECT_EQ(again.clan.alliance.id, "77");

  SetFileDate(testing::TestDisk(), ClanFile("2016-12-18.json"), EncodeDateTime(2016, 12, 18, 11, 5, 0));  // three hours old
  SetFileDate(testing::TestDisk(), ClanFile("ivanner.dat"), EncodeDateTime(2016, 12, 18, 2, 6, 0));       // under twelve hours
  ASSERT_TRUE(Load("ABC").result);
  EXPECT_EQ(getter_.requested_urls().back(), InfoUrl("1000123"));
  SetFileDate(testing::TestDisk(), ClanFile("ivanner.dat"), EncodeDateTime(2016, 12, 18, 2, 5, 0));
  ASSERT_TRUE(Load("ABC").result);
  EXPECT_EQ(getter_.requested_urls().size(), 5u);
  EXPECT_EQ(getter_.requested_urls().back(), AllianceUrl("1000123"));

  getter_.AnswerText(SearchUrl("ABC"), SearchAnswer({Entry("ABC", 1000123)}, kFirstMeta));
  ASSERT_TRUE(Load("ABC", true).result);
  EXPECT_EQ(getter_.requested_urls().size(), 8u);  // search, info and alliance page once more
}

TEST_F(ClanLoaderTest, NotFoundIsLeftUnsaidOnlyAfterAReportedConnectionFailure) {
  EXPECT_EQ(Paragraphs(Load("ABC").messages),
            "<p class=\"r\">" + ConnectionErrorText(SearchUrl("ABC")) + "</p>\r\n");
  getter_.AnswerText(SearchUrl("ABC"), SearchAnswer({Entry("ABD", 1)}, R"(,"note":"Ошибка")"));
  EXPECT_EQ(Paragraphs(Load("ABC").messages), "<p class=\"r\">ОШИБКА: Не найден клан с именем \"ABC\".</p>\r\n");
}

TEST_F(ClanLoaderTest, AlliancePageIsKeptAsUtf8AndOnlyWhenItCame) {
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  ASSERT_TRUE(Load("@1000123").result);
  EXPECT_EQ(NamesIn(EntityFolderOf(context_.clan_cache_folder, "1000123")), (Names{"2016-12-18.json"}));

  getter_.AnswerText(AllianceUrl("1000123"), "<span> <a href=\"/lt/alliance/77\">\xD1\xEE\xFE\xE7</a></span>");
  EXPECT_EQ(Load("@1000123").clan.alliance.name, "Союз");
  EXPECT_EQ(Slurp(ClanFile("ivanner.dat")), "<span> <a href=\"/lt/alliance/77\">Союз</a></span>");
}

TEST_F(ClanLoaderTest, PeriodStartsAtTheSnapshotThatManyDaysBackOrAtTheClansCreation) {
  getter_.AnswerText(InfoUrl("1000123"), kInfoAnswer);
  ASSERT_TRUE(Load("@1000123").result);
  for (int day : {10, 15}) {
    const std::string path = ClanFile("2016-12-" + std::to_string(day) + ".json");
    Put(path, "{}");
    SetFileDate(testing::TestDisk(), path, EncodeDate(2016, 12, day));
  }
  EXPECT_EQ(Load("@1000123", false, 1).clan.PeriodStart, EncodeDate(2016, 12, 15));
  EXPECT_EQ(Load("@1000123", false, 2).clan.PeriodStart, EncodeDate(2016, 12, 10));
  EXPECT_EQ(Load("@1000123", false, 3).clan.PeriodStart, UnixToDateTime(1300000000));
}

}  // namespace
}  // namespace tarvelo
