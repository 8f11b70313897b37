// Refreshing the vehicle encyclopedia and the WN8 expected values from the
// network: each document is fetched, checked against the one it would replace
// and only then written to the reference folder, where the next start finds it.
#pragma once

#include <string>
#include <string_view>

#include "acquire/addresses.h"
#include "acquire/net/http_fetch.h"
#include "acquire/store/disk.h"
#include "model/reference.h"
#include "text/russian.h"

namespace tarvelo {

// Vehicles a page of the encyclopedia asks for, and the most pages read.
inline constexpr int kVehiclesPerPage = 100;
inline constexpr int kMostVehiclePages = 50;

// The language the encyclopedia's names are asked in: the region's.
std::string_view EncyclopediaLanguage(std::string_view region);

// The encyclopedia's requests on the configured API host.
std::string EncyclopediaInfoUrl(const UrlSettings& urls);
std::string VehiclesPageUrl(const UrlSettings& urls, int page);

enum class RefreshOutcome { kCurrent, kRefreshed, kFailed };

struct DocumentRefresh {
  RefreshOutcome outcome = RefreshOutcome::kFailed;
  std::string version;  // of the document in the folder afterwards, or in use when none is
  std::string problem;  // why it failed
};

struct ReferenceRefreshResult {
  DocumentRefresh vehicles;
  DocumentRefresh expected;
  int requests = 0;  // requests made
  bool ok() const {
    return vehicles.outcome != RefreshOutcome::kFailed && expected.outcome != RefreshOutcome::kFailed;
  }
};

// One line per document: "Справочник машин: получена версия 1.35 от 30.11.2026.",
// "…: версия … — последняя." or "…: обновить не удалось — <why>."
std::string RefreshReport(const ReferenceRefreshResult& result);

// Where a refresh reads from and writes to.
struct ReferencePlace {
  UrlSettings urls;           // the API host, region and application id; hosts.ExpectedValues
  std::string folder;         // the reference folder (ReferenceFolder)
  ReferenceTexts embedded;    // what stands in for a document the folder lacks
};

// Asks /wot/encyclopedia/info/ whether the vehicles changed since the document in
// use and, when they did, reads every page of /wot/encyclopedia/vehicles/; reads
// the expected values table. A document replaces the one in use only when it
// reads as one (VehiclesProblem, ExpectedValuesProblem) and lists at least
// kLeastVehicleShare of its entries; anything else leaves the folder as it was.
// When both end current or refreshed, the refresh is remembered with `now`.
ReferenceRefreshResult RefreshReference(HttpFetch& fetch, Disk& disk, const ReferencePlace& place, DateTime now);

}  // namespace tarvelo
