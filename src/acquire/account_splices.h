// The text splices that merge the publisher's answers (their meta count already
// removed) into the account info answer, step by step, giving the daily snapshot
// document. They are exact text replacements that fit the answers as the
// publisher structures them, not a general JSON merge.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// The start of an "ok" answer's data, up to the first id's quote.
inline constexpr std::string_view kOkDataStart = "{\"status\":\"ok\",\"data\":{\"";

// The achievements answer's members put in front of the account's members. A
// snapshot comes back unchanged when the answer holds no data object.
std::string SpliceAchievements(std::string_view snapshot, std::string_view answer, std::string_view account_id);
// The clan membership answer's members put in front of the account's members;
// the members that follow the "clan" object move into it.
std::string SpliceMembership(std::string_view snapshot, std::string_view answer, std::string_view account_id);
// The vehicles answer's list appended as the "vehicles" member of "data". A
// snapshot comes back unchanged when the answer holds no data object.
std::string SpliceVehicles(std::string_view snapshot, std::string_view answer, std::string_view account_id);

}  // namespace tarvelo
