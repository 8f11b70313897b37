// UNFINISHED: replaced by the lead's clan_title.cpp and clan_selector.cpp.
// Stand-ins for the parts both clan pages share, so that the top-tanks page
// builds and can be tested meanwhile. Nothing else belongs in this file.
#include <string>

#include "report/clan_parts.h"
#include "report/html.h"
#include "text/replace.h"
#include "text/russian.h"

namespace tarvelo {

std::string ClanSelectorRow(const ClanReportInput& input) {
  return "<thead><tr class=\"noHover\"><td class=\"tCenter\" colspan=\"38\"><p>[" + EscapeHtml(input.clan.tag) +
         "] selector row</p></td></tr>\r\n</thead>\r\n";
}

namespace detail {

std::string ClanTitleRow(const ClanReportInput& input, int colspan) {
  return "<tr class=\"noHover\"><td colspan=\"" + std::to_string(colspan) + "\">[" + EscapeHtml(input.clan.tag) +
         "] " + EscapeHtml(input.clan.name) + "</td></tr>\r\n";
}

std::string InterruptionNote(int done, int total) {
  return "<p>Сбор данных был прерван. Обработан" + std::string(Plural(done, "", "о", "о")) + " только " +
         std::to_string(done) + std::string(Plural(done, " боец", " бойца", " бойцов")) + " из " +
         std::to_string(total) + ".</p>\r\n";
}

bool SeveralClans(const RWOTClan& clan) { return Contains(clan.tag, ","); }

std::string FooterHeader(std::string_view header_row) {
  return ReplaceEach(header_row, {"<tr", "Имя", "Должность"}, {"<tr style=\"color:white\"", "&nbsp;", "&nbsp;"});
}

}  // namespace detail
}  // namespace tarvelo
