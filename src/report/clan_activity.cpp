// The clan activity view: per member the battles of the last week and month,
// the month's WN8, the days since the last battle and whether the member is
// active; under the table the clan's active members, its battles per day and
// the WN8 of its most active members, and a chart of its battles per day.
#include <algorithm>
#include <cmath>
#include <map>

#include "report/clan_parts.h"
#include "report/html.h"
#include "report/scales.h"
#include "report/svg_chart.h"
#include "text/calendar.h"
#include "text/encoding.h"

namespace tarvelo {

namespace {

constexpr int kIdleBase = 9999;
constexpr int kStrongestActive = 15;  // the active members the clan's WN8 is counted over
constexpr int kChartDays = 90;

constexpr std::string_view kHeader =
    "<tr><td>Игрок</td><td>Должность</td><td>Боёв за 7 дней</td><td>Боёв за 28 дней</td>"
    "<td>WN8 за 28 дней</td><td>Дней без боёв</td><td>Активен</td></tr>\r\n";

constexpr std::string_view kNoHistoryNote =
    "<p>ПРЕДУПРЕЖДЕНИЕ: Архив истории недоступен, сохранённые дни бойцов не прочитаны, "
    "поэтому их активность не подсчитана.</p>\r\n";

std::string DaysCount(int64_t days) {
  return std::to_string(days) + std::string(Plural(days, " день", " дня", " дней"));
}

std::string BattlesCount(int64_t battles) {
  return Format("%.0n", {static_cast<double>(battles)}) + std::string(Plural(battles, " бой", " боя", " боёв"));
}

}  // namespace

ClanActivityPage::ClanActivityPage(const ClanReportInput& input, ClanActivityOptions options)
    : input_(input), options_(options) {}

ClanActivityPage::~ClanActivityPage() = default;

void ClanActivityPage::AddMember(const ClanActivityMember& member) {
  members_.push_back({member.listed.Nickname, member.listed.ClanRole, member.activity});
}

bool ClanActivityPage::Active(const Row& row) const {
  return row.activity.month.known && row.activity.month.battles >= options_.active_battles;
}

std::string ClanActivityPage::NameCell(const Row& row) const {
  const std::string options = ModeOption(input_.view);
  const bool player = UpperCase(row.name) == UpperCase(input_.game_client_account);
  return "<a href=\"" + SearchHref(input_.site.site, row.name, options) + "\" onclick=\"" +
         DoCmdCall("search", row.name, options) + "\" class=\"name" + (player ? " sectionHdr" : "") + "\">" +
         EscapeHtml(row.name) + "</a>";
}

// The window's battles, coloured by the battles a day; a window that is not
// the asked number of days long says how many it covers.
std::string ClanActivityPage::BattlesCell(const ActivityWindow& window, int days) const {
  if (!window.known) return "<span title=\"Сохранён только один день\">-</span>";
  const double per_day = static_cast<double>(window.battles) / std::max(1, window.covered_days);
  std::string html = ColouredValue("[%.0n]", static_cast<double>(window.battles), BattlesPerDayScale(input_.view.mode),
                                   per_day);
  if (window.covered_days != days) {
    html += " <span class=\"c0\" title=\"Сохранённые дни бойца охватывают " + DaysCount(window.covered_days) +
            "\">(" + std::to_string(window.covered_days) + "&nbsp;дн.)</span>";
  }
  return html;
}

std::string ClanActivityPage::Wn8Cell(const ActivityWindow& window) const {
  if (!window.known || window.battles <= 0) return "-";
  return ColouredValue("[%.0n]", window.wn8, scales::kWn8, window.wn8);
}

std::string ClanActivityPage::IdleCell(const MemberActivity& activity) const {
  if (!activity.has_days || !activity.fought) return "-";
  const int64_t days = WholeDaysBetween(input_.clock.now, activity.last_played);
  const std::string value = ColouredValue("[%d]", static_cast<double>(days), scales::kIdleReserve,
                                          static_cast<double>(kIdleBase - days));
  if (activity.last_played_exact) return value;
  // No stored step holds a battle: the last one was on the oldest stored day or before.
  return "<span title=\"Последний бой не позже " + FormatDate(activity.last_played) + "\">&ge;" + value + "</span>";
}

std::string ClanActivityPage::ActiveCell(const Row& row) const {
  if (!row.activity.month.known) return "-";
  return Active(row) ? "<span class=\"c4\">да</span>" : Greyed("нет");
}

std::string ClanActivityPage::RowHtml(const Row& row) const {
  const MemberActivity& a = row.activity;
  const bool player = UpperCase(row.name) == UpperCase(input_.game_client_account);
  return "<tr onclick=\"check(this)\"" + std::string(player ? " class=\"checked\"" : "") + "><td>" + NameCell(row) +
         "</td><td class=\"noWrap\">" + detail::RoleLabel(row.role) + "</td><td>" +
         BattlesCell(a.week, kActivityWeekDays) + "</td><td>" + BattlesCell(a.month, kActivityMonthDays) +
         "</td><td>" + Wn8Cell(a.month) + "</td><td>" + IdleCell(a) + "</td><td>" + ActiveCell(row) +
         "</td></tr>\r\n";
}

std::string ClanActivityPage::Summary(const std::vector<const Row*>& sorted) const {
  int active = 0;
  int64_t month_battles = 0;
  double weighted_wn8 = 0;
  int64_t weights = 0;
  for (const Row* row : sorted) {
    if (row->activity.month.known) month_battles += row->activity.month.battles;
    if (!Active(*row)) continue;
    // The rows are sorted by the month's battles: the first active ones played most.
    if (active++ < kStrongestActive) {
      weighted_wn8 += row->activity.month.wn8 * static_cast<double>(row->activity.month.battles);
      weights += row->activity.month.battles;
    }
  }
  const std::string wn8 =
      weights > 0 ? ColouredValue("[%.0n]", weighted_wn8 / static_cast<double>(weights), scales::kWn8,
                                  weighted_wn8 / static_cast<double>(weights))
                  : std::string("-");
  const int threshold = options_.active_battles;
  return "<p>Активных бойцов (не меньше " + std::to_string(threshold) +
         std::string(Plural(threshold, " боя", " боёв", " боёв")) +
         " за 28 дней): <b class=\"sectionHdr\">" + std::to_string(active) + "</b> из " +
         std::to_string(sorted.size()) + "<br />\r\nБоёв клана в день за 28 дней: <b class=\"sectionHdr\">" +
         Format("%.1n", {static_cast<double>(month_battles) / kActivityMonthDays}) + "</b><br />\r\n" +
         "WN8 за 28 дней " + std::to_string(std::min(active, kStrongestActive)) +
         " активных бойцов с наибольшим числом боёв (по боям): " + wn8 + "</p>\r\n";
}

std::string ClanActivityPage::ChartHtml() const {
  const DateTime last = std::floor(input_.clock.now);
  const DateTime first = last - (kChartDays - 1);
  std::map<DateTime, int64_t> battles;  // the days some member has a step of
  for (const Row& row : members_) {
    for (const DayBattles& step : row.activity.steps) {
      const DateTime day = std::floor(step.day);
      if (day >= first && day <= last) battles[day] += step.battles;
    }
  }
  Chart chart;
  chart.title = "Боёв клана в день за " + DaysCount(kChartDays);
  chart.marks = ChartMarks::kBars;
  chart.first = first;
  chart.last = last;
  for (const auto& [day, count] : battles) {
    chart.days.push_back({day, static_cast<double>(count), {}, "", FormatDate(day) + ": " + BattlesCount(count)});
  }
  return SvgChart(chart);
}

std::string ClanActivityPage::Finish(int total) {
  std::vector<const Row*> sorted;
  for (const Row& row : members_) sorted.push_back(&row);
  // Most battles in 28 days first; the members whose month is unknown last.
  const auto month = [](const Row* row) { return row->activity.month.known ? row->activity.month.battles : -1; };
  std::stable_sort(sorted.begin(), sorted.end(), [&](const Row* a, const Row* b) { return month(a) > month(b); });
  std::string rows;
  for (const Row* row : sorted) rows += RowHtml(*row);

  // The title goes in a table body of its own, above the selector's table: the page script
  // sorts the table of a page's third head by a column and numbers its rows, which would undo
  // this table's order.
  constexpr std::string_view kTable = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main\">\r\n";
  std::string html = std::string(kTable) + "<tbody id=\"ClanTagName\">" + detail::ClanTitleRow(input_, 7) +
                     "</tbody>\r\n</table>\r\n" + std::string(kTable) + ClanSelectorRow(input_) +
                     "</table>\r\n<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main clan-activity\">\r\n"
                     "<thead id=\"ClanActivityHead\">\r\n" + std::string(kHeader) +
                     "</thead>\r\n<tbody id=\"ClanActivityBody\">\r\n" + rows + "</tbody>\r\n</table>\r\n";
  if (static_cast<int>(members_.size()) < total) html += detail::InterruptionNote(static_cast<int>(members_.size()), total);
  if (!options_.history) return html + std::string(kNoHistoryNote);
  return html + Summary(sorted) + "<div class=\"main\">" + ChartHtml() + "</div>";
}

}  // namespace tarvelo
