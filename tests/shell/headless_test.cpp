// The headless front end run as `tarvelo --headless ...` would run it.
#include "shell/headless/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "shell/shell_fixture.h"
#include "shell/usage.h"

namespace tarvelo::testing {
namespace {

class HeadlessTest : public ::testing::Test {
 protected:
  HeadlessTest() {
    setenv("TARVELO_HOME", (root() + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
    setenv("TARVELO_APPDATA", (root() + "/appdata").c_str(), 1);
  }
  ~HeadlessTest() override {
    unsetenv("TARVELO_HOME");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("TARVELO_APPDATA");
  }
  const std::string& root() const { return temp_.path(); }
  std::string SettingsFile() const { return root() + "/config/tarvelo/settings.ini"; }
  std::string PageFile() const { return root() + "/page.html"; }

  // Runs the front end; standard error goes to `errors`.
  int Run(std::vector<std::string> arguments) {
    ::testing::internal::CaptureStderr();
    int code = RunHeadless(arguments);
    errors = ::testing::internal::GetCapturedStderr();
    return code;
  }

  std::string errors;

 private:
  TempFolder temp_;
};

std::string BodyOf(const std::string& page) {
  size_t head_end = page.find("</head>\r\n");
  return head_end == std::string::npos ? std::string() : page.substr(head_end + 9);
}

TEST_F(HeadlessTest, StartPageMatchesTheGoldenPage) {
  WriteText(SettingsFile(),
            "[Tarvelo]\nDefaultAccount=Golden_Player\n"
            "[Hosts]\nSite=http://127.0.0.1:9\nReplays=http://127.0.0.1:1/replays\nLocation=http://127.0.0.1:1/location\n"
            "Alliance=http://127.0.0.1:1/alliance\n"
            "[Links]\nForumQuestions=http://127.0.0.1:1/forum/faq\nKttc=http://127.0.0.1:1/kttc\n"
            "[Favorites]\n0=zeta\n1=[CLAN]\n2=Alpha\n"
            "[Recent]\n0=Newest\n1=[OLD]\n");
  ASSERT_EQ(Run({"--page", PageFile()}), 0) << errors;
  std::string page = ReadText(PageFile());
  ASSERT_TRUE(page.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE html PUBLIC "));
  EXPECT_NE(page.find("<title>Tarvelo</title>"), std::string::npos);

  const char* test_data = std::getenv("TARVELO_TEST_DATA");
  std::string golden_file = std::string(test_data ? test_data : TARVELO_SHELL_TEST_DATA) + "/golden/start_page_body.html";
  if (std::getenv("TARVELO_UPDATE_GOLDEN")) WriteText(golden_file, BodyOf(page));
  EXPECT_EQ(BodyOf(page), ReadText(golden_file));
}

TEST_F(HeadlessTest, CommandsRunThroughTheBridgeAndQuestionsTakeThePresetAnswer) {
  WriteText(SettingsFile(), "[Hosts]\nApi=http://127.0.0.1:9\nSite=http://127.0.0.1:9\n");  // nothing listens there
  std::string pages = root() + "/pages/run";  // made when missing
  ASSERT_EQ(Run({"--page", PageFile(), "--pages", pages, "--answer", "yes", "--command",
                 "[CMD:]search[PRM:]Somebody", "--command", "[CMD:]browse[PRM:]file:///etc/passwd"}),
            1);  // the search found nothing
  EXPECT_NE(errors.find("[Имя игрока] Использовать имя игрока Somebody по умолчанию? -> yes\n"), std::string::npos);
  EXPECT_EQ(errors.find("open:"), std::string::npos);
  EXPECT_EQ(SettingsStore(TestDisk(), SettingsFile()).ReadSettingStr("", "DefaultAccount", ""), "Somebody");

  std::string page = ReadText(PageFile());
  EXPECT_NE(page.find("value=\"Somebody\""), std::string::npos);
  EXPECT_NE(page.find("<p class=\"r\">ОШИБКА: Не удалось соединиться с сервером 127.0.0.1:9. Проверьте "
                      "подключение к сети и настройки прокси.</p>"),
            std::string::npos);
  // Start page, then body start, searching page and error page.
  EXPECT_TRUE(std::filesystem::exists(pages + "/page-004.html"));
  EXPECT_FALSE(std::filesystem::exists(pages + "/page-005.html"));
  EXPECT_NE(ReadText(pages + "/page-003.html").find("Поиск информации об игроке Somebody..."), std::string::npos);
  EXPECT_EQ(ReadText(pages + "/page-004.html"), page);
}

TEST_F(HeadlessTest, BoxesArePrintedWithTheirCaptions) {
  ASSERT_EQ(Run({"--page", PageFile(), "/F"}), 0);
  EXPECT_NE(errors.find("[Автозагрузка избранных] Список избранных пуст.\n"), std::string::npos);
  EXPECT_NE(ReadText(PageFile()).find("<div class=\"top partners\">"), std::string::npos);
}

TEST_F(HeadlessTest, QuitEndsBeforeTheCommands) {
  ASSERT_EQ(Run({"--page", PageFile(), "--command", "[CMD:]home", "/F", "/Q"}), 0);
  EXPECT_EQ(ReadText(PageFile()).find("<div class=\"top partners\">"), std::string::npos);
  EXPECT_EQ(errors.find("Список избранных пуст"), std::string::npos);
}

TEST_F(HeadlessTest, SettingsAndGeometrySurviveARun) {
  WriteText(SettingsFile(),
            "[Tarvelo]\nRegion=eu\n[MainWindow]\nLeft=3000\nTop=-20\nWidth=700\nHeight=650\n[Hosts]\nSite=http://127.0.0.1:9\n");
  ASSERT_EQ(Run({"--page", PageFile()}), 0);
  SettingsStore store(TestDisk(), SettingsFile());
  EXPECT_EQ(store.ReadSettingStr("", "Region", ""), "EU");
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Left", 0), 3000);
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Top", 0), -20);
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Width", 0), 700);
}

TEST_F(HeadlessTest, HelpVersionAndUsageErrorsRunNothing) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string_view out, error;
  };
  const std::string page = PageFile();
  const Case cases[] = {
      {{"--help"}, 0, "--break-after K", ""},
      {{"--version"}, 0, "Tarvelo ", ""},
      {{}, 2, "", "Использование: tarvelo --headless --page ФАЙЛ"},
      {{"--answer", "maybe", "--page", page}, 2, "", "Использование:"},
      {{"--page"}, 2, "", "Использование:"},
      {{"--page", page, "--bogus"}, 2, "", "tarvelo: неизвестный параметр «--bogus».\nСправка: tarvelo --help\n"},
      {{"--page", page, "--", "-Name"}, 2, "", "неизвестный параметр «-Name»"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(Run(c.arguments), c.code) << c.error;
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(c.out), std::string::npos) << out;
    EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
    EXPECT_EQ(c.code == 0, errors.empty()) << errors;
  }
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
  EXPECT_FALSE(std::filesystem::exists(page));
}

TEST(CommandLineAnswerTest, HelpAndVersionWithoutAFrontEndAndNamesNeverBeginWithADash) {
  std::ostringstream out, error;
  EXPECT_EQ(AnswerWithoutFrontEnd({"--version"}, out, error), 0);
  EXPECT_TRUE(std::regex_match(out.str(), std::regex("Tarvelo [0-9]+\\.[0-9]+\\.[0-9]+ \\(сборка от "
                                                     "[0-9]{2}\\.[0-9]{2}\\.[0-9]{4}\\)\n")))
      << out.str();
  EXPECT_EQ(AnswerWithoutFrontEnd({"-h"}, out, error), 0);
  EXPECT_EQ(AnswerWithoutFrontEnd({"-Player", "x"}, out, error), 2);
  EXPECT_EQ(AnswerWithoutFrontEnd({"--version!"}, out, error), 2);
  EXPECT_EQ(error.str(), UnknownOptionText("-Player") + UnknownOptionText("--version!"));
  for (std::vector<std::string> front_end : {std::vector<std::string>{}, {"Player"}, {"[TAG]"}, {"/F"}, {""}}) {
    EXPECT_EQ(AnswerWithoutFrontEnd(front_end, out, error), std::nullopt);
  }
}

TEST_F(HeadlessTest, ABlankRequestShowsTheWholeStartPage) {
  WriteText(SettingsFile(), "[Hosts]\nApi=http://127.0.0.1:9\nSite=http://127.0.0.1:9\n");
  for (const char* request : {"", "   "}) {
    ASSERT_EQ(Run({"--page", PageFile(), request}), 0) << errors;
    const std::string page = ReadText(PageFile());
    EXPECT_TRUE(page.starts_with("<?xml")) << request;
    EXPECT_TRUE(page.ends_with("</body>\r\n</html>")) << request;
    EXPECT_NE(page.find("<div class=\"top partners\">"), std::string::npos) << request;
    EXPECT_NE(page.find("<form"), std::string::npos) << request;
  }
}

TEST_F(HeadlessTest, TenRunsLeaveTheSettingsFileAsTheFirstLeftIt) {
  const std::string written =
      "# my own notes\n[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n\n"
      "[Hosts]\nSite=http://127.0.0.1:9\n\n# favourites below\n[Favorites]\n0=Alpha\n";
  WriteText(SettingsFile(), written);
  ASSERT_EQ(Run({"--page", PageFile()}), 0) << errors;
  const std::string after_first = ReadText(SettingsFile());
  EXPECT_TRUE(after_first.starts_with("# my own notes\n[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n"))
      << after_first;
  EXPECT_NE(after_first.find("UpdateHours=6\n\n[Hosts]\nSite=http://127.0.0.1:9\n\n# favourites below\n"
                             "[Favorites]\n0=Alpha\n"),
            std::string::npos)
      << after_first;
  EXPECT_EQ(after_first.find("FontName"), std::string::npos);
  for (int run = 0; run < 10; ++run) ASSERT_EQ(Run({"--page", PageFile()}), 0) << errors;
  EXPECT_EQ(ReadText(SettingsFile()), after_first);
}

}  // namespace
}  // namespace tarvelo::testing
