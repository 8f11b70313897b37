// The "Semaphore" block of the player report: the list of stored days to
// choose a period from, and the day strip under it.
#include "report/account_parts.h"
#include "report/day_strip.h"
#include "report/html.h"
#include "text/calendar.h"

namespace tarvelo::detail {

namespace {

constexpr size_t kLeadingDays = 31;  // listed before the jump to the last two
constexpr std::string_view kDaysListStart =
    "<div class=\"addons\"><div class=\"inner\" onclick=\"showt(this)\"><span class=\"plus\">+</span><div>\r\n"
    "<b class=\"sectionHdr\">Доступные выборки:</b>\r\n<ul class=\"aLabel\">\r\n";
constexpr std::string_view kSubListStart =
    "\r\n<ul style=\"list-style-type: none; padding-left: 1.5em; margin: 0;\">";

class DaysList {
 public:
  explicit DaysList(const AccountReportInput& input) : input_(input) {}

  std::string Html() const {
    const ADateArr& dates = input_.dates;
    std::string items;
    for (size_t p = 0; p < dates.size(); ++p) {
      items += DateItem(p);
      if (p + 1 == kLeadingDays && dates.size() - kLeadingDays > 2) p = dates.size() - 3;
    }
    const int64_t all_days = WholeDaysBetween(input_.current.Updated, input_.shown.Created) + 1;
    items += "<li><br />" + Input(0) + "за всё время&nbsp;&nbsp;&nbsp;(" + DaysText(all_days) + ")</label></li>\r\n";
    return std::string(kDaysListStart) + items + "</ul></div></div></div>";
  }

 private:
  // The radio input choosing the period (3, 3 "o", …, 0 for all time) and the opening of its label.
  std::string Input(int days, std::string_view letters = {}) const {
    const std::string value = std::to_string(days) + std::string(letters);
    const std::string options = RequestOptions(input_.view.mode_key, days, letters);
    const std::string chosen = std::to_string(input_.view.days) + input_.view.letters;
    return "<input type=\"radio\" name=\"days\" value=\"" + value + "\" id=\"d" + value + "\" onclick=\"" +
           DoCmdCall("search", input_.shown.Nickname, options) + "\"" + (value == chosen ? " checked=\"checked\"" : "") +
           "><label for=\"d" + value + "\">";
  }

  int64_t DaysFromRegistration(DateTime date) const { return WholeDaysBetween(date, input_.shown.Created) + 1; }

  std::string DateItem(size_t p) const {
    const ADateArr& dates = input_.dates;
    const bool last = p + 1 == dates.size();
    const int n = static_cast<int>(p) + 1;
    const std::string date = FormatDate(dates[p]);
    const int64_t days =
        last ? DaysFromRegistration(dates[p]) : WholeDaysBetween(input_.current.Updated, dates[p]) + 1;
    std::string item = "<li>" + std::string(last ? "<br />" : "") + Input(n) + (last ? "по " : "с ") + date +
                       "&nbsp;&nbsp;&nbsp;(" + DaysText(days) + ")</label>";
    if (!last && input_.view.days == n) {
      item += std::string(kSubListStart) + "<li>" + Input(n, "o") + "за " + date +
              "&nbsp;&nbsp;&nbsp;(1 день)</label></li>\r\n<li>" + Input(n, "b") + "по " + date +
              "&nbsp;&nbsp;&nbsp;(" + DaysText(DaysFromRegistration(dates[p])) + ")</label></li>\r\n</ul>";
    }
    return item + "</li>\r\n";
  }

  const AccountReportInput& input_;
};

std::string StripTableClass(const AccountReportInput& input) {
  const int days = input.view.days;
  if (days >= static_cast<int>(input.dates.size()) || input.view.letters == "b") return " curDaysL";
  return days > 0 ? " curDays" : "";
}

}  // namespace

RowContent DayNavigation(const AccountReportInput& input, const RowRequest& request) {
  RowContent content;
  if (input.dates.empty()) return content;
  const DayStrip strip = SemaphoreRow({input.current, input.dates, input.strip_days, input.view,
                                       input.site.site, input.rating_name, input.reference});
  const std::string table = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\" class=\"tLeft" +
                            StripTableClass(input) + "\">\r\n" + strip.row + "</table>";
  if (request.row.caption.empty()) {
    content.value = table;
    return content;
  }
  content.after_break = DaysList(input).Html();
  content.value = "</td></tr><tr class=\"noHover\"><td class=\"noBrd\" colspan=\"4\">" + table;
  return content;
}

}  // namespace tarvelo::detail
