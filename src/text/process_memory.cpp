#include "text/process_memory.h"

#include <malloc.h>

namespace tarvelo {

namespace {
constexpr int kMiB = 1024 * 1024;
}

void KeepFreedMemoryForReuse() {
  mallopt(M_MMAP_THRESHOLD, 32 * kMiB);
  mallopt(M_TRIM_THRESHOLD, 64 * kMiB);
}

}  // namespace tarvelo
