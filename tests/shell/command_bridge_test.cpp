#include <gtest/gtest.h>

#include <tuple>

#include "shell/entry_lists.h"
#include "shell/page_blocks.h"
#include "shell/search_options.h"
#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

class BridgeTest : public ShellTest {
 protected:
  BridgeTest() {
    settings().WriteSettingStr("", "DefaultAccount", "Known_Player");
    Start();
    screen_.documents.clear();
  }
  // A title set by the page, one and a half seconds after the previous one.
  void Title(const std::string& title) {
    now_ += 1.5 * kSecond;
    screen_.SetTitle(title);
  }
  std::vector<std::string> Searches() const {
    std::vector<std::string> texts;
    for (const auto& call : calls_) {
      if (call.what == "account" || call.what == "clan") texts.push_back(call.what + ":" + call.request.text);
    }
    return texts;
  }
};

using Texts = std::vector<std::string>;

// Each request read, and its options written again as the links write them:
// what the reading keeps, the writing gives back.
TEST(SearchOptionsTest, TheOptionsReadAreTheOptionsWritten) {
  struct Case {
    std::string_view request;
    std::string_view rest;
    int mode;
    std::string_view mode_key;
    int days;
    std::string_view letters;
    std::string_view written;
  };
  const Case cases[] = {
      {"Name&mode=RANDOM&days=7", "Name", 1, "random", 7, "", "&mode=random&days=7"},
      {"Name&days=-3b&mode=Stronghold_Defense&x", "Name&x", 10, "stronghold_defense", -3, "b",
       "&mode=stronghold_defense&days=-3b"},
      {"Name&mode=all", "Name", 0, "", 0, "", ""},
      {"Name&mode=Arcade", "Name", 0, "Arcade", 0, "", "&mode=Arcade"},  // unknown: handed on as typed
      {"Name&days=", "Name", 0, "", 0, "", ""},
      {"Name&days=--2", "Name", 0, "", 0, "", ""},
      {"Name&days=99999999999999999999", "Name", 0, "", 0, "", ""},
      {"Name&days=0O", "Name", 0, "", 0, "o", ""},
      {"Name&days=1x4", "Name", 0, "", 14, "x", "&days=14x"},
      {"[TAG]&days=-5", "[TAG]", 0, "", -5, "", "&days=-5"},
  };
  for (const Case& c : cases) {
    const SearchOptions o = ParseSearchOptions(c.request);
    EXPECT_EQ(o.request, c.rest) << c.request;
    EXPECT_EQ(o.view.mode, c.mode) << c.request;
    EXPECT_EQ(o.view.mode_key, c.mode_key) << c.request;
    EXPECT_EQ(o.view.days, c.days) << c.request;
    EXPECT_EQ(o.view.letters, c.letters) << c.request;
    EXPECT_EQ(ViewOptions(o.view), c.written) << c.request;
    const SearchOptions again = ParseSearchOptions(std::string(c.rest) + ViewOptions(o.view));
    EXPECT_EQ(again.view.mode, o.view.mode) << c.request;
    EXPECT_EQ(again.view.days, o.view.days) << c.request;
    EXPECT_EQ(ViewOptions(again.view), c.written) << c.request;
  }
  EXPECT_EQ(RequestOptions("team", 0), "&mode=team&days=0");  // a period named, all time
  EXPECT_EQ(RequestOptions("", std::nullopt, "o"), "");
}

TEST_F(BridgeTest, TitlesWithoutCommandsAndUnknownCommandsAreIgnored) {
  Title("Tarvelo");
  Title("search[PRM:]Somebody");
  Title("[CMD:]Search[PRM:]Somebody");
  Title("[CMD:]launch[PRM:]Somebody");
  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(screen_.documents.empty());
}

TEST_F(BridgeTest, TooShortRequestsAreIgnored) {
  Title("[CMD:]search[PRM:]ab");
  Title("[CMD:]search[PRM:]@");
  Title("[CMD:]search[PRM:]Яг");
  EXPECT_TRUE(calls_.empty());
  Title("[CMD:]search[PRM:]@7");
  Title("[CMD:]search[PRM:]Ягр");
  EXPECT_EQ(Searches(), (Texts{"account:@7", "account:Ягр"}));
}

