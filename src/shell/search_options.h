// A search request as the command bridge and the command line read it: the
// player name or clan tag and the options "&mode=" (battle mode) and "&days="
// (period).
#pragma once

#include <string>
#include <string_view>

#include "report/report_view.h"

namespace tarvelo {

struct SearchOptions {
  std::string request;  // the request with both options taken out
  ReportView view;      // what they asked for
};

// Takes "&mode=", "&days=" and then "&chart=" out of the request: the reading
// that RequestOptions writes. A mode value is matched against the battle-mode
// keys ignoring case; an unknown one keeps index 0 and is handed on as typed.
// Days outside ±1000000 read as 0; ASCII letters among the days digits are the
// letters, lower-cased. A chart value that is not a number leaves the default.
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
