// A disk held in memory, for the tests where a real folder is not the point:
// files and folders by path, dated by a clock the test sets, and writes that
// can be made to fail. Safe to share between threads, as the real one is.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "acquire/store/disk.h"

namespace tarvelo::testing {

class MemoryDisk final : public Disk {
 public:
  // The folders "/" and "" (the working folder) are always there.
  MemoryDisk() = default;

  std::optional<std::string> Read(const std::string& path) const override;
  bool Write(const std::string& path, std::string_view text) override;
  std::vector<FolderEntry> List(const std::string& folder, Listing listing) const override;
  std::optional<FileFacts> Facts(const std::string& path) const override;
  bool SetModified(const std::string& path, FileTime time) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeFolder(const std::string& path, bool private_folder = false) override;
  bool CopyPermissions(const std::string& model, const std::string& path) override;
  bool Writable(const std::string& path) const override;

  // What the disk dates a write with (local date-time); 2016-12-18 12:00 until set.
  void SetNow(DateTime now) { now_ = now; }
  // Every write from now on fails (a full disk), or succeeds again.
  void FailWrites(bool fail) { fail_writes_ = fail; }
  // The file's content, or "" when there is none.
  std::string Text(const std::string& path) const;
  // Puts a file (and the folders above it) in place, dated `local`.
  void Put(const std::string& path, std::string_view text, DateTime local);
  // The paths of all files, sorted.
  std::vector<std::string> Files() const;
  int writes() const { return writes_; }

 private:
  struct File {
    std::string text;
    FileTime modified{};
  };
  FileTime NowTime() const;

  mutable std::recursive_mutex mutex_;
  std::map<std::string, File> files_;
  std::set<std::string> folders_{"", "/"};
  DateTime now_ = EncodeDateTime(2016, 12, 18, 12, 0, 0);
  bool fail_writes_ = false;
  int writes_ = 0;
};

}  // namespace tarvelo::testing
