// Evaluating a compiled filter on one record image. Slots are read in place: texts as views
// into the image, numbers, dates and times decoded from their slot text, nothing allocated
// for plain texts.
#include "kelva/dataset/filter/FilterProgram.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/dataset/search/KeyEncoding.h"
#include "kelva/dataset/search/PlainText.h"
#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

namespace {

char AsciiUpper(char C) {
  return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C;
}

bool IsAscii(std::string_view Text) {
  for (const char C : Text)
    if (static_cast<unsigned char>(C) >= 0x80) return false;
  return true;
}

int CompareBytes(std::string_view A, std::string_view B, bool UpperCased) {
  const std::size_t Common = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < Common; ++I) {
    const auto X = static_cast<unsigned char>(UpperCased ? AsciiUpper(A[I]) : A[I]);
    const auto Y = static_cast<unsigned char>(UpperCased ? AsciiUpper(B[I]) : B[I]);
    if (X != Y) return X < Y ? -1 : 1;
  }
  return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

// The order the sort gives two texts: the locale's collation (ignoring case when asked),
// with ties broken by bytes. Plain texts that the collation orders as bytes skip the
// collator.
int CompareTexts(std::string_view A, std::string_view B, bool CaseInsensitive) {
  const unsigned Kinds = PlainKind(A) | PlainKind(B);
  if ((Kinds & pkOther) == 0 && (CaseInsensitive || Kinds != pkMixed) && PlainTextsCollateAsBytes())
    return CompareBytes(A, B, CaseInsensitive);
  thread_local std::string TextA, TextB;
  TextA.assign(A);
  TextB.assign(B);
  return CaseInsensitive ? AnsiCompareText(TextA, TextB) : AnsiCompareStr(TextA, TextB);
}

bool StartsWith(std::string_view Text, const TKlvFilterSide& Prefix, bool CaseInsensitive) {
  if (!CaseInsensitive) return Text.starts_with(Prefix.ConstantText);
  if (IsAscii(Text) && IsAscii(Prefix.UpperText))
    return Text.size() >= Prefix.UpperText.size() &&
           CompareBytes(Text.substr(0, Prefix.UpperText.size()), Prefix.UpperText, true) == 0;
  return std::string_view(AnsiUpperCase(std::string(Text))).starts_with(Prefix.UpperText);
}

int CompareNumbers(const TKlvFilterValue& A, const TKlvFilterValue& B) {
  if (!A.IsFloat && !B.IsFloat) return A.Integer < B.Integer ? -1 : (A.Integer > B.Integer);
  const double X = A.IsFloat ? A.Float : static_cast<double>(A.Integer);
  const double Y = B.IsFloat ? B.Float : static_cast<double>(B.Integer);
  return X < Y ? -1 : (X > Y);
}

bool Holds(TKlvFilterCompare Compare, int Order) {
  switch (Compare) {
  case fcEqual:
    return Order == 0;
  case fcNotEqual:
    return Order != 0;
  case fcLess:
    return Order < 0;
  case fcLessEqual:
    return Order <= 0;
  case fcGreater:
    return Order > 0;
  default:
    return Order >= 0;
  }
}

TKlvFilterValue ReadSide(const TKlvFilterSide& Side, TKlvFilterDomain Domain, const char* Image) {
  if (!Side.IsField) {
    TKlvFilterValue Value = Side.Constant;
    if (Domain == fdText) Value.Text = Side.ConstantText;
    return Value;
  }
  TKlvFilterValue Value;
  const TKlvFieldInfo& Slot = Side.Field.Slot;
  if (Domain == fdText) {
    Value.Text = CharSlotText(Image + Slot.Offset - 1, Slot.Width);
    Value.Null = Value.Text.empty();
    return Value;
  }
  TKlvKeyNumber Number;
  if (!DecodeKeyNumber({Side.Field.Type, true, Slot}, Image, Number)) return Value;
  Value.Null = false;
  Value.IsFloat = Number.IsFloat;
  Value.Integer = Number.Integer;
  Value.Float = Number.Float;
  if (Side.Field.Type == ftBCD) {
    // Amounts come scaled by 10000: whole ones stay exact, others become the double nearest
    // the decimal, as a literal with the same digits does.
    if (Number.Integer % 10000 == 0) {
      Value.Integer = Number.Integer / 10000;
    } else {
      Value.IsFloat = true;
      Value.Float = static_cast<double>(Number.Integer) / 10000.0;
    }
  }
  return Value;
}

} // namespace

