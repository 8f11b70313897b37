// The vehicles section of the player report: the filter and sort menu, and one
// row per vehicle with its detail pop-up, damage bar, picture, battles, win
// percent and period change. The page script filters and sorts the rows.
#include <cmath>
#include <string>

#include "acquire/pictures.h"
#include "model/tables.h"
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
std::string DetailColumns(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s,
                          double ivanerr_weight) {
  const double frags = PerBattle(s.Frags, s.Battles);
  const double spotted = PerBattle(s.Spotted, s.Battles);
  const double dropped = PerBattle(s.Dropped, s.Battles);
  const double capture = PerBattle(s.Capture, s.Battles);
  const double survived = PerBattle(100.0 * s.SurvivedBattles, s.Battles);
  const double expected_per_battle = PerBattle(s.ExpDamageSum, s.Battles);

  std::string first = std::string(kColumnTable) +
                      Lines({{"<tr><td>Уничтожено</td><td>[%.2f]</td></tr>", frags, scales::kFrags, frags},
                             {"<tr><td>Обнаружено</td><td>[%.2f]</td></tr>", spotted, scales::kSpotted, spotted},
                             {"<tr><td>Очки защиты</td><td>[%.2f]</td></tr>", dropped, scales::kDefence, dropped},
                             {"<tr><td>Очки захвата</td><td>[%.2f]</td></tr>", capture, scales::kCapture, capture},
                             {"<tr><td>Коэф. уничт.</td><td>[%.2f]</td></tr>", s.FragsKoef, scales::kFragsPerDeath,
                              s.FragsKoef},
                             {"<tr><td>Коэф. урона</td><td>[%.2f]</td></tr>", s.DamageKoef,
                              scales::kDealtToReceived, s.DamageKoef}}) +
                      "</table>";

  std::string second(kColumnTable);
  if (s.ExpDamageSum != 0) {
    const double ratio = expected_per_battle > 0 ? s.DamageAvg / expected_per_battle : 0;
    second += Lines({{"<tr><td>Средний урон</td><td>[%.0f]</td></tr>", s.DamageAvg, scales::kDamageRatio, ratio}});
  } else {
    second += Format("<tr><td>Средний урон</td><td>%.0f</td></tr>", {s.DamageAvg});
  }
  second += Lines({{"<tr><td>Победы</td><td>[%.2f%%]</td></tr>", s.WinsPercent, scales::kWinRate, s.WinsPercent},
                   {"<tr><td>Процент попадания</td><td>[%.0f%%]</td></tr>", s.HitsPercent, scales::kHit,
                    s.HitsPercent},
                   {"<tr><td>Выжил в боях</td><td>[%.0f%%]</td></tr>", survived, scales::kSurvival, survived},
                   {"<tr><td>Средний опыт</td><td>[%.0f]</td></tr>", s.XpAvg, scales::kExperience, s.XpAvg}});
  if (!PeriodView(input)) {
    const double max_frags = vehicle.MaxFrags;
    second += Lines({{"<tr><td>Макс. уничтожено</td><td>[%d]</td></tr>", max_frags, scales::kMaxFrags, max_frags}});
  }
  second += "</table>";

  std::string third = std::string(kColumnTable) +
                      Lines({{"<tr><td>EFF</td><td>[%.0f]</td></tr>", s.rateEFF, scales::kEff, s.rateEFF},
                             {"<tr><td>WN6</td><td>[%.0f]</td></tr>", s.rateWN6, scales::kWn6, s.rateWN6},
                             {"<tr><td>WN8</td><td>[%.0f]</td></tr>", s.rateWN8, scales::kWn8, s.rateWN8},
                             {"<tr><td>BS</td><td>[%.0f]</td></tr>", s.rateBS, scales::kBs, s.rateBS}});
  if (!PeriodView(input) && ivanerr_weight > 0) {
    third += Lines({{"<tr><td>IVR</td><td>[%.2f]</td></tr>", s.rateIVR, scales::kVehicleIvr, s.rateIVR}});
  }
  third += "</table>";

  constexpr std::string_view kGap = "</td><td class=\"noBrd\">&nbsp;&nbsp;&nbsp;&nbsp;</td><td class=\"noBrd\">";
  return "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\"><tbody><tr><td class=\"noBrd\">" +
         first + std::string(kGap) + second + std::string(kGap) + third + "</td></tr></tbody></table>";
}

