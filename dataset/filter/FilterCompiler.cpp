// Compiling a parsed filter against the record layout: names become slots, literals become
// the values their fields hold, so that evaluating converts nothing but the record's slots.
#include "kelva/dataset/filter/FilterProgram.h"

#include "kelva/dataset/SlotText.h"
#include "kelva/dataset/messages.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <charconv>
#include <cmath>

namespace kelva {

namespace {

TKlvFilterDomain DomainOf(TFieldType Type, const TKlvFilterOperand& Operand) {
  switch (Type) {
  case ftString:
    return fdText;
  case ftSmallint:
  case ftInteger:
  case ftFloat:
  case ftBCD:
    return fdNumber;
  case ftBoolean:
    return fdBoolean;
  case ftDate:
    return fdDate;
  case ftTime:
    return fdTime;
  case ftDateTime:
    return fdDateTime;
  default:
    FilterError(Operand.Position,
                "field '" + Operand.Text + "' holds no stored value a filter can read");
  }
}

const char* DomainName(TKlvFilterDomain Domain) {
  switch (Domain) {
  case fdText:
    return "text";
  case fdNumber:
    return "number";
  case fdBoolean:
    return "boolean";
  case fdDate:
    return "date";
  case fdTime:
    return "time";
  default:
    return "date and time";
  }
}

// A number literal; false when the text is not one.
bool ParseNumber(const std::string& Text, TKlvFilterValue& Value) {
  const char* First = Text.data();
  const char* Last = Text.data() + Text.size();
  if (Text.find_first_of(".eE") == std::string::npos) {
    std::int64_t Whole = 0;
    const auto [End, Error] = std::from_chars(First, Last, Whole);
    if (Error == std::errc() && End == Last) {
      Value.Null = false;
      Value.Integer = Whole;
      return true;
    }
  }
  double Number = 0;
  const auto [End, Error] = std::from_chars(First, Last, Number);
  if (Error != std::errc() || End != Last || !std::isfinite(Number)) return false;
  Value.Null = false;
  Value.IsFloat = true;
  Value.Float = Number;
  return true;
}

// The number a double becomes once written into a slot and read back (15 significant
// digits), so that a literal equals a stored value written from the same number.
double AsStored(double Value) {
  char Buffer[FloatToStrBufSize];
  const std::size_t Length = FloatToStrBuf(Value, Buffer, SlotDecimalSeparator);
  double Stored = Value;
  return TryStrToFloat(Buffer, Length, Stored, SlotDecimalSeparator) ? Stored : Value;
}

bool ParseDateTime(const TKlvFilterOperand& Operand, TKlvFilterDomain Domain, double& Value) {
  if (Operand.Kind == okNumber) {
    TKlvFilterValue Number;
    if (!ParseNumber(Operand.Text, Number)) return false;
    Value = Number.IsFloat ? Number.Float : static_cast<double>(Number.Integer);
    return true;
  }
  if (Operand.Kind != okText) return false;
  if (Domain == fdTime) {
    try {
      Value = StrToTime(Operand.Text);
      return true;
    } catch (const EConvertError&) {
      // not a time alone: perhaps a date and time, whose time part counts
    }
  }
  return TryStrToDateTime(Operand.Text, Value);
}

// The constant a literal stands for when compared with a field of Type in Domain.
TKlvFilterSide LiteralSide(const TKlvFilterOperand& Operand, TKlvFilterDomain Domain,
                           TFieldType Type, bool MayBePrefix, const TKlvFilterSettings& Settings) {
  TKlvFilterSide Side;
  TKlvFilterValue& Value = Side.Constant;
  auto Mismatch = [&]() {
    FilterError(Operand.Position, std::string(DomainName(Domain)) + " value expected");
  };
  switch (Domain) {
  case fdText:
    if (Operand.Kind != okText) Mismatch();
    Side.ConstantText = Operand.Text;
    if (MayBePrefix && !Settings.NoPartialCompare && !Side.ConstantText.empty() &&
        Side.ConstantText.back() == '*') {
      Side.Prefix = true;
      Side.ConstantText.pop_back();
    }
    Side.UpperText = AnsiUpperCase(Side.ConstantText);
    Value.Null = false;
    break;
  case fdNumber:
    if ((Operand.Kind != okNumber && Operand.Kind != okText) || !ParseNumber(Operand.Text, Value))
      Mismatch();
    if (Value.IsFloat && Type == ftFloat) Value.Float = AsStored(Value.Float);
    break;
  case fdBoolean: {
    const std::string Upper = AnsiUpperCase(Operand.Text);
    if (Operand.Kind == okBoolean)
      Value.Integer = Operand.Text == KLVTRUETEXT;
    else if (Operand.Kind == okText && (Upper == "T" || Upper == "TRUE"))
      Value.Integer = 1;
    else if (Operand.Kind == okText && (Upper == "F" || Upper == "FALSE"))
      Value.Integer = 0;
    else
      Mismatch();
    Value.Null = false;
    break;
  }
  case fdDate:
  case fdTime:
  case fdDateTime: {
    double DateTime = 0;
    if (!ParseDateTime(Operand, Domain, DateTime)) Mismatch();
    Value.Null = false;
    TTimeStamp Stamp;
    if (!TryDateTimeToTimeStamp(DateTime, Stamp)) Mismatch();
    if (Domain == fdDateTime) {
      // A date-time slot holds milliseconds since 1 January 0001, as the field hands it over.
      Value.IsFloat = true;
      Value.Float = AsStored(static_cast<double>(TimeStampToMSecs(Stamp)));
      break;
    }
    Value.Integer = Domain == fdDate ? Stamp.Date : Stamp.Time;
    break;
  }
  }
  return Side;
}

TKlvFilterCompare Mirrored(TKlvFilterCompare Compare) {
  switch (Compare) {
  case fcLess:
    return fcGreater;
  case fcLessEqual:
    return fcGreaterEqual;
  case fcGreater:
    return fcLess;
  case fcGreaterEqual:
    return fcLessEqual;
  default:
    return Compare;
  }
}

} // namespace

bool FilterTextIsBlank(const std::string& Text) {
  return Text.find_first_not_of(" \t\r\n") == std::string::npos;
}

TKlvFilterProgram::TKlvFilterProgram(const std::string& Text, const TKlvFilterSettings& Settings,
                                     const TKlvFilterFieldResolver& Resolve)
    : FSettings(Settings) {
  const std::unique_ptr<TKlvFilterNode> Root = ParseFilter(Text);
  FRoot = Compile(*Root, Resolve);
}

std::int32_t TKlvFilterProgram::Compile(const TKlvFilterNode& Node,
                                        const TKlvFilterFieldResolver& Resolve) {
  TKlvFilterStep Step;
  Step.Kind = Node.Kind;
  Step.Compare = Node.Compare;
  Step.Negated = Node.Negated;
  if (Node.Kind == nkAnd || Node.Kind == nkOr || Node.Kind == nkNot) {
    Step.Left = Compile(*Node.Left, Resolve);
    if (Node.Right) Step.Right = Compile(*Node.Right, Resolve);
    FSteps.push_back(std::move(Step));
    return static_cast<std::int32_t>(FSteps.size() - 1);
  }

  auto FieldSide = [&](const TKlvFilterOperand& Operand) {
    TKlvFilterSide Side;
    Side.IsField = true;
    if (!Resolve(Operand.Text, Side.Field))
      FilterError(Operand.Position, "unknown field '" + Operand.Text + "'");
    return Side;
  };

  // The subject is the first field named; a comparison written "literal op field" is
  // turned round so that the field comes first.
  std::vector<TKlvFilterOperand> Operands = Node.Operands;
  if (Operands[0].Kind != okField) {
    if (Node.Kind == nkCompare && Operands[1].Kind == okField) {
      std::swap(Operands[0], Operands[1]);
      Step.Compare = Mirrored(Step.Compare);
    } else {
      FilterError(Operands[0].Position, "field name expected");
    }
  }
  Step.Sides.push_back(FieldSide(Operands[0]));
  const TFieldType SubjectType = Step.Sides[0].Field.Type;
  Step.Domain = DomainOf(SubjectType, Operands[0]);
  const bool MayBePrefix =
      Node.Kind == nkIn || Step.Compare == fcEqual || Step.Compare == fcNotEqual;
  for (std::size_t I = 1; I < Operands.size(); ++I) {
    const TKlvFilterOperand& Operand = Operands[I];
    if (Operand.Kind != okField) {
      Step.Sides.push_back(LiteralSide(Operand, Step.Domain, SubjectType, MayBePrefix, FSettings));
      continue;
    }
    TKlvFilterSide Other = FieldSide(Operand);
    const TKlvFilterDomain OtherDomain = DomainOf(Other.Field.Type, Operand);
    if (OtherDomain != Step.Domain)
      FilterError(Operand.Position, "cannot compare " + std::string(DomainName(Step.Domain)) +
                                        " with " + DomainName(OtherDomain));
    Step.Sides.push_back(std::move(Other));
  }
  FSteps.push_back(std::move(Step));
  return static_cast<std::int32_t>(FSteps.size() - 1);
}

} // namespace kelva
