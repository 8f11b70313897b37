#include "shell/search_tally.h"

#include <algorithm>

#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

bool TalliedSearchService::LoadAccount(const SearchRequest& request, std::string& messages) {
  const size_t first_new = messages.size();
  return Count(inner_->LoadAccount(request, messages), messages, first_new);
}

bool TalliedSearchService::LoadClan(const SearchRequest& request, std::string& messages) {
  const size_t first_new = messages.size();
  return Count(inner_->LoadClan(request, messages), messages, first_new);
}

bool TalliedSearchService::Count(bool found, const std::string& messages, size_t first_new) {
  ++tally_.searches;
  if (found) return true;
  ++tally_.failed;
  // One line per message paragraph.
  const std::string added = ReplaceAll(messages.substr(first_new), "</p>", "</p>\n");
  for (size_t start = 0; start < added.size();) {
    const size_t end = std::min(added.find('\n', start), added.size());
    const std::string line = Trim(PlainTextOfPage(std::string_view(added).substr(start, end - start)));
    if (!line.empty()) tally_.failure_text += line + "\n";
    start = end + 1;
  }
  return false;
}

}  // namespace tarvelo
