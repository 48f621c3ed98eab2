// The filter language's syntax tree: what the parser reads from a filter text before any
// field name is looked up. Every node and operand keeps the 1-based position of its text,
// so that errors found later can still point at it.
#pragma once

#include "kelva/framework/rtl/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

enum TKlvFilterCompare : std::uint8_t {
  fcEqual,
  fcNotEqual,
  fcLess,
  fcLessEqual,
  fcGreater,
  fcGreaterEqual
};

enum TKlvFilterOperandKind : std::uint8_t { okField, okText, okNumber, okBoolean };

struct TKlvFilterOperand {
  TKlvFilterOperandKind Kind = okField;
  std::string Text; // field name, literal text, number text, or "T"/"F" for a boolean
  std::size_t Position = 0;
};

enum TKlvFilterNodeKind : std::uint8_t { nkAnd, nkOr, nkNot, nkCompare, nkIsNull, nkIn };

struct TKlvFilterNode {
  TKlvFilterNodeKind Kind = nkCompare;
  std::size_t Position = 0;
  TKlvFilterCompare Compare = fcEqual;         // nkCompare
  bool Negated = false;                        // nkIsNull: "is not null"; nkIn: "not in"
  std::vector<TKlvFilterOperand> Operands;     // nkCompare: 2; nkIsNull: 1; nkIn: subject, list
  std::unique_ptr<TKlvFilterNode> Left, Right; // nkAnd, nkOr: both; nkNot: Left
};

// Raises the filter error: an EDatabaseError whose message names the position.
[[noreturn]] void FilterError(std::size_t Position, const std::string& What);

// Reads a whole filter text; raises FilterError for the first syntax error. The text must
// not be blank (a blank filter text means no expression and is never parsed).
std::unique_ptr<TKlvFilterNode> ParseFilter(const std::string& Text);

} // namespace kelva
