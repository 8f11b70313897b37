#include "json/json.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "json/locale_guard.h"

namespace tarvelo::json {
namespace {

// One member of every kind, plus strings that do and do not read as numbers.
Value Sample() {
  Value doc = parse(
      "{\"null\":null,\"yes\":true,\"no\":false,\"half\":2.5,\"three_half\":3.5,\"minus_half\":-2.5,"
      "\"minus_three_half\":-3.5,\"pi\":3.14159,\"seven\":7,\"zero\":0,\"big\":-9000000000,\"int_text\":\"42\","
      "\"neg_text\":\"-17\",\"plus_text\":\"+5\",\"mixed_text\":\"12x\",\"real_text\":\"0.850\",\"exp_text\":\"1e3\","
      "\"empty_text\":\"\",\"word\":\"false\",\"space_text\":\" 12\",\"object\":{\"a\":[1,2]},\"empty_object\":{},"
      "\"list\":[\"a\",2,null],\"empty_list\":[]}");
  set(doc, "cash", Value::currency(25000));
  set(doc, "cash_odd", Value::currency(35000));
  set(doc, "cash_neg", Value::currency(-15000));
  set(doc, "cash_fraction", Value::currency(12345));
  return doc;
}

TEST(JsonGetters, IntegerConvertsEveryKind) {
  const Value doc = Sample();
  const std::vector<std::pair<const char*, int64_t>> table = {
      {"null", 0},       {"yes", 1},          {"no", 0},         {"half", 2},        {"three_half", 4},
      {"minus_half", -2}, {"minus_three_half", -4}, {"pi", 3}, {"seven", 7},       {"big", -9000000000},
      {"int_text", 42},  {"neg_text", -17},   {"plus_text", 5},  {"mixed_text", 0},  {"real_text", 0},
      {"exp_text", 0},   {"empty_text", 0},   {"space_text", 0}, {"object", 0},      {"list", 0},
      {"cash", 2},       {"cash_odd", 4},     {"cash_neg", -2},  {"cash_fraction", 1}, {"missing", 0},
      {"object.a", 0},   {"object.a[1]", 2}};
  for (const auto& [path, expected] : table) EXPECT_EQ(integer(doc, path), expected) << path;
  EXPECT_EQ(integer(Value()), 0);
  EXPECT_EQ(integer(parse("1e300")), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(integer(parse("\"9223372036854775808\"")), 0);
}

TEST(JsonGetters, RealConvertsEveryKindInEveryLocale) {
  for (const char* locale : testing::kLocales) {
    testing::LocaleGuard guard(locale);
    if (!guard.active()) continue;
    const Value doc = Sample();
    const std::vector<std::pair<const char*, double>> table = {
        {"null", 0},         {"yes", 1},        {"no", 0},         {"half", 2.5},      {"pi", 3.14159},
        {"seven", 7},        {"big", -9e9},     {"int_text", 42},  {"neg_text", -17},  {"plus_text", 5},
        {"mixed_text", 0},   {"real_text", 0.85}, {"exp_text", 1000}, {"empty_text", 0}, {"space_text", 0},
        {"word", 0},         {"object", 0},     {"list", 0},       {"cash", 2.5},      {"cash_fraction", 1.2345},
        {"missing", 0}};
    for (const auto& [path, expected] : table) EXPECT_EQ(real(doc, path), expected) << path << " " << locale;
    EXPECT_EQ(real(parse("\"0,850\"")), 0) << locale;
    EXPECT_EQ(real(parse("\"inf\"")), 0) << locale;
    EXPECT_EQ(real(parse("\"0x10\"")), 0) << locale;
    EXPECT_EQ(real(parse("\".5\"")), 0.5) << locale;
  }
}

TEST(JsonGetters, TextGivesBareStringsAndPrintsEverythingElse) {
  const Value doc = Sample();
  EXPECT_EQ(text(doc, "null"), "null");
  EXPECT_EQ(text(doc, "missing"), "");
  EXPECT_EQ(text(doc, "missing.deeper"), "");
  EXPECT_EQ(text(doc, "seven"), "7");
  EXPECT_EQ(text(doc, "yes"), "true");
  EXPECT_EQ(text(doc, "half"), "2.5");
  EXPECT_EQ(text(doc, "cash_fraction"), "1.2345");
  EXPECT_EQ(text(doc, "cash"), "2.5");
  EXPECT_EQ(text(doc, "word"), "false");
  EXPECT_EQ(text(doc, "empty_text"), "");
  EXPECT_EQ(text(doc, "object"), "{\"a\":[1,2]}");
  EXPECT_EQ(text(doc, "list"), "[\"a\",2,null]");
  EXPECT_EQ(item_text(at(doc, "list"), 0), "a");
  EXPECT_EQ(item_text(at(doc, "list"), 2), "null");
  EXPECT_EQ(item_text(at(doc, "list"), 3), "");
}

TEST(JsonGetters, BooleanFollowsTheTruthRules) {
  const Value doc = Sample();
  for (const char* truthy : {"yes", "half", "seven", "big", "int_text", "word", "object", "empty_object", "list",
                             "empty_list", "cash"}) {
    EXPECT_TRUE(boolean(doc, truthy)) << truthy;
  }
  for (const char* falsy : {"null", "no", "zero", "empty_text", "missing"}) EXPECT_FALSE(boolean(doc, falsy)) << falsy;
  EXPECT_FALSE(boolean(parse("0.0")));
  EXPECT_FALSE(boolean(Value::currency(0)));
}

TEST(JsonGetters, ObjectAndArrayGiveOnlyTheirKind) {
  const Value doc = Sample();
  EXPECT_TRUE(object(doc, "object"));
  EXPECT_FALSE(object(doc, "list"));
  EXPECT_TRUE(array(doc, "list"));
  EXPECT_FALSE(array(doc, "object"));
  EXPECT_FALSE(object(doc, "null"));
  EXPECT_FALSE(array(doc, "missing"));
  EXPECT_TRUE(object(doc).same(doc));
}

TEST(JsonPaths, WalkMembersAndIndexes) {
  const Value doc = parse("{\"data\":[{\"name\":\"a\"},{\"name\":\"b\",\"m\":[[1,2],[3,4]]}],"
                          "\"meta\":{\"count\":2},\"12345\":{\"0\":\"digits\"},\"\":{\"x\":5}}");
  EXPECT_EQ(text(doc, "data[0].name"), "a");
  EXPECT_EQ(text(doc, "data[1].name"), "b");
  EXPECT_EQ(integer(doc, "data[1].m[1][0]"), 3);
  EXPECT_EQ(integer(doc, "meta.count"), 2);
  EXPECT_EQ(text(doc, "12345.0"), "digits");
  EXPECT_EQ(integer(at(doc, "data"), "[1].m[0][1]"), 2);
  EXPECT_TRUE(at(doc, "").same(doc));
  EXPECT_TRUE(at(doc, "meta..count").present());
  for (const char* missing : {"data[2].name", "data[0].nope", "meta[0]", "data.0", "meta.count.deeper", "data[x]",
                              "data[", "data[1", "data[]", "data[0]name", "data[99999999999999999999999]",
                              "nothing"}) {
    EXPECT_FALSE(at(doc, missing)) << missing;
    EXPECT_EQ(text(doc, missing), "") << missing;
  }
}

TEST(JsonPaths, LargeObjectsFindEveryMember) {
  std::string text_doc = "{";
  for (int i = 0; i < 3000; ++i) text_doc += (i ? ",\"" : "\"") + std::to_string(100000 + i * 7) + "\":" + std::to_string(i);
  text_doc += "}";
  Value doc = parse(text_doc);
  ASSERT_EQ(member_count(doc), 3000u);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(integer(doc, std::to_string(100000 + i * 7)), i);
  EXPECT_FALSE(at(doc, "100001"));
  // The index follows additions and removals.
  for (int i = 0; i < 5000; ++i) set_integer(doc, "n" + std::to_string(i), -i);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(integer(doc, "n" + std::to_string(i)), -i);
  EXPECT_TRUE(remove(doc, "100007"));
  EXPECT_FALSE(at(doc, "100007"));
  EXPECT_EQ(integer(doc, "100014"), 2);
  EXPECT_EQ(member_count(doc), 7999u);
}

TEST(JsonPaths, DuplicateNamesFindTheFirst) {
  std::string many = "{\"k\":1";
  for (int i = 0; i < 40; ++i) many += ",\"m" + std::to_string(i) + "\":0";
  many += ",\"k\":2}";
  for (const std::string& doc_text : {std::string("{\"k\":1,\"k\":2}"), many}) {
    Value doc = parse(doc_text);
    EXPECT_EQ(integer(doc, "k"), 1) << doc_text;
    set_integer(doc, "k", 5);
    EXPECT_EQ(integer(doc, "k"), 5);
    EXPECT_EQ(text(doc).find("\"k\":2"), text(doc).size() - 6);
  }
}

TEST(JsonSetters, ReplaceOrCreateMembersAndIntermediateObjects) {
  Value doc = parse("{\"a\":{\"b\":1},\"n\":5,\"list\":[{\"x\":1},2]}");
  EXPECT_TRUE(set_integer(doc, "a.b", 2));
  EXPECT_TRUE(set_integer(doc, "a.c", 3));
  EXPECT_TRUE(set_text(doc, "new.deeper.name", "Ж"));
  EXPECT_TRUE(set_real(doc, "list[0].y", 0.5));
  EXPECT_TRUE(set_integer(doc, "list[1]", 9));
  EXPECT_TRUE(set_object(doc, "o", parse("{\"k\":[]}")));
  EXPECT_EQ(print(doc),
            "{\"a\":{\"b\":2,\"c\":3},\"n\":5,\"list\":[{\"x\":1,\"y\":0.5},9],\"new\":{\"deeper\":{\"name\":\"Ж\"}},"
            "\"o\":{\"k\":[]}}");

  EXPECT_FALSE(set_integer(doc, "n.x", 1));       // through a number
  EXPECT_FALSE(set_integer(doc, "list[5]", 1));   // outside the array
  EXPECT_FALSE(set_integer(doc, "list.x", 1));    // member of an array
  EXPECT_FALSE(set_integer(doc, "fresh[0].x", 1)); // index into a member that does not exist
  EXPECT_FALSE(at(doc, "fresh"));
  EXPECT_FALSE(set_integer(doc, "", 1));
  EXPECT_FALSE(set_integer(doc, "a[", 1));
  EXPECT_FALSE(set(doc, "x", Value()));
  Value nothing;
  EXPECT_FALSE(set_integer(nothing, "a", 1));
  Value scalar = Value::integer(1);
  EXPECT_FALSE(set_integer(scalar, "a", 1));
}

TEST(JsonSetters, RemoveMembersAndItems) {
  Value doc = parse("{\"a\":1,\"b\":[1,2,3],\"c\":3}");
  EXPECT_TRUE(remove(doc, "a"));
  EXPECT_TRUE(remove(doc, "b[1]"));
  EXPECT_FALSE(remove(doc, "a"));
  EXPECT_FALSE(remove(doc, "b[2]"));
  EXPECT_FALSE(remove(doc, "zz.y"));
  EXPECT_FALSE(at(doc, "zz"));
  EXPECT_EQ(print(doc), "{\"b\":[1,3],\"c\":3}");
}

TEST(JsonArrays, LengthItemAndAppend) {
  Value list = Value::array();
  EXPECT_EQ(length(list), 0u);
  EXPECT_TRUE(append(list, Value::integer(1)));
  EXPECT_TRUE(append(list, Value::string("two")));
  EXPECT_TRUE(append(list, Value::null()));
  EXPECT_TRUE(append(list, Value::boolean(false)));
  EXPECT_TRUE(append(list, Value::real(0.25)));
  EXPECT_TRUE(append(list, parse("{\"k\":1}")));
  EXPECT_FALSE(append(list, Value()));
  Value not_array = Value::object();
  EXPECT_FALSE(append(not_array, Value::integer(1)));
  EXPECT_EQ(length(not_array), 0u);
  EXPECT_EQ(length(Value()), 0u);
  ASSERT_EQ(length(list), 6u);
  EXPECT_EQ(print(list), "[1,\"two\",null,false,0.25,{\"k\":1}]");
  EXPECT_EQ(item_text(list, 1), "two");
  EXPECT_FALSE(item(list, length(list)));
  EXPECT_FALSE(item(list, static_cast<size_t>(-1)));
  for (int i = 0; i < 1000; ++i) append(list, Value::integer(i));
  EXPECT_EQ(integer(item(list, 1005)), 999);
}

TEST(JsonMembers, EnumerateInDocumentOrder) {
  const Value doc = parse("{\"z\":1,\"a\":{\"q\":2},\"m\":\"s\"}");
  std::vector<std::string> names;
  std::string values;
  for (const auto& [name, value] : members(doc)) {
    names.push_back(name);
    values += print(value);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"z", "a", "m"}));
  EXPECT_EQ(values, "1{\"q\":2}\"s\"");
  EXPECT_EQ(members(doc).size(), 3u);
  EXPECT_TRUE(members(at(doc, "z")).empty());
  EXPECT_TRUE(members(Value()).empty());
  EXPECT_TRUE(members(Value::object()).empty());
}

TEST(JsonSharing, MembersOutliveTheirDocument) {
  Value member;
  Value from_enumeration;
  Value element;
  {
    const Value doc = parse("{\"data\":{\"1\":{\"name\":\"first\"},\"2\":{\"name\":\"second\"}},\"l\":[[5]]}");
    member = at(doc, "data.1");
    for (const auto& entry : members(at(doc, "data"))) from_enumeration = entry.value;
    element = item(at(doc, "l"), 0);
  }
  EXPECT_EQ(text(member, "name"), "first");
  EXPECT_EQ(text(from_enumeration, "name"), "second");
  EXPECT_EQ(integer(element, "[0]"), 5);

  std::string names;
  {
    const MemberRange range = members(parse("{\"a\":1,\"b\":2}"));
    for (const auto& entry : range) names += entry.name + text(entry.value);
  }
  EXPECT_EQ(names, "a1b2");
}

TEST(JsonSharing, SettersAreSeenThroughEveryHandle) {
  Value doc = parse("{\"a\":{\"b\":1}}");
  Value inner = at(doc, "a");
  EXPECT_TRUE(set_integer(inner, "c", 2));
  EXPECT_EQ(integer(doc, "a.c"), 2);

  Value built = Value::object();
  EXPECT_TRUE(set_object(doc, "built", built));
  EXPECT_TRUE(set_text(built, "late", "seen"));
  EXPECT_EQ(text(doc, "built.late"), "seen");
  EXPECT_TRUE(at(doc, "built").same(built));

  // A value taken from one document and put into another keeps working after
  // the first is gone.
  Value target = Value::object();
  {
    Value source = parse("{\"deep\":{\"x\":[1,2,3]}}");
    set_object(target, "copied", at(source, "deep"));
  }
  EXPECT_EQ(text(target, "copied"), "{\"x\":[1,2,3]}");
  EXPECT_TRUE(set_integer(target, "copied.y", 4));
  EXPECT_EQ(integer(target, "copied.y"), 4);
}

TEST(JsonSharing, RefusesToPutAValueInsideItself) {
  Value doc = parse("{\"a\":{\"b\":[{}]},\"s\":[1]}");
  Value inner = at(doc, "a.b[0]");
  EXPECT_FALSE(set_object(doc, "self", doc));
  EXPECT_FALSE(set_object(inner, "up", doc));
  EXPECT_FALSE(set_object(doc, "a.b[0]", at(doc, "a")));
  Value list = at(doc, "a.b");
  EXPECT_FALSE(append(list, at(doc, "a")));
  EXPECT_FALSE(append(list, list));
  EXPECT_FALSE(set_object(doc, "fresh.deeper", doc));
  EXPECT_FALSE(at(doc, "fresh"));
  // The same subtree in two places is fine.
  EXPECT_TRUE(set_object(doc, "again", at(doc, "s")));
  EXPECT_TRUE(append(list, at(doc, "s")));
  EXPECT_EQ(print(doc), "{\"a\":{\"b\":[{},[1]]},\"s\":[1],\"again\":[1]}");
}

TEST(JsonSharing, DocumentsLinkedBothWaysAreFreed) {
  std::weak_ptr<detail::Node> parsed_watch;
  std::weak_ptr<detail::Node> built_watch;
  {
    Value doc = parse("{\"meta\":{\"count\":1}}");
    Value built = Value::object();
    parsed_watch = doc.shared_node();
    built_watch = built.shared_node();
    EXPECT_TRUE(set_object(doc, "built", built));
    EXPECT_TRUE(set_object(built, "meta", at(doc, "meta")));
    EXPECT_EQ(print(doc), "{\"meta\":{\"count\":1},\"built\":{\"meta\":{\"count\":1}}}");
    EXPECT_TRUE(set_integer(built, "extra", 2));
    EXPECT_EQ(integer(doc, "built.extra"), 2);
  }
  EXPECT_TRUE(parsed_watch.expired());
  EXPECT_TRUE(built_watch.expired());
}

TEST(JsonSharing, CloneSharesNothing) {
  Value doc = parse("{\"a\":{\"b\":[1,{\"c\":\"d\"}]},\"e\":2.5}");
  Value copy = clone(doc);
  EXPECT_EQ(print(copy), print(doc));
  EXPECT_FALSE(copy.same(doc));
  set_integer(copy, "a.b[0]", 7);
  set_text(doc, "a.b[1].c", "changed");
  EXPECT_EQ(print(doc), "{\"a\":{\"b\":[1,{\"c\":\"changed\"}]},\"e\":2.5}");
  EXPECT_EQ(print(copy), "{\"a\":{\"b\":[7,{\"c\":\"d\"}]},\"e\":2.5}");
  EXPECT_FALSE(clone(Value()));
}

}  // namespace
}  // namespace tarvelo::json
