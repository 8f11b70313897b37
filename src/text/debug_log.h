// The program's debug log: kept in memory for the page and, when asked,
// mirrored to a file. Process-wide; every layer writes to it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/clock.h"

namespace tarvelo {

// Appends "hh:mm:ss.zzz" + tab + line + "<br />" + CR LF to the log when the
// log or the log file is switched on; with the file switched on, rewrites the
// whole log to the file, without the "<br />" marks.
void DebugLog(std::string_view line);

// Writes the whole log as the content of a file; failures are to be ignored.
using DebugFileWriter = std::function<void(const std::string& file_name, std::string_view contents)>;
// The clock of the log's times and the writer of its file, which the program
// sets at its start and takes back (empty values) at its end. Without a
// clock the log reads the program clock of the process; without a writer it
// keeps no file.
void SetDebugLogOutlets(Clock clock, DebugFileWriter writer);

std::string DebugLogText();
void ClearDebugLog();

// Keep the log for the page.
bool DebugEnabled();
void SetDebugEnabled(bool enabled);

// Mirror the log to DebugFileName().
bool DebugFileEnabled();
void SetDebugFileEnabled(bool enabled);
std::string DebugFileName();
void SetDebugFileName(std::string_view file_name);

}  // namespace tarvelo
