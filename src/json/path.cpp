#include "json/path.h"

namespace tarvelo::json::detail {

bool PathReader::Next(PathStep& step) {
  while (!rest_.empty()) {
    if (rest_.front() == '[') return ReadIndex(step);
    size_t stop = 0;  // a plain loop: find_first_of looks each character up in the set
    while (stop < rest_.size() && rest_[stop] != '.' && rest_[stop] != '[') ++stop;
    const std::string_view name = rest_.substr(0, stop);
    rest_.remove_prefix(name.size());
    if (!rest_.empty() && rest_.front() == '.') rest_.remove_prefix(1);
    if (name.empty()) continue;  // "a..b" reads as "a.b"
    step = PathStep{false, name, 0};
    return true;
  }
  return false;
}

bool PathReader::ReadIndex(PathStep& step) {
  size_t index = 0;
  size_t i = 1;
  for (; i < rest_.size() && rest_[i] >= '0' && rest_[i] <= '9'; ++i) {
    if (index > (static_cast<size_t>(-1) - 9) / 10) break;  // absurdly large: malformed
    index = index * 10 + static_cast<size_t>(rest_[i] - '0');
  }
  const bool closed = i > 1 && i < rest_.size() && rest_[i] == ']';
  const std::string_view after = closed ? rest_.substr(i + 1) : std::string_view{};
  if (!closed || (!after.empty() && after.front() != '.' && after.front() != '[')) {
    malformed_ = true;
    rest_ = {};
    return false;
  }
  rest_ = after;
  if (!rest_.empty() && rest_.front() == '.') rest_.remove_prefix(1);
  step = PathStep{true, {}, index};
  return true;
}

}  // namespace tarvelo::json::detail
