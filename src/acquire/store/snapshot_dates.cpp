#include "acquire/store/snapshot_dates.h"

#include <cmath>

#include "acquire/store/cache_files.h"
#include "acquire/store/account_days.h"
#include "acquire/store/cache_layout.h"
#include "text/clock.h"

namespace tarvelo {

namespace {

DateTime DayOf(DateTime date) { return std::floor(date); }

}  // namespace

SnapshotClock SnapshotClockAt(DateTime now) {
  // Whole hours east of UTC, halves rounded to even.
  const int zone_hours = static_cast<int>(std::nearbyint(-StandardTimeBiasMinutes() / 60.0));
  return {now, DateOf(now), zone_hours};
}

std::vector<DateTime> PlanSnapshotDates(const AccountSnapshotFacts& facts, const SnapshotClock& clock,
                                        const std::function<bool(DateTime)>& exists) {
  std::vector<DateTime> planned;
  auto is_there = [&](DateTime date) {
    for (DateTime done : planned) {
      if (DayOf(done) == DayOf(date)) return true;
    }
    return exists(date);
  };
  const double zone = clock.zone_hours / 24.0;
  const DateTime today = DayOf(clock.today);
  const DateTime yesterday = today - 1;
  // A last battle no calendar can hold, or one days ahead of the clock, names
  // no file: it is taken as no battle at all.
  const bool sane = std::isfinite(facts.last_battle) && facts.last_battle >= 0 && facts.last_battle <= clock.now + 2;
  DateTime last = sane ? facts.last_battle : 0.0;
  DateTime last_day = DayOf(last);

  // Battle counts that do not add up: a stored day is not overwritten with
  // them; they go under the current UTC time instead.
  if (facts.fewer_battles_than_vehicles && today - zone > last_day && is_there(last)) {
    last = clock.now - zone;
    last_day = DayOf(last);
  }
  // Nothing new since a stored day (or never played): the data become yesterday's.
  if (yesterday > last_day && (is_there(last) || DecodeDateTime(last).year <= 1990)) {
    planned.push_back(yesterday);
    return planned;
  }
  planned.push_back(last);
  // A player idle since before yesterday still gets yesterday's file as a base.
  if (today > last_day && !is_there(yesterday)) planned.push_back(yesterday);
  return planned;
}

std::vector<std::string> SaveAccountSnapshot(Disk& disk, std::string_view text, const AccountSnapshotFacts& facts,
                                             std::string_view account_folder, const SnapshotClock& clock,
                                             HistoryService* history, const std::string& account_id) {
  auto path_of = [&](DateTime date) { return JoinPath(account_folder, SnapshotFileName(date)); };
  auto exists = [&](DateTime date) { return AccountDayStored(disk, history, account_folder, account_id, date); };
  std::vector<std::string> messages;
  for (DateTime date : PlanSnapshotDates(facts, clock, exists)) {
    const std::string path = path_of(date);
    if (!WriteTextFile(disk, text, path)) messages.push_back(SaveFailureMessage(path));
  }
  return messages;
}

}  // namespace tarvelo
