// The clan members table: one row per member with up to 52 columns of
// statistics and ratings, and the clan's averages in the footer.
#include <array>
#include <cmath>
#include <functional>

#include "model/clan_averages.h"
#include "model/tables.h"
#include "report/clan_parts.h"
#include "report/html.h"
#include "report/report_dates.h"
#include "report/scales.h"
#include "text/calendar.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

using detail::IsKnownDate;

constexpr int kMasterBadge = 4;  // "Мастер" in MasteryBadges
constexpr int kIdleBase = 9999;
constexpr int kFamePositionBase = 15000;

// What one row shows: a member's figures or the clan's averages.
struct RowFigures : MemberFigures {
  bool average = false;
  std::string name;
  std::string clan_tag;  // the member's clan, for reports over several clans
  std::string role;
  bool in_report_clan = true;
  DateTime joined = 0;
  DateTime created = 0;
  DateTime compared = 0;
};

struct PageFacts {
  const ClanReportInput& input;
  bool period;  // a cached day is selected
  int mode;
};

// A column: its header cell and how its data cell is made. `battles_mode` is
// the mode whose battles the cell needs (else "-"); kNone needs none.
constexpr int kNone = -1;
constexpr int kSelected = -2;

struct Column {
  std::string_view header;
  std::string_view tooltip;
  std::string_view css;
  int battles_mode;
  std::function<std::string(const RowFigures&, const PageFacts&)> cell;
};

const RWOTAccountStats& Selected(const RowFigures& row, const PageFacts& facts) { return row.stats[facts.mode]; }

double Per(double total, double count) { return count > 0 ? total / count : 0; }

std::string Value(std::string_view format, double value, const ColourScale& scale) {
  return ColouredValue(format, value, scale, value);
}

std::string BattlesCell(const RowFigures& row, const PageFacts& facts, int mode) {
  const int32_t battles = row.stats[mode].Battles;
  const double colour = facts.period ? Per(battles, static_cast<double>(row.period_days + 1)) : battles;
  return ColouredValue("[%.0n]", battles, facts.period ? BattlesPerDayScale(mode) : BattlesByModeScale(mode), colour);
}

std::string WinsCell(const RowFigures& row, int mode) {
  const RWOTAccountStats& s = row.stats[mode];
  return Value("[%.1f%%]", Per(100.0 * s.Wins, s.Battles), scales::kWinRate);
}

std::string NameCell(const RowFigures& row, const PageFacts& facts) {
  if (row.average) return "В среднем по клану";
  const ClanReportInput& input = facts.input;
  const std::string options = ViewOptions(input.view);
  const bool player = UpperCase(row.name) == UpperCase(input.game_client_account);
  return "<a href=\"" + SearchHref(input.site.site, row.name, options) + "\" onclick=\"" +
         DoCmdCall("search", row.name, options) + "\" class=\"name" + (player ? " sectionHdr" : "") + "\">" +
         EscapeHtml(row.name) + "</a>";
}

std::string ClanCell(const RowFigures& row, const PageFacts& facts) {
  return row.average ? "&nbsp;" : detail::ClanTagLink(facts.input.site.site, row.clan_tag);
}

std::string RoleCell(const RowFigures& row, const PageFacts&) { return detail::RoleLabel(row.role); }

std::string TitledDays(int64_t days, DateTime date, bool average, const ColourScale& scale) {
  const std::string value = Value("[%d]", static_cast<double>(days), scale);
  if (average) return value;
  return "<span title=\"" + FormatDate(date) + "\">" + value + "</span>";
}

std::string SeniorityCell(const RowFigures& row, const PageFacts&) {
  if (!row.in_report_clan) return "-";
  return TitledDays(row.seniority_days, row.joined, row.average, scales::kDays);
}

std::string AgeCell(const RowFigures& row, const PageFacts&) {
  if (!row.known_created) return "-";
  return TitledDays(row.age_days, row.created, row.average, scales::kAccountAge);
}

