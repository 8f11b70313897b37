// What the web view does with a navigation. Pages never navigate: their links
// and buttons call back into the program through the page title, and the view
// shows only the documents the program writes into it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

enum class NavigationVerdict {
  kLoad,           // let the view go on
  kOpenInBrowser,  // a followed web link: the user's browser opens it instead
  kRefuse,
};

// `uri` is the navigation's address, `followed_link` tells a click on a link (or
// a new window asked by one) from anything a page script or a form does.
// `awaited_documents` are the addresses of the documents the program has written
// and that have not begun loading; `shown_document` is the address of the
// document shown now. Only an awaited document loads, and within the shown one
// a jump to one of its anchors.
NavigationVerdict DecideNavigation(std::string_view uri, bool followed_link,
                                   const std::vector<std::string>& awaited_documents, std::string_view shown_document);

}  // namespace tarvelo
