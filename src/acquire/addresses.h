// Addresses of the outside services: their hosts, the region and the
// application id, and the templates with placeholders that the loaders fill
// for their requests and the pages for their links. Plain text work, no
// network.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

inline constexpr std::string_view kDefaultRegion = "ru";
inline constexpr std::string_view kBuiltInApplicationId = "5c3e9a7d1b2f4860a9e7c1d3b5f70246";
// The id sent to the API of any region but the default one.
inline constexpr std::string_view kDemoApplicationId = "demo";

inline constexpr std::string_view kDefaultApiHost = "https://api.worldoftanks.%REGION%";
// The community's daily table of WN8 expected values (a whole address).
inline constexpr std::string_view kDefaultExpectedValues = "https://static.modxvm.com/wn8-data-exp/json/wn8exp.json";

// Scheme and host (optionally a port) of every service the program fetches from;
// "%REGION%" in them is replaced by the region code. The members are named as the
// keys of the settings group [Hosts].
struct Hosts {
  std::string Api = std::string(kDefaultApiHost);  // the publisher's API
  std::string GamePortal = "https://worldoftanks.%REGION%";  // fame points
  std::string ClanPortal = "https://%REGION%.wargaming.net";  // clan emblems
  std::string Replays = "https://wotreplays.%REGION%";
  std::string Location = "https://wotext.%REGION%";
  std::string Alliance = "https://ivanerr.%REGION%";
  std::string Site = "https://tarvelo.example.org";  // version page and executable
  // Not a host: the whole address of the WN8 expected values table.
  std::string ExpectedValues = std::string(kDefaultExpectedValues);
};

// The hosts a region reaches by default: the RU realm's API and portals are served
// by their own operator (api.tanki.su, tanki.su), eu, na and asia by the publisher's
// hosts of their top-level domain (.eu, .com, .asia). Another region gets the
// templates of Hosts{}; the side sites keep their templates in every region.
Hosts DefaultHosts(std::string_view region);

// What the templates are filled with besides the account and the clan.
struct UrlSettings {
  Hosts hosts;
  std::string region = std::string(kDefaultRegion);
  std::string application_id = std::string(kBuiltInApplicationId);
};

// The "Region" setting as the program uses it: trimmed and lower-cased; empty
// gives the default region.
std::string RegionFromSetting(std::string_view setting);

// The configured id (the built-in one when the setting is empty) for the default
// region, the demo id for any other region.
std::string ApplicationIdForRegion(std::string_view region, std::string_view configured_id);

// Settings for the given hosts from the raw "Region" and "ApplicationId" settings.
UrlSettings MakeUrlSettings(Hosts hosts, std::string_view region_setting, std::string_view application_id_setting);

// An account: id in decimal and nickname; a clan: id in decimal and tag. Either
// member may be empty; a default-constructed value stands for "none".
struct AccountRef {
  std::string id;
  std::string nickname;
};
struct ClanRef {
  std::string id;
  std::string tag;
};

// The template with every "%REGION%" replaced by the region.
std::string FillRegion(std::string_view url_template, std::string_view region);

// An address written in the encyclopedia (a vehicle picture) on the publisher's
// API host, that is a default `Api` host of any region over http or https,
// moved to the configured `Api` host, as every other API request is. Any other
// address comes back unchanged.
std::string OnConfiguredApiHost(std::string_view url, const UrlSettings& settings);

// Every byte but the unreserved ones (letters, digits, "-", ".", "_", "~") as "%XX".
std::string PercentEncode(std::string_view value);

// The template with "%SOURCE_TOKEN%", "%ACCOUNT_NAME%", "%ACCOUNT_ID%", "%CLAN_TAG%",
// "%CLAN_ID%" and "%REGION%" replaced, in that order. The application id, the
// nickname, the ids and the tag go in percent-encoded, so whatever they hold
// ("&", "#", "%", blanks) stays one value and is never taken for a placeholder.
std::string FillUrlTemplate(std::string_view url_template, const AccountRef& account, const ClanRef& clan,
                            const UrlSettings& settings);

}  // namespace tarvelo
