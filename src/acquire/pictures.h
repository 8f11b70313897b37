// Pictures kept in the picture folders, shown by the pages from disk: fetched
// when missing or too old. A failed fetch keeps whatever file was there.
#pragma once

#include <string>
#include <string_view>

#include "acquire/http_fetch.h"
#include "text/russian.h"

namespace tarvelo {

// The small emblem of a clan in the clan picture folder.
std::string ClanEmblemFile(std::string_view clan_images_folder, std::string_view clan_id);

// The local picture of a vehicle in the vehicle picture folder, named after the
// last part of its address; empty when the address names no file.
std::string VehiclePictureFile(std::string_view vehicle_images_folder, std::string_view images_url);

// Fetches `url` into `path` when the file is missing or at least
// `max_age_days` old at `now`. Only a complete answer with status 200 replaces
// the file, through the cache's safe write. True when `path` was written.
bool RefreshPicture(HttpFetch& fetch, std::string_view url, const std::string& path, double max_age_days,
                    DateTime now);

}  // namespace tarvelo
