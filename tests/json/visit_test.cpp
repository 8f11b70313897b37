#include "json/visit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvelo::json {
namespace {

TEST(ForEachMember, VisitsInDocumentOrderAndReadsLikeTheGetters) {
  const Value doc = parse(R"({"b":1,"a":2.5,"s":"7","n":null,"t":true,"o":{"x":1},"l":[1,2]})");
  std::vector<std::string> names;
  for_each_member(doc, [&](std::string_view name, const MemberView& member) {
    names.emplace_back(name);
    const Value same = at(doc, name);
    EXPECT_EQ(member.kind(), same.kind()) << name;
    EXPECT_EQ(member.integer(), integer(same)) << name;
    EXPECT_EQ(member.real(), real(same)) << name;
    EXPECT_EQ(member.text(), text(same)) << name;
    EXPECT_TRUE(member.value().same(same)) << name;
  });
  EXPECT_EQ(names, (std::vector<std::string>{"b", "a", "s", "n", "t", "o", "l"}));
}

TEST(ForEachMember, HandlesOutliveTheVisitAndTheDocument) {
  Value kept;
  {
    const Value doc = parse(R"({"inner":{"name":"121B"}})");
    for_each_member(doc, [&](std::string_view, const MemberView& member) { kept = member.value(); });
  }
  EXPECT_EQ(text(kept, "name"), "121B");
}

TEST(ForEachMember, NonObjectsHaveNoMembers) {
  int visits = 0;
  for (const Value& v : {parse("[1,2]"), parse("\"x\""), Value()}) {
    for_each_member(v, [&](std::string_view, const MemberView&) { ++visits; });
  }
  EXPECT_EQ(visits, 0);
}

}  // namespace
}  // namespace tarvelo::json
