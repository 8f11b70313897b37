// What the loaders have to say about a search: messages as data, a severity
// and a text each; the pages turn them into paragraphs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

enum class Severity { kError, kWarning, kNote };

struct LoaderMessage {
  Severity severity = Severity::kNote;
  // Ready for a page: what came from outside (names, answers) is escaped.
  std::string text;
  // A page that explains more, linked after the text; empty for none.
  std::string details_url;

  bool operator==(const LoaderMessage&) const = default;
};
using LoaderMessages = std::vector<LoaderMessage>;

// The trimmed text as a message: an error when it tells of an "ОШИБКА", a
// warning when of a "ПРЕДУПРЕЖДЕНИЕ", else a note. Blank texts add nothing.
void AddMessage(LoaderMessages& messages, std::string_view text, std::string details_url = {});
// The clan loader's variant: an error or a note.
void AddClanMessage(LoaderMessages& messages, std::string_view text);

}  // namespace tarvelo
