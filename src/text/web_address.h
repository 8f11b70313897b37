// Web addresses: the only kind of address the program fetches from a page's
// text or hands to the desktop's browser.
#pragma once

#include <string_view>

namespace tarvelo {

// "http://" or "https://" in any letter case, followed by at least a host.
bool IsWebAddress(std::string_view text);

}  // namespace tarvelo
