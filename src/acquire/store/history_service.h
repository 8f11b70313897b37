// The history of the accounts' days: the newest `plain_days` stored days of
// each account stay plain files, the older ones move into the archive, and
// every stored day has a summary there. One worker thread owns the archive's
// database; every other thread hands it requests and waits for their answer,
// which goes before the work waiting in the background. Tending an account
// summarizes its days that have no current summary, then moves its days
// outside the window, one day a step. A move compresses a day, reads it back
// and compares it with the file, commits, and only then removes the file; a
// move interrupted by a kill is finished (or the day left a file) by the next
// tending of the account.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "acquire/store/disk.h"
#include "acquire/store/history_archive.h"
#include "acquire/store/snapshot_conversion.h"
#include "model/day_summary.h"
#include "model/reference.h"

namespace tarvelo {

// How many of an account's newest days stay plain files unless set: the days
// the day strip reads. -1 keeps every day a plain file.
inline constexpr int kDefaultPlainDays = 7;

struct HistoryPlace {
  std::string cache_folder;  // the account folders lie below its user folder
  std::string database;      // the archive's file: "history.sqlite" in the cache folder
  LegacySources legacy;      // for the days of older layouts
  int plain_days = kDefaultPlainDays;
};

// The place of the program's history in `cache_folder`.
HistoryPlace HistoryPlaceOf(std::string cache_folder, LegacySources legacy, int plain_days);

struct HistoryMoves {
  int days = 0;    // moved into the archive (or found moved already)
  int failed = 0;  // left a file because its move failed
};

class HistoryService {
 public:
  using Progress = std::function<void(int moved, int waiting)>;

  // Summaries are made with `reference`, which outlives the service.
  HistoryService(Disk& disk, HistoryPlace place, const ReferenceData& reference);
  // Stops the moves between two days and closes the archive.
  ~HistoryService();
  HistoryService(const HistoryService&) = delete;
  HistoryService& operator=(const HistoryService&) = delete;

  // False, with the reason, when the archive could not be opened: every day
  // then stays a plain file.
  bool available() const { return problem_.empty(); }
  const std::string& problem() const { return problem_; }
  int plain_days() const { return place_.plain_days; }

  // The archived days of an account, newest first.
  std::vector<DateTime> Days(const std::string& account_id);
  ArchivedDay Read(const std::string& account_id, DateTime date);
  bool Archived(const std::string& account_id, DateTime date);
  ArchiveSizes Sizes();

  // The figures of `mode` on every usable stored day of the account, newest
  // first, its summaries brought up to date first.
  std::vector<SummaryDay> Summaries(const std::string& account_id, int mode);

  // Tends the account in the background: summaries, then moves.
  void Tend(const std::string& account_id);
  // The same for every account of the cache.
  void TendAll();
  // Tends every account now, on the worker, and tells each account's moves;
  // returns the sum.
  HistoryMoves CompactNow(const std::function<void(const std::string& account_id, HistoryMoves)>& each = nullptr);
  // Called on the worker thread after each day moved in the background and
  // after each account done: the days moved so far, the accounts still waiting.
  void SetProgress(Progress progress);

 private:
  using Task = std::function<void()>;
  template <typename Result>
  Result Ask(std::function<Result(HistoryArchive&)> request);
  void Work();
  // One step of tending: a summary made or a day moved; false when the account needs nothing more.
  bool TendStep(const std::string& account_id, HistoryMoves& moves);
  // Moves the oldest day of the account outside the window; false when there is none left.
  bool MoveOneDay(const std::string& account_id, HistoryMoves& moves);
  struct SummaryPlan;
  // The days of the account whose summaries are missing or out of date, oldest first.
  SummaryPlan PlanSummaries(const std::string& account_id);
  // Summarizes the plan's next day.
  void SummarizeNext(SummaryPlan& plan);
  void SummarizeAll(const std::string& account_id);
  std::string AccountFolder(const std::string& account_id) const;
  // A day's text, from its file or the archive; empty when neither gives it.
  std::string ReadDay(const std::string& account_id, DateTime date, bool plain);
  int64_t FileStamp(const std::string& account_id, DateTime date) const;
  std::vector<std::string> AccountsOfCache() const;

  Disk& disk_;
  const HistoryPlace place_;
  const ReferenceData& reference_;
  std::unique_ptr<HistoryArchive> archive_;  // the worker's
  std::unique_ptr<SummaryPlan> plan_;        // the worker's: of the account being tended
  std::string problem_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> requests_;
  std::deque<std::string> waiting_accounts_;  // to be tended
  std::set<std::string> changed_accounts_;    // tended now, and changed since their plan was made
  int moved_ = 0;
  Progress progress_;
  bool stopping_ = false;
  std::thread worker_;  // last: it starts once the rest is there
};

}  // namespace tarvelo
