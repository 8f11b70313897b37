#include "report/day_strip.h"

#include <algorithm>

#include "model/period.h"
#include "model/tables.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/russian.h"

namespace tarvelo {

namespace {

constexpr size_t kDayCells = kDayStripDays;
constexpr std::string_view kBlankCellContent = ">&nbsp;<br />&nbsp;<br />&nbsp;<br />&nbsp;</td>";

int Mode(const ReportView& view) { return view.mode >= 0 && view.mode < kModeCount ? view.mode : kModeAll; }

bool MainRatingIsWn8(const DayStripInput& input) { return input.rating_name == "WN8"; }

float MainRating(const DayStripInput& input, const RWOTAccountStats& block) {
  return MainRatingIsWn8(input) ? block.rateWN8 : block.rateEFF;
}

void FillStats(const DayStripInput& input, const RWOTAccountStats& block, std::string label,
               TSemaphoreDayStats& stats) {
  stats.label = std::move(label);
  stats.battles = block.Battles;
  stats.win_percent = block.Battles < 1 ? 0.0f : static_cast<float>(100.0 * block.Wins / block.Battles);
  stats.rating = MainRating(input, block);
}

// Battles and the coloured win percent: "%.0n<br />[%.1f%%]".
std::string BattlesAndWins(const TSemaphoreDayStats& stats) {
  return Format(BracketColour("%.0n<br />[%.1f%%]", ColourClass(scales::kWinRate, stats.win_percent)),
                {stats.battles, stats.win_percent});
}

std::string ColouredRating(const DayStripInput& input, double rating, std::string_view format) {
  return Format(BracketColour(format, ColourClass(MainRatingScale(input.rating_name), rating)), {rating});
}

// " class=\"curDays…\"" and its neighbours, or nothing.
std::string CellClass(size_t day, size_t shown_days, size_t date_count, const std::string& letters) {
  std::string_view kind;
  if (day == shown_days) {
    kind = "curDays";
  } else if (shown_days == date_count) {
    if (shown_days == day + 1) {
      kind = "nextDays";
    } else if (day >= shown_days + 1) {
      kind = "prevDays";
    }
  } else if (day < shown_days) {
    kind = "nextDays";
  } else if (day >= shown_days + 1 && letters == "b") {
    kind = "prevDays";
  }
  return kind.empty() ? std::string() : " class=\"" + std::string(kind) + letters + "\"";
}

// A click on the current day cycles through its three views.
std::string_view LinkLetters(bool current, const std::string& letters) {
  if (!current) return {};
  if (letters.empty()) return "o";
  if (letters == "o") return "b";
  return {};
}

}  // namespace

std::string SemaphoreDay(const DayStripInput& input, const ModeSnapshot*& working, ModeSnapshot& older, size_t day,
                         TSemaphoreDayStats& stats) {
  const ADateArr& dates = input.dates;
  if (day >= dates.size()) {
    const RWOTAccountStats& block = working->block;
    FillStats(input, block, FormatDayMonth(dates[day - 1]), stats);
    if (block.Battles < 1) return "0";
    return BattlesAndWins(stats) + ColouredRating(input, stats.rating, "<br />[%.0f]");
  }
  const StoredDay stored = day <= input.strip_days.size() ? input.strip_days[day - 1] : StoredDay(nullptr);
  const ModeSnapshot* older_figures = stored.Figures(working->mode, older);
  if (older_figures == nullptr) return "...";
  // Only the mode's block of the period is shown: the rest of the period record is not made.
  const RWOTAccountStats block = PeriodModeStats(*working, *older_figures, input.reference);
  const bool gap = dates[day] + 1 < dates[day - 1];
  FillStats(input, block, (gap ? ".." : "") + FormatDayMonth(dates[day - 1]), stats);
  working = older_figures;
  if (block.Battles < 1) return "0<br />&nbsp;<br />&nbsp;";
  const bool wn8 = MainRatingIsWn8(input);
  const double other = wn8 ? block.rateEFF : block.rateWN8;
  const double other_scale = wn8 ? block.xEFF : block.xWN8;
  const std::string other_title =
      std::string(wn8 ? "EFF" : "WN8") + ": " + Format("%.0f (%.0f)", {other, other_scale});
  return BattlesAndWins(stats) + "<br /><span title=\"" + other_title + "\">" +
         ColouredRating(input, stats.rating, "[%.0f]") + "</span>";
}

DayStrip SemaphoreRow(const DayStripInput& input) {
  DayStrip strip;
  const ADateArr& dates = input.dates;
  if (dates.empty()) {
    for (size_t day = 0; day < kDayCells; ++day) strip.row += "<td width=\"14%\"" + std::string(kBlankCellContent);
    return strip;
  }
  const std::string& letters = input.view.letters;
  const size_t count = dates.size();
  const size_t shown_days = input.view.days <= 0 ? 0 : std::min(static_cast<size_t>(input.view.days), count);
  const std::string& nickname = input.account.Nickname;
  const ModeSnapshot current = ModeSnapshotOf(input.account, Mode(input.view));
  const ModeSnapshot* working = &current;
  std::array<ModeSnapshot, kDayCells> older;  // the figures made from whole records, one per day
  std::string cells;
  for (size_t day = 1; day <= kDayCells; ++day) {
    const std::string cell_class = CellClass(day, shown_days, count, letters);
    std::string cell;
    if (day > count) {
      cell = "<td width=\"14%\"" + cell_class + std::string(kBlankCellContent) + "\r\n";
    } else {
      const bool gap = day < count && dates[day] + 1 < dates[day - 1];
      const std::string options =
          RequestOptions(input.view.mode_key, static_cast<int>(day), LinkLetters(day == shown_days, letters));
      const std::string href =
          SearchHref(input.site + "/", nickname, options) + "\" onclick=\"" + DoCmdCall("search", nickname, options);
      const std::string content = SemaphoreDay(input, working, older[day - 1], day, strip.days[day - 1]);
      cell = "<td width=\"14%\"" + cell_class + ">" + (gap ? ".." : "") + "<a href=\"" + href + "\">" +
             FormatDayMonth(dates[day - 1]) + "</a><br />" + content + "</td>\r\n";
    }
    cells = cell + cells;
  }
  strip.row = "<tr title=\"Нажмите на дату для просмотра детальной статистики за соответствующий период "
              "времени.\">" +
              cells + "</tr>\r\n";
  return strip;
}

}  // namespace tarvelo
