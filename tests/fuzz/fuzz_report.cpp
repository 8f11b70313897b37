// The player report on records parsed from any snapshot text, in the all-time,
// period and small layouts.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "json/json.h"
#include "model/records.h"
#include "model/reference.h"
#include "model/snapshot.h"
#include "report/account_layout.h"
#include "report/account_report.h"
#include "text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  const json::Value document = json::parse(DecodeAnswer(std::string_view(reinterpret_cast<const char*>(data), size)));
  std::string id = "4817293";
  for (const auto& [name, member] : json::members(json::at(document, "data"))) {
    if (name != "vehicles") {
      id = std::string(name);
      break;
    }
  }
  RWOTAccount account;
  account.AccountId = id;
  ParseAccount(account, document, true, true, 0, reference);
  ReportSite site;
  site.site = "http://site.test";
  site.program_file = "/opt/tarvelo/tarvelo";
  const std::map<std::string, std::string, std::less<>> no_emblems;
  const json::Value shown_data = json::at(document, "data");
  for (const int days : {0, 3, -1, -2}) {
    ReportView view;
    view.days = days;
    const AccountLayout layout = AccountLayoutForDays(days);
    const RSettings state = BuildRowState(layout, view.mode);
    const ADateArr dates = {42712.0, 42709.0};
    const AccountReportInput input{account, account, account, layout, state, view, {42712.5, 3}, site, {},
                                   "/data/images/clan/1_emblem_24x24.png", "/data/images/vehicle", no_emblems,
                                   dates, std::vector<StoredDay>{&account},
                                   "EFF", shown_data, reference};
    AccountReport(input);
  }
  return 0;
}
