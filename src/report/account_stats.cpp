// The statistic rows of the player report: one figure of the selected battle
// mode per row, with its colour, tooltip and period delta.
#include <algorithm>
#include <functional>
#include <map>

#include "model/tables.h"
#include "report/account_parts.h"
#include "report/delta.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/calendar.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

using BlockFigure = std::function<double(const RWOTAccountStats&)>;
using AccountFigure = std::function<double(const RWOTAccount&, const RWOTAccountStats&)>;

// The cells of one statistic row.
struct StatCells {
  std::optional<double> absolute;
  std::optional<double> relative;
  const ColourScale* scale = nullptr;  // colours the bracketed part
  std::optional<double> colour_value;  // what the scale is applied to, the relative value when unset
  bool next_step = false;              // the next-step tooltip on the relative cell
  std::optional<double> delta;         // the delta cell; none: the empty progress cell
  std::string title;                   // the row's tooltip

  StatCells& Absolute(double value) { return absolute = value, *this; }
  StatCells& Relative(double value) { return relative = value, *this; }
  StatCells& Colour(const ColourScale& by) { return scale = &by, *this; }
  StatCells& ColourOf(const ColourScale& by, double value) { return scale = &by, colour_value = value, *this; }
  StatCells& NextStep() { return next_step = true, *this; }
  StatCells& Delta(std::optional<double> change) { return delta = change, *this; }
  StatCells& Title(std::string_view text) { return title = text, *this; }
};

RowContent Render(const RowRequest& request, StatCells cells) {
  std::string format(request.format);
  std::string css_class;
  if (cells.scale != nullptr) {
    const double coloured = cells.colour_value.value_or(cells.relative.value_or(cells.absolute.value_or(0)));
    css_class = ColourClass(*cells.scale, coloured);
    if (cells.next_step) {
      const std::string tip = NextStepTooltip(*cells.scale, coloured);
      if (!tip.empty()) format = ReplaceAll(format, "|", "</td><td title=\"" + tip + "\">");
    }
  }
  format = BracketColour(format, css_class);
  RowContent content;
  if (cells.absolute && cells.relative) {
    content.value = Format(format, {*cells.absolute, *cells.relative});
  } else {
    content.value = Format(format, {cells.absolute ? *cells.absolute : cells.relative.value_or(0)});
  }
  if (cells.delta) content.fourth_cell = DeltaCell(*cells.delta);
  if (!cells.title.empty()) content.row_attributes = " title=\"" + cells.title + "\"";
  return content;
}

class StatRows {
 public:
  StatRows(const AccountReportInput& input, const RowRequest& request)
      : input_(input), request_(request), s_(ModeBlock(input, input.shown)) {}

  std::optional<RowContent> Row() const {
    const std::string key(request_.key);
    if (key.starts_with("st") && key.ends_with(".Battles")) return BattleCountRow(key);
    auto rule = Rules().find(key);
    if (rule == Rules().end()) return std::nullopt;
    return (this->*(rule->second))(key);
  }

 private:
  using Rule = RowContent (StatRows::*)(const std::string& key) const;
  static const std::map<std::string, Rule, std::less<>>& Rules() {
    static const std::map<std::string, Rule, std::less<>> rules{
        {"Wins", &StatRows::Counter},
        {"Losses", &StatRows::Counter},
        {"Draws", &StatRows::Counter},
        {"max_win_points", &StatRows::Counter},
        {"Shots", &StatRows::Shots},
        {"BattlesAvg", &StatRows::BattlesPerDay},
        {"battle_avg_xp", &StatRows::Experience},
        {"max_xp", &StatRows::Maximum},
        {"max_damage", &StatRows::Maximum},
        {"max_frags", &StatRows::Maximum},
        {"win_points", &StatRows::WinPoints},
        {"LevelAvg", &StatRows::Simple},
        {"VehiclesCount", &StatRows::VehicleCounts},
        {"VehiclesPremCount", &StatRows::VehicleCounts},
        {"VehiclesTopPremCount", &StatRows::VehicleCounts},
        {"VehiclesTopCount", &StatRows::TopVehicles},
        {"HeroesTotal", &StatRows::Heroes},
        {"VehiclesMasteryHighCount", &StatRows::Masters},
        {"Frags", &StatRows::Totals},
        {"Spotted", &StatRows::Totals},
        {"Dropped", &StatRows::Totals},
        {"Capture", &StatRows::Totals},
        {"DamageAvg", &StatRows::Damage},
        {"AvatarDamageAvg", &StatRows::ReserveDamage},
        {"DamageTop", &StatRows::Simple},
        {"DamageAssist", &StatRows::Assist},
        {"ExpDamageKoef", &StatRows::Simple},
        {"FragsKoef", &StatRows::Simple},
        {"DamageKoef", &StatRows::Simple},
        {"TankingKoef", &StatRows::Simple},
        {"hits_percents", &StatRows::Simple},
        {"Winrate", &StatRows::Simple},
        {"survivedPercent", &StatRows::Survival},
        {"rateEFF", &StatRows::Rating},
        {"rateWN6", &StatRows::Rating},
        {"rateWN8", &StatRows::Rating},
        {"rateBS", &StatRows::Rating},
        {"rateWG", &StatRows::Rating},
        {"rateIVR", &StatRows::Rating},
        {"powerIVR", &StatRows::Rating},
        {"skillIVR", &StatRows::Rating},
        {"rateKORV", &StatRows::Simple},
    };
    return rules;
  }

