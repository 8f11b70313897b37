// The message paragraphs and answer excerpts every loader reports with.
#include "acquire/loader_context.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvelo {
namespace {

TEST(LoaderMessages, SeverityFollowsTheWordsOfTheText) {
  LoaderMessages messages;
  AddMessage(messages, "  ОШИБКА: один.  ");
  AddMessage(messages, "ПРЕДУПРЕЖДЕНИЕ: два.", "http://forum/topic");
  AddMessage(messages, "ПРЕДУПРЕЖДЕНИЕ и ОШИБКА");
  AddMessage(messages, "Просто текст");
  AddMessage(messages, " \t ");
  EXPECT_EQ(messages, (LoaderMessages{{Severity::kError, "ОШИБКА: один.", {}},
                                      {Severity::kWarning, "ПРЕДУПРЕЖДЕНИЕ: два.", "http://forum/topic"},
                                      {Severity::kError, "ПРЕДУПРЕЖДЕНИЕ и ОШИБКА", {}},
                                      {Severity::kNote, "Просто текст", {}}}));

  LoaderMessages clan_messages;
  AddClanMessage(clan_messages, "ПРЕДУПРЕЖДЕНИЕ: два.");
  AddClanMessage(clan_messages, "ОШИБКА: три.");
  EXPECT_EQ(clan_messages,
            (LoaderMessages{{Severity::kNote, "ПРЕДУПРЕЖДЕНИЕ: два.", {}}, {Severity::kError, "ОШИБКА: три.", {}}}));
}

TEST(LoaderMessages, ExcerptCountsCharactersAndCannotOpenATag) {
  EXPECT_EQ(PlainExcerpt("<html><b>Привет</b>, мир</html>", 8), "Привет, ");
  EXPECT_EQ(PlainExcerpt("a < b", 200), "a &lt; b");
  EXPECT_EQ(PlainExcerpt("a & b", 200), "a &amp; b");
  // A body dressed up as a connection failure is quoted, but not as markup.
  const std::string spoof = "ОШИБКА: Не удалось соединиться с сервером <script>x</script>. "
                            "Проверьте подключение к сети и настройки прокси.";
  ASSERT_TRUE(IsConnectionError(spoof));
  EXPECT_EQ(AnswerShapeProblem(spoof, "status"), "ОШИБКА: Не удалось соединиться с сервером &lt;script&gt;x&lt;/script&gt;. "
                                                 "Проверьте подключение к сети и настройки прокси.");
  EXPECT_EQ(StatusAndError(DecodeApiAnswer(R"({"status":"<b>","error":"<i>'|"})")), "&lt;b&gt; - &lt;i&gt;&#39;&#124;");
  EXPECT_EQ(IncorrectDataMessage("<h1>502 Bad Gateway</h1>"),
            "ОШИБКА: Получены некорректные данные (\"502 Bad Gateway...\").");
}

TEST(LoaderMessages, StatusIsReadIgnoringCase) {
  EXPECT_TRUE(StatusIsOk(DecodeApiAnswer("{\"status\":\"ok\"}")));
  EXPECT_FALSE(StatusIsOk(DecodeApiAnswer("{\"status\":\"error\",\"error\":{\"code\":504}}")));
  EXPECT_FALSE(StatusIsOk(DecodeApiAnswer("garbage")));
}

}  // namespace
}  // namespace tarvelo
