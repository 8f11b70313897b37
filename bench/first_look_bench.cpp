// A first look at the player of the warm cache (300 vehicles, 7 cached days,
// "&days=3") while none of the vehicle pictures is on disk yet: the pictures,
// and the clan emblem, come from the sample service with 50 ms of latency on
// every request. A plain timed program, since every run needs an empty picture
// folder and cold connections.
//
// 1. The whole page through the program's search service (search, emblem,
//    pictures, report), in the period view and the all-time view: the time
//    until the page can be shown.
// 2. The pictures step alone, with several numbers of transfers side by side:
//    the time until the last picture is stored.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>

#include "acquire/pictures.h"
#include "embedded.h"
#include "model/clan.h"
#include "model/reference.h"
#include "sample_service.h"
#include "disk_support.h"
#include "shell/core_state.h"
#include "shell/loader_search_service.h"
#include "shell/search_options.h"
#include "shell/settings_store.h"
#include "warm_cache.h"

namespace tarvelo::bench {
namespace {

constexpr int kLatencyMs = 50;
constexpr int kRuns = 3;
constexpr std::string_view kPictureFolderPath = "/static/2.50.0/wot/encyclopedia/vehicle/contour/";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

std::string NotFound(std::span<const std::string> paths, const std::string& delay) {
  std::string routes;
  for (const std::string& path : paths) {
    routes += ", {\"path\": \"" + path + "\", \"status\": 404, \"delay_ms\": " + delay + "}";
  }
  return routes;
}

// The service's answers, each after the latency: a picture for every vehicle,
// the clan's emblem, and "not found" from the side sites the all-time view asks.
void WriteServiceRoot(const std::filesystem::path& root, const AVehicleStats& vehicles) {
  for (const RVehicleStat& vehicle : vehicles) {
    const std::string file = VehiclePictureFile((root / "pictures").string(), vehicle.Images);
    if (!file.empty()) testing::WriteBytes(file, "\x89PNG picture of " + vehicle.Name);
  }
  const std::string emblem = ClanEmblemAddress("", kClanId, "24x24");
  const std::string delay = std::to_string(kLatencyMs);
  const std::string account = kAccountId;
  const std::string side_sites[] = {"/community/accounts/" + account + "/get_front_stats/", "/sApi/v3/player.getInfo",
                                    "/api/usercacheget/"};
  testing::WriteBytes(root / "emblem.png", "\x89PNG emblem");
  testing::WriteBytes(root / "routes.json",
                      "{\"routes\": [{\"path\": \"" + std::string(kPictureFolderPath) +
                          "\", \"folder\": \"pictures\", \"delay_ms\": " + delay + "}, {\"path\": \"" + emblem +
                          "\", \"file\": \"emblem.png\", \"delay_ms\": " + delay + "}" + NotFound(side_sites, delay) +
                          "]}");
}

CoreState CoreFor(const WarmCache& cache, const std::string& images, const Hosts& hosts) {
  CoreState core;
  core.CacheFolder = cache.root();
  core.UserCacheFolder = UserCacheFolderOf(cache.root());
  core.ClanCacheFolder = ClanCacheFolderOf(cache.root());
  core.ImagesFolder = images;
  core.VehicleImagesFolder = images + "/vehicle";
  core.ClanImagesFolder = images + "/clan";
  core.urls = MakeUrlSettings(hosts, "ru", "");
  return core;
}

void FreshFolders(const CoreState& core) {
  std::filesystem::remove_all(core.ImagesFolder);
  for (const std::string& folder : {core.ImagesFolder, core.VehicleImagesFolder, core.ClanImagesFolder}) {
    std::filesystem::create_directories(folder);
  }
}

size_t FilesIn(const std::string& folder) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_regular_file();
  return count;
}

// The distinct picture files of the vehicles.
size_t PictureCount(const AVehicleStats& vehicles) {
  std::set<std::string> names;
  for (const RVehicleStat& vehicle : vehicles) names.insert(VehiclePictureFile("", vehicle.Images));
  names.erase("");
  return names.size();
}

// The page as the window gets it, from a new search service (cold connections);
// `pictures` is the number of pictures of the vehicles the page shows.
void WholePage(const CoreState& core, const SettingsStore& settings, const std::string& search, size_t pictures) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    FreshFolders(core);
    const auto service = MakeLoaderSearchService(core, settings, testing::TestDisk(), testing::TestClock(), "/usr/bin/tarvelo");
    const SearchRequest request = ParseSearchRequest(search, false);
    LoaderMessages messages;
    const auto start = Clock::now();
    const bool found = service->LoadAccount(request, messages);
    const ReportPage page = service->AccountReportHtml(request.view);
    const double seconds = Seconds(Clock::now() - start);
    const size_t stored = FilesIn(core.VehicleImagesFolder);
    if (!found || page.html.empty() || stored != pictures) {
      std::printf("whole page: run %d went wrong (found %d, %zu of %zu pictures) %s\n", run, found, stored, pictures,
                  messages.empty() ? "" : messages.front().text.c_str());
      return;
    }
    best = std::min(best, seconds);
  }
  std::printf("whole page \"%s\", %zu pictures, %d transfers side by side: page can be shown after %.3f s "
              "(best of %d; every picture stored before)\n",
              search.c_str(), pictures, kParallelTransfers, best, kRuns);
}

