// The top-tanks table of a clan: for every member, the battles on the listed
// tier-10 vehicles per class, optionally one column per vehicle of one class.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/tables.h"
#include "report/clan_parts.h"
#include "report/clan_report.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

std::string ShortVehicleName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kShortenings{{
      {" Tank", ""},
      {" Patton", ""},
      {" Ausf.", ""},
      {"ction ", ""},
      {"ъект ", ". "},
      {".-Chatillon 25 t", "Chat. 25t"},
      {"panzer", "Pz"},
      {"entrager auf", "."},
      {"AMX 50 Foch", "Foch"},
      {".-Chatillon 155 58", "Chat. 58"},
      {"Gun Carriage", "GC"},
  }};
  std::string result(name);
  for (const auto& [pattern, replacement] : kShortenings) result = ReplaceAll(result, pattern, replacement);
  return result;
}

namespace {

constexpr std::string_view kCell = "</td><td class=\"tCenter\">";
constexpr int kClassRows = static_cast<int>(ClassVehicleIds.size());

// Battles, wins and damage of one vehicle, of a class or of all listed
// vehicles; in the averages row, the clan's sums divided by the members counted.
struct Tally {
  double battles = 0;
  double wins = 0;
  double damage = 0;

  void Add(const Tally& other) {
    battles += other.battles;
    wins += other.wins;
    damage += other.damage;
  }
  int64_t ShownBattles() const { return std::llround(battles); }
  double WinRate() const { return battles > 0 ? 100.0 * wins / battles : 0; }
  double AverageDamage() const { return battles > 0 ? damage / battles : 0; }
  Tally DividedBy(double count) const { return {battles / count, wins / count, damage / count}; }
};

Tally TallyOf(const RWOTAccountStats& block) {
  return {static_cast<double>(block.Battles), static_cast<double>(block.Wins), static_cast<double>(block.DamageDealt)};
}

// What a row shows after the role.
struct RowFigures {
  Tally mode;
  double eff = 0;
  std::vector<Tally> vehicles;  // the broken-down class, in column order
  std::array<Tally, kClassRows> classes{};
  Tally listed;

