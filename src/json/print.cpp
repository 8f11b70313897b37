// Nodes to compact JSON text. Numbers never go through the C locale.
#include <charconv>
#include <cmath>
#include <string>

#include "json/node.h"

namespace tarvelo::json::detail {

namespace {

void AppendEscapedCharacter(std::string& out, unsigned char c) {
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: {
      static constexpr char kHex[] = "0123456789abcdef";
      const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
      out.append(escape, sizeof escape);
    }
  }
}

// Only the quote, the backslash and control characters are escaped; everything
// else, non-ASCII included, is written as it is.
void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  const char* run = text.data();
  const char* end = run + text.size();
  for (const char* p = run; p < end; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(run, p);
    AppendEscapedCharacter(out, c);
    run = p + 1;
  }
  out.append(run, end);
  out.push_back('"');
}

void AppendInteger(std::string& out, int64_t n) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, result.ptr);
}

// 15 significant digits, plain or exponent form as "%.15g" chooses. Infinities
// and NaN have no JSON form and print as null.
void AppendDouble(std::string& out, double d) {
  if (!std::isfinite(d)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general, 15);
  out.append(buffer, result.ptr);
}

// Exact decimal of a 1/10000 fixed-point value, without trailing zeros.
void AppendCurrency(std::string& out, int64_t ten_thousandths) {
  const uint64_t magnitude = ten_thousandths < 0 ? 0 - static_cast<uint64_t>(ten_thousandths)
                                                 : static_cast<uint64_t>(ten_thousandths);
  if (ten_thousandths < 0) out.push_back('-');
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude / 10000);
  out.append(buffer, result.ptr);
  uint64_t fraction = magnitude % 10000;
  if (fraction == 0) return;
  int digits = 4;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  char fraction_text[4] = {'0', '0', '0', '0'};
  for (int i = digits - 1; i >= 0; --i, fraction /= 10) fraction_text[i] = static_cast<char>('0' + fraction % 10);
  out.push_back('.');
  out.append(fraction_text, static_cast<size_t>(digits));
}

}  // namespace

void PrintTo(const Node* node, std::string& out) {
  switch (node->kind) {
    case Kind::Null: out += "null"; return;
    case Kind::Boolean: out += node->boolean ? "true" : "false"; return;
    case Kind::Double: AppendDouble(out, node->real); return;
    case Kind::Currency: AppendCurrency(out, node->integer); return;
    case Kind::Integer: AppendInteger(out, node->integer); return;
    case Kind::String: AppendQuoted(out, node->string()); return;
    case Kind::Object:
      out.push_back('{');
      for (uint32_t i = 0; i < node->size; ++i) {
        if (i != 0) out.push_back(',');
        AppendQuoted(out, node->members[i].name);
        out.push_back(':');
        PrintTo(node->members[i].value, out);
      }
      out.push_back('}');
      return;
    case Kind::Array:
      out.push_back('[');
      for (uint32_t i = 0; i < node->size; ++i) {
        if (i != 0) out.push_back(',');
        PrintTo(node->items[i], out);
      }
      out.push_back(']');
      return;
  }
}

}  // namespace tarvelo::json::detail
