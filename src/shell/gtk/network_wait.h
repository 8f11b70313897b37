// Keeps the window alive while a transfer runs: the transfer's blocking part runs on
// a worker thread while this thread goes on handling window events; Cancel (the window
// closing) stops the transfer under way and every later one at once.
#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "acquire/net/http_getter.h"

namespace tarvelo {

class GtkNetworkWait final : public TransferWait {
 public:
  // Runs `step` on a worker thread and handles events of the default main context
  // until it has returned. Only the interface thread calls this.
  void Run(const std::function<void()>& step, const std::function<void()>& wake) override;
  bool Cancelled() const override { return cancelled_; }

  // From the interface thread, typically inside a Run's event handling.
  void Cancel();

 private:
  std::atomic<bool> cancelled_{false};
  std::vector<const std::function<void()>*> wakes_;  // of the Runs under way
};

}  // namespace tarvelo
