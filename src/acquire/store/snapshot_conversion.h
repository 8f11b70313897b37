// Bringing cached snapshots of older program versions into the current layout
// and vocabulary. Every conversion works on the text and, given the file it
// came from, rewrites that file when the text changed, keeping its
// modification date, so a converted file neither looks fresh nor moves in the
// day lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "acquire/store/disk.h"

namespace tarvelo {

// Where the vehicle ids of the oldest layout (which named vehicles) come from.
class VehicleEncyclopedia {
 public:
  virtual ~VehicleEncyclopedia() = default;
  // The id of the vehicle called `name`; nullopt when the encyclopedia does not
  // know the name at all, 0 when it knows it but gives no id.
  virtual std::optional<int64_t> FindVehicleId(std::string_view name) const = 0;
};

// The encyclopedia document searched as text: the name in double quotes, then
// the last "tank_id" before it (each vehicle object lists its id first).
class EncyclopediaText final : public VehicleEncyclopedia {
 public:
  explicit EncyclopediaText(std::string text) : text_(std::move(text)) {}
  std::optional<int64_t> FindVehicleId(std::string_view name) const override;

 private:
  std::string text_;
};

// The vehicle id for a name of the oldest layout; 0 when unknown. One vehicle
// missing from every encyclopedia is known by its fixed id.
int64_t VehicleIdByName(const VehicleEncyclopedia* encyclopedia, std::string_view name);

// What the rebuilding of the oldest layout needs from outside.
struct LegacySources {
  const VehicleEncyclopedia* encyclopedia = nullptr;  // none: only the fixed id is known
  std::string game_portal;  // the publisher's game portal for the region, e.g. "http://worldoftanks.ru"
};

// Any cached account snapshot brought to the current layout. The file at
// `path` is written at most once, and only when the text changed.
std::string ConvertSnapshot(std::string text, std::string_view account_id, const FileOnDisk& file,
                            const LegacySources& sources);

// Optimises the snapshot, gives the achievements their current names and adds
// the "max_series" object when it is missing.
std::string RenameAchievements(std::string text, std::string_view account_id, const FileOnDisk& file);

// The oldest layout (the one with "integrated_rating") rebuilt as a current
// document. A text that does not parse comes back unchanged.
std::string ConvertOldLayout(std::string text, std::string_view account_id, const FileOnDisk& file,
                             const LegacySources& sources);

// A cached clan index answer with the old name of the tag member replaced.
std::string ConvertClanIndex(std::string text, const FileOnDisk& file);

}  // namespace tarvelo
