// The vehicles section of the player report: the filter and sort menu, and one
// row per vehicle with its detail pop-up, damage bar, picture, battles, win
// percent and period change. The page script filters and sorts the rows.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "acquire/picture_files.h"
#include "model/tables.h"
#include "model/wn8_target.h"
#include "report/account_parts.h"
#include "report/delta.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

constexpr std::string_view kColumnTable = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\">";
constexpr std::string_view kNoExpectedDamageTitle =
    "Номинальный урон на данном танке пока не определен, поэтому рейтинг WN8 по нему не рассчитывается.";

std::string ReplaceFirst(std::string_view text, std::string_view pattern, std::string_view replacement) {
  const size_t at = text.find(pattern);
  if (at == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, at)) + std::string(replacement) + std::string(text.substr(at + pattern.size()));
}

bool PeriodView(const AccountReportInput& input) { return input.view.days > 0; }

// The all-time view of all battles shows the top tier's vehicles first.
bool TopTierFirst(const AccountReportInput& input) { return !PeriodView(input) && input.view.mode == kModeAll; }

std::string TierDigit(int tier) { return std::to_string(tier % 10); }

std::string FilterMenu(const AccountReportInput& input) {
  const std::string checked_id = TopTierFirst(input) ? "vLevel" + TierDigit(input.shown.HighestTier) : "v";
  const auto filter = [&checked_id](const std::string& value, const std::string& id, std::string_view label) {
    return RadioItem("vehicles", value, id, "showv(this)", id == checked_id, label);
  };
  std::string html =
      "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><div><b "
      "class=\"sectionHdr\">Фильтр:</b><ul class=\"aLabel\">\r\n";
  for (int tier = kTierCount; tier >= 1; --tier) {
    const std::string digit = TierDigit(tier);
    html += filter("Level" + digit, "vLevel" + digit, "техника " + std::to_string(tier) + "-го уровня");
  }
  html += filter("Fav", "vFav", "техника для 7/54");
  html += filter("Pre", "vPre", "премиумная техника");
  html += filter("All", "v", "вся техника");
  html += "</ul>\r\n<ul class=\"aLabel\">\r\n";
  for (int type = 1; type < kClassCount; ++type) {
    const std::string k = std::to_string(type);
    html += filter("Type" + k, "vType" + k, VehicleTypes[type].label);
  }
  html += "</ul><br />\r\n<b class=\"sectionHdr\">Сортировка:</b><ul class=\"aLabel\">\r\n";
  static constexpr std::array<std::string_view, 7> kSortLabels{
      "по технике", "по мастерству", "по уровню", "по боям", "по урону", "по победам", "по коэф. Иванерра"};
  for (size_t k = 0; k < kSortLabels.size(); ++k) {
    const std::string n = std::to_string(k);
    html += RadioItem("sortvehicles", "v" + n, "sv" + n,
                      "doSort(document.getElementById('VehiclesList')," + n + ")", k == 3, kSortLabels[k]);
  }
  return html + "</ul></div></div></div>\r\n";
}

