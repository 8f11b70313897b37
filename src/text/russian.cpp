#include "text/russian.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>
#include <variant>

#include "text/encoding.h"

namespace tarvelo {

namespace detail {
namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

// One conversion of a format: "%" [-] [width] [. precision] letter.
struct Directive {
  bool left_justify = false;
  int width = 0;
  int precision = -1;
  char conversion = 0;
  size_t length = 0;  // characters of the format taken, "%" included
};

int ReadNumber(std::string_view format, size_t& at) {
  int value = 0;
  while (at < format.size() && format[at] >= '0' && format[at] <= '9' && value < 1000) {
    value = value * 10 + (format[at] - '0');
    ++at;
  }
  return value;
}

// Parses the conversion starting at the "%" at `start`; false when the text
// there is not a conversion this formatter knows.
bool ParseDirective(std::string_view format, size_t start, Directive& directive) {
  size_t at = start + 1;
  if (at < format.size() && format[at] == '-') {
    directive.left_justify = true;
    ++at;
  }
  directive.width = ReadNumber(format, at);
  if (at < format.size() && format[at] == '.') {
    ++at;
    directive.precision = ReadNumber(format, at);
  }
  if (at >= format.size()) return false;
  char letter = static_cast<char>(format[at] | 0x20);  // ASCII lower case
  if (letter != 'd' && letter != 'u' && letter != 's' && letter != 'f' && letter != 'n') return false;
  directive.conversion = letter == 'u' ? 'd' : letter;
  directive.length = at + 1 - start;
  return true;
}

std::string DigitsOf(uint64_t magnitude) {
  std::array<char, 24> buffer;
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude).ptr;
  return std::string(buffer.data(), end);
}

uint64_t MagnitudeOf(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

// A number as sign and digits, before layout: the integer's digits, then the
// fraction's, in one text, so that rounding carries across the point in place.
struct Decimal {
  bool negative = false;
  std::string digits = "0";
  size_t point = 1;  // where the fraction starts in `digits`

  std::string_view integer() const { return std::string_view(digits).substr(0, point); }
  std::string_view fraction() const { return std::string_view(digits).substr(point); }
};

// Rounds the fraction to `places` digits, halves away from zero.
void RoundTo(Decimal& number, size_t places) {
  const size_t fraction = number.digits.size() - number.point;
  if (fraction <= places) {
    number.digits.append(places - fraction, '0');
    return;
  }
  const bool round_up = number.digits[number.point + places] >= '5';
  number.digits.resize(number.point + places);
  if (!round_up) return;
  size_t i = number.digits.size();
  while (i > 0 && number.digits[i - 1] == '9') number.digits[--i] = '0';
  if (i == 0) {
    number.digits.insert(number.digits.begin(), '1');
    ++number.point;
  } else {
    ++number.digits[i - 1];
  }
}

// A double's digits are those of the shortest decimal text that reads back as
// the same double: 0.125 stays 0.125 and 1.005 stays 1.005 (not the
// 1.00499999999999989... the binary value holds exactly), so halves written in
// decimal round away from zero as a reader expects. A value that is exactly a
// single-precision number (figures are stored that way) is read as the
// shortest text of that float: 1.005f stays 1.005, not 1.0049999952316284.
Decimal DecimalOf(double value) {
  std::array<char, 400> buffer;  // the longest fixed text of a double is ~330 characters
  char* const last = buffer.data() + buffer.size();
  bool in_float_range = std::fabs(value) <= std::numeric_limits<float>::max();
  float as_float = in_float_range ? static_cast<float>(value) : 0.0f;
  bool is_float = in_float_range && static_cast<double>(as_float) == value;
  auto end = is_float ? std::to_chars(buffer.data(), last, as_float, std::chars_format::fixed).ptr
                      : std::to_chars(buffer.data(), last, value, std::chars_format::fixed).ptr;
  std::string_view text(buffer.data(), static_cast<size_t>(end - buffer.data()));
  Decimal number;
  if (!text.empty() && text.front() == '-') {
    number.negative = true;
    text.remove_prefix(1);
  }
  const size_t point = text.find('.');
  number.digits.assign(text.substr(0, point));
  number.point = number.digits.size();
  if (point != std::string_view::npos) number.digits.append(text.substr(point + 1));
  return number;
}

Decimal DecimalOf(int64_t value) {
  Decimal number;
  number.negative = value < 0;
  number.digits = DigitsOf(MagnitudeOf(value));
  number.point = number.digits.size();
  return number;
}

void AppendGrouped(std::string_view digits, std::string& out) {
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.append(kNoBreakSpace);
    out.push_back(digits[i]);
  }
}

bool IsZero(const Decimal& number) { return number.digits.find_first_not_of('0') == std::string::npos; }

// Sign only when something non-zero is left after rounding ("0,00", not "-0,00").
std::string Layout(const Decimal& number, bool grouped) {
  std::string result;
  result.reserve(number.digits.size() + 8);
  if (number.negative && !IsZero(number)) result.push_back('-');
  if (grouped) {
    AppendGrouped(number.integer(), result);
  } else {
    result.append(number.integer());
  }
  if (!number.fraction().empty()) {
    result.push_back(',');
    result.append(number.fraction());
  }
  return result;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// The digits of a number argument; for a text, or a value that is not
// finite, the text to write instead.
std::variant<Decimal, std::string> NumberOf(const FormatArg& arg) {
  if (const auto* integer = std::get_if<int64_t>(&arg.value())) return DecimalOf(*integer);
  if (const auto* real = std::get_if<double>(&arg.value())) {
    if (!std::isfinite(*real)) return NonFinite(*real);
    return DecimalOf(*real);
  }
  return std::string(std::get<std::string_view>(arg.value()));
}

// Fixed point, two places unless told; a text argument is written unchanged.
std::string FormatFixed(const FormatArg& arg, int precision, bool grouped) {
  std::variant<Decimal, std::string> number = NumberOf(arg);
  if (auto* text = std::get_if<std::string>(&number)) return std::move(*text);
  Decimal& decimal = std::get<Decimal>(number);
  RoundTo(decimal, precision < 0 ? 2 : static_cast<size_t>(precision));
  return Layout(decimal, grouped);
}

// Integers for "%d"; a floating value is rounded, halves away from zero.
// The precision is the least number of digits, padded with zeros.
std::string FormatInteger(const FormatArg& arg, int precision) {
  std::variant<Decimal, std::string> number = NumberOf(arg);
  if (auto* text = std::get_if<std::string>(&number)) return std::move(*text);
  Decimal& decimal = std::get<Decimal>(number);
  RoundTo(decimal, 0);
  if (precision > 0 && decimal.point < static_cast<size_t>(precision)) {
    const size_t zeros = static_cast<size_t>(precision) - decimal.point;
    decimal.digits.insert(0, zeros, '0');
    decimal.point += zeros;
  }
  return Layout(decimal, false);
}

// Texts as they are; numbers as "%d" would write an integer and as the
// shortest decimal text with a comma a floating value.
std::string FormatText(const FormatArg& arg) {
  if (const auto* text = std::get_if<std::string_view>(&arg.value())) return std::string(*text);
  if (std::holds_alternative<int64_t>(arg.value())) return FormatInteger(arg, -1);
  double real = std::get<double>(arg.value());
  if (!std::isfinite(real)) return NonFinite(real);
  return Layout(DecimalOf(real), false);
}

std::string Pad(std::string text, const Directive& directive) {
  size_t length = CharacterCount(text);
  if (directive.width <= 0 || length >= static_cast<size_t>(directive.width)) return text;
  std::string blanks(static_cast<size_t>(directive.width) - length, ' ');
  return directive.left_justify ? text + blanks : blanks + text;
}

std::string Convert(const Directive& directive, const FormatArg& arg) {
  switch (directive.conversion) {
    case 'd': return FormatInteger(arg, directive.precision);
    case 'f': return FormatFixed(arg, directive.precision, false);
    case 'n': return FormatFixed(arg, directive.precision, true);
    default: return FormatText(arg);
  }
}

}  // namespace
}  // namespace detail

