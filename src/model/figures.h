// The figures of one snapshot, or of the period between two snapshots, as a
// JSON object: the selected mode's account block, ExpTotals, the aggregates and
// every vehicle's block of that mode. What `tarvelo --figures` prints.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "model/records.h"
#include "model/reference.h"

namespace tarvelo {

struct FiguresOptions {
  std::string mode_key = "all";  // a BattleModes key
  std::string account_id;        // empty: the first member of "data"
};

// The JSON text of the figures of `account` in `mode`.
std::string FiguresJson(const RWOTAccount& account, int mode);

// Parses the snapshot text and writes its figures to `out`, one JSON object
// and a line end. Returns 0, or 1 with a message on `err` when the text is not
// a snapshot of the account, or 2 when the mode key is unknown.
int WriteFigures(std::string_view snapshot_text, const FiguresOptions& options, const ReferenceData& reference,
                 std::ostream& out, std::ostream& err);

// The same for the period record of the newer snapshot since the older one,
// both parsed alike; the older one must hold the same account.
int WritePeriodFigures(std::string_view newer_text, std::string_view older_text, const FiguresOptions& options,
                       const ReferenceData& reference, std::ostream& out, std::ostream& err);

}  // namespace tarvelo
