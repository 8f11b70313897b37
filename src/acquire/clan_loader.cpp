#include "acquire/clan_loader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "acquire/clan_info.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "model/clan.h"
#include "text/clock.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kClanSearchPath =
    "/wgn/clans/list/?application_id=%SOURCE_TOKEN%&search=%CLAN_TAG%&order_by=tag"
    "&fields=clan_id,tag,name,created_at,members_count";
constexpr std::string_view kAlliancePath = "/lt/clan/%CLAN_ID%";
constexpr std::string_view kPageNumberParameter = "&page_no=";

// The first search page carries this count; later pages carry kMetaCount.
constexpr std::string_view kFirstPageMeta = ",\"meta\":{\"count\":1,\"total\":1}";
// A full search page: only after one of these can the tag be on a later page.
constexpr size_t kSearchPageSize = 100;

constexpr std::string_view kIdMarker = "@";
constexpr std::string_view kSearchStatusFailure = "ОШИБКА: Ошибка поиска данных (\"";
constexpr std::string_view kErrorWord = "Ошибка";

// The message for an answer that cannot be used, empty when it can. A usable
// answer is left decoded in `document`.
std::string AnswerProblem(std::string_view answer, std::string_view status_failure, json::Value& document) {
  if (std::string problem = AnswerShapeProblem(answer, "status"); !problem.empty()) return problem;
  document = DecodeApiAnswer(answer);
  if (!StatusIsOk(document)) return std::string(status_failure) + StatusAndError(document) + "\").";
  return {};
}

// One page of the clan search.
struct SearchPage {
  std::string text;
  bool from_index = false;
};

// How the tag search ended.
struct TagSearch {
  json::Value entry;        // the clan's entry; empty when the tag was not found
  SearchPage page;          // the page the tag was found on, else the last page examined
  bool page_failed = false; // that page did not pass the answer checks
};

// One run of LoadClan.
class ClanLoad {
 public:
  ClanLoad(const ClanLoadRequest& request, const LoaderContext& context, ClanLoadResult& result)
      : request_(request), context_(context), messages_(result.messages), notice_(result.notice), clan_(result.clan) {
    by_id_ = request.search_text.starts_with(kIdMarker);
    if (by_id_) {
      clan_.clan_id = request.search_text.substr(kIdMarker.size());
    } else {
      tag_ = request.search_text;
    }
  }

  bool Run(ClanFamePoints& fame) {
    // An id that is not decimal would name no folder of the cache, or the wrong one.
    if (by_id_ && !IsDecimalId(clan_.clan_id)) {
      Message(NoClanWithIdMessage());
      return false;
    }
    SearchPage first = FirstSearchPage();
    if (!by_id_ && !FindByTag(std::move(first))) return false;
    if (!LoadInfo()) return false;
    SetPeriodStart();
    LoadAlliance();
    fame = LoadClanFamePoints(context_, clan_.clan_id);
    return true;
  }

 private:
  void Message(std::string_view text) { AddClanMessage(messages_, text); }

  std::string Fetch(const std::string& url) { return context_.fetch->GetUrlText(url); }

  // The API's answer, or its connection failure without asking once the API
  // could not be reached; such a failure is noted.
  std::string FetchFromApi(const std::string& url) {
    std::string answer = unreachable_host_.empty() ? Fetch(url) : ConnectionErrorText(url);
    if (answer == ConnectionErrorText(url)) unreachable_host_ = HostOf(url);
    return answer;
  }

  std::string Url(const std::string& host, std::string_view path) const {
    return context_.Url(host + std::string(path), {}, {clan_.clan_id, clan_.tag});
  }

  std::string SearchUrl(int page_number) const {
    std::string url = context_.Url(context_.urls.hosts.Api + std::string(kClanSearchPath), {}, {"", tag_});
    if (page_number > 1) url += std::string(kPageNumberParameter) + std::to_string(page_number);
    return url;
  }

  Disk& Files() const { return *context_.disk; }

  std::string ClanFolder() const { return EntityFolderOf(context_.clan_cache_folder, clan_.clan_id); }

  // True when `folder` (directly below the clan cache folder) is there or was made; else says why.
  bool PrepareFolder(const std::string& folder) {
    const std::string problem = PrepareCacheFolder(Files(), context_.clan_cache_folder, folder);
    Message(problem);
    return problem.empty();
  }

  void Save(std::string_view text, const std::string& folder, std::string_view name) {
    if (!PrepareFolder(folder)) return;
    const std::string path = JoinPath(folder, name);
    if (!WriteTextFile(Files(), text, path)) Message(SaveFailureMessage(path));
  }

  // The fresh index file of the clan, or else the first page of the search,
  // or else, when the search cannot reach the API, an index file of any age.
  // By id there is no search, and an empty answer stands in for it.
  SearchPage FirstSearchPage() {
    const std::string index_folder = IndexFolderOf(context_.clan_cache_folder);
    const std::string mask = by_id_ ? IndexMaskById(clan_.clan_id) : IndexMaskByName(tag_);
    CachedFile index =
        FindCachedFile(Files(), index_folder, mask, SideFileFresh, request_.UpdateRequested, context_.Now());
    if (index.fresh) return {ConvertClanIndex(ReadTextFile(Files(), index.path, ""), {&Files(), index.path}), true};
    if (by_id_) return {std::string(kEmptySearchAnswer), false};
    std::string answer = FetchFromApi(SearchUrl(1));
    if (!unreachable_host_.empty()) index = NewestStoredFile(Files(), index_folder, mask);
    if (index.fresh) return {ConvertClanIndex(ReadTextFile(Files(), index.path, ""), {&Files(), index.path}), true};
    return {ReplaceAll(answer, kFirstPageMeta, ""), false};
  }

