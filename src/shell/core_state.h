// The process-wide state of the program's core: folders, region and application id,
// service hosts, rating scale, connection, request state, and the start-up of it all.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/net/http_fetch.h"
#include "acquire/net/http_getter.h"
#include "acquire/addresses.h"
#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "report/scales.h"

namespace tarvelo {

class FrontEnd;
class SettingsStore;
struct Environment;

struct CoreState {
  std::string CacheFolder;
  std::string UserCacheFolder;
  std::string ClanCacheFolder;
  std::string ImagesFolder;
  std::string VehicleImagesFolder;
  std::string ClanImagesFolder;

  // Region, ApplicationId and the hosts every request goes to.
  UrlSettings urls;
  // The application id of the settings (empty: the built-in one), used for the default region.
  std::string configured_application_id;

  std::string RatingName = "EFF";
  const ColourScale* RatingScale = &scales::kEff;  // the scale of RatingName
  ProxySetting proxy;  // ProxyMode and ProxyName
  // The time limit per request and search host, and the size limit per answer.
  TransferLimits limits;
  // How the front end stays alive while a transfer runs; null: transfers block.
  TransferWait* transfer_wait = nullptr;
  // The archive of the accounts' older days; null before the start-up.
  HistoryService* history = nullptr;

  bool BreakRequested = false;
  std::string GameClientAccount;
};

// Loads the reference documents; the error texts of those that failed, in load order.
using ReferenceLoader = std::function<std::vector<std::string>()>;

// The core start-up, before any window exists: request state and debug log cleared,
// cache and image folders created one level at a time below the data folder, region,
// application id and hosts from the settings, and the reference documents loaded
// (an error box for each one that fails; start-up goes on). Without a loader the
// documents of the data folder's reference folder are loaded where they are sound,
// the embedded ones otherwise.
void InitCore(CoreState& core, Disk& disk, const Environment& environment, const SettingsStore& settings,
              FrontEnd& screen, const ReferenceLoader& load_reference = nullptr);

// Installs the reference documents of the data folder's reference folder where they
// are sound, the embedded ones otherwise (the folder's leftovers of interrupted
// writes removed first); the error texts of the documents that failed, in load order.
std::vector<std::string> LoadDataFolderReference(Disk& disk, const std::string& data_folder);

// How fetches connect with the core's proxy setting.
ConnectionSettings ConnectionOf(const CoreState& core);

// The service hosts of the [Hosts] settings group; a missing key keeps the
// region's default (DefaultHosts).
Hosts ReadHosts(const SettingsStore& settings, std::string_view region);
// The region ("Region", default ru), its application id ("ApplicationId") and
// hosts ([Hosts]) of the settings.
UrlSettings UrlsFromSettings(const SettingsStore& settings);
// "RequestTimeLimit" (seconds, default 60) and "AnswerSizeLimit" (megabytes,
// default 16) of the root group; values below 1 give the defaults.
TransferLimits LimitsFromSettings(const SettingsStore& settings);

// An embedded text resource ("ResStyle", "ResScript", ...); empty when there is none.
std::string LoadTextResource(std::string_view name);

}  // namespace tarvelo
