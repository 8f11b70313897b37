#include "shell/navigation_policy.h"

#include <gtest/gtest.h>

namespace tarvelo {
namespace {

TEST(NavigationPolicy, OnlyTheWrittenDocumentLoadsAndWebLinksGoToTheBrowser) {
  constexpr std::string_view kWritten = "file:///home/u/.local/share/tarvelo/";
  constexpr std::string_view kShown = "file:///home/u/.local/share/tarvelo/";
  struct Case {
    std::string_view uri;
    bool followed_link;
    std::string awaited;
    NavigationVerdict verdict;
  };
  const Case cases[] = {
      {kWritten, false, std::string(kWritten), NavigationVerdict::kLoad},
      {"about:blank", false, std::string(kWritten), NavigationVerdict::kLoad},  // written earlier, still awaited
      {"file:///home/u/.local/share/tarvelo/#top", false, "", NavigationVerdict::kLoad},
      {"file:///home/u/.local/share/tarvelo/#top", true, "", NavigationVerdict::kLoad},
      {"https://forum.example.org/topic", true, "", NavigationVerdict::kOpenInBrowser},
      {"HTTP://forum.example.org/topic", true, "", NavigationVerdict::kOpenInBrowser},
      // Script, form, redirect and reload go nowhere, whatever the address.
      {kWritten, false, "", NavigationVerdict::kRefuse},
      {"file:///etc/passwd", false, "", NavigationVerdict::kRefuse},
      {"file:///etc/passwd", false, std::string(kWritten), NavigationVerdict::kRefuse},
      {"file:///etc/passwd", true, "", NavigationVerdict::kRefuse},
      {"file:///etc/passwd#x", false, "", NavigationVerdict::kRefuse},
      {"https://evil.example/", false, "", NavigationVerdict::kRefuse},
      {"javascript:doCmd('home')", true, "", NavigationVerdict::kRefuse},
      {"data:text/html,<script>x</script>", false, "", NavigationVerdict::kRefuse},
      {"res://tarvelo/PNG/UPDATE", true, "", NavigationVerdict::kRefuse},
      {"", false, "", NavigationVerdict::kRefuse},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> awaited = c.awaited.empty() ? std::vector<std::string>{}
                                                               : std::vector<std::string>{"about:blank", c.awaited};
    EXPECT_EQ(DecideNavigation(c.uri, c.followed_link, awaited, kShown), c.verdict)
        << c.uri << (c.followed_link ? " (link)" : "") << " awaiting " << c.awaited;
  }
  // Before the first document has loaded there is nothing to jump within.
  EXPECT_EQ(DecideNavigation("about:blank#x", false, {}, ""), NavigationVerdict::kRefuse);
}

}  // namespace
}  // namespace tarvelo