std::string PeriodDaysCell(const RowFigures& row, const PageFacts&) {
  const std::string days = std::to_string(row.period_days);
  if (row.average) return "<span class=\"sectionHdr\">" + days + "</span>";
  return "<span class=\"sectionHdr\" title=\"с " + detail::MoscowDate(row.compared) + " " +
         detail::MoscowTime(row.compared) + "\">" + days + "</span>";
}

std::string FamePointsCell(const RowFigures& row, const PageFacts& facts) {
  if (row.fame_points <= 0) return "0";
  return "<span class=\"sectionHdr\" title=\"" + facts.input.fame.title + "\">" + std::to_string(row.fame_points) +
         "</span>";
}

std::string FamePositionCell(const RowFigures& row, const PageFacts&) {
  if (row.fame_points <= 0 || row.fame_position <= 0) return "-";
  return ColouredValue("[%d]", row.fame_position, scales::kFamePositionReserve,
                       kFamePositionBase - row.fame_position);
}

std::string DamageCell(const RowFigures& row, const PageFacts& facts) {
  const RWOTAccountStats& s = Selected(row, facts);
  if (s.ExpDamageKoef > 0) return ColouredValue("[%.0f]", s.DamageAvg, scales::kDamageRatio, s.ExpDamageKoef);
  return Value("[%.0f]", s.DamageAvg, scales::kDamage);
}

std::string DamageRatioCell(const RowFigures& row, const PageFacts& facts) {
  const RWOTAccountStats& s = Selected(row, facts);
  if (s.ExpDamageKoef > 0) return Value("[%.2f]", s.ExpDamageKoef, scales::kDamageRatio);
  return Format("%.2f", {s.ExpDamageKoef});
}

std::string AssistCell(const RowFigures& row, const PageFacts& facts) {
  const RWOTAccountStats& s = Selected(row, facts);
  return ColouredValue("[%.0f]", s.DamageAssist, scales::kAssist,
                       s.DamageAssist / std::max(1.0f, s.LevelAvg) * 10);
}

std::string KillRatioCell(const RowFigures& row, const PageFacts& facts) {
  const RWOTAccountStats& s = Selected(row, facts);
  const double deaths = static_cast<double>(s.Battles) - s.SurvivedBattles;
  if (deaths < 1) return ColouredValue("[9,99]", 0, scales::kFragsPerDeath, 9);
  return Value("[%.2f]", s.Frags / deaths, scales::kFragsPerDeath);
}

std::string DealtRatioCell(const RowFigures& row, const PageFacts& facts) {
  const RWOTAccountStats& s = Selected(row, facts);
  if (s.DamageReceived == 0) return ColouredValue("[0,00]", 0, scales::kDealtToReceived, 9);
  return Value("[%.2f]", static_cast<double>(s.DamageDealt) / s.DamageReceived, scales::kDealtToReceived);
}

std::string VehiclesCell(const RowFigures& row, const PageFacts& facts) {
  const double colour = facts.period ? row.vehicles * 20 / std::max<int64_t>(1, row.period_days) : row.vehicles;
  return ColouredValue("[%d]", row.vehicles, scales::kVehicleCount, colour);
}

std::string MastersCell(const RowFigures& row, const PageFacts&) {
  return Value("[%.0f%%]", Per(100.0 * row.masters, row.vehicles), scales::kMasteryShare);
}

std::string WgCell(const RowFigures& row, const PageFacts& facts) {
  const float wg = Selected(row, facts).rateWG;
  if (!facts.period) return Value("[%.0f]", wg, scales::kWg);
  // A rating that did not change is neither a gain nor a loss.
  const std::string change = Format("%.0f", {wg}) == "0" ? Greyed("0") : Value("[%.0f]", wg, scales::kWgChange);
  return "<span class=\"noWrap\">" + change + "</span>";
}

