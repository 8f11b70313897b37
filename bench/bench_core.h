// Clocks, and the program's folders in a scratch home for the benchmarks that run whole
// pages through the search service, every folder made.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "acquire/store/cache_layout.h"
#include "shell/core_state.h"

namespace tarvelo::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// The processor time of `clock` (a process or thread CPU clock), in seconds.
inline double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

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
