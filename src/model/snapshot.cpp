#include "model/snapshot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/aggregates.h"
#include "model/arith.h"
#include "model/json_read.h"
#include "model/ratings.h"
#include "model/tables.h"

namespace tarvelo {

using detail::AddTo;
using detail::Int32Of;
using detail::UInt32Of;

namespace {

enum class StatsField : uint8_t {
  Battles, Wins, Losses, SurvivedBattles, Xp, Frags, Spotted, Capture, Dropped, DamageDealt, DamageReceived,
  AvatarDamageDealt, Shots, Hits, MaxFrags, MaxXp, MaxDamage, WinPoints, MaxWinPoints, DamageAssist, TankingKoef,
  MaxFragsTankId, MaxXpTankId, MaxDamageTankId,
};

// True when `name` is the literal `word`; the length is known at compile time,
// so the comparison needs no library call.
template <size_t N>
bool Is(std::string_view name, const char (&word)[N]) {
  return name.size() == N - 1 && std::memcmp(name.data(), word, N - 1) == 0;
}

// The field an API statistics member fills, if any. Names are told apart by
// length first: this runs for every member of every block.
[[gnu::always_inline]] inline std::optional<StatsField> StatsFieldOf(std::string_view name) {
  switch (name.size()) {
    case 2:
      if (Is(name, "xp")) return StatsField::Xp;
      break;
    case 4:
      if (Is(name, "wins")) return StatsField::Wins;
      if (Is(name, "hits")) return StatsField::Hits;
      break;
    case 5:
      if (Is(name, "frags")) return StatsField::Frags;
      if (Is(name, "shots")) return StatsField::Shots;
      break;
    case 6:
      if (Is(name, "losses")) return StatsField::Losses;
      if (Is(name, "max_xp")) return StatsField::MaxXp;
      break;
    case 7:
      if (Is(name, "battles")) return StatsField::Battles;
      if (Is(name, "spotted")) return StatsField::Spotted;
      break;
    case 9:
      if (Is(name, "max_frags")) return StatsField::MaxFrags;
      break;
    case 10:
      if (Is(name, "max_damage")) return StatsField::MaxDamage;
      if (Is(name, "win_points")) return StatsField::WinPoints;
      break;
    case 12:
      if (Is(name, "damage_dealt")) return StatsField::DamageDealt;
      break;
    case 14:
      if (Is(name, "capture_points")) return StatsField::Capture;
      if (Is(name, "max_win_points")) return StatsField::MaxWinPoints;
      if (Is(name, "tanking_factor")) return StatsField::TankingKoef;
      if (Is(name, "max_xp_tank_id")) return StatsField::MaxXpTankId;
      break;
    case 15:
      if (Is(name, "damage_received")) return StatsField::DamageReceived;
      break;
    case 16:
      if (Is(name, "survived_battles")) return StatsField::SurvivedBattles;
      break;
    case 17:
      if (Is(name, "max_frags_tank_id")) return StatsField::MaxFragsTankId;
      break;
    case 18:
      if (Is(name, "max_damage_tank_id")) return StatsField::MaxDamageTankId;
      break;
    case 19:
      if (Is(name, "avatar_damage_dealt")) return StatsField::AvatarDamageDealt;
      if (Is(name, "avg_damage_assisted")) return StatsField::DamageAssist;
      break;
    case 22:
      if (Is(name, "dropped_capture_points")) return StatsField::Dropped;
      break;
    default:
      break;
  }
  return std::nullopt;
}

// Inlined, as StatsFieldOf is, into the loop over a block's members.
[[gnu::always_inline]] inline void SetStatsField(RWOTAccountStats& block, StatsField field,
                                                 const json::MemberView& value) {
  auto int32 = [&value] { return Int32Of(value.integer()); };
  auto uint32 = [&value] { return UInt32Of(value.integer()); };
  switch (field) {
    case StatsField::Battles: block.Battles = int32(); break;
    case StatsField::Wins: block.Wins = int32(); break;
    case StatsField::Losses: block.Losses = int32(); break;
    case StatsField::SurvivedBattles: block.SurvivedBattles = int32(); break;
    case StatsField::Xp: block.Xp = int32(); break;
    case StatsField::Frags: block.Frags = int32(); break;
    case StatsField::Spotted: block.Spotted = int32(); break;
    case StatsField::Capture: block.Capture = int32(); break;
    case StatsField::Dropped: block.Dropped = int32(); break;
    case StatsField::DamageDealt: block.DamageDealt = uint32(); break;
    case StatsField::DamageReceived: block.DamageReceived = uint32(); break;
    case StatsField::AvatarDamageDealt: block.AvatarDamageDealt = uint32(); break;
    case StatsField::Shots: block.Shots = int32(); break;
    case StatsField::Hits: block.Hits = int32(); break;
    case StatsField::MaxFrags: block.MaxFrags = int32(); break;
    case StatsField::MaxXp: block.MaxXp = int32(); break;
    case StatsField::MaxDamage: block.MaxDamage = int32(); break;
    case StatsField::WinPoints: block.WinPoints = uint32(); break;
    case StatsField::MaxWinPoints: block.MaxWinPoints = int32(); break;
    case StatsField::DamageAssist: block.DamageAssist = detail::Single(value.real()); break;
    case StatsField::TankingKoef: block.TankingKoef = detail::Single(value.real()); break;
    case StatsField::MaxFragsTankId: block.MaxFragsTankId = detail::TextOf(value); break;
    case StatsField::MaxXpTankId: block.MaxXpTankId = detail::TextOf(value); break;
    case StatsField::MaxDamageTankId: block.MaxDamageTankId = detail::TextOf(value); break;
  }
}

// Replaces a record of `target` when `added` beat it; ties keep the target's.
void KeepMaximum(int32_t& value, std::string& tank_id, int32_t added_value, const std::string& added_tank_id) {
  if (added_value > value) {
    value = added_value;
    tank_id = added_tank_id;
  }
}

// The members of one element of "data.vehicles", found in one pass. The views
// are valid while the element's handle lives.
struct VehicleEntry {
  std::optional<json::MemberView> tank_id;
  int64_t max_frags = 0;
  int64_t max_xp = 0;
  int64_t max_damage = 0;
  int64_t mark_of_mastery = 0;
  std::array<std::optional<json::MemberView>, kModeCount> blocks;  // by mode key
  std::optional<json::MemberView> statistics;                      // the "all" block of older snapshots
};

VehicleEntry ReadVehicleEntry(const json::Value& entry) {
  VehicleEntry read;
  uint32_t seen = 0;
  auto first = [&seen](unsigned bit) {
    if (seen & (1u << bit)) return false;
    seen |= 1u << bit;
    return true;
  };
  // The fixed names come first: no mode key is one of them, and they are
  // cheaper to tell apart than a mode key is to look up.
  json::for_each_member(entry, [&](std::string_view name, const json::MemberView& value) {
    if (Is(name, "tank_id")) {
      if (first(kModeCount)) read.tank_id.emplace(value);
    } else if (Is(name, "max_frags")) {
      if (first(kModeCount + 1)) read.max_frags = value.integer();
    } else if (Is(name, "max_xp")) {
      if (first(kModeCount + 2)) read.max_xp = value.integer();
    } else if (Is(name, "max_damage")) {
      if (first(kModeCount + 3)) read.max_damage = value.integer();
    } else if (Is(name, "mark_of_mastery")) {
      if (first(kModeCount + 4)) read.mark_of_mastery = value.integer();
    } else if (Is(name, "statistics")) {
      if (first(kModeCount + 5)) read.statistics.emplace(value);
    } else if (const int mode = ModeIndexOfKey(name); mode >= 0) {
      if (first(mode)) read.blocks[mode].emplace(value);
    }
  });
  return read;
}

// Reads the members of `object` into `block`, a zero record.
void ReadStatsBlock(RWOTAccountStats& block, std::string_view tank_id, const json::MemberView& object) {
  // One pass over the members; as with a path lookup, the first of two equal names counts.
  uint32_t seen = 0;
  json::for_each_member(object, [&](std::string_view name, const json::MemberView& value) {
    const std::optional<StatsField> field = StatsFieldOf(name);
    if (!field) return;
    const uint32_t bit = 1u << static_cast<unsigned>(*field);
    if (seen & bit) return;
    seen |= bit;
    SetStatsField(block, *field, value);
  });
  block.Draws = detail::WrapSub(detail::WrapSub(block.Battles, block.Losses), block.Wins);
  BlockFigures(block, !tank_id.empty());
}

// The object a vehicle's block for `mode` is read from, with the globalmap and
// "statistics" fallbacks; nullptr when there is none.
const json::MemberView* ModeBlockSource(const VehicleEntry& entry, int mode, int tier) {
  const auto source = [](const std::optional<json::MemberView>& object) { return object ? &*object : nullptr; };
  if (entry.blocks[mode]) return source(entry.blocks[mode]);
  const bool globalmap_tier = (mode == kModeGlobalmapAbsolute && tier == 10) ||
                              (mode == kModeGlobalmapChampion && tier == 8) ||
                              (mode == kModeGlobalmapMiddle && tier == 6);
  if (globalmap_tier) return source(entry.blocks[kModeGlobalmap]);
  return mode == kModeAll ? source(entry.statistics) : nullptr;
}

// The battles of a stronghold block: the defense battles with the skirmish
// battles added, or the skirmish battles alone when there was no defense.
int32_t StrongholdBattles(int32_t defense, int32_t skirmish) {
  if (defense > 0) return skirmish > 0 ? detail::WrapAdd(defense, skirmish) : defense;
  return skirmish > 0 ? skirmish : 0;
}

RWOTAccountStats StrongholdBlock(const AWOTAccountStats& blocks, const std::string& tank_id) {
  const RWOTAccountStats& defense = blocks[kModeStrongholdDefense];
  const RWOTAccountStats& skirmish = blocks[kModeStrongholdSkirmish];
  if (defense.Battles > 0) {
    RWOTAccountStats sum = defense;
    if (skirmish.Battles > 0) SumStatsBlock(sum, skirmish, tank_id);
    return sum;
  }
  return skirmish.Battles > 0 ? skirmish : RWOTAccountStats{};
}

// The battles member of a statistics object, read as ReadStatsBlock reads it.
int32_t BattlesOf(const json::MemberView* object) {
  if (object == nullptr) return 0;
  std::optional<int32_t> battles;
  object->for_each_member([&battles](std::string_view name, const json::MemberView& value) {
    if (!battles && Is(name, "battles")) battles = Int32Of(value.integer());
  });
  return battles.value_or(0);
}

// The battles ParseVehicle puts into the block of `mode`, found without
// reading the blocks: they decide whether and where the vehicle is listed.
int32_t ModeBattles(const VehicleEntry& entry, int mode, int tier) {
  const auto battles = [&](int read_mode) { return BattlesOf(ModeBlockSource(entry, read_mode, tier)); };
  if (mode == kModeHistorical) return 0;
  if (mode == kModeStronghold) {
    return StrongholdBattles(battles(kModeStrongholdDefense), battles(kModeStrongholdSkirmish));
  }
  const int32_t own = battles(mode);
  if (mode != kModeRandom || own != 0) return own;
  return detail::WrapSub(detail::WrapSub(battles(kModeAll), battles(kModeClan)), battles(kModeCompany));
}

// One element of "data.vehicles" read far enough to place it in the list.
struct PendingVehicle {
  VehicleEntry entry;
  std::string tank_id;
  VehicleInfo info;
  int32_t battles = 0;  // in the selected mode
  // Looked up only for a vehicle with battles.
  ExpectedValues expected;
  double ivanerr_weight = 0;
};

// The reference lookup is made here, in a short loop over all vehicles, where
// the cache misses overlap, rather than among the ratings. Of the
// encyclopedia's facts only the tier is taken without `identity`.
PendingVehicle ReadPendingVehicle(const json::Value& element, int mode, const ReferenceData& reference,
                                  bool identity) {
  PendingVehicle pending{ReadVehicleEntry(element), {}, {}, 0, {}, 0};
  if (pending.entry.tank_id) pending.tank_id = detail::TextOf(*pending.entry.tank_id);
  const VehicleFacts* facts = reference.Facts(pending.tank_id);
  const bool known = facts != nullptr && facts->info.known;
  if (identity) {
    pending.info = known ? facts->info : reference.Vehicle(pending.tank_id);
  } else if (known) {
    pending.info.tier = facts->info.tier;
  }
  pending.battles = ModeBattles(pending.entry, mode, pending.info.tier);
  if (pending.battles > 0 && facts != nullptr) {
    pending.expected = facts->expected;
    pending.ivanerr_weight = facts->ivanerr_weight;
  }
  return pending;
}

// Fills `vehicle`, a zero record, from one element of "data.vehicles".
void ParseVehicle(PendingVehicle& pending, RVehicleStat& vehicle) {
  const VehicleEntry& entry = pending.entry;
  vehicle.TankId = std::move(pending.tank_id);
  vehicle.MaxFrags = Int32Of(entry.max_frags);
  vehicle.MaxXp = Int32Of(entry.max_xp);
  vehicle.MaxDamage = Int32Of(entry.max_damage);
  vehicle.MarkOfMastery = Int32Of(entry.mark_of_mastery);
  VehicleInfo& info = pending.info;
  vehicle.Tag = std::move(info.tag);
  vehicle.Name = std::move(info.name);
  vehicle.Nation = info.nation;
  vehicle.VehicleType = info.type;
  vehicle.Tier = info.tier;
  vehicle.IsPremium = info.premium;
  vehicle.Images = std::move(info.images);

  // The last mode (historical battles) is not in the vehicle statistics.
  for (int mode = 0; mode < kModeHistorical; ++mode) {
    if (mode == kModeStronghold) continue;
    const json::MemberView* source = ModeBlockSource(entry, mode, vehicle.Tier);
    if (source != nullptr) ReadStatsBlock(vehicle.Stats[mode], vehicle.TankId, *source);
  }
  if (vehicle.Stats[kModeRandom].Battles == 0) {
    vehicle.Stats[kModeRandom] = DeriveRandomBlock(vehicle.TankId, vehicle.Stats);
  }
  vehicle.Stats[kModeStronghold] = StrongholdBlock(vehicle.Stats, vehicle.TankId);
}

// The block of `mode` alone, as ParseVehicle fills it among all the others.
RWOTAccountStats ModeBlock(const VehicleEntry& entry, int mode, int tier, const std::string& tank_id) {
  const auto read = [&](int read_mode) {
    RWOTAccountStats block;
    const json::MemberView* source = ModeBlockSource(entry, read_mode, tier);
    if (source != nullptr) ReadStatsBlock(block, tank_id, *source);
    return block;
  };
  if (mode == kModeHistorical) return {};
  if (mode != kModeRandom && mode != kModeStronghold) return read(mode);
  RWOTAccountStats own = mode == kModeRandom ? read(kModeRandom) : RWOTAccountStats{};
  if (mode == kModeRandom && own.Battles != 0) return own;
  AWOTAccountStats blocks{};
  if (mode == kModeRandom) {
    for (int source : {kModeAll, kModeClan, kModeCompany}) blocks[source] = read(source);
    return DeriveRandomBlock(tank_id, blocks);
  }
  for (int source : {kModeStrongholdDefense, kModeStrongholdSkirmish}) blocks[source] = read(source);
  return StrongholdBlock(blocks, tank_id);
}

// Moves the elements of `items` so that position i holds the one that was at
// order[i], along the cycles of the permutation: each element moves about once.
template <class T>
void ApplyOrder(std::vector<T>& items, std::vector<size_t>& order) {
  for (size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    T held = std::move(items[start]);
    size_t hole = start;
    while (order[hole] != start) {
      const size_t next = order[hole];
      items[hole] = std::move(items[next]);
      order[hole] = hole;
      hole = next;
    }
    items[hole] = std::move(held);
    order[hole] = hole;
  }
}

// The positions 0..keys.size()-1 stably sorted by `before` on their keys.
template <class Key, class Before>
std::vector<size_t> StableOrder(const std::vector<Key>& keys, Before before) {
  std::vector<size_t> order(keys.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return before(keys[x], keys[y]); });
  return order;
}

void AddToAggregates(const RVehicleStat& vehicle, const RWOTAccountStats& block, RWOTAccount& account) {
  AddTo(account.VehicleCount, 1);
  CountInGroups(vehicle, block, account);
  account.HighestTier = std::max<int32_t>(account.HighestTier, vehicle.Tier);
  if (vehicle.Tier == 10) AddTo(account.TopVehicleCount, 1);
  if (vehicle.MarkOfMastery > 0) AddTo(account.MasteryCount, 1);
  if (vehicle.MarkOfMastery >= 0 && vehicle.MarkOfMastery < kBadgeCount) {
    AddTo(account.CountByBadge[vehicle.MarkOfMastery], 1);
    std::string& names = account.NamesByBadge[vehicle.MarkOfMastery];
    if (!names.empty()) names += ", ";
    names += vehicle.Name;
  }
  CountPremium(vehicle, account);
}

// Where ListVehicles puts the vehicles it keeps.
enum class VehicleOrder { Document, ByBattles };

// The positions in `pending` of the vehicles with battles, in list order.
std::vector<size_t> ListedOrder(const std::vector<PendingVehicle>& pending, VehicleOrder order) {
  std::vector<size_t> listed;
  listed.reserve(pending.size());
  for (size_t i = 0; i < pending.size(); ++i) {
    if (pending[i].battles > 0) listed.push_back(i);
  }
  if (order == VehicleOrder::ByBattles) {
    std::stable_sort(listed.begin(), listed.end(),
                     [&pending](size_t x, size_t y) { return pending[x].battles > pending[y].battles; });
  }
  return listed;
}

// The sums an account block of the selected mode takes over its listed
// vehicles, added in document order, and the figures made of them.
class VehicleSums {
 public:
  VehicleSums(RWOTAccountStats& account_block, RWOTAccountStats& exp_totals, int32_t account_battles)
      : account_block_(account_block), exp_totals_(exp_totals), account_battles_(account_battles) {}