TEST_F(BridgeTest, TextBeforeTheCommandIsIgnoredAndTheParameterKeepsLaterMarkers) {
  Title("garbage[CMD:]search[PRM:]Name[PRM:]x");
  EXPECT_EQ(Searches(), (Texts{"account:Name[PRM:]x"}));
}

TEST_F(BridgeTest, UpdateFlagComesFromTheCommandOrTheParameter) {
  Title("[CMD:]search&update[PRM:]Name");
  Title("[CMD:]search[PRM:]Name&update");
  Title("[CMD:]search[PRM:]Name");
  ASSERT_EQ(calls_.size(), 3u);
  EXPECT_TRUE(calls_[0].request.update);
  EXPECT_TRUE(calls_[1].request.update);
  EXPECT_FALSE(calls_[2].request.update);
  EXPECT_EQ(calls_[1].request.text, "Name");
}

TEST_F(BridgeTest, OptionsReachTheSearch) {
  Title("[CMD:]search[PRM:]Name&mode=RANDOM&days=7o");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].request.text, "Name");
  EXPECT_EQ(calls_[0].request.view.days, 7);
  EXPECT_EQ(calls_[0].request.view.letters, "o");
  EXPECT_EQ(calls_[0].request.view.mode, 1);
  EXPECT_EQ(calls_[0].request.view.mode_key, "random");
  EXPECT_EQ(window().state().CurrentView.days, 7);
  EXPECT_EQ(window().state().CurrentView.letters, "o");
}

TEST_F(BridgeTest, SeparatorsBecomeBlanksAndBracketsMakeAClanSearch) {
  Title("[CMD:]search[PRM:]One,Two;Three");
  Title("[CMD:]search[PRM:][T]A[G]");
  EXPECT_EQ(Searches(), (Texts{"account:One Two Three", "clan:TAG"}));
  EXPECT_EQ(window().state().SearchText, "[TAG]");
  EXPECT_EQ(window().state().CurrentClanTag, "TAG");
}

TEST_F(BridgeTest, RepeatWithinASecondIsDroppedAndTheWindowSlides) {
  Title("[CMD:]search[PRM:]Name");
  now_ += 0.5 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Name");  // 0.5 s after: dropped
  now_ += 0.9 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Name");  // 0.9 s after the last report: dropped again
  EXPECT_EQ(Searches().size(), 1u);
  now_ += 1.1 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Name");  // more than a second of quiet: runs
  EXPECT_EQ(Searches().size(), 2u);
}

TEST_F(BridgeTest, AnotherTitleInBetweenDoesNotReleaseARepeat) {
  Title("[CMD:]search[PRM:]Name");
  now_ += 0.3 * kSecond;
  screen_.SetTitle("Tarvelo");  // the page rewritten: an ordinary title
  now_ += 0.3 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Name");
  EXPECT_EQ(Searches().size(), 1u);
  now_ += 0.3 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Other");  // a different title runs at once
  EXPECT_EQ(Searches().size(), 2u);
}

TEST_F(BridgeTest, ShiftOpensANewInstanceWithTheSuffixesButNoUpdateFlag) {
  screen_.shift = true;
  Title("[CMD:]search&update[PRM:]Name&days=7&mode=clan");
  Title("[CMD:]search[PRM:][TAG]&days=-1");
  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(screen_.documents.empty());
  ASSERT_EQ(screen_.program_copies.size(), 2u);
  EXPECT_EQ(screen_.program_copies[0], (Texts{"Name&mode=clan&days=7"}));
  EXPECT_EQ(screen_.program_copies[1], (Texts{"[TAG]&days=-1"}));
}

TEST_F(BridgeTest, BrowseOpensOnlyWebAddresses) {
  Title("[CMD:]browse[PRM:]http://127.0.0.1/a?b=c");
  Title("[CMD:]browse[PRM:]HTTPS://example.org/");
  Title("[CMD:]browse[PRM:]file:///etc/passwd");
  Title("[CMD:]browse[PRM:]/usr/share/applications/evil.desktop");
  Title("[CMD:]browse[PRM:]javascript:alert(1)");
  Title("[CMD:]browse[PRM:]http://");
  Title("[CMD:]browse[PRM:] http://127.0.0.1/");
  Title("[CMD:]browse[PRM:]httpx://127.0.0.1/");
  EXPECT_EQ(screen_.opened_urls, (Texts{"http://127.0.0.1/a?b=c", "HTTPS://example.org/"}));
  EXPECT_TRUE(screen_.documents.empty());
}

