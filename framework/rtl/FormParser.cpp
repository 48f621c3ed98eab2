// Recursive-descent parser of form files into TFormObject trees. The depth of recursion is
// bounded by MaxFormNestingDepth, checked before each deeper level is entered.
#include "kelva/framework/rtl/FormParser.h"

#include "kelva/framework/rtl/FormLexer.h"

#include <limits>

namespace kelva {

namespace {

class TFormParser {
public:
  explicit TFormParser(std::string_view Text) : FLexer(Text) { Advance(); }

  TFormObject ParseRoot() {
    TFormObject Root = ParseObject(1);
    if (FToken.Kind != TFormTokenKind::EndOfText)
      Fail("end of text expected after the last 'end' but " + FToken.Describe() + " found");
    return Root;
  }

private:
  [[noreturn]] void Fail(const std::string& What) const { FormSyntaxError(FToken.Line, What); }
  void Advance() { FToken = FLexer.Next(); }
  [[noreturn]] void Expected(const std::string& What) const {
    Fail(What + " expected but " + FToken.Describe() + " found");
  }
  void SkipSymbol(char C) {
    if (!FToken.IsSymbol(C)) Expected(std::string("'") + C + "'");
    Advance();
  }
  std::string TakeIdentifier(const char* What) {
    if (FToken.Kind != TFormTokenKind::Identifier) Expected(What);
    std::string Name = std::move(FToken.Text);
    Advance();
    return Name;
  }
  bool IsKeyword() const {
    return FToken.IsWord("object") || FToken.IsWord("end") || FToken.IsWord("item");
  }
  void CheckDepth(int Depth) const {
    if (Depth > MaxFormNestingDepth)
      Fail("nesting deeper than " + std::to_string(MaxFormNestingDepth) + " levels");
  }

  TFormObject ParseObject(int Depth) {
    CheckDepth(Depth);
    if (!FToken.IsWord("object")) Expected("'object'");
    TFormObject Object;
    Object.Line = FToken.Line;
    Advance();
    std::string First = TakeIdentifier("component name");
    if (FToken.IsSymbol(':')) {
      Advance();
      Object.Name = std::move(First);
      Object.ClassName = TakeIdentifier("class name");
    } else {
      Object.ClassName = std::move(First);
    }
    while (!FToken.IsWord("end")) {
      if (FToken.Kind == TFormTokenKind::EndOfText) Expected("'end'");
      if (FToken.IsWord("object"))
        Object.Children.push_back(ParseObject(Depth + 1));
      else
        Object.Properties.push_back(ParseProperty(Depth));
    }
    Advance();
    return Object;
  }

  TFormProperty ParseProperty(int Depth) {
    TFormProperty Property;
    Property.Line = FToken.Line;
    Property.Name = TakeIdentifier("property name");
    while (FToken.IsSymbol('.')) {
      Advance();
      Property.Name += '.';
      Property.Name += TakeIdentifier("property name after '.'");
    }
    SkipSymbol('=');
    Property.Value = ParseValue(Depth);
    return Property;
  }

  TFormValue ParseValue(int Depth) {
    TFormValue Value;
    Value.Line = FToken.Line;
    switch (FToken.Kind) {
    case TFormTokenKind::Integer:
      Value.Kind = TFormValueKind::Integer;
      Value.Integer = FToken.Integer;
      Advance();
      return Value;
    case TFormTokenKind::Float:
      Value.Kind = TFormValueKind::Float;
      Value.Float = FToken.Float;
      Advance();
      return Value;
    case TFormTokenKind::String:
      Value.Kind = TFormValueKind::String;
      Value.Text = ParseString();
      return Value;
    case TFormTokenKind::Identifier:
      // A keyword here means the value was left out.
      if (IsKeyword()) Expected("value");
      Value.Kind = TFormValueKind::Identifier;
      Value.Text = TakeIdentifier("value");
      return Value;
    default:
      break;
    }
    if (FToken.IsSymbol('-')) {
      // Negative numbers are single tokens; only the infinity has a sign of its own.
      Advance();
      if (!FToken.IsWord("Inf")) Expected("number after '-'");
      Advance();
      Value.Kind = TFormValueKind::Float;
      Value.Float = -std::numeric_limits<double>::infinity();
      return Value;
    }
    if (FToken.IsSymbol('[')) {
      Value.Kind = TFormValueKind::Set;
      ParseSet(Value);
    } else if (FToken.IsSymbol('(')) {
      Value.Kind = TFormValueKind::List;
      ParseList(Value);
    } else if (FToken.IsSymbol('<')) {
      Value.Kind = TFormValueKind::Collection;
      ParseCollection(Value, Depth + 1);
    } else {
      Expected("value");
    }
    return Value;
  }

  // One string token, or several joined by '+'.
  std::string ParseString() {
    std::string Text = std::move(FToken.Text);
    Advance();
    while (FToken.IsSymbol('+')) {
      Advance();
      if (FToken.Kind != TFormTokenKind::String) Expected("string after '+'");
      if (Text.size() + FToken.Text.size() > MaxFormStringBytes)
        Fail("string longer than " + std::to_string(MaxFormStringBytes) + " bytes");
      Text += FToken.Text;
      Advance();
    }
    return Text;
  }

  void ParseSet(TFormValue& Value) {
    Advance(); // '['
    if (FToken.IsSymbol(']')) {
      Advance();
      return;
    }
    for (;;) {
      Value.Elements.push_back(TakeIdentifier("set element"));
      if (FToken.IsSymbol(']')) break;
      SkipSymbol(',');
    }
    Advance();
  }

  void ParseList(TFormValue& Value) {
    Advance(); // '('
    while (!FToken.IsSymbol(')')) {
      if (FToken.Kind != TFormTokenKind::String) Expected("string or ')'");
      Value.Elements.push_back(ParseString());
    }
    Advance();
  }

  void ParseCollection(TFormValue& Value, int Depth) {
    CheckDepth(Depth);
    Advance(); // '<'
    while (!FToken.IsSymbol('>')) {
      if (!FToken.IsWord("item")) Expected("'item' or '>'");
      TFormItem Item;
      Item.Line = FToken.Line;
      Advance();
      while (!FToken.IsWord("end")) {
        if (FToken.Kind == TFormTokenKind::EndOfText) Expected("'end'");
        Item.Properties.push_back(ParseProperty(Depth));
      }
      Advance();
      Value.Items.push_back(std::move(Item));
    }
    Advance();
  }

  TFormLexer FLexer;
  TFormToken FToken;
};

} // namespace

TFormObject ParseFormText(std::string_view Text) {
  return TFormParser(Text).ParseRoot();
}

const char* FormValueKindName(TFormValueKind Kind) {
  switch (Kind) {
  case TFormValueKind::Integer:
    return "integer";
  case TFormValueKind::Float:
    return "floating-point number";
  case TFormValueKind::String:
    return "string";
  case TFormValueKind::Identifier:
    return "identifier";
  case TFormValueKind::Set:
    return "set";
  case TFormValueKind::List:
    return "string list";
  case TFormValueKind::Collection:
    return "collection";
  }
  return "value";
}

} // namespace kelva
