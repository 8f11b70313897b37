#include "report/delta.h"

#include <algorithm>
#include <cmath>

#include "report/html.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

namespace {

constexpr std::string_view kProgressCell = "</td><td class=\"progress\">";
constexpr std::string_view kUnchanged = "0,00";

// Wins in a row that bring `wins` of `battles` up to `percent`.
double WinsToReach(double percent, double battles, double wins) {
  return std::ceil((battles * percent / 100 - wins) / (1 - percent / 100));
}

}  // namespace

std::string DeltaCell(double delta, std::string_view note) {
  const bool changed = delta > 0 || delta < 0;  // neither zero nor NaN
  if (!changed) return note.empty() ? std::string(kEmptyProgressCell) : std::string(kProgressCell) + Greyed(note);
  const std::string amount = Format("%.2f", {std::fabs(delta)});
  // A change too small to show is shown as none, neither gain nor loss.
  if (amount == kUnchanged) return std::string(kProgressCell) + Greyed(amount);
  if (delta > 0) return std::string(kProgressCell) + "<span class=\"g\">+" + amount + "</span>";
  return std::string(kProgressCell) + "<span class=\"r\">&ndash;" + amount + "</span>";
}

// The next half-percent step strictly above the current win percent, and the one after it.
std::string WinsNeededTooltip(std::string_view format, int64_t battles, int64_t wins, int period_days) {
  if (period_days > 0 || battles <= 0 || wins >= battles) return std::string(format);
  const double n = static_cast<double>(battles);
  const double w = static_cast<double>(std::max<int64_t>(wins, 0));
  const double permille = std::ceil(w / n * 1000 + 0.01);
  const double first = std::ceil(permille / 5) * 0.5;
  const double second = first + 0.5;
  // 100% is never reached by winning more.
  if (second >= 100) return std::string(format);
  const std::string title =
      Format("</td><td title=\"%.0f до %.1f%%%% / %.0f до %.1f%%%%\">",
             {WinsToReach(first, n, w), first, WinsToReach(second, n, w), second});
  return ReplaceAll(format, "|", title);
}

}  // namespace tarvelo
