#include "acquire/clan_members.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquire/account_loader.h"
#include "acquire/member_batch.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/stored_snapshots.h"
#include "model/period.h"
#include "model/reference.h"

namespace tarvelo {

namespace {

class MemberCollector {
 public:
  MemberCollector(const ClanMembersRequest& request, const LoaderContext& context)
      : request_(request), context_(context) {}

  // Whether Collect will run the account loader for the member.
  bool NeedsLoad(const RWOTAccount& listed) const {
    const std::string folder = EntityFolderOf(context_.user_cache_folder, listed.AccountId);
    return LoadsAtOnce(folder) || !NewestIsFresh(folder, ListSnapshotDates(*context_.disk, folder));
  }

  CollectedMember Collect(const RWOTAccount& listed) const {
    const std::string folder = EntityFolderOf(context_.user_cache_folder, listed.AccountId);
    std::optional<MemberLoad> loaded;
    if (LoadsAtOnce(folder)) loaded = Load(listed);
    StoredSnapshots stored(Source(folder, listed.AccountId), listed);
    // A server that could not be reached is not asked again for the member.
    if (!NewestIsFresh(folder, stored.dates()) && !(loaded && !loaded->unreachable_host.empty())) {
      loaded = Load(listed);
      stored = StoredSnapshots(Source(folder, listed.AccountId), listed);
    }

    CollectedMember member;
    member.record = listed;
    if (request_.stored_days_only) {
      member.activity = StoredActivity(listed.AccountId);
      if (loaded) member.unreachable_host = std::move(loaded->unreachable_host);
      return member;
    }
    if (std::unique_ptr<RWOTAccount> newest = stored.Take(0)) {
      member.record = std::move(*newest);
      member.has_statistics = true;
      if (request_.PeriodDays >= 1) ReduceToPeriod(stored, member);
    }
    KeepListedIdentity(listed, member.record);
    // A member's load has asked for its fame points already.
    if (loaded) {
      member.fame = std::move(loaded->fame);
      member.unreachable_host = std::move(loaded->unreachable_host);
    } else {
      member.fame = LoadAccountFamePoints(context_, listed.AccountId, listed.Nickname,
                                          std::max(0, request_.PeriodDays), request_.UpdateRequested);
    }
    return member;
  }

 private:
  // What the collection keeps of a member's load.
  struct MemberLoad {
    AccountFamePoints fame;
    std::string unreachable_host;
  };

  MemberLoad Load(const RWOTAccount& listed) const {
    const AccountLoadRequest load{"@" + listed.AccountId, request_.UpdateRequested, 0, "", false};
    AccountLoadResult result = LoadAccount(load, context_);
    return {std::move(result.fame), std::move(result.unreachable_host)};
  }

  // On an update, or for a member not cached yet, before its snapshots are looked at.
  bool LoadsAtOnce(const std::string& folder) const {
    return request_.UpdateRequested || !context_.disk->IsFolder(folder);
  }

  bool NewestIsFresh(const std::string& folder, const ADateArr& dates) const {
    if (dates.empty()) return false;
    const DateTime newest = context_.disk->ModifiedDate(JoinPath(folder, SnapshotFileName(dates.front())));
    return IsFresh(newest, kMemberSnapshotFresh, context_.Now());
  }

  // What the summaries of the member's stored days tell; nothing without a history.
  MemberActivity StoredActivity(const std::string& account_id) const {
    if (context_.history == nullptr) return {};
    std::vector<ActivityDay> days;
    for (SummaryDay& day : context_.history->Summaries(account_id, context_.mode_index)) {
      days.push_back({day.day, std::move(day.figures)});
    }
    return MemberActivityOf(days);
  }

  StoredSnapshotSource Source(const std::string& folder, const std::string& account_id) const {
    // The clan pages count a member's battle-hero awards but list no achievements.
    return {context_.disk, context_.history,    folder, account_id, context_.legacy, context_.mode_index,
            false,         context_.reference, false};
  }

