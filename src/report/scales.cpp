#include "report/scales.h"

#include "model/tables.h"
#include "text/encoding.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

const ColourScale& BattlesByModeScale(int mode) {
  return scales::kBattlesByMode[mode >= 0 && mode < kModeCount ? mode : kModeAll];
}

const ColourScale& BattlesPerDayScale(int mode) {
  return mode == kModeAll ? scales::kBattlesPerDayAll : scales::kBattlesPerDayMode;
}

const ColourScale& MainRatingScale(std::string_view rating_name) {
  return rating_name == "WN8" ? scales::kWn8 : scales::kEff;
}

namespace {

// "c1".."c6".
std::string ClassNumbered(int k) { return std::string{'c', static_cast<char>('0' + k)}; }

// Hands `text` the pieces of `format` between its brackets and `bracket` each
// "[" and "]", in order.
template <class Text, class Bracket>
void WalkBrackets(std::string_view format, Text text, Bracket bracket) {
  size_t copied = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '[' && format[i] != ']') continue;
    text(format.substr(copied, i - copied));
    bracket(format[i]);
    copied = i + 1;
  }
  text(format.substr(copied));
}

void AppendBracket(char bracket, std::string_view css_class, std::string& out) {
  if (css_class.empty()) return;
  if (bracket == ']') {
    out.append("</span>");
  } else {
    out.append("<span class=\"").append(css_class).append("\">");
  }
}

}  // namespace

std::string ColourClass(const ColourScale& scale, double value) {
  const auto single = static_cast<float>(value);
  for (int k = 6; k >= 1; --k) {
    if (single >= scale.t[k - 1]) return ClassNumbered(k);
  }
  return {};
}

std::string BracketColour(std::string_view format, std::string_view css_class) {
  std::string result;
  result.reserve(format.size() + css_class.size() + 24);
  WalkBrackets(
      format, [&](std::string_view piece) { result.append(piece); },
      [&](char bracket) { AppendBracket(bracket, css_class, result); });
  return result;
}

// Called for every coloured cell of a page, so it formats straight onto `out`.
// With a class the spans part the format where the brackets stood, and no
// directive spans a bracket; without one the brackets go first, since the
// pieces on either side may join into one directive.
void AppendColouredValue(std::string& out, std::string_view format, double value, const ColourScale& scale,
                         double colour_value) {
  const FormatArg arg = value;
  Formatter formatter(out, std::span<const FormatArg>(&arg, 1));
  const std::string css_class = ColourClass(scale, colour_value);
  if (css_class.empty()) {
    formatter.Append(BracketColour(format, css_class));
    return;
  }
  WalkBrackets(
      format, [&](std::string_view piece) { formatter.Append(piece); },
      [&](char bracket) { AppendBracket(bracket, css_class, out); });
}

std::string ColouredValue(std::string_view format, double value, const ColourScale& scale, double colour_value) {
  std::string html;
  AppendColouredValue(html, format, value, scale, colour_value);
  return html;
}

std::string NextStepTooltip(const ColourScale& scale, double value) {
  const auto single = static_cast<float>(value);
  if (single > scale.t[5]) return {};
  float target = scale.t[1];
  for (int k = 5; k >= 2; --k) {
    if (single >= scale.t[k - 1]) {
      target = scale.t[k];
      break;
    }
  }
  const std::string_view format = scale.t[1] >= 10 ? "%.2f до %.0f" : "%.2f до %.2f";
  return Format(format, {static_cast<double>(target) - value, static_cast<double>(target)});
}

std::string RoleClass(std::string_view role) {
  std::string needle(1, ',');
  needle += LowerCase(role);
  needle += ',';
  for (size_t group = 0; group < ClanRoleGroups.size(); ++group) {
    std::string listed(1, ',');
    listed += ClanRoleGroups[group];
    listed += ',';
    if (Contains(listed, needle)) return ClassNumbered(static_cast<int>(group) + 1);
  }
  return {};
}

}  // namespace tarvelo