// The pictures step alone, with `parallel` transfers.
void PicturesStep(const CoreState& core, const AVehicleStats& vehicles, int parallel, size_t pictures, int runs) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    FreshFolders(core);
    const auto getter = MakeCurlBatchGetter(parallel);
    const ConnectionSettings settings;  // named: as a default argument it draws a false warning from g++ 12
    HttpBatchFetch fetch(*getter, settings);
    const auto start = Clock::now();
    const PictureRefresh refresh = RefreshVehiclePictures(testing::TestDisk(), fetch, vehicles, core.VehicleImagesFolder, core.urls, ProgramClock()());
    const double seconds = Seconds(Clock::now() - start);
    if (refresh.stored != pictures || FilesIn(core.VehicleImagesFolder) != pictures) {
      std::printf("pictures step: %zu of %zu stored\n", refresh.stored, pictures);
      return;
    }
    best = std::min(best, seconds);
  }
  std::printf("pictures step, %2d transfers side by side: last of %zu pictures stored after %.3f s (best of %d)\n",
              parallel, pictures, best, runs);
}

int Run() {
  const WarmCache cache;
  if (const std::string problem = cache.Problem(); !problem.empty()) {
    std::printf("warm cache: %s\n", problem.c_str());
    return 1;
  }
  InstallReferenceData(ReferenceData::FromTexts(EmbeddedReferenceTexts()));
  const AccountLoadResult loaded = cache.Search();
  const AVehicleStats& vehicles = loaded.current.Vehicles;
  const size_t pictures = PictureCount(vehicles);

  const testing::ScratchFolder root;
  WriteServiceRoot(root.path(), vehicles);
  const testing::SampleService service(root.path());
  if (!service.running()) {
    std::printf("sample service: %s\n", service.error().c_str());
    return 1;
  }
  const CoreState core = CoreFor(cache, (root.path() / "images").string(), service.hosts());
  const SettingsStore settings(testing::TestDisk(), (root.path() / "settings.ini").string());
  std::printf("%zu vehicles, %zu pictures, %d ms per request\n", vehicles.size(), pictures, kLatencyMs);

  // The period view shows only the vehicles played in the period.
  WholePage(core, settings, std::string(kNickname) + "&days=" + std::to_string(kPeriodDays),
            PictureCount(loaded.period.Vehicles));
  WholePage(core, settings, kNickname, pictures);
  for (const int parallel : {4, 6, 8, 12}) PicturesStep(core, vehicles, parallel, pictures, kRuns);
  PicturesStep(core, vehicles, 1, pictures, 1);  // what one request after the other costs

  std::map<std::string, int> others;
  for (const testing::LoggedRequest& request : service.requests()) {
    if (!request.target.starts_with(kPictureFolderPath)) ++others[request.target + " (" + request.outcome + ")"];
  }
  for (const auto& [target, count] : others) std::printf("also asked %d times: %s\n", count, target.c_str());
  return 0;
}

}  // namespace
}  // namespace tarvelo::bench

int main() { return tarvelo::bench::Run(); }