std::string IdleCell(const RowFigures& row, const PageFacts&) {
  if (!row.fought) return "-";
  return ColouredValue("[%d]", static_cast<double>(row.idle_days), scales::kIdleReserve,
                       static_cast<double>(kIdleBase - row.idle_days));
}

// A per-battle figure of the selected mode: `field` over its battles.
template <typename Field>
Column PerBattleColumn(std::string_view header, std::string_view css, Field field, const ColourScale& scale) {
  return {header, "", css, kSelected, [field, &scale](const RowFigures& row, const PageFacts& facts) {
            const RWOTAccountStats& s = Selected(row, facts);
            return Value("[%.2f]", Per(s.*field, s.Battles), scale);
          }};
}

// A figure of the selected mode's block as it is.
template <typename Field>
Column BlockColumn(std::string_view header, std::string_view tooltip, std::string_view css, std::string_view format,
                   Field field, const ColourScale& scale) {
  return {header, tooltip, css, kSelected, [=, &scale](const RowFigures& row, const PageFacts& facts) {
            return Value(format, Selected(row, facts).*field, scale);
          }};
}

Column CountColumn(std::string_view header, std::string_view tooltip, std::string_view css, double RowFigures::*field,
                   const ColourScale& scale) {
  return {header, tooltip, css, kSelected,
          [field, &scale](const RowFigures& row, const PageFacts&) { return Value("[%d]", row.*field, scale); }};
}

struct ModePair {
  int mode;
  std::string_view letter;
  std::string_view battles_tip;
  std::string_view wins_tip;
};
constexpr std::array<ModePair, 7> kModePairs{{
    {kModeRandom, "с", "Боёв в (с)лучайных боях", "Побед в (с)лучайных боях"},
    {kModeGlobalmap, "кл", "Боёв в (кл)ановых боях", "Побед в (кл)ановых боях"},
    {kModeStronghold, "у", "Боёв в боях за (У)крепрайон", "Побед в боях за (У)крепрайон"},
    {kModeCompany, "р", "Боёв в (р)отных боях", "Побед в (р)отных боях"},
    {11, "к", "Боёв в (к)омандных боях", "Побед в (к)омандных боях"},
    {12, "л", "Боёв в (Л)аддере", "Побед в (Л)аддере"},
    {kModeFallout, "б", "Боёв в режиме (Б)ой до последнего", "Побед в режиме (Б)ой до последнего"},
}};

// Header texts that hold a mode letter live as long as the program.
const std::array<std::string, 14>& ModePairHeaders() {
  static const std::array<std::string, 14> headers = [] {
    std::array<std::string, 14> texts;
    for (size_t i = 0; i < kModePairs.size(); ++i) {
      texts[2 * i] = "Б (" + std::string(kModePairs[i].letter) + ")";
      texts[2 * i + 1] = "П (" + std::string(kModePairs[i].letter) + ")";
    }
    return texts;
  }();
  return headers;
}

constexpr std::string_view kVisible = "tCenter";
constexpr std::string_view kHidden = "tCenter hide";
constexpr std::string_view kIvrTooltip = "Потенциальный вклад игрока в силу клана по Иванерру (без учета онлайна)";

