#include "acquire/store/history_archive.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <utility>

#include "acquire/store/history_codec.h"
#include "acquire/store/summary_rows.h"

namespace tarvelo {

namespace {

// Accounts by their number, days as yyyymmdd numbers.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS days ("
    "  account INTEGER NOT NULL,"
    "  day INTEGER NOT NULL,"
    "  base INTEGER,"                      // the day this row is a delta against; NULL: a key frame
    "  key_day INTEGER NOT NULL,"          // the key frame its chain starts from
    "  depth INTEGER NOT NULL,"            // deltas since the key frame
    "  key_length INTEGER NOT NULL,"       // the compressed length of the chain's key frame
    "  raw_length INTEGER NOT NULL,"
    "  hash INTEGER NOT NULL,"
    "  frame BLOB NOT NULL,"
    "  UNIQUE (account, day));"
    "CREATE TABLE IF NOT EXISTS summaries ("
    "  account INTEGER NOT NULL,"
    "  day INTEGER NOT NULL,"
    "  since INTEGER NOT NULL,"            // the usable day the step starts from; 0 for none
    "  stamp INTEGER NOT NULL,"            // the plain file's modification time then; 0 when archived
    "  usable INTEGER NOT NULL,"
    "  modes BLOB NOT NULL,"               // the modes that changed
    "  PRIMARY KEY (account, day)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS summary_reference (version TEXT NOT NULL);";

int64_t DayNumber(DateTime date) {
  const DateParts parts = DecodeDateTime(date);
  return parts.year * 10000LL + parts.month * 100 + parts.day;
}

DateTime DateOfDayNumber(int64_t day) {
  if (day <= 0) return 0;
  return EncodeDate(static_cast<int>(day / 10000), static_cast<int>(day / 100 % 100), static_cast<int>(day % 100));
}

int64_t AccountNumber(std::string_view account) {
  int64_t number = 0;
  for (char digit : account) {
    if (digit < '0' || digit > '9' || number > (INT64_MAX - 9) / 10) return -1;
    number = number * 10 + (digit - '0');
  }
  return account.empty() ? -1 : number;
}

// One prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return statement_ != nullptr; }
  Statement& Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    return *this;
  }
  Statement& Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& BindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
  }
  // True while there is a row to read.
  bool Step() { return statement_ != nullptr && sqlite3_step(statement_) == SQLITE_ROW; }
  // True when the statement ran to its end.
  bool Run() { return statement_ != nullptr && sqlite3_step(statement_) == SQLITE_DONE; }

  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text == nullptr ? std::string() : std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
  }
  std::string Blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return bytes == nullptr ? std::string() : std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
  }
  bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
  int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

bool Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// A transaction rolled back unless committed.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db), open_(Execute(db, "BEGIN IMMEDIATE;")) {}
  ~Transaction() {
    if (open_) Execute(db_, "ROLLBACK;");
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  bool open() const { return open_; }
  bool Commit() {
    if (!open_ || !Execute(db_, "COMMIT;")) return false;
    open_ = false;
    return true;
  }

 private:
  sqlite3* db_;
  bool open_;
};

}  // namespace

struct HistoryArchive::Row {
  int64_t day = 0;
  std::optional<int64_t> base;
  int64_t key_day = 0;
  int64_t depth = 0;
  int64_t key_length = 0;
  int64_t raw_length = 0;
  uint64_t hash = 0;
  std::string frame;
};

std::unique_ptr<HistoryArchive> HistoryArchive::Open(const std::string& path, std::string& problem) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    problem = db != nullptr ? sqlite3_errmsg(db) : "no memory";
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  // A committed day is on disk before its plain file is removed.
  if (!Execute(db, "PRAGMA journal_mode=WAL;") || !Execute(db, "PRAGMA synchronous=FULL;") ||
      !Execute(db, kSchema)) {
    problem = sqlite3_errmsg(db);
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<HistoryArchive>(new HistoryArchive(db));
}

HistoryArchive::~HistoryArchive() { sqlite3_close(db_); }

std::vector<DateTime> HistoryArchive::Days(std::string_view account) const {
  std::vector<DateTime> dates;
  Statement select(db_, "SELECT day FROM days WHERE account = ? ORDER BY day DESC;");
  select.Bind(1, AccountNumber(account));
  while (select.Step()) dates.push_back(DateOfDayNumber(select.Integer(0)));
  return dates;
}

std::optional<uint64_t> HistoryArchive::HashOf(std::string_view account, DateTime date) const {
  Statement select(db_, "SELECT hash FROM days WHERE account = ? AND day = ?;");
  select.Bind(1, AccountNumber(account)).Bind(2, DayNumber(date));
  if (!select.Step()) return std::nullopt;
  return static_cast<uint64_t>(select.Integer(0));
}

