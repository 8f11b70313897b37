// The reference documents refreshed from the sample service's encyclopedia
// (paged) and table of expected values, end to end: a player's vehicle the
// embedded documents lack gets its name, tier and class and counts in his WN8
// after the next start; a refresh killed at any moment leaves documents that load.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "acquire/store/reference_files.h"
#include "json/json.h"
#include "sample_service.h"
#include "shell/figures.h"
#include "shell/headless/headless.h"
#include "shell/reference_refresher.h"
#include "shell/shell_fixture.h"

extern char** environ;

namespace tarvelo::testing {
namespace {

class ReferenceRefreshEndToEnd : public ::testing::Test {
 protected:
  ReferenceRefreshEndToEnd() : service_(TARVELO_DEMO_ANSWERS) {
    setenv("TARVELO_HOME", (root() + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
    setenv("TARVELO_APPDATA", (root() + "/appdata").c_str(), 1);
    setenv("TARVELO_NOW", "2026-12-08T12:00:00", 1);
    const std::string host = service_.url();
    WriteText(root() + "/config/tarvelo/settings.ini",
              "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n[Hosts]\nApi=" + host +
                  "\nGamePortal=" + host + "\nClanPortal=" + host + "\nReplays=" + host + "\nLocation=" + host +
                  "\nAlliance=" + host + "\nSite=" + host + "\nExpectedValues=" +
                  service_.url("/wn8-data-exp/json/wn8exp.json") + "\n");
  }
  ~ReferenceRefreshEndToEnd() override {
    for (const char* name : {"TARVELO_HOME", "XDG_CONFIG_HOME", "TARVELO_APPDATA", "TARVELO_NOW"}) unsetenv(name);
  }

  const std::string& root() const { return temp_.path(); }
  std::string ReferenceFolder() const { return root() + "/home/reference"; }

  // The page the headless program shows after the page command `title`.
  std::string Page(const std::string& title) {
    const std::string file = root() + "/page.html";
    ::testing::internal::CaptureStderr();
    const int code = RunHeadless({"--page", file, "--command", title});
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0) << errors;
    return ReadText(file);
  }

  int Refresh() {
    std::ostringstream out, err;
    const int code = RunReferenceRefresh(out, err);
    output = out.str() + err.str();
    return code;
  }

  // What --figures computes from the player's stored snapshot with the documents in use.
  json::Value Figures() {
    std::string snapshot;
    for (const auto& entry : std::filesystem::directory_iterator(root() + "/home/cache/user/12500001")) {
      if (entry.path().extension() == ".json") snapshot = entry.path().string();
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunFigures({snapshot}, out, err), 0) << err.str();
    return json::parse(out.str());
  }

  static json::Value AddedVehicle(const json::Value& figures) {
    const json::Value vehicles = json::array(figures, "vehicles");
    for (size_t i = 0; i < json::length(vehicles); ++i) {
      if (json::text(json::item(vehicles, i), "TankId") == "70401") return json::item(vehicles, i);
    }
    return {};
  }

  size_t RequestsFor(std::string_view prefix) const {
    size_t count = 0;
    for (const LoggedRequest& request : service_.requests()) count += request.target.starts_with(prefix) ? 1 : 0;
    return count;
  }

  std::string output;
  TempFolder temp_;
  SampleService service_;
};

TEST_F(ReferenceRefreshEndToEnd, AVehicleAddedLaterIsNamedAndRatedAfterTheNextStart) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string before = Page("[CMD:]search[PRM:]Ispytatel_2026");
  EXPECT_NE(before.find("UnknownVehicle_70401"), std::string::npos);
  const json::Value old_figures = Figures();
  EXPECT_EQ(json::text(AddedVehicle(old_figures), "Name"), "UnknownVehicle_70401");
  EXPECT_EQ(json::real(AddedVehicle(old_figures), "stats.rateWN8"), 0);

  ASSERT_EQ(Refresh(), 0) << output;
  EXPECT_NE(output.find("Справочник машин: получена версия 1.35.0.0 от 30.11.2026."), std::string::npos) << output;
  EXPECT_NE(output.find("Ожидаемые значения WN8: получена версия 2026-12-07."), std::string::npos) << output;
  EXPECT_EQ(RequestsFor("/wot/encyclopedia/info/"), 1u);
  EXPECT_EQ(RequestsFor("/wot/encyclopedia/vehicles/"), 9u);  // 852 vehicles, 100 a page
  EXPECT_EQ(RequestsFor("/wn8-data-exp/"), 1u);

  // The next start: the stored snapshot shown again with the refreshed documents.
  const std::string after = Page("[CMD:]search[PRM:]Ispytatel_2026");
  EXPECT_EQ(after.find("UnknownVehicle_70401"), std::string::npos);
  const size_t row = after.find("<tr class=\"vehicle vLevel8 vType3\"><td");
  ASSERT_NE(row, std::string::npos) << "the added vehicle is a tier-8 heavy tank";
  const std::string vehicle_row = after.substr(row, after.find("\r\n", row) - row);
  EXPECT_NE(vehicle_row.find("<span>Объект 2026</span>"), std::string::npos) << vehicle_row;
  EXPECT_NE(vehicle_row.find("VIII </small>"), std::string::npos) << vehicle_row;
  EXPECT_NE(vehicle_row.find("Номинальный урон по WN8: 1711"), std::string::npos) << vehicle_row;
  EXPECT_NE(vehicle_row.find("Урон для WN8: "), std::string::npos) << vehicle_row;

