#include "acquire/account_loader.h"

#include <algorithm>
#include <utility>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "acquire/account_splices.h"
#include "acquire/clan_info.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "acquire/store/snapshot_optimizer.h"
#include "acquire/store/stored_snapshots.h"
#include "model/clan.h"
#include "model/period.h"
#include "model/snapshot.h"
#include "model/tables.h"
#include "text/debug_log.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kAccountSearchPath =
    "/wot/account/list/?application_id=%SOURCE_TOKEN%&search=%ACCOUNT_NAME%&limit=1";
constexpr std::string_view kAccountInfoPath =
    "/wot/account/info/?application_id=%SOURCE_TOKEN%&account_id=%ACCOUNT_ID%"
    "&fields=account_id,nickname,updated_at,created_at,last_battle_time,logout_at,clan_id,global_rating,statistics"
    "&extra=statistics.random,statistics.globalmap_absolute,statistics.globalmap_champion,"
    "statistics.globalmap_middle,statistics.fallout";
constexpr std::string_view kAchievementsPath =
    "/wot/account/achievements/?application_id=%SOURCE_TOKEN%&account_id=%ACCOUNT_ID%";
constexpr std::string_view kMembershipPath =
    "/wgn/clans/membersinfo/?application_id=%SOURCE_TOKEN%&account_id=%ACCOUNT_ID%"
    "&fields=clan.clan_id,clan.tag,clan.name,clan.created_at,role,joined_at,account_name";
constexpr std::string_view kVehiclesPath =
    "/wot/tanks/stats/?application_id=%SOURCE_TOKEN%&account_id=%ACCOUNT_ID%"
    "&fields=tank_id,all,random,clan,company,globalmap,stronghold_defense,stronghold_skirmish,team,regular_team,"
    "fallout,max_xp,max_frags,mark_of_mastery&extra=random,fallout";

constexpr std::string_view kIdMarker = "@";
constexpr std::string_view kOkStatus = "\"status\":\"ok\"";

// Waits before the second and the third try of an enrichment request.
constexpr int kFirstRetryWait = 100;
constexpr int kAchievementsSecondRetryWait = 300;
constexpr int kVehiclesSecondRetryWait = 200;

constexpr std::string_view kAchievementsProblem =
    "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о достижениях игрока. "
    "Попробуйте повторить запрос позднее.";
constexpr std::string_view kMembershipProblem =
    "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о принадлежности игрока "
    "к клану. Попробуйте повторить запрос позднее. ";
constexpr std::string_view kVehiclesProblem =
    "ОШИБКА: Проблемы на сервере World of Tanks &ndash; не удалось получить данные о технике игрока, уровень "
    "боев неизвестен, рейтинги рассчитаны некорректно. Попробуйте повторить запрос позднее.";
constexpr std::string_view kDatabaseUnavailable = "Сервер базы данных World of Tanks временно недоступен.";

std::string RemoveMeta(std::string_view answer) { return ReplaceAll(answer, kMetaCount, ""); }

std::string ByteCount(std::string_view text) { return std::to_string(text.size()); }

// The decimal id at `path`; anything else (null, empty, not digits) is no id.
std::string IdOrNothing(const json::Value& document, std::string_view path) {
  std::string text = json::text(document, path);
  return IsDecimalId(text) ? text : std::string();
}

constexpr std::string_view PathOf(AccountRequest request) {
  switch (request) {
    case AccountRequest::kInfo: return kAccountInfoPath;
    case AccountRequest::kAchievements: return kAchievementsPath;
    case AccountRequest::kMembership: return kMembershipPath;
    case AccountRequest::kVehicles: return kVehiclesPath;
  }
  return {};
}

enum class DataState { kFromCache, kFromNetwork, kFailed };

// What the search step gives: an index file's content or an answer of the publisher.
struct SearchAnswer {
  std::string text;
  bool from_index = false;
};

// One run of LoadAccount.
class AccountLoad {
 public:
  AccountLoad(const AccountLoadRequest& request, const LoaderContext& context, AccountLoadResult& result)
      : request_(request), context_(context), result_(result), current_(result.current) {}

