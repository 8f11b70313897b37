#include "acquire/store/history_service.h"

#include <algorithm>
#include <map>
#include <utility>

#include "acquire/store/answer_text.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/history_codec.h"
#include "acquire/store/snapshot_dates.h"
#include "text/debug_log.h"

namespace tarvelo {

struct HistoryService::SummaryPlan {
  std::string account_id;
  std::deque<std::pair<DateTime, bool>> days;  // to summarize, oldest first; true: a plain file
  DateTime previous_day = 0;                   // the usable day before the next one; 0 when none
  std::unique_ptr<AllModes> previous;          // its figures, once read
};

HistoryPlace HistoryPlaceOf(std::string cache_folder, LegacySources legacy, int plain_days) {
  HistoryPlace place;
  place.database = JoinPath(cache_folder, kHistoryFile);
  place.cache_folder = std::move(cache_folder);
  place.legacy = std::move(legacy);
  place.plain_days = plain_days < 0 ? -1 : std::max(plain_days, 1);
  return place;
}

HistoryService::HistoryService(Disk& disk, HistoryPlace place, const ReferenceData& reference)
    : disk_(disk), place_(std::move(place)), reference_(reference) {
  archive_ = HistoryArchive::Open(place_.database, problem_);
  if (!archive_ && problem_.empty()) problem_ = "the archive cannot be opened";
  if (!problem_.empty()) DebugLog("ОШИБКА: Архив истории недоступен: " + problem_);
  worker_ = std::thread([this] { Work(); });
}

HistoryService::~HistoryService() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

template <typename Result>
Result HistoryService::Ask(std::function<Result(HistoryArchive&)> request) {
  if (!archive_) return Result{};
  std::packaged_task<Result()> task([this, &request] { return request(*archive_); });
  std::future<Result> answer = task.get_future();
  {
    const std::lock_guard lock(mutex_);
    requests_.push_back([&task] { task(); });
  }
  wake_.notify_all();
  return answer.get();
}

std::vector<DateTime> HistoryService::Days(const std::string& account_id) {
  return Ask<std::vector<DateTime>>([&](HistoryArchive& archive) { return archive.Days(account_id); });
}

ArchivedDay HistoryService::Read(const std::string& account_id, DateTime date) {
  return Ask<ArchivedDay>([&](HistoryArchive& archive) { return archive.Read(account_id, date); });
}

bool HistoryService::Archived(const std::string& account_id, DateTime date) {
  return Ask<bool>([&](HistoryArchive& archive) { return archive.HashOf(account_id, date).has_value(); });
}

ArchiveSizes HistoryService::Sizes() {
  return Ask<ArchiveSizes>([](HistoryArchive& archive) { return archive.Sizes(); });
}

std::vector<SummaryDay> HistoryService::Summaries(const std::string& account_id, int mode) {
  return Ask<std::vector<SummaryDay>>([&](HistoryArchive& archive) {
    SummarizeAll(account_id);
    return archive.Summaries(account_id, mode);
  });
}

void HistoryService::Tend(const std::string& account_id) {
  if (!archive_) return;
  {
    const std::lock_guard lock(mutex_);
    if (std::find(waiting_accounts_.begin(), waiting_accounts_.end(), account_id) != waiting_accounts_.end()) {
      changed_accounts_.insert(account_id);  // its plan is made again
      return;
    }
    waiting_accounts_.push_back(account_id);
  }
  wake_.notify_all();
}

void HistoryService::TendAll() {
  for (const std::string& account_id : AccountsOfCache()) Tend(account_id);
}

HistoryMoves HistoryService::CompactNow(
    const std::function<void(const std::string& account_id, HistoryMoves)>& each) {
  const std::vector<std::string> accounts = AccountsOfCache();
  return Ask<HistoryMoves>([&](HistoryArchive&) {
    HistoryMoves total;
    for (const std::string& account_id : accounts) {
      HistoryMoves moves;
      while (TendStep(account_id, moves)) {
      }
      plan_.reset();
      total.days += moves.days;
      total.failed += moves.failed;
      if (each) each(account_id, moves);
    }
    return total;
  });
}

void HistoryService::SetProgress(Progress progress) {
  const std::lock_guard lock(mutex_);
  progress_ = std::move(progress);
}

void HistoryService::Work() {
  for (;;) {
    Task request;
    std::string account_id;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !requests_.empty() || !waiting_accounts_.empty(); });
      if (!requests_.empty()) {
        request = std::move(requests_.front());
        requests_.pop_front();
      } else if (stopping_) {
        return;
      } else {
        account_id = waiting_accounts_.front();
        if (changed_accounts_.erase(account_id) > 0) plan_.reset();
      }
    }
    if (request) {
      request();
      continue;
    }
    HistoryMoves moves;
    const bool more = TendStep(account_id, moves);
    if (!more) plan_.reset();
    Progress progress;
    int moved = 0;
    int waiting = 0;
    {
      const std::lock_guard lock(mutex_);
      if (!more && !waiting_accounts_.empty() && waiting_accounts_.front() == account_id) waiting_accounts_.pop_front();
      moved = moved_ += moves.days;
      waiting = static_cast<int>(waiting_accounts_.size());
      progress = progress_;
    }
    if (progress && (moves.days > 0 || !more)) progress(moved, waiting);
  }
}

