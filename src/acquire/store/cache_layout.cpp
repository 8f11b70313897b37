#include "acquire/store/cache_layout.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "text/encoding.h"

namespace tarvelo {

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

bool MatchesLowerCaseMask(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && mask[m] == '?') {
      n = NextCharacter(name, n);
      ++m;
    } else if (m < mask.size() && mask[m] == name[n]) {
      ++n;
      ++m;
    } else if (star != std::string::npos) {
      m = star + 1;
      resume = NextCharacter(name, resume);
      n = resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// The files of a folder whose names match `mask`, in byte order of their names.
// Only the matching names are looked at for their times.
std::vector<FolderEntry> MatchingFiles(const Disk& disk, std::string_view folder, std::string_view mask,
                                       Listing listing) {
  const std::string lower_mask = LowerCase(mask);
  std::vector<FolderEntry> entries = disk.List(std::string(folder), Listing::kKinds);
  std::erase_if(entries, [&](const FolderEntry& entry) {
    return entry.facts.kind != FileKind::kFile || !MatchesLowerCaseMask(LowerCase(entry.name), lower_mask);
  });
  if (listing == Listing::kKindsAndTimes) {
    for (FolderEntry& entry : entries) {
      const std::optional<FileFacts> facts = disk.Facts(JoinPath(folder, entry.name));
      if (facts) entry.facts.modified = facts->modified;
    }
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

std::chrono::seconds WholeSeconds(FileTime time) {
  return std::chrono::floor<std::chrono::seconds>(time.time_since_epoch());
}

}  // namespace

// ---- names and paths ----------------------------------------------------------

std::string CacheNamePart(std::string_view name) {
  std::string part;
  if (name == "." || name == "..") {
    for (char c : name) AppendEscaped(c, part);
    return part;
  }
  part.reserve(name.size());
  for (char c : name) {
    if (NeedsEscape(c)) {
      AppendEscaped(c, part);
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
    if (part[i] == '%' && i + 2 < part.size() && HexValue(part[i + 1]) >= 0 && HexValue(part[i + 2]) >= 0) {
      name += static_cast<char>(HexValue(part[i + 1]) * 16 + HexValue(part[i + 2]));
      i += 2;
    } else {
      name += part[i];
    }
  }
  return name;
}

bool IsDecimalId(std::string_view id) { return IsDigits(id); }

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

// ---- listings -------------------------------------------------------------------

bool MatchesMask(std::string_view name, std::string_view mask) {
  return MatchesLowerCaseMask(LowerCase(name), LowerCase(mask));
}

NewestFileResult NewestFile(const Disk& disk, std::string_view folder, std::string_view mask) {
  const FolderEntry* newest = nullptr;
  const std::vector<FolderEntry> entries = MatchingFiles(disk, folder, mask, Listing::kKindsAndTimes);
  for (const FolderEntry& entry : entries) {
    if (newest == nullptr || WholeSeconds(entry.facts.modified) > WholeSeconds(newest->facts.modified)) {
      newest = &entry;
    }
  }
  if (newest == nullptr) return {};
  return {newest->name, LocalDateOf(newest->facts.modified)};
}

std::vector<DateTime> ListSnapshotDates(const Disk& disk, std::string_view folder) {
  std::vector<DateTime> dates;
  for (const FolderEntry& entry : MatchingFiles(disk, folder, kSnapshotMask, Listing::kKinds)) {
    const std::string_view stem = std::string_view(entry.name).substr(0, entry.name.rfind('.'));
    DateTime date;
    if (DateOfSnapshotName(stem, date)) dates.push_back(date);
  }
  std::stable_sort(dates.begin(), dates.end(), [](DateTime a, DateTime b) { return a > b; });
  return dates;
}

// ---- freshness --------------------------------------------------------------

bool IsFresh(DateTime date, int limit_minutes, DateTime now) {
  long long milliseconds = std::llround(std::fabs(now - date) * 86400000.0);
  return milliseconds < static_cast<long long>(limit_minutes) * 60000LL;
}

CachedFile FindCachedFile(const Disk& disk, std::string_view folder, std::string_view mask, int limit_minutes,
                          bool update_requested, DateTime now) {
  if (update_requested) return {};
  NewestFileResult newest = NewestFile(disk, folder, mask);
  if (newest.name.empty()) return {};
  return {JoinPath(folder, newest.name), newest.date, IsFresh(newest.date, limit_minutes, now)};
}

CachedFile NewestStoredFile(const Disk& disk, std::string_view folder, std::string_view mask) {
  const NewestFileResult newest = NewestFile(disk, folder, mask);
  if (newest.name.empty()) return {};
  return {JoinPath(folder, newest.name), newest.date, true};
}

}  // namespace tarvelo
