#include "text/calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tarvelo {
namespace {

std::string SpanText(DateTime from, DateTime to) {
  const CalendarSpan span = CalendarSpanBetween(from, to);
  return std::to_string(span.years) + "y" + std::to_string(span.months) + "m" + std::to_string(span.days) + "d";
}

TEST(CalendarSpan, CountsYearsThenMonthsThenDays) {
  EXPECT_EQ(SpanText(EncodeDate(2015, 12, 3), EncodeDate(2016, 12, 8)), "1y0m5d");
  EXPECT_EQ(SpanText(EncodeDate(2014, 9, 8), EncodeDate(2016, 12, 8)), "2y3m0d");
  EXPECT_EQ(SpanText(EncodeDate(2016, 11, 27), EncodeDate(2016, 12, 8)), "0y0m11d");
  EXPECT_EQ(SpanText(EncodeDateTime(2012, 3, 14, 17, 22, 5), EncodeDateTime(2016, 12, 5, 1, 0, 0)), "4y8m21d");
  EXPECT_EQ(SpanText(EncodeDate(2016, 12, 8), EncodeDate(2016, 12, 8)), "0y0m0d");
  EXPECT_EQ(SpanText(EncodeDate(2016, 12, 9), EncodeDate(2016, 12, 8)), "0y0m0d");
}

TEST(CalendarSpan, EndsAMonthOnTheLastDayOfAShorterOne) {
  EXPECT_EQ(SpanText(EncodeDate(2016, 1, 31), EncodeDate(2016, 2, 29)), "0y1m0d");
  EXPECT_EQ(SpanText(EncodeDate(2016, 1, 31), EncodeDate(2016, 2, 28)), "0y0m28d");
  EXPECT_EQ(SpanText(EncodeDate(2012, 2, 29), EncodeDate(2013, 2, 28)), "1y0m0d");
  EXPECT_EQ(SpanText(EncodeDate(2016, 10, 31), EncodeDate(2016, 12, 1)), "0y1m1d");
}

TEST(CalendarSpan, TakesDatesBeyondTheCalendarAsItsEndsAndRefusesNaN) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const DateTime first = EncodeDate(1, 1, 1);
  const DateTime last = EncodeDate(9999, 12, 31);
  struct Case {
    DateTime from;
    DateTime to;
    std::string span;
  };
  const std::vector<Case> cases = {
      {0, 1e11, "8100y0m1d"},  // 30.12.1899 to 31.12.9999
      {0, last, "8100y0m1d"},
      {0, last + 0.75, "8100y0m1d"},
      {-800000, 45000, "2022y2m14d"},  // 01.01.0001 to 15.03.2023
      {first, 45000, "2022y2m14d"},
      {-kInfinity, kInfinity, "9998y11m30d"},
      {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max(), "9998y11m30d"},
      {1e11, 2e11, "0y0m0d"},
      {-2e11, -1e11, "0y0m0d"},
      {0, kNaN, "0y0m0d"},
      {kNaN, 45000, "0y0m0d"},
      {kNaN, kNaN, "0y0m0d"},
  };
  for (const Case& c : cases) EXPECT_EQ(SpanText(c.from, c.to), c.span) << c.from << " " << c.to;
}

TEST(WholeSpans, CountBeyondTheCalendarFromItsEndsAndNothingForNaN) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const int64_t calendar_days = static_cast<int64_t>(kLastCalendarDay - kFirstCalendarDay) + 1;
  // From the first moment of the calendar to its last millisecond.
  EXPECT_EQ(WholeDaysBetween(-1e300, 1e300), calendar_days - 1);
  EXPECT_EQ(WholeDaysBetween(std::numeric_limits<double>::infinity(), 0), static_cast<int64_t>(kLastCalendarDay));
  EXPECT_EQ(WholeHoursBetween(-1e300, 1e300), calendar_days * 24 - 1);
  EXPECT_EQ(WholeDaysBetween(kNaN, 42722), 0);
  EXPECT_EQ(WholeHoursBetween(42722, kNaN), 0);
}

TEST(WholeSpans, CountWholeDaysAndHoursEitherWay) {
  const DateTime noon = EncodeDateTime(2016, 12, 5, 12, 0, 0);
  EXPECT_EQ(WholeDaysBetween(noon, EncodeDateTime(2016, 12, 3, 12, 0, 1)), 1);
  EXPECT_EQ(WholeDaysBetween(EncodeDateTime(2016, 12, 3, 12, 0, 0), noon), 2);
  EXPECT_EQ(WholeDaysBetween(EncodeDate(2016, 12, 5), EncodeDate(2016, 12, 5)), 0);
  EXPECT_EQ(WholeHoursBetween(noon, noon - 47.5 / 24), 47);
  EXPECT_EQ(WholeHoursBetween(noon, noon - 49.0 / 24), 49);
  EXPECT_EQ(WholeHoursBetween(noon, noon + 1.0 / 24), 1);
}

}  // namespace
}  // namespace tarvelo
