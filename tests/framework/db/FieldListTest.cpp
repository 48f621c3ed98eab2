// Fields as members of a dataset: the TFields list and its name lookups, persistent
// fields and their lifetime, display properties and layout events, and lookup fields.
#include "MiniDataSet.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/db/FieldDefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kelva::test {
namespace {

// Runs Action and returns the message of the EDatabaseError it raises ("" when none).
template <class Action>
std::string DatabaseErrorOf(Action&& Run) {
  try {
    Run();
  } catch (const EDatabaseError& E) {
    return E.Message();
  }
  return "";
}

// A field on the heap, attached to DataSet (which then deletes it); a refused attachment
// deletes it at once.
template <class FieldClass = TIntegerField>
FieldClass* NewField(TComponent* Owner, const std::string& Name, TDataSet* DataSet) {
  auto Field = std::make_unique<FieldClass>(Owner);
  Field->SetFieldName(Name);
  if (DataSet) Field->SetDataSet(DataSet);
  return Field.release();
}

// --- the list and name lookups --------------------------------------------------------

TEST(FieldListTest, FindsFieldsByNameIgnoringCase) {
  TMiniDataSet DS;
  DS.Columns = {{"Name", ftString, 10},
                {"Gr\xC3\xB6\xC3\x9F"
                 "e",
                 ftInteger}, // Größe
                {"f\xC4\xB1"
                 "eld",
                 ftInteger}}; // fıeld
  DS.Open();
  const TFields& Fields = DS.Fields();
  ASSERT_EQ(Fields.Count(), 3);
  EXPECT_EQ(Fields.FindField("NAME"), Fields[0]);
  EXPECT_EQ(Fields.FindField("name"), Fields[0]);
  EXPECT_EQ(Fields.FindField("nam"), nullptr);
  EXPECT_EQ(Fields.FindField("GR\xC3\x96\xC3\x9F"
                             "E"),
            Fields[1]);                                  // GRÖßE
  EXPECT_EQ(Fields.FindField("GR\xC3\x96SSE"), nullptr); // ß is not SS
  // Upper-casing the dotless i gives a plain I, so an ASCII name finds that field.
  EXPECT_EQ(Fields.FindField("FIELD"), Fields[2]);
  EXPECT_EQ(Fields.FieldByName("name"), Fields[0]);
  EXPECT_EQ(DatabaseErrorOf([&] { Fields.FieldByName("Nope"); }), "Field 'Nope' not found");
  EXPECT_EQ(Fields.FieldByNumber(2), Fields[1]);
  EXPECT_EQ(Fields.FieldByNumber(9), nullptr);
  EXPECT_EQ(Fields.IndexOf(Fields[2]), 2);
  EXPECT_EQ(Fields[2]->Index(), 2);
  try {
    Fields[3];
    ADD_FAILURE() << "no error";
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (3)");
  }
}

TEST(FieldListTest, NamesStayUniqueWithinADataset) {
  TMiniDataSet DS;
  TField* Id = NewField(nullptr, "ID", &DS);
  TField* Code = NewField(nullptr, "Code", &DS);
  EXPECT_EQ(DatabaseErrorOf([&] { NewField(nullptr, "id", &DS); }), "Duplicate field name 'id'");
  EXPECT_EQ(DS.FieldCount(), 2); // the refused field was deleted and never joined
  EXPECT_EQ(DatabaseErrorOf([&] { Code->SetFieldName("Id"); }), "Duplicate field name 'Id'");
  EXPECT_EQ(Code->FieldName(), "Code");
  Id->SetFieldName("id"); // a field may change the case of its own name
  EXPECT_EQ(DS.FindField("ID"), Id);
}

// Past a few fields the names are looked up through a map: the same answers, after
// renames and removals too.
TEST(FieldListTest, ManyFieldsAreFoundByNameAsAFewAre) {
  TMiniDataSet DS;
  DS.Columns = {{"Gr\xC3\xB6\xC3\x9F"
                 "e",
                 ftInteger}, // Größe
                {"f\xC4\xB1"
                 "eld",
                 ftInteger}}; // fıeld
  for (int I = 0; I < 20; ++I) DS.Columns.push_back({"Col" + std::to_string(I), ftInteger});
  DS.Open();
  const TFields& Fields = DS.Fields();
  EXPECT_EQ(Fields.FindField("GR\xC3\x96\xC3\x9F"
                             "E"),
            Fields[0]);
  EXPECT_EQ(Fields.FindField("GR\xC3\x96SSE"), nullptr);
  EXPECT_EQ(Fields.FindField("FIELD"), Fields[1]);
  EXPECT_EQ(Fields.FindField("col19"), Fields[21]);
  EXPECT_EQ(Fields.FindField("col"), nullptr);
  EXPECT_TRUE(Fields[21]->NotificationsRestrictedToLinks()) << "made by CreateField";
  DS.FieldDefs().CreateDef("COL3", ftInteger, 0, false, 99); // unchecked: a second COL3
  EXPECT_EQ(DS.FieldDefs().IndexOf("col3"), 5) << "the first definition of the name";

  TField* Col4 = Fields[6];
  EXPECT_EQ(DatabaseErrorOf([&] { Col4->SetFieldName("col5"); }), "Duplicate field name 'col5'");
  Col4->SetFieldName("Renamed");
  EXPECT_EQ(DS.FindField("COL4"), nullptr);
  EXPECT_EQ(DS.FindField("renamed"), Col4);
  DS.Close();

  TMiniDataSet Persistent;
  std::vector<TField*> Made;
  for (int I = 0; I < 12; ++I)
    // Appended: g++ 12 at -O3 reports a false overlap for a literal + a temporary string.
    Made.push_back(NewField(nullptr, std::string("P").append(std::to_string(I)), &Persistent));
  delete Made[5];
  EXPECT_EQ(Persistent.FindField("p5"), nullptr);
  EXPECT_EQ(Persistent.FindField("p11"), Made[11]);
  TField* Again = NewField(nullptr, "p5", &Persistent);
  EXPECT_EQ(Persistent.FindField("P5"), Again);
}

// --- persistent fields and lifetime ---------------------------------------------------

TEST(FieldListTest, PersistentFieldsAreBoundOnOpenAndSurviveClose) {
  TMiniDataSet DS;
  DS.Columns = {{"A", ftInteger}, {"B", ftString, 5}};
  TField* B = NewField<TStringField>(nullptr, "B", &DS);
  B->SetSize(5);
  EXPECT_EQ(B->FieldNo(), 0);
  EXPECT_FALSE(B->CanModify()); // closed
  DS.Open();
  EXPECT_EQ(DS.FieldCount(), 1); // persistent fields only: no default field for A
  EXPECT_EQ(B->FieldNo(), 2);
  EXPECT_TRUE(B->CanModify());

  const std::string Open = "Cannot perform this operation on an open dataset";
  EXPECT_EQ(DatabaseErrorOf([&] { B->SetSize(6); }), Open);
  EXPECT_EQ(DatabaseErrorOf([&] { B->SetFieldKind(fkCalculated); }), Open);
  EXPECT_EQ(DatabaseErrorOf([&] { B->SetDataSet(nullptr); }), Open);
  EXPECT_EQ(DatabaseErrorOf([&] { NewField(nullptr, "A", &DS); }), Open);

  DS.Close();
  EXPECT_EQ(DS.FindField("B"), B);
  EXPECT_EQ(B->FieldNo(), 0);
}

TEST(FieldListTest, SizesAreChecked) {
  TStringField S(nullptr);
  EXPECT_EQ(S.Size(), 20);
  EXPECT_EQ(S.DataSize(), 21);
  S.SetSize(8192);
  EXPECT_EQ(DatabaseErrorOf([&] { S.SetSize(8193); }), "Invalid field size");
  EXPECT_EQ(DatabaseErrorOf([&] { S.SetSize(-1); }), "Invalid field size");
  TBCDField BCD(nullptr);
  EXPECT_EQ(BCD.Size(), 4);
  EXPECT_EQ(DatabaseErrorOf([&] { BCD.SetSize(5); }), "Invalid field size");
  TIntegerField I(nullptr);
  EXPECT_EQ(DatabaseErrorOf([&] { I.SetSize(4); }), "Invalid field size");
  EXPECT_EQ(S.Size(), 8192);
}

TEST(FieldListTest, AFieldMovesBetweenDatasets) {
  TMiniDataSet First, Second;
  TField* Field = NewField(nullptr, "X", &First);
  NewField(nullptr, "Y", &Second);
  Field->SetDataSet(&Second);
  EXPECT_EQ(First.FieldCount(), 0);
  EXPECT_EQ(Second.Fields()[1], Field);
  EXPECT_EQ(Field->Index(), 1);
}

TEST(FieldListTest, DeletingAFieldClosesItsDatasetAndLeavesTheList) {
  TMiniDataSet DS;
  DS.Columns = {{"A", ftInteger}, {"B", ftInteger}};
  NewField(nullptr, "A", &DS);
  TField* B = NewField(nullptr, "B", &DS);
  DS.Open();
  delete B;
  EXPECT_FALSE(DS.Active());
  EXPECT_EQ(DS.FieldCount(), 1);
  EXPECT_EQ(DS.FindField("B"), nullptr);
}

TEST(FieldListTest, DeletingADatasetDeletesItsFieldsWhichLeaveTheirOwner) {
  TComponent Form(nullptr);
  auto* DS = new TMiniDataSet(&Form);
  NewField(&Form, "A", DS);
  NewField(&Form, "B", DS);
  EXPECT_EQ(Form.ComponentCount(), 3);
  delete DS;
  EXPECT_EQ(Form.ComponentCount(), 0);
}

TEST(FieldListTest, AFieldWithoutDatasetCannotReadOrWrite) {
  TIntegerField Field(nullptr);
  Field.SetFieldName("Lone");
  EXPECT_EQ(DatabaseErrorOf([&] { Field.AsInteger(); }), "Field 'Lone' has no dataset");
  EXPECT_EQ(DatabaseErrorOf([&] { Field.SetAsInteger(1); }), "Field 'Lone' has no dataset");
  EXPECT_EQ(DatabaseErrorOf([&] { Field.OldValue(); }), "Field 'Lone' has no dataset");
  EXPECT_EQ(Field.Index(), -1);
}

// --- display properties ---------------------------------------------------------------

TEST(FieldListTest, DisplayPropertiesAndLayoutEvents) {
  TMiniDataSet DS;
  DS.Columns = {{"S", ftString, 12}, {"I", ftInteger}, {"D", ftDate}};
  DS.Open();
  TField* S = DS.FieldByName("S");
  EXPECT_EQ(S->DisplayName(), "S");
  EXPECT_EQ(S->DisplayWidth(), 12);
  EXPECT_EQ(DS.FieldByName("I")->DisplayWidth(), 10);
  EXPECT_EQ(DS.FieldByName("D")->DisplayWidth(), 10);

  auto LayoutEvents = [&] {
    return std::count_if(DS.Events.begin(), DS.Events.end(),
                         [](const auto& E) { return E.first == deLayoutChange; });
  };
  S->SetDisplayLabel("Surname");
  S->SetDisplayWidth(7);
  S->SetVisible(false);
  S->SetReadOnly(true);
  EXPECT_EQ(LayoutEvents(), 4);
  S->SetDisplayLabel("Surname"); // no change, no event
  EXPECT_EQ(LayoutEvents(), 4);
  EXPECT_EQ(S->DisplayName(), "Surname");
  EXPECT_EQ(S->DisplayWidth(), 7);

  TField* Focused = nullptr;
  DS.OnEvent = [&](TDataEvent Event, std::intptr_t Info) {
    if (Event == deFocusControl) Focused = *reinterpret_cast<TField**>(Info);
  };
  S->FocusControl();
  EXPECT_EQ(Focused, S);
}

// --- lookup fields --------------------------------------------------------------------

class LookupFieldTest : public ::testing::Test {
protected:
  LookupFieldTest() {
    Names.Columns = {{"ID", ftInteger}, {"NAME", ftString, 10}};
    Names.Open();
    Names.AppendRecord({Variant(1), Variant("one")});
    Names.AppendRecord({Variant(2), Variant("two")});
    Names.Close();
    Main.Columns = {{"K", ftInteger}};
    Key = NewField(nullptr, "K", &Main);
    Looked = NewField<TStringField>(nullptr, "L", nullptr);
    Looked->SetSize(10);
    Looked->SetFieldKind(fkLookup);
    Looked->SetLookupDataSet(&Names);
    Looked->SetKeyFields("K");
    Looked->SetLookupKeyFields("ID");
    Looked->SetLookupResultField("NAME");
    Looked->SetDataSet(&Main);
  }

