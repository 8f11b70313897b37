// Whole pages compared with the pages kept beside the tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "golden_page.h"
#include "shell/shell_fixture.h"

namespace tarvelo::testing {

// The body of a page, after its head.
inline std::string BodyOf(const std::string& page) {
  const size_t head_end = page.find("</head>\r\n");
  return head_end == std::string::npos ? std::string() : page.substr(head_end + 9);
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
  EXPECT_EQ(GoldenDifference(golden, body), "") << name;
}

}  // namespace tarvelo::testing
