#include "shell/history_commands.h"

#include <cmath>
#include <iostream>

#include "acquire/store/account_days.h"
#include "acquire/store/cache_layout.h"
#include "embedded.h"
#include "model/reference.h"
#include "shell/core_state.h"
#include "shell/environment.h"
#include "text/clock.h"

namespace tarvelo {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;

int Fail(std::ostream& err, const std::string& message) {
  err << "tarvelo: " << message << "\n";
  return kFailed;
}

std::string AccountFolder(const std::string& cache_folder, const std::string& account_id) {
  return EntityFolderOf(UserCacheFolderOf(cache_folder), account_id);
}

// The command's account id, or a message.
std::optional<std::string> AccountArgument(const std::vector<std::string>& arguments, std::ostream& err) {
  if (arguments.size() < 2 || !IsDecimalId(arguments[1])) {
    Fail(err, "после " + arguments.front() + " нужен номер игрока (например, 4817293).");
    return std::nullopt;
  }
  return arguments[1];
}

std::optional<DateTime> DayArgument(const std::string& text) {
  if (text.size() != 10) return std::nullopt;
  const std::optional<DateTime> day = ParseIsoDateTime(text);
  if (!day || FormatDateTime("yyyy-mm-dd", *day) != text) return std::nullopt;
  return day;
}

std::string Bytes(uint64_t bytes) { return std::to_string(bytes) + " " + std::string(Plural(bytes, "байт", "байта", "байт")); }

std::string Days(int64_t days) { return std::to_string(days) + " " + std::string(Plural(days, "день", "дня", "дней")); }

class Commands {
 public:
  Commands(HistoryService& history, Disk& disk, std::string cache_folder, std::ostream& out, std::ostream& err)
      : history_(history), disk_(disk), cache_folder_(std::move(cache_folder)), out_(out), err_(err) {}

  int Run(const std::vector<std::string>& arguments) {
    const std::string& option = arguments.front();
    if (!history_.available()) return Fail(err_, "архив истории недоступен: " + history_.problem());
    if (option == "--history-days") return ListDays(arguments);
    if (option == "--history-show") return ShowDay(arguments);
    if (option == "--history-compact") return Compact();
    if (option == "--history-size") return Size();
    if (option == "--history-export") return Export(arguments);
    return Fail(err_, "неизвестный параметр «" + option + "».");
  }

 private:
  std::vector<DateTime> StoredDays(const std::string& account_id) {
    return AccountDays(disk_, &history_, AccountFolder(cache_folder_, account_id), account_id);
  }

  int ListDays(const std::vector<std::string>& arguments) {
    const std::optional<std::string> account_id = AccountArgument(arguments, err_);
    if (!account_id) return kFailed;
    const std::vector<DateTime> days = StoredDays(*account_id);
    if (days.empty()) return Fail(err_, "у игрока " + *account_id + " нет сохранённых дней.");
    for (DateTime day : days) out_ << FormatDateTime("yyyy-mm-dd", day) << "\n";
    return kDone;
  }

  int ShowDay(const std::vector<std::string>& arguments) {
    const std::optional<std::string> account_id = AccountArgument(arguments, err_);
    if (!account_id) return kFailed;
    const std::optional<DateTime> day = arguments.size() > 2 ? DayArgument(arguments[2]) : std::nullopt;
    if (!day) return Fail(err_, "после номера игрока нужна дата вида 2017-03-14.");
    const StoredDayText text =
        ReadAccountDay(disk_, &history_, AccountFolder(cache_folder_, *account_id), *account_id, *day);
    if (text.damaged) return Fail(err_, DamagedDayMessage(*day));
    if (text.text.empty()) {
      return Fail(err_, "день " + FormatDate(*day) + " игрока " + *account_id + " не сохранён.");
    }
    out_ << text.text;
    return out_.good() ? kDone : kFailed;
  }

  int Compact() {
    const HistoryMoves total = history_.CompactNow([this](const std::string& account_id, HistoryMoves moves) {
      out_ << account_id << ": в архив перенесено " << Days(moves.days);
      if (moves.failed > 0) out_ << ", не перенесено " << Days(moves.failed);
      out_ << "\n";
    });
    out_ << "Всего в архив перенесено " << Days(total.days) << "\n";
    if (total.failed > 0) return Fail(err_, "не перенесено " + Days(total.failed) + ": подробности в cache/debug.txt.");
    return kDone;
  }

