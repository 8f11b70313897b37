// The preference sections of the player report: battles and win percent per
// tier, vehicle class and nation, each with a bar of its share of the battles.
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "model/tables.h"
#include "report/account_parts.h"
#include "report/delta.h"
#include "report/scales.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

struct Groups {
  bool bar_holds_their_sum;  // tiers: their battles may add up to more than the mode's
  size_t count;
  std::string_view (*label)(size_t group);
  int32_t (*battles)(const RWOTAccount& account, size_t group);
  int32_t (*wins)(const RWOTAccount& account, size_t group);
};

constexpr Groups kTiers{
    true, kTierCount, [](size_t g) { return TierNumerals[g]; },
    [](const RWOTAccount& a, size_t g) { return a.BattlesByTier[g]; },
    [](const RWOTAccount& a, size_t g) { return a.WinsByTier[g]; }};
constexpr Groups kClasses{
    false, kClassCount, [](size_t g) { return VehicleTypes[g].label; },
    [](const RWOTAccount& a, size_t g) { return a.BattlesByClass[g]; },
    [](const RWOTAccount& a, size_t g) { return a.WinsByClass[g]; }};
constexpr Groups kNations{
    false, kNationCount, [](size_t g) { return Nations[g].label; },
    [](const RWOTAccount& a, size_t g) { return a.BattlesByNation[g]; },
    [](const RWOTAccount& a, size_t g) { return a.WinsByNation[g]; }};

double WinPercent(const Groups& groups, const RWOTAccount& account, size_t group) {
  return PerBattle(100.0 * groups.wins(account, group), groups.battles(account, group));
}

// What a full bar stands for: the mode's battles, for tiers at least their sum.
double FullBar(const Groups& groups, const AccountReportInput& input) {
  double all = ModeBlock(input, input.shown).Battles;
  if (groups.bar_holds_their_sum) {
    double sum = 0;
    for (size_t g = 0; g < groups.count; ++g) sum += groups.battles(input.shown, g);
    all = std::max(all, sum);
  }
  return all;
}

std::string GroupRow(const Groups& groups, const AccountReportInput& input, const RowRequest& request, size_t group,
                     double full_bar) {
  const int32_t battles = groups.battles(input.shown, group);
  const double win_percent = WinPercent(groups, input.shown, group);
  const long bar = std::lround(battles * 80.0 / std::max(full_bar, 1.0)) + 1;
  const std::string format = ReplaceAll(request.format, "|", "</td><td>");

  const bool period = input.view.days > 0;
  const bool base_played = groups.battles(input.base, group) > 0;
  const double change = base_played ? WinPercent(groups, input.current, group) - WinPercent(groups, input.base, group) : 0;
  const std::string_view note = period && input.view.letters != "b" && !base_played ? "NEW" : "";

  return "</td></tr>\r\n<tr class=\"graf\"><td>" + std::string(groups.label(group)) + "</td><td><small><span style=\"width: " +
         std::to_string(bar) + "px\"></span></small>" +
         Format(BracketColour(format, ColourClass(scales::kWinRate, win_percent)), {battles, win_percent}) +
         DeltaCell(change, note);
}

}  // namespace

RowContent PreferenceSection(const AccountReportInput& input, const RowRequest& request) {
  const Groups& groups = request.key == "VehicleLevel" ? kTiers : request.key == "VehicleClass" ? kClasses : kNations;
  const double full_bar = FullBar(groups, input);
  RowContent content;
  for (size_t group = 0; group < groups.count; ++group) {
    if (groups.battles(input.shown, group) > 0) content.value += GroupRow(groups, input, request, group, full_bar);
  }
  return content;
}

}  // namespace tarvelo::detail