bool HistoryService::TendStep(const std::string& account_id, HistoryMoves& moves) {
  if (!archive_ || !IsDecimalId(account_id)) return false;
  if (!plan_ || plan_->account_id != account_id) plan_ = std::make_unique<SummaryPlan>(PlanSummaries(account_id));
  if (!plan_->days.empty()) {
    SummarizeNext(*plan_);
    return true;
  }
  return MoveOneDay(account_id, moves);
}

HistoryService::SummaryPlan HistoryService::PlanSummaries(const std::string& account_id) {
  SummaryPlan plan;
  plan.account_id = account_id;
  const std::vector<DateTime> plain = ListSnapshotDates(disk_, AccountFolder(account_id));
  std::vector<std::pair<DateTime, bool>> days;
  for (DateTime date : archive_->Days(account_id)) days.emplace_back(date, false);
  for (DateTime date : plain) days.emplace_back(date, true);
  // Oldest first; a day both archived and a file (a move cut short) counts as the file.
  std::sort(days.begin(), days.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second > b.second;
  });
  days.erase(std::unique(days.begin(), days.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
             days.end());

  // Summaries made with other reference documents are made again.
  archive_->KeepSummariesOf(reference_.Version());
  std::map<DateTime, SummaryMark> marks;
  for (SummaryMark& mark : archive_->SummaryMarks(account_id)) marks.emplace(mark.day, std::move(mark));
  const auto earlier = [](const std::pair<DateTime, bool>& stored, DateTime day) { return stored.first < day; };
  for (const auto& entry : marks) {
    const DateTime day = entry.first;
    const auto found = std::lower_bound(days.begin(), days.end(), day, earlier);
    if (found == days.end() || found->first != day) archive_->RemoveSummary(account_id, day);
  }
  for (size_t i = 0; i < days.size(); ++i) {
    const auto [day, is_plain] = days[i];
    const auto mark = marks.find(day);
    const bool current = mark != marks.end() && mark->second.since == plan.previous_day &&
                         (!is_plain || mark->second.stamp == FileStamp(account_id, day));
    if (!current) {
      plan.days.assign(days.begin() + static_cast<std::ptrdiff_t>(i), days.end());
      break;
    }
    if (mark->second.usable) plan.previous_day = day;
  }
  return plan;
}

void HistoryService::SummarizeNext(SummaryPlan& plan) {
  const auto [day, is_plain] = plan.days.front();
  plan.days.pop_front();
  SummaryMark mark;
  mark.day = day;
  mark.since = plan.previous_day;
  mark.stamp = is_plain ? FileStamp(plan.account_id, day) : 0;
  const json::Value document = UsableSnapshot(ReadDay(plan.account_id, day, is_plain), plan.account_id);
  DaySummary summary;
  if (document.present()) {
    mark.usable = true;
    auto modes = std::make_unique<AllModes>(AllModesOf(plan.account_id, document, reference_));
    if (!plan.previous && plan.previous_day != 0) {
      const json::Value previous = UsableSnapshot(ReadDay(plan.account_id, plan.previous_day, true), plan.account_id);
      if (previous.present()) plan.previous = std::make_unique<AllModes>(AllModesOf(plan.account_id, previous, reference_));
    }
    summary = SummarizeDay(*modes, plan.previous.get(), reference_);
    if (!plan.previous) mark.since = 0;  // the day before no longer reads: this one starts afresh
    plan.previous = std::move(modes);
    plan.previous_day = day;
  }
  if (std::string problem; !archive_->PutSummary(plan.account_id, mark, summary, problem)) {
    DebugLog("ОШИБКА: Не удалось записать сводку дня в архив истории (" + problem + ")");
    plan.days.clear();  // the next tending tries again
  }
}