  // The member's snapshot PeriodDays back (the oldest when there are no more)
  // is the start of the period; a member with fewer snapshots is left out.
  void ReduceToPeriod(StoredSnapshots& stored, CollectedMember& member) const {
    const auto days = static_cast<size_t>(request_.PeriodDays);
    if (stored.dates().size() < days) {
      member.left_out = true;
      return;
    }
    const RWOTAccount* older = stored.At(std::min(days, stored.dates().size() - 1));
    if (older == nullptr) {
      member.has_statistics = false;
      return;
    }
    member.compared = older->Updated;
    member.record = PeriodDelta(member.record, *older, false, context_.mode_index, Ref());
  }

  // The clan's member list knows the member's name, role and joining date best;
  // the snapshot's clan stays, so a member who moved on shows it.
  static void KeepListedIdentity(const RWOTAccount& listed, RWOTAccount& record) {
    if (record.Nickname.empty()) record.Nickname = listed.Nickname;
    record.ClanRole = listed.ClanRole;
    record.ClanJoined = listed.ClanJoined;
    if (record.ClanId.empty() || record.ClanId == "0") {
      record.ClanId = listed.ClanId;
      record.ClanTag = listed.ClanTag;
    }
  }

  const ReferenceData& Ref() const { return context_.reference != nullptr ? *context_.reference : Reference(); }

  const ClanMembersRequest& request_;
  const LoaderContext& context_;
};

// The members one by one, each loaded with the requests it needs.
int CollectOneByOne(const RWOTClan& clan, const MemberCollector& collector, const MemberSink& take) {
  const int total = static_cast<int>(clan.members.size());
  int done = 0;
  for (const RWOTAccount& listed : clan.members) {
    const CollectedMember member = collector.Collect(listed);
    ++done;
    if (!take(member, done, total)) break;
  }
  return done;
}

// The answers of the members that need loading fetched ahead: the multi-id
// requests for all of them at once, then the vehicles and what the multi-id
// answers lacked round by round, just before the round's members are loaded.
int CollectFetchedAhead(const RWOTClan& clan, const ClanMembersRequest& request, const LoaderContext& context,
                        const MemberSink& take) {
  const MemberCollector probe(request, context);
  std::vector<std::string> loaded_ids;  // in member order, "" for members loaded from the cache
  for (const RWOTAccount& listed : clan.members) loaded_ids.push_back(probe.NeedsLoad(listed) ? listed.AccountId : "");
  const auto ids_of = [&loaded_ids](size_t from, size_t count) {
    std::vector<std::string> ids;
    for (size_t i = from; i < from + count; ++i) {
      if (!loaded_ids[i].empty()) ids.push_back(loaded_ids[i]);
    }
    return ids;
  };
  PrefetchedAnswers answers;
  PrefetchMultiIdAnswers(context, ids_of(0, loaded_ids.size()), answers);
  LoaderContext ahead = context;
  ahead.prefetched = &answers;
  const MemberCollector collector(request, ahead);

  const int total = static_cast<int>(clan.members.size());
  int done = 0;
  const size_t per_round = std::max<size_t>(1, request.members_per_round);
  for (size_t from = 0; from < clan.members.size(); from += per_round) {
    const size_t count = std::min(per_round, clan.members.size() - from);
    PrefetchSingleAnswers(context, ids_of(from, count), answers);
    for (size_t i = from; i < from + count; ++i) {
      const CollectedMember member = collector.Collect(clan.members[i]);
      ++done;
      if (!take(member, done, total)) return done;
    }
  }
  return done;
}

}  // namespace

int CollectClanMembers(const RWOTClan& clan, const ClanMembersRequest& request, const LoaderContext& context,
                       const MemberSink& take) {
  const SearchBudgetScope budget(context.fetch, context.batch_fetch);
  if (context.batch_fetch != nullptr) return CollectFetchedAhead(clan, request, context, take);
  return CollectOneByOne(clan, MemberCollector(request, context), take);
}

std::string UnrefreshedMembersWarning(std::string_view host, int unrefreshed, int collected) {
  if (unrefreshed <= 0) return {};
  return "ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + EscapeHtml(host) + ", данные " + std::to_string(unrefreshed) +
         std::string(Plural(unrefreshed, " бойца", " бойцов", " бойцов")) + " из " + std::to_string(collected) +
         " не обновлены, показаны последние сохранённые.";
}

}  // namespace tarvelo
