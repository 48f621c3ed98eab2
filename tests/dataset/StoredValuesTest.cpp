// Stored values read back: a value whose slot text would not read back is refused when it
// is written, slot texts do not depend on the decimal-separator setting (older files with
// ',' still read, sort and search), and loading refuses slot texts a field cannot read.
#include "FileTextSupport.h"

#include <cfloat>
#include <cmath>
#include <map>

namespace kelva {
namespace {

using namespace ordering_test;
using namespace file_test;

// Sets the process's decimal separator for one test and puts the old one back.
class TSeparatorSetting {
public:
  explicit TSeparatorSetting(char Separator) { FormatSettings.DecimalSeparator = Separator; }
  ~TSeparatorSetting() { FormatSettings.DecimalSeparator = FSaved; }
  TSeparatorSetting(const TSeparatorSetting&) = delete;
  TSeparatorSetting& operator=(const TSeparatorSetting&) = delete;

private:
  char FSaved = FormatSettings.DecimalSeparator;
};

std::string Right(const std::string& Text, std::size_t Width) {
  return std::string(Width - Text.size(), ' ') + Text;
}
std::string Left(const std::string& Text, std::size_t Width) {
  return Text + std::string(Width - Text.size(), ' ');
}

TEST(StoredValues, FloatsWhoseTextWouldNotReadBackAreRefusedWhenWritten) {
  TEventDataset D(nullptr);
  OpenWith(D, {"FIELD=F,FLOAT,0", "FIELD=X,DATETIME,0", "FIELD=N,INTEGER,0"}, {});
  // These print as 1.79769313486232E308, past the largest double.
  for (const double Value : {DBL_MAX, -DBL_MAX, std::nextafter(DBL_MAX, 0.0)}) {
    SCOPED_TRACE(Value);
    D.Append();
    EXPECT_EQ(ErrorOf([&] { D.FieldByName("F")->SetAsFloat(Value); }),
              "Invalid value for field 'F'");
    EXPECT_TRUE(D.FieldByName("F")->IsNull());
    EXPECT_EQ(ErrorOf([&] { D.FieldByName("X")->SetData(&Value); }), "Invalid value for field 'X'");
    D.Cancel();
  }
  // The largest values whose texts read back are kept: they read, sort, save and reload.
  const double Largest = 1.79769313486231e308;
  D.AppendRecord({Largest, Null(), 1});
  D.AppendRecord({-Largest, Null(), 2});
  D.AppendRecord({0.5, Null(), 3});
  D.SortOn("F", false, false);
  EXPECT_EQ(Column(D, "N"), (std::vector<std::string>{"2", "3", "1"}));
  TEventDataset Copy(nullptr);
  ASSERT_EQ(LoadError(Copy, Saved(D)), "");
  Copy.First();
  EXPECT_EQ(Copy.FieldByName("F")->AsFloat(), -Largest);
  Copy.Last();
  EXPECT_EQ(Copy.FieldByName("F")->AsFloat(), Largest);
}

TEST(StoredValues, SlotTextsUseAPointWhateverTheSeparatorSetting) {
  TSeparatorSetting Comma(',');
  TListedDataset D(nullptr);
  OpenWith(D, {"FIELD=F,FLOAT,0", "FIELD=T,TIME,0", "FIELD=M,BCD,0"},
           {{2.5, EncodeTime(6, 0, 0, 0), Currency::FromScaled(125000)}});
  D.First();
  // What the user sees follows the setting; what is stored does not.
  EXPECT_EQ(D.FieldByName("F")->AsString(), "2,5");
  EXPECT_EQ(D.FieldByName("M")->AsString(), "12,5");
  EXPECT_EQ(D.CommittedBuf()->ImageView(0),
            Right("2.5", 23) + Right("-693594.25", 22) + Left("12.5", 34) + " ");

  const std::string Text = Saved(D);
  TSeparatorSetting Point('.');
  TEventDataset Copy(nullptr);
  ASSERT_EQ(LoadError(Copy, Text), "");
  EXPECT_EQ(Copy.FieldByName("F")->AsFloat(), 2.5);
  EXPECT_EQ(Copy.FieldByName("T")->AsString(), "06:00:00");
  EXPECT_EQ(Copy.FieldByName("M")->AsCurrency(), Currency::FromScaled(125000));
}

TEST(StoredValues, FilesSavedUnderACommaSettingReadSortAndSearchUnderEither) {
  // Slot texts as saves under a ',' setting wrote them, beside texts with '.'.
  const std::vector<std::string> Fields = {"FIELD=F,FLOAT,0", "FIELD=M,BCD,0", "FIELD=T,TIME,0",
                                           "FIELD=N,INTEGER,0"};
  auto Image = [](const std::string& F, const std::string& M, const std::string& T,
                  const std::string& N) {
    return Right(F, 23) + Left(M, 34) + Right(T, 22) + Right(N, 12) + " ";
  };
  const std::string Text = FileText(Fields, Numbered({Image("10,5", "7,25", "-693594,25", "1"),
                                                      Image("9.75", "7.5", "-693594.5", "2"),
                                                      Image("-1,5E-10", "-0,0001", "", "3")}));
  for (const char Separator : {'.', ','}) {
    SCOPED_TRACE(Separator);
    TSeparatorSetting Setting(Separator);
    TEventDataset D(nullptr);
    ASSERT_EQ(LoadError(D, Text), "");
    D.First();
    EXPECT_EQ(D.FieldByName("F")->AsFloat(), 10.5);
    EXPECT_EQ(D.FieldByName("M")->AsCurrency(), Currency::FromScaled(72500));
    EXPECT_EQ(D.FieldByName("T")->AsDateTime(), EncodeTime(6, 0, 0, 0));
    D.SortOn("F", false, false);
    EXPECT_EQ(Column(D, "N"), (std::vector<std::string>{"3", "2", "1"}));
    D.SortOn("M", false, false);
    EXPECT_EQ(Column(D, "N"), (std::vector<std::string>{"3", "1", "2"}));
    ASSERT_TRUE(D.Locate("M", Variant(Currency::FromScaled(72500)), {}));
    EXPECT_EQ(D.FieldByName("N")->AsInteger(), 1);
  }
}

// S SMALLINT, I INTEGER, F FLOAT, D DATE, T TIME, X DATETIME, M BCD, C CHAR 3, B BOOLEAN.
const std::vector<std::string> AllTypes = {
    "FIELD=S,SMALLINT,0", "FIELD=I,INTEGER,0", "FIELD=F,FLOAT,0",
    "FIELD=D,DATE,0",     "FIELD=T,TIME,0",    "FIELD=X,DATETIME,0",
    "FIELD=M,BCD,0",      "FIELD=C,CHAR,3",    "FIELD=B,BOOLEAN,0"};

// An image of AllTypes with readable texts, except those Texts replaces.
std::string AllTypesImage(const std::map<std::string, std::string>& Texts) {
  struct TSlot {
    std::string Name;
    std::size_t Width;
    bool LeftAligned;
    std::string Text;
  };
  const TSlot Slots[] = {
      {"S", 6, false, "32767"},  {"I", 12, false, "-5"},         {"F", 23, false, "1.5"},
      {"D", 22, false, "36526"}, {"T", 22, false, "-693594.25"}, {"X", 22, false, "63082411200000"},
      {"M", 34, true, "12.5"},   {"C", 4, true, "abc"},          {"B", 1, true, "T"}};
  std::string Image;
  for (const TSlot& Slot : Slots) {
    const auto Given = Texts.find(Slot.Name);
    const std::string& Text = Given == Texts.end() ? Slot.Text : Given->second;
    Image += Slot.LeftAligned ? Left(Text, Slot.Width) : Right(Text, Slot.Width);
  }
  return Image + " ";
}

TEST(StoredValues, LoadingRefusesSlotTextsTheirFieldsCannotRead) {
  const std::pair<std::string, std::string> Unreadable[] = {
      {"S", "40000"},      {"S", "-32769"}, {"I", "abc"},
      {"I", "2147483648"}, {"F", "1.5x"},   {"F", "1.79769313486232E308"},
      {"F", "1,5,0"},      {"D", "1E300"},  {"D", "2147483647"},
      {"T", "--1"},        {"X", "1E400"},  {"M", "abc"},
      {"M", "1E20"}};
  for (const auto& [Field, Text] : Unreadable) {
    SCOPED_TRACE(Field + " holding " + Text);
    const std::string Bad = AllTypesImage({{Field, Text}});
    const std::string Good = AllTypesImage({});
    // Wherever the record stands: committed, in the working copy or deleted.
    for (const std::string& File :
         {FileText(AllTypes, {{1, Good}, {2, Bad}}), FileText(AllTypes, {{1, Good}}, {{1, Bad}}),
          FileText(AllTypes, {{1, Good}, {2, Good}}, {{1, Good}}, {{2, Bad}})}) {
      TEventDataset D(nullptr);
      EXPECT_EQ(LoadError(D, File), "invalid file format");
      EXPECT_FALSE(D.Active());
    }
  }
}

TEST(StoredValues, LoadingAcceptsEveryTextItsFieldReads) {
  const std::string Blank = AllTypesImage({{"S", ""},
                                           {"I", ""},
                                           {"F", ""},
                                           {"D", ""},
                                           {"T", ""},
                                           {"X", ""},
                                           {"M", ""},
                                           {"C", ""},
                                           {"B", ""}});
  const std::string Odd = AllTypesImage({{"S", "-32768"},
                                         {"I", "$FF"},
                                         {"F", "1,5"},
                                         {"D", "-2000000000"},
                                         {"T", "999999999,5"},
                                         {"M", "12,5"},
                                         {"C", "\x01z"},
                                         {"B", "x"}});
  TEventDataset D(nullptr);
  ASSERT_EQ(LoadError(D, FileText(AllTypes, Numbered({AllTypesImage({}), Blank, Odd}))), "");
  for (D.First(); !D.Eof(); D.Next())
    for (std::int32_t I = 0; I < D.FieldCount(); ++I) EXPECT_NO_THROW(D.Fields()[I]->AsString());
  D.Last();
  EXPECT_EQ(D.FieldByName("S")->AsInteger(), -32768);
  EXPECT_EQ(D.FieldByName("I")->AsInteger(), 255);
  EXPECT_EQ(D.FieldByName("F")->AsFloat(), 1.5);
}

} // namespace
} // namespace kelva
