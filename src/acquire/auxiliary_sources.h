// The facts that come from beside the publisher's statistics API: fame points of
// the clan-war campaign, former nicknames, the clan role history, replays and
// the player's location. Each has its cache file in the account's (or clan's)
// folder and its own freshness rule; none of them can make a search fail.
#pragma once

#include <string>
#include <string_view>

#include "acquire/loader_context.h"
#include "acquire/side_facts.h"
#include "model/records.h"
#include "text/russian.h"

namespace tarvelo {

// Fetched from the game portal, or read from ID/rating.dat: while it is fresh,
// in a period view, and for good once it was written after the results became
// final. All 0 outside the campaign window; never a message.
AccountFamePoints LoadAccountFamePoints(const LoaderContext& context, std::string_view account_id,
                                        std::string_view nickname, int period_days, bool update_requested);
// Read from CLANID/rating.dat only.
ClanFamePoints LoadClanFamePoints(const LoaderContext& context, std::string_view clan_id);

// Former nicknames from ID/clan_history.dat (read only).
void LoadNameHistory(const LoaderContext& context, std::string_view account_id, RWOTAccount& account,
                     LoaderMessages& messages);
// Clan memberships from ID/role_history.dat (read only).
void LoadRoleHistory(const LoaderContext& context, std::string_view account_id, std::string_view search_text,
                     RWOTAccount& account, LoaderMessages& messages);
// Replay page, count and videos from the replay site or ID/replays.dat.
void LoadReplays(const LoaderContext& context, std::string_view account_id, bool update_requested,
                 RWOTAccount& account, LoaderMessages& messages);
// Country, region and city from the location site or ID/location.dat (an old
// ID/region.dat is renamed first, unless a location.dat is already there).
// A fresh cached answer that reports no success is fetched again only on an
// update request; the same holds for replays.
void LoadLocation(const LoaderContext& context, std::string_view account_id, bool update_requested,
                  RWOTAccount& account, LoaderMessages& messages);

}  // namespace tarvelo
