// The player's replays on the replay site and his location from the location
// site, with links to both.
#include "report/account_parts.h"
#include "report/html.h"
#include "report/link_lists.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

constexpr std::string_view kWideCell = "</td><td colspan=\"3\">";
constexpr std::string_view kNoData = "Нет данных";

std::string Row(std::string_view caption, std::string_view cell, std::string_view value) {
  return "</td></tr>\r\n<tr><td>" + std::string(caption) + std::string(cell) + std::string(value);
}

std::string CountLink(int32_t count, const std::string& address) {
  if (count <= 0 || address.empty()) return "0";
  return BrowseLink(EscapeHtml(address), std::to_string(count));
}

std::string OrNoData(const std::string& text) { return text.empty() ? std::string(kNoData) : EscapeHtml(text); }

}  // namespace

RowContent ReplaysSection(const AccountReportInput& input, const RowRequest&) {
  const RWOTAccount& account = input.shown;
  const UrlSettings& urls = input.site.urls;
  const std::string members =
      SiteUrl(urls.hosts.Replays, "/site/index/members/%ACCOUNT_NAME%", {account.AccountId, account.Nickname}, {}, urls);
  const std::string video_page =
      ReplaceAll(account.ReplayPage, "/sort/uploaded_at.desc", "/video/1/sort/uploaded_at.desc");
  RowContent content;
  content.value = Row("Записи боёв с участием игрока", "</td><td colspan=\"3\" class=\"c0\">",
                      "см. на сайте " + BrowseLink(members, "WoTReplays"));
  content.value += Row("&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;в т.ч. реплеи самого игрока",
                       kWideCell, CountLink(account.ReplayCount, account.ReplayPage));
  content.value += Row(
      "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;в т.ч. с видео на YouTube",
      kWideCell, CountLink(account.ReplayVideoCount, video_page));
  return content;
}

RowContent LocationSection(const AccountReportInput& input, const RowRequest&) {
  const RWOTAccount& account = input.shown;
  const UrlSettings& urls = input.site.urls;
  std::string country(kNoData);
  if (!account.CountryCode.empty()) {
    bool listed = false;
    const std::string name = input.reference.CountryName(account.CountryCode, &listed);
    const std::string code = EscapeHtml(account.CountryCode);
    country = "<i class=\"flag-" + code + "\"></i>&nbsp;" + (listed ? EscapeHtml(name) : code);
  }
  RowContent content;
  content.value = Row("Страна", kWideCell, country);
  content.value += Row("Регион", kWideCell, OrNoData(account.Region));
  content.value += Row("Населенный пункт", kWideCell, OrNoData(account.City));
  content.value += std::string(kBlockRow) + "<div class=\"c0 dRight\">(найди свой город на " +
                   BrowseLink(SiteUrl(urls.hosts.Location, "/map", {}, {}, urls), "WoText") + ")</div>";
  return content;
}

}  // namespace tarvelo::detail