  // A listed vehicle and its block of the mode.
  void Add(RWOTAccountStats& block, int tier, const PendingVehicle& pending) {
    if (tier >= 1 && tier <= kTierCount) AddTo(tier_battles_[tier - 1], block.Battles);
    if (tier == 10) AddTo(top_vehicles_, 1);
    AddExpectedValues(block, pending.expected, account_block_, exp_totals_);
    hits_ += block.Hits;
    vehicle_battles_ += block.Battles;
    VehicleRatings(block, tier, account_battles_, pending.ivanerr_weight, &account_block_);
  }

  int32_t top_vehicles() const { return top_vehicles_; }

  void Finish() {
    if (account_block_.Hits == 0 && hits_ > 0) {
      account_block_.Hits = Int32Of(hits_);
      account_block_.HitsPercent = account_block_.Shots >= 1 ? detail::Single(static_cast<double>(account_block_.Hits) /
                                                                              account_block_.Shots * 100)
                                                             : 0.0f;
    }
    if (vehicle_battles_ > 0 && account_block_.Battles > 0) {
      TierAndDamageFigures(account_block_, exp_totals_, tier_battles_, FigureSource::Snapshot);
      AccountIvr(account_block_);
    }
  }

 private:
  RWOTAccountStats& account_block_;
  RWOTAccountStats& exp_totals_;
  const int32_t account_battles_;
  std::array<int32_t, kTierCount> tier_battles_{};
  int32_t top_vehicles_ = 0;
  int64_t hits_ = 0;
  int64_t vehicle_battles_ = 0;
};

// Every element of "data.vehicles" read far enough to place it; `elements`
// keeps the handles the entries' member views point into.
std::vector<PendingVehicle> ReadPendingVehicles(const json::Value& vehicles, int mode, const ReferenceData& reference,
                                                bool identity, std::vector<json::Value>& elements) {
  const size_t count = json::length(vehicles);
  elements.assign(count, json::Value());
  std::vector<PendingVehicle> pending;
  pending.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    elements[i] = json::item(vehicles, i);
    pending.push_back(ReadPendingVehicle(elements[i], mode, reference, identity));
  }
  return pending;
}

