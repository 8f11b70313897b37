// A day summary as the history archive keeps it: each mode in a few bytes of
// variable-length integers and single-precision figures (the precision the
// ratings are computed in), one after another, each after its length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/day_summary.h"

namespace tarvelo {

std::string EncodeModeDay(const ModeDay& day);
// Nothing when the bytes are not a ModeDay of this layout.
std::optional<ModeDay> DecodeModeDay(std::string_view bytes);

std::string EncodeDaySummary(const DaySummary& summary);
std::optional<DaySummary> DecodeDaySummary(std::string_view bytes);

}  // namespace tarvelo
