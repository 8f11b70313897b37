#include "model/mode_snapshot.h"

namespace tarvelo {

ModeSnapshot ModeSnapshotOf(const RWOTAccount& account, int mode) {
  ModeSnapshot figures;
  if (mode < 0 || mode >= kModeCount) return figures;
  figures.mode = mode;
  figures.block = account.Stats[mode];
  figures.ExpTotals = account.ExpTotals;
  figures.vehicles.reserve(account.Vehicles.size());
  for (const RVehicleStat& vehicle : account.Vehicles) {
    figures.vehicles.push_back({vehicle.TankId, vehicle.Tier, vehicle.Stats[mode]});
  }
  return figures;
}

const ModeSnapshot* StoredDay::Figures(int mode, ModeSnapshot& made) const {
  if (figures_ != nullptr) return figures_->mode == mode ? figures_ : nullptr;
  if (record_ == nullptr) return nullptr;
  made = ModeSnapshotOf(*record_, mode);
  return &made;
}

}  // namespace tarvelo
