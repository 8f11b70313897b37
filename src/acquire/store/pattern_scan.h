// Which of a few patterns occur somewhere in a long text, found in one pass
// instead of one search per pattern: the text is sampled every few bytes, and
// a sample is compared with a pattern only where that pattern could cover it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

class PatternScan {
 public:
  // The shortest pattern allowed: every occurrence of one must hold a sample.
  static constexpr size_t kShortestPattern = 10;
  static constexpr size_t kMostPatterns = 64;

  // Patterns shorter than kShortestPattern, or more than kMostPatterns, are
  // a programming error (the scan would miss them): they are never found.
  explicit PatternScan(std::vector<std::string> patterns);

  // Bit i set when patterns[i] occurs in `text`.
  uint64_t Find(std::string_view text) const;

 private:
  struct Entry {
    uint32_t gram = 0;     // four bytes of a pattern, as loaded from memory
    uint8_t pattern = 0;   // index into patterns_
    uint8_t offset = 0;    // where the gram starts in the pattern
    bool used = false;
  };
  void Add(uint32_t gram, size_t pattern, size_t offset);
  size_t Slot(uint32_t gram) const;

  std::vector<std::string> patterns_;
  std::vector<Entry> table_;  // open addressing, a power of two in size
  std::vector<uint64_t> filter_;  // a bit per hash of the grams in table_: most samples stop here
};

}  // namespace tarvelo
