// The parts of the player report, each the content of some layout keys, and
// the few things they share. Internal to the report layer.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "report/account_report.h"
#include "report/account_rows.h"
#include "report/report_dates.h"
#include "report/scales.h"

namespace tarvelo::detail {

// "[main]AccountName": links menu, data date, name, former names, location,
// registration, last battle, fame points.
RowContent AccountHeader(const AccountReportInput& input, const RowRequest& request);
// "[main]ClanTagName": emblems, tag, name, members, fame points, join date and role.
RowContent ClanBlock(const AccountReportInput& input, const RowRequest& request);
// "Semaphore": the list of stored days and the day strip.
RowContent DayNavigation(const AccountReportInput& input, const RowRequest& request);
// "SemaphoreEx", "SemaphoreClaim": the four columns of main figures.
RowContent MainFigures(const AccountReportInput& input, const RowRequest& request);
// The battle-mode selector floated in a section header ("Total", "SemaphoreClaim"),
// and the selected mode named after the caption.
void AddModeSelector(const AccountReportInput& input, RowContent& content);
// "[section]VehiclesAll": the filter and sort menu and a row per vehicle.
RowContent VehiclesSection(const AccountReportInput& input, const RowRequest& request);
// "[section]VehicleLevel", "VehicleClass", "VehicleNation": battles and wins per group.
RowContent PreferenceSection(const AccountReportInput& input, const RowRequest& request);
// "[section]Achievements_" + section, and "[section]Masteries".
RowContent AchievementSection(const AccountReportInput& input, const RowRequest& request);
RowContent MasterySection(const AccountReportInput& input, const RowRequest& request);
// "[section]ClanHistoryWithRoles", grouped into stays, and "[section]ClanRoles", a line per role.
RowContent ClanHistorySection(const AccountReportInput& input, const RowRequest& request);
RowContent ClanRolesSection(const AccountReportInput& input, const RowRequest& request);
// "[section]Clanable": the eight suitability criteria and their total.
RowContent SuitabilitySection(const AccountReportInput& input, const RowRequest& request);
// "[section]History": charts of the stored days and the same figures as a table.
RowContent HistorySection(const AccountReportInput& input, const RowRequest& request);
// "[section]Replays" and "[section]Location".
RowContent ReplaysSection(const AccountReportInput& input, const RowRequest& request);
RowContent LocationSection(const AccountReportInput& input, const RowRequest& request);

// The statistic rows; nothing when no rule knows the key.
std::optional<RowContent> StatisticRow(const AccountReportInput& input, const RowRequest& request);

// A line of figures whose bracketed part is the value, coloured by the scale
// on `colour_value`.
struct FigureLine {
  std::string_view format;
  double value;
  const ColourScale& scale;
  double colour_value;
};
std::string Lines(std::initializer_list<FigureLine> lines);
void AppendLines(std::string& out, std::initializer_list<FigureLine> lines);

inline double PerBattle(double total, int32_t battles) { return battles > 0 ? total / battles : 0; }

// A menu item: a radio input `id` of group `name` and its label.
std::string RadioItem(std::string_view name, std::string_view value, std::string_view id, std::string_view onclick,
                      bool checked, std::string_view label);

// Closes a section's row and opens a block row across the table.
inline constexpr std::string_view kBlockRow = "</td></tr>\r\n<tr class=\"noHover\"><td class=\"noBrd\" colspan=\"4\">";

// The selected battle mode, all battles for an index out of range; its block
// of a record and of a vehicle.
int SelectedMode(const AccountReportInput& input);
const RWOTAccountStats& ModeBlock(const AccountReportInput& input, const RWOTAccount& account);
const RWOTAccountStats& ModeBlock(const AccountReportInput& input, const RVehicleStat& vehicle);

}  // namespace tarvelo::detail
