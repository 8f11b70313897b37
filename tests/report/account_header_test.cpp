// The player and clan blocks at the top of the player report.
#include <gtest/gtest.h>

#include "report_fixture.h"
#include "text/calendar.h"

namespace tarvelo::testing {
namespace {

class AccountHeaderTest : public AccountReportTest {
 protected:
  std::string Header(ReportView view = {}) { return RowOf(Report(view), "AccountName"); }
  std::string Clan() { return RowOf(Report(), "ClanTagName"); }
};

TEST_F(AccountHeaderTest, WithoutANameOnlyTheErrorIsShown) {
  shown_.Nickname.clear();
  EXPECT_EQ(Report(),
            "<div class=\"main\"><p class=\"r\">ОШИБКА: Нет данных для отображения. Проверьте параметры поиска, "
            "убедитесь в работоспособности сервера World of Tanks.</p></div>");
}

TEST_F(AccountHeaderTest, OpensWithTheLinksMenuTheDataDateAndTheName) {
  const std::string header = Header();
  EXPECT_TRUE(header.starts_with(
      "<tbody id=\"AccountName\"><tr class=\"noHover\"><td colspan=\"4\"><div class=\"addons\"><div class=\"inner\" "
      "onclick=\"showt(this)\"><span class=\"plus\">+</span><div>\r\n"
      "<a href=\"#\" onclick=\"this.className='c0'; this.innerHTML='Добавлен в избранные'; return "
      "doCmd('addfav','Gromoboy_77')\">Добавить в избранные</a><br /><a href=\"http://site?Gromoboy_77&mode=userbar\" "
      "target=\"_blank\">Создать юзербар...</a><br /><br /><b class=\"sectionHdr\">Еще об аккаунте:</b><ul>"))
      << header;
  EXPECT_NE(header.find("</ul>\r\n</div></div></div><span class=\"c0\" style=\"float:right; text-align:center\" "
                        "title=\"Дата/время актуализации данных\">08.12.2016<br />09:00 МСК</span> <a "
                        "href=\"http://site?search=Gromoboy_77\" onclick=\"return doCmd('search','Gromoboy_77')\" "
                        ">Gromoboy_77</a><br />Дата регистрации: 14.03.2012 "),
            std::string::npos)
      << header;
  EXPECT_TRUE(header.ends_with("</td></tr></tbody>")) << "no progress cell after the header";
  EXPECT_EQ(header.find("Еще о клане:"), std::string::npos);
}

TEST_F(AccountHeaderTest, OffersRefreshForCachedDataAndShowsAPeriodsStart) {
  shown_.CacheDate = EncodeDateTime(2016, 12, 8, 10, 15, 0);  // local time
  EXPECT_NE(Header().find("title=\"Дата/время актуализации данных\"><a href=\"http://site?search=Gromoboy_77\" "
                          "onclick=\"return doCmd('search&update','Gromoboy_77')\" style=\"float:left;padding:.6em\"><img "
                          "src=\"res:///opt/tarvelo/tarvelo/PNG/Update\" width=\"14\" height=\"14\" alt=\"Update\" "
                          "title=\"Кеш от 08.12.2016 10:15 МСК (нажмите, чтобы обновить)\" /></a>08.12.2016<br />09:00 "
                          "МСК</span> "),
            std::string::npos)
      << Header();
  shown_.PeriodStart = EncodeDateTime(2016, 12, 1, 20, 40, 0);
  EXPECT_NE(Header(Days(7)).find("title=\"Выбранный период данных\"><span style=\"float:left\">01.12.2016<br />"
                                     "23:40 МСК</span><span style=\"float:left;font-size:120%\">&nbsp;_&nbsp;<br />"
                                     "&nbsp;</span>08.12.2016<br />09:00 МСК</span> "),
            std::string::npos)
      << Header(Days(7));
  shown_.Updated = EncodeDate(1990, 6, 1);
  shown_.PeriodStart = 0;
  EXPECT_NE(Header().find(">Данные<br />не актуализированы</span> "), std::string::npos);
}

struct AgeCase {
  DateTime created;
  std::string text;
};

TEST_F(AccountHeaderTest, TellsTheAgeInYearsMonthsAndDays) {
  const AgeCase cases[] = {
      {EncodeDate(2015, 12, 3), "(1 год и 5 дней)"},     {EncodeDate(2014, 9, 8), "(2 года, 3 месяца)"},
      {EncodeDate(2016, 11, 27), "(11 дней)"},           {EncodeDate(2016, 11, 17), "(21 день)"},
      {EncodeDate(2016, 11, 16), "(22 дня)"},            {EncodeDate(2011, 10, 7), "(5 лет, 2 месяца и 1 день)"},
      {EncodeDate(2016, 12, 8), "(0 дней)"},
  };
  for (const AgeCase& c : cases) {
    shown_.Created = c.created;
    EXPECT_NE(Header().find("Дата регистрации: " + FormatDate(c.created) + " <span class=\"c0 noWrap\">" + c.text +
                            "</span>"),
              std::string::npos)
        << c.text;
  }
  shown_.Created = EncodeDate(2015, 12, 3);
  EXPECT_NE(Header(Days(3)).find("Дата регистрации: 03.12.2015 <span class=\"c0 noWrap\">(371 день)</span>"),
            std::string::npos);
  shown_.Created = EncodeDate(1990, 1, 1);
  EXPECT_NE(Header().find("<br />Дата регистрации: не определена"), std::string::npos);
}

TEST_F(AccountHeaderTest, TellsHowLongAgoTheLastBattleWasAndWhetherThePlayerIsOnline) {
  const DateTime to_utc = kZoneHours / 24.0;
  shown_.LastBattle = kNow - to_utc - 47.0 / 24;
  shown_.Logout = shown_.LastBattle - 10.0 / 24 / 60;
  std::string header = Header();
  EXPECT_NE(header.find("<br />Последний бой: 06.12.2016 13:00 МСК <span class=\"c0 noWrap\">(47 часов назад)</span>"),
            std::string::npos)
      << header;
  EXPECT_EQ(header.find("ONLINE"), std::string::npos);
  shown_.LastBattle = kNow - to_utc - 49.0 / 24;
  shown_.Logout = shown_.LastBattle - 20.0 / 24 / 60;
  header = Header();
  EXPECT_NE(header.find("(2 дня назад)</span> <span class=\"r\">ONLINE</span>"), std::string::npos) << header;
  shown_.LastBattle = 0;
  EXPECT_EQ(Header().find("Последний бой"), std::string::npos);
}

TEST_F(AccountHeaderTest, ShowsFamePointsOnlyInsideTheCampaignWindow) {
  fame_.title = "V кампания &laquo;Стальная коррида&raquo;";
  fame_.account = {1943, 38590, "Основной фронт"};
  EXPECT_EQ(Header().find("Очки славы"), std::string::npos);
  fame_.inside_window = true;
  EXPECT_NE(Header().find("<br /><span title=\"V кампания &laquo;Стальная коррида&raquo;\r\nОсновной фронт\">Позиция в "
                          "Рейтинге: <span class=\"sectionHdr\">38\u00A0590</span></span> <span class=\"c0 noWrap\" "
                          "title=\"V кампания &laquo;Стальная коррида&raquo;\r\nОсновной фронт\">(Очки славы: "
                          "1\u00A0943)</span>"),
            std::string::npos)
      << Header();
}

TEST_F(AccountHeaderTest, ListsFormerNamesAndTheLocation) {
  shown_.NameHistory = {{"Old_Name", EncodeDate(2014, 5, 2)}};
  shown_.LocationText = "Россия, Москва";
  EXPECT_NE(Header().find(">Gromoboy_77</a><br /><span class=\"c0 noWrap\">он же Old_Name (до 02.05.2014)</span><br />"
                          "Россия, Москва<br />Дата регистрации: "),
            std::string::npos)
      << Header();
}

TEST_F(AccountHeaderTest, EscapesOutsideTextEverywhere) {
  shown_.NameHistory = {{"<script>doCmd('browse','x')</script>", EncodeDate(2014, 5, 2)}};
  shown_.LocationText = "\"><img src=x onerror=alert(1)>";
  shown_.ClanId = "172431";
  shown_.ClanTag = "VOLKI";
  shown_.ClanName = "<b onclick=\"doCmd('home')\">Волки</b>|'";
  fame_.inside_window = true;
  fame_.account = {5, 5, "\"><script>"};
  const std::string html = Report();
  for (std::string_view markup : {"<script", "<img src=x", "<b onclick", "\"><script"}) {
    EXPECT_EQ(html.find(markup), std::string::npos) << markup;
  }
  EXPECT_NE(html.find("он же &lt;script&gt;doCmd(&#39;browse&#39;,&#39;x&#39;)&lt;/script&gt; (до"), std::string::npos);
  EXPECT_NE(html.find("&lt;b onclick=&quot;doCmd(&#39;home&#39;)&quot;&gt;Волки&lt;/b&gt;/&#39;"), std::string::npos);
}

TEST_F(AccountHeaderTest, ClanBlockShowsEmblemsTagMembersJoinDateAndRole) {
  EXPECT_EQ(Clan(), "") << "no clan, no block";
  shown_.ClanId = "172431";
  shown_.ClanTag = "VOLKI";
  shown_.ClanName = "Волки|Севера";
  shown_.ClanMembersCount = 4;
  shown_.ClanJoined = EncodeDate(2016, 11, 17);
  shown_.ClanRole = "executive_officer";
  const std::string small = "file:///data/images/clan/172431_emblem_24x24.png";
  const std::string large = "http://clans.ru/clans/media/clans/emblems/cl_431/172431/emblem_64x64.png";
  EXPECT_EQ(Clan(),
            "<tbody id=\"ClanTagName\"><tr class=\"noHover\"><td colspan=\"4\"><br /><img "
            "style=\"float:left;margin-top:.25em;padding-right:4px;cursor:pointer;\" src=\"" +
                small +
                "\" alt=\"Иконка клана\" title=\"Нажмите, чтобы увеличить/уменьшить иконку\" "
                "onclick=\"this.src=(this.src=='" +
                small + "')?'" + large + "':'" + small +
                "'\" /><div style=\"padding-left:30px\">[<a href=\"http://site?search=[VOLKI]\" "
                "onclick=\"return doCmd('search','[VOLKI]')\">VOLKI</a>] Волки/Севера <span class=\"c0 noWrap\">(4 "
                "бойца)</span><br />Дата вступления: 17.11.2016 <span class=\"c0 noWrap\">(21 день)</span><br />"
                "Должность: <span class=\"c5\">Замком</span></div></td><td class=\"progressEmpty\">&nbsp;</td></tr>"
                "</tbody>");
  shown_.ClanRole = "combat_officer";
  EXPECT_NE(Clan().find("Должность: <span class=\"c4\">Командир&nbsp;подразделения</span>"), std::string::npos);
  shown_.ClanId = "0";
  EXPECT_EQ(Clan(), "");
}

TEST_F(AccountHeaderTest, ClanFamePointsAndLinks) {
  shown_.ClanId = "172431";
  shown_.ClanTag = "VOLKI";
  fame_.inside_window = true;
  fame_.title = "Кампания";
  fame_.clan = {12000, 0, 7};
  const std::string html = Report();
  EXPECT_NE(RowOf(html, "ClanTagName")
                .find("<br />Позиция в <span title=\"Кампания\">Рейтинге</span>: <span class=\"sectionHdr\">7</span> "
                      "<span class=\"c0 noWrap\" title=\"Кампания\">(Очки славы: 12\u00A0000)</span><br />Дата "
                      "вступления"),
            std::string::npos);
  EXPECT_NE(RowOf(html, "AccountName").find("</ul><br /><b class=\"sectionHdr\">Еще о клане:</b><ul>"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