void Formatter::Append(std::string_view format) {
  size_t start = 0;
  for (size_t percent = format.find('%'); percent != std::string_view::npos;
       percent = format.find('%', start)) {
    out_.append(format.substr(start, percent - start));
    if (percent + 1 < format.size() && format[percent + 1] == '%') {
      out_.push_back('%');
      start = percent + 2;
      continue;
    }
    detail::Directive directive;
    if (!detail::ParseDirective(format, percent, directive)) {
      out_.push_back('%');
      start = percent + 1;
      continue;
    }
    if (next_ != end_) out_.append(detail::Pad(detail::Convert(directive, *next_++), directive));
    start = percent + directive.length;
  }
  out_.append(format.substr(start));
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string result;
  result.reserve(format.size() + 16 * args.size());
  Formatter(result, std::span<const FormatArg>(args.begin(), args.size())).Append(format);
  return result;
}

std::string_view Plural(int64_t n, std::string_view one, std::string_view few, std::string_view many) {
  if (n < 0) return many;
  int64_t last_two = n % 100;
  int64_t last = n % 10;
  if (last_two >= 11 && last_two <= 20) return many;
  if (last == 1) return one;
  if (last >= 2 && last <= 4) return few;
  return many;
}

namespace detail {
namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;
constexpr int64_t kUnixEpochDay = 25569;  // 1970-01-01

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t year_of_era = year - era * 400;
  int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(int64_t days, DateParts& parts) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t day_of_era = days - era * 146097;
  int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  int64_t shifted_month = (5 * day_of_year + 2) / 153;
  parts.day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  parts.month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  parts.year = static_cast<int>(year_of_era + era * 400 + (parts.month <= 2));
}

