#include "text/calendar.h"

#include <gtest/gtest.h>

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
