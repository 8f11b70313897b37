// The player's clan history: the roles grouped into stays in a clan, and the
// plain list of roles.
#include <string>

#include "model/clan.h"
#include "report/account_parts.h"
#include "report/html.h"
#include "report/link_lists.h"
#include "report/scales.h"
#include "text/calendar.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

// A year after 2220 marks a membership that has not ended.
bool IsOpen(const RClanRole& role) { return DecodeDateTime(role.left).year > 2220; }

// "dd.mm.yyyy", with " hh:mm" when the time of day is known.
std::string HistoryDateTime(DateTime t) {
  const DateParts parts = DecodeDateTime(t);
  const bool has_time = parts.hour != 0 || parts.minute != 0 || parts.second != 0;
  std::string text = FormatDate(t);
  if (has_time) text.append(" ").append(FormatTime(t));
  return text;
}

int64_t RoleDays(const AccountReportInput& input, const RClanRole& role) {
  return WholeDaysBetween(role.joined, IsOpen(role) ? input.clock.now : role.left);
}

// An entry continues the stay of the previous one in the same clan when it
// starts at most a day after that one ended.
bool ContinuesStay(const RClanRole& previous, const RClanRole& role) {
  return role.clan_tag == previous.clan_tag && role.joined - previous.left <= 1;
}

std::string ColouredRole(const RClanRole& role) {
  const std::string css_class = RoleClass(role.role);
  const std::string label = std::string("[").append(EscapeHtml(role.role)).append("]");
  return css_class.empty() ? label : "<span class=\"" + css_class + "\">" + label + "</span>";
}

// Consecutive entries of one clan make a stay: its first row names the clan
// and the period, every entry adds a role line.
class StayTable {
 public:
  explicit StayTable(const AccountReportInput& input) : input_(input) {}

  std::string Build() {
    const AClanRoles& history = input_.shown.ClanHistory;
    std::string html;
    size_t first = 0;
    for (size_t i = 1; i <= history.size(); ++i) {
      if (i < history.size() && ContinuesStay(history[i - 1], history[i])) continue;
      html += Stay(first, i);
      first = i;
    }
    return html;
  }

 private:
  // The entries [first, end) of the history.
  std::string Stay(size_t first, size_t end) {
    const AClanRoles& history = input_.shown.ClanHistory;
    const RClanRole& opening = history[first];
    const RClanRole& closing = history[end - 1];
    const size_t lines = end - first;
    const std::string rowspan = lines >= 2 ? " rowspan=\"" + std::to_string(lines) + "\"" : "";
    std::string until;
    if (!IsOpen(closing)) {
      until = " " + HistoryDateTime(closing.left);
    } else if (end == history.size()) {
      until = " ???";
    }
    ++stays_;
    std::string html = "<tr><td" + rowspan + "><span class=\"count\">" + std::to_string(stays_) + ". <img src=\"" +
                       EmblemAddress(opening) + "\" width=\"16\" height=\"16\" /></span> [" + PortalLink(opening) +
                       "]</td><td" + rowspan + " class=\"noWrap\">" +
                       (DecodeDateTime(opening.joined).year > 1900 ? HistoryDateTime(opening.joined) + " " : "") +
                       "&ndash;" + until + "</td><td>";
    for (size_t i = first; i < end; ++i) {
      if (i > first) html += "<tr><td>";
      html += ColouredRole(history[i]) + "</td><td class=\"noWrap\">" + DaysText(RoleDays(input_, history[i])) +
              "</td></tr>\r\n";
    }
    return html;
  }

  std::string EmblemAddress(const RClanRole& role) const {
    auto local = input_.history_emblem_files.find(role.clan_id);
    if (local != input_.history_emblem_files.end()) return FileUrl(local->second);
    const UrlSettings& urls = input_.site.urls;
    return EscapeHtml(ClanEmblemAddress(FillRegion(urls.hosts.ClanPortal, urls.region), role.clan_id, "24x24"));
  }

  std::string PortalLink(const RClanRole& role) const {
    const UrlSettings& urls = input_.site.urls;
    return BrowseLink(SiteUrl(urls.hosts.ClanPortal, "/clans/%CLAN_ID%/", {}, {role.clan_id, role.clan_tag}, urls),
                      EscapeHtml(role.clan_tag));
  }

  const AccountReportInput& input_;
  int stays_ = 0;
};

}  // namespace

RowContent ClanHistorySection(const AccountReportInput& input, const RowRequest&) {
  const UrlSettings& urls = input.site.urls;
  const RWOTAccount& account = input.shown;
  RowContent content;
  content.value = std::string(kBlockRow) +
                  "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\" class=\"tLeft\">\r\n";
  if (account.ClanHistory.empty()) {
    content.value += "<span class=\"c0\">Нет информации об участии игрока в каких-либо кланах</span>";
  } else {
    content.value += StayTable(input).Build();
  }
  const std::string search =
      SiteUrl(urls.hosts.ClanPortal,
              "/clans/wot/search/#wgsearch&type=accounts&search=%ACCOUNT_NAME%&account_id=%ACCOUNT_ID%",
              {account.AccountId, account.Nickname}, {}, urls);
  content.value += "</table>\r\n<div class=\"c0 dRight\">(клан-историю после 01.09.2015 см. на " +
                   BrowseLink(search, "Клановом портале WG") + ")</div>";
  return content;
}

RowContent ClanRolesSection(const AccountReportInput& input, const RowRequest&) {
  RowContent content;
  const AClanRoles& history = input.shown.ClanHistory;
  int clan_number = 0;
  int line_number = 0;
  for (size_t i = 0; i < history.size(); ++i) {
    const RClanRole& role = history[i];
    if (i == 0 || role.clan_tag != history[i - 1].clan_tag) {
      ++clan_number;
      line_number = 0;
    }
    ++line_number;
    const int64_t days = RoleDays(input, role);
    const std::string_view noun = Plural(days, "день", "дня", "дней");
    const std::string tag = EscapeHtml(role.clan_tag);
    const std::string label = EscapeHtml(role.role);
    const std::string start = HistoryDateTime(role.joined);
    content.value += std::string(kBlockRow);
    if (IsOpen(role)) {
      content.value += Format("%d.%d. [%s]  %s &ndash; %s       (%d %s)     %s",
                              {clan_number, line_number, tag, start, "н.в.", days, noun, label});
    } else {
      content.value += Format("%d.%d. [%s]  %s &ndash; %s (%d %s)     %s",
                              {clan_number, line_number, tag, start, HistoryDateTime(role.left), days, noun, label});
    }
  }
  return content;
}

}  // namespace tarvelo::detail
