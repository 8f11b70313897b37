#include "shell/page_blocks.h"

#include <gtest/gtest.h>

#include "shell/core_state.h"
#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ru\" lang=\"ru\">\r\n"
    "<head>\r\n<title>Tarvelo</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n"
    "<meta name=\"viewport\" content=\"width=device-width\" />\r\n"
    "<style type=\"text/css\">\r\n";

TEST(PageDocumentTest, FrameAroundTheBody) {
  PageFrame frame;
  frame.style = "STYLE";
  frame.flags_style = "FLAGS";
  frame.script = "SCRIPT";
  EXPECT_EQ(PageDocument(frame, "BODY"),
            std::string(kHead) +
                "STYLE</style>\r\n<style type=\"text/css\">\r\nFLAGS</style>\r\n"
                "<script type=\"text/javascript\">\r\nSCRIPT</script>\r\n</head>\r\n"
                "BODY\r\n</body>\r\n</html>");
}

TEST(PageDocumentTest, UserStyleUpdateNoticeAndDebugLogHaveTheirPlaces) {
  PageFrame frame;
  frame.user_style = "/home/u/tarvelo.css";
  frame.update_notice = "NOTICE";
  frame.show_debug_log = true;
  frame.debug_log = "LOG";
  EXPECT_EQ(PageDocument(frame, "BODY"),
            std::string(kHead) +
                "</style>\r\n<style type=\"text/css\">\r\n</style>\r\n"
                "<link rel=\"stylesheet\" href=\"/home/u/tarvelo.css\" type=\"text/css\" media=\"all\" />"
                "<script type=\"text/javascript\">\r\n</script>\r\n</head>\r\n"
                "NOTICEBODY<div style=\"text-align:left;margin:0 auto\">LOG</div>\r\n</body>\r\n</html>");
  frame.debug_log.clear();
  EXPECT_NE(PageDocument(frame, "").find("<div style=\"text-align:left;margin:0 auto\"></div>"), std::string::npos);
}

TEST(PageDocumentTest, AddressesForThePageScriptStandEscapedInTheHead) {
  PageFrame frame;
  frame.vehicle_pictures_address = "http://127.0.0.1:8/static/";
  frame.wiki_address = "http://wiki/?a=1&b=\"2\"";
  const std::string metas =
      "<meta name=\"tarvelo-vehicle-pictures\" content=\"http://127.0.0.1:8/static/\" />\r\n"
      "<meta name=\"tarvelo-wiki\" content=\"http://wiki/?a=1&amp;b=&quot;2&quot;\" />\r\n";
  const std::string head(kHead);
  const size_t style = head.find("<style");
  EXPECT_TRUE(PageDocument(frame, "").starts_with(head.substr(0, style) + metas + head.substr(style)));
  frame.wiki_address.clear();
  EXPECT_EQ(PageDocument(frame, "").find("tarvelo-wiki"), std::string::npos);
}

TEST(PageBlocksTest, FormListsAreReplacedInPlace) {
  const std::string form = SearchForm("OLD LISTS", "Name");
  std::string body = std::string(kBodyStart) + form + "<p>report</p>";
  ASSERT_TRUE(ReplaceFormLists(body, "<b>new</b>"));
  EXPECT_EQ(body, std::string(kBodyStart) + SearchForm("<b>new</b>", "Name") + "<p>report</p>");
  ASSERT_TRUE(ReplaceFormLists(body, ""));
  EXPECT_EQ(body, std::string(kBodyStart) + SearchForm("", "Name") + "<p>report</p>");

  for (std::string without : {std::string(kBodyStart), std::string(), form.substr(0, form.find("OLD LISTS") + 3)}) {
    const std::string before = without;
    EXPECT_FALSE(ReplaceFormLists(without, "x"));
    EXPECT_EQ(without, before);
  }
}

TEST(PageBlocksTest, SearchFormIsExact) {
  EXPECT_EQ(SearchForm("LISTS", "Name"),
            "<form action=\"#\" onsubmit=\"return doCmd('search',this.iName.value)\"><table border=\"0\" "
            "cellpadding=\"5\" cellspacing=\"0\"><tbody><tr><td style=\"vertical-align:middle\">"
            "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><span "
            "style=\"float: left; border: 1px solid transparent; width: 1.4em; height: 1.4em; color: #515253; "
            "cursor: default; display: none; text-align: left;\"><div style=\"display:block;top:-1px;left:-2px\">"
            "\r\nLISTS</div></span></div></div>"
            "Имя&nbsp;игрока&nbsp;или&nbsp;[клантег]:</td><td width=\"100%\"><input type=\"text\" name=\"search\" "
            "id=\"iName\" onKeyDown=\"if(window.event.keyCode==13)doCmd('search',this.value)\" value=\"Name\" "
            "size=\"20\" maxlength=\"64\" /></td><td><input class=\"button\" type=\"submit\" value=\"Найти\" "
            "/></td></tr></tbody></table></form></div>\r\n");
}

TEST(PageBlocksTest, FixedBlocksAreExact) {
  EXPECT_EQ(kBodyStart, "<body scroll=\"auto\">\r\n<div id=\"top\">");
  EXPECT_EQ(kNavigation,
            "<div id=\"showh\" onclick=\"return doCmd('home')\" title=\"Нажмите, чтобы перейти на стартовую "
            "страницу Tarvelo\">&#8592; На главную</div>\r\n<div id=\"showa\" onclick=\"showa(this)\" "
            "title=\"Нажмите, чтобы показать/скрыть дополнительные параметры\">Больше &#8595;</div>\r\n");
  EXPECT_EQ(kHomeButton,
            "<div id=\"showh\" onclick=\"return doCmd('home')\" title=\"Нажмите, чтобы перейти на стартовую "
            "страницу Tarvelo\">&#8592; На главную</div>\r\n");
}

