#include "shell/game_client.h"

#include <gtest/gtest.h>

#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

constexpr const char* kReadError =
    "Ошибка чтения файла настроек:\r\n%APPDATA%\\Wargaming.net\\WorldOfTanks\\preferences.xml";

class GameClientTest : public ShellTest {
 protected:
  std::string PreferencesFile() const { return GameClientPreferencesFile(environment_.app_data_folder); }
  void WritePreferences(const std::string& inner) {
    WriteText(PreferencesFile(), "<?xml version=\"1.0\"?>\n<root>\n" + inner + "</root>\n");
  }
};

TEST_F(GameClientTest, FileLivesUnderTheApplicationDataFolder) {
  EXPECT_EQ(PreferencesFile(), root() + "/appdata/Wargaming.net/WorldOfTanks/preferences.xml");
}

TEST_F(GameClientTest, PathIsFollowedFromTheRootElementsChildren) {
  WritePreferences(
      "<other><loginInfo><user>Wrong</user></loginInfo></other>"
      "<scriptsPreferences><loginInfo><user>  Player_One \n</user></loginInfo></scriptsPreferences>");
  EXPECT_EQ(ReadGameClientAccount(TestDisk(), PreferencesFile(), "scriptsPreferences > loginInfo > user", nullptr),
            "Player_One");
}

TEST_F(GameClientTest, EverySiblingOfTheFoundNodeContributesAName) {
  WritePreferences(
      "<scriptsPreferences><accounts>"
      "<account><login>First</login></account>"
      "<note>no login here</note>"
      "<account><login>Second</login><login>Ignored</login></account>"
      "</accounts></scriptsPreferences>");
  EXPECT_EQ(ReadGameClientAccount(TestDisk(), PreferencesFile(), "scriptsPreferences>accounts>account>login", nullptr),
            "First\r\nSecond");
}

TEST_F(GameClientTest, MissingFileGivesNothingAndReportsNothing) {
  EXPECT_EQ(ReadGameClientAccount(TestDisk(), PreferencesFile(), "scriptsPreferences>loginInfo>user", &screen_), "");
  EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(GameClientTest, EmptyResultIsReportedOnlyWhenAsked) {
  WritePreferences("<scriptsPreferences><loginInfo/></scriptsPreferences>");
  EXPECT_EQ(ReadGameClientAccount(TestDisk(), PreferencesFile(), "scriptsPreferences>loginInfo>user", nullptr), "");
  EXPECT_TRUE(screen_.boxes.empty());
  EXPECT_EQ(ReadGameClientAccount(TestDisk(), PreferencesFile(), "scriptsPreferences>missing>user", &screen_), "");
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].caption, "Ошибка");
  EXPECT_EQ(screen_.boxes[0].text, kReadError);
}

TEST_F(GameClientTest, StartUpTakesTheLoggedInUserFirst) {
  WritePreferences(
      "<scriptsPreferences><loginInfo><user>Logged_In</user></loginInfo>"
      "<accounts><account><login>Listed</login></account></accounts></scriptsPreferences>");
  settings().WriteSettingStr("", "DefaultAccount", "From_Settings");
  Start();
  EXPECT_EQ(window().state().CurrentAccount, "Logged_In");
  EXPECT_EQ(core().GameClientAccount, "Logged_In");
  EXPECT_EQ(window().state().SearchText, "Logged_In");
}

TEST_F(GameClientTest, StartUpFallsBackToTheFirstListedAccount) {
  WritePreferences(
      "<scriptsPreferences><accounts><account><login>Listed_1</login></account>"
      "<account><login>Listed_2</login></account></accounts></scriptsPreferences>");
  Start();
  EXPECT_EQ(window().state().CurrentAccount, "Listed_1");
  EXPECT_EQ(core().GameClientAccount, "Listed_1");
}

TEST_F(GameClientTest, StartUpWithoutANameUsesTheSettingAndShowsTheBox) {
  WritePreferences("<scriptsPreferences/>");
  settings().WriteSettingStr("", "DefaultAccount", "From_Settings");
  program_.reset();
  auto service = std::make_unique<ScriptedSearchService>(&calls_);
  Program program(screen_, {}, environment_, std::move(service), [this] { return now_; });
  program.Create();
  EXPECT_EQ(program.window().state().CurrentAccount, "From_Settings");
  EXPECT_EQ(program.core().GameClientAccount, "");
  bool box_shown = false;
  for (const RecordedBox& box : screen_.boxes) box_shown |= box.text == kReadError;
  EXPECT_TRUE(box_shown);
}

TEST_F(GameClientTest, FileThatIsNotXmlFallsBackToTheSetting) {
  WriteText(PreferencesFile(), "\x01\x02 not xml <<<");
  settings().WriteSettingStr("", "DefaultAccount", "From_Settings");
  Start();
  EXPECT_EQ(window().state().CurrentAccount, "From_Settings");
  ASSERT_FALSE(screen_.documents.empty());  // start-up went on to the start page
}

}  // namespace
}  // namespace tarvelo::testing
