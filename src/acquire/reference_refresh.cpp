#include "acquire/reference_refresh.h"

#include <optional>
#include <vector>

#include "acquire/reference_documents.h"
#include "acquire/store/reference_files.h"
#include "model/reference_check.h"
#include "text/debug_log.h"

namespace tarvelo {

namespace {

constexpr std::string_view kInfoPath =
    "/wot/encyclopedia/info/?application_id=%SOURCE_TOKEN%&fields=tanks_updated_at,game_version&language=";
constexpr std::string_view kVehiclesPath =
    "/wot/encyclopedia/vehicles/?application_id=%SOURCE_TOKEN%"
    "&fields=tank_id,name,short_name,nation,type,tier,is_premium,tag,images&language=";

// The fetches of one refresh, counted.
class Requests {
 public:
  explicit Requests(HttpFetch& fetch) : fetch_(fetch) {}
  std::optional<std::string> Body(const std::string& url) {
    ++count_;
    return fetch_.GetUrlBody(url);
  }
  int count() const { return count_; }

 private:
  HttpFetch& fetch_;
  int count_ = 0;
};

std::string NoAnswer(std::string_view url) { return "нет полного ответа от сервера " + HostOf(url); }

DocumentRefresh Failed(std::string problem) { return {RefreshOutcome::kFailed, {}, std::move(problem)}; }

// The document a new one would replace: the sound stored one, else the embedded one.
json::Value ReplacedDocument(const std::optional<std::string>& stored, std::string_view embedded) {
  return json::parse(stored ? std::string_view(*stored) : embedded);
}

// Checks `text` against `replaced` and writes it; the outcome says which.
DocumentRefresh Replace(Disk& disk, const ReferencePlace& place, std::string_view name, const std::string& text,
                        std::optional<std::string> (*problem_of)(const json::Value&), size_t new_entries,
                        const json::Value& replaced, std::string version) {
  const json::Value document = json::parse(text);
  std::optional<std::string> problem = problem_of(document);
  if (!problem) problem = TooFewEntries(new_entries, EntryCount(replaced));
  if (problem) return Failed(*problem);
  if (!StoreReferenceDocument(disk, place.folder, name, text)) {
    return Failed("не удалось записать файл " + ReferenceFile(place.folder, name));
  }
  return {RefreshOutcome::kRefreshed, std::move(version), {}};
}

// Every page of the encyclopedia's vehicles; nothing, with `problem` set, when one is missing.
std::optional<std::vector<json::Value>> VehiclePages(Requests& requests, const UrlSettings& urls,
                                                     std::string& problem) {
  std::vector<json::Value> pages;
  int64_t page_total = 1;
  for (int page = 1; page <= page_total; ++page) {
    const std::string url = VehiclesPageUrl(urls, page);
    const std::optional<std::string> body = requests.Body(url);
    if (!body) {
      problem = NoAnswer(url);
      return std::nullopt;
    }
    const std::optional<VehiclesPage> answer = ParseVehiclesPage(*body);
    if (!answer) {
      problem = "страница " + std::to_string(page) + ": " + AnswerProblem(*body);
      return std::nullopt;
    }
    if (page == 1) page_total = answer->page_total;
    if (page_total > kMostVehiclePages) {
      problem = "в справочнике " + std::to_string(page_total) + " страниц";
      return std::nullopt;
    }
    pages.push_back(answer->vehicles);
  }
  return pages;
}

DocumentRefresh RefreshVehicles(Requests& requests, Disk& disk, const ReferencePlace& place) {
  const json::Value replaced = ReplacedDocument(StoredVehicles(disk, place.folder), place.embedded.tanks_info);
  const std::string info_url = EncyclopediaInfoUrl(place.urls);
  const std::optional<std::string> info = requests.Body(info_url);
  if (!info) return Failed(NoAnswer(info_url));
  const std::optional<EncyclopediaStamp> stamp = ParseEncyclopediaStamp(*info);
  if (!stamp) return Failed(AnswerProblem(*info));
  if (stamp->tanks_updated_at <= StampOf(replaced).tanks_updated_at) {
    return {RefreshOutcome::kCurrent, VehiclesVersionOf(replaced), {}};
  }
  std::string problem;
  const std::optional<std::vector<json::Value>> pages = VehiclePages(requests, place.urls, problem);
  if (!pages) return Failed(problem);
  size_t listed = 0;
  for (const json::Value& page : *pages) listed += json::member_count(page);
  const std::string text = TanksInfoDocument(*pages, *stamp, replaced);
  return Replace(disk, place, kVehiclesFileName, text, VehiclesProblem, listed, replaced,
                 VehiclesVersionOf(json::parse(text)));
}

DocumentRefresh RefreshExpected(Requests& requests, Disk& disk, const ReferencePlace& place) {
  const json::Value replaced =
      ReplacedDocument(StoredExpectedValues(disk, place.folder), place.embedded.exp_values);
  const std::string url = FillRegion(place.urls.hosts.ExpectedValues, place.urls.region);
  const std::optional<std::string> body = requests.Body(url);
  if (!body) return Failed(NoAnswer(url));
  const std::optional<std::string> text =
      ExpectedValuesDocument(*body, url, json::at(replaced, "header.substitutes"));
  if (!text) return Failed("таблица не читается как опубликованная таблица ожидаемых значений");
  const json::Value document = json::parse(*text);
  const std::string version = ExpectedVersionOf(document);
  if (version == ExpectedVersionOf(replaced)) return {RefreshOutcome::kCurrent, version, {}};
  return Replace(disk, place, kExpectedValuesFileName, *text, ExpectedValuesProblem, EntryCount(document), replaced,
                 version);
}

std::string DocumentLine(std::string_view title, const DocumentRefresh& refresh) {
  switch (refresh.outcome) {
    case RefreshOutcome::kRefreshed:
      return std::string(title) + ": получена версия " + refresh.version + ".";
    case RefreshOutcome::kCurrent:
      return std::string(title) + ": версия " + refresh.version + " — последняя.";
    case RefreshOutcome::kFailed:
      break;
  }
  return std::string(title) + ": обновить не удалось — " + refresh.problem + ".";
}

}  // namespace

std::string_view EncyclopediaLanguage(std::string_view region) { return region == "ru" ? "ru" : "en"; }

std::string EncyclopediaInfoUrl(const UrlSettings& urls) {
  return FillUrlTemplate(urls.hosts.Api + std::string(kInfoPath) + std::string(EncyclopediaLanguage(urls.region)), {},
                         {}, urls);
}

std::string VehiclesPageUrl(const UrlSettings& urls, int page) {
  return FillUrlTemplate(urls.hosts.Api + std::string(kVehiclesPath) + std::string(EncyclopediaLanguage(urls.region)) +
                             "&limit=" + std::to_string(kVehiclesPerPage) + "&page_no=" + std::to_string(page),
                         {}, {}, urls);
}

std::string RefreshReport(const ReferenceRefreshResult& result) {
  return DocumentLine("Справочник машин", result.vehicles) + "\n" +
         DocumentLine("Ожидаемые значения WN8", result.expected) + "\n";
}

ReferenceRefreshResult RefreshReference(HttpFetch& fetch, Disk& disk, const ReferencePlace& place, DateTime now) {
  Requests requests(fetch);
  ReferenceRefreshResult result;
  result.vehicles = RefreshVehicles(requests, disk, place);
  result.expected = RefreshExpected(requests, disk, place);
  result.requests = requests.count();
  if (result.ok() && !RememberReferenceRefresh(disk, place.folder, now)) {
    DebugLog("Не удалось записать время обновления справочников в " + place.folder);
  }
  DebugLog(RefreshReport(result));
  return result;
}

}  // namespace tarvelo
