// The layouts of the player report: which rows it has, in which order, with
// which caption, key and cell formats, whether a row starts expanded, how it
// behaves in a period view and in which battle modes it is shown.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/records.h"

namespace tarvelo {

struct AccountLayoutRow {
  std::string_view caption;  // HTML of the first cell or of the section header
  // "[main]" + block name, "[section]" + section name, or a statistic key.
  std::string_view key;
  // Absolute-cell format "|" relative-cell format; "[" … "]" marks the coloured part.
  std::string_view format;
  std::string_view visible;  // "1" expanded, "0" a collapsible child row
  std::string_view level;    // "0".."4": how the row behaves in a period view
  std::string_view mask;     // one "0"/"1" per battle mode, in BattleModes order
};
using AccountLayout = std::span<const AccountLayoutRow>;

AccountLayout FullAccountLayout();       // seventy-eight rows
AccountLayout SemaphoreAccountLayout();  // the day strip and the main figures
AccountLayout ClaimAccountLayout();      // seven compact blocks

// The layout a "&days=" number asks for: -1 the semaphore layout, -2 the claim
// layout, anything else the full one.
AccountLayout AccountLayoutForDays(int days);

// The caption trimmed, without a " (" … ")" tail and without ":".
std::string CleanCaption(std::string_view caption);

// Per layout row: the cleaned caption, and whether the row starts expanded in
// battle mode `mode` (default-visible rows always; a child row when the mode's
// key is longer than 7 characters and occurs in the lower-cased row key).
RSettings BuildRowState(AccountLayout layout, int mode);

}  // namespace tarvelo
