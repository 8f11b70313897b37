// The archive of older days: one SQLite database in the cache folder
// ("history.sqlite", write-ahead log) holding a row per stored day of an
// account, its text compressed as a delta against the archived day before it
// or, at least every kKeyFrameDays days and whenever a delta would be large, as
// a key frame; with the text's length and hash, so that damage is found, not
// spread. Used by one thread at a time: the history service owns it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/day_summary.h"
#include "text/russian.h"

struct sqlite3;

namespace tarvelo {

inline constexpr std::string_view kHistoryFile = "history.sqlite";
// A key frame at least this often in a chain of deltas: after so many days that
// differ from the day before.
inline constexpr int kKeyFrameDays = 40;

struct ArchivedDay {
  std::optional<std::string> text;  // nothing when missing or damaged
  bool damaged = false;             // a row of the chain does not decode to its hash
};

struct ArchiveSizes {
  int64_t days = 0;
  int64_t frame_bytes = 0;  // the compressed texts
  int64_t raw_bytes = 0;    // the texts as files would hold them
};

// What the archive knows of a day's summary, stored or not, archived or not.
struct SummaryMark {
  DateTime day = 0;
  DateTime since = 0;     // the usable day the step starts from; 0 for the first
  int64_t stamp = 0;      // the plain file's modification time then (ns); 0 for an archived day
  bool usable = false;    // false: the day's snapshot holds no figures, it has no summary
};

class HistoryArchive {
 public:
  // Opens the database at `path`, creating it when missing; nothing, and a
  // message in `problem`, when it cannot be opened or read.
  static std::unique_ptr<HistoryArchive> Open(const std::string& path, std::string& problem);
  ~HistoryArchive();
  HistoryArchive(const HistoryArchive&) = delete;
  HistoryArchive& operator=(const HistoryArchive&) = delete;

  // The archived days of an account, newest first.
  std::vector<DateTime> Days(std::string_view account) const;
  // The hash of a day's text, when the day is archived.
  std::optional<uint64_t> HashOf(std::string_view account, DateTime date) const;

  // A day's text, decoded from its chain of rows and checked against its hash.
  ArchivedDay Read(std::string_view account, DateTime date) const;

  // Stores `text` as the day's row: a delta against the nearest earlier
  // archived day, or a key frame. The row is decoded again and compared with
  // `text` before it is committed; false, with the reason in `problem`, when
  // anything fails, and then the archive is as it was. A day already archived
  // is left as it is (false).
  bool Put(std::string_view account, DateTime date, std::string_view text, std::string& problem);

  ArchiveSizes Sizes() const;

  // Forgets every summary unless they were made with reference data of `version`.
  void KeepSummariesOf(std::string_view version);
  // The summary marks of an account, oldest first.
  std::vector<SummaryMark> SummaryMarks(std::string_view account) const;
  // Replaces the day's summary (its mark and its changed modes); false, with
  // the reason, and nothing changed, when it fails.
  bool PutSummary(std::string_view account, const SummaryMark& mark, const DaySummary& modes, std::string& problem);
  // Forgets the summary of a day no longer stored.
  void RemoveSummary(std::string_view account, DateTime day);
  // The figures of `mode` on every usable summarized day, newest first: a day
  // without a row of the mode carries its totals on.
  std::vector<SummaryDay> Summaries(std::string_view account, int mode) const;

 private:
  explicit HistoryArchive(sqlite3* db) : db_(db) {}
  struct Row;
  std::optional<Row> RowOf(int64_t account, int64_t day) const;
  std::optional<std::string> Decode(int64_t account, const Row& row, bool& damaged) const;

  sqlite3* db_;
};

}  // namespace tarvelo
