// A recursive-descent parser for filter texts. Precedence, lowest first: or, and, not,
// then one condition (a comparison, "is [not] null" or "[not] in (...)") or parentheses.
#include "kelva/dataset/filter/FilterLexer.h"
#include "kelva/dataset/filter/FilterSyntax.h"

#include "kelva/dataset/messages.h"
#include "kelva/framework/db/DBConsts.h"

#include <limits>

namespace kelva {

void FilterError(std::size_t Position, const std::string& What) {
  const auto Shown = static_cast<std::int32_t>(
      std::min<std::size_t>(Position, std::numeric_limits<std::int32_t>::max()));
  DatabaseErrorFmt(SKlvFilterError, {Shown, What});
}

namespace {

bool SameWord(const std::string& A, const char* Keyword) {
  std::size_t I = 0;
  for (; I < A.size() && Keyword[I] != '\0'; ++I) {
    const char C = A[I] >= 'a' && A[I] <= 'z' ? static_cast<char>(A[I] - 32) : A[I];
    const char K =
        Keyword[I] >= 'a' && Keyword[I] <= 'z' ? static_cast<char>(Keyword[I] - 32) : Keyword[I];
    if (C != K) return false;
  }
  return I == A.size() && Keyword[I] == '\0';
}

bool IsReserved(const std::string& Name) {
  for (const char* Word : {"and", "or", "not", "is", "null", "in", "true", "false"})
    if (SameWord(Name, Word)) return true;
  return false;
}

class TParser {
public:
  explicit TParser(const std::string& Text) : FLexer(Text) { Advance(); }

  std::unique_ptr<TKlvFilterNode> ParseAll() {
    auto Root = ParseOr();
    if (FToken.Kind != tkEnd) Fail("unexpected '" + FToken.Text + "'");
    return Root;
  }

private:
  TKlvFilterLexer FLexer;
  TKlvFilterToken FToken;

  void Advance() { FToken = FLexer.Next(); }
  [[noreturn]] void Fail(const std::string& What) const {
    FilterError(FToken.Position, FToken.Kind == tkEnd ? What + " (end of text)" : What);
  }
  bool AtKeyword(const char* Word) const {
    return FToken.Kind == tkName && SameWord(FToken.Text, Word);
  }
  void Expect(TKlvFilterTokenKind Kind, const char* Shown) {
    if (FToken.Kind != Kind) Fail(std::string("'") + Shown + "' expected");
    Advance();
  }

  static std::unique_ptr<TKlvFilterNode> Join(TKlvFilterNodeKind Kind, std::size_t Position,
                                              std::unique_ptr<TKlvFilterNode> Left,
                                              std::unique_ptr<TKlvFilterNode> Right) {
    auto Node = std::make_unique<TKlvFilterNode>();
    Node->Kind = Kind;
    Node->Position = Position;
    Node->Left = std::move(Left);
    Node->Right = std::move(Right);
    return Node;
  }

  std::unique_ptr<TKlvFilterNode> ParseOr() {
    auto Left = ParseAnd();
    while (AtKeyword("or")) {
      const std::size_t Position = FToken.Position;
      Advance();
      Left = Join(nkOr, Position, std::move(Left), ParseAnd());
    }
    return Left;
  }

  std::unique_ptr<TKlvFilterNode> ParseAnd() {
    auto Left = ParseNot();
    while (AtKeyword("and")) {
      const std::size_t Position = FToken.Position;
      Advance();
      Left = Join(nkAnd, Position, std::move(Left), ParseNot());
    }
    return Left;
  }

  std::unique_ptr<TKlvFilterNode> ParseNot() {
    if (AtKeyword("not")) {
      const std::size_t Position = FToken.Position;
      Advance();
      return Join(nkNot, Position, ParseNot(), nullptr);
    }
    if (FToken.Kind == tkOpen) {
      Advance();
      auto Inner = ParseOr();
      Expect(tkClose, ")");
      return Inner;
    }
    return ParseCondition();
  }

  TKlvFilterOperand ParseOperand() {
    TKlvFilterOperand Operand;
    Operand.Position = FToken.Position;
    switch (FToken.Kind) {
    case tkQuotedName:
      Operand.Kind = okField;
      break;
    case tkName:
      if (SameWord(FToken.Text, "true") || SameWord(FToken.Text, "false")) {
        Operand.Kind = okBoolean;
        // Built, then moved in: g++ 12 reports a false overlap (-Wrestrict) when a text
        // constant is assigned straight into the string here.
        Operand.Text = std::string(SameWord(FToken.Text, "true") ? KLVTRUETEXT : KLVFALSETEXT);
        Advance();
        return Operand;
      }
      if (IsReserved(FToken.Text)) Fail("field name or value expected");
      Operand.Kind = okField;
      break;
    case tkText:
      Operand.Kind = okText;
      break;
    case tkNumber:
      Operand.Kind = okNumber;
      break;
    case tkMinus:
      Advance();
      if (FToken.Kind != tkNumber) Fail("number expected");
      Operand.Kind = okNumber;
      Operand.Text = "-" + FToken.Text;
      Advance();
      return Operand;
    default:
      Fail("field name or value expected");
    }
    Operand.Text = FToken.Text;
    Advance();
    return Operand;
  }

  static TKlvFilterCompare CompareOf(const std::string& Sign) {
    if (Sign == "=") return fcEqual;
    if (Sign == "<>" || Sign == "!=") return fcNotEqual;
    if (Sign == "<") return fcLess;
    if (Sign == "<=") return fcLessEqual;
    if (Sign == ">") return fcGreater;
    return fcGreaterEqual;
  }

  std::unique_ptr<TKlvFilterNode> ParseCondition() {
    auto Node = std::make_unique<TKlvFilterNode>();
    Node->Position = FToken.Position;
    Node->Operands.push_back(ParseOperand());
    if (FToken.Kind == tkCompare) {
      Node->Kind = nkCompare;
      Node->Compare = CompareOf(FToken.Text);
      Advance();
      Node->Operands.push_back(ParseOperand());
      return Node;
    }
    if (AtKeyword("is")) {
      Advance();
      Node->Kind = nkIsNull;
      if (AtKeyword("not")) {
        Node->Negated = true;
        Advance();
      }
      if (!AtKeyword("null")) Fail("'null' expected");
      Advance();
      return Node;
    }
    if (AtKeyword("not")) {
      Node->Negated = true;
      Advance();
      if (!AtKeyword("in")) Fail("'in' expected");
    }
    if (AtKeyword("in")) {
      Node->Kind = nkIn;
      Advance();
      Expect(tkOpen, "(");
      Node->Operands.push_back(ParseOperand());
      while (FToken.Kind == tkComma) {
        Advance();
        Node->Operands.push_back(ParseOperand());
      }
      Expect(tkClose, ")");
      return Node;
    }
    Fail("comparison, 'is' or 'in' expected");
  }
};

} // namespace

std::unique_ptr<TKlvFilterNode> ParseFilter(const std::string& Text) {
  return TParser(Text).ParseAll();
}

} // namespace kelva