TEST_F(BridgeTest, RefusedAddressIsLoggedWhenTheLogIsOn) {
  SetDebugEnabled(true);
  Title("[CMD:]browse[PRM:]file:///etc/passwd");
  EXPECT_NE(DebugLogText().find("file:///etc/passwd"), std::string::npos);
}

TEST_F(BridgeTest, FavouriteCommandsEditTheList) {
  Title("[CMD:]addfav[PRM:]Name_One");
  Title("[CMD:]addfav[PRM:][TAG]");
  EXPECT_EQ(ReadList(settings(), kFavorites), (Texts{"Name_One", "[TAG]"}));
  screen_.answers = {Answer::Yes};
  Title("[CMD:]delfav[PRM:]name_one");
  EXPECT_EQ(screen_.questions, (Texts{"Удаление записи|Удалить name_one из списка избранных?"}));
  EXPECT_EQ(ReadList(settings(), kFavorites), (Texts{"[TAG]"}));
}

// The lists of the page's "+" pop-up follow the stored ones: only that part of the page
// changes, and the page kept for a later showing holds the same lists.
TEST_F(BridgeTest, FavouriteChangesReachTheListsOfTheShownPage) {
  window().ShowPage(window().StartPageBody());
  const std::string start_page = screen_.last_document();
  ASSERT_NE(start_page.find("Список избранных:</b><ul><li>Нет записей</li>"), std::string::npos);

  Title("[CMD:]addfav[PRM:]Name_One");
  ASSERT_EQ(screen_.page_parts.size(), 1u);
  EXPECT_EQ(screen_.page_parts[0].selector, kFormListsSelector);
  EXPECT_EQ(screen_.page_parts[0].html, ListsPopupContent(settings()));
  EXPECT_NE(screen_.page_parts[0].html.find("doCmd('search','Name_One')"), std::string::npos);
  std::string expected_page = start_page;
  ASSERT_TRUE(ReplaceFormLists(expected_page, ListsPopupContent(settings())));
  EXPECT_EQ(screen_.last_document(), expected_page);

  Title("[CMD:]addfav[PRM:]name_one");  // the same entry, spelt anew: the list shows the new spelling
  ASSERT_EQ(screen_.page_parts.size(), 2u);
  EXPECT_NE(screen_.page_parts[1].html.find(">name_one</a>"), std::string::npos);

  screen_.answers = {Answer::No};
  Title("[CMD:]delfav[PRM:]Name_One");
  EXPECT_EQ(screen_.page_parts.size(), 2u) << "nothing deleted, nothing to show";
  screen_.answers = {Answer::Yes};
  Title("[CMD:]delfav[PRM:]Name_One");
  ASSERT_EQ(screen_.page_parts.size(), 3u);
  EXPECT_NE(screen_.page_parts[2].html.find("<ul><li>Нет записей</li>"), std::string::npos);

  // A page shown again (the update notice does so) keeps the lists as they are now.
  window().ShowPage(window().StartPageBody());
  EXPECT_EQ(screen_.last_document(), start_page);
}

TEST_F(BridgeTest, AFavouriteAddedOnAPageWithoutSearchFormChangesNoPage) {
  window().ShowPage(kBodyStart);
  const size_t shown = screen_.documents.size();
  Title("[CMD:]addfav[PRM:]Name_One");
  EXPECT_EQ(ReadList(settings(), kFavorites), (Texts{"Name_One"}));
  EXPECT_TRUE(screen_.page_parts.empty());
  EXPECT_EQ(screen_.documents.size(), shown);
}

