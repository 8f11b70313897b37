// The HTML pieces every page is made of: the program's one escape for outside
// text (in element text, in attributes and in single-quoted script strings),
// the links that call back into the program, and file addresses.
#pragma once

#include <string>
#include <string_view>

// EscapeHtml and EscapeScriptString: the escape lives below the loaders, which
// quote outside text in their messages too.
#include "text/html_escape.h"

namespace tarvelo {

// "return doCmd('command','parameter' + options)": how a page hands a command to
// the program. `options` are request options ("&mode=random&days=3"): their
// names stay as they are written, their values are escaped.
std::string DoCmdCall(std::string_view command, std::string_view parameter, std::string_view options = {});

// The address of a search on the program's web site: site + "?search=" + request + options.
std::string SearchHref(std::string_view site, std::string_view request, std::string_view options = {});

// <a href="SITE?search=REQUEST" onclick="return doCmd('search','REQUEST')">INNER</a>;
// `inner_html` goes in as it is.
std::string SearchLink(std::string_view site, std::string_view request, std::string_view inner_html);

// Greyed text: "<span class=\"c0\">" + html + "</span>".
std::string Greyed(std::string_view html);

// A link that opens an address in the user's browser through the program.
// `url_html` is the address as it goes into the attribute: outside parts escaped.
// `attributes_html` ("title=\"…\" style=\"…\"") go into the link as they are.
std::string BrowseLink(std::string_view url_html, std::string_view inner_html, std::string_view attributes_html = {});

// A colour as a style value may hold it: "#" and 3 or 6 hex digits, or a
// colour name of letters only; empty for anything else.
std::string PlainColour(std::string_view colour);

// "file://" + the absolute path, percent-encoded where an address needs it.
std::string FileUrl(std::string_view path);

}  // namespace tarvelo
