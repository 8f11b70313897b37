#include "shell/program.h"

#include <utility>

#include "shell/loader_search_service.h"
#include "text/clock.h"

namespace tarvelo {

Program::Program(FrontEnd& screen, std::vector<std::string> arguments)
    : Program(screen, std::move(arguments), Environment::OfProcess(), nullptr, Now) {}

Program::Program(FrontEnd& screen, std::vector<std::string> arguments, Environment environment,
                 std::unique_ptr<SearchService> service, TfrmMain::Clock clock)
    : screen_(screen),
      environment_(std::move(environment)),
      settings_(environment_.settings_file),
      service_(service ? std::move(service) : MakeLoaderSearchService(core_, settings_, environment_.executable)),
      window_(screen, core_, environment_, settings_, service_, std::move(arguments), std::move(clock)) {
  core_.transfer_wait = screen_.NetworkWait();
  screen_.SetTitleHandler([this](const std::string& title) { window_.webInfoTitleChange(title); });
}

Program::~Program() { screen_.SetTitleHandler(nullptr); }

void Program::Create() {
  InitCore(core_, environment_, settings_, screen_);
  window_.FormCreate();
}

void Program::Shown() { window_.FormShow(); }

void Program::StartTimer() { window_.tmStartTimer(); }

void Program::UpdateTimer() { window_.tmUpdateTimer(); }

void Program::Destroy() { window_.FormDestroy(); }

}  // namespace tarvelo