constexpr std::array<std::string_view, 12> kMonthAbbreviations = {
    "янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"};

std::string ZeroPadded(int value, int digits) {
  std::string text = std::to_string(value < 0 ? -value : value);
  if (text.size() < static_cast<size_t>(digits)) text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  return value < 0 ? "-" + text : text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

size_t RunLength(std::string_view pattern, size_t at) {
  char letter = LowerAscii(pattern[at]);
  size_t end = at;
  while (end < pattern.size() && LowerAscii(pattern[end]) == letter) ++end;
  return end - at;
}

}  // namespace
}  // namespace detail

DateTime WithinCalendar(DateTime t) {
  if (std::isnan(t)) return t;
  constexpr DateTime kLastMoment = kLastCalendarDay + 1 - 1.0 / detail::kMillisecondsPerDay;
  return std::clamp(t, kFirstCalendarDay, kLastMoment);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  month = std::clamp(month, 1, 12);
  return month == 2 && leap ? 29 : kDays[month - 1];
}

DateTime EncodeDate(int year, int month, int day) {
  const int64_t months = int64_t{year} * 12 + (int64_t{month} - 1);
  const int64_t whole_years = (months >= 0 ? months : months - 11) / 12;
  const int64_t month_of_year = months - whole_years * 12 + 1;
  return static_cast<DateTime>(detail::DaysFromCivil(whole_years, month_of_year, day) + detail::kUnixEpochDay);
}

DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  DateTime date = EncodeDate(year, month, day);
  double time = ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) / 86400.0;
  return date >= 0 ? date + time : date - time;
}