std::vector<Column> MembersColumns(const PageFacts& facts, bool campaign, bool several) {
  using S = RWOTAccountStats;
  std::vector<Column> c;
  c.push_back({"Имя", "", "tLeft", kNone, NameCell});
  if (several) c.push_back({"Клан", "", "tLeft", kNone, ClanCell});
  c.push_back({"Должность", "", "tCenter noWrap", kNone, RoleCell});
  c.push_back({"Стаж", "Длительность нахождения бойца в клане, в днях", kVisible, kNone, SeniorityCell});
  if (!facts.period) c.push_back({"Возраст", "Срок со дня создания аккаунта бойца, в днях", kHidden, kNone, AgeCell});
  if (facts.period) c.push_back({"Дней", "Выбранный период данных по бойцу, в днях", kVisible, kNone, PeriodDaysCell});
  if (campaign) {
    c.push_back({"Аллея", "Очки славы / Позиция в Аллее славы", kVisible, kNone, FamePointsCell});
    c.push_back({"славы", "Очки славы / Позиция в Аллее славы", kVisible, kNone, FamePositionCell});
  }
  c.push_back({"Боёв", "Всего боёв за выбранный промежуток времени", kVisible, kModeAll,
               [](const RowFigures& row, const PageFacts& f) { return BattlesCell(row, f, kModeAll); }});
  c.push_back({"Побед", "Всего побед за выбранный промежуток времени", kVisible, kModeAll,
               [](const RowFigures& row, const PageFacts&) { return WinsCell(row, kModeAll); }});
  const auto& pair_headers = ModePairHeaders();
  for (size_t i = 0; i < kModePairs.size(); ++i) {
    const ModePair& pair = kModePairs[i];
    const int mode = pair.mode;
    c.push_back({pair_headers[2 * i], pair.battles_tip, kHidden, mode,
                 [mode](const RowFigures& row, const PageFacts& f) { return BattlesCell(row, f, mode); }});
    c.push_back({pair_headers[2 * i + 1], pair.wins_tip, kHidden, mode,
                 [mode](const RowFigures& row, const PageFacts&) { return WinsCell(row, mode); }});
  }
  c.push_back(BlockColumn("Уровень", "Средний уровень боёв", kVisible, "[%.1f]", &S::LevelAvg, scales::kTier));
  c.push_back(PerBattleColumn("Фраги", kVisible, &S::Frags, scales::kFrags));
  c.push_back(PerBattleColumn("Засвет", kVisible, &S::Spotted, scales::kSpotted));
  c.push_back(PerBattleColumn("Защита", kHidden, &S::Dropped, scales::kDefence));
  c.push_back(PerBattleColumn("Захват", kHidden, &S::Capture, scales::kCapture));
  c.push_back({"Урон", "Средний урон за бой", kHidden, kSelected, DamageCell});
  c.push_back(BlockColumn("Топ-урон",
                          "Номинальный топ-урон = Средний номинальный урон на топ-технике в игре * Коэффициент "
                          "номинального урона игрока по WN8",
                          kHidden, "[%.0f]", &S::DamageTop, scales::kTopDamage));
  c.push_back({"К н.ур.",
               "Коэффициент номинального урона по WN8 (соотношение реального/номинального нанесённого урона)",
               kVisible, kSelected, DamageRatioCell});
  if (!facts.period) {
    c.push_back({"Ассист",
                 "Средний урон, нанесённый с помощью игрока (ассист по разведданным и после сбития гусеницы)",
                 kHidden, kSelected, AssistCell});
  }
  c.push_back({"К ун.", "Коэффициент уничтожения (соотношение уничтожил/уничтожен)", kHidden, kSelected,
               KillRatioCell});
  c.push_back({"К ур.", "Коэффициент урона (соотношение нанесённого/полученного урона)", kHidden, kSelected,
               DealtRatioCell});
  if (!facts.period) {
    c.push_back(BlockColumn("К т.", "Коэффициент танкования (соотношение заблокированного/полученного урона)",
                            kHidden, "[%.2f]", &S::TankingKoef, scales::kTanking));
  }
  c.push_back(BlockColumn("Опыт", "", kVisible, "[%.0f]", &S::XpAvg, scales::kExperience));
  if (!facts.period) {
    c.push_back(BlockColumn("Макс", "Максимальный опыт за бой", kHidden, "[%d]", &S::MaxXp, scales::kMaxExperience));
  }
  c.push_back(BlockColumn("Меткость", "", kHidden, "[%.0f%%]", &S::HitsPercent, scales::kHit));
  c.push_back({"Выжил", "", kHidden, kSelected, [](const RowFigures& row, const PageFacts& f) {
                 const RWOTAccountStats& s = Selected(row, f);
                 return Value("[%.0f%%]", Per(100.0 * s.SurvivedBattles, s.Battles), scales::kSurvival);
               }});
  c.push_back({"Танки", "Общее количество обкатанных бойцом танков", kHidden, kSelected, VehiclesCell});
  c.push_back(CountColumn("Топы", "Количество танков 10-го уровня", kVisible, &RowFigures::top_vehicles,
                          scales::kTopVehicles));
  c.push_back(CountColumn("Премы", "Количество прем-танков 8-го уровня", kHidden, &RowFigures::top_premiums,
                          scales::kTopPremium));
  if (!facts.period) {
    c.push_back({"Мастер",
                 "Процент владения знаком классности &laquo;Мастер&raquo; суммарно по всем танкам", kHidden,
                 kSelected, MastersCell});
  }
  c.push_back({"Наград", "Среднее количество полученных наград &quot;Герой битвы&quot; за бой", kHidden, kSelected,
               [](const RowFigures& row, const PageFacts& f) {
                 return Value("[%.2f]", Per(row.heroes, Selected(row, f).Battles), scales::kHeroes);
               }});
  c.push_back(BlockColumn("EFF", "Рейтинг эффективности", kVisible, "[%.0f]", &S::rateEFF, scales::kEff));
  c.push_back(BlockColumn("WN8", "Рейтинг WN8", kVisible, "[%.0f]", &S::rateWN8, scales::kWn8));
  c.push_back(BlockColumn("BS", "Рейтинг Броне-сайта", kVisible, "[%.0f]", &S::rateBS, scales::kBs));
  c.push_back(BlockColumn("IVR", kIvrTooltip, kVisible, "[%.2f]", &S::rateIVR, scales::kIvr));
  c.push_back({"WGR", "Личный рейтинг игрока от WG", kHidden, kSelected, WgCell});
  c.push_back(BlockColumn("Годен", "Показатель клан-пригодности игрока", kHidden, "[%.2f]", &S::Clanable,
                          scales::kClanable));
  c.push_back({"Давно", "Как давно был в бою (в днях)", kVisible, kNone, IdleCell});
  return c;
}

