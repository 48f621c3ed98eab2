// The text every type of value takes in its slot of a stored record image, and what the
// fields read back from slot texts, including blank, hand-edited and unreadable ones.
#include "DatasetProbe.h"

#include "kelva/dataset/SlotText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>

namespace kelva::testing {
namespace {

// Opens D with the one field Line describes and raw-loads one record whose value Set writes.
void StoreOne(TProbeDataset& D, const std::string& Line, const std::function<void(TField*)>& Set) {
  D.Describe({Line});
  D.Open();
  D.AppendRaw();
  Set(D.Fields()[0]);
  D.PostRaw();
  D.First();
}

std::string RightAligned(const std::string& Text, std::size_t Width) {
  return std::string(Width - Text.size(), ' ') + Text;
}
std::string LeftAligned(const std::string& Text, std::size_t Width) {
  return Text + std::string(Width - Text.size(), ' ');
}

struct SlotCase {
  std::string Line;
  std::function<void(TField*)> Set;
  std::string Slot;     // what the stored image holds
  std::string ReadBack; // AsString() of the field afterwards
};

TEST(SlotText, EveryTypeWordHasItsSlotText) {
  const TDateTime NewYear2000 = EncodeDate(2000, 1, 1);
  const std::vector<SlotCase> Cases = {
      {"FIELD=F,CHAR,10", [](TField* F) { F->SetAsString("  ab  "); }, "  ab       ", "ab"},
      {"FIELD=F,CHAR,10", [](TField* F) { F->SetAsString("abcdefghijkl"); }, "abcdefghij ",
       "abcdefghij"},
      {"FIELD=F,CHAR,5", [](TField* F) { F->SetAsString("abcdé"); }, "abcd  ", "abcd"},
      {"FIELD=F,INTEGER,0", [](TField* F) { F->SetAsInteger(-5); }, "          -5", "-5"},
      {"FIELD=F,INTEGER,0", [](TField* F) { F->SetAsInteger(INT32_MIN); }, " -2147483648",
       "-2147483648"},
      {"FIELD=F,SMALLINT,0", [](TField* F) { F->SetAsInteger(-32768); }, "-32768", "-32768"},
      {"FIELD=F,SMALLINT,0", [](TField* F) { F->SetAsInteger(0); }, "     0", "0"},
      {"FIELD=F,FLOAT,0", [](TField* F) { F->SetAsFloat(1.5); }, RightAligned("1.5", 23), "1.5"},
      {"FIELD=F,FLOAT,0", [](TField* F) { F->SetAsFloat(-1.0 / 3); },
       RightAligned("-0.333333333333333", 23), "-0.333333333333333"},
      {"FIELD=F,FLOAT,0", [](TField* F) { F->SetAsFloat(-1.5e-300); },
       RightAligned("-1.5E-300", 23), "-1.5E-300"},
      {"FIELD=F,BOOLEAN,0", [](TField* F) { F->SetAsBoolean(true); }, "T", "True"},
      {"FIELD=F,BOOLEAN,0", [](TField* F) { F->SetAsBoolean(false); }, "F", "False"},
      {"FIELD=F,DATE,0", [&](TField* F) { F->SetAsDateTime(NewYear2000); },
       RightAligned("36526", 22), "2000-01-01"},
      {"FIELD=F,DATE,0", [](TField* F) { F->SetAsDateTime(EncodeDate(1, 1, 1)); },
       RightAligned("-693593", 22), "0001-01-01"},
      {"FIELD=F,TIME,0", [](TField* F) { F->SetAsDateTime(EncodeTime(6, 0, 0, 0)); },
       RightAligned("-693594.25", 22), "06:00:00"},
      {"FIELD=F,DATETIME,0", [&](TField* F) { F->SetAsDateTime(NewYear2000 + 0.5); },
       RightAligned("63082411200000", 22), "2000-01-01 12:00:00"},
      {"FIELD=F,BCD,0", [](TField* F) { F->SetAsCurrency(Currency::FromDouble(12.5)); },
       LeftAligned("12.5", 34), "12.5"},
      {"FIELD=F,BCD,0", [](TField* F) { F->SetAsCurrency(Currency::FromScaled(INT64_MIN)); },
       LeftAligned("-922337203685477.5808", 34), "-922337203685477.5808"},
  };
  for (const SlotCase& Case : Cases) {
    SCOPED_TRACE(Case.Line + " -> " + Case.ReadBack);
    TProbeDataset D;
    StoreOne(D, Case.Line, Case.Set);
    EXPECT_EQ(D.StoredSlot(0, 1), Case.Slot);
    EXPECT_EQ(D.Fields()[0]->AsString(), Case.ReadBack);
  }
}

TEST(SlotText, DatesAndTimesTravelAsDayNumbersAndMilliseconds) {
  TProbeDataset D;
  D.Describe({"FIELD=D,DATE,0", "FIELD=T,TIME,0", "FIELD=S,DATETIME,0"});
  D.Open();
  D.AppendRaw();
  D.FieldByName("D")->SetAsDateTime(EncodeDate(2000, 1, 1));
  D.FieldByName("T")->SetAsDateTime(EncodeTime(23, 59, 59, 999));
  // Before 30 December 1899 the time of day counts away from zero.
  D.FieldByName("S")->SetAsDateTime(EncodeDate(1850, 3, 1) - EncodeTime(6, 0, 0, 0));
  D.PostRaw();
  D.First();
  std::int32_t Day = 0, MSecs = 0;
  ASSERT_TRUE(D.FieldByName("D")->GetData(&Day));
  EXPECT_EQ(Day, 730120);
  ASSERT_TRUE(D.FieldByName("T")->GetData(&MSecs));
  EXPECT_EQ(MSecs, 86399999);
  EXPECT_EQ(D.FieldByName("S")->AsString(), "1850-03-01 06:00:00");
}

TEST(SlotText, NumbersAreStoredWithAPointWhateverTheSeparatorInForce) {
  struct SeparatorGuard {
    char Saved = FormatSettings.DecimalSeparator;
    ~SeparatorGuard() { FormatSettings.DecimalSeparator = Saved; }
  } Guard;
  FormatSettings.DecimalSeparator = ',';
  TProbeDataset D;
  StoreOne(D, "FIELD=F,FLOAT,0", [](TField* F) { F->SetAsFloat(2.5); });
  EXPECT_EQ(D.StoredSlot(0, 1), RightAligned("2.5", 23));
  EXPECT_DOUBLE_EQ(D.Fields()[0]->AsFloat(), 2.5);
  EXPECT_EQ(D.Fields()[0]->AsString(), "2,5");
}

TEST(SlotText, NullValuesBlankTheSlotAndLeaveTheCallersBufferAlone) {
  const std::vector<std::string> Lines = {
      "FIELD=F,CHAR,10",   "FIELD=F,FLOAT,0",    "FIELD=F,BOOLEAN,0",
      "FIELD=F,INTEGER,0", "FIELD=F,SMALLINT,0", "FIELD=F,DATE,0",
      "FIELD=F,TIME,0",    "FIELD=F,DATETIME,0", "FIELD=F,BCD,0"};
  for (const std::string& Line : Lines) {
    SCOPED_TRACE(Line);
    TProbeDataset D;
    StoreOne(D, Line, [](TField* F) { F->SetValue(Variant(1)); });
    ASSERT_FALSE(D.Fields()[0]->IsNull());
    D.Edit();
    D.Fields()[0]->Clear();
    D.Post();
    const std::int32_t Width = D.FieldInfo()[0].Width;
    EXPECT_EQ(D.StoredSlot(0, 1), std::string(static_cast<std::size_t>(Width), ' '));
    EXPECT_TRUE(D.Fields()[0]->IsNull());
    char Sentinel[64];
    std::memset(Sentinel, 0x5A, sizeof Sentinel);
    EXPECT_FALSE(D.Fields()[0]->GetData(Sentinel));
    EXPECT_EQ(std::count(Sentinel, Sentinel + sizeof Sentinel, 0x5A), 64);
  }
  // A text of spaces only is a null text too.
  TProbeDataset D;
  StoreOne(D, "FIELD=F,CHAR,10", [](TField* F) { F->SetAsString("    "); });
  EXPECT_TRUE(D.Fields()[0]->IsNull());
}

TEST(SlotText, HandEditedSlotsReadSafely) {
  TProbeDataset D;
  D.Describe({"FIELD=B,BOOLEAN,0", "FIELD=C,CHAR,3", "FIELD=M,BCD,0"});
  D.Open();
  D.AppendRawRecord({true, "x", Currency::FromDouble(1)});
  TField* B = D.FieldByName("B");
  TField* C = D.FieldByName("C");
  for (const char* Letter : {"t", "X", "1"}) {
    D.PlantSlot(0, 1, Letter);
    EXPECT_FALSE(B->AsBoolean()) << Letter;
    EXPECT_FALSE(B->IsNull()) << Letter;
  }
  D.PlantSlot(0, 1, "T");
  EXPECT_TRUE(B->AsBoolean());
  D.PlantSlot(0, 1, " ");
  EXPECT_TRUE(B->IsNull());

  // A slot filled to its last byte gives at most the field's length, cut between
  // characters, never inside one.
  D.PlantSlot(0, 2, "abcd");
  EXPECT_EQ(C->AsString(), "abc");
  D.PlantSlot(0, 2, "ab\xC3\xA9");
  EXPECT_EQ(C->AsString(), "ab");

  // A BCD text that is not a number: present, but with no currency value.
  D.PlantSlot(0, 3, "abc");
  EXPECT_FALSE(D.FieldByName("M")->IsNull());
  EXPECT_EQ(D.FieldByName("M")->AsCurrency(), Currency{});
}

TEST(SlotText, UnreadableNumbersRaiseConversionErrors) {
  struct BadCase {
    std::string Line;
    std::string Text;
  };
  // A SMALLINT beyond 16 bits is refused, not wrapped (40000 would read as -25536).
  for (const BadCase& Case : std::vector<BadCase>{{"FIELD=F,INTEGER,0", "12a"},
                                                  {"FIELD=F,SMALLINT,0", "1.5"},
                                                  {"FIELD=F,SMALLINT,0", "40000"},
                                                  {"FIELD=F,SMALLINT,0", "-32769"},
                                                  {"FIELD=F,FLOAT,0", "1,5,0"},
                                                  {"FIELD=F,FLOAT,0", "1.79769313486232E308"},
                                                  {"FIELD=F,DATE,0", "x"},
                                                  {"FIELD=F,DATE,0", "1E300"},
                                                  {"FIELD=F,TIME,0", "--1"}}) {
    SCOPED_TRACE(Case.Line);
    TProbeDataset D;
    StoreOne(D, Case.Line, [](TField* F) { F->SetValue(Variant(1)); });
    D.PlantSlot(0, 1, Case.Text);
    EXPECT_THROW(D.Fields()[0]->AsString(), EConvertError);
  }
}

TEST(SlotText, ValuesWhoseTextsWouldNotReadBackAreRefused) {
  // Handed over as native buffers, past the fields' own checks.
  TProbeDataset D;
  D.Describe({"FIELD=S,SMALLINT,0", "FIELD=M,BCD,0"});
  D.Open();
  D.Append();
  const std::int32_t Wide = 40000;
  EXPECT_EQ(DatabaseErrorOf([&] { D.FieldByName("S")->SetData(&Wide); }),
            "Invalid value for field 'S'");
  char Text[34] = "twelve";
  EXPECT_EQ(DatabaseErrorOf([&] { D.FieldByName("M")->SetData(Text); }),
            "Invalid value for field 'M'");
  EXPECT_TRUE(D.FieldByName("S")->IsNull());
  EXPECT_TRUE(D.FieldByName("M")->IsNull());
  std::strcpy(Text, "12,5"); // an amount as files saved under a ',' setting hold it
  D.FieldByName("M")->SetData(Text);
  EXPECT_EQ(D.FieldByName("M")->AsCurrency(), Currency::FromScaled(125000));
  D.Cancel();
}

// Loading checks slots without converting the common shapes: the check must agree with
// what reading the slot does, for texts of every shape, wherever they stand in the slot.
TEST(SlotText, ReadabilityAgreesWithReading) {
  const std::pair<TFieldType, std::uint16_t> Types[] = {
      {ftInteger, 12}, {ftSmallint, 6}, {ftFloat, 23}, {ftDateTime, 22},
      {ftDate, 22},    {ftTime, 22},    {ftBCD, 34}};
  const std::string Alphabet = "0123456789999000 -+.,eE$x";
  std::mt19937 Random(7);
  for (int Round = 0; Round < 20000; ++Round) {
    const auto& [Type, Width] = Types[Random() % std::size(Types)];
    std::string Text;
    for (std::size_t Length = Random() % (Width + 1u); Text.size() < Length;)
      Text += Alphabet[Random() % Alphabet.size()];
    const std::size_t At = Random() % (Width - Text.size() + 1);
    std::string Slot(Width, ' ');
    Slot.replace(At, Text.size(), Text);
    SCOPED_TRACE("'" + Slot + "'");
    alignas(8) char Value[BCDBufferSize + 8];
    bool Reads = true;
    try {
      SlotToValue(Slot.data(), Width, Type, Value);
    } catch (const EConvertError&) {
      Reads = false;
    }
    Currency Amount;
    if (Reads && Type == ftBCD && !CharSlotText(Slot.data(), Width).empty())
      Reads = SlotTextToCurr(Value, std::strlen(Value), Amount);
    ASSERT_EQ(SlotTextReadable(Slot.data(), Width, Type), Reads);
  }
}

TEST(SlotText, BcdTextConvertsToCurrency) {
  TProbeDataset D;
  D.Describe({"FIELD=M,BCD,0"});
  D.Open();
  char Buffer[34] = "  12.5   ";
  Currency Value;
  ASSERT_TRUE(D.BCDToCurr(Buffer, Value));
  EXPECT_EQ(Value, Currency::FromScaled(125000));
  std::strcpy(Buffer, "twelve");
  EXPECT_FALSE(D.BCDToCurr(Buffer, Value));
}

} // namespace
} // namespace kelva::testing