  // False when the account could not be identified. Account data that cannot be
  // used leave the account identified, with messages and an empty record.
  bool Run() {
    if (!Identify()) return false;
    if (LoadSnapshot()) {
      LoadClan();
      ParseCurrent();
      FillMissingFacts();
      SaveSnapshot();
      result_.fame = LoadAccountFamePoints(context_, account_id_, current_.Nickname, request_.PeriodDays,
                                           request_.UpdateRequested);
      ListStoredSnapshots();
      if (request_.PeriodDays >= 1) {
        LoadPeriod();
      } else {
        result_.base = current_;
      }
    }
    Finish();
    return true;
  }

 private:
  void Message(std::string_view text) { AddMessage(result_.messages, text); }

  int Mode() const {
    return context_.mode_index >= 0 && context_.mode_index < kModeCount ? context_.mode_index : kModeAll;
  }

  const ReferenceData& Ref() const { return context_.reference != nullptr ? *context_.reference : Reference(); }

  Disk& Files() const { return *context_.disk; }

  // The answer for `url`; the first one that is a connection failure marks the API unreachable.
  std::string Fetch(const std::string& url) {
    std::string answer = FetchAnswer(context_, url);
    if (!Unreachable() && answer == ConnectionErrorText(url)) result_.unreachable_host = HostOf(url);
    return answer;
  }

  bool Unreachable() const { return !result_.unreachable_host.empty(); }

  std::string ApiUrl(std::string_view path, const AccountRef& account, const ClanRef& clan = {}) const {
    return context_.Url(context_.urls.hosts.Api + std::string(path), account, clan);
  }
  std::string AccountUrl(AccountRequest request) const { return AccountRequestUrl(context_, request, account_id_); }

  std::string AccountFolder() const { return EntityFolderOf(context_.user_cache_folder, account_id_); }

  // True when `folder` (directly below `root`) is there or was made; else says why.
  bool PrepareFolder(std::string_view root, const std::string& folder) {
    const std::string problem = PrepareCacheFolder(Files(), root, folder);
    Message(problem);
    return problem.empty();
  }

  void Write(std::string_view text, const std::string& path) {
    if (!WriteTextFile(Files(), text, path)) Message(SaveFailureMessage(path));
  }

  // ---- identification: search text, index file, account search ----

  bool Identify() {
    const std::string& search_text = request_.search_text;
    by_id_ = search_text.starts_with(kIdMarker);
    if (by_id_) {
      account_id_ = search_text.substr(kIdMarker.size());
      if (!IsDecimalId(account_id_)) {
        Message(NotFoundMessage());
        return false;
      }
    }

    const SearchAnswer search = FindSearchAnswer();
    json::Value document;
    const std::string problem = SearchProblem(search.text, document);
    if (!problem.empty()) {
      Message(problem);
      return false;
    }
    if (!by_id_) {
      const json::Value hit = json::item(json::array(document, "data"), 0);
      nickname_ = json::text(hit, "nickname");
      account_id_ = IdOrNothing(hit, "account_id");
    }
    // Without an id every cache path of the account would be the user folder itself.
    if (!IsDecimalId(account_id_)) {
      Message(NotFoundMessage());
      return false;
    }
    current_.AccountId = account_id_;
    current_.Nickname = nickname_;
    if (!by_id_ && !search.from_index) StoreIndex(search.text);
    return true;
  }

  std::string NotFoundMessage() const {
    return "ОШИБКА: Не найден игрок с именем \"" + EscapeHtml(request_.search_text) + "\".";
  }

  // A fresh index file, else the publisher's search by name, else, when the
  // search cannot reach the API, an index file of any age; by id the empty
  // answer stands in for the search.
  SearchAnswer FindSearchAnswer() {
    const std::string index_folder = IndexFolderOf(context_.user_cache_folder);
    const std::string mask = by_id_ ? IndexMaskById(account_id_) : IndexMaskByName(request_.search_text);
    const CachedFile index =
        FindCachedFile(Files(), index_folder, mask, SideFileFresh, request_.UpdateRequested, context_.Now());
    if (index.fresh) return {ReadTextFile(Files(), index.path, ""), true};
    if (by_id_) return {std::string(kEmptySearchAnswer), false};
    std::string answer = Fetch(ApiUrl(kAccountSearchPath, {"", request_.search_text}));
    if (Unreachable()) {
      if (const CachedFile stored = NewestStoredFile(Files(), index_folder, mask); stored.fresh) {
        return {ReadTextFile(Files(), stored.path, ""), true};
      }
    }
    return {RemoveMeta(answer), false};
  }

