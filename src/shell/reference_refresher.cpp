#include "shell/reference_refresher.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <utility>

#include "acquire/net/http_getter.h"
#include "acquire/store/reference_files.h"
#include "shell/core_state.h"
#include "shell/environment.h"
#include "shell/settings_store.h"
#include "shell/usage.h"

namespace tarvelo {

// Lets a transfer of the background refresh give up at once when the refresher goes.
class ReferenceRefresher::Cancel final : public TransferWait {
 public:
  void Run(const std::function<void()>& step, const std::function<void()>& wake) override {
    {
      std::lock_guard lock(mutex_);
      wake_ = &wake;
    }
    step();
    std::lock_guard lock(mutex_);
    wake_ = nullptr;
  }
  bool Cancelled() const override { return cancelled_; }
  void Now() {
    cancelled_ = true;
    std::lock_guard lock(mutex_);
    if (wake_ != nullptr) (*wake_)();
  }

 private:
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  const std::function<void()>* wake_ = nullptr;
};

ReferencePlace ReferencePlaceOf(const CoreState& core, const Environment& environment) {
  return {core.urls, ReferenceFolder(environment.data_folder), EmbeddedReferenceTexts()};
}

ReferenceRefresher::ReferenceRefresher(Disk& disk, Clock clock)
    : disk_(disk), clock_(std::move(clock)), cancel_(std::make_unique<Cancel>()) {}

ReferenceRefresher::~ReferenceRefresher() {
  cancel_->Now();
  Wait();
}

void ReferenceRefresher::Wait() {
  if (background_.joinable()) background_.join();
}

bool ReferenceRefresher::Due(const ReferencePlace& place) const {
  return ReferenceRefreshDue(clock_(), LastReferenceRefresh(disk_, place.folder));
}

ReferenceRefreshResult ReferenceRefresher::Run(const ReferencePlace& place, const ConnectionSettings& connection) {
  const std::unique_ptr<HttpGetter> getter = MakeCurlHttpGetter();
  HttpFetch fetch(*getter, connection);
  // A host that stalls costs the whole refresh one time limit, not one per page.
  const SearchBudgetScope budget(&fetch);
  return RefreshReference(fetch, disk_, place, clock_());
}

bool ReferenceRefresher::StartInBackground(ReferencePlace place, ConnectionSettings connection) {
  if (busy_.exchange(true)) return false;
  Wait();  // a refresh that ended before
  connection.wait = cancel_.get();
  background_ = std::thread([this, place = std::move(place), connection = std::move(connection)] {
    Run(place, connection);
    busy_ = false;
  });
  return true;
}

std::optional<ReferenceRefreshResult> ReferenceRefresher::RunNow(const ReferencePlace& place,
                                                                 const ConnectionSettings& connection) {
  if (busy_.exchange(true)) return std::nullopt;
  ReferenceRefreshResult result = Run(place, connection);
  busy_ = false;
  return result;
}

int RunReferenceRefresh(std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Disk> disk = MakeRealDisk(ProgramClock());
  const Environment environment = Environment::OfProcess(*disk);
  const SettingsStore settings(*disk, environment.settings_file);
  CoreState core;
  core.urls = UrlsFromSettings(settings);
  core.proxy = ProxyFromSetting(settings.ReadSettingStr("", "Proxy", ""));
  core.limits = LimitsFromSettings(settings);
  ReferenceRefresher refresher(*disk, ProgramClock());
  const auto started = std::chrono::steady_clock::now();
  const ReferenceRefreshResult result = *refresher.RunNow(ReferencePlaceOf(core, environment), ConnectionOf(core));
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  const std::string report = RefreshReport(result);
  (result.ok() ? out : err) << report;
  out << "Запросов: " << result.requests << ", время: " << took.count() << " мс.\n";
  return result.ok() ? kExitOk : kExitSearchFailed;
}

}  // namespace tarvelo
