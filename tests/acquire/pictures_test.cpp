#include "acquire/pictures.h"

#include <gtest/gtest.h>

#include <optional>

#include "acquire/fake_http_getter.h"
#include "cache_test_support.h"

namespace tarvelo::testing {
namespace {

constexpr char kUrl[] = "http://clans/emblem_24x24.png";

class PicturesTest : public ::testing::Test {
 protected:
  PicturesTest() : fetch_(getter_) {}
  std::string Path() const { return folder_ / "172431_emblem_24x24.png"; }

  FixedClock clock_{"2016-12-05T15:00:00"};
  TempFolder folder_;
  FakeHttpGetter getter_;
  HttpFetch fetch_;
  const DateTime now_ = EncodeDateTime(2016, 12, 5, 15, 0, 0);
};

TEST_F(PicturesTest, AMissingPictureIsFetched) {
  EXPECT_EQ(ClanEmblemFile("/images/clan", "172431"), "/images/clan/172431_emblem_24x24.png");
  getter_.AnswerText(kUrl, "PNG");
  EXPECT_TRUE(RefreshPicture(testing::TestDisk(), fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "PNG");
  EXPECT_EQ(NamesIn(folder_.path()), std::vector<std::string>{"172431_emblem_24x24.png"});
}

TEST_F(PicturesTest, AFreshPictureIsKeptAndADayOldOneFetchedAgain) {
  getter_.AnswerText(kUrl, "NEW");
  Put(Path(), "OLD");
  SetFileDate(testing::TestDisk(), Path(), now_ - 0.9);
  EXPECT_FALSE(RefreshPicture(testing::TestDisk(), fetch_, kUrl, Path(), 1, now_));
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_EQ(Slurp(Path()), "OLD");
  SetFileDate(testing::TestDisk(), Path(), now_ - 1);
  EXPECT_TRUE(RefreshPicture(testing::TestDisk(), fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "NEW");
}

TEST_F(PicturesTest, AFailedFetchKeepsTheOldFileAndLeavesNothingBehind) {
  Put(Path(), "OLD");
  SetFileDate(testing::TestDisk(), Path(), now_ - 3);
  getter_.AnswerText(kUrl, "<html>not found</html>", 404);
  EXPECT_FALSE(RefreshPicture(testing::TestDisk(), fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "OLD");
  EXPECT_EQ(NamesIn(folder_.path()), std::vector<std::string>{"172431_emblem_24x24.png"});
  // No connection at all, and no file before: still no file.
  const std::string other = folder_ / "other.png";
  EXPECT_FALSE(RefreshPicture(testing::TestDisk(), fetch_, "http://nowhere/x.png", other, 1, now_));
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(NamesIn(folder_.path()).size(), 1u);
}

TEST(VehiclePictureFileTest, IsNamedAfterTheLastPartOfTheAddress) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://api.worldoftanks.ru/static/2.50.0/wot/encyclopedia/vehicle/contour/ussr-r04_t-34.png",
       "/images/vehicle/ussr-r04_t-34.png"},
      {"ussr-r04_t-34.png", "/images/vehicle/ussr-r04_t-34.png"},
      {"http://h/a/", ""},
      {"", ""},
      // The name never leaves the folder, nor acts as a wildcard.
      {"http://h/a/..", "/images/vehicle/%2E%2E"},
      {"http://h/a\\..\\x?.png", "/images/vehicle/a%5C..%5Cx%3F.png"},
  };
  for (const auto& [url, file] : cases) EXPECT_EQ(VehiclePictureFile("/images/vehicle", url), file) << url;
  EXPECT_EQ(VehiclePictureFile("/images/vehicle/", "http://h/t.png"), "/images/vehicle/t.png");
}

RVehicleStat VehicleWithPicture(std::string images) {
  RVehicleStat vehicle;
  vehicle.Images = std::move(images);
  return vehicle;
}

HttpResponse Answer(TransferEnd end, int status, std::string body) {
  HttpResponse response;
  response.end = end;
  response.status = status;
  response.body = std::move(body);
  return response;
}

class VehiclePicturesTest : public ::testing::Test {
 protected:
  VehiclePicturesTest() {
    Hosts hosts;
    hosts.Api = "http://sample:81";
    urls_ = MakeUrlSettings(hosts, "ru", "");
  }
  static std::string Address(std::string_view name) {
    return "http://api.worldoftanks.ru/static/contour/" + std::string(name);
  }
  static std::string Served(std::string_view name) { return "http://sample:81/static/contour/" + std::string(name); }
  PictureRefresh Refresh(const AVehicleStats& vehicles) {
    return RefreshVehiclePictures(testing::TestDisk(), fetch_, vehicles, folder_.path(), urls_, now_);
  }

