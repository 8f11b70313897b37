// What `tarvelo --help` and `tarvelo --version` print, and the line that points a
// wrong command line at the help.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

std::string HelpText();
// "Tarvelo " + the version + " (сборка от " + the build's date + ")".
std::string VersionText();
// The error for an option the program does not know, with the hint to the help.
std::string UnknownOptionText(std::string_view option);

// Exit codes of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSearchFailed = 1;
inline constexpr int kExitUsage = 2;

// The answer to a command line that needs no front end: the help, the version, or
// the refusal of an unknown option ("-" first). Prints it and gives the exit code;
// nothing when a front end is to run.
std::optional<int> AnswerWithoutFrontEnd(const std::vector<std::string>& arguments, std::ostream& out,
                                         std::ostream& err);

}  // namespace tarvelo
