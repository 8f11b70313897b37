#include "acquire/store/account_days.h"

#include <algorithm>
#include <functional>

#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"

namespace tarvelo {

std::vector<DateTime> AccountDays(const Disk& disk, HistoryService* history, std::string_view account_folder,
                                  const std::string& account_id) {
  std::vector<DateTime> days = ListSnapshotDates(disk, account_folder);
  if (history == nullptr || !history->available()) return days;
  const std::vector<DateTime> archived = history->Days(account_id);
  if (archived.empty()) return days;
  days.insert(days.end(), archived.begin(), archived.end());
  std::sort(days.begin(), days.end(), std::greater<>());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

bool AccountDayStored(const Disk& disk, HistoryService* history, std::string_view account_folder,
                      const std::string& account_id, DateTime date) {
  if (disk.IsFile(JoinPath(account_folder, SnapshotFileName(date)))) return true;
  return history != nullptr && history->available() && history->Archived(account_id, date);
}

StoredDayText ReadAccountDay(const Disk& disk, HistoryService* history, std::string_view account_folder,
                             const std::string& account_id, DateTime date) {
  const std::string path = JoinPath(account_folder, SnapshotFileName(date));
  StoredDayText day;
  if (disk.IsFile(path)) day.text = ReadTextFile(disk, path, "");
  // A file moved into the archive meanwhile is read from there.
  if (!day.text.empty() || history == nullptr || !history->available()) return day;
  ArchivedDay archived = history->Read(account_id, date);
  day.archived = archived.text.has_value() || archived.damaged;
  day.damaged = archived.damaged;
  if (archived.text) day.text = std::move(*archived.text);
  return day;
}

std::string DamagedDayMessage(DateTime date) {
  return "ОШИБКА: Сохранённый день " + FormatDate(date) +
         " повреждён в архиве истории и не может быть показан; остальные дни читаются.";
}

}  // namespace tarvelo
