#include "text/replace.h"

#include <string.h>

#include <array>
#include <cstring>

namespace tarvelo {

namespace detail {
namespace {

// string_view::find, but with glibc's memmem, which skips ahead far faster on
// long texts where the pattern's first byte is common (JSON quotes). A pattern
// that starts with a non-ASCII byte (a Russian word) is rare in the mostly
// ASCII texts searched, and string_view::find, which runs memchr for that
// byte, passes over them faster still.
size_t Find(std::string_view text, std::string_view pattern, size_t from = 0) {
  if (from > text.size()) return std::string_view::npos;
  if (!pattern.empty() && static_cast<unsigned char>(pattern.front()) >= 0x80) return text.find(pattern, from);
  const void* hit = memmem(text.data() + from, text.size() - from, pattern.data(), pattern.size());
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
}

}  // namespace
}  // namespace detail

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t found = detail::Find(text, pattern); found != std::string_view::npos;
       found = detail::Find(text, pattern, start)) {
    result.append(text.substr(start, found - start));
    result.append(replacement);
    start = found + pattern.size();
  }
  result.append(text.substr(start));
  return result;
}

namespace detail {
namespace {

// Patterns grouped by their first byte, each group in list order, so that a
// position is only compared against the patterns that can start there.
class PatternSet {
 public:
  explicit PatternSet(const std::vector<std::string_view>& patterns) : patterns_(patterns) {
    for (size_t i = 0; i < patterns.size(); ++i) {
      if (patterns[i].empty()) continue;
      auto first = static_cast<unsigned char>(patterns[i].front());
      if (by_first_byte_[first].empty()) ++distinct_first_bytes_;
      by_first_byte_[first].push_back(i);
      single_first_byte_ = first;
    }
  }

  // Index of the first byte at or after `from` that some pattern begins with.
  size_t NextCandidate(std::string_view text, size_t from) const {
    if (distinct_first_bytes_ == 0) return text.size();
    if (distinct_first_bytes_ == 1) {
      const void* hit = std::memchr(text.data() + from, single_first_byte_, text.size() - from);
      return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : text.size();
    }
    for (size_t i = from; i < text.size(); ++i) {
      if (!by_first_byte_[static_cast<unsigned char>(text[i])].empty()) return i;
    }
    return text.size();
  }

  // Index of the first pattern in list order matching at `at`, or npos.
  size_t MatchAt(std::string_view text, size_t at) const {
    std::string_view rest = text.substr(at);
    for (size_t index : by_first_byte_[static_cast<unsigned char>(text[at])]) {
      if (rest.starts_with(patterns_[index])) return index;
    }
    return std::string_view::npos;
  }

  std::string_view Pattern(size_t index) const { return patterns_[index]; }

 private:
  const std::vector<std::string_view>& patterns_;
  std::array<std::vector<size_t>, 256> by_first_byte_;
  int distinct_first_bytes_ = 0;
  unsigned char single_first_byte_ = 0;
};

// One scan; `emit(i, result)` appends what stands for a match of pattern i.
template <typename Emit>
std::string ReplaceMatches(std::string_view text, const std::vector<std::string_view>& patterns, Emit emit) {
  PatternSet set(patterns);
  std::string result;
  result.reserve(text.size());
  size_t copied_up_to = 0;
  size_t at = set.NextCandidate(text, 0);
  while (at < text.size()) {
    size_t index = set.MatchAt(text, at);
    if (index == std::string_view::npos) {
      at = set.NextCandidate(text, at + 1);
      continue;
    }
    result.append(text.substr(copied_up_to, at - copied_up_to));
    emit(index, result);
    copied_up_to = at + set.Pattern(index).size();
    at = set.NextCandidate(text, copied_up_to);
  }
  result.append(text.substr(copied_up_to));
  return result;
}

}  // namespace
}  // namespace detail

std::string RemoveAll(std::string_view text, const std::vector<std::string_view>& patterns) {
  return detail::ReplaceMatches(text, patterns, [](size_t, std::string&) {});
}

