#include "model/side_sources.h"

#include <array>
#include <utility>

#include "model/date_text.h"
#include "model/json_read.h"
#include "model/tables.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

// Dates in 1970 or earlier are the sources' way of saying "none".
DateTime DateOrNoEnd(DateTime date) { return DecodeDateTime(date).year <= 1970 ? NoEndDate() : date; }

// "yyyy-mm-dd" as a date, 0 when it is not one.
DateTime HistoryDate(const std::string& text, DateTime now) {
  return detail::ParseDateText(ReplaceAll(text, "-", "."), now).value_or(0);
}

// Former role names of the clan history site renamed to today's labels.
std::string RenamedRole(std::string role) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kRenames{{
      {"Командир", "Командующий"},
      {"Заместитель командира", "Замком"},
      {"Полевой командир", "Командир подразделения"},
      {"Вербовщик", "Офицер по кадрам"},
      {"Казначей", "Офицер снабжения"},
      {"Солдат", "Рядовой"},
      {"personnel_officer", "Офицер штаба"},
      {"junior_officer", "Младший офицер"},
      {"reservist", "Резервист"},
      {"Дипломат", "Офицер разведки"},
  }};
  for (const auto& [from, to] : kRenames) role = ReplaceAll(role, from, to);
  return role;
}

RClanRole ClanRoleOfRow(const json::Value& row, DateTime now) {
  RClanRole role;
  role.clan_id = detail::TextOf(json::at(row, "id"));
  const json::Value cell = json::array(row, "cell");
  // "[TAG] Clan name": the tag between the brackets, the name from the blank on.
  const std::string title = json::item_text(cell, 0);
  const size_t blank = title.find(' ');
  if (blank == std::string::npos) {
    role.clan_name = title;
  } else {
    role.clan_tag = blank >= 2 ? title.substr(1, blank - 2) : std::string();
    role.clan_name = title.substr(blank);
  }
  role.role = RenamedRole(json::item_text(cell, 1));
  role.joined = HistoryDate(json::item_text(cell, 2), now);
  role.left = DateOrNoEnd(HistoryDate(json::item_text(cell, 3), now));
  return role;
}

}  // namespace

void ParseNameHistory(const json::Value& names, const json::Value& dates, DateTime now, RWOTAccount& account) {
  account.NameHistory.clear();
  const size_t count = json::length(names);
  for (size_t i = 0; i < count; ++i) {
    RNameHistory entry;
    entry.name = json::item_text(names, i);
    entry.date = DateOrNoEnd(detail::ParseDateText(json::item_text(dates, i), now).value_or(0));
    account.NameHistory.push_back(std::move(entry));
  }
}

void ParseClanHistory(const json::Value& rows, DateTime now, RWOTAccount& account) {
  account.ClanHistory.clear();
  for (size_t i = json::length(rows); i > 0; --i) account.ClanHistory.push_back(ClanRoleOfRow(json::item(rows, i - 1), now));
}

void SetReplayFigures(std::string_view page, int32_t count, int32_t video_count, RWOTAccount& account) {
  account.ReplayPage = std::string(page);
  account.ReplayCount = count;
  account.ReplayVideoCount = video_count;
}

void SetLocation(std::string_view country_code, std::string_view region, std::string_view city,
                 RWOTAccount& account, const ReferenceData& reference) {
  account.CountryCode = std::string(country_code);
  account.Region = std::string(region);
  account.City = std::string(city);
  std::string text;
  if (!country_code.empty()) {
    bool listed = false;
    std::string country = reference.CountryName(country_code, &listed);
    text += listed ? country : std::string(country_code);
    text += ", ";
  }
  if (!region.empty() && LowerCase(region) != LowerCase(city)) {
    text += region;
    text += ", ";
  }
  text += city;
  account.LocationText = std::move(text);
}

}  // namespace tarvelo
