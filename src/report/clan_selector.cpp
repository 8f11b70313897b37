// The selector row of the clan pages: which cached day, which kind of report,
// the activity view and the link to the clan's membership changes.
#include "acquire/addresses.h"
#include "model/tables.h"
#include "report/clan_report.h"
#include "report/html.h"
#include "report/link_lists.h"
#include "report/report_dates.h"
#include "text/calendar.h"

namespace tarvelo {

namespace {

constexpr size_t kLeadingDays = 31;  // listed before the jump to the last two
constexpr std::string_view kInlinePopupStart =
    "<div class=\"addons inline\">&nbsp;<div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><div>\r\n";
constexpr std::string_view kPopupEnd = "</div></div></div>";
constexpr std::string_view kLinkGap =
    "&nbsp;&nbsp;&nbsp;&nbsp;|&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
    "&nbsp;";

class SelectorRow {
 public:
  explicit SelectorRow(const ClanReportInput& input)
      : input_(input), request_("[" + input.clan.tag + "]"), days_(input.view.days) {}

  std::string Html() const {
    // A block of its own (a paragraph cannot hold the pop-ups' blocks), which the style
    // sheet keeps in view when the table is wider than the window; its cell spans every
    // column of the widest clan table, so the block can follow the view to the table's end.
    return "<thead><tr class=\"noHover\"><td class=\"tCenter\" colspan=\"51\"><div class=\"selectors\">" +
           Popup(DaysItems()) + SearchLinkTo("Боевая статистика", ModeOption(input_.view), days_ >= 0) +
           Popup(KindItems()) +
           SearchLinkTo("Топ-танки", RequestOptions(input_.view.mode_key, -1), days_ < 0 && days_ != kClanActivityDays) +
           SearchLinkTo("Активность", RequestOptions(input_.view.mode_key, kClanActivityDays),
                        days_ == kClanActivityDays) +
           HistoryLink() + "</div></td></tr>\r\n</thead>\r\n";
  }

 private:
  static std::string Popup(const std::string& items) {
    return std::string(kInlinePopupStart) + items + "</ul>" + std::string(kPopupEnd);
  }

  std::string Radio(std::string_view id, int value, std::string_view onclick, std::string_view label) const {
    const std::string number = std::to_string(value);
    return "<input type=\"radio\" name=\"days\" id=\"" + std::string(id) + "\" value=\"" + number + "\"" +
           (value == days_ ? " checked=\"checked\"" : "") + " onclick=\"" + std::string(onclick) + "\"> <label for=\"" +
           std::string(id) + "\">" + std::string(label) + "</label></li>\r\n";
  }

  std::string DaysItems() const {
    const ADateArr& dates = input_.clan_dates;
    std::string items = "<b class=\"sectionHdr\">Доступные выборки:</b>\r\n<ul class=\"aLabel\">\r\n";
    for (size_t p = 0; p < dates.size(); ++p) {
      const int k = static_cast<int>(p) + 1;
      const int64_t days = WholeDaysBetween(input_.clock.now, dates[p]) + 1;
      items += std::string("<li>") + (p + 1 == dates.size() ? "<br />" : "") +
               Radio("d1_" + std::to_string(k), k,
                     DoCmdCall("search", request_, RequestOptions(input_.view.mode_key, k)),
                     FormatDate(dates[p]) + "&nbsp;&nbsp;&nbsp;(" + detail::DaysText(days) + ")");
      if (p + 1 == kLeadingDays && dates.size() - kLeadingDays > 2) p = dates.size() - 3;
    }
    return items + "<li><br />" + Radio("d1_0", 0, DoCmdCall("search", request_), "за всё время");
  }

  std::string KindItems() const {
    std::string items = "<b class=\"sectionHdr\">Вид отчета:</b>\r\n<ul class=\"aLabel\">\r\n";
    for (int n = 1; n <= 5; ++n) {
      const std::string label = n == 1 ? std::string("без расшифровки")
                                       : "расшифровка по " + std::string(ClassVehicleIds[n - 2].label);
      items += "<li>" + Radio("d2_" + std::to_string(n), -n,
                              DoCmdCall("search", request_, RequestOptions(input_.view.mode_key, -n)),
                              label);
    }
    return items;
  }

  std::string SearchLinkTo(std::string_view text, const std::string& options, bool current) const {
    return "<a href=\"" + SearchHref(input_.site.site, request_, options) + "\" onclick=\"" +
           DoCmdCall("search", request_, options) + "\"" + (current ? " class=\"current\"" : "") + ">" +
           std::string(text) + "</a>" + std::string(kLinkGap);
  }

  std::string HistoryLink() const {
    const std::string address = SiteUrl(input_.site.urls.hosts.Alliance, "/lt/history/clan/%CLAN_TAG%", {},
                                        {input_.clan.clan_id, input_.clan.tag}, input_.site.urls);
    return BrowseLink(address, "Изменения в составе");
  }

  const ClanReportInput& input_;
  std::string request_;
  int days_;
};

}  // namespace

std::string ClanSelectorRow(const ClanReportInput& input) { return SelectorRow(input).Html(); }

}  // namespace tarvelo
