// The player's stored days as pictures: battles, WN8, win percent and damage
// of each day (the step from the stored day before, in the selected mode) over
// the newest days, and the same figures as a table for those who cannot see
// the charts.
#include <algorithm>
#include <array>

#include "report/account_parts.h"
#include "report/html.h"
#include "report/svg_chart.h"
#include "text/html_escape.h"

namespace tarvelo::detail {

namespace {

// What one day shows, worked out once for the charts and the table.
struct DayFigures {
  DateTime day = 0;
  bool has_step = false;
  int64_t battles = 0;
  double win_percent = 0;
  double damage = 0;  // per battle
  double wn8 = 0;
  double total_wn8 = 0;
  std::optional<double> total_win_percent;
  std::string tooltip;
};

DayFigures FiguresOf(const SummaryDay& summary) {
  const ModeDay& figures = summary.figures;
  DayFigures day;
  day.day = summary.day;
  day.has_step = figures.has_step;
  day.battles = figures.step.battles;
  if (day.battles > 0) {
    day.win_percent = 100.0 * static_cast<double>(figures.step.wins) / static_cast<double>(day.battles);
    day.damage = static_cast<double>(figures.step.damage) / static_cast<double>(day.battles);
    day.wn8 = figures.step.wn8;
  }
  day.total_wn8 = figures.total.wn8;
  if (figures.total.battles > 0) {
    day.total_win_percent =
        100.0 * static_cast<double>(figures.total.wins) / static_cast<double>(figures.total.battles);
  }
  // The first stored day has no step, so no mark to explain.
  day.tooltip = FormatDate(day.day) + ": " + Format("%d ", {day.battles}) +
                std::string(Plural(day.battles, "бой", "боя", "боёв"));
  if (day.battles > 0) {
    day.tooltip += Format(", %.2f %% побед, урон %.0n, WN8 %.2n", {day.win_percent, day.damage, day.wn8});
  }
  return day;
}

bool Played(const DayFigures& day) { return day.has_step && day.battles > 0; }

// The charts read the days oldest first.
Chart ChartOf(std::string title, ChartMarks marks, int decimals, const std::vector<DayFigures>& days) {
  Chart chart{std::move(title), marks, days.back().day, days.front().day, decimals, {}};
  for (auto day = days.rbegin(); day != days.rend(); ++day) chart.days.push_back({day->day, {}, {}, {}, day->tooltip});
  return chart;
}

std::string Charts(const std::vector<DayFigures>& days) {
  Chart battles = ChartOf("Бои за день", ChartMarks::kBars, 0, days);
  Chart wn8 = ChartOf("WN8 за день и WN8 за всё время", ChartMarks::kPoints, 0, days);
  Chart wins = ChartOf("Процент побед за день и за всё время", ChartMarks::kPoints, 0, days);
  Chart damage = ChartOf("Средний урон за день", ChartMarks::kPoints, 0, days);
  for (size_t i = 0; i < days.size(); ++i) {
    const DayFigures& day = days[days.size() - 1 - i];
    if (day.has_step) battles.days[i].value = static_cast<double>(day.battles);
    if (day.total_wn8 > 0) wn8.days[i].line = day.total_wn8;
    wins.days[i].line = day.total_win_percent;
    if (!Played(day)) continue;
    wn8.days[i].value = day.wn8;
    wn8.days[i].colour_class = ColourClass(scales::kWn8, day.wn8);
    wins.days[i].value = day.win_percent;
    wins.days[i].colour_class = ColourClass(scales::kWinRate, day.win_percent);
    damage.days[i].value = day.damage;
    damage.days[i].colour_class = ColourClass(scales::kDamage, day.damage);
  }
  std::string html;
  for (const Chart* chart : {&battles, &wn8, &wins, &damage}) html += SvgChart(*chart);
  return html;
}

std::string Cell(std::string_view text, const std::string& colour_class = {}) {
  return (colour_class.empty() ? "<td>" : "<td class=\"" + colour_class + "\">") + std::string(text) + "</td>";
}

std::string Table(const std::vector<DayFigures>& days) {
  std::string html =
      "<details><summary>Таблица по дням</summary><table class=\"history-data\"><tr><th>Дата</th><th>Боёв</th>"
      "<th>Побед</th><th>Урон</th><th>WN8 дня</th><th>WN8</th></tr>";
  for (const DayFigures& day : days) {
    html += "<tr>" + Cell(FormatDate(day.day)) + Cell(day.has_step ? Format("%.0n", {day.battles}) : "");
    if (Played(day)) {
      html += Cell(Format("%.2f%%", {day.win_percent})) + Cell(Format("%.2f", {day.damage})) +
              Cell(Format("%.2f", {day.wn8}), ColourClass(scales::kWn8, day.wn8));
    } else {
      html += Cell("") + Cell("") + Cell("");
    }
    html += Cell(Format("%.2f", {day.total_wn8}), ColourClass(scales::kWn8, day.total_wn8)) + "</tr>";
  }
  return html + "</table></details>";
}

// «30», «90», «365», «все»: the same search with another number of days.
std::string RangeLinks(const AccountReportInput& input, int shown) {
  const std::string& nickname = input.shown.Nickname;
  std::string links;
  for (const auto& [label, days] : std::array{std::pair{"30", 30}, std::pair{"90", 90}, std::pair{"365", 365},
                                              std::pair{"все", 0}}) {
    const std::string options =
        RequestOptions(input.view.mode_key, PeriodOption(input.view), input.view.letters, days);
    links += std::string(links.empty() ? "" : " ") + "<a href=\"" + SearchHref(input.site.site, nickname, options) +
             "\" onclick=\"" + DoCmdCall("search", nickname, options) + "\"" +
             (days == shown ? " class=\"current\"" : "") + ">" + label + "</a>";
  }
  return links;
}

}  // namespace

RowContent HistorySection(const AccountReportInput& input, const RowRequest&) {
  RowContent content;
  if (input.history.empty()) {
    content.no_data = true;
    return content;
  }
  const int wanted = input.view.chart.value_or(kDefaultChartDays);
  const size_t count = wanted > 0 ? std::min(input.history.size(), static_cast<size_t>(wanted)) : input.history.size();
  std::vector<DayFigures> days;  // newest first
  for (size_t i = 0; i < count; ++i) days.push_back(FiguresOf(input.history[i]));

  const int64_t shown = static_cast<int64_t>(days.size());
  content.caption = "История – " + std::to_string(shown) + " " +
                    std::string(Plural(shown, "сохранённый день", "сохранённых дня", "сохранённых дней")) +
                    " <span class=\"noWrap\">(" + RangeLinks(input, wanted) + ")</span>";
  content.value = std::string(kBlockRow) + Charts(days) + Table(days);
  return content;
}

}  // namespace tarvelo::detail
