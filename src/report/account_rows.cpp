#include "report/account_rows.h"

#include <array>
#include <cstdlib>

#include "model/tables.h"
#include "report/delta.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/encoding.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

namespace {

constexpr std::string_view kMainMarker = "[main]";
constexpr std::string_view kSectionMarker = "[section]";
constexpr std::string_view kCellSeparator = "</td><td>";
constexpr std::string_view kSpanningSeparator = "</td><td colspan=\"2\">";

std::string GreyedCaption(std::string_view caption) { return caption.empty() ? std::string() : Greyed(caption); }

// An empty side of the format shows a blank cell.
std::string AdjustedFormat(std::string_view format) {
  if (format.starts_with("|")) return "&nbsp;" + std::string(format);
  if (format.ends_with("|")) return std::string(format) + "&nbsp;";
  return std::string(format);
}

bool ShownInMode(const AccountLayoutRow& row, int mode) {
  const auto position = static_cast<size_t>(mode);
  return position < row.mask.size() && row.mask[position] == '1';
}

bool Visible(const AccountLayoutRow& row, bool flag, size_t index, int period_days) {
  if (flag || index == 0) return true;
  if (period_days <= 0) return false;
  return row.level == "2" || row.level == "3";
}

std::string RowId(std::string_view key) { return RemoveAll(key, {"."}); }

// The bare value with the row format applied, as an integer, a number or a text.
std::string FormatRawValue(std::string_view format, const std::string& value) {
  if (Contains(format, "d")) return Format(format, {std::atoll(value.c_str())});
  if (Contains(format, "f") || Contains(format, "n")) return Format(format, {std::atof(value.c_str())});
  return Format(format, {value});
}

// out += TrimmedView(head + tail), without joining the two.
void AppendTrimmedJoin(std::string_view head, std::string_view tail, std::string& out) {
  const std::string_view head_core = TrimmedView(head);
  const std::string_view tail_core = TrimmedView(tail);
  if (tail_core.empty()) {
    out += head_core;
  } else if (head_core.empty()) {
    out += tail_core;
  } else {
    out += head.substr(static_cast<size_t>(head_core.data() - head.data()));
    out += tail.substr(0, static_cast<size_t>(tail_core.data() + tail_core.size() - tail.data()));
  }
}

class RowRenderer {
 public:
  RowRenderer(const RSettings& state, int period_days, int mode, const RowContentSource& content)
      : state_(state), period_days_(period_days), mode_(mode), content_(content) {}

  // Appends the row to `out`; false when it is not emitted.
  bool Render(const AccountLayoutRow& row, size_t index, std::string& out) const {
    if (period_days_ > 0 && row.level == "0") return false;
    if (!ShownInMode(row, mode_)) return false;

    const std::string format = AdjustedFormat(row.format);
    RowKind kind = RowKind::Plain;
    std::string key(row.key);
    if (Contains(key, kMainMarker)) {
      kind = RowKind::MainBlock;
      key = ReplaceAll(key, kMainMarker, "");
    } else if (Contains(key, "[section")) {
      kind = RowKind::Section;
      key = ReplaceAll(key, kSectionMarker, "");
    }
    const bool hidden = !Visible(row, index < state_.flags.size() && state_.flags[index], index, period_days_);
    const RowContent content = content_({row, key, format, kind, index, hidden});
    if (content.no_data || content.value == "NoData") return false;

    std::string caption = Caption(row, kind, index, content);
    if (kind == RowKind::Plain && IsZeroValueText(content.value)) {
      if (period_days_ <= 0) {
        caption = GreyedCaption(caption);
      } else {
        const bool kept = row.level == "3" || row.level == "4" || content.kept_when_zero;
        if (!kept) return false;
        if (!Contains(content.value, "%") && row.level < "4") caption = GreyedCaption(caption);
      }
    }

    const std::string_view separator = Contains(format, "|") ? kCellSeparator : kSpanningSeparator;
    out += "<tbody id=\"" + RowId(key) + "\"" + (hidden ? " class=\"hide\"" : "") + ">";
    out += kind == RowKind::Plain ? "<tr" + content.row_attributes + "><td>" : "<tr class=\"noHover\"><td colspan=\"4\">";
    if (kind == RowKind::Plain) caption += separator;

    const std::string& value = content.value;
    if (!content.raw || value.empty() || Contains(value, " ") || Contains(value, "|")) {
      if (Contains(caption, "|") || Contains(value, "|")) {
        out += TrimmedView(ReplaceAll(caption + value, "|", separator));
      } else {
        // A section's value is most of the page: it goes onto the page uncopied.
        AppendTrimmedJoin(caption, value, out);
      }
    } else {
      const std::string cell_format = BracketColour(ReplaceAll(format, "|", separator), content.css_class);
      out += caption + FormatRawValue(cell_format, value);
    }
    if (content.fourth_cell) {
      out += *content.fourth_cell;
    } else if (kind != RowKind::Section) {
      out += kEmptyProgressCell;
    }
    out += "</td></tr></tbody>";
    return true;
  }

 private:
  static std::string Caption(const AccountLayoutRow& row, RowKind kind, size_t index, const RowContent& content) {
    switch (kind) {
      case RowKind::MainBlock:
        return index == 0 ? "" : "<br />";
      case RowKind::Section:
        return "<br />" + content.after_break + content.header_extra +
               SectionCaption(content.caption.value_or(std::string(row.caption)) + content.caption_suffix);
      case RowKind::Plain:
        break;
    }
    return Trim(row.caption);
  }

  const RSettings& state_;
  int period_days_;
  int mode_;
  const RowContentSource& content_;
};

}  // namespace

bool IsZeroValueText(std::string_view value) {
  for (std::string_view whole : {"0", "0,00", "0,0", "0%"}) {
    if (value == whole) return true;
  }
  for (std::string_view start : {"0 (", "0/", "0|", "0,00|"}) {
    if (value.starts_with(start)) return true;
  }
  for (std::string_view part : {"нет", ">0<", ">0,00<", ">0,00%<", ">0,0<", ">0%<"}) {
    if (Contains(value, part)) return true;
  }
  return value.ends_with("|0");
}

std::string SectionCaption(std::string_view caption) {
  if (Contains(caption, "sectionHdr")) return std::string(caption);
  size_t end = caption.find(" –");
  if (end == std::string_view::npos) end = caption.find(" (");
  if (end == std::string_view::npos) end = caption.find(" <");
  if (end == std::string_view::npos) end = caption.size();
  return "<b class=\"sectionHdr\">" + std::string(caption.substr(0, end)) + "</b>" +
         std::string(caption.substr(end));
}

LayoutRendering RenderLayoutRows(AccountLayout layout, const RSettings& state, int period_days, int mode,
                                 const RowContentSource& content) {
  LayoutRendering rendering;
  const RowRenderer renderer(state, period_days, mode, content);
  for (size_t index = 0; index < layout.size(); ++index) {
    const AccountLayoutRow& row = layout[index];
    if (row.mask.size() < static_cast<size_t>(kModeCount)) {
      rendering.errors.push_back("Обнаружено несоответствие в параметрах отображения данных (" +
                                 std::string(row.caption) + ").");
    }
    if (renderer.Render(row, index, rendering.rows)) rendering.rows += "\r\n";
  }
  return rendering;
}

}  // namespace tarvelo
