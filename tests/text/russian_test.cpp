#include "text/russian.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvelo {
namespace {

// Formatting must come out the same whatever locale the user runs under.
class RussianFormatTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, GetParam()) == nullptr) GTEST_SKIP() << "locale " << GetParam() << " missing";
  }
  void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

 private:
  std::string saved_;
};

INSTANTIATE_TEST_SUITE_P(Locales, RussianFormatTest, ::testing::Values("C", "ru_RU.UTF-8"),
                         [](const auto& info) { return std::string(info.index == 0 ? "C" : "ru_RU"); });

TEST_P(RussianFormatTest, Integers) {
  EXPECT_EQ(Format("%d", {42}), "42");
  EXPECT_EQ(Format("%d", {-7}), "-7");
  EXPECT_EQ(Format("%d", {1234567}), "1234567");
  EXPECT_EQ(Format("%d", {std::numeric_limits<int64_t>::min()}), "-9223372036854775808");
  EXPECT_EQ(Format("%u", {5u}), "5");
  EXPECT_EQ(Format("%.3d", {7}), "007");
  EXPECT_EQ(Format("%.2d:%.2d", {5, 30}), "05:30");
  EXPECT_EQ(Format("%d", {2.5}), "3");
  EXPECT_EQ(Format("%d", {-2.5}), "-3");
  EXPECT_EQ(Format("%d", {2.4}), "2");
  EXPECT_EQ(Format("%D", {3}), "3");
}

TEST_P(RussianFormatTest, FixedPointWithDecimalComma) {
  EXPECT_EQ(Format("%.2f", {1.0}), "1,00");
  EXPECT_EQ(Format("%f", {1.5}), "1,50");
  EXPECT_EQ(Format("%.1f", {7}), "7,0");
  EXPECT_EQ(Format("%.3f", {1.0 / 3}), "0,333");
  EXPECT_EQ(Format("%.2f", {0.1 + 0.2}), "0,30");
  EXPECT_EQ(Format("%.2f", {-1.5}), "-1,50");
  EXPECT_EQ(Format("%.0f", {1e20}), "100000000000000000000");
  EXPECT_EQ(Format("%.2f", {1e-7}), "0,00");
  EXPECT_EQ(Format("%.2f", {1234567.891}), "1234567,89");
  EXPECT_EQ(Format("%.2f", {static_cast<float>(46.5)}), "46,50");
}

TEST_P(RussianFormatTest, HalvesRoundAwayFromZero) {
  EXPECT_EQ(Format("%.2f", {0.125}), "0,13");
  EXPECT_EQ(Format("%.2f", {-0.125}), "-0,13");
  EXPECT_EQ(Format("%.0f", {2.5}), "3");
  EXPECT_EQ(Format("%.0f", {3.5}), "4");
  EXPECT_EQ(Format("%.0f", {-2.5}), "-3");
  EXPECT_EQ(Format("%.0f", {0.5}), "1");
  EXPECT_EQ(Format("%.0f", {0.49}), "0");
  // Halves as written in decimal, although the nearest doubles lie just below them.
  EXPECT_EQ(Format("%.2f", {1.005}), "1,01");
  EXPECT_EQ(Format("%.2f", {2.675}), "2,68");
  EXPECT_EQ(Format("%.2f", {9.995}), "10,00");
  EXPECT_EQ(Format("%.0f", {99.5}), "100");
  EXPECT_EQ(Format("%.2f", {1.005f}), "1,01");
  EXPECT_EQ(Format("%.1f", {0.45f}), "0,5");
  EXPECT_EQ(Format("%.2f", {1234.565f}), "1234,57");
  EXPECT_EQ(Format("%.2f", {0.004}), "0,00");
  EXPECT_EQ(Format("%.2f", {-0.004}), "0,00");
  EXPECT_EQ(Format("%.2f", {-0.0}), "0,00");
}

TEST_P(RussianFormatTest, ThousandsSeparatedByNoBreakSpace) {
  EXPECT_EQ(Format("%.0n", {1234567}), "1\u00a0234\u00a0567");
  EXPECT_EQ(Format("%.0n", {1234567.0}), "1\xC2\xA0" "234\xC2\xA0" "567");
  EXPECT_EQ(Format("%.2n", {-1234567.891}), "-1\u00a0234\u00a0567,89");
  EXPECT_EQ(Format("%.0n", {999}), "999");
  EXPECT_EQ(Format("%.0n", {1000}), "1\u00a0000");
  EXPECT_EQ(Format("%.0n", {999.5}), "1\u00a0000");
  EXPECT_EQ(Format("%.0n", {100000}), "100\u00a0000");
  EXPECT_EQ(Format("%.0n", {-100}), "-100");
  EXPECT_EQ(Format("%n", {0}), "0,00");
  EXPECT_EQ(Format("<td>[%.0n]</td>", {43000}), "<td>[43\u00a0000]</td>");
}

