// The colour scales of the reports as data, and what is done with them: the
// colour class of a value, the coloured part of a format, the next-step
// tooltip and the class of a clan role.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/records.h"

namespace tarvelo {

// Six ascending thresholds: a value gets class "c" + k for the largest k with
// value >= t[k - 1], and no class below t[0]. Compared in single precision.
struct ColourScale {
  std::array<float, 6> t;
};

namespace scales {

// The player report.
inline constexpr ColourScale kWinRate{{0, 46.5f, 48.5f, 52.5f, 57.5f, 64.5f}};
inline constexpr ColourScale kEff{{0, 610, 875, 1175, 1540, 1880}};
inline constexpr ColourScale kWn6{{0, 470, 860, 1225, 1635, 1990}};
inline constexpr ColourScale kWn8{{0, 400, 900, 1470, 2180, 2880}};
inline constexpr ColourScale kBs{{0, 720, 1920, 3905, 6700, 9600}};
inline constexpr ColourScale kWg{{0, 2555, 4435, 6515, 8730, 10175}};
inline constexpr ColourScale kIvr{{0, 1, 2, 3, 4, 5}};
inline constexpr ColourScale kIvrPower{{0, 3, 6, 9, 12, 15}};
inline constexpr ColourScale kIvrSkill{{0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f}};
inline constexpr ColourScale kTier{{0, 6, 6.5f, 7, 7.5f, 8}};
inline constexpr ColourScale kClanable{{0, 0.6f, 0.8f, 1.0f, 1.2f, 1.4f}};
inline constexpr ColourScale kFrags{{0, 0.9f, 1.0f, 1.1f, 1.2f, 1.3f}};
inline constexpr ColourScale kSpotted{{0, 0.9f, 1.0f, 1.15f, 1.3f, 1.5f}};
inline constexpr ColourScale kDefence{{0, 0.8f, 0.9f, 1.0f, 1.1f, 1.2f}};
inline constexpr ColourScale kCapture{{0, 0.9f, 1.05f, 1.2f, 1.4f, 1.7f}};
inline constexpr ColourScale kFragsPerDeath{{0, 0.7f, 1.0f, 1.3f, 1.6f, 1.9f}};
inline constexpr ColourScale kDealtToReceived{{0, 0.8f, 1.0f, 1.2f, 1.4f, 1.6f}};
inline constexpr ColourScale kDamageRatio{{0, 0.6f, 0.8f, 1.0f, 1.2f, 1.4f}};
inline constexpr ColourScale kTanking{{0, 0.15f, 0.2f, 0.25f, 0.3f, 0.35f}};
inline constexpr ColourScale kDamage{{0, 800, 1000, 1200, 1350, 1500}};
inline constexpr ColourScale kTopDamage{{0, 1110, 1480, 1850, 2220, 2590}};
inline constexpr ColourScale kAssist{{0, 400, 500, 600, 700, 800}};
inline constexpr ColourScale kBattleReserve{{0, 150, 300, 450, 600, 750}};
inline constexpr ColourScale kWinPoints{{0, 40, 80, 120, 160, 180}};
inline constexpr ColourScale kShots{{0, 2, 4, 6, 8, 10}};
inline constexpr ColourScale kHit{{0, 47.5f, 60.5f, 68.5f, 74.5f, 78.5f}};
inline constexpr ColourScale kExperience{{0, 400, 460, 550, 640, 730}};
inline constexpr ColourScale kSurvival{{0, 23, 27, 31, 36, 42}};
inline constexpr ColourScale kVehicleCount{{0, 50, 65, 90, 110, 140}};
inline constexpr ColourScale kMasteryShare{{0, 41, 49, 57, 65, 73}};
inline constexpr ColourScale kPremiumCount{{0, 3, 6, 8, 10, 12}};
inline constexpr ColourScale kTopPremium{{0, 1, 2, 3, 4, 5}};
inline constexpr ColourScale kHeroes{{0, 0.03f, 0.06f, 0.09f, 0.11f, 0.13f}};
inline constexpr ColourScale kDays{{0, 14, 31, 62, 182, 364}};
// A vehicle's own figures.
inline constexpr ColourScale kVehicleIvr{{0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f}};
inline constexpr ColourScale kMaxFrags{{0, 2, 4, 6, 8, 10}};

// Battles, by battle mode (indexed like BattleModes).
inline constexpr std::array<ColourScale, kModeCount> kBattlesByMode{{
    {{0, 2000, 6000, 16000, 30000, 43000}},  // all
    {{0, 2000, 5000, 14000, 27000, 39000}},  // random
    {{0, 50, 135, 260, 415, 600}},           // clan
    {{0, 80, 200, 375, 575, 800}},           // company
    {{0, 50, 135, 260, 415, 600}},           // globalmap
    {{0, 20, 60, 120, 200, 300}},            // globalmap_absolute
    {{0, 20, 50, 90, 140, 200}},             // globalmap_champion
    {{0, 10, 25, 50, 75, 100}},              // globalmap_middle
    {{0, 50, 125, 225, 350, 500}},           // stronghold
    {{0, 30, 60, 100, 200, 300}},            // stronghold_skirmish
    {{0, 20, 50, 90, 140, 200}},             // stronghold_defense
    {{0, 50, 125, 225, 350, 500}},           // team
    {{0, 20, 50, 90, 140, 200}},             // regular_team
    {{0, 20, 60, 120, 200, 300}},            // fallout
    {{0, 10, 20, 30, 50, 80}},               // historical
}};
// Battles per day: all battles, and any single mode.
inline constexpr ColourScale kBattlesPerDayAll{{0, 5, 10, 15, 20, 25}};
inline constexpr ColourScale kBattlesPerDayMode{{0, 1, 2, 3, 4, 5}};

// The clan reports.
inline constexpr ColourScale kMaxExperience{{0, 1400, 1800, 2200, 2600, 3000}};
inline constexpr ColourScale kFamePositionReserve{{0, 1500, 3000, 4500, 6000, 6600}};  // on 15000 - position
inline constexpr ColourScale kAccountAge{{0, 90, 180, 364, 546, 728}};
inline constexpr ColourScale kWgChange{{-100000, 0, 0, 0, 100000, 100001}};
inline constexpr ColourScale kIdleReserve{{0, 9968, 9978, 9985, 9992, 9997}};  // on 9999 - days since the last battle
inline constexpr const ColourScale& kTopVehicles = kPremiumCount;
// The top-tanks table: battles on all the listed tier-10 vehicles together.
inline constexpr ColourScale kListedVehicleBattles{{0, 470, 860, 1225, 1635, 1990}};

}  // namespace scales

const ColourScale& BattlesByModeScale(int mode);
const ColourScale& BattlesPerDayScale(int mode);
// The scale of the main rating: WN8 when `rating_name` is "WN8", else EFF.
const ColourScale& MainRatingScale(std::string_view rating_name);

// "c1".."c6", or empty below the first threshold.
std::string ColourClass(const ColourScale& scale, double value);

// The format with "[" and "]" turned into a span of `css_class`; with an empty
// class the brackets are dropped.
std::string BracketColour(std::string_view format, std::string_view css_class);

// Format(BracketColour(format, ColourClass(scale, colour_value)), {value}).
std::string ColouredValue(std::string_view format, double value, const ColourScale& scale, double colour_value);
// The same appended to `out`.
void AppendColouredValue(std::string& out, std::string_view format, double value, const ColourScale& scale,
                         double colour_value);

// How much is missing to the next colour step, "%.2f до %.0f" (or with two
// decimals for the target when the second threshold is below 10); empty above
// the last threshold.
std::string NextStepTooltip(const ColourScale& scale, double value);

// "c" + the first role group (1..6) that lists the role, ignoring case; empty
// when none does.
std::string RoleClass(std::string_view role);

}  // namespace tarvelo
