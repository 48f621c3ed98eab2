// Format: copies a format text, replacing each %[index:][-][width][.precision]type specifier
// with one of the Variant arguments (types s, d, u, x, and %% for a percent sign).
#include "kelva/framework/rtl/SysUtils.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace kelva {

namespace {

// Digits of Value in base 10 or 16 (upper case), without sign.
std::string UnsignedDigits(std::uint64_t Value, unsigned Base) {
  char Buffer[24];
  char* End = Buffer + sizeof Buffer;
  char* Begin = End;
  do {
    *--Begin = "0123456789ABCDEF"[Value % Base];
    Value /= Base;
  } while (Value != 0);
  return std::string(Begin, End);
}

// One run of Format over one format text and its arguments.
class Formatter {
public:
  Formatter(const std::string& Fmt, const Variant* Args, std::size_t ArgCount)
      : FFmt(Fmt), FArgs(Args), FArgCount(ArgCount) {}

  std::string Run() {
    std::string Result;
    Result.reserve(FFmt.size());
    while (FPos < FFmt.size()) {
      const std::size_t Percent = FFmt.find('%', FPos);
      if (Percent == std::string::npos) {
        Result.append(FFmt, FPos);
        break;
      }
      Result.append(FFmt, FPos, Percent - FPos);
      FPos = Percent + 1;
      AppendSpecifier(Result);
    }
    return Result;
  }

private:
  // A number of a specifier (index, width or precision): written digits or '*'.
  struct Count {
    bool Present = false;
    std::int64_t Value = 0;
  };

  [[noreturn]] void InvalidFormat() const { throw EConvertError(Format(SInvalidFormat, {FFmt})); }
  [[noreturn]] void ArgumentMissing() const {
    throw EConvertError(Format(SArgumentMissing, {FFmt}));
  }

  char Peek() const { return FPos < FFmt.size() ? FFmt[FPos] : '\0'; }

  // The next argument; an explicit index moves the position all later specifiers continue from.
  const Variant& TakeArgument() {
    if (FNextArg < 0 || static_cast<std::uint64_t>(FNextArg) >= FArgCount) ArgumentMissing();
    return FArgs[FNextArg++];
  }

  static bool IsIntegerArgument(const Variant& V) {
    return V.VarType() == varInteger || V.VarType() == varInt64;
  }

  Count ReadCount() {
    Count Result;
    if (Peek() == '*') {
      ++FPos;
      const Variant& Arg = TakeArgument();
      if (!IsIntegerArgument(Arg)) InvalidFormat();
      Result.Present = true;
      Result.Value = Arg.AsInt64();
      // The same bound as for written numbers: a width must not exhaust memory.
      if (Result.Value > std::numeric_limits<std::int32_t>::max() ||
          Result.Value < -std::numeric_limits<std::int32_t>::max())
        InvalidFormat();
      return Result;
    }
    while (Peek() >= '0' && Peek() <= '9') {
      Result.Present = true;
      Result.Value = Result.Value * 10 + (FFmt[FPos++] - '0');
      if (Result.Value > std::numeric_limits<std::int32_t>::max()) InvalidFormat();
    }
    return Result;
  }

  void AppendSpecifier(std::string& Result) {
    if (Peek() == '%') {
      ++FPos;
      Result.push_back('%');
      return;
    }
    Count First = ReadCount();
    if (Peek() == ':') {
      if (!First.Present) InvalidFormat();
      ++FPos;
      FNextArg = First.Value;
      First = Count{};
    }
    bool LeftAlign = false;
    if (!First.Present) {
      if (Peek() == '-') {
        ++FPos;
        LeftAlign = true;
      }
      First = ReadCount();
    }
    std::int64_t Width = First.Present ? First.Value : 0;
    if (Width < 0) { // only through '*': a negative width aligns left, as in C
      LeftAlign = true;
      Width = -Width;
    }
    std::int64_t Precision = -1;
    if (Peek() == '.') {
      ++FPos;
      const Count Written = ReadCount();
      Precision = Written.Present ? Written.Value : 0;
    }
    if (FPos >= FFmt.size()) InvalidFormat();
    const char Type = FFmt[FPos++];

    std::string Text = FormatArgument(Type, Precision);
    const auto Padding = static_cast<std::size_t>(Width);
    if (Text.size() < Padding) {
      if (LeftAlign)
        Text.append(Padding - Text.size(), ' ');
      else
        Text.insert(0, Padding - Text.size(), ' ');
    }
    Result += Text;
  }

  // The text of one argument before padding to the width; Precision < 0 means none.
  std::string FormatArgument(char Type, std::int64_t Precision) {
    switch (Type) {
    case 's':
    case 'S': {
      const Variant& Arg = TakeArgument();
      if (Arg.VarType() != varString) InvalidFormat();
      std::string Text = Arg.AsString();
      if (Precision >= 0)
        Text.resize(
            Utf8TruncatedLength(Text.data(), Text.size(), static_cast<std::size_t>(Precision)));
      return Text;
    }
    case 'd':
    case 'D':
    case 'u':
    case 'U':
    case 'x':
    case 'X':
      return FormatInteger(Type, Precision);
    default:
      InvalidFormat();
    }
  }

  std::string FormatInteger(char Type, std::int64_t Precision) {
    const Variant& Arg = TakeArgument();
    if (!IsIntegerArgument(Arg)) InvalidFormat();
    const std::int64_t Value = Arg.AsInt64();
    const bool Is32Bit = Arg.VarType() == varInteger;
    const char Lower = static_cast<char>(Type | 0x20);

    bool Negative = false;
    std::uint64_t Magnitude = 0;
    if (Lower == 'd') {
      Negative = Value < 0;
      Magnitude =
          Negative ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
    } else {
      // 'u' and 'x' show a negative value as its two's-complement pattern of the argument's width.
      Magnitude = Is32Bit ? static_cast<std::uint32_t>(Value) : static_cast<std::uint64_t>(Value);
    }
    std::string Digits = UnsignedDigits(Magnitude, Lower == 'x' ? 16 : 10);
    if (Precision > 0 && Digits.size() < static_cast<std::size_t>(Precision))
      Digits.insert(0, static_cast<std::size_t>(Precision) - Digits.size(), '0');
    if (Negative) Digits.insert(0, 1, '-');
    return Digits;
  }

  const std::string& FFmt;
  const Variant* FArgs;
  std::size_t FArgCount;
  std::size_t FPos = 0;
  std::int64_t FNextArg = 0;
};

} // namespace

std::string Format(const std::string& Fmt, std::initializer_list<Variant> Args) {
  return Formatter(Fmt, Args.begin(), Args.size()).Run();
}

std::string Format(const std::string& Fmt, const std::vector<Variant>& Args) {
  return Formatter(Fmt, Args.data(), Args.size()).Run();
}

} // namespace kelva
