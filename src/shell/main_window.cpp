#include "shell/main_window.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "acquire/net/http_fetch.h"
#include "acquire/store/reference_files.h"
#include "model/reference.h"
#include "shell/entry_lists.h"
#include "report/scales.h"
#include "shell/game_client.h"
#include "shell/self_update.h"
#include "text/debug_log.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kMainWindowSection = "MainWindow";
// The encyclopedia's large vehicle pictures on the API host, named as the small ones of
// its "contour/" folder.
constexpr std::string_view kLargeVehiclePicturesPath = "/static/2.50.0/wot/encyclopedia/vehicle/";

bool SameIgnoringCase(std::string_view a, std::string_view b) { return UpperCase(a) == UpperCase(b); }

}  // namespace

LinkSettings ReadLinks(const SettingsStore& settings) {
  LinkSettings links;
  links.ForumTopic = settings.ReadSettingStr("Links", "ForumTopic", links.ForumTopic);
  links.ForumQuestions = settings.ReadSettingStr("Links", "ForumQuestions", links.ForumQuestions);
  LinkSites& sites = links.sites;
  for (auto [key, site] : {std::pair{"Kttc", &sites.Kttc}, std::pair{"WotNews", &sites.WotNews},
                           std::pair{"Noobmeter", &sites.Noobmeter}, std::pair{"Nubomer", &sites.Nubomer},
                           std::pair{"ArmorSite", &sites.ArmorSite}}) {
    *site = settings.ReadSettingStr("Links", key, *site);
  }
  links.InconsistentBattlesTopic =
      settings.ReadSettingStr("Links", "InconsistentBattlesTopic", links.InconsistentBattlesTopic);
  links.Wiki = settings.ReadSettingStr("Links", "Wiki", links.Wiki);
  return links;
}

TfrmMain::TfrmMain(FrontEnd& screen, CoreState& core, const Environment& environment, const SettingsStore& settings,
                   SearchService& service, std::vector<std::string> arguments, Clock clock, Disk& disk)
    : screen_(screen),
      core_(core),
      environment_(environment),
      settings_(settings),
      service_(service),
      arguments_(std::move(arguments)),
      clock_(std::move(clock)),
      disk_(disk),
      reference_refresher_(disk_, clock_) {}

std::string TfrmMain::FirstArgument() const { return arguments_.empty() ? std::string() : arguments_.front(); }

std::string TfrmMain::WholeCommandLineUpper() const {
  std::string line;
  for (const std::string& argument : arguments_) line += (line.empty() ? "" : " ") + argument;
  return UpperCase(line);
}

void TfrmMain::FormCreate() {
  state_.LastTitleTime = clock_();
  state_.UpdateAvailable = false;
  state_.CurrentView = {};
  links_ = ReadLinks(settings_);
  LoadSettings();
  PreparePageAssets();
  FindDefaultAccount();

  std::string first = Trim(FirstArgument());
  bool first_is_switch = SameIgnoringCase(first, "/F") || SameIgnoringCase(first, "/Q") ||
                         SameIgnoringCase(first, "/UPDATED:OK");
  state_.SearchText = first.empty() || first_is_switch ? state_.CurrentAccount : first;

  // A request on the command line follows in a moment: show an empty page until then.
  if (!first.empty() && !SameIgnoringCase(first, "/UPDATED:OK")) {
    ShowPage("");
  } else {
    ShowPage(StartPageBody());
  }
}

void TfrmMain::PreparePageAssets() {
  std::string exe_path = ReplaceAll(environment_.executable, "\\", "\\\\");
  std::string style = ReplaceAll(LoadTextResource("ResStyle"), "%FontSize%", std::to_string(state_.FontSizeSetting));
  const std::string& font = state_.FontNameSetting;
  style = ReplaceAll(style, "%FontName%", font.empty() ? screen_.DefaultFontFamily() : font);
  state_.StyleText = ReplaceAll(style, "%ExePath%", exe_path);
  state_.FlagsStyleText = ReplaceAll(LoadTextResource("ResStyleFlags"), "%ExePath%", exe_path);
  state_.ScriptText = LoadTextResource("ResScript");
}

