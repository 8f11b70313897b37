#include "report/link_lists.h"

#include <string_view>

#include "report/html.h"

namespace tarvelo {

namespace {

struct SiteLink {
  std::string_view label;
  std::string host;
  std::string_view path;
};

std::string LinkList(std::string_view title, const std::initializer_list<SiteLink>& links, const AccountRef& account,
                     const ClanRef& clan, const UrlSettings& urls) {
  std::string html = "<b class=\"sectionHdr\">" + std::string(title) + "</b><ul>";
  for (const SiteLink& link : links) {
    html += "<li>" + BrowseLink(SiteUrl(link.host, link.path, account, clan, urls), link.label) + "</li>\r\n";
  }
  return html + "</ul>";
}

}  // namespace

// The template takes the raw values and percent-encodes them; the finished
// address is escaped once, as a whole, for the attribute.
std::string SiteUrl(std::string_view host, std::string_view path, const AccountRef& account, const ClanRef& clan,
                    const UrlSettings& urls) {
  return EscapeHtml(FillUrlTemplate(std::string(host) + std::string(path), account, clan, urls));
}

std::string AccountLinkList(const UrlSettings& urls, const LinkSites& sites, const AccountRef& account) {
  if (account.nickname.empty()) return {};
  const Hosts& hosts = urls.hosts;
  return LinkList("Еще об аккаунте:",
                  {{"World of Tanks", hosts.GamePortal, "/community/accounts/%ACCOUNT_ID%-%ACCOUNT_NAME%/"},
                   {"Wargaming", hosts.ClanPortal,
                    "/clans/wot/search/#wgsearch&type=accounts&search=%ACCOUNT_NAME%&account_id=%ACCOUNT_ID%"},
                   {"KTTC", sites.Kttc, "/wot/ru/user/%ACCOUNT_NAME%"},
                   {"WoTReplays", hosts.Replays, "/site/index/members/%ACCOUNT_NAME%"},
                   {"WoText", hosts.Location, "/?Nickname=%ACCOUNT_NAME%"},
                   {"Wot-news", sites.WotNews, "/stat/calc/ru/ru/%ACCOUNT_NAME%"},
                   {"Noobmeter", sites.Noobmeter, "/player/ru/%ACCOUNT_NAME%/%ACCOUNT_ID%/"},
                   {"Нубо-Рейтинг", sites.Nubomer, "/nubomer/?nick=%ACCOUNT_NAME%"},
                   {"Броне-сайт", sites.ArmorSite, "/wot/gamerstat/%ACCOUNT_NAME%"},
                   {"Ivanerr", hosts.Alliance, "/lt/history/player/%ACCOUNT_NAME%"}},
                  account, {}, urls);
}

std::string ClanLinkList(const UrlSettings& urls, const LinkSites& sites, const ClanRef& clan) {
  if (clan.id.empty()) return {};
  const Hosts& hosts = urls.hosts;
  return LinkList("Еще о клане:",
                  {{"Wargaming", hosts.ClanPortal, "/clans/%CLAN_ID%/"},
                   {"Ivanerr", hosts.Alliance, "/lt/clan/%CLAN_ID%"},
                   {"Броне-сайт", sites.ArmorSite, "/wot/clan/%CLAN_ID%"},
                   {"Noobmeter", sites.Noobmeter, "/clan/ru/%CLAN_TAG%/%CLAN_ID%/"}},
                  {}, clan, urls);
}

}  // namespace tarvelo
