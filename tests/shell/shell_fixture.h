// A fake screen, a scripted search service and a program in a temporary folder with a
// clock the test moves by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "disk_support.h"
#include "shell/front_end.h"
#include "shell/program.h"
#include "shell/search_service.h"
#include "text/debug_log.h"

namespace tarvelo::testing {

struct RecordedBox {
  BoxKind kind;
  std::string caption;
  std::string text;
};

class FakeFrontEnd : public FrontEnd {
 public:
  std::vector<std::string> documents;
  std::vector<RecordedBox> boxes;
  std::vector<std::string> questions;  // caption + "|" + text
  std::vector<Answer> answers;         // answers given in turn; No when used up
  std::vector<std::string> captions;
  std::vector<Cursor> cursors;
  std::vector<std::string> opened_urls;
  std::vector<std::vector<std::string>> program_copies;
  std::vector<std::vector<std::string>> programs_run;  // the program file, then its arguments
  bool programs_fail_to_start = false;
  bool shift = false;
  bool quit = false;
  TitleHandler title_handler;
  WindowRect bounds{100, 100, 632, 822};
  WindowState window_state = WindowState::Normal;
  WindowRect desktop{0, 0, 1920, 1080};
  std::vector<WindowRect> placements;

  void SetTitle(const std::string& title) { title_handler(title); }
  const std::string& last_document() const { return documents.back(); }

  void ShowDocument(const std::string& html, const std::string&) override { documents.push_back(html); }
  struct PagePart {
    std::string selector;
    std::string html;
  };
  std::vector<PagePart> page_parts;  // every part replaced, in turn
  void ReplacePagePart(std::string_view selector, const std::string& html, const std::string& document) override {
    page_parts.push_back({std::string(selector), html});
    documents.push_back(document);
  }
  void SetTitleHandler(TitleHandler handler) override { title_handler = std::move(handler); }
  void ShowBox(BoxKind kind, std::string_view caption, std::string_view text) override {
    boxes.push_back({kind, std::string(caption), std::string(text)});
  }
  Answer Ask(std::string_view caption, std::string_view text, bool) override {
    questions.push_back(std::string(caption) + "|" + std::string(text));
    if (answers.empty()) return Answer::No;
    Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void SetCaption(std::string_view caption) override { captions.emplace_back(caption); }
  void SetCursor(Cursor cursor) override { cursors.push_back(cursor); }
  void SetProgress(bool, int, int) override {}
  bool ShiftPressed() override { return shift; }
  void OpenUrl(std::string_view url) override { opened_urls.emplace_back(url); }
  void StartProgramCopy(const std::vector<std::string>& arguments) override { program_copies.push_back(arguments); }
  bool StartProgram(const std::string& executable, const std::vector<std::string>& arguments) override {
    programs_run.push_back({executable});
    programs_run.back().insert(programs_run.back().end(), arguments.begin(), arguments.end());
    return !programs_fail_to_start;
  }
  void ProcessPendingEvents() override {}
  void Quit() override { quit = true; }
  WindowRect WindowBounds() override { return bounds; }
  WindowState CurrentWindowState() override { return window_state; }
  void PlaceWindow(const WindowRect& rect) override {
    bounds = rect;
    placements.push_back(rect);
  }
  void SetWindowState(WindowState state) override { window_state = state; }
  WindowRect DesktopArea() override { return desktop; }
};

// Answers searches as told and remembers what it was asked.
class ScriptedSearchService : public SearchService {
 public:
  struct Call {
    std::string what;  // "account", "clan", "account report", "clan report", "top tanks", "clan activity"
    SearchRequest request;
    int days = 0;
    int variant = -1;
  };
  std::vector<Call>* calls;
  bool succeed = false;
  LoaderMessages messages = {{Severity::kNote, "Сообщение загрузчика", {}}};
  std::string loaded_name = "Loaded_Name";
  std::vector<std::string> layout_errors;  // the error boxes the account report asks for
  std::function<void()> during_load;       // runs inside every load, as page events would

