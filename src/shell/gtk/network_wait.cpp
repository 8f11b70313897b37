#include "shell/gtk/network_wait.h"

#include <glib.h>

namespace tarvelo {

GtkNetworkWait::GtkNetworkWait() : worker_([this] { Work(); }) {}

GtkNetworkWait::~GtkNetworkWait() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_one();
  worker_.join();
}

void GtkNetworkWait::Run(const std::function<void()>& step, const std::function<void()>& wake) {
  wakes_.push_back(&wake);
  std::atomic<bool> done{false};
  std::exception_ptr error;
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back({&step, &done, &error});
  }
  queued_.notify_one();
  while (!done) g_main_context_iteration(nullptr, TRUE);
  wakes_.pop_back();
  if (error) std::rethrow_exception(error);
}

void GtkNetworkWait::Cancel() {
  cancelled_ = true;
  for (const std::function<void()>* wake : wakes_) (*wake)();
}

void GtkNetworkWait::Work() {
  for (;;) {
    Job job{};
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = jobs_.front();
      jobs_.pop_front();
    }
    try {
      (*job.step)();
    } catch (...) {
      *job.error = std::current_exception();
    }
    *job.done = true;
    g_main_context_wakeup(nullptr);
  }
}

}  // namespace tarvelo
