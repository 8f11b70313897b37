// 32-bit counter arithmetic that wraps like the API's 32-bit fields instead of
// overflowing, and the conversion of a double figure into a stored float.
#pragma once

#include <cstdint>
#include <limits>

namespace tarvelo::detail {

// A double figure stored in a single-precision field: values beyond the float
// range become infinities instead of undefined behaviour.
inline float Single(double v) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (v > kMax) return std::numeric_limits<float>::infinity();
  if (v < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline void AddTo(int32_t& target, int32_t added) { target = WrapAdd(target, added); }
inline void AddTo(uint32_t& target, uint32_t added) { target += added; }
// Adds in double precision and stores the result in single precision.
inline void AddTo(float& target, double added) { target = Single(target + added); }

// A 64-bit JSON integer kept as a 32-bit field.
inline int32_t Int32Of(int64_t v) { return static_cast<int32_t>(v); }
inline uint32_t UInt32Of(int64_t v) { return static_cast<uint32_t>(v); }

}  // namespace tarvelo::detail
