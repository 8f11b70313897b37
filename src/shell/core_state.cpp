#include "shell/core_state.h"

#include <chrono>

#include "acquire/store/cache_files.h"
#include "acquire/store/reference_files.h"
#include "embedded.h"
#include "model/reference.h"
#include "shell/environment.h"
#include "shell/front_end.h"
#include "shell/settings_store.h"
#include "text/debug_log.h"

namespace tarvelo {

namespace {

void SetUpFolders(CoreState& core, Disk& disk, const std::string& data_folder) {
  core.CacheFolder = data_folder + "cache";
  core.UserCacheFolder = core.CacheFolder + "/user";
  core.ClanCacheFolder = core.CacheFolder + "/clan";
  core.ImagesFolder = data_folder + "images";
  core.VehicleImagesFolder = core.ImagesFolder + "/vehicle";
  core.ClanImagesFolder = core.ImagesFolder + "/clan";

  // The data folder itself may lie several levels deep (~/.local/share/tarvelo/).
  disk.MakeFolders(data_folder);
  if (disk.MakeFolder(core.CacheFolder)) {
    disk.MakeFolder(core.UserCacheFolder);
    disk.MakeFolder(core.ClanCacheFolder);
    // Temporary files are dated by the file system's clock, whatever the program's says.
    const FileTime now = std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
    if (const int removed = RemoveStaleTemporaryFiles(disk, core.CacheFolder, now); removed > 0) {
      DebugLog("Удалено временных файлов: " + std::to_string(removed));
    }
  }
  if (disk.MakeFolder(core.ImagesFolder)) {
    disk.MakeFolder(core.VehicleImagesFolder);
    disk.MakeFolder(core.ClanImagesFolder);
  }
}

}  // namespace

std::vector<std::string> LoadDataFolderReference(Disk& disk, const std::string& data_folder) {
  const std::string folder = ReferenceFolder(data_folder);
  if (disk.IsFolder(folder)) {
    const FileTime now = std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
    RemoveStaleTemporaryFiles(disk, folder, now);
  }
  InstallReferenceData(LoadReferenceInUse(disk, folder, EmbeddedReferenceTexts()));
  return Reference().LoadErrors();
}

ConnectionSettings ConnectionOf(const CoreState& core) {
  ConnectionSettings connection;
  connection.proxy = core.proxy;
  connection.limits = core.limits;
  connection.wait = core.transfer_wait;
  return connection;
}

Hosts ReadHosts(const SettingsStore& settings, std::string_view region) {
  Hosts hosts = DefaultHosts(region);
  for (auto [key, host] : {std::pair{"Api", &hosts.Api}, std::pair{"GamePortal", &hosts.GamePortal},
                           std::pair{"ClanPortal", &hosts.ClanPortal}, std::pair{"Replays", &hosts.Replays},
                           std::pair{"Location", &hosts.Location}, std::pair{"Alliance", &hosts.Alliance},
                           std::pair{"Site", &hosts.Site}, std::pair{"ExpectedValues", &hosts.ExpectedValues}}) {
    *host = settings.ReadSettingStr("Hosts", key, *host);
  }
  return hosts;
}

UrlSettings UrlsFromSettings(const SettingsStore& settings) {
  const std::string region = settings.ReadSettingStr("", "Region", std::string(kDefaultRegion));
  return MakeUrlSettings(ReadHosts(settings, RegionFromSetting(region)), region,
                         settings.ReadSettingStr("", "ApplicationId", ""));
}

TransferLimits LimitsFromSettings(const SettingsStore& settings) {
  TransferLimits limits;
  const auto default_seconds = std::chrono::duration_cast<std::chrono::seconds>(limits.total_limit).count();
  const int64_t seconds = settings.ReadSettingInt("", "RequestTimeLimit", static_cast<int>(default_seconds));
  if (seconds >= 1) limits.total_limit = std::chrono::seconds(seconds);
  const int64_t megabytes = settings.ReadSettingInt("", "AnswerSizeLimit", static_cast<int>(limits.max_body_bytes >> 20));
  if (megabytes >= 1) limits.max_body_bytes = megabytes << 20;
  return limits;
}

void InitCore(CoreState& core, Disk& disk, const Environment& environment, const SettingsStore& settings,
              FrontEnd& screen, const ReferenceLoader& load_reference) {
  ClearDebugLog();

  SetUpFolders(core, disk, environment.data_folder);
  SetDebugFileName(core.CacheFolder + "/debug.txt");

  core.configured_application_id = settings.ReadSettingStr("", "ApplicationId", "");
  core.urls = MakeUrlSettings(ReadHosts(settings, kDefaultRegion), kDefaultRegion, core.configured_application_id);
  core.BreakRequested = false;

  std::vector<std::string> errors =
      load_reference ? load_reference() : LoadDataFolderReference(disk, environment.data_folder);
  for (const std::string& error : errors) screen.ShowBox(BoxKind::Error, "Ошибка", error);
}

std::string LoadTextResource(std::string_view name) { return std::string(FindResource(name)); }

}  // namespace tarvelo
