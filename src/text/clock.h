// The one source of "now" and of the local time zone.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/russian.h"

namespace tarvelo {

// Local time now. When TARVELO_NOW holds a local time in ISO 8601 form
// ("2016-12-18T14:05:00", "2016-12-18 14:05", "2016-12-18") that time is
// returned instead; a value that does not read as one is ignored.
DateTime Now();

// The date part of Now().
DateTime Today();

// The local date-time of a Unix instant (seconds); 0 when the C library has none.
DateTime UnixToLocalDateTime(int64_t unix_seconds);

// "yyyy-mm-dd", optionally followed by "T" or a blank and "hh:mm",
// ":ss" and ".zzz"; nothing when the text is not such a time.
std::optional<DateTime> ParseIsoDateTime(std::string_view text);

// Minutes west of UTC of the local standard time (daylight saving ignored):
// -180 for Moscow.
int StandardTimeBiasMinutes();

}  // namespace tarvelo
