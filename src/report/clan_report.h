// The two clan pages: the members table and the top-tanks table. Both are
// built member by member while the members are collected: the caller hands
// each collected member to the page as soon as it has it, then asks for the
// finished HTML. Pure functions of what they are given; the collection itself
// (cache, network, fame points) is the caller's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "acquire/side_facts.h"
#include "model/clan_activity.h"
#include "model/records.h"
#include "model/reference.h"
#include "report/account_report.h"
#include "report/report_view.h"

namespace tarvelo {

struct ClanReportInput {
  const RWOTClan& clan;
  ADateArr clan_dates;  // the clan's cached days, in the order the cache lists them
  ReportView view;      // days >= 0: the members table; -1..-5: the top-tanks table
  ReportClock clock;
  const ReportSite& site;
  FameView fame;                  // the campaign window and the clan's own fame points
  std::string clan_emblem_file;   // the small emblem in the clan picture folder
  std::string game_client_account;  // the game client's player, shown highlighted
  const ReferenceData& reference;
};

// One member as collected.
struct ClanMemberData {
  // The member list's identity (id, name, role, joining date, clan) and, when
  // `has_statistics`, the parsed snapshot: with a day selected the period record.
  const RWOTAccount& record;
  bool has_statistics = false;
  // A day is selected and the member has fewer stored snapshots than it asks for.
  bool left_out = false;
  DateTime compared = 0;  // the compared snapshot's date, with a day selected
  AccountFamePoints fame;
};

// A clan page under construction.
class ClanPage {
 public:
  virtual ~ClanPage() = default;
  // The next member of the member list.
  virtual void AddMember(const ClanMemberData& member) = 0;
  // The whole table and its notes; `total` is the size of the member list,
  // larger than the members added when the collection was stopped.
  virtual std::string Finish(int total) = 0;
};

// The members table, and the top-tanks table of the variant days -1..-5 name.
// `input` must outlive the page.
std::unique_ptr<ClanPage> MakeClanMembersPage(const ClanReportInput& input);
std::unique_ptr<ClanPage> MakeClanTopTanksPage(const ClanReportInput& input);

// One member of the activity view: the member list's identity (name, role)
// and what its stored days tell.
struct ClanActivityMember {
  const RWOTAccount& listed;
  MemberActivity activity;
};

struct ClanActivityOptions {
  int active_battles = 21;  // the battles in 28 days that make a member active
  bool history = true;      // false: no stored days could be read
};

// The activity view (days -6): the members sorted by their battles in 28 days,
// the clan's figures and its battles per day under them. `input` must outlive
// the page.
class ClanActivityPage {
 public:
  ClanActivityPage(const ClanReportInput& input, ClanActivityOptions options);
  ~ClanActivityPage();
  void AddMember(const ClanActivityMember& member);
  // The page; `total` as for ClanPage::Finish.
  std::string Finish(int total);

 private:
  struct Row {
    std::string name;
    std::string role;
    MemberActivity activity;
  };
  bool Active(const Row& row) const;
  std::string NameCell(const Row& row) const;
  std::string BattlesCell(const ActivityWindow& window, int days) const;
  std::string Wn8Cell(const ActivityWindow& window) const;
  std::string IdleCell(const MemberActivity& activity) const;
  std::string ActiveCell(const Row& row) const;
  std::string RowHtml(const Row& row) const;
  std::string Summary(const std::vector<const Row*>& sorted) const;
  std::string ChartHtml() const;

  const ClanReportInput& input_;
  ClanActivityOptions options_;
  std::vector<Row> members_;
};

// The selector row both pages share: the cached days, the report kind and the links.
std::string ClanSelectorRow(const ClanReportInput& input);

// A vehicle's name shortened for a column header ("Объект 260" → "Об. 260").
std::string ShortVehicleName(std::string_view name);

}  // namespace tarvelo
