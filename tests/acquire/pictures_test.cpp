#include "acquire/pictures.h"

#include <gtest/gtest.h>

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
  EXPECT_TRUE(RefreshPicture(fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "PNG");
  EXPECT_EQ(NamesIn(folder_.path()), std::vector<std::string>{"172431_emblem_24x24.png"});
}

TEST_F(PicturesTest, AFreshPictureIsKeptAndADayOldOneFetchedAgain) {
  getter_.AnswerText(kUrl, "NEW");
  Put(Path(), "OLD");
  SetFileDate(Path(), now_ - 0.9);
  EXPECT_FALSE(RefreshPicture(fetch_, kUrl, Path(), 1, now_));
  EXPECT_TRUE(getter_.requests().empty());
  EXPECT_EQ(Slurp(Path()), "OLD");
  SetFileDate(Path(), now_ - 1);
  EXPECT_TRUE(RefreshPicture(fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "NEW");
}

TEST_F(PicturesTest, AFailedFetchKeepsTheOldFileAndLeavesNothingBehind) {
  Put(Path(), "OLD");
  SetFileDate(Path(), now_ - 3);
  getter_.AnswerText(kUrl, "<html>not found</html>", 404);
  EXPECT_FALSE(RefreshPicture(fetch_, kUrl, Path(), 1, now_));
  EXPECT_EQ(Slurp(Path()), "OLD");
  EXPECT_EQ(NamesIn(folder_.path()), std::vector<std::string>{"172431_emblem_24x24.png"});
  // No connection at all, and no file before: still no file.
  const std::string other = folder_ / "other.png";
  EXPECT_FALSE(RefreshPicture(fetch_, "http://nowhere/x.png", other, 1, now_));
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(NamesIn(folder_.path()).size(), 1u);
}

}  // namespace
}  // namespace tarvelo::testing
