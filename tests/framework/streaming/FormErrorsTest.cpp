// Malformed form files: each is refused with the line of the fault in the message, and neither
// an owner (ReadComponentFromText) nor an existing root (ReadComponentRes) keeps anything the
// failed read made.
#include "StreamingFixtures.h"

#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/FormReader.h"

#include <gtest/gtest.h>

using namespace kelva;
using namespace kelva::test;

namespace {

enum class Stage { Parse, Read };

struct BadFile {
  const char* Title;
  std::string Text;
  Stage Expected;
  std::string Fragment; // the start of the message ("Line N: ...") and what it must name
};

void PrintTo(const BadFile& File, std::ostream* Out) {
  *Out << File.Title;
}

std::string Wrap(const std::string& Body) {
  return "object Form1: TTestForm\n" + Body + "end\n";
}

std::string DeepNesting(int Levels) {
  std::string Text;
  for (int I = 0; I < Levels; ++I) Text += "object P" + std::to_string(I) + ": TTestControl\n";
  for (int I = 0; I < Levels; ++I) Text += "end\n";
  return "object Form1: TTestForm\n" + Text + "end\n";
}

class FormErrors : public testing::TestWithParam<BadFile> {
protected:
  void SetUp() override { RegisterStreamingTestClasses(); }

  // Runs Read, expecting the stage's exception with the fragment in its message.
  template <class Fn>
  void ExpectRefused(Fn&& Read) {
    const BadFile& File = GetParam();
    try {
      Read();
      ADD_FAILURE() << "accepted";
    } catch (const EParserError& E) {
      EXPECT_EQ(File.Expected, Stage::Parse) << E.Message();
      EXPECT_NE(E.Message().find(File.Fragment), std::string::npos) << E.Message();
    } catch (const EReadError& E) {
      EXPECT_EQ(File.Expected, Stage::Read) << E.Message();
      EXPECT_NE(E.Message().find(File.Fragment), std::string::npos) << E.Message();
    }
  }
};

TEST_P(FormErrors, ReadComponentFromTextLeavesTheOwnerEmpty) {
  TComponent Owner(nullptr);
  ExpectRefused([&] { ReadComponentFromText(GetParam().Text, &Owner); });
  EXPECT_EQ(Owner.ComponentCount(), 0);
}

TEST_P(FormErrors, ReadComponentResRestoresTheRoot) {
  TTestForm Form;
  Form.SetName("Before");
  auto* Existing = new TTestControl(&Form);
  Existing->SetName("Existing");
  ExpectRefused([&] { ReadComponentRes(GetParam().Text, Form); });
  EXPECT_EQ(OwnedComponents(Form), std::vector<TComponent*>{Existing});
  EXPECT_EQ(Form.Name(), "Before");
  EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(Form.ComponentState().Contains(csReading));
}

INSTANTIATE_TEST_SUITE_P(
    MalformedFiles, FormErrors,
    testing::Values(
        BadFile{"UnterminatedString", Wrap("  Caption = 'abc\n"), Stage::Parse,
                "Line 2: unterminated string"},
        BadFile{"MissingEnd", "object Form1: TTestForm\n  object Panel1: TTestControl\n  end\n",
                Stage::Parse, "Line 3: 'end' expected"},
        BadFile{"InvalidUtf8", Wrap("  Caption = 'a\xC3(b'\n"), Stage::Parse,
                "Line 2: invalid UTF-8"},
        BadFile{"TooDeep", DeepNesting(MaxFormNestingDepth), Stage::Parse,
                "Line " + std::to_string(MaxFormNestingDepth + 1) + ": nesting deeper"},
        BadFile{"UnknownClass", Wrap("  Width = 4\n  object X1: TNoSuchThing\n  end\n"),
                Stage::Read, "Line 3: Class TNoSuchThing not found"},
        BadFile{"AbstractClass", Wrap("  object F1: TField\n  end\n"), Stage::Read,
                "Line 2: Class TField cannot be created"},
        BadFile{"UnknownProperty",
                Wrap("  object Panel1: TTestControl\n    Caption = 'x'\n    Colour = 4\n  end\n"),
                Stage::Read, "Line 4: Panel1.Colour: no such property in class TTestControl"},
        BadFile{"UnknownSubProperty", Wrap("  Title.Colour = 4\n"), Stage::Read,
                "Line 2: Form1.Title.Colour: no such property in class TTestTitle"},
        BadFile{"BadEnumName", Wrap("\n  Align = alSideways\n"), Stage::Read,
                "Line 3: Form1.Align: 'alSideways' is not a value of TTestAlign"},
        BadFile{"BadSetElement", Wrap("  Options = [toTitles, toNothing]\n"), Stage::Read,
                "Line 2: Form1.Options: 'toNothing' is not a value of TTestOptions"},
        BadFile{"WrongValueKind", Wrap("  Width = 'wide'\n"), Stage::Read,
                "Line 2: Form1.Width: integer expected but string found"},
        BadFile{"IntegerOutOfRange", Wrap("  Width = 3000000000\n"), Stage::Read,
                "Line 2: Form1.Width: 3000000000 is out of the range of Integer"},
        BadFile{"SetterRefuses", Wrap("  Width = -5\n"), Stage::Read,
                "Line 2: Form1.Width: Width must not be negative"},
        BadFile{"UnknownReference",
                Wrap("  object Panel1: TTestControl\n    Buddy = Nobody\n  end\n"), Stage::Read,
                "Line 3: Panel1.Buddy: component Nobody not found"},
        BadFile{"ReferenceOfTheWrongClass",
                Wrap("  Buddy = Source1\n  object Source1: TDataSource\n  end\n"), Stage::Read,
                "Line 2: Form1.Buddy: Source1 is a TDataSource, not a TTestControl"},
        BadFile{"UnknownMethod", Wrap("  OnClick = NoSuchHandler\n"), Stage::Read,
                "Line 2: Form1.OnClick: Method NoSuchHandler not found"},
        BadFile{"MethodOfTheWrongType", Wrap("  OnClick = DataSetOpened\n"), Stage::Read,
                "Line 2: Form1.OnClick: Method DataSetOpened does not fit"},
        BadFile{
            "DuplicateName",
            Wrap("  object Panel1: TTestControl\n  end\n  object Panel1: TTestControl\n  end\n"),
            Stage::Read, "Line 4: A component named Panel1 already exists"},
        BadFile{"NoParentAllowed",
                Wrap("  object Source1: TDataSource\n    object Panel1: TTestControl\n    end\n"
                     "  end\n"),
                Stage::Read, "Line 3: Panel1: A control needs a control as its parent"},
        BadFile{"FieldOutsideADataSet",
                Wrap("  object Panel1: TTestControl\n    object F1: TIntegerField\n    end\n"
                     "  end\n"),
                Stage::Read, "Line 3: F1: Component F1 cannot be placed"}),
    [](const testing::TestParamInfo<BadFile>& Info) { return std::string(Info.param.Title); });

TEST(FormErrorsAtTheTop, AWrongRootClassIsRefusedBeforeReading) {
  RegisterStreamingTestClasses();
  TOtherForm Form;
  try {
    ReadComponentRes("\nobject Form1: TTestForm\nend\n", Form);
    ADD_FAILURE() << "accepted";
  } catch (const EReadError& E) {
    EXPECT_EQ(E.Message(), "Line 2: The text describes a TTestForm, not a TOtherForm");
  }
  EXPECT_EQ(Form.Name(), "");
}

// Built here rather than in the parameter list above: a 16 MiB text there would be made and
// copied at every start of the test program.
TEST(FormErrorsAtTheTop, AStringLongerThanTheLimitIsRefused) {
  RegisterStreamingTestClasses();
  const std::string Text =
      Wrap("  Caption =\n    '" + std::string(MaxFormStringBytes + 1, 'a') + "'\n");
  TComponent Owner(nullptr);
  try {
    ReadComponentFromText(Text, &Owner);
    ADD_FAILURE() << "accepted";
  } catch (const EParserError& E) {
    EXPECT_NE(E.Message().find("Line 3: string longer"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(Owner.ComponentCount(), 0);
}

} // namespace