// ParseVehicles, with the list in document order or sorted by battles. Each
// vehicle's battles are read first, so that the large records are built in
// their final places and vehicles without battles are never built at all;
// the figures are added up in document order, as the vehicles are listed there.
void ListVehicles(int32_t account_battles, const json::Value& vehicles, RWOTAccount& account, int mode,
                  const ReferenceData& reference, VehicleOrder order) {
  ClearAggregates(account);
  account.Vehicles.clear();
  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  RWOTAccountStats& account_block = account.Stats[mode];
  if (account_battles <= 0 || vehicles.kind() != json::Kind::Array) {
    account_block.LevelAvg = account_block.DamageTop = account_block.ExpDamageKoef = 0;
    return;
  }
  std::vector<json::Value> elements;
  std::vector<PendingVehicle> pending = ReadPendingVehicles(vehicles, mode, reference, true, elements);
  const size_t count = pending.size();
  // Each record is built where it stays, right after it is made: the list is
  // large, and filling it in a second sweep would read all of it again.
  const std::vector<size_t> listed = ListedOrder(pending, order);
  std::vector<RVehicleStat*> place(count, nullptr);
  account.Vehicles.reserve(listed.size());
  for (size_t i : listed) {
    RVehicleStat& vehicle = account.Vehicles.emplace_back();
    ParseVehicle(pending[i], vehicle);
    assert(vehicle.Stats[mode].Battles == pending[i].battles);
    place[i] = &vehicle;
  }

  VehicleSums sums(account_block, account.ExpTotals, account_battles);
  for (size_t i = 0; i < count; ++i) {
    if (place[i] == nullptr) continue;
    RVehicleStat& vehicle = *place[i];
    RWOTAccountStats& block = vehicle.Stats[mode];
    AddToAggregates(vehicle, block, account);
    sums.Add(block, vehicle.Tier, pending[i]);
  }
  sums.Finish();
}

