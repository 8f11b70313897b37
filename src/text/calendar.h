// Spans between day-count date-times, counted as the pages state them: whole
// days, whole hours, and years, months and days of the calendar.
#pragma once

#include <cstdint>

#include "text/russian.h"

namespace tarvelo {

// Whole days between two date-times, whichever is later (to the millisecond).
// Dates beyond the calendar count from its ends; NaN gives 0.
int64_t WholeDaysBetween(DateTime a, DateTime b);
// Whole hours between two date-times, whichever is later; beyond the calendar
// and NaN as above.
int64_t WholeHoursBetween(DateTime a, DateTime b);

struct CalendarSpan {
  int years = 0;
  int months = 0;
  int days = 0;
};

// From the date of `from` to the date of `to` (times of day ignored): whole
// years, then whole months after them, then the days left. A month added to
// the 31st ends on the last day of a shorter month. Zero when `to` is earlier
// or either is NaN; dates beyond the calendar count from its ends.
CalendarSpan CalendarSpanBetween(DateTime from, DateTime to);

}  // namespace tarvelo
