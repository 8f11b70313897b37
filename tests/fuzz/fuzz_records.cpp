// Snapshot and clan parsing into records on any text: an account snapshot (read
// for the account id its data names first), a clan info answer and an alliance page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/clan.h"
#include "model/records.h"
#include "model/reference.h"
#include "model/snapshot.h"
#include "json/json.h"
#include "text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const json::Value document = json::parse(DecodeAnswer(text));
  std::string id = "4817293";
  for (const auto& [name, member] : json::members(json::at(document, "data"))) {
    if (name != "vehicles") {
      id = std::string(name);
      break;
    }
  }
  for (const int mode : {0, 1, 13}) {
    RWOTAccount account;
    account.AccountId = id;
    ParseAccount(account, document, true, true, mode, reference);
  }
  RWOTClan clan;
  clan.clan_id = id;
  ParseClan(clan, document, true, "http://clans.test");
  ParseAlliance(text, clan);
  return 0;
}
