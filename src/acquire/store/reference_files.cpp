#include "acquire/store/reference_files.h"

#include "model/reference_check.h"
#include "text/clock.h"
#include "text/debug_log.h"

namespace tarvelo {

namespace {

using Check = std::optional<std::string> (*)(const json::Value&);

std::optional<std::string> SoundStoredText(const Disk& disk, std::string_view folder, std::string_view name,
                                           Check problem_of) {
  const std::string path = ReferenceFile(folder, name);
  if (!disk.Facts(path)) {
    DebugLog("Справочника " + path + " нет, используется встроенный.");
    return std::nullopt;
  }
  std::optional<std::string> text = disk.Read(path);
  if (!text) {
    DebugLog("Справочник " + path + " не читается, используется встроенный.");
    return std::nullopt;
  }
  if (const std::optional<std::string> problem = problem_of(json::parse(*text))) {
    DebugLog("Справочник " + path + " повреждён (" + *problem + "), используется встроенный.");
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::string ReferenceFolder(std::string_view data_folder) {
  return std::string(data_folder) + std::string(kReferenceFolderName);
}

std::string ReferenceFile(std::string_view folder, std::string_view name) {
  return std::string(folder) + "/" + std::string(name);
}

std::optional<std::string> StoredVehicles(const Disk& disk, std::string_view folder) {
  return SoundStoredText(disk, folder, kVehiclesFileName, VehiclesProblem);
}

std::optional<std::string> StoredExpectedValues(const Disk& disk, std::string_view folder) {
  return SoundStoredText(disk, folder, kExpectedValuesFileName, ExpectedValuesProblem);
}

ReferenceData LoadReferenceInUse(const Disk& disk, std::string_view folder, const ReferenceTexts& embedded) {
  const std::optional<std::string> vehicles = StoredVehicles(disk, folder);
  const std::optional<std::string> expected = StoredExpectedValues(disk, folder);
  ReferenceTexts texts = embedded;
  if (vehicles) texts.tanks_info = *vehicles;
  if (expected) texts.exp_values = *expected;
  return ReferenceData::FromTexts(texts);
}

bool StoreReferenceDocument(Disk& disk, std::string_view folder, std::string_view name, std::string_view text) {
  return disk.MakeFolders(std::string(folder)) && disk.Write(ReferenceFile(folder, name), text);
}

std::optional<DateTime> LastReferenceRefresh(const Disk& disk, std::string_view folder) {
  const std::optional<std::string> text = disk.Read(ReferenceFile(folder, kRefreshedFileName));
  return text ? ParseIsoDateTime(*text) : std::nullopt;
}

bool RememberReferenceRefresh(Disk& disk, std::string_view folder, DateTime now) {
  return StoreReferenceDocument(disk, folder, kRefreshedFileName, FormatDateTime("yyyy-mm-ddThh:nn:ss", now));
}

bool ReferenceRefreshDue(DateTime now, std::optional<DateTime> last) {
  return !last || now < *last || now - *last >= kReferenceRefreshDays;
}

}  // namespace tarvelo