  void Add(const RowFigures& other) {
    mode.Add(other.mode);
    eff += other.eff;
    for (size_t i = 0; i < vehicles.size(); ++i) vehicles[i].Add(other.vehicles[i]);
    for (size_t k = 0; k < classes.size(); ++k) classes[k].Add(other.classes[k]);
    listed.Add(other.listed);
  }
  RowFigures DividedBy(double count) const {
    RowFigures average{mode.DividedBy(count), eff / count, {}, {}, listed.DividedBy(count)};
    for (const Tally& vehicle : vehicles) average.vehicles.push_back(vehicle.DividedBy(count));
    for (size_t k = 0; k < classes.size(); ++k) average.classes[k] = classes[k].DividedBy(count);
    return average;
  }
};

// The ids of class row `k` (0-based), up to its first empty slot.
std::vector<std::string_view> ListedIds(int k) {
  const auto& ids = ClassVehicleIds[static_cast<size_t>(k)].ids;
  return {ids.begin(), std::find(ids.begin(), ids.end(), std::string_view("0"))};
}

// The class row (1..4) broken down by the "&days=" number -2..-5; 0 for none.
int VariantOfDays(int days) {
  const int variant = -days - 1;
  return variant >= 0 && variant <= kClassRows ? variant : 0;
}

std::string TitledCell(std::string_view title) {
  return "</td><td title=\"" + std::string(title) + "\" class=\"tCenter\">";
}

// The columns between "EFF" and "Боёв", in the same order in the header and in
// every row: for each class row, the vehicles of the broken-down class (`variant`,
// 1..4) and then the class itself.
template <typename OnVehicle, typename OnClass>
void ForEachClassColumn(int variant, OnVehicle on_vehicle, OnClass on_class) {
  for (int k = 0; k < kClassRows; ++k) {
    if (k + 1 == variant) {
      const std::vector<std::string_view> ids = ListedIds(k);
      for (size_t i = 0; i < ids.size(); ++i) on_vehicle(i, ids[i]);
    }
    on_class(static_cast<size_t>(k));
  }
}

// The figure cells of a row: dashes after the role when there are no battles in the mode.
std::string FigureCells(const RowFigures& figures, int variant) {
  if (figures.mode.ShownBattles() <= 0) {
    std::string dashes;
    const size_t count = 2 + figures.vehicles.size() + figures.classes.size() + 2;
    for (size_t i = 0; i < count; ++i) dashes += std::string(kCell) + "-";
    return dashes;
  }
  const double win_rate = figures.mode.WinRate();
  std::string html = std::string(kCell) + ColouredValue("[%.1f%%]", win_rate, scales::kWinRate, win_rate);
  html += std::string(kCell) + ColouredValue("[%.0f]", figures.eff, scales::kEff, figures.eff);
  const auto battles_cell = [&html](const Tally& tally, std::string_view title) {
    if (tally.ShownBattles() <= 0) {
      html += std::string(kCell) + "-";
      return;
    }
    html += TitledCell(title) +
            ColouredValue("[%d]", tally.ShownBattles(), scales::kWinRate, tally.WinRate());
  };
  ForEachClassColumn(
      variant,
      [&](size_t i, std::string_view) {
        const Tally& vehicle = figures.vehicles[i];
        battles_cell(vehicle, Format("%.1f%% побед, %.0f урон", {vehicle.WinRate(), vehicle.AverageDamage()}));
      },
      [&](size_t k) {
        const Tally& group = figures.classes[k];
        battles_cell(group, Format("%.1f%% побед", {group.WinRate()}));
      });
  if (figures.listed.ShownBattles() <= 0) return html + std::string(kCell) + "-" + std::string(kCell) + "-";
  const int64_t listed_battles = figures.listed.ShownBattles();
  const double listed_rate = figures.listed.WinRate();
  return html + std::string(kCell) +
         ColouredValue("[%d]", listed_battles, scales::kListedVehicleBattles, static_cast<double>(listed_battles)) +
         std::string(kCell) +
         ColouredValue("[%.1f%%]", listed_rate, scales::kWinRate, listed_rate);
}

std::string RoleCell(std::string_view role) { return std::string(kCell) + detail::RoleLabel(role); }

class TopTanksPage final : public ClanPage {
 public:
  explicit TopTanksPage(const ClanReportInput& input)
      : input_(input),
        variant_(VariantOfDays(input.view.days)),
        several_clans_(detail::SeveralClans(input.clan)),
        header_(HeaderRow()),
        totals_(Empty()) {}

  void AddMember(const ClanMemberData& member) override {
    ++added_;
    const RowFigures figures = MemberFigures(member);
    const RWOTAccount& record = member.record;
    rows_ += "<tr onclick=\"check(this)\"><td>" + std::to_string(added_) + NameCell(record.Nickname) +
             ClanCell(record.ClanTag) + RoleCell(record.ClanRole) + FigureCells(figures, variant_) + "</td></tr>\r\n";
    // A member whose data could not be had is not counted as one without battles.
    if (record.Nickname.empty() || !member.has_statistics) return;
    ++counted_;
    totals_.Add(figures);
  }

