#include "shell/loader_search_service.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "acquire/account_loader.h"
#include "acquire/clan_loader.h"
#include "acquire/clan_members.h"
#include "acquire/store/account_days.h"
#include "acquire/store/cache_layout.h"
#include "acquire/net/http_fetch.h"
#include "acquire/pictures.h"
#include "acquire/net/request_pacer.h"
#include "embedded.h"
#include "model/clan.h"
#include "model/reference.h"
#include "report/account_report.h"
#include "report/clan_report.h"
#include "shell/core_state.h"
#include "shell/main_window.h"
#include "shell/page_blocks.h"
#include "shell/settings_store.h"
#include "text/clock.h"

namespace tarvelo {

namespace {

// The small clan emblem is fetched again once a day.
constexpr double kEmblemDays = 1.0;

RequestLimits ReadRequestLimits(const SettingsStore& settings) {
  const RequestLimits defaults;
  return {settings.ReadSettingInt("", "RequestsPerSecond", defaults.per_second),
          settings.ReadSettingInt("", "RequestsInFlight", defaults.in_flight)};
}

class LoaderSearchService final : public SearchService {
 public:
  LoaderSearchService(const CoreState& core, const SettingsStore& settings, Disk& disk, Clock clock,
                      std::string program_file)
      : core_(core),
        settings_(settings),
        disk_(disk),
        clock_(std::move(clock)),
        program_file_(std::move(program_file)),
        getter_(MakeCurlHttpGetter()),
        paced_getter_(*getter_, pacer_, PacedApi()),
        paced_batch_getter_(*batch_getter_, pacer_, PacedApi()),
        fetch_(paced_getter_, ConnectionOf(core)),
        encyclopedia_(std::string(FindResource("TanksInfo"))) {}

  bool LoadAccount(const SearchRequest& request, LoaderMessages& messages) override {
    const ReportView& view = request.view;
    AccountLoadRequest load{request.text, request.update, view.days, view.letters, true};
    account_ = tarvelo::LoadAccount(load, Context(view.mode));
    messages.insert(messages.end(), account_.messages.begin(), account_.messages.end());
    if (!account_.result) account_ = {};
    return account_.result;
  }

  std::string LoadedAccountName() const override { return account_.current.Nickname; }

  ReportPage AccountReportHtml(const ReportView& view) override {
    // The loader compares snapshots for a positive number of days only.
    const bool period = view.days > 0;
    const RWOTAccount& current = account_.current;
    const AccountLayout layout = AccountLayoutForDays(view.days);
    const RSettings row_state = BuildRowState(layout, view.mode);
    const ReportSite site = Site();
    const std::string emblem = RefreshedClanEmblem(current.ClanId);
    RefreshVehiclePictures(period ? account_.period : current);
    StoredSnapshots& stored = account_.stored;
    const std::vector<StoredDay> strip_days = stored.StripDays();
    const DateTime now = clock_();
    const AccountReportInput input{
        .shown = period ? account_.period : current,
        .current = current,
        .base = period ? account_.base : current,
        .layout = layout,
        .row_state = row_state,
        .view = view,
        .clock = {now, -StandardTimeBiasMinutes() / 60},
        .site = site,
        .fame = {InsideCampaignWindow(DateOf(now)), Campaign().title, account_.fame, account_.clan_fame},
        .clan_emblem_file = emblem,
        .vehicle_images_folder = core_.VehicleImagesFolder,
        .history_emblem_files = HistoryEmblemFiles(current.ClanHistory),
        .dates = stored.dates(),
        .strip_days = strip_days,
        .rating_name = core_.RatingName,
        .document = account_.snapshot_data,
        .reference = Reference(),
        .history = StoredHistory(current.AccountId, view),
    };
    AccountReportResult report = AccountReport(input);
    LoaderMessages notice = account_.notice;
    for (const DateTime date : stored.DamagedDays()) AddMessage(notice, DamagedDayMessage(date));
    return {WrapMessages(notice) + report.html, std::move(report.layout_errors)};
  }

  bool LoadClan(const SearchRequest& request, LoaderMessages& messages) override {
    ClanLoadRequest load{request.text, request.update, request.view.days};
    clan_ = tarvelo::LoadClan(load, Context(request.view.mode));
    messages.insert(messages.end(), clan_.messages.begin(), clan_.messages.end());
    if (!clan_.result) clan_ = {};
    return clan_.result;
  }