  // The message for a search answer that cannot be used, empty when it can;
  // a usable answer is left decoded in `document`.
  std::string SearchProblem(std::string_view answer, json::Value& document) const {
    if (std::string problem = AnswerShapeProblem(answer, "\"status\":"); !problem.empty()) return problem;
    document = DecodeApiAnswer(answer);
    if (!StatusIsOk(document)) return "ОШИБКА: Ошибка поиска данных (\"" + StatusAndError(document) + "\").";
    if (!json::at(document, "data").present()) return IncorrectDataMessage(answer);
    if (!by_id_ && json::length(json::array(document, "data")) == 0) return NotFoundMessage();
    return {};
  }

  void StoreIndex(std::string_view answer) {
    const std::string& root = context_.user_cache_folder;
    const std::string index_folder = IndexFolderOf(root);
    if (!PrepareFolder(root, index_folder) || !PrepareFolder(root, AccountFolder())) return;
    Write(answer, JoinPath(index_folder, IndexFileName(nickname_, account_id_)));
  }

  // ---- the snapshot: fresh cache file, or the account info merged with the other answers ----

  // False when the account data cannot be used at all.
  bool LoadSnapshot() {
    const CachedFile cached =
        FindCachedFile(Files(), AccountFolder(), kSnapshotMask, SnapshotFresh, request_.UpdateRequested, context_.Now());
    bool stored_instead = false;
    if (cached.fresh) {
      ReadStoredSnapshot(cached);
    } else {
      FetchAccountInfo();
      stored_instead = Unreachable() && ReadNewestStoredSnapshot();
    }
    const std::string problem = AccountProblem();
    if (!problem.empty()) {
      Message(problem);
      return false;
    }
    if (stored_instead) AddMessage(result_.notice, StoredDataWarning(result_.unreachable_host, current_.CacheDate));
    if (state_ == DataState::kFromCache) {
      clan_id_ = IdOrNothing(document_, AccountPath("clan.clan_id"));
    } else {
      Enrich();
    }
    return true;
  }

  void ReadStoredSnapshot(const CachedFile& file) {
    snapshot_ = ConvertSnapshot(ReadTextFile(Files(), file.path, ""), account_id_, {&Files(), file.path},
                                context_.legacy);
    state_ = DataState::kFromCache;
    current_.CacheDate = file.date;
  }

  // With the API out of reach the newest stored snapshot, whatever its age,
  // stands in; false when there is none.
  bool ReadNewestStoredSnapshot() {
    const CachedFile newest = NewestStoredFile(Files(), AccountFolder(), kSnapshotMask);
    if (newest.fresh) ReadStoredSnapshot(newest);
    return newest.fresh;
  }

  // Not asked for again once the search could not reach the API.
  void FetchAccountInfo() {
    const std::string url = AccountUrl(AccountRequest::kInfo);
    snapshot_ = RemoveMeta(Unreachable() ? ConnectionErrorText(url) : Fetch(url));
    state_ = DataState::kFromNetwork;
    current_.CacheDate = 0;
  }

  std::string AccountPath(std::string_view member) const { return "data." + account_id_ + "." + std::string(member); }

  // The message for account data that cannot be used, empty when they can; usable
  // data are left decoded in document_.
  std::string AccountProblem() {
    if (std::string problem = AnswerShapeProblem(snapshot_, "status"); !problem.empty()) return problem;
    document_ = DecodeApiAnswer(snapshot_);
    // A text that does not parse is as unusable as one without a status.
    if (!document_.present()) return IncorrectDataMessage(snapshot_);
    if (!StatusIsOk(document_)) {
      const bool unavailable = json::integer(document_, "error.code") == 504;
      return "ОШИБКА: " + (unavailable ? std::string(kDatabaseUnavailable)
                                       : "Ошибка в данных (\"" + StatusAndError(document_) + "\").");
    }
    if (!HasEntityData(document_, account_id_)) {
      return "ОШИБКА: Получены некорректные данные о игроке (\"" + PlainExcerpt(snapshot_, kExcerptCharacters) +
             "...\").";
    }
    return {};
  }

