#include "model/reference.h"

#include <utility>

#include "embedded.h"
#include "model/json_read.h"
#include "model/tables.h"

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

void ReferenceData::IndexVehicles() {
  for (const auto& [id, entry] : json::members(json::at(tanks_info_, "data"))) {
    if (entry.kind() != json::Kind::Object) continue;
    VehicleInfo info;
    info.known = true;
    info.tag = json::text(entry, "tag");
    info.name = json::text(entry, "name");
    info.nation = static_cast<uint8_t>(NationIndex(json::text(entry, "nation")));
    info.type = static_cast<uint8_t>(VehicleTypeIndex(json::text(entry, "type")));
    info.tier = static_cast<uint8_t>(json::integer(entry, "tier"));
    info.premium = json::boolean(entry, "is_premium");
    info.images = json::text(entry, "images");
    vehicles_.emplace(id, std::move(info));
  }
}

void ReferenceData::IndexExpectedValues() {
  for (const auto& [id, entry] : json::members(json::at(exp_values_, "data"))) {
    ExpectedValues values;
    values.damage = json::real(json::at(entry, "expDamage"));
    values.frag = json::real(json::at(entry, "expFrag"));
    values.spot = json::real(json::at(entry, "expSpot"));
    values.def = json::real(json::at(entry, "expDef"));
    values.win_rate = json::real(json::at(entry, "expWinRate"));
    expected_.emplace(id, values);
  }
}

void ReferenceData::IndexWeights() {
  for (const auto& [id, entry] : json::members(json::at(ivanerr_, "kefs"))) {
    weights_.emplace(id, json::real(json::at(entry, "weight")));
  }
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

VehicleInfo ReferenceData::Vehicle(std::string_view tank_id) const {
  auto found = vehicles_.find(tank_id);
  if (found != vehicles_.end()) return found->second;
  VehicleInfo unknown;
  unknown.tag = "UnknownVehicle_" + std::string(tank_id);
  unknown.name = unknown.tag;
  return unknown;
}

uint8_t ReferenceData::VehicleTier(std::string_view tank_id) const {
  auto found = vehicles_.find(tank_id);
  return found != vehicles_.end() ? found->second.tier : VehicleInfo().tier;
}

ExpectedValues ReferenceData::Expected(std::string_view tank_id) const {
  auto found = expected_.find(tank_id);
  return found == expected_.end() ? ExpectedValues{} : found->second;
}

double ReferenceData::IvanerrWeight(std::string_view tank_id) const {
  auto found = weights_.find(tank_id);
  return found == weights_.end() ? 0.0 : found->second;
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
