// The clan-suitability table of the player report: the eight criteria with
// the player's figure, the norm and the criterion's score, and their total.
#include <array>

#include "model/ratings.h"
#include "model/tables.h"
#include "report/account_parts.h"
#include "report/delta.h"
#include "report/scales.h"
#include "text/replace.h"

namespace tarvelo::detail {

RowContent SuitabilitySection(const AccountReportInput& input, const RowRequest&) {
  const RWOTAccountStats& s = ModeBlock(input, input.shown);
  RowContent content;
  if (s.Battles <= 0) return content;
  // By criterion: the figure and the format of "figure / norm|score".
  const std::array<std::pair<double, std::string_view>, 8> criteria{{
      {s.rateKORV, "%.0f / %.0f|     [%.2f]"},
      {s.WinsPercent, "%.2f%% / %.1f%%| [%.2f]"},
      {static_cast<double>(s.Battles), "%.0n / %.0n|     [%.2f]"},
      {PerBattle(s.Frags, s.Battles), "%.0n / %.0n|     [%.2f]"},
      {s.DamageTop, "%.0f / %.0f|     [%.2f]"},
      {s.EfficiencyKoef, "%.2n / %.1n|     [%.2f]"},
      {s.LevelAvg, "%.2n / %.1n|     [%.2f]"},
      {static_cast<double>(input.shown.TopVehicleCount), "%d / %.0f|       [%.2f]"},
  }};
  for (size_t i = 0; i < criteria.size(); ++i) {
    const auto& [figure, format] = criteria[i];
    const double score = ClanableTerm(static_cast<int>(i) + 1, figure);
    const std::string cells = BracketColour(ReplaceAll(format, "|", "</td><td>"), ColourClass(scales::kClanable, score));
    content.value += "</td></tr>\r\n<tr><td>" + std::string(ClanableCriteria[i].label) + "</td><td>" +
                     Format(cells, {figure, ClanableCriteria[i].norm, score}) + std::string(kEmptyProgressCell);
  }
  content.value += "</td></tr>\r\n<tr><td>Итог</td><td colspan=\"3\">" +
                   Format(BracketColour("[%.2n]", ColourClass(scales::kClanable, s.Clanable)), {s.Clanable});
  return content;
}

}  // namespace tarvelo::detail
