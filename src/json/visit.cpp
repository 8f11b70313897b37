#include "json/visit.h"

#include <memory>

#include "json/node.h"

namespace tarvelo::json {

// Plain integers, doubles and strings are read straight from the node; every
// other kind goes through the getters, so the results are theirs.
Kind MemberView::kind() const { return node_->kind; }

int64_t MemberView::integer() const {
  return node_->kind == Kind::Integer ? node_->integer : json::integer(value());
}

double MemberView::real() const {
  switch (node_->kind) {
    case Kind::Double: return node_->real;
    case Kind::Integer: return static_cast<double>(node_->integer);
    default: return json::real(value());
  }
}

std::string MemberView::text() const {
  return node_->kind == Kind::String ? std::string(node_->string()) : json::text(value());
}

Value MemberView::value() const { return Value(std::shared_ptr<detail::Node>(owner_.shared_node(), node_)); }

void for_each_member(const Value& object,
                     const std::function<void(std::string_view name, const MemberView& member)>& visit) {
  if (object.kind() != Kind::Object) return;
  const detail::Node* node = object.node();
  for (uint32_t i = 0; i < node->size; ++i) {
    const detail::Slot& slot = node->members[i];
    visit(slot.name, MemberView(object, slot.value));
  }
}

}  // namespace tarvelo::json
