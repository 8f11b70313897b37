// The generic rendering of a player-report layout: one table row (or one
// section block) per layout row, in layout order, with its cells, its colour,
// its greying of zero values and its collapsed state. What each key shows comes
// from a content source.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"
#include "report/account_layout.h"

namespace tarvelo {

// What a key puts into its row.
struct RowContent {
  bool no_data = false;  // the row is not emitted
  // The value text: HTML already formatted with the row format, where "|"
  // still separates the absolute from the relative cell. With `raw` set it is
  // a bare value that the row format is applied to.
  std::string value;
  bool raw = false;
  std::string css_class;                   // the coloured part of a raw value
  std::optional<std::string> fourth_cell;  // replaces the empty progress cell
  std::string row_attributes;              // after "<tr": a title, a click
  bool kept_when_zero = false;             // a zero value stays in a period view
  // Sections only: the caption instead of the layout's, appended to the
  // caption, floated before it, and put right after the "<br />" that opens
  // the header.
  std::optional<std::string> caption;
  std::string caption_suffix;
  std::string header_extra;
  std::string after_break;
};

enum class RowKind { Plain, MainBlock, Section };

// What the content source is asked for.
struct RowRequest {
  const AccountLayoutRow& row;
  std::string_view key;     // without "[main]" / "[section]"
  std::string_view format;  // with "&nbsp;" for an empty side
  RowKind kind;
  size_t index;             // counts every layout row
  bool hidden;              // the row starts collapsed
};
using RowContentSource = std::function<RowContent(const RowRequest&)>;

struct LayoutRendering {
  std::string rows;
  std::vector<std::string> errors;  // one message box text per malformed layout row
};

// The rows of `layout` (without the table around them) for battle mode `mode`
// and the "&days=" number `period_days`, expanded as `state` says.
LayoutRendering RenderLayoutRows(AccountLayout layout, const RSettings& state, int period_days, int mode,
                                 const RowContentSource& content);

// Whether a value text reads as zero ("0", "0,00", "0|", ">0%<", "нет", …).
bool IsZeroValueText(std::string_view value);

// "<b class=\"sectionHdr\">" + caption with the closing tag before its first
// " –", else " (", else " <", else at its end; a caption that already holds a
// "sectionHdr" stays as it is.
std::string SectionCaption(std::string_view caption);

}  // namespace tarvelo
