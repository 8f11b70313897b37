#include "acquire/stored_snapshots.h"

#include <exception>
#include <system_error>
#include <utility>

#include "acquire/loader_context.h"
#include "acquire/snapshot_cache.h"
#include "model/snapshot.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

// Parsing sets both anew: copying them into every record would be wasted.
RWOTAccount WithoutLists(RWOTAccount model) {
  model.Vehicles.clear();
  model.Achievements.clear();
  return model;
}

}  // namespace

StoredSnapshots::StoredSnapshots(StoredSnapshotSource source, RWOTAccount model)
    : dates_(ListSnapshotDates(source.account_folder)),
      reader_(std::make_shared<const Reader>(std::move(source), WithoutLists(std::move(model)), dates_)) {
  records_.resize(dates_.size());
  tried_.assign(dates_.size(), false);
  modes_.resize(dates_.size());
  modes_tried_.assign(dates_.size(), false);
  prepared_.resize(dates_.size());
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
  if (record != nullptr && !modes_tried_[index] && !prepared_[index].valid()) {
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
    modes_[index] = prepared_[index].valid() ? prepared_[index].get() : reader_->ParseMode(index);
  }
  return modes_[index].get();
}

void StoredSnapshots::PrepareModes(const std::vector<size_t>& indexes) {
  if (preparing_.valid()) return;
  using Promise = std::promise<std::unique_ptr<ModeSnapshot>>;
  std::vector<std::pair<size_t, Promise>> work;
  for (size_t index : indexes) {
    if (index >= dates_.size() || tried_[index] || modes_tried_[index] || prepared_[index].valid()) continue;
    Promise& promise = work.emplace_back(index, Promise()).second;
    prepared_[index] = promise.get_future();
  }
  if (work.empty()) return;
  auto read = [reader = reader_, work = std::move(work)]() mutable {
    for (auto& [index, promise] : work) {
      try {
        promise.set_value(reader->ParseMode(index));
      } catch (...) {
        promise.set_exception(std::current_exception());
      }
    }
  };
  try {
    preparing_ = std::async(std::launch::async, std::move(read));
  } catch (const std::system_error&) {
    // No thread to be had: ModeAt reads the days itself. The promises went
    // with the task, so their futures hold a broken promise; drop them.
    for (auto& future : prepared_) future = {};
  }
}

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
  const std::string path = JoinPath(source_.account_folder, SnapshotFileName(dates_[index]));
  const std::string text = ConvertSnapshot(ReadTextFile(path, ""), source_.account_id, path, source_.legacy);
  if (text.empty() || Contains(text, "Ошибка") || !Contains(text, "status")) return {};
  json::Value document = pruning != nullptr ? DecodeApiAnswer(text, *pruning) : DecodeApiAnswer(text);
  if (!document.present() || !StatusIsOk(document)) return {};
  if (!HasEntityData(document, source_.account_id)) return {};
  return document;
}

const ReferenceData& StoredSnapshots::Reader::Ref() const {
  return source_.reference != nullptr ? *source_.reference : Reference();
}

}  // namespace tarvelo
