// How the process keeps freed memory.
#pragma once

namespace tarvelo {

// Every search builds account records of a few megabytes and drops them again.
// By default glibc hands such blocks back to the kernel at once, so the next
// search faults every page in afresh (most of a warm search's time). This
// keeps freed blocks of up to 32 MiB, and up to 64 MiB at the top of the heap,
// for reuse. Call once at start-up, before the first search.
void KeepFreedMemoryForReuse();

}  // namespace tarvelo