  bool PeriodView() const { return input_.view.days > 0; }

  // The change of a figure from the base to the current snapshot in mode
  // `mode`; the current figure itself when the base has no battles there.
  // None in the all-time view.
  std::optional<double> Change(const AccountFigure& figure, int mode) const {
    if (!PeriodView()) return std::nullopt;
    const RWOTAccountStats& current = input_.current.Stats[mode];
    const RWOTAccountStats& base = input_.base.Stats[mode];
    const double now = figure(input_.current, current);
    return base.Battles > 0 ? now - figure(input_.base, base) : now;
  }
  std::optional<double> Change(const BlockFigure& figure) const {
    return Change([&figure](const RWOTAccount&, const RWOTAccountStats& block) { return figure(block); },
                  input_.view.mode);
  }

  // ---- battle counts of every mode ----

  RowContent BattleCountRow(const std::string& key) const {
    const int mode = key == "stAll.Battles" ? input_.view.mode : ModeOfBattleKey(key);
    const int target_mode = key == "stAll.Battles" ? kModeAll : mode;
    if (mode < 0) {
      RowContent none;
      none.no_data = true;
      return none;
    }
    const RWOTAccountStats& block = input_.shown.Stats[mode];
    std::string format(request_.format);
    if (block.Battles == 0) {
      format = WithoutBracketedPart(format);
    } else {
      format = WinsNeededTooltip(format, block.Battles, block.Wins, input_.view.days);
    }
    format = BracketColour(format, ColourClass(scales::kWinRate, block.WinsPercent));
    // Without battles a format without brackets still has its percent: a zero one.
    const double win_percent = block.Battles == 0 ? 0.0 : block.WinsPercent;
    RowContent content;
    content.value = Format(format, {block.Battles, win_percent});
    const std::optional<double> change =
        Change([](const RWOTAccount&, const RWOTAccountStats& b) { return b.WinsPercent; }, mode);
    if (change) content.fourth_cell = DeltaCell(*change);
    const std::string options =
        RequestOptions(BattleModes[target_mode].key, PeriodOption(input_.view), input_.view.letters);
    content.row_attributes =
        " class=\"hand\" onclick=\"" + DoCmdCall("search", input_.shown.Nickname, options) + "\"";
    return content;
  }

  // "stRegularTeam.Battles" is the mode "regular_team": keys and modes compare
  // without case and underscores.
  static int ModeOfBattleKey(std::string_view key) {
    const std::string name = LowerCase(RemoveAll(key.substr(2, key.size() - 2 - 8), {"_"}));
    for (int mode = 0; mode < kModeCount; ++mode) {
      if (RemoveAll(BattleModes[mode].key, {"_"}) == name) return mode;
    }
    return -1;
  }

  // The format without its bracketed part.
  static std::string WithoutBracketedPart(std::string_view format) {
    const size_t open = format.find('[');
    const size_t close = format.find(']', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos) return std::string(format);
    return std::string(format.substr(0, open)) + std::string(format.substr(close + 1));
  }

  // ---- figures of the selected mode ----

  RowContent Counter(const std::string& key) const {
    const double value = key == "Wins"     ? s_.Wins
                         : key == "Losses" ? s_.Losses
                         : key == "Draws"  ? s_.Draws
                                           : s_.MaxWinPoints;
    return Render(request_, StatCells().Absolute(value));
  }

