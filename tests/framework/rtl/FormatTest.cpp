// Tests of Format: every specifier part (index, '-', width, precision, '*'), the types s, d,
// u, x and %%, and the exact errors for bad formats and missing arguments.
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace kelva {
namespace {

struct FormatCase {
  const char* Fmt;
  std::vector<Variant> Args;
  const char* Expected;
};

TEST(Format, ProducesTheExpectedText) {
  const std::vector<FormatCase> Cases = {
      {"Field '%s' not found", {"X"}, "Field 'X' not found"},
      {"%d", {5}, "5"},
      {"%5d/%-5d/%.3d", {5, 5, 5}, "    5/5    /005"},
      {"100%%", {}, "100%"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%x", {255}, "FF"},
      {"No field descrition in '%s' ", {""}, "No field descrition in '' "},
      {"plain text", {}, "plain text"},
      {"", {1}, ""},
      {"%s%s", {"a", "b", "ignored"}, "ab"},
      {"%%%s%%", {"x"}, "%x%"},
      {"%d", {-5}, "-5"},
      {"%.3d", {-5}, "-005"},
      {"%.1d", {123}, "123"},
      {"%.0d", {0}, "0"},
      {"%6.3d|", {-5}, "  -005|"},
      {"%d", {std::numeric_limits<std::int32_t>::min()}, "-2147483648"},
      {"%d", {Variant(std::numeric_limits<std::int64_t>::min())}, "-9223372036854775808"},
      {"%u", {7}, "7"},
      {"%u", {-1}, "4294967295"},
      {"%u", {Variant(std::int64_t{5000000000})}, "5000000000"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {Variant(std::int64_t{-1})}, "FFFFFFFFFFFFFFFF"},
      {"%.4x", {255}, "00FF"},
      {"%-4x|", {10}, "A   |"},
      {"%5s|%-5s|", {"ab", "cd"}, "   ab|cd   |"},
      {"%1s", {"abc"}, "abc"},
      {"%.2s", {"abc"}, "ab"},
      {"%.0s|", {"abc"}, "|"},
      {"%5.2s|", {"abc"}, "   ab|"},
      {"%.2s", {"\xC3\xA9t\xC3\xA9"}, "\xC3\xA9"},            // 2-byte character kept whole
      {"%.1s|", {"\xC3\xA9t\xC3\xA9"}, "|"},                  // never split
      {"%.3s", {"\xE2\x82\xAC\xE2\x82\xAC"}, "\xE2\x82\xAC"}, // 3-byte character
      {"%*d", {4, 7}, "   7"},
      {"%-*d|", {3, 7}, "7  |"},
      {"%*d|", {-3, 7}, "7  |"}, // a negative '*' width aligns left
      {"%.*d", {3, 7}, "007"},
      {"%*.*d", {5, 3, 7}, "  007"},
      {"%2:s %s %0:s %s", {"a", "b", "c", "d"}, "c d a b"}, // unindexed continue after the index
      {"%1:d %d", {1, 2, 3}, "2 3"},
      {"%S %D %X", {"s", 1, 31}, "s 1 1F"}, // type letters in either case
  };
  for (const FormatCase& Case : Cases) {
    EXPECT_EQ(Format(Case.Fmt, Case.Args), Case.Expected) << '"' << Case.Fmt << '"';
  }
}

TEST(Format, InitializerListOverloadMatchesVector) {
  EXPECT_EQ(Format("%s=%d", {"a", 1}), "a=1");
}

struct ErrorCase {
  const char* Fmt;
  std::vector<Variant> Args;
};

std::string ConvertErrorOf(const std::string& Fmt, const std::vector<Variant>& Args) {
  try {
    (void)Format(Fmt, Args);
  } catch (const EConvertError& Error) {
    return Error.Message();
  }
  return "<no exception>";
}

TEST(Format, IncompatibleOrInvalidSpecifiersRaiseInvalidFormat) {
  const std::vector<ErrorCase> Cases = {
      {"%s", {5}},
      {"%d", {"5"}},
      {"%d", {5.0}},
      {"%x", {true}},
      {"%s", {Null()}},
      {"%d", {Unassigned()}},
      {"%u", {Variant(Currency::FromScaled(10000))}},
      {"%q", {1}},   // unknown type
      {"%f", {1.5}}, // not a supported type
      {"abc%", {}},  // incomplete
      {"%5", {1}},
      {"%-", {1}},
      {"%1:", {1, 2}},
      {"%:d", {1}},      // an index needs digits
      {"%5-d", {1}},     // '-' comes before the width
      {"%*d", {"4", 1}}, // '*' takes an integer
      {"%99999999999d", {1}},
      {"%*d", {Variant(std::int64_t{1} << 40), 1}}, // a width that would exhaust memory
  };
  for (const ErrorCase& Case : Cases) {
    EXPECT_EQ(ConvertErrorOf(Case.Fmt, Case.Args),
              "Format '" + std::string(Case.Fmt) + "' invalid or incompatible with argument")
        << '"' << Case.Fmt << '"';
  }
}

TEST(Format, MissingArgumentsRaiseArgumentMissing) {
  const std::vector<ErrorCase> Cases = {
      {"%s-%s", {"a"}}, {"%d", {}},        {"%2:s", {"a", "b"}},
      {"%*d", {5}},     {"%*:d", {-1, 5}}, {"%1:s %s", {"a", "b"}},
  };
  for (const ErrorCase& Case : Cases) {
    EXPECT_EQ(ConvertErrorOf(Case.Fmt, Case.Args),
              "No argument for format '" + std::string(Case.Fmt) + "'")
        << '"' << Case.Fmt << '"';
  }
}

} // namespace
} // namespace kelva
