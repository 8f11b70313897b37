#include "text/debug_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarvelo {
namespace {

// Each test starts with an empty log, both switches off and a fixed clock.
class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TARVELO_NOW", "2016-12-18T14:05:09", 1);
    folder_ = std::filesystem::temp_directory_path() / ("tarvelo_debug_log_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    Reset();
  }
  void TearDown() override {
    Reset();
    unsetenv("TARVELO_NOW");
    std::filesystem::remove_all(folder_);
  }

  static void Reset() {
    ClearDebugLog();
    SetDebugEnabled(false);
    SetDebugFileEnabled(false);
    SetDebugFileName("");
  }

  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }

  std::filesystem::path folder_;
};

TEST_F(DebugLogTest, WritesTimeTabLineAndBreakMark) {
  SetDebugEnabled(true);
  DebugLog("Получение данных: http://127.0.0.1/");
  DebugLog("");
  EXPECT_EQ(DebugLogText(),
            "14:05:09.000\tПолучение данных: http://127.0.0.1/<br />\r\n"
            "14:05:09.000\t<br />\r\n");
  ClearDebugLog();
  EXPECT_EQ(DebugLogText(), "");
}

TEST_F(DebugLogTest, KeepsNothingWhileSwitchedOff) {
  DebugLog("lost");
  EXPECT_EQ(DebugLogText(), "");
  EXPECT_FALSE(DebugEnabled());
  EXPECT_FALSE(DebugFileEnabled());
}

TEST_F(DebugLogTest, RewritesTheWholeLogToTheFileWithoutBreakMarks) {
  const auto path = folder_ / "debug.txt";
  SetDebugFileEnabled(true);
  SetDebugFileName(path.string());
  EXPECT_EQ(DebugFileName(), path.string());
  DebugLog("one");
  DebugLog("two <br /> inside");
  EXPECT_EQ(ReadFile(path), "14:05:09.000\tone\r\n14:05:09.000\ttwo <br /> inside\r\n");
  // Only the file was asked for, but the page log is the file's source.
  EXPECT_EQ(DebugLogText(), "14:05:09.000\tone<br />\r\n14:05:09.000\ttwo <br /> inside<br />\r\n");
  // No temporary files are left beside the log.
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);
}

TEST_F(DebugLogTest, AnUnwritableFileDoesNotDisturbTheLog) {
  SetDebugEnabled(true);
  SetDebugFileEnabled(true);
  SetDebugFileName((folder_ / "missing" / "debug.txt").string());
  DebugLog("still kept");
  EXPECT_EQ(DebugLogText(), "14:05:09.000\tstill kept<br />\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace tarvelo
