// The text layer on any bytes: the wildcard replacement, answer decoding, the
// plain text of a page, case mapping, and the Russian formatter with any format.
// The input is split at NUL bytes into text, pattern, replacement and format.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/encoding.h"
#include "text/html_escape.h"
#include "text/replace.h"
#include "text/russian.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  for (size_t at = 0; parts.size() < 3;) {
    const size_t nul = input.find('\0', at);
    if (nul == std::string_view::npos) break;
    parts.push_back(input.substr(at, nul - at));
    at = nul + 1;
  }
  parts.resize(4);
  const size_t used = parts[0].size() + parts[1].size() + parts[2].size() + 3;
  parts[3] = used <= input.size() ? input.substr(used) : input;
  const std::string_view text = parts[0].empty() ? input : parts[0];

  WildcardReplace(text.substr(0, 4096), parts[1].substr(0, 64), parts[2].substr(0, 64));
  ReplaceAll(text, parts[1], parts[2]);
  const std::string decoded = DecodeAnswer(text);
  PlainTextOfPage(text);
  UpperCase(decoded);
  LowerCase(decoded);
  Trim(text);
  EscapeScriptString(text);
  const double number = static_cast<double>(size) * 1234.5678 - 1e6;
  Format(parts[3].substr(0, 256), {static_cast<int64_t>(size) - 500, number, text.substr(0, 32), 1e300, -0.005});
  FormatDateTime(parts[3].substr(0, 64), number / 100.0);
  return 0;
}
