// The program's one way to its files. Everything the program keeps on disk
// (the cache, the pictures, the settings, the debug log, its own update) is
// read and written through a Disk: RealDisk on the file system, and in tests
// an in-memory one where a real folder is not the point.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/clock.h"

namespace tarvelo {

// A file's modification time: an instant, to the nanosecond.
using FileTime = std::chrono::sys_time<std::chrono::nanoseconds>;

enum class FileKind { kFile, kFolder, kOther };

struct FileFacts {
  FileKind kind = FileKind::kOther;
  FileTime modified{};
  bool link = false;  // the name is a symbolic link; kind and time are those of its target
  uint64_t size = 0;  // of a file, in bytes
};

struct FolderEntry {
  std::string name;
  FileFacts facts;
};

// What a listing tells of each entry: its kind always, its time only when asked for.
enum class Listing { kKinds, kKindsAndTimes };

class Disk {
 public:
  virtual ~Disk() = default;

  // The whole file; nothing when it is not a file or cannot be read.
  virtual std::optional<std::string> Read(const std::string& path) const = 0;
  // Replaces the whole content of `path`, whose folder must exist: the text goes
  // to a temporary file in that folder (".tarvelo-" and six letters or digits)
  // that takes the file's place only when it is completely on disk, so a failed
  // write leaves the previous file as it was. A replaced file keeps its
  // permissions. The file is dated by the disk's clock. True when written.
  virtual bool Write(const std::string& path, std::string_view text) = 0;
  // The entries of a folder but "." and "..", in no particular order; none when
  // it cannot be listed. Without times, `modified` stays zero.
  virtual std::vector<FolderEntry> List(const std::string& folder, Listing listing) const = 0;
  // What is at `path`; nothing when there is nothing.
  virtual std::optional<FileFacts> Facts(const std::string& path) const = 0;
  virtual bool SetModified(const std::string& path, FileTime time) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Moves a file over another (atomically on the real disk).
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Makes one folder level; `private_folder` keeps others out of it. True when
  // the folder is there afterwards.
  virtual bool MakeFolder(const std::string& path, bool private_folder = false) = 0;
  // Gives `path` the permissions of `model`, for a file that replaces another.
  virtual bool CopyPermissions(const std::string& model, const std::string& path) = 0;
  // Whether this user may change the file or folder at `path`.
  virtual bool Writable(const std::string& path) const = 0;

  // MakeFolder for every missing level of `path`; true when it is there afterwards.
  bool MakeFolders(const std::string& path, bool private_folder = false);
  bool IsFile(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  // The modification time as a local date-time (whole seconds); 0 when missing.
  DateTime ModifiedDate(const std::string& path) const;
};

// A file a text was read from and may be written back to; without a disk the
// text is worked on in memory only.
struct FileOnDisk {
  Disk* disk = nullptr;
  std::string path;
  bool present() const { return disk != nullptr && !path.empty(); }
};

// The file system; files written while the clock is fixed (TARVELO_NOW) are
// dated by the clock, so freshness works as with the real one. Without a
// clock files keep the system's dates.
std::unique_ptr<Disk> MakeRealDisk(Clock clock);

// A local date-time as an instant (to the millisecond); nothing when the local
// calendar has no such time.
std::optional<FileTime> FileTimeOf(DateTime local);
// An instant as a local date-time, whole seconds.
DateTime LocalDateOf(FileTime time);

// The folder part of a path ("" for a bare name, "/" for a name at the root).
std::string ParentFolder(std::string_view path);

}  // namespace tarvelo
