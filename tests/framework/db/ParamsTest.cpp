// Parameters: creation and lookup, typing from values, type conversion, the typed
// setters, and copying between parameters, fields and lists.
#include "MiniDataSet.h"

#include "kelva/framework/db/Params.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelva::test {
namespace {

TEST(ParamsTest, CreateParamAppendsAnUnassignedParameter) {
  TParams List;
  TParam* A = List.CreateParam(ftInteger, "A", ptInput);
  EXPECT_EQ(A->Name(), "A");
  EXPECT_EQ(A->DataType(), ftInteger);
  EXPECT_EQ(A->ParamType(), ptInput);
  EXPECT_TRUE(VarIsEmpty(A->Value()));
  EXPECT_TRUE(A->IsNull());
  EXPECT_FALSE(A->Bound());
  EXPECT_EQ(List.Count(), 1);
  EXPECT_EQ(List[0], A);
  EXPECT_EQ(List.GetParam(0), A);
  try {
    List.Items(1);
    ADD_FAILURE() << "no error";
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (1)");
  }
}

TEST(ParamsTest, FindParamReturnsTheFirstMatchIgnoringCase) {
  TParams List;
  TParam* First = List.CreateParam(ftInteger, "id", ptInput);
  List.CreateParam(ftString, "ID", ptInput);
  EXPECT_EQ(List.FindParam("Id"), First);
  EXPECT_EQ(List.ParamByName("ID"), First);
  EXPECT_EQ(List.FindParam("x"), nullptr);
  try {
    List.ParamByName("x");
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Parameter 'x' not found");
  }
}

TEST(ParamsTest, SetValueBindsAndTypesAnUntypedParameter) {
  const struct {
    Variant Value;
    TFieldType Type;
    bool Bound;
  } Rows[] = {
      {Variant(true), ftBoolean, true},
      {Variant(5), ftInteger, true},
      {Variant(std::int64_t{5}), ftInteger, true},
      {Variant(std::int64_t{1} << 40), ftFloat, true},
      {Variant(1.5), ftFloat, true},
      {Variant(Currency::FromScaled(5)), ftCurrency, true},
      {Variant::FromDateTime(1.0), ftDateTime, true},
      {Variant("x"), ftString, true},
      {Null(), ftUnknown, true},
      {Unassigned(), ftUnknown, false},
  };
  for (const auto& Row : Rows) {
    TParam P(nullptr);
    P.SetValue(Row.Value);
    EXPECT_EQ(P.DataType(), Row.Type) << Row.Value.VarType();
    EXPECT_EQ(P.Bound(), Row.Bound) << Row.Value.VarType();
  }
  TParam Typed(nullptr);
  Typed.SetAsString("a");
  Typed.SetValue(Variant(5));
  EXPECT_EQ(Typed.DataType(), ftString); // a typed parameter keeps its type
  EXPECT_EQ(Typed.Value().VarType(), varInteger);
}

TEST(ParamsTest, SetDataTypeConvertsTheValueOrClearsIt) {
  TParam P(nullptr);
  P.SetValue(Variant("12"));
  P.SetDataType(ftInteger);
  EXPECT_EQ(P.Value().VarType(), varInteger);
  EXPECT_EQ(P.AsInteger(), 12);

  P.SetAsString("abc");
  P.SetDataType(ftInteger);
  EXPECT_TRUE(VarIsEmpty(P.Value()));
  EXPECT_EQ(P.DataType(), ftInteger);

  P.SetAsFloat(1.5);
  P.SetDataType(ftString);
  EXPECT_EQ(P.Value().VarType(), varString);
  EXPECT_EQ(P.AsString(), "1.5");

  P.SetAsInteger(2);
  P.SetDataType(ftDate);
  EXPECT_EQ(P.Value().VarType(), varDate);
  EXPECT_EQ(P.AsDateTime(), 2.0);

  P.SetDataType(ftUnknown); // no value kind: cleared
  EXPECT_TRUE(VarIsEmpty(P.Value()));
}

TEST(ParamsTest, GettersGiveDefaultsForNullAndConvertOtherwise) {
  TParam P(nullptr);
  P.SetValue(Null());
  EXPECT_TRUE(P.IsNull());
  EXPECT_EQ(P.AsString(), "");
  EXPECT_EQ(P.AsInteger(), 0);
  EXPECT_EQ(P.AsFloat(), 0.0);
  EXPECT_FALSE(P.AsBoolean());
  EXPECT_EQ(P.AsDateTime(), 0.0);
  EXPECT_EQ(P.AsCurrency().Scaled, 0);
  P.SetAsString("12");
  EXPECT_EQ(P.AsInteger(), 12);
  EXPECT_EQ(P.AsCurrency().Scaled, 120000);
  P.SetAsString("abc");
  EXPECT_THROW(P.AsInteger(), EVariantError);
}

TEST(ParamsTest, TypedSettersSetTheDataType) {
  const struct {
    std::function<void(TParam&)> Set;
    TFieldType Type;
    std::uint16_t Kind;
  } Rows[] = {
      {[](TParam& P) { P.SetAsString("a"); }, ftString, varString},
      {[](TParam& P) { P.SetAsInteger(1); }, ftInteger, varInteger},
      {[](TParam& P) { P.SetAsSmallInt(1); }, ftSmallint, varInteger},
      {[](TParam& P) { P.SetAsFloat(1.5); }, ftFloat, varDouble},
      {[](TParam& P) { P.SetAsBoolean(true); }, ftBoolean, varBoolean},
      {[](TParam& P) { P.SetAsDateTime(1.5); }, ftDateTime, varDate},
      {[](TParam& P) { P.SetAsDate(1.0); }, ftDate, varDate},
      {[](TParam& P) { P.SetAsTime(0.5); }, ftTime, varDate},
      {[](TParam& P) { P.SetAsCurrency(Currency::FromScaled(1)); }, ftCurrency, varCurrency},
      {[](TParam& P) { P.SetAsBCD(Currency::FromScaled(1)); }, ftBCD, varCurrency},
  };
  for (const auto& Row : Rows) {
    TParam P(nullptr);
    P.SetDataType(ftMemo); // a different type beforehand: the setter must replace it
    Row.Set(P);
    EXPECT_EQ(P.DataType(), Row.Type);
    EXPECT_EQ(P.Value().VarType(), Row.Kind);
    EXPECT_TRUE(P.Bound());
  }
}

TEST(ParamsTest, AssignCopiesAllButAKnownParamType) {
  TParams List;
  TParam* Source = List.CreateParam(ftInteger, "Src", ptOutput);
  Source->SetValue(Variant(5));
  Source->SetSize(4);

  TParam Copy(nullptr);
  Copy.Assign(*Source);
  EXPECT_EQ(Copy.Name(), "Src");
  EXPECT_EQ(Copy.DataType(), ftInteger);
  EXPECT_EQ(Copy.AsInteger(), 5);
  EXPECT_TRUE(Copy.Bound());
  EXPECT_EQ(Copy.ParamType(), ptOutput);
  EXPECT_EQ(Copy.Size(), 4);

  TParam Input(nullptr, ptInput);
  Source->SetValue(Null());
  Input.SetAsInteger(9);
  Input.Assign(*Source);
  EXPECT_EQ(Input.ParamType(), ptInput);
  EXPECT_TRUE(VarIsEmpty(Input.Value())); // a null value is cleared
  EXPECT_TRUE(Input.Bound());
}

TEST(ParamsTest, AssignFieldTakesTheFieldsNameValueTypeAndSize) {
  TMiniDataSet DS;
  DS.Columns = {{"Amount", ftInteger}};
  DS.Open();
  DS.Append();
  TField* Amount = DS.FieldByName("Amount");
  Amount->SetAsInteger(5);

  TParam P(nullptr);
  P.SetName("amount");
  P.AssignField(Amount);
  EXPECT_EQ(P.Name(), "Amount"); // the field's spelling
  EXPECT_EQ(P.DataType(), ftInteger);
  EXPECT_EQ(P.AsInteger(), 5);
  EXPECT_EQ(P.Size(), 4);
  EXPECT_TRUE(P.Bound());

  P.AssignFieldValue(Amount, Variant(9));
  EXPECT_EQ(P.AsInteger(), 9);
  Amount->Clear();
  P.AssignField(Amount);
  EXPECT_TRUE(VarIsEmpty(P.Value()));
  EXPECT_TRUE(P.Bound());
  P.AssignField(nullptr);
  EXPECT_EQ(P.Name(), "Amount");
}

TEST(ParamsTest, AssignValuesCopiesByNameWithoutAddingOrRemoving) {
  TParams Target;
  TParam* A = Target.CreateParam(ftInteger, "A", ptInput);
  TParam* SecondA = Target.CreateParam(ftInteger, "a", ptInput);
  Target.CreateParam(ftInteger, "B", ptInput);
  TParams Source;
  Source.CreateParam(ftString, "a", ptOutput)->SetAsString("x");
  Source.CreateParam(ftInteger, "C", ptInput)->SetAsInteger(1);

  Target.AssignValues(Source);
  EXPECT_EQ(Target.Count(), 3);
  EXPECT_EQ(A->AsString(), "x");
  EXPECT_EQ(A->DataType(), ftString);
  EXPECT_EQ(A->ParamType(), ptInput);
  EXPECT_TRUE(SecondA->IsNull()); // only the first match is assigned
  EXPECT_EQ(Target.FindParam("C"), nullptr);
}

TEST(ParamsTest, AssignReplacesTheListByIndependentCopies) {
  TParams Target;
  Target.CreateParam(ftInteger, "Old", ptInput);
  TParams Source;
  Source.CreateParam(ftInteger, "X", ptInput)->SetAsInteger(1);
  Source.CreateParam(ftString, "Y", ptOutput)->SetAsString("y");

  Target.Assign(Source);
  ASSERT_EQ(Target.Count(), 2);
  EXPECT_EQ(Target[0]->Name(), "X");
  EXPECT_EQ(Target[1]->ParamType(), ptOutput);
  EXPECT_NE(Target[0], Source[0]);
  Source[0]->SetAsInteger(2);
  EXPECT_EQ(Target[0]->AsInteger(), 1);
  Target.Assign(Target);
  EXPECT_EQ(Target.Count(), 2);
}

} // namespace
} // namespace kelva::test
