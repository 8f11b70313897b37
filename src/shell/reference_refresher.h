// The refresh of the reference documents as the program runs it: once a week in
// the background when the window starts, on demand from the start page, and for
// `tarvelo --refresh-reference`. One refresh at a time; the documents it writes
// are loaded at the next start.
//
// Threads: the refresher belongs to the window's thread. The background refresh
// runs on a thread of its own, with its own connection, and touches only the disk
// (which is shared safely) and the debug log; the refresher's destruction cancels
// its transfer under way and waits for it to end.
#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <optional>
#include <thread>

#include "acquire/net/http_fetch.h"
#include "acquire/reference_refresh.h"
#include "acquire/store/disk.h"
#include "text/clock.h"

namespace tarvelo {

struct CoreState;
struct Environment;

// Where the program's refresh reads from and writes to: the core's hosts, region
// and application id, the data folder's reference folder, the embedded documents.
ReferencePlace ReferencePlaceOf(const CoreState& core, const Environment& environment);

class ReferenceRefresher {
 public:
  ReferenceRefresher(Disk& disk, Clock clock);
  ~ReferenceRefresher();
  ReferenceRefresher(const ReferenceRefresher&) = delete;
  ReferenceRefresher& operator=(const ReferenceRefresher&) = delete;

  // Whether the last complete refresh lies kReferenceRefreshDays or more back.
  bool Due(const ReferencePlace& place) const;
  // Starts a refresh on a thread of its own unless one is under way; its
  // transfers give up when the refresher goes. False when none was started.
  bool StartInBackground(ReferencePlace place, ConnectionSettings connection);
  // A refresh on the calling thread; nothing when another one is under way.
  std::optional<ReferenceRefreshResult> RunNow(const ReferencePlace& place, const ConnectionSettings& connection);
  bool Busy() const { return busy_; }
  // Waits until the background refresh, if any, has ended.
  void Wait();

 private:
  class Cancel;
  ReferenceRefreshResult Run(const ReferencePlace& place, const ConnectionSettings& connection);

  Disk& disk_;
  Clock clock_;
  std::atomic<bool> busy_{false};
  std::unique_ptr<Cancel> cancel_;
  std::thread background_;  // last: joined before the rest goes
};

// `tarvelo --refresh-reference`: the refresh with the settings of the user, its
// report on standard output; 0 when both documents are current or refreshed, 1
// with the reasons on standard error otherwise.
int RunReferenceRefresh(std::ostream& out, std::ostream& err);

}  // namespace tarvelo
