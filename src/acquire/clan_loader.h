// Turns a clan tag (or "@" + clan id) into a clan record: the clan search, the
// clan info from the cache or the publisher's API, the daily clan snapshot, the
// alliance page and the fame points. The members' own statistics are loaded
// later, member by member, by the account loader.
//
// What is fetched is cached in the clan cache folder: the search page that
// held the tag (index/TAG=CLANID.id, the tag spelt as the publisher spells it),
// the clan info under today's date (CLANID/yyyy-mm-dd.json) and the alliance
// page as UTF-8 text (CLANID/ivanner.dat).
#pragma once

#include <string>

#include "acquire/auxiliary_sources.h"
#include "acquire/loader_context.h"
#include "model/records.h"

namespace tarvelo {

struct ClanLoadRequest {
  std::string search_text;       // a tag, or "@" + clan id
  bool UpdateRequested = false;
  int PeriodDays = 0;
};

struct ClanLoadResult {
  bool result = false;      // the clan info was obtained and parsed
  LoaderMessages messages;
  RWOTClan clan;
  ClanFamePoints fame;
  // Paragraphs for above the report: the warning that the newest stored clan
  // snapshot stands in for the API that could not be reached.
  LoaderMessages notice;
};

// Every problem becomes one of the messages (AddClanMessage); nothing throws.
ClanLoadResult LoadClan(const ClanLoadRequest& request, const LoaderContext& context);

}  // namespace tarvelo
