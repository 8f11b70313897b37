// The achievement sections and the mastery badges of the player report.
#include <algorithm>
#include <string>

#include "model/tables.h"
#include "report/account_parts.h"
#include "report/delta.h"
#include "report/html.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

std::string RomanNumeral(int32_t n) {
  static constexpr std::array<std::pair<int32_t, std::string_view>, 13> kDigits{{{1000, "M"},
                                                                                  {900, "CM"},
                                                                                  {500, "D"},
                                                                                  {400, "CD"},
                                                                                  {100, "C"},
                                                                                  {90, "XC"},
                                                                                  {50, "L"},
                                                                                  {40, "XL"},
                                                                                  {10, "X"},
                                                                                  {9, "IX"},
                                                                                  {5, "V"},
                                                                                  {4, "IV"},
                                                                                  {1, "I"}}};
  std::string text;
  for (const auto& [value, digits] : kDigits) {
    for (; n >= value; n -= value) text += digits;
  }
  return text;
}

bool Listed(const AccountReportInput& input, const RAchievements& entry, std::string_view section) {
  if (entry.section != section || entry.order < 1) return false;
  const int mode = SelectedMode(input);
  if (mode == kModeAll ? entry.condition == BattleModes[kModeHistorical].key : entry.condition != BattleModes[mode].key) {
    return false;
  }
  if (entry.type == "custom" && Contains(entry.name_i18n, ": ")) return false;
  return input.view.days <= 0 || entry.count != 0;
}

std::string YesNo(int32_t count) { return count > 0 ? "да" : "нет"; }

std::string ValueCells(const RAchievements& entry) {
  const int32_t best = std::max(entry.count, entry.extra_count);
  if (entry.type == "series") return "</td><td>" + std::to_string(best) + "</td><td>" + YesNo(entry.count);
  if (entry.type == "custom") return "</td><td>" + std::to_string(best) + " / 9</td><td>" + YesNo(entry.count);
  if (entry.type == "class") {
    return "</td><td colspan=\"2\">" + (entry.count == 0 ? Greyed("&ndash;") : RomanNumeral(entry.count));
  }
  return "</td><td colspan=\"2\">" + (entry.count > 0 ? std::to_string(entry.count) : Greyed("&ndash;"));
}

std::string AchievementRow(const RAchievements& entry) {
  const std::string title = EscapeHtml(entry.name_i18n);
  return "</td></tr>\r\n<tr title=\"" + EscapeHtml(entry.description) + "\"><td>" +
         (entry.count == 0 ? Greyed(title) : title) + ValueCells(entry) + std::string(kEmptyProgressCell);
}

std::string Counter(int64_t shown, int64_t listed) {
  return " (" + std::to_string(shown) + " / " + std::to_string(listed) + ")";
}

}  // namespace

RowContent AchievementSection(const AccountReportInput& input, const RowRequest& request) {
  const std::string_view section = request.key.substr(request.key.find('_') + 1);
  RowContent content;
  int64_t listed = 0;
  int64_t with_value = 0;
  for (const RAchievements& entry : input.shown.Achievements) {
    if (!Listed(input, entry, section)) continue;
    ++listed;
    if (entry.count != 0) ++with_value;
    content.value += AchievementRow(entry);
  }
  content.no_data = listed == 0 || (input.view.days > 0 && with_value == 0);
  content.caption_suffix = Counter(with_value, listed);
  return content;
}

// The title of a badge's row lists the vehicles that hold it.
RowContent MasterySection(const AccountReportInput& input, const RowRequest& request) {
  const RWOTAccount& account = input.shown;
  int64_t badges = 0;
  for (int badge = 1; badge < kBadgeCount; ++badge) badges += account.CountByBadge[badge];
  RowContent content;
  content.caption_suffix = Counter(badges, account.VehicleCount);
  const bool period = input.view.days > 0;
  if (badges == 0) {
    content.no_data = period;
    return content;
  }
  const std::string format = ReplaceAll(request.format, "|", "</td><td>");
  for (int badge = kBadgeCount - 1; badge >= 1; --badge) {
    const int32_t count = account.CountByBadge[badge];
    if (period && count <= 0) continue;
    const std::string_view name = MasteryBadges[badge];
    content.value += "</td></tr>\r\n<tr title=\"" + EscapeHtml(account.NamesByBadge[badge]) + "\"><td>" +
                     (count == 0 ? Greyed(name) : std::string(name)) + "</td><td>" + Format(format, {count}) +
                     std::string(kEmptyProgressCell);
  }
  return content;
}

}  // namespace tarvelo::detail