std::optional<HistoryArchive::Row> HistoryArchive::RowOf(int64_t account, int64_t day) const {
  Statement select(db_,
                   "SELECT day, base, key_day, depth, key_length, raw_length, hash, frame FROM days "
                   "WHERE account = ? AND day = ?;");
  select.Bind(1, account).Bind(2, day);
  if (!select.Step()) return std::nullopt;
  Row row;
  row.day = select.Integer(0);
  if (!select.IsNull(1)) row.base = select.Integer(1);
  row.key_day = select.Integer(2);
  row.depth = select.Integer(3);
  row.key_length = select.Integer(4);
  row.raw_length = select.Integer(5);
  row.hash = static_cast<uint64_t>(select.Integer(6));
  row.frame = select.Blob(7);
  return row;
}

std::optional<std::string> HistoryArchive::Decode(int64_t account, const Row& row, bool& damaged) const {
  // The rows from the chain's key frame to this one, read at once, then
  // followed back from this one. A base is always an earlier day, so the walk ends.
  struct Link {
    std::optional<int64_t> base;
    size_t raw_length = 0;
    std::string frame;
  };
  std::map<int64_t, Link> links;
  Statement select(db_,
                   "SELECT day, base, raw_length, frame FROM days WHERE account = ? AND day >= ? AND day <= ?;");
  select.Bind(1, account).Bind(2, row.key_day).Bind(3, row.day);
  while (select.Step()) {
    Link link{select.IsNull(1) ? std::nullopt : std::optional(select.Integer(1)),
              static_cast<size_t>(select.Integer(2)), select.Blob(3)};
    links.emplace(select.Integer(0), std::move(link));
  }
  std::vector<const Link*> chain;
  for (std::optional<int64_t> day = row.day; day;) {
    const auto found = links.find(*day);
    if (found == links.end() || (found->second.base && *found->second.base >= *day)) {  // a broken chain
      damaged = true;
      return std::nullopt;
    }
    chain.push_back(&found->second);
    day = found->second.base;
  }
  // A damaged row anywhere in the chain gives a text without the day's hash.
  // Two texts, each day decoded into the one its reference is not in.
  std::string text, next;
  DayDecompressor decompress;
  for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
    if (!decompress.Into(next, (*link)->frame, text, (*link)->raw_length)) {
      damaged = true;
      return std::nullopt;
    }
    std::swap(text, next);
  }
  if (DayHash(text) != row.hash) {
    damaged = true;
    return std::nullopt;
  }
  return text;
}

ArchivedDay HistoryArchive::Read(std::string_view account, DateTime date) const {
  ArchivedDay day;
  const int64_t number = AccountNumber(account);
  if (const std::optional<Row> row = RowOf(number, DayNumber(date))) day.text = Decode(number, *row, day.damaged);
  return day;
}

bool HistoryArchive::Put(std::string_view account, DateTime date, std::string_view text, std::string& problem) {
  const int64_t number = AccountNumber(account);
  const int64_t day = DayNumber(date);
  if (number < 0) {
    problem = "not an account number";
    return false;
  }
  if (RowOf(number, day)) {
    problem = "the day is archived already";
    return false;
  }
  Row row;
  row.day = day;
  row.raw_length = static_cast<int64_t>(text.size());
  row.hash = DayHash(text);

  // A delta against the nearest earlier day, while its chain is short and the delta small.
  std::string reference;
  Statement earlier(db_, "SELECT day FROM days WHERE account = ? AND day < ? ORDER BY day DESC LIMIT 1;");
  earlier.Bind(1, number).Bind(2, day);
  if (earlier.Step()) {
    const std::optional<Row> base = RowOf(number, earlier.Integer(0));
    bool damaged = false;
    std::optional<std::string> base_text;
    if (base) base_text = Decode(number, *base, damaged);
    // A day as its base costs a few dozen bytes and takes no step of the chain.
    const bool same = base_text && *base_text == text;
    if (base_text && (same || base->depth + 1 < kKeyFrameDays)) {
      std::string delta = CompressDay(text, *base_text, kDeltaLevel);
      if (!delta.empty() && static_cast<int64_t>(delta.size()) * 4 <= base->key_length) {
        row.base = base->day;
        row.key_day = base->key_day;
        row.depth = base->depth + (same ? 0 : 1);
        row.key_length = base->key_length;
        row.frame = std::move(delta);
        reference = std::move(*base_text);
      }
    }
  }
  if (!row.base) {
    row.key_day = day;
    row.frame = CompressDay(text, {}, kKeyFrameLevel);
    row.key_length = static_cast<int64_t>(row.frame.size());
  }
  const std::optional<std::string> again = DecompressDay(row.frame, reference, text.size());
  if (row.frame.empty() || !again || *again != text) {
    problem = "the compressed day does not give its text back";
    return false;
  }

  Statement insert(db_,
                   "INSERT INTO days (account, day, base, key_day, depth, key_length, raw_length, hash, frame) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?);");
  insert.Bind(1, number).Bind(2, row.day);
  if (row.base) {
    insert.Bind(3, *row.base);
  } else {
    insert.BindNull(3);
  }
  insert.Bind(4, row.key_day).Bind(5, row.depth).Bind(6, row.key_length).Bind(7, row.raw_length);
  insert.Bind(8, static_cast<int64_t>(row.hash)).BindBlob(9, row.frame);
  if (!insert.Run()) {
    problem = sqlite3_errmsg(db_);
    return false;
  }
  return true;
}

