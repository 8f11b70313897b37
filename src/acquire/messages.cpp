#include "acquire/messages.h"

#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kErrorMarker = "ОШИБКА";
constexpr std::string_view kWarningMarker = "ПРЕДУПРЕЖДЕНИЕ";

}  // namespace

void AddMessage(LoaderMessages& messages, std::string_view text, std::string details_url) {
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  Severity severity = Severity::kNote;
  if (Contains(trimmed, kErrorMarker)) {
    severity = Severity::kError;
  } else if (Contains(trimmed, kWarningMarker)) {
    severity = Severity::kWarning;
  }
  messages.push_back({severity, std::move(trimmed), std::move(details_url)});
}

void AddClanMessage(LoaderMessages& messages, std::string_view text) {
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  const Severity severity = Contains(trimmed, kErrorMarker) ? Severity::kError : Severity::kNote;
  messages.push_back({severity, std::move(trimmed), {}});
}

}  // namespace tarvelo
