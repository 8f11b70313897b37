// Files of resources/ carried inside the executable.
#pragma once

#include <string_view>

namespace tarvelo {

// The bytes of the embedded file called `name`, with or without its extension and
// with letter case ignored ("TanksInfo", "class1", "ResStyle.css"); empty when none.
std::string_view FindResource(std::string_view name);

}  // namespace tarvelo
