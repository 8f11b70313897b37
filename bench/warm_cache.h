// A warm cache for the benchmarks of a search: the player (300 vehicles) has a
// fresh index file, seven daily snapshots of which the newest is fresh, and a
// clan with a fresh snapshot; the search asks for the period view of 3 days
// (no letters, interactive). Everything is generated in a scratch cache folder
// under the temporary folder, removed at the end; the program clock is fixed
// with TARVELO_NOW. The HTTP getter answers nothing: a request would mean the
// cache was not used, and Problem() reports it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "acquire/account_loader.h"
#include "acquire/cache_test_support.h"
#include "acquire/fake_http_getter.h"
#include "acquire/net/http_fetch.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "acquire/store/snapshot_dates.h"
#include "disk_support.h"
#include "generated_snapshot.h"
#include "model/tables.h"
#include "text/clock.h"
#include "text/debug_log.h"
#include "text/russian.h"

namespace tarvelo::bench {

constexpr char kNow[] = "2016-12-18T14:05:00";
constexpr char kNickname[] = "Vasya_2000";
constexpr char kClanId[] = "777";
constexpr int kDays = 7;
constexpr int kPeriodDays = 3;

// The stored snapshot of day `day` (0 the oldest): every vehicle gains a few
// battles a day, so that the period has something to show.
std::string DailySnapshot(const std::vector<std::string>& ids, int day, DateTime date) {
  const int64_t unix_time = DateTimeToUnix(date + 20.0 / 24);
  int total = 0;
  const std::string vehicles = VehiclesText(ids, day, total);
  const std::string achievements = R"({"medalKay":2,"warrior":)" + std::to_string(14 + day) +
                                   R"(,"tankExpert":1,"tankExpert0":1,"mechanicEngineer":1})";
  return std::string(R"({"status":"ok","data":{")") + kAccountId + R"(":{"clan":{"role":"private","clan_id":)" +
         kClanId + R"(,"joined_at":1390221000},"achievements":)" + achievements +
         R"(,"max_series":{"titleSniper":9},"account_id":)" + kAccountId + R"(,"nickname":")" + kNickname +
         R"(","global_rating":6123,"created_at":1300000000,"updated_at":)" + std::to_string(unix_time) +
         R"(,"last_battle_time":)" + std::to_string(unix_time - 600) + R"(,"logout_at":)" +
         std::to_string(unix_time) + R"(,"statistics":{"all":)" + Block(total, 1) + R"(,"random":)" +
         Block(total - 4 * kVehicles, 2) + R"(,"globalmap_champion":)" + Block(300, 3) +
         R"(,"stronghold_skirmish":)" + Block(400, 4) + R"(}},"vehicles":[)" + vehicles + "]}}";
}

std::string IndexText() {
  return std::string(R"({"status":"ok","data":[{"nickname":")") + kNickname + R"(","account_id":)" + kAccountId +
         "}]}";
}

std::string ClanText() {
  std::string members;
  for (int i = 0; i < 50; ++i) {
    if (i) members += ',';
    members += R"({"account_id":)" + std::to_string(4821907 + i) + R"(,"account_name":"Member_)" +
               std::to_string(i) + R"(","joined_at":1390221000,"role":"private"})";
  }
  return std::string(R"({"status":"ok","data":{")") + kClanId +
         R"(":{"members_count":50,"name":"Wolves","color":"#1E73BE","created_at":1368805212,"tag":"WOLF",)"
         R"("updated_at":1480917764,"motto":"m","clan_id":)" + kClanId + R"(,"members":[)" + members + "]}}}";
}

// The settings are named: as a default argument they draw a false "may be
// used uninitialized" from g++ 12.
std::unique_ptr<HttpFetch> NewFetch(HttpGetter& getter) {
  const ConnectionSettings settings;
  return std::make_unique<HttpFetch>(getter, settings);
}

