// A search request as the command bridge and the command line read it: the
// player name or clan tag and the options "&mode=" (battle mode) and "&days="
// (period).
#pragma once

#include <string>
#include <string_view>

#include "report/report_view.h"

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

// One search, parsed once and handed down to the loaders and the reports.
struct SearchRequest {
  std::string text;     // a player name, a clan tag without brackets, or "@" + id
  bool clan = false;    // the request was a clan tag in square brackets
  bool update = false;  // fetch afresh instead of using fresh cached data
  ReportView view;      // battle mode and period
};

// The request with its options read out; a clan tag loses its brackets; "," and
// ";" become blanks.
SearchRequest ParseSearchRequest(std::string_view request, bool update);

// Removes every occurrence of `option` from `text`; true when there was one.
bool TakeOutOption(std::string& text, std::string_view option);

}  // namespace tarvelo
