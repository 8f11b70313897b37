#include "acquire/pictures.h"

#include <set>
#include <vector>

#include "acquire/store/cache_files.h"

namespace tarvelo {

namespace {

bool NeedsFetch(const Disk& disk, const std::string& path, double max_age_days, DateTime now) {
  const DateTime date = disk.ModifiedDate(path);
  return date == 0 || now - date >= max_age_days;
}

// An empty answer is no picture either.
bool StorePicture(Disk& disk, const std::optional<std::string>& picture, const std::string& path) {
  return picture && !picture->empty() && WriteTextFile(disk, *picture, path);
}

}  // namespace

bool RefreshPicture(Disk& disk, HttpFetch& fetch, std::string_view url, const std::string& path,
                    double max_age_days, DateTime now) {
  if (!NeedsFetch(disk, path, max_age_days, now)) return false;
  return StorePicture(disk, fetch.GetUrlBody(url), path);
}

PictureRefresh RefreshVehiclePictures(Disk& disk, HttpBatchFetch& fetch, const AVehicleStats& vehicles,
                                      std::string_view vehicle_images_folder, const UrlSettings& urls, DateTime now) {
  std::set<std::string> seen;
  std::vector<std::string> addresses;
  std::vector<std::string> files;
  for (const RVehicleStat& vehicle : vehicles) {
    std::string file = VehiclePictureFile(vehicle_images_folder, vehicle.Images);
    if (file.empty() || !seen.insert(file).second || !NeedsFetch(disk, file, kVehiclePictureDays, now)) continue;
    addresses.push_back(OnConfiguredApiHost(vehicle.Images, urls));
    files.push_back(std::move(file));
  }
  PictureRefresh refresh;
  refresh.requested = addresses.size();
  fetch.GetUrlBodies(addresses, [&](size_t index, std::optional<std::string> picture) {
    if (StorePicture(disk, picture, files[index])) ++refresh.stored;
  });
  return refresh;
}

}  // namespace tarvelo
