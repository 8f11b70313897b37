// Where the program looks for its files, from the environment and the program's folder.
#include "shell/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

// Sets the variables for its lifetime; an empty value unsets one.
class Variables {
 public:
  explicit Variables(std::vector<std::pair<const char*, std::string>> values) : values_(std::move(values)) {
    for (const auto& [name, value] : values_) {
      if (const char* old = std::getenv(name)) saved_.emplace_back(name, old);
      value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
    }
  }
  ~Variables() {
    for (const auto& [name, value] : values_) unsetenv(name);
    for (const auto& [name, value] : saved_) setenv(name, value.c_str(), 1);
  }

 private:
  std::vector<std::pair<const char*, std::string>> values_;
  std::vector<std::pair<const char*, std::string>> saved_;
};

TEST(EnvironmentTest, DataBesideTheProgramOnlyForOldOrPortableInstallsAndSettingsUnderXdgConfig) {
  const TempFolder temp;
  const std::string& root = temp.path();
  struct Case {
    const char* what;
    std::string home_override, xdg_data, xdg_config, beside;  // beside: "cache/" (a folder) or "portable"
    std::string data_folder, settings_file;
  };
  const Case cases[] = {
      {"XDG", "", root + "/data", root + "/conf", "", root + "/data/tarvelo/", root + "/conf/tarvelo/settings.ini"},
      {"HOME defaults", "", "", "", "", root + "/home/.local/share/tarvelo/", root + "/home/.config/tarvelo/settings.ini"},
      {"a cache folder of an older install", "", root + "/data", "", "cache/", root + "/bin/", ""},
      {"a portable mark", "", root + "/data", "", "portable", root + "/bin/", ""},
      {"TARVELO_HOME over a portable mark", root + "/own", root + "/data", "", "portable", root + "/own/", ""},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(root + "/bin");
    std::filesystem::create_directories(root + "/bin");
    if (c.beside == "cache/") std::filesystem::create_directories(root + "/bin/cache");
    if (c.beside == "portable") WriteText(root + "/bin/portable", "");
    const Variables variables({{"TARVELO_HOME", c.home_override},
                               {"XDG_DATA_HOME", c.xdg_data},
                               {"XDG_CONFIG_HOME", c.xdg_config},
                               {"HOME", root + "/home"}});
    const Environment environment = Environment::ForExecutable(root + "/bin/tarvelo", TestDisk());
    EXPECT_EQ(environment.program_folder, root + "/bin/") << c.what;
    EXPECT_EQ(environment.data_folder, c.data_folder) << c.what;
    if (!c.settings_file.empty()) {
      EXPECT_EQ(environment.settings_file, c.settings_file) << c.what;
    }
  }
}

}  // namespace
}  // namespace tarvelo::testing
