#include "acquire/auxiliary_sources.h"

#include <array>
#include <cmath>
#include <system_error>

#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "json/json.h"
#include "model/side_sources.h"
#include "text/clock.h"
#include "text/debug_log.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kFamePointsPath = "/community/accounts/%ACCOUNT_ID%/get_front_stats/";
constexpr std::string_view kReplaysPath = "/sApi/v3/player.getInfo?wgId=%ACCOUNT_ID%";
constexpr std::string_view kLocationPath = "/api/usercacheget/?accountId=%ACCOUNT_ID%";

constexpr std::string_view kNoFamePoints = "{\"data\":null}";
constexpr std::string_view kNoNameHistory = "{\"nickname\":null,\"result\":1}";
constexpr std::string_view kNoReplays = "{\"isOk\":false}";
constexpr std::string_view kNoLocation = "{\"status\":3}";

constexpr std::string_view kStatusMember = "\"status\":";
constexpr std::string_view kReplaysSuccess = "\"isOk\":true";
constexpr std::string_view kLocationSuccess = "\"status\":1";

int32_t Integer32(const json::Value& document, std::string_view path) {
  return static_cast<int32_t>(json::integer(document, path));
}

bool IsNullOrEmpty(std::string_view text) { return text.empty() || text == "null"; }

// The text of a member, with a JSON null read as empty rather than as "null".
std::string TextOrEmpty(const json::Value& document, std::string_view path) {
  const json::Value value = json::at(document, path);
  return value.kind() == json::Kind::Null ? std::string() : json::text(value);
}

std::string AccountFile(const LoaderContext& context, std::string_view account_id, std::string_view name) {
  return JoinPath(EntityFolderOf(context.user_cache_folder, account_id), name);
}

std::string FetchFromHost(const LoaderContext& context, std::string_view host, std::string_view path,
                          const AccountRef& account, std::string_view header = {}) {
  if (context.fetch == nullptr) return {};
  const std::string url = context.Url(std::string(host) + std::string(path), account, {});
  return header.empty() ? context.fetch->GetUrlText(url) : context.fetch->GetUrlTextWithHeader(url, header);
}

// ---- fame points ---------------------------------------------------------------

// The cached answer may be used instead of a fetch. From the second day after
// the end date the results are final, and a file written on such a day is kept
// for good; otherwise the usual side file rule applies, and a period view
// never fetches.
bool UseCachedFamePoints(DateTime file_date, DateTime now, int period_days, bool update_requested) {
  const DateTime results_final = Campaign().end + 1;
  if (file_date != 0 && DateOf(now) > results_final && std::floor(file_date) > results_final) return true;
  return !update_requested && (IsFresh(file_date, SideFileFresh, now) || period_days > 0);
}

// The answer stored for this campaign, or empty when the file is older than its start.
std::string CachedFamePointsText(const Disk& disk, const std::string& path) {
  if (disk.ModifiedDate(path) <= Campaign().start) return {};
  return ReadTextFile(disk, path, kNoFamePoints);
}

// Reads the figures of an "ok" answer; true when the answer held any.
bool ReadFamePoints(const json::Value& document, std::string_view account_id, AccountFamePoints& fame) {
  const std::string own_path = "data." + std::string(account_id);
  if (!IsNullOrEmpty(json::text(document, own_path))) {
    fame.points = Integer32(document, own_path + ".points");
    fame.position = Integer32(document, own_path + ".position");
    return true;
  }
  const json::Value fronts = json::array(document, "fronts");
  if (json::length(fronts) > 0) {
    const json::Value first = json::item(fronts, 0);
    fame.points = Integer32(first, "fame_points");
    fame.position = Integer32(first, "rank");
    fame.front_name = json::text(first, "name");
    const json::Value second = json::item(fronts, 1);
    const int32_t second_rank = Integer32(second, "rank");
    if (second && second_rank > 0 && (second_rank < fame.position || fame.position == 0)) {
      fame.points = Integer32(second, "fame_points");
      fame.position = second_rank;
      fame.front_name = json::text(second, "name");
    }
    return true;
  }
  const json::Value users = json::array(document, "users_info");
  if (json::length(users) > 0) {
    const json::Value first = json::item(users, 0);
    fame.points = Integer32(first, "glory_points");
    fame.position = Integer32(first, "position");
    return true;
  }
  return false;
}

// ---- replays and location ------------------------------------------------------

// Where a side file answer comes from, how it is checked and what its message says.
struct SideSource {
  std::string_view file;
  std::string_view path;
  std::string_view default_text;   // what an unreadable cached file counts as
  std::string_view success_mark;   // text of an answer that reports success
  std::string_view required_mark;  // text without which the answer is garbage
  // Members of which at least one must have a text for the answer to count.
  std::array<std::string_view, 2> key_members;
  std::string_view subject;  // what the data is about, in the message
};

