#include "acquire/pictures.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "acquire/snapshot_cache.h"
#include "text/debug_log.h"

namespace tarvelo {

std::string ClanEmblemFile(std::string_view clan_images_folder, std::string_view clan_id) {
  return JoinPath(clan_images_folder, CacheNamePart(clan_id) + "_emblem_24x24.png");
}

bool PictureNeedsFetch(const std::string& path, double max_age_days, DateTime now) {
  const DateTime date = FileDate(path);
  return date == 0 || now - date >= max_age_days;
}

bool RefreshPicture(HttpFetch& fetch, std::string_view url, const std::string& path, double max_age_days,
                    DateTime now) {
  if (!PictureNeedsFetch(path, max_age_days, now)) return false;
  const size_t slash = path.rfind('/');
  std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".tarvelo-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    DebugLog("ОШИБКА: Не удалось сохранить файл данных: " + path);
    return false;
  }
  close(fd);
  const bool fetched = fetch.DownloadUrlToFile(url, temp) > 0 && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!fetched) std::remove(temp.c_str());
  return fetched;
}

}  // namespace tarvelo
