// The tarvelo executable: picks a front end from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "shell/figures.h"
#include "shell/headless/headless.h"
#include "shell/history_commands.h"
#include "shell/reference_refresher.h"
#include "shell/usage.h"
#include "text/process_memory.h"
#ifdef TARVELO_WITH_GTK
#include "shell/gtk/desktop.h"
#endif

int main(int argc, char** argv) {
  tarvelo::KeepFreedMemoryForReuse();
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const std::string first = arguments.empty() ? std::string() : arguments.front();
  if (first == "--headless") return tarvelo::RunHeadless(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
  if (first == "--figures") return tarvelo::RunFigures(argc, argv);
  if (tarvelo::IsHistoryCommand(first)) return tarvelo::RunHistoryCommand(arguments, std::cout, std::cerr);
  if (first == "--refresh-reference" && arguments.size() == 1) return tarvelo::RunReferenceRefresh(std::cout, std::cerr);
  if (auto code = tarvelo::AnswerWithoutFrontEnd(arguments, std::cout, std::cerr)) return *code;
#ifdef TARVELO_WITH_GTK
  return tarvelo::RunDesktop(argc, argv);
#else
  std::cerr << "Tarvelo собран без окна. Без окна: tarvelo --headless --page ФАЙЛ [ЗАПРОС]; справка: tarvelo --help\n";
  return tarvelo::kExitUsage;
#endif
}
