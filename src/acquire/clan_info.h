// The clan info both loaders read, the clan's page and the player's clan block
// alike: the clan's newest stored snapshot while it is fresh, else the API's
// answer, checked, and stored as the clan's snapshot of the day when it came
// from the network and passed; when the API cannot be reached, the newest
// stored snapshot whatever its age, and nothing is stored.
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
  CachedFile cached;      // the stored snapshot it was read from, if it was
  bool stored_instead = false;  // that snapshot stands in for the API, which could not be reached
  // Why the answer cannot be used, empty when it can; an answer without the
  // clan's data leaves this empty and sets `data_missing`, for the loader to word.
  std::string problem;
  bool data_missing = false;
  std::vector<std::string> save_messages;  // what could not be stored
  bool usable() const { return problem.empty() && !data_missing; }
};

// `unreachable_host` is the API's host once a request of the search got no
// answer at all (empty before): the API is then not asked again. Set here when
// this request is the first such.
ClanInfo LoadClanInfo(const LoaderContext& context, const std::string& clan_id, bool update_requested,
                      std::string& unreachable_host);

}  // namespace tarvelo
