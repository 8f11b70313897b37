#include "model/clan.h"

#include "model/arith.h"
#include "model/json_read.h"
#include "text/replace.h"

namespace tarvelo {
namespace {

RWOTAccount MemberOf(const json::Value& entry, const RWOTClan& clan) {
  RWOTAccount member;
  member.AccountId = detail::TextOf(json::at(entry, "account_id"));
  member.Nickname = json::text(entry, "account_name");
  member.ClanJoined = UnixToDateTime(json::integer(entry, "joined_at"));
  member.ClanRole = json::text(entry, "role");
  member.ClanId = clan.clan_id;
  member.ClanTag = clan.tag;
  return member;
}

// The text between `open` and the next `close` after it; empty when either is missing.
std::string_view Between(std::string_view text, std::string_view open, std::string_view close) {
  const size_t start = text.find(open);
  if (start == std::string_view::npos) return {};
  const size_t from = start + open.size();
  const size_t stop = text.find(close, from);
  if (stop == std::string_view::npos) return {};
  return text.substr(from, stop - from);
}

}  // namespace

std::string ClanEmblemAddress(std::string_view host, std::string_view clan_id, std::string_view size) {
  const std::string_view last_three = clan_id.size() > 3 ? clan_id.substr(clan_id.size() - 3) : clan_id;
  return std::string(host) + "/clans/media/clans/emblems/cl_" + std::string(last_three) + "/" +
         std::string(clan_id) + "/emblem_" + std::string(size) + ".png";
}

void ParseClan(RWOTClan& clan, const json::Value& document, bool with_members, std::string_view emblem_host) {
  const json::Value c = json::object(document, "data." + clan.clan_id);
  if (!c.present()) return;
  clan.tag = json::text(c, "tag");
  clan.name = json::text(c, "name");
  clan.color = json::text(c, "color");
  clan.created = UnixToDateTime(json::integer(c, "created_at"));
  clan.updated = UnixToDateTime(json::integer(c, "updated_at"));
  clan.emblem_64 = ClanEmblemAddress(emblem_host, clan.clan_id, "64x64");
  clan.emblem_32 = ClanEmblemAddress(emblem_host, clan.clan_id, "32x32");
  clan.emblem_24 = ClanEmblemAddress(emblem_host, clan.clan_id, "24x24");
  clan.motto = json::text(c, "motto");
  clan.members_count = static_cast<uint8_t>(json::integer(c, "members_count"));
  if (!with_members) return;
  clan.members.clear();
  const json::Value members = json::array(c, "members");
  const size_t count = json::length(members);
  for (size_t i = 0; i < count; ++i) clan.members.push_back(MemberOf(json::item(members, i), clan));
}

void ParseAlliance(std::string_view page, RWOTClan& clan) {
  clan.alliance = RAlliance{};
  const std::string_view piece = Between(page, " <a href=\"/lt/alliance/", "</span>");
  if (piece.empty()) return;
  clan.alliance.id = std::string(piece.substr(0, piece.find("\">")));
  clan.alliance.name = std::string(Between(piece, "\">", "</a>"));
  clan.alliance.color = std::string(Between(piece, "color:", "\">"));
}

}  // namespace tarvelo
