// The four columns of main figures of the small layouts, and the battle-mode
// selector.
#include <initializer_list>

#include "model/tables.h"
#include "report/account_parts.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

constexpr std::string_view kInnerTable = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\">\r\n";

std::string ColumnBreak(std::string_view width) {
  return "</table></td><td class=\"noBrd\">&nbsp;</td><td class=\"noBrd\" width=\"" + std::string(width) + "\">" +
         std::string(kInnerTable);
}

// Damage per battle against the expected damage per battle where that is known.
std::string DamageLine(const RWOTAccountStats& s) {
  const std::string_view format = "<tr><td>Урон</td><td>[%.0f]</td></tr>\r\n";
  const int32_t battles_with_expected = s.Battles - s.BattlesWithoutExp;
  if (s.ExpDamageSum > 0 && battles_with_expected > 0) {
    const double expected_per_battle = s.ExpDamageSum / battles_with_expected;
    return Lines({{format, s.DamageAvg, scales::kDamageRatio, s.DamageAvg / expected_per_battle}});
  }
  return Lines({{format, s.DamageAvg, scales::kDamage, s.DamageAvg}});
}

// A part of a mode stands indented under it in the menu.
std::string ModeMenuLabel(const BattleMode& mode) {
  return (mode.part ? "&nbsp;&nbsp;&nbsp;" : "") + std::string(mode.label);
}

}  // namespace

void AppendLines(std::string& out, std::initializer_list<FigureLine> lines) {
  for (const FigureLine& line : lines) {
    AppendColouredValue(out, line.format, line.value, line.scale, line.colour_value);
  }
}

std::string Lines(std::initializer_list<FigureLine> lines) {
  std::string html;
  AppendLines(html, lines);
  return html;
}

RowContent MainFigures(const AccountReportInput& input, const RowRequest& request) {
  const RWOTAccountStats& s = ModeBlock(input, input.shown);
  const double survived = PerBattle(100.0 * s.SurvivedBattles, s.Battles);
  const double frags = PerBattle(s.Frags, s.Battles);
  const double spotted = PerBattle(s.Spotted, s.Battles);
  const double dropped = PerBattle(s.Dropped, s.Battles);
  const double capture = PerBattle(s.Capture, s.Battles);

  std::string html = request.kind == RowKind::Section
                         ? "</td></tr><tr class=\"noHover\"><td class=\"noBrd\" colspan=\"4\">"
                         : "<br />";
  html += "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\"><tbody><tr><td class=\"noBrd\" "
          "width=\"22%\">\r\n";
  html += kInnerTable;
  html += Lines({{"<tr><td>Бои</td><td>[%.0n]</td></tr>\r\n", static_cast<double>(s.Battles),
                  BattlesByModeScale(input.view.mode), static_cast<double>(s.Battles)},
                 {"<tr><td>Победы</td><td>[%.2f%%]</td></tr>\r\n", s.WinsPercent, scales::kWinRate, s.WinsPercent}});
  html += DamageLine(s);
  html += Lines({{"<tr><td>Опыт</td><td>[%.0f]</td></tr>\r\n", s.XpAvg, scales::kExperience, s.XpAvg}});
  html += ColumnBreak("27%");
  html += Lines({{"<tr><td>Уровень боёв</td><td>[%.1f]</td></tr>\r\n", s.LevelAvg, scales::kTier, s.LevelAvg},
                 {"<tr><td>Топ-танков</td><td>[%d]</td></tr>\r\n", static_cast<double>(input.shown.TopVehicleCount),
                  scales::kPremiumCount, static_cast<double>(input.shown.TopVehicleCount)},
                 {"<tr><td>Меткость</td><td>[%.0f%%]</td></tr>\r\n", s.HitsPercent, scales::kHit, s.HitsPercent},
                 {"<tr><td>Выживаемость</td><td>[%.0f%%]</td></tr>\r\n", survived, scales::kSurvival, survived}});
  html += ColumnBreak("25%");
  html += Lines({{"<tr><td>Уничтожено</td><td>[%.2f]</td></tr>\r\n", frags, scales::kFrags, frags},
                 {"<tr><td>Обнаружено</td><td>[%.2f]</td></tr>\r\n", spotted, scales::kSpotted, spotted},
                 {"<tr><td>Защита базы</td><td>[%.2f]</td></tr>\r\n", dropped, scales::kDefence, dropped},
                 {"<tr><td>Захват базы</td><td>[%.2f]</td></tr>\r\n", capture, scales::kCapture, capture}});
  html += ColumnBreak("16%");
  html += Lines({{"<tr><td>EFF</td><td>[%.0f]</td></tr>\r\n", s.rateEFF, scales::kEff, s.rateEFF},
                 {"<tr><td>WN8</td><td>[%.0f]</td></tr>\r\n", s.rateWN8, scales::kWn8, s.rateWN8},
                 {"<tr><td>BS</td><td>[%.0f]</td></tr>\r\n", s.rateBS, scales::kBs, s.rateBS},
                 {"<tr><td>WGR</td><td>[%.0f]</td></tr>\r\n", s.rateWG, scales::kWg, s.rateWG}});
  html += "</table></td></tr></tbody></table>\r\n";

  RowContent content;
  content.value = html;
  if (request.kind == RowKind::Section) AddModeSelector(input, content);
  return content;
}

std::string RadioItem(std::string_view name, std::string_view value, std::string_view id, std::string_view onclick,
                      bool checked, std::string_view label) {
  return "<li><input type=\"radio\" name=\"" + std::string(name) + "\" value=\"" + std::string(value) + "\" id=\"" +
         std::string(id) + "\" onclick=\"" + std::string(onclick) + "\"" + (checked ? " checked=\"checked\"" : "") +
         "><label for=\"" + std::string(id) + "\">" + std::string(label) + "</label></li>\r\n";
}

void AddModeSelector(const AccountReportInput& input, RowContent& content) {
  std::string html =
      "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><div><b "
      "class=\"sectionHdr\">Показать:</b><ul class=\"aLabel\">\r\n";
  for (int mode = 0; mode < kModeCount; ++mode) {
    const std::string key(BattleModes[mode].key);
    const std::string options = RequestOptions(key, PeriodOption(input.view), input.view.letters);
    html += RadioItem("mode", key, "st" + key, DoCmdCall("search", input.shown.Nickname, options),
                      mode == input.view.mode, ModeMenuLabel(BattleModes[mode]));
  }
  content.header_extra = html + "</ul></div></div></div>\r\n";
  if (input.view.mode != kModeAll) {
    content.caption_suffix = " <span>(" + std::string(BattleModes[input.view.mode].label) + ")</span>";
  }
}

}  // namespace tarvelo::detail
