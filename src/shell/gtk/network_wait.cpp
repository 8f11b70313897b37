#include "shell/gtk/network_wait.h"

#include <glib.h>

#include <thread>

namespace tarvelo {

void GtkNetworkWait::Run(const std::function<void()>& step, const std::function<void()>& wake) {
  wakes_.push_back(&wake);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    step();
    done = true;
    g_main_context_wakeup(nullptr);
  });
  while (!done) g_main_context_iteration(nullptr, TRUE);
  worker.join();
  wakes_.pop_back();
}

void GtkNetworkWait::Cancel() {
  cancelled_ = true;
  for (const std::function<void()>* wake : wakes_) (*wake)();
}

}  // namespace tarvelo
