#include "acquire/url_templates.h"

#include <utility>

#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

std::string RegionFromSetting(std::string_view setting) {
  std::string region = LowerCase(Trim(setting));
  return region.empty() ? std::string(kDefaultRegion) : region;
}

std::string ApplicationIdForRegion(std::string_view region, std::string_view configured_id) {
  if (region != kDefaultRegion) return std::string(kDemoApplicationId);
  return std::string(configured_id.empty() ? kBuiltInApplicationId : configured_id);
}

UrlSettings MakeUrlSettings(Hosts hosts, std::string_view region_setting, std::string_view application_id_setting) {
  UrlSettings settings;
  settings.hosts = std::move(hosts);
  settings.region = RegionFromSetting(region_setting);
  settings.application_id = ApplicationIdForRegion(settings.region, Trim(application_id_setting));
  return settings;
}

std::string FillRegion(std::string_view url_template, std::string_view region) {
  return ReplaceAll(url_template, "%REGION%", region);
}

std::string FillUrlTemplate(std::string_view url_template, const AccountRef& account, const ClanRef& clan,
                            const UrlSettings& settings) {
  std::string url = ReplaceAll(url_template, "%SOURCE_TOKEN%", settings.application_id);
  url = ReplaceAll(url, "%ACCOUNT_NAME%", account.nickname);
  url = ReplaceAll(url, "%ACCOUNT_ID%", account.id);
  url = ReplaceAll(url, "%CLAN_TAG%", clan.tag);
  url = ReplaceAll(url, "%CLAN_ID%", clan.id);
  return FillRegion(url, settings.region);
}

}  // namespace tarvelo
