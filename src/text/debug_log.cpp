#include "text/debug_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "text/clock.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

namespace detail {
namespace {

struct DebugLogState {
  std::mutex mutex;
  std::string text;
  bool enabled = false;
  bool file_enabled = false;
  std::string file_name;
};

DebugLogState& State() {
  static DebugLogState state;
  return state;
}

// Writes a temporary file beside the target and renames it over the target,
// so a reader never sees a half-written log. Failures are ignored: the log
// must never disturb the program.
void RewriteFile(const std::string& file_name, std::string_view contents) {
  if (file_name.empty()) return;
  std::string temp_name = file_name + ".XXXXXX";
  int fd = mkstemp(temp_name.data());
  if (fd < 0) return;
  fchmod(fd, 0644);
  bool written = true;
  for (size_t done = 0; done < contents.size() && written;) {
    ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  written = close(fd) == 0 && written;
  if (!written || std::rename(temp_name.c_str(), file_name.c_str()) != 0) std::remove(temp_name.c_str());
}

}  // namespace
}  // namespace detail

void DebugLog(std::string_view line) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  if (!state.enabled && !state.file_enabled) return;
  state.text.append(FormatDateTime("hh:nn:ss.zzz", Now()));
  state.text.push_back('\t');
  state.text.append(line);
  state.text.append("<br />\r\n");
  if (state.file_enabled) detail::RewriteFile(state.file_name, ReplaceAll(state.text, "<br />\r\n", "\r\n"));
}

std::string DebugLogText() {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  return state.text;
}

void ClearDebugLog() {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  state.text.clear();
}

bool DebugEnabled() {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  return state.enabled;
}

void SetDebugEnabled(bool enabled) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  state.enabled = enabled;
}

bool DebugFileEnabled() {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  return state.file_enabled;
}

void SetDebugFileEnabled(bool enabled) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  state.file_enabled = enabled;
}

std::string DebugFileName() {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  return state.file_name;
}

void SetDebugFileName(std::string_view file_name) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  state.file_name = std::string(file_name);
}

}  // namespace tarvelo
