#include "acquire/account_splices.h"

#include "text/replace.h"

namespace tarvelo {

namespace {

// `"data":{"ID":{` + `members` + `,` + the account's own members.
std::string PutBeforeAccountMembers(std::string_view snapshot, std::string_view members,
                                    std::string_view account_id) {
  const std::string anchor = "\"data\":{\"" + std::string(account_id) + "\":{";
  return ReplaceAll(snapshot, anchor, anchor + std::string(members) + ",");
}

std::string AccountDataStart(std::string_view account_id, std::string_view after_id) {
  return std::string(kOkDataStart) + std::string(account_id) + std::string(after_id);
}

}  // namespace

std::string SpliceAchievements(std::string_view snapshot, std::string_view answer, std::string_view account_id) {
  if (!Contains(answer, kOkDataStart)) return std::string(snapshot);
  std::string members = ReplaceAll(answer, AccountDataStart(account_id, "\":{"), "");
  members = ReplaceAll(members, "}}}}", "}");
  members = ReplaceAll(members, "null}", "null");
  return PutBeforeAccountMembers(snapshot, members, account_id);
}

std::string SpliceMembership(std::string_view snapshot, std::string_view answer, std::string_view account_id) {
  std::string members = ReplaceAll(answer, AccountDataStart(account_id, "\":{"), "");
  members = ReplaceAll(members, "}}}", "}");
  members = ReplaceAll(members, "},\"", ",\"");
  members = ReplaceAll(members, "null}}", "null}");
  return PutBeforeAccountMembers(snapshot, members, account_id);
}

std::string SpliceVehicles(std::string_view snapshot, std::string_view answer, std::string_view account_id) {
  if (!Contains(answer, kOkDataStart)) return std::string(snapshot);
  std::string vehicles = ReplaceAll(answer, AccountDataStart(account_id, "\":"), "},\"vehicles\":");
  vehicles = ReplaceAll(vehicles, "statistics", "all");
  std::string merged = ReplaceAll(snapshot, "}}}", "") + vehicles;
  return ReplaceAll(merged, ":null}}},\"vehicles\"", ":null,\"vehicles\"");
}

}  // namespace tarvelo
