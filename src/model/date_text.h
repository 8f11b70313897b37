// Date-time texts in the program's date format.
#pragma once

#include <optional>
#include <string_view>

#include "text/russian.h"

namespace tarvelo::detail {

// "dd.mm.yyyy" (or "yyyy.mm.dd" when the first number has more than two
// digits), optionally followed by a blank and "hh:mm" or "hh:mm:ss". A two-digit
// year is taken within fifty years of the year of `now`. Nothing when the text
// is not a valid date.
std::optional<DateTime> ParseDateText(std::string_view text, DateTime now);

}  // namespace tarvelo::detail