  void Enrich() {
    const std::string account_answer = snapshot_;
    AddAchievements();
    AddMembership();
    AddVehicles();
    if (snapshot_ == account_answer) return;
    json::Value merged = DecodeApiAnswer(snapshot_);
    if (merged.present()) {
      document_ = merged;
      return;
    }
    // Answers shaped otherwise than the splices expect: the account answer is
    // shown alone and the broken merge is not stored.
    Message(IncorrectDataMessage(snapshot_));
    state_ = DataState::kFailed;
  }

  // The answer of the first of up to three tries that parses (else the third).
  std::string FetchWithRetries(const std::string& url, int second_wait, bool log_retries) {
    std::string answer = Fetch(url);
    for (int wait : {kFirstRetryWait, second_wait}) {
      if (TakenAtFirstTry(answer)) break;
      if (log_retries) DebugLog("ОШИБКА: Неверные данные (" + ByteCount(answer) + " байт)!");
      context_.Pause(wait);
      answer = Fetch(url);
    }
    return answer;
  }

  void AddAchievements() {
    const std::string answer =
        RemoveMeta(FetchWithRetries(AccountUrl(AccountRequest::kAchievements), kAchievementsSecondRetryWait, false));
    if (!Contains(answer, kOkStatus)) {
      Message(kAchievementsProblem);
      state_ = DataState::kFailed;
      return;
    }
    snapshot_ = SpliceAchievements(snapshot_, answer, account_id_);
  }

  void AddMembership() {
    const std::string clan_id = IdOrNothing(document_, AccountPath("clan_id"));
    if (clan_id.empty()) return;
    clan_id_ = clan_id;
    const std::string answer = RemoveMeta(Fetch(AccountUrl(AccountRequest::kMembership)));
    if (!Contains(answer, "\"status\":\"ok\",") || Contains(answer, account_id_ + "\":null")) {
      if (IsConnectionError(answer)) {
        Message(FetchFailureMessage(answer));
      } else {
        Message(Contains(answer, "\"status\":\"error\"")
                    ? std::string(kMembershipProblem) + EscapeHtml(answer)
                    : "ОШИБКА: Получены некорректные данные о клане игрока (\"" +
                          PlainExcerpt(answer, kExcerptCharacters) + "...\").");
      }
      state_ = DataState::kFailed;
      return;
    }
    snapshot_ = SpliceMembership(snapshot_, answer, account_id_);
    clan_id_ = IdOrNothing(DecodeApiAnswer(answer), AccountPath("clan.clan_id"));
  }

  void AddVehicles() {
    std::string answer = FetchWithRetries(AccountUrl(AccountRequest::kVehicles), kVehiclesSecondRetryWait, true);
    DebugLog("Данные получены (" + ByteCount(answer) + " байт).");
    answer = RemoveMeta(answer);
    if (!Contains(answer, kOkStatus)) {
      Message(kVehiclesProblem);
      state_ = DataState::kFailed;
      return;
    }
    if (!Contains(answer, kOkDataStart)) return;
    snapshot_ = OptimizeSnapshot(SpliceVehicles(snapshot_, answer, account_id_));
    DebugLog("Данные оптимизированы (" + ByteCount(snapshot_) + " байт).");
  }

  // ---- the player's clan ----

  void LoadClan() {
    if (!request_.interactive || clan_id_.empty()) return;
    RWOTClan& clan = result_.clan;
    clan.clan_id = clan_id_;
    const ClanInfo info = LoadClanInfo(context_, clan_id_, request_.UpdateRequested, result_.unreachable_host);
    if (info.usable()) {
      ParseClan(clan, info.document, true, context_.Url(context_.urls.hosts.ClanPortal, {}, {}));
      clan.CacheDate = info.cached.date;
      for (const std::string& problem : info.save_messages) Message(problem);
      current_.ClanTag = clan.tag;
      current_.ClanName = clan.name;
      current_.ClanColor = clan.color;
      current_.ClanMembersCount = clan.members_count;
      current_.ClanCreated = clan.created;
    } else {
      Message(info.data_missing ? IncorrectDataMessage(info.answer) : info.problem);
    }
    result_.clan_fame = LoadClanFamePoints(context_, clan_id_);
  }

  // ---- the current record ----

  void ParseCurrent() {
    Parse(document_, current_, true);
    account_battles_ = current_.Stats[Mode()].Battles;
    vehicle_battles_ = 0;
    for (const RVehicleStat& vehicle : current_.Vehicles) vehicle_battles_ += vehicle.Stats[Mode()].Battles;
    if (state_ == DataState::kFromNetwork) CheckBattleCounts();
  }

