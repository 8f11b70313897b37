// The records every layer passes around: an account, its statistics per battle
// mode, its vehicles, achievements and histories, a clan with its members.
// Plain value types: copying a record copies everything it owns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "text/russian.h"

namespace tarvelo {

inline constexpr int kModeCount = 15;
inline constexpr int kClassCount = 6;
inline constexpr int kTierCount = 10;
inline constexpr int kNationCount = 10;
inline constexpr int kBadgeCount = 5;

// The statistics of one battle mode, of an account or of one vehicle.
struct RWOTAccountStats {
  int32_t Battles = 0;
  int32_t Wins = 0;
  int32_t Losses = 0;
  int32_t Draws = 0;
  int32_t SurvivedBattles = 0;
  int32_t Xp = 0;
  float XpAvg = 0;
  int32_t MaxFrags = 0;
  std::string MaxFragsTankId;
  int32_t MaxXp = 0;
  std::string MaxXpTankId;
  int32_t MaxDamage = 0;
  std::string MaxDamageTankId;
  int32_t Frags = 0;
  int32_t Spotted = 0;
  int32_t Capture = 0;
  int32_t Dropped = 0;
  uint32_t DamageDealt = 0;
  uint32_t AvatarDamageDealt = 0;
  uint32_t DamageReceived = 0;
  int32_t Shots = 0;
  int32_t Hits = 0;
  float HitsPercent = 0;
  float WinsPercent = 0;
  float WinsRatioChange = 0;
  float DamageAvg = 0;
  float AvatarDamageAvg = 0;
  float DamageTop = 0;
  float DamageAssist = 0;
  float LevelAvg = 0;
  float FragsKoef = 0;
  float TankingKoef = 0;
  float DamageKoef = 0;
  float ExpDamageKoef = 0;
  float EfficiencyKoef = 0;
  float rateEFF = 0;
  float xEFF = 0;
  float rateWN6 = 0;
  float xWN6 = 0;
  float rateWN8 = 0;
  float xWN8 = 0;
  float rateBS = 0;
  float xBS = 0;
  float rateWG = 0;
  float xWG = 0;
  float rateKORV = 0;
  int32_t IvrBattles = 0;
  float IvrBattlesAdj = 0;
  int32_t IvrWins = 0;
  float IvrFrags = 0;
  int32_t IvrHits = 0;
  int32_t IvrShots = 0;
  float skillIVR = 0;
  float powerIVR = 0;
  float rateIVR = 0;
  float Clanable = 0;
  float ExpDamageSum = 0;
  float ExpFragSum = 0;
  float ExpSpotSum = 0;
  float ExpDefSum = 0;
  float ExpWinsSum = 0;
  uint32_t DamageWithoutExp = 0;
  int32_t BattlesWithoutExp = 0;
  uint32_t WinPoints = 0;
  float WinPointsAvg = 0;
  int32_t MaxWinPoints = 0;

