// The date rule of saved account snapshots: which daily file a fresh snapshot
// goes under, and its saving.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "text/russian.h"

namespace tarvelo {

// What decides the date an account snapshot is stored under.
struct AccountSnapshotFacts {
  DateTime last_battle = 0.0;  // "last_battle_time" as a UTC date-time
  // The account's battles in the selected mode are fewer than the sum over its vehicles.
  bool fewer_battles_than_vehicles = false;
};

// The clock the date rule reads: local now, local today and the whole hours
// of the standard time-zone offset (east of UTC positive).
struct SnapshotClock {
  DateTime now = 0.0;
  DateTime today = 0.0;
  int zone_hours = 0;
};
// The clock of the rule at `now`, in the local time zone.
SnapshotClock SnapshotClockAt(DateTime now);

// The dates the snapshot goes under, in writing order. `exists(date)` tells
// whether the file of that date is already there; a date planned earlier in
// the list counts as existing.
std::vector<DateTime> PlanSnapshotDates(const AccountSnapshotFacts& facts, const SnapshotClock& clock,
                                        const std::function<bool(DateTime)>& exists);

// Stores an account snapshot in `account_folder` under the dates of the rule
// and returns one message per failed write (empty when all went well). A day
// counts as stored when it is a file of the folder or, with a history, archived.
std::vector<std::string> SaveAccountSnapshot(Disk& disk, std::string_view text, const AccountSnapshotFacts& facts,
                                             std::string_view account_folder, const SnapshotClock& clock,
                                             HistoryService* history = nullptr, const std::string& account_id = {});

}  // namespace tarvelo