// ListVehicles for one mode: the vehicles' blocks of that mode alone, in
// document order, with the same sums into the account block. The count of
// tier-10 vehicles is returned.
int32_t ListModeVehicles(const json::Value& vehicles, const ReferenceData& reference, ModeSnapshot& figures) {
  const int mode = figures.mode;
  RWOTAccountStats& account_block = figures.block;
  const int32_t account_battles = account_block.Battles;
  if (account_battles <= 0 || vehicles.kind() != json::Kind::Array) {
    account_block.LevelAvg = account_block.DamageTop = account_block.ExpDamageKoef = 0;
    return 0;
  }
  std::vector<json::Value> elements;
  const std::vector<PendingVehicle> pending = ReadPendingVehicles(vehicles, mode, reference, false, elements);
  VehicleSums sums(account_block, figures.ExpTotals, account_battles);
  for (const PendingVehicle& vehicle : pending) {
    if (vehicle.battles <= 0) continue;
    const uint8_t tier = vehicle.info.tier;
    ModeVehicle& listed = figures.vehicles.emplace_back(
        ModeVehicle{vehicle.tank_id, tier, ModeBlock(vehicle.entry, mode, tier, vehicle.tank_id)});
    assert(listed.block.Battles == vehicle.battles);
    sums.Add(listed.block, tier, vehicle);
  }
  sums.Finish();
  return sums.top_vehicles();
}