// The three columns of a vehicle's detail pop-up.
void AppendDetailColumns(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s,
                         double ivanerr_weight, std::string& out) {
  const double frags = PerBattle(s.Frags, s.Battles);
  const double spotted = PerBattle(s.Spotted, s.Battles);
  const double dropped = PerBattle(s.Dropped, s.Battles);
  const double capture = PerBattle(s.Capture, s.Battles);
  const double survived = PerBattle(100.0 * s.SurvivedBattles, s.Battles);
  const double expected_per_battle = PerBattle(s.ExpDamageSum, s.Battles);
  constexpr std::string_view kGap = "</td><td class=\"noBrd\">&nbsp;&nbsp;&nbsp;&nbsp;</td><td class=\"noBrd\">";

  out += "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\"><tbody><tr><td class=\"noBrd\">";
  out += kColumnTable;
  AppendLines(out, {{"<tr><td>Уничтожено</td><td>[%.2f]</td></tr>", frags, scales::kFrags, frags},
                    {"<tr><td>Обнаружено</td><td>[%.2f]</td></tr>", spotted, scales::kSpotted, spotted},
                    {"<tr><td>Очки защиты</td><td>[%.2f]</td></tr>", dropped, scales::kDefence, dropped},
                    {"<tr><td>Очки захвата</td><td>[%.2f]</td></tr>", capture, scales::kCapture, capture},
                    {"<tr><td>Коэф. уничт.</td><td>[%.2f]</td></tr>", s.FragsKoef, scales::kFragsPerDeath, s.FragsKoef},
                    {"<tr><td>Коэф. урона</td><td>[%.2f]</td></tr>", s.DamageKoef, scales::kDealtToReceived,
                     s.DamageKoef}});
  out += "</table>";

  out += kGap;
  out += kColumnTable;
  if (s.ExpDamageSum != 0) {
    const double ratio = expected_per_battle > 0 ? s.DamageAvg / expected_per_battle : 0;
    AppendLines(out, {{"<tr><td>Средний урон</td><td>[%.0f]</td></tr>", s.DamageAvg, scales::kDamageRatio, ratio}});
  } else {
    out += Format("<tr><td>Средний урон</td><td>%.0f</td></tr>", {s.DamageAvg});
  }
  AppendLines(out, {{"<tr><td>Победы</td><td>[%.2f%%]</td></tr>", s.WinsPercent, scales::kWinRate, s.WinsPercent},
                    {"<tr><td>Процент попадания</td><td>[%.0f%%]</td></tr>", s.HitsPercent, scales::kHit, s.HitsPercent},
                    {"<tr><td>Выжил в боях</td><td>[%.0f%%]</td></tr>", survived, scales::kSurvival, survived},
                    {"<tr><td>Средний опыт</td><td>[%.0f]</td></tr>", s.XpAvg, scales::kExperience, s.XpAvg}});
  if (!PeriodView(input)) {
    const double max_frags = vehicle.MaxFrags;
    AppendLines(out, {{"<tr><td>Макс. уничтожено</td><td>[%d]</td></tr>", max_frags, scales::kMaxFrags, max_frags}});
  }
  out += "</table>";

  out += kGap;
  out += kColumnTable;
  AppendLines(out, {{"<tr><td>EFF</td><td>[%.0f]</td></tr>", s.rateEFF, scales::kEff, s.rateEFF},
                    {"<tr><td>WN6</td><td>[%.0f]</td></tr>", s.rateWN6, scales::kWn6, s.rateWN6},
                    {"<tr><td>WN8</td><td>[%.0f]</td></tr>", s.rateWN8, scales::kWn8, s.rateWN8},
                    {"<tr><td>BS</td><td>[%.0f]</td></tr>", s.rateBS, scales::kBs, s.rateBS}});
  if (!PeriodView(input) && ivanerr_weight > 0) {
    AppendLines(out, {{"<tr><td>IVR</td><td>[%.2f]</td></tr>", s.rateIVR, scales::kVehicleIvr, s.rateIVR}});
  }
  out += "</table></td></tr></tbody></table>";
}

// The damage per battle each WN8 colour step from the third on needs, rounded up
// so that it reaches the step; none without battles or expected values.
struct DamageStep {
  double threshold;
  double damage;
};
std::vector<DamageStep> DamageSteps(const RWOTAccountStats& s) {
  std::vector<DamageStep> steps;
  for (size_t k = 2; k < scales::kWn8.t.size(); ++k) {
    const double threshold = scales::kWn8.t[k];
    const std::optional<double> damage = DamageForWn8(s, threshold);
    if (!damage) return {};
    steps.push_back({threshold, std::ceil(*damage)});
  }
  return steps;
}

// «Урон для WN8: 1 234 / 1 567 / …», each number in the colour of its step.
void AppendDamageSteps(const std::vector<DamageStep>& steps, std::string& out) {
  if (steps.empty()) return;
  out += "<p class=\"wn8damage\">Урон для WN8: ";
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) out += " / ";
    AppendColouredValue(out, "[%.0n]", steps[i].damage, scales::kWn8, steps[i].threshold);
  }
  out += "</p>";
}

// The same for a tooltip, which has no colours: each step's WN8 in brackets.
std::string DamageStepsTitle(const std::vector<DamageStep>& steps) {
  if (steps.empty()) return {};
  std::string title = "&#10;Урон для WN8:";
  for (size_t i = 0; i < steps.size(); ++i) {
    title += i > 0 ? " /" : "";
    title += Format(" %.0n (%.0n)", {steps[i].damage, steps[i].threshold});
  }
  return title;
}

void AppendDetailPopup(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s,
                       std::string_view name, const std::vector<DamageStep>& steps, std::string& out) {
  const double weight = input.reference.IvanerrWeight(vehicle.TankId);
  out += "<div class=\"addons detail\"><div class=\"inner\"><span class=\"plus\"></span><div";
  if (vehicle.Tier == 10) out += Format(" title=\"Коэффициент значимости танка по Иванерру - %.3f\"", {weight});
  out += "><p><span class=\"cW\">";
  out += name;
  out += "</span>";
  if (s.Battles <= 0) {
    out += " - на танке не было проведено ни одного боя!</p>";
    return;
  }
  out += "</p>";
  AppendDetailColumns(input, vehicle, s, weight, out);
  AppendDamageSteps(steps, out);
}

// How much damage per battle is missing to the next step of the damage-ratio
// scale, "D до T "; empty at the top step. A step counts as reached as it does
// for the colour.
std::string DamageHint(double damage, double expected_per_battle) {
  const auto ratio = static_cast<float>(damage / expected_per_battle);
  for (const float step : scales::kDamageRatio.t) {
    if (ratio >= step) continue;
    const double target = std::round(step * expected_per_battle);
    return Format("%.0f до %.0f ", {target - damage, target});
  }
  return {};
}

