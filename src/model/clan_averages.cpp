#include "model/clan_averages.h"

namespace tarvelo {

namespace {

using S = RWOTAccountStats;
constexpr std::array kIntegers{&S::Battles,    &S::Wins,      &S::Losses,       &S::Draws,
                               &S::SurvivedBattles, &S::Xp,   &S::MaxFrags,     &S::MaxXp,
                               &S::MaxDamage,  &S::Frags,     &S::Spotted,      &S::Capture,
                               &S::Dropped,    &S::Shots,     &S::Hits,         &S::IvrBattles,
                               &S::IvrWins,    &S::IvrHits,   &S::IvrShots,     &S::BattlesWithoutExp,
                               &S::MaxWinPoints};
constexpr std::array kUnsigned{&S::DamageDealt, &S::AvatarDamageDealt, &S::DamageReceived, &S::DamageWithoutExp,
                               &S::WinPoints};
constexpr std::array kReals{
    &S::XpAvg,        &S::HitsPercent,  &S::WinsPercent,   &S::WinsRatioChange, &S::DamageAvg,
    &S::AvatarDamageAvg, &S::DamageTop, &S::DamageAssist,  &S::LevelAvg,        &S::FragsKoef,
    &S::TankingKoef,  &S::DamageKoef,   &S::ExpDamageKoef, &S::EfficiencyKoef,  &S::rateEFF,
    &S::xEFF,         &S::rateWN6,      &S::xWN6,          &S::rateWN8,         &S::xWN8,
    &S::rateBS,       &S::xBS,          &S::rateWG,        &S::xWG,             &S::rateKORV,
    &S::IvrBattlesAdj, &S::IvrFrags,    &S::skillIVR,      &S::powerIVR,        &S::rateIVR,
    &S::Clanable,     &S::ExpDamageSum, &S::ExpFragSum,    &S::ExpSpotSum,      &S::ExpDefSum,
    &S::ExpWinsSum,   &S::WinPointsAvg};
static_assert(kIntegers.size() + kUnsigned.size() + kReals.size() == 63, "StatsSums holds one sum per figure");

}  // namespace

void StatsSums::Add(const RWOTAccountStats& s) {
  size_t i = 0;
  for (auto field : kIntegers) sums_[i++] += s.*field;
  for (auto field : kUnsigned) sums_[i++] += s.*field;
  for (auto field : kReals) sums_[i++] += s.*field;
}

RWOTAccountStats StatsSums::Average(int count) const {
  RWOTAccountStats s;
  size_t i = 0;
  for (auto field : kIntegers) s.*field = static_cast<int32_t>(std::lround(sums_[i++] / count));
  for (auto field : kUnsigned) s.*field = static_cast<uint32_t>(std::llround(sums_[i++] / count));
  for (auto field : kReals) s.*field = static_cast<float>(sums_[i++] / count);
  return s;
}

void ClanAverages::Add(const MemberFigures& member) {
  ++count_;
  seniority_.Add(static_cast<double>(member.seniority_days));
  if (member.known_created) age_.Add(static_cast<double>(member.age_days));
  period_.Add(static_cast<double>(member.period_days));
  points_.Add(member.fame_points);
  position_.Add(member.fame_position);
  for (int m = 0; m < kModeCount; ++m) stats_[m].Add(member.stats[m]);
  heroes_.Add(member.heroes);
  vehicles_.Add(member.vehicles);
  tops_.Add(member.top_vehicles);
  premiums_.Add(member.top_premiums);
  masters_.Add(member.masters);
  if (member.fought) idle_.Add(static_cast<double>(member.idle_days));
}

MemberFigures ClanAverages::Averages() const {
  MemberFigures mean;
  mean.seniority_days = seniority_.Whole();
  mean.known_created = true;
  mean.age_days = age_.Whole();
  mean.period_days = period_.Whole();
  mean.fame_points = static_cast<int32_t>(points_.Whole());
  mean.fame_position = static_cast<int32_t>(position_.Whole());
  for (int m = 0; m < kModeCount; ++m) mean.stats[m] = stats_[m].Average(count_);
  mean.heroes = static_cast<double>(heroes_.Whole());
  mean.vehicles = static_cast<double>(vehicles_.Whole());
  mean.top_vehicles = static_cast<double>(tops_.Whole());
  mean.top_premiums = static_cast<double>(premiums_.Whole());
  mean.masters = static_cast<double>(masters_.Whole());
  mean.fought = true;
  mean.idle_days = idle_.Whole();
  return mean;
}

}  // namespace tarvelo