int32_t CustomExtraCount(const json::Value& achievements, const std::string& key) {
  int32_t sum = 0;
  for (int nation = 1; nation < kNationCount; ++nation) {
    AddTo(sum, Int32Of(json::integer(achievements, key + std::string(NationIdDigits[nation]))));
  }
  return sum;
}

void SortAchievementsByOrder(AAchievements& achievements) {
  std::vector<int32_t> orders(achievements.size());
  for (size_t i = 0; i < orders.size(); ++i) orders[i] = achievements[i].order;
  if (std::is_sorted(orders.begin(), orders.end())) return;
  std::vector<size_t> order = StableOrder(orders, std::less<>());
  ApplyOrder(achievements, order);
}

// Every statistics block of the account: those the snapshot holds, and the
// random, stronghold and globalmap blocks made of others.
void ReadAccountStats(const json::Value& a, const std::string& account_id, AWOTAccountStats& stats) {
  const json::Value statistics = json::at(a, "statistics");
  for (int i = 0; i < kModeCount; ++i) {
    stats[i] = RWOTAccountStats{};
    if (i == kModeGlobalmap || i == kModeStronghold) continue;
    if (i == kModeRandom && !json::object(statistics, "random").present()) continue;
    stats[i] = ParseStatsBlock({}, json::at(statistics, BattleModes[i].key));
  }
  if (stats[kModeRandom].Battles == 0) stats[kModeRandom] = DeriveRandomBlock({}, stats);
  stats[kModeStronghold] = stats[kModeStrongholdDefense];
  SumStatsBlock(stats[kModeStronghold], stats[kModeStrongholdSkirmish], account_id);
  stats[kModeGlobalmap] = stats[kModeGlobalmapAbsolute];
  SumStatsBlock(stats[kModeGlobalmap], stats[kModeGlobalmapChampion], account_id);
  SumStatsBlock(stats[kModeGlobalmap], stats[kModeGlobalmapMiddle], account_id);
}