TEST_F(BridgeTest, WhileASearchWaitsOnlyBreakAndBrowseRunTheLastOtherCommandRunsAfterIt) {
  SetDebugEnabled(true);
  service_->during_load = [this] {
    service_->during_load = nullptr;
    for (const char* title : {"[CMD:]search[PRM:]Second", "[CMD:]home", "[CMD:]break",
                              "[CMD:]browse[PRM:]https://example.org/", "[CMD:]search[PRM:]Third"}) {
      Title(title);
    }
    EXPECT_EQ(Searches(), (Texts{"account:First"})) << "nothing else runs during the search";
  };
  Title("[CMD:]search[PRM:]First");
  EXPECT_TRUE(core().BreakRequested);
  EXPECT_EQ(screen_.opened_urls, (Texts{"https://example.org/"}));
  EXPECT_EQ(Searches(), (Texts{"account:First", "account:Third"})) << "the last one waited for the first";
  EXPECT_NE(screen_.last_document().find("value=\"Third\""), std::string::npos);
}

TEST_F(BridgeTest, BlankSearchesShowTheStartPageWithAHintAndDashNamesAreNeverLoaded) {
  for (const char* title : {"[CMD:]search[PRM:]", "[CMD:]search[PRM:]   ", "[CMD:]search[PRM:]&days=3&mode=all",
                            "[CMD:]search[PRM:]-rf --all"}) {
    screen_.documents.clear();
    Title(title);
    ASSERT_FALSE(screen_.documents.empty()) << title;
    const std::string& page = screen_.last_document();
    EXPECT_NE(page.find("<div class=\"top partners\">"), std::string::npos) << title;
    const std::string_view hint = std::string_view(title).ends_with("--all") ? kDashNameMessage : kEmptySearchMessage;
    EXPECT_NE(page.find("<p class=\"r\">" + std::string(hint) + "</p>"), std::string::npos) << title;
  }
  EXPECT_TRUE(calls_.empty());
}

TEST_F(BridgeTest, BreakOnlySetsTheFlag) {
  Title("[CMD:]break");
  EXPECT_TRUE(core().BreakRequested);
  EXPECT_TRUE(screen_.documents.empty());
}

TEST_F(BridgeTest, HomeShowsTheStartPageWithTheSearchText) {
  Title("[CMD:]search[PRM:]Last_Searched");
  Title("[CMD:]home");
  EXPECT_EQ(screen_.last_document().find(std::string(kBodyStart)) != std::string::npos, true);
  EXPECT_NE(screen_.last_document().find("value=\"Last_Searched\""), std::string::npos);
  EXPECT_NE(screen_.last_document().find("<div class=\"top partners\">"), std::string::npos);
}

TEST_F(BridgeTest, UpdateAsksAndNoOpensTheForumTopic) {
  screen_.answers = {Answer::No, Answer::Cancel};
  Title("[CMD:]update[PRM:]http://127.0.0.1/forum/topic");
  Title("[CMD:]update[PRM:]http://127.0.0.1/forum/other");
  ASSERT_EQ(screen_.questions.size(), 2u);
  EXPECT_EQ(screen_.questions[0],
            "Обновление программы|Обновить программу автоматически?\r\n\r\n"
            "Да\t- скачать и обновить программу автоматически\r\n"
            "Нет\t- перейти на форум для скачивания вручную\r\n"
            "Отмена\t- ничего не предпринимать");
  EXPECT_EQ(screen_.opened_urls, (Texts{"http://127.0.0.1/forum/topic"}));
}

TEST_F(BridgeTest, DebugLogIsClearedBeforeEachCommandAndShownUnderThePage) {
  SetDebugEnabled(true);
  DebugLog("before the command");
  Title("[CMD:]home");
  const std::string& page = screen_.last_document();
  EXPECT_EQ(page.find("before the command"), std::string::npos);
  EXPECT_NE(page.find("<div style=\"text-align:left;margin:0 auto\">"), std::string::npos);
}

