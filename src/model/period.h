// What an account did between two snapshots: the difference of two statistics
// blocks and of two whole account records, with the vehicles played in between
// and every rating of the period alone.
#pragma once

#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

// The newer block minus the older one, with the period's averages and ratios.
RWOTAccountStats StatsDelta(const RWOTAccountStats& newer, const RWOTAccountStats& older);

// The period record of `newer` since `older`: identity of the newer record,
// differences of statistics, vehicles, achievements and heroes, and the ratings
// of the period. `mode` is the selected battle mode; with `sort_vehicles` the
// vehicles come most played first.
RWOTAccount PeriodDelta(const RWOTAccount& newer, const RWOTAccount& older, bool sort_vehicles, int mode,
                        const ReferenceData& reference);

// The period's block of one battle mode alone: exactly
// PeriodDelta(newer, older, …, mode, …).Stats[mode] for the records the two
// mode snapshots were made of, without the other modes and the vehicle list.
RWOTAccountStats PeriodModeStats(const ModeSnapshot& newer, const ModeSnapshot& older, const ReferenceData& reference);

}  // namespace tarvelo
