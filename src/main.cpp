// The tarvelo executable: picks a front end from the command line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "shell/figures.h"
#include "shell/headless/headless.h"
#include "text/process_memory.h"
#ifdef TARVELO_WITH_GTK
#include "shell/gtk/desktop.h"
#endif

int main(int argc, char** argv) {
  tarvelo::KeepFreedMemoryForReuse();
  std::string_view first = argc > 1 ? argv[1] : "";
  if (first == "--headless") return tarvelo::RunHeadless(std::vector<std::string>(argv + 2, argv + argc));
  if (first == "--figures") return tarvelo::RunFigures(argc, argv);
#ifdef TARVELO_WITH_GTK
  return tarvelo::RunDesktop(argc, argv);
#else
  std::fputs("Tarvelo is built without its window; use: tarvelo --headless --page FILE [ARGUMENTS]\n", stderr);
  return 2;
#endif
}
