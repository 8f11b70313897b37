// The clan info both loaders read, the clan's page and the player's clan block
// alike: the clan's newest stored snapshot while it is fresh, else the API's
// answer, checked, and stored as the clan's snapshot of the day when it came
// from the network and passed.
#pragma once

#include <string>
#include <vector>

#include "acquire/loader_context.h"
#include "acquire/store/cache_layout.h"
#include "json/json.h"

namespace tarvelo {

struct ClanInfo {
  std::string answer;     // as read or fetched, the publisher's count removed
  json::Value document;   // the answer decoded when it passed the checks
  CachedFile cached;      // the fresh stored snapshot it was read from, if it was
  // Why the answer cannot be used, empty when it can; an answer without the
  // clan's data leaves this empty and sets `data_missing`, for the loader to word.
  std::string problem;
  bool data_missing = false;
  std::vector<std::string> save_messages;  // what could not be stored
  bool usable() const { return problem.empty() && !data_missing; }
};

ClanInfo LoadClanInfo(const LoaderContext& context, const std::string& clan_id, bool update_requested);

}  // namespace tarvelo
