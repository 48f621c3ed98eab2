// Number and currency texts: IntToStr, StrToInt, FloatToStr, StrToFloat, CurrToStr and
// StrToCurr, and the process-wide FormatSettings. Saved streams
// carry these texts, so every rule is exact; none of it depends on the C locale.
#include "kelva/framework/rtl/ConversionDetail.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace kelva {

// Plain (dynamically initialised) definition: no static initialiser of the framework formats
// numbers or dates before main().
TFormatSettings FormatSettings;

namespace detail {

void ThrowConvertError(const char* Msg, std::string_view Text) {
  throw EConvertError(Format(Msg, {Variant(std::string(Text))}));
}

void ThrowConvertError(const char* Msg) {
  throw EConvertError(Msg);
}

static bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

bool ScanDecimalText(const char* Text, std::size_t Length, char Separator, DecimalText& Out) {
  const char* P = Text;
  const char* End = Text + Length;
  while (P != End && *P == ' ') ++P;
  Out.Negative = false;
  if (P != End && (*P == '+' || *P == '-')) {
    Out.Negative = *P == '-';
    ++P;
  }
  Out.IntBegin = P;
  while (P != End && IsDigit(*P)) ++P;
  Out.IntEnd = P;
  Out.FracBegin = Out.FracEnd = P;
  if (P != End && *P == Separator) {
    ++P;
    Out.FracBegin = P;
    while (P != End && IsDigit(*P)) ++P;
    Out.FracEnd = P;
  }
  if (Out.IntEnd == Out.IntBegin && Out.FracEnd == Out.FracBegin) return false;
  Out.Exponent = 0;
  if (P != End && (*P == 'e' || *P == 'E')) {
    ++P;
    bool ExpNegative = false;
    if (P != End && (*P == '+' || *P == '-')) {
      ExpNegative = *P == '-';
      ++P;
    }
    if (P == End || !IsDigit(*P)) return false;
    std::int64_t E = 0;
    for (; P != End && IsDigit(*P); ++P)
      if (E < ExponentLimit) E = E * 10 + (*P - '0');
    if (E > ExponentLimit) E = ExponentLimit;
    Out.Exponent = ExpNegative ? -E : E;
  }
  Out.NumberEnd = P;
  while (P != End && *P == ' ') ++P;
  return P == End;
}

} // namespace detail

using detail::ThrowConvertError;

// ---------------------------------------------------------------------------------------
// Integers

std::size_t IntToStrBuf(std::int64_t Value, char* Buffer) {
  return static_cast<std::size_t>(std::to_chars(Buffer, Buffer + IntToStrBufSize, Value).ptr -
                                  Buffer);
}

std::string IntToStr(std::int32_t Value) {
  char Buffer[IntToStrBufSize];
  return std::string(Buffer, IntToStrBuf(Value, Buffer));
}

std::string IntToStr(std::int64_t Value) {
  char Buffer[IntToStrBufSize];
  return std::string(Buffer, IntToStrBuf(Value, Buffer));
}

static int HexDigitValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool TryStrToInt(const char* Text, std::size_t Length, std::int32_t& Value) {
  const char* P = Text;
  const char* End = Text + Length;
  while (P != End && *P == ' ') ++P;
  bool Negative = false;
  if (P != End && (*P == '+' || *P == '-')) {
    Negative = *P == '-';
    ++P;
  }
  if (P == End) return false;
  bool Hex = false;
  if (*P == '$') {
    Hex = true;
    ++P;
  } else if (*P == '0' && End - P >= 2 && (P[1] == 'x' || P[1] == 'X')) {
    Hex = true;
    P += 2;
  }
  if (P == End) return false; // no digits
  std::uint64_t Magnitude = 0;
  if (Hex) {
    // Up to FFFFFFFF, taken as the 32-bit two's-complement pattern.
    for (; P != End; ++P) {
      const int D = HexDigitValue(*P);
      if (D < 0) return false;
      Magnitude = Magnitude * 16 + static_cast<unsigned>(D);
      if (Magnitude > 0xFFFFFFFFu) return false;
    }
    std::uint32_t Pattern = static_cast<std::uint32_t>(Magnitude);
    if (Negative) Pattern = 0u - Pattern;
    Value = static_cast<std::int32_t>(Pattern);
    return true;
  }
  constexpr std::uint64_t Limit = std::uint64_t{1} << 31; // |INT32_MIN|
  for (; P != End; ++P) {
    if (!detail::IsDigit(*P)) return false;
    Magnitude = Magnitude * 10 + static_cast<unsigned>(*P - '0');
    if (Magnitude > Limit) return false;
  }
  if (Negative) {
    Value = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(Magnitude));
    return true;
  }
  if (Magnitude == Limit) return false;
  Value = static_cast<std::int32_t>(Magnitude);
  return true;
}