bool TKlvFilterProgram::Matches(const char* Image) const {
  return Evaluate(FRoot, Image) == tvTrue;
}

TKlvFilterProgram::TTruth TKlvFilterProgram::Evaluate(std::int32_t Index, const char* Image) const {
  const TKlvFilterStep& Step = FSteps[static_cast<std::size_t>(Index)];
  switch (Step.Kind) {
  case nkAnd: {
    const TTruth Left = Evaluate(Step.Left, Image);
    if (Left == tvFalse) return tvFalse;
    const TTruth Right = Evaluate(Step.Right, Image);
    if (Right == tvFalse) return tvFalse;
    return Left == tvTrue && Right == tvTrue ? tvTrue : tvUnknown;
  }
  case nkOr: {
    const TTruth Left = Evaluate(Step.Left, Image);
    if (Left == tvTrue) return tvTrue;
    const TTruth Right = Evaluate(Step.Right, Image);
    if (Right == tvTrue) return tvTrue;
    return Left == tvFalse && Right == tvFalse ? tvFalse : tvUnknown;
  }
  case nkNot: {
    const TTruth Inner = Evaluate(Step.Left, Image);
    return Inner == tvUnknown ? tvUnknown : (Inner == tvTrue ? tvFalse : tvTrue);
  }
  case nkIsNull: {
    const bool Null = ReadSide(Step.Sides[0], Step.Domain, Image).Null;
    return Null != Step.Negated ? tvTrue : tvFalse;
  }
  case nkIn:
    return EvaluateIn(Step, Image);
  default:
    return EvaluateCompare(Step, Image);
  }
}

bool TKlvFilterProgram::TextEqual(const TKlvFilterSide& Side, std::string_view Record,
                                  const TKlvFilterValue& Other) const {
  if (Side.Prefix) return StartsWith(Record, Side, FSettings.CaseInsensitive);
  if (!FSettings.CaseInsensitive) return Record == Other.Text;
  return CompareTexts(Record, Other.Text, true) == 0;
}

TKlvFilterProgram::TTruth TKlvFilterProgram::EvaluateCompare(const TKlvFilterStep& Step,
                                                             const char* Image) const {
  const TKlvFilterValue Left = ReadSide(Step.Sides[0], Step.Domain, Image);
  if (Left.Null) return tvUnknown;
  const TKlvFilterValue Right = ReadSide(Step.Sides[1], Step.Domain, Image);
  if (Right.Null) return tvUnknown;
  if (Step.Domain != fdText)
    return Holds(Step.Compare, CompareNumbers(Left, Right)) ? tvTrue : tvFalse;
  if (Step.Compare == fcEqual || Step.Compare == fcNotEqual) {
    const bool Equal = TextEqual(Step.Sides[1], Left.Text, Right);
    return Equal == (Step.Compare == fcEqual) ? tvTrue : tvFalse;
  }
  const int Order = CompareTexts(Left.Text, Right.Text, FSettings.CaseInsensitive);
  return Holds(Step.Compare, Order) ? tvTrue : tvFalse;
}

TKlvFilterProgram::TTruth TKlvFilterProgram::EvaluateIn(const TKlvFilterStep& Step,
                                                        const char* Image) const {
  const TKlvFilterValue Subject = ReadSide(Step.Sides[0], Step.Domain, Image);
  if (Subject.Null) return tvUnknown;
  bool SawNull = false;
  for (std::size_t I = 1; I < Step.Sides.size(); ++I) {
    const TKlvFilterValue Item = ReadSide(Step.Sides[I], Step.Domain, Image);
    if (Item.Null) {
      SawNull = true;
      continue;
    }
    const bool Equal = Step.Domain == fdText ? TextEqual(Step.Sides[I], Subject.Text, Item)
                                             : CompareNumbers(Subject, Item) == 0;
    if (Equal) return Step.Negated ? tvFalse : tvTrue;
  }
  if (SawNull) return tvUnknown;
  return Step.Negated ? tvTrue : tvFalse;
}

} // namespace kelva
