#include "report/svg_chart.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "text/html_escape.h"

namespace tarvelo {

namespace {

// The drawing's own units; the page scales it to its width.
// about the width of the report column, so that the labels keep the page's size.
constexpr double kWidth = 480;
constexpr double kHeight = 130;
constexpr double kLeft = 46;  // room for the value labels
constexpr double kRight = 6;
constexpr double kTop = 8;
constexpr double kBottom = 18;  // room for the date labels

// A round top for the value axis: 1, 2 or 5 times a power of ten.
double AxisTop(double highest) {
  if (highest <= 0) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(highest)));
  for (double step : {1.0, 2.0, 5.0, 10.0}) {
    if (highest <= step * power) return step * power;
  }
  return 10 * power;
}

// A coordinate: one decimal, a point whatever the locale.
std::string Number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, std::round(value * 10) / 10, std::chars_format::fixed, 1);
  return std::string(text, end.ptr);
}

std::string AxisLabel(double value, int decimals) {
  return Format("%." + std::to_string(decimals) + "n", {value});
}

class Plot {
 public:
  Plot(const Chart& chart, double low, double top)
      : first_(std::floor(chart.first)), span_(std::max(1.0, std::floor(chart.last) - first_ + 1)), low_(low),
        top_(top) {}

  double DayWidth() const { return (kWidth - kLeft - kRight) / span_; }
  double X(DateTime day) const { return kLeft + (std::floor(day) - first_ + 0.5) * DayWidth(); }
  double Y(double value) const {
    const double share = top_ > low_ ? (value - low_) / (top_ - low_) : 0;
    return kHeight - kBottom - std::clamp(share, 0.0, 1.0) * (kHeight - kTop - kBottom);
  }

 private:
  double first_, span_, low_, top_;
};

void Axes(std::string& svg, const Chart& chart, const Plot& plot, double low, double top) {
  for (double value : {low, (low + top) / 2, top}) {
    const std::string y = Number(plot.Y(value));
    svg += "<line class=\"grid\" x1=\"" + Number(kLeft) + "\" y1=\"" + y + "\" x2=\"" + Number(kWidth - kRight) +
           "\" y2=\"" + y + "\"/>";
    svg += "<text class=\"axis\" x=\"" + Number(kLeft - 6) + "\" y=\"" + y + "\" text-anchor=\"end\" dy=\"4\">" +
           AxisLabel(value, chart.decimals) + "</text>";
  }
  const DateTime first = std::floor(chart.first);
  const DateTime last = std::floor(chart.last);
  const DateTime middle = std::floor((first + last) / 2);
  for (const auto& [day, anchor] : {std::pair{first, "start"}, std::pair{middle, "middle"}, std::pair{last, "end"}}) {
    if (day == middle && (middle == first || middle == last)) continue;
    const double x = std::clamp(plot.X(day), kLeft, kWidth - kRight);
    svg += "<text class=\"axis\" x=\"" + Number(x) + "\" y=\"" + Number(kHeight - 4) + "\" text-anchor=\"" + anchor +
           "\">" + FormatDate(day) + "</text>";
  }
}

std::string MarkClass(const ChartDay& day, const char* own) {
  return day.colour_class.empty() ? own : day.colour_class;
}

void Marks(std::string& svg, const Chart& chart, const Plot& plot, double low) {
  const double width = std::max(1.0, plot.DayWidth() * 0.7);
  for (const ChartDay& day : chart.days) {
    if (!day.value) continue;
    const std::string title = "<title>" + EscapeHtml(day.tooltip) + "</title>";
    if (chart.marks == ChartMarks::kBars) {
      const double y = plot.Y(*day.value);
      const double base = plot.Y(low);
      svg += "<rect class=\"" + MarkClass(day, "bar") + "\" x=\"" + Number(plot.X(day.day) - width / 2) + "\" y=\"" +
             Number(std::min(y, base)) + "\" width=\"" + Number(width) + "\" height=\"" +
             Number(std::max(std::abs(base - y), 1.0)) + "\">" + title + "</rect>";
    } else {
      svg += "<circle class=\"" + MarkClass(day, "point") + "\" cx=\"" + Number(plot.X(day.day)) + "\" cy=\"" +
             Number(plot.Y(*day.value)) + "\" r=\"3.5\">" + title + "</circle>";
    }
  }
}

// The line through the days that have a point of it, broken where a calendar
// day has none.
void Line(std::string& svg, const Chart& chart, const Plot& plot) {
  std::string path;
  std::optional<DateTime> previous;
  for (const ChartDay& day : chart.days) {
    if (!day.line) {
      previous.reset();
      continue;
    }
    const bool joins = previous && std::floor(day.day) - *previous == 1;
    // In steps: one expression of literal + string draws a false warning from g++ 12.
    if (!path.empty()) path += ' ';
    path += joins ? 'L' : 'M';
    path += Number(plot.X(day.day));
    path += ' ';
    path += Number(plot.Y(*day.line));
    previous = std::floor(day.day);
  }
  if (path.empty()) return;
  svg += "<path class=\"line\" d=\"";
  svg += path;
  svg += "\"/>";
}

}  // namespace

std::string SvgChart(const Chart& chart) {
  double low = 0;
  double high = 0;
  for (const ChartDay& day : chart.days) {
    for (const std::optional<double>& value : {day.value, day.line}) {
      if (!value) continue;
      low = std::min(low, *value);
      high = std::max(high, *value);
    }
  }
  // Whole-number labels need an even top for the middle line.
  const double top = std::max(AxisTop(high), chart.decimals == 0 ? 2.0 : 0.0);
  const double bottom = low < 0 ? -AxisTop(-low) : 0;
  const Plot plot(chart, bottom, top);
  std::string svg = "<figure class=\"chart\"><figcaption>" + EscapeHtml(chart.title) +
                    "</figcaption><svg viewBox=\"0 0 " + Number(kWidth) + " " + Number(kHeight) +
                    "\" width=\"100%\" role=\"img\" aria-label=\"" + EscapeHtml(chart.title) + "\">";
  Axes(svg, chart, plot, bottom, top);
  Marks(svg, chart, plot, bottom);
  Line(svg, chart, plot);
  svg += "</svg></figure>";
  return svg;
}

}  // namespace tarvelo
