#include "acquire/memory_disk.h"

namespace tarvelo::testing {

namespace {

std::string NameIn(const std::string& folder, const std::string& path) {
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  if (!path.starts_with(prefix) || path.size() == prefix.size()) return {};
  const std::string rest = path.substr(prefix.size());
  return rest.find('/') == std::string::npos ? rest : std::string();
}

}  // namespace

FileTime MemoryDisk::NowTime() const { return FileTimeOf(now_).value_or(FileTime{}); }

std::optional<std::string> MemoryDisk::Read(const std::string& path) const {
  const std::lock_guard lock(mutex_);
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second.text;
}

bool MemoryDisk::Write(const std::string& path, std::string_view text) {
  const std::lock_guard lock(mutex_);
  if (fail_writes_ || !folders_.contains(ParentFolder(path)) || folders_.contains(path)) return false;
  files_[path] = {std::string(text), NowTime()};
  ++writes_;
  return true;
}

std::vector<FolderEntry> MemoryDisk::List(const std::string& folder, Listing listing) const {
  const std::lock_guard lock(mutex_);
  std::vector<FolderEntry> entries;
  if (!folders_.contains(folder)) return entries;
  for (const auto& [path, file] : files_) {
    const std::string name = NameIn(folder, path);
    if (name.empty()) continue;
    entries.push_back({name, {FileKind::kFile, listing == Listing::kKinds ? FileTime{} : file.modified, false}});
  }
  for (const std::string& path : folders_) {
    const std::string name = NameIn(folder, path);
    if (!name.empty()) entries.push_back({name, {FileKind::kFolder, {}, false}});
  }
  return entries;
}

std::optional<FileFacts> MemoryDisk::Facts(const std::string& path) const {
  const std::lock_guard lock(mutex_);
  if (const auto found = files_.find(path); found != files_.end()) {
    return FileFacts{FileKind::kFile, found->second.modified, false, found->second.text.size()};
  }
  if (folders_.contains(path)) return FileFacts{FileKind::kFolder, {}, false};
  return std::nullopt;
}

bool MemoryDisk::SetModified(const std::string& path, FileTime time) {
  const std::lock_guard lock(mutex_);
  const auto found = files_.find(path);
  if (found == files_.end()) return false;
  found->second.modified = time;
  return true;
}

bool MemoryDisk::Remove(const std::string& path) {
  const std::lock_guard lock(mutex_);
  return files_.erase(path) == 1;
}

bool MemoryDisk::Rename(const std::string& from, const std::string& to) {
  const std::lock_guard lock(mutex_);
  const auto found = files_.find(from);
  if (fail_writes_ || found == files_.end() || !folders_.contains(ParentFolder(to))) return false;
  File file = std::move(found->second);
  files_.erase(found);
  files_[to] = std::move(file);
  return true;
}

bool MemoryDisk::MakeFolder(const std::string& path, bool) {
  const std::lock_guard lock(mutex_);
  if (fail_writes_ || !folders_.contains(ParentFolder(path)) || files_.contains(path)) return folders_.contains(path);
  folders_.insert(path);
  return true;
}

bool MemoryDisk::CopyPermissions(const std::string& model, const std::string& path) {
  const std::lock_guard lock(mutex_);
  return files_.contains(model) && files_.contains(path);
}

bool MemoryDisk::Writable(const std::string& path) const { return !fail_writes_ && Facts(path).has_value(); }

std::string MemoryDisk::Text(const std::string& path) const { return Read(path).value_or(""); }

void MemoryDisk::Put(const std::string& path, std::string_view text, DateTime local) {
  const std::lock_guard lock(mutex_);
  for (std::string folder = ParentFolder(path); !folders_.contains(folder); folder = ParentFolder(folder)) {
    folders_.insert(folder);
  }
  files_[path] = {std::string(text), FileTimeOf(local).value_or(FileTime{})};
}

std::vector<std::string> MemoryDisk::Files() const {
  const std::lock_guard lock(mutex_);
  std::vector<std::string> paths;
  for (const auto& [path, file] : files_) paths.push_back(path);
  return paths;
}

}  // namespace tarvelo::testing
