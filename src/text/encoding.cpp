#include "text/encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tarvelo {

namespace detail {
namespace {

// Unicode of the Windows-1251 bytes 0x80..0xFF; 0x98 has no character.
constexpr std::array<uint16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// `code` is a Unicode scalar value (not a surrogate, at most U+10FFFF).
void AppendUtf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

struct NamedCharacter {
  std::string_view name;
  uint32_t code;
};

// The XML five and the named characters the pages and messages of the program use.
constexpr NamedCharacter kNamedCharacters[] = {
    {"amp", '&'},       {"lt", '<'},         {"gt", '>'},         {"quot", '"'},       {"apos", '\''},
    {"nbsp", 0x00A0},   {"laquo", 0x00AB},   {"raquo", 0x00BB},   {"ndash", 0x2013},   {"mdash", 0x2014},
    {"hellip", 0x2026}, {"middot", 0x00B7},  {"bull", 0x2022},    {"deg", 0x00B0},     {"times", 0x00D7},
    {"copy", 0x00A9},   {"larr", 0x2190},    {"uarr", 0x2191},    {"rarr", 0x2192},    {"darr", 0x2193},
};

// The longest reference between "&" and ";" looked at: "#x10FFFF".
constexpr size_t kLongestReference = 8;

// The character a numeric reference ("#8212", "#x2014") stands for; 0 for none.
uint32_t NumberedCharacter(std::string_view digits) {
  const bool hex = digits.size() > 1 && (digits[0] == 'x' || digits[0] == 'X');
  if (hex) digits.remove_prefix(1);
  if (digits.empty()) return 0;
  uint32_t code = 0;
  for (const char c : digits) {
    int digit = c >= '0' && c <= '9' ? c - '0' : -1;
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return surrogate || code > 0x10FFFF ? 0 : code;
}

// The character `reference` (the text between "&" and ";") stands for; 0 for none.
uint32_t ReferencedCharacter(std::string_view reference) {
  if (reference.starts_with('#')) return NumberedCharacter(reference.substr(1));
  for (const NamedCharacter& named : kNamedCharacters) {
    if (named.name == reference) return named.code;
  }
  return 0;
}

// True when none of the `N` bytes from `bytes` has its high bit set.
template <size_t N>
bool AllAscii(const char* bytes) {
  static_assert(N % 8 == 0);
  uint64_t high = 0;
  for (size_t at = 0; at < N; at += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + at, sizeof word);
    high |= word;
  }
  return (high & 0x8080808080808080ull) == 0;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `at` (Unicode table 3-7), 0 when
// the bytes there are not one.
size_t SequenceLength(std::string_view bytes, size_t at) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || at + length > bytes.size()) return 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  return length;
}

// `text` without every block from `open` to the end of the next `close`; a
// block that is never closed runs to the end of the text.
std::string RemoveBlocks(std::string_view text, std::string_view open, std::string_view close) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t found = text.find(open); found != std::string_view::npos; found = text.find(open, start)) {
    result.append(text.substr(start, found - start));
    size_t end = text.find(close, found + open.size());
    if (end == std::string_view::npos) return result;
    start = end + close.size();
  }
  result.append(text.substr(start));
  return result;
}

// CR, LF and tab become blanks and every run of blanks one blank, in place.
void CollapseBlanks(std::string& text) {
  size_t length = 0;
  bool after_blank = false;
  for (char c : text) {
    bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
    if (blank && after_blank) continue;
    text[length++] = blank ? ' ' : c;
    after_blank = blank;
  }
  text.resize(length);
}

enum class Case { kLower, kUpper };

