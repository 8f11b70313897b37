#include "shell/gtk/desktop_text.h"

#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "text/encoding.h"

namespace tarvelo {

std::string_view ResourceNameOfUri(std::string_view uri) {
  uri = uri.substr(0, uri.find_first_of("?#"));
  constexpr std::string_view kMarker = "/PNG/";
  for (size_t pos = uri.size(); pos-- > 0;) {
    if (uri.size() - pos >= kMarker.size() &&
        strncasecmp(uri.data() + pos, kMarker.data(), kMarker.size()) == 0) {
      return uri.substr(pos + kMarker.size());
    }
  }
  return {};
}

std::string BoxText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      out += '\n';
    }
  }
  return out;
}

std::string OneLine(std::string_view text, size_t limit) {
  std::string out;
  bool blank = true;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (text.substr(i, 2) == "\xC2\xA0") {  // a no-break space
      c = ' ';
      ++i;
    }
    if (c == '\n') {
      if (out.empty() || out.ends_with(" | ")) continue;
      while (!out.empty() && out.back() == ' ') out.pop_back();
      if (!out.empty()) out += " | ";
      blank = true;
      continue;
    }
    bool is_blank = c == ' ' || c == '\t' || c == '\r';
    if (is_blank && blank) continue;
    blank = is_blank;
    out += is_blank ? ' ' : c;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '|')) out.pop_back();
  if (out.size() <= limit) return out;
  return out.substr(0, CharacterStart(out, limit));
}

long MillisecondsSinceProcessStart() {
  std::ifstream stat_file("/proc/self/stat");
  std::string stat;
  std::getline(stat_file, stat);
  // Field 22 (start time in clock ticks since boot) counts from the field after the command
  // name, which may itself hold blanks and ends at the last ")".
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i < 22) continue;
    long ticks_per_second = sysconf(_SC_CLK_TCK);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    double start_ms = std::stod(field) * 1000.0 / static_cast<double>(ticks_per_second);
    double now_ms = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return static_cast<long>(now_ms - start_ms);
  }
  return -1;
}

}  // namespace tarvelo
