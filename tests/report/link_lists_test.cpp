// The addresses of the link lists: raw values percent-encoded into the
// template, the finished address escaped once for its attribute.
#include "report/link_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvelo {
namespace {

TEST(SiteUrl, EncodesTheRawValuesAndEscapesTheAddressOnce) {
  UrlSettings urls;
  urls.region = "ru";
  struct Case {
    std::string host;
    std::string path;
    AccountRef account;
    ClanRef clan;
    std::string address;
  };
  const std::vector<Case> cases = {
      {"https://kttc.ru", "/wot/ru/user/%ACCOUNT_NAME%", {"1", "Gromoboy_77"}, {}, "https://kttc.ru/wot/ru/user/Gromoboy_77"},
      {"https://kttc.ru", "/wot/ru/user/%ACCOUNT_NAME%", {"1", "a\"b&c<d>'e f"}, {},
       "https://kttc.ru/wot/ru/user/a%22b%26c%3Cd%3E%27e%20f"},
      {"https://%REGION%.wargaming.net",
       "/clans/wot/search/#wgsearch&type=accounts&search=%ACCOUNT_NAME%&account_id=%ACCOUNT_ID%",
       {"4817293", "O'Neil&Co"}, {},
       "https://ru.wargaming.net/clans/wot/search/#wgsearch&amp;type=accounts&amp;search=O%27Neil%26Co&amp;"
       "account_id=4817293"},
      {"https://www.noobmeter.com", "/clan/ru/%CLAN_TAG%/%CLAN_ID%/", {}, {"172431", "<V&K>"},
       "https://www.noobmeter.com/clan/ru/%3CV%26K%3E/172431/"},
      // A host from the settings is escaped with the rest.
      {"http://x.example/?a=1&b=\"2\"", "/%ACCOUNT_ID%", {"7", "n"}, {}, "http://x.example/?a=1&amp;b=&quot;2&quot;/7"},
  };
  for (const Case& c : cases) EXPECT_EQ(SiteUrl(c.host, c.path, c.account, c.clan, urls), c.address) << c.address;
}

TEST(AccountLinkList, CarriesEachNameEncodedOnceAndNothingOfItsHtmlEscape) {
  const std::string html = AccountLinkList({}, {}, {"5", "abc\"&<x>"});
  EXPECT_NE(html.find("<li><a href=\"https://kttc.ru/wot/ru/user/abc%22%26%3Cx%3E\" target=\"_blank\" "
                      "onclick=\"return doCmd('browse',this.href)\">KTTC</a></li>\r\n"),
            std::string::npos)
      << html;
  for (const std::string_view twice : {"%26quot%3B", "%26amp%3B", "%26lt%3B", "&quot;", "<x>"}) {
    EXPECT_EQ(html.find(twice), std::string::npos) << twice;
  }
  EXPECT_EQ(AccountLinkList({}, {}, {"5", ""}), "");
}

TEST(ClanLinkList, EncodesTheTagInTheAddress) {
  const std::string html = ClanLinkList({}, {}, {"215903", "S&T"});
  EXPECT_NE(html.find("<a href=\"https://www.noobmeter.com/clan/ru/S%26T/215903/\""), std::string::npos) << html;
  EXPECT_EQ(ClanLinkList({}, {}, {"", "S&T"}), "");
}

}  // namespace
}  // namespace tarvelo
