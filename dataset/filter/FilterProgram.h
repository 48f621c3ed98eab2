// A filter expression compiled against a dataset's record layout: field names resolved to
// slots, literals converted once into the values their fields hold. Matches() then reads a
// record image's slot texts directly, without the field objects or variants.
#pragma once

#include "kelva/dataset/filter/FilterSyntax.h"
#include "kelva/dataset/schema/FieldLayout.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

// What the compiler needs to know of a field the expression names.
struct TKlvFilterField {
  TFieldType Type = ftUnknown;
  TKlvFieldInfo Slot{1, 1};
};

// Finds a field by name: false when there is none. A field without a slot (calculated,
// lookup) or of an unknown type is reported with Type ftUnknown.
using TKlvFilterFieldResolver = std::function<bool(const std::string& Name, TKlvFilterField&)>;

struct TKlvFilterSettings {
  bool CaseInsensitive = false;
  bool NoPartialCompare = false; // a trailing '*' is then an ordinary character
};

// A value as the evaluator compares it. Numbers are whole (Integer) or not (Float); dates
// are day numbers and times milliseconds, both whole; booleans are 0 and 1.
struct TKlvFilterValue {
  bool Null = true;
  bool IsFloat = false;
  std::int64_t Integer = 0;
  double Float = 0;
  std::string_view Text;
};

// Kinds of value that may be compared with one another.
enum TKlvFilterDomain : std::uint8_t { fdText, fdNumber, fdBoolean, fdDate, fdTime, fdDateTime };

// One side of a comparison: a field's slot or a constant.
struct TKlvFilterSide {
  bool IsField = false;
  TKlvFilterField Field;
  TKlvFilterValue Constant;
  std::string ConstantText; // a text constant (Constant.Text is set when it is compared)
  std::string UpperText;    // the constant text upper-cased, for comparisons ignoring case
  bool Prefix = false;      // a text constant that ended in '*': matches texts it begins
};

struct TKlvFilterStep {
  TKlvFilterNodeKind Kind = nkCompare;
  TKlvFilterCompare Compare = fcEqual;
  bool Negated = false;
  TKlvFilterDomain Domain = fdText;
  std::int32_t Left = -1, Right = -1; // steps: nkAnd, nkOr, nkNot (Left)
  std::vector<TKlvFilterSide> Sides;  // nkCompare: 2; nkIsNull: 1; nkIn: subject, list
};

class TKlvFilterProgram {
public:
  // Compiles Text (not blank); raises FilterError for a syntax error, an unknown field or a
  // literal that does not fit its field.
  TKlvFilterProgram(const std::string& Text, const TKlvFilterSettings& Settings,
                    const TKlvFilterFieldResolver& Resolve);

  // True when the record image satisfies the expression. A comparison involving a null is
  // neither true nor false: "not" leaves it so, and only a true result accepts the record.
  bool Matches(const char* Image) const;

private:
  enum TTruth : std::uint8_t { tvFalse, tvTrue, tvUnknown };

  std::int32_t Compile(const TKlvFilterNode& Node, const TKlvFilterFieldResolver& Resolve);
  TTruth Evaluate(std::int32_t Step, const char* Image) const;
  TTruth EvaluateCompare(const TKlvFilterStep& Step, const char* Image) const;
  TTruth EvaluateIn(const TKlvFilterStep& Step, const char* Image) const;
  bool TextEqual(const TKlvFilterSide& Side, std::string_view Record,
                 const TKlvFilterValue& Other) const;

  TKlvFilterSettings FSettings;
  std::vector<TKlvFilterStep> FSteps;
  std::int32_t FRoot = -1;
};

// True when Text is blank: a filter text that means no expression.
bool FilterTextIsBlank(const std::string& Text);

} // namespace kelva