// ASCII letters and the Cyrillic block U+0400..U+045F (two-byte sequences
// D0 80 .. D1 9F) change case; everything else is copied.
std::string ChangeCase(std::string_view utf8, Case to) {
  std::string result(utf8);
  for (size_t i = 0; i < result.size(); ++i) {
    auto c = static_cast<unsigned char>(result[i]);
    if (c < 0x80) {
      if (to == Case::kLower && c >= 'A' && c <= 'Z') result[i] = static_cast<char>(c + 32);
      if (to == Case::kUpper && c >= 'a' && c <= 'z') result[i] = static_cast<char>(c - 32);
      continue;
    }
    if ((c != 0xD0 && c != 0xD1) || i + 1 >= result.size()) continue;
    auto next = static_cast<unsigned char>(result[i + 1]);
    if (!IsContinuation(next)) continue;
    unsigned code = ((c & 0x1Fu) << 6) | (next & 0x3Fu);
    if (to == Case::kLower) {
      if (code >= 0x400 && code <= 0x40F) code += 0x50;
      else if (code >= 0x410 && code <= 0x42F) code += 0x20;
    } else {
      if (code >= 0x450 && code <= 0x45F) code -= 0x50;
      else if (code >= 0x430 && code <= 0x44F) code -= 0x20;
    }
    result[i] = static_cast<char>(0xC0 | (code >> 6));
    result[i + 1] = static_cast<char>(0x80 | (code & 0x3F));
    ++i;
  }
  return result;
}

}  // namespace
}  // namespace detail

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    if (i + 32 <= bytes.size() && detail::AllAscii<32>(bytes.data() + i)) {
      i += 32;
      continue;
    }
    if (i + 8 <= bytes.size() && detail::AllAscii<8>(bytes.data() + i)) {
      i += 8;
      continue;
    }
    size_t length = detail::SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size() * 2);
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      result.push_back(c);
    } else {
      detail::AppendUtf8(detail::kCp1251High[byte - 0x80], result);
    }
  }
  return result;
}

std::string DecodeAnswer(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes);
}

std::string RemoveTags(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', start)) {
    size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) break;
    result.append(text.substr(start, open - start));
    start = close + 1;
  }
  result.append(text.substr(start));
  return result;
}

std::string PlainTextOfPage(std::string_view html) {
  std::string text = detail::RemoveBlocks(html, "<script", "</script>");
  text = detail::RemoveBlocks(text, "<SCRIPT", "</SCRIPT>");
  text = RemoveTags(text);
  detail::CollapseBlanks(text);
  return DecodeCharacterReferences(DecodeAnswer(TrimmedView(text)));
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t at = 0;
  for (size_t amp = text.find('&'); amp != std::string_view::npos; amp = text.find('&', at)) {
    result.append(text.substr(at, amp - at));
    const std::string_view rest = text.substr(amp + 1, detail::kLongestReference + 1);
    const size_t semicolon = rest.find(';');
    const uint32_t code =
        semicolon == std::string_view::npos ? 0 : detail::ReferencedCharacter(rest.substr(0, semicolon));
    if (code == 0) {
      result.push_back('&');
      at = amp + 1;
    } else {
      detail::AppendUtf8(code, result);
      at = amp + 1 + semicolon + 1;
    }
  }
  result.append(text.substr(at));
  return result;
}

std::string LowerCase(std::string_view utf8) { return detail::ChangeCase(utf8, detail::Case::kLower); }

std::string UpperCase(std::string_view utf8) { return detail::ChangeCase(utf8, detail::Case::kUpper); }

std::string_view TrimmedView(std::string_view text) {
  auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t begin = 0, end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string Trim(std::string_view text) { return std::string(TrimmedView(text)); }

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8) count += !IsContinuation(c);
  return count;
}

size_t NextCharacter(std::string_view utf8, size_t at) {
  if (at >= utf8.size()) return utf8.size();
  ++at;
  while (at < utf8.size() && IsContinuation(utf8[at])) ++at;
  return at;
}

size_t CharacterStart(std::string_view utf8, size_t at) {
  at = std::min(at, utf8.size());
  while (at > 0 && at < utf8.size() && IsContinuation(utf8[at])) --at;
  return at;
}

std::string_view FirstCharacters(std::string_view utf8, size_t characters) {
  size_t end = 0;
  for (size_t counted = 0; end < utf8.size() && counted < characters; ++counted) end = NextCharacter(utf8, end);
  return utf8.substr(0, end);
}

}  // namespace tarvelo
