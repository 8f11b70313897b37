// The publisher's encyclopedia answers and the published table of WN8 expected
// values, turned into documents of the layouts the program carries: TanksInfo
// (vehicles keyed by id, members in the order tank_id, nation, tag, is_premium,
// type, tier, name, images, one vehicle a line, so that the old-layout conversion
// can search its text) and TanksExpValues. Plain text work, no network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/json.h"

namespace tarvelo {

// What /wot/encyclopedia/info/ tells of the vehicles' last change.
struct EncyclopediaStamp {
  std::string game_version;
  int64_t tanks_updated_at = 0;  // Unix seconds; 0: unknown
};

// The stamp of an "ok" answer of /wot/encyclopedia/info/ that has an update time.
std::optional<EncyclopediaStamp> ParseEncyclopediaStamp(std::string_view answer);
// The stamp a TanksInfo document records in its "meta"; a zero time when none.
EncyclopediaStamp StampOf(const json::Value& tanks_info);

// One "ok" answer of /wot/encyclopedia/vehicles/: its vehicles ("data") and how many
// pages there are ("meta.page_total"; 1 for an answer that is not paged).
struct VehiclesPage {
  json::Value vehicles;
  int64_t page_total = 1;
};
std::optional<VehiclesPage> ParseVehiclesPage(std::string_view answer);

// Why an answer is not usable, for the user: the API's error message when it
// sent one.
std::string AnswerProblem(std::string_view answer);

// The TanksInfo text of the vehicles of `pages`, ids in ascending order, "name"
// the vehicle's short name (its name when it has none) and "images" its contour
// picture, with `stamp` in the "meta". Vehicles of `kept` (the document it
// replaces) that no page lists stay as they were there: the publisher leaves
// vehicles out once they leave the game, while players keep their statistics.
std::string TanksInfoDocument(const std::vector<json::Value>& pages, const EncyclopediaStamp& stamp,
                              const json::Value& kept);

// The TanksExpValues text of a table in its published form
// ({"header":{"version":…},"data":[{"IDNum":…,"expFrag":…,…},…]}), ids in
// ascending order, the header naming `source` and the version. `substitutes`
// ({"removed id":"successor id",…}, kept in the header) gives a vehicle the table
// no longer lists the values of the one that took its place. Nothing when the
// text is not such a table.
std::optional<std::string> ExpectedValuesDocument(std::string_view published, std::string_view source,
                                                  const json::Value& substitutes);

}  // namespace tarvelo
