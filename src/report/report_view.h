// What a search asks the reports to show: the battle mode, the period and the
// option suffixes that the report's own links hand on.
#pragma once

#include <string>

namespace tarvelo {

struct ReportView {
  int mode = 0;             // index into BattleModes, 0 = all battles
  std::string mode_suffix;  // "&mode=" + key, empty for all battles
  int days = 0;             // the "&days=" number: 0 all time, > 0 a period, -1/-2 the small layouts
  std::string letters;      // "", "o" or "b"
  std::string days_suffix;  // "&days=" + number + letters, empty for 0
};

}  // namespace tarvelo
