#include "model/figures.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "json/json.h"
#include "model/period.h"
#include "model/snapshot.h"
#include "model/tables.h"

namespace tarvelo {
namespace {

// Appends compact JSON, putting the commas between members and items itself.
class JsonWriter {
 public:
  std::string& text() { return text_; }

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  void Key(std::string_view name) {
    Separate();
    Quote(name);
    text_ += ':';
    after_key_ = true;
  }
  void Value(std::string_view s) {
    Separate();
    Quote(s);
  }
  void Value(const std::string& s) { Value(std::string_view(s)); }
  void Value(bool b) {
    Separate();
    text_ += b ? "true" : "false";
  }
  template <typename Int>
    requires std::is_integral_v<Int>
  void Value(Int n) {
    Separate();
    text_ += std::to_string(n);
  }
  // Enough digits to read back the same single-precision value.
  void Value(float f) {
    Separate();
    if (!std::isfinite(f)) {
      text_ += "null";
      return;
    }
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.9g", static_cast<double>(f));
    text_ += digits;
  }
  template <typename T, size_t Size>
  void Value(const std::array<T, Size>& values) {
    BeginArray();
    for (const T& value : values) Value(value);
    EndArray();
  }

  template <typename T>
  void Member(std::string_view name, const T& value) {
    Key(name);
    Value(value);
  }

 private:
  void Separate() {
    if (after_key_) {
      after_key_ = false;
    } else if (!first_in_container_.empty()) {
      if (!first_in_container_.back()) text_ += ',';
      first_in_container_.back() = false;
    }
  }
  void Open(char bracket) {
    Separate();
    text_ += bracket;
    first_in_container_.push_back(true);
  }
  void Close(char bracket) {
    first_in_container_.pop_back();
    text_ += bracket;
  }
  void Quote(std::string_view s) {
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

  std::string text_;
  std::vector<bool> first_in_container_;
  bool after_key_ = false;
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
  w.BeginObject();
  for (const StatsFieldName& field : StatsFields()) {
    std::visit([&](auto member) { w.Member(field.name, block.*member); }, field.member);
  }
  w.EndObject();
}

void WriteAggregates(JsonWriter& w, const RWOTAccount& account) {
  w.BeginObject();
  w.Member("VehiclesByClass", account.VehiclesByClass);
  w.Member("BattlesByClass", account.BattlesByClass);
  w.Member("WinsByClass", account.WinsByClass);
  w.Member("VehiclesByTier", account.VehiclesByTier);
  w.Member("BattlesByTier", account.BattlesByTier);
  w.Member("WinsByTier", account.WinsByTier);
  w.Member("VehiclesByNation", account.VehiclesByNation);
  w.Member("BattlesByNation", account.BattlesByNation);
  w.Member("WinsByNation", account.WinsByNation);
  w.Member("VehicleCount", account.VehicleCount);
  w.Member("TopVehicleCount", account.TopVehicleCount);
  w.Member("PremiumCount", account.PremiumCount);
  w.Member("TopPremiumCount", account.TopPremiumCount);
  w.Member("HighestTier", account.HighestTier);
  w.Member("MasteryCount", account.MasteryCount);
  w.Member("HeroesTotal", account.HeroesTotal);
  w.Member("CountByBadge", account.CountByBadge);
  w.Member("NamesByBadge", account.NamesByBadge);
  w.EndObject();
}

void WriteVehicle(JsonWriter& w, const RVehicleStat& vehicle, int mode) {
  w.BeginObject();
  w.Member("TankId", vehicle.TankId);
  w.Member("Tag", vehicle.Tag);
  w.Member("Name", vehicle.Name);
  w.Member("Nation", vehicle.Nation);
  w.Member("VehicleType", vehicle.VehicleType);
  w.Member("Tier", vehicle.Tier);
  w.Member("IsPremium", vehicle.IsPremium);
  w.Member("MarkOfMastery", vehicle.MarkOfMastery);
  w.Key("stats");
  WriteStats(w, vehicle.Stats[mode]);
  w.EndObject();
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
  w.BeginObject();
  w.Member("account_id", account.AccountId);
  w.Member("nickname", account.Nickname);
  w.Member("mode", BattleModes[mode].key);
  w.Key("stats");
  WriteStats(w, account.Stats[mode]);
  w.Key("ExpTotals");
  WriteStats(w, account.ExpTotals);
  w.Key("aggregates");
  WriteAggregates(w, account);
  w.Key("vehicles");
  w.BeginArray();
  for (const RVehicleStat& vehicle : account.Vehicles) WriteVehicle(w, vehicle, mode);
  w.EndArray();
  w.EndObject();
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
