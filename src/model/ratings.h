// Derived figures and ratings of statistics blocks: averages, EFF, WN6, WN8,
// BS, WGR, Ivanerr (IVR), the averaged rating, scale values and clan
// suitability. Computed in double precision, stored in the blocks' single
// precision fields.
#pragma once

#include <array>
#include <cstdint>

#include "model/records.h"

namespace tarvelo {

struct ExpectedValues;

// x rounded to two decimals, halves to the even neighbour.
double round2(double x);

// Per-battle averages and ratios of a freshly filled block: HitsPercent, the
// averages, EfficiencyKoef, FragsKoef, DamageKoef; the period-only and
// vehicle-list figures cleared. A vehicle block also loses its expected sums.
void BlockFigures(RWOTAccountStats& block, bool is_vehicle);

// Steps of BlockFigures on their own, as the summing and derived blocks use them.
void HitsPercentOf(RWOTAccountStats& block);
void PerBattleAverages(RWOTAccountStats& block);
void DeathRatiosAndDamageKoef(RWOTAccountStats& block);
void ClearListFigures(RWOTAccountStats& block, bool is_vehicle);

// Single ratings of a block with Battles > 0; `tier` is the vehicle's tier or
// the account block's LevelAvg. `account_battles` is N of the BS formula.
float Eff(const RWOTAccountStats& block, double tier);
float Wn6(const RWOTAccountStats& block, double tier);
// WN8 from the expected sums of `e` and the counters of `a`.
float Wn8(const RWOTAccountStats& e, const RWOTAccountStats& a);
// The five ratios WN8 starts from: damage, spots, frags, defence and wins over
// their expected values, each in single precision.
struct Wn8Ratios {
  float damage = 0;
  float spot = 0;
  float frag = 0;
  float def = 0;
  float win = 0;
};
float Wn8OfRatios(const Wn8Ratios& r);
float Bs(const RWOTAccountStats& block, int32_t account_battles);

enum class RatingKind { Eff, Wn6, Wn8, Bs, Wg };
// The 0..100 scale value of rating `r`.
float ScaleValue(RatingKind kind, float r);

// Ratings of a vehicle's block of the selected mode (Battles > 0): EFF, WN6,
// WN8, BS, then the Ivanerr weight and rating. The Ivanerr figures are added
// into `account_block` unless it is null (blocks of other modes in a period).
void VehicleRatings(RWOTAccountStats& block, int tier, int32_t account_battles, double ivanerr_weight,
                    RWOTAccountStats* account_block);

// Adds a vehicle's expected values for `block` (its selected-mode block with
// Battles > 0) into the block and into the account's sums (snapshot case).
void AddExpectedValues(RWOTAccountStats& block, const ExpectedValues& expected,
                       RWOTAccountStats& account_block, RWOTAccountStats& exp_totals);

// The same for a vehicle's period block (a difference of two snapshots): the
// block's damage without expected values stays its own, and the period's
// ExpTotals, a difference of the snapshots' totals, is left alone.
void AddPeriodExpectedValues(RWOTAccountStats& block, const ExpectedValues& expected,
                             RWOTAccountStats& account_block);

// The Ivanerr skill and rating of an account block from its summed figures.
void AccountIvr(RWOTAccountStats& block);

// LevelAvg, ExpDamageKoef and DamageTop of an account block from the battles per
// tier of the vehicles that contributed (index 0 is tier 1).
enum class FigureSource { Snapshot, Period };
void TierAndDamageFigures(RWOTAccountStats& block, const RWOTAccountStats& exp_totals,
                          const std::array<int32_t, kTierCount>& tier_battles, FigureSource source);

// Every rating of an account block in order: EFF, WN6, WN8, BS, WG, the five
// scale values, rateKORV and Clanable. A block with Battles < 1 gets none.
void AccountRatings(RWOTAccountStats& block, const RWOTAccountStats& exp_totals, int32_t top_vehicle_count,
                    double global_rating);
// The same with N of the BS formula given (a period uses the newer snapshot's battles).
void AccountRatings(RWOTAccountStats& block, const RWOTAccountStats& exp_totals, int32_t top_vehicle_count,
                    double global_rating, int32_t bs_battles);

// Clears the ratings, scale values, rateKORV, Ivanerr figures and Clanable.
void ClearRatings(RWOTAccountStats& block);

// (min(value, cap) / norm) ^ exponent of criterion 1..8; 0 for a zero base.
double ClanableTerm(int criterion, double value);
// The clan-suitability score of an account block.
float ClanableScore(const RWOTAccountStats& block, int32_t top_vehicle_count);

}  // namespace tarvelo
