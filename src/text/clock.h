// The one source of "now" and of the local time zone.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "text/russian.h"

namespace tarvelo {

// The program's "now", a local date-time. The program makes one where it
// starts and hands it down: nothing else reads the time of day.
using Clock = std::function<DateTime()>;

// The clock of the running program: local time, or, when TARVELO_NOW holds a
// local time in ISO 8601 form ("2016-12-18T14:05:00", "2016-12-18 14:05",
// "2016-12-18"), that time for good; a value that does not read as one is
// ignored.
Clock ProgramClock();

// The date part of a date-time.
inline DateTime DateOf(DateTime now) { return std::trunc(now); }

// The local date-time of a Unix instant (seconds); 0 when the C library has none.
DateTime UnixToLocalDateTime(int64_t unix_seconds);

// "yyyy-mm-dd", optionally followed by "T" or a blank and "hh:mm",
// ":ss" and ".zzz"; nothing when the text is not such a time.
std::optional<DateTime> ParseIsoDateTime(std::string_view text);

// Minutes west of UTC of the local standard time (daylight saving ignored):
// -180 for Moscow.
int StandardTimeBiasMinutes();

}  // namespace tarvelo
