// What the account and clan loaders and the auxiliary sources share: the
// connection to the outside services, the cache folders, the selected battle
// mode and reference data, and the message paragraphs every problem becomes.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "acquire/messages.h"
#include "acquire/net/http_fetch.h"
#include "acquire/addresses.h"
#include "acquire/store/answer_text.h"
#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "acquire/store/snapshot_conversion.h"
#include "json/json.h"
#include "model/reference.h"
#include "text/clock.h"
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
  Disk* disk = nullptr;           // where the cache lies
  HistoryService* history = nullptr;  // the archive of the accounts' older days; none: plain files only
  Clock clock;                    // the program's now
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
  DateTime Now() const { return clock(); }
  // The template filled for the account and clan (FillUrlTemplate with this region and id).
  std::string Url(std::string_view url_template, const AccountRef& account, const ClanRef& clan) const;
};

// The answer the loaders take for `url`: the one fetched ahead when there is
// one, else the network's.
std::string FetchAnswer(const LoaderContext& context, const std::string& url);

// The clan info request on the API host: both loaders read the clan through it.
inline constexpr std::string_view kClanInfoPath =
    "/wgn/clans/info/?application_id=%SOURCE_TOKEN%&clan_id=%CLAN_ID%"
    "&fields=clan_id,tag,name,color,motto,updated_at,created_at,members_count,members.account_id,"
    "members.account_name,members.joined_at,members.role";
// The search answer that stands in for the index when an id is typed.
inline constexpr std::string_view kEmptySearchAnswer = "{\"status\":\"ok\",\"count\":0,\"data\":[]}";



// The common texts of answer checks.
inline constexpr std::string_view kEmptyDataMessage = "ОШИБКА: Получены пустые данные.";
// "ОШИБКА: Получены некорректные данные (\"" + excerpt + "...\")."; for an answer
// that is a connection failure, that failure's own message.
std::string IncorrectDataMessage(std::string_view answer, size_t characters = kExcerptCharacters);
// The first checks of every API answer: the empty-data message for an empty
// answer, the connection failure itself for one, IncorrectDataMessage when
// `status_mark` is missing; empty when the answer passed them.
std::string AnswerShapeProblem(std::string_view answer, std::string_view status_mark);

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
