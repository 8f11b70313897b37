// The search service over the real loaders: every search goes through the
// publisher's API and the side sites named by the settings, or the cache.
#pragma once

#include <memory>

#include "shell/search_service.h"

namespace tarvelo {

struct CoreState;
class SettingsStore;

// Reads the folders, addresses, connection and battle mode from `core` and the
// link settings from `settings` at every search, so changed settings apply at once.
std::unique_ptr<SearchService> MakeLoaderSearchService(const CoreState& core, const SettingsStore& settings);

}  // namespace tarvelo
