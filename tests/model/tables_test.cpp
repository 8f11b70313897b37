// Lookups in the constant tables and the value semantics of the records.
#include "model/tables.h"

#include <gtest/gtest.h>

namespace tarvelo {
namespace {

TEST(Tables, UnknownKeysFallBackToIndexZero) {
  EXPECT_EQ(NationIndex("sweden"), 9);
  EXPECT_EQ(NationIndex("poland"), 0);
  EXPECT_EQ(NationIndex("USSR"), 0);  // case-sensitive
  EXPECT_EQ(Nations[NationIndex("italy")].label, "-");
  EXPECT_EQ(VehicleTypeIndex("AT-SPG"), 4);
  EXPECT_EQ(VehicleTypeIndex("spg"), 0);
  EXPECT_EQ(ModeIndexOfKey("fallout"), kModeFallout);
  EXPECT_EQ(ModeIndexOfKey("nope"), -1);
}

TEST(Tables, ClanRoleLabelsAndListedNames) {
  EXPECT_EQ(ClanRoleLabel("executive_officer"), "Замком");
  EXPECT_EQ(ClanRoleLabel("Казначей"), "Казначей");
  EXPECT_TRUE(IsListedVehicleName("Т-54 облегчённый"));
  EXPECT_TRUE(IsListedVehicleName("M40/M43"));
  EXPECT_FALSE(IsListedVehicleName("t29"));
}

TEST(Records, CopyingAnAccountCopiesWhatItOwns) {
  RWOTAccount source;
  source.Vehicles.resize(1);
  source.Vehicles[0].Name = "T-34";
  source.Vehicles[0].Stats[kModeAll].Battles = 5;
  source.Achievements.resize(1);
  source.Achievements[0].count = 3;
  source.NameHistory.push_back(RNameHistory{"old", 1.0});
  source.ClanHistory.resize(1);
  source.ClanHistory[0].clan_tag = "TAG";
  RWOTAccount copy = source;
  copy.Vehicles[0].Name = "changed";
  copy.Vehicles[0].Stats[kModeAll].Battles = 9;
  copy.Achievements[0].count = 0;
  copy.NameHistory[0].name = "new";
  copy.ClanHistory[0].clan_tag = "X";
  copy.Vehicles.push_back(RVehicleStat{});
  EXPECT_EQ(source.Vehicles.size(), 1u);
  EXPECT_EQ(source.Vehicles[0].Name, "T-34");
  EXPECT_EQ(source.Vehicles[0].Stats[kModeAll].Battles, 5);
  EXPECT_EQ(source.Achievements[0].count, 3);
  EXPECT_EQ(source.NameHistory[0].name, "old");
  EXPECT_EQ(source.ClanHistory[0].clan_tag, "TAG");
}

TEST(Records, NoEndDateIsTheFirstOf2222) {
  DateParts parts = DecodeDateTime(NoEndDate());
  EXPECT_EQ(parts.year, 2222);
  EXPECT_EQ(parts.month, 1);
  EXPECT_EQ(parts.day, 1);
}

}  // namespace
}  // namespace tarvelo
