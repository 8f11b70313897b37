#include "model/day_summary.h"

#include "model/period.h"
#include "model/ratings.h"
#include "model/snapshot.h"
#include "model/tables.h"

namespace tarvelo {

namespace {

DayTotals TotalsOf(const RWOTAccountStats& block) {
  DayTotals totals;
  totals.battles = block.Battles;
  totals.wins = block.Wins;
  totals.damage = block.DamageDealt;
  totals.frags = block.Frags;
  totals.spotted = block.Spotted;
  totals.xp = block.Xp;
  totals.survived = block.SurvivedBattles;
  totals.dropped = block.Dropped;
  totals.capture = block.Capture;
  totals.wn8 = block.rateWN8;
  totals.eff = block.rateEFF;
  return totals;
}

RatingSums SumsOf(const RWOTAccountStats& step, const RWOTAccountStats& rated) {
  RatingSums sums;
  sums.exp_damage = step.ExpDamageSum;
  sums.exp_frags = step.ExpFragSum;
  sums.exp_spotted = step.ExpSpotSum;
  sums.exp_dropped = step.ExpDefSum;
  sums.exp_wins = step.ExpWinsSum;
  sums.rated_battles = rated.Battles;
  sums.rated_damage = rated.DamageDealt;
  sums.rated_frags = rated.Frags;
  sums.rated_spotted = rated.Spotted;
  sums.rated_dropped = rated.Dropped;
  sums.rated_wins = rated.Wins;
  sums.tier_battles = static_cast<double>(step.LevelAvg) * step.Battles;
  return sums;
}

ModeDay SummarizeMode(const ModeSnapshot& day, const ModeSnapshot* previous, const ReferenceData& reference) {
  ModeDay summary;
  summary.mode = day.mode;
  summary.total = TotalsOf(day.block);
  if (previous == nullptr) return summary;
  summary.has_step = true;
  const RWOTAccountStats step = PeriodModeStats(day, *previous, reference);
  summary.step = TotalsOf(step);
  summary.sums = SumsOf(step, StatsDelta(day.ExpTotals, previous->ExpTotals));
  return summary;
}

}  // namespace

RatingSums& RatingSums::operator+=(const RatingSums& other) {
  exp_damage += other.exp_damage;
  exp_frags += other.exp_frags;
  exp_spotted += other.exp_spotted;
  exp_dropped += other.exp_dropped;
  exp_wins += other.exp_wins;
  rated_battles += other.rated_battles;
  rated_damage += other.rated_damage;
  rated_frags += other.rated_frags;
  rated_spotted += other.rated_spotted;
  rated_dropped += other.rated_dropped;
  rated_wins += other.rated_wins;
  tier_battles += other.tier_battles;
  return *this;
}

DayTotals& operator+=(DayTotals& totals, const DayTotals& added) {
  totals.battles += added.battles;
  totals.wins += added.wins;
  totals.damage += added.damage;
  totals.frags += added.frags;
  totals.spotted += added.spotted;
  totals.xp += added.xp;
  totals.survived += added.survived;
  totals.dropped += added.dropped;
  totals.capture += added.capture;
  totals.wn8 = totals.eff = 0;
  return totals;
}

AllModes AllModesOf(const std::string& account_id, const json::Value& document, const ReferenceData& reference) {
  RWOTAccount model;
  model.AccountId = account_id;
  AllModes modes;
  for (int mode = 0; mode < kModeCount; ++mode) modes[mode] = ParseModeSnapshot(model, document, mode, reference);
  return modes;
}

DaySummary SummarizeDay(const AllModes& day, const AllModes* previous, const ReferenceData& reference) {
  DaySummary summary;
  for (int mode = 0; mode < kModeCount; ++mode) {
    if (previous == nullptr) {
      if (mode != kModeAll && day[mode].block.Battles <= 0) continue;
      summary.push_back(SummarizeMode(day[mode], nullptr, reference));
      continue;
    }
    ModeDay changed = SummarizeMode(day[mode], &(*previous)[mode], reference);
    if (changed != UnchangedMode(mode, TotalsOf((*previous)[mode].block), true)) summary.push_back(std::move(changed));
  }
  return summary;
}

ModeDay UnchangedMode(int mode, const DayTotals& total, bool has_step) {
  ModeDay unchanged;
  unchanged.mode = mode;
  unchanged.total = total;
  unchanged.has_step = has_step;
  return unchanged;
}

double SummedWn8(const RatingSums& sums) {
  RWOTAccountStats expected;
  expected.ExpDamageSum = static_cast<float>(sums.exp_damage);
  expected.ExpFragSum = static_cast<float>(sums.exp_frags);
  expected.ExpSpotSum = static_cast<float>(sums.exp_spotted);
  expected.ExpDefSum = static_cast<float>(sums.exp_dropped);
  expected.ExpWinsSum = static_cast<float>(sums.exp_wins);
  RWOTAccountStats rated;
  rated.Battles = static_cast<int32_t>(sums.rated_battles);
  rated.DamageDealt = static_cast<uint32_t>(sums.rated_damage);
  rated.Frags = static_cast<int32_t>(sums.rated_frags);
  rated.Spotted = static_cast<int32_t>(sums.rated_spotted);
  rated.Dropped = static_cast<int32_t>(sums.rated_dropped);
  rated.Wins = static_cast<int32_t>(sums.rated_wins);
  return Wn8(expected, rated);
}

double SummedEff(const DayTotals& totals, const RatingSums& sums) {
  if (totals.battles <= 0) return 0;
  RWOTAccountStats block;
  block.Battles = static_cast<int32_t>(totals.battles);
  block.DamageDealt = static_cast<uint32_t>(totals.damage);
  block.Frags = static_cast<int32_t>(totals.frags);
  block.Spotted = static_cast<int32_t>(totals.spotted);
  block.Dropped = static_cast<int32_t>(totals.dropped);
  block.Capture = static_cast<int32_t>(totals.capture);
  // The average tier as the step's rating has it (1 when no vehicle told it).
  const double tier = sums.tier_battles > 0 ? sums.tier_battles / static_cast<double>(totals.battles) : 1.0;
  return Eff(block, static_cast<float>(tier));
}

}  // namespace tarvelo
