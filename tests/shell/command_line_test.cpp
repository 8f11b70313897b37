// The request on the command line, run once shortly after the window is shown.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/reference.h"
#include "shell/entry_lists.h"
#include "shell/page_blocks.h"
#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

using Texts = std::vector<std::string>;

class CommandLineTest : public ShellTest {
 protected:
  CommandLineTest() { settings().WriteSettingStr("", "DefaultAccount", "Known_Player"); }
  Texts Searches() const {
    Texts texts;
    for (const auto& call : calls_) {
      if (call.what == "account" || call.what == "clan") texts.push_back(call.what + ":" + call.request.text);
    }
    return texts;
  }
  static bool IsStartPage(const std::string& page) {
    return page.find("<div class=\"top partners\">") != std::string::npos;
  }
};

TEST_F(CommandLineTest, WithoutArgumentsTheStartPageShowsTheDefaultName) {
  StartAndRunCommandLine({});
  ASSERT_EQ(screen_.documents.size(), 1u);
  EXPECT_TRUE(IsStartPage(screen_.documents[0]));
  EXPECT_NE(screen_.documents[0].find("value=\"Known_Player\""), std::string::npos);
  EXPECT_TRUE(calls_.empty());
  EXPECT_FALSE(screen_.quit);
}

TEST_F(CommandLineTest, RequestShowsAnEmptyPageFirstThenSearchesTheFirstNameOnly) {
  Start({"One,Two", "ignored"});
  ASSERT_EQ(screen_.documents.size(), 1u);
  EXPECT_EQ(screen_.documents[0].substr(screen_.documents[0].find("</head>\r\n") + 9), "\r\n</body>\r\n</html>");
  EXPECT_EQ(window().state().SearchText, "One,Two");
  program_->StartTimer();
  EXPECT_EQ(Searches(), (Texts{"account:One"}));
}

TEST_F(CommandLineTest, NameIsCutAtAPlusAndKeepsItsOptions) {
  StartAndRunCommandLine({"Name+Other&update&days=7b&mode=team"});
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].request.text, "Name");
  EXPECT_TRUE(calls_[0].request.update);
  EXPECT_EQ(calls_[0].request.view.days, 7);
  EXPECT_EQ(calls_[0].request.view.letters, "b");
  EXPECT_EQ(calls_[0].request.view.mode, 11);
  EXPECT_EQ(ViewOptions(calls_[0].request.view), "&mode=team&days=7b");
}

TEST_F(CommandLineTest, BracketsMakeAClanSearch) {
  StartAndRunCommandLine({"[T,AG]&days=-1&update"});
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].what, "clan");
  EXPECT_EQ(calls_[0].request.text, "T AG");
  EXPECT_EQ(calls_[0].request.view.days, -1);
  EXPECT_TRUE(calls_[0].request.update);
}

TEST_F(CommandLineTest, OtherSwitchesSearchNothing) {
  StartAndRunCommandLine({"/X"});
  EXPECT_TRUE(calls_.empty());
}

TEST_F(CommandLineTest, DebugFileAloneWritesTheFileButKeepsPagesClean) {
  StartAndRunCommandLine({"Name&debugfile"});
  std::string log_file = root() + "/data/cache/debug.txt";
  ASSERT_TRUE(std::filesystem::exists(log_file));
  EXPECT_NE(ReadText(log_file).find("\tСтрока параметров: Name\r\n"), std::string::npos);
  EXPECT_EQ(screen_.last_document().find("Строка параметров"), std::string::npos);
  EXPECT_EQ(calls_[0].request.text, "Name");
}

TEST_F(CommandLineTest, DebugAndDebugFileTogetherDoBoth) {
  StartAndRunCommandLine({"Name&debugfile&debug"});
  EXPECT_TRUE(std::filesystem::exists(root() + "/data/cache/debug.txt"));
  EXPECT_NE(screen_.last_document().find("\tСтрока параметров: Name<br />"), std::string::npos);
}

TEST_F(CommandLineTest, DebugAloneShowsTheLogOnly) {
  StartAndRunCommandLine({"Name&debug"});
  EXPECT_FALSE(std::filesystem::exists(root() + "/data/cache/debug.txt"));
  EXPECT_NE(screen_.last_document().find("Строка параметров: Name<br />"), std::string::npos);
}

