#include "shell/entry_lists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

using Entries = std::vector<std::string>;

class EntryListsTest : public ::testing::Test {
 protected:
  TempFolder temp_;
  SettingsStore store_{TestDisk(), temp_.path() + "/settings.ini"};
  FakeFrontEnd screen_;

  void Fill(std::string_view list, size_t count) {
    for (size_t i = 0; i < count; ++i) store_.WriteSettingStr(list, std::to_string(i), "Player_" + std::to_string(i));
  }
  Entries Favorites() { return ReadList(store_, kFavorites); }
  Entries Recent() { return ReadList(store_, kRecent); }
};

TEST_F(EntryListsTest, ListEndsAtTheFirstMissingOrEmptyValue) {
  store_.WriteSettingStr(kFavorites, "0", "A_one");
  store_.WriteSettingStr(kFavorites, "1", "B_two");
  store_.WriteSettingStr(kFavorites, "3", "After_gap");
  EXPECT_EQ(Favorites(), (Entries{"A_one", "B_two"}));
  store_.WriteSettingStr(kFavorites, "1", "  ");
  EXPECT_EQ(Favorites(), (Entries{"A_one"}));
}

TEST_F(EntryListsTest, AddingRespellsEntriesEqualIgnoringCase) {
  AddFavorite(store_, "player_one", screen_);
  AddFavorite(store_, "[TAG]", screen_);
  AddFavorite(store_, "Player_One", screen_);
  AddFavorite(store_, "[tag]", screen_);
  EXPECT_EQ(Favorites(), (Entries{"Player_One", "[tag]"}));
  AddFavorite(store_, "ИГРОК", screen_);
  AddFavorite(store_, "игрок", screen_);
  EXPECT_EQ(Favorites(), (Entries{"Player_One", "[tag]", "игрок"}));
  EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(EntryListsTest, FullFavouritesRefuseANewEntryButAcceptAKnownOne) {
  Fill(kFavorites, 20);
  AddFavorite(store_, "Newcomer", screen_);
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(screen_.boxes[0].caption, "Добавление записи");
  EXPECT_EQ(screen_.boxes[0].text, "Извините, достигнут лимит количества записей. Удалите ненужные.");
  EXPECT_EQ(Favorites().size(), 20u);
  AddFavorite(store_, "PLAYER_7", screen_);
  EXPECT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(Favorites()[7], "PLAYER_7");
  EXPECT_EQ(Favorites().size(), 20u);
}

TEST_F(EntryListsTest, DeletingAsksWithTheReceivedTextAndClosesTheGap) {
  Fill(kFavorites, 20);
  screen_.answers = {Answer::No};
  DeleteListEntry(store_, kFavorites, "player_5", &screen_);
  EXPECT_EQ(Favorites().size(), 20u);
  ASSERT_EQ(screen_.questions.size(), 1u);
  EXPECT_EQ(screen_.questions[0], "Удаление записи|Удалить player_5 из списка избранных?");

  screen_.answers = {Answer::Yes};
  DeleteListEntry(store_, kFavorites, "player_5", &screen_);
  Entries expected;
  for (int i = 0; i < 20; ++i) {
    if (i != 5) expected.push_back("Player_" + std::to_string(i));
  }
  EXPECT_EQ(Favorites(), expected);
  EXPECT_EQ(store_.ReadSettingStr(kFavorites, "19", "deleted"), "deleted");
}

TEST_F(EntryListsTest, DeletingAnAbsentEntryAsksNothing) {
  Fill(kFavorites, 2);
  DeleteListEntry(store_, kFavorites, "Stranger", &screen_);
  EXPECT_TRUE(screen_.questions.empty());
  EXPECT_EQ(Favorites().size(), 2u);
}

TEST_F(EntryListsTest, DeletingTheLastFavouriteShowsNoEntries) {
  AddFavorite(store_, "Only_One", screen_);
  DeleteListEntry(store_, kFavorites, "ONLY_ONE", nullptr);
  EXPECT_TRUE(Favorites().empty());
  EXPECT_EQ(ListHtml(store_, kFavorites, "Список избранных"),
            "<b class=\"sectionHdr\">Список избранных:</b><ul><li>Нет записей</li>\r\n</ul>");
}

TEST_F(EntryListsTest, RecentKeepsTheNewestFirstWithoutRepeats) {
  AddRecent(store_, "First");
  AddRecent(store_, "Second");
  AddRecent(store_, "[CLAN]");
  EXPECT_EQ(Recent(), (Entries{"[CLAN]", "Second", "First"}));
  AddRecent(store_, "first");
  EXPECT_EQ(Recent(), (Entries{"first", "[CLAN]", "Second"}));
}

TEST_F(EntryListsTest, EleventhSearchDropsTheOldest) {
  for (int i = 0; i < 11; ++i) AddRecent(store_, "Player_" + std::to_string(i));
  Entries recent = Recent();
  ASSERT_EQ(recent.size(), 10u);
  EXPECT_EQ(recent.front(), "Player_10");
  EXPECT_EQ(recent.back(), "Player_1");
  EXPECT_EQ(store_.ReadSettingStr(kRecent, "10", "none"), "none");
}

TEST_F(EntryListsTest, FavouritesAreShownSortedWithRemoveLinks) {
  AddFavorite(store_, "zeta", screen_);
  AddFavorite(store_, "[ABC]", screen_);
  AddFavorite(store_, "Alpha", screen_);
  EXPECT_EQ(ListHtml(store_, kFavorites, "Список избранных"),
            "<b class=\"sectionHdr\">Список избранных:</b><ul>"
            "<li><a href=\"#\" onclick=\"return doCmd('delfav','[ABC]')\" title=\"Удалить из списка избранных\" "
            "class=\"popup\">x</a><a href=\"#\" onclick=\"return doCmd('search','[ABC]')\">[ABC]</a>"
            "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</li>\r\n"
            "<li><a href=\"#\" onclick=\"return doCmd('delfav','Alpha')\" title=\"Удалить из списка избранных\" "
            "class=\"popup\">x</a><a href=\"#\" onclick=\"return doCmd('search','Alpha')\">Alpha</a>"
            "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</li>\r\n"
            "<li><a href=\"#\" onclick=\"return doCmd('delfav','zeta')\" title=\"Удалить из списка избранных\" "
            "class=\"popup\">x</a><a href=\"#\" onclick=\"return doCmd('search','zeta')\">zeta</a>"
            "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</li>\r\n"
            "</ul>");
}

TEST_F(EntryListsTest, RecentIsShownInStoredOrder) {
  AddRecent(store_, "beta");
  AddRecent(store_, "Alpha");
  EXPECT_EQ(ListHtml(store_, kRecent, "Список недавних"),
            "<b class=\"sectionHdr\">Список недавних:</b><ol>"
            "<li><a href=\"#\" onclick=\"return doCmd('search','Alpha')\">Alpha</a></li>\r\n"
            "<li><a href=\"#\" onclick=\"return doCmd('search','beta')\">beta</a></li>\r\n"
            "</ol>");
}

TEST_F(EntryListsTest, EntriesAreShownAsTextAndPassedAsScriptStrings) {
  AddRecent(store_, "a'b<i>");
  EXPECT_EQ(ListHtml(store_, kRecent, "Список недавних"),
            "<b class=\"sectionHdr\">Список недавних:</b><ol>"
            "<li><a href=\"#\" onclick=\"return doCmd('search','a\\&#39;b&lt;i&gt;')\">a&#39;b&lt;i&gt;</a></li>\r\n"
            "</ol>");
}

TEST_F(EntryListsTest, OrderIgnoresCaseFirstAndPutsLatinBeforeCyrillic) {
  Entries entries{"борис", "Zed", "zed", "Анна", "alpha", "Ёжик", "ель", "_under", "9lives"};
  std::sort(entries.begin(), entries.end(), EntryOrder);
  EXPECT_EQ(entries, (Entries{"_under", "9lives", "alpha", "zed", "Zed", "Анна", "борис", "Ёжик", "ель"}));
}

}  // namespace
}  // namespace tarvelo::testing
