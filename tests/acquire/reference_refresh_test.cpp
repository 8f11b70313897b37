// The refresh of the reference documents on a fake network and an in-memory
// disk: a paged encyclopedia and the published table become documents of the
// program's layouts; an answer that is broken, short or truncated leaves the
// stored document as it was; the start-up loads what is sound.
#include "acquire/reference_refresh.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "acquire/fake_http_getter.h"
#include "acquire/memory_disk.h"
#include "acquire/store/reference_files.h"
#include "cache_test_support.h"
#include "model/reference_check.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

using testing::CapturedLog;
using testing::MemoryDisk;

constexpr char kFolder[] = "/data/reference";
constexpr char kExpectedUrl[] = "http://exp.test/wn8exp.json";
const DateTime kNow = EncodeDateTime(2026, 12, 8, 12, 0, 0);

std::string Vehicle(int id, int tier = 8) {
  return "{\"tank_id\":" + std::to_string(id) + ",\"name\":\"Full name " + std::to_string(id) +
         "\",\"short_name\":\"Short " + std::to_string(id) +
         "\",\"nation\":\"ussr\",\"type\":\"heavyTank\",\"tier\":" + std::to_string(tier) +
         ",\"is_premium\":false,\"tag\":\"T" + std::to_string(id) +
         "\",\"images\":{\"small_icon\":\"http://img/small/" + std::to_string(id) +
         ".png\",\"contour_icon\":\"http://img/contour/" + std::to_string(id) + ".png\"}}";
}

std::string EmbeddedVehicle(int id) {
  return "{\"tank_id\":" + std::to_string(id) +
         ",\"nation\":\"germany\",\"tag\":\"G" + std::to_string(id) +
         "\",\"is_premium\":true,\"type\":\"SPG\",\"tier\":3,\"name\":\"Old " + std::to_string(id) +
         "\",\"images\":\"http://old/" + std::to_string(id) + ".png\"}";
}

std::string Values(double damage) {
  return "{\"expFrag\":1.1,\"expDamage\":" + std::to_string(damage) +
         ",\"expSpot\":1.2,\"expDef\":0.9,\"expWinRate\":52.5}";
}

// The documents in the program: vehicles 1..20, expected values of 1..19 with 20
// standing in for 19.
struct Embedded {
  std::string vehicles = [] {
    std::string lines;
    for (int id = 1; id <= 20; ++id) lines += (id > 1 ? ",\n\"" : "\"") + std::to_string(id) + "\":" + EmbeddedVehicle(id);
    return "{\"status\":\"ok\",\"meta\":{\"count\":20},\"data\":{\n" + lines + "\n}}\n";
  }();
  std::string expected = [] {
    std::string lines;
    for (int id = 1; id <= 19; ++id) lines += (id > 1 ? ",\n\"" : "\"") + std::to_string(id) + "\":" + Values(100 * id);
    return "{\"header\":{\"version\":\"2025-10-13\",\"substitutes\":{\"20\":\"19\"}},\"data\":{\n" + lines + ",\n\"20\":" +
           Values(1900) + "\n}}\n";
  }();
};

// What the network answers: three pages of vehicles 1..19 and 21 (20 left the
// game), and a table of 1..19 and 21.
struct Answers {
  int64_t updated_at = 1796040000;
  std::string version = "2026-12-07";
  std::vector<std::vector<int>> pages = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}, {17, 18, 19, 21}};
  std::vector<int> rated = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21};

  std::string Info() const {
    return R"({"status":"ok","meta":{"count":1},"data":{"game_version":"1.35.0.0","tanks_updated_at":)" +
           std::to_string(updated_at) + "}}";
  }
  std::string Page(size_t index) const {
    std::string data;
    for (const int id : pages[index]) data += (data.empty() ? "\"" : ",\"") + std::to_string(id) + "\":" + Vehicle(id);
    return R"({"status":"ok","meta":{"count":)" + std::to_string(pages[index].size()) +
           ",\"page_total\":" + std::to_string(pages.size()) + ",\"limit\":100,\"page\":" +
           std::to_string(index + 1) + "},\"data\":{" + data + "}}";
  }
  std::string Table() const {
    std::string rows;
    for (const int id : rated) {
      rows += (rows.empty() ? "" : ",") + ReplaceAll(Values(100 * id), "{", "{\"IDNum\":" + std::to_string(id) + ",");
    }
    return "{\"header\":{\"version\":\"" + version + "\"},\"data\":[" + rows + "]}";
  }
};

