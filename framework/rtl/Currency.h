// Currency: a fixed-point number holding its value times 10000 in 64 bits, exact for
// money amounts. Conversions to and from text live in SysUtils.h.
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>

namespace kelva {

struct Currency {
  std::int64_t Scaled = 0;

  static constexpr std::int64_t Scale = 10000;

  // Zero. A plain number does not make a Currency: whether 41000 means 41,000 or 4.1 must
  // be said by a named constructor (FromInt64, FromDouble, FromScaled).
  constexpr Currency() = default;
  Currency(std::integral auto) = delete;
  Currency(std::floating_point auto) = delete;

  static constexpr Currency FromScaled(std::int64_t Value) {
    Currency Result;
    Result.Scaled = Value;
    return Result;
  }
  // Range-checked: raises EConvertError SCurrencyRange when Value * 10000 does not fit.
  static Currency FromInt64(std::int64_t Value);
  // Rounds Value * 10000 to the nearest integer, exact halves to even; NaN and values
  // outside the range raise EConvertError SCurrencyRange.
  static Currency FromDouble(double Value);

  double ToDouble() const { return static_cast<double>(Scaled) / 10000.0; }

  friend constexpr auto operator<=>(Currency A, Currency B) = default;
  // Sums and differences raise EConvertError SCurrencyRange on overflow.
  friend Currency operator+(Currency A, Currency B);
  friend Currency operator-(Currency A, Currency B);
};

} // namespace kelva
