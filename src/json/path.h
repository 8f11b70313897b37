// Path expressions: member names separated by ".", each optionally followed by
// "[n]" array indexes ("data[0].name", "a[1][2]", "[3]").
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvelo::json::detail {

struct PathStep {
  bool is_index = false;
  std::string_view name;  // member steps
  size_t index = 0;       // index steps
};

class PathReader {
 public:
  explicit PathReader(std::string_view path) : rest_(path) {}

  // The next step into `step`; false at the end of the path or when the rest
  // of it is malformed (then `malformed()` is true).
  bool Next(PathStep& step);
  bool malformed() const { return malformed_; }

 private:
  bool ReadIndex(PathStep& step);

  std::string_view rest_;
  bool malformed_ = false;
};

}  // namespace tarvelo::json::detail
