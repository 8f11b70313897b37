#include "acquire/pictures.h"

#include <set>
#include <vector>

#include "acquire/snapshot_cache.h"

namespace tarvelo {

namespace {

bool NeedsFetch(const std::string& path, double max_age_days, DateTime now) {
  const DateTime date = FileDate(path);
  return date == 0 || now - date >= max_age_days;
}

// An empty answer is no picture either.
bool StorePicture(const std::optional<std::string>& picture, const std::string& path) {
  return picture && !picture->empty() && WriteTextFile(*picture, path);
}

}  // namespace

std::string ClanEmblemFile(std::string_view clan_images_folder, std::string_view clan_id) {
  return JoinPath(clan_images_folder, CacheNamePart(clan_id) + "_emblem_24x24.png");
}

std::string VehiclePictureFile(std::string_view vehicle_images_folder, std::string_view images_url) {
  const size_t slash = images_url.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? images_url : images_url.substr(slash + 1);
  if (name.empty()) return {};
  return JoinPath(vehicle_images_folder, CacheNamePart(name));
}

bool RefreshPicture(HttpFetch& fetch, std::string_view url, const std::string& path, double max_age_days,
                    DateTime now) {
  if (!NeedsFetch(path, max_age_days, now)) return false;
  return StorePicture(fetch.GetUrlBody(url), path);
}

PictureRefresh RefreshVehiclePictures(HttpBatchFetch& fetch, const AVehicleStats& vehicles,
                                      std::string_view vehicle_images_folder, const UrlSettings& urls, DateTime now) {
  std::set<std::string> seen;
  std::vector<std::string> addresses;
  std::vector<std::string> files;
  for (const RVehicleStat& vehicle : vehicles) {
    std::string file = VehiclePictureFile(vehicle_images_folder, vehicle.Images);
    if (file.empty() || !seen.insert(file).second || !NeedsFetch(file, kVehiclePictureDays, now)) continue;
    addresses.push_back(OnConfiguredApiHost(vehicle.Images, urls));
    files.push_back(std::move(file));
  }
  PictureRefresh refresh;
  refresh.requested = addresses.size();
  fetch.GetUrlBodies(addresses, [&](size_t index, std::optional<std::string> picture) {
    if (StorePicture(picture, files[index])) ++refresh.stored;
  });
  return refresh;
}

}  // namespace tarvelo
