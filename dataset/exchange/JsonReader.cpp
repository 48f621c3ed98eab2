// JSON input: a small reader of our own for exactly the shape the exports write (an array
// of flat objects), strict about everything else so that a damaged file is reported where
// it goes wrong instead of half read.
#include "kelva/dataset/exchange/JsonReader.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/dataset/exchange/ExchangeSupport.h"
#include "kelva/dataset/exchange/ExchangeValues.h"

#include <unordered_map>

namespace kelva {

namespace {

enum TJsonKind : std::uint8_t { jkString, jkNumber, jkTrue, jkFalse, jkNull };

struct TJsonValue {
  TJsonKind Kind = jkNull;
  std::string Text; // the string's content, or the number as written
};

class TJsonParser {
public:
  explicit TJsonParser(std::string_view Text) : FText(Text) {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
  }

  std::int32_t Line() const { return FLine; }

  [[noreturn]] void Fail(const std::string& Reason, std::int32_t AtLine = 0) const {
    DatabaseError("line " + std::to_string(AtLine ? AtLine : FLine) + ": " + Reason);
  }

  void SkipSpace() {
    while (FPos < FText.size()) {
      const char C = FText[FPos];
      if (C == '\n')
        ++FLine;
      else if (C != ' ' && C != '\t' && C != '\r')
        break;
      ++FPos;
    }
  }

  // The next character after white space, or '\0' at the end.
  char Peek() {
    SkipSpace();
    return FPos < FText.size() ? FText[FPos] : '\0';
  }

  void Expect(char C, const char* What) {
    if (Peek() != C) Fail(std::string("expected ") + What + Found());
    ++FPos;
  }

  bool AtEnd() { return Peek() == '\0' && FPos >= FText.size(); }

  std::string ReadString() {
    if (Peek() != '"') Fail("expected a string" + Found());
    ++FPos;
    std::string Out;
    for (;;) {
      if (FPos >= FText.size()) Fail("a string is not terminated");
      const char C = FText[FPos++];
      if (C == '"') break;
      if (static_cast<unsigned char>(C) < 0x20)
        Fail("a control character or line break inside a string must be escaped");
      if (C != '\\') {
        Out += C;
        continue;
      }
      if (FPos >= FText.size()) Fail("a string is not terminated");
      const char E = FText[FPos++];
      switch (E) {
      case '"':
      case '\\':
      case '/':
        Out += E;
        break;
      case 'b':
        Out += '\b';
        break;
      case 'f':
        Out += '\f';
        break;
      case 'n':
        Out += '\n';
        break;
      case 'r':
        Out += '\r';
        break;
      case 't':
        Out += '\t';
        break;
      case 'u':
        AppendUtf8(Out, ReadEscapedCodePoint());
        break;
      default:
        Fail(std::string("unknown escape '\\") + E + "' in a string");
      }
    }
    if (!IsValidUtf8(Out)) Fail("a string is not valid UTF-8");
    return Out;
  }

  TJsonValue ReadValue() {
    const char C = Peek();
    if (C == '"') return {jkString, ReadString()};
    if (C == '{' || C == '[') Fail("nested objects and arrays are not supported");
    if (C == '-' || (C >= '0' && C <= '9')) {
      const std::size_t Start = FPos;
      while (FPos < FText.size() &&
             std::string_view("+-.eE0123456789").find(FText[FPos]) != std::string_view::npos)
        ++FPos;
      TJsonValue Number{jkNumber, std::string(FText.substr(Start, FPos - Start))};
      if (!IsJsonNumber(Number.Text)) Fail("'" + Number.Text + "' is not a JSON number");
      return Number;
    }
    for (const auto& [Word, Kind] : {std::pair{std::string_view("true"), jkTrue},
                                     {std::string_view("false"), jkFalse},
                                     {std::string_view("null"), jkNull}})
      if (FText.substr(FPos, Word.size()) == Word) {
        FPos += Word.size();
        return {Kind, std::string(Word)};
      }
    Fail("expected a value" + Found());
  }

private:
  std::string Found() {
    if (FPos >= FText.size()) return ", found the end of the text";
    return std::string(", found '") + FText[FPos] + "'";
  }

  std::uint32_t ReadHex4() {
    if (FPos + 4 > FText.size()) Fail("a \\u escape needs four hexadecimal digits");
    std::uint32_t Code = 0;
    for (int I = 0; I < 4; ++I) {
      const char H = FText[FPos++];
      const std::string_view Digits = "0123456789abcdef";
      const std::size_t D = Digits.find(static_cast<char>(H | 0x20));
      if (D == std::string_view::npos) Fail("a \\u escape needs four hexadecimal digits");
      Code = Code * 16 + static_cast<std::uint32_t>(D);
    }
    return Code;
  }

  // A \u escape, joined with the low half that must follow a high surrogate.
  std::uint32_t ReadEscapedCodePoint() {
    const std::uint32_t Code = ReadHex4();
    if (Code >= 0xDC00 && Code <= 0xDFFF) Fail("a \\u escape holds a lone surrogate");
    if (Code < 0xD800 || Code > 0xDBFF) return Code;
    if (FText.substr(FPos, 2) != "\\u") Fail("a \\u escape holds a lone surrogate");
    FPos += 2;
    const std::uint32_t Low = ReadHex4();
    if (Low < 0xDC00 || Low > 0xDFFF) Fail("a \\u escape holds a lone surrogate");
    return 0x10000 + ((Code - 0xD800) << 10) + (Low - 0xDC00);
  }

