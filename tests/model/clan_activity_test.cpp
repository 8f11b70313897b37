// A member's activity from the summaries of its stored days: which stored day
// starts the week and the month, what the windows count, and the days of
// members with short, idle or empty histories.
#include "model/clan_activity.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvelo {
namespace {

constexpr DateTime kNewest = 42712;  // 08.12.2016

// A stored day `back` days before the newest one: `total` battles by then and,
// unless it is the first stored day, `step` battles since the day before, each
// worth that many expected and rated figures.
ActivityDay Day(int back, int64_t total, std::optional<int64_t> step) {
  ActivityDay day;
  day.day = kNewest - back;
  day.figures.total.battles = total;
  if (step) {
    day.figures.has_step = true;
    day.figures.step.battles = *step;
    day.figures.step.wins = *step / 2;
    day.figures.step.damage = *step * 1500;
    RatingSums& sums = day.figures.sums;
    sums.exp_damage = *step * 1200.0;
    sums.exp_frags = *step * 1.0;
    sums.exp_spotted = *step * 1.2;
    sums.exp_dropped = *step * 0.8;
    sums.exp_wins = *step * 0.49;
    sums.rated_battles = *step;
    sums.rated_damage = *step * (1000 + 100 * back);  // each day rated differently
    sums.rated_frags = *step;
    sums.rated_spotted = *step;
    sums.rated_dropped = *step;
    sums.rated_wins = *step / 2;
  }
  return day;
}

// The summed WN8 of the steps of `days` from index `from` up to, not including, `to`.
double Wn8Of(const std::vector<ActivityDay>& days, size_t from, size_t to) {
  RatingSums sums;
  for (size_t i = from; i < to; ++i) sums += days[i].figures.sums;
  return SummedWn8(sums);
}

TEST(ActivityOver, StartsAtTheStoredDayNearestToTheWindowOlderOnATie) {
  struct Case {
    std::string what;
    std::vector<int> backs;  // the stored days, newest first
    int window;
    int covered;             // -1: no window
  };
  const std::vector<Case> cases = {
      {"a day exactly a week back", {0, 1, 7, 8}, 7, 7},
      {"nearer after than before", {0, 6, 9}, 7, 6},
      {"nearer before than after", {0, 4, 8}, 7, 8},
      {"a tie takes the older day", {0, 5, 9}, 7, 9},
      {"a shorter history covers what it has", {0, 2, 12}, 28, 12},
      {"one stored day is no window", {0}, 7, -1},
      {"the newest day nearest is no window", {0, 40}, 7, -1},
      {"a gap of days before the month", {0, 3, 27, 60}, 28, 27},
  };
  for (const Case& c : cases) {
    std::vector<ActivityDay> days;
    for (size_t i = 0; i < c.backs.size(); ++i) {
      const bool first = i + 1 == c.backs.size();
      days.push_back(Day(c.backs[i], 1000, first ? std::nullopt : std::optional<int64_t>(10)));
    }
    const ActivityWindow window = ActivityOver(days, c.window);
    EXPECT_EQ(window.known, c.covered >= 0) << c.what;
    if (c.covered >= 0) {
      EXPECT_EQ(window.covered_days, c.covered) << c.what;
    }
  }
}

TEST(ActivityOver, CountsTheStepsAfterTheStartDayOnlyAndSumsTheirRatings) {
  const std::vector<ActivityDay> days = {Day(0, 1060, 12), Day(2, 1048, 0),  Day(3, 1048, 30),
                                         Day(7, 1018, 18), Day(10, 1000, 40), Day(30, 960, std::nullopt)};
  const ActivityWindow week = ActivityOver(days, 7);
  EXPECT_EQ(week.battles, 42);  // the steps of days 0, 2 and 3: not the step into the start day
  EXPECT_DOUBLE_EQ(week.wn8, Wn8Of(days, 0, 3));
  EXPECT_NE(week.wn8, Wn8Of(days, 0, 4));
  const ActivityWindow month = ActivityOver(days, 28);
  EXPECT_EQ(month.covered_days, 30);
  EXPECT_EQ(month.battles, 100);
  EXPECT_DOUBLE_EQ(month.wn8, Wn8Of(days, 0, 5));
}

TEST(MemberActivityOf, TellsShortIdleAndEmptyHistoriesApart) {
  const MemberActivity none = MemberActivityOf({});
  EXPECT_FALSE(none.has_days);
  EXPECT_FALSE(none.month.known);

  // One stored day: no window, the last battle on that day or before it.
  const MemberActivity one = MemberActivityOf({Day(0, 500, std::nullopt)});
  EXPECT_TRUE(one.has_days);
  EXPECT_FALSE(one.week.known);
  EXPECT_FALSE(one.month.known);
  EXPECT_TRUE(one.fought);
  EXPECT_FALSE(one.last_played_exact);
  EXPECT_EQ(one.last_played, kNewest);
  EXPECT_TRUE(one.steps.empty());

  // No battles in the range: known windows of nothing, and no WN8.
  const MemberActivity idle =
      MemberActivityOf({Day(0, 800, 0), Day(6, 800, 0), Day(20, 800, 0), Day(29, 800, std::nullopt)});
  EXPECT_TRUE(idle.month.known);
  EXPECT_EQ(idle.month.battles, 0);
  EXPECT_EQ(idle.month.wn8, 0);
  EXPECT_EQ(idle.week.battles, 0);
  EXPECT_FALSE(idle.last_played_exact);
  EXPECT_EQ(idle.last_played, kNewest - 29);
  EXPECT_EQ(idle.steps.size(), 3u);

  // The newest step with battles dates the last battle; every step is kept for the chart.
  const MemberActivity played = MemberActivityOf({Day(0, 90, 0), Day(4, 90, 5), Day(9, 85, 5), Day(12, 80, std::nullopt)});
  EXPECT_TRUE(played.last_played_exact);
  EXPECT_EQ(played.last_played, kNewest - 4);
  ASSERT_EQ(played.steps.size(), 3u);
  EXPECT_EQ(played.steps[1].day, kNewest - 4);
  EXPECT_EQ(played.steps[1].battles, 5);

  const MemberActivity never = MemberActivityOf({Day(0, 0, 0), Day(8, 0, std::nullopt)});
  EXPECT_FALSE(never.fought);
}

}  // namespace
}  // namespace tarvelo
