// Searches typed into the headless program, answered by the sample API service
// from the demo answers: from the command to the page, the recent list and the cache.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sqlite3.h>

#include <regex>
#include <sstream>

#include "acquire/store/account_days.h"
#include "acquire/store/cache_files.h"
#include "acquire/store/cache_layout.h"
#include "golden_page.h"
#include "shell/history_commands.h"
#include "text/replace.h"

#include "sample_service.h"
#include "shell/headless/headless.h"
#include "shell/settings_store.h"
#include "shell/shell_fixture.h"

namespace tarvelo::testing {
namespace {

class HeadlessSearchTest : public ::testing::Test {
 protected:
  HeadlessSearchTest() : service_(TARVELO_DEMO_ANSWERS) {
    setenv("TARVELO_HOME", (root() + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root() + "/config").c_str(), 1);
    setenv("TARVELO_APPDATA", (root() + "/appdata").c_str(), 1);
    setenv("TARVELO_NOW", "2026-12-08T12:00:00", 1);
    const std::string host = service_.url();
    // A check made long after "now": no update check, the requests are the search's own.
    WriteText(SettingsFile(), "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n[Hosts]\nApi=" + host + "\nGamePortal=" + host +
                                  "\nClanPortal=" + host + "\nReplays=" + host + "\nLocation=" + host +
                                  "\nAlliance=" + host + "\nSite=" + host + "\n");
  }
  ~HeadlessSearchTest() override {
    for (const char* name : {"TARVELO_HOME", "XDG_CONFIG_HOME", "TARVELO_APPDATA", "TARVELO_NOW"}) unsetenv(name);
  }

  const std::string& root() const { return temp_.path(); }
  std::string SettingsFile() const { return root() + "/config/tarvelo/settings.ini"; }
  std::string PageFile() const { return root() + "/page.html"; }
  std::string CacheFolder() const { return root() + "/home/cache"; }

  // The page after the search; `code` is the exit code it should give.
  std::string Search(const std::string& text, int code = 0) {
    ::testing::internal::CaptureStderr();
    int exit_code = RunHeadless({"--page", PageFile(), "--command", "[CMD:]search[PRM:]" + text});
    errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(exit_code, code) << errors;
    return ReadText(PageFile());
  }

  std::string RecentEntry() const { return SettingsStore(TestDisk(), SettingsFile()).ReadSettingStr("Recent", "0", ""); }