bool TryStrToInt(const std::string& S, std::int32_t& Value) {
  return TryStrToInt(S.data(), S.size(), Value);
}

std::int32_t StrToInt(const std::string& S) {
  std::int32_t Value;
  if (!TryStrToInt(S.data(), S.size(), Value)) ThrowConvertError(SInvalidInteger, S);
  return Value;
}

// ---------------------------------------------------------------------------------------
// FloatToStr

namespace {

char* CopyChars(char* Out, const char* Text, std::size_t Count) {
  std::memcpy(Out, Text, Count);
  return Out + Count;
}

// Reads the decimal exponent after the 'e' of a std::to_chars scientific text.
int ScientificExponent(const char* E, const char* End) {
  int Exponent = 0;
  for (const char* P = E + 2; P != End; ++P) Exponent = Exponent * 10 + (*P - '0');
  return E[1] == '-' ? -Exponent : Exponent;
}

// The first 15 significant digits of Value (positive, finite, not zero) as the FloatToStr rule
// takes them (18 correctly rounded digits, then half up on the 16th), before the rounding
// carry: Digits gets digits 1-15, Exponent the decimal exponent of the first one, and the
// result says whether the 15 digits must be rounded up.
//
// FromShortest is the fast way, for normal doubles. std::to_chars gives the shortest digits
// S that read back as Value, and of those the closest to Value; they have Value's decimal
// exponent (a shorter power of ten would be chosen otherwise). With at most 15 digits, S is
// the answer: S lies within half a binary unit of Value, less than 0.12 units of the 15th
// digit, so every rounding of Value to 15 digits gives S. With 16 or 17 digits, let t be
// digits 16 and 17 of S as a number 0-99, in units u of the 17th digit. S is the closest
// decimal of its length, so |S - Value| <= 0.5u (17 digits) or 5u (16 digits, t a multiple
// of ten), and the 18-digit rounding adds at most 0.05u: t <= 49 leaves the 16th digit of
// the 18 digits below 5 (or, for t near 0, the digits just below S round up to S), t >= 51
// at 5 or more. Only t = 50 needs the exact 18 digits (FromShortest returns false).
bool FromShortest(double Value, char (&Digits)[15], int& Exponent, bool& RoundUp) {
  char Short[32];
  const auto Result =
      std::to_chars(Short, Short + sizeof Short, Value, std::chars_format::scientific);
  // The exponent has two or three digits: "e+05", "e-324".
  const char* E = Result.ptr[-4] == 'e' ? Result.ptr - 4 : Result.ptr - 5;
  assert(Result.ec == std::errc() && *E == 'e');
  // Short is "d" or "d.ddd" then "e[+-]xx": the digits are Short[0] and Short[2 .. E).
  const int Count = E == Short + 1 ? 1 : static_cast<int>(E - Short) - 1;
  RoundUp = false;
  if (Count > 15) {
    const int Tail = (Short[16] - '0') * 10 + (Count > 16 ? Short[17] - '0' : 0);
    if (Tail == 50) return false;
    RoundUp = Tail > 50;
  }
  std::memset(Digits, '0', sizeof Digits);
  Digits[0] = Short[0];
  if (Count > 1)
    std::memcpy(Digits + 1, Short + 2, static_cast<std::size_t>(std::min(Count, 15) - 1));
  Exponent = ScientificExponent(E, Result.ptr);
  return true;
}

bool FifteenDigits(double Value, char (&Digits)[15], int& Exponent) {
  bool RoundUp;
  if (Value >= std::numeric_limits<double>::min() && FromShortest(Value, Digits, Exponent, RoundUp))
    return RoundUp;
  // The 18 most significant digits, correctly rounded: "d.ddddddddddddddddde[+-]x[xx]".
  char Sci[32];
  const auto Result =
      std::to_chars(Sci, Sci + sizeof Sci, Value, std::chars_format::scientific, 17);
  assert(Result.ec == std::errc() && Sci[19] == 'e');
  Exponent = ScientificExponent(Sci + 19, Result.ptr);
  Digits[0] = Sci[0];
  std::memcpy(Digits + 1, Sci + 2, 14);
  return Sci[16] >= '5';
}

} // namespace

std::size_t FloatToStrBuf(double Value, char* Buffer) {
  return FloatToStrBuf(Value, Buffer, FormatSettings.DecimalSeparator);
}

