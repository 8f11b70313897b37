#include "text/encoding.h"
#include "text/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvelo {
namespace {

TEST(Utf8Test, AcceptsWellFormedText) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_TRUE(IsValidUtf8("Привет, мир"));
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBF"));
}

TEST(Utf8Test, RejectsMalformedText) {
  EXPECT_FALSE(IsValidUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"));  // "Привет" in Windows-1251
  EXPECT_FALSE(IsValidUtf8("\x80"));                      // lone continuation byte
  EXPECT_FALSE(IsValidUtf8("\xD0"));                      // cut short at the end
  EXPECT_FALSE(IsValidUtf8("\xD0 "));                     // lead byte without continuation
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                  // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));              // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));              // surrogate U+D800
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));          // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(Cp1251Test, ConvertsLettersAndPunctuation) {
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
  EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF"), "АЯая");
  EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8"), "Ёё");
  EXPECT_EQ(Cp1251ToUtf8("\xB9 \x96 \x97 \x85"), "№ – — …");
  EXPECT_EQ(Cp1251ToUtf8("\x88"), "€");
  EXPECT_EQ(Cp1251ToUtf8("\xAB\xBB"), "«»");
  EXPECT_EQ(Cp1251ToUtf8("\xA0"), "\xC2\xA0");
  EXPECT_EQ(Cp1251ToUtf8("\x80\x81\xA5\xB4"), "ЂЃҐґ");
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");  // no character: U+FFFD
  EXPECT_EQ(Cp1251ToUtf8("abc\t\r\n"), "abc\t\r\n");
  EXPECT_EQ(Cp1251ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1251Test, EveryByteGivesValidUtf8) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  std::string converted = Cp1251ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(converted));
  // 128 ASCII bytes, 109 characters below U+0800, 19 above (quotes, dashes, €, №, ™, U+FFFD).
  EXPECT_EQ(converted.size(), 128u + 2 * 109 + 3 * 19);
}

TEST(DecodeAnswerTest, KeepsUtf8AndConvertsEverythingElse) {
  EXPECT_EQ(DecodeAnswer("Танки"), "Танки");
  EXPECT_EQ(DecodeAnswer("\xD2\xE0\xED\xEA\xE8"), "Танки");
  EXPECT_EQ(DecodeAnswer("{\"a\":1}"), "{\"a\":1}");
  EXPECT_EQ(DecodeAnswer(""), "");
}

TEST(PlainTextOfPageTest, RemovesScriptsAndTags) {
  EXPECT_EQ(PlainTextOfPage("<html><body><p>Hello</p>  <b>world</b></body></html>"), "Hello world");
  EXPECT_EQ(PlainTextOfPage("a<script type=\"x\">if (a < b) c();</script>b"), "ab");
  EXPECT_EQ(PlainTextOfPage("a<SCRIPT>x>y</SCRIPT>b<script>1</script>c"), "abc");
  EXPECT_EQ(PlainTextOfPage("<p>\r\n\tline one\r\n\r\n  line two\t</p>"), "line one line two");
  EXPECT_EQ(PlainTextOfPage("   "), "");
  EXPECT_EQ(PlainTextOfPage(""), "");
}

TEST(PlainTextOfPageTest, SurvivesUnterminatedMarkup) {
  EXPECT_EQ(PlainTextOfPage("before<script>never closed <b>x</b>"), "before");
  EXPECT_EQ(PlainTextOfPage("before<SCRIPT>never closed"), "before");
  EXPECT_EQ(PlainTextOfPage("5 <b>is</b> < 6"), "5 is < 6");
  EXPECT_EQ(PlainTextOfPage("<"), "<");
  EXPECT_EQ(PlainTextOfPage("a</script>b"), "ab");
}

TEST(PlainTextOfPageTest, DecodesWindows1251Pages) {
  EXPECT_EQ(PlainTextOfPage("<td>\xC8\xE3\xF0\xEE\xEA</td>"), "Игрок");
  EXPECT_EQ(PlainTextOfPage("<td>Игрок</td>"), "Игрок");
}

TEST(PlainTextOfPageTest, GivesTheCharactersOfReferences) {
  EXPECT_EQ(PlainTextOfPage("<p class=\"r\">Не найден игрок \"Tom&amp;Jerry&lt;b&gt;\".</p>"),
            "Не найден игрок \"Tom&Jerry<b>\".");
  EXPECT_EQ(PlainTextOfPage("<p>Сервер &ndash; &laquo;1&nbsp;000&raquo;</p>"), "Сервер – «1\u00A0000»");
  EXPECT_EQ(PlainTextOfPage("&lt;script&gt;x&lt;/script&gt;"), "<script>x</script>");
  EXPECT_EQ(PlainTextOfPage("\xC8\xE3\xF0\xEE\xEA &amp; \xCA\xEB\xE0\xED"), "Игрок & Клан");
}