void TfrmMain::FindDefaultAccount() {
  std::string file = GameClientPreferencesFile(environment_.app_data_folder);
  std::string account = ReadGameClientAccount(disk_, file, "scriptsPreferences>loginInfo>user", nullptr);
  if (account.empty()) {
    account = ReadGameClientAccount(disk_, file, "scriptsPreferences>accounts>account>login", &screen_);
  }
  if (account.empty()) {
    state_.CurrentAccount = settings_.ReadSettingStr("", "DefaultAccount", "");
    return;
  }
  state_.CurrentAccount = account.substr(0, account.find('\r'));
  core_.GameClientAccount = state_.CurrentAccount;
}

WindowRect TfrmMain::SavedBounds() const {
  return {state_.SavedLeft, state_.SavedTop, state_.SavedWidth, state_.SavedHeight};
}

// A window saved minimised comes back in its normal state.
void TfrmMain::FormShow() {
  screen_.PlaceWindow(SavedBounds());
  if (state_.SavedState != static_cast<int>(WindowState::Minimized)) {
    screen_.SetWindowState(static_cast<WindowState>(state_.SavedState));
  }
}

void TfrmMain::ReapplySavedGeometry() {
  if (state_.SavedState != static_cast<int>(WindowState::Minimized)) {
    screen_.SetWindowState(static_cast<WindowState>(state_.SavedState));
  }
  if (screen_.CurrentWindowState() != WindowState::Maximized) screen_.PlaceWindow(SavedBounds());
}

void TfrmMain::FormDestroy() { SaveSettings(); }

void TfrmMain::LoadSettings() {
  state_.ProxySetting = settings_.ReadSettingStr("", "Proxy", "");
  state_.FontNameSetting = settings_.ReadSettingStr("", "FontName", "");
  core_.urls = UrlsFromSettings(settings_);
  core_.RatingName = UpperCase(settings_.ReadSettingStr("", "Rating", "EFF"));
  core_.RatingScale = &MainRatingScale(core_.RatingName);
  state_.FontSizeSetting = settings_.ReadSettingInt("", "FontSize", 12);
  state_.UpdateLastCheck = settings_.ReadSettingReal("", "UpdateLastCheck", 0);
  state_.UpdateHours = 6;
  core_.proxy = ProxyFromSetting(state_.ProxySetting);
  core_.limits = LimitsFromSettings(settings_);

  WindowRect bounds = screen_.WindowBounds();
  state_.SavedLeft = settings_.ReadSettingInt(kMainWindowSection, "Left", bounds.left);
  state_.SavedTop = settings_.ReadSettingInt(kMainWindowSection, "Top", bounds.top);
  state_.SavedWidth = settings_.ReadSettingInt(kMainWindowSection, "Width", bounds.width);
  state_.SavedHeight = settings_.ReadSettingInt(kMainWindowSection, "Height", bounds.height);
  state_.SavedState = settings_.ReadSettingInt(kMainWindowSection, "State", 0);
  if (state_.SavedState != static_cast<int>(WindowState::Minimized)) KeepOnDesktop();
}

// Brings a window that lies (almost) off the desktop back, in this order of tests.
void TfrmMain::KeepOnDesktop() {
  WindowRect desktop = screen_.DesktopArea();
  int l = desktop.left, t = desktop.top, r = desktop.left + desktop.width, b = desktop.top + desktop.height;
  int& left = state_.SavedLeft;
  int& top = state_.SavedTop;
  int& width = state_.SavedWidth;
  int& height = state_.SavedHeight;
  if (left + width - 20 < l) left = l;
  if (top + height - 20 < t) top = t;
  if (r < left + 20) left = r - width;
  if (b < top + 20) top = b - height;
  if (r - l + 20 < width) width = r - l;
  if (b - t + 20 < height) height = b - t;
}

void TfrmMain::SaveSettings() {
  settings_.WriteSettingStr("", "Proxy", state_.ProxySetting);
  if (!state_.FontNameSetting.empty()) settings_.WriteSettingStr("", "FontName", state_.FontNameSetting);
  settings_.WriteSettingStr("", "Region", UpperCase(core_.urls.region));
  settings_.WriteSettingStr("", "Rating", UpperCase(core_.RatingName));
  settings_.WriteSettingInt("", "FontSize", state_.FontSizeSetting);
  settings_.WriteSettingInt("", "UpdateHours", 6);
  WindowState window_state = screen_.CurrentWindowState();
  settings_.WriteSettingInt(kMainWindowSection, "State", static_cast<int>(window_state));
  if (window_state == WindowState::Maximized) return;
  WindowRect bounds = screen_.WindowBounds();
  settings_.WriteSettingInt(kMainWindowSection, "Left", bounds.left);
  settings_.WriteSettingInt(kMainWindowSection, "Top", bounds.top);
  settings_.WriteSettingInt(kMainWindowSection, "Width", bounds.width);
  settings_.WriteSettingInt(kMainWindowSection, "Height", bounds.height);
}

