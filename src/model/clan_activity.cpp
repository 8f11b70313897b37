#include "model/clan_activity.h"

#include <cmath>

namespace tarvelo {

namespace {

// The stored day nearest to `target`; of two as near, the older one.
size_t NearestTo(const std::vector<ActivityDay>& newest_first, DateTime target) {
  size_t best = 0;
  for (size_t i = 1; i < newest_first.size(); ++i) {
    if (std::abs(newest_first[i].day - target) <= std::abs(newest_first[best].day - target)) best = i;
  }
  return best;
}

}  // namespace

ActivityWindow ActivityOver(const std::vector<ActivityDay>& newest_first, int days) {
  ActivityWindow window;
  if (newest_first.empty()) return window;
  const DateTime newest = newest_first.front().day;
  const size_t start = NearestTo(newest_first, newest - days);
  if (start == 0) return window;
  window.known = true;
  window.covered_days = static_cast<int>(std::lround(newest - newest_first[start].day));
  DayTotals totals;
  RatingSums sums;
  for (size_t i = 0; i < start; ++i) {
    const ModeDay& figures = newest_first[i].figures;
    if (!figures.has_step) continue;
    totals += figures.step;
    sums += figures.sums;
  }
  window.battles = totals.battles;
  if (totals.battles > 0) window.wn8 = SummedWn8(sums);
  return window;
}

MemberActivity MemberActivityOf(const std::vector<ActivityDay>& newest_first) {
  MemberActivity activity;
  if (newest_first.empty()) return activity;
  activity.has_days = true;
  activity.week = ActivityOver(newest_first, kActivityWeekDays);
  activity.month = ActivityOver(newest_first, kActivityMonthDays);
  activity.fought = newest_first.front().figures.total.battles > 0;
  activity.last_played = newest_first.back().day;
  for (const ActivityDay& day : newest_first) {
    if (!day.figures.has_step) continue;
    activity.steps.push_back({day.day, day.figures.step.battles});
    if (!activity.last_played_exact && day.figures.step.battles > 0) {
      activity.last_played = day.day;
      activity.last_played_exact = true;
    }
  }
  return activity;
}

}  // namespace tarvelo
