// The snapshot optimisation and the conversions of older cached layouts on any
// text, as if it had been read from the cache. The paths lie in a folder that
// cannot be made, so the rewrites are tried and fail without touching the disk.
#include <cstddef>
#include <cstdint>
#include <string>

#include "acquire/store/disk.h"
#include "acquire/store/snapshot_conversion.h"
#include "acquire/store/snapshot_optimizer.h"

namespace {

constexpr char kNoFolder[] = "/nonexistent/tarvelo-fuzz/";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A second pass may remove more (a zero member the first pass left beside
  // the ones it removed); that only costs a rewrite, so it is not checked here.
  OptimizeSnapshot(OptimizeSnapshot(text));
  static const auto disk = MakeRealDisk(nullptr);
  const LegacySources sources{nullptr, "http://portal.test"};
  ConvertSnapshot(text, "4817293", FileOnDisk{disk.get(), std::string(kNoFolder) + "2016-12-01.json"}, sources);
  ConvertClanIndex(text, FileOnDisk{disk.get(), std::string(kNoFolder) + "VOLKI=172431.id"});
  return 0;
}
