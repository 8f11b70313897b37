// The main window's logic: settings, start-up request, the command bridge of page
// titles, the search dispatch and the pages shown. The screen itself is a FrontEnd.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/core_state.h"
#include "shell/environment.h"
#include "shell/front_end.h"
#include "report/link_lists.h"
#include "report/report_view.h"
#include "shell/page_blocks.h"
#include "shell/reference_refresher.h"
#include "shell/search_options.h"
#include "shell/search_service.h"
#include "shell/settings_store.h"
#include "text/russian.h"

namespace tarvelo {

class SelfUpdate;

inline constexpr std::string_view kApplicationTitle = "Tarvelo";
// Shown on the start page for a search without a name.
inline constexpr std::string_view kEmptySearchMessage = "Введите имя игрока или [тег клана].";
// Shown for a player name beginning with "-", which is never sent to the API.
inline constexpr std::string_view kDashNameMessage = "Имя игрока не может начинаться со знака «-».";

// What the window keeps between commands.
struct MainWindowState {
  std::string ProxySetting;
  std::string FontNameSetting;  // empty: the desktop's default font
  int FontSizeSetting = 12;
  int UpdateHours = 6;
  DateTime UpdateLastCheck = 0;
  int SavedLeft = 0;
  int SavedTop = 0;
  int SavedWidth = 0;
  int SavedHeight = 0;
  int SavedState = 0;  // 0 normal, 1 minimised, 2 maximised
  std::string CurrentAccount;
  std::string SearchText;
  std::string CurrentClanTag;
  // The battle mode and period of the last search: CurrentDays is its days,
  // CurrentPeriodLetters its letters.
  ReportView CurrentView;
  std::string LastTitle;
  DateTime LastTitleTime = 0;
  bool UpdateAvailable = false;
  std::string UpdateNotes;
  DateTime RemoteVersionDate = 0;
  std::string StyleText;
  std::string FlagsStyleText;
  std::string ScriptText;
};

// Addresses that are only linked to, never fetched ([Links] settings).
struct LinkSettings {
  std::string ForumTopic = "https://forum.worldoftanks.ru/";
  std::string ForumQuestions = "https://forum.worldoftanks.ru/";
  // Why the battles of an account and of its vehicles may disagree.
  std::string InconsistentBattlesTopic = "https://forum.worldoftanks.ru/";
  // The game wiki: an achievement's article is this address followed by its name.
  std::string Wiki = "http://wiki.wargaming.net/ru/";
  LinkSites sites;  // the statistics sites of the report's link lists
};
LinkSettings ReadLinks(const SettingsStore& settings);

class TfrmMain {
 public:
  // `arguments` is the command line without the program name.
  TfrmMain(FrontEnd& screen, CoreState& core, const Environment& environment, const SettingsStore& settings,
           SearchService& service, std::vector<std::string> arguments, Clock clock, Disk& disk);

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void tmStartTimer();
  void tmUpdateTimer();
  // The weekly refresh of the reference documents, in the background.
  void tmReferenceTimer();
  void webInfoTitleChange(const std::string& title);

  void doSearchAccount(const SearchRequest& request);
  void doSearchClan(const SearchRequest& request);
  void ShowAccountReport(const LoaderMessages& messages);
  void ShowClanReport(const LoaderMessages& messages, bool update);
  bool ReportProgress(std::string_view clan_tag, std::string_view member, int current, int total);
  void OpenNewInstance(const std::string& parameters);

  void LoadSettings();
  void SaveSettings();

  void ShowPage(std::string_view body);
  // The start page; `message`, when given, stands under the search form, in the
  // colour of errors unless `error` is false.
  std::string StartPageBody(std::string_view message = {}, bool error = true);
  std::string SearchFormHtml(std::string_view text);

  const MainWindowState& state() const { return state_; }
  MainWindowState& state() { return state_; }

 private:
  struct Command {
    std::string_view name;
    void (TfrmMain::*run)(const std::string& parameter, bool update);
  };
  static const Command kCommands[];

  // Runs `work` marked busy, then the command deferred meanwhile, if any.
  void RunAsWork(const std::function<void()>& work);
  void RunStartUpRequest();
  void CheckForUpdate();

  void CommandSearch(const std::string& request, bool update);
  void CommandBrowse(const std::string& url, bool update);
  void CommandAddFavorite(const std::string& entry, bool update);
  void CommandDeleteFavorite(const std::string& entry, bool update);
  void ShowListsAsStored();
  void CommandBreak(const std::string& parameter, bool update);
  void CommandHome(const std::string& parameter, bool update);
  void CommandUpdate(const std::string& forum_address, bool update);
  void CommandRefreshReference(const std::string& parameter, bool update);
  ReferenceFacts CurrentReferenceFacts() const;

  // Marks the window busy for its lifetime: a command that arrives meanwhile (while a
  // search waits for the network) waits for the work to end, except the few
  // RunsDuringWork allows; of several such, only the last one runs.
  class Busy {
   public:
    explicit Busy(bool& busy) : busy_(busy), was_(busy) { busy_ = true; }
    ~Busy() { busy_ = was_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    bool& busy_;
    bool was_;
  };
  static bool RunsDuringWork(std::string_view command);

  // What goes around the body of every page: style sheets, script, addresses, notice, log.
  PageFrame CurrentFrame() const;
  bool IsRepeatedTitle(const std::string& title);
  void DispatchCommand(const std::string& command, const std::string& parameter, bool update);
  void OpenExternalUrl(const std::string& url);
  void RunSelfUpdate();
  SelfUpdate Updater() const;
  void RememberUpdateCheck();
  void RunCommandLineRequest(std::string argument);
  void LoadFavoritesOnStart(const ReportView& view);
  void FinishCommandLine();
  WindowRect SavedBounds() const;
  void ReapplySavedGeometry();
  void KeepOnDesktop();
  void PreparePageAssets();
  void FindDefaultAccount();
  std::string FirstArgument() const;
  std::string WholeCommandLineUpper() const;
  std::string UpdateNotice() const;

  FrontEnd& screen_;
  CoreState& core_;
  const Environment& environment_;
  const SettingsStore& settings_;
  SearchService& service_;
  std::vector<std::string> arguments_;
  Clock clock_;
  Disk& disk_;
  LinkSettings links_;
  MainWindowState state_;
  std::string shown_body_;  // the body of the page shown last
  int progress_max_ = 100;
  bool busy_ = false;  // a command, the start-up request or the update check is running
  // The last command that came while busy (other than "break" and "browse"): run when the work ends.
  std::optional<std::string> deferred_title_;
  ReferenceRefresher reference_refresher_;  // last: its background work ends before the rest goes
};

}  // namespace tarvelo
