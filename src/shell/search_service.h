// What the shell asks of the loaders and the reports: load a player or a clan, then
// give the HTML of the report on what was loaded. The service keeps the loaded
// records (the current account and its two comparison records, the clan, the cached
// snapshot dates) between the load and the report.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/messages.h"
#include "report/report_view.h"
#include "shell/search_options.h"

namespace tarvelo {

// Called once per clan member collected: clan tag, member name, members done, total.
// Returns whether to go on.
using ProgressCallback =
    std::function<bool(std::string_view clan_tag, std::string_view member, int current, int total)>;

// A report body and the texts of the error boxes its layout asked for.
struct ReportPage {
  std::string html;
  std::vector<std::string> errors;
};

class SearchService {
 public:
  virtual ~SearchService() = default;

  // The account loader. Appends its messages to `messages`; true when the account
  // was identified.
  virtual bool LoadAccount(const SearchRequest& request, LoaderMessages& messages) = 0;
  // The player's name in the loaded account record; empty when none is loaded.
  virtual std::string LoadedAccountName() const = 0;
  // The account report on the loaded records; the days of `view` pick the layout.
  virtual ReportPage AccountReportHtml(const ReportView& view) = 0;

  // The clan loader, like LoadAccount.
  virtual bool LoadClan(const SearchRequest& request, LoaderMessages& messages) = 0;
  virtual std::string LoadedClanTag() const = 0;
  virtual std::string LoadedClanName() const = 0;
  // The clan members report on the loaded clan (days >= 1 compares with a cached
  // day), collecting the members one by one: `progress` is called after each
  // member and stops the collection by returning false.
  virtual std::string ClanReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) = 0;
  // The clan top-tanks report, its variant 0..4 from days -1..-5, collected alike.
  virtual std::string TopTanksReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) = 0;
  // The clan activity view (days kClanActivityDays) from the members' stored days, collected alike.
  virtual std::string ClanActivityHtml(const ReportView& view, bool update, const ProgressCallback& progress) = 0;
};

}  // namespace tarvelo
