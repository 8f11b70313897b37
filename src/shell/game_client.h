// The player name the game client remembers, read from its preferences file.
#pragma once

#include <string>
#include <string_view>

#include "acquire/store/disk.h"

namespace tarvelo {

class FrontEnd;

// The preferences file below the application-data folder (which ends in "/").
std::string GameClientPreferencesFile(const std::string& app_data_folder);

// The names found at `path` ("a>b>c": element names from the root element's children
// down) in the XML file, one per line (CR LF between them). The node of the
// next-to-last name and each of its following siblings contribute the text of their
// child with the last name. A missing file gives "" silently; when the result is empty
// and `report_errors_to` is given, an error box says the file could not be read.
std::string ReadGameClientAccount(const Disk& disk, const std::string& file, std::string_view path,
                                  FrontEnd* report_errors_to);

}  // namespace tarvelo
