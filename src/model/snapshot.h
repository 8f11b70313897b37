// An account snapshot document turned into an RWOTAccount: the statistics per
// battle mode, the vehicles of the selected mode with their ratings, the
// achievements and the aggregates. `mode` is the selected battle mode (an index
// into BattleModes); `reference` supplies the encyclopedia, expected values,
// weights and the achievement catalogue.
#pragma once

#include <string_view>

#include "json/json.h"
#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

// One statistics block from an API statistics object (absent: the zero block).
// `tank_id` is empty for an account block.
RWOTAccountStats ParseStatsBlock(std::string_view tank_id, const json::Value& object);

// Adds `added` into `target` (the stronghold and globalmap sums).
void SumStatsBlock(RWOTAccountStats& target, const RWOTAccountStats& added, std::string_view tank_id);

// The random block as all − clan − company, for a snapshot that has none.
RWOTAccountStats DeriveRandomBlock(std::string_view tank_id, const AWOTAccountStats& blocks);

// Fills `account` (its AccountId set) from a snapshot document; nothing changes
// when the document holds no "data.<AccountId>" object.
void ParseAccount(RWOTAccount& account, const json::Value& document, bool sort_achievements, bool sort_vehicles,
                  int mode, const ReferenceData& reference);

// ParseAccount without the achievement list (left empty); the battle-hero
// awards are counted all the same.
void ParseAccountFigures(RWOTAccount& account, const json::Value& document, int mode, const ReferenceData& reference);

// ModeSnapshotOf(the record ParseAccount makes of `document` over a copy of
// `model`, vehicles unsorted; mode) without making the rest of the record:
// the battle mode's blocks alone are read.
ModeSnapshot ParseModeSnapshot(const RWOTAccount& model, const json::Value& document, int mode,
                               const ReferenceData& reference);

// What ParseModeSnapshot for `mode` does without: the vehicles' blocks of the
// modes it does not read. A document parsed under this pruning gives the same
// figures and is refused exactly when the whole one would be.
json::ItemPruning ModeSnapshotPruning(int mode);

// The vehicles of "data.vehicles" with battles in the selected mode, their
// ratings and the account's aggregates. `account_battles` is the account's
// battles in that mode.
void ParseVehicles(int32_t account_battles, const json::Value& vehicles, RWOTAccount& account, int mode,
                   const ReferenceData& reference);

// The achievement list, driven by the catalogue.
void ParseAchievements(const json::Value& achievements, const json::Value& max_series, RWOTAccount& account,
                       const ReferenceData& reference);

// Copies the first vehicle of `vehicles` with that TankId into `found`; when
// there is none, only found.TankId and found.Stats[mode].Battles (0) are set.
void FindVehicle(const AVehicleStats& vehicles, std::string_view tank_id, RVehicleStat& found, int mode);

// Sorts by battles in `mode`, most first; equal battles keep their order.
void SortVehiclesByBattles(AVehicleStats& vehicles, int mode);

}  // namespace tarvelo
