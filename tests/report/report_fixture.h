// A player record built by hand and the report input around it, with the
// clock fixed at 08.12.2016 12:00 local time, three hours east of UTC.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/tables.h"
#include "report/account_report.h"
#include "text/russian.h"

namespace tarvelo::testing {

inline constexpr DateTime kNow = 42712.5;  // 08.12.2016 12:00
inline constexpr int kZoneHours = 3;

// A block with battles, wins and the figures the rows read.
inline RWOTAccountStats Block(int32_t battles, int32_t wins) {
  RWOTAccountStats block;
  block.Battles = battles;
  block.Wins = wins;
  block.Losses = battles - wins;
  block.WinsPercent = battles > 0 ? 100.0f * wins / battles : 0;
  block.Xp = battles * 500;
  block.XpAvg = battles > 0 ? 500 : 0;
  return block;
}

inline RWOTAccount Player() {
  RWOTAccount account;
  account.AccountId = "4817293";
  account.Nickname = "Gromoboy_77";
  account.Created = EncodeDateTime(2012, 3, 14, 17, 22, 5);
  account.Updated = EncodeDateTime(2016, 12, 8, 6, 0, 0);
  account.LastBattle = EncodeDateTime(2016, 12, 7, 20, 0, 0);
  account.Logout = account.LastBattle + 1.0 / 24;
  account.Stats[kModeAll] = Block(100, 51);
  account.Stats[kModeRandom] = Block(80, 40);
  return account;
}

// The view of the "&days=" number (and letters) in battle mode `mode`.
inline ReportView Days(int days, std::string letters = "", int mode = kModeAll) {
  ReportView view;
  view.mode = mode;
  if (mode != kModeAll) view.mode_key = BattleModes[mode].key;
  view.days = days;
  view.letters = letters;
  return view;
}

// The tbody of `id` in `html`, or empty.
inline std::string RowOf(const std::string& html, std::string_view id) {
  const size_t start = html.find("<tbody id=\"" + std::string(id) + "\"");
  if (start == std::string::npos) return {};
  const size_t end = html.find("</tbody>", start);
  return html.substr(start, end == std::string::npos ? std::string::npos : end + 8 - start);
}

class AccountReportTest : public ::testing::Test {
 protected:
  AccountReportTest() {
    site_.site = "http://site";
    site_.program_file = "/opt/tarvelo/tarvelo";
    site_.urls.hosts.ClanPortal = "http://clans.%REGION%";
  }

  // The report of shown_ / current_ / base_ for this view.
  std::string Report(ReportView view = {}) { return Report(view, AccountLayoutForDays(view.days)); }
  std::string Report(ReportView view, AccountLayout layout) {
    const RSettings state = BuildRowState(layout, view.mode);
    const AccountReportInput input{shown_,  current_, base_, layout, state, view, {kNow, kZoneHours}, site_, fame_,
                                   "/data/images/clan/172431_emblem_24x24.png", "/data/images/vehicle",
                                   history_emblems_, dates_,    StripDays(),
                                   "EFF", document_, reference_, history_};
    AccountReportResult result = AccountReport(input);
    errors_ = result.layout_errors;
    return result.html;
  }

  // The records of dates_[1] on, as far as the day strip reads them.
  std::vector<StoredDay> StripDays() const {
    std::vector<StoredDay> days;
    for (size_t day = 1; day <= kDayStripDays && day < dates_.size(); ++day) {
      days.emplace_back(day < stored_.size() ? &stored_[day] : nullptr);
    }
    return days;
  }

  // The same record everywhere: the all-time view.
  void Show(const RWOTAccount& account) { shown_ = current_ = base_ = account; }

  RWOTAccount shown_ = Player();
  RWOTAccount current_ = Player();
  RWOTAccount base_ = Player();
  ReportSite site_;
  FameView fame_;
  std::map<std::string, std::string, std::less<>> history_emblems_;
  ADateArr dates_;
  std::vector<RWOTAccount> stored_;  // the record of dates_[i]
  json::Value document_;
  ReferenceData reference_;
  std::vector<SummaryDay> history_;  // newest first
  std::vector<std::string> errors_;
};

}  // namespace tarvelo::testing
