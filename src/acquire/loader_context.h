// What the account and clan loaders and the auxiliary sources share: the
// connection to the outside services, the cache folders, the selected battle
// mode and reference data, and the message paragraphs every problem becomes.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "acquire/http_fetch.h"
#include "acquire/snapshot_conversion.h"
#include "acquire/url_templates.h"
#include "json/json.h"
#include "model/reference.h"
#include "text/html_escape.h"
#include "text/russian.h"

namespace tarvelo {

// Answers fetched ahead of the loaders, by the exact address a loader would ask for.
using PrefetchedAnswers = std::map<std::string, std::string, std::less<>>;

struct LoaderContext {
  HttpFetch* fetch = nullptr;
  // Where there is one, a clan's members are fetched ahead, several requests at once.
  HttpBatchFetch* batch_fetch = nullptr;
  // The account loader takes an answer from here before it asks the network.
  const PrefetchedAnswers* prefetched = nullptr;
  UrlSettings urls;
  std::string user_cache_folder;  // UserCacheFolder: accounts and their index
  std::string clan_cache_folder;  // ClanCacheFolder: clans and their index
  int mode_index = 0;             // the selected battle mode
  const ReferenceData* reference = nullptr;
  LegacySources legacy;           // what the conversion of old cached layouts needs
  // The forum topic that explains inconsistent battle counts.
  std::string details_topic_url;
  // Waits between retries, in milliseconds. Empty: the calling thread sleeps.
  std::function<void(int)> pause;

  void Pause(int milliseconds) const;
  // The template filled for the account and clan (FillUrlTemplate with this region and id).
  std::string Url(std::string_view url_template, const AccountRef& account, const ClanRef& clan) const;
};

// The count the publisher appends to single-object answers; removed before anything looks at them.
inline constexpr std::string_view kMetaCount = ",\"meta\":{\"count\":1}";
// The clan info request on the API host: both loaders read the clan through it.
inline constexpr std::string_view kClanInfoPath =
    "/wgn/clans/info/?application_id=%SOURCE_TOKEN%&clan_id=%CLAN_ID%"
    "&fields=clan_id,tag,name,color,motto,updated_at,created_at,members_count,members.account_id,"
    "members.account_name,members.joined_at,members.role";
// The search answer that stands in for the index when an id is typed.
inline constexpr std::string_view kEmptySearchAnswer = "{\"status\":\"ok\",\"count\":0,\"data\":[]}";

// Appends "<p class=...>" + the trimmed text + "</p>\r\n"; the class is "r" for
// a text with "ОШИБКА", "g" for one with "ПРЕДУПРЕЖДЕНИЕ". Blank texts add nothing.
void AddMessage(std::string& messages, std::string_view text);
// The clan loader's variant: only "r" exists, any other text has no class.
void AddClanMessage(std::string& messages, std::string_view text);

// The first `characters` characters of the plain text of an answer, markup escaped.
std::string PlainExcerpt(std::string_view answer, size_t characters);
inline constexpr size_t kExcerptCharacters = 200;
inline constexpr size_t kSideExcerptCharacters = 70;

// The answer decoded (UTF-8, or Windows-1251 when it is not valid UTF-8) and parsed;
// an empty Value when it does not parse.
json::Value DecodeApiAnswer(std::string_view answer);
// The same without what `pruning` leaves out.
json::Value DecodeApiAnswer(std::string_view answer, const json::ItemPruning& pruning);

// The common texts of answer checks.
inline constexpr std::string_view kEmptyDataMessage = "ОШИБКА: Получены пустые данные.";
// "ОШИБКА: Получены некорректные данные (\"" + excerpt + "...\")."; for an answer
// that is a connection failure, that failure's own message.
std::string IncorrectDataMessage(std::string_view answer, size_t characters = kExcerptCharacters);
// The first checks of every API answer: the empty-data message for an empty
// answer, the connection failure itself for one, IncorrectDataMessage when
// `status_mark` is missing; empty when the answer passed them.
std::string AnswerShapeProblem(std::string_view answer, std::string_view status_mark);
// `status` + " - " + the text of `error`, as the status messages quote them
// (escaped: both come from the answer).
std::string StatusAndError(const json::Value& document);
// True when the decoded status, upper-cased, is "OK".
bool StatusIsOk(const json::Value& document);

// True when the document holds "data.<id>" with something in it (not null, not "").
bool HasEntityData(const json::Value& document, std::string_view id);

// True when the text is what a fetch gives when no usable answer came
// (ConnectionErrorText and the other fetch failures).
bool IsConnectionError(std::string_view answer);
// Such a failure as a message: the text itself, escaped, as a body may only look like one.
std::string FetchFailureMessage(std::string_view answer);

// The warning above a page of stored data shown because the API's `host` could
// not be reached: "ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером HOST, показаны данные
// от dd.mm.yyyy hh:mm.", with the local date-time the data were stored.
std::string StoredDataWarning(std::string_view host, DateTime stored);

}  // namespace tarvelo
