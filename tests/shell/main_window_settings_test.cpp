// Settings as the main window reads them at creation and writes them at exit.
#include <gtest/gtest.h>

#include "acquire/addresses.h"
#include "shell/shell_fixture.h"

namespace tarvelo {
void PrintTo(const WindowRect& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}
}  // namespace tarvelo

namespace tarvelo::testing {
namespace {

class WindowSettingsTest : public ShellTest {
 protected:
  void SaveRect(int left, int top, int width, int height, int state = 0) {
    settings().WriteSettingInt("MainWindow", "Left", left);
    settings().WriteSettingInt("MainWindow", "Top", top);
    settings().WriteSettingInt("MainWindow", "Width", width);
    settings().WriteSettingInt("MainWindow", "Height", height);
    settings().WriteSettingInt("MainWindow", "State", state);
  }
  WindowRect Saved() {
    const MainWindowState& s = window().state();
    return {s.SavedLeft, s.SavedTop, s.SavedWidth, s.SavedHeight};
  }
};

TEST_F(WindowSettingsTest, DefaultsWithoutAnySettings) {
  Start();
  const MainWindowState& s = window().state();
  EXPECT_EQ(s.FontNameSetting, "");
  EXPECT_EQ(s.FontSizeSetting, 12);
  EXPECT_EQ(s.UpdateHours, 6);
  EXPECT_EQ(s.UpdateLastCheck, 0);
  EXPECT_EQ(core().urls.region, "ru");
  EXPECT_EQ(core().urls.application_id, kBuiltInApplicationId);
  EXPECT_EQ(core().RatingName, "EFF");
  EXPECT_EQ(core().RatingScale, &scales::kEff);
  EXPECT_EQ(core().proxy.mode, ProxyMode::kPreconfigured);
  EXPECT_EQ(Saved(), (WindowRect{100, 100, 632, 822}));  // the window's own rectangle
  // No font named: the pages take the front end's, and none is written back.
  EXPECT_NE(s.StyleText.find("font-family: \"" + screen_.DefaultFontFamily() + "\","), std::string::npos);
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingStr("", "FontName", "none"), "none");
  EXPECT_EQ(settings().ReadSettingInt("", "FontSize", 0), 12);
}

TEST_F(WindowSettingsTest, RegionOtherThanRuInAnyCaseUsesTheDemoId) {
  settings().WriteSettingStr("", "Region", "Eu");
  Start();
  EXPECT_EQ(core().urls.region, "eu");
  EXPECT_EQ(core().urls.application_id, "demo");
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingStr("", "Region", ""), "EU");
}

TEST_F(WindowSettingsTest, RegionRuInAnyCaseKeepsTheStoredId) {
  settings().WriteSettingStr("", "Region", "rU");
  settings().WriteSettingStr("", "ApplicationId", "my-own-key");
  Start();
  EXPECT_EQ(core().urls.region, "ru");
  EXPECT_EQ(core().urls.application_id, "my-own-key");
}

TEST_F(WindowSettingsTest, RatingSelectsThresholdsAndIsWrittenBackUpperCased) {
  settings().WriteSettingStr("", "Rating", "wn8");
  Start();
  EXPECT_EQ(core().RatingName, "WN8");
  EXPECT_EQ(core().RatingScale, &scales::kWn8);
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingStr("", "Rating", ""), "WN8");

  settings().WriteSettingStr("", "Rating", "bs");
  Start();
  EXPECT_EQ(core().RatingScale, &scales::kEff);
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingStr("", "Rating", ""), "BS");
}

TEST_F(WindowSettingsTest, ProxySettingPicksTheConnection) {
  settings().WriteSettingStr("", "Proxy", "NoProxy");
  Start();
  EXPECT_EQ(core().proxy.mode, ProxyMode::kDirect);
  settings().WriteSettingStr("", "Proxy", "proxy.local:3128");
  Start();
  EXPECT_EQ(core().proxy.mode, ProxyMode::kNamed);
  EXPECT_EQ(core().proxy.name, "proxy.local:3128");
}

TEST_F(WindowSettingsTest, SaveWritesEveryValueAndUpdateHoursAlwaysSix) {
  settings().WriteSettingStr("", "FontName", " Verdana ");
  settings().WriteSettingInt("", "FontSize", 10);
  settings().WriteSettingInt("", "UpdateHours", 48);
  Start();
  screen_.bounds = {30, 40, 700, 600};
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingStr("", "FontName", ""), "Verdana");
  EXPECT_EQ(settings().ReadSettingInt("", "FontSize", 0), 10);
  EXPECT_EQ(settings().ReadSettingInt("", "UpdateHours", 0), 6);
  EXPECT_EQ(settings().ReadSettingStr("", "Region", ""), "RU");
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "State", -1), 0);
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "Left", 0), 30);
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "Height", 0), 600);
}

