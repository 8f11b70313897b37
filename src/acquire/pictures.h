// Pictures kept in the picture folders, shown by the pages from disk: fetched
// when missing or too old. A failed fetch keeps whatever file was there.
#pragma once

#include <string>
#include <string_view>

#include "acquire/net/http_fetch.h"
#include "acquire/addresses.h"
#include "acquire/picture_files.h"
#include "acquire/store/disk.h"
#include "model/records.h"
#include "text/russian.h"

namespace tarvelo {

// A vehicle's picture is fetched again once it is this many days old.
inline constexpr double kVehiclePictureDays = 60.0;

// Fetches `url` into `path` when the file is missing or at least
// `max_age_days` old at `now`. Only a complete, non-empty answer with status 200
// replaces the file, through the cache's safe write. True when `path` was written.
bool RefreshPicture(Disk& disk, HttpFetch& fetch, std::string_view url, const std::string& path,
                    double max_age_days, DateTime now);

struct PictureRefresh {
  size_t requested = 0;  // pictures missing or too old, each fetched once
  size_t stored = 0;     // of them, written
};

// Brings the pictures of `vehicles` in `vehicle_images_folder` up to date, as
// RefreshPicture does for one, with all the fetches at once. A file wanted by
// several vehicles is fetched once; the publisher's addresses are fetched from
// the configured API host (OnConfiguredApiHost).
PictureRefresh RefreshVehiclePictures(Disk& disk, HttpBatchFetch& fetch, const AVehicleStats& vehicles,
                                      std::string_view vehicle_images_folder, const UrlSettings& urls, DateTime now);

}  // namespace tarvelo
