// How the reports write dates, counts of days and the pop-ups that hold them.
// Internal to the report layer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/russian.h"

namespace tarvelo::detail {

// A stored UTC date-time as Moscow time: "dd.mm.yyyy" and "hh:mm МСК".
std::string MoscowDate(DateTime utc);
std::string MoscowTime(DateTime utc);

// A year after 1990: dates at or before it stand for "unknown".
bool IsKnownDate(DateTime date);

// n and its noun by the Russian plural rule: Noun(2, "день", "дня", "дней") is "2 дня".
std::string Noun(int64_t n, std::string_view one, std::string_view few, std::string_view many);
// "1 день", "22 дня", "5 дней".
std::string DaysText(int64_t days);

// The opening of a "+" pop-up (closed by "</div></div></div>").
inline constexpr std::string_view kPopupStart =
    "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><div>\r\n";

}  // namespace tarvelo::detail