  RowContent Shots(const std::string&) const {
    const BlockFigure per_battle = [](const RWOTAccountStats& b) { return PerBattle(b.Shots, b.Battles); };
    return Render(request_, StatCells().Relative(per_battle(s_)).Colour(scales::kShots).Delta(Change(per_battle)));
  }

  // Battles per day over the days the figures cover.
  RowContent BattlesPerDay(const std::string&) const {
    int64_t days = 0;
    if (PeriodView()) {
      const DateTime end = input_.view.letters == "o" ? input_.shown.Updated : input_.current.Updated;
      days = WholeDaysBetween(end, input_.shown.PeriodStart);
      if (days == 0) days = 1;
    } else {
      days = WholeDaysBetween(input_.current.Updated, input_.shown.Created) + 1;
    }
    const double per_day = static_cast<double>(s_.Battles) / static_cast<double>(days);
    return Render(request_, StatCells().Relative(per_day).Colour(BattlesPerDayScale(input_.view.mode)));
  }

  RowContent Experience(const std::string&) const {
    return Render(request_, StatCells()
                                .Absolute(s_.Xp)
                                .Relative(s_.XpAvg)
                                .Colour(scales::kExperience)
                                .Delta(Change([](const RWOTAccountStats& b) { return b.XpAvg; })));
  }

  RowContent Maximum(const std::string& key) const {
    const int32_t value = key == "max_xp" ? s_.MaxXp : key == "max_damage" ? s_.MaxDamage : s_.MaxFrags;
    const std::string& tank_id = key == "max_xp"       ? s_.MaxXpTankId
                                 : key == "max_damage" ? s_.MaxDamageTankId
                                                       : s_.MaxFragsTankId;
    StatCells cells = StatCells().Absolute(value).Title(VehicleTitle(tank_id));
    if (key == "max_xp" && PeriodView() && value > 0) {
      // A new record set in the period.
      const std::string format = "[+" + ReplaceAll(request_.format, "|", "]|");
      RowRequest marked = request_;
      marked.format = format;
      return Render(marked, cells.Colour(scales::kDays));
    }
    return Render(request_, cells);
  }

  std::string VehicleTitle(const std::string& tank_id) const {
    if (tank_id.empty()) return {};
    const VehicleInfo vehicle = input_.reference.Vehicle(tank_id);
    if (!vehicle.known) return {};
    return "На танке " + EscapeHtml(vehicle.name) + " (" + std::to_string(vehicle.tier) + "-й уровень)";
  }

  RowContent WinPoints(const std::string&) const {
    return Render(request_, StatCells()
                                .Absolute(s_.WinPoints)
                                .Relative(s_.WinPointsAvg)
                                .Colour(scales::kWinPoints)
                                .Delta(Change([](const RWOTAccountStats& b) { return b.WinPointsAvg; })));
  }

  // A figure of the block in the relative cell, with its scale and delta.
  RowContent Simple(const std::string& key) const {
    struct Rule {
      std::string_view key;
      float RWOTAccountStats::*field;
      const ColourScale& scale;
      std::string_view title;
      bool delta;
    };
    static const Rule kRules[] = {
        {"LevelAvg", &RWOTAccountStats::LevelAvg, scales::kTier, "", true},
        {"DamageTop", &RWOTAccountStats::DamageTop, scales::kTopDamage,
         "Средний номинальный урон на топ-технике в игре * Коэффициент номинального урона игрока по WN8", true},
        {"ExpDamageKoef", &RWOTAccountStats::ExpDamageKoef, scales::kDamageRatio,
         "Отношение реального нанесённого урона к номинальному (по WN8)", true},
        {"FragsKoef", &RWOTAccountStats::FragsKoef, scales::kFragsPerDeath, "Соотношение уничтожил/уничтожен", true},
        {"DamageKoef", &RWOTAccountStats::DamageKoef, scales::kDealtToReceived,
         "Отношение нанесённого урона к полученному", true},
        {"TankingKoef", &RWOTAccountStats::TankingKoef, scales::kTanking,
         "Отношение заблокированного броней урона к полученному", true},
        {"hits_percents", &RWOTAccountStats::HitsPercent, scales::kHit, "", true},
        {"Winrate", &RWOTAccountStats::WinsPercent, scales::kWinRate, "", true},
        {"rateKORV", &RWOTAccountStats::rateKORV, scales::kWn6,
         "* Усреднённый рейтинг = (Рейтинг эффективности + Рейтинг WN6 + Рейтинг Броне-сайта / 4) / 3", false},
    };
    const Rule& rule = *std::find_if(std::begin(kRules), std::end(kRules), [&](const Rule& r) { return r.key == key; });
    const auto field = rule.field;
    StatCells cells = StatCells().Relative(s_.*field).Colour(rule.scale).Title(rule.title);
    if (rule.delta) cells.Delta(Change([field](const RWOTAccountStats& b) { return b.*field; }));
    return Render(request_, cells);
  }

