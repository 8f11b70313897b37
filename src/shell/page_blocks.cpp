#include "shell/page_blocks.h"

#include "report/html.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kDocumentHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ru\" lang=\"ru\">\r\n"
    "<head>\r\n<title>Tarvelo</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n"
    "<meta name=\"viewport\" content=\"width=device-width\" />\r\n";

constexpr std::string_view kFormStart =
    "<form action=\"#\" onsubmit=\"return doCmd('search',this.iName.value)\"><table border=\"0\" "
    "cellpadding=\"5\" cellspacing=\"0\"><tbody><tr><td style=\"vertical-align:middle\">";

constexpr std::string_view kListsPopup =
    "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><span "
    "style=\"float: left; border: 1px solid transparent; width: 1.4em; height: 1.4em; color: #515253; cursor: "
    "default; display: none; text-align: left;\"><div style=\"display:block;top:-1px;left:-2px\">\r\n"
    "%FAVORITE%</div></span></div></div>";

constexpr std::string_view kSearchPrefix =
    "Имя&nbsp;игрока&nbsp;или&nbsp;[клантег]:</td><td width=\"100%\"><input type=\"text\" name=\"search\" "
    "id=\"iName\" onKeyDown=\"if(window.event.keyCode==13)doCmd('search',this.value)\" value=\"";

constexpr std::string_view kSearchSuffix =
    "\" size=\"20\" maxlength=\"64\" /></td><td><input class=\"button\" type=\"submit\" value=\"Найти\" "
    "/></td></tr></tbody></table></form></div>\r\n";

std::string PartnerLink(std::string_view url, std::string_view key, std::string_view label) {
  return "<a target=\"_blank\" onclick=\"return doCmd('browse',this.href)\" href=\"" + EscapeHtml(url) +
         "\"><span class=\"" + std::string(key) + "\"></span>" + std::string(label) + "</a>";
}

// <meta name="tarvelo-NAME" content="ADDRESS" />, read by the page script; nothing for no address.
std::string AddressMeta(std::string_view name, std::string_view address) {
  if (address.empty()) return {};
  return "<meta name=\"tarvelo-" + std::string(name) + "\" content=\"" + EscapeHtml(address) + "\" />\r\n";
}

}  // namespace

std::string PageDocument(const PageFrame& frame, std::string_view body) {
  std::string html(kDocumentHead);
  html += AddressMeta("vehicle-pictures", frame.vehicle_pictures_address);
  html += AddressMeta("wiki", frame.wiki_address);
  html += "<style type=\"text/css\">\r\n";
  html += frame.style;
  html += "</style>\r\n<style type=\"text/css\">\r\n";
  html += frame.flags_style;
  html += "</style>\r\n";
  if (!frame.user_style.empty()) {
    html += "<link rel=\"stylesheet\" href=\"" + frame.user_style + "\" type=\"text/css\" media=\"all\" />";
  }
  html += "<script type=\"text/javascript\">\r\n";
  html += frame.script;
  html += "</script>\r\n</head>\r\n";
  html += frame.update_notice;
  html += body;
  if (frame.show_debug_log) html += "<div style=\"text-align:left;margin:0 auto\">" + frame.debug_log + "</div>";
  html += "\r\n</body>\r\n</html>";
  return html;
}

std::string SearchForm(std::string_view lists_html, std::string_view text) {
  return std::string(kFormStart) + ReplaceAll(kListsPopup, "%FAVORITE%", lists_html) + std::string(kSearchPrefix) +
         EscapeHtml(text) + std::string(kSearchSuffix);
}

bool ReplaceFormLists(std::string& body, std::string_view lists_html) {
  const size_t placeholder = kListsPopup.find("%FAVORITE%");
  const std::string_view before = kListsPopup.substr(0, placeholder);
  const std::string_view after = kListsPopup.substr(placeholder + std::string_view("%FAVORITE%").size());
  const size_t start = body.find(before);
  if (start == std::string::npos) return false;
  const size_t lists = start + before.size();
  const size_t end = body.find(after, lists);
  if (end == std::string::npos) return false;
  body.replace(lists, end - lists, lists_html);
  return true;
}