  std::string errors;
  TempFolder temp_;
  SampleService service_;
};

TEST_F(HeadlessSearchTest, APlayerIsFoundStoredAndRemembered) {
  ASSERT_TRUE(service_.running()) << service_.error();
  std::string page = Search("Gromoboy_77");
  EXPECT_EQ(page.find("ОШИБКА"), std::string::npos) << page;
  EXPECT_NE(page.find("value=\"Gromoboy_77\""), std::string::npos);
  EXPECT_EQ(RecentEntry(), "Gromoboy_77");

  EXPECT_TRUE(std::filesystem::exists(CacheFolder() + "/user/index/Gromoboy_77=4817293.id"));
  bool snapshot_stored = false;
  for (const auto& entry : std::filesystem::directory_iterator(CacheFolder() + "/user/4817293")) {
    snapshot_stored = snapshot_stored || entry.path().extension() == ".json";
  }
  EXPECT_TRUE(snapshot_stored);

  std::vector<std::string> targets = service_.targets();
  ASSERT_FALSE(targets.empty());
  EXPECT_TRUE(targets.front().starts_with("/wot/account/list/")) << targets.front();

  // The pictures of the player's 13 vehicles came from the API host before the page was shown.
  size_t pictures = 0;
  for (const LoggedRequest& request : service_.requests()) {
    const size_t name = request.target.rfind("/vehicle/contour/");
    if (name == std::string::npos) continue;
    ++pictures;
    EXPECT_EQ(request.outcome, "200") << request.target;
    EXPECT_TRUE(std::filesystem::exists(root() + "/home/images/vehicle/" + request.target.substr(name + 17)))
        << request.target;
  }
  EXPECT_EQ(pictures, 13u);
}

TEST_F(HeadlessSearchTest, AnUnknownPlayerLeavesTheRecentListAlone) {
  ASSERT_TRUE(service_.running()) << service_.error();
  std::string page = Search("Nobody_Known_Here", 1);
  EXPECT_NE(page.find("<p class=\"r\">ОШИБКА: Не найден игрок с именем \"Nobody_Known_Here\".</p>"), std::string::npos)
      << page;
  EXPECT_NE(errors.find("поиск не удался (1 из 1):\nОШИБКА: Не найден игрок с именем \"Nobody_Known_Here\".\n"),
            std::string::npos)
      << errors;
  EXPECT_EQ(RecentEntry(), "");
}

// Standard error is read as text: what the page escapes stands there as typed.
TEST_F(HeadlessSearchTest, FailuresOnStandardErrorArePlainText) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const struct {
    std::string request;
    std::string line;
  } cases[] = {
      {"Tom&Jerry", "ОШИБКА: Не найден игрок с именем \"Tom&Jerry\".\n"},
      {"Tom<b>x</b>", "ОШИБКА: Не найден игрок с именем \"Tom<b>x</b>\".\n"},
      {"[T&J]", "ОШИБКА: Не найден клан с именем \"T&J\".\n"},
  };
  for (const auto& c : cases) {
    const std::string page = Search(c.request, 1);
    EXPECT_NE(errors.find("поиск не удался (1 из 1):\n" + c.line), std::string::npos) << errors;
    EXPECT_EQ(errors.find("&amp;"), std::string::npos) << errors;
    EXPECT_EQ(page.find("Tom<b>"), std::string::npos) << "the page keeps the name escaped";
  }
}

TEST_F(HeadlessSearchTest, AStoppedServiceIsNamedOnceAndTheApplicationIdNowhere) {
  std::string host;
  {
    const SampleService stopped(TARVELO_DEMO_ANSWERS);
    host = stopped.url();
  }
  WriteText(SettingsFile(), "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\nApplicationId=Secret0Key\n"
                            "[Hosts]\nApi=" + host + "\nSite=" + host + "\n");
  ::testing::internal::CaptureStderr();
  const int code = RunHeadless({"--page", PageFile(), "Gromoboy_77&debug"});
  errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, 1);
  const std::string page = ReadText(PageFile());
  const std::string message = "ОШИБКА: Не удалось соединиться с сервером " + host.substr(host.find("://") + 3) +
                              ". Проверьте подключение к сети и настройки прокси.";
  EXPECT_NE(page.find("<p class=\"r\">" + message + "</p>"), std::string::npos) << page;
  EXPECT_EQ(page.find(message), page.rfind(message)) << "said more than once";
  EXPECT_NE(page.find("application_id=…"), std::string::npos) << "the debug log shows the masked address";
  EXPECT_NE(errors.find(message), std::string::npos) << errors;
  for (const std::string& text : {page, errors}) {
    EXPECT_EQ(text.find("Secret0Key"), std::string::npos);
    EXPECT_EQ(text.find("некорректные"), std::string::npos);
    EXPECT_EQ(text.find(" IE"), std::string::npos);
  }
}

// An update without a connection shows the newest stored day, the warning
// above it, and stores nothing.
TEST_F(HeadlessSearchTest, AnUpdateWithoutAConnectionShowsTheNewestStoredDay) {
  ASSERT_TRUE(service_.running()) << service_.error();
  Search("Gromoboy_77");
  const auto stored_files = [this] {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CacheFolder())) {
      if (entry.is_regular_file()) files[entry.path().string()] = ReadText(entry.path().string());
    }
    return files;
  };
  const auto stored = stored_files();
  const RefusingPort refusing;
  const std::string host = refusing.url("");
  WriteText(SettingsFile(), "[Tarvelo]\nDefaultAccount=Someone\nUpdateLastCheck=999999\n[Hosts]\nApi=" + host +
                                "\nGamePortal=" + host + "\nClanPortal=" + host + "\nReplays=" + host +
                                "\nLocation=" + host + "\nAlliance=" + host + "\nSite=" + host + "\n");
  setenv("TARVELO_NOW", "2026-12-09T10:00:00", 1);
  const std::string page = Search("Gromoboy_77&update");
  const size_t warning = page.find("<p class=\"g\">ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + host.substr(7) +
                                   ", показаны данные от 08.12.2026 12:00.</p>");
  EXPECT_NE(warning, std::string::npos) << page.substr(0, 4000);
  EXPECT_LT(warning, page.find("Кеш от 08.12.2026 12:00")) << "above the report of the stored day";
  EXPECT_EQ(stored_files(), stored);
}