void AppendDamageBar(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s,
                     const std::vector<DamageStep>& steps, std::string& out) {
  out += "<span class=\"vDamage\" title=\"";
  if (s.ExpDamageSum != 0) {
    const double expected_per_battle = PerBattle(s.ExpDamageSum, s.Battles);
    const double ratio = expected_per_battle > 0 ? s.DamageAvg / expected_per_battle : 0;
    out += DamageHint(s.DamageAvg, expected_per_battle);
    out += Format("Номинальный урон по WN8: %.0f", {expected_per_battle});
    out += DamageStepsTitle(steps);
    out += "\">";
    if (s.Battles > 0) {
      AppendColouredValue(out, "[%.0f]", s.DamageAvg, scales::kDamageRatio, ratio);
    } else {
      out += "0";
    }
  } else {
    out += kNoExpectedDamageTitle;
    out += "\">";
    out += Format("<span><sup>(!)</sup> %.0f</span>", {s.DamageAvg});
  }
  const std::string picture = VehiclePictureFile(input.vehicle_images_folder, vehicle.Images);
  out += "</span><small style=\"background-image: url('";
  if (!picture.empty()) out += FileUrl(picture);
  out += "')\">";
  if (vehicle.Tier >= 1 && vehicle.Tier <= kTierCount) {
    out += TierNumerals[vehicle.Tier - 1];
  } else {
    out += std::to_string(vehicle.Tier);
  }
  out += " </small>";
}

// Battles and win percent, with the wins needed for the next steps in the
// all-time view. The battles' span closes before the win-percent cell.
void AppendBattlesAndWins(const AccountReportInput& input, const RowRequest& request, const RWOTAccountStats& s,
                          std::string& out) {
  std::string format = ReplaceAll(request.format, "|", "</span>|");
  format = WinsNeededTooltip(format, s.Battles, s.Wins, input.view.days);
  format = ReplaceAll(format, "|", "</td><td>");
  const double win_percent = s.Battles > 0 ? s.WinsPercent : 0;
  out += "<span>";
  out += Format(BracketColour(format, ColourClass(scales::kWinRate, win_percent)), {s.Battles, win_percent});
}

// One vehicle's row appended to `out`; true when it is shown as the page loads.
bool AppendVehicleRow(const AccountReportInput& input, const RowRequest& request, const RVehicleStat& vehicle,
                      std::string& out) {
  const RWOTAccountStats& s = ModeBlock(input, vehicle);
  const bool shown = !TopTierFirst(input) || vehicle.Tier == input.shown.HighestTier;
  out += shown ? "<tr" : "<tr style=\"display:none\"";
  out += " class=\"vehicle vLevel";
  out += TierDigit(vehicle.Tier);
  out += " vType";
  out += std::to_string(vehicle.VehicleType);
  if (vehicle.IsPremium) out += " vPre";
  if (IsListedVehicleName(vehicle.Name)) out += " vFav";
  out += "\"><td";
  if (vehicle.MarkOfMastery > 0) out += " class=\"mclass" + std::to_string(vehicle.MarkOfMastery) + "\"";
  out += ">";
  const std::string name = EscapeHtml(vehicle.Name);
  const std::vector<DamageStep> steps = DamageSteps(s);
  AppendDetailPopup(input, vehicle, s, name, steps, out);
  out += "</div></div></div><span>";
  out += name;
  out += "</span></td><td width=\"40%\">";
  AppendDamageBar(input, vehicle, s, steps, out);
  AppendBattlesAndWins(input, request, s, out);
  const bool new_note = PeriodView(input) && input.view.letters != "b";
  out += DeltaCell(100.0 * s.WinsRatioChange, new_note ? "NEW" : "");
  return shown;
}

}  // namespace

RowContent VehiclesSection(const AccountReportInput& input, const RowRequest& request) {
  const AVehicleStats& vehicles = input.shown.Vehicles;
  RowContent content;
  size_t shown = 0;
  for (const RVehicleStat& vehicle : vehicles) {
    content.value += content.value.empty() ? "</td></tr>\r\n</tbody><tbody id=\"VehiclesList\"" +
                                                 std::string(request.hidden ? " class=\"hide\"" : "") + ">"
                                           : "</td></tr>\r\n";
    if (AppendVehicleRow(input, request, vehicle, content.value)) ++shown;
  }

  const std::string counter = "</b><span>&nbsp;(" + std::to_string(shown) + " / " + std::to_string(vehicles.size()) + ")";
  const std::string title = TopTierFirst(input) && input.shown.VehicleCount > 0
                                ? "Топ-техника игрока (" + std::to_string(input.shown.HighestTier) + "-й уровень)"
                                : "Вся техника";
  content.caption = ReplaceFirst(request.row.caption, "</b><span>", title + counter);
  if (!vehicles.empty()) content.header_extra = FilterMenu(input);
  return content;
}

}  // namespace tarvelo::detail
