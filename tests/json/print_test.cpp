#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "json/json.h"
#include "json/locale_guard.h"

namespace tarvelo::json {
namespace {

TEST(JsonPrint, WritesCompactJson) {
  EXPECT_EQ(print(parse(" { \"a\" : [ 1 , true , null , { } , [ ] ] , \"b\" : \"c\" } ")),
            "{\"a\":[1,true,null,{},[]],\"b\":\"c\"}");
  EXPECT_EQ(print(Value()), "");
  EXPECT_EQ(print(Value::string("bare")), "\"bare\"");
  EXPECT_EQ(text(Value::string("bare")), "bare");
}

TEST(JsonPrint, WritesCyrillicAsItIs) {
  Value doc = Value::object();
  set_text(doc, "name", "Игрок «Тест»");
  EXPECT_EQ(print(doc), "{\"name\":\"Игрок «Тест»\"}");
  EXPECT_EQ(print(parse("[\"\\u0418\\u0433\\u0440\\u043e\\u043a\"]")), "[\"Игрок\"]");
}

TEST(JsonPrint, EscapesOnlyQuotesBackslashesAndControlCharacters) {
  const std::string raw = std::string("q\"b\\s/t\tn\nr\rb\bf\f") + '\0' + "\x01\x1f\x7f";
  Value doc = Value::object();
  set_text(doc, "k\"ey", raw);
  const std::string printed = print(doc);
  EXPECT_EQ(printed, "{\"k\\\"ey\":\"q\\\"b\\\\s/t\\tn\\nr\\rb\\bf\\f\\u0000\\u0001\\u001f\x7f\"}");
  EXPECT_EQ(text(parse(printed), "k\"ey"), raw);
}

TEST(JsonPrint, WritesNumbersTheSameInEveryLocale) {
  struct Case {
    double value;
    const char* printed;
  };
  const std::vector<Case> doubles = {
      {0.5, "0.5"},          {-0.0015, "-0.0015"},           {100.0, "100"},         {1e15, "1e+15"},
      {123456789012345.0, "123456789012345"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
      {1e-5, "1e-05"},       {0.0001, "0.0001"},             {1.5e300, "1.5e+300"},  {0.1 + 0.2, "0.3"},
      {std::numeric_limits<double>::infinity(), "null"},    {std::nan(""), "null"}};
  for (const char* locale : testing::kLocales) {
    testing::LocaleGuard guard(locale);
    if (!guard.active()) continue;
    for (const Case& c : doubles) EXPECT_EQ(print(Value::real(c.value)), c.printed) << c.value << " " << locale;
    EXPECT_EQ(print(Value::integer(std::numeric_limits<int64_t>::min())), "-9223372036854775808") << locale;
    EXPECT_EQ(print(Value::integer(1234567)), "1234567") << locale;
    EXPECT_EQ(print(Value::currency(12345)), "1.2345") << locale;
    EXPECT_EQ(print(Value::currency(-1500)), "-0.15") << locale;
    EXPECT_EQ(print(Value::currency(70000)), "7") << locale;
    EXPECT_EQ(print(Value::currency(5)), "0.0005") << locale;
  }
}

TEST(JsonPrint, RoundTripsThroughParse) {
  const std::string documents[] = {
      "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"507\":{\"nickname\":\"Игрок\",\"statistics\":"
      "{\"all\":{\"battles\":1520,\"wins\":801,\"avg\":0.527,\"max\":null}},\"tags\":[\"a\",\"b\\\"c\"],"
      "\"premium\":false}}}",
      "[1,-2,3.25,1e+100,\"\\u0000\",[[[]]],{}]",
      "\"\\\\\\\"\"",
  };
  for (const std::string& document : documents) {
    const Value doc = parse(document);
    ASSERT_TRUE(doc) << document;
    EXPECT_EQ(print(doc), document);
    EXPECT_EQ(print(parse(print(clone(doc)))), document);
  }
}

}  // namespace
}  // namespace tarvelo::json
