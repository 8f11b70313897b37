// Text replacement primitives. Every function scans once, left to right,
// case-sensitively, and never rescans what it has inserted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

// Every occurrence of `pattern` replaced by `replacement`; occurrences never
// overlap ("aaa", "aa" -> "b" gives "ba"). An empty pattern changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);

// At each position tries the patterns in list order; the first that matches is
// dropped and the scan resumes after it.
std::string RemoveAll(std::string_view text, const std::vector<std::string_view>& patterns);

// As RemoveAll, but the matched pattern i is replaced by replacements[i].
std::string ReplaceEach(std::string_view text, const std::vector<std::string_view>& patterns,
                        const std::vector<std::string_view>& replacements);

// Replacement with "\n" (CR LF), "\t" (tab), "\_" (space) and one "\*" (any run of
// characters) in pattern and replacement; "\*" in the replacement stands for the
// matched middle. Repeats until the text stops changing or the matched text occurs
// inside its own replacement.
std::string WildcardReplace(std::string_view text, std::string_view pattern, std::string_view replacement);

// True when `part` occurs in `text` (an empty part always does). A plain
// substring search that stays fast on JSON text, where the quote a key pattern
// starts with is everywhere.
bool Contains(std::string_view text, std::string_view part);

// 1-based position of the last occurrence of `part` in `text`, 0 when absent.
size_t LastPos(std::string_view text, std::string_view part);

// accumulator + text + CR LF.
void AppendLine(std::string_view text, std::string& accumulator);

// `a` when the flag is set, else `b`.
inline std::string_view Choose(bool flag, std::string_view a, std::string_view b) { return flag ? a : b; }

}  // namespace tarvelo
