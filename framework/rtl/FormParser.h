// Parser of the text form files that store a component tree: a root object, the components
// nested inside it and their published properties. Parsing only builds a tree of nodes, each
// with the line it starts on; nothing is created until FormReader walks the tree, so a syntax
// error (EParserError "Line N: <what is wrong>") leaves no trace.
//
// The format:
//
//   object FrmMain: TFrmMain          header: "object Name: ClassName" ("object ClassName"
//     Caption = 'It''s a caption'       for a component without a name), closed by "end"
//     ClientWidth = 437               integer: decimal, optional minus, 64 bits
//     Ratio = 2.5                     float: '.' and an optional exponent, never the locale's
//     Visible = False                   separator; also Inf, -Inf, NaN
//     Align = alClient                identifier: enumeration value, boolean, component
//     Options = [dgTitles, dgIndicator] set: element names in brackets
//     DataSource = DataSource1          reference (may name a component further down)
//     OnClick = Button1Click            event: a published method of the root's class
//     Title.Caption = 'Names'         dotted name: a property of an owned sub-object
//     MetaFields = (                  string list: one string per entry
//       'FIELD=POS,FLOAT,0'
//       'FIELD=NAME,CHAR,25')
//     Columns = <                     collection: items with their own properties
//       item
//         FieldName = 'NAME'
//       end>
//     object Panel1: TPanel           nested component
//     end
//   end
//
// Strings: single quotes, '' for a quote inside; the text between quotes must be valid UTF-8
// and on one line. #N (N = 0..255) outside the quotes stands for the byte N, written directly
// against its neighbours ('a'#13#10'b'); writers use it for control bytes and for bytes that
// are not valid UTF-8. A string may continue after '+' on the next line. Whitespace and line
// breaks between tokens are free; keywords (object, end, item) and names are case-insensitive.
// A file's nesting (objects and collections) is limited to MaxFormNestingDepth levels and a
// single string to MaxFormStringBytes bytes, so that hostile text cannot exhaust the stack or
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

inline constexpr int MaxFormNestingDepth = 100;
inline constexpr std::size_t MaxFormStringBytes = std::size_t{16} << 20;

enum class TFormValueKind : std::uint8_t {
  Integer,
  Float,
  String,
  Identifier,
  Set,
  List,
  Collection
};

struct TFormProperty;

struct TFormItem {
  int Line = 0;
  std::vector<TFormProperty> Properties;
};

struct TFormValue {
  TFormValueKind Kind = TFormValueKind::Integer;
  int Line = 0;
  std::int64_t Integer = 0;
  double Float = 0;
  std::string Text;                  // String: the bytes; Identifier: the name
  std::vector<std::string> Elements; // Set: the element names; List: the strings
  std::vector<TFormItem> Items;      // Collection
};

struct TFormProperty {
  std::string Name; // dotted for a sub-object's property ("Title.Caption")
  int Line = 0;
  TFormValue Value;
};

struct TFormObject {
  std::string Name; // empty for an unnamed component
  std::string ClassName;
  int Line = 0;
  std::vector<TFormProperty> Properties; // in file order
  std::vector<TFormObject> Children;     // in file order
};

// Parses a whole form text: exactly one top object and nothing after it.
TFormObject ParseFormText(std::string_view Text);

// "integer", "string", ... : how error messages name a kind of value.
const char* FormValueKindName(TFormValueKind Kind);

} // namespace kelva
