// Where the pictures the pages show from disk are kept: plain names, no disk
// access, so that the pages can name them.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// The small emblem of a clan in the clan picture folder.
std::string ClanEmblemFile(std::string_view clan_images_folder, std::string_view clan_id);

// The picture of a vehicle in the vehicle picture folder, named after the part
// of its picture address after the last "/"; empty when that part is empty (a
// vehicle the encyclopedia does not know has no address).
std::string VehiclePictureFile(std::string_view vehicle_images_folder, std::string_view images_url);

}  // namespace tarvelo
