#include "text/replace.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvelo {
namespace {

TEST(ReplaceAllTest, ReplacesEveryOccurrenceWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("xax", "a", "aa"), "xaax");
  EXPECT_EQ(ReplaceAll("%REGION%/%REGION%", "%REGION%", "ru"), "ru/ru");
  EXPECT_EQ(ReplaceAll("a,b;c", ",", ""), "ab;c");
  EXPECT_EQ(ReplaceAll("Abc", "a", "x"), "Abc");
  EXPECT_EQ(ReplaceAll("день", "нь", "ни"), "дени");
}

TEST(ReplaceAllTest, EdgesOfTheText) {
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "abc", ""), "");
  EXPECT_EQ(ReplaceAll("ab", "abc", "x"), "ab");
  EXPECT_EQ(ReplaceAll("cab", "ab", "x"), "cx");
  EXPECT_EQ(ReplaceAll("abc", "ab", "x"), "xc");
  EXPECT_EQ(ReplaceAll(std::string("a\0b", 3), std::string("\0", 1), "-"), "a-b");
}

// Patterns that start with a Russian letter are searched another way than
// ASCII ones; both must find the same places.
TEST(ReplaceAllTest, RussianPatternsAmongOtherRussianText) {
  const std::string text = "{\"name\":\"Ошибочка\"}ОшибкаОшибка ошибка Ошибк";
  EXPECT_EQ(ReplaceAll(text, "Ошибка", "E"), "{\"name\":\"Ошибочка\"}EE ошибка Ошибк");
  EXPECT_TRUE(Contains(text, "Ошибка"));
  EXPECT_FALSE(Contains("Ошибк", "Ошибка"));
  EXPECT_FALSE(Contains("{\"status\":\"ok\"}", "Ошибка"));
}

TEST(RemoveAllTest, TriesPatternsInListOrderAtEachPosition) {
  EXPECT_EQ(RemoveAll("abcabc", {"b", "c"}), "aa");
  EXPECT_EQ(RemoveAll("\"a\":0,\"b\":0,\"c\":1", {",\"a\":0", "\"a\":0,", "\"b\":0,"}), "\"c\":1");
  // "ab" is listed first, so at 'a' it wins over "a".
  EXPECT_EQ(RemoveAll("abx", {"ab", "a"}), "x");
  EXPECT_EQ(RemoveAll("abx", {"a", "ab"}), "bx");
  EXPECT_EQ(RemoveAll("aaa", {"aa"}), "a");
  EXPECT_EQ(RemoveAll("abc", {}), "abc");
  EXPECT_EQ(RemoveAll("abc", {"", "b"}), "ac");
  EXPECT_EQ(RemoveAll("", {"a"}), "");
  EXPECT_EQ(RemoveAll("xyz", {"q", "yy"}), "xyz");
}

TEST(ReplaceEachTest, ReplacesTheMatchedPatternByItsOwnReplacement) {
  EXPECT_EQ(ReplaceEach("a-b", {"a", "b"}, {"b", "a"}), "b-a");
  EXPECT_EQ(ReplaceEach("aaa", {"aa", "a"}, {"1", "2"}), "12");
  EXPECT_EQ(ReplaceEach("\"old\":1,\"older\":2", {"\"older\"", "\"old\""}, {"\"new\"", "\"x\""}),
            "\"x\":1,\"new\":2");
  // Inserted text is not scanned again.
  EXPECT_EQ(ReplaceEach("ab", {"a", "b"}, {"b", "a"}), "ba");
  EXPECT_EQ(ReplaceEach("abc", {"b", "c"}, {"B"}), "aB");
}

TEST(ReplaceEachTest, HandlesManyDistinctFirstBytesOverALongText) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    text += "{\"n\":1,\"z\":0}";
    expected += "{\"n\":one,}";
  }
  EXPECT_EQ(ReplaceEach(text, {"1", "\"z\":0", "x"}, {"one", "", "y"}), expected);
}

