// The per-user settings: one INI file, group [Tarvelo] for the values of the program
// itself and a group of its own name for each section ([MainWindow], [Favorites],
// [Recent], [Hosts]). Every access opens and closes the file on its own; a missing or
// unreadable file reads as defaults and a write never leaves a half-written file.
#pragma once

#include <string>
#include <string_view>

#include "acquire/store/disk.h"

namespace tarvelo {

class SettingsStore {
 public:
  SettingsStore(Disk& disk, std::string file) : disk_(&disk), file_(std::move(file)) {}

  const std::string& file() const { return file_; }

  // An empty section names the program's own group.
  int ReadSettingInt(std::string_view section, std::string_view name, int default_value) const;
  std::string ReadSettingStr(std::string_view section, std::string_view name,
                             std::string_view default_value) const;  // trimmed
  double ReadSettingReal(std::string_view section, std::string_view name, double default_value) const;

  bool WriteSettingInt(std::string_view section, std::string_view name, int value) const;
  bool WriteSettingStr(std::string_view section, std::string_view name, std::string_view value) const;
  bool WriteSettingReal(std::string_view section, std::string_view name, double value) const;

  void DeleteSetting(std::string_view section, std::string_view name) const;

 private:
  Disk* disk_;
  std::string file_;
};

}  // namespace tarvelo
