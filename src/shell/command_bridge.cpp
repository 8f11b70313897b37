// Pages talk to the program by setting their title to "[CMD:]command[PRM:]parameter";
// this is where such titles are read and the searches they ask for are run.
#include <string>

#include "model/reference.h"
#include "report/html.h"
#include "shell/entry_lists.h"
#include "shell/main_window.h"
#include "shell/search_options.h"
#include "shell/self_update.h"
#include "text/debug_log.h"
#include "text/encoding.h"
#include "text/replace.h"
#include "text/web_address.h"

namespace tarvelo {

namespace {

constexpr std::string_view kCommandMarker = "[CMD:]";
constexpr std::string_view kParameterMarker = "[PRM:]";
constexpr DateTime kOneSecond = 1.0 / 86400.0;

}  // namespace

const TfrmMain::Command TfrmMain::kCommands[] = {
    {"search", &TfrmMain::CommandSearch},     {"browse", &TfrmMain::CommandBrowse},
    {"addfav", &TfrmMain::CommandAddFavorite}, {"delfav", &TfrmMain::CommandDeleteFavorite},
    {"break", &TfrmMain::CommandBreak},       {"home", &TfrmMain::CommandHome},
    {"update", &TfrmMain::CommandUpdate},     {"refdata", &TfrmMain::CommandRefreshReference},
};

// The browser may report one title several times: a repeat within a second of the
// last report is dropped, and every report, dropped or not, restarts that second.
bool TfrmMain::IsRepeatedTitle(const std::string& title) {
  DateTime now = clock_();
  bool repeated = title == state_.LastTitle && now - state_.LastTitleTime < kOneSecond;
  state_.LastTitleTime = now;
  return repeated;
}

// Only a break and opening a link in the browser can run while other work waits:
// nothing runs two loaders, or replaces the page of a search still under way.
bool TfrmMain::RunsDuringWork(std::string_view command) { return command == "break" || command == "browse"; }

void TfrmMain::webInfoTitleChange(const std::string& title) {
  if (IsRepeatedTitle(title)) return;
  size_t marker = title.find(kCommandMarker);
  if (marker == std::string::npos) return;

  std::string command = title.substr(marker + kCommandMarker.size());
  std::string parameter;
  if (size_t separator = command.find(kParameterMarker); separator != std::string::npos) {
    parameter = command.substr(separator + kParameterMarker.size());
    command.resize(separator);
  }
  bool update = TakeOutOption(command, kUpdateOption) || TakeOutOption(parameter, kUpdateOption);
  if (busy_ && !RunsDuringWork(command)) {
    DebugLog("Команда отложена до конца текущей работы: " + title);
    deferred_title_ = title;
    return;
  }
  state_.LastTitle = title;
  if (busy_) {
    DispatchCommand(command, parameter, update);  // the log of the work under way stays
    return;
  }
  RunAsWork([&] {
    ClearDebugLog();
    DispatchCommand(command, parameter, update);
  });
}

void TfrmMain::RunAsWork(const std::function<void()>& work) {
  {
    Busy busy(busy_);
    work();
  }
  if (busy_ || !deferred_title_) return;
  // The last command that arrived meanwhile runs now, as if it had just come.
  const std::string title = std::move(*deferred_title_);
  deferred_title_.reset();
  state_.LastTitle.clear();
  webInfoTitleChange(title);
}

void TfrmMain::DispatchCommand(const std::string& command, const std::string& parameter, bool update) {
  for (const Command& entry : kCommands) {
    if (entry.name == command) {
      (this->*entry.run)(parameter, update);
      return;
    }
  }
}

void TfrmMain::CommandSearch(const std::string& request_text, bool update) {
  if (Trim(request_text).empty()) {
    ShowPage(StartPageBody(kEmptySearchMessage));
    return;
  }
  size_t length = CharacterCount(request_text);
  if (length < 3 && !(length == 2 && request_text.starts_with("@"))) return;

  const SearchRequest request = ParseSearchRequest(request_text, update);
  if (Trim(request.text).empty()) {
    ShowPage(StartPageBody(kEmptySearchMessage));
    return;
  }
  if (screen_.ShiftPressed()) {
    OpenNewInstance((request.clan ? "[" + request.text + "]" : request.text) + ViewOptions(request.view));
  } else if (request.clan) {
    doSearchClan(request);
  } else {
    doSearchAccount(request);
  }
}

void TfrmMain::CommandBrowse(const std::string& url, bool) { OpenExternalUrl(url); }

// Only web addresses leave the program: a page must not get a local file or a
// desktop entry opened.
void TfrmMain::OpenExternalUrl(const std::string& url) {
  if (IsWebAddress(url)) {
    screen_.OpenUrl(url);
  } else {
    DebugLog("Адрес не открыт, это не адрес http или https: " + url);
  }
}

void TfrmMain::CommandAddFavorite(const std::string& entry, bool) {
  AddFavorite(settings_, entry, screen_);
  ShowListsAsStored();
}

void TfrmMain::CommandDeleteFavorite(const std::string& entry, bool) {
  DeleteListEntry(settings_, kFavorites, entry, &screen_);
  ShowListsAsStored();
}

// The shown page's lists pop-up after a change of the lists, the rest of the page as it is.
void TfrmMain::ShowListsAsStored() {
  const std::string lists = ListsPopupContent(settings_);
  std::string body = shown_body_;
  if (!ReplaceFormLists(body, lists) || body == shown_body_) return;
  shown_body_ = std::move(body);
  screen_.ReplacePagePart(kFormListsSelector, lists, PageDocument(CurrentFrame(), shown_body_));
}

void TfrmMain::CommandBreak(const std::string&, bool) { core_.BreakRequested = true; }

void TfrmMain::CommandHome(const std::string&, bool) { ShowPage(StartPageBody()); }

void TfrmMain::CommandUpdate(const std::string& forum_address, bool) {
  if (!CanReplaceProgram(disk_, environment_.executable)) {
    screen_.ShowBox(BoxKind::Warning, "Обновление программы", NotReplaceableText(environment_.executable));
    return;
  }
  std::string question = state_.UpdateNotes +
                         "Обновить программу автоматически?\r\n\r\n"
                         "Да\t- скачать и обновить программу автоматически\r\n"
                         "Нет\t- перейти на форум для скачивания вручную\r\n"
                         "Отмена\t- ничего не предпринимать";
  switch (screen_.Ask("Обновление программы", question, true)) {
    case Answer::Yes:
      RunSelfUpdate();
      break;
    case Answer::No:
      OpenExternalUrl(forum_address);
      break;
    case Answer::Cancel:
      break;
  }
}

// The messages of a refresh stand under the search form of the start page, which
// then tells of the documents as they are.
void TfrmMain::CommandRefreshReference(const std::string&, bool) {
  if (reference_refresher_.Busy()) {
    ShowPage(StartPageBody("Справочники уже обновляются. Новые будут загружены при следующем запуске программы.",
                           false));
    return;
  }
  screen_.SetCursor(Cursor::Wait);
  ShowPage("<div id=\"top\">Обновление справочников...<div class=\"waiting\"></div></div>");
  const std::optional<ReferenceRefreshResult> result =
      reference_refresher_.RunNow(ReferencePlaceOf(core_, environment_), ConnectionOf(core_));
  screen_.SetCursor(Cursor::Normal);
  std::string message = result ? RefreshReport(*result) : std::string();
  const bool newer_stored = result && result->ok() &&
                            (result->vehicles.version != Reference().VehiclesVersion() ||
                             result->expected.version != Reference().ExpectedVersion());
  if (newer_stored) message += "Новые справочники будут загружены при следующем запуске программы.";
  ShowPage(StartPageBody(ReplaceAll(EscapeHtml(message), "\n", "<br />"), !result || !result->ok()));
}

void TfrmMain::OpenNewInstance(const std::string& parameters) { screen_.StartProgramCopy({parameters}); }

void TfrmMain::doSearchAccount(const SearchRequest& request) {
  const std::string& name = request.text;
  if (name.starts_with("-")) {
    ShowPage(StartPageBody(kDashNameMessage));
    return;
  }
  screen_.ProcessPendingEvents();
  ShowPage(kBodyStart);
  if (state_.CurrentAccount.empty()) {
    std::string question = "Использовать имя игрока " + name + " по умолчанию?";
    if (screen_.Ask("Имя игрока", question, false) == Answer::Yes) {
      settings_.WriteSettingStr("", "DefaultAccount", name);
    }
  }
  screen_.SetCaption(std::string(kApplicationTitle) + " - " + name);
  screen_.SetCursor(Cursor::Wait);
  state_.CurrentAccount = name;
  state_.SearchText = name;
  state_.CurrentView = request.view;
  ShowPage("<div id=\"top\">Поиск информации об игроке " + EscapeHtml(name) + "...<div class=\"waiting\"></div></div>");

  LoaderMessages messages;
  if (service_.LoadAccount(request, messages)) {
    AddRecent(settings_, name);
    screen_.SetCaption(std::string(kApplicationTitle) + " - " + service_.LoadedAccountName());
    screen_.ProcessPendingEvents();
    ShowAccountReport(messages);
  } else {
    ShowPage(std::string(kBodyStart) + SearchFormHtml(state_.SearchText) + MessageParagraphs(messages));
  }
  screen_.SetCursor(Cursor::Normal);
}

void TfrmMain::doSearchClan(const SearchRequest& request) {
  // A "break" given before this search has no effect on it; one given from its
  // waiting page, even while the clan itself loads, stops the member collection.
  core_.BreakRequested = false;
  const std::string& tag = request.text;
  screen_.SetCaption(kApplicationTitle);
  screen_.SetCursor(Cursor::Wait);
  ShowPage(kBodyStart);
  state_.CurrentClanTag = tag;
  state_.SearchText = "[" + tag + "]";
  state_.CurrentView = request.view;
  ShowPage(
      "<div id=\"top\"><b class=\"sectionHdr\">Сбор информации о клане [" + EscapeHtml(tag) +
      "]. Пожалуйста, ждите...</b><br /><br />"
      "Первоначальный сбор информации о клане может занять длительное время &ndash;<br />"
      "до нескольких минут, в зависимости от количества бойцов, скорости соединения с сервером,<br />"
      "наличия в кеше ранее загруженной информации о статистике бойцов клана.<br /><br />"
      "Собранная информация будет сохранена в кеше, что позволит в течение последующих<br />"
      "нескольких часов работать с ней уже без повторных длительных ожиданий.<br /><br />"
      "<input class=\"button\" type=\"button\" value=\"Прервать\" onclick=\"return doCmd('break')\"></div>");

  LoaderMessages messages;
  if (service_.LoadClan(request, messages)) {
    AddRecent(settings_, "[" + tag + "]");
    ShowClanReport(messages, request.update);
    screen_.SetCaption(std::string(kApplicationTitle) + " - [" + service_.LoadedClanTag() + "] " +
                       service_.LoadedClanName());
  } else {
    ShowPage(std::string(kBodyStart) + SearchFormHtml(state_.SearchText) + MessageParagraphs(messages));
  }
  screen_.SetCursor(Cursor::Normal);
}

void TfrmMain::ShowAccountReport(const LoaderMessages& messages) {
  if (service_.LoadedAccountName().empty()) return;
  const int days = state_.CurrentView.days;
  const ReportPage report = service_.AccountReportHtml(state_.CurrentView);
  for (const std::string& error : report.errors) screen_.ShowBox(BoxKind::Error, "Ошибка", error);
  std::string navigation = days == -1 || days == -2 ? std::string() : std::string(kNavigation);
  ShowPage(std::string(kBodyStart) + SearchFormHtml(state_.CurrentAccount) + navigation + report.html +
           WrapMessages(messages));
}

void TfrmMain::ShowClanReport(const LoaderMessages& messages, bool update) {
  if (service_.LoadedClanName().empty()) return;
  std::string wrapped = WrapMessages(messages);
  screen_.SetProgress(true, 0, progress_max_);
  screen_.ProcessPendingEvents();

  // A "break" (the waiting page's button, or closing the window) stops the
  // collection after the member whose progress was just reported.
  ProgressCallback progress = [this](std::string_view tag, std::string_view member, int current, int total) {
    return ReportProgress(tag, member, current, total) && !core_.BreakRequested;
  };
  const ReportView& view = state_.CurrentView;
  const bool top_tanks = view.days < 0 && view.days >= -5;
  const bool activity = view.days == kClanActivityDays;
  std::string report = activity    ? service_.ClanActivityHtml(view, update, progress)
                       : top_tanks ? service_.TopTanksReportHtml(view, update, progress)
                                   : service_.ClanReportHtml(view, update, progress);
  screen_.SetProgress(false, 0, progress_max_);
  // The top-tanks and activity tables hide no cells, so "Больше" would open nothing there.
  const std::string_view navigation = top_tanks || activity ? kHomeButton : kNavigation;
  ShowPage(std::string(kBodyStart) + SearchFormHtml("[" + state_.CurrentClanTag + "]") + std::string(navigation) +
           report + wrapped);
}

bool TfrmMain::ReportProgress(std::string_view clan_tag, std::string_view member, int current, int total) {
  screen_.SetCaption(std::string(kApplicationTitle) + " - [" + std::string(clan_tag) + "] " +
                     std::to_string(current) + " из " + std::to_string(total) + " - " + std::string(member));
  if (progress_max_ != total) progress_max_ = total;
  screen_.SetProgress(true, current, progress_max_);
  screen_.ProcessPendingEvents();
  return true;
}

}  // namespace tarvelo
