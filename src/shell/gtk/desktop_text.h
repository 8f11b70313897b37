// Small text helpers of the desktop front end, free of toolkit types.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// The picture a "res://…/PNG/NAME" address names: the text after the last "/PNG/" (letter
// case ignored), without query and fragment; empty when the address names none.
std::string_view ResourceNameOfUri(std::string_view uri);

// A box text as the toolkit shows it: each "\r\n" (and a lone "\r") becomes "\n".
std::string BoxText(std::string_view text);

// A page's body text on one line for the trace: line breaks become " | ", runs of blanks
// (no-break spaces too) one blank, cut to `limit` bytes at a character boundary.
std::string OneLine(std::string_view text, size_t limit);

// Milliseconds since this process started (from /proc/self/stat); -1 when unknown.
long MillisecondsSinceProcessStart();

}  // namespace tarvelo