  std::string Finish(int total) override {
    std::string averages;
    if (counted_ > 0) {
      averages = "</td><td class=\"tLeft\">В среднем по клану" + ClanCell({}) + RoleCell({}) +
                 FigureCells(totals_.DividedBy(counted_), variant_);
    }
    std::string html = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main\">\r\n"
                       "<thead id=\"ClanTagName\">" +
                       detail::ClanTitleRow(input_, several_clans_ ? 21 : 20) + "</thead>\r\n" +
                       ClanSelectorRow(input_) + "<thead id=\"ClanMembersHead\">\r\n" + header_ + "</thead>\r\n" +
                       "<tbody id=\"ClanMembersBody\">" + rows_ + "</tbody>\r\n" +
                       "<tfoot id=\"ClanMembersFoot\">\r\n" + detail::FooterHeader(header_) +
                       "<tr title=\"Усредненные показатели по клану\"><td>&nbsp;" + averages + "</td></tr>\r\n" +
                       "</tfoot>\r\n</table>\r\n<br /><br />\r\n";
    if (added_ < total) html += detail::InterruptionNote(added_, total);
    return html;
  }

 private:
  // Zero figures with a column for every vehicle of the broken-down class.
  RowFigures Empty() const {
    RowFigures figures;
    if (variant_ > 0) figures.vehicles.resize(ListedIds(variant_ - 1).size());
    return figures;
  }

  std::string HeaderRow() const {
    std::string html = "<tr><td>&nbsp;</td><td class=\"tLeft\">Имя";
    if (several_clans_) html += "</td><td class=\"tLeft\">Клан";
    for (const std::string_view label : {"Должность", "Побед", "EFF"}) html += std::string(kCell) + std::string(label);
    ForEachClassColumn(
        variant_,
        [&](size_t, std::string_view id) {
          html += std::string(kCell) + EscapeHtml(ShortVehicleName(input_.reference.Vehicle(id).name));
        },
        [&](size_t k) { html += std::string(kCell) + std::string(ClassVehicleIds[k].label); });
    // The Latin "e" of the last caption keeps it apart from the "Побед" column
    // for the page script's column sort.
    return html + TitledCell("Общее количество боёв на топ-танках") + "Боёв" +
           TitledCell("Средний процент побед на топ-танках") + "Поб" + "e" + "д</td></tr>\r\n";
  }

  RowFigures MemberFigures(const ClanMemberData& member) const {
    RowFigures figures = Empty();
    if (!member.has_statistics) return figures;
    const int mode = input_.view.mode;
    const RWOTAccount& record = member.record;
    figures.mode = TallyOf(record.Stats[mode]);
    figures.eff = record.Stats[mode].rateEFF;
    for (int k = 0; k < kClassRows; ++k) {
      const std::vector<std::string_view> ids = ListedIds(k);
      for (size_t i = 0; i < ids.size(); ++i) {
        const auto found = std::ranges::find(record.Vehicles, ids[i], &RVehicleStat::TankId);
        const Tally vehicle = found == record.Vehicles.end() ? Tally{} : TallyOf(found->Stats[mode]);
        if (k + 1 == variant_) figures.vehicles[i] = vehicle;
        if (vehicle.battles <= 0) continue;
        figures.classes[static_cast<size_t>(k)].Add(vehicle);
        figures.listed.Add(vehicle);
      }
    }
    return figures;
  }

  // The link searches the plain name: no battle mode, no period.
  std::string NameCell(const std::string& name) const {
    const std::string shown = EscapeHtml(name);
    return "</td><td class=\"tLeft\"><a href=\"" + SearchHref(input_.site.site, name) + "\" onclick=\"" +
           DoCmdCall("search", name) + "\" class=\"name\" target=\"" + shown + "\">" + shown + "</a>";
  }

  std::string ClanCell(const std::string& tag) const {
    if (!several_clans_) return {};
    return "</td><td class=\"tLeft\">" + detail::ClanTagLink(input_.site.site, tag);
  }

  const ClanReportInput& input_;
  const int variant_;
  const bool several_clans_;
  const std::string header_;
  std::string rows_;
  RowFigures totals_;
  int added_ = 0;
  int counted_ = 0;
};

}  // namespace

std::unique_ptr<ClanPage> MakeClanTopTanksPage(const ClanReportInput& input) {
  return std::make_unique<TopTanksPage>(input);
}

}  // namespace tarvelo
