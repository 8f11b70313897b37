// Readers of JSON values shared by the model's parsers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "json/json.h"

namespace tarvelo::detail {

// The value as text: strings as they are, numbers in decimal, nothing for an
// absent value or null.
std::string TextOf(const json::Value& v);

// One member of an object during ForEachMember; valid only while it is visited.
// The readers give what the json getters give for the member.
class MemberValue {
 public:
  MemberValue(const json::Value& owner, json::detail::Node* node) : owner_(owner), node_(node) {}
  int64_t Integer() const;
  double Real() const;
  std::string Text() const;  // as TextOf
  json::Value Handle() const;

 private:
  const json::Value& owner_;
  json::detail::Node* node_;
};

// Visits the members of an object in document order (nothing for anything
// else) without building a member list: the snapshot parser's fast path.
void ForEachMember(const json::Value& object,
                   const std::function<void(std::string_view name, const MemberValue& value)>& visit);

}  // namespace tarvelo::detail
