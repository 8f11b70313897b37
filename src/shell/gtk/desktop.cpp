#include "shell/gtk/desktop.h"

#include <glib-unix.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/gtk/desktop_window.h"
#include "shell/program.h"

namespace tarvelo {

namespace {

constexpr guint kTimerDelayMs = 10;

// The two one-shot timers of the start-up: the command-line request, then the weekly
// refresh of the reference documents (in the background) and the update check.
class StartUp {
 public:
  StartUp(DesktopWindow& window, Program& program) : window_(window), program_(program) {}
  ~StartUp() {
    for (guint source : {start_timer_, update_timer_}) {
      if (source != 0) g_source_remove(source);
    }
  }

  void Begin() { start_timer_ = g_timeout_add(kTimerDelayMs, OnStartTimer, this); }

 private:
  static gboolean OnStartTimer(gpointer data) {
    auto* self = static_cast<StartUp*>(data);
    self->start_timer_ = 0;
    self->window_.RunWork([self] { self->program_.StartTimer(); });
    if (const char* script = g_getenv("TARVELO_GTK_SCRIPT")) self->window_.RunScriptWhenLoaded(script);
    self->update_timer_ = g_timeout_add(kTimerDelayMs, OnUpdateTimer, self);
    return G_SOURCE_REMOVE;
  }

  static gboolean OnUpdateTimer(gpointer data) {
    auto* self = static_cast<StartUp*>(data);
    self->update_timer_ = 0;
    self->window_.RunWork([self] {
      self->program_.ReferenceTimer();
      self->program_.UpdateTimer();
    });
    return G_SOURCE_REMOVE;
  }

  DesktopWindow& window_;
  Program& program_;
  guint start_timer_ = 0;
  guint update_timer_ = 0;
};

gboolean OnTerminationSignal(gpointer window) {
  static_cast<DesktopWindow*>(window)->RequestClose();
  return G_SOURCE_CONTINUE;
}

}  // namespace

int RunDesktop(int argc, char** argv) {
  // The application id the desktop matches with tarvelo.desktop (X11 class, Wayland app id).
  g_set_prgname("tarvelo");
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("Tarvelo: не удалось открыть окно программы (нет графического дисплея).\n"
               "Без окна: tarvelo --headless --page ФАЙЛ [ЗАПРОС]; справка: tarvelo --help\n",
               stderr);
    return 1;
  }
  std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
  DesktopWindow window;
  window.TraceMoment("window created");
  Program program(window, arguments);
  window.SetCloseHandler([&program] { program.Destroy(); });
  window.SetStopWorkHandler([&program] { program.core().BreakRequested = true; });
  guint term_source = g_unix_signal_add(SIGTERM, OnTerminationSignal, &window);
  guint int_source = g_unix_signal_add(SIGINT, OnTerminationSignal, &window);

  StartUp start_up(window, program);
  window.RunWork([&] { program.Create(); });
  window.TraceMoment("start-up work done");
  if (!window.Closed()) {
    window.Present();
    window.RunWork([&] { program.Shown(); });
    start_up.Begin();
    window.RunUntilClosed();
  }
  g_source_remove(term_source);
  g_source_remove(int_source);
  return 0;
}

}  // namespace tarvelo