std::string HeaderRow(const std::vector<Column>& columns) {
  std::string html = "<tr><td>&nbsp;</td>";
  for (const Column& column : columns) {
    html += "<td";
    if (!column.tooltip.empty()) html += " title=\"" + std::string(column.tooltip) + "\"";
    html += " class=\"" + std::string(column.css) + "\">" + std::string(column.header) + "</td>";
  }
  return html + "</tr>\r\n";
}

// ---- the page ---------------------------------------------------------------

constexpr std::string_view kThreeDashes =
    "<td class=\"tCenter\">-</td><td class=\"tCenter\">-</td><td class=\"tCenter\">-</td>";

constexpr std::string_view kPeriodNote =
    "<p>Обратите внимание, периоды выборки данных зависят от частоты актуализации персональной статистики бойцов. "
    "В идеале, при ежедневной актуализации данных, периоды выборки должны быть ежедневными. "
    "При наличии данных по бойцу за выбранный период и при отсутствии у него боёв за этот период, в его строке будут "
    "отображены прочерки. "
    "При отсутствии выборки данных по бойцу за выбранный период, этот боец вообще не будет отображен в таблице.</p>\r\n";

class MembersPage final : public ClanPage {
 public:
  explicit MembersPage(const ClanReportInput& input)
      : input_(input),
        facts_{input, input.view.days >= 1, input.view.mode >= 0 && input.view.mode < kModeCount ? input.view.mode : 0},
        columns_(MembersColumns(facts_, input.fame.inside_window, detail::SeveralClans(input.clan))),
        header_(HeaderRow(columns_)) {}

  void AddMember(const ClanMemberData& member) override {
    ++added_;
    if (member.left_out) return;
    const RowFigures row = FiguresOf(member);
    const bool player = UpperCase(row.name) == UpperCase(input_.game_client_account);
    rows_ += "<tr onclick=\"check(this)\"" + std::string(player ? " class=\"checked\"" : "") + "><td>" +
             std::to_string(added_) + Cells(row) + "</td></tr>\r\n";
    if (!row.name.empty()) totals_.Add(row);
  }