// A pattern without a replacement of its own is removed.
std::string ReplaceEach(std::string_view text, const std::vector<std::string_view>& patterns,
                        const std::vector<std::string_view>& replacements) {
  return detail::ReplaceMatches(text, patterns, [&](size_t index, std::string& result) {
    if (index < replacements.size()) result.append(replacements[index]);
  });
}

namespace detail {
namespace {

constexpr std::string_view kWildcard = "\\*";

// "\n" -> CR LF, "\t" -> tab, "\_" -> space; any other backslash stays.
std::string DecodeEscapes(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '\\' && (next == 'n' || next == 't' || next == '_')) {
      result.append(next == 'n' ? "\r\n" : next == 't' ? "\t" : " ");
      ++i;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

struct WildcardMatch {
  std::string_view whole;
  std::string_view middle;
};

// From the first `prefix` to the first `suffix` after it; an empty prefix
// matches at the start, an empty suffix at the end.
bool FindWildcardMatch(std::string_view text, std::string_view prefix, std::string_view suffix,
                       WildcardMatch& match) {
  size_t begin = prefix.empty() ? 0 : Find(text, prefix);
  if (begin == std::string_view::npos) return false;
  size_t middle_begin = begin + prefix.size();
  size_t middle_end = suffix.empty() ? text.size() : Find(text, suffix, middle_begin);
  if (middle_end == std::string_view::npos) return false;
  match.whole = text.substr(begin, middle_end + suffix.size() - begin);
  match.middle = text.substr(middle_begin, middle_end - middle_begin);
  return true;
}

// Every "\*" of the replacement stands for the matched middle part.
std::string ConcreteReplacement(std::string_view replacement, std::string_view middle) {
  std::string result;
  size_t start = 0;
  for (size_t star = replacement.find(kWildcard); star != std::string_view::npos;
       star = replacement.find(kWildcard, start)) {
    result.append(DecodeEscapes(replacement.substr(start, star - start)));
    result.append(middle);
    start = star + kWildcard.size();
  }
  result.append(DecodeEscapes(replacement.substr(start)));
  return result;
}

}  // namespace
}  // namespace detail

// Only the first "\*" of the pattern is a wildcard; later ones are literal.
// Besides the two stop rules the repetition ends when the text has grown past
// twice its original size plus 64 KiB, or after as many rounds as the original
// text has bytes: a replacement that wraps the middle in new text would
// otherwise grow the text without end.
std::string WildcardReplace(std::string_view text, std::string_view pattern, std::string_view replacement) {
  size_t star = pattern.find(detail::kWildcard);
  if (star == std::string_view::npos) {
    return ReplaceAll(text, detail::DecodeEscapes(pattern), detail::DecodeEscapes(replacement));
  }
  const std::string prefix = detail::DecodeEscapes(pattern.substr(0, star));
  const std::string suffix = detail::DecodeEscapes(pattern.substr(star + detail::kWildcard.size()));
  const size_t size_limit = 2 * text.size() + 65536;
  const size_t round_limit = text.size() + 1;

  std::string current(text);
  detail::WildcardMatch match;
  for (size_t round = 0; round < round_limit && current.size() <= size_limit; ++round) {
    if (!detail::FindWildcardMatch(current, prefix, suffix, match)) break;
    std::string concrete = detail::ConcreteReplacement(replacement, match.middle);
    bool contains_itself = detail::Find(concrete, match.whole) != std::string_view::npos;
    std::string next = ReplaceAll(current, match.whole, concrete);
    if (next == current) break;
    current = std::move(next);
    if (contains_itself) break;
  }
  return current;
}

size_t LastPos(std::string_view text, std::string_view part) {
  if (part.empty()) return 0;
  size_t found = text.rfind(part);
  return found == std::string_view::npos ? 0 : found + 1;
}

void AppendLine(std::string_view text, std::string& accumulator) {
  accumulator.append(text);
  accumulator.append("\r\n");
}

bool Contains(std::string_view text, std::string_view part) {
  return part.empty() || detail::Find(text, part) != std::string_view::npos;
}

}  // namespace tarvelo
