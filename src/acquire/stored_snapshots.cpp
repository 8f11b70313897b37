#include "acquire/stored_snapshots.h"

#include <utility>

#include "acquire/loader_context.h"
#include "acquire/snapshot_cache.h"
#include "model/snapshot.h"
#include "text/replace.h"

namespace tarvelo {

StoredSnapshots::StoredSnapshots(StoredSnapshotSource source, RWOTAccount model)
    : source_(std::move(source)), model_(std::move(model)), dates_(ListSnapshotDates(source_.account_folder)) {
  // Parsing sets both anew: copying them into every record would be wasted.
  model_.Vehicles.clear();
  model_.Achievements.clear();
  records_.resize(dates_.size());
  tried_.assign(dates_.size(), false);
  modes_.resize(dates_.size());
  modes_tried_.assign(dates_.size(), false);
}

const RWOTAccount* StoredSnapshots::At(size_t index) {
  if (index >= dates_.size()) return nullptr;
  if (!tried_[index]) {
    tried_[index] = true;
    records_[index] = Parse(index);
  }
  return records_[index].get();
}

std::unique_ptr<RWOTAccount> StoredSnapshots::Take(size_t index) {
  if (index >= dates_.size()) return nullptr;
  std::unique_ptr<RWOTAccount> record = tried_[index] ? std::move(records_[index]) : Parse(index);
  tried_[index] = false;
  if (record != nullptr && !modes_tried_[index]) {
    modes_tried_[index] = true;
    modes_[index] = std::make_unique<ModeSnapshot>(ModeSnapshotOf(*record, source_.mode));
  }
  return record;
}

StoredDay StoredSnapshots::ModeAt(size_t index) {
  if (index >= dates_.size()) return nullptr;
  if (tried_[index]) return records_[index].get();
  if (!modes_tried_[index]) {
    modes_tried_[index] = true;
    modes_[index] = ParseMode(index);
  }
  return modes_[index].get();
}

json::Value StoredSnapshots::Document(size_t index, const json::ItemPruning* pruning) const {
  const std::string path = JoinPath(source_.account_folder, SnapshotFileName(dates_[index]));
  const std::string text = ConvertSnapshot(ReadTextFile(path, ""), source_.account_id, path, source_.legacy);
  if (text.empty() || Contains(text, "Ошибка") || !Contains(text, "status")) return {};
  json::Value document = pruning != nullptr ? DecodeApiAnswer(text, *pruning) : DecodeApiAnswer(text);
  if (!document.present() || !StatusIsOk(document)) return {};
  if (!HasEntityData(document, source_.account_id)) return {};
  return document;
}

std::unique_ptr<RWOTAccount> StoredSnapshots::Parse(size_t index) const {
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

std::unique_ptr<ModeSnapshot> StoredSnapshots::ParseMode(size_t index) const {
  const json::ItemPruning pruning = ModeSnapshotPruning(source_.mode);
  const json::Value document = Document(index, &pruning);
  if (!document.present()) return nullptr;
  return std::make_unique<ModeSnapshot>(ParseModeSnapshot(model_, document, source_.mode, Ref()));
}

const ReferenceData& StoredSnapshots::Ref() const {
  return source_.reference != nullptr ? *source_.reference : Reference();
}

}  // namespace tarvelo
