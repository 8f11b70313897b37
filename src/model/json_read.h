// Readers of JSON values shared by the model's parsers.
#pragma once

#include <string>

#include "json/json.h"
#include "json/visit.h"

namespace tarvelo::detail {

// The value as text: strings as they are, numbers in decimal, nothing for an
// absent value or null.
std::string TextOf(const json::Value& v);
std::string TextOf(const json::MemberView& member);

}  // namespace tarvelo::detail
