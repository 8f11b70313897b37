#include "model/ratings.h"

#include <algorithm>
#include <cmath>

#include "model/arith.h"
#include "model/reference.h"
#include "model/tables.h"

namespace tarvelo {

using detail::AddTo;
using detail::Single;

double round2(double x) { return std::nearbyint(x / 0.01) * 0.01; }

void HitsPercentOf(RWOTAccountStats& block) {
  block.HitsPercent = block.Shots > 0 ? Single(static_cast<double>(block.Hits) / block.Shots * 100) : 0.0f;
}

void PerBattleAverages(RWOTAccountStats& block) {
  if (block.Battles <= 0) {
    block.XpAvg = block.WinsPercent = block.DamageAvg = block.WinPointsAvg = block.AvatarDamageAvg = 0;
    return;
  }
  const double battles = block.Battles;
  block.XpAvg = Single(block.Xp / battles);
  block.WinsPercent = Single(block.Wins / battles * 100);
  block.DamageAvg = Single(block.DamageDealt / battles);
  block.WinPointsAvg = Single(block.WinPoints / battles);
  block.AvatarDamageAvg = Single(block.AvatarDamageDealt / battles);
}

void DeathRatiosAndDamageKoef(RWOTAccountStats& block) {
  // A player who never died is rated on his totals.
  const int64_t deaths = static_cast<int64_t>(block.Battles) - block.SurvivedBattles;
  const double divisor = deaths > 0 ? static_cast<double>(deaths) : 1.0;
  const double frags_and_spotted = static_cast<double>(block.Frags) + block.Spotted;
  block.EfficiencyKoef = Single(frags_and_spotted / 2 / divisor);
  block.FragsKoef = Single(block.Frags / divisor);
  block.DamageKoef =
      block.DamageReceived != 0 ? Single(static_cast<double>(block.DamageDealt) / block.DamageReceived) : 0.0f;
}

void ClearListFigures(RWOTAccountStats& block, bool is_vehicle) {
  block.WinsRatioChange = 0;
  block.DamageTop = 0;
  block.LevelAvg = 0;
  block.ExpDamageKoef = 0;
  if (is_vehicle) {
    block.ExpDamageSum = block.ExpFragSum = block.ExpSpotSum = block.ExpDefSum = block.ExpWinsSum = 0;
    block.DamageWithoutExp = 0;
  }
}

void BlockFigures(RWOTAccountStats& block, bool is_vehicle) {
  HitsPercentOf(block);
  PerBattleAverages(block);
  DeathRatiosAndDamageKoef(block);
  ClearListFigures(block, is_vehicle);
}

float Eff(const RWOTAccountStats& block, double tier) {
  if (block.Battles <= 0) return 0;
  const double battles = block.Battles;
  const double a = 150 * (std::log(block.Capture / battles + 1) / std::log(1.732));
  const double b = (block.DamageDealt / battles) * 10 / (tier + 2) * (0.23 + 2 * tier / 100);
  const int32_t bracket = static_cast<int32_t>(250LL * block.Frags + 150LL * block.Spotted + 150LL * block.Dropped);
  const double c = bracket / battles;
  return Single(std::max(0.0, round2(a + b + c)));
}

float Wn6(const RWOTAccountStats& block, double tier) {
  if (block.Battles <= 0) return 0;
  const double battles = block.Battles;
  const double t6 = std::min(std::max(tier, 1.0), 6.0);
  const double t1 = std::max(tier, 1.0);
  const double f = (1240 - 1040 / std::pow(t6, 0.164)) * block.Frags / battles;
  const double d = (block.DamageDealt / battles) * 530 / (184 * std::exp(0.24 * t1) + 130);
  const double s = block.Spotted / battles * 125;
  const double k = std::min(block.Dropped / battles, 2.2) * 100;
  const double w = (185 / (0.17 + std::exp((block.Wins / battles * 100 - 35) * (-0.134))) - 500) * 0.45;
  const double l = (6 - t6) * (-60);
  return Single(std::max(0.0, round2(f + d + s + k + w + l)));
}

float Wn8(const RWOTAccountStats& e, const RWOTAccountStats& a) {
  if (a.Battles <= 0 || e.ExpDamageSum <= 0) return 0;
  // Never the case with the shipped expected values; without this a ratio would be infinite.
  if (e.ExpSpotSum <= 0 || e.ExpFragSum <= 0 || e.ExpDefSum <= 0 || e.ExpWinsSum <= 0) return 0;
  Wn8Ratios r;
  r.damage = Single(a.DamageDealt / static_cast<double>(e.ExpDamageSum));
  r.spot = Single(a.Spotted / static_cast<double>(e.ExpSpotSum));
  r.frag = Single(a.Frags / static_cast<double>(e.ExpFragSum));
  r.def = Single(a.Dropped / static_cast<double>(e.ExpDefSum));
  r.win = Single(a.Wins / static_cast<double>(e.ExpWinsSum));
  return Wn8OfRatios(r);
}

float Wn8OfRatios(const Wn8Ratios& r) {
  const float r_win_c = Single(std::max((r.win - 0.71) / 0.29, 0.0));
  const float r_damage_c = Single(std::max((r.damage - 0.22) / 0.78, 0.0));
  const float r_frag_c = Single(std::min(std::max((r.frag - 0.12) / 0.88, 0.0), r_damage_c + 0.2));
  const float r_spot_c = Single(std::min(std::max((r.spot - 0.38) / 0.62, 0.0), r_damage_c + 0.1));
  const float r_def_c = Single(std::min(std::max((r.def - 0.1) / 0.9, 0.0), r_damage_c + 0.1));
  return Single(145 * std::min(static_cast<double>(r_win_c), 1.8) + 980.0 * r_damage_c +
                210.0 * r_damage_c * r_frag_c + 155.0 * r_frag_c * r_spot_c + 75.0 * r_def_c * r_frag_c);
}

float Bs(const RWOTAccountStats& block, int32_t account_battles) {
  // ln(N) has no value for N < 1; such a block has nothing to rate.
  if (block.Battles <= 0 || account_battles < 1) return 0;
  const double battles = block.Battles;
  const double per_battle = block.Wins / battles * 2 + block.Frags / battles * 0.9 + block.Spotted / battles * 0.5 +
                            block.Capture / battles * 0.5 + block.Dropped / battles * 0.5;
  return Single(round2(std::log(static_cast<double>(account_battles)) / 10 *
                       (block.Xp / battles * 1 + block.DamageDealt / battles * per_battle)));
}

namespace {

struct Scale {
  double limit;
  std::array<double, 7> c;  // c6 .. c0
};

const Scale& ScaleOf(RatingKind kind) {
  static const std::array<Scale, 5> kScales{{
      {2250, {1.68275e-17, -1.19928e-13, 3.19149e-10, -3.96224e-7, 2.2545e-4, 0.02274, -26.036}},
      {2300, {1.699e-18, -1.1036e-14, 1.7108e-11, 8.17e-9, -2.819e-5, 0.05856, -4.889}},
      {3650, {-7.656e-20, 1.4848e-15, -9.9633e-12, 2.858e-8, -3.836e-5, 0.0575, -0.99}},
      {13200, {-2.4883e-22, 1.17935e-17, -2.1706e-13, 1.93685e-9, -8.9711e-6, 0.02948, -0.78}},
      {11100, {-1.2957e-21, 4.72583e-17, -6.9667e-13, 5.3351e-9, -2.225e-5, 0.05637, -44.443}},
  }};
  return kScales[static_cast<size_t>(kind)];
}

}  // namespace

float ScaleValue(RatingKind kind, float r) {
  const Scale& scale = ScaleOf(kind);
  if (r > scale.limit) return 100;
  double value = scale.c[0];
  for (size_t i = 1; i < scale.c.size(); ++i) value = value * r + scale.c[i];
  return Single(round2(std::max(0.0, std::min(100.0, value))));
}

namespace {

void VehicleIvr(RWOTAccountStats& block, double weight) {
  block.powerIVR = Single(weight);
  if (weight <= 0) return;
  const double battles = block.Battles;
  const double conf = 1 - (300 - std::min(block.Battles, 300)) * 0.1 / 50;
  block.IvrBattles = block.Battles;
  block.IvrBattlesAdj = Single(conf * battles);
  block.IvrWins = block.Wins;
  block.IvrFrags = Single(block.Frags);
  block.IvrHits = block.Hits;
  block.IvrShots = block.Shots;
  block.rateIVR = Single(conf * std::pow(block.WinsPercent / 100.0, 3) * weight *
                         std::pow(block.Frags / battles, 2) * block.HitsPercent / 100);
}

void AddIvr(const RWOTAccountStats& block, double weight, RWOTAccountStats& account_block) {
  AddTo(account_block.IvrBattles, block.IvrBattles);
  AddTo(account_block.IvrBattlesAdj, block.IvrBattlesAdj);
  AddTo(account_block.IvrWins, block.IvrWins);
  AddTo(account_block.IvrFrags, block.IvrFrags);
  AddTo(account_block.IvrHits, block.IvrHits);
  AddTo(account_block.IvrShots, block.IvrShots);
  AddTo(account_block.powerIVR, weight);
}

}  // namespace

void VehicleRatings(RWOTAccountStats& block, int tier, int32_t account_battles, double ivanerr_weight,
                    RWOTAccountStats* account_block) {
  if (block.Battles <= 0) return;
  block.rateEFF = Eff(block, tier);
  block.rateWN6 = Wn6(block, tier);
  block.rateWN8 = Wn8(block, block);
  block.rateBS = Bs(block, account_battles);
  VehicleIvr(block, ivanerr_weight);
  if (account_block) AddIvr(block, ivanerr_weight, *account_block);
}

namespace {

void SetExpectedSums(RWOTAccountStats& block, const ExpectedValues& expected) {
  const double battles = block.Battles;
  block.ExpDamageSum = Single(expected.damage * battles);
  block.ExpFragSum = Single(expected.frag * battles);
  block.ExpSpotSum = Single(expected.spot * battles);
  block.ExpDefSum = Single(expected.def * battles);
  block.ExpWinsSum = Single(expected.win_rate * battles / 100);
}

void AddExpectedSums(const RWOTAccountStats& block, RWOTAccountStats& account_block) {
  AddTo(account_block.ExpDamageSum, block.ExpDamageSum);
  AddTo(account_block.ExpFragSum, block.ExpFragSum);
  AddTo(account_block.ExpSpotSum, block.ExpSpotSum);
  AddTo(account_block.ExpDefSum, block.ExpDefSum);
  AddTo(account_block.ExpWinsSum, block.ExpWinsSum);
}

}  // namespace

void AddExpectedValues(RWOTAccountStats& block, const ExpectedValues& expected, RWOTAccountStats& account_block,
                       RWOTAccountStats& exp_totals) {
  SetExpectedSums(block, expected);
  if (block.ExpDamageSum > 0) {
    block.ExpDamageKoef = Single(block.DamageDealt / static_cast<double>(block.ExpDamageSum));
    AddTo(exp_totals.Frags, block.Frags);
    AddTo(exp_totals.Spotted, block.Spotted);
    AddTo(exp_totals.Capture, block.Capture);
    AddTo(exp_totals.Dropped, block.Dropped);
    AddTo(exp_totals.DamageDealt, block.DamageDealt);
    AddTo(exp_totals.Wins, block.Wins);
  } else {
    block.ExpDamageKoef = 0;
    AddTo(account_block.DamageWithoutExp, block.DamageDealt);
    AddTo(account_block.BattlesWithoutExp, block.Battles);
  }
  AddTo(exp_totals.Battles, block.Battles);
  AddExpectedSums(block, account_block);
}

void AddPeriodExpectedValues(RWOTAccountStats& block, const ExpectedValues& expected,
                             RWOTAccountStats& account_block) {
  SetExpectedSums(block, expected);
  if (block.ExpDamageSum > 0) {
    const double own_damage = static_cast<double>(block.DamageDealt) - static_cast<double>(block.DamageWithoutExp);
    block.ExpDamageKoef = Single(own_damage / block.ExpDamageSum);
  } else {
    block.ExpDamageKoef = 0;
    AddTo(block.DamageWithoutExp, block.DamageDealt);
    AddTo(block.BattlesWithoutExp, block.Battles);
  }
  AddExpectedSums(block, account_block);
}

void AccountIvr(RWOTAccountStats& block) {
  if (block.IvrBattles > 0 && block.IvrShots > 0) {
    const double battles = block.IvrBattles;
    block.skillIVR = Single(std::pow(block.IvrWins / battles, 3) * std::pow(block.IvrFrags / battles, 2) *
                            (static_cast<double>(block.IvrHits) / block.IvrShots) * (block.IvrBattlesAdj / battles));
  }
  block.rateIVR = Single(static_cast<double>(block.powerIVR) * block.skillIVR);
}

void TierAndDamageFigures(RWOTAccountStats& block, const RWOTAccountStats& exp_totals,
                          const std::array<int32_t, kTierCount>& tier_battles, FigureSource source) {
  int64_t total = 0;
  for (int32_t battles : tier_battles) total += battles;
  if (total >= 1) {
    block.LevelAvg = 0;
    for (int tier = 1; tier <= kTierCount; ++tier) {
      AddTo(block.LevelAvg, static_cast<double>(tier) * tier_battles[tier - 1] / static_cast<double>(total));
    }
  } else if (source == FigureSource::Period) {
    block.LevelAvg = 1;
  }

  const int64_t own_damage = static_cast<int64_t>(block.DamageDealt) - block.DamageWithoutExp;
  if (block.ExpDamageSum > 0) {
    const double damage = source == FigureSource::Snapshot ? static_cast<double>(exp_totals.DamageDealt)
                                                           : static_cast<double>(own_damage);
    block.ExpDamageKoef = Single(damage / block.ExpDamageSum);
  } else {
    block.ExpDamageKoef = 0;
    if (source == FigureSource::Period) AddTo(block.DamageWithoutExp, block.DamageDealt);
  }

  if (block.ExpDamageKoef > 0) {
    block.DamageTop = Single(static_cast<double>(block.ExpDamageKoef) * 1850);
  } else if (block.Battles > 0) {
    const int64_t damage = std::max<int64_t>(0, static_cast<int64_t>(block.DamageDealt) - block.DamageWithoutExp);
    block.DamageTop =
        Single(static_cast<double>(damage) / block.Battles / std::max(1.0, static_cast<double>(block.LevelAvg)) * 10);
  } else {
    block.DamageTop = 0;
  }
}

void ClearRatings(RWOTAccountStats& block) {
  block.rateEFF = block.xEFF = block.rateWN6 = block.xWN6 = block.rateWN8 = block.xWN8 = 0;
  block.rateBS = block.xBS = block.rateWG = block.xWG = block.rateKORV = 0;
  block.IvrBattles = block.IvrWins = block.IvrHits = block.IvrShots = 0;
  block.IvrBattlesAdj = block.IvrFrags = block.skillIVR = block.powerIVR = block.rateIVR = 0;
  block.Clanable = 0;
}

void AccountRatings(RWOTAccountStats& block, const RWOTAccountStats& exp_totals, int32_t top_vehicle_count,
                    double global_rating) {
  AccountRatings(block, exp_totals, top_vehicle_count, global_rating, block.Battles);
}

void AccountRatings(RWOTAccountStats& block, const RWOTAccountStats& exp_totals, int32_t top_vehicle_count,
                    double global_rating, int32_t bs_battles) {
  if (block.Battles < 1) {
    ClearRatings(block);
    return;
  }
  const double tier = block.LevelAvg;
  block.rateEFF = Eff(block, tier);
  block.rateWN6 = Wn6(block, tier);
  block.rateWN8 = Wn8(block, exp_totals);
  block.rateBS = Bs(block, bs_battles);
  block.rateWG = Single(global_rating);
  block.xEFF = ScaleValue(RatingKind::Eff, block.rateEFF);
  block.xWN6 = ScaleValue(RatingKind::Wn6, block.rateWN6);
  block.xWN8 = ScaleValue(RatingKind::Wn8, block.rateWN8);
  block.xBS = ScaleValue(RatingKind::Bs, block.rateBS);
  block.xWG = ScaleValue(RatingKind::Wg, block.rateWG);
  block.rateKORV = Single((static_cast<double>(block.rateEFF) + block.rateWN6 + block.rateBS / 4.0) / 3);
  block.Clanable = ClanableScore(block, top_vehicle_count);
}

double ClanableTerm(int criterion, double value) {
  if (criterion < 1 || criterion > static_cast<int>(ClanableCriteria.size())) return 0;
  const ClanableCriterion& c = ClanableCriteria[criterion - 1];
  const double base = std::min(value, static_cast<double>(c.cap)) / c.norm;
  if (base == 0) return 0;
  const double term = std::pow(base, static_cast<double>(c.exponent));
  return std::isnan(term) ? 0 : term;
}

float ClanableScore(const RWOTAccountStats& block, int32_t top_vehicle_count) {
  if (block.Battles <= 0) return 0;
  const double sum = ClanableTerm(1, block.rateKORV) + ClanableTerm(2, block.WinsPercent) +
                     ClanableTerm(7, block.LevelAvg) + ClanableTerm(5, block.DamageTop) +
                     ClanableTerm(6, block.EfficiencyKoef) + ClanableTerm(8, top_vehicle_count) +
                     ClanableTerm(3, block.Battles) + ClanableTerm(4, static_cast<double>(block.Frags) / block.Battles);
  return Single(sum / 8);
}

}  // namespace tarvelo
