// The damage per battle each WN8 colour step needs, on vehicle blocks of
// different shapes: put back into the formula it lands on the step.
#include "model/wn8_target.h"

#include <gtest/gtest.h>

#include <array>

#include "model/ratings.h"

namespace tarvelo {
namespace {

struct Vehicle {
  const char* what;
  int32_t battles;
  double frags, spotted, defence, win_rate;  // per battle, win rate in percent
  double exp_damage, exp_frag, exp_spot, exp_def, exp_win_rate;
};

// A vehicle block as the snapshot parsing leaves it: counters and expected sums.
RWOTAccountStats Block(const Vehicle& v, double damage) {
  RWOTAccountStats b;
  b.Battles = v.battles;
  b.Frags = static_cast<int32_t>(v.frags * v.battles);
  b.Spotted = static_cast<int32_t>(v.spotted * v.battles);
  b.Dropped = static_cast<int32_t>(v.defence * v.battles);
  b.Wins = static_cast<int32_t>(v.win_rate / 100 * v.battles);
  b.DamageDealt = static_cast<uint32_t>(damage * v.battles);
  b.ExpDamageSum = static_cast<float>(v.exp_damage * v.battles);
  b.ExpFragSum = static_cast<float>(v.exp_frag * v.battles);
  b.ExpSpotSum = static_cast<float>(v.exp_spot * v.battles);
  b.ExpDefSum = static_cast<float>(v.exp_def * v.battles);
  b.ExpWinsSum = static_cast<float>(v.exp_win_rate * v.battles / 100);
  return b;
}

constexpr std::array<double, 4> kSteps{900, 1470, 2180, 2880};

const Vehicle kVehicles[] = {
    {"tier-1 vehicle, one battle", 1, 2, 1, 0, 100, 222.8, 1.676, 0.92, 1.296, 57.894},
    {"tier-10 average player", 2400, 0.95, 1.1, 0.6, 50.5, 2400.7, 0.916, 1.539, 0.286, 50.236},
    {"frags far below expected: the damage must carry it", 300, 0.1, 0.2, 0.05, 44, 1119.4, 0.881, 1.539, 0.885,
     51.183},
    {"everything but damage far above expected", 800, 3, 4, 3, 70, 640, 1.2, 1.5, 1.1, 55.7},
    {"a losing artillery", 55, 0.4, 0.1, 0.2, 38, 700, 0.7, 0.3, 0.5, 49},
};

TEST(DamageForWn8, LandsOnEachStepWithinOne) {
  for (const Vehicle& v : kVehicles) {
    const RWOTAccountStats block = Block(v, 500);
    double previous = 0;
    for (const double step : kSteps) {
      const std::optional<double> damage = DamageForWn8(block, step);
      ASSERT_TRUE(damage) << v.what;
      const double wn8 = Wn8WithDamage(block, *damage);
      EXPECT_GE(wn8, step) << v.what << " at " << step;
      EXPECT_LT(wn8, step + 1) << v.what << " at " << step;
      EXPECT_LT(Wn8WithDamage(block, *damage - 0.01), step) << v.what << " at " << step;  // the least such damage
      EXPECT_GT(*damage, previous) << v.what;
      previous = *damage;
    }
  }
}

// The formula solved is the page's: at the block's own damage both give the same WN8.
TEST(DamageForWn8, UsesTheFormulaOfTheRatings) {
  for (const Vehicle& v : kVehicles) {
    for (const double damage : {0.0, 350.0, 1234.0, 4000.0}) {
      const RWOTAccountStats block = Block(v, damage);
      EXPECT_FLOAT_EQ(Wn8WithDamage(block, static_cast<double>(block.DamageDealt) / v.battles), Wn8(block, block))
          << v.what << " " << damage;
    }
  }
}

TEST(DamageForWn8, NothingWithoutBattlesOrExpectedValues) {
  RWOTAccountStats block = Block(kVehicles[1], 2000);
  EXPECT_TRUE(DamageForWn8(block, 900));
  RWOTAccountStats no_battles = block;
  no_battles.Battles = 0;
  EXPECT_FALSE(DamageForWn8(no_battles, 900));
  RWOTAccountStats no_expected = block;
  no_expected.ExpDamageSum = 0;
  EXPECT_FALSE(DamageForWn8(no_expected, 900));
  no_expected = block;
  no_expected.ExpWinsSum = 0;
  EXPECT_FALSE(DamageForWn8(no_expected, 900));
  // A step the other figures reach alone needs no damage.
  EXPECT_EQ(DamageForWn8(block, 100), 0.0);
}

}  // namespace
}  // namespace tarvelo
