// The application as a front end drives it: construct, Create, show the window,
// Shown, StartTimer once, UpdateTimer once, and Destroy when the window closes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/core_state.h"
#include "shell/environment.h"
#include "shell/front_end.h"
#include "shell/history_commands.h"
#include "shell/main_window.h"
#include "shell/search_service.h"
#include "shell/search_tally.h"
#include "shell/settings_store.h"

namespace tarvelo {

class Program {
 public:
  // `arguments` is the command line without the program name. Sets the front end's
  // title handler to the command bridge.
  Program(FrontEnd& screen, std::vector<std::string> arguments);
  // A null service stands for the loaders over the real network (MakeLoaderSearchService).
  Program(FrontEnd& screen, std::vector<std::string> arguments, Environment environment,
          std::unique_ptr<SearchService> service, Clock clock);
  ~Program();

  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  void Create();       // core start-up, settings, first page
  void Shown();        // the saved window rectangle and state
  void StartTimer();   // the command-line request
  void UpdateTimer();  // the update check
  // The weekly refresh of the reference documents in the background (the
  // desktop window's start-up; scripts refresh with --refresh-reference).
  void ReferenceTimer();
  void Destroy();      // saves the settings

  TfrmMain& window() { return window_; }
  CoreState& core() { return core_; }
  Disk& disk() { return *disk_; }
  const Environment& environment() const { return environment_; }
  const SettingsStore& settings() const { return settings_; }
  // The searches run so far and how many found nothing.
  const SearchTally& searches() const { return service_.tally(); }

 private:
  // Moves the older days into the archive in the background, telling the
  // status line while it takes longer than a few seconds.
  void StartHistory();

  FrontEnd& screen_;
  Clock clock_;
  std::unique_ptr<Disk> disk_;
  std::unique_ptr<ProgramHistory> history_;  // after the disk it writes to
  Environment environment_;
  SettingsStore settings_;
  CoreState core_;
  TalliedSearchService service_;
  TfrmMain window_;
};

}  // namespace tarvelo