double GlobalRating(const json::Value& a) { return json::real(json::at(a, "global_rating")); }

}  // namespace

RWOTAccountStats ParseStatsBlock(std::string_view tank_id, const json::Value& object) {
  RWOTAccountStats block;
  if (object.present()) ReadStatsBlock(block, tank_id, json::MemberView(object, object.node()));
  return block;
}

void SumStatsBlock(RWOTAccountStats& target, const RWOTAccountStats& added, std::string_view tank_id) {
  AddTo(target.Battles, added.Battles);
  AddTo(target.Wins, added.Wins);
  AddTo(target.Losses, added.Losses);
  AddTo(target.SurvivedBattles, added.SurvivedBattles);
  AddTo(target.Xp, added.Xp);
  AddTo(target.Frags, added.Frags);
  AddTo(target.Spotted, added.Spotted);
  AddTo(target.Capture, added.Capture);
  AddTo(target.Dropped, added.Dropped);
  AddTo(target.DamageDealt, added.DamageDealt);
  AddTo(target.DamageReceived, added.DamageReceived);
  AddTo(target.Shots, added.Shots);
  AddTo(target.Hits, added.Hits);
  AddTo(target.WinPoints, added.WinPoints);
  target.Draws = detail::WrapSub(detail::WrapSub(target.Battles, target.Wins), target.Losses);
  KeepMaximum(target.MaxFrags, target.MaxFragsTankId, added.MaxFrags, added.MaxFragsTankId);
  KeepMaximum(target.MaxXp, target.MaxXpTankId, added.MaxXp, added.MaxXpTankId);
  KeepMaximum(target.MaxDamage, target.MaxDamageTankId, added.MaxDamage, added.MaxDamageTankId);
  target.MaxWinPoints = std::max(target.MaxWinPoints, added.MaxWinPoints);
  if (target.Shots > 0) HitsPercentOf(target);
  if (target.Battles > 0) PerBattleAverages(target);
  DeathRatiosAndDamageKoef(target);
  ClearListFigures(target, !tank_id.empty());
}

