// The formulas of the ratings on blocks built by hand: guards, boundaries and
// the single-precision arithmetic.
#include "model/ratings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/tables.h"

namespace tarvelo {
namespace {

RWOTAccountStats Block(int32_t battles, int32_t wins, int32_t frags) {
  RWOTAccountStats block;
  block.Battles = battles;
  block.Wins = wins;
  block.Frags = frags;
  return block;
}

TEST(Round2, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_DOUBLE_EQ(round2(0.025), 0.02);  // 2.5 -> 2
  EXPECT_DOUBLE_EQ(round2(0.045), 0.04);  // 4.5 -> 4
  EXPECT_DOUBLE_EQ(round2(1.125), 1.12);  // 112.5 -> 112
  EXPECT_DOUBLE_EQ(round2(0.375), 0.38);  // 37.5 -> 38
  EXPECT_DOUBLE_EQ(round2(-0.125), -0.12);
  EXPECT_DOUBLE_EQ(round2(2.3449), 2.34);
}

TEST(BlockFigures, PlayerWhoNeverDiedIsRatedOnHisTotals) {
  RWOTAccountStats block = Block(10, 6, 7);
  block.SurvivedBattles = 10;
  block.Spotted = 5;
  BlockFigures(block, false);
  EXPECT_FLOAT_EQ(block.FragsKoef, 7.0f);
  EXPECT_FLOAT_EQ(block.EfficiencyKoef, 6.0f);  // (7 + 5) / 2
  block.SurvivedBattles = 6;
  BlockFigures(block, false);
  EXPECT_FLOAT_EQ(block.FragsKoef, 1.75f);       // 7 / 4
  EXPECT_FLOAT_EQ(block.EfficiencyKoef, 1.5f);   // 12 / 2 / 4
}

TEST(BlockFigures, GuardsGiveZeroesWithoutBattlesShotsOrDamageReceived) {
  RWOTAccountStats block;
  block.Hits = 3;
  block.Xp = 100;
  block.DamageDealt = 500;
  block.LevelAvg = 5;
  block.DamageTop = 900;
  BlockFigures(block, false);
  EXPECT_FLOAT_EQ(block.HitsPercent, 0.0f);
  EXPECT_FLOAT_EQ(block.XpAvg, 0.0f);
  EXPECT_FLOAT_EQ(block.DamageKoef, 0.0f);
  EXPECT_FLOAT_EQ(block.LevelAvg, 0.0f);
  EXPECT_FLOAT_EQ(block.DamageTop, 0.0f);
}

TEST(BlockFigures, DamageAndWinPointsAboveTwoBillionStayUnsigned) {
  RWOTAccountStats block = Block(1000, 500, 0);
  block.DamageDealt = 3000000000u;
  block.WinPoints = 2500000000u;
  block.DamageReceived = 1500000000u;
  BlockFigures(block, false);
  EXPECT_FLOAT_EQ(block.DamageAvg, 3000000.0f);
  EXPECT_FLOAT_EQ(block.WinPointsAvg, 2500000.0f);
  EXPECT_FLOAT_EQ(block.DamageKoef, 2.0f);
}

TEST(BlockFigures, VehicleBlockLosesItsExpectedSums) {
  RWOTAccountStats block = Block(5, 2, 1);
  block.ExpDamageSum = 100;
  block.DamageWithoutExp = 7;
  RWOTAccountStats account_block = block;
  BlockFigures(block, true);
  BlockFigures(account_block, false);
  EXPECT_FLOAT_EQ(block.ExpDamageSum, 0.0f);
  EXPECT_EQ(block.DamageWithoutExp, 0u);
  EXPECT_FLOAT_EQ(account_block.ExpDamageSum, 100.0f);
}

TEST(Eff, SumThatRoundsToANegativeIsStoredAsZero) {
  // A period block may carry negative counters: c = 250 * -1 / 1000 = -0.25.
  RWOTAccountStats block = Block(1000, 0, -1);
  EXPECT_FLOAT_EQ(Eff(block, 5), 0.0f);
}

TEST(Eff, FragSpotDefenceBracketIsA32BitInteger) {
  // 250 * 9 000 000 = 2 250 000 000 wraps to -2 044 967 296 in 32 bits.
  RWOTAccountStats block = Block(1, 0, 9000000);
  EXPECT_FLOAT_EQ(Eff(block, 5), 0.0f);
  // 250 * 8 000 000 = 2 000 000 000 still fits: c = 2e9.
  block.Frags = 8000000;
  EXPECT_FLOAT_EQ(Eff(block, 5), 2.0e9f);
}

TEST(Wn6, TierOneVehicleUsesTheLowestTierTerms) {
  // f = (1240 - 1040 / 1^0.164) * 3 = 600; w = (185 / (0.17 + e^(65 * -0.134)) - 500) * 0.45
  // = 264.2312; l = (6 - 1) * -60 = -300; d = s = k = 0: 564.2312 -> 564.23.
  RWOTAccountStats block = Block(1, 1, 3);
  EXPECT_FLOAT_EQ(Wn6(block, 1), 564.23f);
  // Tier 0 counts as tier 1.
  EXPECT_FLOAT_EQ(Wn6(block, 0), 564.23f);
}

TEST(Wn8, ZeroWithoutBattlesOrExpectedSums) {
  RWOTAccountStats e = Block(10, 5, 10);
  e.ExpDamageSum = 0;
  e.ExpFragSum = e.ExpSpotSum = e.ExpDefSum = e.ExpWinsSum = 5;
  RWOTAccountStats a = e;
  a.DamageDealt = 1000;
  EXPECT_FLOAT_EQ(Wn8(e, a), 0.0f);
  e.ExpDamageSum = 500;
  a.Battles = 0;
  EXPECT_FLOAT_EQ(Wn8(e, a), 0.0f);
}

TEST(Wn8, ZeroExpectedSumBesideExpectedDamageGivesZeroNotInfinity) {
  RWOTAccountStats e = Block(10, 5, 10);
  e.ExpDamageSum = 500;
  e.ExpFragSum = e.ExpDefSum = e.ExpWinsSum = 5;
  e.ExpSpotSum = 0;
  EXPECT_FLOAT_EQ(Wn8(e, e), 0.0f);
}

TEST(Bs, IsRoundedButNeverClampedAndNeedsAccountBattles) {
  RWOTAccountStats block = Block(10, 5, 10);
  block.Xp = 5000;
  block.DamageDealt = 10000;
  // ln(100)/10 * (500 + 1000 * (0.5 * 2 + 1 * 0.9)) = 0.4605170 * 2400 = 1105.2409 -> 1105.24.
  EXPECT_FLOAT_EQ(Bs(block, 100), 1105.24f);
  EXPECT_FLOAT_EQ(Bs(block, 1), 0.0f);   // ln 1 = 0
  EXPECT_FLOAT_EQ(Bs(block, 0), 0.0f);   // no account battles: nothing to rate
}

TEST(ScaleValue, EffBoundaryAndClamps) {
  EXPECT_FLOAT_EQ(ScaleValue(RatingKind::Eff, 2250.0f), 100.0f);    // the polynomial gives 100.32, capped
  EXPECT_FLOAT_EQ(ScaleValue(RatingKind::Eff, 2250.01f), 100.0f);   // above the limit
  EXPECT_FLOAT_EQ(ScaleValue(RatingKind::Eff, 1000.0f), 41.98f);    // polynomial 41.9785
  EXPECT_FLOAT_EQ(ScaleValue(RatingKind::Eff, 0.0f), 0.0f);         // -26.036 clamped
  EXPECT_FLOAT_EQ(ScaleValue(RatingKind::Wg, 5000.0f), 40.06f);
}

TEST(VehicleRatings, OneBattleWithoutShotsHasConfidenceButNoIvr) {
  RWOTAccountStats block = Block(1, 1, 1);
  BlockFigures(block, true);
  RWOTAccountStats account_block;
  VehicleRatings(block, 10, 1, 0.85, &account_block);
  EXPECT_FLOAT_EQ(block.HitsPercent, 0.0f);
  EXPECT_FLOAT_EQ(block.IvrBattlesAdj, 0.402f);  // 1 - 299 * 0.1 / 50
  EXPECT_FLOAT_EQ(block.rateIVR, 0.0f);          // the hit factor is 0
  EXPECT_FLOAT_EQ(block.powerIVR, 0.85f);
  EXPECT_FLOAT_EQ(account_block.powerIVR, 0.85f);
  EXPECT_EQ(account_block.IvrBattles, 1);
  EXPECT_FLOAT_EQ(account_block.IvrBattlesAdj, 0.402f);
}

TEST(VehicleRatings, UnweightedVehicleAddsNothingToTheIvrSums) {
  RWOTAccountStats block = Block(400, 200, 300);
  block.Shots = 100;
  block.Hits = 80;
  BlockFigures(block, true);
  RWOTAccountStats account_block;
  VehicleRatings(block, 10, 1000, 0, &account_block);
  EXPECT_EQ(block.IvrBattles, 0);
  EXPECT_EQ(account_block.IvrBattles, 0);
  EXPECT_FLOAT_EQ(account_block.powerIVR, 0.0f);
}

TEST(TierAndDamageFigures, LevelAvgIsAddedTierByTierInSinglePrecision) {
  RWOTAccountStats block = Block(3, 1, 0);
  std::array<int32_t, kTierCount> tiers{1, 1, 1};
  TierAndDamageFigures(block, RWOTAccountStats{}, tiers, FigureSource::Snapshot);
  // float(1/3) + 2/3 -> float, + 1 -> float: exactly 2.
  EXPECT_EQ(block.LevelAvg, 2.0f);
  tiers = {0, 0, 0, 0, 0, 0, 7, 0, 0, 0};
  tiers[9] = 4;
  TierAndDamageFigures(block, RWOTAccountStats{}, tiers, FigureSource::Snapshot);
  float expected = static_cast<float>(0.0 + 7.0 * 7 / 11);
  expected = static_cast<float>(expected + 10.0 * 4 / 11);
  EXPECT_EQ(block.LevelAvg, expected);
}

TEST(TierAndDamageFigures, PeriodWithoutVehicleBattlesHasTierOne) {
  RWOTAccountStats block = Block(5, 2, 0);
  block.DamageDealt = 1000;
  TierAndDamageFigures(block, RWOTAccountStats{}, {}, FigureSource::Period);
  EXPECT_FLOAT_EQ(block.LevelAvg, 1.0f);
  EXPECT_EQ(block.DamageWithoutExp, 1000u);  // no expected damage: all of it is without
  EXPECT_FLOAT_EQ(block.DamageTop, 0.0f);    // (1000 - 1000) / 5 / 1 * 10
}

TEST(TierAndDamageFigures, NegativeOwnDamageCountsAsZero) {
  RWOTAccountStats block = Block(5, 2, 0);
  block.DamageDealt = 100;
  block.DamageWithoutExp = 400;
  TierAndDamageFigures(block, RWOTAccountStats{}, {0, 5}, FigureSource::Snapshot);
  EXPECT_FLOAT_EQ(block.DamageTop, 0.0f);
}

TEST(ClanableTerm, CapsNormsExponentsAndZeroBase) {
  EXPECT_DOUBLE_EQ(ClanableTerm(2, 52), 1.0);
  EXPECT_DOUBLE_EQ(ClanableTerm(2, 70), std::pow(60.0 / 52, 3));
  EXPECT_DOUBLE_EQ(ClanableTerm(3, 40000), std::pow(2.0, static_cast<double>(0.3333333f)));
  EXPECT_DOUBLE_EQ(ClanableTerm(8, 0), 0.0);
  EXPECT_DOUBLE_EQ(ClanableTerm(9, 5), 0.0);
}

TEST(ClanableScore, EveryCriterionAtItsCapGivesTheMaximum) {
  RWOTAccountStats block = Block(30000, 20000, 90000);
  block.rateKORV = 3000;
  block.WinsPercent = 66.7f;
  block.DamageTop = 4000;
  block.EfficiencyKoef = 3;
  block.LevelAvg = 10;
  // (2400/1175 + (60/52)^3 + 2^(1/3) + 2 + 3200/1850 + (2/1.3)^0.5 + 10/6 + 4^0.2) / 8 = 1.5993639.
  EXPECT_FLOAT_EQ(ClanableScore(block, 15), 1.5993639f);
}

TEST(AccountRatings, BlockWithoutBattlesGetsNone) {
  RWOTAccountStats block;
  block.rateEFF = 5;
  block.IvrBattles = 3;
  block.Clanable = 1;
  AccountRatings(block, RWOTAccountStats{}, 2, 4000);
  EXPECT_FLOAT_EQ(block.rateEFF, 0.0f);
  EXPECT_FLOAT_EQ(block.rateWG, 0.0f);
  EXPECT_EQ(block.IvrBattles, 0);
  EXPECT_FLOAT_EQ(block.Clanable, 0.0f);
}

}  // namespace
}  // namespace tarvelo
