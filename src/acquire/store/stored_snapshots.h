// The daily snapshots stored for one account, newest first, each read and
// parsed at most once however often a page asks for it: the period view and
// the day strip share them.
#pragma once

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "acquire/store/snapshot_conversion.h"
#include "json/json.h"
#include "model/mode_snapshot.h"
#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

struct StoredSnapshotSource {
  Disk* disk = nullptr;
  HistoryService* history = nullptr;  // the archive of the older days; none: the plain files alone
  std::string account_folder;
  std::string account_id;
  LegacySources legacy;
  int mode = 0;                       // the selected battle mode
  bool sort_achievements = true;      // as the current record's achievements
  const ReferenceData* reference = nullptr;
  bool achievement_list = true;  // false: the records carry no achievement list
};

class StoredSnapshots {
 public:
  StoredSnapshots() = default;
  // Lists the snapshot dates of the folder; each snapshot is later parsed over
  // a copy of `model`, which supplies what a snapshot does not hold.
  StoredSnapshots(StoredSnapshotSource source, RWOTAccount model);

  const ADateArr& dates() const { return dates_; }
  // The archived days found damaged so far.
  std::vector<DateTime> DamagedDays() const;

  // The record of dates()[index]; null when the file is missing or unusable
  // (no "OK" status, no data of the account) or the index is out of range.
  // The record stays valid as long as this object.
  const RWOTAccount* At(size_t index);
  // The record of dates()[index] handed over whole (null as At gives it);
  // a later At or Take of that index reads the file again, while ModeAt still
  // has the selected mode's figures.
  std::unique_ptr<RWOTAccount> Take(size_t index);
  // The same as far as the figures of the selected mode go: the whole record
  // when it was read already, else only those figures, read on first use or
  // ahead by PrepareModes (a later At of the same index then reads the file
  // once more).
  StoredDay ModeAt(size_t index);
  // Starts reading the selected mode's figures of `indexes` (those out of
  // range or already read are passed over) on a thread of their own, from the
  // first on, so that ModeAt finds them made. A ModeAt that would wait for the
  // thread reads the last days the thread has not begun meanwhile. For the
  // days a page will show while it is busy with others; an index asked for
  // with At or Take meanwhile is read twice. Once per object: a later call
  // does nothing.
  void PrepareModes(const std::vector<size_t>& indexes);
  // ModeAt of the days the day strip compares: 1 to kDayStripDays, as far as
  // there are days.
  std::vector<StoredDay> StripDays();

 private:
  // What reading one stored day needs; shared with the thread of PrepareModes.
  class Reader {
   public:
    Reader(StoredSnapshotSource source, RWOTAccount model, ADateArr dates)
        : source_(std::move(source)), model_(std::move(model)), dates_(std::move(dates)) {}
    std::unique_ptr<RWOTAccount> Parse(size_t index) const;
    std::unique_ptr<ModeSnapshot> ParseMode(size_t index) const;
    ModeSnapshot ModeOf(const RWOTAccount& record) const { return ModeSnapshotOf(record, source_.mode); }

   private:
    // The snapshot document of dates()[index], without what `pruning` leaves
    // out; empty when it cannot be used.
    json::Value Document(size_t index, const json::ItemPruning* pruning = nullptr) const;
    const ReferenceData& Ref() const;

    StoredSnapshotSource source_;
    RWOTAccount model_;
    ADateArr dates_;

   public:
    std::vector<DateTime> Damaged() const;

   private:
    mutable std::mutex damaged_mutex_;  // the day reader's thread reads days too
    mutable std::vector<DateTime> damaged_;
  };

  class PreparedDays;
  bool Prepared(size_t index) const;

  ADateArr dates_;
  std::shared_ptr<const Reader> reader_;
  std::vector<std::unique_ptr<RWOTAccount>> records_;
  std::vector<bool> tried_;
  std::vector<std::unique_ptr<ModeSnapshot>> modes_;
  std::vector<bool> modes_tried_;
  std::shared_ptr<PreparedDays> prepared_;  // the days of PrepareModes
  std::future<void> preparing_;             // its thread; waited for when this object goes
};

}  // namespace tarvelo
