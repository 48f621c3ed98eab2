// Field values: every getter and setter of the nine value classes with a value and with
// null, the native buffers handed to the dataset, range checks, validation, and old /
// new / current values.
#include "MiniDataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/Params.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <variant>

namespace kelva::test {
namespace {

class FieldValuesTest : public ::testing::Test {
protected:
  FieldValuesTest() {
    DS.Columns = {{"S", ftString, 20}, {"SI", ftSmallint}, {"I", ftInteger},
                  {"F", ftFloat},      {"B", ftBoolean},   {"D", ftDate},
                  {"T", ftTime},       {"DT", ftDateTime}, {"BCD", ftBCD, 2}};
    DS.Open();
    DS.Append(); // a new record: every field null
  }
  TField& Field(const std::string& Name) { return *DS.FieldByName(Name); }

  TMiniDataSet DS;
};

// --- getters --------------------------------------------------------------------------

enum class Failure { Access, Convert };

// What a getter gives: a value, an access error naming the type, or a conversion error.
template <class T>
struct Expect {
  std::variant<T, Failure> Outcome;
  Expect(T Value) : Outcome(std::move(Value)) {}
  Expect(Failure F) : Outcome(F) {}
  Expect(const char* Text) requires std::is_same_v<T, std::string> : Outcome(std::string(Text)) {}
};

constexpr Failure A = Failure::Access;
constexpr Failure C = Failure::Convert;

template <class T, class Getter>
void Check(const Expect<T>& Expected, Getter Get, const TField& Field, const char* TypeName) {
  const std::string Context = Field.FieldName() + " as " + TypeName;
  if (const T* Value = std::get_if<T>(&Expected.Outcome)) {
    if constexpr (std::is_same_v<T, double>)
      EXPECT_DOUBLE_EQ(Get(), *Value) << Context;
    else
      EXPECT_EQ(Get(), *Value) << Context;
  } else if (std::get<Failure>(Expected.Outcome) == Failure::Access) {
    try {
      Get();
      ADD_FAILURE() << Context << ": no access error";
    } catch (const EDatabaseError& E) {
      EXPECT_EQ(E.Message(), "Cannot access field '" + Field.FieldName() + "' as type " + TypeName);
    }
  } else {
    EXPECT_THROW(Get(), EConvertError) << Context;
  }
}

struct GetterRow {
  const char* Field;
  std::function<void(TField&)> Store; // empty: the field stays null
  Expect<std::string> AsString;
  Expect<std::int32_t> AsInteger;
  Expect<double> AsFloat;
  Expect<bool> AsBoolean;
  Expect<double> AsDateTime;
  Expect<std::int64_t> AsCurrency; // scaled by 10000
  std::uint16_t ValueType;
};

std::function<void(TField&)> Text(const char* S) {
  return [S](TField& F) { F.SetAsString(S); };
}
std::function<void(TField&)> Int(std::int32_t I) {
  return [I](TField& F) { F.SetAsInteger(I); };
}
std::function<void(TField&)> Float(double D) {
  return [D](TField& F) { F.SetAsFloat(D); };
}
std::function<void(TField&)> Bool(bool B) {
  return [B](TField& F) { F.SetAsBoolean(B); };
}
std::function<void(TField&)> Date(double T) {
  return [T](TField& F) { F.SetAsDateTime(T); };
}
std::function<void(TField&)> Curr(std::int64_t Scaled) {
  return [Scaled](TField& F) { F.SetAsCurrency(Currency::FromScaled(Scaled)); };
}

TEST_F(FieldValuesTest, GettersOfEveryClassWithAValueAndWithNull) {
  const GetterRow Rows[] = {
      {"S", Text("12"), "12", 12, 12.0, false, C, 120000, varString},
      {"S", Text("yes"), "yes", C, C, true, C, C, varString},
      {"S", Text("2000-01-01"), "2000-01-01", C, C, false, 36526.0, C, varString},
      {"S", {}, "", C, C, false, C, C, varNull},
      {"SI", Int(-5), "-5", -5, -5.0, A, A, -50000, varInteger},
      {"SI", {}, "", 0, 0.0, A, A, 0, varNull},
      {"I", Int(2147483647), "2147483647", 2147483647, 2147483647.0, A, A, 21474836470000,
       varInteger},
      {"I", {}, "", 0, 0.0, A, A, 0, varNull},
      {"F", Float(2.5), "2.5", 2, 2.5, A, A, 25000, varDouble},
      {"F", Float(-3.5), "-3.5", -4, -3.5, A, A, -35000, varDouble},
      {"F", Float(3e9), "3000000000", C, 3e9, A, A, 30000000000000, varDouble},
      {"F", {}, "", 0, 0.0, A, A, 0, varNull},
      {"B", Bool(true), "True", A, A, true, A, A, varBoolean},
      {"B", Bool(false), "False", A, A, false, A, A, varBoolean},
      {"B", {}, "", A, A, false, A, A, varNull},
      {"D", Date(36526.75), "2000-01-01", A, 36526.0, A, 36526.0, 365260000, varDate},
      {"D", {}, "", A, 0.0, A, 0.0, 0, varNull},
      {"T", Date(0.25), "06:00:00", A, 0.25, A, 0.25, 2500, varDate},
      {"T", {}, "", A, 0.0, A, 0.0, 0, varNull},
      {"DT", Date(36526.5), "2000-01-01 12:00:00", A, 36526.5, A, 36526.5, 365265000, varDate},
      {"DT", {}, "", A, 0.0, A, 0.0, 0, varNull},
      {"BCD", Curr(123456), "12.3456", 12, 12.3456, A, A, 123456, varCurrency},
      {"BCD", Curr(25000), "2.5", 2, 2.5, A, A, 25000, varCurrency},
      {"BCD", Curr(30000000000000), "3000000000", C, 3e9, A, A, 30000000000000, varCurrency},
      {"BCD", {}, "", 0, 0.0, A, A, 0, varNull},
  };
  for (const GetterRow& Row : Rows) {
    TField& F = Field(Row.Field);
    F.Clear();
    if (Row.Store) Row.Store(F);
    EXPECT_EQ(F.IsNull(), !Row.Store) << Row.Field;
    Check(
        Row.AsString, [&] { return F.AsString(); }, F, "String");
    Check(
        Row.AsInteger, [&] { return F.AsInteger(); }, F, "Integer");
    Check(
        Row.AsFloat, [&] { return F.AsFloat(); }, F, "Float");
    Check(
        Row.AsBoolean, [&] { return F.AsBoolean(); }, F, "Boolean");
    Check(
        Row.AsDateTime, [&] { return F.AsDateTime(); }, F, "DateTime");
    Check(
        Row.AsCurrency, [&] { return F.AsCurrency().Scaled; }, F, "Currency");
    EXPECT_EQ(F.Value().VarType(), Row.ValueType) << Row.Field;
    EXPECT_EQ(F.DisplayText(), F.AsString());
    EXPECT_EQ(F.Text(), F.AsString());
  }
}

// --- setters --------------------------------------------------------------------------

struct SetterRow {
  const char* Field;
  std::function<void(TField&)> Set;
  const char* Result;          // AsString() afterwards; nullptr: the field is null
  const char* Error = nullptr; // the message of the error raised instead
  bool ConvertError = false;   // the error is an EConvertError, not an EDatabaseError
};

TEST_F(FieldValuesTest, SettersOfEveryClass) {
  const char* Null = nullptr;
  const SetterRow Rows[] = {
      {"S", Text("abc"), "abc"},
      {"S", Text(""), ""},
      {"S", Text("abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrst"},
      {"S", Text("abcdefghijklmnopqrs\xC3\xA9"), "abcdefghijklmnopqrs"}, // no split é
      {"S", Int(-7), "-7"},
      {"S", Float(2.5), "2.5"},
      {"S", Bool(true), "T"},
      {"S", Bool(false), "F"},
      {"S", Date(36526.25), "2000-01-01 06:00:00"},
      {"S", Curr(125000), "12.5"},
      {"SI", Text(""), Null},
      {"SI", Text("12"), "12"},
      {"SI", Text("abc"), Null, "'abc' is not a valid integer value for field 'SI'"},
      {"SI", Text("70000"), Null,
       "70000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"SI", Text("4294967296"), Null, "'4294967296' is not a valid integer value for field 'SI'"},
      {"SI", Int(32767), "32767"},
      {"SI", Int(-32768), "-32768"},
      {"SI", Int(32768), Null,
       "32768 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"SI", Int(-32769), Null,
       "-32769 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"SI", Float(2.5), "2"},
      {"SI", Float(3.5), "4"},
      {"SI", Float(32767.6), Null,
       "32768 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"SI", Bool(true), Null, "Cannot access field 'SI' as type Boolean"},
      {"SI", Date(1.0), Null, "Cannot access field 'SI' as type DateTime"},
      {"SI", Curr(25000), "2"},
      {"SI", Curr(-35000), "-4"},
      {"I", Text("$FF"), "255"},
      {"I", Text("2147483648"), Null, "'2147483648' is not a valid integer value for field 'I'"},
      {"I", Int(-2147483647 - 1), "-2147483648"},
      {"I", Float(3e9), Null,
       "3000000000 is not a valid value for field 'I'. The allowed range is -2147483648 to "
       "2147483647"},
      {"F", Text(""), Null},
      {"F", Text("1.5"), "1.5"},
      {"F", Text("x"), Null, "'x' is not a valid floating point value for field 'F'"},
      {"F", Int(3), "3"},
      {"F", Curr(12500), "1.25"},
      {"F", Bool(true), Null, "Cannot access field 'F' as type Boolean"},
      {"F", Date(1.0), Null, "Cannot access field 'F' as type DateTime"},
      {"B", Text(""), Null},
      {"B", Text("t"), "True"},
      {"B", Text("FA"), "False"},
      {"B", Text("yes"), Null, "'yes' is not a valid boolean value for field 'B'"},
      {"B", Bool(true), "True"},
      {"B", Int(1), Null, "Cannot access field 'B' as type Integer"},
      {"B", Float(1), Null, "Cannot access field 'B' as type Float"},
      {"B", Date(1.0), Null, "Cannot access field 'B' as type DateTime"},
      {"B", Curr(10000), Null, "Cannot access field 'B' as type Currency"},
      {"D", Text(""), Null},
      {"D", Text("2000-01-01"), "2000-01-01"},
      {"D", Text("x"), Null, "'x' is not a valid date", true},
      {"D", Float(36526.9), "2000-01-01"},
      {"D", Curr(365260000), "2000-01-01"},
      {"D", Int(1), Null, "Cannot access field 'D' as type Integer"},
      {"D", Bool(true), Null, "Cannot access field 'D' as type Boolean"},
      {"D", Date(-693594.0), Null, "Invalid argument to date encode", true}, // day 0
      {"D", Date(1e300), Null, "Invalid argument to date encode", true},
      {"T", Text("06:30:00"), "06:30:00"},
      {"T", Date(36526.25), "06:00:00"},
      {"T", Text("x"), Null, "'x' is not a valid time", true},
      {"DT", Text("2000-01-01 06:00:00"), "2000-01-01 06:00:00"},
      {"DT", Date(36526.0), "2000-01-01"},
      {"DT", Text("x"), Null, "'x' is not a valid date and time", true},
      {"BCD", Text(""), Null},
      {"BCD", Text("12.5"), "12.5"},
      {"BCD", Text("x"), Null, "'x' is not a valid floating point value for field 'BCD'"},
      {"BCD", Int(7), "7"},
      {"BCD", Float(1.25), "1.25"},
      {"BCD", Float(1e300), Null, "Value out of the currency range", true},
      {"BCD", Bool(true), Null, "Cannot access field 'BCD' as type Boolean"},
      {"BCD", Date(1.0), Null, "Cannot access field 'BCD' as type DateTime"},
  };
  for (const SetterRow& Row : Rows) {
    TField& F = Field(Row.Field);
    F.Clear();
    const int CallsBefore = DS.SetFieldDataCalls;
    try {
      Row.Set(F);
      EXPECT_EQ(Row.Error, nullptr) << Row.Field << ": no error raised";
    } catch (const EDatabaseError& E) {
      EXPECT_FALSE(Row.ConvertError) << Row.Field << ": " << E.Message();
      EXPECT_EQ(E.Message(), Row.Error ? Row.Error : "");
    } catch (const EConvertError& E) {
      EXPECT_TRUE(Row.ConvertError) << Row.Field << ": " << E.Message();
      EXPECT_EQ(E.Message(), Row.Error ? Row.Error : "");
    }
    if (Row.Error) {
      EXPECT_EQ(DS.SetFieldDataCalls, CallsBefore) << Row.Error;
    }
    EXPECT_EQ(F.IsNull(), Row.Result == nullptr) << Row.Field;
    if (Row.Result) {
      EXPECT_EQ(F.AsString(), Row.Result) << Row.Field;
    }
  }
}

// --- native buffers -------------------------------------------------------------------

template <class T>
T StoredAs(TMiniDataSet& DS, const char* Name) {
  const std::vector<char> Bytes = DS.StoredBytes(0, Name);
  T Value{};
  EXPECT_GE(Bytes.size(), sizeof Value) << Name;
  std::memcpy(&Value, Bytes.data(), std::min(Bytes.size(), sizeof Value));
  return Value;
}

TEST_F(FieldValuesTest, SettersHandTheDatasetTheNativeBuffers) {
  Field("S").SetAsString("ab");
  Field("SI").SetAsInteger(-2);
  Field("I").SetAsInteger(-3);
  Field("F").SetAsFloat(1.5);
  Field("B").SetAsBoolean(true);
  Field("D").SetAsDateTime(EncodeDate(2000, 1, 1));
  Field("T").SetAsDateTime(0.25);
  Field("DT").SetAsDateTime(36526.0);
  DS.Post();

  std::vector<char> Text(21, '\0');
  Text[0] = 'a';
  Text[1] = 'b';
  EXPECT_EQ(DS.StoredBytes(0, "S"), Text); // zero-filled after the text
  EXPECT_EQ(DS.StoredBytes(0, "SI"), (std::vector<char>{'\xFE', '\xFF'}));
  EXPECT_EQ(StoredAs<std::int32_t>(DS, "I"), -3);
  EXPECT_EQ(StoredAs<double>(DS, "F"), 1.5);
  EXPECT_EQ(StoredAs<std::uint16_t>(DS, "B"), 1);
  EXPECT_EQ(StoredAs<std::int32_t>(DS, "D"), 730120);
  EXPECT_EQ(StoredAs<std::int32_t>(DS, "T"), 21600000);
  EXPECT_EQ(StoredAs<double>(DS, "DT"), 63082368000000.0);
  EXPECT_TRUE(DS.StoredBytes(0, "BCD").empty()); // never written: null

  DS.Edit();
  Field("DT").SetAsDateTime(36526.5);
  Field("B").SetAsBoolean(false);
  DS.Post();
  EXPECT_EQ(StoredAs<double>(DS, "DT"), 63082411200000.0);
  EXPECT_EQ(StoredAs<std::uint16_t>(DS, "B"), 0);
}

template <class T>
std::vector<char> BytesOf(T Value) {
  std::vector<char> Bytes(sizeof Value);
  std::memcpy(Bytes.data(), &Value, sizeof Value);
  return Bytes;
}

TEST_F(FieldValuesTest, GettersDecodeTheNativeBuffers) {
  DS.Post();
  DS.PlantBytes(0, "S", std::vector<char>(21, 'x')); // no terminating NUL
  DS.PlantBytes(0, "SI", {'\xFF', '\xFF'});          // only the low two bytes
  DS.PlantBytes(0, "B", BytesOf<std::uint16_t>(2));
  DS.PlantBytes(0, "D", BytesOf<std::int32_t>(1));
  DS.PlantBytes(0, "T", BytesOf<std::int32_t>(43200000));
  DS.PlantBytes(0, "DT", BytesOf(63082411200000.7)); // a fraction of a millisecond
  DS.Resync({});

  EXPECT_EQ(Field("S").AsString(), std::string(20, 'x')); // at most Size() bytes
  EXPECT_EQ(Field("SI").AsInteger(), -1);
  EXPECT_TRUE(Field("B").AsBoolean());
  EXPECT_EQ(Field("D").AsDateTime(), -693593.0); // 1 January 0001
  EXPECT_EQ(Field("T").AsDateTime(), 0.5);
  EXPECT_EQ(Field("DT").AsDateTime(), 36526.5);
}

TEST_F(FieldValuesTest, BCDGoesThroughTheDatasetEncoding) {
  Field("BCD").SetAsCurrency(Currency::FromScaled(125000));
  DS.Post();
  const std::vector<char> Bytes = DS.StoredBytes(0, "BCD");
  ASSERT_EQ(Bytes.size(), 34u);
  EXPECT_EQ(Bytes[8], 2); // the field's Size() as decimals
  EXPECT_EQ(Bytes[9], 0); // the precision of its definition
  EXPECT_EQ(Field("BCD").AsString(), "12.5");

  DS.PlantBytes(0, "BCD", std::vector<char>(34, '\0')); // present, but not decodable
  DS.Resync({});
  EXPECT_FALSE(Field("BCD").IsNull());
  EXPECT_EQ(Field("BCD").AsString(), "");
  EXPECT_EQ(Field("BCD").Value().VarType(), varNull);

  DS.Edit();
  DS.RefuseBCD = true;
  try {
    Field("BCD").SetAsInteger(1);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Invalid value for field 'BCD'");
  }
}

// --- range checks and SetValue --------------------------------------------------------

TEST_F(FieldValuesTest, RangeIsCheckedBeforeTheDatasetIsCalled) {
  const int Before = DS.SetFieldDataCalls;
  Field("SI").SetAsInteger(32767);
  EXPECT_EQ(DS.SetFieldDataCalls, Before + 1);
  EXPECT_THROW(Field("SI").SetAsInteger(32768), EDatabaseError);
  EXPECT_EQ(DS.SetFieldDataCalls, Before + 1);
  EXPECT_EQ(Field("SI").AsInteger(), 32767);
}

TEST_F(FieldValuesTest, SetValueRangeChecksSixtyFourBitValues) {
  const int Before = DS.SetFieldDataCalls;
  try {
    Field("I").SetValue(Variant(std::int64_t{1} << 40));
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "1099511627776 is not a valid value for field 'I'. The allowed range "
                           "is -2147483648 to 2147483647");
  }
  EXPECT_EQ(DS.SetFieldDataCalls, Before);
  EXPECT_TRUE(Field("I").IsNull());

  Field("I").SetValue(Variant(std::int64_t{-5}));
  EXPECT_EQ(Field("I").AsInteger(), -5);
  Field("I").SetValue(Null());
  EXPECT_TRUE(Field("I").IsNull());
  EXPECT_THROW(Field("I").SetValue(Variant("abc")), EVariantError);
  EXPECT_TRUE(Field("I").IsNull());

  // Unassigned is a value like any other: 0, "", not null.
  Field("I").SetValue(Unassigned());
  Field("S").SetValue(Unassigned());
  EXPECT_EQ(Field("I").AsString(), "0");
  EXPECT_FALSE(Field("S").IsNull());
}

TEST_F(FieldValuesTest, UserRanges) {
  auto& I = static_cast<TIntegerField&>(Field("I"));
  I.SetMinValue(1);
  I.SetMaxValue(10);
  I.SetAsInteger(10);
  try {
    I.SetAsInteger(0);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "0 is not a valid value for field 'I'. The allowed range is 1 to 10");
  }

  // A user range cannot make a smallint hold more than 16 bits.
  auto& SI = static_cast<TSmallintField&>(Field("SI"));
  SI.SetMaxValue(100000);
  EXPECT_THROW(SI.SetAsInteger(40000), EDatabaseError);
  SI.SetAsInteger(32767);

  auto& F = static_cast<TFloatField&>(Field("F"));
  F.SetMinValue(-1);
  F.SetMaxValue(1);
  F.SetAsFloat(0.5);
  try {
    F.SetAsFloat(1.5);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "1.5 is not a valid value for field 'F'. The allowed range is -1 to 1");
  }

  auto& BCD = static_cast<TBCDField&>(Field("BCD"));
  BCD.SetMaxValue(Currency::FromScaled(1000000));
  try {
    BCD.SetAsString("100.01");
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(),
              "100.01 is not a valid value for field 'BCD'. The allowed range is 0 to 100");
  }
  EXPECT_EQ(I.AsInteger(), 10);
  EXPECT_EQ(F.AsFloat(), 0.5);
  EXPECT_TRUE(BCD.IsNull());
}

// --- boolean display values -----------------------------------------------------------

TEST_F(FieldValuesTest, BooleanDisplayValuesShowAndParse) {
  auto& B = static_cast<TBooleanField&>(Field("B"));
  EXPECT_EQ(B.DisplayWidth(), 5); // "False"
  B.SetDisplayValues("Yes;No");
  B.SetAsBoolean(true);
  EXPECT_EQ(B.DisplayText(), "Yes");
  B.SetAsString("n");
  EXPECT_EQ(B.AsString(), "No");
  B.SetAsString("yES");
  EXPECT_TRUE(B.AsBoolean());
  EXPECT_THROW(B.SetAsString("True"), EDatabaseError);
  EXPECT_EQ(B.DisplayWidth(), 3);

  B.SetDisplayValues("Ja;Jein"); // a prefix of both texts reads as false
  B.SetAsString("J");
  EXPECT_FALSE(B.AsBoolean());

  try {
    B.SetDisplayValues("");
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "'' is not a valid boolean display value");
  }
  EXPECT_EQ(B.DisplayValues(), "Ja;Jein");
}

// --- validation -----------------------------------------------------------------------

TEST_F(FieldValuesTest, OnValidateSeesTheProposedValueAndCanVeto) {
  TField& I = Field("I");
  Field("S").SetAsString("other");
  I.SetAsInteger(1);
  std::string Seen, OtherSeen;
  bool SeenNull = false;
  I.OnValidate = [&](TField* Sender) {
    Seen = Sender->AsString();
    SeenNull = Sender->IsNull();
    OtherSeen = DS.FieldByName("S")->AsString();
    if (Sender->AsInteger() > 100) throw EDatabaseError("too big");
  };

  I.SetAsInteger(5);
  EXPECT_EQ(Seen, "5");
  EXPECT_EQ(OtherSeen, "other");
  EXPECT_EQ(I.AsInteger(), 5);

  EXPECT_THROW(I.SetAsInteger(500), EDatabaseError);
  EXPECT_EQ(Seen, "500");
  EXPECT_EQ(I.AsInteger(), 5); // vetoed: nothing stored, the proposal forgotten

  I.Clear();
  EXPECT_TRUE(SeenNull);
  EXPECT_TRUE(I.IsNull());
}

TEST_F(FieldValuesTest, OnChangeFiresAfterEachWrite) {
  int Changes = 0;
  Field("I").OnChange = [&](TField* Sender) {
    EXPECT_EQ(Sender, &Field("I"));
    EXPECT_EQ(Sender->AsInteger(), 7); // already stored
    ++Changes;
  };
  Field("I").SetAsInteger(7);
  EXPECT_EQ(Changes, 1);
  EXPECT_THROW(Field("I").SetAsString("x"), EDatabaseError);
  EXPECT_EQ(Changes, 1);
}

// --- old, new and current values ------------------------------------------------------

TEST_F(FieldValuesTest, OldNewAndCurrentValuesReadTheirRecordVersions) {
  TField& I = Field("I");
  I.SetAsInteger(5);
  EXPECT_EQ(I.OldValue().VarType(), varNull); // a new record has no old version
  DS.Post();
  DS.Edit();
  I.SetAsInteger(6);
  EXPECT_EQ(I.OldValue().AsInteger(), 5);
  EXPECT_EQ(I.CurValue().AsInteger(), 5);
  EXPECT_EQ(I.NewValue().AsInteger(), 6);
  EXPECT_EQ(DS.State(), dsEdit);
  EXPECT_FALSE(DS.ControlsDisabled()); // every temporary state was restored

  const auto EventsBefore = DS.Events.size();
  I.SetNewValue(Variant(8));
  EXPECT_EQ(I.AsInteger(), 8);
  EXPECT_EQ(DS.Events.size(), EventsBefore); // no field-change event in dsNewValue
  EXPECT_EQ(DS.State(), dsEdit);
  DS.Post();
  EXPECT_EQ(I.OldValue().AsInteger(), 8);
}

// --- read-only and required -----------------------------------------------------------

TEST_F(FieldValuesTest, ReadOnlyRefusesWritesAndCanModifyFollows) {
  TField& I = Field("I");
  EXPECT_TRUE(I.CanModify());
  I.SetReadOnly(true);
  I.SetDisplayLabel("Amount");
  EXPECT_FALSE(I.CanModify());
  try {
    I.SetAsInteger(1);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'Amount' cannot be modified");
  }
  I.SetReadOnly(false);
  DS.ReadOnlyData = true;
  EXPECT_FALSE(I.CanModify());
}

TEST_F(FieldValuesTest, RequiredFieldStopsThePost) {
  Field("S").SetRequired(true);
  try {
    DS.Post();
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'S' must have a value");
  }
  EXPECT_EQ(DS.State(), dsInsert);
  Field("S").SetAsString("x");
  DS.Post();
  EXPECT_EQ(DS.StoredCount(), 1);
}

} // namespace
} // namespace kelva::test

// An integer field takes 32-bit integers only: a wider integer or a fraction must be
// converted by the caller, never cut by the call.
template <class Number>
concept FieldTakesAsInteger = requires(kelva::TField& Field, Number Value) {
  Field.SetAsInteger(Value);
};
template <class Number>
concept ParamTakesAsInteger = requires(kelva::TParam& Param, Number Value) {
  Param.SetAsInteger(Value);
};
static_assert(FieldTakesAsInteger<std::int32_t> && FieldTakesAsInteger<short>);
static_assert(!FieldTakesAsInteger<std::int64_t> && !FieldTakesAsInteger<double>);
static_assert(ParamTakesAsInteger<std::int32_t>);
static_assert(!ParamTakesAsInteger<std::int64_t> && !ParamTakesAsInteger<float>);
