// Pieces of a generated account snapshot for the benchmarks: an optimised
// (zero members dropped) account of 300 vehicles, about 300 KB, with the
// vehicle ids of the embedded encyclopedia so that every lookup finds its entry.
#pragma once

#include <string>
#include <vector>

#include "json/json.h"
#include "model/reference.h"

namespace tarvelo::bench {

inline constexpr char kAccountId[] = "4821907";
inline constexpr int kVehicles = 300;

inline const ReferenceData& BenchReference() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

// Vehicle ids of the encyclopedia, or made-up ones when it is not embedded.
inline std::vector<std::string> VehicleIds() {
  std::vector<std::string> ids;
  for (const auto& [id, entry] : json::members(json::at(BenchReference().TanksInfo(), "data"))) {
    if (ids.size() == kVehicles) break;
    ids.push_back(id);
  }
  for (int i = 1; ids.size() < kVehicles; ++i) ids.push_back(std::to_string(i * 16 + 1));
  return ids;
}

// One statistics block as an optimised snapshot keeps it, with the members
// the parser does not read as well.
inline std::string Block(int battles, int seed) {
  auto n = [&](int scale) { return std::to_string(battles * scale + seed % 7); };
  return R"({"spotted":)" + n(1) + R"(,"avg_damage_blocked":)" + n(31) + ".25" + R"(,"direct_hits_received":)" +
         n(9) + R"(,"explosion_hits":)" + n(1) + R"(,"piercings_received":)" + n(7) + R"(,"piercings":)" + n(6) +
         R"(,"xp":)" + n(650) + R"(,"survived_battles":)" + std::to_string(battles / 3) +
         R"(,"dropped_capture_points":)" + n(1) + R"(,"hits_percents":71,"battles":)" + std::to_string(battles) +
         R"(,"damage_received":)" + n(900) + R"(,"avg_damage_assisted":)" + n(3) + ".5" + R"(,"frags":)" + n(1) +
         R"(,"capture_points":)" + n(2) + R"(,"damage_dealt":)" + n(1100) + R"(,"hits":)" + n(8) +
         R"(,"battle_avg_xp":650,"wins":)" + std::to_string(battles / 2 + 1) + R"(,"losses":)" +
         std::to_string(battles / 2 - 1) + R"(,"shots":)" + n(10) + R"(,"tanking_factor":0.41})";
}

// The members of the "vehicles" array; on day `day` each vehicle has played
// up to three battles a day more than on day 0. `total` gets the battles.
inline std::string VehiclesText(const std::vector<std::string>& ids, int day, int& total) {
  std::string vehicles;
  total = 0;
  for (int i = 0; i < kVehicles; ++i) {
    const int battles = 20 + (i * 37) % 400 + day * (i % 4);
    total += battles;
    if (i) vehicles += ',';
    vehicles += R"({"all":)" + Block(battles, i) + R"(,"random":)" + Block(battles - 4, i);
    if (i % 3 == 0) vehicles += R"(,"globalmap":)" + Block(3, i) + R"(,"stronghold_skirmish":)" + Block(4, i);
    vehicles += R"(,"max_xp":)" + std::to_string(900 + i) + R"(,"mark_of_mastery":)" + std::to_string(i % 5) +
                R"(,"max_frags":)" + std::to_string(i % 6) + R"(,"tank_id":)" + ids[i] + "}";
  }
  return vehicles;
}

}  // namespace tarvelo::bench
