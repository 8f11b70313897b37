// The period delta cell of a statistic row and the wins-needed tooltip of a
// win-percent cell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelo {

// The row's fourth cell, starting with the cell separator: a gain in green with
// "+", a loss in red with a dash, both with two decimals; a change that rounds
// to zero as a greyed "0,00"; exactly zero gives the note greyed, or the empty
// progress cell when there is no note.
std::string DeltaCell(double delta, std::string_view note = {});

// The empty fourth cell of a row without a delta.
inline constexpr std::string_view kEmptyProgressCell = "</td><td class=\"progressEmpty\">&nbsp;";

// In the all-time view (period_days <= 0) and with fewer wins than battles:
// `format` with its "|" replaced by a cell titled "W1 до P1% / W2 до P2%", the
// wins in a row that lift the win percent to the next two half-percent steps.
// The percent signs come out doubled, for the format to be applied afterwards.
// Otherwise, and when no step below 100% is left, `format` unchanged.
std::string WinsNeededTooltip(std::string_view format, int64_t battles, int64_t wins, int period_days);

}  // namespace tarvelo