void HistoryService::SummarizeAll(const std::string& account_id) {
  if (!IsDecimalId(account_id)) return;
  plan_.reset();
  SummaryPlan plan = PlanSummaries(account_id);
  while (!plan.days.empty()) SummarizeNext(plan);
}

std::string HistoryService::AccountFolder(const std::string& account_id) const {
  return EntityFolderOf(UserCacheFolderOf(place_.cache_folder), account_id);
}

std::string HistoryService::ReadDay(const std::string& account_id, DateTime date, bool plain) {
  if (plain) {
    const std::string text = ReadTextFile(disk_, JoinPath(AccountFolder(account_id), SnapshotFileName(date)), "");
    if (!text.empty()) return ConvertSnapshot(text, account_id, {}, place_.legacy);
  }
  return archive_->Read(account_id, date).text.value_or("");
}

int64_t HistoryService::FileStamp(const std::string& account_id, DateTime date) const {
  const std::optional<FileFacts> facts = disk_.Facts(JoinPath(AccountFolder(account_id), SnapshotFileName(date)));
  return facts ? static_cast<int64_t>(facts->modified.time_since_epoch().count()) : 0;
}

bool HistoryService::MoveOneDay(const std::string& account_id, HistoryMoves& moves) {
  if (place_.plain_days < 0) return false;
  const std::string folder = AccountFolder(account_id);
  const std::vector<DateTime> plain = ListSnapshotDates(disk_, folder);
  std::vector<DateTime> all = archive_->Days(account_id);
  all.insert(all.end(), plain.begin(), plain.end());
  std::sort(all.begin(), all.end(), std::greater<>());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  if (all.size() <= static_cast<size_t>(place_.plain_days)) return false;
  // The oldest plain day older than the window.
  const DateTime window_start = all[static_cast<size_t>(place_.plain_days) - 1];
  if (plain.empty() || plain.back() >= window_start) return false;
  const DateTime date = plain.back();

  const std::string path = JoinPath(folder, SnapshotFileName(date));
  const std::string text = ReadTextFile(disk_, path, "");
  if (text.empty()) {
    ++moves.failed;
    return false;
  }
  // The archive holds the current layout; the file is not rewritten for it.
  const std::string converted = ConvertSnapshot(text, account_id, {}, place_.legacy);
  if (const std::optional<uint64_t> hash = archive_->HashOf(account_id, date)) {
    if (*hash != DayHash(converted)) {
      // Another text under the same day: the file stays, and so does the archived day.
      DebugLog("ОШИБКА: День уже в архиве с другим текстом, файл оставлен: " + path);
      ++moves.failed;
      return false;
    }
  } else if (std::string problem; !archive_->Put(account_id, date, converted, problem)) {
    DebugLog("ОШИБКА: Не удалось перенести день в архив (" + problem + "): " + path);
    ++moves.failed;
    return false;
  }
  if (!disk_.Remove(path)) {
    ++moves.failed;
    return false;
  }
  ++moves.days;
  return true;
}

std::vector<std::string> HistoryService::AccountsOfCache() const {
  std::vector<std::string> accounts;
  for (const FolderEntry& entry : disk_.List(UserCacheFolderOf(place_.cache_folder), Listing::kKinds)) {
    if (entry.facts.kind == FileKind::kFolder && IsDecimalId(entry.name)) accounts.push_back(entry.name);
  }
  std::sort(accounts.begin(), accounts.end());
  return accounts;
}

}  // namespace tarvelo
