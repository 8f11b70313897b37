#include "report/html.h"

#include <gtest/gtest.h>

namespace tarvelo {
namespace {

TEST(EscapeHtml, TurnsEveryMarkupCharacterIntoAnEntity) {
  EXPECT_EQ(EscapeHtml("Gromoboy_77"), "Gromoboy_77");
  EXPECT_EQ(EscapeHtml("Волки Севера"), "Волки Севера");
  EXPECT_EQ(EscapeHtml("<script>alert('x')</script>"), "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;");
  EXPECT_EQ(EscapeHtml("a \"b\" & c"), "a &quot;b&quot; &amp; c");
  EXPECT_EQ(EscapeHtml("a|b"), "a&#124;b");
  EXPECT_EQ(EscapeHtml("&amp;"), "&amp;amp;");
}

TEST(EscapeScriptString, CannotCloseTheStringNorTheAttribute) {
  EXPECT_EQ(EscapeScriptString("Gromoboy_77"), "Gromoboy_77");
  EXPECT_EQ(EscapeScriptString("x');alert(1);//"), "x\\&#39;);alert(1);//");
  EXPECT_EQ(EscapeScriptString("a\\b"), "a\\\\b");
  EXPECT_EQ(EscapeScriptString("a\"b"), "a&quot;b");
  EXPECT_EQ(EscapeScriptString("a\r\nb"), "a\\r\\nb");
  // An entity in the text would be decoded before the script reads it.
  EXPECT_EQ(EscapeScriptString("x&#39;)"), "x&amp;#39;)");
}

TEST(DoCmdCall, KeepsOptionNamesAndEscapesTheirValues) {
  EXPECT_EQ(DoCmdCall("search", "Name"), "return doCmd('search','Name')");
  EXPECT_EQ(DoCmdCall("search", "Name", "&mode=random&days=3b"), "return doCmd('search','Name&mode=random&days=3b')");
  EXPECT_EQ(DoCmdCall("search", "Name", "&mode=<b>'"), "return doCmd('search','Name&mode=&lt;b&gt;\\&#39;')");
  EXPECT_EQ(DoCmdCall("search&update", "a'b"), "return doCmd('search&update','a\\&#39;b')");
}

TEST(SearchLinks, PointAtTheSiteAndCallTheProgram) {
  EXPECT_EQ(SearchHref("http://site", "Name", "&days=1"), "http://site?search=Name&days=1");
  EXPECT_EQ(SearchHref("http://site", "a\"b"), "http://site?search=a&quot;b");
  EXPECT_EQ(SearchLink("http://site", "[TAG]", "TAG"),
            "<a href=\"http://site?search=[TAG]\" onclick=\"return doCmd('search','[TAG]')\">TAG</a>");
  EXPECT_EQ(BrowseLink("http://a/?x=1&amp;y=2", "A"),
            "<a href=\"http://a/?x=1&amp;y=2\" target=\"_blank\" onclick=\"return doCmd('browse',this.href)\">A</a>");
}

TEST(FileUrl, EncodesWhatAnAddressCannotCarry) {
  EXPECT_EQ(FileUrl("/home/u/images/clan/1_emblem_24x24.png"), "file:///home/u/images/clan/1_emblem_24x24.png");
  EXPECT_EQ(FileUrl("/home/o'neil/a b.png"), "file:///home/o%27neil/a%20b.png");
  EXPECT_EQ(FileUrl("/д"), "file:///%D0%B4");
  EXPECT_EQ(FileUrl("C:\\images\\x.png"), "file:///C%3A/images/x.png");
}

}  // namespace
}  // namespace tarvelo
