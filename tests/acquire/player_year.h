// A generated year of daily play of a player with many vehicles, for the tests
// and the benchmark of the history archive: every evening the player's
// snapshot, merged and optimised as the loader makes it, is saved by the
// program's own saving code (the date rule included), so the stored days are
// what a daily search would have left: a file per day played, and a copy of the
// last one for a player idle since before yesterday.
#pragma once

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "acquire/store/snapshot_optimizer.h"
#include "model/reference.h"
#include "text/russian.h"

namespace tarvelo::testing {

// The modes a vehicle block of the API has, in its order; the played ones first.
inline constexpr std::array kYearModes = {"all",        "random",     "clan",      "company",
                                          "globalmap",  "stronghold_defense",      "stronghold_skirmish",
                                          "team",       "regular_team", "fallout"};

struct YearCounters {
  int64_t battles = 0, wins = 0, losses = 0, survived = 0, xp = 0, frags = 0, spotted = 0, damage = 0,
          received = 0, shots = 0, hits = 0, capture = 0, dropped = 0, assisted = 0;
  void Add(const YearCounters& o) {
    battles += o.battles, wins += o.wins, losses += o.losses, survived += o.survived, xp += o.xp;
    frags += o.frags, spotted += o.spotted, damage += o.damage, received += o.received, shots += o.shots;
    hits += o.hits, capture += o.capture, dropped += o.dropped, assisted += o.assisted;
  }
};

// A statistics block as the API writes it (zeros included; the optimiser drops them).
inline std::string YearBlock(const YearCounters& c) {
  const int64_t b = std::max<int64_t>(1, c.battles);
  const auto n = [](int64_t v) { return std::to_string(v); };
  return R"({"spotted":)" + n(c.spotted) + R"(,"battles_on_stunning_vehicles":0,"avg_damage_blocked":)" +
         n(c.received / 3 / b) + R"(.0,"direct_hits_received":)" + n(c.received / 180) +
         R"(,"explosion_hits":0,"piercings_received":)" + n(c.received / 250) + R"(,"piercings":)" + n(c.hits * 3 / 4) +
         R"(,"xp":)" + n(c.xp) + R"(,"survived_battles":)" + n(c.survived) + R"(,"dropped_capture_points":)" +
         n(c.dropped) + R"(,"hits_percents":)" + n(c.shots ? c.hits * 100 / c.shots : 0) + R"(,"draws":)" +
         n(c.battles - c.wins - c.losses) + R"(,"battles":)" + n(c.battles) + R"(,"damage_received":)" +
         n(c.received) + R"(,"avg_damage_assisted":)" + n(c.assisted / b) + R"(.0,"stun_number":0,"frags":)" +
         n(c.frags) + R"(,"avg_damage_assisted_radio":)" + n(c.assisted / b / 2) + R"(.0,"capture_points":)" +
         n(c.capture) + R"(,"stun_assisted_damage":0,"hits":)" + n(c.hits) + R"(,"battle_avg_xp":)" +
         n(c.battles ? c.xp / c.battles : 0) + R"(,"wins":)" + n(c.wins) + R"(,"losses":)" + n(c.losses) +
         R"(,"damage_dealt":)" + n(c.damage) + R"(,"no_damage_direct_hits_received":0,"shots":)" + n(c.shots) +
         R"(,"explosion_hits_received":0,"tanking_factor":0.0})";
}

// The ids of the vehicles with expected values, for a year whose days have ratings.
inline std::vector<int64_t> RatedVehicleIds(const ReferenceData& reference) {
  std::vector<int64_t> ids;
  for (const auto& [id, values] : json::members(json::object(reference.TanksExpValues(), "data"))) {
    ids.push_back(std::stoll(std::string(id)));
  }
  return ids;
}

class PlayerYear {
 public:
  static constexpr char kAccountId[] = "5120001";

  // The vehicles' ids are taken from `ids` in turn when it is given.
  explicit PlayerYear(int vehicles = 300, unsigned seed = 7, const std::vector<int64_t>& ids = {}) : random_(seed) {
    tanks_.resize(static_cast<size_t>(vehicles));
    for (size_t i = 0; i < tanks_.size(); ++i) {
      Tank& tank = tanks_[i];
      tank.id = ids.empty() ? static_cast<int64_t>(1 + 16 * i + (i % 11) * 256) : ids[i % ids.size()];
      // A history before the year: the older vehicles were played a lot.
      Play(tank, 0, static_cast<int>(Uniform(0, 400)));
      if (i % 4 == 0) Play(tank, 4, static_cast<int>(Uniform(0, 20)));
    }
  }

  // One day of play: 3 to 15 vehicles, some days none.
  void PlayDay() {
    if (Uniform(0, 99) < 20) return;
    const int64_t count = Uniform(3, 15);
    for (int64_t k = 0; k < count; ++k) {
      Tank& tank = tanks_[static_cast<size_t>(Uniform(0, static_cast<int64_t>(tanks_.size()) - 1))];
      const int64_t roll = Uniform(0, 9);
      const size_t mode = roll < 7 ? 1 : roll == 7 ? 4 : roll == 8 ? 6 : 9;
      Play(tank, mode, static_cast<int>(Uniform(1, 8)));
    }
    played_today_ = true;
  }

