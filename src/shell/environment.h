// Where the program finds its files: its own folder, the data folder for the cache and
// images, the settings file and the game client's application-data folder.
#pragma once

#include <string>

#include "acquire/store/disk.h"

namespace tarvelo {

struct Environment {
  std::string executable;       // full path of the running program
  std::string program_folder;   // its folder, ending in "/"
  // Holds "cache" and "images", ending in "/": $TARVELO_HOME, else the program folder
  // when a "cache" folder or a "portable" file is there, else $XDG_DATA_HOME/tarvelo/.
  std::string data_folder;
  std::string settings_file;    // the INI file of the settings store
  std::string app_data_folder;  // the game client's roaming application data, ending in "/"
  std::string working_folder;   // the current folder, ending in "/"

  // The environment of this process: /proc/self/exe, TARVELO_HOME, XDG_DATA_HOME,
  // XDG_CONFIG_HOME, TARVELO_APPDATA, WINEPREFIX and HOME.
  static Environment OfProcess(const Disk& disk);
  // The same for the program file `executable`.
  static Environment ForExecutable(std::string executable, const Disk& disk);
};

// `folder` with a trailing "/" added when missing.
std::string WithSlash(std::string folder);

}  // namespace tarvelo
