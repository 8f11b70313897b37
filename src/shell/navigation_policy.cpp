#include "shell/navigation_policy.h"

#include "shell/main_window.h"

namespace tarvelo {

NavigationVerdict DecideNavigation(std::string_view uri, bool followed_link, std::string_view awaited_document,
                                   std::string_view shown_document) {
  const size_t anchor = uri.find('#');
  if (!shown_document.empty() && anchor != std::string_view::npos && uri.substr(0, anchor) == shown_document) {
    return NavigationVerdict::kLoad;
  }
  if (followed_link) return IsWebAddress(uri) ? NavigationVerdict::kOpenInBrowser : NavigationVerdict::kRefuse;
  return !awaited_document.empty() && uri == awaited_document ? NavigationVerdict::kLoad : NavigationVerdict::kRefuse;
}

}  // namespace tarvelo
