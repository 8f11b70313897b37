#include "acquire/snapshot_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "text/clock.h"
#include "text/debug_log.h"
#include "text/encoding.h"
#include "text/html_escape.h"

namespace tarvelo {

namespace detail {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(char c) {
  return c == '%' || c == '/' || c == '\\' || c == '\0' || c == '=' || c == '*' || c == '?';
}

void AppendEscaped(char c, std::string& out) {
  auto byte = static_cast<unsigned char>(c);
  out += '%';
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string ParentFolder(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The instant of a local date-time, to the millisecond; false when it has none.
bool InstantOf(DateTime date, struct timespec& instant) {
  DateParts parts = DecodeDateTime(date);
  struct tm local = {};
  local.tm_year = parts.year - 1900;
  local.tm_mon = parts.month - 1;
  local.tm_mday = parts.day;
  local.tm_hour = parts.hour;
  local.tm_min = parts.minute;
  local.tm_sec = parts.second;
  local.tm_isdst = -1;
  time_t seconds = mktime(&local);
  if (seconds == static_cast<time_t>(-1)) return false;
  instant.tv_sec = seconds;
  instant.tv_nsec = static_cast<long>(parts.millisecond) * 1000000L;
  return true;
}

bool SetModificationTime(const std::string& path, const struct timespec& instant) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = instant;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool WriteWhole(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

constexpr std::string_view kTemporaryPrefix = ".tarvelo-";
constexpr std::string_view kDebugTemporaryPrefix = "debug.txt.";
constexpr size_t kTemporarySuffixLength = 6;  // what mkstemp puts for "XXXXXX"

bool IsTemporaryName(std::string_view name) {
  for (std::string_view prefix : {kTemporaryPrefix, kDebugTemporaryPrefix}) {
    if (!name.starts_with(prefix) || name.size() != prefix.size() + kTemporarySuffixLength) continue;
    const std::string_view suffix = name.substr(prefix.size());
    if (std::all_of(suffix.begin(), suffix.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); })) {
      return true;
    }
  }
  return false;
}

// Calls visit(name, lstat of it) for each entry of the folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (struct dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (lstat(JoinPath(folder, name).c_str(), &info) != 0) continue;
    visit(name, info);
  }
  closedir(dir);
}

int RemoveStaleIn(const std::string& folder, time_t limit) {
  int removed = 0;
  ForEachEntry(folder, [&](const std::string& name, const struct stat& info) {
    if (!S_ISREG(info.st_mode) || !IsTemporaryName(name) || info.st_mtime >= limit) return;
    if (unlink(JoinPath(folder, name).c_str()) == 0) ++removed;
  });
  return removed;
}

// A renamed file keeps its new name through a power cut only once its folder is on disk.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Writes the text to a fresh temporary file beside `path` and renames it over
// `path`; on any failure the temporary file is removed and `path` is untouched.
bool ReplaceFileContent(std::string_view text, const std::string& path) {
  std::string folder = ParentFolder(path);
  const std::string temp_name = std::string(kTemporaryPrefix) + std::string(kTemporarySuffixLength, 'X');
  std::string temp = folder.empty() ? temp_name : JoinPath(folder, temp_name);
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old_file;
  mode_t mode = stat(path.c_str(), &old_file) == 0 ? (old_file.st_mode & 07777) : 0644;
  bool ok = fchmod(fd, mode) == 0 && WriteWhole(fd, text) && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  if (ok) SyncFolder(folder);
  return ok;
}

struct FolderEntry {
  std::string name;
  time_t modified = 0;
};

bool MatchesLowerCaseMask(std::string_view name, std::string_view mask);

// The regular files of a folder whose names match `mask`, in byte order of
// their names. Only matching names are looked at further; without
// `with_dates` a file the folder listing says is regular is not looked at
// at all, and its modification date stays 0.
std::vector<FolderEntry> MatchingFilesOf(std::string_view folder, std::string_view mask, bool with_dates) {
  std::vector<FolderEntry> entries;
  std::string folder_path(folder);
  DIR* dir = opendir(folder_path.empty() ? "." : folder_path.c_str());
  if (dir == nullptr) return entries;
  const std::string lower_mask = LowerCase(mask);
  while (struct dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (!MatchesLowerCaseMask(LowerCase(name), lower_mask)) continue;
    if (!with_dates && entry->d_type == DT_REG) {
      entries.push_back({std::move(name), 0});
      continue;
    }
    struct stat info;
    if (stat(JoinPath(folder_path, name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    entries.push_back({std::move(name), info.st_mtime});
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

size_t NextCodePoint(std::string_view text, size_t at) {
  ++at;
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  return at;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The date of a name "yyyy-mm-dd…" read by position; false when it is none.
bool DateOfSnapshotName(std::string_view stem, DateTime& date) {
  if (stem.size() < 10) return false;
  std::string_view year = stem.substr(0, 4), month = stem.substr(5, 2), day = stem.substr(8, 2);
  if (!IsDigits(year) || !IsDigits(month) || !IsDigits(day)) return false;
  int y = std::stoi(std::string(year)), m = std::stoi(std::string(month)), d = std::stoi(std::string(day));
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  date = EncodeDate(y, m, d);
  return true;
}

DateTime DayOf(DateTime date) { return std::floor(date); }

bool MatchesLowerCaseMask(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && mask[m] == '?') {
      n = NextCodePoint(name, n);
      ++m;
    } else if (m < mask.size() && mask[m] == name[n]) {
      ++n;
      ++m;
    } else if (star != std::string::npos) {
      m = star + 1;
      resume = NextCodePoint(name, resume);
      n = resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// A file written while the program clock is fixed (TARVELO_NOW) is dated by
// that clock, so freshness works the same as with the real one. With the real
// clock the system's own date already agrees and is left alone.
void StampWithProgramClock(const std::string& path) {
  const DateTime now = Now();
  if (std::fabs(FileDate(path) - now) * 86400.0 > 2.0) SetFileDate(path, now);
}

}  // namespace
}  // namespace detail

// ---- names and paths ----------------------------------------------------------

std::string CacheNamePart(std::string_view name) {
  std::string part;
  if (name == "." || name == "..") {
    for (char c : name) detail::AppendEscaped(c, part);
    return part;
  }
  part.reserve(name.size());
  for (char c : name) {
    if (detail::NeedsEscape(c)) {
      detail::AppendEscaped(c, part);
    } else {
      part += c;
    }
  }
  return part;
}

std::string OriginalCacheName(std::string_view part) {
  std::string name;
  name.reserve(part.size());
  for (size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '%' && i + 2 < part.size() && detail::HexValue(part[i + 1]) >= 0 &&
        detail::HexValue(part[i + 2]) >= 0) {
      name += static_cast<char>(detail::HexValue(part[i + 1]) * 16 + detail::HexValue(part[i + 2]));
      i += 2;
    } else {
      name += part[i];
    }
  }
  return name;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string UserCacheFolderOf(std::string_view cache_folder) { return JoinPath(cache_folder, "user"); }
std::string ClanCacheFolderOf(std::string_view cache_folder) { return JoinPath(cache_folder, "clan"); }
std::string IndexFolderOf(std::string_view user_or_clan_folder) { return JoinPath(user_or_clan_folder, "index"); }

std::string EntityFolderOf(std::string_view user_or_clan_folder, std::string_view id) {
  return JoinPath(user_or_clan_folder, CacheNamePart(id));
}

std::string IndexFileName(std::string_view name, std::string_view id) {
  return CacheNamePart(name) + "=" + CacheNamePart(id) + ".id";
}

std::string IndexMaskByName(std::string_view name) { return CacheNamePart(name) + "=*.id"; }
std::string IndexMaskById(std::string_view id) { return "*=" + CacheNamePart(id) + ".id"; }

std::string SnapshotFileName(DateTime date) { return FormatDateTime("yyyy-mm-dd", date) + ".json"; }

// ---- file primitives ----------------------------------------------------------

std::string ReadTextFile(const std::string& path, std::string_view default_text) {
  DebugLog("Чтение файла: " + path);
  if (!detail::IsRegularFile(path)) {
    DebugLog("ОШИБКА: Файл не найден!");
    return std::string(default_text);
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::string content;
  bool ok = file != nullptr;
  if (ok) {
    // Read straight into the text, sized by the file's length plus one byte, so
    // that the first short read tells the end; a file that grew meanwhile is
    // read on in steps.
    struct stat info;
    const size_t size = fstat(fileno(file), &info) == 0 && info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0;
    constexpr size_t kStep = 65536;
    content.resize(size + 1);
    size_t length = 0;
    for (;;) {
      length += std::fread(content.data() + length, 1, content.size() - length, file);
      if (length < content.size()) break;
      content.resize(content.size() + kStep);
    }
    content.resize(length);
    ok = std::ferror(file) == 0;
    std::fclose(file);
  }
  if (!ok) {
    DebugLog("ОШИБКА: Не удалось прочитать файл!");
    return std::string(default_text);
  }
  return content;
}

bool WriteTextFile(std::string_view text, const std::string& path) {
  DebugLog("Запись файла: " + path);
  std::string folder = detail::ParentFolder(path);
  if (!folder.empty() && !detail::IsDirectory(folder) && mkdir(folder.c_str(), 0777) != 0) {
    DebugLog("ОШИБКА: Не удалось создавть папку!");
    return false;
  }
  if (!detail::ReplaceFileContent(text, path)) {
    DebugLog("ОШИБКА: Не удалось записать файл!");
    return false;
  }
  detail::StampWithProgramClock(path);
  return true;
}

int RemoveStaleTemporaryFiles(std::string_view cache_folder, int older_than_minutes) {
  const time_t limit = time(nullptr) - static_cast<time_t>(older_than_minutes) * 60;
  const std::string root(cache_folder);
  int removed = detail::RemoveStaleIn(root, limit);
  for (const std::string& kind : {UserCacheFolderOf(root), ClanCacheFolderOf(root)}) {
    removed += detail::RemoveStaleIn(kind, limit);
    detail::ForEachEntry(kind, [&](const std::string& name, const struct stat& info) {
      if (S_ISDIR(info.st_mode)) removed += detail::RemoveStaleIn(JoinPath(kind, name), limit);
    });
  }
  return removed;
}

bool RewriteKeepingDate(std::string_view text, const std::string& path) {
  struct stat old_file;
  bool had_date = stat(path.c_str(), &old_file) == 0;
  if (!WriteTextFile(text, path)) return false;
  if (had_date) detail::SetModificationTime(path, old_file.st_mtim);
  return true;
}

DateTime FileDate(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return 0.0;
  return UnixToLocalDateTime(info.st_mtime);
}

bool SetFileDate(const std::string& path, DateTime date) {
  struct timespec instant;
  return detail::InstantOf(date, instant) && detail::SetModificationTime(path, instant);
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  return detail::MatchesLowerCaseMask(LowerCase(name), LowerCase(mask));
}

NewestFileResult NewestFile(std::string_view folder, std::string_view mask) {
  const detail::FolderEntry* newest = nullptr;
  std::vector<detail::FolderEntry> entries = detail::MatchingFilesOf(folder, mask, true);
  for (const auto& entry : entries) {
    if (newest == nullptr || entry.modified > newest->modified) newest = &entry;
  }
  if (newest == nullptr) return {};
  return {newest->name, UnixToLocalDateTime(newest->modified)};
}

std::string NewestFileName(std::string_view folder, std::string_view mask) { return NewestFile(folder, mask).name; }

std::vector<DateTime> ListSnapshotDates(std::string_view folder) {
  std::vector<DateTime> dates;
  for (const auto& entry : detail::MatchingFilesOf(folder, kSnapshotMask, false)) {
    std::string_view stem = std::string_view(entry.name).substr(0, entry.name.rfind('.'));
    DateTime date;
    if (detail::DateOfSnapshotName(stem, date)) dates.push_back(date);
  }
  std::stable_sort(dates.begin(), dates.end(), [](DateTime a, DateTime b) { return a > b; });
  return dates;
}

// ---- freshness --------------------------------------------------------------

bool IsFresh(DateTime date, int limit_minutes) {
  long long milliseconds = std::llround(std::fabs(Now() - date) * 86400000.0);
  return milliseconds < static_cast<long long>(limit_minutes) * 60000LL;
}

CachedFile FindCachedFile(std::string_view folder, std::string_view mask, int limit_minutes, bool update_requested) {
  if (update_requested) return {};
  NewestFileResult newest = NewestFile(folder, mask);
  if (newest.name.empty()) return {};
  return {JoinPath(folder, newest.name), newest.date, IsFresh(newest.date, limit_minutes)};
}

CachedFile NewestStoredFile(std::string_view folder, std::string_view mask) {
  const NewestFileResult newest = NewestFile(folder, mask);
  if (newest.name.empty()) return {};
  return {JoinPath(folder, newest.name), newest.date, true};
}

// ---- saving -------------------------------------------------------------------

bool IsDecimalId(std::string_view id) {
  return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string SaveFailureMessage(std::string_view path) { return std::string(kSaveMessage) + EscapeHtml(path); }

std::string PrepareCacheFolder(std::string_view cache_root, std::string_view folder) {
  std::string root(cache_root), target(folder);
  if (!detail::IsDirectory(root)) return std::string(kFolderMessage) + EscapeHtml(root);
  if (!detail::IsDirectory(target) && mkdir(target.c_str(), 0777) != 0) {
    return std::string(kFolderMessage) + EscapeHtml(target);
  }
  return {};
}

SnapshotClock CurrentSnapshotClock() {
  // Whole hours east of UTC, halves rounded to even.
  int zone_hours = static_cast<int>(std::nearbyint(-StandardTimeBiasMinutes() / 60.0));
  return {Now(), Today(), zone_hours};
}

std::vector<DateTime> PlanSnapshotDates(const AccountSnapshotFacts& facts, const SnapshotClock& clock,
                                        const std::function<bool(DateTime)>& exists) {
  using detail::DayOf;
  std::vector<DateTime> planned;
  auto is_there = [&](DateTime date) {
    for (DateTime done : planned) {
      if (DayOf(done) == DayOf(date)) return true;
    }
    return exists(date);
  };
  const double zone = clock.zone_hours / 24.0;
  const DateTime today = DayOf(clock.today);
  const DateTime yesterday = today - 1;
  // A last battle no calendar can hold, or one days ahead of the clock, names
  // no file: it is taken as no battle at all.
  const bool sane = std::isfinite(facts.last_battle) && facts.last_battle >= 0 && facts.last_battle <= clock.now + 2;
  DateTime last = sane ? facts.last_battle : 0.0;
  DateTime last_day = DayOf(last);

  // Battle counts that do not add up: a stored day is not overwritten with
  // them; they go under the current UTC time instead.
  if (facts.fewer_battles_than_vehicles && today - zone > last_day && is_there(last)) {
    last = clock.now - zone;
    last_day = DayOf(last);
  }
  // Nothing new since a stored day (or never played): the data become yesterday's.
  if (yesterday > last_day && (is_there(last) || DecodeDateTime(last).year <= 1990)) {
    planned.push_back(yesterday);
    return planned;
  }
  planned.push_back(last);
  // A player idle since before yesterday still gets yesterday's file as a base.
  if (today > last_day && !is_there(yesterday)) planned.push_back(yesterday);
  return planned;
}

std::vector<std::string> SaveAccountSnapshot(std::string_view text, const AccountSnapshotFacts& facts,
                                             std::string_view account_folder, const SnapshotClock& clock) {
  auto path_of = [&](DateTime date) { return JoinPath(account_folder, SnapshotFileName(date)); };
  auto exists = [&](DateTime date) { return detail::IsRegularFile(path_of(date)); };
  std::vector<std::string> messages;
  for (DateTime date : PlanSnapshotDates(facts, clock, exists)) {
    std::string path = path_of(date);
    if (!WriteTextFile(text, path)) messages.push_back(SaveFailureMessage(path));
  }
  return messages;
}

}  // namespace tarvelo
