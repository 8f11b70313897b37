// The fixture of the end-to-end tests of the loaders: the sample API service
// serving a copy of the demo answers (tools/sample_api/demo), an empty cache,
// the request targets as the service logs them, and ways to change answers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquire/account_loader.h"
#include "acquire/clan_loader.h"
#include "acquire/net/http_fetch.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "acquire/store/snapshot_optimizer.h"
#include "cache_test_support.h"
#include "json/json.h"
#include "model/reference.h"
#include "sample_service.h"
#include "text/russian.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;
using testing::FixedClock;
using testing::Paragraphs;
using testing::NamesIn;
using testing::ReadBytes;
using testing::SampleService;
using testing::ScratchFolder;
using testing::WriteBytes;

const fs::path kDemo = TARVELO_DEMO_ANSWERS;
constexpr std::string_view kApplicationId = "e2e5c3e9a7d1b2f4";
constexpr std::string_view kMeta = ",\"meta\":{\"count\":1}";
constexpr std::string_view kDetailsTopic = "https://forum.example.org/topic/battle-counts";

// The demo world: a member of [VOLKI] and a player without a clan.
constexpr std::string_view kMember = "Gromoboy_77";
constexpr std::string_view kMemberId = "4817293";
constexpr std::string_view kClanless = "Mishka_Kosolapy";
constexpr std::string_view kClanlessId = "9120544";
constexpr std::string_view kClanId = "172431";
// Battles of Gromoboy_77 in the demo answers: all battles, and "Бой до последнего"
// (the account's totals equal the sums over its vehicles).
constexpr int64_t kMemberBattles = 6618;
constexpr int64_t kMemberFalloutBattles = 155;
constexpr int kFalloutMode = 13;

inline const ReferenceData& DemoReference() {
  static const ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  return reference;
}

inline std::string WithoutMeta(std::string text) {
  for (size_t at = text.find(kMeta); at != std::string::npos; at = text.find(kMeta, at)) {
    text.erase(at, kMeta.size());
  }
  return text;
}

inline std::string Query(std::string_view path, std::string_view rest) {
  return std::string(path) + "?application_id=" + std::string(kApplicationId) + std::string(rest);
}

// The request targets, as the service logs them.
inline std::string AccountList(std::string_view name) {
  return Query("/wot/account/list/", "&search=" + std::string(name) + "&limit=1");
}
inline std::string AccountInfo(std::string_view id) {
  return Query("/wot/account/info/", "&account_id=" + std::string(id) +
                                         "&fields=account_id,nickname,updated_at,created_at,last_battle_time,"
                                         "logout_at,clan_id,global_rating,statistics&extra=statistics.random,"
                                         "statistics.globalmap_absolute,statistics.globalmap_champion,"
                                         "statistics.globalmap_middle,statistics.fallout");
}
inline std::string Achievements(std::string_view id) {
  return Query("/wot/account/achievements/", "&account_id=" + std::string(id));
}
inline std::string Membership(std::string_view id) {
  return Query("/wgn/clans/membersinfo/",
               "&account_id=" + std::string(id) +
                   "&fields=clan.clan_id,clan.tag,clan.name,clan.created_at,role,joined_at,account_name");
}
inline std::string TanksStats(std::string_view id) {
  return Query("/wot/tanks/stats/", "&account_id=" + std::string(id) +
                                        "&fields=tank_id,all,random,clan,company,globalmap,stronghold_defense,"
                                        "stronghold_skirmish,team,regular_team,fallout,max_xp,max_frags,"
                                        "mark_of_mastery&extra=random,fallout");
}
inline std::string ClanList(std::string_view tag) {
  return Query("/wgn/clans/list/",
               "&search=" + std::string(tag) + "&order_by=tag&fields=clan_id,tag,name,created_at,members_count");
}
inline std::string ClanInfo(std::string_view clan_id) {
  return Query("/wgn/clans/info/", "&clan_id=" + std::string(clan_id) +
                                       "&fields=clan_id,tag,name,color,motto,updated_at,created_at,members_count,"
                                       "members.account_id,members.account_name,members.joined_at,members.role");
}
inline std::string FamePoints(std::string_view id) {
  return "/community/accounts/" + std::string(id) + "/get_front_stats/";
}
inline std::string Replays(std::string_view id) { return "/sApi/v3/player.getInfo?wgId=" + std::string(id); }
inline std::string Location(std::string_view id) { return "/api/usercacheget/?accountId=" + std::string(id); }
inline std::string Alliance(std::string_view clan_id) { return "/lt/clan/" + std::string(clan_id); }

inline std::string Paragraph(std::string_view css_class, std::string_view text) {
  std::string paragraph = "<p";
  if (!css_class.empty()) paragraph += " class=\"" + std::string(css_class) + "\"";
  return paragraph + ">" + std::string(text) + "</p>\r\n";
}

