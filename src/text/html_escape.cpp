#include "text/html_escape.h"

#include "text/replace.h"

namespace tarvelo {

std::string EscapeHtml(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': result += "&amp;"; break;
      case '<': result += "&lt;"; break;
      case '>': result += "&gt;"; break;
      case '"': result += "&quot;"; break;
      case '\'': result += "&#39;"; break;
      case '|': result += "&#124;"; break;
      default: result += c;
    }
  }
  return result;
}

// The script escape comes first: the attribute's entities are decoded before
// the script reads its string.
std::string EscapeScriptString(std::string_view text) {
  return EscapeHtml(ReplaceEach(text, {"\\", "'", "\r", "\n"}, {"\\\\", "\\'", "\\r", "\\n"}));
}

}  // namespace tarvelo
