#include "acquire/url_templates.h"

#include <algorithm>
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

namespace {

bool IsLowerLetters(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The host, in lower case, of the default API address with any region code in it.
bool IsDefaultApiHost(std::string_view host) {
  const std::string_view pattern = kDefaultApiHost.substr(kDefaultApiHost.find("://") + 3);
  const size_t marker = pattern.find("%REGION%");
  const std::string_view prefix = pattern.substr(0, marker);
  const std::string_view suffix = pattern.substr(marker + std::string_view("%REGION%").size());
  return host.size() > prefix.size() + suffix.size() && host.starts_with(prefix) && host.ends_with(suffix) &&
         IsLowerLetters(host.substr(prefix.size(), host.size() - prefix.size() - suffix.size()));
}

}  // namespace

std::string OnConfiguredApiHost(std::string_view url, const UrlSettings& settings) {
  const size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos) return std::string(url);
  const size_t host_end = std::min(url.find_first_of("/?#", scheme_end + 3), url.size());
  const std::string origin = LowerCase(url.substr(0, host_end));
  const std::string_view scheme = std::string_view(origin).substr(0, scheme_end);
  if ((scheme != "http" && scheme != "https") || !IsDefaultApiHost(std::string_view(origin).substr(scheme_end + 3))) {
    return std::string(url);
  }
  return FillRegion(settings.hosts.Api, settings.region) + std::string(url.substr(host_end));
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
