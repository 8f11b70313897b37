#include "model/json_read.h"

#include <memory>

#include "json/node.h"

namespace tarvelo::detail {

std::string TextOf(const json::Value& v) {
  if (v.kind() == json::Kind::Null) return {};
  return json::text(v);
}

// Plain integers, doubles and strings are read straight from the node; every
// other kind goes through the json getters, so the results are theirs.
int64_t MemberValue::Integer() const {
  return node_->kind == json::Kind::Integer ? node_->integer : json::integer(Handle());
}

double MemberValue::Real() const {
  switch (node_->kind) {
    case json::Kind::Double: return node_->real;
    case json::Kind::Integer: return static_cast<double>(node_->integer);
    default: return json::real(Handle());
  }
}

std::string MemberValue::Text() const {
  switch (node_->kind) {
    case json::Kind::String: return std::string(node_->string());
    case json::Kind::Null: return {};
    default: return json::text(Handle());
  }
}

json::Value MemberValue::Handle() const { return json::Value(std::shared_ptr<json::detail::Node>(owner_.shared_node(), node_)); }

void ForEachMember(const json::Value& object,
                   const std::function<void(std::string_view name, const MemberValue& value)>& visit) {
  if (object.kind() != json::Kind::Object) return;
  const json::detail::Node* node = object.node();
  for (uint32_t i = 0; i < node->size; ++i) {
    const json::detail::Slot& slot = node->members[i];
    visit(slot.name, MemberValue(object, slot.value));
  }
}

}  // namespace tarvelo::detail
