// The headless front end run as `tarvelo --headless ...` would run it.
#include "shell/headless/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/shell_fixture.h"

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
            0);
  EXPECT_NE(errors.find("[Имя игрока] Использовать имя игрока Somebody по умолчанию? -> yes\n"), std::string::npos);
  EXPECT_EQ(errors.find("open:"), std::string::npos);
  EXPECT_EQ(SettingsStore(SettingsFile()).ReadSettingStr("", "DefaultAccount", ""), "Somebody");

  std::string page = ReadText(PageFile());
  EXPECT_NE(page.find("value=\"Somebody\""), std::string::npos);
  EXPECT_NE(page.find("<p class=\"r\">ОШИБКА: Получены некорректные данные (\"http://127.0.0.1:9/wot/account/list/"),
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
  SettingsStore store(SettingsFile());
  EXPECT_EQ(store.ReadSettingStr("", "Region", ""), "EU");
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Left", 0), 3000);
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Top", 0), -20);
  EXPECT_EQ(store.ReadSettingInt("MainWindow", "Width", 0), 700);
}

TEST_F(HeadlessTest, BadUsageIsRefused) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"--answer", "maybe", "--page", PageFile()}), 2);
  EXPECT_EQ(Run({"--page"}), 2);
  EXPECT_NE(errors.find("usage: tarvelo --headless --page FILE"), std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
