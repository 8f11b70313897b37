#include "model/date_text.h"

#include <array>
#include <charconv>


namespace tarvelo::detail {
namespace {

struct Number {
  int value = 0;
  size_t digits = 0;
};

// Reads `count` numbers separated by `separator` from the whole of `text`.
template <size_t count>
std::optional<std::array<Number, count>> ReadNumbers(std::string_view text, char separator) {
  std::array<Number, count> numbers;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < count ? text.find(separator) : text.size();
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view field = text.substr(0, end);
    if (field.empty() || field.size() > 4) return std::nullopt;
    auto [stop, error] = std::from_chars(field.data(), field.data() + field.size(), numbers[i].value);
    if (error != std::errc() || stop != field.data() + field.size()) return std::nullopt;
    numbers[i].digits = field.size();
    text.remove_prefix(i + 1 < count ? end + 1 : end);
  }
  return numbers;
}

int FullYear(const Number& year, DateTime now) {
  if (year.digits > 2) return year.value;
  const int current = DecodeDateTime(now).year;
  int full = current / 100 * 100 + year.value;
  if (full < current - 50) full += 100;
  if (full >= current + 50) full -= 100;
  return full;
}

std::optional<DateTime> ParseDate(std::string_view text, DateTime now) {
  auto numbers = ReadNumbers<3>(text, '.');
  if (!numbers) return std::nullopt;
  const bool year_first = (*numbers)[0].digits > 2;
  const Number& year_number = year_first ? (*numbers)[0] : (*numbers)[2];
  const int year = FullYear(year_number, now);
  const int month = (*numbers)[1].value;
  const int day = year_first ? (*numbers)[2].value : (*numbers)[0].value;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return EncodeDate(year, month, day);
}

std::optional<double> ParseTime(std::string_view text) {
  const bool with_seconds = text.find(':') != text.rfind(':');
  int hour = 0, minute = 0, second = 0;
  if (with_seconds) {
    auto numbers = ReadNumbers<3>(text, ':');
    if (!numbers) return std::nullopt;
    hour = (*numbers)[0].value, minute = (*numbers)[1].value, second = (*numbers)[2].value;
  } else {
    auto numbers = ReadNumbers<2>(text, ':');
    if (!numbers) return std::nullopt;
    hour = (*numbers)[0].value, minute = (*numbers)[1].value;
  }
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::string_view Trimmed(std::string_view text) {
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

}  // namespace

std::optional<DateTime> ParseDateText(std::string_view text, DateTime now) {
  text = Trimmed(text);
  const size_t blank = text.find(' ');
  auto date = ParseDate(text.substr(0, blank), now);
  if (!date || blank == std::string_view::npos) return date;
  auto time = ParseTime(Trimmed(text.substr(blank)));
  if (!time) return std::nullopt;
  return *date + *time;
}

}  // namespace tarvelo::detail
