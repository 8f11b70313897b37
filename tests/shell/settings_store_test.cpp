#include "shell/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string file() const { return temp_.path() + "/config/tarvelo/settings.ini"; }
  SettingsStore store() const { return SettingsStore(TestDisk(), file()); }
  TempFolder temp_;
};

TEST_F(SettingsStoreTest, MissingFileGivesDefaults) {
  EXPECT_EQ(store().ReadSettingInt("", "FontSize", 12), 12);
  EXPECT_EQ(store().ReadSettingStr("", "FontName", "Tahoma"), "Tahoma");
  EXPECT_EQ(store().ReadSettingReal("", "UpdateLastCheck", 1.5), 1.5);
  EXPECT_EQ(store().ReadSettingInt("MainWindow", "Left", -7), -7);
}

TEST_F(SettingsStoreTest, WritesCreateTheFolderAndReadBack) {
  ASSERT_TRUE(store().WriteSettingInt("", "FontSize", 14));
  ASSERT_TRUE(store().WriteSettingStr("", "FontName", "Verdana"));
  ASSERT_TRUE(store().WriteSettingReal("", "UpdateLastCheck", 42700.123456789));
  ASSERT_TRUE(store().WriteSettingInt("MainWindow", "Left", -32));
  EXPECT_EQ(store().ReadSettingInt("", "FontSize", 0), 14);
  EXPECT_EQ(store().ReadSettingStr("", "FontName", ""), "Verdana");
  EXPECT_DOUBLE_EQ(store().ReadSettingReal("", "UpdateLastCheck", 0), 42700.123456789);
  EXPECT_EQ(store().ReadSettingInt("MainWindow", "Left", 0), -32);
  // The section is a group of its own: the same name elsewhere is another value.
  EXPECT_EQ(store().ReadSettingInt("", "Left", 5), 5);
  std::string text = ReadText(file());
  EXPECT_NE(text.find("[Tarvelo]"), std::string::npos);
  EXPECT_NE(text.find("[MainWindow]"), std::string::npos);
}

TEST_F(SettingsStoreTest, StringsAreTrimmedWhenRead) {
  ASSERT_TRUE(store().WriteSettingStr("", "DefaultAccount", "  Player_One \t"));
  EXPECT_EQ(store().ReadSettingStr("", "DefaultAccount", ""), "Player_One");
  WriteText(file(), "[Tarvelo]\nProxy=   proxy.local:3128   \n");
  EXPECT_EQ(store().ReadSettingStr("", "Proxy", ""), "proxy.local:3128");
}

TEST_F(SettingsStoreTest, ValueOfAnotherKindReadsAsDefault) {
  WriteText(file(), "[Tarvelo]\nFontSize=big\nUpdateLastCheck=soon\n");
  EXPECT_EQ(store().ReadSettingInt("", "FontSize", 12), 12);
  EXPECT_EQ(store().ReadSettingReal("", "UpdateLastCheck", 0), 0);
}

TEST_F(SettingsStoreTest, DeleteRemovesOnlyThatValue) {
  store().WriteSettingStr("Favorites", "0", "A_b");
  store().WriteSettingStr("Favorites", "1", "Cde");
  store().DeleteSetting("Favorites", "0");
  store().DeleteSetting("Favorites", "7");  // absent: nothing happens
  EXPECT_EQ(store().ReadSettingStr("Favorites", "0", "gone"), "gone");
  EXPECT_EQ(store().ReadSettingStr("Favorites", "1", ""), "Cde");
}

TEST_F(SettingsStoreTest, UnreadableFileGivesDefaultsAndIsNeverOverwritten) {
  const std::string garbage = "this is not\nan INI file = at all\n[unterminated\n";
  WriteText(file(), garbage);
  EXPECT_EQ(store().ReadSettingStr("", "FontName", "Tahoma"), "Tahoma");
  EXPECT_FALSE(store().WriteSettingStr("", "FontName", "Arial"));
  EXPECT_EQ(ReadText(file()), garbage);
}

TEST_F(SettingsStoreTest, WritesKeepOtherValuesAndLeaveNoTemporaryFiles) {
  WriteText(file(), "# kept comment\n[Tarvelo]\nProxy=noproxy\n[Hosts]\nApi=http://127.0.0.1:8080\n");
  ASSERT_TRUE(store().WriteSettingInt("", "FontSize", 10));
  EXPECT_EQ(store().ReadSettingStr("", "Proxy", ""), "noproxy");
  EXPECT_EQ(store().ReadSettingStr("Hosts", "Api", ""), "http://127.0.0.1:8080");
  EXPECT_NE(ReadText(file()).find("# kept comment"), std::string::npos);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(file()).parent_path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(SettingsStoreTest, FolderThatCannotBeCreatedMakesWritesFail) {
  WriteText(temp_.path() + "/blocker", "a file where a folder should be");
  SettingsStore blocked(TestDisk(), temp_.path() + "/blocker/tarvelo/settings.ini");
  EXPECT_FALSE(blocked.WriteSettingInt("", "FontSize", 10));
  EXPECT_EQ(blocked.ReadSettingInt("", "FontSize", 12), 12);
}

}  // namespace
}  // namespace tarvelo::testing