  // Achievements are sorted alike in every record of a search, so that period
  // differences pair them by position; the vehicles of the current record come
  // most played first for the report.
  void Parse(const json::Value& document, RWOTAccount& account, bool is_current) const {
    ParseAccount(account, document, request_.interactive, request_.interactive && is_current, Mode(), Ref());
  }

  // The messages link the forum topic that explains the counts.
  void CheckBattleCounts() {
    const std::string account_battles = Format("%.0n", {account_battles_});
    const std::string vehicle_battles = Format("%.0n", {vehicle_battles_});
    const std::string counts = "От сервера World of Tanks были получены некорректные данные &ndash; общее "
                               "количество боёв игрока (" + account_battles + ") ";
    if (account_battles_ < vehicle_battles_ && Mode() != kModeFallout) {
      AddMessage(result_.messages,
                 "ОШИБКА: " + counts + "меньше суммарного количества боёв на танках (" + vehicle_battles +
                     "). Вследствие этого, рейтинги рассчитаны приблизительно.",
                 context_.details_topic_url);
    } else if (account_battles_ > vehicle_battles_) {
      AddMessage(result_.messages,
                 "ПРЕДУПРЕЖДЕНИЕ: " + counts + "больше суммарного количества боёв на танках (" + vehicle_battles +
                     "). Вследствие этого, рейтинги могут быть рассчитаны неточно.",
                 context_.details_topic_url);
    }
  }

  // An account never updated is taken as updated now; a record without a name
  // gets the one searched for.
  void FillMissingFacts() {
    if (current_.Updated < EncodeDate(1990, 1, 1)) {
      const SnapshotClock clock = SnapshotClockAt(context_.Now());
      current_.Updated = clock.now - clock.zone_hours / 24.0;
    }
    FillMissingNickname();
  }

  void FillMissingNickname() {
    if (current_.Nickname.empty()) current_.Nickname = by_id_ ? account_id_ : request_.search_text;
  }

  void SaveSnapshot() {
    if (state_ != DataState::kFromNetwork) return;
    const std::string folder = AccountFolder();
    if (!PrepareFolder(context_.user_cache_folder, folder)) return;
    AccountSnapshotFacts facts;
    facts.last_battle = current_.LastBattle;
    facts.fewer_battles_than_vehicles = account_battles_ < vehicle_battles_;
    for (const std::string& problem :
         SaveAccountSnapshot(Files(), snapshot_, facts, folder, SnapshotClockAt(context_.Now()), context_.history,
                             account_id_)) {
      Message(problem);
    }
    // The days that fell out of the plain window move into the archive meanwhile.
    if (context_.history != nullptr) context_.history->Tend(account_id_);
  }

  // ---- the period view ----

  // Stored snapshots L (newest first) and N = PeriodDays:
  //   no letters: the current record against L[min(N, last)];
  //   "o": L[N - 1] (L[0] for N < 2) against L[N], one day of the strip;
  //   "b": L[N - 1] itself, its all-time state on that day.
  // When L holds no more than N snapshots, the period is the oldest one whatever
  // the letters say (the second record is then not needed and, when N - 1 lies
  // beyond L, not loaded). With no snapshot stored at all the period is the
  // current record, from the account's creation.
  void LoadPeriod() {
    StoredSnapshots& stored = result_.stored;
    const ADateArr& dates = stored.dates();
    const auto days = static_cast<size_t>(request_.PeriodDays);
    const std::string& letters = request_.PeriodLetters;
    RWOTAccount& base = result_.base;
    RWOTAccount& period = result_.period;

    if (dates.empty()) {
      base = current_;
      period = current_;
      period.PeriodStart = period.Created;
      return;
    }
    const size_t j = OlderSideIndex(days, dates.size());
    std::unique_ptr<RWOTAccount> older = stored.Take(j);
    base = older != nullptr ? std::move(*older) : current_;
    if (dates.size() <= days) {
      period = base;
      period.PeriodStart = period.Created;
    } else if (letters == "b") {
      period = NewerSideOfLetteredView(days);
      SortVehiclesByBattles(period.Vehicles, Mode());
      period.PeriodStart = period.Created;
      base = current_;
    } else {
      period = letters == "o" ? PeriodDelta(NewerSideOfLetteredView(days), base, request_.interactive, Mode(), Ref())
                              : PeriodDelta(current_, base, request_.interactive, Mode(), Ref());
      period.PeriodStart = std::max(period.PeriodStart, dates[j]);
    }
  }