constexpr SideSource kReplaysSource{
    kReplaysFile, kReplaysPath, kNoReplays, kReplaysSuccess, "isOk", {"data.wgId", "error"}, "о реплеях игрока"};
constexpr SideSource kLocationSource{
    kLocationFile, kLocationPath, kNoLocation, kLocationSuccess, "status", {"accountId", {}}, "о регионе игрока"};

struct SideAnswer {
  std::string text;
  bool fetched = false;
};

// The cached answer while it is fresh; a cached answer that reports no success
// is fetched again only on an update request.
SideAnswer ObtainSideAnswer(const LoaderContext& context, const SideSource& source, std::string_view host,
                            std::string_view account_id, bool update_requested) {
  const std::string path = AccountFile(context, account_id, source.file);
  const DateTime file_date = context.disk->ModifiedDate(path);
  if (file_date != 0 && IsFresh(file_date, SideFileFresh, context.Now())) {
    std::string cached = ReadTextFile(*context.disk, path, source.default_text);
    if (Contains(cached, source.success_mark) || !update_requested) return {std::move(cached), false};
  }
  return {FetchFromHost(context, host, source.path, AccountRef{std::string(account_id), {}}), true};
}

bool HasKeyMember(const SideSource& source, const json::Value& document) {
  for (std::string_view member : source.key_members) {
    if (!member.empty() && !json::text(document, member).empty()) return true;
  }
  return false;
}

// The decoded answer, cached or fetched; a fetched one is stored once it
// passed the checks. Empty when there is none or it did not pass.
json::Value LoadSideAnswer(const LoaderContext& context, const SideSource& source, std::string_view host,
                           std::string_view account_id, bool update_requested, LoaderMessages& messages) {
  const SideAnswer answer = ObtainSideAnswer(context, source, host, account_id, update_requested);
  if (answer.text.empty()) return {};
  json::Value document;
  if (Contains(answer.text, source.required_mark)) document = DecodeApiAnswer(answer.text);
  if (!HasKeyMember(source, document)) {
    AddMessage(messages, IsConnectionError(answer.text)
                             ? FetchFailureMessage(answer.text)
                             : "ОШИБКА: Получены некорректные данные " + std::string(source.subject) + " (\"" +
                                   PlainExcerpt(answer.text, kSideExcerptCharacters) + "...\").");
    return {};
  }
  if (answer.fetched) {
    const std::string path = AccountFile(context, account_id, source.file);
    if (!WriteTextFile(*context.disk, answer.text, path)) AddMessage(messages, SaveFailureMessage(path));
  }
  return document;
}

// The old name of the location file is given up for the current one, unless a
// current file is already there (that one is newer and is kept).
void RenameOldLocationFile(const LoaderContext& context, std::string_view account_id) {
  const std::string old_path = AccountFile(context, account_id, kOldLocationFile);
  const std::string path = AccountFile(context, account_id, kLocationFile);
  Disk& disk = *context.disk;
  if (!disk.Facts(old_path) || disk.Facts(path)) return;
  if (!disk.Rename(old_path, path)) DebugLog("ОШИБКА: Не удалось переименовать файл: " + old_path);
}

}  // namespace

AccountFamePoints LoadAccountFamePoints(const LoaderContext& context, std::string_view account_id,
                                        std::string_view nickname, int period_days, bool update_requested) {
  AccountFamePoints fame;
  const DateTime now = context.Now();
  if (!InsideCampaignWindow(DateOf(now))) return fame;
  const std::string path = AccountFile(context, account_id, kFamePointsFile);
  bool fetched = !UseCachedFamePoints(context.disk->ModifiedDate(path), now, period_days, update_requested);
  std::string answer;
  if (fetched) {
    const AccountRef account{std::string(account_id), std::string(nickname)};
    answer = RemoveAll(FetchFromHost(context, context.urls.hosts.GamePortal, kFamePointsPath, account,
                                     kXmlHttpRequestHeader),
                       {kMetaCount});
    // Without an answer from the portal the stored one stays in use.
    fetched = !IsConnectionError(answer);
  }
  if (!fetched) answer = CachedFamePointsText(*context.disk, path);
  if (!Contains(answer, kStatusMember)) return fame;
  const json::Value document = DecodeApiAnswer(answer);
  const bool worth_keeping = StatusIsOk(document) ? ReadFamePoints(document, account_id, fame) : true;
  if (fetched && worth_keeping) WriteTextFile(*context.disk, answer, path);
  return fame;
}

