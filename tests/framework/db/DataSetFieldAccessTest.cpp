// Reaching fields through the dataset by name: FieldByName, GetFieldList with its ';'
// separated lists, and GetFieldValue / SetFieldValue for one field or several.
#include "ProbeRig.h"

#include "kelva/framework/db/DBConsts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

class FieldAccessTest : public testing::Test {
protected:
  void SetUp() override { Rig.DataSet.Open(); }

  ProbeRig Rig{3, 10};
  ProbeDataSet& Probe = Rig.DataSet;
};

TEST_F(FieldAccessTest, NamesAreFoundIgnoringCase) {
  EXPECT_EQ(Probe.FindField("v"), Probe.FieldByName("V"));
  EXPECT_EQ(Probe.FindField("W"), nullptr);
  try {
    Probe.FieldByName("W");
    FAIL() << "FieldByName found a missing field";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'W' not found");
  }
}

TEST_F(FieldAccessTest, FieldListsSplitAtSemicolonsAndTrim) {
  std::vector<TField*> List;
  Probe.GetFieldList(List, "");
  EXPECT_TRUE(List.empty());
  Probe.GetFieldList(List, " V ;v;");
  EXPECT_EQ(List.size(), 2u) << "a trailing ';' adds no piece";
  List.clear();
  EXPECT_THROW(Probe.GetFieldList(List, "V;;V"), EDatabaseError) << "an empty piece is looked up";
  EXPECT_EQ(List.size(), 1u) << "the fields found before the error stay in the list";
}

TEST_F(FieldAccessTest, ValuesOfOneOrSeveralFields) {
  EXPECT_EQ(Probe.GetFieldValue("V").AsInteger(), 10);
  const Variant Both = Probe.GetFieldValue("V;V");
  ASSERT_TRUE(VarIsArray(Both));
  EXPECT_EQ(Both.ArrayHigh(), 1);
  EXPECT_EQ(Both[1].AsInteger(), 10);

  Probe.Edit();
  Probe.SetFieldValue("V", 11);
  EXPECT_EQ(Probe.ActiveBufferValue(), 11);
  Probe.SetFieldValue("V;V", VarArrayOf({12, 13}));
  EXPECT_EQ(Probe.ActiveBufferValue(), 13) << "element i goes to the i-th field of the list";
  Probe.Post();
  EXPECT_EQ(Probe.StoredValues(), (std::vector<std::int32_t>{13, 20, 30}));
}

TEST_F(FieldAccessTest, FieldsRefuseWritesOutsideAnEdit) {
  try {
    Probe.FieldByName("V")->SetAsInteger(1);
    FAIL() << "a field was written in browse mode";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), SNotEditing);
  }
  EXPECT_EQ(Probe.StoredValues(), (std::vector<std::int32_t>{10, 20, 30}));
}

} // namespace
} // namespace kelva
