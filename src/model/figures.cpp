#include "model/figures.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>
#include <vector>

#include "json/json.h"
#include "model/period.h"
#include "model/snapshot.h"
#include "model/tables.h"

namespace tarvelo {
namespace {

// Appends compact JSON; the caller puts the commas.
class JsonWriter {
 public:
  std::string& text() { return text_; }

  void Key(std::string_view name) {
    String(name);
    text_ += ':';
  }
  void String(std::string_view s) {
    text_ += '"';
    for (char ch : s) {
      const auto byte = static_cast<unsigned char>(ch);
      if (ch == '"' || ch == '\\') {
        text_ += '\\';
        text_ += ch;
      } else if (byte < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
        text_ += escaped;
      } else {
        text_ += ch;
      }
    }
    text_ += '"';
  }
  void Integer(int64_t n) { text_ += std::to_string(n); }
  void Bool(bool b) { text_ += b ? "true" : "false"; }
  // Enough digits to read back the same single-precision value.
  void Float(float f) {
    if (!std::isfinite(f)) {
      text_ += "null";
      return;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.9g", static_cast<double>(f));
    text_ += digits;
  }
  void Double(double d) {
    if (!std::isfinite(d)) {
      text_ += "null";
      return;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", d);
    text_ += digits;
  }
  template <typename T>
  void IntegerArray(const T& values) {
    text_ += '[';
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) text_ += ',';
      Integer(values[i]);
    }
    text_ += ']';
  }

