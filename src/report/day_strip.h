// The day strip of the player report: seven cells, newest on the right, each
// with what was played on the day it names, from the stored daily snapshots.
#pragma once

#include <array>
#include <string>

#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"
#include "report/account_report.h"

namespace tarvelo {

struct DayStripInput {
  const RWOTAccount& account;  // the current record
  const ADateArr& dates;       // stored snapshot dates, newest first
  const std::vector<StoredDay>& strip_days;  // dates[1] on, as AccountReportInput has them
  const ReportView& view;
  const std::string& site;
  const std::string& rating_name;  // "WN8" or "EFF"
  const ReferenceData& reference;
};

struct DayStrip {
  std::string row;  // the table row, or seven blank cells without one when nothing is stored
  std::array<TSemaphoreDayStats, 7> days;  // day 1 (newest) first
};

DayStrip SemaphoreRow(const DayStripInput& input);

// The content of day cell `day` (1..7; dates[day - 1] is its date) against the
// working figures, which then move on to that day's older snapshot (kept in
// `older` when they had to be made from a whole record).
std::string SemaphoreDay(const DayStripInput& input, const ModeSnapshot*& working, ModeSnapshot& older, size_t day,
                         TSemaphoreDayStats& stats);

}  // namespace tarvelo