class ReferenceRefreshTest : public ::testing::Test {
 protected:
  ReferenceRefreshTest() {
    place_.urls.hosts.Api = "http://api.test";
    place_.urls.hosts.ExpectedValues = kExpectedUrl;
    place_.folder = kFolder;
    place_.embedded.tanks_info = embedded_.vehicles;
    place_.embedded.exp_values = embedded_.expected;
  }

  void Serve(const Answers& answers) {
    getter_.AnswerText(EncyclopediaInfoUrl(place_.urls), answers.Info());
    for (size_t i = 0; i < answers.pages.size(); ++i) {
      getter_.AnswerText(VehiclesPageUrl(place_.urls, static_cast<int>(i) + 1), answers.Page(i));
    }
    getter_.AnswerText(kExpectedUrl, answers.Table());
  }

  ReferenceRefreshResult Refresh(DateTime now = kNow) {
    HttpFetch fetch(getter_);
    return RefreshReference(fetch, disk_, place_, now);
  }

  std::string Stored(std::string_view name) const { return disk_.Text(ReferenceFile(kFolder, name)); }

  Embedded embedded_;
  ReferencePlace place_;
  FakeHttpGetter getter_;
  MemoryDisk disk_;
};

TEST_F(ReferenceRefreshTest, PagedEncyclopediaAndPublishedTableBecomeTheProgramsDocuments) {
  Serve(Answers());
  const ReferenceRefreshResult result = Refresh();
  EXPECT_TRUE(result.ok()) << RefreshReport(result);
  EXPECT_EQ(result.vehicles.outcome, RefreshOutcome::kRefreshed);
  EXPECT_EQ(result.vehicles.version, "1.35.0.0 от 30.11.2026");
  EXPECT_EQ(result.expected.outcome, RefreshOutcome::kRefreshed);
  EXPECT_EQ(result.expected.version, "2026-12-07");
  EXPECT_EQ(result.requests, 5);
  EXPECT_EQ(getter_.requested_urls()[1],
            "http://api.test/wot/encyclopedia/vehicles/?application_id=5c3e9a7d1b2f4860a9e7c1d3b5f70246"
            "&fields=tank_id,name,short_name,nation,type,tier,is_premium,tag,images&language=ru&limit=100&page_no=1");

  const std::string vehicles = Stored(kVehiclesFileName);
  EXPECT_TRUE(vehicles.starts_with(
      "{\"status\":\"ok\",\"meta\":{\"count\":21,\"game_version\":\"1.35.0.0\",\"tanks_updated_at\":1796040000},"
      "\"data\":{\n\"1\":{\"tank_id\":1,\"nation\":\"ussr\",\"tag\":\"T1\",\"is_premium\":false,\"type\":\"heavyTank\","
      "\"tier\":8,\"name\":\"Short 1\",\"images\":\"http://img/contour/1.png\"},\n\"2\":"))
      << vehicles.substr(0, 300);
  // The vehicle that left the game stays as the replaced document had it, in its place by id.
  EXPECT_NE(vehicles.find(",\n\"20\":" + EmbeddedVehicle(20) + ",\n\"21\":{\"tank_id\":21,"), std::string::npos);
  EXPECT_EQ(VehiclesProblem(json::parse(vehicles)), std::nullopt);

  const json::Value expected = json::parse(Stored(kExpectedValuesFileName));
  EXPECT_EQ(ExpectedValuesProblem(expected), std::nullopt);
  EXPECT_EQ(json::text(expected, "header.source"), kExpectedUrl);
  EXPECT_DOUBLE_EQ(json::real(expected, "data.21.expDamage"), 2100);
  EXPECT_DOUBLE_EQ(json::real(expected, "data.20.expDamage"), 1900);  // the substitute's
  EXPECT_EQ(json::text(expected, "header.substitutes.20"), "19");
  EXPECT_EQ(LastReferenceRefresh(disk_, kFolder), kNow);

  // What the next start loads.
  const ReferenceData loaded = LoadReferenceInUse(disk_, kFolder, place_.embedded);
  EXPECT_EQ(loaded.Version(), "1.35.0.0 от 30.11.2026 / 2026-12-07");
  EXPECT_EQ(loaded.Vehicle("21").name, "Short 21");
  EXPECT_EQ(loaded.Vehicle("20").name, "Old 20");
  EXPECT_DOUBLE_EQ(loaded.Expected("21").damage, 2100);
}

