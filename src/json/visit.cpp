#include "json/visit.h"

#include <memory>

namespace tarvelo::json {

std::string MemberView::text() const {
  return node_->kind == Kind::String ? std::string(node_->string()) : json::text(value());
}

Value MemberView::value() const { return Value(std::shared_ptr<detail::Node>(owner_.shared_node(), node_)); }

void for_each_member(const Value& object, const MemberVisitor& visit) {
  for_each_member(object, [&visit](std::string_view name, const MemberView& member) { visit(name, member); });
}

}  // namespace tarvelo::json
