// Charts of days drawn as inline SVG, so a page stays one self-contained file:
// a calendar axis (a day without a value is a gap, not squeezed out), the
// values as bars or points, optionally a line, every mark with a tooltip. The
// chart scales with the width of the page.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/russian.h"

namespace tarvelo {

enum class ChartMarks { kBars, kPoints };

struct ChartDay {
  DateTime day = 0;
  std::optional<double> value;  // the mark; nothing: none that day
  std::optional<double> line;   // the line's point; nothing: the line breaks there
  std::string colour_class;     // a colour class of the page ("c4") for the mark; empty: the chart's colour
  std::string tooltip;          // plain text
};

struct Chart {
  std::string title;  // plain text
  ChartMarks marks = ChartMarks::kBars;
  DateTime first = 0;  // the calendar shown, whole days
  DateTime last = 0;
  int decimals = 0;    // of the axis labels
  std::vector<ChartDay> days;
};

std::string SvgChart(const Chart& chart);

}  // namespace tarvelo
