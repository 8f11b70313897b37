// The reference documents carried inside the program: vehicle encyclopedia, WN8
// expected values, Ivanerr weights, achievement catalogue and country list.
// Parsed once at start-up and read-only afterwards. A document that failed to
// parse is absent: every lookup in it gives nothing (empty text, 0).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "json/json.h"

namespace tarvelo {

// What the encyclopedia says about a vehicle id, or the unknown-vehicle values.
struct VehicleInfo {
  bool known = false;
  std::string tag;
  std::string name;
  uint8_t nation = 0;
  uint8_t type = 0;
  uint8_t tier = 10;
  bool premium = false;
  std::string images;
};

// WN8 expected values; all 0 for a vehicle without an entry.
struct ExpectedValues {
  double damage = 0;
  double frag = 0;
  double spot = 0;
  double def = 0;
  double win_rate = 0;  // a percentage
};

// What the documents tell of one vehicle id, found with one lookup.
struct VehicleFacts {
  VehicleInfo info;  // info.known is false when the encyclopedia lacks the id
  ExpectedValues expected;
  double ivanerr_weight = 0;
};

// One entry of the achievement catalogue, in catalogue order.
struct AchievementInfo {
  std::string key;
  std::string name_i18n;
  std::string section;
  int32_t order = 0;
  std::string type;
  std::string condition;
  std::string description;
};

// The texts of the five documents, as carried in the resources.
struct ReferenceTexts {
  std::string_view tanks_info;
  std::string_view exp_values;
  std::string_view ivanerr;
  std::string_view country_list;
  std::string_view achievements;
};

class ReferenceData {
 public:
  ReferenceData() = default;  // every document absent
  static ReferenceData FromTexts(const ReferenceTexts& texts);

  VehicleInfo Vehicle(std::string_view tank_id) const;
  // Vehicle(tank_id).tier, without copying the rest.
  uint8_t VehicleTier(std::string_view tank_id) const;
  ExpectedValues Expected(std::string_view tank_id) const;
  double IvanerrWeight(std::string_view tank_id) const;
  // All of the above at once; null when no document lists the id.
  const VehicleFacts* Facts(std::string_view tank_id) const;
  // Catalogue members that are objects, in document order, and its "meta.count".
  const std::vector<AchievementInfo>& Achievements() const { return achievements_; }
  int64_t AchievementCount() const { return achievement_count_; }
  // The Russian name of a country code; `found` tells whether the code is listed.
  std::string CountryName(std::string_view code, bool* found = nullptr) const;

  // The documents themselves, for reading other paths. Do not modify them.
  json::Value TanksInfo() const { return tanks_info_; }
  json::Value TanksExpValues() const { return exp_values_; }
  json::Value TanksIvanerr() const { return ivanerr_; }
  json::Value AchievementsList() const { return achievements_list_; }
  json::Value CountryList() const { return country_list_; }

  // The start-up error texts for the documents that failed to parse, in load order.
  std::vector<std::string> LoadErrors() const;

  // The versions in use: the encyclopedia's game version and update day
  // ("1.35.0.0 от 30.11.2026"; kEmbeddedVehiclesVersion for one without them),
  // the expected values' table version ("2026-12-07"), and both together, as a
  // day's figures record what they were computed with.
  std::string VehiclesVersion() const;
  std::string ExpectedVersion() const;
  std::string Version() const;

 private:
  struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  template <typename T>
  using ById = std::unordered_map<std::string, T, StringHash, std::equal_to<>>;

  void IndexVehicles();
  void IndexExpectedValues();
  void IndexWeights();
  void IndexAchievements();

  json::Value tanks_info_;
  json::Value exp_values_;
  json::Value ivanerr_;
  json::Value country_list_;
  json::Value achievements_list_;
  ById<VehicleFacts> facts_;
  std::vector<AchievementInfo> achievements_;
  int64_t achievement_count_ = 0;
};

// The encyclopedia version of a document without one: the one carried in the program.
inline constexpr std::string_view kEmbeddedVehiclesVersion = "встроенный";

// The versions ReferenceData tells, of a document on its own.
std::string VehiclesVersionOf(const json::Value& tanks_info);
std::string ExpectedVersionOf(const json::Value& exp_values);

// The texts of the embedded resources.
ReferenceTexts EmbeddedReferenceTexts();

// Start-up: parses the embedded documents once and installs them as the
// process-wide reference data. Returns the error texts to show, one per
// document that could not be loaded (the country list is not reported).
std::vector<std::string> LoadReferenceData();

// Installs `data` as the process-wide reference data (start-up and tests).
void InstallReferenceData(ReferenceData data);

// The process-wide reference data; all documents absent before start-up.
const ReferenceData& Reference();

}  // namespace tarvelo