TEST_F(HeadlessSearchTest, AClanTagInBracketsLoadsTheClan) {
  ASSERT_TRUE(service_.running()) << service_.error();
  std::string page = Search("[volki]");
  EXPECT_EQ(page.find("ОШИБКА"), std::string::npos) << page;
  EXPECT_EQ(RecentEntry(), "[volki]");
  EXPECT_TRUE(std::filesystem::exists(CacheFolder() + "/clan/index/VOLKI=172431.id"));
  EXPECT_TRUE(std::filesystem::exists(CacheFolder() + "/clan/172431/2026-12-08.json"));
}

// A typed name with markup, found by the service, goes into the waiting page, the
// recent and favourite lists and, read back from the settings, into the next run's
// pages: always as text.
TEST_F(HeadlessSearchTest, MarkupInATypedNameNeverReachesAPage) {
  const std::string name = "Evil<script>doCmd('home')</script><img src=x onerror=alert(1)>";
  const TempFolder answers;
  std::filesystem::copy(TARVELO_DEMO_ANSWERS, answers.path(), std::filesystem::copy_options::recursive);
  const std::filesystem::path routes = std::filesystem::path(answers.path()) / "routes.json";
  std::string table = ReadText(routes.string());
  table.insert(table.find('[') + 1, R"({"path": "/wot/account/list/", "query": {"search": "Evil<script>doCmd('home')</script><img src=x onerror=alert(1)>", "limit": "1"}, "file": "api/account_list_gromoboy_77.json"},)");
  WriteText(routes.string(), table);
  const SampleService hostile(answers.path());
  ASSERT_TRUE(hostile.running()) << hostile.error();
  WriteText(SettingsFile(), "[Tarvelo]\nUpdateLastCheck=999999\n[Hosts]\nApi=" + hostile.url() + "\nSite=" +
                                hostile.url() + "\n");

  const std::string first = root() + "/first";
  const std::string second = root() + "/second";
  ::testing::internal::CaptureStderr();
  const int found = RunHeadless({"--page", PageFile(), "--pages", first, "--answer", "yes", "--command",
                         "[CMD:]search[PRM:]" + name, "--command", "[CMD:]addfav[PRM:]" + name});
  EXPECT_EQ(RunHeadless({"--page", PageFile(), "--pages", second, "--command", "[CMD:]home[PRM:]"}), 0);
  errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(found, 0) << errors;
  ASSERT_EQ(RecentEntry(), name) << errors;
  ASSERT_EQ(SettingsStore(TestDisk(), SettingsFile()).ReadSettingStr("Favorites", "0", ""), name) << errors;

  size_t pages = 0;
  bool listed = false;
  for (const std::string& folder : {first, second}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string page = ReadText(entry.path().string());
      ++pages;
      EXPECT_EQ(page.find("<script>doCmd('home'"), std::string::npos) << entry.path();
      EXPECT_EQ(page.find("<img src=x"), std::string::npos) << entry.path();
      listed = listed || page.find(">Evil&lt;script&gt;doCmd(&#39;home&#39;") != std::string::npos;
    }
  }
  EXPECT_GE(pages, 3u);
  EXPECT_TRUE(listed) << "the lists show the name as text";
}

// Every file below `folder` but the history database: its path, size, FNV-1a
// hash and modification time in seconds, one line each, in path order.
std::string FileManifest(const std::string& folder) {
  std::vector<std::string> lines;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename().string().starts_with("history.sqlite")) continue;
    const std::string bytes = ReadText(entry.path().string());
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    struct stat info {};
    stat(entry.path().c_str(), &info);
    lines.push_back(std::filesystem::relative(entry.path(), folder).string() + " " + std::to_string(bytes.size()) +
                    " " + std::to_string(hash) + " " + std::to_string(info.st_mtime));
  }
  std::sort(lines.begin(), lines.end());
  std::string manifest;
  for (const std::string& line : lines) manifest += line + "\n";
  return manifest;
}