// The whole days count the date and the fraction, whatever the sign, the time
// of day (so -1.25 is 1899-12-29 06:00).
DateParts DecodeDateTime(DateTime t) {
  DateParts parts;
  if (!std::isfinite(t) || std::fabs(t) > 3.0e6) return parts;  // beyond year 9999
  double whole = std::trunc(t);
  auto day = static_cast<int64_t>(whole);
  auto milliseconds = static_cast<int64_t>(std::llround(std::fabs(t - whole) * detail::kMillisecondsPerDay));
  if (milliseconds >= detail::kMillisecondsPerDay) {
    milliseconds -= detail::kMillisecondsPerDay;
    day += t < 0 ? -1 : 1;
  }
  detail::CivilFromDays(day - detail::kUnixEpochDay, parts);
  parts.hour = static_cast<int>(milliseconds / 3'600'000);
  parts.minute = static_cast<int>(milliseconds / 60'000 % 60);
  parts.second = static_cast<int>(milliseconds / 1000 % 60);
  parts.millisecond = static_cast<int>(milliseconds % 1000);
  return parts;
}

DateTime UnixToDateTime(int64_t unix_seconds) {
  return static_cast<double>(detail::kUnixEpochDay) + static_cast<double>(unix_seconds) / 86400.0;
}

int64_t DateTimeToUnix(DateTime t) {
  if (std::isnan(t)) return 0;
  const DateTime days = WithinCalendar(t) - static_cast<double>(detail::kUnixEpochDay);
  return static_cast<int64_t>(std::llround(days * 86400.0));
}

// Letters are read in either case. "m"/"mm" right after an hour ("hh:mm"),
// with only non-letters between, are minutes. Text in single or double quotes
// is copied without its quotes.
std::string FormatDateTime(std::string_view pattern, DateTime t) {
  const DateParts parts = DecodeDateTime(t);
  std::string result;
  char last_letter = 0;
  for (size_t at = 0; at < pattern.size();) {
    char c = pattern[at];
    if (c == '\'' || c == '"') {
      size_t close = pattern.find(c, at + 1);
      if (close == std::string_view::npos) close = pattern.size();
      result.append(pattern.substr(at + 1, close - at - 1));
      at = close + 1;
      continue;
    }
    char letter = detail::LowerAscii(c);
    size_t run = detail::RunLength(pattern, at);
    switch (letter) {
      case 'y':
        result.append(run <= 2 ? detail::ZeroPadded(parts.year % 100, 2) : detail::ZeroPadded(parts.year, 4));
        break;
      case 'm':
        if (run <= 2 && last_letter == 'h') {
          result.append(detail::ZeroPadded(parts.minute, static_cast<int>(run)));
        } else if (run <= 2) {
          result.append(detail::ZeroPadded(parts.month, static_cast<int>(run)));
        } else {
          result.append(detail::kMonthAbbreviations[static_cast<size_t>(parts.month - 1)]);
        }
        break;
      case 'd': run = std::min<size_t>(run, 2); result.append(detail::ZeroPadded(parts.day, static_cast<int>(run))); break;
      case 'h': run = std::min<size_t>(run, 2); result.append(detail::ZeroPadded(parts.hour, static_cast<int>(run))); break;
      case 'n': run = std::min<size_t>(run, 2); result.append(detail::ZeroPadded(parts.minute, static_cast<int>(run))); break;
      case 's': run = std::min<size_t>(run, 2); result.append(detail::ZeroPadded(parts.second, static_cast<int>(run))); break;
      case 'z': result.append(detail::ZeroPadded(parts.millisecond, run >= 3 ? 3 : 1)); break;
      default:
        if (letter >= 'a' && letter <= 'z') last_letter = 0;
        result.push_back(c);
        ++at;
        continue;
    }
    last_letter = letter;
    at += run;
  }
  return result;
}

std::string FormatDate(DateTime t) { return FormatDateTime("dd.mm.yyyy", t); }
std::string FormatTime(DateTime t) { return FormatDateTime("hh:nn", t); }
std::string FormatDayMonth(DateTime t) { return FormatDateTime("dd mmm", t); }

}  // namespace tarvelo
