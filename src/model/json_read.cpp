#include "model/json_read.h"

namespace tarvelo::detail {

std::string TextOf(const json::Value& v) {
  if (v.kind() == json::Kind::Null) return {};
  return json::text(v);
}

std::string TextOf(const json::MemberView& member) {
  if (member.kind() == json::Kind::Null) return {};
  return member.text();
}

}  // namespace tarvelo::detail
