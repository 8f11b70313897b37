// The history of the program's cache as the window and the command line open
// it, and the command line's history commands for scripts:
//   tarvelo --history-days ID              every stored day, newest first
//   tarvelo --history-show ID yyyy-mm-dd   the day's snapshot text, byte for byte
//   tarvelo --history-compact              the days outside the plain window archived now
//   tarvelo --history-size                 the bytes the history takes on disk
//   tarvelo --history-export ID FOLDER     every stored day written back as plain files
// Each exits 0 on success and 1 with a message on standard error otherwise.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "acquire/addresses.h"
#include "acquire/store/disk.h"
#include "acquire/store/history_service.h"
#include "acquire/store/snapshot_conversion.h"
#include "shell/settings_store.h"

namespace tarvelo {

class ProgramHistory {
 public:
  // The history of `cache_folder`, its plain window from the settings ("PlainDays").
  ProgramHistory(Disk& disk, const SettingsStore& settings, const std::string& cache_folder, const UrlSettings& urls);
  HistoryService& service() { return service_; }

 private:
  EncyclopediaText encyclopedia_;  // before the service, which reads it
  HistoryService service_;
};

// Whether `option` names a history command.
bool IsHistoryCommand(const std::string& option);

// `arguments` from the command's option on, run against `history` over the
// cache in `cache_folder`.
int RunHistoryCommand(const std::vector<std::string>& arguments, HistoryService& history, Disk& disk,
                      const std::string& cache_folder, std::ostream& out, std::ostream& err);

// The same for this process: its disk, settings and cache.
int RunHistoryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
