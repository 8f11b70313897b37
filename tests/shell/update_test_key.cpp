#include "shell/update_test_key.h"

namespace tarvelo {

const std::array<unsigned char, kReleaseKeySize>& ReleasePublicKey() { return testing::kTestPublicKey; }

}  // namespace tarvelo