TEST_F(ReferenceRefreshTest, CurrentDocumentsAreOnlyAskedAbout) {
  Serve(Answers());
  ASSERT_TRUE(Refresh().ok());
  const std::string vehicles = Stored(kVehiclesFileName);
  const std::string expected = Stored(kExpectedValuesFileName);
  const int writes = disk_.writes();
  const ReferenceRefreshResult again = Refresh(kNow + 8);
  EXPECT_EQ(again.vehicles.outcome, RefreshOutcome::kCurrent);
  EXPECT_EQ(again.expected.outcome, RefreshOutcome::kCurrent);
  EXPECT_EQ(again.requests, 2);  // the encyclopedia's info and the table
  EXPECT_EQ(disk_.writes(), writes + 1);  // the time of the refresh only
  EXPECT_EQ(Stored(kVehiclesFileName), vehicles);
  EXPECT_EQ(Stored(kExpectedValuesFileName), expected);
  EXPECT_EQ(LastReferenceRefresh(disk_, kFolder), kNow + 8);
}

TEST_F(ReferenceRefreshTest, BrokenShortOrTruncatedAnswersLeaveTheStoredDocuments) {
  Serve(Answers());
  ASSERT_TRUE(Refresh().ok());
  const std::string vehicles = Stored(kVehiclesFileName);
  const std::string expected = Stored(kExpectedValuesFileName);
  Answers newer;
  newer.updated_at += 86400;
  newer.version = "2026-12-08";
  const auto truncated = [](const std::string& body) {
    return HttpResponse{TransferEnd::kInterrupted, 200, body.substr(0, body.size() / 2), std::nullopt};
  };
  const struct {
    const char* what;
    bool vehicles_spoilt;
    std::function<void(FakeHttpGetter&, const ReferencePlace&)> fault;
  } cases[] = {
      {"info not JSON", true, [&](auto& g, auto& p) { g.AnswerText(EncyclopediaInfoUrl(p.urls), "<html>"); }},
      {"info an error", true,
       [&](auto& g, auto& p) {
         g.AnswerText(EncyclopediaInfoUrl(p.urls), R"({"status":"error","error":{"message":"INVALID_APPLICATION_ID"}})");
       }},
      {"page 2 not reached", true, [&](auto& g, auto& p) { g.Answer(VehiclesPageUrl(p.urls, 2), HttpResponse{}); }},
      {"page 2 truncated", true,
       [&](auto& g, auto& p) { g.Answer(VehiclesPageUrl(p.urls, 2), truncated(newer.Page(1))); }},
      {"page 2 an error page", true,
       [&](auto& g, auto& p) { g.AnswerText(VehiclesPageUrl(p.urls, 2), newer.Page(1), 500); }},
      {"a vehicle of tier 11", true,
       [&](auto& g, auto& p) {
         g.AnswerText(VehiclesPageUrl(p.urls, 3), ReplaceAll(newer.Page(2), "\"tier\":8,\"is_premium\":false,\"tag\":\"T21\"",
                                                             "\"tier\":11,\"is_premium\":false,\"tag\":\"T21\""));
       }},
      {"too few vehicles", true,
       [&](auto& g, auto& p) {
         Answers short_list = newer;
         short_list.pages[2] = {17};
         g.AnswerText(VehiclesPageUrl(p.urls, 3), short_list.Page(2));
       }},
      {"table truncated", false, [&](auto& g, auto&) { g.Answer(kExpectedUrl, truncated(newer.Table())); }},
      {"table not JSON", false, [&](auto& g, auto&) { g.AnswerText(kExpectedUrl, "\xff\xfe garbage"); }},
      {"table too short", false,
       [&](auto& g, auto&) {
         Answers short_table = newer;
         short_table.rated = {1, 2, 3, 4, 5};
         g.AnswerText(kExpectedUrl, short_table.Table());
       }},
      {"a damage of 0", false,
       [&](auto& g, auto&) { g.AnswerText(kExpectedUrl, ReplaceAll(newer.Table(), "\"expDamage\":500.000000", "\"expDamage\":0")); }},
  };
  for (const auto& c : cases) {
    getter_ = FakeHttpGetter();
    Serve(newer);
    c.fault(getter_, place_);
    const ReferenceRefreshResult result = Refresh(kNow + 1);
    EXPECT_FALSE(result.ok()) << c.what;
    EXPECT_EQ((c.vehicles_spoilt ? result.vehicles : result.expected).outcome, RefreshOutcome::kFailed) << c.what;
    if (c.vehicles_spoilt) {
      EXPECT_EQ(Stored(kVehiclesFileName), vehicles) << c.what;
    } else {
      EXPECT_EQ(Stored(kExpectedValuesFileName), expected) << c.what;
    }
    EXPECT_EQ(LastReferenceRefresh(disk_, kFolder), kNow) << c.what;
    // Put the documents back as they were for the next case.
    disk_.Put(ReferenceFile(kFolder, kVehiclesFileName), vehicles, kNow);
    disk_.Put(ReferenceFile(kFolder, kExpectedValuesFileName), expected, kNow);
  }
}

