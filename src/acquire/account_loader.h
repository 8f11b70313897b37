// Turns a player name (or "@" + account id) into the account records a report is
// built from: from the cache or the publisher's API, merged into one daily
// snapshot, parsed, checked, enriched with the clan and the auxiliary sources,
// and compared with an older snapshot for a period view.
#pragma once

#include <string>
#include <string_view>

#include "acquire/auxiliary_sources.h"
#include "acquire/loader_context.h"
#include "acquire/store/stored_snapshots.h"
#include "json/json.h"
#include "model/records.h"

namespace tarvelo {

struct AccountLoadRequest {
  std::string search_text;        // a nickname, or "@" + account id
  bool UpdateRequested = false;   // ignore fresh cache files
  int PeriodDays = 0;             // 0: the current state; N: a period N snapshots back
  std::string PeriodLetters;      // "", "o" or "b"
  bool interactive = true;        // false when the clan report collects members
};

struct AccountLoadResult {
  bool result = false;      // the account was identified
  LoaderMessages messages;  // in the order they arose
  RWOTAccount current;      // as of the newest data
  RWOTAccount base;         // as of the compared snapshot
  RWOTAccount period;       // what a period view shows
  json::Value snapshot_data;  // the "data" member of the current snapshot
  AccountFamePoints fame;
  ClanFamePoints clan_fame;
  RWOTClan clan;            // the player's clan when one was loaded
  StoredSnapshots stored;   // the account's daily snapshots, its own of this search included
  // The API's host when a request to it got no answer at all (the connection
  // failure); empty when every request was answered. From then on the newest
  // stored snapshot stands in for the account's data, and nothing is stored.
  std::string unreachable_host;
  // Paragraphs for above the report: the warning that stored data are shown.
  LoaderMessages notice;
};

AccountLoadResult LoadAccount(const AccountLoadRequest& request, const LoaderContext& context);

// The requests the loader makes for an account's data from the network.
enum class AccountRequest { kInfo, kAchievements, kMembership, kVehicles };
// The publisher answers these for up to this many accounts at once.
inline constexpr size_t kMostIdsPerRequest = 100;
inline bool TakesSeveralIds(AccountRequest request) { return request != AccountRequest::kVehicles; }

// The address the loader asks for `account_ids`: one id, or for a request that
// TakesSeveralIds, ids separated by commas.
std::string AccountRequestUrl(const LoaderContext& context, AccountRequest request, std::string_view account_ids);

// Whether the loader takes an achievements or vehicles answer at the first try
// rather than asking again.
bool TakenAtFirstTry(std::string_view answer);

}  // namespace tarvelo
