// How active a clan member has been, from the summaries of its stored days in
// one battle mode: the battles and WN8 of the last week and month (each from
// the stored day nearest to that many days before the newest one), the newest
// day it played, and the battles of each stored day.
#pragma once

#include <cstdint>
#include <vector>

#include "model/day_summary.h"
#include "text/russian.h"

namespace tarvelo {

// A stored day of an account in one battle mode.
struct ActivityDay {
  DateTime day = 0;
  ModeDay figures;
};

// The figures of the stored days from a start day to the newest one.
struct ActivityWindow {
  bool known = false;    // a start day older than the newest one was found
  int covered_days = 0;  // from the start day to the newest one
  int64_t battles = 0;
  double wn8 = 0;        // 0 without battles
};

struct DayBattles {
  DateTime day = 0;
  int64_t battles = 0;
};

struct MemberActivity {
  bool has_days = false;  // any stored day at all
  ActivityWindow week;
  ActivityWindow month;
  bool fought = false;     // the newest day's totals hold a battle
  // The newest stored day whose step holds a battle; without one, the oldest
  // stored day, and the last battle was on it or before it.
  DateTime last_played = 0;
  bool last_played_exact = false;
  std::vector<DayBattles> steps;  // every stored day with a step, newest first
};

inline constexpr int kActivityWeekDays = 7;
inline constexpr int kActivityMonthDays = 28;

// The window of `days` days over the stored days `newest_first`.
ActivityWindow ActivityOver(const std::vector<ActivityDay>& newest_first, int days);

MemberActivity MemberActivityOf(const std::vector<ActivityDay>& newest_first);

}  // namespace tarvelo
