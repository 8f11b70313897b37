// The counts an account record keeps about its vehicles: by class, tier and
// nation, premium and top-tier counts, badges. Shared by the snapshot and the
// period records.
#pragma once

#include "model/records.h"

namespace tarvelo {

// Every aggregate back to zero; the vehicle list is left alone.
void ClearAggregates(RWOTAccount& account);

// One more vehicle, with the battles and wins of `block`, in its class, tier and nation.
void CountInGroups(const RVehicleStat& vehicle, const RWOTAccountStats& block, RWOTAccount& account);

// One more premium vehicle when it is one (and a top premium from tier 8 up).
void CountPremium(const RVehicleStat& vehicle, RWOTAccount& account);

}  // namespace tarvelo
