// Comparing a page with its golden copy: on a difference, the first differing
// line with the two lines before it instead of two whole pages.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvelo::testing {

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

// FirstDifference against the file at `path`; with TARVELO_UPDATE_GOLDEN set
// the file is written anew from `actual` first.
inline std::string GoldenDifference(const std::string& path, const std::string& actual) {
  if (std::getenv("TARVELO_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << actual;
  }
  std::ifstream in(path, std::ios::binary);
  return FirstDifference(std::string(std::istreambuf_iterator<char>(in), {}), actual);
}

}  // namespace tarvelo::testing