inline std::string DetailsLink() {
  return "Подробности <a href=\"" + std::string(kDetailsTopic) + "\" target=\"_blank\">здесь</a>.";
}

// The merged document expected for an account of the demo, as the program stores it.
// expected/snapshot_ID.json is built by make_demo.py from the parsed answers (not by
// splicing text); the program's optimisation is applied to it here, so the comparison
// checks the textual merge byte for byte.
inline std::string ExpectedSnapshot(std::string_view account_id) {
  return OptimizeSnapshot(ReadBytes(kDemo / "expected" / ("snapshot_" + std::string(account_id) + ".json")));
}

inline std::vector<std::string> JsonFilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const std::string& name : NamesIn(folder.string())) {
    if (name.ends_with(".json")) names.push_back(name);
  }
  return names;
}

class LoadersEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(kDemo, answers_.path(), fs::copy_options::recursive);
    fs::create_directories(UserFolder());
    fs::create_directories(ClanFolder());
    service_ = std::make_unique<SampleService>(answers_.path());
    ASSERT_TRUE(service_->running()) << service_->error();
    context_.fetch = &fetch_;
    context_.disk = &testing::TestDisk();
    context_.clock = testing::TestClock();
    context_.urls.hosts = service_->hosts();
    context_.urls.application_id = std::string(kApplicationId);
    context_.user_cache_folder = UserFolder().string();
    context_.clan_cache_folder = ClanFolder().string();
    context_.reference = &DemoReference();
    context_.legacy.game_portal = service_->url();
    context_.details_topic_url = std::string(kDetailsTopic);
    context_.pause = [this](int milliseconds) { waits_.push_back(milliseconds); };
  }

  void SetClock(const char* local_now) {
    clock_.reset();
    clock_.emplace(local_now);
  }

  AccountLoadResult Search(std::string_view text, bool update = false, int days = 0,
                           std::string_view letters = "", bool interactive = true) {
    AccountLoadRequest request;
    request.search_text = std::string(text);
    request.UpdateRequested = update;
    request.PeriodDays = days;
    request.PeriodLetters = std::string(letters);
    request.interactive = interactive;
    return LoadAccount(request, context_);
  }

  ClanLoadResult SearchClan(std::string_view text, bool update = false) {
    ClanLoadRequest request;
    request.search_text = std::string(text);
    request.UpdateRequested = update;
    return LoadClan(request, context_);
  }

  // The requests served since the previous call.
  std::vector<std::string> NewTargets() {
    std::vector<std::string> all = service_->targets();
    std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, all.size())), all.end());
    seen_ = all.size();
    return fresh;
  }

  // How the service answered the last request for `target`.
  std::string LastOutcomeOf(const std::string& target) const {
    std::string outcome;
    for (const auto& request : service_->requests()) {
      if (request.target == target) outcome = request.outcome;
    }
    return outcome;
  }

  // Puts a route in front of the recorded ones; the first matching route answers.
  void PrependRoute(const std::string& route) {
    const fs::path file = answers_.path() / "routes.json";
    std::string routes = ReadBytes(file);
    const std::string opening = "{\"routes\": [\n";
    ASSERT_EQ(routes.rfind(opening, 0), 0u) << "routes.json no longer opens with " << opening;
    routes.insert(opening.size(), route + ",\n");
    WriteBytes(file, routes);
  }

  std::string Answer(const std::string& relative) const { return ReadBytes(answers_.path() / relative); }
  void SetAnswer(const std::string& relative, const std::string& text) { WriteBytes(answers_.path() / relative, text); }

  // Rewrites a recorded answer with one number changed (compact, member order kept).
  void SetAnswerNumber(const std::string& relative, std::string_view path, int64_t value) {
    json::Value answer = json::parse(Answer(relative));
    ASSERT_TRUE(json::at(answer, path).present()) << relative << " has no " << path;
    ASSERT_TRUE(json::set_integer(answer, path, value));
    SetAnswer(relative, json::print(answer));
  }

  fs::path UserFolder() const { return cache_.path() / "cache" / "user"; }
  fs::path ClanFolder() const { return cache_.path() / "cache" / "clan"; }
  fs::path AccountFolder(std::string_view id) const { return UserFolder() / std::string(id); }
  fs::path ClanSnapshotFolder(std::string_view id) const { return ClanFolder() / std::string(id); }

  ScratchFolder answers_;
  ScratchFolder cache_;
  std::optional<FixedClock> clock_;
  std::unique_ptr<SampleService> service_;
  std::unique_ptr<HttpGetter> getter_ = MakeCurlHttpGetter();
  HttpFetch fetch_{*getter_};
  LoaderContext context_;
  std::vector<int> waits_;
  size_t seen_ = 0;
};

}  // namespace
}  // namespace tarvelo