  RowContent VehicleCounts(const std::string& key) const {
    const RWOTAccount& shown = input_.shown;
    if (key == "VehiclesCount") {
      return Render(request_, StatCells().Absolute(shown.VehicleCount).Colour(scales::kVehicleCount));
    }
    if (key == "VehiclesPremCount") {
      return Render(request_, StatCells().Absolute(shown.PremiumCount).Colour(scales::kPremiumCount));
    }
    return Render(request_, StatCells().Absolute(shown.TopPremiumCount).Colour(scales::kTopPremium));
  }

  RowContent TopVehicles(const std::string&) const {
    constexpr int kTopTier = kTierCount - 1;
    const AccountFigure top_win_percent = [](const RWOTAccount& account, const RWOTAccountStats&) {
      return PerBattle(100.0 * account.WinsByTier[kTopTier], account.BattlesByTier[kTopTier]);
    };
    const std::string_view title = "Количество танков 10-го уровня и средний процент побед на них";
    if (input_.shown.BattlesByTier[kTopTier] == 0) {
      RowContent content;
      content.value = "0|";
      content.row_attributes = " title=\"" + std::string(title) + "\"";
      return content;
    }
    return Render(request_, StatCells()
                                .Absolute(input_.shown.TopVehicleCount)
                                .Relative(top_win_percent(input_.shown, s_))
                                .Colour(scales::kWinRate)
                                .Delta(Change(top_win_percent, input_.view.mode))
                                .Title(title));
  }

  RowContent Heroes(const std::string&) const {
    const AccountFigure per_battle = [](const RWOTAccount& account, const RWOTAccountStats& block) {
      return PerBattle(account.HeroesTotal, block.Battles);
    };
    return Render(request_,
                  StatCells()
                      .Absolute(input_.shown.HeroesTotal)
                      .Relative(per_battle(input_.shown, s_))
                      .Colour(scales::kHeroes)
                      .Delta(Change(per_battle, input_.view.mode))
                      .Title("Количество полученных медалей &laquo;Герой битвы&raquo; и их среднее количество за бой"));
  }

  RowContent Masters(const std::string&) const {
    const RWOTAccount& shown = input_.shown;
    const int32_t masters = shown.CountByBadge[kBadgeCount - 1];
    return Render(request_, StatCells()
                                .Absolute(masters)
                                .Relative(PerBattle(100.0 * masters, shown.MasteryCount))
                                .Colour(scales::kMasteryShare)
                                .Title("Количество полученных знаков классности &laquo;Мастер&raquo; и их "
                                       "процентное соотношение к общему числу полученных знаков классности"));
  }

  // A total and the same per battle; without battles both cells show the total.
  RowContent Totals(const std::string& key) const {
    int32_t RWOTAccountStats::*field = key == "Frags"     ? &RWOTAccountStats::Frags
                                       : key == "Spotted" ? &RWOTAccountStats::Spotted
                                       : key == "Dropped" ? &RWOTAccountStats::Dropped
                                                          : &RWOTAccountStats::Capture;
    const ColourScale& scale = key == "Frags"     ? scales::kFrags
                               : key == "Spotted" ? scales::kSpotted
                               : key == "Dropped" ? scales::kDefence
                                                  : scales::kCapture;
    const BlockFigure per_battle = [field](const RWOTAccountStats& b) { return PerBattle(b.*field, b.Battles); };
    const double total = s_.*field;
    return Render(request_, StatCells()
                                .Absolute(total)
                                .Relative(s_.Battles > 0 ? per_battle(s_) : total)
                                .Colour(scale)
                                .Delta(Change(per_battle)));
  }