  // The page's entry whose tag is the searched one (the last such entry), and
  // the number of entries the page held.
  std::pair<json::Value, size_t> FindTagOnPage(const json::Value& document) const {
    const json::Value entries = json::array(document, "data");
    const size_t count = json::length(entries);
    const std::string wanted = UpperCase(tag_);
    for (size_t i = count; i-- > 0;) {
      json::Value entry = json::item(entries, i);
      if (UpperCase(json::text(entry, "tag")) == wanted) return {entry, count};
    }
    return {json::Value(), count};
  }

  TagSearch SearchTag(SearchPage page) {
    for (int number = 1;; ++number) {
      if (number > 1) {
        SearchPage next{ReplaceAll(Fetch(SearchUrl(number)), kMetaCount, ""), false};
        // A server that ignores the page number would otherwise be asked forever.
        if (next.text == page.text) return {json::Value(), std::move(next), false};
        page = std::move(next);
      }
      json::Value document;
      const std::string problem = AnswerProblem(page.text, kSearchStatusFailure, document);
      if (!problem.empty()) {
        Message(problem);
        return {json::Value(), std::move(page), true};
      }
      auto [entry, count] = FindTagOnPage(document);
      if (entry.present() || count != kSearchPageSize) return {std::move(entry), std::move(page), false};
    }
  }

  bool FindByTag(SearchPage first) {
    const TagSearch search = SearchTag(std::move(first));
    if (!search.entry.present()) {
      // A failed page that names an error has been reported already.
      const bool reported = Contains(search.page.text, kErrorWord) || IsConnectionError(search.page.text);
      if (!(search.page_failed && reported)) {
        Message(NoClanWithTagMessage());
      }
      return false;
    }
    TakeSearchEntry(search.entry);
    if (!IsDecimalId(clan_.clan_id)) {
      Message(NoClanWithTagMessage());
      return false;
    }
    if (!search.page.from_index) {
      Save(search.page.text, IndexFolderOf(context_.clan_cache_folder), IndexFileName(clan_.tag, clan_.clan_id));
    }
    return true;
  }

  // Id, tag, name, creation date, member count and emblems from a search entry:
  // the entry reads as the clan object of a clan document.
  void TakeSearchEntry(const json::Value& entry) {
    clan_.clan_id = json::text(entry, "clan_id");
    json::Value document = json::Value::object();
    json::Value data = json::Value::object();
    json::set(data, clan_.clan_id, json::clone(entry));
    json::set(document, "data", data);
    ParseClan(clan_, document, false, EmblemHost());
  }

  std::string NoClanWithTagMessage() const { return "ОШИБКА: Не найден клан с именем \"" + EscapeHtml(tag_) + "\"."; }
  std::string NoClanWithIdMessage() const { return "ОШИБКА: Не найден клан с ID " + EscapeHtml(clan_.clan_id) + "."; }

  std::string EmblemHost() const { return context_.Url(context_.urls.hosts.ClanPortal, {}, {}); }

  // The clan info from a fresh snapshot or the API, or from the newest
  // snapshot when the API cannot be reached; false (with a message) when unusable.
  bool LoadInfo() {
    const ClanInfo info = LoadClanInfo(context_, clan_.clan_id, request_.UpdateRequested, unreachable_host_);
    clan_.CacheDate = info.cached.date;
    if (info.stored_instead) AddMessage(notice_, StoredDataWarning(unreachable_host_, info.cached.date));
    if (!info.usable()) {
      Message(info.data_missing ? NoClanWithIdMessage() : info.problem);
      return false;
    }
    ParseClan(clan_, info.document, true, EmblemHost());
    for (const std::string& problem : info.save_messages) Message(problem);
    return true;
  }

  // For a period: the snapshot that many days back, or the clan's creation when there is none.
  void SetPeriodStart() {
    if (request_.PeriodDays <= 0) return;
    const std::vector<DateTime> dates = ListSnapshotDates(Files(), ClanFolder());
    const auto back = static_cast<size_t>(request_.PeriodDays);
    clan_.PeriodStart = back < dates.size() ? std::max(clan_.PeriodStart, dates[back]) : clan_.created;
  }

  // The alliance site's clan page, kept as UTF-8 text in the cache. Without an
  // answer from the site the stored page stays in use.
  void LoadAlliance() {
    const std::string path = JoinPath(ClanFolder(), kAllianceFile);
    if (request_.UpdateRequested || !IsFresh(Files().ModifiedDate(path), SideFileFresh, context_.Now())) {
      const std::string url = Url(context_.urls.hosts.Alliance, kAlliancePath);
      const std::string answer = Fetch(url);
      if (answer != ConnectionErrorText(url)) {
        const std::string page = DecodeAnswer(answer);
        ParseAlliance(page, clan_);
        if (!page.empty()) WriteTextFile(Files(), page, path);
        return;
      }
    }
    ParseAlliance(DecodeAnswer(ReadTextFile(Files(), path, "")), clan_);
  }

  const ClanLoadRequest& request_;
  const LoaderContext& context_;
  LoaderMessages& messages_;
  LoaderMessages& notice_;
  RWOTClan& clan_;
  bool by_id_ = false;
  std::string tag_;  // the searched tag as typed
  std::string unreachable_host_;  // the API's host once a request to it got no answer at all
};

}  // namespace

ClanLoadResult LoadClan(const ClanLoadRequest& request, const LoaderContext& context) {
  ClanLoadResult result;
  const SearchBudgetScope budget(context.fetch);
  ClanLoad load(request, context, result);
  result.result = load.Run(result.fame);
  return result;
}

}  // namespace tarvelo
