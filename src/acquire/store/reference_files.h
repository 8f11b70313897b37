// The reference documents refreshed from the network, kept in the folder
// "reference" of the data folder beside "cache" and "images": the vehicle
// encyclopedia (TanksInfo.json), the WN8 expected values (TanksExpValues.json)
// and the time of the last refresh that left both current ("refreshed").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "acquire/store/disk.h"
#include "model/reference.h"
#include "text/russian.h"

namespace tarvelo {

inline constexpr std::string_view kReferenceFolderName = "reference";
inline constexpr std::string_view kVehiclesFileName = "TanksInfo.json";
inline constexpr std::string_view kExpectedValuesFileName = "TanksExpValues.json";
inline constexpr std::string_view kRefreshedFileName = "refreshed";
// Days after a refresh before the start-up looks for newer documents again.
inline constexpr int kReferenceRefreshDays = 7;

// `data_folder` (ending in "/") + "reference".
std::string ReferenceFolder(std::string_view data_folder);
// A file of the reference folder.
std::string ReferenceFile(std::string_view folder, std::string_view name);

// The stored text of a document, when it reads as one that can stand in for
// the embedded one (VehiclesProblem, ExpectedValuesProblem); otherwise nothing,
// with a line in the debug log saying why.
std::optional<std::string> StoredVehicles(const Disk& disk, std::string_view folder);
std::optional<std::string> StoredExpectedValues(const Disk& disk, std::string_view folder);

// The reference data in use: the stored encyclopedia and expected values where
// they are sound, the embedded documents otherwise (and for the rest).
ReferenceData LoadReferenceInUse(const Disk& disk, std::string_view folder, const ReferenceTexts& embedded);

// Writes a document in the folder (made when missing); the file is replaced only
// once the new text is completely on disk. True when written.
bool StoreReferenceDocument(Disk& disk, std::string_view folder, std::string_view name, std::string_view text);

// When the last refresh left both documents current; nothing when none did.
std::optional<DateTime> LastReferenceRefresh(const Disk& disk, std::string_view folder);
bool RememberReferenceRefresh(Disk& disk, std::string_view folder, DateTime now);
// Whether the start-up should look for newer documents: no refresh yet, or the
// last one kReferenceRefreshDays or more before `now` (or after it: a clock set back).
bool ReferenceRefreshDue(DateTime now, std::optional<DateTime> last);

}  // namespace tarvelo
