// The "res" URI scheme: pages address the pictures carried in the executable as
// "res://" + executable path + "/PNG/" + name.
#pragma once

#include <webkit2/webkit2.h>

namespace tarvelo {

void RegisterResScheme(WebKitWebContext* context);

}  // namespace tarvelo
