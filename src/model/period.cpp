#include "model/period.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>
#include <string_view>
#include <unordered_map>

#include "model/aggregates.h"
#include "model/arith.h"
#include "model/ratings.h"
#include "model/snapshot.h"
#include "model/tables.h"

namespace tarvelo {

using detail::AddTo;
using detail::Single;
using detail::WrapSub;

namespace {

// A damage or points counter that went down between two snapshots gives 0
// rather than a wrapped four-billion figure.
uint32_t CounterDelta(uint32_t newer, uint32_t older) { return newer >= older ? newer - older : 0; }

void SubtractCounters(RWOTAccountStats& d, const RWOTAccountStats& a, const RWOTAccountStats& b) {
  d.Battles = WrapSub(a.Battles, b.Battles);
  d.Wins = WrapSub(a.Wins, b.Wins);
  d.Losses = WrapSub(a.Losses, b.Losses);
  d.SurvivedBattles = WrapSub(a.SurvivedBattles, b.SurvivedBattles);
  d.Xp = WrapSub(a.Xp, b.Xp);
  d.Frags = WrapSub(a.Frags, b.Frags);
  d.Spotted = WrapSub(a.Spotted, b.Spotted);
  d.Capture = WrapSub(a.Capture, b.Capture);
  d.Dropped = WrapSub(a.Dropped, b.Dropped);
  d.Shots = WrapSub(a.Shots, b.Shots);
  d.Hits = WrapSub(a.Hits, b.Hits);
  d.WinPoints = CounterDelta(a.WinPoints, b.WinPoints);
  d.DamageWithoutExp = CounterDelta(a.DamageWithoutExp, b.DamageWithoutExp);
  d.BattlesWithoutExp = WrapSub(a.BattlesWithoutExp, b.BattlesWithoutExp);
  d.Draws = WrapSub(WrapSub(d.Battles, d.Losses), d.Wins);
  // A positive difference of a maximum means a new record in the period.
  d.MaxFrags = WrapSub(a.MaxFrags, b.MaxFrags);
  d.MaxXp = WrapSub(a.MaxXp, b.MaxXp);
  d.MaxDamage = WrapSub(a.MaxDamage, b.MaxDamage);
  d.MaxWinPoints = WrapSub(a.MaxWinPoints, b.MaxWinPoints);
}

void SubtractDamage(RWOTAccountStats& d, const RWOTAccountStats& a, const RWOTAccountStats& b) {
  // An older snapshot without damage data gives no damage for the period,
  // not the account's whole damage.
  const bool older_has_damage = b.DamageDealt != 0 || b.Battles <= 2;
  d.DamageDealt = older_has_damage ? CounterDelta(a.DamageDealt, b.DamageDealt) : 0;
  // A received figure that went down makes the damage ratio 1.
  d.DamageReceived = a.DamageReceived >= b.DamageReceived ? a.DamageReceived - b.DamageReceived : d.DamageDealt;
}

void PeriodRatios(RWOTAccountStats& d) {
  HitsPercentOf(d);
  PerBattleAverages(d);
  DeathRatiosAndDamageKoef(d);
  // Unlike a full block, a period without deaths has no frag ratios.
  if (static_cast<int64_t>(d.Battles) - d.SurvivedBattles <= 0) d.EfficiencyKoef = d.FragsKoef = 0;
}

void PeriodExpectedDamage(RWOTAccountStats& d, const RWOTAccountStats& a, const RWOTAccountStats& b) {
  if (a.ExpDamageSum != b.ExpDamageSum) {
    const double own_damage = static_cast<double>(d.DamageDealt) - static_cast<double>(d.DamageWithoutExp);
    d.ExpDamageKoef = Single(own_damage / (static_cast<double>(a.ExpDamageSum) - b.ExpDamageSum));
  } else {
    d.ExpDamageKoef = 0;
    AddTo(d.DamageWithoutExp, d.DamageDealt);
  }
  if (d.ExpDamageKoef > 0) d.DamageTop = Single(static_cast<double>(d.ExpDamageKoef) * 1850);
}

}  // namespace

RWOTAccountStats StatsDelta(const RWOTAccountStats& newer, const RWOTAccountStats& older) {
  RWOTAccountStats d;
  SubtractCounters(d, newer, older);
  SubtractDamage(d, newer, older);
  PeriodRatios(d);
  PeriodExpectedDamage(d, newer, older);
  if (newer.Battles > 0 && older.Battles > 0) {
    // The 1e-9 tells an unchanged ratio from "no data".
    d.WinsRatioChange = Single(static_cast<double>(newer.Wins) / newer.Battles -
                               static_cast<double>(older.Wins) / older.Battles + 0.000000001);
  }
  return d;
}

namespace {

// The vehicle's identity fields with zero blocks.
RVehicleStat VehicleIdentity(const RVehicleStat& vehicle) {
  RVehicleStat identity;
  identity.TankId = vehicle.TankId;
  identity.Tag = vehicle.Tag;
  identity.Name = vehicle.Name;
  identity.Nation = vehicle.Nation;
  identity.VehicleType = vehicle.VehicleType;
  identity.Tier = vehicle.Tier;
  identity.IsPremium = vehicle.IsPremium;
  identity.Images = vehicle.Images;
  return identity;
}

// The first of each TankId among `vehicles`, found by id.
template <class Vehicle>
class VehiclesById {
 public:
  explicit VehiclesById(const std::vector<Vehicle>& vehicles) {
    by_id_.reserve(vehicles.size());
    for (const Vehicle& vehicle : vehicles) by_id_.emplace(vehicle.TankId, &vehicle);
  }
  const Vehicle* Find(const std::string& tank_id) const {
    auto match = by_id_.find(tank_id);
    return match != by_id_.end() ? match->second : nullptr;
  }