  bool operator==(const RWOTAccountStats&) const = default;
};

// One block per battle mode, indexed like BattleModes.
using AWOTAccountStats = std::array<RWOTAccountStats, kModeCount>;

struct RVehicleStat {
  std::string TankId;
  int32_t MarkOfMastery = 0;  // index into MasteryBadges
  std::string Tag;
  std::string Name;
  uint8_t Nation = 0;       // index into Nations
  uint8_t VehicleType = 0;  // index into VehicleTypes
  uint8_t Tier = 0;         // 1..10
  bool IsPremium = false;
  std::string Images;
  int32_t MaxFrags = 0;
  int32_t MaxXp = 0;
  int32_t MaxDamage = 0;
  AWOTAccountStats Stats{};
};
using AVehicleStats = std::vector<RVehicleStat>;

struct RAchievements {
  std::string key;
  std::string name_i18n;
  int32_t count = 0;
  // "series": the longest series; "custom": the sum of the per-nation variants.
  int32_t extra_count = 0;
  std::string section;
  int32_t order = 0;
  std::string type;
  std::string condition;
  std::string description;
};
using AAchievements = std::vector<RAchievements>;

struct RNameHistory {
  std::string name;
  DateTime date = 0;
};
using ANameHistory = std::vector<RNameHistory>;

struct RClanRole {
  std::string clan_id;
  std::string clan_tag;  // without brackets
  std::string clan_name;
  std::string role;      // Russian label
  DateTime joined = 0;
  DateTime left = 0;     // NoEndDate() while still a member
};
using AClanRoles = std::vector<RClanRole>;

// Everything of an account record but its two long lists, so that a record can
// be copied without them.
struct RWOTAccountHead {
  std::string AccountId;
  std::string Nickname;
  ANameHistory NameHistory;
  DateTime Created = 0;
  DateTime PeriodStart = 0;
  DateTime Updated = 0;
  DateTime CacheDate = 0;  // 0 when the data came from the network
  DateTime Logout = 0;
  DateTime LastBattle = 0;
  std::string CountryCode;
  std::string Region;
  std::string City;
  std::string LocationText;
  std::string ReplayPage;
  int32_t ReplayCount = 0;
  int32_t ReplayVideoCount = 0;
  std::string ClanId;
  std::string ClanTag;
  std::string ClanName;
  std::string ClanColor;
  uint8_t ClanMembersCount = 0;
  DateTime ClanJoined = 0;
  std::string ClanRole;  // API role key
  DateTime ClanCreated = 0;
  AClanRoles ClanHistory;
  AWOTAccountStats Stats{};
  RWOTAccountStats ExpTotals;
  int32_t HeroesTotal = 0;
  std::array<int32_t, kClassCount> VehiclesByClass{};
  std::array<int32_t, kClassCount> BattlesByClass{};
  std::array<int32_t, kClassCount> WinsByClass{};
  std::array<int32_t, kTierCount> VehiclesByTier{};  // index 0 is tier 1
  std::array<int32_t, kTierCount> BattlesByTier{};
  std::array<int32_t, kTierCount> WinsByTier{};
  std::array<int32_t, kNationCount> VehiclesByNation{};
  std::array<int32_t, kNationCount> BattlesByNation{};
  std::array<int32_t, kNationCount> WinsByNation{};
  int32_t VehicleCount = 0;
  int32_t TopVehicleCount = 0;
  int32_t PremiumCount = 0;
  int32_t TopPremiumCount = 0;
  int32_t HighestTier = 0;
  int32_t MasteryCount = 0;
  std::array<int32_t, kBadgeCount> CountByBadge{};
  std::array<std::string, kBadgeCount> NamesByBadge{};
};

struct RWOTAccount : RWOTAccountHead {
  AVehicleStats Vehicles;
  AAchievements Achievements;
};

struct RAlliance {
  std::string id;
  std::string name;
  std::string color;
};

struct RWOTClan {
  std::string clan_id;
  std::string tag;
  std::string name;
  std::string color;
  DateTime created = 0;
  DateTime PeriodStart = 0;
  DateTime updated = 0;
  DateTime CacheDate = 0;
  std::string emblem_64;
  std::string emblem_32;
  std::string emblem_24;
  std::string motto;
  uint8_t members_count = 0;
  std::vector<RWOTAccount> members;
  RAlliance alliance;
};

struct RSettings {
  std::vector<std::string> strings;
  std::vector<bool> flags;
};

using AStringArr = std::vector<std::string>;
using ADateArr = std::vector<DateTime>;  // newest first

// One day cell of the day strip.
struct TSemaphoreDayStats {
  std::string label;
  int32_t battles = 0;
  float win_percent = 0;
  float rating = 0;
};

// 01.01.2222: the marker for no end date or an unknown date.
DateTime NoEndDate();

// A copy of `account` with empty vehicle and achievement lists.
RWOTAccount CopyWithoutLists(const RWOTAccount& account);

}  // namespace tarvelo