  explicit ScriptedSearchService(std::vector<Call>* calls_out) : calls(calls_out) {}

  bool LoadAccount(const SearchRequest& request, LoaderMessages& out) override {
    calls->push_back({"account", request});
    if (during_load) during_load();
    out.insert(out.end(), messages.begin(), messages.end());
    if (succeed) account_ = loaded_name;
    return succeed;
  }
  std::string LoadedAccountName() const override { return account_; }
  ReportPage AccountReportHtml(const ReportView& view) override {
    calls->push_back({"account report", {}, view.days});
    return {"<p>account report</p>", layout_errors};
  }
  bool LoadClan(const SearchRequest& request, LoaderMessages& out) override {
    calls->push_back({"clan", request});
    out.insert(out.end(), messages.begin(), messages.end());
    if (succeed) clan_ = "Clan Name";
    return succeed;
  }
  std::string LoadedClanTag() const override { return "TAG"; }
  std::string LoadedClanName() const override { return clan_; }
  std::string ClanReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    calls->push_back({"clan report", Request(view.days, update), view.days});
    progress("TAG", "Member", 1, 2);
    return "<p>clan report</p>";
  }
  std::string TopTanksReportHtml(const ReportView& view, bool update, const ProgressCallback&) override {
    calls->push_back({"top tanks", Request(view.days, update), view.days, -view.days - 1});
    return "<p>top tanks</p>";
  }
  std::string ClanActivityHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    calls->push_back({"clan activity", Request(view.days, update), view.days});
    progress("TAG", "Member", 1, 2);
    return "<p>clan activity</p>";
  }

 private:
  static SearchRequest Request(int days, bool update) {
    SearchRequest request;
    request.update = update;
    request.view.days = days;
    return request;
  }

  std::string account_;
  std::string clan_;
};

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-shell-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline constexpr DateTime kSecond = 1.0 / 86400.0;

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    const std::string& root = temp_.path();
    environment_.executable = root + "/bin/tarvelo";
    environment_.program_folder = root + "/bin/";
    environment_.data_folder = root + "/data/";
    environment_.settings_file = root + "/config/tarvelo/settings.ini";
    environment_.app_data_folder = root + "/appdata/";
    environment_.working_folder = root + "/work/";
    std::filesystem::create_directories(root + "/bin");
    std::filesystem::create_directories(root + "/work");
    // The running program: a small executable of the system, never the test binary.
    std::filesystem::copy_file("/bin/true", environment_.executable);
  }
  ~ShellTest() override {
    SetDebugEnabled(false);
    SetDebugFileEnabled(false);
    ClearDebugLog();
  }

  // A program with the given command line, created and shown, boxes of the start-up
  // itself (reference data) forgotten.
  Program& Start(std::vector<std::string> arguments = {}) {
    program_.reset();
    auto service = std::make_unique<ScriptedSearchService>(&calls_);
    service_ = service.get();
    service_->succeed = searches_succeed_;
    program_ = std::make_unique<Program>(screen_, std::move(arguments), environment_, std::move(service),
                                         [this] { return now_; });
    program_->Create();
    program_->Shown();
    screen_.boxes.clear();
    return *program_;
  }
  Program& StartAndRunCommandLine(std::vector<std::string> arguments) {
    Start(std::move(arguments));
    program_->StartTimer();
    return *program_;
  }

  SettingsStore settings() const { return SettingsStore(TestDisk(), environment_.settings_file); }
  TfrmMain& window() { return program_->window(); }
  CoreState& core() { return program_->core(); }
  const std::string& root() const { return temp_.path(); }

  TempFolder temp_;
  Environment environment_;
  FakeFrontEnd screen_;
  std::vector<ScriptedSearchService::Call> calls_;
  ScriptedSearchService* service_ = nullptr;
  bool searches_succeed_ = false;
  DateTime now_ = 42700.5;  // 26.11.2016 12:00
  std::unique_ptr<Program> program_;
};

}  // namespace tarvelo::testing
