#include "acquire/store/stored_snapshots.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <utility>

#include "acquire/store/account_days.h"
#include "acquire/store/answer_text.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "model/snapshot.h"
#include "text/replace.h"

namespace tarvelo {

// The days of PrepareModes: its thread reads them from the first on, and a
// ModeAt that would wait for the thread reads the last ones not begun yet.
class StoredSnapshots::PreparedDays {
 public:
  PreparedDays(std::shared_ptr<const Reader> reader, std::vector<size_t> indexes)
      : reader_(std::move(reader)),
        indexes_(std::move(indexes)),
        states_(indexes_.size(), State::kWaiting),
        figures_(indexes_.size()),
        errors_(indexes_.size()) {}

  bool Holds(size_t index) const { return Position(index) < indexes_.size(); }

  // The preparing thread's part.
  void ReadFromFirst() {
    std::unique_lock lock(mutex_);
    for (size_t position = 0; position < indexes_.size(); ++position) {
      if (states_[position] == State::kWaiting) Read(position, lock);
    }
  }

  // The figures of `index`, which Holds, handed over once.
  std::unique_ptr<ModeSnapshot> Take(size_t index) {
    const size_t position = Position(index);
    std::unique_lock lock(mutex_);
    while (states_[position] != State::kRead) {
      if (states_[position] == State::kWaiting) {
        Read(position, lock);
        continue;
      }
      const auto waiting = std::find(states_.rbegin(), states_.rend(), State::kWaiting);
      if (waiting != states_.rend()) {
        Read(static_cast<size_t>(states_.rend() - waiting) - 1, lock);
      } else {
        read_.wait(lock);
      }
    }
    if (errors_[position]) std::rethrow_exception(errors_[position]);
    return std::move(figures_[position]);
  }

 private:
  enum class State : uint8_t { kWaiting, kReading, kRead };

  size_t Position(size_t index) const {
    return static_cast<size_t>(std::find(indexes_.begin(), indexes_.end(), index) - indexes_.begin());
  }