  FixedClock clock_{"2016-12-05T15:00:00"};
  const DateTime now_ = EncodeDateTime(2016, 12, 5, 15, 0, 0);
  TempFolder folder_;
  FakeHttpGetter answers_;
  FakeHttpBatchGetter batch_{answers_};
  HttpBatchFetch fetch_{batch_};
  UrlSettings urls_;
};

TEST_F(VehiclePicturesTest, FetchesMissingAndOldPicturesInOneBatchAndKeepsOldFilesOnFailure) {
  struct Case {
    std::string name;
    std::optional<double> age_days;  // none: no file yet
    std::optional<HttpResponse> answer;  // none: not asked for
    std::string content;  // afterwards; empty: no file
  };
  const HttpResponse fresh = Answer(TransferEnd::kComplete, 200, "NEW");
  const Case cases[] = {
      {"missing.png", std::nullopt, fresh, "NEW"},
      {"59days.png", 59.0, std::nullopt, "OLD"},
      {"almost60.png", 59.99, std::nullopt, "OLD"},
      {"60days.png", 60.0, fresh, "NEW"},
      {"ancient.png", 900.0, fresh, "NEW"},
      {"gone.png", std::nullopt, Answer(TransferEnd::kComplete, 404, "<html>404</html>"), ""},
      {"gone-old.png", 61.0, Answer(TransferEnd::kComplete, 404, "<html>404</html>"), "OLD"},
      {"refused.png", std::nullopt, HttpResponse{}, ""},
      {"refused-old.png", 60.0, HttpResponse{}, "OLD"},
      {"cut.png", std::nullopt, Answer(TransferEnd::kInterrupted, 200, "NE"), ""},
      {"cut-old.png", 70.0, Answer(TransferEnd::kInterrupted, 200, "NE"), "OLD"},
      {"stalled.png", std::nullopt, Answer(TransferEnd::kTimedOut, 200, "N"), ""},
      {"empty.png", std::nullopt, Answer(TransferEnd::kComplete, 200, ""), ""},
  };
  AVehicleStats vehicles;
  std::set<std::string> asked;
  std::vector<std::string> names_after;
  for (const Case& c : cases) {
    vehicles.push_back(VehicleWithPicture(Address(c.name)));
    const std::string file = folder_ / c.name;
    if (c.age_days) {
      Put(file, "OLD");
      ASSERT_TRUE(SetFileDate(testing::TestDisk(), file, now_ - *c.age_days));
    }
    if (c.answer) {
      answers_.Answer(Served(c.name), *c.answer);
      asked.insert(Served(c.name));
    }
    if (!c.content.empty()) names_after.push_back(c.name);
  }
  const PictureRefresh refresh = Refresh(vehicles);

  EXPECT_EQ(batch_.batch_sizes(), std::vector<size_t>{asked.size()});
  const std::vector<std::string> requested = answers_.requested_urls();
  EXPECT_EQ(std::set<std::string>(requested.begin(), requested.end()), asked);
  EXPECT_EQ(refresh.requested, asked.size());
  EXPECT_EQ(refresh.stored, 3u);
  for (const Case& c : cases) {
    const std::string file = folder_ / c.name;
    EXPECT_EQ(std::filesystem::exists(file) ? Slurp(file) : "", c.content) << c.name;
  }
  std::sort(names_after.begin(), names_after.end());
  EXPECT_EQ(NamesIn(folder_.path()), names_after);  // no temporary files left behind
}

TEST_F(VehiclePicturesTest, AsksOncePerFileAndNotAgainOnceStored) {
  answers_.AnswerText(Served("t-34.png"), "T34");
  answers_.AnswerText("http://static.example.org/kv-1.png", "KV1");
  const AVehicleStats vehicles = {
      VehicleWithPicture(Address("t-34.png")), VehicleWithPicture(""),
      VehicleWithPicture("http://static.example.org/kv-1.png"), VehicleWithPicture(Address("t-34.png")),
      VehicleWithPicture("http://api.worldoftanks.ru/static/contour/"), VehicleWithPicture(Address("t-34.png")),
  };
  const PictureRefresh refresh = Refresh(vehicles);
  EXPECT_EQ(refresh.requested, 2u);
  EXPECT_EQ(refresh.stored, 2u);
  EXPECT_EQ(answers_.requested_urls(),
            (std::vector<std::string>{Served("t-34.png"), "http://static.example.org/kv-1.png"}));
  EXPECT_EQ(Slurp(folder_ / "t-34.png"), "T34");
  EXPECT_EQ(Slurp(folder_ / "kv-1.png"), "KV1");
  // Written now by the program clock, so the next page finds them fresh.
  EXPECT_EQ(Refresh(vehicles).requested, 0u);
  EXPECT_EQ(answers_.requests().size(), 2u);
}

}  // namespace
}  // namespace tarvelo::testing
