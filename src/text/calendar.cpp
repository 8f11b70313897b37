#include "text/calendar.h"

#include <algorithm>
#include <cmath>

namespace tarvelo {

namespace {

constexpr int64_t kMillisecondsPerHour = 3'600'000;
constexpr int64_t kMillisecondsPerDay = 24 * kMillisecondsPerHour;

// None when either is NaN; beyond the calendar counted from its ends.
int64_t MillisecondsBetween(DateTime a, DateTime b) {
  if (std::isnan(a) || std::isnan(b)) return 0;
  const double days = std::fabs(WithinCalendar(a) - WithinCalendar(b));
  return static_cast<int64_t>(std::llround(days * static_cast<double>(kMillisecondsPerDay)));
}

struct Ymd {
  int year;
  int month;
  int day;
};

// `start` moved on by whole months, its day kept where the month allows.
DateTime AddMonths(const Ymd& start, int months) {
  int index = start.year * 12 + (start.month - 1) + months;
  int year = index / 12;
  int month = index % 12 + 1;
  int day = std::min(start.day, DaysInMonth(year, month));
  return EncodeDate(year, month, day);
}

// The most whole steps of `step_months` from `start` that stay on or before `end`.
int WholeSteps(const Ymd& start, int offset_months, int step_months, DateTime end) {
  int steps = 0;
  while (AddMonths(start, offset_months + (steps + 1) * step_months) <= end) ++steps;
  return steps;
}

}  // namespace

int64_t WholeDaysBetween(DateTime a, DateTime b) { return MillisecondsBetween(a, b) / kMillisecondsPerDay; }

int64_t WholeHoursBetween(DateTime a, DateTime b) { return MillisecondsBetween(a, b) / kMillisecondsPerHour; }

CalendarSpan CalendarSpanBetween(DateTime from, DateTime to) {
  CalendarSpan span;
  if (std::isnan(from) || std::isnan(to)) return span;
  const DateTime first = std::floor(WithinCalendar(from));
  const DateTime last = std::floor(WithinCalendar(to));
  if (last <= first) return span;
  const DateParts parts = DecodeDateTime(first);
  const Ymd start{parts.year, parts.month, parts.day};
  span.years = WholeSteps(start, 0, 12, last);
  span.months = WholeSteps(start, span.years * 12, 1, last);
  span.days = static_cast<int>(last - AddMonths(start, span.years * 12 + span.months));
  return span;
}

}  // namespace tarvelo
