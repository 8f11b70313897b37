#include "acquire/side_facts.h"

namespace tarvelo {

const CampaignSettings& Campaign() {
  static const CampaignSettings campaign{"steel_corrida_first_step",
                                         "V кампания &laquo;Стальная коррида&raquo;", EncodeDate(2016, 11, 13),
                                         EncodeDate(2016, 12, 12), 7};
  return campaign;
}

bool InsideCampaignWindow(DateTime date, const CampaignSettings& campaign) {
  return date > campaign.start && date < campaign.end + campaign.days_after_end;
}

}  // namespace tarvelo
