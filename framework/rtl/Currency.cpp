// Currency arithmetic: range-checked construction from integers and doubles, and sums and
// differences with overflow checks. Every range failure raises
// EConvertError SCurrencyRange.
#include "kelva/framework/rtl/Currency.h"

#include "kelva/framework/rtl/ConversionDetail.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <cmath>
#include <limits>

namespace kelva {

namespace {

[[noreturn]] void RangeError() {
  detail::ThrowConvertError(SCurrencyRange);
}

} // namespace

Currency Currency::FromInt64(std::int64_t Value) {
  std::int64_t Scaled;
  if (__builtin_mul_overflow(Value, Scale, &Scaled)) RangeError();
  return FromScaled(Scaled);
}

Currency Currency::FromDouble(double Value) {
  // Values this large are outside the range whatever the rounding (NaN fails too).
  if (!(std::fabs(Value) < 1e15)) RangeError();
  if (Value == 0) return FromScaled(0);
  // Exactly: |Value| = Mantissa * 2^-Shift with a 53-bit Mantissa, so |Value| * 10000 =
  // Mantissa * 10000 / 2^Shift; Mantissa * 10000 < 2^67 fits 128 bits. |Value| < 2^50, so
  // Shift >= 3.
  int BinaryExponent;
  const double Fraction = std::frexp(std::fabs(Value), &BinaryExponent); // in [0.5, 1)
  const auto Mantissa = static_cast<std::uint64_t>(std::ldexp(Fraction, 53));
  const int Shift = 53 - BinaryExponent;
  const unsigned __int128 Product = static_cast<unsigned __int128>(Mantissa) * 10000u;
  std::uint64_t Magnitude;
  if (Shift >= 68) {
    Magnitude = 0; // Product < 2^67 <= 2^(Shift-1): below one half
  } else {
    const unsigned __int128 Whole = Product >> Shift;
    const unsigned __int128 Rest = Product - (Whole << Shift);
    const unsigned __int128 Half = static_cast<unsigned __int128>(1) << (Shift - 1);
    Magnitude = static_cast<std::uint64_t>(Whole); // Whole < 10^19 < 2^64 here
    if (Rest > Half || (Rest == Half && (Magnitude & 1) != 0)) ++Magnitude;
  }
  constexpr std::uint64_t Limit = std::uint64_t{1} << 63;
  if (Value < 0) {
    if (Magnitude > Limit) RangeError();
    return FromScaled(static_cast<std::int64_t>(0 - Magnitude));
  }
  if (Magnitude >= Limit) RangeError();
  return FromScaled(static_cast<std::int64_t>(Magnitude));
}

Currency operator+(Currency A, Currency B) {
  std::int64_t Sum;
  if (__builtin_add_overflow(A.Scaled, B.Scaled, &Sum)) RangeError();
  return Currency::FromScaled(Sum);
}

Currency operator-(Currency A, Currency B) {
  std::int64_t Difference;
  if (__builtin_sub_overflow(A.Scaled, B.Scaled, &Difference)) RangeError();
  return Currency::FromScaled(Difference);
}

} // namespace kelva
