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

}  // namespace

std::string ColourClass(const ColourScale& scale, double value) {
  const auto single = static_cast<float>(value);
  for (int k = 6; k >= 1; --k) {
    if (single >= scale.t[k - 1]) return ClassNumbered(k);
  }
  return {};
}

// Called for every coloured cell of a page: one pass, no pattern set.
std::string ColouredValue(std::string_view format, double value, const ColourScale& scale, double colour_value) {
  return Format(BracketColour(format, ColourClass(scale, colour_value)), {value});
}

std::string BracketColour(std::string_view format, std::string_view css_class) {
  std::string result;
  result.reserve(format.size() + css_class.size() + 24);
  size_t copied = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '[' && format[i] != ']') continue;
    result.append(format.substr(copied, i - copied));
    copied = i + 1;
    if (css_class.empty()) continue;
    if (format[i] == ']') {
      result.append("</span>");
    } else {
      result.append("<span class=\"").append(css_class).append("\">");
    }
  }
  result.append(format.substr(copied));
  return result;
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
