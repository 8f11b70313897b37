#include "text/debug_log.h"

#include <mutex>

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
  Clock clock = ProgramClock();
  DebugFileWriter writer;
};

DebugLogState& State() {
  static DebugLogState state;
  return state;
}

}  // namespace
}  // namespace detail

void DebugLog(std::string_view line) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  if (!state.enabled && !state.file_enabled) return;
  state.text.append(FormatDateTime("hh:nn:ss.zzz", state.clock()));
  state.text.push_back('\t');
  state.text.append(line);
  state.text.append("<br />\r\n");
  // The log must never disturb the program: a file that cannot be written is let be.
  if (state.file_enabled && state.writer && !state.file_name.empty()) {
    state.writer(state.file_name, ReplaceAll(state.text, "<br />\r\n", "\r\n"));
  }
}

void SetDebugLogOutlets(Clock clock, DebugFileWriter writer) {
  auto& state = detail::State();
  std::lock_guard lock(state.mutex);
  state.clock = clock ? std::move(clock) : ProgramClock();
  state.writer = std::move(writer);
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