  std::string LoadedClanTag() const override { return clan_.clan.tag; }
  std::string LoadedClanName() const override { return clan_.clan.name; }

  std::string ClanReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    return ClanPageHtml(view, update, progress, MakeClanMembersPage);
  }
  std::string TopTanksReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    return ClanPageHtml(view, update, progress, MakeClanTopTanksPage);
  }
  std::string ClanActivityHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    const ClanReportInput input = ClanInput(view, update);
    const ClanActivityOptions options{settings_.ReadSettingInt("", "ActiveBattles", ClanActivityOptions{}.active_battles),
                                      core_.history != nullptr && core_.history->available()};
    ClanActivityPage page(input, options);
    const std::string warning = CollectMembers(view, update, true, progress, [&](const CollectedMember& member) {
      page.AddMember({member.record, member.activity});
    });
    LoaderMessages notice = clan_.notice;
    AddMessage(notice, warning);
    return WrapMessages(notice) + page.Finish(static_cast<int>(clan_.clan.members.size()));
  }

 private:
  // The publisher's API is asked no more often than the settings allow.
  PacedAddress PacedApi() const {
    return [this](std::string_view url) {
      const std::string api = FillRegion(core_.urls.hosts.Api, core_.urls.region);
      return url.starts_with(api + "/wot/") || url.starts_with(api + "/wgn/");
    };
  }

  // The selected mode's figures on every stored day, for the history charts of the full layout.
  std::vector<SummaryDay> StoredHistory(const std::string& account_id, const ReportView& view) const {
    if (core_.history == nullptr || view.days < 0 || !IsDecimalId(account_id)) return {};
    return core_.history->Summaries(account_id, view.mode);
  }

  LoaderContext Context(int mode) {
    fetch_.set_settings(ConnectionOf(core_));
    pacer_.set_limits(ReadRequestLimits(settings_));

    LoaderContext context;
    context.fetch = &fetch_;
    context.disk = &disk_;
    context.history = core_.history;
    context.clock = clock_;
    context.urls = core_.urls;
    context.user_cache_folder = core_.UserCacheFolder;
    context.clan_cache_folder = core_.ClanCacheFolder;
    context.mode_index = mode;
    context.reference = &Reference();
    context.legacy.encyclopedia = &encyclopedia_;
    context.legacy.game_portal = FillRegion(core_.urls.hosts.GamePortal, core_.urls.region);
    context.details_topic_url = ReadLinks(settings_).InconsistentBattlesTopic;
    return context;
  }

  using ClanPageMaker = std::unique_ptr<ClanPage> (*)(const ClanReportInput&);

  FameView ClanFameView(DateTime now) const {
    FameView fame;
    fame.inside_window = InsideCampaignWindow(DateOf(now));
    fame.title = Campaign().title;
    fame.clan = clan_.fame;
    return fame;
  }

  // What every clan page is made from: the loaded clan and its cached days.
  ClanReportInput ClanInput(const ReportView& view, bool update) {
    const RWOTClan& clan = clan_.clan;
    const DateTime now = clock_();
    site_ = Site();
    return ClanReportInput{
        .clan = clan,
        .clan_dates = ListSnapshotDates(disk_, EntityFolderOf(core_.ClanCacheFolder, clan.clan_id)),
        .view = view,
        .clock = {now, -StandardTimeBiasMinutes() / 60},
        .site = site_,
        .fame = ClanFameView(now),
        .clan_emblem_file = RefreshedClanEmblem(clan.clan_id, update),
        .game_client_account = core_.GameClientAccount,
        .reference = Reference(),
    };
  }

  // The page `make` gives, with the loaded clan's members.
  std::string ClanPageHtml(const ReportView& view, bool update, const ProgressCallback& progress,
                           ClanPageMaker make) {
    const ClanReportInput input = ClanInput(view, update);
    const std::unique_ptr<ClanPage> page = make(input);
    LoaderMessages notice = clan_.notice;
    AddMessage(notice, CollectMembers(view, update, false, progress, [&](const CollectedMember& member) {
                 page->AddMember({member.record, member.has_statistics, member.left_out, member.compared, member.fame});
               }));
    return WrapMessages(notice) + page->Finish(static_cast<int>(clan_.clan.members.size()));
  }

  // Collects the loaded clan's members, handing each to `add`; the warning
  // about the members the API could not be reached for, when there were any.
  std::string CollectMembers(const ReportView& view, bool update, bool stored_days_only,
                             const ProgressCallback& progress, const std::function<void(const CollectedMember&)>& add) {
    const RWOTClan& clan = clan_.clan;
    LoaderContext context = Context(view.mode);
    ClanMembersRequest request{update, view.days, static_cast<size_t>(pacer_.limits().in_flight)};
    request.stored_days_only = stored_days_only;
    // "BatchedRequests=0" collects the members one by one, each with its own requests.
    if (settings_.ReadSettingInt("", "BatchedRequests", 1) != 0) {
      member_fetch_.emplace(paced_batch_getter_, ConnectionOf(core_));
      context.batch_fetch = &*member_fetch_;
    }
    std::string unreachable_host;
    int unrefreshed = 0;
    const int collected =
        CollectClanMembers(clan, request, context, [&](const CollectedMember& member, int current, int total) {
          add(member);
          if (!member.unreachable_host.empty()) {
            unreachable_host = member.unreachable_host;
            ++unrefreshed;
          }
          return progress(clan.tag, member.record.Nickname, current, total);
        });
    return UnrefreshedMembersWarning(unreachable_host, unrefreshed, collected);
  }

  ReportSite Site() const {
    return {core_.urls.hosts.Site, program_file_, core_.urls, ReadLinks(settings_).sites};
  }

  // The local file of the clan's small emblem, fetched when missing, a day old
  // or on an update request.
  std::string RefreshedClanEmblem(const std::string& clan_id, bool update = false) {
    if (clan_id.empty() || clan_id == "0") return {};
    const std::string file = ClanEmblemFile(core_.ClanImagesFolder, clan_id);
    const std::string clan_portal = FillRegion(core_.urls.hosts.ClanPortal, core_.urls.region);
    RefreshPicture(disk_, fetch_, ClanEmblemAddress(clan_portal, clan_id, "24x24"), file, update ? 0.0 : kEmblemDays,
                   clock_());
    return file;
  }

  // The small emblems of the history's clans that are already on disk; the
  // others are shown from the clan portal.
  std::map<std::string, std::string, std::less<>> HistoryEmblemFiles(const AClanRoles& history) const {
    std::map<std::string, std::string, std::less<>> files;
    for (const RClanRole& role : history) {
      if (role.clan_id.empty() || files.contains(role.clan_id)) continue;
      std::string file = ClanEmblemFile(core_.ClanImagesFolder, role.clan_id);
      if (disk_.Facts(file)) files.emplace(role.clan_id, std::move(file));
    }
    return files;
  }

  // The pictures of every vehicle of the shown record (the page can filter to
  // any of them), fetched side by side when missing or old.
  void RefreshVehiclePictures(const RWOTAccount& shown) {
    HttpBatchFetch fetch(paced_batch_getter_, ConnectionOf(core_));
    tarvelo::RefreshVehiclePictures(disk_, fetch, shown.Vehicles, core_.VehicleImagesFolder, core_.urls, clock_());
  }

  const CoreState& core_;
  const SettingsStore& settings_;
  Disk& disk_;
  Clock clock_;
  std::string program_file_;
  RequestPacer pacer_;
  std::unique_ptr<HttpGetter> getter_;
  std::unique_ptr<HttpBatchGetter> batch_getter_ = MakeCurlBatchGetter();
  PacedHttpGetter paced_getter_;
  PacedBatchGetter paced_batch_getter_;
  HttpFetch fetch_;
  std::optional<HttpBatchFetch> member_fetch_;
  EncyclopediaText encyclopedia_;
  AccountLoadResult account_;
  ClanLoadResult clan_;
  ReportSite site_;  // of the clan page being made
};

}  // namespace

std::unique_ptr<SearchService> MakeLoaderSearchService(const CoreState& core, const SettingsStore& settings, Disk& disk,
                                                       Clock clock, std::string program_file) {
  return std::make_unique<LoaderSearchService>(core, settings, disk, std::move(clock), std::move(program_file));
}

}  // namespace tarvelo