  // The snapshot a day nearer than the period's start ("o" and "b" views).
  RWOTAccount NewerSideOfLetteredView(size_t days) {
    std::unique_ptr<RWOTAccount> stored = result_.stored.Take(NewerSideIndex(days));
    return stored != nullptr ? std::move(*stored) : current_;
  }

  static size_t OlderSideIndex(size_t days, size_t count) { return std::min(days, count - 1); }
  static size_t NewerSideIndex(size_t days) { return days < 2 ? 0 : days - 1; }

  // The stored days LoadPeriod takes whole records of.
  std::vector<size_t> PeriodIndexes(size_t count) const {
    if (request_.PeriodDays < 1 || count == 0) return {};
    const auto days = static_cast<size_t>(request_.PeriodDays);
    std::vector<size_t> taken{OlderSideIndex(days, count)};
    const std::string& letters = request_.PeriodLetters;
    if (count > days && (letters == "o" || letters == "b")) taken.push_back(NewerSideIndex(days));
    return taken;
  }

  // The stored snapshots as they are after this search's own was saved. The
  // page's day strip will need the figures of the stored days other than
  // those of the period: they are read meanwhile on another thread.
  void ListStoredSnapshots() {
    StoredSnapshotSource source{context_.disk, context_.history,    AccountFolder(),     account_id_,
                                context_.legacy, Mode(), request_.interactive, context_.reference, true};
    StoredSnapshots& stored = result_.stored;
    stored = StoredSnapshots(std::move(source), CopyWithoutLists(current_));
    if (!request_.interactive) return;
    const std::vector<size_t> taken = PeriodIndexes(stored.dates().size());
    std::vector<size_t> strip_days;
    for (size_t day = 1; day <= kDayStripDays; ++day) {
      if (std::find(taken.begin(), taken.end(), day) == taken.end()) strip_days.push_back(day);
    }
    stored.PrepareModes(strip_days);
  }

  // ---- hand-over ----

  void Finish() {
    result_.snapshot_data = json::at(document_, "data");
    FillMissingNickname();
    if (request_.interactive && request_.PeriodDays <= 0) {
      LoaderMessages& messages = result_.messages;
      LoadNameHistory(context_, account_id_, current_, messages);
      LoadRoleHistory(context_, account_id_, request_.search_text, current_, messages);
      LoadReplays(context_, account_id_, request_.UpdateRequested, current_, messages);
      LoadLocation(context_, account_id_, request_.UpdateRequested, current_, messages);
    }
    for (RWOTAccount* other : {&result_.base, &result_.period}) {
      other->NameHistory = current_.NameHistory;
      other->ClanHistory = current_.ClanHistory;
    }
  }

  const AccountLoadRequest& request_;
  const LoaderContext& context_;
  AccountLoadResult& result_;
  RWOTAccount& current_;

  bool by_id_ = false;
  std::string account_id_;
  std::string nickname_;  // as the publisher's search spells it
  std::string clan_id_;
  DataState state_ = DataState::kFromNetwork;
  std::string snapshot_;   // the snapshot text: cached, or merged from the answers
  json::Value document_;   // snapshot_ decoded
  int64_t account_battles_ = 0;  // battles of the selected mode
  int64_t vehicle_battles_ = 0;  // the same summed over the vehicles
};

}  // namespace

std::string AccountRequestUrl(const LoaderContext& context, AccountRequest request, std::string_view account_ids) {
  return context.Url(context.urls.hosts.Api + std::string(PathOf(request)), {std::string(account_ids), ""}, {});
}

// The retries test whether an answer parses at all, whatever its encoding.
bool TakenAtFirstTry(std::string_view answer) { return json::parse(Cp1251ToUtf8(answer)).present(); }

AccountLoadResult LoadAccount(const AccountLoadRequest& request, const LoaderContext& context) {
  AccountLoadResult result;
  const SearchBudgetScope budget(context.fetch);
  AccountLoad load(request, context, result);
  result.result = load.Run();
  return result;
}

}  // namespace tarvelo
