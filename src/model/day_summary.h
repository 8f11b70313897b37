// What an account had done by a stored day and did since the stored day
// before it, per battle mode, in a few numbers: enough to chart its days and to
// count a clan's activity without reading the snapshots again.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "json/json.h"
#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

struct DayTotals {
  int64_t battles = 0;
  int64_t wins = 0;
  int64_t damage = 0;
  int64_t frags = 0;
  int64_t spotted = 0;
  int64_t xp = 0;
  int64_t survived = 0;
  int64_t dropped = 0;  // defence points
  int64_t capture = 0;
  double wn8 = 0;
  double eff = 0;

  bool operator==(const DayTotals&) const = default;
};

// The sums from which the WN8 and EFF of a longer period are made from its
// consecutive steps: the expected values of the vehicles played, what those
// vehicles did, and the battles weighted by tier.
struct RatingSums {
  double exp_damage = 0;
  double exp_frags = 0;
  double exp_spotted = 0;
  double exp_dropped = 0;
  double exp_wins = 0;
  int64_t rated_battles = 0;
  int64_t rated_damage = 0;
  int64_t rated_frags = 0;
  int64_t rated_spotted = 0;
  int64_t rated_dropped = 0;
  int64_t rated_wins = 0;
  double tier_battles = 0;  // battles times their average tier

  RatingSums& operator+=(const RatingSums& other);
  bool operator==(const RatingSums&) const = default;
};

struct ModeDay {
  int mode = 0;       // an index into BattleModes
  DayTotals total;    // all time, as the day's snapshot has it
  bool has_step = false;  // false for the first stored day
  DayTotals step;     // since the stored day before
  RatingSums sums;    // of the step

  bool operator==(const ModeDay&) const = default;
};

// The modes of one day that changed since the stored day before; for the
// first stored day kModeAll and the modes played by then. A mode left out is
// UnchangedMode of its last summary.
using DaySummary = std::vector<ModeDay>;

// A mode's figures on a stored day, as charts read them.
struct SummaryDay {
  double day = 0;  // a DateTime
  ModeDay figures;

  bool operator==(const SummaryDay&) const = default;
};

// Every battle mode of a snapshot document of account `account_id`.
using AllModes = std::array<ModeSnapshot, kModeCount>;
AllModes AllModesOf(const std::string& account_id, const json::Value& document, const ReferenceData& reference);

// The summary of a day, with the step since `previous` when there is one.
DaySummary SummarizeDay(const AllModes& day, const AllModes* previous, const ReferenceData& reference);

// A mode not played since the day before: its totals carried on, no step.
ModeDay UnchangedMode(int mode, const DayTotals& total, bool has_step);

// The WN8 and EFF of a period from the summed totals and sums of its steps.
double SummedWn8(const RatingSums& sums);
double SummedEff(const DayTotals& totals, const RatingSums& sums);

// The totals of two steps together (ratings left 0: they come from the sums).
DayTotals& operator+=(DayTotals& totals, const DayTotals& added);


}  // namespace tarvelo
