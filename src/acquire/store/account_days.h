// The stored days of an account as one list, wherever each day lives: a plain
// file of the account's folder or a row of the history archive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "text/russian.h"

namespace tarvelo {

// Every stored day of the account, newest first, each once. Without a
// history service the plain files alone.
std::vector<DateTime> AccountDays(const Disk& disk, HistoryService* history, std::string_view account_folder,
                                  const std::string& account_id);

// Whether the day is stored, as a file or in the archive.
bool AccountDayStored(const Disk& disk, HistoryService* history, std::string_view account_folder,
                      const std::string& account_id, DateTime date);

struct StoredDayText {
  std::string text;     // as stored, byte for byte; empty when there is none
  bool archived = false;
  bool damaged = false;  // archived, but its row no longer gives the text
};

// The day's text: the plain file when there is one, else the archived day.
StoredDayText ReadAccountDay(const Disk& disk, HistoryService* history, std::string_view account_folder,
                             const std::string& account_id, DateTime date);

// The message for an archived day that cannot be read any more.
std::string DamagedDayMessage(DateTime date);

}  // namespace tarvelo
