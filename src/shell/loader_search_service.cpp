#include "shell/loader_search_service.h"

#include <string>
#include <utility>

#include "acquire/account_loader.h"
#include "acquire/clan_loader.h"
#include "acquire/http_fetch.h"
#include "embedded.h"
#include "model/reference.h"
#include "shell/core_state.h"
#include "shell/main_window.h"
#include "shell/settings_store.h"

namespace tarvelo {

namespace {

class LoaderSearchService final : public SearchService {
 public:
  LoaderSearchService(const CoreState& core, const SettingsStore& settings)
      : core_(core),
        settings_(settings),
        getter_(MakeCurlHttpGetter()),
        fetch_(*getter_, ConnectionOf(core)),
        encyclopedia_(std::string(FindResource("TanksInfo"))) {}

  bool LoadAccount(const SearchRequest& request, std::string& messages) override {
    AccountLoadRequest load{request.text, request.update, request.days, request.letters, true};
    account_ = tarvelo::LoadAccount(load, Context());
    messages += account_.MessageText;
    if (!account_.result) account_ = {};
    return account_.result;
  }

  std::string LoadedAccountName() const override { return account_.current.Nickname; }

  // UNFINISHED: the account report comes with the report pages; until then the
  // page shows the frame, search form, navigation and messages only.
  std::string AccountReportHtml(int) override { return {}; }

  bool LoadClan(const SearchRequest& request, std::string& messages) override {
    ClanLoadRequest load{request.text, request.update, request.days};
    clan_ = tarvelo::LoadClan(load, Context());
    messages += clan_.MessageText;
    if (!clan_.result) clan_ = {};
    return clan_.result;
  }

  std::string LoadedClanTag() const override { return clan_.clan.tag; }
  std::string LoadedClanName() const override { return clan_.clan.name; }

  // UNFINISHED: the clan reports come with the report pages.
  std::string ClanReportHtml(int, bool, const ProgressCallback&) override { return {}; }
  std::string TopTanksReportHtml(int, int, bool, const ProgressCallback&) override { return {}; }

 private:
  LoaderContext Context() {
    fetch_.set_settings(ConnectionOf(core_));

    LoaderContext context;
    context.fetch = &fetch_;
    context.urls = core_.urls;
    context.user_cache_folder = core_.UserCacheFolder;
    context.clan_cache_folder = core_.ClanCacheFolder;
    context.mode_index = core_.ModeIndex;
    context.reference = &Reference();
    context.legacy.encyclopedia = &encyclopedia_;
    context.legacy.game_portal = FillRegion(core_.urls.hosts.GamePortal, core_.urls.region);
    context.details_topic_url = ReadLinks(settings_).InconsistentBattlesTopic;
    return context;
  }

  const CoreState& core_;
  const SettingsStore& settings_;
  std::unique_ptr<HttpGetter> getter_;
  HttpFetch fetch_;
  EncyclopediaText encyclopedia_;
  AccountLoadResult account_;
  ClanLoadResult clan_;
};

}  // namespace

std::unique_ptr<SearchService> MakeLoaderSearchService(const CoreState& core, const SettingsStore& settings) {
  return std::make_unique<LoaderSearchService>(core, settings);
}

}  // namespace tarvelo
