#include "acquire/store/snapshot_conversion.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "acquire/store/pattern_scan.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/snapshot_optimizer.h"
#include "json/json.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace detail {
namespace {

constexpr std::string_view kFixedAccountId = "4354591";

// The texts whose presence makes a conversion step act.
constexpr std::string_view kSince = "\",\"since\":";
constexpr std::string_view kSniperSeries = "\"max_sniper_series\"";
constexpr std::string_view kNullAchievements = "\"achievements\":null,";
constexpr std::string_view kOldLayout = "integrated_rating";
constexpr std::string_view kClosedNullClan = "{\"clan\":null}}";
constexpr std::string_view kStatisticsWins = "{\"statistics\":{\"wins\":";
constexpr std::string_view kStatisticsBattles = "\"statistics\":{\"battles\":";
constexpr std::string_view kAllWins = ",\"all\":{\"wins\":";

std::string FixedIdMember() { return "],\"" + std::string(kFixedAccountId) + "\":{"; }
std::string SplicedMeta(std::string_view account_id) {
  return ",\"meta\":{\"count\":1},\"data\":{\"" + std::string(account_id);
}

// Replaces every `pattern` in place; true when there was one.
bool Patch(std::string& text, std::string_view pattern, std::string_view replacement) {
  if (!Contains(text, pattern)) return false;
  text = ReplaceAll(text, pattern, replacement);
  return true;
}

void Save(bool changed, const std::string& text, const FileOnDisk& file) {
  if (changed && file.present()) RewriteKeepingDate(*file.disk, text, file.path);
}

std::optional<int64_t> IntegerOf(std::string_view digits) {
  int64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// ---- achievement names --------------------------------------------------------

struct Nation {
  std::string_view name;
  char digit;
};
constexpr Nation kNationDigits[] = {{"ussr", '0'}, {"germany", '1'}, {"usa", '2'},  {"china", '3'},
                                    {"france", '4'}, {"uk", '5'},     {"japan", '6'}};

// Old snake-case achievement keys, in the order they are renamed.
constexpr std::string_view kOldAchievementKeys[] = {
    "armor_piercer", "hand_of_death", "medal_heroes_of_rassenay", "iron_man", "lucky_devil", "main_gun",
    "mechanic_engineer", "mechanic_engineer_china", "mechanic_engineer_france", "mechanic_engineer_germany",
    "mechanic_engineer_japan", "mechanic_engineer_uk", "mechanic_engineer_usa", "mechanic_engineer_ussr",
    "medal_abrams", "medal_billotte", "medal_boelter", "medal_brothers_in_arms", "medal_bruno_pietro",
    "medal_burda", "medal_carius", "medal_crucial_contribution", "medal_delanglade", "medal_dumitru",
    "medal_ekins", "medal_fadin", "medal_halonen", "medal_kay", "medal_knispel", "medal_kolobanov",
    "medal_lafayette_pool", "medal_lavrinenko", "medal_le_clerc", "medal_lehvaslaiho", "medal_nikolas",
    "medal_orlik", "medal_oskin", "medal_pascucci", "medal_poppel", "medal_radley_walters",
    "medal_tamada_yoshio", "medal_tarczay", "patton_valley", "tank_expert", "tank_expert_china",
    "tank_expert_france", "tank_expert_germany", "tank_expert_japan", "tank_expert_uk", "tank_expert_usa",
    "tank_expert_ussr", "title_sniper", "max_diehard_series", "max_invincible_series", "max_killing_series",
    "max_piercing_series", "max_sniper_series"};

// The national groups of the oldest layout and the key prefix of their members.
struct NationalGroup {
  std::string_view old_group;
  std::string_view snake_prefix;
};
constexpr NationalGroup kNationalGroups[] = {{"mechanicEngineers", "mechanic_engineer_"},
                                             {"tankExperts", "tank_expert_"}};
constexpr std::string_view kOldLayoutNations[] = {"china", "france", "germany", "uk", "usa", "ussr"};

// "armor_piercer" -> "armorPiercer".
std::string CamelCase(std::string_view snake) {
  std::string camel;
  bool capital = false;
  for (char c : snake) {
    if (c == '_') {
      capital = true;
      continue;
    }
    camel += capital ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    capital = false;
  }
  return camel;
}

// "armorPiercer" -> "armor_piercer".
std::string SnakeCase(std::string_view camel) {
  std::string snake;
  for (char c : camel) {
    if (std::isupper(static_cast<unsigned char>(c))) {
      snake += '_';
      snake += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else {
      snake += c;
    }
  }
  return snake;
}

// The publisher's key of this medal; a plain CamelCase of the old key would
// give "medalDelanglade", which earlier versions wrote into converted files.
constexpr std::string_view kDeLangladeKey = "medalDeLanglade";
constexpr std::string_view kEarlierDeLangladeKey = "medalDelanglade";

// The current key for an old snake-case achievement key.
std::string CurrentAchievementKey(std::string_view old_key) {
  if (old_key == "medal_heroes_of_rassenay") return "heroesOfRassenay";
  if (old_key == "medal_boelter") return "medalWittmann";
  if (old_key == "medal_delanglade") return std::string(kDeLangladeKey);
  for (const auto& group : kNationalGroups) {
    if (!old_key.starts_with(group.snake_prefix)) continue;
    std::string_view nation = old_key.substr(group.snake_prefix.size());
    for (const auto& known : kNationDigits) {
      if (known.name == nation) return CamelCase(group.snake_prefix) + known.digit;
    }
  }
  return CamelCase(old_key);
}

std::string Quoted(std::string_view name) {
  std::string quoted;
  quoted.reserve(name.size() + 2);
  quoted += '"';
  quoted += name;
  quoted += '"';
  return quoted;
}

// ---- RenameAchievements --------------------------------------------------------

// The "max_series" object built from the series counts of the old achievements;
// empty when the text does not parse.
std::string MaxSeriesObject(std::string_view text, std::string_view account_id) {
  json::Value document = json::parse(DecodeAnswer(text));
  if (!document) return {};
  std::string achievements = "data." + std::string(account_id) + ".achievements.";
  auto series = [&](std::string_view key) {
    return std::to_string(json::integer(document, achievements + std::string(key)));
  };
  return ",\"max_series\":{\"armorPiercer\":" + series("max_piercing_series") +
         ",\"titleSniper\":" + series("max_sniper_series") + ",\"deathTrack\":0,\"invincible\":" +
         series("max_invincible_series") + ",\"tacticalBreakthrough\":0,\"diehard\":" +
         series("max_diehard_series") + ",\"handOfDeath\":" + series("max_killing_series") + "}";
}

bool RenameAchievementsText(std::string& text, std::string_view account_id) {
  const std::string_view kAchievements = ",\"achievements\":{";
  std::string max_series;
  // The series are read only when there is somewhere to put them.
  if (!Contains(text, "\"max_series\":{") && Contains(text, kAchievements)) {
    max_series = MaxSeriesObject(text, account_id);
  }

  const size_t size_before = text.size();
  text = OptimizeSnapshot(text);
  bool changed = text.size() != size_before;  // optimisation only ever shortens
  for (std::string_view old_key : kOldAchievementKeys) {
    changed |= Patch(text, Quoted(old_key), Quoted(CurrentAchievementKey(old_key)));
  }
  if (!max_series.empty()) changed |= Patch(text, kAchievements, max_series + std::string(kAchievements));
  return changed;
}

// Files converted by earlier versions carry the medal under the key those
// versions made of the old one; a file that already has the current key keeps
// both as they are.
bool RenameEarlierDeLanglade(std::string& text) {
  const std::string earlier = Quoted(kEarlierDeLangladeKey) + ":";
  const std::string current = Quoted(kDeLangladeKey) + ":";
  // Every cached read comes here: the rare key is looked for first.
  if (!Contains(text, earlier) || Contains(text, current)) return false;
  return Patch(text, earlier, current);
}

// ---- ConvertOldLayout -------------------------------------------------------------

// A copy of the value at `path`, or null when there is none.
json::Value Copied(const json::Value& from, std::string_view path) {
  json::Value value = json::at(from, path);
  return value ? json::clone(value) : json::Value::null();
}

json::Value AllStatistics(const json::Value& old) {
  json::Value all = json::Value::object();
  int64_t battles = json::integer(old, "summary.battles_count");
  int64_t wins = json::integer(old, "summary.wins");
  int64_t losses = json::integer(old, "summary.losses");
  json::set(all, "battles", Copied(old, "summary.battles_count"));
  json::set(all, "losses", Copied(old, "summary.losses"));
  json::set(all, "wins", Copied(old, "summary.wins"));
  json::set_integer(all, "draws", battles - wins - losses);
  json::set(all, "survived_battles", Copied(old, "summary.survived_battles"));
  for (std::string_view key : {"spotted", "frags", "damage_dealt", "hits_percents", "capture_points",
                               "dropped_capture_points"}) {
    json::set(all, key, Copied(old, "battles." + std::string(key)));
  }
  json::set(all, "xp", Copied(old, "experience.xp"));
  json::set(all, "battle_avg_xp", Copied(old, "experience.battle_avg_xp"));
  return all;
}

json::Value Statistics(const json::Value& old) {
  json::Value statistics = json::Value::object();
  json::set(statistics, "max_xp", Copied(old, "experience.max_xp"));
  json::set(statistics, "all", AllStatistics(old));
  for (std::string_view key : {"company", "clan", "historical", "team"}) {
    json::set(statistics, key, json::Value::object());
  }
  return statistics;
}

json::Value Clan(const json::Value& old) {
  json::Value clan = json::Value::object();
  json::set(clan, "clan.clan_id", Copied(old, "clan.clan.id"));
  json::set(clan, "joined_at", Copied(old, "clan.member.since"));
  json::set(clan, "role", Copied(old, "clan.member.role"));
  return clan;
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name.find_first_of(".[") == std::string_view::npos;
}

json::Value Achievements(const json::Value& old) {
  json::Value achievements = json::Value::object();
  for (const auto& [name, value] : json::members(json::at(old, "achievements"))) {
    const NationalGroup* group = nullptr;
    for (const auto& candidate : kNationalGroups) {
      if (candidate.old_group == name) group = &candidate;
    }
    if (group != nullptr) {
      for (std::string_view nation : kOldLayoutNations) {
        json::Value count = json::at(value, nation);
        if (count) json::set(achievements, std::string(group->snake_prefix) + std::string(nation), json::clone(count));
      }
    } else if (IsPlainName(name)) {  // a dotted name would be taken for a path
      std::string key = name == "heroesOfRassenay" ? "medal_heroes_of_rassenay" : SnakeCase(name);
      json::set(achievements, key, json::clone(value));
    }
  }
  return achievements;
}

std::string ContourImage(std::string_view image_url, std::string_view portal) {
  std::string image = ReplaceAll(std::string(portal) + std::string(image_url), "small", "contour");
  if (!portal.empty()) image = ReplaceAll(image, std::string(portal) + std::string(portal), portal);
  return image;
}

json::Value Vehicle(const json::Value& entry, const LegacySources& sources) {
  json::Value vehicle = json::Value::object();
  int64_t id = VehicleIdByName(sources.encyclopedia, json::text(entry, "name"));
  json::set_integer(vehicle, "tank_id", id);
  if (id == 0) {
    json::set_text(vehicle, "nation", json::text(entry, "nation"));
    json::set_text(vehicle, "name_i18n", json::text(entry, "name_i18n"));
    json::set_text(vehicle, "contour_image", ContourImage(json::text(entry, "image_url"), sources.game_portal));
    json::set(vehicle, "level", Copied(entry, "level"));
    json::set_text(vehicle, "type", json::text(entry, "class"));
    json::set_text(vehicle, "name", json::text(entry, "name"));
  }
  json::Value all = json::Value::object();
  json::set(all, "battles", Copied(entry, "battle_count"));
  json::set(all, "wins", Copied(entry, "win_count"));
  json::set(vehicle, "all", all);
  return vehicle;
}

json::Value Account(const json::Value& old, std::string_view account_id) {
  json::Value account = json::Value::object();
  json::set_integer(account, "account_id", IntegerOf(account_id).value_or(0));
  json::set(account, "nickname", Copied(old, "name"));
  json::set(account, "created_at", Copied(old, "created_at"));
  json::set(account, "updated_at", Copied(old, "updated_at"));
  json::set(account, "statistics", Statistics(old));
  json::set(account, "clan", Clan(old));
  json::set(account, "achievements", Achievements(old));
  return account;
}

bool ConvertOldLayoutText(std::string& text, std::string_view account_id, const LegacySources& sources) {
  json::Value old = json::parse(DecodeAnswer(text));
  if (!old || !IsPlainName(account_id)) return false;
  json::Value old_data = json::at(old, "data");

  json::Value vehicles = json::Value::array();
  json::Value old_vehicles = json::array(old_data, "vehicles");
  for (size_t i = 0; i < json::length(old_vehicles); ++i) {
    json::append(vehicles, Vehicle(json::item(old_vehicles, i), sources));
  }
  json::Value data = json::Value::object();
  json::set(data, account_id, Account(old_data, account_id));
  json::set(data, "vehicles", vehicles);

  json::Value document = json::Value::object();
  json::set(document, "status", Copied(old, "status"));
  json::set_integer(document, "count", 1);
  json::set(document, "data", data);

  std::string printed = json::print(document);
  if (printed == text) return false;
  text = std::move(printed);
  return true;
}

// ---- ConvertSnapshot ----------------------------------------------------------------

bool ConvertLayout(std::string& text, std::string_view account_id, const LegacySources& sources) {
  if (Contains(text, kSniperSeries) || Contains(text, kNullAchievements)) {
    return RenameAchievementsText(text, account_id);
  }
  if (Contains(text, kOldLayout)) {
    bool rebuilt = ConvertOldLayoutText(text, account_id, sources);
    return RenameAchievementsText(text, account_id) || rebuilt;
  }
  if (Patch(text, kClosedNullClan, "{\"clan\":null")) return true;
  // Older files may carry this fixed account id in place of the account's own.
  if (account_id == kFixedAccountId) return false;
  return Patch(text, FixedIdMember(), "],\"" + std::string(account_id) + "\":{");
}

// Vehicle statistics of older versions: renamed blocks, and vehicle objects
// that lost their opening brace.
bool ConvertStatisticsBlocks(std::string& text) {
  if (Patch(text, kStatisticsWins, "{\"all\":{\"wins\":")) return true;
  if (Patch(text, kStatisticsBattles, "\"all\":{\"battles\":")) return true;
  if (!Contains(text, kAllWins)) return false;
  // A well-formed document may hold this text legitimately (an "all" block
  // whose first non-zero member is "wins"); only a broken one is repaired.
  if (json::parse(DecodeAnswer(text))) return false;
  Patch(text, kAllWins, ",{\"all\":{\"wins\":");
  Patch(text, "[\"all\":{\"wins\":", "[{\"all\":{\"wins\":");
  return true;
}

// Files damaged by versions that spliced whole answers, meta included.
bool RemoveSplicedMeta(std::string& text, std::string_view account_id) {
  const std::string id(account_id);
  const std::string spliced = SplicedMeta(id);
  if (!Contains(text, spliced)) return false;
  bool changed = Patch(text, spliced + "\":{{\"status\":\"ok\",\"count\":1,\"meta\":{\"count\":1}", "");
  changed |= Patch(text, spliced + "\":{{\"status\":\"ok\",\"meta\":{\"count\":1}", "");
  if (!Contains(text, "\"data\":{\"" + id + "\":{\"clan\":")) {
    changed |= Patch(text, "\"data\":{\"" + id + "\":", "\"data\":{\"" + id + "\":{\"clan\":");
  }
  return changed;
}

// False when the text holds none of the texts that make a step of
// ConvertSnapshot act, so that it would come back unchanged: one pass over the
// text instead of a search per step.
bool MayNeedConversion(std::string_view text, std::string_view account_id) {
  std::vector<std::string> triggers = {std::string(kSince),           std::string(kSniperSeries),
                                       std::string(kNullAchievements), std::string(kOldLayout),
                                       std::string(kClosedNullClan),   std::string(kStatisticsWins),
                                       std::string(kStatisticsBattles), std::string(kAllWins),
                                       SplicedMeta(account_id),        Quoted(kEarlierDeLangladeKey) + ":"};
  if (account_id != kFixedAccountId) triggers.push_back(FixedIdMember());
  return PatternScan(std::move(triggers)).Find(text) != 0;
}

}  // namespace
}  // namespace detail

std::optional<int64_t> EncyclopediaText::FindVehicleId(std::string_view name) const {
  size_t found = text_.find(detail::Quoted(name));
  if (found == std::string::npos) return std::nullopt;
  constexpr std::string_view kTankId = "\"tank_id\":";
  size_t key = std::string_view(text_).substr(0, found).rfind(kTankId);
  if (key == std::string::npos) return 0;
  size_t start = key + kTankId.size();
  size_t comma = text_.find(',', start);
  size_t length = comma == std::string::npos ? std::string::npos : comma - start;
  std::string digits = Trim(std::string_view(text_).substr(start, length));
  return detail::IntegerOf(digits).value_or(0);
}

int64_t VehicleIdByName(const VehicleEncyclopedia* encyclopedia, std::string_view name) {
  std::optional<int64_t> id = encyclopedia ? encyclopedia->FindVehicleId(name) : std::nullopt;
  if (id) return *id;
  return name == "T_50_222" ? 16641 : 0;
}

std::string ConvertSnapshot(std::string text, std::string_view account_id, const FileOnDisk& file,
                            const LegacySources& sources) {
  if (!detail::MayNeedConversion(text, account_id)) return text;
  bool changed = detail::Patch(text, detail::kSince, "\",\"joined_at\":");
  changed |= detail::ConvertLayout(text, account_id, sources);
  changed |= detail::ConvertStatisticsBlocks(text);
  changed |= detail::RemoveSplicedMeta(text, account_id);
  changed |= detail::RenameEarlierDeLanglade(text);
  detail::Save(changed, text, file);
  return text;
}

std::string RenameAchievements(std::string text, std::string_view account_id, const FileOnDisk& file) {
  detail::Save(detail::RenameAchievementsText(text, account_id), text, file);
  return text;
}

std::string ConvertOldLayout(std::string text, std::string_view account_id, const FileOnDisk& file,
                             const LegacySources& sources) {
  detail::Save(detail::ConvertOldLayoutText(text, account_id, sources), text, file);
  return text;
}

std::string ConvertClanIndex(std::string text, const FileOnDisk& file) {
  return PatchSnapshotFile(text, ",\"abbreviation\":", ",\"tag\":", file);
}

}  // namespace tarvelo