 private:
  std::string text_;
};

using StatsMember = std::variant<int32_t RWOTAccountStats::*, uint32_t RWOTAccountStats::*, float RWOTAccountStats::*,
                                 std::string RWOTAccountStats::*>;
struct StatsFieldName {
  std::string_view name;
  StatsMember member;
};

#define TARVELO_STATS_FIELD(field) StatsFieldName{#field, &RWOTAccountStats::field}

const std::vector<StatsFieldName>& StatsFields() {
  static const std::vector<StatsFieldName> kFields{
      TARVELO_STATS_FIELD(Battles),          TARVELO_STATS_FIELD(Wins),
      TARVELO_STATS_FIELD(Losses),           TARVELO_STATS_FIELD(Draws),
      TARVELO_STATS_FIELD(SurvivedBattles),  TARVELO_STATS_FIELD(Xp),
      TARVELO_STATS_FIELD(XpAvg),            TARVELO_STATS_FIELD(MaxFrags),
      TARVELO_STATS_FIELD(MaxFragsTankId),   TARVELO_STATS_FIELD(MaxXp),
      TARVELO_STATS_FIELD(MaxXpTankId),      TARVELO_STATS_FIELD(MaxDamage),
      TARVELO_STATS_FIELD(MaxDamageTankId),  TARVELO_STATS_FIELD(Frags),
      TARVELO_STATS_FIELD(Spotted),          TARVELO_STATS_FIELD(Capture),
      TARVELO_STATS_FIELD(Dropped),          TARVELO_STATS_FIELD(DamageDealt),
      TARVELO_STATS_FIELD(AvatarDamageDealt), TARVELO_STATS_FIELD(DamageReceived),
      TARVELO_STATS_FIELD(Shots),            TARVELO_STATS_FIELD(Hits),
      TARVELO_STATS_FIELD(HitsPercent),      TARVELO_STATS_FIELD(WinsPercent),
      TARVELO_STATS_FIELD(WinsRatioChange),  TARVELO_STATS_FIELD(DamageAvg),
      TARVELO_STATS_FIELD(AvatarDamageAvg),  TARVELO_STATS_FIELD(DamageTop),
      TARVELO_STATS_FIELD(DamageAssist),     TARVELO_STATS_FIELD(LevelAvg),
      TARVELO_STATS_FIELD(FragsKoef),        TARVELO_STATS_FIELD(TankingKoef),
      TARVELO_STATS_FIELD(DamageKoef),       TARVELO_STATS_FIELD(ExpDamageKoef),
      TARVELO_STATS_FIELD(EfficiencyKoef),   TARVELO_STATS_FIELD(rateEFF),
      TARVELO_STATS_FIELD(xEFF),             TARVELO_STATS_FIELD(rateWN6),
      TARVELO_STATS_FIELD(xWN6),             TARVELO_STATS_FIELD(rateWN8),
      TARVELO_STATS_FIELD(xWN8),             TARVELO_STATS_FIELD(rateBS),
      TARVELO_STATS_FIELD(xBS),              TARVELO_STATS_FIELD(rateWG),
      TARVELO_STATS_FIELD(xWG),              TARVELO_STATS_FIELD(rateKORV),
      TARVELO_STATS_FIELD(IvrBattles),       TARVELO_STATS_FIELD(IvrBattlesAdj),
      TARVELO_STATS_FIELD(IvrWins),          TARVELO_STATS_FIELD(IvrFrags),
      TARVELO_STATS_FIELD(IvrHits),          TARVELO_STATS_FIELD(IvrShots),
      TARVELO_STATS_FIELD(skillIVR),         TARVELO_STATS_FIELD(powerIVR),
      TARVELO_STATS_FIELD(rateIVR),          TARVELO_STATS_FIELD(Clanable),
      TARVELO_STATS_FIELD(ExpDamageSum),     TARVELO_STATS_FIELD(ExpFragSum),
      TARVELO_STATS_FIELD(ExpSpotSum),       TARVELO_STATS_FIELD(ExpDefSum),
      TARVELO_STATS_FIELD(ExpWinsSum),       TARVELO_STATS_FIELD(DamageWithoutExp),
      TARVELO_STATS_FIELD(BattlesWithoutExp), TARVELO_STATS_FIELD(WinPoints),
      TARVELO_STATS_FIELD(WinPointsAvg),     TARVELO_STATS_FIELD(MaxWinPoints),
  };
  return kFields;
}

#undef TARVELO_STATS_FIELD

void WriteStats(JsonWriter& w, const RWOTAccountStats& block) {
  w.text() += '{';
  bool first = true;
  for (const StatsFieldName& field : StatsFields()) {
    if (!first) w.text() += ',';
    first = false;
    w.Key(field.name);
    std::visit(
        [&](auto member) {
          const auto& value = block.*member;
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, float>) {
            w.Float(value);
          } else if constexpr (std::is_same_v<Value, std::string>) {
            w.String(value);
          } else {
            w.Integer(value);
          }
        },
        field.member);
  }
  w.text() += '}';
}

void WriteAggregates(JsonWriter& w, const RWOTAccount& account) {
  auto array = [&w](std::string_view name, const auto& values) {
    w.Key(name);
    w.IntegerArray(values);
    w.text() += ',';
  };
  auto integer = [&w](std::string_view name, int64_t value) {
    w.Key(name);
    w.Integer(value);
    w.text() += ',';
  };
  w.text() += '{';
  array("VehiclesByClass", account.VehiclesByClass);
  array("BattlesByClass", account.BattlesByClass);
  array("WinsByClass", account.WinsByClass);
  array("VehiclesByTier", account.VehiclesByTier);
  array("BattlesByTier", account.BattlesByTier);
  array("WinsByTier", account.WinsByTier);
  array("VehiclesByNation", account.VehiclesByNation);
  array("BattlesByNation", account.BattlesByNation);
  array("WinsByNation", account.WinsByNation);
  integer("VehicleCount", account.VehicleCount);
  integer("TopVehicleCount", account.TopVehicleCount);
  integer("PremiumCount", account.PremiumCount);
  integer("TopPremiumCount", account.TopPremiumCount);
  integer("HighestTier", account.HighestTier);
  integer("MasteryCount", account.MasteryCount);
  integer("HeroesTotal", account.HeroesTotal);
  array("CountByBadge", account.CountByBadge);
  w.Key("NamesByBadge");
  w.text() += '[';
  for (size_t i = 0; i < account.NamesByBadge.size(); ++i) {
    if (i) w.text() += ',';
    w.String(account.NamesByBadge[i]);
  }
  w.text() += "]}";
}

void WriteVehicle(JsonWriter& w, const RVehicleStat& vehicle, int mode) {
  w.text() += '{';
  w.Key("TankId");
  w.String(vehicle.TankId);
  w.text() += ',';
  w.Key("Tag");
  w.String(vehicle.Tag);
  w.text() += ',';
  w.Key("Name");
  w.String(vehicle.Name);
  w.text() += ',';
  w.Key("Nation");
  w.Integer(vehicle.Nation);
  w.text() += ',';
  w.Key("VehicleType");
  w.Integer(vehicle.VehicleType);
  w.text() += ',';
  w.Key("Tier");
  w.Integer(vehicle.Tier);
  w.text() += ',';
  w.Key("IsPremium");
  w.Bool(vehicle.IsPremium);
  w.text() += ',';
  w.Key("MarkOfMastery");
  w.Integer(vehicle.MarkOfMastery);
  w.text() += ',';
  w.Key("stats");
  WriteStats(w, vehicle.Stats[mode]);
  w.text() += '}';
}

std::string FirstAccountId(const json::Value& document) {
  for (const auto& [name, value] : json::members(json::at(document, "data"))) {
    if (name != "vehicles") return name;
  }
  return {};
}

}  // namespace

