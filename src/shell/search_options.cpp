#include "shell/search_options.h"

#include <cctype>
#include <cstdlib>

#include "model/tables.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

// Removes the first `key` and its value (up to the next "&") from `request`.
std::string TakeOption(std::string& request, std::string_view key, bool& found) {
  size_t start = request.find(key);
  found = start != std::string::npos;
  if (!found) return "";
  size_t value_start = start + key.size();
  size_t tail = request.find('&', value_start);
  std::string value = request.substr(value_start, tail == std::string::npos ? std::string::npos : tail - value_start);
  request = request.substr(0, start) + (tail == std::string::npos ? std::string() : request.substr(tail));
  return value;
}

void ApplyMode(const std::string& value, ReportView& view) {
  view.mode_key = value;
  const int mode = ModeIndexOfKey(LowerCase(value));
  if (mode < 0) return;
  view.mode = mode;
  view.mode_key = mode == kModeAll ? std::string() : std::string(BattleModes[mode].key);
}

// Digits and minus signs form the number (a malformed run reads as 0); ASCII letters
// form the letters.
void ApplyDays(const std::string& value, ReportView& view) {
  std::string number;
  for (char c : value) {
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
      number += c;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      view.letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  char* end = nullptr;
  long parsed = number.empty() ? 0 : std::strtol(number.c_str(), &end, 10);
  bool whole = !number.empty() && end && *end == '\0';
  view.days = whole && parsed >= -1000000 && parsed <= 1000000 ? static_cast<int>(parsed) : 0;
}

// Digits only, at most a few decades of days; anything else leaves the default.
void ApplyChart(const std::string& value, ReportView& view) {
  if (value.empty() || value.size() > 6) return;
  for (char c : value) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return;
  }
  view.chart = std::stoi(value);
}

}  // namespace

SearchOptions ParseSearchOptions(std::string_view request) {
  SearchOptions options;
  options.request = std::string(request);
  bool found = false;
  std::string mode = TakeOption(options.request, "&mode=", found);
  if (found) ApplyMode(mode, options.view);
  std::string days = TakeOption(options.request, "&days=", found);
  if (found) ApplyDays(days, options.view);
  std::string chart = TakeOption(options.request, "&chart=", found);
  if (found) ApplyChart(chart, options.view);
  return options;
}

SearchRequest ParseSearchRequest(std::string_view request, bool update) {
  const SearchOptions options = ParseSearchOptions(request);
  SearchRequest parsed;
  parsed.update = update;
  parsed.view = options.view;
  parsed.clan = options.request.starts_with("[");
  const std::string text = parsed.clan ? RemoveAll(options.request, {"[", "]"}) : options.request;
  parsed.text = ReplaceEach(text, {",", ";"}, {" ", " "});
  return parsed;
}

bool TakeOutOption(std::string& text, std::string_view option) {
  if (text.find(option) == std::string::npos) return false;
  text = ReplaceAll(text, option, "");
  return true;
}

}  // namespace tarvelo
