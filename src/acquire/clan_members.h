// The statistics of a clan's members, collected one member at a time for the
// clan pages: each member's newest stored snapshot, loaded through the account
// loader when the member is not cached yet, on an update request, or when the
// snapshot is 720 minutes old; with a cached day selected, reduced to what the
// member did since that day.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "acquire/auxiliary_sources.h"
#include "acquire/loader_context.h"
#include "model/clan_activity.h"
#include "model/records.h"

namespace tarvelo {

// Stored snapshots younger than this are used without asking the publisher.
inline constexpr int kMemberSnapshotFresh = 720;

struct ClanMembersRequest {
  bool UpdateRequested = false;
  int PeriodDays = 0;  // >= 1: compare with the member's snapshot this many back
  // With a batch fetch in the loader context: the members whose vehicles are
  // fetched side by side before they are loaded, the progress moving on after each round.
  size_t members_per_round = 4;
  // The activity view: the members' stored days are kept as fresh as for the
  // other pages, but instead of their newest snapshots the summaries of their
  // days in the context's battle mode are read, and no fame points are asked.
  bool stored_days_only = false;
};

struct CollectedMember {
  // The member list's identity (id, name, role, joining date) over the parsed
  // snapshot; the period record with a day selected.
  RWOTAccount record;
  bool has_statistics = false;  // a usable snapshot was found
  bool left_out = false;        // fewer stored snapshots than the selected day
  DateTime compared = 0;        // the compared snapshot's "updated" date
  AccountFamePoints fame;
  MemberActivity activity;  // with stored_days_only
  // The API's host when the member's load could not reach it: the member was
  // not refreshed, and what is shown of it was stored before.
  std::string unreachable_host;
};

// Takes a member, its number in the member list (from 1) and the list's size;
// false stops the collection.
using MemberSink = std::function<bool(const CollectedMember& member, int current, int total)>;

// Collects the members of `clan` in the order of its member list, handing each
// to `take` as soon as it is complete. Returns how many members were handed over.
// With a batch fetch in `context`, what the members need from the network is
// fetched ahead (member_batch.h); the stored files are the same either way.
// The whole collection shares one time budget per host, so a server that
// stalls costs it that much once; the members after that fail at once.
int CollectClanMembers(const RWOTClan& clan, const ClanMembersRequest& request, const LoaderContext& context,
                       const MemberSink& take);

// The warning above a clan page that `unrefreshed` of the `collected` members
// could not be refreshed because the API's `host` could not be reached; empty
// when all were.
std::string UnrefreshedMembersWarning(std::string_view host, int unrefreshed, int collected);

}  // namespace tarvelo
