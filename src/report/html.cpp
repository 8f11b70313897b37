#include "report/html.h"

#include <algorithm>
#include <cctype>

#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool KeptInFileUrl(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

// Each "&name=value" (or "&flag") with its value escaped. A value never holds
// "&": the request parser ends it there.
std::string EscapeOptionValues(std::string_view options, std::string (*escape)(std::string_view)) {
  std::string escaped;
  size_t at = 0;
  while (at < options.size()) {
    size_t next = options.find('&', at + 1);
    if (next == std::string_view::npos) next = options.size();
    const std::string_view option = options.substr(at, next - at);
    const size_t equals = option.find('=');
    if (equals == std::string_view::npos) {
      escaped += escape(option);
    } else {
      escaped += std::string(option.substr(0, equals + 1)) + escape(option.substr(equals + 1));
    }
    at = next;
  }
  return escaped;
}

}  // namespace

std::string DoCmdCall(std::string_view command, std::string_view parameter, std::string_view options) {
  return "return doCmd('" + std::string(command) + "','" + EscapeScriptString(parameter) +
         EscapeOptionValues(options, EscapeScriptString) + "')";
}

std::string SearchHref(std::string_view site, std::string_view request, std::string_view options) {
  return std::string(site) + "?search=" + EscapeHtml(request) + EscapeOptionValues(options, EscapeHtml);
}

std::string SearchLink(std::string_view site, std::string_view request, std::string_view inner_html) {
  return "<a href=\"" + SearchHref(site, request) + "\" onclick=\"" + DoCmdCall("search", request) + "\">" +
         std::string(inner_html) + "</a>";
}

std::string Greyed(std::string_view html) { return "<span class=\"c0\">" + std::string(html) + "</span>"; }

std::string BrowseLink(std::string_view url_html, std::string_view inner_html, std::string_view attributes_html) {
  std::string link = "<a href=\"" + std::string(url_html) + "\" target=\"_blank\" onclick=\"return doCmd('browse',this.href)\"";
  if (!attributes_html.empty()) link.append(" ").append(attributes_html);
  return link + ">" + std::string(inner_html) + "</a>";
}

std::string PlainColour(std::string_view colour) {
  const auto all_of = [](std::string_view text, auto test) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) { return test(static_cast<unsigned char>(c)); });
  };
  if (colour.starts_with('#')) {
    const std::string_view digits = colour.substr(1);
    const bool sized = digits.size() == 3 || digits.size() == 6;
    return sized && all_of(digits, [](unsigned char c) { return std::isxdigit(c) != 0; }) ? std::string(colour) : "";
  }
  return colour.size() <= 20 && all_of(colour, [](unsigned char c) { return std::isalpha(c) != 0; }) ? std::string(colour)
                                                                                                      : "";
}

std::string FileUrl(std::string_view path) {
  std::string url = "file://";
  if (!path.starts_with("/")) url += '/';
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c == '\\' ? '/' : c);
    if (KeptInFileUrl(byte)) {
      url += static_cast<char>(byte);
    } else {
      url += '%';
      url += kHexDigits[byte >> 4];
      url += kHexDigits[byte & 0x0F];
    }
  }
  return url;
}

}  // namespace tarvelo
