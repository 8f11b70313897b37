// Whole pages compared with the pages kept beside the tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/shell_fixture.h"

namespace tarvelo::testing {

// The body of a page, after its head.
inline std::string BodyOf(const std::string& page) {
  const size_t head_end = page.find("</head>\r\n");
  return head_end == std::string::npos ? std::string() : page.substr(head_end + 9);
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return lines;
}

// Empty when equal; else the first line that differs, with two lines before it.
inline std::string FirstDifference(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = Lines(expected);
  const std::vector<std::string> got = Lines(actual);
  for (size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    const std::string a = i < want.size() ? want[i] : "<end>";
    const std::string b = i < got.size() ? got[i] : "<end>";
    if (a == b) continue;
    std::string report = "line " + std::to_string(i + 1) + ":\n";
    for (size_t j = i >= 2 ? i - 2 : 0; j < i; ++j) report += "  " + want[j] + "\n";
    return report + "- " + a + "\n+ " + b + "\n";
  }
  return {};
}

// The tbody of `id` in `body`, or empty.
inline std::string TableBody(const std::string& body, std::string_view id) {
  const size_t start = body.find("<tbody id=\"" + std::string(id) + "\"");
  if (start == std::string::npos) return {};
  return body.substr(start, body.find("</tbody>", start) + 8 - start);
}

// Compares `body` with the golden page `name`; TARVELO_UPDATE_GOLDEN writes it anew.
inline void ExpectGolden(const std::string& name, const std::string& body) {
  const char* test_data = std::getenv("TARVELO_TEST_DATA");
  const std::string golden = std::string(test_data ? test_data : TARVELO_SHELL_TEST_DATA) + "/golden/" + name;
  if (std::getenv("TARVELO_UPDATE_GOLDEN")) WriteText(golden, body);
  EXPECT_EQ(FirstDifference(ReadText(golden), body), "") << name;
}

}  // namespace tarvelo::testing
