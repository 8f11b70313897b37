#include "text/web_address.h"

#include "text/encoding.h"

namespace tarvelo {

bool IsWebAddress(std::string_view text) {
  const std::string scheme = LowerCase(text.substr(0, 8));
  const size_t length = scheme.starts_with("http://") ? 7 : scheme.starts_with("https://") ? 8 : 0;
  return length > 0 && text.size() > length;
}

}  // namespace tarvelo