std::string MessageParagraphs(const LoaderMessages& messages) {
  std::string html;
  for (const LoaderMessage& message : messages) {
    html += "<p";
    if (message.severity == Severity::kError) html += " class=\"r\"";
    if (message.severity == Severity::kWarning) html += " class=\"g\"";
    html += '>' + message.text;
    if (!message.details_url.empty()) {
      html += " Подробности <a href=\"" + message.details_url + "\" target=\"_blank\">здесь</a>.";
    }
    html += "</p>\r\n";
  }
  return html;
}

std::string WrapMessages(const LoaderMessages& messages) {
  if (messages.empty()) return "";
  return "\r\n<div class=\"main\">\r\n" + MessageParagraphs(messages) + "</div>\r\n";
}

std::string IntroductionBlock(const StartPageLinks& links) {
  return "<div class=\"top\">"
         "<p><b class=\"sectionHdr\">Tarvelo</b> &ndash; программа для просмотра самой полной доступной "
         "информации о любом игроке или клане World of Tanks.</p>\r\n"
         "<p>Введите имя игрока или тег клана в квадратных скобках (например, [TAG]) и нажмите "
         "&laquo;Найти&raquo;.</p>\r\n"
         "<p>На странице игрока собраны статистика боёв по всем режимам, средние показатели за бой, "
         "самые известные рейтинги эффективности, лучшая техника, достижения, история кланов игрока "
         "и очки славы в кампаниях на Глобальной карте.</p>\r\n"
         "<p>Офицерам кланов программа поможет оценить бойцов своего клана и кандидатов на вступление: "
         "страница клана показывает статистику всех его бойцов в одной таблице.</p>\r\n"
         "<p>Полоса ежедневной статистики, &laquo;семафор&raquo;, строится из снимков статистики: "
         "программа сохраняет один снимок на каждый день, когда вы смотрели игрока. Чтобы семафор "
         "был полным, открывайте игрока раз в день. Игровые сутки начинаются в 00:00 по Гринвичу "
         "(03:00 по московскому времени).</p>\r\n"
         "<p>Ответы на частые вопросы о программе &ndash; " +
         BrowseLink(EscapeHtml(links.questions_and_answers), "в теме Tarvelo на форуме игры") + ".</p>\r\n"
         "</div>\r\n";
}

std::string ReferenceBlock(const ReferenceFacts& facts) {
  const auto unbroken = [](std::string_view version) {
    return "<span style=\"white-space:nowrap\">" + EscapeHtml(version) + "</span>";
  };
  std::string html = "<div class=\"top\" id=\"reference\"><p>Справочник машин: " +
                     unbroken(facts.vehicles_version) + ", ожидаемые значения: " + unbroken(facts.expected_version) +
                     ". ";
  html += facts.last_refresh > 0 ? "Обновлены " + FormatDate(facts.last_refresh) + " в " +
                                       FormatTime(facts.last_refresh) + "."
                                 : std::string("Не обновлялись.");
  html += facts.refreshing ? std::string(" Идёт обновление&hellip;")
                           : std::string(" <a href=\"#\" onclick=\"return doCmd('refdata')\" title=\"Загрузить новые "
                                         "справочник машин и ожидаемые значения WN8; они будут использованы после "
                                         "перезапуска программы\">Обновить справочники</a>");
  return html + "</p></div>\r\n";
}

std::string PartnersBlock(const StartPageLinks& links) {
  return "<div class=\"top partners\"><p><b>Партнеры проекта</b>" +
         PartnerLink(links.wotreplays, "wotreplays", "WoTReplays") + PartnerLink(links.wotext, "wotext", "WoText") +
         PartnerLink(links.kttc, "kttc", "KTTC") + PartnerLink(links.ivanerr, "ivanerr", "Иванерр") + "</p></div>";
}

}  // namespace tarvelo