  // Coloured against the expected damage where the vehicles have expected
  // values, else by the damage per battle without the battle reserves.
  RowContent Damage(const std::string&) const {
    const double dealt = s_.DamageDealt;
    const double reserves = s_.AvatarDamageDealt;
    StatCells cells = StatCells().Absolute(dealt).Relative(s_.DamageAvg);
    if (s_.ExpDamageSum > 0) {
      cells.ColourOf(scales::kDamageRatio, (dealt - s_.DamageWithoutExp - reserves) / s_.ExpDamageSum);
    } else {
      cells.ColourOf(scales::kDamage, PerBattle(dealt - reserves, s_.Battles));
    }
    if (s_.Battles > 0) cells.Delta(Change([](const RWOTAccountStats& b) { return b.DamageAvg; }));
    return Render(request_, cells);
  }

  RowContent ReserveDamage(const std::string&) const {
    StatCells cells =
        StatCells().Absolute(s_.AvatarDamageDealt).Relative(s_.AvatarDamageAvg).Colour(scales::kBattleReserve);
    if (s_.Battles > 0) cells.Delta(Change([](const RWOTAccountStats& b) { return b.AvatarDamageAvg; }));
    return Render(request_, cells);
  }

  RowContent Assist(const std::string&) const {
    return Render(request_,
                  StatCells()
                      .Relative(s_.DamageAssist)
                      .ColourOf(scales::kAssist, s_.DamageAssist / std::max(1.0f, s_.LevelAvg) * 10)
                      .Delta(Change([](const RWOTAccountStats& b) { return b.DamageAssist; }))
                      .Title("Средний урон, нанесённый с помощью игрока (ассист по разведданным и после сбития "
                             "гусеницы)"));
  }

  RowContent Survival(const std::string&) const {
    const BlockFigure percent = [](const RWOTAccountStats& b) {
      return PerBattle(100.0 * b.SurvivedBattles, b.Battles);
    };
    RowContent content = Render(request_, StatCells()
                                              .Absolute(s_.SurvivedBattles)
                                              .Relative(percent(s_))
                                              .Colour(scales::kSurvival)
                                              .Delta(Change(percent)));
    content.kept_when_zero = s_.Battles != 0;
    return content;
  }

  RowContent Rating(const std::string& key) const {
    struct Rule {
      std::string_view key;
      float RWOTAccountStats::*rating;
      float RWOTAccountStats::*scale_value;  // null: no absolute cell
      const ColourScale& scale;
      std::string_view title;
    };
    static const Rule kRules[] = {
        {"rateEFF", &RWOTAccountStats::rateEFF, &RWOTAccountStats::xEFF, scales::kEff, ""},
        {"rateWN6", &RWOTAccountStats::rateWN6, &RWOTAccountStats::xWN6, scales::kWn6, ""},
        {"rateWN8", &RWOTAccountStats::rateWN8, &RWOTAccountStats::xWN8, scales::kWn8, ""},
        {"rateBS", &RWOTAccountStats::rateBS, &RWOTAccountStats::xBS, scales::kBs, ""},
        {"rateWG", &RWOTAccountStats::rateWG, &RWOTAccountStats::xWG, scales::kWg, ""},
        {"rateIVR", &RWOTAccountStats::rateIVR, nullptr, scales::kIvr, "Только огневая мощь и скилл, без учета онлайна"},
        {"powerIVR", &RWOTAccountStats::powerIVR, nullptr, scales::kIvrPower, ""},
        {"skillIVR", &RWOTAccountStats::skillIVR, nullptr, scales::kIvrSkill, ""},
    };
    const Rule& rule = *std::find_if(std::begin(kRules), std::end(kRules), [&](const Rule& r) { return r.key == key; });
    const auto rating = rule.rating;
    StatCells cells = StatCells()
                          .Relative(s_.*rating)
                          .Colour(rule.scale)
                          .NextStep()
                          .Delta(Change([rating](const RWOTAccountStats& b) { return b.*rating; }))
                          .Title(rule.title);
    if (rule.scale_value != nullptr) cells.Absolute(s_.*(rule.scale_value));
    return Render(request_, cells);
  }

  const AccountReportInput& input_;
  const RowRequest& request_;
  const RWOTAccountStats& s_;
};

}  // namespace

std::optional<RowContent> StatisticRow(const AccountReportInput& input, const RowRequest& request) {
  return StatRows(input, request).Row();
}

}  // namespace tarvelo::detail