TEST_F(BridgeTest, FailedAccountSearchShowsItsPagesInOrder) {
  Title("[CMD:]search[PRM:]Some_Name");
  ASSERT_EQ(screen_.documents.size(), 3u);
  auto body_of = [](const std::string& page) { return page.substr(page.find("</head>\r\n") + 9); };
  EXPECT_EQ(body_of(screen_.documents[0]), std::string(kBodyStart) + "\r\n</body>\r\n</html>");
  EXPECT_EQ(body_of(screen_.documents[1]),
            "<div id=\"top\">Поиск информации об игроке Some_Name...<div class=\"waiting\"></div></div>\r\n</body>\r\n"
            "</html>");
  std::string error_body = body_of(screen_.documents[2]);
  EXPECT_TRUE(error_body.starts_with(std::string(kBodyStart) + "<form action=\"#\""));
  EXPECT_NE(error_body.find("value=\"Some_Name\""), std::string::npos);
  EXPECT_NE(error_body.find("</form></div>\r\n<p>Сообщение загрузчика</p>\r\n\r\n</body>"), std::string::npos);
  EXPECT_EQ(screen_.captions, (Texts{"Tarvelo - Some_Name"}));
  EXPECT_EQ(screen_.cursors, (std::vector<Cursor>{Cursor::Wait, Cursor::Normal}));
  EXPECT_TRUE(ReadList(settings(), kRecent).empty());
}

TEST_F(BridgeTest, SuccessfulAccountSearchShowsTheReportAndRemembersTheName) {
  service_->succeed = true;
  Title("[CMD:]search[PRM:]some_name&days=3");
  EXPECT_EQ(screen_.captions, (Texts{"Tarvelo - some_name", "Tarvelo - Loaded_Name"}));
  EXPECT_EQ(ReadList(settings(), kRecent), (Texts{"some_name"}));
  const std::string& page = screen_.last_document();
  EXPECT_NE(page.find(std::string(kNavigation) + "<p>account report</p>\r\n<div class=\"main\">\r\n"
                      "<p>Сообщение загрузчика</p>\r\n</div>\r\n"),
            std::string::npos);
  EXPECT_EQ(calls_.back().days, 3);
}

TEST_F(BridgeTest, TypedTextIsShownAsTextAndTheReportsBoxesAreShown) {
  const std::string typed = "x\"><h1>INJECTED</h1><img src=\"nope\" onerror=\"document.body.style.background='red'\">";
  Title("[CMD:]search[PRM:]" + typed);
  for (const std::string& page : screen_.documents) {
    EXPECT_EQ(page.find("<h1>INJECTED"), std::string::npos);
    EXPECT_EQ(page.find("<img src=\"nope\""), std::string::npos);
  }
  EXPECT_NE(screen_.last_document().find("value=\"x&quot;&gt;&lt;h1&gt;INJECTED&lt;/h1&gt;&lt;img src=&quot;nope&quot; "
                                         "onerror=&quot;document.body.style.background=&#39;red&#39;&quot;&gt;\""),
            std::string::npos);
  EXPECT_NE(screen_.documents[1].find("Поиск информации об игроке x&quot;&gt;&lt;h1&gt;"), std::string::npos);

  service_->succeed = true;
  service_->layout_errors = {"Обнаружено несоответствие в параметрах отображения данных (x)."};
  screen_.boxes.clear();
  Title("[CMD:]search[PRM:]Name_Two");
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(screen_.boxes[0].caption, "Ошибка");
  EXPECT_EQ(screen_.boxes[0].text, "Обнаружено несоответствие в параметрах отображения данных (x).");
  EXPECT_NE(screen_.last_document().find("<p>account report</p>"), std::string::npos);
}

TEST_F(BridgeTest, SemaphoreAndClaimLayoutsHaveNoNavigation) {
  service_->succeed = true;
  Title("[CMD:]search[PRM:]some_name&days=-2");
  EXPECT_EQ(screen_.last_document().find("id=\"showh\""), std::string::npos);
  Title("[CMD:]search[PRM:]some_name&days=-3");
  EXPECT_NE(screen_.last_document().find("id=\"showh\""), std::string::npos);
}

