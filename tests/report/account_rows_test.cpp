#include "report/account_rows.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "model/tables.h"

namespace tarvelo {
namespace {

constexpr std::string_view kAllModes = "111111111111111";

// Rows whose content is set by the test, keyed by the row key.
struct SeenRequest {
  std::string key;
  std::string format;
  RowKind kind;
};
struct Rendered {
  LayoutRendering result;
  std::vector<SeenRequest> requests;
};

Rendered Render(const std::vector<AccountLayoutRow>& rows, int days, int mode,
                const std::map<std::string, RowContent>& contents) {
  Rendered rendered;
  const RSettings state = BuildRowState(rows, mode);
  rendered.result = RenderLayoutRows(rows, state, days, mode, [&](const RowRequest& request) {
    rendered.requests.push_back({std::string(request.key), std::string(request.format), request.kind});
    auto found = contents.find(std::string(request.key));
    return found == contents.end() ? RowContent{} : found->second;
  });
  return rendered;
}

RowContent Value(std::string value) {
  RowContent content;
  content.value = std::move(value);
  return content;
}

TEST(LayoutRows, ShapeTheirCellsFromTheFormat) {
  const std::vector<AccountLayoutRow> rows = {
      {"Побед", "Wins", "%.0n|", "1", "1", kAllModes},
      {"Выстрелов", "Shots", "|[%.1f]", "1", "1", kAllModes},
      {"Уровень", "LevelAvg", "[%.1f]", "1", "1", kAllModes},
      {"Боёв", "stAll.Battles", "%.0n|[%.2f%%]", "1", "1", kAllModes},
  };
  Rendered r = Render(rows, 0, kModeAll,
                      {{"Wins", Value("12 345|&nbsp;")},
                       {"Shots", Value("&nbsp;|<span class=\"c2\">3,5</span>")},
                       {"LevelAvg", Value("<span class=\"c4\">7,2</span>")},
                       {"stAll.Battles", Value("100|<span class=\"c3\">51,00%</span>")}});
  EXPECT_EQ(r.result.rows,
            "<tbody id=\"Wins\"><tr><td>Побед</td><td>12 345</td><td>&nbsp;</td><td class=\"progressEmpty\">&nbsp;"
            "</td></tr></tbody>\r\n"
            "<tbody id=\"Shots\"><tr><td>Выстрелов</td><td>&nbsp;</td><td><span class=\"c2\">3,5</span></td><td "
            "class=\"progressEmpty\">&nbsp;</td></tr></tbody>\r\n"
            "<tbody id=\"LevelAvg\"><tr><td>Уровень</td><td colspan=\"2\"><span class=\"c4\">7,2</span></td><td "
            "class=\"progressEmpty\">&nbsp;</td></tr></tbody>\r\n"
            "<tbody id=\"stAllBattles\"><tr><td>Боёв</td><td>100</td><td><span class=\"c3\">51,00%</span></td><td "
            "class=\"progressEmpty\">&nbsp;</td></tr></tbody>\r\n");
  ASSERT_EQ(r.requests.size(), 4u);
  EXPECT_EQ(r.requests[0].format, "%.0n|&nbsp;");
  EXPECT_EQ(r.requests[1].format, "&nbsp;|[%.1f]");
  EXPECT_EQ(r.requests[2].format, "[%.1f]");
}

TEST(LayoutRows, ApplyTheFormatToARawValue) {
  RowContent raw = Value("12345");
  raw.raw = true;
  RowContent text = Value("abc");
  text.raw = true;
  Rendered r = Render({{"Число", "data.x", "%.0n|", "1", "1", kAllModes},
                       {"Текст", "data.y", "[%s]", "1", "1", kAllModes}},
                      0, kModeAll, {{"data.x", raw}, {"data.y", text}});
  EXPECT_NE(r.result.rows.find("<td>Число</td><td>12\u00A0345</td><td>&nbsp;</td>"), std::string::npos) << r.result.rows;
  EXPECT_NE(r.result.rows.find("<td>Текст</td><td colspan=\"2\">abc</td>"), std::string::npos) << r.result.rows;
}

TEST(LayoutRows, EmitOnlyRowsOfTheSelectedMode) {
  const std::vector<AccountLayoutRow> rows = {
      {"a", "A", "%d|", "1", "1", "100000001000000"},
      {"b", "B", "%d|", "1", "1", "100000000100000"},
      {"short", "C", "%d|", "1", "1", "11111111111111"},
  };
  const std::map<std::string, RowContent> contents{{"A", Value("1|")}, {"B", Value("2|")}, {"C", Value("3|")}};
  Rendered skirmish = Render(rows, 0, kModeStrongholdSkirmish, contents);
  EXPECT_EQ(skirmish.result.rows.find("id=\"A\""), std::string::npos);
  EXPECT_NE(skirmish.result.rows.find("id=\"B\""), std::string::npos);
  EXPECT_NE(skirmish.result.rows.find("id=\"C\""), std::string::npos);
  // A mask that is one short names its row in a message box and hides it in the last mode.
  ASSERT_EQ(skirmish.result.errors.size(), 1u);
  EXPECT_EQ(skirmish.result.errors[0], "Обнаружено несоответствие в параметрах отображения данных (short).");
  EXPECT_EQ(Render(rows, 0, kModeHistorical, contents).result.rows.find("id=\"C\""), std::string::npos);
}

TEST(LayoutRows, CollapseChildRowsUnlessTheModeOrPeriodOpensThem) {
  const std::vector<AccountLayoutRow> rows = {
      {"first", "First", "%d|", "0", "1", kAllModes},
      {"child", "stStronghold_Skirmish.Battles", "%d|", "0", "2", kAllModes},
      {"child4", "Frags", "%d|", "0", "4", kAllModes},
  };
  const std::map<std::string, RowContent> contents{
      {"First", Value("1|")}, {"stStronghold_Skirmish.Battles", Value("2|")}, {"Frags", Value("3|")}};
  const std::string all = Render(rows, 0, kModeAll, contents).result.rows;
  EXPECT_NE(all.find("<tbody id=\"First\"><tr>"), std::string::npos) << "the first row is always open";
  EXPECT_NE(all.find("<tbody id=\"stStronghold_SkirmishBattles\" class=\"hide\">"), std::string::npos);
  EXPECT_NE(all.find("<tbody id=\"Frags\" class=\"hide\">"), std::string::npos);
  const std::string skirmish = Render(rows, 0, kModeStrongholdSkirmish, contents).result.rows;
  EXPECT_NE(skirmish.find("<tbody id=\"stStronghold_SkirmishBattles\"><tr>"), std::string::npos);
  const std::string period = Render(rows, 7, kModeAll, contents).result.rows;
  EXPECT_NE(period.find("<tbody id=\"stStronghold_SkirmishBattles\"><tr>"), std::string::npos);
  EXPECT_NE(period.find("<tbody id=\"Frags\" class=\"hide\">"), std::string::npos);
}

// Period level, zero or not, view → emitted and greyed.
struct ZeroCase {
  std::string_view level;
  std::string value;
  int days;
  bool kept_when_zero;
  bool emitted;
  bool greyed;
};

TEST(LayoutRows, GreyOrDropZeroValuesByPeriodLevel) {
  const ZeroCase cases[] = {
      {"1", "0|", 0, false, true, true},         {"1", "5|", 0, false, true, false},
      {"0", "5|", 7, false, false, false},        {"1", "0|", 7, false, false, false},
      {"2", "0|", 7, false, false, false},        {"2", "5|", 7, false, true, false},
      {"3", "0|", 7, false, true, true},          {"3", "0|<span class=\"c1\">0,00%</span>", 7, false, true, false},
      {"4", "0|", 7, false, true, false},         {"1", "0|<span>0,00%</span>", 7, true, true, false},
      {"1", "12|<span>0,00</span>", 7, true, true, true},
  };
  for (const ZeroCase& c : cases) {
    RowContent content = Value(c.value);
    content.kept_when_zero = c.kept_when_zero;
    const std::vector<AccountLayoutRow> rows = {{"Заголовок", "Key", "%d|", "1", c.level, kAllModes}};
    const std::string html = Render(rows, c.days, kModeAll, {{"Key", content}}).result.rows;
    SCOPED_TRACE(std::string(c.level) + " " + c.value + " days " + std::to_string(c.days));
    EXPECT_EQ(!html.empty(), c.emitted);
    if (c.emitted) {
      EXPECT_EQ(html.find("<span class=\"c0\">Заголовок</span>") != std::string::npos, c.greyed);
    }
  }
}

TEST(LayoutRows, DropRowsWithoutData) {
  RowContent none;
  none.no_data = true;
  EXPECT_EQ(Render({{"x", "A", "%d|", "1", "1", kAllModes}, {"y", "B", "%d|", "1", "1", kAllModes}}, 0, kModeAll,
                   {{"A", none}, {"B", Value("NoData")}})
                .result.rows,
            "");
}

TEST(LayoutRows, OpenBlocksAndSections) {
  RowContent header = Value("<b>Имя</b>");
  header.fourth_cell = "";
  RowContent section;
  section.caption_suffix = " <span>(случайные бои)</span>";
  section.header_extra = "[menu]";
  Rendered r = Render({{"Аккаунт", "[main]AccountName", "%s", "1", "1", kAllModes},
                       {"Общая статистика", "[section]Total", "", "1", "1", kAllModes},
                       {"Рейтинги – все", "[section]Ratings", "", "1", "1", kAllModes},
                       {"<b class=\"sectionHdr\">Техника</b> (1 / 2)", "[section]VehiclesAll", "", "1", "1", kAllModes}},
                      0, kModeAll, {{"AccountName", header}, {"Total", section}});
  EXPECT_EQ(r.result.rows,
            "<tbody id=\"AccountName\"><tr class=\"noHover\"><td colspan=\"4\"><b>Имя</b></td></tr></tbody>\r\n"
            "<tbody id=\"Total\"><tr class=\"noHover\"><td colspan=\"4\"><br />[menu]<b class=\"sectionHdr\">Общая "
            "статистика</b> <span>(случайные бои)</span></td></tr></tbody>\r\n"
            "<tbody id=\"Ratings\"><tr class=\"noHover\"><td colspan=\"4\"><br /><b class=\"sectionHdr\">Рейтинги</b> – "
            "все</td></tr></tbody>\r\n"
            "<tbody id=\"VehiclesAll\"><tr class=\"noHover\"><td colspan=\"4\"><br /><b class=\"sectionHdr\">Техника</b> "
            "(1 / 2)</td></tr></tbody>\r\n");
  ASSERT_EQ(r.requests.size(), 4u);
  EXPECT_EQ(r.requests[0].kind, RowKind::MainBlock);
  EXPECT_EQ(r.requests[1].kind, RowKind::Section);
  EXPECT_EQ(r.requests[1].key, "Total");
}

TEST(SectionCaption, ClosesTheBoldPartAtTheFirstBreak) {
  EXPECT_EQ(SectionCaption("Семафор – дата, бои"), "<b class=\"sectionHdr\">Семафор</b> – дата, бои");
  EXPECT_EQ(SectionCaption("Клан-история (до 2015) – x"), "<b class=\"sectionHdr\">Клан-история (до 2015)</b> – x");
  EXPECT_EQ(SectionCaption("Реплеи (5)"), "<b class=\"sectionHdr\">Реплеи</b> (5)");
  EXPECT_EQ(SectionCaption("Клан <span>x</span>"), "<b class=\"sectionHdr\">Клан</b> <span>x</span>");
  EXPECT_EQ(SectionCaption("Рейтинги"), "<b class=\"sectionHdr\">Рейтинги</b>");
}

TEST(ZeroValueText, ReadsEveryShapeOfZero) {
  for (std::string_view zero : {"0", "0,00", "0,0", "0%", "0 (5)", "0/3", "0|&nbsp;", "0,00|x", "нет данных",
                                "a<span>0</span>", "<b>0,00</b>", ">0,00%<", "<i>0,0</i>", "<i>0%</i>", "5|0"}) {
    EXPECT_TRUE(IsZeroValueText(zero)) << zero;
  }
  for (std::string_view other : {"", "10", "0,5", "0,01", "05", "10|", "<b>10</b>", "1|<span>0,01%</span>"}) {
    EXPECT_FALSE(IsZeroValueText(other)) << other;
  }
}

}  // namespace
}  // namespace tarvelo
