#include "shell/program.h"

#include <chrono>
#include <utility>

#include "acquire/addresses.h"
#include "shell/loader_search_service.h"
#include "text/clock.h"
#include "text/debug_log.h"

namespace tarvelo {

Program::Program(FrontEnd& screen, std::vector<std::string> arguments)
    : Program(screen, std::move(arguments), Environment::OfProcess(*MakeRealDisk(nullptr)), nullptr,
              ProgramClock()) {}

Program::Program(FrontEnd& screen, std::vector<std::string> arguments, Environment environment,
                 std::unique_ptr<SearchService> service, Clock clock)
    : screen_(screen),
      clock_(std::move(clock)),
      disk_(MakeRealDisk(clock_)),
      environment_(std::move(environment)),
      settings_(*disk_, environment_.settings_file),
      service_(service ? std::move(service)
                       : MakeLoaderSearchService(core_, settings_, *disk_, clock_, environment_.executable)),
      window_(screen, core_, environment_, settings_, service_, std::move(arguments), clock_, *disk_) {
  core_.transfer_wait = screen_.NetworkWait();
  screen_.SetTitleHandler([this](const std::string& title) { window_.webInfoTitleChange(title); });
  SetDebugLogOutlets(clock_, [disk = disk_.get()](const std::string& file, std::string_view contents) {
    disk->Write(file, contents);
  });
}

Program::~Program() {
  core_.history = nullptr;
  history_.reset();  // stops the moves between two days
  SetDebugLogOutlets(nullptr, nullptr);
  screen_.SetTitleHandler(nullptr);
}

void Program::Create() {
  InitCore(core_, *disk_, environment_, settings_, screen_);
  window_.FormCreate();
  StartHistory();
}

void Program::StartHistory() {
  history_ = std::make_unique<ProgramHistory>(*disk_, settings_, core_.CacheFolder, core_.urls);
  HistoryService& history = history_->service();
  core_.history = &history;
  history.SetProgress([this, started = std::chrono::steady_clock::now()](int moved, int waiting) {
    if (waiting == 0) {
      screen_.SetStatus("");
    } else if (std::chrono::steady_clock::now() - started >= std::chrono::seconds(3)) {
      screen_.SetStatus("Перенос старых дней в архив истории: перенесено " + std::to_string(moved) + " " +
                        std::string(Plural(moved, "день", "дня", "дней")) + ", игроков впереди: " +
                        std::to_string(waiting));
    }
  });
  history.TendAll();
}

void Program::Shown() { window_.FormShow(); }

void Program::StartTimer() { window_.tmStartTimer(); }

void Program::UpdateTimer() { window_.tmUpdateTimer(); }

void Program::Destroy() { window_.FormDestroy(); }

void Program::ReferenceTimer() { window_.tmReferenceTimer(); }

}  // namespace tarvelo
