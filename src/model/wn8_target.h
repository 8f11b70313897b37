// The damage per battle a vehicle needs for a WN8: found from the same formula
// the ratings use, with the block's other figures per battle held as they are.
#pragma once

#include <optional>

#include "model/records.h"

namespace tarvelo {

// The WN8 of a vehicle block (its expected sums filled in) were its damage per
// battle `damage`; 0 without battles or expected values.
float Wn8WithDamage(const RWOTAccountStats& block, double damage);

// The least damage per battle (to a thousandth) that gives the block a WN8 of at
// least `target`; 0 when the block's other figures reach it without damage.
// Nothing without battles or expected values. WN8 grows with damage, so there is
// one such damage, found by halving.
std::optional<double> DamageForWn8(const RWOTAccountStats& block, double target);

}  // namespace tarvelo