TEST(WildcardReplaceTest, RemovesEveryTag) {
  EXPECT_EQ(WildcardReplace("a<b>c<i>d</i>", "<\\*>", ""), "acd");
  EXPECT_EQ(WildcardReplace("<p>x</p><p>y</p>", "<\\*>", ""), "xy");
  EXPECT_EQ(WildcardReplace("no tags", "<\\*>", ""), "no tags");
  EXPECT_EQ(WildcardReplace("a<b", "<\\*>", ""), "a<b");
}

TEST(WildcardReplaceTest, UsesTheMiddleInTheReplacement) {
  EXPECT_EQ(WildcardReplace("x[b]y", "[\\*]", "<\\*>"), "x<b>y");
  EXPECT_EQ(WildcardReplace("x[b]y[i]", "[\\*]", "(\\*)"), "x(b)y(i)");
  EXPECT_EQ(WildcardReplace("k=v;", "k=\\*;", "\\*=\\*"), "v=v");
}

TEST(WildcardReplaceTest, OpenEndedPatterns) {
  EXPECT_EQ(WildcardReplace("head|tail", "\\*|", ""), "tail");
  EXPECT_EQ(WildcardReplace("head|tail", "|\\*", ""), "head");
  EXPECT_EQ(WildcardReplace("abc", "\\*", "x"), "x");
  EXPECT_EQ(WildcardReplace("", "\\*", "x"), "");
}

TEST(WildcardReplaceTest, DecodesLineTabAndBlankEscapes) {
  EXPECT_EQ(WildcardReplace("a\r\nb", "\\n", "\\_"), "a b");
  EXPECT_EQ(WildcardReplace("a b", "\\_", "\\t"), "a\tb");
  EXPECT_EQ(WildcardReplace("a\r\nx\r\nb", "\\n\\*\\n", "\\_"), "a b");
  EXPECT_EQ(WildcardReplace("c:\\dir", "\\d", "/d"), "c:/dir");
}

TEST(WildcardReplaceTest, StopsWhenTheMatchSurvivesInItsReplacement) {
  EXPECT_EQ(WildcardReplace("<b>", "<\\*>", "[<\\*>]"), "[<b>]");
  EXPECT_EQ(WildcardReplace("<b><b>", "<\\*>", "<<\\*>>"), "<<b>><<b>>");
  EXPECT_EQ(WildcardReplace("abc", "\\*", "\\*\\*"), "abcabc");
}

TEST(WildcardReplaceTest, EndsEvenWhenEveryRoundMakesANewMatch) {
  // Each round wraps the middle in more text, so the matched text is new every
  // time and never inside its replacement.
  std::string result = WildcardReplace("a1b", "a\\*b", "a\\*cb");
  EXPECT_TRUE(result.starts_with("a1c"));
  EXPECT_TRUE(result.ends_with("cb"));
  EXPECT_LE(result.size(), 2 * 3 + 65536 + 64u);
  std::string grown = WildcardReplace(std::string(1000, 'x') + "a1b", "a\\*b", "a\\*cb");
  EXPECT_LE(grown.size(), 2 * 1003 + 65536 + 64u);
}

TEST(WildcardReplaceTest, PatternWithoutWildcardIsAPlainReplaceAll) {
  EXPECT_EQ(WildcardReplace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(WildcardReplace("a.b.c", ".", "\\n"), "a\r\nb\r\nc");
}

TEST(LastPosTest, OneBasedPositionOfTheLastOccurrence) {
  EXPECT_EQ(LastPos("abcabc", "bc"), 5u);
  EXPECT_EQ(LastPos("abc", "abc"), 1u);
  EXPECT_EQ(LastPos("abc", "x"), 0u);
  EXPECT_EQ(LastPos("abc", "ABC"), 0u);
  EXPECT_EQ(LastPos("ab", "abc"), 0u);
  EXPECT_EQ(LastPos("abc", ""), 0u);
}

TEST(AppendLineTest, AddsTextAndCrLf) {
  std::string accumulator = "a\r\n";
  AppendLine("b", accumulator);
  AppendLine("", accumulator);
  EXPECT_EQ(accumulator, "a\r\nb\r\n\r\n");
}

TEST(ChooseTest, PicksByFlag) {
  EXPECT_EQ(Choose(true, "a", "b"), "a");
  EXPECT_EQ(Choose(false, "a", "b"), "b");
}

}  // namespace
}  // namespace tarvelo
