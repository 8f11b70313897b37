// The public half of the key every release of the program is signed with. The program
// links release_key.cpp; the shell tests link a key pair of their own instead.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo {

inline constexpr size_t kReleaseKeySize = 32;  // an Ed25519 public key

const std::array<unsigned char, kReleaseKeySize>& ReleasePublicKey();

}  // namespace tarvelo
