// The text layer on any bytes: the wildcard replacement, answer decoding, the
// plain text of a page, case mapping, the Russian formatter with any format, and
// the date functions with any dates. The input is split at NUL bytes into text,
// pattern, replacement and format; its first bytes are also read as dates.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "text/calendar.h"
#include "text/encoding.h"
#include "text/html_escape.h"
#include "text/replace.h"
#include "text/russian.h"

namespace {

// The date-time in the bytes at `at` of the input (zeros past its end): any
// double, NaN, infinities and subnormals included.
double DateAt(std::string_view input, size_t at) {
  unsigned char bytes[sizeof(double)] = {};
  if (at < input.size()) std::memcpy(bytes, input.data() + at, std::min(sizeof bytes, input.size() - at));
  double value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

int IntAt(std::string_view input, size_t at) {
  unsigned char bytes[sizeof(int)] = {};
  if (at < input.size()) std::memcpy(bytes, input.data() + at, std::min(sizeof bytes, input.size() - at));
  int value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// The date functions on dates read from the input and on the edges no input
// needs to find: NaN, the infinities, the largest doubles, the calendar's ends.
void FuzzDates(std::string_view input) {
  using namespace tarvelo;
  constexpr double kEdges[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::lowest(), 1e11, -800000, kFirstCalendarDay,
                               kLastCalendarDay + 0.999};
  const double from = DateAt(input, 0);
  const double to = DateAt(input, 8);
  for (const double edge : {from, kEdges[input.size() % std::size(kEdges)]}) {
    CalendarSpanBetween(edge, to);
    CalendarSpanBetween(from, edge);
    WholeDaysBetween(edge, to);
    WholeHoursBetween(from, edge);
    DateTimeToUnix(edge);
    FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz mmm", edge);
  }
  const int year = IntAt(input, 16);
  const int month = IntAt(input, 20);
  const int day = IntAt(input, 24);
  DaysInMonth(year, month);
  EncodeDateTime(year, month, day, IntAt(input, 28), IntAt(input, 32), IntAt(input, 36), IntAt(input, 40));
  UnixToDateTime(DateTimeToUnix(to));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  for (size_t at = 0; parts.size() < 3;) {
    const size_t nul = input.find('\0', at);
    if (nul == std::string_view::npos) break;
    parts.push_back(input.substr(at, nul - at));
    at = nul + 1;
  }
  parts.resize(4);
  const size_t used = parts[0].size() + parts[1].size() + parts[2].size() + 3;
  parts[3] = used <= input.size() ? input.substr(used) : input;
  const std::string_view text = parts[0].empty() ? input : parts[0];

  WildcardReplace(text.substr(0, 4096), parts[1].substr(0, 64), parts[2].substr(0, 64));
  ReplaceAll(text, parts[1], parts[2]);
  const std::string decoded = DecodeAnswer(text);
  PlainTextOfPage(text);
  UpperCase(decoded);
  LowerCase(decoded);
  Trim(text);
  EscapeScriptString(text);
  const double number = static_cast<double>(size) * 1234.5678 - 1e6;
  Format(parts[3].substr(0, 256), {static_cast<int64_t>(size) - 500, number, text.substr(0, 32), 1e300, -0.005});
  FormatDateTime(parts[3].substr(0, 64), number / 100.0);
  FuzzDates(input);
  return 0;
}
