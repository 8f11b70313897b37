// Runs a block under a named C locale (LC_ALL) and restores the previous one.
#pragma once

#include <clocale>
#include <string>

namespace tarvelo::json::testing {

class LocaleGuard {
 public:
  explicit LocaleGuard(const char* name) {
    const char* current = std::setlocale(LC_ALL, nullptr);
    saved_ = current != nullptr ? current : "C";
    active_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
  LocaleGuard(const LocaleGuard&) = delete;
  LocaleGuard& operator=(const LocaleGuard&) = delete;

  bool active() const { return active_; }

 private:
  std::string saved_;
  bool active_ = false;
};

// The locales number handling must not depend on.
inline constexpr const char* kLocales[] = {"C", "ru_RU.UTF-8"};

}  // namespace tarvelo::json::testing