TEST_P(RussianFormatTest, TextsPercentSignsAndMissingArguments) {
  EXPECT_EQ(Format("%s", {"текст"}), "текст");
  EXPECT_EQ(Format("%s", {std::string("строка")}), "строка");
  EXPECT_EQ(Format("%s=%d", {"a", 1}), "a=1");
  EXPECT_EQ(Format("%s", {5}), "5");
  EXPECT_EQ(Format("%s", {0.5}), "0,5");
  EXPECT_EQ(Format("%s %s", {"a"}), "a ");
  EXPECT_EQ(Format("%d", {}), "");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%.1f%%", {51.5}), "51,5%");
  EXPECT_EQ(Format("%.0f до %.1f%% / %.0f до %.1f%%", {2, 51.5, 3, 52.0}), "2 до 51,5% / 3 до 52,0%");
  EXPECT_EQ(Format("%.2f до %.0f", {175.0, 1175.0}), "175,00 до 1175");
  EXPECT_EQ(Format("50%", {}), "50%");
  EXPECT_EQ(Format("%x %d", {5}), "%x 5");
  EXPECT_EQ(Format("%.2", {5}), "%.2");
  EXPECT_EQ(Format("", {1}), "");
}

TEST_P(RussianFormatTest, WidthAndNonFiniteValues) {
  EXPECT_EQ(Format("%5d", {42}), "   42");
  EXPECT_EQ(Format("%-5d|", {42}), "42   |");
  EXPECT_EQ(Format("%4s", {"ая"}), "  ая");
  EXPECT_EQ(Format("%.2f", {std::nan("")}), "NAN");
  EXPECT_EQ(Format("%.2f", {-std::numeric_limits<double>::infinity()}), "-INF");
}

TEST(PluralTest, FollowsTheRussianRule) {
  auto days = [](int64_t n) { return std::string(Plural(n, "день", "дня", "дней")); };
  EXPECT_EQ(days(1), "день");
  EXPECT_EQ(days(2), "дня");
  EXPECT_EQ(days(4), "дня");
  EXPECT_EQ(days(5), "дней");
  EXPECT_EQ(days(11), "дней");
  EXPECT_EQ(days(12), "дней");
  EXPECT_EQ(days(14), "дней");
  EXPECT_EQ(days(20), "дней");
  EXPECT_EQ(days(21), "день");
  EXPECT_EQ(days(22), "дня");
  EXPECT_EQ(days(25), "дней");
  EXPECT_EQ(days(101), "день");
  EXPECT_EQ(days(111), "дней");
  EXPECT_EQ(days(112), "дней");
  EXPECT_EQ(days(1001), "день");
  EXPECT_EQ(days(0), "дней");
  EXPECT_EQ(days(-1), "дней");
  EXPECT_EQ(days(-2), "дней");
  EXPECT_EQ(Plural(3, " боец", " бойца", " бойцов"), " бойца");
}

TEST(DateTimeTest, EncodesDayCountsSince18991230) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
  EXPECT_EQ(EncodeDate(2016, 12, 18), 42722.0);
  EXPECT_EQ(EncodeDate(2222, 1, 1), 117610.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2016, 12, 18, 18, 0, 0), 42722.75);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
}

TEST(DateTimeTest, MonthsAndDaysOutsideTheirRangeCarryIntoTheirNeighbours) {
  const std::vector<std::pair<DateTime, DateTime>> same = {
      {EncodeDate(2016, 13, 1), EncodeDate(2017, 1, 1)},   {EncodeDate(2016, 0, 1), EncodeDate(2015, 12, 1)},
      {EncodeDate(2016, -11, 1), EncodeDate(2015, 1, 1)},  {EncodeDate(2016, 25, 31), EncodeDate(2018, 1, 31)},
      {EncodeDate(2016, 1, 32), EncodeDate(2016, 2, 1)},   {EncodeDate(2016, 3, 0), EncodeDate(2016, 2, 29)},
      {EncodeDate(2016, 14, 29), EncodeDate(2017, 3, 1)},
  };
  for (const auto& [encoded, expected] : same) EXPECT_EQ(encoded, expected) << FormatDate(expected);
  // The ends of int give a date, however far.
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  EXPECT_TRUE(std::isfinite(EncodeDate(kMax, kMax, kMax)));
  EXPECT_TRUE(std::isfinite(EncodeDate(kMin, kMin, kMin)));
  EXPECT_TRUE(std::isfinite(EncodeDateTime(kMax, kMin, kMax, kMin, kMax, kMin, kMax)));
}

