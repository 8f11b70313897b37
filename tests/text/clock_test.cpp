#include "text/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tarvelo {
namespace {

// Sets TARVELO_NOW for one test and restores the previous value afterwards.
class FixedNow {
 public:
  explicit FixedNow(const char* value) {
    if (const char* old = std::getenv("TARVELO_NOW")) saved_ = old;
    setenv("TARVELO_NOW", value, 1);
  }
  ~FixedNow() {
    if (saved_) {
      setenv("TARVELO_NOW", saved_->c_str(), 1);
    } else {
      unsetenv("TARVELO_NOW");
    }
  }

 private:
  std::optional<std::string> saved_;
};

std::string Shown(std::optional<DateTime> t) {
  return t ? FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", *t) : "none";
}

TEST(ParseIsoDateTimeTest, ReadsTheAcceptedForms) {
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T14:05:00")), "18.12.2016 14:05:00.000");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18 14:05:07")), "18.12.2016 14:05:07.000");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T14:05")), "18.12.2016 14:05:00.000");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T14:05:07.250")), "18.12.2016 14:05:07.250");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18")), "18.12.2016 00:00:00.000");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-02-29")), "29.02.2016 00:00:00.000");
}

TEST(ParseIsoDateTimeTest, RejectsEverythingElse) {
  EXPECT_EQ(Shown(ParseIsoDateTime("")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("18.12.2016")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T14")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T14:05:00Z")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18x")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-13-01")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2015-02-29")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-12-18T24:00")), "none");
  EXPECT_EQ(Shown(ParseIsoDateTime("2016-1-8")), "none");
}

TEST(ClockTest, TarveloNowFixesTheTime) {
  FixedNow fixed("2016-12-18T14:05:00");
  const Clock clock = ProgramClock();
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", clock()), "18.12.2016 14:05:00.000");
  EXPECT_EQ(DateOf(clock()), EncodeDate(2016, 12, 18));
}

TEST(ClockTest, AnUnreadableTarveloNowIsIgnored) {
  FixedNow fixed("yesterday");
  DateTime now = ProgramClock()();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_EQ(DateOf(now), static_cast<double>(static_cast<int64_t>(now)));
}

TEST(ClockTest, RealTimeIsLocalTime) {
  unsetenv("TARVELO_NOW");
  const time_t utc_seconds = time(nullptr);
  tm local{};
  localtime_r(&utc_seconds, &local);
  // The clock read as if it were UTC, minus the local offset, is the current Unix time.
  int64_t now_as_unix = DateTimeToUnix(ProgramClock()()) - local.tm_gmtoff;
  EXPECT_NEAR(static_cast<double>(now_as_unix), static_cast<double>(utc_seconds), 5.0);
}

TEST(ClockTest, StandardBiasIsMinutesWestOfUtc) {
  const char* saved = std::getenv("TZ");
  std::string saved_tz = saved ? saved : "";
  setenv("TZ", "Europe/Moscow", 1);
  EXPECT_EQ(StandardTimeBiasMinutes(), -180);
  setenv("TZ", "America/New_York", 1);
  EXPECT_EQ(StandardTimeBiasMinutes(), 300);
  setenv("TZ", "UTC", 1);
  EXPECT_EQ(StandardTimeBiasMinutes(), 0);
  if (saved) {
    setenv("TZ", saved_tz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace tarvelo