 private:
  std::unordered_map<std::string_view, const Vehicle*> by_id_;
};

// A vehicle cannot have more period battles than the account: a larger gain,
// or a loss, means inconsistent data.
bool PlayedInPeriod(int32_t newer_battles, int32_t older_battles, int32_t cap) {
  const int64_t gained = static_cast<int64_t>(newer_battles) - older_battles;
  return gained > 0 && gained <= cap;
}

// The account block of the selected mode as the period's vehicles fill it in:
// their expected values, Ivanerr figures and battles by tier, then the figures
// made of those sums.
class PeriodModeBlock {
 public:
  PeriodModeBlock(RWOTAccountStats& block, int32_t newer_battles, const ReferenceData& reference)
      : block_(block), newer_battles_(newer_battles), reference_(reference) {}

  // One vehicle of the period, with its difference block of the mode; its
  // Ivanerr weight is returned.
  double Add(RWOTAccountStats& vehicle_block, int tier, const std::string& tank_id) {
    const VehicleFacts* facts = reference_.Facts(tank_id);
    const double ivanerr_weight = facts != nullptr ? facts->ivanerr_weight : 0.0;
    if (vehicle_block.Battles > 0) {
      if (tier >= 1 && tier <= kTierCount) AddTo(tier_battles_[tier - 1], vehicle_block.Battles);
      AddPeriodExpectedValues(vehicle_block, facts != nullptr ? facts->expected : ExpectedValues{}, block_);
    }
    if (tier == 10) AddTo(top_vehicles_, 1);
    VehicleRatings(vehicle_block, tier, newer_battles_, ivanerr_weight, &block_);
    return ivanerr_weight;
  }

  void Finish(const RWOTAccountStats& exp_totals) {
    TierAndDamageFigures(block_, exp_totals, tier_battles_, FigureSource::Period);
    AccountIvr(block_);
  }

  int32_t top_vehicles() const { return top_vehicles_; }