// What a day of searches leaves on disk, every day kept a plain file, compared
// file by file, dates included: a player on two days, a period, a clan with its
// members' collection and the favourites and recent lists of the settings.
TEST_F(HeadlessSearchTest, TheFilesASearchStoresStayByteForByteTheSame) {
  ASSERT_TRUE(service_.running()) << service_.error();
  SettingsStore(TestDisk(), SettingsFile()).WriteSettingInt("", "PlainDays", -1);
  setenv("TARVELO_NOW", "2026-12-07T09:30:00", 1);
  Search("Gromoboy_77");
  setenv("TARVELO_NOW", "2026-12-08T12:00:00", 1);
  Search("Gromoboy_77&update");
  Search("Gromoboy_77&days=1");
  Search("[VOLKI]&update");
  Search("Mishka_Kosolapy&mode=fallout");
  const std::string manifest = FileManifest(root() + "/home") + "settings.ini\n" +
                               ReplaceAll(ReadText(SettingsFile()), service_.url(), "SERVICE");
  const std::string golden = std::string(TARVELO_SHELL_TEST_DATA) + "/golden/stored_files.txt";
  EXPECT_EQ(GoldenDifference(golden, manifest), "");
}

// A period that starts at a day of the history archive shows the same page as
// when that day is a plain file; an archived day that no longer reads is named
// on the page.
TEST_F(HeadlessSearchTest, APeriodFromAnArchivedDayShowsTheSamePage) {
  ASSERT_TRUE(service_.running()) << service_.error();
  const SettingsStore settings(TestDisk(), SettingsFile());
  settings.WriteSettingInt("", "PlainDays", -1);
  Search("Gromoboy_77");
  const std::string folder = CacheFolder() + "/user/4817293/";
  const std::vector<DateTime> searched = ListSnapshotDates(TestDisk(), folder);
  ASSERT_FALSE(searched.empty());
  const std::string today = ReadText(folder + SnapshotFileName(searched.back()));
  // Twenty older days, each with fewer battles than the next.
  const std::regex battles("\"battles\":(\\d+)");
  for (int back = 1; back <= 20; ++back) {
    std::string day = today;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(day, match, battles));
    day.replace(static_cast<size_t>(match.position(1)), static_cast<size_t>(match.length(1)),
                std::to_string(std::stoll(match[1]) - 3 * back));
    const DateTime date = searched.back() - back;
    const std::string path = folder + SnapshotFileName(date);
    WriteText(path, day);
    SetFileDate(TestDisk(), path, date + 0.9);
  }
  const std::vector<DateTime> days = ListSnapshotDates(TestDisk(), folder);
  const std::string plain_page = Search("Gromoboy_77&days=20");
  ASSERT_NE(plain_page.find("<html"), std::string::npos);

  settings.WriteSettingInt("", "PlainDays", 7);
  std::ostringstream out, err;
  ASSERT_EQ(RunHistoryCommand({"--history-compact"}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("4817293: в архив перенесено " + std::to_string(days.size() - 7) + " "),
            std::string::npos)
      << out.str();
  EXPECT_EQ(ListSnapshotDates(TestDisk(), folder).size(), 7u);
  EXPECT_EQ(Search("Gromoboy_77&days=20"), plain_page);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((CacheFolder() + "/history.sqlite").c_str(), &db), SQLITE_OK);
  const DateTime oldest = days[20];  // the day the period starts from
  const std::string damage = "UPDATE days SET hash = hash + 1 WHERE day = " + FormatDateTime("yyyymmdd", oldest) + ";";
  ASSERT_EQ(sqlite3_exec(db, damage.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string damaged_page = Search("Gromoboy_77&days=20");
  EXPECT_NE(damaged_page.find(DamagedDayMessage(oldest)), std::string::npos)
      << damaged_page.substr(0, 3000);
}

}  // namespace
}  // namespace tarvelo::testing
