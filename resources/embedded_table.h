// The table the build generates from the files under resources/.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvelo::detail {

struct EmbeddedFile {
  std::string_view name;
  std::string_view bytes;
};
extern const EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

}  // namespace tarvelo::detail
