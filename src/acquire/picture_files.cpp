#include "acquire/picture_files.h"

#include "acquire/store/cache_layout.h"

namespace tarvelo {

std::string ClanEmblemFile(std::string_view clan_images_folder, std::string_view clan_id) {
  return JoinPath(clan_images_folder, CacheNamePart(clan_id) + "_emblem_24x24.png");
}

std::string VehiclePictureFile(std::string_view vehicle_images_folder, std::string_view images_url) {
  const size_t slash = images_url.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? images_url : images_url.substr(slash + 1);
  if (name.empty()) return {};
  return JoinPath(vehicle_images_folder, CacheNamePart(name));
}

}  // namespace tarvelo
