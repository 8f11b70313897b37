// The options of a search request: "&mode=" (battle mode) and "&days=" (period).
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

struct SearchOptions {
  std::string request;      // the request with both options taken out
  int days = 0;             // the "&days=" number, 0 when absent
  std::string letters;      // lower-case letters that came with the days number
  int mode_index = 0;       // index into the battle modes, 0 = all battles
  std::string mode_suffix;  // "&mode=" + key to hand on, empty for all battles
  std::string days_suffix;  // "&days=" + number + letters, empty for 0
};

// Takes "&mode=" and then "&days=" out of the request. A mode value is matched
// against the battle-mode keys ignoring case; an unknown one keeps index 0 and its
// suffix as typed.
SearchOptions ParseSearchOptions(std::string_view request);

}  // namespace tarvelo
