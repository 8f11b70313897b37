#include "model/aggregates.h"

#include <array>
#include <string>

#include "model/arith.h"

namespace tarvelo {

using detail::AddTo;

namespace {

template <size_t Size>
void CountInGroup(int index, const RWOTAccountStats& block, std::array<int32_t, Size>& vehicles,
                  std::array<int32_t, Size>& battles, std::array<int32_t, Size>& wins) {
  if (index < 0 || index >= static_cast<int>(Size)) return;
  AddTo(vehicles[index], 1);
  AddTo(battles[index], block.Battles);
  AddTo(wins[index], block.Wins);
}

}  // namespace

void ClearAggregates(RWOTAccount& account) {
  account.VehiclesByClass.fill(0);
  account.BattlesByClass.fill(0);
  account.WinsByClass.fill(0);
  account.VehiclesByTier.fill(0);
  account.BattlesByTier.fill(0);
  account.WinsByTier.fill(0);
  account.VehiclesByNation.fill(0);
  account.BattlesByNation.fill(0);
  account.WinsByNation.fill(0);
  account.VehicleCount = account.TopVehicleCount = account.PremiumCount = account.TopPremiumCount = 0;
  account.HighestTier = account.MasteryCount = 0;
  account.CountByBadge.fill(0);
  account.NamesByBadge.fill(std::string());
}

void CountInGroups(const RVehicleStat& vehicle, const RWOTAccountStats& block, RWOTAccount& account) {
  CountInGroup(vehicle.VehicleType, block, account.VehiclesByClass, account.BattlesByClass, account.WinsByClass);
  CountInGroup(vehicle.Tier - 1, block, account.VehiclesByTier, account.BattlesByTier, account.WinsByTier);
  CountInGroup(vehicle.Nation, block, account.VehiclesByNation, account.BattlesByNation, account.WinsByNation);
}

void CountPremium(const RVehicleStat& vehicle, RWOTAccount& account) {
  if (!vehicle.IsPremium) return;
  AddTo(account.PremiumCount, 1);
  if (vehicle.Tier >= 8) AddTo(account.TopPremiumCount, 1);
}

}  // namespace tarvelo
