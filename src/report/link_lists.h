// The two lists of links to other sites about the account and its clan.
#pragma once

#include <string>
#include <string_view>

#include "acquire/addresses.h"

namespace tarvelo {

// Scheme and host of the sites that are only linked to, never fetched from.
struct LinkSites {
  std::string Kttc = "https://kttc.ru";
  std::string WotNews = "https://wot-news.com";
  std::string Noobmeter = "https://www.noobmeter.com";
  std::string Nubomer = "https://nubomer.net";
  std::string ArmorSite = "https://armor.kiev.ua";
};

// The address of a page about the account or clan, host + path template,
// ready for an attribute.
std::string SiteUrl(std::string_view host, std::string_view path, const AccountRef& account, const ClanRef& clan,
                    const UrlSettings& urls);

// "Еще об аккаунте:" and its links; empty without a nickname.
std::string AccountLinkList(const UrlSettings& urls, const LinkSites& sites, const AccountRef& account);

// "Еще о клане:" and its links; empty without a clan id.
std::string ClanLinkList(const UrlSettings& urls, const LinkSites& sites, const ClanRef& clan);

}  // namespace tarvelo
