#include "report/report_dates.h"

#include "text/calendar.h"

namespace tarvelo::detail {

namespace {
constexpr DateTime kMoscowOffset = 3.0 / 24;
}  // namespace

std::string MoscowDate(DateTime utc) { return FormatDate(utc + kMoscowOffset); }
std::string MoscowTime(DateTime utc) { return FormatTime(utc + kMoscowOffset) + " МСК"; }

bool IsKnownDate(DateTime date) { return DecodeDateTime(date).year > 1990; }

std::string Noun(int64_t n, std::string_view one, std::string_view few, std::string_view many) {
  return std::to_string(n) + " " + std::string(Plural(n, one, few, many));
}

std::string DaysText(int64_t days) { return Noun(days, "день", "дня", "дней"); }

}  // namespace tarvelo::detail