ArchiveSizes HistoryArchive::Sizes() const {
  ArchiveSizes sizes;
  Statement select(db_, "SELECT COUNT(*), TOTAL(LENGTH(frame)), TOTAL(raw_length) FROM days;");
  if (select.Step()) {
    sizes.days = select.Integer(0);
    sizes.frame_bytes = select.Integer(1);
    sizes.raw_bytes = select.Integer(2);
  }
  return sizes;
}

void HistoryArchive::KeepSummariesOf(std::string_view version) {
  Statement select(db_, "SELECT version FROM summary_reference;");
  if (select.Step() && select.Text(0) == version) return;
  Transaction transaction(db_);
  for (const char* sql : {"DELETE FROM summaries;", "DELETE FROM summary_reference;"}) Execute(db_, sql);
  Statement(db_, "INSERT INTO summary_reference (version) VALUES (?);").Bind(1, version).Run();
  transaction.Commit();
}

std::vector<SummaryMark> HistoryArchive::SummaryMarks(std::string_view account) const {
  std::vector<SummaryMark> marks;
  Statement select(db_, "SELECT day, since, stamp, usable FROM summaries WHERE account = ? ORDER BY day;");
  select.Bind(1, AccountNumber(account));
  while (select.Step()) {
    SummaryMark mark;
    mark.day = DateOfDayNumber(select.Integer(0));
    mark.since = DateOfDayNumber(select.Integer(1));
    mark.stamp = select.Integer(2);
    mark.usable = select.Integer(3) != 0;
    marks.push_back(mark);
  }
  return marks;
}

bool HistoryArchive::PutSummary(std::string_view account, const SummaryMark& mark, const DaySummary& modes,
                                std::string& problem) {
  Statement insert(db_,
                   "INSERT OR REPLACE INTO summaries (account, day, since, stamp, usable, modes) "
                   "VALUES (?, ?, ?, ?, ?, ?);");
  const std::string bytes = EncodeDaySummary(modes);
  insert.Bind(1, AccountNumber(account)).Bind(2, DayNumber(mark.day)).Bind(3, mark.since != 0 ? DayNumber(mark.since) : 0);
  insert.Bind(4, mark.stamp).Bind(5, int64_t{mark.usable ? 1 : 0}).BindBlob(6, bytes);
  if (!insert.Run()) {
    problem = sqlite3_errmsg(db_);
    return false;
  }
  return true;
}

void HistoryArchive::RemoveSummary(std::string_view account, DateTime day) {
  Statement(db_, "DELETE FROM summaries WHERE account = ? AND day = ?;")
      .Bind(1, AccountNumber(account))
      .Bind(2, DayNumber(day))
      .Run();
}

std::vector<SummaryDay> HistoryArchive::Summaries(std::string_view account, int mode) const {
  std::vector<SummaryDay> days;
  Statement select(db_, "SELECT day, since, modes FROM summaries WHERE account = ? AND usable = 1 ORDER BY day;");
  select.Bind(1, AccountNumber(account));
  DayTotals carried;
  while (select.Step()) {
    SummaryDay day{DateOfDayNumber(select.Integer(0)), UnchangedMode(mode, carried, select.Integer(1) != 0)};
    // Modes that no longer decode count as unchanged.
    if (const std::optional<DaySummary> modes = DecodeDaySummary(select.Blob(2))) {
      for (const ModeDay& changed : *modes) {
        if (changed.mode == mode) day.figures = changed;
      }
    }
    carried = day.figures.total;
    days.push_back(std::move(day));
  }
  std::reverse(days.begin(), days.end());
  return days;
}

}  // namespace tarvelo