RWOTAccountStats DeriveRandomBlock(std::string_view tank_id, const AWOTAccountStats& blocks) {
  const RWOTAccountStats& all = blocks[kModeAll];
  const RWOTAccountStats& clan = blocks[kModeClan];
  const RWOTAccountStats& company = blocks[kModeCompany];
  auto rest = [&](int32_t RWOTAccountStats::*field) {
    return detail::WrapSub(detail::WrapSub(all.*field, clan.*field), company.*field);
  };
  RWOTAccountStats random;
  random.Battles = rest(&RWOTAccountStats::Battles);
  random.Wins = rest(&RWOTAccountStats::Wins);
  random.Losses = rest(&RWOTAccountStats::Losses);
  random.SurvivedBattles = rest(&RWOTAccountStats::SurvivedBattles);
  random.Xp = rest(&RWOTAccountStats::Xp);
  random.Frags = rest(&RWOTAccountStats::Frags);
  random.Spotted = rest(&RWOTAccountStats::Spotted);
  random.Capture = rest(&RWOTAccountStats::Capture);
  random.Dropped = rest(&RWOTAccountStats::Dropped);
  random.Shots = rest(&RWOTAccountStats::Shots);
  random.Hits = rest(&RWOTAccountStats::Hits);
  random.DamageDealt = all.DamageDealt - clan.DamageDealt - company.DamageDealt;
  random.DamageReceived = all.DamageReceived - clan.DamageReceived - company.DamageReceived;
  random.Draws = detail::WrapSub(random.Battles, detail::WrapAdd(random.Wins, random.Losses));
  if (random.Shots > 0) {
    HitsPercentOf(random);
  } else {
    random.HitsPercent = all.HitsPercent;
  }
  if (random.Battles > 0) {
    const double battles = random.Battles;
    random.XpAvg = detail::Single(random.Xp / battles);
    random.WinsPercent = detail::Single(random.Wins / battles * 100);
    random.DamageAvg = detail::Single(random.DamageDealt / battles);
  } else {
    random.XpAvg = all.XpAvg;
    random.WinsPercent = all.WinsPercent;
    random.DamageAvg = all.DamageAvg;
  }
  DeathRatiosAndDamageKoef(random);
  ClearListFigures(random, !tank_id.empty());
  return random;
}

namespace {

enum class AchievementList { Sorted, InCatalogueOrder, None };

// Battle-hero awards (the "battle" section and the sniper) of an achievements object.
int32_t HeroesOf(const json::Value& achievements, const ReferenceData& reference) {
  int32_t heroes = 0;
  for (const AchievementInfo& info : reference.Achievements()) {
    if (info.section == "battle" || info.key == "sniper") AddTo(heroes, Int32Of(json::integer(achievements, info.key)));
  }
  return heroes;
}

void ParseAccountAs(RWOTAccount& account, const json::Value& document, AchievementList list, bool sort_vehicles,
                    int mode, const ReferenceData& reference);

}  // namespace

void ParseAccount(RWOTAccount& account, const json::Value& document, bool sort_achievements, bool sort_vehicles,
                  int mode, const ReferenceData& reference) {
  ParseAccountAs(account, document, sort_achievements ? AchievementList::Sorted : AchievementList::InCatalogueOrder,
                 sort_vehicles, mode, reference);
}

void ParseAccountFigures(RWOTAccount& account, const json::Value& document, int mode, const ReferenceData& reference) {
  ParseAccountAs(account, document, AchievementList::None, false, mode, reference);
}

namespace {

void ParseAccountAs(RWOTAccount& account, const json::Value& document, AchievementList list, bool sort_vehicles,
                    int mode, const ReferenceData& reference) {
  const json::Value a = json::object(document, "data." + account.AccountId);
  if (!a.present()) return;
  account.Nickname = json::text(a, "nickname");
  account.Created = UnixToDateTime(json::integer(a, "created_at"));
  account.Updated = UnixToDateTime(json::integer(a, "updated_at"));
  account.Logout = UnixToDateTime(json::integer(a, "logout_at"));
  account.LastBattle = UnixToDateTime(json::integer(a, "last_battle_time"));
  account.ExpTotals = RWOTAccountStats{};
  AWOTAccountStats& stats = account.Stats;
  ReadAccountStats(a, account.AccountId, stats);

  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  ListVehicles(stats[mode].Battles, json::array(document, "data.vehicles"), account, mode, reference,
               sort_vehicles ? VehicleOrder::ByBattles : VehicleOrder::Document);
  if (stats[mode].Battles > 0) {
    AccountRatings(stats[mode], account.ExpTotals, account.TopVehicleCount, GlobalRating(a));
  }

  if (list == AchievementList::None) {
    account.Achievements.clear();
    account.HeroesTotal = HeroesOf(json::at(a, "achievements"), reference);
  } else {
    ParseAchievements(json::at(a, "achievements"), json::at(a, "max_series"), account, reference);
    if (list == AchievementList::Sorted) SortAchievementsByOrder(account.Achievements);
  }

  const std::string clan_id = detail::TextOf(json::at(a, "clan.clan_id"));
  if (!clan_id.empty()) {
    account.ClanId = clan_id;
    account.ClanRole = json::text(a, "clan.role");
    account.ClanJoined = UnixToDateTime(json::integer(a, "clan.joined_at"));
  } else {
    const std::string plain_clan_id = detail::TextOf(json::at(a, "clan_id"));
    if (!plain_clan_id.empty()) account.ClanId = plain_clan_id;
  }
}

}  // namespace

