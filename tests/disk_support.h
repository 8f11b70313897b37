// The disk and clock the tests use where real files are the point: the file
// system, with files dated by TARVELO_NOW when a test fixes it.
#pragma once

#include <memory>

#include "acquire/store/disk.h"
#include "text/clock.h"

namespace tarvelo::testing {

// The program clock as TARVELO_NOW says at the moment of each reading, so
// that a test may fix or move it after its fixture was made.
inline Clock TestClock() {
  return [] { return ProgramClock()(); };
}

inline Disk& TestDisk() {
  static const std::unique_ptr<Disk> disk = MakeRealDisk(TestClock());
  return *disk;
}

}  // namespace tarvelo::testing
