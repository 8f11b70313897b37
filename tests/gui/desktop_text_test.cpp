#include "shell/gtk/desktop_text.h"

#include <gtest/gtest.h>

#include "embedded.h"

namespace tarvelo {
namespace {

TEST(ResourceNameOfUri, TakesTheNameAfterThePictureFolder) {
  EXPECT_EQ(ResourceNameOfUri("res:///opt/tarvelo/tarvelo/PNG/Update"), "Update");
  EXPECT_EQ(ResourceNameOfUri("res://C:\\Games\\tarvelo.exe/PNG/Class1"), "Class1");
  EXPECT_EQ(ResourceNameOfUri("res:///a/png/RESPNGPARTNERS"), "RESPNGPARTNERS");
}

TEST(ResourceNameOfUri, UsesTheLastPictureFolderAndDropsQueryAndFragment) {
  EXPECT_EQ(ResourceNameOfUri("res:///home/PNG/x/PNG/CLASS4?size=16"), "CLASS4");
  EXPECT_EQ(ResourceNameOfUri("res:///p/PNG/UPDATE#top"), "UPDATE");
}

TEST(ResourceNameOfUri, IsEmptyWithoutAPictureFolder) {
  EXPECT_EQ(ResourceNameOfUri("res:///opt/tarvelo/Update"), "");
  EXPECT_EQ(ResourceNameOfUri("res://PNG"), "");
  EXPECT_EQ(ResourceNameOfUri(""), "");
}

TEST(ResourceNameOfUri, NamesThePicturesThePagesUse) {
  for (const char* uri : {"res:///x/PNG/Update", "res:///x/PNG/Class1", "res:///x/PNG/CLASS2", "res:///x/PNG/class3",
                          "res:///x/PNG/Class4", "res:///x/PNG/RESPNGPARTNERS", "res:///x/PNG/RESPNGFLAGS"}) {
    std::string_view bytes = FindResource(ResourceNameOfUri(uri));
    ASSERT_GT(bytes.size(), 8u) << uri;
    EXPECT_EQ(bytes.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8)) << uri;
  }
}

TEST(BoxText, ShowsEachLineBreakOnce) {
  EXPECT_EQ(BoxText("Ошибка чтения файла настроек:\r\n%APPDATA%\\x.xml"), "Ошибка чтения файла настроек:\n%APPDATA%\\x.xml");
  EXPECT_EQ(BoxText("a\r\n\r\nДа\t- b"), "a\n\nДа\t- b");
  EXPECT_EQ(BoxText("a\rb\nc\r"), "a\nb\nc\n");
  EXPECT_EQ(BoxText(""), "");
}

TEST(OneLine, JoinsLinesAndBlanks) {
  EXPECT_EQ(OneLine("  +\n\nИмя игрока:\t x \n", 100), "+ | Имя игрока: x");
  EXPECT_EQ(OneLine("a  \r\n  b", 100), "a | b");
  EXPECT_EQ(OneLine("Имя\u00a0игрока \u00a0[клантег]:", 100), "Имя игрока [клантег]:");
}

TEST(OneLine, CutsBetweenCharacters) {
  // "Жук" is six bytes; a cut after byte 3 would split the second letter.
  EXPECT_EQ(OneLine("Жук", 3), "Ж");
  EXPECT_EQ(OneLine("Жук", 4), "Жу");
  EXPECT_EQ(OneLine("abc", 2), "ab");
}

TEST(MillisecondsSinceProcessStart, IsSmallAndGrows) {
  long first = MillisecondsSinceProcessStart();
  ASSERT_GE(first, 0);
  EXPECT_LT(first, 10 * 60 * 1000);
  EXPECT_GE(MillisecondsSinceProcessStart(), first);
}

}  // namespace
}  // namespace tarvelo