ModeSnapshot ParseModeSnapshot(const RWOTAccount& model, const json::Value& document, int mode,
                               const ReferenceData& reference) {
  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  const json::Value a = json::object(document, "data." + model.AccountId);
  if (!a.present()) return ModeSnapshotOf(model, mode);
  AWOTAccountStats stats;
  ReadAccountStats(a, model.AccountId, stats);
  ModeSnapshot figures;
  figures.mode = mode;
  figures.block = std::move(stats[mode]);
  const int32_t top_vehicles = ListModeVehicles(json::array(document, "data.vehicles"), reference, figures);
  if (figures.block.Battles > 0) AccountRatings(figures.block, figures.ExpTotals, top_vehicles, GlobalRating(a));
  return figures;
}

namespace {

// The modes whose vehicle blocks ModeBattles and ModeBlock read for `mode`, as bits.
uint32_t ModeBlocksRead(int mode) {
  const auto bit = [](int read_mode) { return 1u << read_mode; };
  switch (mode) {
    case kModeHistorical: return 0;
    case kModeRandom: return bit(kModeRandom) | bit(kModeAll) | bit(kModeClan) | bit(kModeCompany);
    case kModeStronghold: return bit(kModeStrongholdDefense) | bit(kModeStrongholdSkirmish);
    case kModeGlobalmapAbsolute:
    case kModeGlobalmapChampion:
    case kModeGlobalmapMiddle: return bit(mode) | bit(kModeGlobalmap);
    default: return bit(mode);
  }
}

}  // namespace

json::ItemPruning ModeSnapshotPruning(int mode) {
  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  const uint32_t read = ModeBlocksRead(mode);
  return {"data.vehicles", [read](std::string_view name) {
            const int key_mode = ModeIndexOfKey(name);
            return key_mode < 0 || (read & (1u << key_mode)) != 0;
          }};
}

void ParseVehicles(int32_t account_battles, const json::Value& vehicles, RWOTAccount& account, int mode,
                   const ReferenceData& reference) {
  ListVehicles(account_battles, vehicles, account, mode, reference, VehicleOrder::Document);
}

void ParseAchievements(const json::Value& achievements, const json::Value& max_series, RWOTAccount& account,
                       const ReferenceData& reference) {
  // The catalogue's own count sizes the list; a catalogue with more entries still lists them all.
  constexpr int64_t kMostAchievements = 1 << 16;
  const auto& catalogue = reference.Achievements();
  const size_t listed = static_cast<size_t>(std::clamp<int64_t>(reference.AchievementCount(), 0, kMostAchievements));
  account.Achievements.assign(std::max(listed, catalogue.size()), RAchievements{});
  account.HeroesTotal = 0;
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const AchievementInfo& info = catalogue[i];
    RAchievements& entry = account.Achievements[i];
    entry.key = info.key;
    entry.name_i18n = info.name_i18n;
    entry.count = Int32Of(json::integer(achievements, info.key));
    entry.section = info.section;
    entry.order = info.order;
    entry.type = info.type;
    entry.condition = info.condition;
    entry.description = info.description;
    if (info.type == "series") {
      entry.extra_count = Int32Of(json::integer(max_series, info.key));
    } else if (info.type == "custom" && info.name_i18n.find(": ") == std::string::npos) {
      entry.extra_count = CustomExtraCount(achievements, info.key);
    }
    if (info.section == "battle" || info.key == "sniper") AddTo(account.HeroesTotal, entry.count);
  }
}

void FindVehicle(const AVehicleStats& vehicles, std::string_view tank_id, RVehicleStat& found, int mode) {
  auto match = std::find_if(vehicles.begin(), vehicles.end(),
                            [tank_id](const RVehicleStat& vehicle) { return vehicle.TankId == tank_id; });
  if (match != vehicles.end()) {
    found = *match;
    return;
  }
  found.TankId = std::string(tank_id);
  if (mode >= 0 && mode < kModeCount) found.Stats[mode].Battles = 0;
}

void SortVehiclesByBattles(AVehicleStats& vehicles, int mode) {
  if (mode < 0 || mode >= kModeCount) return;
  std::vector<int32_t> battles(vehicles.size());
  for (size_t i = 0; i < battles.size(); ++i) battles[i] = vehicles[i].Stats[mode].Battles;
  std::vector<size_t> order = StableOrder(battles, std::greater<>());
  ApplyOrder(vehicles, order);
}

}  // namespace tarvelo
