#include "shell/navigation_policy.h"

#include <algorithm>

#include "shell/main_window.h"
#include "text/web_address.h"

namespace tarvelo {

NavigationVerdict DecideNavigation(std::string_view uri, bool followed_link,
                                   const std::vector<std::string>& awaited_documents, std::string_view shown_document) {
  const size_t anchor = uri.find('#');
  if (!shown_document.empty() && anchor != std::string_view::npos && uri.substr(0, anchor) == shown_document) {
    return NavigationVerdict::kLoad;
  }
  if (followed_link) return IsWebAddress(uri) ? NavigationVerdict::kOpenInBrowser : NavigationVerdict::kRefuse;
  const bool awaited = std::find(awaited_documents.begin(), awaited_documents.end(), uri) != awaited_documents.end();
  return awaited ? NavigationVerdict::kLoad : NavigationVerdict::kRefuse;
}

}  // namespace tarvelo