TEST_F(CommandLineTest, FavouritesWithQuitLoadEachSortedThenQuit) {
  settings().WriteSettingStr("Favorites", "0", "zulu");
  settings().WriteSettingStr("Favorites", "1", "Alpha");
  StartAndRunCommandLine({"/f", "/q"});
  EXPECT_EQ(Searches(), (Texts{"account:Alpha", "account:zulu"}));
  EXPECT_FALSE(calls_[0].request.update);
  EXPECT_TRUE(screen_.quit);
  EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(CommandLineTest, EmptyFavouritesWithQuitShowNothing) {
  StartAndRunCommandLine({"/F", "/Q"});
  EXPECT_TRUE(screen_.boxes.empty());
  EXPECT_TRUE(screen_.quit);
  EXPECT_FALSE(IsStartPage(screen_.last_document()));
}

TEST_F(CommandLineTest, EmptyFavouritesWithoutQuitComplainAndShowTheStartPage) {
  StartAndRunCommandLine({"/F"});
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(screen_.boxes[0].caption, "Автозагрузка избранных");
  EXPECT_EQ(screen_.boxes[0].text, "Список избранных пуст.");
  EXPECT_TRUE(IsStartPage(screen_.last_document()));
  EXPECT_NE(screen_.last_document().find("value=\"Known_Player\""), std::string::npos);
  EXPECT_FALSE(screen_.quit);
}

TEST_F(CommandLineTest, UpdatedMarkerShowsTheStartPageAndTheSuccessBox) {
  WriteText(environment_.executable + ".old", "previous build");
  StartAndRunCommandLine({"/UPDATED:OK"});
  ASSERT_EQ(screen_.documents.size(), 1u);
  EXPECT_TRUE(IsStartPage(screen_.documents[0]));
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].kind, BoxKind::Information);
  EXPECT_EQ(screen_.boxes[0].caption, "Обновление программы");
  EXPECT_EQ(screen_.boxes[0].text, "Программа успешно обновлена.");
  EXPECT_FALSE(std::filesystem::exists(environment_.executable + ".old"));
  EXPECT_DOUBLE_EQ(settings().ReadSettingReal("", "UpdateLastCheck", 0), now_);
}

TEST_F(CommandLineTest, UpdatedMarkerAfterASearchRepeatsTheSearch) {
  StartAndRunCommandLine({"Name", "/UPDATED:OK"});
  EXPECT_EQ(Searches(), (Texts{"account:Name"}));
  EXPECT_EQ(screen_.boxes.size(), 1u);
}


TEST_F(CommandLineTest, StartUpCreatesTheFoldersAndReportsReferenceData) {
  Start();
  for (const char* folder : {"cache/user", "cache/clan", "images/vehicle", "images/clan"}) {
    EXPECT_TRUE(std::filesystem::is_directory(root() + "/data/" + folder)) << folder;
  }
  EXPECT_EQ(core().UserCacheFolder, root() + "/data/cache/user");
  EXPECT_EQ(core().ClanImagesFolder, root() + "/data/images/clan");
}

TEST_F(CommandLineTest, StartUpShowsOneBoxPerReferenceDocumentThatFailsAndGoesOn) {
  CoreState core;
  SettingsStore store = settings();
  InitCore(core, TestDisk(), environment_, store, screen_, [] {
    return Texts{"Не удалось загрузить ресурсы TanksInfo.", "Не удалось загрузить ресурсы Achievements."};
  });
  ASSERT_EQ(screen_.boxes.size(), 2u);
  EXPECT_EQ(screen_.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(screen_.boxes[0].caption, "Ошибка");
  EXPECT_EQ(screen_.boxes[0].text, "Не удалось загрузить ресурсы TanksInfo.");
  EXPECT_EQ(screen_.boxes[1].text, "Не удалось загрузить ресурсы Achievements.");
  EXPECT_TRUE(std::filesystem::is_directory(core.UserCacheFolder));  // the rest of the start-up ran
}

TEST_F(CommandLineTest, EmbeddedReferenceDocumentsLoadWithoutBoxes) {
  program_.reset();
  auto service = std::make_unique<ScriptedSearchService>(&calls_);
  Program program(screen_, {}, environment_, std::move(service), [this] { return now_; });
  program.Create();
  EXPECT_TRUE(screen_.boxes.empty());
  EXPECT_TRUE(Reference().LoadErrors().empty());
  EXPECT_TRUE(Reference().TanksInfo().present());
}

TEST_F(CommandLineTest, UnwritableDataFolderIsSilent) {
  WriteText(root() + "/blocked", "a file");
  environment_.data_folder = root() + "/blocked/";
  Start();
  EXPECT_FALSE(std::filesystem::exists(root() + "/blocked/cache"));
  EXPECT_EQ(screen_.documents.size(), 1u);
}

}  // namespace
}  // namespace tarvelo::testing
