#include "json/visit.h"

#include <memory>

namespace tarvelo::json {

// As json::text of the member's handle, without making one.
std::string MemberView::text() const {
  if (node_->kind == Kind::String) return std::string(node_->string());
  std::string out;
  detail::PrintTo(node_, out);
  return out;
}

int64_t MemberView::OtherInteger() const { return json::integer(value()); }

double MemberView::OtherReal() const { return json::real(value()); }

Value MemberView::value() const { return Value(std::shared_ptr<detail::Node>(owner_.shared_node(), node_)); }

void for_each_member(const Value& object, const MemberVisitor& visit) {
  for_each_member(object, [&visit](std::string_view name, const MemberView& member) { visit(name, member); });
}

}  // namespace tarvelo::json
