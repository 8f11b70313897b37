#include "model/tables.h"

#include <algorithm>

namespace tarvelo {
namespace {

template <typename Row, size_t N>
int IndexOfKey(const std::array<Row, N>& table, std::string_view key) {
  for (size_t i = 0; i < N; ++i) {
    if (table[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

DateTime NoEndDate() { return EncodeDate(2222, 1, 1); }

RWOTAccount CopyWithoutLists(const RWOTAccount& account) {
  RWOTAccount copy;
  static_cast<RWOTAccountHead&>(copy) = account;
  return copy;
}

int NationIndex(std::string_view key) { return std::max(0, IndexOfKey(Nations, key)); }

int VehicleTypeIndex(std::string_view key) { return std::max(0, IndexOfKey(VehicleTypes, key)); }

int ModeIndexOfKey(std::string_view key) { return IndexOfKey(BattleModes, key); }

std::string_view ClanRoleLabel(std::string_view key) {
  int index = IndexOfKey(ClanRoles, key);
  return index < 0 ? key : ClanRoles[index].label;
}

bool IsListedVehicleName(std::string_view name) {
  return std::find(ListedVehicleNames.begin(), ListedVehicleNames.end(), name) != ListedVehicleNames.end();
}

}  // namespace tarvelo
