#include "shell/headless/headless.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "shell/front_end.h"
#include "shell/program.h"
#include "shell/usage.h"

namespace tarvelo {

namespace {

constexpr std::string_view kCannotWrite = "tarvelo --headless: не удалось записать файл ";
constexpr std::string_view kUsage =
    "Использование: tarvelo --headless --page ФАЙЛ [--pages ПАПКА] [--answer yes|no|cancel] "
    "[--command ЗАГОЛОВОК]... [--break-after K] [--] [ЗАПРОС]\nСправка: tarvelo --help\n";

struct HeadlessOptions {
  std::string page_file;
  std::string pages_folder;
  Answer answer = Answer::No;
  std::vector<std::string> commands;
  int break_after = 0;  // members a clan collection reports before "break" is given
  std::vector<std::string> program_arguments;
};

// The pages are this front end's screen: written where the user points, as a
// terminal program writes its output (a device such as /dev/stdout included),
// not through the program's disk.
bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

class HeadlessFrontEnd final : public FrontEnd {
 public:
  HeadlessFrontEnd(std::string pages_folder, Answer answer, int break_after)
      : pages_folder_(std::move(pages_folder)), answer_(answer), break_after_(break_after) {}

  const std::string& last_page() const { return last_page_; }
  bool quit_requested() const { return quit_requested_; }
  void SetTitle(const std::string& title) {
    if (title_handler_) title_handler_(title);
  }

  void ShowDocument(const std::string& html, const std::string&) override {
    last_page_ = html;
    if (pages_folder_.empty()) return;
    char name[32];
    std::snprintf(name, sizeof name, "page-%03d.html", ++page_count_);
    if (!WriteFile(pages_folder_ + "/" + name, html)) std::cerr << kCannotWrite << pages_folder_ << "/" << name << "\n";
  }
  // The changed page counts as a page shown.
  void ReplacePagePart(std::string_view, const std::string&, const std::string& document) override {
    ShowDocument(document, {});
  }
  void SetTitleHandler(TitleHandler handler) override { title_handler_ = std::move(handler); }
  void ShowBox(BoxKind, std::string_view caption, std::string_view text) override {
    std::cerr << "[" << caption << "] " << text << "\n";
  }
  Answer Ask(std::string_view caption, std::string_view text, bool with_cancel) override {
    Answer answer = answer_ == Answer::Cancel && !with_cancel ? Answer::No : answer_;
    std::cerr << "[" << caption << "] " << text << " -> " << AnswerName(answer) << "\n";
    return answer;
  }
  void SetCaption(std::string_view) override {}
  void SetCursor(Cursor) override {}
  // The "break" a user would give by pressing "Прервать" once K members are shown done.
  void SetProgress(bool visible, int position, int) override {
    if (visible && break_after_ > 0 && position >= break_after_ && !break_given_) break_pending_ = true;
  }
  bool ShiftPressed() override { return false; }
  void OpenUrl(std::string_view url) override { std::cerr << "open: " << url << "\n"; }
  void StartProgramCopy(const std::vector<std::string>& arguments) override {
    std::cerr << "start:";
    for (const std::string& argument : arguments) std::cerr << " " << argument;
    std::cerr << "\n";
  }
  bool StartProgram(const std::string& executable, const std::vector<std::string>& arguments) override {
    std::cerr << "run: " << executable;
    for (const std::string& argument : arguments) std::cerr << " " << argument;
    std::cerr << "\n";
    return true;
  }
  void ProcessPendingEvents() override {
    if (!break_pending_) return;
    break_pending_ = false;
    break_given_ = true;
    SetTitle("[CMD:]break");
  }
  void Quit() override { quit_requested_ = true; }

  // Without a screen nothing is moved: the rectangle placed is the one saved again.
  WindowRect WindowBounds() override { return bounds_; }
  WindowState CurrentWindowState() override { return state_; }
  void PlaceWindow(const WindowRect& bounds) override { bounds_ = bounds; }
  void SetWindowState(WindowState state) override { state_ = state; }
  WindowRect DesktopArea() override { return {INT_MIN / 4, INT_MIN / 4, INT_MAX / 2, INT_MAX / 2}; }

