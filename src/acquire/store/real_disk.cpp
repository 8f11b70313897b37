#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "acquire/store/disk.h"

namespace tarvelo {

namespace {

constexpr std::string_view kTemporaryName = ".tarvelo-XXXXXX";

FileTime TimeOf(const struct timespec& instant) {
  return FileTime(std::chrono::seconds(instant.tv_sec) + std::chrono::nanoseconds(instant.tv_nsec));
}

struct timespec InstantOf(FileTime time) {
  const auto since = time.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
  struct timespec instant {};
  instant.tv_sec = static_cast<time_t>(seconds.count());
  instant.tv_nsec = static_cast<long>((since - seconds).count());
  return instant;
}

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kFile;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  return FileKind::kOther;
}

std::optional<FileFacts> FactsOf(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return std::nullopt;
  FileFacts facts;
  if (S_ISLNK(info.st_mode)) {
    facts.link = true;
    if (stat(path.c_str(), &info) != 0) return facts;  // a link to nothing
  }
  facts.kind = KindOf(info.st_mode);
  facts.modified = TimeOf(info.st_mtim);
  if (facts.kind == FileKind::kFile) facts.size = static_cast<uint64_t>(info.st_size);
  return facts;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool WriteWhole(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A renamed file keeps its new name through a power cut only once its folder is on disk.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool SetModificationTime(const std::string& path, const struct timespec& instant) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = instant;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

class RealDisk final : public Disk {
 public:
  explicit RealDisk(Clock clock) : clock_(std::move(clock)) {}

  std::optional<std::string> Read(const std::string& path) const override {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
      std::fclose(file);
      return std::nullopt;
    }
    // Read straight into the text, sized by the file's length plus one byte, so
    // that the first short read tells the end; a file that grew meanwhile is
    // read on in steps.
    constexpr size_t kStep = 65536;
    std::string content(info.st_size > 0 ? static_cast<size_t>(info.st_size) + 1 : 1, '\0');
    size_t length = 0;
    for (;;) {
      length += std::fread(content.data() + length, 1, content.size() - length, file);
      if (length < content.size()) break;
      content.resize(content.size() + kStep);
    }
    content.resize(length);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok) return std::nullopt;
    return content;
  }

  bool Write(const std::string& path, std::string_view text) override {
    const std::string folder = ParentFolder(path);
    std::string temp = folder.empty() ? std::string(kTemporaryName) : Joined(folder, std::string(kTemporaryName));
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat old_file {};
    const mode_t mode = stat(path.c_str(), &old_file) == 0 ? (old_file.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0 && WriteWhole(fd, text) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
      unlink(temp.c_str());
      return false;
    }
    SyncFolder(folder);
    StampWithClock(path);
    return true;
  }

  std::vector<FolderEntry> List(const std::string& folder, Listing listing) const override {
    std::vector<FolderEntry> entries;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return entries;
    while (struct dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      // The listing itself tells the kind of most entries; a time needs a look at each.
      if (listing == Listing::kKinds && (entry->d_type == DT_REG || entry->d_type == DT_DIR)) {
        const FileKind kind = entry->d_type == DT_REG ? FileKind::kFile : FileKind::kFolder;
        entries.push_back({std::move(name), {kind, {}, false}});
        continue;
      }
      std::optional<FileFacts> facts = FactsOf(Joined(folder, name));
      if (!facts) continue;
      if (listing == Listing::kKinds) facts->modified = {};
      entries.push_back({std::move(name), *facts});
    }
    closedir(dir);
    return entries;
  }

  std::optional<FileFacts> Facts(const std::string& path) const override { return FactsOf(path); }

  bool SetModified(const std::string& path, FileTime time) override {
    return SetModificationTime(path, InstantOf(time));
  }

  bool Remove(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool Rename(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0;
  }

  bool MakeFolder(const std::string& path, bool private_folder) override {
    if (IsFolder(path)) return true;
    mkdir(path.c_str(), private_folder ? 0700 : 0777);
    return IsFolder(path);
  }

  bool CopyPermissions(const std::string& model, const std::string& path) override {
    struct stat info {};
    return stat(model.c_str(), &info) == 0 && chmod(path.c_str(), info.st_mode & 07777) == 0;
  }

  bool Writable(const std::string& path) const override { return access(path.c_str(), W_OK) == 0; }

 private:
  // With the real clock the system's own date already agrees and is left alone.
  void StampWithClock(const std::string& path) {
    if (!clock_) return;
    const std::optional<FileTime> now = FileTimeOf(clock_());
    const std::optional<FileFacts> facts = FactsOf(path);
    if (!now || !facts) return;
    if (std::chrono::abs(facts->modified - *now) > std::chrono::seconds(2)) SetModified(path, *now);
  }

  Clock clock_;
};

}  // namespace

bool Disk::MakeFolders(const std::string& path, bool private_folder) {
  if (path.empty() || IsFolder(path)) return !path.empty();
  const std::string parent = ParentFolder(path);
  if (!parent.empty() && parent != path && !MakeFolders(parent, private_folder)) return false;
  return MakeFolder(path, private_folder);
}

bool Disk::IsFile(const std::string& path) const {
  const std::optional<FileFacts> facts = Facts(path);
  return facts && facts->kind == FileKind::kFile;
}

bool Disk::IsFolder(const std::string& path) const {
  const std::optional<FileFacts> facts = Facts(path);
  return facts && facts->kind == FileKind::kFolder;
}

DateTime Disk::ModifiedDate(const std::string& path) const {
  const std::optional<FileFacts> facts = Facts(path);
  return facts ? LocalDateOf(facts->modified) : 0.0;
}

std::unique_ptr<Disk> MakeRealDisk(Clock clock) { return std::make_unique<RealDisk>(std::move(clock)); }

std::optional<FileTime> FileTimeOf(DateTime local) {
  if (!std::isfinite(local)) return std::nullopt;
  const DateParts parts = DecodeDateTime(local);
  struct tm fields = {};
  fields.tm_year = parts.year - 1900;
  fields.tm_mon = parts.month - 1;
  fields.tm_mday = parts.day;
  fields.tm_hour = parts.hour;
  fields.tm_min = parts.minute;
  fields.tm_sec = parts.second;
  fields.tm_isdst = -1;
  const time_t seconds = mktime(&fields);
  if (seconds == static_cast<time_t>(-1)) return std::nullopt;
  return FileTime(std::chrono::seconds(seconds) + std::chrono::milliseconds(parts.millisecond));
}

DateTime LocalDateOf(FileTime time) {
  return UnixToLocalDateTime(std::chrono::floor<std::chrono::seconds>(time.time_since_epoch()).count());
}

std::string ParentFolder(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace tarvelo
