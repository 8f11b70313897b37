#include "shell/search_tally.h"

#include <algorithm>

#include "shell/page_blocks.h"
#include "text/encoding.h"

namespace tarvelo {

bool TalliedSearchService::LoadAccount(const SearchRequest& request, LoaderMessages& messages) {
  const size_t first_new = messages.size();
  return Count(inner_->LoadAccount(request, messages), messages, first_new);
}

bool TalliedSearchService::LoadClan(const SearchRequest& request, LoaderMessages& messages) {
  const size_t first_new = messages.size();
  return Count(inner_->LoadClan(request, messages), messages, first_new);
}

bool TalliedSearchService::Count(bool found, const LoaderMessages& messages, size_t first_new) {
  ++tally_.searches;
  if (found) return true;
  ++tally_.failed;
  // One line per message, as the page shows it.
  for (size_t i = first_new; i < messages.size(); ++i) {
    const std::string line = Trim(PlainTextOfPage(MessageParagraphs({messages[i]})));
    if (!line.empty()) tally_.failure_text += line + "\n";
  }
  return false;
}

}  // namespace tarvelo