  static void AppendUtf8(std::string& Out, std::uint32_t Code) {
    if (Code < 0x80) {
      Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
      Out += static_cast<char>(0xC0 | (Code >> 6));
      Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
      Out += static_cast<char>(0xE0 | (Code >> 12));
      Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
      Out += static_cast<char>(0xF0 | (Code >> 18));
      Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
      Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
  }

  std::string_view FText;
  std::size_t FPos = 0;
  std::int32_t FLine = 1;
};

// Converts one JSON value for Field; false with Reason when its kind or text does not fit.
bool JsonValueForField(const TField& Field, const TJsonValue& Json, Variant& Value,
                       std::string& Reason) {
  if (Json.Kind == jkNull) {
    Value = Null();
    return true;
  }
  const TKlvValueShape Shape = ValueShapeOf(Field);
  const bool KindFits = (Shape == vsText && Json.Kind == jkString) ||
                        (Shape == vsNumber && Json.Kind == jkNumber) ||
                        (Shape == vsBoolean && (Json.Kind == jkTrue || Json.Kind == jkFalse));
  if (!KindFits) {
    static const char* const Wanted[] = {"a string", "a number", "true or false"};
    Reason = "expected " + std::string(Wanted[Shape]) + ", found " +
             (Json.Kind == jkString ? "a string" : Json.Text);
    return false;
  }
  return ParseExchangeText(Field, Json.Text, Value, Reason);
}

// The column a key names. Every object repeats the same keys, so each spelling is matched
// against the field names (a locale-aware comparison) only the first time it is met.
class TKeyMap {
public:
  explicit TKeyMap(const std::vector<TField*>& Columns) : FColumns(Columns) {}
  // Columns().size() when no field has that name.
  std::size_t Find(const std::string& Key) {
    const auto Known = FKnown.find(Key);
    if (Known != FKnown.end()) return Known->second;
    std::size_t Found = FColumns.size();
    for (std::size_t F = 0; F < FColumns.size(); ++F)
      if (AnsiSameText(FColumns[F]->FieldName(), Key)) Found = F;
    FKnown.emplace(Key, Found);
    return Found;
  }

private:
  const std::vector<TField*>& FColumns;
  std::unordered_map<std::string, std::size_t> FKnown;
};

// Reads one object into a row of Columns' values.
std::vector<Variant> ReadObject(TJsonParser& Parser, const std::vector<TField*>& Columns,
                                TKeyMap& Keys) {
  const std::int32_t ObjectLine = Parser.Line();
  Parser.Expect('{', "'{' to start an object");
  std::vector<Variant> Row(Columns.size(), Null());
  std::vector<bool> Seen(Columns.size(), false);
  if (Parser.Peek() == '}') {
    Parser.Expect('}', "'}'");
    return Row;
  }
  for (;;) {
    const std::string Key = Parser.ReadString();
    const std::size_t Found = Keys.Find(Key);
    if (Found == Columns.size()) Parser.Fail("unknown field '" + Key + "'", ObjectLine);
    if (Seen[Found]) Parser.Fail("field '" + Key + "' appears twice", ObjectLine);
    Seen[Found] = true;
    Parser.Expect(':', "':' after a key");
    const TJsonValue Json = Parser.ReadValue();
    std::string Reason;
    if (!JsonValueForField(*Columns[Found], Json, Row[Found], Reason))
      Parser.Fail("field '" + Columns[Found]->FieldName() + "': " + Reason, ObjectLine);
    if (Parser.Peek() == '}') break;
    Parser.Expect(',', "',' or '}' after a value");
  }
  Parser.Expect('}', "'}'");
  return Row;
}

} // namespace

void ImportJson(TKelvaDataset& DataSet, TStream& Stream) {
  const std::string Text = ReadWholeStream(Stream);
  PrepareImportTarget(DataSet);
  TKlvStagedRows Rows(DataFields(DataSet));
  TJsonParser Parser(Text);
  TKeyMap Keys(Rows.Columns());
  Parser.Expect('[', "'[' to start the array of records");
  if (Parser.Peek() != ']') {
    for (;;) {
      if (Parser.Peek() != '{') Parser.Expect('{', "an object for each record");
      const std::int32_t ObjectLine = Parser.Line();
      std::vector<Variant> Row = ReadObject(Parser, Rows.Columns(), Keys);
      Rows.AddRow(std::move(Row), "line " + std::to_string(ObjectLine));
      if (Parser.Peek() == ']') break;
      Parser.Expect(',', "',' or ']' after a record");
    }
  }
  Parser.Expect(']', "']'");
  if (!Parser.AtEnd()) Parser.Fail("unexpected text after the array");
  Rows.LoadInto(DataSet);
}

void ImportJsonFile(TKelvaDataset& DataSet, const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead);
  ImportJson(DataSet, File);
}

} // namespace kelva
