// Reference data built from document texts: lookups, unknown vehicles, absent
// documents and the start-up error texts; then the shipped documents themselves.
#include "model/reference.h"

#include <gtest/gtest.h>

#include "embedded.h"
#include "model/tables.h"
#include "model_fixture.h"

namespace tarvelo {
namespace {

using testing::SmallReference;

TEST(ReferenceData, KnownVehicleCarriesItsEncyclopediaEntry) {
  ReferenceData reference = SmallReference();
  VehicleInfo info = reference.Vehicle("63537");
  EXPECT_TRUE(info.known);
  EXPECT_EQ(info.name, "121B");
  EXPECT_EQ(info.tag, "Ch25_121_mod_1971B");
  EXPECT_EQ(info.nation, 4);
  EXPECT_EQ(info.type, 2);
  EXPECT_EQ(info.tier, 10);
  EXPECT_TRUE(info.premium);
  EXPECT_EQ(info.images, "http://img/63537.png");
}

TEST(ReferenceData, UnknownVehicleGetsTheUnknownValues) {
  VehicleInfo info = SmallReference().Vehicle("424242");
  EXPECT_FALSE(info.known);
  EXPECT_EQ(info.tag, "UnknownVehicle_424242");
  EXPECT_EQ(info.name, "UnknownVehicle_424242");
  EXPECT_EQ(info.tier, 10);
  EXPECT_EQ(info.nation, 0);
  EXPECT_EQ(info.type, 0);
  EXPECT_FALSE(info.premium);
  EXPECT_EQ(info.images, "");
}

TEST(ReferenceData, ExpectedValuesAndWeightsDefaultToZero) {
  ReferenceData reference = SmallReference();
  ExpectedValues t34 = reference.Expected("1");
  EXPECT_DOUBLE_EQ(t34.damage, 511.21);
  EXPECT_DOUBLE_EQ(t34.frag, 1.04);
  EXPECT_DOUBLE_EQ(t34.win_rate, 55.71);
  EXPECT_DOUBLE_EQ(reference.Expected("2").damage, 0.0);
  EXPECT_DOUBLE_EQ(reference.IvanerrWeight("63537"), 0.85);  // the text "0.850"
  EXPECT_DOUBLE_EQ(reference.IvanerrWeight("1"), 0.0);
}

TEST(ReferenceData, CatalogueKeepsDocumentOrderAndItsCount) {
  ReferenceData reference = SmallReference();
  ASSERT_EQ(reference.Achievements().size(), 6u);
  EXPECT_EQ(reference.AchievementCount(), 6);
  EXPECT_EQ(reference.Achievements()[0].key, "warrior");
  EXPECT_EQ(reference.Achievements()[5].key, "medalKay");
  EXPECT_EQ(reference.Achievements()[1].type, "custom");
}

TEST(ReferenceData, CountryNameIsTheRussianName) {
  ReferenceData reference = SmallReference();
  bool found = false;
  EXPECT_EQ(reference.CountryName("RU", &found), "Россия");
  EXPECT_TRUE(found);
  EXPECT_EQ(reference.CountryName("ZZ", &found), "");
  EXPECT_FALSE(found);
}

TEST(ReferenceData, DocumentsThatFailToParseAreAbsentAndReportedInLoadOrder) {
  ReferenceTexts texts;
  texts.tanks_info = "{\"data\":";  // cut short
  texts.exp_values = testing::kTanksExpValues;
  texts.ivanerr = "";
  texts.country_list = "not json";  // never reported
  texts.achievements = "[";
  ReferenceData reference = ReferenceData::FromTexts(texts);
  EXPECT_EQ(reference.LoadErrors(),
            (std::vector<std::string>{"Не удалось загрузить ресурсы TanksInfo.",
                                      "Не удалось загрузить ресурсы TanksIvanerr.",
                                      "Не удалось загрузить ресурсы Achievements."}));
  EXPECT_EQ(reference.Vehicle("1").name, "UnknownVehicle_1");
  EXPECT_DOUBLE_EQ(reference.Expected("1").damage, 511.21);
  EXPECT_TRUE(reference.Achievements().empty());
  EXPECT_EQ(reference.CountryName("RU"), "");
  EXPECT_TRUE(ReferenceData().LoadErrors().size() == 4u);
}

class ShippedReference : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FindResource("TanksInfo").empty()) GTEST_SKIP() << "reference documents are not embedded yet";
  }
};

TEST_F(ShippedReference, LoadsWithoutErrorsAndInstallsProcessWide) {
  EXPECT_TRUE(LoadReferenceData().empty());
  EXPECT_EQ(Reference().Vehicle("63537").name, "121B");
  EXPECT_GT(Reference().Achievements().size(), 100u);
  EXPECT_EQ(static_cast<int64_t>(Reference().Achievements().size()), Reference().AchievementCount());
}

TEST_F(ShippedReference, The121BAndTheWeightOf61697) {
  ReferenceData reference = ReferenceData::FromTexts(EmbeddedReferenceTexts());
  VehicleInfo info = reference.Vehicle("63537");
  EXPECT_EQ(info.name, "121B");
  EXPECT_EQ(info.nation, NationIndex("china"));
  EXPECT_EQ(info.type, VehicleTypeIndex("mediumTank"));
  EXPECT_EQ(info.tier, 10);
  EXPECT_TRUE(info.premium);
  EXPECT_DOUBLE_EQ(reference.IvanerrWeight("61697"), 0.85);
  EXPECT_GT(reference.Expected("63537").damage, 0.0);
  EXPECT_EQ(reference.CountryName("RU"), "Российская Федерация");
}

}  // namespace
}  // namespace tarvelo