void TfrmMain::tmStartTimer() { RunAsWork([this] { RunStartUpRequest(); }); }

void TfrmMain::RunStartUpRequest() {
  ReapplySavedGeometry();
  std::string argument = Trim(FirstArgument());
  ClearDebugLog();
  SetDebugEnabled(false);
  SetDebugFileEnabled(false);
  if (!argument.empty()) {
    RunCommandLineRequest(std::move(argument));
    FinishCommandLine();
  }
}

void TfrmMain::RunCommandLineRequest(std::string argument) {
  // "&debugfile" is looked for first, so that it alone does not switch the page log on.
  if (argument.find("&debugfile") != std::string::npos) {
    SetDebugFileEnabled(true);
    SetDebugFileName(core_.CacheFolder + "/debug.txt");
    argument = ReplaceAll(argument, "&debugfile", "");
  }
  if (argument.find("&debug") != std::string::npos) {
    SetDebugEnabled(true);
    argument = ReplaceAll(argument, "&debug", "");
  }
  DebugLog("Строка параметров: " + argument);

  SearchRequest request = ParseSearchRequest(argument, false);
  if (request.clan) {
    request.update = TakeOutOption(request.text, kUpdateOption);
    doSearchClan(request);
    return;
  }
  std::string& name = request.text;
  if (SameIgnoringCase(name, "/F")) {
    LoadFavoritesOnStart(request.view);
  } else if (!name.starts_with("/")) {
    request.update = TakeOutOption(name, kUpdateOption);
    name = name.substr(0, name.find(' '));
    name = name.substr(0, name.find('+'));
    if (name.empty()) {
      ShowPage(StartPageBody());
    } else {
      doSearchAccount(request);
    }
  }
}

void TfrmMain::LoadFavoritesOnStart(const ReportView& view) {
  std::vector<std::string> favorites = ReadList(settings_, kFavorites);
  if (favorites.empty()) {
    if (WholeCommandLineUpper().find("/Q") == std::string::npos) {
      screen_.ShowBox(BoxKind::Error, "Автозагрузка избранных", "Список избранных пуст.");
      ShowPage(StartPageBody());
    }
    return;
  }
  std::stable_sort(favorites.begin(), favorites.end(), EntryOrder);
  for (const std::string& entry : favorites) doSearchAccount({entry, false, false, view});
}

void TfrmMain::FinishCommandLine() {
  std::string command_line = WholeCommandLineUpper();
  if (command_line.find("/Q") != std::string::npos) {
    screen_.Quit();
  } else if (command_line.find("/UPDATED:OK") != std::string::npos) {
    RememberUpdateCheck();
    disk_.Remove(environment_.executable + ".old");
    screen_.ShowBox(BoxKind::Information, "Обновление программы", "Программа успешно обновлена.");
  }
}

void TfrmMain::RememberUpdateCheck() {
  state_.UpdateLastCheck = clock_();
  settings_.WriteSettingReal("", "UpdateLastCheck", state_.UpdateLastCheck);
}

SelfUpdate TfrmMain::Updater() const {
  return SelfUpdate(disk_, MakeCurlHttpGetter(), ConnectionOf(core_),
                    FillRegion(core_.urls.hosts.Site, core_.urls.region), environment_.executable);
}

// A newer build is looked for again at every start until it is installed.
void TfrmMain::tmUpdateTimer() { RunAsWork([this] { CheckForUpdate(); }); }

void TfrmMain::CheckForUpdate() {
  if (!UpdateCheckDue(clock_(), state_.UpdateLastCheck, state_.UpdateHours)) return;
  SiteBuild build = Updater().Check();
  if (build.dated) state_.RemoteVersionDate = build.date;
  state_.UpdateAvailable = build.newer;
  if (!build.newer) {
    RememberUpdateCheck();
    return;
  }
  state_.UpdateNotes = build.notes;
  ShowPage(shown_body_);  // the frame puts the notice in front of it
}