 private:
  static const char* AnswerName(Answer answer) {
    return answer == Answer::Yes ? "yes" : answer == Answer::No ? "no" : "cancel";
  }

  std::string pages_folder_;
  Answer answer_;
  TitleHandler title_handler_;
  std::string last_page_;
  int page_count_ = 0;
  bool quit_requested_ = false;
  int break_after_ = 0;
  bool break_pending_ = false;
  bool break_given_ = false;
  WindowRect bounds_{0, 0, 632, 822};
  WindowState state_ = WindowState::Normal;
};

std::optional<Answer> ParseAnswer(const std::string& text) {
  if (text == "yes") return Answer::Yes;
  if (text == "no") return Answer::No;
  if (text == "cancel") return Answer::Cancel;
  return std::nullopt;
}

std::optional<HeadlessOptions> ParseOptions(const std::vector<std::string>& arguments) {
  HeadlessOptions options;
  size_t i = 0;
  for (; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--") {
      ++i;
      break;
    }
    bool takes_value = option == "--page" || option == "--pages" || option == "--answer" || option == "--command" ||
                       option == "--break-after";
    if (!takes_value) break;
    if (i + 1 >= arguments.size()) return std::nullopt;
    const std::string& value = arguments[++i];
    if (option == "--page") options.page_file = value;
    if (option == "--pages") options.pages_folder = value;
    if (option == "--command") options.commands.push_back(value);
    if (option == "--break-after") {
      const int members = std::atoi(value.c_str());
      if (members < 1) return std::nullopt;
      options.break_after = members;
    }
    if (option == "--answer") {
      auto answer = ParseAnswer(value);
      if (!answer) return std::nullopt;
      options.answer = *answer;
    }
  }
  options.program_arguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  if (options.page_file.empty()) return std::nullopt;
  return options;
}

// An option the parser stopped at that it does not know; a request never begins with "-".
std::optional<std::string> UnknownOption(const HeadlessOptions& options) {
  const std::vector<std::string>& rest = options.program_arguments;
  if (rest.empty() || !rest.front().starts_with("-")) return std::nullopt;
  return rest.front();
}

// 0 when every search gave a report; 1, with the failures' messages on standard
// error, when one did not.
int SearchesExitCode(const SearchTally& tally) {
  if (tally.failed == 0) return kExitOk;
  std::cerr << "tarvelo --headless: поиск не удался (" << tally.failed << " из " << tally.searches << "):\n"
            << tally.failure_text;
  return kExitSearchFailed;
}

}  // namespace

int RunHeadless(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && (arguments.front() == "--help" || arguments.front() == "--version")) {
    return *AnswerWithoutFrontEnd(arguments, std::cout, std::cerr);
  }
  auto options = ParseOptions(arguments);
  if (!options) {
    std::cerr << kUsage;
    return kExitUsage;
  }
  if (auto option = UnknownOption(*options)) {
    std::cerr << UnknownOptionText(*option);
    return kExitUsage;
  }
  if (!options->pages_folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options->pages_folder, error);
  }
  HeadlessFrontEnd screen(options->pages_folder, options->answer, options->break_after);
  int code = kExitOk;
  {
    Program program(screen, options->program_arguments);
    program.Create();
    program.Shown();
    program.StartTimer();
    if (!screen.quit_requested()) program.UpdateTimer();
    for (const std::string& title : options->commands) {
      if (screen.quit_requested()) break;
      screen.SetTitle(title);
    }
    program.Destroy();
    code = SearchesExitCode(program.searches());
  }
  if (!WriteFile(options->page_file, screen.last_page())) {
    std::cerr << kCannotWrite << options->page_file << "\n";
    return kExitSearchFailed;
  }
  return code;
}

}  // namespace tarvelo
