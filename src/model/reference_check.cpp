#include "model/reference_check.h"

#include <array>
#include <cmath>
#include <string_view>

#include "model/tables.h"

namespace tarvelo {

namespace {

std::string EntryProblem(std::string_view id, std::string_view what) {
  return "у записи " + std::string(id) + " " + std::string(what);
}

bool IsText(const json::Value& entry, std::string_view name) {
  return json::at(entry, name).kind() == json::Kind::String;
}

bool IsNumber(const json::Value& value) {
  const json::Kind kind = value.kind();
  return kind == json::Kind::Integer || kind == json::Kind::Double || kind == json::Kind::Currency;
}

std::optional<std::string> VehicleEntryProblem(const std::string& id, const json::Value& entry) {
  if (entry.kind() != json::Kind::Object) return EntryProblem(id, "нет описания машины");
  const json::Value tank_id = json::at(entry, "tank_id");
  if (tank_id.kind() != json::Kind::Integer || std::to_string(json::integer(tank_id)) != id) {
    return EntryProblem(id, "другой номер машины");
  }
  if (json::text(entry, "tag").empty() || json::text(entry, "name").empty()) {
    return EntryProblem(id, "нет названия машины");
  }
  if (json::text(entry, "nation").empty()) return EntryProblem(id, "нет нации");
  if (VehicleTypeIndex(json::text(entry, "type")) == 0) return EntryProblem(id, "неизвестный класс машины");
  const json::Value tier = json::at(entry, "tier");
  if (tier.kind() != json::Kind::Integer || json::integer(tier) < 1 || json::integer(tier) > kTierCount) {
    return EntryProblem(id, "уровень вне 1…10");
  }
  if (json::at(entry, "is_premium").kind() != json::Kind::Boolean) return EntryProblem(id, "нет признака премиума");
  if (!IsText(entry, "images")) return EntryProblem(id, "нет адреса картинки");
  return std::nullopt;
}

struct Bound {
  std::string_view name;
  double below;
};
constexpr std::array<Bound, 5> kExpectedBounds{{
    {"expFrag", 10}, {"expDamage", 20000}, {"expSpot", 10}, {"expDef", 10}, {"expWinRate", 100}}};

std::optional<std::string> ExpectedEntryProblem(const std::string& id, const json::Value& entry) {
  for (const Bound& bound : kExpectedBounds) {
    const json::Value value = json::at(entry, bound.name);
    const double number = json::real(value);
    if (!IsNumber(value) || !std::isfinite(number) || number <= 0 || number >= bound.below) {
      return EntryProblem(id, std::string(bound.name) + " вне допустимых пределов");
    }
  }
  return std::nullopt;
}

template <class Check>
std::optional<std::string> EveryEntry(const json::Value& document, Check check) {
  const json::Value data = json::object(document, "data");
  if (json::member_count(data) == 0) return "в документе нет ни одной записи";
  for (const auto& [id, entry] : json::members(data)) {
    if (auto problem = check(id, entry)) return problem;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> VehiclesProblem(const json::Value& document) {
  if (document.kind() != json::Kind::Object) return "документ не читается как JSON";
  return EveryEntry(document, VehicleEntryProblem);
}

std::optional<std::string> ExpectedValuesProblem(const json::Value& document) {
  if (document.kind() != json::Kind::Object) return "документ не читается как JSON";
  if (json::text(document, "header.version").empty()) return "у таблицы нет версии";
  return EveryEntry(document, ExpectedEntryProblem);
}

size_t EntryCount(const json::Value& document) { return json::member_count(json::object(document, "data")); }

std::optional<std::string> TooFewEntries(size_t count, size_t replaced_count) {
  if (static_cast<double>(count) >= kLeastVehicleShare * static_cast<double>(replaced_count)) return std::nullopt;
  return "в нём " + std::to_string(count) + " записей, а в заменяемом " + std::to_string(replaced_count);
}

}  // namespace tarvelo
