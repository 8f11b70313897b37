// The figures the clan pages show per member and average over the clan.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "model/records.h"
#include "model/tables.h"

namespace tarvelo {

// One member's figures, or the clan's averages of them.
struct MemberFigures {
  int64_t seniority_days = 0;
  bool known_created = false;  // the account's creation date is known
  int64_t age_days = 0;
  int64_t period_days = 0;
  int32_t fame_points = 0;
  int32_t fame_position = 0;
  AWOTAccountStats stats{};
  double heroes = 0;
  double vehicles = 0;
  double top_vehicles = 0;
  double top_premiums = 0;
  double masters = 0;
  bool fought = false;  // the member has a battle, so days since the last one
  int64_t idle_days = 0;
};

// Sums of every figure of a statistics block, in double precision.
class StatsSums {
 public:
  void Add(const RWOTAccountStats& stats);
  // Counts rounded to whole numbers, averages kept real.
  RWOTAccountStats Average(int count) const;

 private:
  std::array<double, 63> sums_{};
};

// A plain mean of whatever is added.
class Mean {
 public:
  void Add(double value) {
    sum_ += value;
    ++count_;
  }
  double Of() const { return count_ > 0 ? sum_ / count_ : 0; }
  int64_t Whole() const { return std::llround(Of()); }

 private:
  double sum_ = 0;
  int count_ = 0;
};

// The clan's averages of its members' figures: counts rounded to whole
// numbers, the ages over the members whose creation date is known, the days
// since a battle over the members who fought.
class ClanAverages {
 public:
  void Add(const MemberFigures& member);
  int count() const { return count_; }
  MemberFigures Averages() const;

 private:
  int count_ = 0;
  Mean seniority_, age_, period_, points_, position_, heroes_, vehicles_, tops_, premiums_, masters_, idle_;
  std::array<StatsSums, kModeCount> stats_{};
};

}  // namespace tarvelo
