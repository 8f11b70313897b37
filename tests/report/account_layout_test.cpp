#include "report/account_layout.h"

#include <gtest/gtest.h>

#include <set>

#include "model/tables.h"

namespace tarvelo {
namespace {

TEST(AccountLayouts, HaveTheirRowsAndWellFormedFields) {
  EXPECT_EQ(FullAccountLayout().size(), 78u);
  EXPECT_EQ(SemaphoreAccountLayout().size(), 2u);
  EXPECT_EQ(ClaimAccountLayout().size(), 7u);
  std::set<std::string_view> keys;
  for (AccountLayout layout : {FullAccountLayout(), SemaphoreAccountLayout(), ClaimAccountLayout()}) {
    for (const AccountLayoutRow& row : layout) {
      EXPECT_EQ(row.mask.size(), 15u) << row.key;
      EXPECT_EQ(row.mask.find_first_not_of("01"), std::string_view::npos) << row.key;
      EXPECT_TRUE(row.visible == "0" || row.visible == "1") << row.key;
      EXPECT_TRUE(row.level.size() == 1 && row.level >= "0" && row.level <= "4") << row.key;
    }
  }
  for (const AccountLayoutRow& row : FullAccountLayout()) EXPECT_TRUE(keys.insert(row.key).second) << row.key;
  EXPECT_EQ(FullAccountLayout()[0].key, "[main]AccountName");
  EXPECT_EQ(FullAccountLayout()[77].key, "[section]Location");
}

TEST(AccountLayouts, AreChosenByTheDaysNumber) {
  EXPECT_EQ(AccountLayoutForDays(-1).data(), SemaphoreAccountLayout().data());
  EXPECT_EQ(AccountLayoutForDays(-2).data(), ClaimAccountLayout().data());
  for (int days : {0, 1, 7, -3, -5}) EXPECT_EQ(AccountLayoutForDays(days).data(), FullAccountLayout().data());
}

TEST(CleanCaption, DropsTheBracketedTailAndColons) {
  EXPECT_EQ(CleanCaption("  Количество боёв "), "Количество боёв");
  EXPECT_EQ(CleanCaption("&nbsp;&nbsp;клановых (до ГК 2.0)"), "&nbsp;&nbsp;клановых");
  EXPECT_EQ(CleanCaption("Показать: всё"), "Показать всё");
  EXPECT_EQ(CleanCaption("Клан-история <span class=\"c0\">(до 01.09.2015)</span>"),
            "Клан-история <span class=\"c0\">(до 01.09.2015)</span>");
}

bool FlagOf(const RSettings& state, AccountLayout layout, std::string_view key) {
  for (size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].key == key) return state.flags[i];
  }
  ADD_FAILURE() << "no row " << key;
  return false;
}

TEST(RowState, ExpandsChildRowsOfALongModeName) {
  const AccountLayout layout = FullAccountLayout();
  const RSettings all = BuildRowState(layout, kModeAll);
  ASSERT_EQ(all.flags.size(), layout.size());
  ASSERT_EQ(all.strings.size(), layout.size());
  EXPECT_EQ(all.strings[8], "&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;клановых");
  EXPECT_FALSE(FlagOf(all, layout, "stStronghold_Skirmish.Battles"));
  EXPECT_TRUE(FlagOf(all, layout, "stAll.Battles"));
  EXPECT_TRUE(FlagOf(BuildRowState(layout, kModeStrongholdSkirmish), layout, "stStronghold_Skirmish.Battles"));
  EXPECT_TRUE(FlagOf(BuildRowState(layout, kModeGlobalmapAbsolute), layout, "stGlobalmap_Absolute.Battles"));
  // Names of up to seven letters never expand a child row.
  EXPECT_FALSE(FlagOf(BuildRowState(layout, kModeRandom), layout, "stRandom.Battles"));
  EXPECT_FALSE(FlagOf(BuildRowState(layout, kModeClan), layout, "stClan.Battles"));
  // "stronghold" (10 letters) is in the key of both stronghold children.
  const RSettings stronghold = BuildRowState(layout, kModeStronghold);
  EXPECT_TRUE(FlagOf(stronghold, layout, "stStronghold_Skirmish.Battles"));
  EXPECT_TRUE(FlagOf(stronghold, layout, "stStronghold_Defense.Battles"));
}

}  // namespace
}  // namespace tarvelo
