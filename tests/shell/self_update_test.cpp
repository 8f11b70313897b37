// The update check and the update through the window, against the sample service
// playing the program's site. The running file is a copy of a small system program.
#include "shell/self_update.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "sample_service.h"
#include "shell/shell_fixture.h"
#include "shell/update_test_key.h"

namespace tarvelo::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUpdate = "[CMD:]update[PRM:]http://127.0.0.1/forum/topic";
constexpr std::string_view kNewBuild = "#!/bin/sh\necho the new build\n";
constexpr std::string_view kBadSignatureText =
    "Скачанный файл не прошёл проверку подписи и удалён. Попробуйте обновить программу вручную.";

std::string Sign(std::string_view content, const std::array<unsigned char, 32>& seed = kTestKeySeed) {
  unsigned char public_key[crypto_sign_PUBLICKEYBYTES], secret_key[crypto_sign_SECRETKEYBYTES];
  unsigned char signature[crypto_sign_BYTES];
  crypto_sign_seed_keypair(public_key, secret_key, seed.data());
  crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(content.data()), content.size(),
                       secret_key);
  return std::string(reinterpret_cast<char*>(signature), sizeof signature);
}

// Dated Tue, 01 Dec 2026 10:00:00 GMT.
void AgeFile(const std::string& path) {
  timespec times[2] = {{0, UTIME_OMIT}, {1796119200, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// The program's site: the version page, the build and its signature.
class Site {
 public:
  Site() {
    Serve("10:30", "2.0");
    service_ = std::make_unique<SampleService>(root_.path());
  }
  std::string url() const { return service_->url(); }

  // A version page modified at `time` on 01.12.2026 (GMT); `routes` are further
  // routes, each followed by a comma.
  void Serve(std::string_view time, std::string_view page, std::string_view routes = {}) {
    WriteBytes(root_.path() / "Tarvelo.html", page);
    WriteBytes(root_.path() / "routes.json",
               "{\"routes\": [" + std::string(routes) + "{\"path\": \"/Tarvelo.html\", \"file\": \"Tarvelo.html\", " +
                   "\"headers\": {\"Last-Modified\": \"Tue, 01 Dec 2026 " + std::string(time) + ":00 GMT\"}}]}");
  }
  // The build with its signature (none when empty), sent whole or with a fault.
  void ServeBuild(std::string_view build, std::string_view signature, std::string_view fault = "none") {
    WriteBytes(root_.path() / "Tarvelo", build);
    WriteBytes(root_.path() / "Tarvelo.sig", signature);
    std::string routes = "{\"path\": \"/Tarvelo\", \"file\": \"Tarvelo\", \"fault\": \"" + std::string(fault) + "\"},";
    if (!signature.empty()) routes += "{\"path\": \"/Tarvelo.sig\", \"file\": \"Tarvelo.sig\"},";
    Serve("10:30", "2.0", routes);
  }
  int Requests(std::string_view path) const {
    int count = 0;
    for (const std::string& target : service_->targets()) count += target.starts_with(path);
    return count;
  }

 private:
  ScratchFolder root_;
  std::unique_ptr<SampleService> service_;
};

class SelfUpdateTest : public ShellTest {
 protected:
  SelfUpdateTest() {
    AgeFile(program());
    settings().WriteSettingStr("Hosts", "Site", site_.url());
  }
  const std::string& program() const { return environment_.executable; }
  void StartAndCheck(std::vector<std::string> arguments = {}) {
    StartAndRunCommandLine(std::move(arguments));
    program_->UpdateTimer();
  }
  bool NoticeShown() const { return screen_.last_document().find("id=\"update\"") != std::string::npos; }
  void AnswerUpdate(Answer answer) {
    now_ += 2 * kSecond;  // not a repeat of the last title
    screen_.boxes.clear();
    screen_.answers = {answer};
    screen_.SetTitle(std::string(kUpdate));
  }
  // A failed update: its box, and the running file where and as it was.
  void ExpectRefused(std::string_view text) {
    AnswerUpdate(Answer::Yes);
    ASSERT_EQ(screen_.boxes.size(), 1u);
    EXPECT_EQ(screen_.boxes[0].caption, "Ошибка");
    EXPECT_EQ(screen_.boxes[0].text, text);
    EXPECT_EQ(ReadText(program()), original_);
    EXPECT_FALSE(fs::exists(program() + ".new"));
    EXPECT_FALSE(fs::is_regular_file(program() + ".old"));
    EXPECT_TRUE(screen_.programs_run.empty());
  }

  Site site_;
  std::string original_ = ReadText("/bin/true");
};

TEST_F(SelfUpdateTest, APageMoreThan14MinutesNewerShowsTheNoticeNowAndOnLaterPages) {
  site_.Serve("10:14", "2.0\r\n<b>Новое</b> окно.");
  StartAndCheck();
  EXPECT_FALSE(NoticeShown());

  now_ += 7.0 / 24;  // the next check is due
  site_.Serve("10:15", "2.0\r\n<b>Новое</b> окно.");
  StartAndCheck();
  EXPECT_NE(screen_.last_document().find("<div class=\"top partners\">"), std::string::npos);  // the start page
  EXPECT_TRUE(NoticeShown());
  screen_.SetTitle("[CMD:]home");
  EXPECT_TRUE(NoticeShown());

  AnswerUpdate(Answer::Cancel);
  ASSERT_EQ(screen_.questions.size(), 1u);
  EXPECT_TRUE(screen_.questions[0].starts_with(
      "Обновление программы|Изменения в последней версии от 01.12.2026:\r\nНовое окно.\r\n" + std::string(52, '_') +
      "   \r\n\r\nОбновить программу автоматически?\r\n"));
  EXPECT_EQ(site_.Requests("/Tarvelo"), 3);  // two dates and the notes; nothing downloaded
}

TEST_F(SelfUpdateTest, APageWithoutALineBreakGivesNoNotes) {
  site_.Serve("11:00", "<b>2.0</b> Новое окно.");
  StartAndCheck();
  EXPECT_TRUE(NoticeShown());
  EXPECT_EQ(window().state().UpdateNotes, "");
  EXPECT_EQ(UpdateNotesOf("2.0\n <br/> \n", 0), "");
}

TEST_F(SelfUpdateTest, TwoStartsWithinSixHoursAskTheSiteOnce) {
  site_.Serve("09:00", "2.0");
  StartAndCheck();
  now_ += 5.9 / 24;
  StartAndCheck();
  EXPECT_EQ(site_.Requests("/Tarvelo.html"), 1);
  now_ += 0.2 / 24;
  StartAndCheck();
  EXPECT_EQ(site_.Requests("/Tarvelo.html"), 2);
}

TEST_F(SelfUpdateTest, AGoodSignatureSwapsAndRestartsWithTheArgumentsAndTheRestartRemovesTheOldFile) {
  site_.ServeBuild(kNewBuild, Sign(kNewBuild));
  StartAndCheck({"Alpha&days=7", "second"});
  AnswerUpdate(Answer::Yes);
  EXPECT_TRUE(screen_.boxes.empty()) << screen_.boxes[0].text;
  EXPECT_EQ(ReadText(program()), kNewBuild);
  EXPECT_EQ(access(program().c_str(), X_OK), 0);
  EXPECT_EQ(ReadText(program() + ".old"), original_);
  EXPECT_FALSE(fs::exists(program() + ".new"));
  EXPECT_EQ(site_.Requests("/Tarvelo?account=Alpha"), 1);
  ASSERT_EQ(screen_.programs_run.size(), 1u);
  EXPECT_EQ(screen_.programs_run[0], (std::vector<std::string>{program(), "Alpha&days=7", "second", "/UPDATED:OK"}));
  EXPECT_TRUE(screen_.quit);

  StartAndRunCommandLine({screen_.programs_run[0].begin() + 1, screen_.programs_run[0].end()});
  EXPECT_FALSE(fs::exists(program() + ".old"));
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].text, "Программа успешно обновлена.");
}

TEST_F(SelfUpdateTest, EveryFailedUpdateIsReportedAndLeavesTheRunningFile) {
  Start();
  site_.ServeBuild(kNewBuild, Sign("another build"));
  ExpectRefused(kBadSignatureText);
  site_.ServeBuild(kNewBuild, Sign(kNewBuild, {}));  // another key
  ExpectRefused(kBadSignatureText);
  site_.ServeBuild(kNewBuild, Sign(kNewBuild), "half");  // the part that arrived is not what was signed
  ExpectRefused(kBadSignatureText);
  site_.ServeBuild(kNewBuild, "");
  ExpectRefused("Не удалось скачать подпись файла, скачанный файл удалён. Попробуйте обновить программу вручную.");
  site_.Serve("10:30", "2.0");  // no build: 404
  ExpectRefused("Не удалось сохранить файл - нет доступа. Попробуйте обновить программу вручную.");

  WriteText(program() + ".old/keep", "a folder in the way of the running file");
  site_.ServeBuild(kNewBuild, Sign(kNewBuild));
  ExpectRefused("Не удалось заменить файл - возможно нет доступа. Попробуйте обновить программу вручную.");

  settings().WriteSettingStr("Hosts", "Site", "http://127.0.0.1:9");  // nothing listens there
  Start();
  ExpectRefused("Не удалось скачать файл. Попробуйте обновить программу вручную.");
}

TEST_F(SelfUpdateTest, ANewBuildThatDoesNotStartIsReported) {
  site_.ServeBuild(kNewBuild, Sign(kNewBuild));
  Start();
  screen_.programs_fail_to_start = true;
  AnswerUpdate(Answer::Yes);
  ASSERT_EQ(screen_.boxes.size(), 1u);
  EXPECT_EQ(screen_.boxes[0].text, kNotRestartedText);
  EXPECT_FALSE(screen_.quit);
}

// The command runs in a child process that, when the tests run as root (who may write
// anywhere), first becomes the user "nobody".
TEST_F(SelfUpdateTest, AProgramInAReadOnlyFolderPointsToThePackageManager) {
  site_.ServeBuild(kNewBuild, Sign(kNewBuild));
  Start();
  fs::permissions(root(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::permissions(root() + "/bin", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_exec);
  auto update_as_user = [this] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(2);
    AnswerUpdate(Answer::Yes);
    bool told = screen_.questions.empty() && screen_.boxes.size() == 1 &&
                screen_.boxes[0].caption == "Обновление программы" &&
                screen_.boxes[0].text == NotReplaceableText(program());
    std::_Exit(told ? 0 : 1);
  };
  EXPECT_EXIT(update_as_user(), ::testing::ExitedWithCode(0), "");
  fs::permissions(root() + "/bin", fs::perms::owner_all);
  EXPECT_EQ(ReadText(program()), original_);
  EXPECT_EQ(site_.Requests("/Tarvelo"), 0);
}

// The program as built carries the release key: a build signed with any other key,
// the test key included, never replaces it.
TEST(ProgramAsBuiltTest, ShowsTheNoticeAndRefusesABuildSignedWithAnotherKey) {
  TempFolder folder;
  const std::string root = folder.path();
  const std::string program = root + "/bin/tarvelo";
  fs::create_directories(root + "/bin");
  fs::copy_file(TARVELO_PROGRAM, program);
  AgeFile(program);
  Site site;
  site.ServeBuild(kNewBuild, Sign(kNewBuild));
  WriteText(root + "/config/tarvelo/settings.ini", "[Tarvelo]\nDefaultAccount=Alpha\n[Hosts]\nSite=" + site.url());

  const std::string command = "TARVELO_HOME=" + root + "/home XDG_CONFIG_HOME=" + root + "/config TARVELO_APPDATA=" +
                              root + "/appdata " + program + " --headless --page " + root +
                              "/page.html --answer yes --command '" + std::string(kUpdate) + "' 2> " + root +
                              "/errors.txt";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::string errors = ReadText(root + "/errors.txt");
  EXPECT_NE(ReadText(root + "/page.html").find("id=\"update\""), std::string::npos);
  EXPECT_NE(errors.find("[Ошибка] " + std::string(kBadSignatureText)), std::string::npos) << errors;
  EXPECT_EQ(site.Requests("/Tarvelo?account=Alpha"), 1);
  EXPECT_TRUE(ReadBytes(program) == ReadBytes(TARVELO_PROGRAM));  // not EXPECT_EQ: 30 MB in a message
  EXPECT_FALSE(fs::exists(program + ".new"));
  EXPECT_FALSE(fs::exists(program + ".old"));
}

}  // namespace
}  // namespace tarvelo::testing