TEST(PageBlocksTest, MessagesAreParagraphsOfTheirSeverityWrappedWithTheirPathsWhole) {
  EXPECT_EQ(WrapMessages({}), "");
  EXPECT_EQ(WrapMessages({{Severity::kError, "ОШИБКА: Не удалось сохранить файл данных: /data/cache/user/1/x.json", {}}}),
            "\r\n<div class=\"main\">\r\n<p class=\"r\">ОШИБКА: Не удалось сохранить файл данных: "
            "/data/cache/user/1/x.json</p>\r\n</div>\r\n");
  EXPECT_EQ(MessageParagraphs({{Severity::kWarning, "ПРЕДУПРЕЖДЕНИЕ: боёв больше.", "http://forum/t"},
                               {Severity::kNote, "Текст", {}}}),
            "<p class=\"g\">ПРЕДУПРЕЖДЕНИЕ: боёв больше. Подробности <a href=\"http://forum/t\" "
            "target=\"_blank\">здесь</a>.</p>\r\n<p>Текст</p>\r\n");
}

TEST(PageBlocksTest, PartnersBlockLinksThroughTheBridge) {
  StartPageLinks links{"http://faq", "http://r", "http://t", "http://k", "http://i"};
  EXPECT_EQ(PartnersBlock(links),
            "<div class=\"top partners\"><p><b>Партнеры проекта</b>"
            "<a target=\"_blank\" onclick=\"return doCmd('browse',this.href)\" href=\"http://r\"><span "
            "class=\"wotreplays\"></span>WoTReplays</a>"
            "<a target=\"_blank\" onclick=\"return doCmd('browse',this.href)\" href=\"http://t\"><span "
            "class=\"wotext\"></span>WoText</a>"
            "<a target=\"_blank\" onclick=\"return doCmd('browse',this.href)\" href=\"http://k\"><span "
            "class=\"kttc\"></span>KTTC</a>"
            "<a target=\"_blank\" onclick=\"return doCmd('browse',this.href)\" href=\"http://i\"><span "
            "class=\"ivanerr\"></span>Иванерр</a></p></div>");
  std::string intro = IntroductionBlock(links);
  EXPECT_TRUE(intro.starts_with("<div class=\"top\">"));
  EXPECT_NE(intro.find("<a href=\"http://faq\" target=\"_blank\" onclick=\"return doCmd('browse',this.href)\">"),
            std::string::npos);
  EXPECT_NE(intro.find("семафор"), std::string::npos);
}

class ShowPageTest : public ShellTest {};

TEST_F(ShowPageTest, UserStyleSheetInTheWorkingFolderIsLinked) {
  Start();
  EXPECT_EQ(screen_.last_document().find("<link rel=\"stylesheet\""), std::string::npos);
  WriteText(root() + "/work/tarvelo.css", "body { color: red }");
  window().ShowPage("");
  EXPECT_NE(screen_.last_document().find("<link rel=\"stylesheet\" href=\"" + root() +
                                         "/work/tarvelo.css\" type=\"text/css\" media=\"all\" />"),
            std::string::npos);
}

// The page script names no host: the pages hand it the configured ones.
TEST_F(ShowPageTest, PagesHandTheScriptTheConfiguredApiHostAndWiki) {
  const std::string script(LoadTextResource("ResScript"));
  ASSERT_FALSE(script.empty());
  for (const char* scheme : {"http://", "https://", "//api.", "//wiki."}) {
    EXPECT_EQ(script.find(scheme), std::string::npos) << scheme;
  }
  WriteText(environment_.settings_file,
            "[Tarvelo]\nRegion=EU\n[Hosts]\nApi=http://api-%REGION%.test:8080\n[Links]\nWiki=http://127.0.0.1:5/wiki/\n");
  Start();
  const std::string& page = screen_.last_document();
  EXPECT_NE(page.find("<meta name=\"tarvelo-vehicle-pictures\" "
                      "content=\"http://api-eu.test:8080/static/2.50.0/wot/encyclopedia/vehicle/\" />"),
            std::string::npos);
  EXPECT_NE(page.find("<meta name=\"tarvelo-wiki\" content=\"http://127.0.0.1:5/wiki/\" />"), std::string::npos);
}

TEST_F(ShowPageTest, StartPageBodyIsBodyStartFormIntroductionAndPartners) {
  settings().WriteSettingStr("Favorites", "0", "Fav_One");
  settings().WriteSettingStr("Recent", "0", "[RCNT]");
  Start();
  std::string body = window().StartPageBody();
  std::string form_end = "</form></div>\r\n";
  ASSERT_TRUE(body.starts_with(std::string(kBodyStart) + "<form action=\"#\""));
  size_t intro = body.find(form_end) + form_end.size();
  EXPECT_EQ(body.substr(intro, 17), "<div class=\"top\">");
  EXPECT_TRUE(body.ends_with("</p></div>"));
  EXPECT_NE(body.find("doCmd('search','Fav_One')"), std::string::npos);
  EXPECT_NE(body.find("</ul><br /><b class=\"sectionHdr\">Список недавних:</b><ol><li><a href=\"#\" "
                      "onclick=\"return doCmd('search','[RCNT]')\">[RCNT]</a></li>\r\n</ol></div>"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
