#include "embedded.h"

#include <strings.h>

#include "embedded_table.h"

namespace tarvelo {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Stem(std::string_view file_name) {
  return file_name.substr(0, file_name.rfind('.'));
}

}  // namespace

std::string_view FindResource(std::string_view name) {
  for (size_t i = 0; i < detail::kEmbeddedFileCount; ++i) {
    const auto& file = detail::kEmbeddedFiles[i];
    if (SameIgnoringCase(file.name, name) || SameIgnoringCase(Stem(file.name), name)) return file.bytes;
  }
  return {};
}

}  // namespace tarvelo
