// Fuzz target: the text conversions of integers, floating-point numbers, currency and date-
// times. Nothing crashes, the raising and the Try forms agree, and a text that converts
// converts back to a text that converts to the same value.
#include "FuzzSupport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

using namespace kelva;

namespace {

// Runs Raising and requires it to agree with the Try form's answer (Ok, Value).
template <typename T, typename F>
void RequireSameAnswer(bool Ok, const T& Value, F Raising, const char* What,
                       const std::string& Text) {
  try {
    const T Got = Raising(Text);
    fuzz::Require(Ok, std::string(What) + " converts what its Try form refuses: " + Text);
    fuzz::Require(std::memcmp(&Got, &Value, sizeof(T)) == 0 ||
                      (std::is_floating_point_v<T> && Got == Value),
                  std::string(What) + " and its Try form give different values: " + Text);
  } catch (const EConvertError&) {
    fuzz::Require(!Ok, std::string(What) + " refuses what its Try form converts: " + Text);
  }
}

void Integers(const std::string& Text) {
  std::int32_t Value = 0;
  const bool Ok = TryStrToInt(Text, Value);
  RequireSameAnswer(
      Ok, Value, [](const std::string& S) { return StrToInt(S); }, "StrToInt", Text);
  if (!Ok) return;
  std::int32_t Back = 0;
  fuzz::Require(TryStrToInt(IntToStr(Value), Back) && Back == Value,
                "integer text does not round-trip: " + Text);
}

void Currencies(const std::string& Text) {
  Currency Value;
  const bool Ok = TryStrToCurr(Text, Value);
  RequireSameAnswer(
      Ok, Value, [](const std::string& S) { return StrToCurr(S); }, "StrToCurr", Text);
  if (!Ok) return;
  Currency Back;
  fuzz::Require(TryStrToCurr(CurrToStr(Value), Back) && Back.Scaled == Value.Scaled,
                "currency text does not round-trip: " + Text);
}

// Floating-point text is written with 15 significant digits, so a value read from a longer
// text may come back one rounding step away; the written text itself is a fixed point.
void Floats(const std::string& Text) {
  double Value = 0;
  const bool Ok = TryStrToFloat(Text, Value);
  RequireSameAnswer(
      Ok, Value, [](const std::string& S) { return StrToFloat(S); }, "StrToFloat", Text);
  if (!Ok || std::isnan(Value)) return;
  const std::string Written = FloatToStr(Value);
  double Back = 0;
  fuzz::Require(TryStrToFloat(Written, Back), "written float does not read back: " + Written);
  if (std::isinf(Value)) {
    fuzz::Require(Back == Value, "infinity does not round-trip: " + Text);
    return;
  }
  fuzz::Require(std::fabs(Back - Value) <= std::fabs(Value) * 1e-14,
                "float text reads back to another value: " + Text + " -> " + Written);
  double Again = 0;
  fuzz::Require(TryStrToFloat(FloatToStr(Back), Again) && Again == Back &&
                    FloatToStr(Back) == Written,
                "written float text is not stable: " + Written);
}

// Date-time text carries whole seconds; what it reads back to is a fixed point.
void DateTimes(const std::string& Text) {
  TDateTime Value = 0;
  const bool Ok = TryStrToDateTime(Text, Value);
  RequireSameAnswer(
      Ok, Value, [](const std::string& S) { return StrToDateTime(S); }, "StrToDateTime", Text);
  if (!Ok) return;
  const std::string Written = DateTimeToStr(Value);
  TDateTime Back = 0;
  fuzz::Require(TryStrToDateTime(Written, Back),
                "written date-time does not read back: " + Text + " -> " + Written);
  fuzz::Require(std::fabs(Back - Value) < 1.0 / 86400,
                "date-time text reads back to another value: " + Text + " -> " + Written);
  // The value read back is a fixed point. Its text need not equal Written: a time under a
  // second after midnight is written as "00:00:00" but reads back as midnight, whose text
  // leaves the time out.
  const std::string Rewritten = DateTimeToStr(Back);
  TDateTime Again = 0;
  fuzz::Require(TryStrToDateTime(Rewritten, Again) && Again == Back &&
                    DateTimeToStr(Again) == Rewritten,
                "written date-time text is not stable: " + Written + " -> " + Rewritten);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  Integers(Text);
  Currencies(Text);
  Floats(Text);
  DateTimes(Text);
  return 0;
}