  TMiniDataSet Names;
  TMiniDataSet Main; // destroyed first, with its fields
  TField* Key;
  TField* Looked;
};

TEST_F(LookupFieldTest, ValuesFollowTheKey) {
  Main.Open();
  EXPECT_TRUE(Names.Active()); // binding opens the lookup dataset
  EXPECT_EQ(Looked->FieldNo(), -1);
  EXPECT_EQ(Main.CalcFieldsSize(), Looked->DataSize() + 1);

  Main.Append();
  Key->SetAsInteger(2);
  EXPECT_EQ(Looked->AsString(), "two");
  Key->SetAsInteger(9);
  EXPECT_TRUE(Looked->IsNull());
  Key->SetAsInteger(1);
  Main.Post();
  EXPECT_EQ(Looked->AsString(), "one"); // recalculated for the fetched record
  EXPECT_EQ(Looked->OldValue().VarType(), varNull);
  EXPECT_TRUE(Looked->Lookup());
}

TEST_F(LookupFieldTest, BindingRefusesIncompleteOrCircularDescriptions) {
  Looked->SetLookupResultField("");
  EXPECT_EQ(DatabaseErrorOf([&] { Main.Open(); }),
            "Lookup information for field 'L' is incomplete");
  Looked->SetLookupResultField("NAME");
  Looked->SetLookupDataSet(&Main);
  EXPECT_EQ(DatabaseErrorOf([&] { Main.Open(); }), "Circular datalinks are not allowed");
  Looked->SetLookupDataSet(&Names);
  Looked->SetKeyFields("X");
  EXPECT_EQ(DatabaseErrorOf([&] { Main.Open(); }), "Field 'X' not found");
  Looked->SetKeyFields("K");
  Looked->SetLookupResultField("NOPE");
  EXPECT_EQ(DatabaseErrorOf([&] { Main.Open(); }), "Field 'NOPE' not found");
  EXPECT_FALSE(Main.Active());
}

TEST_F(LookupFieldTest, ALookupDatasetThatIsDestroyedIsForgotten) {
  auto* Temporary = new TMiniDataSet(nullptr);
  Looked->SetLookupDataSet(Temporary);
  delete Temporary;
  EXPECT_EQ(Looked->LookupDataSet(), nullptr);
}

} // namespace
} // namespace kelva::test
