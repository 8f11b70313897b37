// A temporary folder per test and a fixed program clock, for the cache tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "acquire/fake_http_getter.h"
#include "acquire/loader_context.h"
#include "acquire/messages.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "disk_support.h"
#include "text/debug_log.h"

namespace tarvelo::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-cache-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return JoinPath(path_, name); }

 private:
  std::string path_;
};

// Fixes the program clock (local time, Moscow) for the life of the object.
class FixedClock {
 public:
  explicit FixedClock(const char* local_now) {
    setenv("TARVELO_NOW", local_now, 1);
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
  }
  ~FixedClock() { unsetenv("TARVELO_NOW"); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
};

// Keeps the process-wide debug log switched on and empty for one test.
class CapturedLog {
 public:
  CapturedLog() : was_enabled_(DebugEnabled()) {
    SetDebugEnabled(true);
    ClearDebugLog();
  }
  ~CapturedLog() {
    ClearDebugLog();
    SetDebugEnabled(was_enabled_);
  }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  bool Has(std::string_view line) const { return DebugLogText().find(line) != std::string::npos; }
  size_t Count(std::string_view line) const {
    std::string log = DebugLogText();
    size_t count = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
    return count;
  }

 private:
  bool was_enabled_;
};

// The messages in the form of the page's paragraphs ("<p class=\"r\">…</p>"),
// the form the expected texts of the loader tests are written in.
inline std::string Paragraphs(const LoaderMessages& messages) {
  std::string text;
  for (const LoaderMessage& message : messages) {
    const char* css = message.severity == Severity::kError ? " class=\"r\"" : message.severity == Severity::kWarning ? " class=\"g\"" : "";
    text += std::string("<p") + css + ">" + message.text;
    if (!message.details_url.empty()) text += " Подробности <a href=\"" + message.details_url + "\" target=\"_blank\">здесь</a>.";
    text += "</p>\r\n";
  }
  return text;
}

inline void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// What the loader, side-source and clan tests start from: a fake network, an
// empty cache in a scratch folder, and a loader context wired to both, with the
// clock TARVELO_NOW fixes and the application id "APP".
class FakeNetworkTest : public ::testing::Test {
 protected:
  FakeNetworkTest() {
    context_.fetch = &fetch_;
    context_.disk = &TestDisk();
    context_.clock = TestClock();
    context_.urls.application_id = "APP";
    UseCache(cache_);
  }

  // Points the loaders at an empty cache in `cache`.
  void UseCache(const TempFolder& cache) {
    context_.user_cache_folder = UserCacheFolderOf(cache.path());
    context_.clan_cache_folder = ClanCacheFolderOf(cache.path());
    PrepareCacheFolder(TestDisk(), cache.path(), context_.user_cache_folder);
    PrepareCacheFolder(TestDisk(), cache.path(), context_.clan_cache_folder);
  }

  TempFolder cache_;
  FakeHttpGetter getter_;
  HttpFetch fetch_{getter_};
  LoaderContext context_;
};

// Names in a folder, sorted.
inline std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline ino_t InodeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_ino;
}

}  // namespace tarvelo::testing