void TfrmMain::tmReferenceTimer() {
  const ReferencePlace place = ReferencePlaceOf(core_, environment_);
  if (!reference_refresher_.Due(place)) return;
  ConnectionSettings connection = ConnectionOf(core_);
  connection.wait = nullptr;  // the background refresh keeps to its own thread
  if (reference_refresher_.StartInBackground(place, connection)) DebugLog("Обновление справочников начато в фоне.");
}

void TfrmMain::RunSelfUpdate() {
  screen_.SetCursor(Cursor::Wait);
  screen_.ProcessPendingEvents();
  std::optional<UpdateFailure> failure = Updater().Install(state_.CurrentAccount);
  screen_.SetCursor(Cursor::Normal);
  screen_.ProcessPendingEvents();
  if (failure) {
    screen_.ShowBox(BoxKind::Error, "Ошибка", UpdateErrorText(*failure));
    return;
  }
  SaveSettings();
  std::vector<std::string> arguments = arguments_;
  arguments.emplace_back("/UPDATED:OK");
  if (!screen_.StartProgram(environment_.executable, arguments)) {
    screen_.ShowBox(BoxKind::Error, "Ошибка", kNotRestartedText);
    return;
  }
  screen_.Quit();
}

std::string TfrmMain::UpdateNotice() const {
  return "<a href=\"" + links_.ForumTopic +
         "\" id=\"update\" onclick=\"return doCmd('update',this.href)\" title=\"Нажмите, чтобы обновить "
         "программу\">Внимание!&nbsp;Доступна&nbsp;новая&nbsp;версия&nbsp;Tarvelo...</a>";
}

void TfrmMain::ShowPage(std::string_view body) {
  shown_body_ = std::string(body);
  screen_.ShowDocument(PageDocument(CurrentFrame(), shown_body_), environment_.program_folder);
  screen_.ProcessPendingEvents();
}

PageFrame TfrmMain::CurrentFrame() const {
  PageFrame frame;
  frame.style = state_.StyleText;
  frame.flags_style = state_.FlagsStyleText;
  frame.script = state_.ScriptText;
  frame.vehicle_pictures_address = FillRegion(core_.urls.hosts.Api, core_.urls.region) +
                                   std::string(kLargeVehiclePicturesPath);
  frame.wiki_address = links_.Wiki;
  std::string user_style = environment_.working_folder + "tarvelo.css";
  if (!environment_.working_folder.empty() && disk_.Facts(user_style)) {
    frame.user_style = ReplaceAll(user_style, "\\", "\\\\");
  }
  if (state_.UpdateAvailable) frame.update_notice = UpdateNotice();
  frame.show_debug_log = DebugEnabled();
  if (frame.show_debug_log) frame.debug_log = DebugLogText();
  return frame;
}

std::string TfrmMain::SearchFormHtml(std::string_view text) {
  return SearchForm(ListsPopupContent(settings_), text);
}

std::string TfrmMain::StartPageBody(std::string_view message, bool error) {
  StartPageLinks links;
  links.questions_and_answers = links_.ForumQuestions;
  links.wotreplays = FillRegion(core_.urls.hosts.Replays, core_.urls.region);
  links.wotext = FillRegion(core_.urls.hosts.Location, core_.urls.region);
  links.kttc = links_.sites.Kttc;
  links.ivanerr = FillRegion(core_.urls.hosts.Alliance, core_.urls.region);
  std::string shown_message =
      message.empty() ? std::string() : (error ? "<p class=\"r\">" : "<p>") + std::string(message) + "</p>\r\n";
  return std::string(kBodyStart) + SearchFormHtml(state_.SearchText) + shown_message + IntroductionBlock(links) +
         ReferenceBlock(CurrentReferenceFacts()) + PartnersBlock(links);
}

ReferenceFacts TfrmMain::CurrentReferenceFacts() const {
  ReferenceFacts facts;
  facts.vehicles_version = Reference().VehiclesVersion();
  facts.expected_version = Reference().ExpectedVersion();
  facts.last_refresh = LastReferenceRefresh(disk_, ReferenceFolder(environment_.data_folder)).value_or(0);
  facts.refreshing = reference_refresher_.Busy();
  return facts;
}

}  // namespace tarvelo
