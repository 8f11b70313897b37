#include "acquire/addresses.h"

#include <algorithm>
#include <cctype>
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

Hosts DefaultHosts(std::string_view region) {
  struct RegionHosts {
    std::string_view region;
    std::string_view api;
    std::string_view game_portal;
    std::string_view clan_portal;
  };
  static constexpr RegionHosts kRegions[] = {
      {"ru", "https://api.tanki.su", "https://tanki.su", "https://tanki.su"},
      {"eu", "https://api.worldoftanks.eu", "https://worldoftanks.eu", "https://eu.wargaming.net"},
      {"na", "https://api.worldoftanks.com", "https://worldoftanks.com", "https://na.wargaming.net"},
      {"asia", "https://api.worldoftanks.asia", "https://worldoftanks.asia", "https://asia.wargaming.net"},
  };
  Hosts hosts;
  for (const RegionHosts& known : kRegions) {
    if (known.region != region) continue;
    hosts.Api = known.api;
    hosts.GamePortal = known.game_portal;
    hosts.ClanPortal = known.clan_portal;
  }
  return hosts;
}

std::string FillRegion(std::string_view url_template, std::string_view region) {
  return ReplaceAll(url_template, "%REGION%", region);
}

namespace {

bool IsLowerLetters(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The host, in lower case, of a default API address: the template with any region
// code in it, or the RU realm's own.
bool IsDefaultApiHost(std::string_view host) {
  const std::string own_api = DefaultHosts(kDefaultRegion).Api;
  if (host == std::string_view(own_api).substr(own_api.find("://") + 3)) return true;
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

std::string PercentEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(value.size());
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string FillUrlTemplate(std::string_view url_template, const AccountRef& account, const ClanRef& clan,
                            const UrlSettings& settings) {
  // The region goes in first: values are encoded, so no later replacement can
  // find a placeholder inside one.
  std::string url = FillRegion(url_template, settings.region);
  url = ReplaceAll(url, "%SOURCE_TOKEN%", PercentEncode(settings.application_id));
  url = ReplaceAll(url, "%ACCOUNT_NAME%", PercentEncode(account.nickname));
  url = ReplaceAll(url, "%ACCOUNT_ID%", PercentEncode(account.id));
  url = ReplaceAll(url, "%CLAN_TAG%", PercentEncode(clan.tag));
  return ReplaceAll(url, "%CLAN_ID%", PercentEncode(clan.id));
}

}  // namespace tarvelo
