// The game's enumerations: battle modes, nations, vehicle classes, tiers,
// mastery badges, achievement sections, clan roles and the fixed vehicle lists.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/records.h"

namespace tarvelo {

struct KeyLabel {
  std::string_view key;
  std::string_view label;
};

struct BattleMode {
  std::string_view key;
  std::string_view label;
  bool part = false;  // a part of the mode listed before it (random, clan and company battles of all)
};

// Row index = mode index; key = statistics object of the API.
inline constexpr std::array<BattleMode, kModeCount> BattleModes{{
    {"all", "все бои"},
    {"random", "случайные бои", true},
    {"clan", "клановые бои до ГК 2.0", true},
    {"company", "ротные бои", true},
    {"globalmap", "клановые бои"},
    {"globalmap_absolute", "X уровень", true},
    {"globalmap_champion", "VIII уровень", true},
    {"globalmap_middle", "VI уровень", true},
    {"stronghold", "бои за укрепрайон"},
    {"stronghold_skirmish", "вылазки", true},
    {"stronghold_defense", "оборона", true},
    {"team", "командные бои"},
    {"regular_team", "бои в Ладдере"},
    {"fallout", "\"Бой до последнего\""},
    {"historical", "исторические бои"},
}};

// Mode indexes the parser treats specially.
inline constexpr int kModeAll = 0;
inline constexpr int kModeRandom = 1;
inline constexpr int kModeClan = 2;
inline constexpr int kModeCompany = 3;
inline constexpr int kModeGlobalmap = 4;
inline constexpr int kModeGlobalmapAbsolute = 5;
inline constexpr int kModeGlobalmapChampion = 6;
inline constexpr int kModeGlobalmapMiddle = 7;
inline constexpr int kModeStronghold = 8;
inline constexpr int kModeStrongholdSkirmish = 9;
inline constexpr int kModeStrongholdDefense = 10;
inline constexpr int kModeFallout = 13;
inline constexpr int kModeHistorical = 14;

// Index 0 is the fallback for a key not in the table.
inline constexpr std::array<KeyLabel, kNationCount> Nations{{
    {"unknown", "-"},
    {"usa", "США"},
    {"france", "Франция"},
    {"ussr", "СССР"},
    {"china", "Китай"},
    {"uk", "Великобритания"},
    {"germany", "Германия"},
    {"japan", "Япония"},
    {"czech", "Чехословакия"},
    {"sweden", "Швеция"},
}};

// The digit the game appends to nation-specific achievement keys, by nation index.
inline constexpr std::array<std::string_view, kNationCount> NationIdDigits{"_", "2", "4", "0", "3",
                                                                         "5", "1", "6", "7", "8"};

inline constexpr std::array<KeyLabel, kClassCount> VehicleTypes{{
    {"unknown", "-"},
    {"lightTank", "ЛТ"},
    {"mediumTank", "СТ"},
    {"heavyTank", "ТТ"},
    {"AT-SPG", "ПТ"},
    {"SPG", "САУ"},
}};

// Tier numerals for tiers 1..10 (index 0 is tier 1).
inline constexpr std::array<std::string_view, kTierCount> TierNumerals{"I",  "II",  "III",  "IV", "V",
                                                                      "VI", "VII", "VIII", "IX", "X"};

// By MarkOfMastery 0..4.
inline constexpr std::array<std::string_view, kBadgeCount> MasteryBadges{"", "3 степень", "2 степень",
                                                                        "1 степень", "Мастер"};

// In display order.
inline constexpr std::array<KeyLabel, 7> AchievementSections{{
    {"battle", "Герои битвы"},
    {"epic", "Эпические медали"},
    {"class", "Этапные награды"},
    {"special", "Почётные звания"},
    {"memorial", "Памятные знаки"},
    {"group", "Групповые награды"},
    {"action", "Особые"},
}};

// In rank order.
inline constexpr std::array<KeyLabel, 11> ClanRoles{{
    {"commander", "Командующий"},
    {"executive_officer", "Замком"},
    {"personnel_officer", "Офицер штаба"},
    {"combat_officer", "Командир подразделения"},
    {"intelligence_officer", "Офицер разведки"},
    {"quartermaster", "Офицер снабжения"},
    {"recruitment_officer", "Офицер по кадрам"},
    {"junior_officer", "Младший офицер"},
    {"private", "Боец"},
    {"recruit", "Новобранец"},
    {"reservist", "Резервист"},
}};

// Role names (API keys and Russian words, current and former), lowest rank first.
inline constexpr std::array<std::string_view, 6> ClanRoleGroups{
    "_recruit,_reservist,_новобранец,_резервист",
    "_private,_рядовой,_боец",
    "recruitment_officer,junior_officer,recruiter,младший офицер,офицер по кадрам",
    "combat_officer,intelligence_officer,quartermaster,diplomat,treasurer,боевой офицер,офицер разведки,"
    "офицер снабжения,полевой,дипломат,командир подразделения",
    "executive_officer,personnel_officer,vice_leader,старший офицер,офицер штаба,штабной офицер,замком,"
    "заместитель командующего",
    "commander,командующий",
};

// A class label followed by 14 vehicle ids; "0" is an empty slot.
struct ClassVehicleRow {
  std::string_view label;
  std::array<std::string_view, 14> ids;
};
inline constexpr std::array<ClassVehicleRow, 4> ClassVehicleIds{{
    {"ТТ",
     {"10785", "14881", "6929", "9489", "58641", "7169", "58369", "6145", "6209", "5425", "6225", "3937", "0",
      "0"}},
    {"СТ",
     {"14113", "15905", "12305", "14609", "13825", "16897", "17153", "3649", "15425", "4145", "7249", "3681",
      "15617", "61697"}},
    {"ПТ", {"13857", "13089", "12049", "16913", "13569", "14337", "13889", "9297", "13905", "0", "0", "0", "0", "0"}},
    {"САУ", {"8481", "9233", "8705", "11841", "12369", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
}};

inline constexpr std::array<std::string_view, 49> ListedVehicleNames{
    "110",        "112",        "59-16",      "AMX 12t",   "AMX 13 75",  "AMX 13 90",
    "AMX 50 100", "Charioteer", "Cromwel",    "E-25",      "FCM 50t",    "FV304",
    "Hellcat",    "IS-2",       "Jagdpanther", "Jagdpanther II", "Lorraine 155 mle. 51", "M40/M43",
    "M41 Walker Bulldog", "M44", "M26 Pershing", "Rhm.-Borsig Waffentrager", "Ru 251", "T29",
    "T32",        "T34",        "T-37",       "T49",       "T69",        "T71",
    "Tiger I",    "Tiger II",   "Type 59",    "VK 28.01",  "WZ-132",     "ИС",
    "ИС-3",       "ИС-6",       "ИСУ-152",    "КВ-2",      "КВ-4",       "КВ-5",
    "КВ-85",      "ЛТТБ",       "Об.416",     "СУ-122-44", "СУ-152",     "Т-44",
    "Т-54 облегчённый",
};

// Clan-suitability criteria, numbered 1..8 (index 0 is criterion 1).
struct ClanableCriterion {
  std::string_view label;
  float norm;
  float cap;
  float exponent;
};
inline constexpr std::array<ClanableCriterion, 8> ClanableCriteria{{
    {"По усреднённому рейтингу ", 1175.0f, 2400.0f, 1.0f},
    {"По проценту побед        ", 52.0f, 60.0f, 3.0f},
    {"По количеству боёв       ", 10000.0f, 20000.0f, 0.3333333f},
    {"По количеству фрагов     ", 1.0f, 2.0f, 1.0f},
    {"По номинальному топ-урону", 1850.0f, 3200.0f, 1.0f},
    {"По эффективности         ", 1.3f, 2.0f, 0.5f},
    {"По уровню боёв           ", 6.0f, 10.0f, 1.0f},
    {"По количеству топов      ", 3.0f, 12.0f, 0.2f},
}};

// Exact, case-sensitive lookups; 0 when the key is not in the table.
int NationIndex(std::string_view key);
int VehicleTypeIndex(std::string_view key);
// The mode index of a BattleModes key, -1 when there is none.
int ModeIndexOfKey(std::string_view key);
// The Russian label of a clan role key; any other text is returned unchanged.
std::string_view ClanRoleLabel(std::string_view key);
bool IsListedVehicleName(std::string_view name);

}  // namespace tarvelo
