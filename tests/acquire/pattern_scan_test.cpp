#include "acquire/store/pattern_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tarvelo {
namespace {

// What one search per pattern finds.
uint64_t FoundOneByOne(const std::vector<std::string>& patterns, std::string_view text) {
  uint64_t found = 0;
  for (size_t i = 0; i < patterns.size(); ++i) {
    if (text.find(patterns[i]) != std::string_view::npos) found |= uint64_t{1} << i;
  }
  return found;
}

// JSON-like filler made of the bytes the patterns are made of, so that near
// misses abound.
std::string Filler(std::mt19937& random, size_t size) {
  static constexpr std::string_view kBytes = "\"{}:,[]0123456789abcdeilnorstuw_";
  std::string text(size, ' ');
  for (char& c : text) c = kBytes[random() % kBytes.size()];
  return text;
}

TEST(PatternScan, FindsWhatOneSearchPerPatternFindsAtEveryPlace) {
  const std::vector<std::string> patterns = {
      "\",\"since\":",          "\"max_sniper_series\"", "{\"clan\":null}}", "],\"4354591\":{",
      "\"statistics\":{\"battles\":", ",\"all\":{\"wins\":", "integrated_rating", "{\"clan\":null}}}",
      "\"medalDelanglade\":",    "ОшибкаОшибка"};
  const PatternScan scan(patterns);
  std::mt19937 random(7);
  for (size_t i = 0; i < patterns.size(); ++i) {
    for (size_t size : {patterns[i].size(), patterns[i].size() + 1, size_t{40}, size_t{300}}) {
      for (size_t at = 0; at + patterns[i].size() <= size; ++at) {
        std::string text = Filler(random, size);
        text.replace(at, patterns[i].size(), patterns[i]);
        ASSERT_EQ(scan.Find(text), FoundOneByOne(patterns, text)) << i << " at " << at << " of " << size;
        ASSERT_TRUE(scan.Find(text) & (uint64_t{1} << i));
      }
    }
  }
  // Cut short, overlapping, and everything at once.
  EXPECT_EQ(scan.Find(""), 0u);
  EXPECT_EQ(scan.Find(patterns[3].substr(0, patterns[3].size() - 1)), 0u);
  EXPECT_EQ(scan.Find("x{\"clan\":null}}}"), 0b10000100u);
  std::string all;
  for (const std::string& pattern : patterns) all += pattern + "|";
  EXPECT_EQ(scan.Find(all), (uint64_t{1} << patterns.size()) - 1);
  for (int round = 0; round < 200; ++round) {
    const std::string text = Filler(random, 2000);
    ASSERT_EQ(scan.Find(text), FoundOneByOne(patterns, text));
  }
}

TEST(PatternScan, PatternsItCannotScanForAreNeverFound) {
  EXPECT_EQ(PatternScan({"short", "long enough here"}).Find("short long enough here"), 0b10u);
  EXPECT_EQ(PatternScan(std::vector<std::string>(65, "long enough here")).Find("long enough here"), 0u);
}

}  // namespace
}  // namespace tarvelo