TEST_F(BridgeTest, ClanSearchShowsTheWaitingPageThenTheReport) {
  service_->succeed = true;
  Title("[CMD:]search[PRM:][tag]&update");
  ASSERT_GE(screen_.documents.size(), 3u);
  EXPECT_NE(screen_.documents[1].find(
                "<div id=\"top\"><b class=\"sectionHdr\">Сбор информации о клане [tag]. Пожалуйста, "
                "ждите...</b><br /><br />Первоначальный сбор информации о клане может занять длительное время "
                "&ndash;<br />до нескольких минут, в зависимости от количества бойцов, скорости соединения с "
                "сервером,<br />наличия в кеше ранее загруженной информации о статистике бойцов клана.<br /><br "
                "/>Собранная информация будет сохранена в кеше, что позволит в течение последующих<br "
                "/>нескольких часов работать с ней уже без повторных длительных ожиданий.<br /><br /><input "
                "class=\"button\" type=\"button\" value=\"Прервать\" onclick=\"return doCmd('break')\"></div>"),
            std::string::npos);
  EXPECT_EQ(screen_.captions,
            (Texts{"Tarvelo", "Tarvelo - [TAG] 1 из 2 - Member", "Tarvelo - [TAG] Clan Name"}));
  EXPECT_NE(screen_.last_document().find("value=\"[tag]\""), std::string::npos);
  EXPECT_NE(screen_.last_document().find("<p>clan report</p>"), std::string::npos);
  EXPECT_TRUE(calls_.back().request.update);
  EXPECT_EQ(ReadList(settings(), kRecent), (Texts{"[tag]"}));
}

TEST_F(BridgeTest, NegativeClanDaysPickTheTopTanksVariantOrTheActivityView) {
  service_->succeed = true;
  Title("[CMD:]search[PRM:][TAG]&days=-1");
  Title("[CMD:]search[PRM:][TAG]&days=-5");
  Title("[CMD:]search[PRM:][TAG]&days=-6&update");
  Title("[CMD:]search[PRM:][TAG]&days=-7");
  ASSERT_EQ(calls_.size(), 8u);
  EXPECT_EQ(calls_[1].what, "top tanks");
  EXPECT_EQ(calls_[1].variant, 0);
  EXPECT_EQ(calls_[3].variant, 4);
  EXPECT_EQ(calls_[5].what, "clan activity");
  EXPECT_TRUE(calls_[5].request.update);
  EXPECT_EQ(calls_[7].what, "clan report");
}

// The top-tanks and activity tables hide nothing, so "Больше" would open nothing there.
TEST_F(BridgeTest, TopTanksAndActivityPagesOfferNoMoreButtonTheMembersTableDoes) {
  service_->succeed = true;
  const std::vector<std::tuple<std::string, bool, std::string>> cases = {
      {"", true, "clan report"},           {"&days=-1", false, "top tanks"}, {"&days=-3", false, "top tanks"},
      {"&days=-5", false, "top tanks"},    {"&days=-6", false, "clan activity"},
      {"&days=-7", true, "clan report"},   {"&days=2", true, "clan report"}};
  for (const auto& [options, more, what] : cases) {
    Title("[CMD:]search[PRM:][TAG]" + options);
    const std::string& page = screen_.last_document();
    const std::string report = "<p>" + what + "</p>";
    EXPECT_NE(page.find(std::string(more ? kNavigation : kHomeButton) + report), std::string::npos) << options;
    EXPECT_EQ(page.find("id=\"showa\"") != std::string::npos, more) << options;
  }
}

TEST_F(BridgeTest, FailedClanSearchShowsTheMessagesUnderTheForm) {
  Title("[CMD:]search[PRM:][NONE]");
  EXPECT_NE(screen_.last_document().find("value=\"[NONE]\""), std::string::npos);
  EXPECT_NE(screen_.last_document().find("<p>Сообщение загрузчика</p>"), std::string::npos);
  EXPECT_EQ(screen_.captions, (Texts{"Tarvelo"}));
}

class DefaultNameTest : public ShellTest {};

TEST_F(DefaultNameTest, FirstSearchAsksOnceEvenWhenItFails) {
  Start();
  screen_.answers = {Answer::Yes};
  now_ += 2 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]First_Name");
  now_ += 2 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]Second_Name");
  EXPECT_EQ(screen_.questions, (Texts{"Имя игрока|Использовать имя игрока First_Name по умолчанию?"}));
  EXPECT_EQ(settings().ReadSettingStr("", "DefaultAccount", ""), "First_Name");
}

TEST_F(DefaultNameTest, AnsweringNoStoresNothing) {
  Start();
  now_ += 2 * kSecond;
  screen_.SetTitle("[CMD:]search[PRM:]First_Name");
  EXPECT_EQ(screen_.questions.size(), 1u);
  EXPECT_EQ(settings().ReadSettingStr("", "DefaultAccount", "none"), "none");
}

}  // namespace
}  // namespace tarvelo::testing
