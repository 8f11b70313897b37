// What the two clan pages share. Internal to the report layer.
#pragma once

#include <string>
#include <string_view>

#include "report/clan_report.h"

namespace tarvelo::detail {

// The title row: links menu, data time, emblem, tag, name, members, alliance,
// creation date and campaign standing, in one cell spanning `colspan` columns.
std::string ClanTitleRow(const ClanReportInput& input, int colspan);

// "<p>Сбор данных был прерван. Обработано только 3 бойца из 25.</p>\r\n".
std::string InterruptionNote(int done, int total);

// The clan's tag field names several clans.
bool SeveralClans(const RWOTClan& clan);

// A member's role label in brackets, coloured by its rank; "&nbsp;" without one.
std::string RoleLabel(std::string_view role);

// "[TAG]" with the tag a link that searches the clan; "&nbsp;" without a tag.
std::string ClanTagLink(std::string_view site, std::string_view tag);

// The footer's copy of a header row: white text, no "Имя" and "Должность".
std::string FooterHeader(std::string_view header_row);

}  // namespace tarvelo::detail
