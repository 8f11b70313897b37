// Shrinking a freshly merged account snapshot, and the one-pattern file patch
// that the conversions of cached files are built from.
#pragma once

#include <string>
#include <string_view>

#include "acquire/store/disk.h"

namespace tarvelo {

// The snapshot without its zero and null members: eleven fixed removal and
// replacement passes. May leave a comma before "}" (the JSON reader accepts
// it) and turns statistics blocks whose members were all zero into null.
std::string OptimizeSnapshot(std::string_view text);

// `text` with every `pattern` replaced. When that changed anything, `file` is
// rewritten with the new text and keeps its modification date.
std::string PatchSnapshotFile(std::string_view text, std::string_view pattern, std::string_view replacement,
                              const FileOnDisk& file);

}  // namespace tarvelo