TEST(DateTimeTest, DaysInMonthTakesAMonthOutsideTheYearAsTheNearestOne) {
  const std::vector<std::tuple<int, int, int>> cases = {
      {2016, 1, 31}, {2016, 2, 29}, {2015, 2, 28}, {2000, 2, 29}, {1900, 2, 28}, {2016, 4, 30},  {2016, 12, 31},
      {-4, 2, 29},   {-100, 2, 28}, {2016, 0, 31}, {2016, -4, 31}, {2016, 13, 31}, {2016, std::numeric_limits<int>::min(), 31},
  };
  for (const auto& [year, month, days] : cases) EXPECT_EQ(DaysInMonth(year, month), days) << year << "-" << month;
}

TEST(DateTimeTest, UnixSecondsOfDatesBeyondTheCalendarAreItsEndsAndOfNaNZero) {
  EXPECT_EQ(DateTimeToUnix(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(DateTimeToUnix(std::numeric_limits<double>::infinity()), 253402300800);    // 01.01.10000 00:00
  EXPECT_EQ(DateTimeToUnix(-std::numeric_limits<double>::infinity()), -62135596800);  // 01.01.0001 00:00
  EXPECT_EQ(DateTimeToUnix(1e300), 253402300800);
  EXPECT_EQ(WithinCalendar(42722.5), 42722.5);
  EXPECT_TRUE(std::isnan(WithinCalendar(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", WithinCalendar(1e11)), "31.12.9999 23:59:59.999");
  EXPECT_EQ(FormatDate(WithinCalendar(-1e11)), "01.01.0001");
}

TEST(DateTimeTest, DecodesBackToItsParts) {
  DateParts parts = DecodeDateTime(EncodeDateTime(2016, 2, 29, 23, 59, 58, 999));
  EXPECT_EQ(parts.year, 2016);
  EXPECT_EQ(parts.month, 2);
  EXPECT_EQ(parts.day, 29);
  EXPECT_EQ(parts.hour, 23);
  EXPECT_EQ(parts.minute, 59);
  EXPECT_EQ(parts.second, 58);
  EXPECT_EQ(parts.millisecond, 999);
  DateParts before = DecodeDateTime(-1.25);
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.hour, 6);
}

TEST(DateTimeTest, TimeOfDayRoundsToTheMillisecondAndCarriesIntoTheDate) {
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", 42722.0 + 0.99999999999), "19.12.2016 00:00:00.000");
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", EncodeDateTime(2016, 1, 1, 12, 34, 56, 789)), "12:34:56.789");
}

TEST(DateTimeTest, ConvertsUnixSecondsAsUtc) {
  EXPECT_EQ(UnixToDateTime(0), 25569.0);
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss", UnixToDateTime(1482069900)), "18.12.2016 14:05:00");
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2016, 12, 18, 14, 5, 0)), 1482069900);
  EXPECT_EQ(DateTimeToUnix(UnixToDateTime(1234567890)), 1234567890);
  EXPECT_EQ(FormatDate(UnixToDateTime(-86400)), "31.12.1969");
}

TEST(DateTimeTest, FormatsTheRussianWay) {
  DateTime t = EncodeDateTime(2007, 3, 5, 9, 7, 3, 45);
  EXPECT_EQ(FormatDate(t), "05.03.2007");
  EXPECT_EQ(FormatTime(t), "09:07");
  EXPECT_EQ(FormatDayMonth(t), "05 мар");
  EXPECT_EQ(FormatDateTime("d.m.yy", t), "5.3.07");
  EXPECT_EQ(FormatDateTime("h:n:s.z", t), "9:7:3.45");
  EXPECT_EQ(FormatDateTime("DD.MM.YYYY", t), "05.03.2007");
  EXPECT_EQ(FormatDateTime("hh:mm", t), "09:07");
  EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:mm", t), "05.03.2007 09:07");
  EXPECT_EQ(FormatDateTime("dd 'mm' yyyy", t), "05 mm 2007");
  EXPECT_EQ(FormatDateTime("d mmm, дата", t), "5 мар, дата");
  EXPECT_EQ(FormatDate(EncodeDate(2222, 1, 1)), "01.01.2222");
}

TEST(DateTimeTest, MonthAbbreviations) {
  const char* expected[] = {"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(FormatDayMonth(EncodeDate(2015, month, 1)), std::string("01 ") + expected[month - 1]);
  }
}

}  // namespace
}  // namespace tarvelo
