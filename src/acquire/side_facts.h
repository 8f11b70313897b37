// What the auxiliary sources find out that pages show as it is: the fame
// points of the clan-war campaign. Plain values, no disk and no network.
#pragma once

#include <cstdint>
#include <string>

#include "text/russian.h"

namespace tarvelo {

// The clan-war campaign whose fame points are shown (process-wide constants).
struct CampaignSettings {
  std::string key;
  std::string title;
  DateTime start = 0;
  DateTime end = 0;
  int days_after_end = 0;
};
const CampaignSettings& Campaign();

// Later than the start date and earlier than the end date plus the days shown after it.
bool InsideCampaignWindow(DateTime date, const CampaignSettings& campaign = Campaign());

struct AccountFamePoints {
  int32_t points = 0;
  int32_t position = 0;
  std::string front_name;
};

struct ClanFamePoints {
  int32_t points = 0;
  int32_t bonus_points = 0;
  int32_t position = 0;
};

}  // namespace tarvelo
