// The search service over the real loaders: every search goes through the
// publisher's API and the side sites named by the settings, or the cache.
#pragma once

#include <memory>
#include <string>

#include "shell/search_service.h"

namespace tarvelo {

struct CoreState;
class SettingsStore;

// Reads the folders, addresses, connection and rating from `core` and the link
// settings from `settings` at every search, so changed settings apply at once.
// `program_file` is the running executable, whose pictures the pages show.
std::unique_ptr<SearchService> MakeLoaderSearchService(const CoreState& core, const SettingsStore& settings,
                                                       std::string program_file);

}  // namespace tarvelo
