// JSON text to nodes: RFC 8259 plus the forgiving forms the program's own text
// editing produces (comma before a closing bracket, single quotes, unquoted member
// names, values that start with no JSON value).
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

#include "json/node.h"

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

class Parser {
 public:
  Parser(std::string_view text, Arena& arena)
      : p_(text.data()), end_(text.data() + text.size()), arena_(arena) {}

  Node* Document() {
    SkipByteOrderMark();
    SkipSpace();
    Node* root = nullptr;
    return ParseValue(root, 0) ? root : nullptr;
  }

 private:
  void SkipByteOrderMark() {
    if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
  }
  void SkipSpace() {
    while (p_ < end_ && IsSpace(*p_)) ++p_;
  }
  bool At(char c) const { return p_ < end_ && *p_ == c; }

  // `depth` counts the objects and arrays around the value.
  bool ParseValue(Node*& out, int depth) {
    if (p_ == end_) return false;
    switch (*p_) {
      case '{': return ParseObject(out, depth + 1);
      case '[': return ParseArray(out, depth + 1);
      case '"':
      case '\'': return ParseStringValue(out);
      case 't': return ParseLiteral(out, "true", Kind::Boolean, true);
      case 'f': return ParseLiteral(out, "false", Kind::Boolean, false);
      case 'n': return ParseLiteral(out, "null", Kind::Null, false);
      default: return (*p_ == '-' || IsDigit(*p_)) && ParseNumber(out);
    }
  }

  // A member value or array item: like a value, but a malformed number or a
  // character that starts no value is skipped up to the next separator.
  bool ParseElement(Node*& out, int depth) {
    if (p_ == end_) return false;
    if (StartsBareToken(*p_)) return ParseBareToken(out);
    if (*p_ == '-' || IsDigit(*p_)) {
      const char* start = p_;
      if (ParseNumber(out)) return true;
      p_ = start;
      return ParseBareToken(out);
    }
    return ParseValue(out, depth);
  }

  bool ParseObject(Node*& out, int level) {
    if (level > kMaxDepth) return false;
    ++p_;
    const size_t base = members_.size();
    SkipSpace();
    if (At('}')) {
      ++p_;
    } else {
      for (;;) {
        std::string_view name;
        if (!ParseName(name)) return false;
        SkipSpace();
        if (!At(':')) return false;
        ++p_;
        SkipSpace();
        Node* value = nullptr;
        if (!ParseElement(value, level)) return false;
        members_.push_back({name, value});
        const Separator separator = AfterElement('}');
        if (separator == Separator::kMalformed) return false;
        if (separator == Separator::kClose) break;
      }
    }
    out = NewNode(arena_, Kind::Object);
    const size_t count = members_.size() - base;
    out->size = AsContainer(out)->capacity = static_cast<uint32_t>(count);
    out->members = arena_.AllocateArray<Slot>(count);
    if (count != 0) std::memcpy(static_cast<void*>(out->members), members_.data() + base, count * sizeof(Slot));
    members_.resize(base);
    return true;
  }

  bool ParseArray(Node*& out, int level) {
    if (level > kMaxDepth) return false;
    ++p_;
    const size_t base = items_.size();
    SkipSpace();
    if (At(']')) {
      ++p_;
    } else {
      for (;;) {
        Node* item = nullptr;
        if (!ParseElement(item, level)) return false;
        items_.push_back(item);
        const Separator separator = AfterElement(']');
        if (separator == Separator::kMalformed) return false;
        if (separator == Separator::kClose) break;
      }
    }
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

  bool ParseName(std::string_view& name) {
    if (p_ == end_) return false;
    if (*p_ == '"' || *p_ == '\'') return ParseString(name);
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
    name = arena_.Copy({start, static_cast<size_t>(stop - start)});
    return true;
  }

  bool ParseStringValue(Node*& out) {
    std::string_view text;
    if (!ParseString(text)) return false;
    out = NewNode(arena_, Kind::String);
    out->chars = text.data();
    out->size = static_cast<uint32_t>(text.size());
    return true;
  }

  // A quoted string (double or single quotes) copied into the arena as UTF-8.
  bool ParseString(std::string_view& text) {
    const char quote = *p_++;
    const char* start = p_;
    const char* p = p_;
    while (end_ - p >= 8 && !MayEndPlainRun(p, quote)) p += 8;
    for (; p < end_; ++p) {
      const char c = *p;
      if (c == quote) {
        text = arena_.Copy({start, static_cast<size_t>(p - start)});
        p_ = p + 1;
        return true;
      }
      if (c == '\\' || static_cast<unsigned char>(c) < 0x20) break;
    }
    p_ = p;
    scratch_.assign(start, p_);
    return ParseEscapedRest(quote, text);
  }

  bool ParseEscapedRest(char quote, std::string_view& text) {
    while (p_ < end_) {
      const char c = *p_;
      if (c == quote) {
        ++p_;
        text = arena_.Copy(scratch_);
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        scratch_.push_back(c);
        ++p_;
        continue;
      }
      if (++p_ == end_) return false;
      switch (*p_++) {
        case '"': scratch_.push_back('"'); break;
        case '\'': scratch_.push_back('\''); break;
        case '\\': scratch_.push_back('\\'); break;
        case '/': scratch_.push_back('/'); break;
        case 'b': scratch_.push_back('\b'); break;
        case 'f': scratch_.push_back('\f'); break;
        case 'n': scratch_.push_back('\n'); break;
        case 'r': scratch_.push_back('\r'); break;
        case 't': scratch_.push_back('\t'); break;
        case 'u':
          if (!ParseUnicodeEscape()) return false;
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
    AppendUtf8(scratch_, code_point);
    return true;
  }

  bool ParseLiteral(Node*& out, std::string_view word, Kind kind, bool truth) {
    if (static_cast<size_t>(end_ - p_) < word.size() || std::memcmp(p_, word.data(), word.size()) != 0) return false;
    p_ += word.size();
    out = NewNode(arena_, kind);
    if (kind == Kind::Boolean) out->boolean = truth;
    return true;
  }

  // RFC 8259 number. Integers that fit in 64 bits stay integers.
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
  bool ParseBareToken(Node*& out) {
    const char* start = p_;
    while (p_ < end_ && !ClosesElement(*p_)) ++p_;
    if (p_ == end_) return false;
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
  std::vector<Slot> members_;  // members of the objects being parsed, innermost last
  std::vector<Node*> items_;   // items of the arrays being parsed, innermost last
  std::string scratch_;        // a string with escapes being decoded
};

}  // namespace

Node* ParseDocument(std::string_view text, Arena& arena) {
  if (text.size() >= std::numeric_limits<uint32_t>::max()) return nullptr;
  return Parser(text, arena).Document();
}

}  // namespace tarvelo::json::detail
