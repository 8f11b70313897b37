// A clan document turned into an RWOTClan, and the alliance of a clan.
#pragma once

#include <string>
#include <string_view>

#include "json/json.h"
#include "model/records.h"

namespace tarvelo {

// The address of a clan emblem on the clan portal `host`; `size` as "64x64".
std::string ClanEmblemAddress(std::string_view host, std::string_view clan_id, std::string_view size);

// Fills `clan` (its clan_id set) from a clan document; `emblem_host` is the
// clan portal's scheme and host for the region. Nothing changes when the
// document holds no "data.<clan_id>" object.
void ParseClan(RWOTClan& clan, const json::Value& document, bool with_members, std::string_view emblem_host);

// The alliance named on the alliance site's page; cleared when there is none.
void ParseAlliance(std::string_view page, RWOTClan& clan);

}  // namespace tarvelo
