// Numbers, dates and plurals written the Russian way, whatever the user's locale.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tarvelo {

// One argument of Format: an integer, a floating value or a text.
class FormatArg {
 public:
  FormatArg(int v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(float v) : value_(static_cast<double>(v)) {}
  FormatArg(double v) : value_(v) {}
  FormatArg(const char* v) : value_(std::string_view(v)) {}
  FormatArg(std::string_view v) : value_(v) {}
  FormatArg(const std::string& v) : value_(std::string_view(v)) {}

  const std::variant<int64_t, double, std::string_view>& value() const { return value_; }

 private:
  std::variant<int64_t, double, std::string_view> value_;
};

// printf-like formatting with Russian separators. Conversions: "%d" (integer),
// "%s" (text), "%.Nf" (fixed, decimal comma), "%.Nn" (fixed with U+00A0 between
// thousands), "%%". Fixed-point halves round away from zero. Numbers convert
// between integer and floating as the conversion needs; a missing argument
// prints nothing.
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

// Format in steps onto `out`: each Append formats one piece of a format, the
// arguments taken in order across the pieces. `args` must outlive it.
class Formatter {
 public:
  Formatter(std::string& out, std::span<const FormatArg> args) : out_(out), next_(args.begin()), end_(args.end()) {}
  void Append(std::string_view format);

 private:
  std::string& out_;
  std::span<const FormatArg>::iterator next_;
  std::span<const FormatArg>::iterator end_;
};

// n with "one", "few" or "many" by the Russian plural rule (1 день, 2 дня, 5 дней).
std::string_view Plural(int64_t n, std::string_view one, std::string_view few, std::string_view many);

// Date-times are day counts since 1899-12-30 with the time of day as fraction.
using DateTime = double;

// The days the calendar functions hold: 01.01.0001 to 31.12.9999. Spans and
// conversions take a date-time outside them as the nearest one.
inline constexpr DateTime kFirstCalendarDay = -693593;
inline constexpr DateTime kLastCalendarDay = 2958465;

// `t` moved into the calendar, up to the last millisecond of its last day; NaN stays NaN.
DateTime WithinCalendar(DateTime t);

// A month outside 1..12 carries into the years around it (month 13 is January
// of the next year), a day outside the month into the days around it.
DateTime EncodeDate(int year, int month, int day);
// Days of `month` in `year` of the Gregorian calendar; a month outside 1..12
// counts as the nearest one.
int DaysInMonth(int year, int month);
DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);
struct DateParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
};
DateParts DecodeDateTime(DateTime t);

// Unix seconds (UTC) to a date-time and back; NaN gives 0 Unix seconds.
DateTime UnixToDateTime(int64_t unix_seconds);
int64_t DateTimeToUnix(DateTime t);

// Delphi-style date formatting with the Russian month abbreviations:
// "dd", "d", "mm", "m", "mmm" (янв…дек), "yyyy", "yy", "hh", "nn", "ss", "zzz";
// other characters are copied.
std::string FormatDateTime(std::string_view pattern, DateTime t);
std::string FormatDate(DateTime t);     // dd.mm.yyyy
std::string FormatTime(DateTime t);     // hh:mm
std::string FormatDayMonth(DateTime t); // dd mmm

}  // namespace tarvelo