  const json::Value figures = Figures();
  const json::Value added = AddedVehicle(figures);
  EXPECT_EQ(json::text(added, "Name"), "Объект 2026");
  EXPECT_EQ(json::integer(added, "Tier"), 8);
  EXPECT_EQ(json::integer(added, "VehicleType"), 3);
  const int64_t battles = json::integer(added, "stats.Battles");
  ASSERT_GT(battles, 0);
  EXPECT_GT(json::real(added, "stats.rateWN8"), 0);
  // The account's WN8 now counts the vehicle: its battles have expected values.
  EXPECT_EQ(json::integer(figures, "stats.BattlesWithoutExp"),
            json::integer(old_figures, "stats.BattlesWithoutExp") - battles);
  EXPECT_NEAR(json::real(figures, "stats.ExpDamageSum") - json::real(old_figures, "stats.ExpDamageSum"),
              1711.25 * static_cast<double>(battles), 2);
  EXPECT_EQ(json::integer(figures, "ExpTotals.DamageDealt") - json::integer(old_figures, "ExpTotals.DamageDealt"),
            json::integer(added, "stats.DamageDealt"));
  EXPECT_NE(json::real(figures, "stats.rateWN8"), json::real(old_figures, "stats.rateWN8"));

  const std::string start = Page("[CMD:]home");
  EXPECT_NE(start.find("Справочник машин: <span style=\"white-space:nowrap\">1.35.0.0 от 30.11.2026</span>, "
                       "ожидаемые значения: <span style=\"white-space:nowrap\">2026-12-07</span>. "
                       "Обновлены 08.12.2026 в 12:00."),
            std::string::npos);

  // Asked again, both are current: two requests.
  const size_t requests = service_.requests().size();
  ASSERT_EQ(Refresh(), 0) << output;
  EXPECT_NE(output.find("Справочник машин: версия 1.35.0.0 от 30.11.2026 — последняя."), std::string::npos) << output;
  EXPECT_EQ(service_.requests().size(), requests + 2);
}

TEST_F(ReferenceRefreshEndToEnd, TheStartPageLinkRefreshesAndSaysSo) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string start = Page("[CMD:]home");
  EXPECT_NE(start.find("Справочник машин: <span style=\"white-space:nowrap\">встроенный</span>, ожидаемые значения: "
                       "<span style=\"white-space:nowrap\">2025-10-13</span>. Не обновлялись. "
                       "<a href=\"#\" onclick=\"return doCmd('refdata')\""),
            std::string::npos);
  const std::string page = Page("[CMD:]refdata");
  EXPECT_NE(page.find("<p>Справочник машин: получена версия 1.35.0.0 от 30.11.2026.<br />Ожидаемые значения WN8: "
                      "получена версия 2026-12-07.<br />Новые справочники будут загружены при следующем запуске "
                      "программы.</p>"),
            std::string::npos);
  EXPECT_TRUE(StoredVehicles(TestDisk(), ReferenceFolder()));
  EXPECT_TRUE(StoredExpectedValues(TestDisk(), ReferenceFolder()));
  // The next start loads them; asked again, nothing newer waits for a start.
  const std::string again = Page("[CMD:]refdata");
  EXPECT_NE(again.find("<p>Справочник машин: версия 1.35.0.0 от 30.11.2026 — последняя.<br />"), std::string::npos);
  EXPECT_EQ(again.find("при следующем запуске"), std::string::npos);
}

TEST_F(ReferenceRefreshEndToEnd, ARefreshThatCannotBeCompletedSaysWhyAndFails) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const std::string settings = root() + "/config/tarvelo/settings.ini";
  std::string text = ReadText(settings);
  const size_t table = text.find("ExpectedValues=");
  text.replace(table, text.find('\n', table) - table, "ExpectedValues=" + service_.url("/no/such/table.json"));
  WriteText(settings, text);
  EXPECT_EQ(Refresh(), 1);
  EXPECT_NE(output.find("Справочник машин: получена версия 1.35.0.0 от 30.11.2026."), std::string::npos) << output;
  EXPECT_NE(output.find("Ожидаемые значения WN8: обновить не удалось — нет полного ответа от сервера 127.0.0.1:"),
            std::string::npos)
      << output;
  EXPECT_FALSE(std::filesystem::exists(ReferenceFolder() + "/TanksExpValues.json"));
  EXPECT_FALSE(std::filesystem::exists(ReferenceFolder() + "/refreshed"));
}

pid_t StartRefresh() {
  const std::string program = TARVELO_PROGRAM;
  const char* argv[] = {program.c_str(), "--refresh-reference", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

TEST_F(ReferenceRefreshEndToEnd, AKillAtAnyMomentLeavesDocumentsThatLoad) {
  ASSERT_TRUE(service_.running()) << service_.error();
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  int status = 0;
  const pid_t whole = StartRefresh();
  ASSERT_GT(whole, 0);
  waitpid(whole, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto takes = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);

  const char* kills = std::getenv("TARVELO_KILLS");
  const int rounds = kills ? std::atoi(kills) : 20;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int64_t> moment(0, takes.count());
  int with_both = 0;
  for (int round = 0; round < rounds; ++round) {
    std::filesystem::remove_all(ReferenceFolder());
    const pid_t child = StartRefresh();
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    for (const char* name : {"TanksInfo.json", "TanksExpValues.json"}) {
      if (!std::filesystem::exists(ReferenceFolder() + "/" + name)) continue;
      const auto sound = std::string(name) == "TanksInfo.json" ? StoredVehicles(TestDisk(), ReferenceFolder())
                                                               : StoredExpectedValues(TestDisk(), ReferenceFolder());
      EXPECT_TRUE(sound) << name << " after a kill in round " << round;
    }
    with_both += std::filesystem::exists(ReferenceFolder() + "/TanksExpValues.json") ? 1 : 0;
  }
  // How many kills came after both documents were written, for the record.
  RecordProperty("rounds_with_both_documents", with_both);
}

}  // namespace
}  // namespace tarvelo::testing
