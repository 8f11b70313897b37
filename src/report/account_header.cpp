// The two blocks at the top of the player report: the player and the clan.
#include <cmath>

#include "model/clan.h"
#include "model/tables.h"
#include "report/account_parts.h"
#include "report/html.h"
#include "report/scales.h"
#include "text/calendar.h"
#include "text/replace.h"

namespace tarvelo::detail {

namespace {

constexpr DateTime kOnlineGap = 16.0 / 24 / 60;

std::string GreyedNote(std::string_view text) { return "<span class=\"c0 noWrap\">(" + std::string(text) + ")</span>"; }

std::string LinksMenu(const AccountReportInput& input) {
  const RWOTAccount& account = input.shown;
  const std::string& site = input.site.site;
  std::string html(kPopupStart);
  html += "<a href=\"#\" onclick=\"this.className='c0'; this.innerHTML='Добавлен в избранные'; " +
          DoCmdCall("addfav", account.Nickname) + "\">Добавить в избранные</a><br />";
  html += "<a href=\"" + site + "?" + EscapeHtml(account.Nickname) +
          "&mode=userbar\" target=\"_blank\">Создать юзербар...</a><br /><br />";
  html += AccountLinkList(input.site.urls, input.site.links, {account.AccountId, account.Nickname});
  if (!account.ClanId.empty() && account.ClanId != "0") {
    html += "<br />" + ClanLinkList(input.site.urls, input.site.links, {account.ClanId, account.ClanTag});
  }
  return html + "\r\n</div></div></div>";
}

std::string DataDateBox(const AccountReportInput& input) {
  const RWOTAccount& account = input.shown;
  std::string html = "<span class=\"c0\" style=\"float:right; text-align:center\" ";
  if (account.PeriodStart != 0) {
    html += "title=\"Выбранный период данных\"><span style=\"float:left\">" + MoscowDate(account.PeriodStart) +
            "<br />" + MoscowTime(account.PeriodStart) +
            "</span><span style=\"float:left;font-size:120%\">&nbsp;_&nbsp;<br />&nbsp;</span>";
  } else {
    html += "title=\"Дата/время актуализации данных\">";
    if (account.CacheDate != 0) {
      // The cache date is a local time.
      const DateTime cache_utc = account.CacheDate - input.clock.zone_hours / 24.0;
      html += "<a href=\"" + SearchHref(input.site.site, account.Nickname) + "\" onclick=\"" +
              DoCmdCall("search" + std::string(kUpdateOption), account.Nickname) +
              "\" style=\"float:left;padding:.6em\"><img src=\"res://" + EscapeHtml(input.site.program_file) +
              "/PNG/Update\" width=\"14\" height=\"14\" alt=\"Update\" title=\"Кеш от " + MoscowDate(cache_utc) +
              " " + MoscowTime(cache_utc) + " (нажмите, чтобы обновить)\" /></a>";
    }
  }
  html += IsKnownDate(account.Updated) ? MoscowDate(account.Updated) + "<br />" + MoscowTime(account.Updated)
                                       : std::string("Данные<br />не актуализированы");
  return html + "</span> ";
}

std::string AgeText(const AccountReportInput& input) {
  const DateTime created = input.shown.Created;
  if (input.view.days != 0) {
    const int64_t days = WholeDaysBetween(input.clock.now, created);
    return GreyedNote(DaysText(days));
  }
  const CalendarSpan span = CalendarSpanBetween(created, input.clock.now);
  std::string text;
  if (span.years > 0) text = Noun(span.years, "год", "года", "лет");
  if (span.months > 0) text += (text.empty() ? "" : ", ") + Noun(span.months, "месяц", "месяца", "месяцев");
  if (span.days > 0 || text.empty()) text += (text.empty() ? "" : " и ") + DaysText(span.days);
  return GreyedNote(text);
}

std::string ElapsedText(const AccountReportInput& input) {
  const DateTime last_battle_local = input.shown.LastBattle + input.clock.zone_hours / 24.0;
  const int64_t hours = WholeHoursBetween(input.clock.now, last_battle_local);
  if (hours < 48) return GreyedNote(Noun(hours, "час", "часа", "часов") + " назад");
  return GreyedNote(DaysText(WholeDaysBetween(input.clock.now, last_battle_local)) + " назад");
}

// Every fame title is the campaign's own HTML; the account's front is outside text.
std::string AccountFame(const AccountReportInput& input) {
  const FameView& fame = input.fame;
  if (!fame.inside_window) return {};
  const std::string title = fame.title + "\r\n" + EscapeHtml(fame.account.front_name);
  std::string html;
  if (fame.account.position > 0) {
    html += "<br /><span title=\"" + title + "\">Позиция в Рейтинге: <span class=\"sectionHdr\">" +
            Format("%.0n", {fame.account.position}) + "</span></span>";
  }
  if (fame.account.points > 0) {
    html += " <span class=\"c0 noWrap\" title=\"" + title + "\">(Очки славы: " +
            Format("%.0n", {fame.account.points}) + ")</span>";
  }
  return html;
}

std::string ClanFame(const AccountReportInput& input) {
  const FameView& fame = input.fame;
  if (!fame.inside_window) return {};
  std::string html;
  if (fame.clan.position > 0) {
    html += "<br />Позиция в <span title=\"" + fame.title + "\">Рейтинге</span>: <span class=\"sectionHdr\">" +
            Format("%.0n", {fame.clan.position}) + "</span>";
  }
  if (fame.clan.points > 0) {
    html += " <span class=\"c0 noWrap\" title=\"" + fame.title + "\">(Очки славы: " +
            Format("%.0n", {fame.clan.points}) + ")</span>";
  }
  return html;
}

}  // namespace

int SelectedMode(const AccountReportInput& input) {
  const int mode = input.view.mode;
  return mode >= 0 && mode < kModeCount ? mode : kModeAll;
}

const RWOTAccountStats& ModeBlock(const AccountReportInput& input, const RWOTAccount& account) {
  return account.Stats[SelectedMode(input)];
}

const RWOTAccountStats& ModeBlock(const AccountReportInput& input, const RVehicleStat& vehicle) {
  return vehicle.Stats[SelectedMode(input)];
}

RowContent AccountHeader(const AccountReportInput& input, const RowRequest&) {
  const RWOTAccount& account = input.shown;
  std::string html = LinksMenu(input) + DataDateBox(input);
  html += "<a href=\"" + SearchHref(input.site.site, account.Nickname) + "\" onclick=\"" +
          DoCmdCall("search", account.Nickname) + "\" >" + EscapeHtml(account.Nickname) + "</a>";
  for (const RNameHistory& former : account.NameHistory) {
    html += "<br /><span class=\"c0 noWrap\">он же " + EscapeHtml(former.name) + " (до " + FormatDate(former.date) +
            ")</span>";
  }
  if (!account.LocationText.empty()) html += "<br />" + EscapeHtml(account.LocationText);
  html += "<br />Дата регистрации: " +
          (IsKnownDate(account.Created) ? FormatDate(account.Created) + " " + AgeText(input) : "не определена");
  if (IsKnownDate(account.LastBattle)) {
    html += "<br />Последний бой: " + MoscowDate(account.LastBattle) + " " + MoscowTime(account.LastBattle) + " " +
            ElapsedText(input);
  }
  if (IsKnownDate(account.Logout) && account.LastBattle - account.Logout > kOnlineGap) {
    html += " <span class=\"r\">ONLINE</span>";
  }
  html += AccountFame(input);

  RowContent content;
  content.value = html;
  content.fourth_cell = "";
  return content;
}

RowContent ClanBlock(const AccountReportInput& input, const RowRequest&) {
  const RWOTAccount& account = input.shown;
  RowContent content;
  if (account.ClanId.empty() || account.ClanId == "0") {
    content.no_data = true;
    return content;
  }
  const std::string clan_portal = FillRegion(input.site.urls.hosts.ClanPortal, input.site.urls.region);
  const std::string large = ClanEmblemAddress(clan_portal, account.ClanId, "64x64");
  const std::string small = FileUrl(input.clan_emblem_file);
  const std::string tag_request = "[" + account.ClanTag + "]";

  std::string html = "<img style=\"float:left;margin-top:.25em;padding-right:4px;cursor:pointer;\" src=\"" +
                     EscapeHtml(small) +
                     "\" alt=\"Иконка клана\" title=\"Нажмите, чтобы увеличить/уменьшить иконку\" "
                     "onclick=\"this.src=(this.src=='" +
                     EscapeScriptString(small) + "')?'" + EscapeScriptString(large) + "':'" +
                     EscapeScriptString(small) + "'\" />";
  html += "<div style=\"padding-left:30px\">[" + SearchLink(input.site.site, tag_request, EscapeHtml(account.ClanTag)) +
          "] " + EscapeHtml(ReplaceAll(account.ClanName, "|", "/")) + " <span class=\"c0 noWrap\">(" +
          std::to_string(account.ClanMembersCount) +
          std::string(Plural(account.ClanMembersCount, " боец", " бойца", " бойцов")) + ")</span>";
  html += ClanFame(input);
  html += "<br />Дата вступления: " + FormatDate(account.ClanJoined) + " " +
          GreyedNote(DaysText(WholeDaysBetween(input.clock.now, account.ClanJoined)));
  html += "<br />Должность: <span class=\"" + RoleClass(account.ClanRole) + "\">" +
          ReplaceAll(EscapeHtml(ClanRoleLabel(account.ClanRole)), " ", "&nbsp;") + "</span></div>";
  content.value = html;
  return content;
}

}  // namespace tarvelo::detail
