// JSON text to nodes: RFC 8259 plus the forgiving forms the program's own text
// editing produces (comma before a closing bracket, single quotes, unquoted member
// names, values that start with no JSON value).
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

#include "json/node.h"
#include "json/path.h"

namespace tarvelo::json::detail {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool ClosesElement(char c) { return c == ',' || c == ']' || c == '}'; }

// A character that begins no JSON value and is no separator either: what follows
// it up to the next separator is skipped as one element.
bool StartsBareToken(char c) {
  switch (c) {
    case '{': case '[': case '"': case '\'': case '-': case 't': case 'f': case 'n':
    case ',': case ']': case '}':
      return false;
    default:
      return !IsDigit(c) && !IsSpace(c);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& out, uint32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// False when none of the 8 bytes at `p` is `quote`, a backslash or a control
// character, so that a string runs on past them unchanged.
bool MayEndPlainRun(const char* p, char quote) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const auto has_zero_byte = [](uint64_t v) { return (v - kOnes) & ~v & kHighBits; };
  const uint64_t quotes = has_zero_byte(word ^ (kOnes * static_cast<unsigned char>(quote)));
  const uint64_t backslashes = has_zero_byte(word ^ (kOnes * '\\'));
  const uint64_t controls = (word - kOnes * 0x20) & ~word & kHighBits;
  return (quotes | backslashes | controls) != 0;
}

// Where a value lies, as far as pruning goes: on the path to the pruned
// array (how many of its names lead there), an item of that array, or elsewhere.
constexpr int kOffPath = -1;

// Every function that takes `kBuild` reads the same text either way; without
// it nothing is built, so a left-out value is checked exactly as a kept one.
class Parser {
 public:
  Parser(std::string_view text, Arena& arena, const ItemPruning* pruning)
      : p_(text.data()), end_(text.data() + text.size()), arena_(arena), pruning_(pruning) {
    if (pruning_ != nullptr && !ReadPrunedPath(pruning_->array_path)) pruning_ = nullptr;
  }

  Node* Document() {
    SkipByteOrderMark();
    SkipSpace();
    Node* root = nullptr;
    return ParseValue<true>(root, 0, pruning_ != nullptr ? 0 : kOffPath) ? root : nullptr;
  }

 private:
  void SkipByteOrderMark() {
    if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
  }
  void SkipSpace() {
    while (p_ < end_ && IsSpace(*p_)) ++p_;
  }
  bool At(char c) const { return p_ < end_ && *p_ == c; }

  // The member names that lead to the pruned array; false for a path with an
  // index in it or a malformed one, which prunes nothing.
  bool ReadPrunedPath(std::string_view path) {
    PathReader reader(path);
    PathStep step;
    while (reader.Next(step)) {
      if (step.is_index) return false;
      path_.push_back(step.name);
    }
    return !reader.malformed();
  }
  int ItemPlace() const { return static_cast<int>(path_.size()) + 1; }
  // The place of a member of an object at `place`.
  int MemberPlace(int place, std::string_view name) const {
    if (place < 0 || place >= static_cast<int>(path_.size()) || name != path_[place]) return kOffPath;
    return place + 1;
  }
  bool LeavesOut(int place, std::string_view name) const {
    return place == ItemPlace() && !pruning_->keep(name);
  }

  // `depth` counts the objects and arrays around the value.
  template <bool kBuild>
  bool ParseValue(Node*& out, int depth, int place) {
    if (p_ == end_) return false;
    switch (*p_) {
      case '{': return ParseObject<kBuild>(out, depth + 1, place);
      case '[': return ParseArray<kBuild>(out, depth + 1, place);
      case '"':
      case '\'': return ParseStringValue<kBuild>(out);
      case 't': return ParseLiteral<kBuild>(out, "true", Kind::Boolean, true);
      case 'f': return ParseLiteral<kBuild>(out, "false", Kind::Boolean, false);
      case 'n': return ParseLiteral<kBuild>(out, "null", Kind::Null, false);
      default: return (*p_ == '-' || IsDigit(*p_)) && ParseNumber<kBuild>(out);
    }
  }

  // A member value or array item: like a value, but a malformed number or a
  // character that starts no value is skipped up to the next separator.
  template <bool kBuild>
  bool ParseElement(Node*& out, int depth, int place) {
    if (p_ == end_) return false;
    if (StartsBareToken(*p_)) return ParseBareToken<kBuild>(out);
    if (*p_ == '-' || IsDigit(*p_)) {
      const char* start = p_;
      if (ParseNumber<kBuild>(out)) return true;
      p_ = start;
      return ParseBareToken<kBuild>(out);
    }
    return ParseValue<kBuild>(out, depth, place);
  }

  template <bool kBuild>
  bool ParseObject(Node*& out, int level, int place) {
    if (level > kMaxDepth) return false;
    ++p_;
    const size_t base = members_.size();
    SkipSpace();
    if (At('}')) {
      ++p_;
    } else {
      for (;;) {
        std::string_view name;
        if (!ParseName<kBuild>(name)) return false;
        SkipSpace();
        if (!At(':')) return false;
        ++p_;
        SkipSpace();
        if (!ParseMemberValue<kBuild>(name, level, place)) return false;
        const Separator separator = AfterElement('}');
        if (separator == Separator::kMalformed) return false;
        if (separator == Separator::kClose) break;
      }
    }
    if constexpr (!kBuild) return true;
    out = NewNode(arena_, Kind::Object);
    const size_t count = members_.size() - base;
    out->size = AsContainer(out)->capacity = static_cast<uint32_t>(count);
    out->members = arena_.AllocateArray<Slot>(count);
    if (count != 0) std::memcpy(static_cast<void*>(out->members), members_.data() + base, count * sizeof(Slot));
    members_.resize(base);
    return true;
  }

  // The value of member `name` of an object at `place`, kept among the members
  // being parsed unless it is left out.
  template <bool kBuild>
  bool ParseMemberValue(std::string_view name, int level, int place) {
    Node* value = nullptr;
    if constexpr (kBuild) {
      if (!LeavesOut(place, name)) {
        if (!ParseElement<true>(value, level, MemberPlace(place, name))) return false;
        members_.push_back({name, value});
        return true;
      }
    }
    return ParseElement<false>(value, level, kOffPath);
  }

  template <bool kBuild>
  bool ParseArray(Node*& out, int level, int place) {
    if (level > kMaxDepth) return false;
    ++p_;
    const size_t base = items_.size();
    const int item_place = place == static_cast<int>(path_.size()) ? ItemPlace() : kOffPath;
    SkipSpace();
    if (At(']')) {
      ++p_;
    } else {
      for (;;) {
        Node* item = nullptr;
        if (!ParseElement<kBuild>(item, level, item_place)) return false;
        if constexpr (kBuild) items_.push_back(item);
        const Separator separator = AfterElement(']');
        if (separator == Separator::kMalformed) return false;
        if (separator == Separator::kClose) break;
      }
    }
    if constexpr (!kBuild) return true;
    out = NewNode(arena_, Kind::Array);
    const size_t count = items_.size() - base;
    out->size = AsContainer(out)->capacity = static_cast<uint32_t>(count);
    out->items = arena_.AllocateArray<Node*>(count);
    if (count != 0) std::memcpy(out->items, items_.data() + base, count * sizeof(Node*));
    items_.resize(base);
    return true;
  }

  enum class Separator { kNext, kClose, kMalformed };

  // Reads what follows an element: a comma and the next element, or `close`
  // (a comma right before it is allowed).
  Separator AfterElement(char close) {
    SkipSpace();
    if (At(',')) {
      ++p_;
      SkipSpace();
      if (!At(close)) return Separator::kNext;
    } else if (!At(close)) {
      return Separator::kMalformed;
    }
    ++p_;
    return Separator::kClose;
  }

  template <bool kBuild>
  bool ParseName(std::string_view& name) {
    if (p_ == end_) return false;
    if (*p_ == '"' || *p_ == '\'') return ParseString<kBuild>(name);
    const char* start = p_;
    while (p_ < end_ && *p_ != ':') {
      const char c = *p_;
      if (c == ',' || c == '{' || c == '}' || c == '[' || c == ']') return false;
      ++p_;
    }
    if (p_ == end_) return false;
    const char* stop = p_;
    while (stop > start && IsSpace(stop[-1])) --stop;
    if (stop == start) return false;
    name = {start, static_cast<size_t>(stop - start)};
    if constexpr (kBuild) name = arena_.Copy(name);
    return true;
  }

  template <bool kBuild>
  bool ParseStringValue(Node*& out) {
    std::string_view text;
    if (!ParseString<kBuild>(text)) return false;
    if constexpr (!kBuild) return true;
    out = NewNode(arena_, Kind::String);
    out->chars = text.data();
    out->size = static_cast<uint32_t>(text.size());
    return true;
  }

  // A quoted string (double or single quotes) copied into the arena as UTF-8.
  // Without `kBuild` nothing is copied and `text` is not to be read.
  template <bool kBuild>
  bool ParseString(std::string_view& text) {
    const char quote = *p_++;
    const char* start = p_;
    const char* p = p_;
    while (end_ - p >= 8 && !MayEndPlainRun(p, quote)) p += 8;
    for (; p < end_; ++p) {
      const char c = *p;
      if (c == quote) {
        text = {start, static_cast<size_t>(p - start)};
        if constexpr (kBuild) text = arena_.Copy(text);
        p_ = p + 1;
        return true;
      }
      if (c == '\\' || static_cast<unsigned char>(c) < 0x20) break;
    }
    p_ = p;
    if constexpr (kBuild) scratch_.assign(start, p_);
    text = {};
    return ParseEscapedRest<kBuild>(quote, text);
  }

  template <bool kBuild>
  bool ParseEscapedRest(char quote, std::string_view& text) {
    const auto keep = [this](char c) {
      if constexpr (kBuild) scratch_.push_back(c);
    };
    while (p_ < end_) {
      const char c = *p_;
      if (c == quote) {
        ++p_;
        if constexpr (kBuild) text = arena_.Copy(scratch_);
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        keep(c);
        ++p_;
        continue;
      }
      if (++p_ == end_) return false;
      switch (*p_++) {
        case '"': keep('"'); break;
        case '\'': keep('\''); break;
        case '\\': keep('\\'); break;
        case '/': keep('/'); break;
        case 'b': keep('\b'); break;
        case 'f': keep('\f'); break;
        case 'n': keep('\n'); break;
        case 'r': keep('\r'); break;
        case 't': keep('\t'); break;
        case 'u':
          if (!ParseUnicodeEscape<kBuild>()) return false;
          break;
        default: return false;
      }
    }
    return false;
  }

  bool ReadHex4(const char* at, uint32_t& value) const {
    if (end_ - at < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexDigit(at[i]);
      if (digit < 0) return false;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
    return true;
  }

  // After "\u". A surrogate pair becomes one code point; a lone surrogate
  // becomes U+FFFD.
  template <bool kBuild>
  bool ParseUnicodeEscape() {
    uint32_t unit = 0;
    if (!ReadHex4(p_, unit)) return false;
    p_ += 4;
    uint32_t code_point = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      uint32_t low = 0;
      if (end_ - p_ >= 6 && p_[0] == '\\' && p_[1] == 'u' && ReadHex4(p_ + 2, low) && low >= 0xDC00 &&
          low <= 0xDFFF) {
        p_ += 6;
        code_point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      } else {
        code_point = kReplacementCharacter;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      code_point = kReplacementCharacter;
    }
    if constexpr (kBuild) AppendUtf8(scratch_, code_point);
    return true;
  }

  template <bool kBuild>
  bool ParseLiteral(Node*& out, std::string_view word, Kind kind, bool truth) {
    if (static_cast<size_t>(end_ - p_) < word.size() || std::memcmp(p_, word.data(), word.size()) != 0) return false;
    p_ += word.size();
    if constexpr (!kBuild) return true;
    out = NewNode(arena_, kind);
    if (kind == Kind::Boolean) out->boolean = truth;
    return true;
  }

  // RFC 8259 number. Integers that fit in 64 bits stay integers. Every number
  // of that form converts, so without `kBuild` the form alone is checked.
  template <bool kBuild>
  bool ParseNumber(Node*& out) {
    const char* const start = p_;
    const char* p = p_;
    const bool negative = *p == '-';
    if (negative) ++p;
    if (p == end_ || !IsDigit(*p)) return false;
    uint64_t magnitude = 0;
    int digits = 0;
    if (*p == '0') {
      ++p;
    } else {
      for (; p < end_ && IsDigit(*p); ++p, ++digits) {
        if (digits < 19) magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
      }
    }
    bool integral = true;
    if (p < end_ && *p == '.') {
      if (++p == end_ || !IsDigit(*p)) return false;
      while (p < end_ && IsDigit(*p)) ++p;
      integral = false;
    }
    const char* exponent = nullptr;
    if (p < end_ && (*p == 'e' || *p == 'E')) {
      exponent = ++p;
      if (p < end_ && (*p == '+' || *p == '-')) ++p;
      if (p == end_ || !IsDigit(*p)) return false;
      while (p < end_ && IsDigit(*p)) ++p;
      integral = false;
    }
    p_ = p;
    if constexpr (!kBuild) return true;
    constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    // "-0" stays a double so that it prints back as it was read.
    const bool negative_zero = negative && magnitude == 0;
    if (integral && !negative_zero && digits <= 19 && magnitude <= kMaxPositive + (negative ? 1 : 0)) {
      out = NewNode(arena_, Kind::Integer);
      out->integer = static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
      return true;
    }
    out = NewNode(arena_, Kind::Double);
    const auto [stop, error] = std::from_chars(start, p, out->real);
    if (error == std::errc::result_out_of_range) {
      const bool tiny = exponent != nullptr && *exponent == '-';
      out->real = tiny ? 0.0 : std::numeric_limits<double>::infinity();
      if (negative) out->real = -out->real;
    } else if (error != std::errc() || stop != p) {
      return false;
    }
    return true;
  }

  // Skips to the next separator. A token that reads as a number (".53") gives that
  // number; anything else gives null.
  template <bool kBuild>
  bool ParseBareToken(Node*& out) {
    const char* start = p_;
    while (p_ < end_ && !ClosesElement(*p_)) ++p_;
    if (p_ == end_) return false;
    if constexpr (!kBuild) return true;
    const char* stop = p_;
    while (stop > start && IsSpace(stop[-1])) --stop;
    double number = 0;
    const auto [parsed_to, error] = std::from_chars(start, stop, number);
    if (error == std::errc() && parsed_to == stop) {
      out = NewNode(arena_, Kind::Double);
      out->real = number;
    } else {
      out = NewNode(arena_, Kind::Null);
    }
    return true;
  }

  const char* p_;
  const char* end_;
  Arena& arena_;
  const ItemPruning* pruning_;
  std::vector<std::string_view> path_;  // the names that lead to the pruned array
  std::vector<Slot> members_;  // members of the objects being parsed, innermost last
  std::vector<Node*> items_;   // items of the arrays being parsed, innermost last
  std::string scratch_;        // a string with escapes being decoded
};

}  // namespace

Node* ParseDocument(std::string_view text, Arena& arena, const ItemPruning* pruning) {
  if (text.size() >= std::numeric_limits<uint32_t>::max()) return nullptr;
  return Parser(text, arena, pruning).Document();
}

}  // namespace tarvelo::json::detail
