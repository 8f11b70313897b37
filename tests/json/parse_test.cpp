#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "json/json.h"
#include "json/locale_guard.h"

namespace tarvelo::json {
namespace {

std::string Nested(int levels, const std::string& open, const std::string& inner, const std::string& close) {
  std::string text;
  for (int i = 0; i < levels; ++i) text += open;
  text += inner;
  for (int i = 0; i < levels; ++i) text += close;
  return text;
}

TEST(JsonParse, AcceptsEveryKindOfStandardValue) {
  const Value doc = parse(
      " {\"n\": null, \"t\": true, \"f\": false, \"i\": -42, \"d\": 2.5e-3, \"s\": \"x\","
      " \"o\": {}, \"a\": [1, [], {\"k\": \"v\"}]}\r\n");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc.kind(), Kind::Object);
  EXPECT_EQ(at(doc, "n").kind(), Kind::Null);
  EXPECT_EQ(at(doc, "t").kind(), Kind::Boolean);
  EXPECT_TRUE(boolean(doc, "t"));
  EXPECT_FALSE(boolean(doc, "f"));
  EXPECT_EQ(at(doc, "i").kind(), Kind::Integer);
  EXPECT_EQ(integer(doc, "i"), -42);
  EXPECT_EQ(at(doc, "d").kind(), Kind::Double);
  EXPECT_DOUBLE_EQ(real(doc, "d"), 0.0025);
  EXPECT_EQ(text(doc, "s"), "x");
  EXPECT_EQ(member_count(at(doc, "o")), 0u);
  EXPECT_EQ(length(at(doc, "a")), 3u);
  EXPECT_EQ(text(doc, "a[2].k"), "v");
}

TEST(JsonParse, AcceptsScalarDocuments) {
  EXPECT_EQ(integer(parse("17")), 17);
  EXPECT_EQ(text(parse("\"abc\"")), "abc");
  EXPECT_EQ(parse("null").kind(), Kind::Null);
  EXPECT_TRUE(parse("null").present());
  EXPECT_TRUE(boolean(parse(" true ")));
}

TEST(JsonParse, RejectsTextThatIsNotJson) {
  for (const char* bad : {"", "   ", "<html>", "abc", ".53", "{", "[", "]", "}", "{\"a\"}", "{\"a\":}",
                          "{\"a\" 1}", "[1 2]", "[,]", "[1,,2]", "{,}", "nul", "tru", "-", "\"abc", "{'a':1",
                          "[\"a\\x\"]", "[\"a\\u12\"]", "{a}", "{:1}", "[1}", "{\"a\":1]"}) {
    EXPECT_FALSE(parse(bad)) << bad;
  }
}

TEST(JsonParse, StopsAfterTheFirstCompleteValue) {
  EXPECT_EQ(integer(parse("{\"a\":1} trailing {garbage"), "a"), 1);
  EXPECT_EQ(length(parse("[1,2]]")), 2u);
  EXPECT_EQ(integer(parse("5 6")), 5);
  EXPECT_EQ(integer(parse(std::string("{\"a\":3}\0\0tail", 13)), "a"), 3);
}

TEST(JsonParse, IgnoresAUtf8ByteOrderMark) { EXPECT_EQ(integer(parse("\xEF\xBB\xBF{\"a\":2}"), "a"), 2); }

TEST(JsonParse, IgnoresACommaBeforeTheClosingBracket) {
  const Value doc = parse("{\"a\": [1, 2, ], \"b\": {\"c\": 3,}, }");
  ASSERT_TRUE(doc);
  EXPECT_EQ(print(doc), "{\"a\":[1,2],\"b\":{\"c\":3}}");
  EXPECT_EQ(print(parse("[ [ ] , ]")), "[[]]");
}

TEST(JsonParse, AcceptsSingleQuotedNamesAndStrings) {
  const Value doc = parse("{'name': 'it\\'s \"fine\"', \"mixed\": 'x', 'u': '\\u0416'}");
  ASSERT_TRUE(doc);
  EXPECT_EQ(text(doc, "name"), "it's \"fine\"");
  EXPECT_EQ(text(doc, "mixed"), "x");
  EXPECT_EQ(text(doc, "u"), "Ж");
  EXPECT_EQ(text(parse("[\"it's\"]"), "[0]"), "it's");
}

TEST(JsonParse, ReadsUnquotedNamesUpToTheColon) {
  const Value doc = parse("{ battles : 12, 1234:{wins:3}, with space: true, \"q\":1}");
  ASSERT_TRUE(doc);
  EXPECT_EQ(integer(doc, "battles"), 12);
  EXPECT_EQ(integer(doc, "1234.wins"), 3);
  EXPECT_TRUE(boolean(doc, "with space"));
  EXPECT_EQ(integer(doc, "q"), 1);
}

TEST(JsonParse, SkipsAValueThatStartsWithNoJsonValue) {
  const Value doc = parse("{\"kefs\": {\"1\": {\"weight\": .53, \"name\": \"a\"}, \"2\": {\"weight\": 0.85}}}");
  ASSERT_TRUE(doc);
  EXPECT_EQ(text(doc, "kefs.1.name"), "a");
  EXPECT_DOUBLE_EQ(real(doc, "kefs.2.weight"), 0.85);
  EXPECT_TRUE(at(doc, "kefs.1.weight").present());

  const Value items = parse("[.5, undefined, NaN-ish , -.25, 1.e, 7]");
  ASSERT_TRUE(items);
  EXPECT_EQ(length(items), 6u);
  EXPECT_EQ(integer(items, "[5]"), 7);
}

TEST(JsonParse, AcceptsThirtyLevelsOfNestingButNotThirtyOne) {
  EXPECT_TRUE(parse(Nested(30, "[", "1", "]")));
  EXPECT_FALSE(parse(Nested(31, "[", "1", "]")));
  EXPECT_TRUE(parse(Nested(30, "{\"a\":", "1", "}")));
  EXPECT_FALSE(parse(Nested(31, "{\"a\":", "1", "}")));
  EXPECT_TRUE(parse(Nested(15, "{\"a\":[", "1", "]}")));
  EXPECT_FALSE(parse(Nested(15, "{\"a\":[", "[]", "]}")));

  const Value deep = parse(Nested(30, "{\"a\":", "7", "}"));
  std::string path = "a";
  for (int i = 1; i < 30; ++i) path += ".a";
  EXPECT_EQ(integer(deep, path), 7);
}

TEST(JsonParse, FailsEveryTruncationOfADocument) {
  const std::string full =
      "{\"data\":{\"1\":{'n':\"\\u0416\\ud83d\\ude00\",m:[1.5e3,-2,true,null,{\"x\":[]}],"
      "\"w\":.5,}},\"s\":\"end\"}";
  ASSERT_TRUE(parse(full));
  for (size_t size = 0; size < full.size(); ++size) {
    EXPECT_FALSE(parse(std::string_view(full).substr(0, size))) << size;
  }
}

TEST(JsonParse, DecodesEscapesToUtf8) {
  EXPECT_EQ(text(parse("\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"")), "\"\\/\b\f\n\r\t");
  EXPECT_EQ(text(parse("\"\\u0041\\u00e9\\u0416\\u20AC\"")), "A\xC3\xA9\xD0\x96\xE2\x82\xAC");
  EXPECT_EQ(text(parse("\"\\ud83d\\ude00\"")), "\xF0\x9F\x98\x80");
  EXPECT_EQ(text(parse("\"\\u0000x\"")), std::string("\0x", 2));
  EXPECT_EQ(text(parse("\"Ж\"")), "Ж");  // raw UTF-8 kept as is
}

TEST(JsonParse, TurnsLoneSurrogatesIntoReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(text(parse("\"\\ud83d\"")), replacement);
  EXPECT_EQ(text(parse("\"\\ude00x\"")), replacement + "x");
  EXPECT_EQ(text(parse("\"\\ud83d\\u0041\"")), replacement + "A");
  EXPECT_EQ(text(parse("\"\\ud83d\\ud83d\\ude00\"")), replacement + "\xF0\x9F\x98\x80");
  EXPECT_FALSE(parse("\"\\ud83d\\u"));
}

TEST(JsonParse, RejectsRawControlCharactersInStrings) {
  EXPECT_FALSE(parse("\"a\nb\""));
  EXPECT_FALSE(parse(std::string("\"a\0b\"", 5)));
}

TEST(JsonParse, SkipsAnElementThatStartsWithANulByte) {
  EXPECT_EQ(print(parse(std::string("[1,\0 2]", 7))), "[1,null]");
}

TEST(JsonParse, KeepsIntegersThatFitAndWidensTheRest) {
  const Value doc = parse("[9223372036854775807, -9223372036854775808, 9223372036854775808, 0, -0, 1e2, "
                          "12345678901234567890123, 1e400, -1e400, 1e-400]");
  ASSERT_TRUE(doc);
  EXPECT_EQ(integer(doc, "[0]"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(integer(doc, "[1]"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(at(doc, "[2]").kind(), Kind::Double);
  EXPECT_DOUBLE_EQ(real(doc, "[2]"), 9223372036854775808.0);
  EXPECT_EQ(at(doc, "[3]").kind(), Kind::Integer);
  EXPECT_EQ(print(at(doc, "[4]")), "-0");
  EXPECT_EQ(at(doc, "[5]").kind(), Kind::Double);
  EXPECT_DOUBLE_EQ(real(doc, "[6]"), 1.2345678901234568e22);
  EXPECT_EQ(real(doc, "[7]"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(real(doc, "[8]"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(real(doc, "[9]"), 0.0);
}

TEST(JsonParse, ReadsNumbersTheSameInEveryLocale) {
  for (const char* locale : testing::kLocales) {
    testing::LocaleGuard guard(locale);
    if (!guard.active()) continue;
    const Value doc = parse("[0.850, -1.5e-3, 3.14159265358979, .53]");
    ASSERT_TRUE(doc) << locale;
    EXPECT_EQ(real(doc, "[0]"), 0.85) << locale;
    EXPECT_EQ(real(doc, "[1]"), -0.0015) << locale;
    EXPECT_EQ(real(doc, "[2]"), 3.14159265358979) << locale;
    EXPECT_EQ(print(doc), "[0.85,-0.0015,3.14159265358979,0.53]") << locale;
  }
}

// Pathological inputs must fail or parse in linear time without deep recursion.
TEST(JsonParse, SurvivesHugeRunsOfOpeningBrackets) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(parse(std::string(100u << 20, '[')));
  EXPECT_FALSE(parse(std::string(10u << 20, '{')));
  std::string items = "[";
  for (int i = 0; i < 200000; ++i) items += "1,";
  EXPECT_FALSE(parse(items));
  items += "2]";
  EXPECT_EQ(length(parse(items)), 200001u);
  std::string long_string(4u << 20, 'x');
  long_string.front() = '"';
  EXPECT_FALSE(parse(long_string));
  std::string bare_tokens = "[";
  for (int i = 0; i < 200000; ++i) bare_tokens += ".5,";
  EXPECT_EQ(length(parse(bare_tokens + "]")), 200000u);
  EXPECT_FALSE(parse("{" + std::string(4u << 20, 'a')));
  std::string escapes = "\"";
  for (int i = 0; i < 500000; ++i) escapes += "\\n\\u0416";
  EXPECT_EQ(text(parse(escapes + "\"")).size(), 1500000u);
  EXPECT_FALSE(parse(escapes));
  // Generous for loaded machines and sanitizers; quadratic work would take hours.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

// Parsing random and damaged text never crashes; whatever parses prints to text
// that parses to the same printing.
TEST(JsonParse, SurvivesRandomAndMutatedBuffers) {
  const std::string sample =
      "{\"status\":\"ok\",'meta':{count:2},\"data\":{\"123\":{\"nickname\":\"Игрок\",\"stats\":"
      "{\"battles\":1520,\"avg\":0.5251,\"list\":[1,2.5e10,-3,true,false,null,\"\\u0416\\ud83d\\ude00\"]},"
      "\"w\":.53,},\"456\":null}}";
  const char alphabet[] = "{}[]\"',:.-+eE0123456789 \\utfnalsx\n\0\xD0\x96";
  std::mt19937 random(20240517);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  int parsed = 0;
  for (int round = 0; round < 100000; ++round) {
    std::string buffer;
    if (round % 2 == 0) {
      buffer = sample;
      const size_t edits = 1 + pick(4);
      for (size_t e = 0; e < edits; ++e) {
        const size_t position = pick(buffer.size() + 1);
        const char c = random() % 4 == 0 ? static_cast<char>(random()) : alphabet[pick(sizeof alphabet - 1)];
        switch (pick(3)) {
          case 0: if (position < buffer.size()) buffer[position] = c; break;
          case 1: buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(position), c); break;
          default: if (position < buffer.size()) buffer.erase(position, 1 + pick(8)); break;
        }
      }
    } else {
      buffer.resize(pick(64));
      for (char& c : buffer) c = random() % 3 == 0 ? static_cast<char>(random()) : alphabet[pick(sizeof alphabet - 1)];
    }
    const Value doc = parse(buffer);
    if (!doc) continue;
    ++parsed;
    const std::string printed = print(doc);
    const Value again = parse(printed);
    ASSERT_TRUE(again) << printed;
    ASSERT_EQ(print(again), printed);
  }
  EXPECT_GT(parsed, 1000);
}

// The pruning of "data.list" done by hand: every member "skip" of the objects
// in each "list" array of each "data" object of the root, duplicates as well.
std::string PrintWithoutSkipped(const Value& whole) {
  Value copy = clone(whole);
  for (const auto& [name, data] : members(copy)) {
    if (name != "data" || data.kind() != Kind::Object) continue;
    for (const auto& [list_name, list] : members(data)) {
      if (list_name != "list" || list.kind() != Kind::Array) continue;
      for (size_t i = 0; i < length(list); ++i) {
        Value entry = item(list, i);
        while (remove(entry, "skip")) {
        }
      }
    }
  }
  return print(copy);
}

// A pruned parse gives the whole parse less the members it leaves out, and
// refuses exactly the texts the whole parse refuses, also when the fault lies
// inside a member that is left out.
TEST(JsonParse, PrunedGivesTheRestAndRefusesWhatTheWholeParseRefuses) {
  const ItemPruning pruning{"data.list", [](std::string_view name) { return name != "skip"; }};
  const std::string sample =
      "{\"status\":\"ok\",\"data\":{\"list\":[{\"keep\":1,\"skip\":{\"a\":[1,2.5e3,{\"b\":\"\\u0416\"}],c:.5},"
      "'x':'y'},{\"skip\":[true,null,-0],\"keep\":\"s\\\"q\"},7,{\"skip\":1,\"skip\":\"\\ud83d\\ude00\","
      "\"keep\":[{\"skip\":3}]},],\"skip\":4},\"skip\":5}";
  const Value whole = parse(sample);
  ASSERT_TRUE(whole);
  EXPECT_EQ(print(parse(sample, pruning)),
            "{\"status\":\"ok\",\"data\":{\"list\":[{\"keep\":1,\"x\":\"y\"},{\"keep\":\"s\\\"q\"},7,"
            "{\"keep\":[{\"skip\":3}]}],\"skip\":4},\"skip\":5}");

  const std::vector<std::string> faulty_left_out = {
      "{\"data\":{\"list\":[{\"skip\":[1,,2]}]}}",
      "{\"data\":{\"list\":[{\"skip\":\"a\\qb\"}]}}",
      "{\"data\":{\"list\":[{\"skip\":\"\\u12G4\"}]}}",
      "{\"data\":{\"list\":[{\"skip\":\"tab\there\"}]}}",
      "{\"data\":{\"list\":[{\"skip\":{\"a\" 1}}]}}",
      "{\"data\":{\"list\":[{\"skip\":tru}]}}",
      "{\"data\":{\"list\":[{\"skip\":" + Nested(28, "[", "1", "]") + "}]}}",
  };
  for (const std::string& text : faulty_left_out) {
    EXPECT_FALSE(parse(text)) << text;
    EXPECT_FALSE(parse(text, pruning)) << text;
  }
  const std::string deepest = "{\"data\":{\"list\":[{\"skip\":" + Nested(26, "[", "1", "]") + "}]}}";
  ASSERT_TRUE(parse(deepest));
  EXPECT_EQ(print(parse(deepest, pruning)), "{\"data\":{\"list\":[{}]}}");

  const char alphabet[] = "{}[]\"',:.-+eE0123456789 \\utfnalsx\n\0";
  std::mt19937 random(20261209);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  int parsed = 0;
  int refused = 0;
  for (int round = 0; round < 30000; ++round) {
    std::string buffer = sample;
    const size_t edits = 1 + pick(3);
    for (size_t e = 0; e < edits; ++e) {
      const size_t position = pick(buffer.size() + 1);
      const char c = alphabet[pick(sizeof alphabet - 1)];
      switch (pick(3)) {
        case 0: if (position < buffer.size()) buffer[position] = c; break;
        case 1: buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(position), c); break;
        default: if (position < buffer.size()) buffer.erase(position, 1 + pick(4)); break;
      }
    }
    const Value full = parse(buffer);
    const Value pruned = parse(buffer, pruning);
    ASSERT_EQ(full.present(), pruned.present()) << buffer;
    if (!full) {
      ++refused;
      continue;
    }
    ++parsed;
    ASSERT_EQ(print(pruned), PrintWithoutSkipped(full)) << buffer;
  }
  EXPECT_GT(parsed, 3000);
  EXPECT_GT(refused, 3000);
}

// Megabytes of input take the arena's large-chunk path; every value must still
// be where the text put it, including a string longer than any chunk size hint.
TEST(JsonParse, ReadsDocumentsOfSeveralMegabytes) {
  const std::string long_text(5 << 20, 'x');
  std::string text = "{\"items\":[";
  constexpr int kItems = 60000;
  for (int i = 0; i < kItems; ++i) {
    if (i != 0) text += ',';
    text += "{\"id\":" + std::to_string(i) + ",\"name\":\"v" + std::to_string(i) + "\",\"share\":" +
            std::to_string(i) + ".5}";
  }
  text += "],\"long\":\"" + long_text + "\"}";
  const Value doc = parse(text);
  ASSERT_TRUE(doc);
  const Value items = array(doc, "items");
  ASSERT_EQ(length(items), static_cast<size_t>(kItems));
  for (int i : {0, 1, kItems / 2, kItems - 1}) {
    const Value entry = item(items, static_cast<size_t>(i));
    EXPECT_EQ(integer(entry, "id"), i);
    EXPECT_EQ(json::text(entry, "name"), "v" + std::to_string(i));
    EXPECT_EQ(real(entry, "share"), i + 0.5);
  }
  EXPECT_EQ(json::text(doc, "long"), long_text);
  EXPECT_EQ(print(parse(print(doc))), print(doc));
}

}  // namespace
}  // namespace tarvelo::json
