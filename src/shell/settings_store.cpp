#include "shell/settings_store.h"

#include <glib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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

// The text as INI; nothing when it cannot be read as one.
std::optional<KeyFile> Parsed(std::string_view text) {
  KeyFile key_file(g_key_file_new());
  if (!g_key_file_load_from_data(key_file.get(), text.data(), text.size(), G_KEY_FILE_NONE, nullptr)) {
    return std::nullopt;
  }
  return key_file;
}

// The file as it is now; nothing when it is missing or cannot be read as INI text.
std::optional<KeyFile> LoadFile(const Disk& disk, const std::string& file) {
  const std::optional<std::string> text = disk.Read(file);
  if (!text) return std::nullopt;
  return Parsed(*text);
}


// The file's lines, edited in place: a changed value keeps its line, a new one goes
// after the last value of its group (a new group at the end), and every other line,
// comments and blank lines included, stays as it was.
class IniLines {
 public:
  explicit IniLines(std::string_view text) {
    for (size_t start = 0; start < text.size();) {
      const size_t end = std::min(text.find('\n', start), text.size());
      lines_.emplace_back(text.substr(start, end - start));
      start = end + 1;
    }
  }

  std::string Text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\n";
    return text;
  }

  void Set(const std::string& group, const std::string& key, const std::string& raw_value) {
    const std::string line = key + "=" + raw_value;
    const auto [first, end] = GroupRange(group);
    if (first == std::string::npos) {
      if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
      lines_.push_back("[" + group + "]");
      lines_.push_back(line);
      return;
    }
    size_t last_value = first;
    for (size_t i = first + 1; i < end; ++i) {
      if (KeyOf(lines_[i]) == key) {
        lines_[i] = line;
        return;
      }
      if (!KeyOf(lines_[i]).empty()) last_value = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last_value + 1), line);
  }

  bool Remove(const std::string& group, const std::string& key) {
    const auto [first, end] = GroupRange(group);
    for (size_t i = first == std::string::npos ? end : first + 1; i < end; ++i) {
      if (KeyOf(lines_[i]) != key) continue;
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
    return false;
  }

 private:
  static std::string GroupOf(std::string_view line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return {};
    return trimmed.substr(1, trimmed.size() - 2);
  }

  static std::string KeyOf(std::string_view line) {
    const std::string trimmed = Trim(line);
    const size_t equals = trimmed.find('=');
    if (trimmed.empty() || trimmed.front() == '#' || equals == std::string::npos) return {};
    return Trim(std::string_view(trimmed).substr(0, equals));
  }

  // The group's heading line and the end of its lines; npos and the file's end when absent.
  std::pair<size_t, size_t> GroupRange(const std::string& group) const {
    size_t first = std::string::npos;
    for (size_t i = 0; i < lines_.size(); ++i) {
      const std::string name = GroupOf(lines_[i]);
      if (name.empty()) continue;
      if (first != std::string::npos) return {first, i};
      if (name == group) first = i;
    }
    return {first, lines_.size()};
  }

  std::vector<std::string> lines_;
};

// The value as the INI file holds it, escaped the way GKeyFile reads it back.
std::string RawValue(const std::function<void(GKeyFile*, const char* group, const char* key)>& set) {
  KeyFile key_file(g_key_file_new());
  set(key_file.get(), "g", "k");
  gchar* raw = g_key_file_get_value(key_file.get(), "g", "k", nullptr);
  std::string value = raw ? raw : "";
  g_free(raw);
  return value;
}

// Runs `change` on the file's lines and writes the result to a new file that then
// replaces the old one. A file that exists but cannot be read is left alone.
bool ChangeFile(Disk& disk, const std::string& file, const std::function<bool(IniLines&)>& change) {
  std::string text;
  if (disk.Facts(file)) {
    std::optional<std::string> contents = disk.Read(file);
    if (!contents || !Parsed(*contents)) return false;
    text = std::move(*contents);
  }
  IniLines lines(text);
  if (!change(lines)) return true;
  // The folders made for the settings are kept to this user.
  const std::string folder = ParentFolder(file);
  return (folder.empty() || disk.MakeFolders(folder, true)) && disk.Write(file, lines.Text());
}

bool SetValue(Disk& disk, const std::string& file, std::string_view section, std::string_view name,
              const std::function<void(GKeyFile*, const char*, const char*)>& set) {
  const std::string raw = RawValue(set);
  return ChangeFile(disk, file, [&](IniLines& lines) {
    lines.Set(GroupName(section), std::string(name), raw);
    return true;
  });
}

template <typename T, typename Getter>
T ReadValue(const Disk& disk, const std::string& file, std::string_view section, std::string_view name,
            T default_value, Getter getter) {
  auto key_file = LoadFile(disk, file);
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
  return ReadValue<int>(*disk_, file_, section, name, default_value, g_key_file_get_integer);
}

double SettingsStore::ReadSettingReal(std::string_view section, std::string_view name,
                                      double default_value) const {
  return ReadValue<double>(*disk_, file_, section, name, default_value, g_key_file_get_double);
}

std::string SettingsStore::ReadSettingStr(std::string_view section, std::string_view name,
                                          std::string_view default_value) const {
  auto key_file = LoadFile(*disk_, file_);
  if (!key_file) return std::string(default_value);
  gchar* value = g_key_file_get_string(key_file->get(), GroupName(section).c_str(), std::string(name).c_str(),
                                       nullptr);
  if (!value) return std::string(default_value);
  std::string trimmed = Trim(value);
  g_free(value);
  return trimmed;
}

bool SettingsStore::WriteSettingInt(std::string_view section, std::string_view name, int value) const {
  return SetValue(*disk_, file_, section, name, [&](GKeyFile* key_file, const char* group, const char* key) {
    g_key_file_set_integer(key_file, group, key, value);
  });
}

bool SettingsStore::WriteSettingStr(std::string_view section, std::string_view name,
                                    std::string_view value) const {
  return SetValue(*disk_, file_, section, name, [&](GKeyFile* key_file, const char* group, const char* key) {
    g_key_file_set_string(key_file, group, key, std::string(value).c_str());
  });
}

bool SettingsStore::WriteSettingReal(std::string_view section, std::string_view name, double value) const {
  return SetValue(*disk_, file_, section, name, [&](GKeyFile* key_file, const char* group, const char* key) {
    g_key_file_set_double(key_file, group, key, value);
  });
}

void SettingsStore::DeleteSetting(std::string_view section, std::string_view name) const {
  if (!disk_->Facts(file_)) return;
  ChangeFile(*disk_, file_, [&](IniLines& lines) { return lines.Remove(GroupName(section), std::string(name)); });
}

}  // namespace tarvelo
