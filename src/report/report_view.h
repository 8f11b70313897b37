// What a search asks the reports to show: the battle mode and the period, and
// the options of a search request that say so, as the pages' own links hand
// them on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvelo {

struct ReportView {
  int mode = 0;          // index into BattleModes, 0 = all battles
  // The "&mode=" value a link hands on: the mode's key, a value no mode has as
  // it was typed; empty for all battles.
  std::string mode_key;
  int days = 0;          // the "&days=" number: 0 all time, > 0 a period, -1…-5 the other layouts
  std::string letters;   // "", "o" or "b"
  // The "&chart=" number: how many of the newest stored days the history
  // charts show, 0 every one; nothing: kDefaultChartDays.
  std::optional<int> chart;
};

inline constexpr int kDefaultChartDays = 90;

// The options of a search request as every link writes them, in the order the
// search options are read: "&mode=" + the key (nothing for an empty key), then
// "&days=" + the number and its letters (nothing without a number), then
// "&chart=" + its number (nothing without one).
std::string RequestOptions(std::string_view mode_key, std::optional<int> days = {}, std::string_view letters = {},
                           std::optional<int> chart = {});
// The view's period as the options name it: nothing for all time.
std::optional<int> PeriodOption(const ReportView& view);
// The view's own options.
std::string ViewOptions(const ReportView& view);
// The view's mode alone, for links to another period.
std::string ModeOption(const ReportView& view);

// The "&days=" number of the clan activity view.
inline constexpr int kClanActivityDays = -6;

// The option that fetches afresh even when a fresh cached copy is there.
inline constexpr std::string_view kUpdateOption = "&update";

}  // namespace tarvelo
