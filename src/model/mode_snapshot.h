// One battle mode of an account snapshot: the account's block of that mode,
// its ExpTotals and each listed vehicle's block of the mode. Enough to tell
// what was played in the mode between two snapshots (PeriodModeStats), for a
// fraction of the whole record's size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/records.h"

namespace tarvelo {

// The day strip shows what was played on each of the last seven stored days:
// it reads the stored days 1 to 7 (0 is the newest).
inline constexpr size_t kDayStripDays = 7;

struct ModeVehicle {
  std::string TankId;
  uint8_t Tier = 0;
  RWOTAccountStats block;  // the vehicle's block of the mode

  bool operator==(const ModeVehicle&) const = default;
};

struct ModeSnapshot {
  int mode = 0;                  // an index into BattleModes
  RWOTAccountStats block;        // the account's block of the mode, its ratings included
  RWOTAccountStats ExpTotals;
  std::vector<ModeVehicle> vehicles;  // in the record's order

  bool operator==(const ModeSnapshot&) const = default;
};

// The mode `mode` of a whole record.
ModeSnapshot ModeSnapshotOf(const RWOTAccount& account, int mode);

// A stored snapshot as a reader of one mode gets it: a whole record, only its
// mode figures, or nothing (a file that cannot be used).
class StoredDay {
 public:
  StoredDay(const RWOTAccount* record) : record_(record) {}    // NOLINT: converts on purpose
  StoredDay(const ModeSnapshot* figures) : figures_(figures) {}  // NOLINT
  StoredDay(std::nullptr_t) {}                                    // NOLINT

  bool usable() const { return record_ != nullptr || figures_ != nullptr; }
  // The figures of `mode`: those held when they are of that mode, else made
  // from the record into `made`; null when neither serves.
  const ModeSnapshot* Figures(int mode, ModeSnapshot& made) const;

 private:
  const RWOTAccount* record_ = nullptr;
  const ModeSnapshot* figures_ = nullptr;
};

}  // namespace tarvelo
