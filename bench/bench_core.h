// The program's folders in a scratch home for the benchmarks that run whole
// pages through the search service, every folder made.
#pragma once

#include <filesystem>
#include <string>

#include "acquire/store/cache_layout.h"
#include "shell/core_state.h"

namespace tarvelo::bench {

inline CoreState CoreFor(const std::filesystem::path& home, const Hosts& hosts) {
  CoreState core;
  core.CacheFolder = (home / "cache").string();
  core.UserCacheFolder = UserCacheFolderOf(core.CacheFolder);
  core.ClanCacheFolder = ClanCacheFolderOf(core.CacheFolder);
  core.ImagesFolder = (home / "images").string();
  core.VehicleImagesFolder = core.ImagesFolder + "/vehicle";
  core.ClanImagesFolder = core.ImagesFolder + "/clan";
  for (const std::string& folder :
       {core.UserCacheFolder, core.ClanCacheFolder, core.VehicleImagesFolder, core.ClanImagesFolder}) {
    std::filesystem::create_directories(folder);
  }
  core.urls = MakeUrlSettings(hosts, "ru", "");
  return core;
}

}  // namespace tarvelo::bench