// The scratch cache and everything the search needs; made once.
class WarmCache {
 public:
  WarmCache() {
    setenv("TARVELO_NOW", kNow, 1);
    SetDebugEnabled(false);
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-loader-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root_ = pattern;
    Fill();
    context_.fetch = fetch_.get();
    context_.disk = &testing::TestDisk();
    context_.clock = testing::TestClock();
    context_.user_cache_folder = UserCacheFolderOf(root_);
    context_.clan_cache_folder = ClanCacheFolderOf(root_);
    context_.mode_index = kModeAll;
    context_.reference = &BenchReference();
    context_.pause = [](int) {};
    request_.search_text = kNickname;
    request_.PeriodDays = kPeriodDays;
    request_.PeriodLetters = "";
    request_.interactive = true;
  }
  ~WarmCache() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }

  AccountLoadResult Search() const { return LoadAccount(request_, context_); }
  // The period the search asks for, and the history it reads older days from.
  void SetPeriodDays(int days) { request_.PeriodDays = days; }
  void SetHistory(HistoryService* history) { context_.history = history; }
  // The scratch folder that holds the cache.
  const std::string& root() const { return root_; }

  // Empty when the search ran from the cache and made its records; else what went wrong.
  std::string Problem() const {
    if (root_.empty()) return "no scratch folder";
    const AccountLoadResult result = Search();
    if (!getter_.requests().empty()) return "the search asked the network: " + getter_.requests().front().url;
    if (!result.result) return "the account was not identified: " + testing::Paragraphs(result.messages);
    if (!result.messages.empty()) return "messages: " + testing::Paragraphs(result.messages);
    if (result.current.CacheDate == 0) return "the current record did not come from the cache";
    if (result.current.Vehicles.size() != kVehicles) return "the current record lacks vehicles";
    if (result.period.Vehicles.empty()) return "the period shows no vehicles";
    if (result.clan.tag != "WOLF") return "the clan was not read";
    return {};
  }

  // The texts the search parses, in the order it parses them.
  const std::vector<std::string>& ParsedTexts() const { return parsed_texts_; }
  // Every stored snapshot text, newest first.
  const std::vector<std::string>& Snapshots() const { return snapshots_; }
  size_t SnapshotBytes() const { return parsed_texts_.size() > 2 ? parsed_texts_[2].size() : 0; }

 private:
  void Put(const std::string& path, const std::string& text, DateTime date) {
    WriteTextFile(testing::TestDisk(), text, path);
    SetFileDate(testing::TestDisk(), path, date);
  }

  void Fill() {
    const DateTime now = ProgramClock()();
    const DateTime fresh = now - 10.0 / 24 / 60;
    const std::string users = UserCacheFolderOf(root_);
    const std::string clans = ClanCacheFolderOf(root_);
    const std::string account_folder = EntityFolderOf(users, kAccountId);
    const std::string clan_folder = EntityFolderOf(clans, kClanId);
    for (const std::string& folder : {root_, users, clans, IndexFolderOf(users), account_folder, clan_folder}) {
      std::filesystem::create_directories(folder);
    }
    const std::string index = IndexText();
    Put(JoinPath(IndexFolderOf(users), IndexFileName(kNickname, kAccountId)), index, fresh);
    const std::string clan = ClanText();
    Put(JoinPath(clan_folder, SnapshotFileName(DateOf(ProgramClock()()))), clan, fresh);

    const std::vector<std::string> ids = VehicleIds();
    std::vector<std::string> snapshots;  // newest first
    for (int back = 0; back < kDays; ++back) {
      const DateTime date = DateOf(ProgramClock()()) - back;
      snapshots.push_back(DailySnapshot(ids, kDays - 1 - back, date));
      Put(JoinPath(account_folder, SnapshotFileName(date)), snapshots.back(), back == 0 ? fresh : date + 23.0 / 24);
    }
    parsed_texts_ = {index, clan, snapshots[0], snapshots[kPeriodDays]};
    snapshots_ = snapshots;
  }

  std::string root_;
  FakeHttpGetter getter_;
  std::unique_ptr<HttpFetch> fetch_ = NewFetch(getter_);
  LoaderContext context_;
  AccountLoadRequest request_;
  std::vector<std::string> parsed_texts_;
  std::vector<std::string> snapshots_;
};

}  // namespace tarvelo::bench
