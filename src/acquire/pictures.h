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

// True when the file is missing or at least `max_age_days` old at `now`.
bool PictureNeedsFetch(const std::string& path, double max_age_days, DateTime now);

// Fetches `url` into `path` when PictureNeedsFetch says so. The answer goes to a
// temporary file beside `path` and replaces it only when the server sent the
// picture. True when `path` was written.
bool RefreshPicture(HttpFetch& fetch, std::string_view url, const std::string& path, double max_age_days,
                    DateTime now);

}  // namespace tarvelo
