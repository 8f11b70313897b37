// The search service over the real loaders: every search goes through the
// publisher's API and the side sites named by the settings, or the cache.
#pragma once

#include <memory>
#include <string>

#include "acquire/store/disk.h"
#include "shell/search_service.h"
#include "text/clock.h"

namespace tarvelo {

struct CoreState;
class SettingsStore;

// Reads the folders, addresses, connection and rating from `core` and the link
// settings from `settings` at every search, so changed settings apply at once.
// The cache lies on `disk`; `clock` tells the time. `program_file` is the
// running executable, whose pictures the pages show.
std::unique_ptr<SearchService> MakeLoaderSearchService(const CoreState& core, const SettingsStore& settings, Disk& disk,
                                                       Clock clock, std::string program_file);

}  // namespace tarvelo