TEST(DecodeCharacterReferencesTest, NamedAndNumberedReferencesAndWhatStaysAsWritten) {
  const struct {
    std::string_view text;
    std::string_view decoded;
  } cases[] = {
      {"a &amp; b", "a & b"},
      {"&lt;&gt;&quot;&apos;&#39;&#124;", "<>\"''|"},
      {"&amp;amp;", "&amp;"},  // decoded once
      {"&#8592; &#x2191;&#X2193;", "\u2190 \u2191\u2193"},
      {"&#65;&#x41;&#0065;", "AAA"},
      {"&#x1F600;", "\U0001F600"},
      {"&#x10FFFF;", "\U0010FFFF"},
      {"&nbsp;&hellip;&mdash;", "\u00A0\u2026\u2014"},
      // No character: as written.
      {"&#xD800;", "&#xD800;"},
      {"&#x110000;", "&#x110000;"},
      {"&#0;", "&#0;"},
      {"&#;&#x;&#12a;", "&#;&#x;&#12a;"},
      {"&unknown;", "&unknown;"},
      {"&AMP;", "&AMP;"},
      {"&#99999999999;", "&#99999999999;"},
      {"Tom & Jerry; ok", "Tom & Jerry; ok"},
      {"&amp", "&amp"},
      {"&", "&"},
      {"&&amp;", "&&"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeCharacterReferences(c.text), c.decoded) << c.text;
}

TEST(CaseTest, ChangesAsciiAndCyrillicLetters) {
  EXPECT_EQ(LowerCase("ABC xyz АБВ Ёлка ЯЖ Ђ"), "abc xyz абв ёлка яж ђ");
  EXPECT_EQ(UpperCase("abc XYZ абв ёлка яж ђ"), "ABC XYZ АБВ ЁЛКА ЯЖ Ђ");
  EXPECT_EQ(UpperCase("/f"), "/F");
  EXPECT_EQ(LowerCase("ÄÖ €"), "ÄÖ €");
  EXPECT_EQ(UpperCase("\xD0"), "\xD0");
  EXPECT_EQ(LowerCase(""), "");
}

TEST(TrimTest, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_EQ(Trim("\t\x01x\x1f"), "x");
  EXPECT_EQ(Trim(" \r\n "), "");
  EXPECT_EQ(Trim("Ё"), "Ё");
}

TEST(CharacterTest, CountsAndWalksWholeCharacters) {
  const std::string_view text = "aЖ€😀b";  // 1, 2, 3, 4 and 1 bytes
  EXPECT_EQ(CharacterCount(text), 5u);
  EXPECT_EQ(CharacterCount(""), 0u);
  EXPECT_EQ(NextCharacter(text, 0), 1u);
  EXPECT_EQ(NextCharacter(text, 1), 3u);
  EXPECT_EQ(NextCharacter(text, 3), 6u);
  EXPECT_EQ(NextCharacter(text, 6), 10u);
  EXPECT_EQ(NextCharacter(text, 10), 11u);
  EXPECT_EQ(NextCharacter(text, 11), 11u);
  EXPECT_EQ(CharacterStart(text, 2), 1u);
  EXPECT_EQ(CharacterStart(text, 9), 6u);
  EXPECT_EQ(CharacterStart(text, 11), 11u);
  EXPECT_EQ(CharacterStart(text, 99), 11u);
  EXPECT_EQ(FirstCharacters(text, 3), "aЖ€");
  EXPECT_EQ(FirstCharacters(text, 9), text);
  EXPECT_EQ(FirstCharacters("\x80\x80x", 1), "\x80\x80");  // a stray continuation ends no character
}

TEST(WebAddressTest, HttpOrHttpsInAnyCaseWithAHost) {
  for (const char* yes : {"http://a", "https://example.org/x?y", "HTTP://A", "HtTpS://a"}) {
    EXPECT_TRUE(IsWebAddress(yes)) << yes;
  }
  for (const char* no : {"http://", "https://", "ftp://a", "file:///etc/passwd", "javascript:alert(1)", " http://a",
                         "http:/a", ""}) {
    EXPECT_FALSE(IsWebAddress(no)) << no;
  }
}

}  // namespace
}  // namespace tarvelo
