#include "acquire/store/cache_files.h"

#include <algorithm>
#include <cctype>

#include "acquire/store/cache_layout.h"
#include "text/debug_log.h"
#include "text/html_escape.h"

namespace tarvelo {

namespace {

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

int RemoveStaleIn(Disk& disk, const std::string& folder, FileTime limit) {
  int removed = 0;
  for (const FolderEntry& entry : disk.List(folder, Listing::kKindsAndTimes)) {
    const FileFacts& facts = entry.facts;
    if (facts.link || facts.kind != FileKind::kFile || !IsTemporaryName(entry.name) || facts.modified >= limit) continue;
    if (disk.Remove(JoinPath(folder, entry.name))) ++removed;
  }
  return removed;
}

}  // namespace

std::string ReadTextFile(const Disk& disk, const std::string& path, std::string_view default_text) {
  DebugLog("Чтение файла: " + path);
  if (!disk.IsFile(path)) {
    DebugLog("ОШИБКА: Файл не найден!");
    return std::string(default_text);
  }
  std::optional<std::string> content = disk.Read(path);
  if (!content) {
    DebugLog("ОШИБКА: Не удалось прочитать файл!");
    return std::string(default_text);
  }
  return std::move(*content);
}

bool WriteTextFile(Disk& disk, std::string_view text, const std::string& path) {
  DebugLog("Запись файла: " + path);
  const std::string folder = ParentFolder(path);
  if (!folder.empty() && !disk.MakeFolder(folder)) {
    DebugLog("ОШИБКА: Не удалось создавть папку!");
    return false;
  }
  if (!disk.Write(path, text)) {
    DebugLog("ОШИБКА: Не удалось записать файл!");
    return false;
  }
  return true;
}

bool RewriteKeepingDate(Disk& disk, std::string_view text, const std::string& path) {
  const std::optional<FileFacts> old_file = disk.Facts(path);
  if (!WriteTextFile(disk, text, path)) return false;
  if (old_file) disk.SetModified(path, old_file->modified);
  return true;
}

bool SetFileDate(Disk& disk, const std::string& path, DateTime date) {
  const std::optional<FileTime> time = FileTimeOf(date);
  return time && disk.SetModified(path, *time);
}

int RemoveStaleTemporaryFiles(Disk& disk, std::string_view cache_folder, FileTime now, int older_than_minutes) {
  const FileTime limit = now - std::chrono::minutes(older_than_minutes);
  const std::string root(cache_folder);
  int removed = RemoveStaleIn(disk, root, limit);
  for (const std::string& kind : {UserCacheFolderOf(root), ClanCacheFolderOf(root)}) {
    removed += RemoveStaleIn(disk, kind, limit);
    for (const FolderEntry& entry : disk.List(kind, Listing::kKinds)) {
      if (!entry.facts.link && entry.facts.kind == FileKind::kFolder) {
        removed += RemoveStaleIn(disk, JoinPath(kind, entry.name), limit);
      }
    }
  }
  return removed;
}

std::string SaveFailureMessage(std::string_view path) { return std::string(kSaveMessage) + EscapeHtml(path); }

std::string PrepareCacheFolder(Disk& disk, std::string_view cache_root, std::string_view folder) {
  const std::string root(cache_root), target(folder);
  if (!disk.IsFolder(root)) return std::string(kFolderMessage) + EscapeHtml(root);
  if (!disk.MakeFolder(target)) return std::string(kFolderMessage) + EscapeHtml(target);
  return {};
}

}  // namespace tarvelo
