#include "model/wn8_target.h"

#include "model/arith.h"
#include "model/ratings.h"

namespace tarvelo {

namespace {

bool Rateable(const RWOTAccountStats& b) {
  return b.Battles > 0 && b.ExpDamageSum > 0 && b.ExpSpotSum > 0 && b.ExpFragSum > 0 && b.ExpDefSum > 0 &&
         b.ExpWinsSum > 0;
}

// Far beyond any damage a battle can bring: the search gives up there.
constexpr double kDamageCeiling = 1e7;
constexpr double kPrecision = 1e-3;

}  // namespace

float Wn8WithDamage(const RWOTAccountStats& b, double damage) {
  if (!Rateable(b)) return 0;
  Wn8Ratios r;
  r.damage = detail::Single(damage * b.Battles / b.ExpDamageSum);
  r.spot = detail::Single(b.Spotted / static_cast<double>(b.ExpSpotSum));
  r.frag = detail::Single(b.Frags / static_cast<double>(b.ExpFragSum));
  r.def = detail::Single(b.Dropped / static_cast<double>(b.ExpDefSum));
  r.win = detail::Single(b.Wins / static_cast<double>(b.ExpWinsSum));
  return Wn8OfRatios(r);
}

std::optional<double> DamageForWn8(const RWOTAccountStats& block, double target) {
  if (!Rateable(block)) return std::nullopt;
  const auto reaches = [&](double damage) { return Wn8WithDamage(block, damage) >= target; };
  if (reaches(0)) return 0.0;
  double low = 0;
  double high = block.ExpDamageSum / block.Battles;
  while (!reaches(high)) {
    low = high;
    high *= 2;
    if (high > kDamageCeiling) return std::nullopt;
  }
  while (high - low > kPrecision) {
    const double middle = (low + high) / 2;
    (reaches(middle) ? high : low) = middle;
  }
  return high;
}

}  // namespace tarvelo
