// Which registered property editor a property gets: by type, by component class and its
// descendants, by property class and its descendants, by name, and the most specific one.
#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <gtest/gtest.h>

#include <deque>

namespace kelva {
namespace {

// Class infos for matching only: the registry keeps their addresses, so they live for the run.
const TClassInfo* MakeClass(const std::string& Name, const TClassInfo* Parent = nullptr) {
  static std::deque<TClassInfo> Classes;
  TClassInfo& Info = Classes.emplace_back();
  Info.Name = Name;
  Info.Parent = Parent;
  return &Info;
}

TPropInfo Prop(const std::string& Name, PTypeInfo Type) {
  TPropInfo P;
  P.Name = Name;
  P.PropType = Type;
  return P;
}

TPropertyEditorClass Editor(const std::string& Name) {
  return PropertyEditorClassOf<TPropertyEditor>(Name);
}

std::string Found(const TPropInfo& P, const TClassInfo* ComponentClass) {
  const TPropertyEditorClass* E = FindPropertyEditorClass(P, ComponentClass);
  return E ? E->Name : "(default)";
}

class EditorMatching : public ::testing::Test {
protected:
  void SetUp() override { RegisterRtlClasses(); }
};

TEST_F(EditorMatching, TypeAndComponentClassIncludingDescendants) {
  const TClassInfo* Base = MakeClass("TMatchBase");
  const TClassInfo* Child = MakeClass("TMatchChild", Base);
  const TClassInfo* Other = MakeClass("TMatchOther");
  RegisterPropertyEditor(TypeInfoInteger(), Base, "", Editor("IntOnBase"));

  EXPECT_EQ(Found(Prop("Count", TypeInfoInteger()), Base), "IntOnBase");
  EXPECT_EQ(Found(Prop("Count", TypeInfoInteger()), Child), "IntOnBase");
  EXPECT_EQ(Found(Prop("Count", TypeInfoInteger()), Other), "(default)");
  EXPECT_EQ(Found(Prop("Count", TypeInfoString()), Child), "(default)");
}

TEST_F(EditorMatching, NullComponentClassServesEveryClass) {
  static const TTypeInfo Colour{"TMatchColour", tkEnumeration, {"Red", "Blue"}, {}};
  RegisterPropertyEditor(&Colour, nullptr, "", Editor("ColourAnywhere"));
  EXPECT_EQ(Found(Prop("Tint", &Colour), MakeClass("TAnyOne")), "ColourAnywhere");
  EXPECT_EQ(Found(Prop("Tint", &Colour), nullptr), "ColourAnywhere");
}

TEST_F(EditorMatching, PropertyOfADescendantClassMatchesTheAncestorsEditor) {
  const TClassInfo* Owner = MakeClass("TMatchListOwner");
  RegisterPropertyEditor(TypeInfoOfClass("TStrings"), Owner, "", Editor("StringsEd"));
  EXPECT_EQ(Found(Prop("Items", TypeInfoOfClass("TStringList")), Owner), "StringsEd");
  EXPECT_EQ(Found(Prop("Items", TypeInfoOfClass("TStrings")), Owner), "StringsEd");
  EXPECT_EQ(Found(Prop("Link", TypeInfoOfClass("TComponent")), Owner), "(default)");
}

TEST_F(EditorMatching, NameMatchesCaseInsensitively) {
  const TClassInfo* Owner = MakeClass("TMatchNamed");
  RegisterPropertyEditor(TypeInfoOfClass("TStrings"), Owner, "MetaFields", Editor("Meta"));
  EXPECT_EQ(Found(Prop("METAFIELDS", TypeInfoOfClass("TStrings")), Owner), "Meta");
  EXPECT_EQ(Found(Prop("ParamsDesc", TypeInfoOfClass("TStrings")), Owner), "(default)");
}

TEST_F(EditorMatching, MostSpecificRegistrationWins) {
  const TClassInfo* A = MakeClass("TRankA");
  const TClassInfo* B = MakeClass("TRankB", A);
  const TClassInfo* C = MakeClass("TRankC", B);
  RegisterPropertyEditor(TypeInfoInteger(), B, "", Editor("OnB"));
  RegisterPropertyEditor(TypeInfoInteger(), A, "", Editor("OnA")); // later, but farther
  EXPECT_EQ(Found(Prop("Size", TypeInfoInteger()), C), "OnB");
  EXPECT_EQ(Found(Prop("Size", TypeInfoInteger()), A), "OnA");

  // A given name beats a nearer class; between named ones the nearer class wins again.
  RegisterPropertyEditor(TypeInfoInteger(), A, "Size", Editor("SizeOnA"));
  RegisterPropertyEditor(TypeInfoInteger(), nullptr, "Size", Editor("SizeAnywhere"));
  EXPECT_EQ(Found(Prop("Size", TypeInfoInteger()), C), "SizeOnA");
  EXPECT_EQ(Found(Prop("Other", TypeInfoInteger()), C), "OnB");

  // The nearer property class beats a later registration for its ancestor class.
  RegisterPropertyEditor(TypeInfoOfClass("TStringList"), C, "", Editor("ForStringList"));
  RegisterPropertyEditor(TypeInfoOfClass("TStrings"), C, "", Editor("ForStrings"));
  EXPECT_EQ(Found(Prop("Items", TypeInfoOfClass("TStringList")), C), "ForStringList");
}

TEST_F(EditorMatching, LaterRegistrationWinsTiesAndRepeatsAreIgnored) {
  const TClassInfo* Owner = MakeClass("TTieOwner");
  RegisterPropertyEditor(TypeInfoDouble(), Owner, "", Editor("First"));
  RegisterPropertyEditor(TypeInfoDouble(), Owner, "", Editor("Second"));
  EXPECT_EQ(Found(Prop("Ratio", TypeInfoDouble()), Owner), "Second");
  // A package's Register running again must not reorder what it registered the first time.
  RegisterPropertyEditor(TypeInfoDouble(), Owner, "", Editor("First"));
  EXPECT_EQ(Found(Prop("Ratio", TypeInfoDouble()), Owner), "Second");
}

TEST_F(EditorMatching, RejectsIncompleteRegistrations) {
  EXPECT_THROW(RegisterPropertyEditor(nullptr, nullptr, "", Editor("NoType")), EInvalidOperation);
  EXPECT_THROW(
      RegisterPropertyEditor(TypeInfoInteger(), nullptr, "", TPropertyEditorClass{"Empty", {}}),
      EInvalidOperation);
}

} // namespace
} // namespace kelva
