// The lower sections of the player report: vehicles, preferences,
// achievements, mastery badges, clan history, suitability, replays, location.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <utility>

#include "model/wn8_target.h"
#include "report_fixture.h"
#include "text/russian.h"

namespace tarvelo::testing {
namespace {

RVehicleStat Vehicle(std::string id, std::string name, int tier, int type, int32_t battles, int32_t wins) {
  RVehicleStat v;
  v.TankId = std::move(id);
  v.Name = std::move(name);
  v.Tier = static_cast<uint8_t>(tier);
  v.VehicleType = static_cast<uint8_t>(type);
  v.Images = "http://api/static/vehicle/contour/" + v.TankId + ".png";
  v.Stats[kModeAll] = Block(battles, wins);
  v.Stats[kModeAll].DamageAvg = 1000;
  v.Stats[kModeAll].ExpDamageSum = 1250.0f * battles;
  return v;
}

RAchievements Achievement(std::string key, std::string section, std::string type, int32_t count,
                          std::string condition = "random", int32_t extra = 0) {
  RAchievements a;
  a.key = key;
  a.name_i18n = "Title " + key;
  a.description = "About <" + key + ">";
  a.section = std::move(section);
  a.type = std::move(type);
  a.count = count;
  a.extra_count = extra;
  a.condition = std::move(condition);
  a.order = 1;
  return a;
}

RClanRole Role(std::string tag, std::string role, DateTime joined, DateTime left) {
  return {"1" + tag.substr(0, 1), tag, "Clan " + tag, std::move(role), joined, left};
}

// The section's tbody and the rows that follow it up to the next section.
std::string SectionOf(const std::string& html, std::string_view id) {
  const size_t start = html.find("<tbody id=\"" + std::string(id) + "\"");
  if (start == std::string::npos) return {};
  const size_t next = html.find("</tbody>\r\n<tbody id=", start);
  return html.substr(start, next == std::string::npos ? std::string::npos : next - start);
}

class AccountSectionsTest : public AccountReportTest {
 protected:
  AccountSectionsTest() {
    reference_ = ReferenceData::FromTexts(
        {.tanks_info = {},
         .exp_values = {},
         .ivanerr = R"({"kefs":{"100":{"weight":"0.850"}}})",
         .country_list = R"({"UA":["Ukraine","Украина"]})",
         .achievements = {}});
    RWOTAccount account = Player();
    account.Vehicles = {Vehicle("100", "Top <b>", 10, 3, 40, 24), Vehicle("200", "Eight", 8, 2, 60, 30),
                        Vehicle("300", "Tiger I", 10, 3, 0, 0)};
    account.Vehicles[0].MarkOfMastery = 4;
    account.Vehicles[0].IsPremium = true;
    account.Vehicles[1].Stats[kModeAll].ExpDamageSum = 0;
    account.HighestTier = 10;
    account.VehicleCount = 3;
    account.BattlesByTier[9] = 40;
    account.WinsByTier[9] = 24;
    account.BattlesByTier[7] = 60;
    account.WinsByTier[7] = 30;
    Show(account);
  }
};

TEST_F(AccountSectionsTest, VehiclesInTheAllTimeView) {
  const std::string html = Report();
  const std::string section = SectionOf(html, "VehiclesAll");
  // Only the top tier counts as shown; its filter item is checked.
  EXPECT_NE(section.find("<b class=\"sectionHdr\">Топ-техника игрока (10-й уровень)</b><span>&nbsp;(2 / 3)</span>"),
            std::string::npos);
  EXPECT_NE(section.find("id=\"vLevel0\" onclick=\"showv(this)\" checked=\"checked\">"), std::string::npos);
  EXPECT_NE(section.find("<tr class=\"vehicle vLevel0 vType3 vPre\"><td class=\"mclass4\">"), std::string::npos);
  EXPECT_NE(section.find("<tr style=\"display:none\" class=\"vehicle vLevel8 vType2\"><td>"), std::string::npos);
  EXPECT_NE(section.find("<tr class=\"vehicle vLevel0 vType3 vFav\">"), std::string::npos) << "a listed name";
  // The name is escaped; a tier-10 vehicle names its weight and, when positive, its IVR.
  EXPECT_NE(section.find("<div title=\"Коэффициент значимости танка по Иванерру - 0,850\"><p><span class=\"cW\">Top "
                         "&lt;b&gt;</span></p>"),
            std::string::npos);
  EXPECT_NE(section.find("<tr><td>IVR</td>"), std::string::npos);
  EXPECT_NE(section.find("<tr><td>Макс. уничтожено</td>"), std::string::npos);
  EXPECT_NE(section.find("- 0,000\"><p><span class=\"cW\">Tiger I</span> - на танке не было проведено ни одного "
                         "боя!</p>"),
            std::string::npos);
  // Damage bar against 1250 expected per battle: 1000 reaches c3 and is 250 short of c4.
  EXPECT_NE(section.find("<span class=\"vDamage\" title=\"250 до 1250 Номинальный урон по WN8: 1250\"><span "
                         "class=\"c3\">1000</span></span><small style=\"background-image: "
                         "url('file:///data/images/vehicle/100.png')\">X </small><span>40</span></td><td title=\"1 до "
                         "60,5% / 2 до 61,0%\"><span class=\"c5\">60,00%</span></td><td class=\"progressEmpty\">"),
            std::string::npos)
      << section;
  EXPECT_NE(section.find("<span class=\"vDamage\" title=\"Номинальный урон на данном танке пока не определен, поэтому "
                         "рейтинг WN8 по нему не рассчитывается.\"><span><sup>(!)</sup> 1000</span></span>"),
            std::string::npos);
  EXPECT_NE(section.find("<span>0</span></td><td><span class=\"c1\">0,00%</span>"), std::string::npos)
      << "no battles: 0% in class c1, the battles' span closed";
}

// The damage each WN8 step needs, in the pop-up in the step's colour and in the damage
// cell's tooltip with the step's WN8; none without expected values or battles.
TEST_F(AccountSectionsTest, TheDamageToAimForEachWn8Step) {
  RWOTAccountStats& s = shown_.Vehicles[0].Stats[kModeAll];
  s.Frags = 40;
  s.Spotted = 48;
  s.Dropped = 20;
  s.ExpFragSum = 0.9f * 40;
  s.ExpSpotSum = 1.4f * 40;
  s.ExpDefSum = 0.8f * 40;
  s.ExpWinsSum = 0.52f * 40;
  std::string pop_up = "<p class=\"wn8damage\">Урон для WN8: ";
  std::string tooltip = "Номинальный урон по WN8: 1250&#10;Урон для WN8:";
  const char* separator = "";
  for (const auto& [k, threshold] : {std::pair{3, 900.0}, {4, 1470.0}, {5, 2180.0}, {6, 2880.0}}) {
    const std::optional<double> damage = DamageForWn8(s, threshold);
    ASSERT_TRUE(damage);
    const std::string shown = Format("%.0n", {std::ceil(*damage)});
    EXPECT_GE(Wn8WithDamage(s, std::ceil(*damage)), threshold) << "the damage shown reaches the step";
    pop_up += separator + ("<span class=\"c" + std::to_string(k) + "\">" + shown + "</span>");
    tooltip += std::string(*separator ? " /" : "") + " " + shown + " (" + Format("%.0n", {threshold}) + ")";
    separator = " / ";
  }
  const std::string section = SectionOf(Report(), "VehiclesAll");
  EXPECT_NE(section.find(pop_up + "</p></div></div></div><span>Top &lt;b&gt;</span>"), std::string::npos) << pop_up;
  EXPECT_NE(section.find(tooltip + "\">"), std::string::npos) << tooltip;
  size_t mentions = 0;
  for (size_t at = section.find("Урон для WN8"); at != std::string::npos; at = section.find("Урон для WN8", at + 1)) {
    ++mentions;
  }
  EXPECT_EQ(mentions, 2u) << "the other vehicles, one without expected values and one without battles, show none";
}

TEST_F(AccountSectionsTest, VehiclesInAPeriodAndInAnotherMode) {
  shown_.Vehicles[1].Stats[kModeAll].WinsRatioChange = 0.015f;
  std::string html = Report(Days(3));
  std::string section = SectionOf(html, "VehiclesAll");
  EXPECT_NE(section.find("Вся техника</b><span>&nbsp;(3 / 3)"), std::string::npos);
  EXPECT_EQ(section.find("display:none"), std::string::npos);
  EXPECT_NE(section.find("id=\"v\" onclick=\"showv(this)\" checked=\"checked\">"), std::string::npos);
  EXPECT_EQ(section.find("Макс. уничтожено"), std::string::npos);
  EXPECT_EQ(section.find("<tr><td>IVR</td>"), std::string::npos);
  EXPECT_NE(section.find("<span class=\"g\">+1,50</span>"), std::string::npos);
  EXPECT_NE(section.find("<td class=\"progress\"><span class=\"c0\">NEW</span>"), std::string::npos);
  EXPECT_EQ(SectionOf(Report(Days(3, "b")), "VehiclesAll").find("NEW"), std::string::npos);

  section = SectionOf(Report(Days(0, "", kModeRandom)), "VehiclesAll");
  EXPECT_NE(section.find("Вся техника</b><span>&nbsp;(3 / 3)"), std::string::npos) << "every row shown";
}

TEST_F(AccountSectionsTest, PreferencesBarTheShareAndMarkNewGroups) {
  base_.BattlesByTier[7] = 0;
  const std::string html = Report(Days(3));
  const std::string tiers = SectionOf(html, "VehicleLevel");
  // 100 battles in all: 60 give 49 px, 40 give 33 px.
  EXPECT_NE(tiers.find("<tr class=\"graf\"><td>VIII</td><td><small><span style=\"width: 49px\"></span></small>60</td>"
                       "<td><span class=\"c3\">50,00%</span></td><td class=\"progress\"><span "
                       "class=\"c0\">NEW</span>"),
            std::string::npos)
      << tiers;
  EXPECT_NE(tiers.find("<td>X</td><td><small><span style=\"width: 33px\"></span></small>40</td>"), std::string::npos);
  EXPECT_EQ(tiers.find("<td>IX</td>"), std::string::npos) << "no battles, no row";
}

TEST_F(AccountSectionsTest, AchievementsByModeTypeAndPeriod) {
  shown_.Achievements = {Achievement("a", "class", "class", 3), Achievement("b", "class", "class", 0),
                         Achievement("c", "special", "series", 2, "random", 7),
                         Achievement("d", "special", "custom", 0, "random", 4),
                         Achievement("e", "special", "custom", 1), Achievement("h", "epic", "single", 1, "historical"),
                         Achievement("z", "epic", "single", 5)};
  shown_.Achievements[4].name_i18n = "Эксперт: США";
  shown_.Achievements[6].order = 0;
  const std::string html = Report();
  const std::string classes = SectionOf(html, "Achievements_class");
  EXPECT_NE(classes.find("Этапные награды</b> (1 / 2)"), std::string::npos);
  EXPECT_NE(classes.find("<tr title=\"About &lt;a&gt;\"><td>Title a</td><td colspan=\"2\">III</td><td "
                         "class=\"progressEmpty\">"),
            std::string::npos);
  EXPECT_NE(classes.find("<td><span class=\"c0\">Title b</span></td><td colspan=\"2\"><span class=\"c0\">&ndash;</span>"),
            std::string::npos);
  const std::string special = SectionOf(html, "Achievements_special");
  EXPECT_NE(special.find("<td>Title c</td><td>7</td><td>да</td>"), std::string::npos);
  EXPECT_NE(special.find("<td><span class=\"c0\">Title d</span></td><td>4 / 9</td><td>нет</td>"), std::string::npos);
  EXPECT_EQ(special.find("Эксперт: США"), std::string::npos) << "national variants are left out";
  EXPECT_EQ(SectionOf(html, "Achievements_epic"), "") << "historical and unordered ones are not listed in mode all";
  EXPECT_NE(SectionOf(Report(Days(0, "", kModeHistorical)), "Achievements_epic").find("Title h"), std::string::npos);
  EXPECT_EQ(SectionOf(Report(Days(0, "", kModeHistorical)), "Achievements_class"), "");

  // A period lists the changed ones only, and drops a section without changes.
  const std::string period = Report(Days(3));
  EXPECT_NE(SectionOf(period, "Achievements_class").find("(1 / 1)"), std::string::npos);
  EXPECT_EQ(SectionOf(period, "Achievements_class").find("Title b"), std::string::npos);
}

TEST_F(AccountSectionsTest, MasteryBadges) {
  std::string section = SectionOf(Report(), "Masteries");
  EXPECT_TRUE(section.ends_with("Знаки классности</b> (0 / 3)</td></tr>")) << section;
  EXPECT_EQ(SectionOf(Report(Days(3)), "Masteries"), "");

  shown_.CountByBadge = {0, 2, 0, 0, 1};
  shown_.NamesByBadge[4] = "Top <b>";
  section = SectionOf(Report(), "Masteries");
  EXPECT_NE(section.find("(3 / 3)"), std::string::npos);
  EXPECT_LT(section.find("<tr title=\"Top &lt;b&gt;\"><td>Мастер</td><td>&nbsp;</td><td>1</td>"),
            section.find("<td><span class=\"c0\">1 степень</span></td>"));
  EXPECT_NE(section.find("<td>3 степень</td><td>&nbsp;</td><td>2</td><td class=\"progressEmpty\">"), std::string::npos);
  EXPECT_EQ(SectionOf(Report(Days(3)), "Masteries").find("1 степень"), std::string::npos) << "period: held badges only";
}

TEST_F(AccountSectionsTest, ClanHistoryGroupsStays) {
  const DateTime d = EncodeDate(2015, 1, 1);
  EXPECT_NE(SectionOf(Report(), "ClanHistoryWithRoles").find("Нет информации об участии игрока"), std::string::npos);
  // A one-day gap continues the stay, two days start a new one; the last is open.
  shown_.ClanHistory = {Role("AAA", "Боец", d, d + 10), Role("AAA", "Офицер штаба", d + 11, d + 20),
                        Role("AAA", "Боец", d + 22, d + 30), Role("BBB", "<i>", d + 31, NoEndDate())};
  history_emblems_["1A"] = "/data/images/clan/1A_emblem_24x24.png";
  const std::string section = SectionOf(Report(), "ClanHistoryWithRoles");
  EXPECT_NE(section.find("<tr><td rowspan=\"2\"><span class=\"count\">1. <img "
                         "src=\"file:///data/images/clan/1A_emblem_24x24.png\" width=\"16\" height=\"16\" /></span> [<a "
                         "href=\"http://clans.ru/clans/1A/\" target=\"_blank\" onclick=\"return "
                         "doCmd('browse',this.href)\">AAA</a>]</td><td rowspan=\"2\" class=\"noWrap\">01.01.2015 "
                         "&ndash; 21.01.2015</td><td>[Боец]</td><td class=\"noWrap\">10 дней</td></tr>\r\n"
                         "<tr><td><span class=\"c5\">[Офицер штаба]</span></td><td class=\"noWrap\">9 дней</td></tr>"),
            std::string::npos)
      << section;
  EXPECT_NE(section.find("<tr><td><span class=\"count\">2. "), std::string::npos);
  EXPECT_NE(section.find("&ndash; 31.01.2015</td>"), std::string::npos);
  EXPECT_NE(section.find("<span class=\"count\">3. <img src=\"http://clans.ru/"), std::string::npos);
  EXPECT_NE(section.find("01.02.2015 &ndash; ?\?\?</td><td>[&lt;i&gt;]</td>"), std::string::npos);


  // The plain list of roles, in a layout of its own.
  static constexpr AccountLayoutRow kRoles[] = {{"Роли", "[section]ClanRoles", "", "1", "1", "111111111111111"}};
  const std::string roles = Report({}, kRoles);
  EXPECT_NE(roles.find("<tr class=\"noHover\"><td class=\"noBrd\" colspan=\"4\">1.1. [AAA]  01.01.2015 &ndash; "
                       "11.01.2015 (10 дней)     Боец</td></tr>\r\n"),
            std::string::npos)
      << roles;
  EXPECT_NE(roles.find(">1.3. [AAA]  23.01.2015 &ndash; 31.01.2015 (8 дней)     Боец<"), std::string::npos);
  EXPECT_NE(roles.find(">2.1. [BBB]  01.02.2015 &ndash; н.в.       (676 дней)     &lt;i&gt;<"), std::string::npos);
}

TEST_F(AccountSectionsTest, SuitabilityReplaysAndLocation) {
  shown_.Stats[kModeAll].rateKORV = 1175;
  shown_.Stats[kModeAll].Clanable = 1.25f;
  std::string html = Report();
  const std::string suitability = SectionOf(html, "Clanable");
  EXPECT_NE(suitability.find("<tr><td>По усреднённому рейтингу </td><td>1175 / 1175</td><td>     <span "
                             "class=\"c4\">1,00</span></td><td class=\"progressEmpty\">"),
            std::string::npos)
      << suitability;
  EXPECT_NE(suitability.find("<tr><td>Итог</td><td colspan=\"3\"><span class=\"c5\">1,25</span>"), std::string::npos);

  const std::string replays = SectionOf(html, "Replays");
  EXPECT_NE(replays.find("в т.ч. реплеи самого игрока</td><td colspan=\"3\">0</td>"), std::string::npos) << replays;
  const std::string location = SectionOf(html, "Location");
  EXPECT_EQ(location.find("flag-"), std::string::npos);
  EXPECT_NE(location.find("<td>Страна</td><td colspan=\"3\">Нет данных</td>"), std::string::npos);
  EXPECT_NE(location.find("<td>Населенный пункт</td><td colspan=\"3\">Нет данных</td>"), std::string::npos);

  shown_.Stats[kModeAll] = Block(0, 0);
  shown_.CountryCode = "UA";
  shown_.City = "<b>Town</b>";
  shown_.ReplayPage = "http://replays/p/1/sort/uploaded_at.desc";
  shown_.ReplayCount = 4;
  shown_.ReplayVideoCount = 2;
  html = Report();
  EXPECT_TRUE(SectionOf(html, "Clanable").ends_with("Клан-пригодность</b></td></tr>"))
      << "no battles: the header only";
  EXPECT_NE(SectionOf(html, "Replays").find("<a href=\"http://replays/p/1/video/1/sort/uploaded_at.desc\" "
                                            "target=\"_blank\" onclick=\"return doCmd('browse',this.href)\">2</a>"),
            std::string::npos);
  EXPECT_NE(SectionOf(html, "Location").find("<i class=\"flag-UA\"></i>&nbsp;Украина"), std::string::npos);
  EXPECT_NE(SectionOf(html, "Location").find("&lt;b&gt;Town&lt;/b&gt;"), std::string::npos);
}

}  // namespace
}  // namespace tarvelo::testing
