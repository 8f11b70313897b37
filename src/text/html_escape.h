// The program's one escape for outside text in HTML: answers, documents and
// typed text, in element text, attributes and single-quoted script strings.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// Text from outside made safe as element text and as the value of a double- or
// single-quoted attribute. "|" is escaped too: in the report formats it
// separates table cells.
std::string EscapeHtml(std::string_view text);

// Text made safe inside a single-quoted script string that itself stands in an
// attribute, as in onclick="return doCmd('search','TEXT')".
std::string EscapeScriptString(std::string_view text);

}  // namespace tarvelo
