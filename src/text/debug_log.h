// The program's debug log: kept in memory for the page and, when asked,
// mirrored to a file. Process-wide; every layer writes to it.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// Appends "hh:mm:ss.zzz" + tab + line + "<br />" + CR LF to the log when the
// log or the log file is switched on; with the file switched on, rewrites the
// whole log to the file, without the "<br />" marks.
void DebugLog(std::string_view line);

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
