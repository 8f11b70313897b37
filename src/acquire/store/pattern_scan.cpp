#include "acquire/store/pattern_scan.h"

#include <cstring>

namespace tarvelo {

namespace {

constexpr size_t kGram = 4;
// Samples start this far apart, so that any kShortestPattern bytes hold one
// whole sampled gram.
constexpr size_t kStride = PatternScan::kShortestPattern - kGram + 1;

constexpr unsigned kFilterBits = 16;

uint32_t FilterHash(uint32_t gram) { return (gram * 0x9E3779B1u) >> (32 - kFilterBits); }

uint32_t GramAt(const char* bytes) {
  uint32_t gram;
  std::memcpy(&gram, bytes, sizeof gram);
  return gram;
}

// How often a byte is met in the JSON texts scanned, roughly: grams of rare
// bytes are the ones worth sampling for, since a common gram is compared in
// vain time and again.
int Commonness(unsigned char c) {
  if (std::strchr("\":,{}[]0123456789", c) != nullptr) return 3;
  if (std::strchr("etaoinsrdlcgp_", c) != nullptr) return 2;
  return c >= 'a' && c <= 'z' ? 1 : 0;
}

int Commonness(std::string_view gram) {
  int sum = 0;
  for (char c : gram) sum += Commonness(static_cast<unsigned char>(c));
  return sum;
}

}  // namespace

PatternScan::PatternScan(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {
  if (patterns_.size() > kMostPatterns) patterns_.clear();
  size_t capacity = 16;
  while (capacity < patterns_.size() * kStride * 4) capacity *= 2;
  table_.resize(capacity);
  filter_.assign((size_t{1} << kFilterBits) / 64, 0);
  for (size_t i = 0; i < patterns_.size(); ++i) {
    const std::string& pattern = patterns_[i];
    if (pattern.size() < kShortestPattern) continue;
    // An occurrence's samples fall at the offsets of one residue modulo the
    // stride; of each residue's offsets the rarest gram is enough.
    for (size_t residue = 0; residue < kStride; ++residue) {
      size_t best = residue;
      for (size_t offset = residue; offset + kGram <= pattern.size() && offset <= UINT8_MAX; offset += kStride) {
        if (Commonness(std::string_view(pattern).substr(offset, kGram)) <
            Commonness(std::string_view(pattern).substr(best, kGram))) {
          best = offset;
        }
      }
      Add(GramAt(pattern.data() + best), i, best);
    }
  }
}

size_t PatternScan::Slot(uint32_t gram) const {
  return FilterHash(gram) & (table_.size() - 1);
}

void PatternScan::Add(uint32_t gram, size_t pattern, size_t offset) {
  size_t slot = Slot(gram);
  while (table_[slot].used) {
    const Entry& entry = table_[slot];
    if (entry.gram == gram && entry.pattern == pattern && entry.offset == offset) return;
    slot = (slot + 1) & (table_.size() - 1);
  }
  table_[slot] = {gram, static_cast<uint8_t>(pattern), static_cast<uint8_t>(offset), true};
  const uint32_t hash = FilterHash(gram);
  filter_[hash / 64] |= uint64_t{1} << (hash % 64);
}

uint64_t PatternScan::Find(std::string_view text) const {
  uint64_t found = 0;
  const char* data = text.data();
  const size_t size = text.size();
  for (size_t sample = 0; sample + kGram <= size; sample += kStride) {
    const uint32_t gram = GramAt(data + sample);
    const uint32_t hash = FilterHash(gram);
    if ((filter_[hash / 64] >> (hash % 64) & 1) == 0) continue;
    for (size_t slot = Slot(gram); table_[slot].used; slot = (slot + 1) & (table_.size() - 1)) {
      const Entry& entry = table_[slot];
      const uint64_t bit = uint64_t{1} << entry.pattern;
      if (entry.gram != gram || (found & bit) != 0 || sample < entry.offset) continue;
      const std::string& pattern = patterns_[entry.pattern];
      const size_t start = sample - entry.offset;
      if (start + pattern.size() <= size && std::memcmp(data + start, pattern.data(), pattern.size()) == 0) {
        found |= bit;
      }
    }
  }
  return found;
}

}  // namespace tarvelo
