#include "acquire/reference_documents.h"

#include <array>
#include <charconv>
#include <map>

namespace tarvelo {

namespace {

bool IsOkAnswer(const json::Value& answer) { return json::text(answer, "status") == "ok"; }

std::optional<int64_t> IdOf(std::string_view text) {
  int64_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size() || id <= 0) return std::nullopt;
  return id;
}

std::string Quoted(std::string_view text) { return json::print(json::Value::string(text)); }

// Entries keyed by id, in ascending order of the id, as "id":{…} lines.
std::string KeyedLines(const std::map<int64_t, std::string>& entries) {
  std::string lines;
  for (const auto& [id, entry] : entries) {
    if (!lines.empty()) lines += ",\n";
    lines += '"';  // in steps: one expression of literal + string draws a false warning from g++ 12
    lines += std::to_string(id);
    lines += "\":";
    lines += entry;
  }
  return lines;
}

std::string VehicleEntry(const json::Value& vehicle) {
  std::string name = json::text(vehicle, "short_name");
  if (name.empty()) name = json::text(vehicle, "name");
  const json::Value images = json::at(vehicle, "images");
  const std::string picture =
      images.kind() == json::Kind::String ? json::text(images) : json::text(images, "contour_icon");
  json::Value entry = json::Value::object();
  json::set(entry, "tank_id", json::at(vehicle, "tank_id"));
  json::set(entry, "nation", json::at(vehicle, "nation"));
  json::set(entry, "tag", json::at(vehicle, "tag"));
  json::set(entry, "is_premium", json::at(vehicle, "is_premium"));
  json::set(entry, "type", json::at(vehicle, "type"));
  json::set(entry, "tier", json::at(vehicle, "tier"));
  json::set_text(entry, "name", name);
  json::set_text(entry, "images", picture);
  return json::print(entry);
}

constexpr std::array<std::string_view, 5> kExpectedNames{"expFrag", "expDamage", "expSpot", "expDef", "expWinRate"};

std::string ExpectedEntry(const json::Value& row) {
  std::string entry = "{";
  for (const std::string_view name : kExpectedNames) {
    if (entry.size() > 1) entry += ",";
    const json::Value value = json::at(row, name);
    entry += Quoted(name) + ":" + (value.present() ? json::print(value) : "null");
  }
  return entry + "}";
}

}  // namespace

std::optional<EncyclopediaStamp> ParseEncyclopediaStamp(std::string_view answer) {
  const json::Value document = json::parse(answer);
  const int64_t updated_at = json::integer(document, "data.tanks_updated_at");
  if (!IsOkAnswer(document) || updated_at <= 0) return std::nullopt;
  return EncyclopediaStamp{json::text(document, "data.game_version"), updated_at};
}

EncyclopediaStamp StampOf(const json::Value& tanks_info) {
  return {json::text(tanks_info, "meta.game_version"), json::integer(tanks_info, "meta.tanks_updated_at")};
}

std::optional<VehiclesPage> ParseVehiclesPage(std::string_view answer) {
  const json::Value document = json::parse(answer);
  const json::Value vehicles = json::object(document, "data");
  if (!IsOkAnswer(document) || !vehicles.present()) return std::nullopt;
  const json::Value page_total = json::at(document, "meta.page_total");
  return VehiclesPage{vehicles, page_total.present() ? json::integer(page_total) : 1};
}

std::string AnswerProblem(std::string_view answer) {
  const json::Value document = json::parse(answer);
  if (!document.present()) return "ответ не читается как JSON";
  const std::string message = json::text(document, "error.message");
  if (!message.empty()) return "сервер ответил ошибкой " + message;
  return "в ответе нет нужных данных";
}

std::string TanksInfoDocument(const std::vector<json::Value>& pages, const EncyclopediaStamp& stamp,
                              const json::Value& kept) {
  std::map<int64_t, std::string> entries;
  for (const json::Value& page : pages) {
    for (const auto& [key, vehicle] : json::members(page)) {
      const std::optional<int64_t> id = IdOf(key);
      if (id && vehicle.kind() == json::Kind::Object) entries.emplace(*id, VehicleEntry(vehicle));
    }
  }
  for (const auto& [key, vehicle] : json::members(json::object(kept, "data"))) {
    const std::optional<int64_t> id = IdOf(key);
    if (id && vehicle.kind() == json::Kind::Object) entries.emplace(*id, json::print(vehicle));
  }
  return "{\"status\":\"ok\",\"meta\":{\"count\":" + std::to_string(entries.size()) +
         ",\"game_version\":" + Quoted(stamp.game_version) +
         ",\"tanks_updated_at\":" + std::to_string(stamp.tanks_updated_at) + "},\"data\":{\n" +
         KeyedLines(entries) + "\n}}\n";
}

std::optional<std::string> ExpectedValuesDocument(std::string_view published, std::string_view source,
                                                  const json::Value& substitutes) {
  const json::Value table = json::parse(published);
  const std::string version = json::text(table, "header.version");
  const json::Value rows = json::array(table, "data");
  if (version.empty() || !rows.present()) return std::nullopt;
  std::map<int64_t, std::string> entries;
  for (size_t i = 0; i < json::length(rows); ++i) {
    const json::Value row = json::item(rows, i);
    const int64_t id = json::integer(row, "IDNum");
    if (id > 0 && row.kind() == json::Kind::Object) entries.emplace(id, ExpectedEntry(row));
  }
  json::Value kept_substitutes = json::Value::object();
  for (const auto& [removed, successor] : json::members(substitutes)) {
    const std::optional<int64_t> removed_id = IdOf(removed);
    const std::optional<int64_t> successor_id = IdOf(json::text(successor));
    if (!removed_id || !successor_id) continue;
    json::set_text(kept_substitutes, removed, json::text(successor));
    const auto values = entries.find(*successor_id);
    if (values != entries.end()) entries.emplace(*removed_id, values->second);
  }
  json::Value header = json::Value::object();
  json::set_text(header, "source", source);
  json::set_text(header, "version", version);
  json::set(header, "substitutes", kept_substitutes);
  return "{\"header\":" + json::print(header) + ",\"data\":{\n" + KeyedLines(entries) + "\n}}\n";
}

}  // namespace tarvelo