ClanFamePoints LoadClanFamePoints(const LoaderContext& context, std::string_view clan_id) {
  ClanFamePoints fame;
  if (!InsideCampaignWindow(DateOf(context.Now()))) return fame;
  const std::string path = JoinPath(EntityFolderOf(context.clan_cache_folder, clan_id), kFamePointsFile);
  const std::string answer = CachedFamePointsText(*context.disk, path);
  if (!Contains(answer, kStatusMember)) return fame;
  const json::Value document = DecodeApiAnswer(answer);
  if (!StatusIsOk(document)) return fame;
  const std::string own_path = "data." + std::string(clan_id);
  if (!IsNullOrEmpty(json::text(document, own_path))) {
    fame.points = Integer32(document, own_path + ".points");
    fame.bonus_points = Integer32(document, own_path + ".bonus_points");
    fame.position = Integer32(document, own_path + ".position");
    return fame;
  }
  const json::Value clans = json::array(document, "clans_info");
  for (size_t i = 0; i < json::length(clans); ++i) {
    const json::Value clan = json::item(clans, i);
    if (json::text(clan, "clan_id") != clan_id) continue;
    fame.points = Integer32(clan, "victory_points_custom");
    fame.bonus_points = Integer32(clan, "bonus_fame_points");
    fame.position = Integer32(clan, "rating_position");
    break;
  }
  return fame;
}

void LoadNameHistory(const LoaderContext& context, std::string_view account_id, RWOTAccount& account,
                     LoaderMessages& messages) {
  const std::string path = AccountFile(context, account_id, kNameHistoryFile);
  if (!context.disk->Facts(path)) return;
  const std::string answer = ReadTextFile(*context.disk, path, kNoNameHistory);
  const json::Value document = DecodeApiAnswer(answer);
  const std::string nickname = json::text(document, "nickname");
  if (!Contains(answer, "nickname") || nickname.empty()) {
    AddMessage(messages, IncorrectDataMessage(answer, kExcerptCharacters));
    return;
  }
  if (nickname == "null") return;
  ParseNameHistory(json::at(document, "namehis_nicks"), json::at(document, "namehis_dates"), context.Now(), account);
}

void LoadRoleHistory(const LoaderContext& context, std::string_view account_id, std::string_view search_text,
                     RWOTAccount& account, LoaderMessages& messages) {
  const std::string path = AccountFile(context, account_id, kRoleHistoryFile);
  if (!context.disk->Facts(path)) return;
  std::string answer = ReadTextFile(*context.disk, path, {});
  if (answer.starts_with('?')) answer.erase(0, 1);
  if (IsNullOrEmpty(answer)) return;
  const size_t object_start = answer.find('{');
  const json::Value document =
      (!Contains(answer, "rows") || object_start == std::string::npos)
          ? json::Value()
          : DecodeApiAnswer(std::string_view(answer).substr(object_start));
  const json::Value rows = json::at(document, "rows");
  const bool rows_readable = rows.kind() == json::Kind::Array || rows.kind() == json::Kind::Null;
  if (!rows || !rows_readable) {
    AddMessage(messages, IncorrectDataMessage(answer, kExcerptCharacters));
  } else if (json::length(rows) == 0) {
    AddMessage(messages,
               "ОШИБКА: Не найдена клан-история игрока с именем \"" + EscapeHtml(search_text) + "\".");
  } else {
    ParseClanHistory(rows, context.Now(), account);
  }
}

void LoadReplays(const LoaderContext& context, std::string_view account_id, bool update_requested,
                 RWOTAccount& account, LoaderMessages& messages) {
  const json::Value document =
      LoadSideAnswer(context, kReplaysSource, context.urls.hosts.Replays, account_id, update_requested, messages);
  const json::Value videos = json::at(document, "data.videoUrls");
  if (!videos) return;
  SetReplayFigures(TextOrEmpty(document, "data.url"), Integer32(document, "data.replayCount"),
                   static_cast<int32_t>(json::length(videos)), account);
}

void LoadLocation(const LoaderContext& context, std::string_view account_id, bool update_requested,
                  RWOTAccount& account, LoaderMessages& messages) {
  account.CountryCode.clear();
  account.Region.clear();
  account.City.clear();
  account.LocationText.clear();
  RenameOldLocationFile(context, account_id);
  const json::Value document =
      LoadSideAnswer(context, kLocationSource, context.urls.hosts.Location, account_id, update_requested, messages);
  if (!document || json::text(document, "city") == "null") return;
  const ReferenceData& reference = context.reference != nullptr ? *context.reference : Reference();
  SetLocation(TextOrEmpty(document, "country"), TextOrEmpty(document, "region"), TextOrEmpty(document, "city"),
              account, reference);
}

}  // namespace tarvelo