  int Size() {
    const std::string database = JoinPath(cache_folder_, kHistoryFile);
    const uint64_t database_bytes = FileSize(database);
    const uint64_t log_bytes = FileSize(database + "-wal");
    uint64_t plain_bytes = 0;
    int64_t plain_days = 0;
    for (const FolderEntry& account : disk_.List(UserCacheFolderOf(cache_folder_), Listing::kKinds)) {
      if (account.facts.kind != FileKind::kFolder || !IsDecimalId(account.name)) continue;
      const std::string folder = AccountFolder(cache_folder_, account.name);
      for (DateTime day : ListSnapshotDates(disk_, folder)) {
        plain_bytes += FileSize(JoinPath(folder, SnapshotFileName(day)));
        ++plain_days;
      }
    }
    const ArchiveSizes archive = history_.Sizes();
    out_ << "База истории " << kHistoryFile << ": " << Bytes(database_bytes) << "\n";
    out_ << "Журнал базы " << kHistoryFile << "-wal: " << Bytes(log_bytes) << "\n";
    out_ << "Снимки в простых файлах: " << Bytes(plain_bytes) << "\n";
    out_ << "Сохранённых дней: " << plain_days + archive.days << ", простыми файлами: " << plain_days
         << ", в архиве: " << archive.days << "\n";
    const uint64_t per_day =
        archive.days > 0 ? static_cast<uint64_t>(std::llround(static_cast<double>(database_bytes + log_bytes) /
                                                              static_cast<double>(archive.days)))
                         : 0;
    out_ << "bytes per archived day: " << per_day << "\n";
    return kDone;
  }

  int Export(const std::vector<std::string>& arguments) {
    const std::optional<std::string> account_id = AccountArgument(arguments, err_);
    if (!account_id) return kFailed;
    if (arguments.size() < 3 || arguments[2].empty()) return Fail(err_, "после номера игрока нужна папка.");
    const std::string& folder = arguments[2];
    if (!disk_.MakeFolders(folder)) return Fail(err_, "не удалось создать папку «" + folder + "».");
    const std::string account_folder = AccountFolder(cache_folder_, *account_id);
    const std::vector<DateTime> days = StoredDays(*account_id);
    if (days.empty()) return Fail(err_, "у игрока " + *account_id + " нет сохранённых дней.");
    int failed = 0;
    for (DateTime day : days) {
      const StoredDayText text = ReadAccountDay(disk_, &history_, account_folder, *account_id, day);
      const std::string path = JoinPath(folder, SnapshotFileName(day));
      if (text.damaged) {
        ++failed;
        err_ << "tarvelo: " << DamagedDayMessage(day) << "\n";
      } else if (text.text.empty() || !disk_.Write(path, text.text)) {
        ++failed;
        err_ << "tarvelo: не удалось записать " << path << "\n";
      }
    }
    out_ << "Записано " << Days(static_cast<int64_t>(days.size()) - failed) << " в " << folder << "\n";
    return failed == 0 ? kDone : kFailed;
  }

  uint64_t FileSize(const std::string& path) const {
    const std::optional<FileFacts> facts = disk_.Facts(path);
    return facts ? facts->size : 0;
  }

  HistoryService& history_;
  Disk& disk_;
  const std::string cache_folder_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

ProgramHistory::ProgramHistory(Disk& disk, const SettingsStore& settings, const std::string& cache_folder,
                               const UrlSettings& urls)
    : encyclopedia_(std::string(FindResource("TanksInfo"))),
      service_(disk,
               HistoryPlaceOf(cache_folder, LegacySources{&encyclopedia_, FillRegion(urls.hosts.GamePortal, urls.region)},
                              settings.ReadSettingInt("", "PlainDays", kDefaultPlainDays)),
               Reference()) {}

bool IsHistoryCommand(const std::string& option) {
  for (const char* command :
       {"--history-days", "--history-show", "--history-compact", "--history-size", "--history-export"}) {
    if (option == command) return true;
  }
  return false;
}

int RunHistoryCommand(const std::vector<std::string>& arguments, HistoryService& history, Disk& disk,
                      const std::string& cache_folder, std::ostream& out, std::ostream& err) {
  return Commands(history, disk, cache_folder, out, err).Run(arguments);
}

int RunHistoryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Disk> disk = MakeRealDisk(ProgramClock());
  const Environment environment = Environment::OfProcess(*disk);
  const SettingsStore settings(*disk, environment.settings_file);
  const std::string cache_folder = environment.data_folder + "cache";
  if (!disk->IsFolder(cache_folder)) return Fail(err, "папки кеша нет: " + cache_folder);
  // The summaries are made with the documents the window uses.
  for (const std::string& error : LoadDataFolderReference(*disk, environment.data_folder)) err << error << "\n";
  const UrlSettings urls = UrlsFromSettings(settings);
  ProgramHistory history(*disk, settings, cache_folder, urls);
  return RunHistoryCommand(arguments, history.service(), *disk, cache_folder, out, err);
}

}  // namespace tarvelo
