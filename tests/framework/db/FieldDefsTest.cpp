// Field definitions: adding with and without checks, indexing and lookup, creating the
// field class of each type, and the default fields a dataset builds from them.
#include "MiniDataSet.h"

#include "kelva/framework/db/FieldDefs.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelva::test {
namespace {

template <class Action>
std::string ErrorOf(Action&& Run) {
  try {
    Run();
  } catch (const Exception& E) {
    return E.Message();
  }
  return "";
}

TEST(FieldDefsTest, AddChecksTheNameAndNumbersTheDefinition) {
  TFieldDefs Defs(nullptr);
  TFieldDef* A = Defs.Add("A", ftInteger);
  TFieldDef* B = Defs.Add("B", ftString, 10, true);
  EXPECT_EQ(A->FieldNo(), 1);
  EXPECT_EQ(B->FieldNo(), 2);
  EXPECT_EQ(B->Size(), 10);
  EXPECT_TRUE(B->Required());
  EXPECT_EQ(B->Precision(), 0);
  EXPECT_EQ(ErrorOf([&] { Defs.Add("", ftInteger); }), "Field name missing");
  EXPECT_EQ(ErrorOf([&] { Defs.Add("a", ftInteger); }), "Duplicate field name 'a'");
  EXPECT_EQ(Defs.Count(), 2);

  TFieldDef* Unchecked = Defs.CreateDef("a", ftFloat, 3, false, 7);
  EXPECT_EQ(Defs.Count(), 3);
  EXPECT_EQ(Unchecked->FieldNo(), 7);
  EXPECT_EQ(Unchecked->Size(), 3);
  EXPECT_EQ(Defs.IndexOf("a"), 0); // the first match
  EXPECT_EQ(Defs.IndexOf("b"), 1);
  EXPECT_EQ(Defs.IndexOf("zz"), -1);
  EXPECT_EQ(Defs.Find("B"), B);
  EXPECT_EQ(ErrorOf([&] { Defs.Find("zz"); }), "Field 'zz' not found");
  EXPECT_EQ(Defs[2], Unchecked);
  EXPECT_EQ(Defs.GetCount(), 3);
  EXPECT_THROW(Defs.Items(3), EListError);
  EXPECT_EQ(ErrorOf([&] { Defs[-1]; }), "List index out of bounds (-1)");
  Defs.Clear();
  EXPECT_EQ(Defs.Count(), 0);
}

struct ClassRow {
  TFieldType Type;
  std::int32_t Size;
  std::function<bool(TField*)> IsClass;
};

template <class FieldClass>
std::function<bool(TField*)> Is() {
  return [](TField* F) { return dynamic_cast<FieldClass*>(F) != nullptr; };
}

TEST(FieldDefsTest, CreateFieldMakesTheClassOfEachType) {
  const ClassRow Rows[] = {
      {ftString, 15, Is<TStringField>()},    {ftSmallint, 0, Is<TSmallintField>()},
      {ftInteger, 0, Is<TIntegerField>()},   {ftBoolean, 0, Is<TBooleanField>()},
      {ftFloat, 0, Is<TFloatField>()},       {ftBCD, 2, Is<TBCDField>()},
      {ftDate, 0, Is<TDateField>()},         {ftTime, 0, Is<TTimeField>()},
      {ftDateTime, 0, Is<TDateTimeField>()},
  };
  TMiniDataSet DS;
  for (const ClassRow& Row : Rows) {
    // Appended: g++ 12 at -O3 reports a false overlap for a literal + a temporary string.
    const std::string Name = std::string("F").append(std::to_string(DS.FieldCount()));
    TFieldDef* Def = DS.FieldDefs().Add(Name, Row.Type, Row.Size, true);
    Def->SetPrecision(9);
    TField* Field = Def->CreateField(&DS);
    EXPECT_TRUE(Row.IsClass(Field)) << Name;
    EXPECT_EQ(Field->DataType(), Row.Type) << Name;
    EXPECT_EQ(Field->FieldName(), Name);
    EXPECT_TRUE(Field->Required());
    EXPECT_EQ(Field->Owner(), &DS);
    EXPECT_EQ(Field->DataSet(), &DS);
    EXPECT_EQ(DS.Fields()[DS.FieldCount() - 1], Field);
    if (Row.Type == ftString || Row.Type == ftBCD) {
      EXPECT_EQ(Field->Size(), Row.Size);
    }
  }
  EXPECT_EQ(static_cast<TBCDField*>(DS.FieldByName("F5"))->Precision(), 9);
}

TEST(FieldDefsTest, ARefusedCreateFieldLeavesNothingBehind) {
  TComponent Owner(nullptr);
  TMiniDataSet DS;
  TFieldDefs& Defs = DS.FieldDefs();
  EXPECT_EQ(ErrorOf([&] { Defs.Add("W", ftWord)->CreateField(&Owner); }),
            "Field 'W' is of an unknown type");
  EXPECT_EQ(ErrorOf([&] { Defs.Add("S", ftString, 9000)->CreateField(&Owner); }),
            "Invalid field size");
  Defs.Add("X", ftInteger)->CreateField(&Owner);
  EXPECT_EQ(ErrorOf([&] { Defs.CreateDef("x", ftInteger, 0, false, 9)->CreateField(&Owner); }),
            "Duplicate field name 'x'");
  EXPECT_EQ(Owner.ComponentCount(), 1);
  EXPECT_EQ(DS.FieldCount(), 1);
}

TEST(FieldDefsTest, UpdateAsksTheClosedDatasetForItsDefinitions) {
  TMiniDataSet DS;
  DS.Columns = {{"A", ftInteger}, {"B", ftString, 4}};
  DS.FieldDefs().Update();
  EXPECT_EQ(DS.InitFieldDefsCalls, 1);
  ASSERT_EQ(DS.FieldDefs().Count(), 2);
  EXPECT_EQ(DS.FieldDefs()[1]->Size(), 4);
  EXPECT_FALSE(DS.Active());
  EXPECT_EQ(DS.FieldCount(), 0);
}

TEST(FieldDefsTest, DefaultFieldsFollowTheDefinitionsWhileOpen) {
  TMiniDataSet DS;
  DS.Columns = {{"A", ftInteger}, {"U", ftUnknown}, {"B", ftString, 4}};
  DS.Open();
  ASSERT_EQ(DS.FieldCount(), 2); // no field for the unknown type
  EXPECT_EQ(DS.Fields()[1]->FieldName(), "B");
  EXPECT_EQ(DS.Fields()[1]->FieldNo(), 3);
  EXPECT_EQ(DS.Fields()[1]->Owner(), &DS);
  DS.Close();
  EXPECT_EQ(DS.FieldCount(), 0);
  EXPECT_EQ(DS.ComponentCount(), 0);
}

} // namespace
} // namespace kelva::test
