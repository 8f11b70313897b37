// The title row of both clan pages, and the notes and rows they share.
#include "acquire/addresses.h"
#include "model/tables.h"
#include "report/clan_parts.h"
#include "report/html.h"
#include "report/link_lists.h"
#include "report/report_dates.h"
#include "report/scales.h"
#include "text/calendar.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

std::string TagRequest(const RWOTClan& clan) { return "[" + clan.tag + "]"; }

std::string LinksMenu(const ClanReportInput& input) {
  const RWOTClan& clan = input.clan;
  return std::string(kPopupStart) + ClanLinkList(input.site.urls, input.site.links, {clan.clan_id, clan.tag}) +
         "</div></div></div>";
}

std::string UpdateButton(const ClanReportInput& input, const std::string& cache_text) {
  const std::string request = TagRequest(input.clan);
  return "<a href=\"" + SearchHref(input.site.site, request) + "\" onclick=\"" + DoCmdCall("search" + std::string(kUpdateOption), request) +
         "\" style=\"float:left;padding:.6em\"><img src=\"res://" + EscapeHtml(input.site.program_file) +
         "/PNG/Update\" width=\"14\" height=\"14\" alt=\"Update\" title=\"" + cache_text +
         " (нажмите, чтобы обновить)\" /></a>";
}

// The time of the data; with a day selected, the period from that day on.
std::string DataTimeBox(const ClanReportInput& input) {
  const RWOTClan& clan = input.clan;
  const int days = input.view.days;
  std::string html = "<span class=\"c0\" style=\"float: right\" ";
  if (days >= 1 && static_cast<size_t>(days) <= input.clan_dates.size()) {
    html += "title=\"Выбранный период данных\"><span style=\"float:left\">" +
            FormatDate(input.clan_dates[static_cast<size_t>(days) - 1]) +
            "<br />&nbsp;</span><span style=\"float:left;font-size:120%\">&nbsp;_&nbsp;<br />&nbsp;</span>";
  } else if (clan.CacheDate != 0) {
    // The cache date is a local time.
    const DateTime cache_utc = clan.CacheDate - input.clock.zone_hours / 24.0;
    const std::string cache_text = "Кеш от " + MoscowDate(cache_utc) + " " + MoscowTime(cache_utc);
    html += "title=\"" + cache_text + "\">" + UpdateButton(input, cache_text);
  } else {
    html += "title=\"Дата/время актуализации данных\">";
  }
  const DateTime updated = IsKnownDate(clan.updated) ? clan.updated : clan.CacheDate - input.clock.zone_hours / 24.0;
  html += IsKnownDate(updated) ? MoscowDate(updated) + "<br />" + MoscowTime(updated)
                               : std::string("Данные<br />не актуализированы");
  return html + "</span>";
}

std::string Emblem(const ClanReportInput& input) {
  const std::string small = FileUrl(input.clan_emblem_file);
  const std::string& large = input.clan.emblem_64;
  return "<img style=\"float:left;margin-top:.25em;padding-right:4px;cursor:pointer;\" src=\"" + EscapeHtml(small) +
         "\" alt=\"Иконка клана\" title=\"Нажмите, чтобы увеличить/уменьшить иконку\" "
         "onclick=\"this.src=(this.src=='" +
         EscapeScriptString(small) + "')?'" + EscapeScriptString(large) + "':'" + EscapeScriptString(small) + "'\" />";
}

std::string Alliance(const ClanReportInput& input) {
  const RAlliance& alliance = input.clan.alliance;
  if (alliance.id.empty()) return {};
  const std::string address = FillRegion(input.site.urls.hosts.Alliance, input.site.urls.region) + "/lt/alliance/" +
                              alliance.id;
  const std::string colour = PlainColour(alliance.color);
  const std::string attributes =
      colour.empty() ? std::string() : "title=\"Цвет: " + colour + "\" style=\"color:" + colour + "\"";
  return "<br /><span class=\"c0 noWrap\">(входит в союз " +
         BrowseLink(EscapeHtml(address), EscapeHtml(alliance.name), attributes) + ")</span>";
}

std::string CampaignStanding(const ClanReportInput& input) {
  const FameView& fame = input.fame;
  if (!fame.inside_window) return {};
  std::string html;
  if (fame.clan.position >= 1) {
    html += "<br /><span title=\"" + fame.title + "\">Позиция в Рейтинге: <span class=\"sectionHdr\">" +
            Format("%.0n", {fame.clan.position}) + "</span></span>";
  }
  if (fame.clan.points >= 1) {
    html += " <span class=\"c0 noWrap\" title=\"" + fame.title + "\">(Очки славы: " +
            std::to_string(fame.clan.points) + ")</span>";
  }
  return html;
}

}  // namespace

bool SeveralClans(const RWOTClan& clan) { return clan.tag.find(',') != std::string::npos; }

std::string ClanTitleRow(const ClanReportInput& input, int colspan) {
  const RWOTClan& clan = input.clan;
  const int64_t age_days = WholeDaysBetween(input.clock.now, clan.created);
  std::string html = "<tr class=\"noHover\"><td colspan=\"" + std::to_string(colspan) + "\">";
  html += LinksMenu(input) + DataTimeBox(input) + Emblem(input);
  html += "<div style=\"padding-left:30px\">[" +
          SearchLink(input.site.site, TagRequest(clan), EscapeHtml(clan.tag)) + "] " + EscapeHtml(clan.name) +
          " <span class=\"c0 noWrap\">(" + std::to_string(clan.members_count) +
          std::string(Plural(clan.members_count, " боец", " бойца", " бойцов")) + ")</span>";
  html += Alliance(input);
  html += "<br />Дата создания: " + FormatDate(clan.created) + " <span class=\"c0 noWrap\">(" + DaysText(age_days) +
          ")</span>";
  html += CampaignStanding(input);
  return html + "</div></td></tr>\r\n";
}

std::string InterruptionNote(int done, int total) {
  const int last_two = done % 100;
  const bool one = done % 10 == 1 && last_two != 11;
  return "<p>Сбор данных был прерван. Обработан" + std::string(one ? "" : "о") + " только " + std::to_string(done) +
         std::string(Plural(done, " боец", " бойца", " бойцов")) + " из " + std::to_string(total) + ".</p>\r\n";
}

std::string RoleLabel(std::string_view role) {
  const std::string_view label = ClanRoleLabel(role);
  if (label.empty()) return "&nbsp;";
  const std::string css_class = RoleClass(role);
  const std::string text = std::string("[").append(ReplaceAll(EscapeHtml(label), " ", "&nbsp;")).append("]");
  return css_class.empty() ? text : "<span class=\"" + css_class + "\">" + text + "</span>";
}

std::string ClanTagLink(std::string_view site, std::string_view tag) {
  if (tag.empty()) return "&nbsp;";
  const std::string request = std::string("[").append(tag).append("]");
  return std::string("[").append(SearchLink(site, request, EscapeHtml(tag))).append("]");
}

std::string FooterHeader(std::string_view header_row) {
  std::string footer = ReplaceAll(header_row, "<tr", "<tr style=\"color:white\"");
  footer = ReplaceAll(footer, ">Имя<", ">&nbsp;<");
  return ReplaceAll(footer, ">Должность<", ">&nbsp;<");
}

}  // namespace tarvelo::detail