std::string FiguresJson(const RWOTAccount& account, int mode) {
  if (mode < 0 || mode >= kModeCount) mode = kModeAll;
  JsonWriter w;
  w.text() += '{';
  w.Key("account_id");
  w.String(account.AccountId);
  w.text() += ',';
  w.Key("nickname");
  w.String(account.Nickname);
  w.text() += ',';
  w.Key("mode");
  w.String(BattleModes[mode].key);
  w.text() += ',';
  w.Key("stats");
  WriteStats(w, account.Stats[mode]);
  w.text() += ',';
  w.Key("ExpTotals");
  WriteStats(w, account.ExpTotals);
  w.text() += ',';
  w.Key("aggregates");
  WriteAggregates(w, account);
  w.text() += ',';
  w.Key("vehicles");
  w.text() += '[';
  for (size_t i = 0; i < account.Vehicles.size(); ++i) {
    if (i) w.text() += ',';
    WriteVehicle(w, account.Vehicles[i], mode);
  }
  w.text() += "]}";
  return std::move(w.text());
}

namespace {

// The account of a snapshot text parsed as --figures shows it: achievements
// sorted, vehicles in snapshot order. Empty, with a message on `err`, when the
// text is not a snapshot of the account (`account_id` empty: the first one);
// `which` names the snapshot in the message.
std::optional<RWOTAccount> ParseSnapshotText(std::string_view text, std::string_view which,
                                             const std::string& account_id, int mode, const ReferenceData& reference,
                                             std::ostream& err) {
  const json::Value document = json::parse(text);
  if (!document.present()) {
    err << "Файл " << which << " не является документом JSON.\n";
    return std::nullopt;
  }
  RWOTAccount account;
  account.AccountId = account_id.empty() ? FirstAccountId(document) : account_id;
  if (account.AccountId.empty() || !json::object(document, "data." + account.AccountId).present()) {
    err << "В файле " << which << " нет данных игрока " << account.AccountId << ".\n";
    return std::nullopt;
  }
  ParseAccount(account, document, true, false, mode, reference);
  return account;
}

constexpr std::string_view kSnapshot = "снимка";
constexpr std::string_view kOlderSnapshot = "более раннего снимка";

int ModeOf(const FiguresOptions& options, std::ostream& err) {
  const int mode = ModeIndexOfKey(options.mode_key);
  if (mode < 0) err << "Неизвестный режим боёв: " << options.mode_key << "\n";
  return mode;
}

}  // namespace

int WriteFigures(std::string_view snapshot_text, const FiguresOptions& options, const ReferenceData& reference,
                 std::ostream& out, std::ostream& err) {
  const int mode = ModeOf(options, err);
  if (mode < 0) return 2;
  const std::optional<RWOTAccount> account = ParseSnapshotText(snapshot_text, kSnapshot, options.account_id, mode, reference, err);
  if (!account) return 1;
  out << FiguresJson(*account, mode) << "\n";
  return 0;
}

int WritePeriodFigures(std::string_view newer_text, std::string_view older_text, const FiguresOptions& options,
                       const ReferenceData& reference, std::ostream& out, std::ostream& err) {
  const int mode = ModeOf(options, err);
  if (mode < 0) return 2;
  const std::optional<RWOTAccount> newer = ParseSnapshotText(newer_text, kSnapshot, options.account_id, mode, reference, err);
  if (!newer) return 1;
  // The older snapshot must hold the same account as the newer one.
  const std::optional<RWOTAccount> older = ParseSnapshotText(older_text, kOlderSnapshot, newer->AccountId, mode, reference, err);
  if (!older) return 1;
  out << FiguresJson(PeriodDelta(*newer, *older, false, mode, reference), mode) << "\n";
  return 0;
}

}  // namespace tarvelo
