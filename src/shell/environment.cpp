#include "shell/environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tarvelo {

namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (home.empty()) {
    if (const passwd* entry = getpwuid(getuid())) home = entry->pw_dir;
  }
  return home;
}

std::string UserName() {
  if (const passwd* entry = getpwuid(getuid())) return entry->pw_name;
  return EnvironmentValue("USER");
}

std::string ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

// $XDG_DATA_HOME/tarvelo/, or beside the program for an install that keeps its
// cache there already or is marked portable; TARVELO_HOME overrides both.
std::string DataFolder(const Disk& disk, const std::string& program_folder) {
  std::string home_override = EnvironmentValue("TARVELO_HOME");
  if (!home_override.empty()) return WithSlash(home_override);
  if (!program_folder.empty() &&
      (disk.IsFolder(program_folder + "cache") || disk.Facts(program_folder + "portable"))) {
    return program_folder;
  }
  std::string xdg = EnvironmentValue("XDG_DATA_HOME");
  if (xdg.empty()) xdg = HomeFolder() + "/.local/share";
  return WithSlash(xdg) + "tarvelo/";
}

std::string SettingsFile() {
  std::string xdg = EnvironmentValue("XDG_CONFIG_HOME");
  if (xdg.empty()) xdg = HomeFolder() + "/.config";
  return WithSlash(xdg) + "tarvelo/settings.ini";
}

std::string AppDataFolder() {
  std::string app_data = EnvironmentValue("TARVELO_APPDATA");
  if (!app_data.empty()) return WithSlash(app_data);
  std::string prefix = EnvironmentValue("WINEPREFIX");
  if (prefix.empty()) prefix = HomeFolder() + "/.wine";
  return WithSlash(prefix) + "drive_c/users/" + UserName() + "/AppData/Roaming/";
}

std::string WorkingFolder() {
  std::error_code error;
  auto path = std::filesystem::current_path(error);
  return error ? std::string() : WithSlash(path.string());
}

}  // namespace

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

Environment Environment::OfProcess(const Disk& disk) { return ForExecutable(ExecutablePath(), disk); }

Environment Environment::ForExecutable(std::string executable, const Disk& disk) {
  Environment environment;
  environment.executable = std::move(executable);
  environment.program_folder =
      WithSlash(std::filesystem::path(environment.executable).parent_path().string());
  environment.data_folder = DataFolder(disk, environment.program_folder);
  environment.settings_file = SettingsFile();
  environment.app_data_folder = AppDataFolder();
  environment.working_folder = WorkingFolder();
  return environment;
}

}  // namespace tarvelo
