// The front end without a screen: `tarvelo --headless --page FILE [--pages DIR]
// [--answer yes|no|cancel] [--command TITLE]... [ARGUMENTS]`. Runs the same start-up
// with ARGUMENTS as the command line, writes the last page shown to FILE (and every
// page, numbered, into DIR), prints each box to standard error as "[caption] text",
// answers every question with the preset answer (default no) and feeds each TITLE to
// the command bridge as if a page had set it. Addresses the program would open, copies
// it would start and programs it would run (a new build after an update) are printed as
// "open: URL", "start: ARGUMENTS" and "run: PROGRAM ARGUMENTS". Exit code 0 when every
// search gave a report, 1 when one did not (its messages on standard error) or the page
// could not be written, 2 for a wrong command line.
#pragma once

#include <string>
#include <vector>

namespace tarvelo {

// `arguments` follow "--headless". Returns the process exit code.
int RunHeadless(const std::vector<std::string>& arguments);

}  // namespace tarvelo
