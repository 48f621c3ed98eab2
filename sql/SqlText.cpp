// Rewriting an SQL text's parameters into the driver's numbered form, and quoting names.
#include "kelva/sql/SqlText.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <cctype>

namespace kelva {

namespace {

bool IsNameChar(char C) {
  return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

// The index just past the quoted part that starts at Start with the quote Quote (a doubled
// quote stays inside).
std::size_t SkipQuoted(const std::string& SQL, std::size_t Start, char Quote) {
  std::size_t I = Start + 1;
  while (I < SQL.size()) {
    if (SQL[I] == Quote) {
      if (I + 1 < SQL.size() && SQL[I + 1] == Quote) {
        I += 2;
        continue;
      }
      return I + 1;
    }
    ++I;
  }
  return I;
}

} // namespace

TSqlParsed ParseSqlParameters(const std::string& SQL, char Prefix) {
  TSqlParsed Parsed;
  Parsed.SQL.reserve(SQL.size() + 8);
  std::size_t I = 0;
  while (I < SQL.size()) {
    const char C = SQL[I];
    if (C == '\'' || C == '"') {
      const std::size_t End = SkipQuoted(SQL, I, C);
      Parsed.SQL.append(SQL, I, End - I);
      I = End;
    } else if (C == '-' && I + 1 < SQL.size() && SQL[I + 1] == '-') {
      const std::size_t End = SQL.find('\n', I);
      const std::size_t Stop = End == std::string::npos ? SQL.size() : End;
      Parsed.SQL.append(SQL, I, Stop - I);
      I = Stop;
    } else if (C == '/' && I + 1 < SQL.size() && SQL[I + 1] == '*') {
      const std::size_t End = SQL.find("*/", I + 2);
      const std::size_t Stop = End == std::string::npos ? SQL.size() : End + 2;
      Parsed.SQL.append(SQL, I, Stop - I);
      I = Stop;
    } else if (C == '?') {
      Parsed.ParamNames.emplace_back();
      Parsed.SQL += Prefix + std::to_string(Parsed.ParamNames.size());
      ++I;
    } else if (C == ':' && I + 1 < SQL.size() && SQL[I + 1] == ':') {
      Parsed.SQL += "::"; // a cast, not a parameter
      I += 2;
    } else if (C == ':' && I + 1 < SQL.size() && IsNameChar(SQL[I + 1]) &&
               (I == 0 || !IsNameChar(SQL[I - 1]))) {
      std::size_t End = I + 1;
      while (End < SQL.size() && IsNameChar(SQL[End])) ++End;
      Parsed.ParamNames.push_back(UpperCase(SQL.substr(I + 1, End - I - 1)));
      Parsed.SQL += Prefix + std::to_string(Parsed.ParamNames.size());
      I = End;
    } else {
      Parsed.SQL += C;
      ++I;
    }
  }
  return Parsed;
}

std::string QuoteIdentifier(const std::string& Name) {
  if (Name.empty() || Name.find('\0') != std::string::npos)
    DatabaseError("Invalid SQL identifier '" + Name + "'");
  std::string Quoted = "\"";
  for (char C : Name) {
    if (C == '"') Quoted += '"';
    Quoted += C;
  }
  return Quoted + '"';
}

} // namespace kelva
