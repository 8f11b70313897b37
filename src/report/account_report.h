// The player report: the HTML body of a player's page, driven by a layout.
// A pure function of the records and arguments below; whatever needs the disk
// or the network (stored snapshots, the clan emblem file) is prepared by the
// caller.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "acquire/side_facts.h"
#include "acquire/addresses.h"
#include "json/json.h"
#include "model/day_summary.h"
#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"
#include "report/account_layout.h"
#include "report/link_lists.h"
#include "report/report_view.h"

namespace tarvelo {

// Where the page's links and pictures point.
struct ReportSite {
  std::string site;          // the program's web site: search and userbar links
  std::string program_file;  // the executable, for its res:// pictures
  UrlSettings urls;          // region and the hosts of the outside services
  LinkSites links;
};

// The local time the page is made at and the local offset from UTC in whole hours.
struct ReportClock {
  DateTime now = 0;
  int zone_hours = 0;
};

// The fame points of the clan-war campaign, shown only inside its window.
struct FameView {
  bool inside_window = false;
  std::string title;  // HTML
  AccountFamePoints account;
  ClanFamePoints clan;
};

struct AccountReportInput {
  // What the rows show (in a period view the period's own figures), the current
  // snapshot, and the snapshot the period deltas are measured from.
  const RWOTAccount& shown;
  const RWOTAccount& current;
  const RWOTAccount& base;
  AccountLayout layout;
  const RSettings& row_state;
  ReportView view;
  ReportClock clock;
  const ReportSite& site;
  FameView fame;
  std::string clan_emblem_file;  // the small emblem in the clan picture folder
  std::string vehicle_images_folder;
  // The small emblems of the clans of the clan history that are on disk, by clan id.
  std::map<std::string, std::string, std::less<>> history_emblem_files;
  ADateArr dates;                // the stored snapshot dates, newest first
  // The stored days the day strip compares, dates[1] on (at most kDayStripDays
  // of them): each one's whole record or only the figures of the page's battle
  // mode; nothing where that file cannot be used.
  std::vector<StoredDay> strip_days;
  std::string rating_name;  // "WN8" or "EFF": the main rating of the day strip
  const json::Value& document;  // the snapshot's "data", for keys no row rule knows
  const ReferenceData& reference;
  // The selected mode's figures on every stored day, newest first, for the
  // history charts; none without a history.
  std::vector<SummaryDay> history = {};
};

struct AccountReportResult {
  std::string html;
  std::vector<std::string> layout_errors;  // message box texts for malformed layout rows
};

AccountReportResult AccountReport(const AccountReportInput& input);

}  // namespace tarvelo
