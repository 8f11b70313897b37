#include "acquire/addresses.h"

#include <gtest/gtest.h>

namespace tarvelo {
namespace {

UrlSettings RuSettings() { return MakeUrlSettings(Hosts{}, "RU", ""); }

TEST(UrlTemplatesTest, FillsEveryPlaceholder) {
  const AccountRef account{"1234567", "Tester"};
  const ClanRef clan{"42", "TAG"};
  EXPECT_EQ(FillUrlTemplate("https://api.example.%REGION%/a/?application_id=%SOURCE_TOKEN%&id=%ACCOUNT_ID%"
                            "&n=%ACCOUNT_NAME%&c=%CLAN_ID%&t=%CLAN_TAG%",
                            account, clan, RuSettings()),
            "https://api.example.ru/a/?application_id=5c3e9a7d1b2f4860a9e7c1d3b5f70246&id=1234567"
            "&n=Tester&c=42&t=TAG");
}

// A value stays one query value whatever it holds.
TEST(UrlTemplatesTest, PercentEncodesEveryValue) {
  const AccountRef account{"1&x=2", "Пё 100%_x&y#z+"};
  EXPECT_EQ(FillUrlTemplate("/list/?search=%ACCOUNT_NAME%&id=%ACCOUNT_ID%", account, {"", "a/b?c"}, RuSettings()),
            "/list/?search=%D0%9F%D1%91%20100%25_x%26y%23z%2B&id=1%26x%3D2");
  EXPECT_EQ(FillUrlTemplate("/c/?t=%CLAN_TAG%", {}, {"", "A-b.C_~"}, RuSettings()), "/c/?t=A-b.C_~");
  EXPECT_EQ(FillUrlTemplate("/info/?id=%ACCOUNT_ID%&tag=%CLAN_TAG%", {}, {}, RuSettings()), "/info/?id=&tag=");
}

TEST(UrlTemplatesTest, ReplacesEveryRegionPlaceholder) {
  EXPECT_EQ(FillRegion("https://%REGION%.portal.%REGION%/x", "eu"), "https://eu.portal.eu/x");
  EXPECT_EQ(FillUrlTemplate("%REGION%-%REGION%", {}, {}, MakeUrlSettings(Hosts{}, "eu", "")), "eu-eu");
}

// A value that holds a placeholder is never filled in again.
TEST(UrlTemplatesTest, PlaceholdersInsideValuesStayText) {
  const AccountRef account{"%CLAN_ID%", "%ACCOUNT_ID%"};
  const ClanRef clan{"7", "%REGION%"};
  EXPECT_EQ(FillUrlTemplate("%ACCOUNT_NAME%|%CLAN_TAG%", account, clan, RuSettings()), "%25ACCOUNT_ID%25|%25REGION%25");
}

TEST(UrlTemplatesTest, RegionSettingIsTrimmedAndLowerCasedWithRuAsDefault) {
  EXPECT_EQ(RegionFromSetting(" RU "), "ru");
  EXPECT_EQ(RegionFromSetting("Eu"), "eu");
  EXPECT_EQ(RegionFromSetting(""), "ru");
  EXPECT_EQ(RegionFromSetting("  "), "ru");
}

TEST(UrlTemplatesTest, ApplicationIdIsTheConfiguredOneOnlyForRu) {
  EXPECT_EQ(ApplicationIdForRegion("ru", ""), "5c3e9a7d1b2f4860a9e7c1d3b5f70246");
  EXPECT_EQ(ApplicationIdForRegion("ru", "0123abcd"), "0123abcd");
  EXPECT_EQ(ApplicationIdForRegion("eu", "0123abcd"), "demo");
  EXPECT_EQ(ApplicationIdForRegion("com", ""), "demo");

  EXPECT_EQ(MakeUrlSettings(Hosts{}, "RU", " 0123abcd ").application_id, "0123abcd");
  EXPECT_EQ(MakeUrlSettings(Hosts{}, "EU", "0123abcd").application_id, "demo");
  EXPECT_EQ(FillUrlTemplate("?application_id=%SOURCE_TOKEN%", {}, {}, MakeUrlSettings(Hosts{}, "Asia", "")),
            "?application_id=demo");
}

TEST(UrlTemplatesTest, DefaultHostsTakeTheRegionAndKeepTheirOwnSettings) {
  Hosts hosts;
  hosts.Site = "http://127.0.0.1:8080";
  const UrlSettings settings = MakeUrlSettings(hosts, "eu", "");
  EXPECT_EQ(FillRegion(settings.hosts.Api, settings.region), "https://api.worldoftanks.eu");
  EXPECT_EQ(FillRegion(settings.hosts.ClanPortal, settings.region), "https://eu.wargaming.net");
  EXPECT_EQ(settings.hosts.Site, "http://127.0.0.1:8080");
  for (const std::string* host : {&settings.hosts.Api, &settings.hosts.GamePortal, &settings.hosts.ClanPortal,
                                  &settings.hosts.Replays, &settings.hosts.Location, &settings.hosts.Alliance}) {
    EXPECT_NE(host->find("%REGION%"), std::string::npos) << *host;
    EXPECT_NE(host->back(), '/') << *host;
  }
}

TEST(UrlTemplatesTest, EachRegionHasHostsThatAnswerIt) {
  const struct {
    const char* region;
    const char* api;
    const char* game_portal;
    const char* clan_portal;
  } cases[] = {
      {"ru", "https://api.tanki.su", "https://tanki.su", "https://tanki.su"},
      {"eu", "https://api.worldoftanks.eu", "https://worldoftanks.eu", "https://eu.wargaming.net"},
      {"na", "https://api.worldoftanks.com", "https://worldoftanks.com", "https://na.wargaming.net"},
      {"asia", "https://api.worldoftanks.asia", "https://worldoftanks.asia", "https://asia.wargaming.net"},
      // A region without hosts of its own keeps the templates.
      {"kr", "https://api.worldoftanks.%REGION%", "https://worldoftanks.%REGION%", "https://%REGION%.wargaming.net"},
  };
  for (const auto& c : cases) {
    const Hosts hosts = DefaultHosts(c.region);
    EXPECT_EQ(hosts.Api, c.api) << c.region;
    EXPECT_EQ(hosts.GamePortal, c.game_portal) << c.region;
    EXPECT_EQ(hosts.ClanPortal, c.clan_portal) << c.region;
    EXPECT_EQ(hosts.Replays, Hosts{}.Replays) << c.region;
    EXPECT_EQ(hosts.ExpectedValues, "https://static.modxvm.com/wn8-data-exp/json/wn8exp.json") << c.region;
  }
}

TEST(UrlTemplatesTest, PublisherApiAddressesFollowTheApiSetting) {
  Hosts hosts;
  hosts.Api = "http://127.0.0.1:8080";
  const UrlSettings local = MakeUrlSettings(hosts, "ru", "");
  const std::string path = "/static/2.50.0/wot/encyclopedia/vehicle/contour/ussr-r04_t-34.png";
  struct Case {
    std::string url;
    std::string expected;
  };
  const Case cases[] = {
      {"http://api.worldoftanks.ru" + path, "http://127.0.0.1:8080" + path},
      {"HTTPS://API.WorldOfTanks.EU" + path + "?v=2", "http://127.0.0.1:8080" + path + "?v=2"},
      {"https://api.tanki.su" + path, "http://127.0.0.1:8080" + path},
      {"https://api.tanki.su.example.com" + path, "https://api.tanki.su.example.com" + path},
      {"http://api.worldoftanks.ru", "http://127.0.0.1:8080"},
      // Other hosts, look-alikes and other schemes stay where they are.
      {"http://api.worldoftanks.ru.example.com" + path, "http://api.worldoftanks.ru.example.com" + path},
      {"http://api.worldoftanks.ru:8443" + path, "http://api.worldoftanks.ru:8443" + path},
      {"http://api.worldoftanks." + path, "http://api.worldoftanks." + path},
      {"http://static.example.org" + path, "http://static.example.org" + path},
      {"ftp://api.worldoftanks.ru" + path, "ftp://api.worldoftanks.ru" + path},
      {"ussr-r04_t-34.png", "ussr-r04_t-34.png"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OnConfiguredApiHost(c.url, local), c.expected) << c.url;
  // With the default setting the address goes to the API host of the region in use.
  EXPECT_EQ(OnConfiguredApiHost("http://api.worldoftanks.ru" + path, MakeUrlSettings(Hosts{}, "eu", "")),
            "https://api.worldoftanks.eu" + path);
}

}  // namespace
}  // namespace tarvelo