std::size_t FloatToStrBuf(double Value, char* Buffer, char Separator) {
  char* Out = Buffer;
  if (std::isnan(Value)) return static_cast<std::size_t>(CopyChars(Out, "NAN", 3) - Buffer);
  if (Value < 0) {
    *Out++ = '-';
    Value = -Value;
  }
  if (std::isinf(Value)) return static_cast<std::size_t>(CopyChars(Out, "INF", 3) - Buffer);
  if (Value == 0) { // -0.0 included: no sign
    Buffer[0] = '0';
    return 1;
  }
  // Integers below 10^15 have at most 15 digits and print exactly in fixed notation.
  if (Value < 1e15) {
    const auto Whole = static_cast<std::int64_t>(Value);
    if (static_cast<double>(Whole) == Value)
      return static_cast<std::size_t>(std::to_chars(Out, Out + 16, Whole).ptr - Buffer);
  }

  char Digits[15];
  int Exponent;
  if (FifteenDigits(Value, Digits, Exponent)) {
    // Round up; a carry out of the first digit gives "1" and the next exponent.
    int I = 14;
    while (I >= 0 && Digits[I] == '9') Digits[I--] = '0';
    if (I < 0) {
      Digits[0] = '1';
      ++Exponent;
    } else {
      ++Digits[I];
    }
  }
  int Count = 15;
  while (Count > 1 && Digits[Count - 1] == '0') --Count;

  if (Exponent >= -4 && Exponent <= 14) {
    if (Exponent >= 0) {
      const int IntDigits = Exponent + 1;
      if (Count <= IntDigits) {
        Out = CopyChars(Out, Digits, static_cast<std::size_t>(Count));
        for (int I = Count; I < IntDigits; ++I) *Out++ = '0';
      } else {
        Out = CopyChars(Out, Digits, static_cast<std::size_t>(IntDigits));
        *Out++ = Separator;
        Out = CopyChars(Out, Digits + IntDigits, static_cast<std::size_t>(Count - IntDigits));
      }
    } else {
      *Out++ = '0';
      *Out++ = Separator;
      for (int I = 0; I < -Exponent - 1; ++I) *Out++ = '0';
      Out = CopyChars(Out, Digits, static_cast<std::size_t>(Count));
    }
  } else {
    *Out++ = Digits[0];
    if (Count > 1) {
      *Out++ = Separator;
      Out = CopyChars(Out, Digits + 1, static_cast<std::size_t>(Count - 1));
    }
    *Out++ = 'E';
    if (Exponent < 0) {
      *Out++ = '-';
      Exponent = -Exponent;
    }
    Out = std::to_chars(Out, Out + 4, Exponent).ptr;
  }
  assert(Out - Buffer <= static_cast<std::ptrdiff_t>(FloatToStrBufSize));
  return static_cast<std::size_t>(Out - Buffer);
}

std::string FloatToStr(double Value) {
  char Buffer[FloatToStrBufSize];
  return std::string(Buffer, FloatToStrBuf(Value, Buffer));
}

// ---------------------------------------------------------------------------------------
// StrToFloat

namespace {

// The decimal exponent of the first non-zero digit of a scanned number (the number must not
// be zero), used only to tell overflow from underflow.
std::int64_t LeadingDigitExponent(const detail::DecimalText& D) {
  for (const char* P = D.IntBegin; P != D.IntEnd; ++P)
    if (*P != '0') return (D.IntEnd - P - 1) + D.Exponent;
  for (const char* P = D.FracBegin; P != D.FracEnd; ++P)
    if (*P != '0') return -(P - D.FracBegin + 1) + D.Exponent;
  return 0;
}

bool ConvertScanned(const detail::DecimalText& D, const char* Begin, const char* End,
                    double& Value) {
  double Magnitude = 0;
  const auto Result = std::from_chars(Begin, End, Magnitude, std::chars_format::general);
  if (Result.ec == std::errc::result_out_of_range) {
    if (LeadingDigitExponent(D) >= 0) return false; // too large for a double
    Magnitude = 0;                                  // too small: underflows to zero
  } else if (Result.ec != std::errc() || Result.ptr != End) {
    return false;
  }
  Value = D.Negative ? -Magnitude : Magnitude;
  return true;
}

} // namespace

bool TryStrToFloat(const char* Text, std::size_t Length, double& Value) {
  return TryStrToFloat(Text, Length, Value, FormatSettings.DecimalSeparator);
}

bool TryStrToFloat(const char* Text, std::size_t Length, double& Value, char Separator) {
  detail::DecimalText D;
  if (!detail::ScanDecimalText(Text, Length, Separator, D)) return false;
  // from_chars takes no sign and only '.': pass the unsigned number, with the separator
  // replaced when it is not '.'.
  const char* Begin = D.IntBegin;
  const char* End = D.NumberEnd;
  if (Separator == '.' || D.FracBegin == D.IntEnd) return ConvertScanned(D, Begin, End, Value);
  const std::size_t Size = static_cast<std::size_t>(End - Begin);
  const std::size_t SepIndex = static_cast<std::size_t>(D.IntEnd - Begin);
  char Small[128];
  if (Size <= sizeof Small) {
    std::memcpy(Small, Begin, Size);
    Small[SepIndex] = '.';
    return ConvertScanned(D, Small, Small + Size, Value);
  }
  std::string Copy(Begin, Size);
  Copy[SepIndex] = '.';
  return ConvertScanned(D, Copy.data(), Copy.data() + Size, Value);
}

