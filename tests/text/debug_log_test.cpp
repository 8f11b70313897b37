#include "text/debug_log.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tarvelo {
namespace {

// Each test starts with an empty log, both switches off, a fixed clock and
// a file writer that keeps what it is given.
class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    SetDebugLogOutlets([] { return EncodeDateTime(2016, 12, 18, 14, 5, 9); },
                       [this](const std::string& name, std::string_view contents) {
                         files_[name] = std::string(contents);
                         ++writes_;
                       });
  }
  void TearDown() override {
    Reset();
    SetDebugLogOutlets(nullptr, nullptr);
  }

  static void Reset() {
    ClearDebugLog();
    SetDebugEnabled(false);
    SetDebugFileEnabled(false);
    SetDebugFileName("");
  }

  std::map<std::string, std::string> files_;
  int writes_ = 0;
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
  EXPECT_EQ(writes_, 0);
}

TEST_F(DebugLogTest, KeepsNothingWhileSwitchedOff) {
  DebugLog("lost");
  EXPECT_EQ(DebugLogText(), "");
  EXPECT_FALSE(DebugEnabled());
  EXPECT_FALSE(DebugFileEnabled());
  SetDebugFileEnabled(true);
  DebugLog("no file named");
  EXPECT_EQ(writes_, 0);
}

TEST_F(DebugLogTest, RewritesTheWholeLogToTheFileWithoutBreakMarks) {
  SetDebugFileEnabled(true);
  SetDebugFileName("/cache/debug.txt");
  EXPECT_EQ(DebugFileName(), "/cache/debug.txt");
  DebugLog("one");
  DebugLog("two <br /> inside");
  EXPECT_EQ(writes_, 2);
  EXPECT_EQ(files_["/cache/debug.txt"], "14:05:09.000\tone\r\n14:05:09.000\ttwo <br /> inside\r\n");
  // Only the file was asked for, but the page log is the file's source.
  EXPECT_EQ(DebugLogText(), "14:05:09.000\tone<br />\r\n14:05:09.000\ttwo <br /> inside<br />\r\n");
}

}  // namespace
}  // namespace tarvelo