 private:
  RWOTAccountStats& block_;
  const int32_t newer_battles_;
  const ReferenceData& reference_;
  std::array<int32_t, kTierCount> tier_battles_{};
  int32_t top_vehicles_ = 0;
};

RVehicleStat VehicleDelta(const RVehicleStat& vehicle, const RVehicleStat& older) {
  static const RWOTAccountStats kZero;
  RVehicleStat delta = VehicleIdentity(vehicle);
  delta.MarkOfMastery = vehicle.MarkOfMastery;
  delta.MaxFrags = vehicle.MaxFrags;
  for (int mode = 0; mode < kModeCount; ++mode) {
    // Most vehicles were never played in most modes; the difference of two
    // zero blocks is the zero block the delta holds already.
    if (vehicle.Stats[mode] == kZero && older.Stats[mode] == kZero) continue;
    delta.Stats[mode] = StatsDelta(vehicle.Stats[mode], older.Stats[mode]);
  }
  return delta;
}

void AddPeriodVehicleToAggregates(const RVehicleStat& vehicle, const RWOTAccountStats& block, RWOTAccount& p) {
  if (block.Battles > 0) {
    AddTo(p.VehicleCount, 1);
    CountInGroups(vehicle, block, p);
  }
  if (vehicle.Tier == 10) AddTo(p.TopVehicleCount, 1);
  CountPremium(vehicle, p);
}

// In a period the badge fields list the badges gained (or changed) in it.
void CountMasteryChange(const RVehicleStat& vehicle, int32_t older_mark, RWOTAccount& p) {
  if (vehicle.MarkOfMastery == older_mark) return;
  if (vehicle.MarkOfMastery != 0) AddTo(p.MasteryCount, 1);
  if (vehicle.MarkOfMastery < 0 || vehicle.MarkOfMastery >= kBadgeCount) return;
  AddTo(p.CountByBadge[vehicle.MarkOfMastery], 1);
  std::string& names = p.NamesByBadge[vehicle.MarkOfMastery];
  if (!names.empty()) names += ", ";
  names += vehicle.Name;
}

// The ratings of the vehicle's blocks of the other modes (the selected one is
// rated by PeriodModeBlock).
void RateOtherModes(RVehicleStat& vehicle, const RWOTAccount& newer, int mode, double ivanerr_weight) {
  for (int k = 0; k < kModeCount; ++k) {
    RWOTAccountStats& block = vehicle.Stats[k];
    if (k == mode || block.Battles <= 0) continue;
    VehicleRatings(block, vehicle.Tier, newer.Stats[k].Battles, ivanerr_weight, nullptr);
  }
}

// A vehicle of the newer record played in the period, with its older side.
struct PlayedVehicle {
  const RVehicleStat* newer;
  const RVehicleStat* older;
  int32_t battles;  // in the period, in the selected mode
};

// The period's vehicles, each built where it stays: in the newer record's
// order, or sorted by the period's battles (equal battles keep that order).
// The aggregates are added up in the newer record's order either way.
void AddPeriodVehicles(const RWOTAccount& newer, const RWOTAccount& older, int mode, bool sort_vehicles,
                       const ReferenceData& reference, RWOTAccount& p) {
  static const RVehicleStat kNeverPlayed;  // the older side of a vehicle the older record lacks
  ClearAggregates(p);
  RWOTAccountStats& account_block = p.Stats[mode];
  const int32_t cap = account_block.Battles;
  if (cap <= 0) return;
  const VehiclesById<RVehicleStat> older_vehicles(older.Vehicles);
  std::vector<PlayedVehicle> played;
  played.reserve(newer.Vehicles.size());
  for (const RVehicleStat& vehicle : newer.Vehicles) {
    p.HighestTier = std::max<int32_t>(p.HighestTier, vehicle.Tier);
    const RVehicleStat* found = older_vehicles.Find(vehicle.TankId);
    const RVehicleStat& older_vehicle = found != nullptr ? *found : kNeverPlayed;
    const int32_t newer_battles = vehicle.Stats[mode].Battles;
    const int32_t older_battles = older_vehicle.Stats[mode].Battles;
    if (!PlayedInPeriod(newer_battles, older_battles, cap)) continue;
    played.push_back({&vehicle, &older_vehicle, newer_battles - older_battles});
  }

  std::vector<size_t> order(played.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  if (sort_vehicles) {
    std::stable_sort(order.begin(), order.end(),
                     [&played](size_t x, size_t y) { return played[x].battles > played[y].battles; });
  }
  std::vector<RVehicleStat*> place(played.size());
  p.Vehicles.reserve(played.size());
  for (size_t i : order) place[i] = &p.Vehicles.emplace_back(VehicleDelta(*played[i].newer, *played[i].older));

  PeriodModeBlock mode_block(account_block, newer.Stats[mode].Battles, reference);
  for (size_t i = 0; i < played.size(); ++i) {
    RVehicleStat& delta = *place[i];
    AddPeriodVehicleToAggregates(delta, delta.Stats[mode], p);
    const double ivanerr_weight = mode_block.Add(delta.Stats[mode], delta.Tier, delta.TankId);
    CountMasteryChange(delta, played[i].older->MarkOfMastery, p);
    RateOtherModes(delta, newer, mode, ivanerr_weight);
  }
  mode_block.Finish(p.ExpTotals);
}

void RatePeriodBlock(RWOTAccountStats& block, const RWOTAccountStats& exp_totals, int32_t top_vehicles,
                     const RWOTAccountStats& newer, const RWOTAccountStats& older) {
  const double global_rating = static_cast<double>(newer.rateWG) - older.rateWG;
  AccountRatings(block, exp_totals, top_vehicles, global_rating, newer.Battles);
}

void RatePeriodBlocks(const RWOTAccount& newer, const RWOTAccount& older, RWOTAccount& p) {
  for (int i = 0; i < kModeCount; ++i) RatePeriodBlock(p.Stats[i], p.ExpTotals, p.TopVehicleCount, newer.Stats[i], older.Stats[i]);
}

const RAchievements* OlderAchievement(const AAchievements& older, size_t position, const std::string& key) {
  if (position < older.size() && older[position].key == key) return &older[position];
  auto match = std::find_if(older.begin(), older.end(), [&key](const RAchievements& a) { return a.key == key; });
  return match != older.end() ? &*match : nullptr;
}

AAchievements AchievementsDelta(const AAchievements& newer, const AAchievements& older) {
  AAchievements delta;
  delta.reserve(newer.size());
  for (size_t i = 0; i < newer.size(); ++i) {
    RAchievements entry = newer[i];
    const RAchievements* before = OlderAchievement(older, i, entry.key);
    const int32_t difference = WrapSub(entry.count, before ? before->count : 0);
    // A class badge is a level, not a counter: a raised one shows the new level.
    if (entry.section != "class" || difference == 0) entry.count = difference;
    entry.extra_count = 0;
    delta.push_back(std::move(entry));
  }
  return delta;
}

}  // namespace

RWOTAccount PeriodDelta(const RWOTAccount& newer, const RWOTAccount& older, bool sort_vehicles, int mode,
                        const ReferenceData& reference) {
  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  RWOTAccount p = CopyWithoutLists(newer);
  p.PeriodStart = older.Updated;
  for (int i = 0; i < kModeCount; ++i) p.Stats[i] = StatsDelta(newer.Stats[i], older.Stats[i]);
  p.ExpTotals = StatsDelta(newer.ExpTotals, older.ExpTotals);
  AddPeriodVehicles(newer, older, mode, sort_vehicles, reference, p);
  RatePeriodBlocks(newer, older, p);
  p.Achievements = AchievementsDelta(newer.Achievements, older.Achievements);
  p.HeroesTotal = WrapSub(newer.HeroesTotal, older.HeroesTotal);
  return p;
}

RWOTAccountStats PeriodModeStats(const ModeSnapshot& newer, const ModeSnapshot& older,
                                 const ReferenceData& reference) {
  RWOTAccountStats block = StatsDelta(newer.block, older.block);
  const RWOTAccountStats exp_totals = StatsDelta(newer.ExpTotals, older.ExpTotals);
  PeriodModeBlock mode_block(block, newer.block.Battles, reference);
  const int32_t cap = block.Battles;
  if (cap > 0) {
    const VehiclesById<ModeVehicle> older_vehicles(older.vehicles);
    const RWOTAccountStats zero;
    for (const ModeVehicle& vehicle : newer.vehicles) {
      const ModeVehicle* found = older_vehicles.Find(vehicle.TankId);
      const RWOTAccountStats& older_block = found != nullptr ? found->block : zero;
      if (!PlayedInPeriod(vehicle.block.Battles, older_block.Battles, cap)) continue;
      RWOTAccountStats delta = StatsDelta(vehicle.block, older_block);
      mode_block.Add(delta, vehicle.Tier, vehicle.TankId);
    }
    mode_block.Finish(exp_totals);
  }
  RatePeriodBlock(block, exp_totals, mode_block.top_vehicles(), newer.block, older.block);
  return block;
}

}  // namespace tarvelo
