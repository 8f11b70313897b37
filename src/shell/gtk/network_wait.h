// Keeps the window alive while a transfer runs: the transfer's blocking part runs on
// one long-lived worker thread while the window's thread goes on handling window
// events; Cancel (the window closing) stops the transfer under way and every later
// one at once.
//
// Threads: Run and Cancel belong to the window's thread; the worker only runs the
// steps handed to it, one at a time, in the order they came; Cancelled may be read
// from anywhere.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "acquire/net/http_getter.h"

namespace tarvelo {

class GtkNetworkWait final : public TransferWait {
 public:
  GtkNetworkWait();
  ~GtkNetworkWait() override;
  GtkNetworkWait(const GtkNetworkWait&) = delete;
  GtkNetworkWait& operator=(const GtkNetworkWait&) = delete;

  // Hands `step` to the worker and handles events of the default main context
  // until it has returned; an exception of the step comes out here.
  void Run(const std::function<void()>& step, const std::function<void()>& wake) override;
  bool Cancelled() const override { return cancelled_; }

  // Typically inside a Run's event handling.
  void Cancel();

 private:
  struct Job {
    const std::function<void()>* step;
    std::atomic<bool>* done;
    std::exception_ptr* error;
  };
  void Work();

  std::atomic<bool> cancelled_{false};
  std::vector<const std::function<void()>*> wakes_;  // of the Runs under way
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::thread worker_;  // last: it starts once the rest is there
};

}  // namespace tarvelo
