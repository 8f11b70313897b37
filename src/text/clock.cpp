#include "text/clock.h"

#include <cstdlib>
#include <ctime>

namespace tarvelo {

namespace detail {
namespace {

// Reads exactly `digits` decimal digits at `at`.
bool ReadDigits(std::string_view text, size_t& at, size_t digits, int& value) {
  if (at + digits > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < digits; ++i) {
    char c = text[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += digits;
  return true;
}

bool Expect(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

DateTime LocalNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec, static_cast<int>(now.tv_nsec / 1'000'000));
}

}  // namespace
}  // namespace detail

std::optional<DateTime> ParseIsoDateTime(std::string_view text) {
  DateParts p;
  size_t at = 0;
  if (!detail::ReadDigits(text, at, 4, p.year) || !detail::Expect(text, at, '-') ||
      !detail::ReadDigits(text, at, 2, p.month) || !detail::Expect(text, at, '-') ||
      !detail::ReadDigits(text, at, 2, p.day)) {
    return std::nullopt;
  }
  if (at < text.size()) {
    if (text[at] != 'T' && text[at] != ' ') return std::nullopt;
    ++at;
    if (!detail::ReadDigits(text, at, 2, p.hour) || !detail::Expect(text, at, ':') ||
        !detail::ReadDigits(text, at, 2, p.minute)) {
      return std::nullopt;
    }
    if (at < text.size() && (!detail::Expect(text, at, ':') || !detail::ReadDigits(text, at, 2, p.second))) {
      return std::nullopt;
    }
    if (at < text.size() && (!detail::Expect(text, at, '.') || !detail::ReadDigits(text, at, 3, p.millisecond))) {
      return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;
  }
  if (p.year < 1900 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > DaysInMonth(p.year, p.month) ||
      p.hour > 23 || p.minute > 59 || p.second > 59) {
    return std::nullopt;
  }
  return EncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second, p.millisecond);
}

Clock ProgramClock() {
  if (const char* fixed = std::getenv("TARVELO_NOW")) {
    if (auto parsed = ParseIsoDateTime(fixed)) return [now = *parsed] { return now; };
  }
  return detail::LocalNow;
}

DateTime UnixToLocalDateTime(int64_t unix_seconds) {
  const time_t seconds = static_cast<time_t>(unix_seconds);
  tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return 0.0;
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec);
}

int StandardTimeBiasMinutes() {
  tzset();
  return static_cast<int>(timezone / 60);
}

}  // namespace tarvelo
