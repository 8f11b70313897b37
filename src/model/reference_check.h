// Whether a vehicle encyclopedia or a table of WN8 expected values, in the
// layouts of the documents the program carries (TanksInfo, TanksExpValues), can
// stand in for the one in use: what is wrong with it, in words for the user, or
// nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "json/json.h"

namespace tarvelo {

// The share of the vehicles of the document in use that one replacing it must
// list at least.
inline constexpr double kLeastVehicleShare = 0.9;

// Every entry of "data" is an object keyed by its own "tank_id", with a tag and a
// name, a nation, a class of the class table, a tier 1..10, a premium flag and a
// picture address; at least one entry.
std::optional<std::string> VehiclesProblem(const json::Value& document);

// "header.version" is there; every entry of "data" has the five expected values,
// each a number above 0 and below its bound (frags and spots 10 a battle, defence
// 10, damage 20 000, win rate 100 %); at least one entry.
std::optional<std::string> ExpectedValuesProblem(const json::Value& document);

// The members of "data".
size_t EntryCount(const json::Value& document);

// A document of `count` entries that would replace one of `replaced_count`:
// fewer than kLeastVehicleShare of them is a problem.
std::optional<std::string> TooFewEntries(size_t count, size_t replaced_count);

}  // namespace tarvelo
