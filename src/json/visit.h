// Walking an object's members without building a member list: the fast path of
// readers that look at every member of large documents.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "json/json.h"
#include "json/node.h"

namespace tarvelo::json {

// One member seen by for_each_member; valid only while it is visited. Its
// readers give exactly what the getters of json.h give for the member.
// Plain integers, doubles and strings are read straight from the node; every
// other kind goes through the getters, so the results are theirs.
class MemberView {
 public:
  MemberView(const Value& owner, detail::Node* node) : owner_(owner), node_(node) {}
  Kind kind() const { return node_->kind; }
  int64_t integer() const { return node_->kind == Kind::Integer ? node_->integer : OtherInteger(); }
  double real() const {
    switch (node_->kind) {
      case Kind::Double: return node_->real;
      case Kind::Integer: return static_cast<double>(node_->integer);
      default: return OtherReal();
    }
  }
  std::string text() const;
  Value value() const;  // a handle that outlives the visit

  // Visits the members of this member's value, when it is an object, without
  // making a handle to it.
  template <class Visit>
  void for_each_member(Visit&& visit) const {
    if (node_->kind != Kind::Object) return;
    for (uint32_t i = 0; i < node_->size; ++i) {
      const detail::Slot& slot = node_->members[i];
      visit(std::string_view(slot.name), MemberView(owner_, slot.value));
    }
  }

 private:
  // The getters' answers for the kinds not read inline; kept out of line so
  // that the inline readers stay small.
  int64_t OtherInteger() const;
  double OtherReal() const;

  const Value& owner_;
  detail::Node* node_;
};

using MemberVisitor = std::function<void(std::string_view name, const MemberView& member)>;

// Visits the members of an object in document order; anything else has none.
void for_each_member(const Value& object, const MemberVisitor& visit);

// The same for any callable, without the indirect call per member.
template <class Visit>
  requires(!std::is_same_v<std::remove_cvref_t<Visit>, MemberVisitor> &&
           std::is_invocable_v<Visit&, std::string_view, const MemberView&>)
void for_each_member(const Value& object, Visit&& visit) {
  const detail::Node* node = object.node();
  if (node == nullptr || node->kind != Kind::Object) return;
  for (uint32_t i = 0; i < node->size; ++i) {
    const detail::Slot& slot = node->members[i];
    visit(slot.name, MemberView(object, slot.value));
  }
}

template <class Visit>
void for_each_member(const MemberView& object, Visit&& visit) {
  object.for_each_member(visit);
}

}  // namespace tarvelo::json