  // Reads the day at `position` with the lock let go meanwhile.
  void Read(size_t position, std::unique_lock<std::mutex>& lock) {
    states_[position] = State::kReading;
    lock.unlock();
    std::unique_ptr<ModeSnapshot> figures;
    std::exception_ptr error;
    try {
      figures = reader_->ParseMode(indexes_[position]);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    figures_[position] = std::move(figures);
    errors_[position] = error;
    states_[position] = State::kRead;
    read_.notify_all();
  }

  const std::shared_ptr<const Reader> reader_;
  const std::vector<size_t> indexes_;
  std::mutex mutex_;
  std::condition_variable read_;
  std::vector<State> states_;
  std::vector<std::unique_ptr<ModeSnapshot>> figures_;
  std::vector<std::exception_ptr> errors_;
};

StoredSnapshots::StoredSnapshots(StoredSnapshotSource source, RWOTAccount model)
    : dates_(AccountDays(*source.disk, source.history, source.account_folder, source.account_id)),
      // Parsing sets both lists anew: copying them into every record would be wasted.
      reader_(std::make_shared<const Reader>(std::move(source), CopyWithoutLists(model), dates_)) {
  records_.resize(dates_.size());
  tried_.assign(dates_.size(), false);
  modes_.resize(dates_.size());
  modes_tried_.assign(dates_.size(), false);
}

const RWOTAccount* StoredSnapshots::At(size_t index) {
  if (index >= dates_.size()) return nullptr;
  if (!tried_[index]) {
    tried_[index] = true;
    records_[index] = reader_->Parse(index);
  }
  return records_[index].get();
}

std::unique_ptr<RWOTAccount> StoredSnapshots::Take(size_t index) {
  if (index >= dates_.size()) return nullptr;
  std::unique_ptr<RWOTAccount> record = tried_[index] ? std::move(records_[index]) : reader_->Parse(index);
  tried_[index] = false;
  if (record != nullptr && !modes_tried_[index] && !Prepared(index)) {
    modes_tried_[index] = true;
    modes_[index] = std::make_unique<ModeSnapshot>(reader_->ModeOf(*record));
  }
  return record;
}

StoredDay StoredSnapshots::ModeAt(size_t index) {
  if (index >= dates_.size()) return nullptr;
  if (tried_[index]) return records_[index].get();
  if (!modes_tried_[index]) {
    modes_tried_[index] = true;
    modes_[index] = Prepared(index) ? prepared_->Take(index) : reader_->ParseMode(index);
  }
  return modes_[index].get();
}

void StoredSnapshots::PrepareModes(const std::vector<size_t>& indexes) {
  if (prepared_ != nullptr) return;
  std::vector<size_t> days;
  for (size_t index : indexes) {
    if (index >= dates_.size() || tried_[index] || modes_tried_[index]) continue;
    if (std::find(days.begin(), days.end(), index) == days.end()) days.push_back(index);
  }
  if (days.empty()) return;
  prepared_ = std::make_shared<PreparedDays>(reader_, std::move(days));
  try {
    preparing_ = std::async(std::launch::async, [days = prepared_] { days->ReadFromFirst(); });
  } catch (const std::system_error&) {
    // No thread to be had: ModeAt reads the days itself.
  }
}

std::vector<StoredDay> StoredSnapshots::StripDays() {
  std::vector<StoredDay> days;
  for (size_t day = 1; day <= kDayStripDays && day < dates_.size(); ++day) days.push_back(ModeAt(day));
  return days;
}

bool StoredSnapshots::Prepared(size_t index) const { return prepared_ != nullptr && prepared_->Holds(index); }

std::unique_ptr<RWOTAccount> StoredSnapshots::Reader::Parse(size_t index) const {
  const json::Value document = Document(index);
  if (!document.present()) return nullptr;
  auto record = std::make_unique<RWOTAccount>(model_);
  if (source_.achievement_list) {
    ParseAccount(*record, document, source_.sort_achievements, false, source_.mode, Ref());
  } else {
    ParseAccountFigures(*record, document, source_.mode, Ref());
  }
  return record;
}

std::unique_ptr<ModeSnapshot> StoredSnapshots::Reader::ParseMode(size_t index) const {
  const json::ItemPruning pruning = ModeSnapshotPruning(source_.mode);
  const json::Value document = Document(index, &pruning);
  if (!document.present()) return nullptr;
  return std::make_unique<ModeSnapshot>(ParseModeSnapshot(model_, document, source_.mode, Ref()));
}

json::Value StoredSnapshots::Reader::Document(size_t index, const json::ItemPruning* pruning) const {
  const DateTime date = dates_[index];
  StoredDayText day = ReadAccountDay(*source_.disk, source_.history, source_.account_folder, source_.account_id, date);
  if (day.damaged) {
    const std::lock_guard lock(damaged_mutex_);
    damaged_.push_back(date);
  }
  // An archived day is in the current layout already; a file is brought to it once.
  const FileOnDisk file{day.archived ? nullptr : source_.disk,
                        JoinPath(source_.account_folder, SnapshotFileName(date))};
  const std::string text = ConvertSnapshot(std::move(day.text), source_.account_id, file, source_.legacy);
  return UsableSnapshot(text, source_.account_id, pruning);
}

std::vector<DateTime> StoredSnapshots::Reader::Damaged() const {
  const std::lock_guard lock(damaged_mutex_);
  return damaged_;
}

std::vector<DateTime> StoredSnapshots::DamagedDays() const { return reader_ ? reader_->Damaged() : std::vector<DateTime>{}; }

const ReferenceData& StoredSnapshots::Reader::Ref() const {
  return source_.reference != nullptr ? *source_.reference : Reference();
}

}  // namespace tarvelo