  // The snapshot as the loader stores it, the last battle at 19:00 of the last day played.
  std::string Snapshot() const {
    std::array<YearCounters, kYearModes.size()> account{};
    std::string vehicles;
    for (const Tank& tank : tanks_) {
      if (!vehicles.empty()) vehicles += ',';
      vehicles += "{";
      for (size_t m = 0; m < kYearModes.size(); ++m) {
        account[m].Add(tank.modes[m]);
        AddMember(vehicles, kYearModes[m], YearBlock(tank.modes[m]));
      }
      vehicles += R"("max_xp":)" + std::to_string(tank.max_xp) + R"(,"mark_of_mastery":)" +
                  std::to_string(tank.mastery) + R"(,"max_frags":)" + std::to_string(tank.max_frags) +
                  R"(,"tank_id":)" + std::to_string(tank.id) + "}";
    }
    std::string statistics;
    for (size_t m = 0; m < kYearModes.size(); ++m) {
      if (m == 4) continue;  // the account names the global map by its levels
      AddMember(statistics, kYearModes[m], YearBlock(account[m]));
    }
    statistics += R"("globalmap_absolute":)" + YearBlock(account[4]) + R"(,"globalmap_champion":)" +
                  YearBlock({}) + R"(,"globalmap_middle":)" + YearBlock({});
    const int64_t last = DateTimeToUnix(last_battle_);
    const std::string text =
        std::string(R"({"status":"ok","data":{")") + kAccountId + R"(":{"achievements":{"medalKay":2,"warrior":)" +
        std::to_string(account[0].battles / 700) + R"(,"tankExpert":1},"max_series":{"titleSniper":9},)"
        R"("clan":null,"account_id":)" + kAccountId + R"(,"nickname":"Year_Player","global_rating":)" +
        std::to_string(4000 + account[0].battles / 20) + R"(,"created_at":1300000000,"updated_at":)" +
        std::to_string(last + 600) + R"(,"last_battle_time":)" + std::to_string(last) +
        R"(,"logout_at":)" + std::to_string(last + 600) + R"(,"statistics":{)" + statistics +
        R"(}},"vehicles":[)" + vehicles + "]}}";
    return OptimizeSnapshot(text);
  }

  // Plays `days` days from `first` and saves each evening at 22:00 through
  // `save(text, facts, clock)`.
  template <typename Save>
  void Run(DateTime first, int days, Save save) {
    last_battle_ = first - 3;
    for (int day = 0; day < days; ++day) {
      const DateTime date = first + day;
      played_today_ = false;
      PlayDay();
      if (played_today_) last_battle_ = date + 16.0 / 24;  // 19:00 in Moscow, as UTC
      save(Snapshot(), AccountSnapshotFacts{last_battle_, false}, SnapshotClockAt(date + 22.0 / 24));
    }
  }

 private:
  struct Tank {
    int64_t id = 0;
    std::array<YearCounters, kYearModes.size()> modes{};
    int64_t max_xp = 0, max_frags = 0, mastery = 0;
  };

  // `"name":value,` in steps: one expression of literal + string draws a false warning from g++ 12.
  static void AddMember(std::string& text, std::string_view name, const std::string& value) {
    text += '"';
    text += name;
    text += "\":";
    text += value;
    text += ',';
  }

  int64_t Uniform(int64_t low, int64_t high) { return std::uniform_int_distribution<int64_t>(low, high)(random_); }

  // `battles` battles in mode `mode` (and in "all").
  void Play(Tank& tank, size_t mode, int battles) {
    YearCounters c;
    c.battles = battles;
    c.wins = Uniform(0, battles);
    c.losses = battles - c.wins - (Uniform(0, 30) == 0 ? 1 : 0);
    c.losses = std::max<int64_t>(0, c.losses);
    c.survived = Uniform(0, battles);
    c.xp = battles * Uniform(300, 1200);
    c.frags = Uniform(0, 2 * battles);
    c.spotted = Uniform(0, 2 * battles);
    c.damage = battles * Uniform(200, 3000);
    c.received = battles * Uniform(200, 1500);
    c.shots = battles * Uniform(5, 12);
    c.hits = c.shots * Uniform(50, 90) / 100;
    c.capture = Uniform(0, battles * 10);
    c.dropped = Uniform(0, battles * 10);
    c.assisted = battles * Uniform(0, 800);
    tank.modes[0].Add(c);
    if (mode != 0) tank.modes[mode].Add(c);
    tank.max_xp = std::max(tank.max_xp, c.xp / std::max(1, battles) + Uniform(0, 300));
    tank.max_frags = std::max(tank.max_frags, Uniform(0, 5));
    tank.mastery = std::max(tank.mastery, Uniform(0, 4));
  }

  std::mt19937 random_;
  std::vector<Tank> tanks_;
  DateTime last_battle_ = 0;
  bool played_today_ = false;
};

}  // namespace tarvelo::testing
