// Walking an object's members without building a member list: the fast path of
// readers that look at every member of large documents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "json/json.h"

namespace tarvelo::json {

// One member seen by for_each_member; valid only while it is visited. Its
// readers give exactly what the getters of json.h give for the member.
class MemberView {
 public:
  MemberView(const Value& owner, detail::Node* node) : owner_(owner), node_(node) {}
  Kind kind() const;
  int64_t integer() const;
  double real() const;
  std::string text() const;
  Value value() const;  // a handle that outlives the visit

 private:
  const Value& owner_;
  detail::Node* node_;
};

// Visits the members of an object in document order; anything else has none.
void for_each_member(const Value& object,
                     const std::function<void(std::string_view name, const MemberView& member)>& visit);

}  // namespace tarvelo::json