std::string DetailPopup(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s,
                        const std::string& name) {
  const double weight = input.reference.IvanerrWeight(vehicle.TankId);
  std::string html = "<div class=\"addons detail\"><div class=\"inner\"><span class=\"plus\"></span><div";
  if (vehicle.Tier == 10) html += Format(" title=\"Коэффициент значимости танка по Иванерру - %.3f\"", {weight});
  html += "><p><span class=\"cW\">" + name + "</span>";
  if (s.Battles <= 0) return html + " - на танке не было проведено ни одного боя!</p>";
  return html + "</p>" + DetailColumns(input, vehicle, s, weight);
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

std::string DamageBar(const AccountReportInput& input, const RVehicleStat& vehicle, const RWOTAccountStats& s) {
  std::string html;
  if (s.ExpDamageSum != 0) {
    const double expected_per_battle = PerBattle(s.ExpDamageSum, s.Battles);
    const double ratio = expected_per_battle > 0 ? s.DamageAvg / expected_per_battle : 0;
    html = "<span class=\"vDamage\" title=\"" + DamageHint(s.DamageAvg, expected_per_battle) +
           Format("Номинальный урон по WN8: %.0f\">", {expected_per_battle});
    html += s.Battles > 0 ? Format(BracketColour("[%.0f]", ColourClass(scales::kDamageRatio, ratio)), {s.DamageAvg})
                          : std::string("0");
  } else {
    html = "<span class=\"vDamage\" title=\"" + std::string(kNoExpectedDamageTitle) + "\">" +
           Format("<span><sup>(!)</sup> %.0f</span>", {s.DamageAvg});
  }
  const std::string picture = VehiclePictureFile(input.vehicle_images_folder, vehicle.Images);
  const std::string numeral = vehicle.Tier >= 1 && vehicle.Tier <= kTierCount
                                  ? std::string(TierNumerals[vehicle.Tier - 1])
                                  : std::to_string(vehicle.Tier);
  return html + "</span><small style=\"background-image: url('" + (picture.empty() ? "" : FileUrl(picture)) +
         "')\">" + numeral + " </small>";
}

// Battles and win percent, with the wins needed for the next steps in the
// all-time view. The battles' span closes before the win-percent cell.
std::string BattlesAndWins(const AccountReportInput& input, const RowRequest& request, const RWOTAccountStats& s) {
  std::string format = ReplaceAll(request.format, "|", "</span>|");
  format = WinsNeededTooltip(format, s.Battles, s.Wins, input.view.days);
  format = ReplaceAll(format, "|", "</td><td>");
  const double win_percent = s.Battles > 0 ? s.WinsPercent : 0;
  return "<span>" +
         Format(BracketColour(format, ColourClass(scales::kWinRate, win_percent)), {s.Battles, win_percent});
}

struct VehicleRow {
  std::string html;
  bool shown;
};

VehicleRow VehicleRowOf(const AccountReportInput& input, const RowRequest& request, const RVehicleStat& vehicle) {
  const RWOTAccountStats& s = ModeBlock(input, vehicle);
  const bool shown = !TopTierFirst(input) || vehicle.Tier == input.shown.HighestTier;
  std::string html = shown ? "<tr" : "<tr style=\"display:none\"";
  html += " class=\"vehicle vLevel" + TierDigit(vehicle.Tier) + " vType" + std::to_string(vehicle.VehicleType);
  if (vehicle.IsPremium) html += " vPre";
  if (IsListedVehicleName(vehicle.Name)) html += " vFav";
  html += "\"><td";
  if (vehicle.MarkOfMastery > 0) html += " class=\"mclass" + std::to_string(vehicle.MarkOfMastery) + "\"";
  html += ">";
  const std::string name = EscapeHtml(vehicle.Name);
  html += DetailPopup(input, vehicle, s, name);
  html += "</div></div></div><span>" + name + "</span></td><td width=\"40%\">";
  html += DamageBar(input, vehicle, s);
  html += BattlesAndWins(input, request, s);
  const bool new_note = PeriodView(input) && input.view.letters != "b";
  html += DeltaCell(100.0 * s.WinsRatioChange, new_note ? "NEW" : "");
  return {std::move(html), shown};
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
    VehicleRow row = VehicleRowOf(input, request, vehicle);
    content.value += row.html;
    if (row.shown) ++shown;
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