TEST_F(WindowSettingsTest, WindowLeftOfTheDesktopMovesToItsLeftEdge) {
  SaveRect(-700, 50, 632, 822);  // right edge at -68, left of 0 + 20
  Start();
  EXPECT_EQ(Saved(), (WindowRect{0, 50, 632, 822}));
}

TEST_F(WindowSettingsTest, ClampingRulesApplyInTheirOrder) {
  // Right of the desktop: moved to R - Width; above it: moved to T.
  SaveRect(1910, -900, 632, 822);
  Start();
  EXPECT_EQ(Saved(), (WindowRect{1920 - 632, 0, 632, 822}));

  // Wider than the desktop + 20: the left edge is fixed from the old width first
  // (R - 3000), and only then the width shrinks to the desktop width.
  SaveRect(1905, 10, 3000, 500);
  Start();
  EXPECT_EQ(Saved(), (WindowRect{1920 - 3000, 10, 1920, 500}));

  // Within 20 pixels of the limits nothing moves.
  SaveRect(-612 + 1, 1060 - 1, 632, 822);
  Start();
  EXPECT_EQ(Saved(), (WindowRect{-611, 1059, 632, 822}));

  // A desktop that does not start at 0.
  screen_.desktop = {-1280, 0, 1280, 1024};
  SaveRect(-3000, 2000, 632, 1200);
  Start();
  EXPECT_EQ(Saved(), (WindowRect{-1280, 1024 - 1200, 632, 1024}));
}

TEST_F(WindowSettingsTest, MinimisedWindowIsNeitherClampedNorRestoredMinimised) {
  SaveRect(-5000, -5000, 400, 300, 1);
  Start();
  EXPECT_EQ(Saved(), (WindowRect{-5000, -5000, 400, 300}));
  EXPECT_EQ(screen_.window_state, WindowState::Normal);
  EXPECT_EQ(screen_.bounds, (WindowRect{-5000, -5000, 400, 300}));
  program_->StartTimer();
  EXPECT_EQ(screen_.window_state, WindowState::Normal);
}

TEST_F(WindowSettingsTest, MaximisedWindowIsRestoredMaximisedAndKeepsItsRectangle) {
  SaveRect(10, 20, 800, 700, 2);
  Start();
  EXPECT_EQ(screen_.window_state, WindowState::Maximized);
  EXPECT_EQ(screen_.bounds, (WindowRect{10, 20, 800, 700}));
  screen_.bounds = {0, 0, 1920, 1080};  // what a maximised window covers
  program_->Destroy();
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "State", -1), 2);
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "Left", -1), 10);
  EXPECT_EQ(settings().ReadSettingInt("MainWindow", "Width", -1), 800);
}

TEST_F(WindowSettingsTest, TheRegionChoosesTheDefaultHostsAndASetHostWins) {
  settings().WriteSettingStr("", "Region", "EU");
  settings().WriteSettingStr("Hosts", "GamePortal", "http://127.0.0.1:9000");
  Start();
  EXPECT_EQ(core().urls.hosts.Api, "https://api.worldoftanks.eu");
  EXPECT_EQ(core().urls.hosts.ClanPortal, "https://eu.wargaming.net");
  EXPECT_EQ(core().urls.hosts.GamePortal, "http://127.0.0.1:9000");
  program_->Destroy();
  settings().WriteSettingStr("", "Region", "ru");
  Start();
  EXPECT_EQ(core().urls.hosts.Api, "https://api.tanki.su");
  EXPECT_EQ(core().urls.hosts.GamePortal, "http://127.0.0.1:9000");
}

TEST_F(WindowSettingsTest, HostsAndLinksComeFromTheirGroups) {
  settings().WriteSettingStr("Hosts", "Replays", "http://127.0.0.1:9000/replays-%REGION%");
  settings().WriteSettingStr("Links", "ForumQuestions", "http://127.0.0.1:9000/faq");
  Start();
  EXPECT_EQ(core().urls.hosts.Replays, "http://127.0.0.1:9000/replays-%REGION%");
  std::string body = window().StartPageBody();
  EXPECT_NE(body.find("href=\"http://127.0.0.1:9000/replays-ru\"><span class=\"wotreplays\">"), std::string::npos);
  EXPECT_NE(body.find("<a href=\"http://127.0.0.1:9000/faq\" target=\"_blank\" "
                      "onclick=\"return doCmd('browse',this.href)\">"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