TEST_F(ReferenceRefreshTest, AFullDiskLeavesBothDocuments) {
  Serve(Answers());
  disk_.FailWrites(true);
  const ReferenceRefreshResult result = Refresh();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.vehicles.problem.find("не удалось записать файл"), std::string::npos) << result.vehicles.problem;
  EXPECT_TRUE(disk_.Files().empty());
  EXPECT_EQ(LastReferenceRefresh(disk_, kFolder), std::nullopt);
}

TEST_F(ReferenceRefreshTest, UnsoundStoredDocumentsGiveWayToTheEmbeddedOnes) {
  Serve(Answers());
  ASSERT_TRUE(Refresh().ok());
  const std::string vehicles = Stored(kVehiclesFileName);
  CapturedLog log;
  disk_.Put(ReferenceFile(kFolder, kVehiclesFileName), vehicles.substr(0, vehicles.size() - 10), kNow);
  disk_.Put(ReferenceFile(kFolder, kExpectedValuesFileName), "{\"header\":{}}", kNow);
  const ReferenceData loaded = LoadReferenceInUse(disk_, kFolder, place_.embedded);
  EXPECT_EQ(loaded.Version(), "встроенный / 2025-10-13");
  EXPECT_EQ(loaded.Vehicle("1").name, "Old 1");
  EXPECT_TRUE(log.Has("/data/reference/TanksInfo.json повреждён")) << DebugLogText();
  EXPECT_TRUE(log.Has("/data/reference/TanksExpValues.json повреждён")) << DebugLogText();
  // A broken stored document is replaced by the next refresh, against the embedded one.
  Answers newer;
  newer.updated_at += 1;
  getter_ = FakeHttpGetter();
  Serve(newer);
  EXPECT_TRUE(Refresh().ok());
  EXPECT_EQ(LoadReferenceInUse(disk_, kFolder, place_.embedded).Version(), "1.35.0.0 от 30.11.2026 / 2026-12-07");
}

TEST(ReferenceRefreshDue, OnceAWeek) {
  const DateTime now = EncodeDateTime(2026, 12, 8, 12, 0, 0);
  EXPECT_TRUE(ReferenceRefreshDue(now, std::nullopt));
  EXPECT_FALSE(ReferenceRefreshDue(now, now - 6.99));
  EXPECT_TRUE(ReferenceRefreshDue(now, now - 7));
  EXPECT_TRUE(ReferenceRefreshDue(now, now + 1));  // a clock set back
}

}  // namespace
}  // namespace tarvelo