  std::string Finish(int total) override {
    std::string averages;
    double summed_ivr = 0;
    if (totals_.count() > 0) {
      RowFigures mean;
      static_cast<MemberFigures&>(mean) = totals_.Averages();
      mean.average = true;
      averages = Cells(mean);
      summed_ivr = totals_.count() * mean.stats[facts_.mode].rateIVR;
    }
    const std::string footer = ReplaceAll(detail::FooterHeader(header_), "по Иванерру",
                                          "по Иванерру (" + Format("%.2f", {summed_ivr}) + ")");
    std::string html = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main\">\r\n<thead id=\"ClanTagName\">" +
                       detail::ClanTitleRow(input_, 51) + "</thead>\r\n" + ClanSelectorRow(input_) +
                       "<thead id=\"ClanMembersHead\">\r\n" + header_ + "</thead>\r\n<tbody id=\"ClanMembersBody\">" +
                       rows_ + "</tbody>\r\n<tfoot id=\"ClanMembersFoot\">\r\n" + footer + "<tr><td>&nbsp;" + averages +
                       "</td></tr>\r\n</tfoot>\r\n</table>\r\n<br /><br />\r\n";
    if (added_ < total) html += detail::InterruptionNote(added_, total);
    if (facts_.period && rows_.find(kThreeDashes) == std::string::npos) html += kPeriodNote;
    return html;
  }

 private:
  RowFigures FiguresOf(const ClanMemberData& member) const {
    const RWOTAccount& r = member.record;
    const DateTime now = input_.clock.now;
    RowFigures row;
    row.name = r.Nickname;
    row.clan_tag = r.ClanTag;
    row.role = r.ClanRole;
    row.in_report_clan = r.ClanId.empty() || r.ClanId == input_.clan.clan_id || detail::SeveralClans(input_.clan);
    row.joined = r.ClanJoined;
    row.seniority_days = WholeDaysBetween(now, Local(r.ClanJoined));
    row.created = r.Created;
    row.known_created = IsKnownDate(r.Created);
    row.age_days = WholeDaysBetween(now, Local(r.Created));
    row.compared = member.compared;
    row.period_days = member.compared != 0 ? WholeDaysBetween(r.Updated, member.compared) : 0;
    row.fame_points = member.fame.points;
    row.fame_position = member.fame.position;
    if (member.has_statistics) {
      row.stats = r.Stats;
      row.heroes = r.HeroesTotal;
      row.vehicles = r.VehicleCount;
      row.top_vehicles = r.TopVehicleCount;
      row.top_premiums = r.TopPremiumCount;
      row.masters = r.CountByBadge[kMasterBadge];
    }
    row.fought = IsKnownDate(r.LastBattle);
    row.idle_days = WholeDaysBetween(now, Local(r.LastBattle));
    return row;
  }

  // The API's dates are UTC, the page's clock is local.
  DateTime Local(DateTime utc) const { return utc + input_.clock.zone_hours / 24.0; }

  std::string Cells(const RowFigures& row) const {
    std::string html;
    for (const Column& column : columns_) {
      html += "</td><td class=\"" + std::string(column.css) + "\">";
      const int mode = column.battles_mode == kSelected ? facts_.mode : column.battles_mode;
      html += mode != kNone && row.stats[mode].Battles < 1 ? "-" : column.cell(row, facts_);
    }
    return html;
  }

  const ClanReportInput& input_;
  PageFacts facts_;
  std::vector<Column> columns_;
  std::string header_;
  std::string rows_;
  ClanAverages totals_;
  int added_ = 0;
};

}  // namespace

std::unique_ptr<ClanPage> MakeClanMembersPage(const ClanReportInput& input) {
  return std::make_unique<MembersPage>(input);
}

}  // namespace tarvelo
