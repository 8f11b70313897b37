#include "model/reference.h"

#include <utility>

#include "embedded.h"
#include "model/json_read.h"
#include "model/tables.h"
#include "text/russian.h"

namespace tarvelo {
namespace {

ReferenceData& ProcessReference() {
  static ReferenceData data;
  return data;
}

}  // namespace

ReferenceData ReferenceData::FromTexts(const ReferenceTexts& texts) {
  ReferenceData data;
  data.tanks_info_ = json::parse(texts.tanks_info);
  data.exp_values_ = json::parse(texts.exp_values);
  data.ivanerr_ = json::parse(texts.ivanerr);
  data.country_list_ = json::parse(texts.country_list);
  data.achievements_list_ = json::parse(texts.achievements);
  data.IndexVehicles();
  data.IndexExpectedValues();
  data.IndexWeights();
  data.IndexAchievements();
  return data;
}

namespace {

// Calls `index(id, entry)` for each member of `object` from the last back to
// the first, so that where an id occurs twice the first one is written last
// and stays, as a lookup in the document would find it.
template <class Index>
void IndexMembersFirstWins(const json::Value& object, Index index) {
  const json::MemberRange members = json::members(object);
  for (const json::Member* member = members.end(); member != members.begin();) {
    --member;
    index(member->name, member->value);
  }
}

}  // namespace

void ReferenceData::IndexVehicles() {
  IndexMembersFirstWins(json::at(tanks_info_, "data"), [this](const std::string& id, const json::Value& entry) {
    if (entry.kind() != json::Kind::Object) return;
    VehicleInfo& info = facts_[id].info;
    info.known = true;
    info.tag = json::text(entry, "tag");
    info.name = json::text(entry, "name");
    info.nation = static_cast<uint8_t>(NationIndex(json::text(entry, "nation")));
    info.type = static_cast<uint8_t>(VehicleTypeIndex(json::text(entry, "type")));
    info.tier = static_cast<uint8_t>(json::integer(entry, "tier"));
    info.premium = json::boolean(entry, "is_premium");
    info.images = json::text(entry, "images");
  });
}

void ReferenceData::IndexExpectedValues() {
  IndexMembersFirstWins(json::at(exp_values_, "data"), [this](const std::string& id, const json::Value& entry) {
    ExpectedValues& values = facts_[id].expected;
    values.damage = json::real(json::at(entry, "expDamage"));
    values.frag = json::real(json::at(entry, "expFrag"));
    values.spot = json::real(json::at(entry, "expSpot"));
    values.def = json::real(json::at(entry, "expDef"));
    values.win_rate = json::real(json::at(entry, "expWinRate"));
  });
}

void ReferenceData::IndexWeights() {
  IndexMembersFirstWins(json::at(ivanerr_, "kefs"), [this](const std::string& id, const json::Value& entry) {
    facts_[id].ivanerr_weight = json::real(json::at(entry, "weight"));
  });
}

void ReferenceData::IndexAchievements() {
  achievement_count_ = json::integer(achievements_list_, "meta.count");
  for (const auto& [key, entry] : json::members(json::at(achievements_list_, "data"))) {
    if (entry.kind() != json::Kind::Object) continue;
    AchievementInfo info;
    info.key = key;
    info.name_i18n = json::text(entry, "name_i18n");
    info.section = json::text(entry, "section");
    info.order = static_cast<int32_t>(json::integer(entry, "order"));
    info.type = json::text(entry, "type");
    info.condition = json::text(entry, "condition");
    info.description = json::text(entry, "description");
    achievements_.push_back(std::move(info));
  }
}

const VehicleFacts* ReferenceData::Facts(std::string_view tank_id) const {
  auto found = facts_.find(tank_id);
  return found != facts_.end() ? &found->second : nullptr;
}

VehicleInfo ReferenceData::Vehicle(std::string_view tank_id) const {
  const VehicleFacts* facts = Facts(tank_id);
  if (facts != nullptr && facts->info.known) return facts->info;
  VehicleInfo unknown;
  unknown.tag = "UnknownVehicle_" + std::string(tank_id);
  unknown.name = unknown.tag;
  return unknown;
}

uint8_t ReferenceData::VehicleTier(std::string_view tank_id) const {
  const VehicleFacts* facts = Facts(tank_id);
  return facts != nullptr && facts->info.known ? facts->info.tier : VehicleInfo().tier;
}

ExpectedValues ReferenceData::Expected(std::string_view tank_id) const {
  const VehicleFacts* facts = Facts(tank_id);
  return facts != nullptr ? facts->expected : ExpectedValues{};
}

double ReferenceData::IvanerrWeight(std::string_view tank_id) const {
  const VehicleFacts* facts = Facts(tank_id);
  return facts != nullptr ? facts->ivanerr_weight : 0.0;
}

std::string ReferenceData::CountryName(std::string_view code, bool* found) const {
  for (const auto& [listed, names] : json::members(country_list_)) {
    if (listed != code) continue;
    if (found) *found = true;
    return json::item_text(names, 1);
  }
  if (found) *found = false;
  return {};
}

std::vector<std::string> ReferenceData::LoadErrors() const {
  std::vector<std::string> errors;
  auto check = [&errors](const json::Value& document, std::string_view name) {
    if (!document.present()) errors.push_back("Не удалось загрузить ресурсы " + std::string(name) + ".");
  };
  check(tanks_info_, "TanksInfo");
  check(exp_values_, "TanksExpValues");
  check(ivanerr_, "TanksIvanerr");
  check(achievements_list_, "Achievements");
  return errors;
}

std::string VehiclesVersionOf(const json::Value& tanks_info) {
  const std::string game_version = json::text(tanks_info, "meta.game_version");
  const int64_t updated_at = json::integer(tanks_info, "meta.tanks_updated_at");
  if (game_version.empty() && updated_at <= 0) return std::string(kEmbeddedVehiclesVersion);
  std::string version = game_version;
  if (updated_at > 0) {
    // In steps: one expression of literal + string draws a false warning from g++ 12.
    if (!version.empty()) version += ' ';
    version += "от ";
    version += FormatDate(UnixToDateTime(updated_at));
  }
  return version;
}

std::string ExpectedVersionOf(const json::Value& exp_values) { return json::text(exp_values, "header.version"); }

std::string ReferenceData::VehiclesVersion() const { return VehiclesVersionOf(tanks_info_); }

std::string ReferenceData::ExpectedVersion() const { return ExpectedVersionOf(exp_values_); }

std::string ReferenceData::Version() const { return VehiclesVersion() + " / " + ExpectedVersion(); }

ReferenceTexts EmbeddedReferenceTexts() {
  ReferenceTexts texts;
  texts.tanks_info = FindResource("TanksInfo");
  texts.exp_values = FindResource("TanksExpValues");
  texts.ivanerr = FindResource("TanksIvanerr");
  texts.country_list = FindResource("CountryList");
  texts.achievements = FindResource("AchievementsList");
  return texts;
}

std::vector<std::string> LoadReferenceData() {
  InstallReferenceData(ReferenceData::FromTexts(EmbeddedReferenceTexts()));
  return Reference().LoadErrors();
}

void InstallReferenceData(ReferenceData data) { ProcessReference() = std::move(data); }

const ReferenceData& Reference() { return ProcessReference(); }

}  // namespace tarvelo
