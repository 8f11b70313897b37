#include "shell/settings_store.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <functional>
#include <memory>
#include <optional>

#include "text/encoding.h"

namespace tarvelo {

namespace {

constexpr const char* kProgramGroup = "Tarvelo";

struct KeyFileDeleter {
  void operator()(GKeyFile* key_file) const { g_key_file_free(key_file); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileDeleter>;

std::string GroupName(std::string_view section) {
  return section.empty() ? std::string(kProgramGroup) : std::string(section);
}

// The file as it is now; nothing when it is missing or cannot be read as INI text.
std::optional<KeyFile> LoadFile(const std::string& file, GKeyFileFlags flags) {
  KeyFile key_file(g_key_file_new());
  if (!g_key_file_load_from_file(key_file.get(), file.c_str(), flags, nullptr)) return std::nullopt;
  return key_file;
}

// Runs `change` on the file's content and writes the result to a new file that then
// replaces the old one. A file that exists but cannot be read is left alone.
bool ChangeFile(const std::string& file, const std::function<bool(GKeyFile*)>& change) {
  KeyFile key_file;
  if (g_file_test(file.c_str(), G_FILE_TEST_EXISTS)) {
    auto loaded = LoadFile(file, GKeyFileFlags(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS));
    if (!loaded) return false;
    key_file = std::move(*loaded);
  } else {
    key_file.reset(g_key_file_new());
  }
  if (!change(key_file.get())) return true;

  gchar* folder = g_path_get_dirname(file.c_str());
  bool folder_ready = g_mkdir_with_parents(folder, 0700) == 0;
  g_free(folder);
  if (!folder_ready) return false;

  gsize length = 0;
  gchar* data = g_key_file_to_data(key_file.get(), &length, nullptr);
  bool written = data && g_file_set_contents(file.c_str(), data, static_cast<gssize>(length), nullptr);
  g_free(data);
  return written;
}

template <typename T, typename Getter>
T ReadValue(const std::string& file, std::string_view section, std::string_view name, T default_value,
            Getter getter) {
  auto key_file = LoadFile(file, G_KEY_FILE_NONE);
  if (!key_file) return default_value;
  GError* error = nullptr;
  T value = getter(key_file->get(), GroupName(section).c_str(), std::string(name).c_str(), &error);
  if (error) {
    g_error_free(error);
    return default_value;
  }
  return value;
}

}  // namespace

int SettingsStore::ReadSettingInt(std::string_view section, std::string_view name, int default_value) const {
  return ReadValue<int>(file_, section, name, default_value, g_key_file_get_integer);
}

double SettingsStore::ReadSettingReal(std::string_view section, std::string_view name,
                                      double default_value) const {
  return ReadValue<double>(file_, section, name, default_value, g_key_file_get_double);
}

std::string SettingsStore::ReadSettingStr(std::string_view section, std::string_view name,
                                          std::string_view default_value) const {
  auto key_file = LoadFile(file_, G_KEY_FILE_NONE);
  if (!key_file) return std::string(default_value);
  gchar* value = g_key_file_get_string(key_file->get(), GroupName(section).c_str(), std::string(name).c_str(),
                                       nullptr);
  if (!value) return std::string(default_value);
  std::string trimmed = Trim(value);
  g_free(value);
  return trimmed;
}

bool SettingsStore::WriteSettingInt(std::string_view section, std::string_view name, int value) const {
  return ChangeFile(file_, [&](GKeyFile* key_file) {
    g_key_file_set_integer(key_file, GroupName(section).c_str(), std::string(name).c_str(), value);
    return true;
  });
}

bool SettingsStore::WriteSettingStr(std::string_view section, std::string_view name,
                                    std::string_view value) const {
  return ChangeFile(file_, [&](GKeyFile* key_file) {
    g_key_file_set_string(key_file, GroupName(section).c_str(), std::string(name).c_str(),
                          std::string(value).c_str());
    return true;
  });
}

bool SettingsStore::WriteSettingReal(std::string_view section, std::string_view name, double value) const {
  return ChangeFile(file_, [&](GKeyFile* key_file) {
    g_key_file_set_double(key_file, GroupName(section).c_str(), std::string(name).c_str(), value);
    return true;
  });
}

void SettingsStore::DeleteSetting(std::string_view section, std::string_view name) const {
  if (!g_file_test(file_.c_str(), G_FILE_TEST_EXISTS)) return;
  ChangeFile(file_, [&](GKeyFile* key_file) {
    return g_key_file_remove_key(key_file, GroupName(section).c_str(), std::string(name).c_str(), nullptr) != 0;
  });
}

}  // namespace tarvelo