bool TryStrToFloat(const std::string& S, double& Value) {
  return TryStrToFloat(S.data(), S.size(), Value);
}

double StrToFloat(const std::string& S) {
  double Value;
  if (!TryStrToFloat(S.data(), S.size(), Value)) ThrowConvertError(SInvalidFloat, S);
  return Value;
}

// ---------------------------------------------------------------------------------------
// CurrToStr and StrToCurr

std::size_t CurrToStrBuf(Currency Value, char* Buffer) {
  return CurrToStrBuf(Value, Buffer, FormatSettings.DecimalSeparator);
}

std::size_t CurrToStrBuf(Currency Value, char* Buffer, char Separator) {
  char* Out = Buffer;
  std::uint64_t Magnitude = static_cast<std::uint64_t>(Value.Scaled);
  if (Value.Scaled < 0) {
    *Out++ = '-';
    Magnitude = 0 - Magnitude;
  }
  Out = std::to_chars(Out, Out + 20, Magnitude / 10000).ptr;
  unsigned Fraction = static_cast<unsigned>(Magnitude % 10000);
  if (Fraction != 0) {
    *Out++ = Separator;
    for (unsigned Unit = 1000; Fraction != 0; Unit /= 10) {
      *Out++ = static_cast<char>('0' + Fraction / Unit);
      Fraction %= Unit;
    }
  }
  return static_cast<std::size_t>(Out - Buffer);
}

std::string CurrToStr(Currency Value) {
  char Buffer[CurrToStrBufSize];
  return std::string(Buffer, CurrToStrBuf(Value, Buffer));
}

bool TryStrToCurr(const char* Text, std::size_t Length, Currency& Value) {
  return TryStrToCurr(Text, Length, Value, FormatSettings.DecimalSeparator);
}

bool TryStrToCurr(const char* Text, std::size_t Length, Currency& Value, char Separator) {
  detail::DecimalText D;
  if (!detail::ScanDecimalText(Text, Length, Separator, D)) return false;
  // The digits of the number as one sequence (integer digits, then fraction digits); the
  // scaled value's integer part is made of its first Point digits.
  const std::int64_t IntCount = D.IntEnd - D.IntBegin;
  const std::int64_t Count = IntCount + (D.FracEnd - D.FracBegin);
  const auto DigitAt = [&](std::int64_t I) -> unsigned {
    return static_cast<unsigned>((I < IntCount ? D.IntBegin[I] : D.FracBegin[I - IntCount]) - '0');
  };
  const std::int64_t Point = IntCount + D.Exponent + 4;

  constexpr std::uint64_t Limit = std::uint64_t{1} << 63; // |INT64_MIN|
  std::uint64_t Magnitude = 0;
  const auto Append = [&](unsigned Digit) {
    if (Magnitude > Limit / 10) return false;
    Magnitude = Magnitude * 10 + Digit;
    return Magnitude <= Limit;
  };
  for (std::int64_t I = 0; I < std::min(Point, Count); ++I)
    if (!Append(DigitAt(I))) return false;
  if (Point > Count && Magnitude != 0) {
    if (Point - Count > 19) return false;
    for (std::int64_t I = Count; I < Point; ++I)
      if (!Append(0)) return false;
  }
  // Round to nearest on the digit at Point, exact halves to even.
  if (Point >= 0 && Point < Count) {
    const unsigned RoundDigit = DigitAt(Point);
    bool Up = RoundDigit > 5;
    if (RoundDigit == 5) {
      bool Sticky = false;
      for (std::int64_t I = Point + 1; I < Count && !Sticky; ++I) Sticky = DigitAt(I) != 0;
      Up = Sticky || (Magnitude & 1) != 0;
    }
    if (Up) ++Magnitude;
  }
  if (Magnitude > (D.Negative ? Limit : Limit - 1)) return false;
  Value = Currency::FromScaled(static_cast<std::int64_t>(D.Negative ? 0 - Magnitude : Magnitude));
  return true;
}

bool TryStrToCurr(const std::string& S, Currency& Value) {
  return TryStrToCurr(S.data(), S.size(), Value);
}

Currency StrToCurr(const std::string& S) {
  Currency Value;
  if (!TryStrToCurr(S.data(), S.size(), Value)) ThrowConvertError(SInvalidFloat, S);
  return Value;
}

} // namespace kelva
