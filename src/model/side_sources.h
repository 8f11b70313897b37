// The account fields that come from the auxiliary sources: former nicknames,
// the clan history with roles, replay figures and location.
#pragma once

#include <string_view>

#include "json/json.h"
#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

// One entry per name, dated by the matching text of `dates`; a missing or
// unreadable date, or one in 1970 or earlier, becomes NoEndDate(). Two-digit
// years are read near the year of `now`.
void ParseNameHistory(const json::Value& names, const json::Value& dates, DateTime now, RWOTAccount& account);

// The clan history rows, newest last in the source, listed newest first.
void ParseClanHistory(const json::Value& rows, DateTime now, RWOTAccount& account);

void SetReplayFigures(std::string_view page, int32_t count, int32_t video_count, RWOTAccount& account);

// Stores the location and composes the location text: country name, region
// (unless it names the city), city.
void SetLocation(std::string_view country_code, std::string_view region, std::string_view city,
                 RWOTAccount& account, const ReferenceData& reference);

}  // namespace tarvelo
