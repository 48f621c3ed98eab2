// Variant: a value of one of a few kinds (empty, null, integers, double, currency, date,
// string, boolean, one-dimensional array) with the conversions and the total order that
// fields, parameters, sorting and key search rely on.
#pragma once

#include "kelva/framework/rtl/Currency.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kelva {

using TDateTime = double;

enum TVarType : std::uint16_t {
  varEmpty = 0,
  varNull = 1,
  varSmallint = 2,
  varInteger = 3,
  varDouble = 5,
  varCurrency = 6,
  varDate = 7,
  varBoolean = 11,
  varVariant = 12,
  varInt64 = 20,
  varString = 0x100,
  varArray = 0x2000
};

enum TVariantRelationship : std::uint8_t { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
  Variant(); // Unassigned
  Variant(bool Value);
  Variant(int Value);
  Variant(std::int64_t Value);
  Variant(double Value);
  Variant(Currency Value);
  Variant(const std::string& Value);
  Variant(std::string&& Value);
  Variant(const char* Value);
  // Unsigned integers are deliberately not convertible: cast first.
  Variant(unsigned) = delete;
  Variant(unsigned long) = delete;
  Variant(unsigned long long) = delete;
  // A character would become its code as a number, a null text pointer nothing readable,
  // and any other pointer a boolean: say which value is meant instead.
  Variant(char) = delete;
  Variant(std::nullptr_t) = delete;
  template <class Object>
  Variant(Object*) = delete;
  Variant(char* Value) : Variant(static_cast<const char*>(Value)) {}

  static Variant FromDateTime(TDateTime Value);
  static Variant MakeNull();
  static Variant MakeArray(std::vector<Variant> Items);

  Variant(const Variant& Other);
  Variant(Variant&& Other) noexcept;
  Variant& operator=(const Variant& Other);
  Variant& operator=(Variant&& Other) noexcept;
  ~Variant();

  std::uint16_t VarType() const;

  std::string AsString() const;
  std::int32_t AsInteger() const;
  std::int64_t AsInt64() const;
  double AsFloat() const;
  bool AsBoolean() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;

  // Arrays: element count - 1 (-1 for an empty array); indexing a non-array raises
  // SVarNotArray, an index out of range SVarArrayBounds.
  std::int32_t ArrayHigh() const;
  const Variant& operator[](std::int32_t Index) const;
  Variant& operator[](std::int32_t Index);

private:
  // The order of Kind is the order of the alternatives of Storage: the active index is the
  // kind, so no separate tag is stored. A Variant is 40 bytes (a std::string plus the index);
  // an array holds its elements by value, which makes copies deep without extra code.
  enum class Kind : std::uint8_t {
    Empty,
    Null,
    Integer,
    Int64,
    Double,
    Currency,
    Date,
    String,
    Boolean,
    Array
  };
  struct EmptyValue {};
  struct NullValue {};
  struct DateValue {
    TDateTime Value;
  };
  using Array = std::vector<Variant>;
  using Storage = std::variant<EmptyValue, NullValue, std::int32_t, std::int64_t, double, Currency,
                               DateValue, std::string, bool, Array>;

  Kind TheKind() const { return static_cast<Kind>(FData.index()); }
  static const char* KindName(Kind K);
  [[noreturn]] void CastError(Kind Target) const;
  [[noreturn]] void OverflowError(Kind Target) const;
  std::int64_t RoundedToInt64(Kind Target) const;
  const Array& CheckedArray() const;

  Storage FData;

  friend TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);
  friend bool VarIsNull(const Variant& V);
  friend bool VarIsEmpty(const Variant& V);
  friend bool VarIsArray(const Variant& V);
};

Variant Null();
Variant Unassigned();
Variant VarArrayOf(std::initializer_list<Variant> Items);
Variant VarArrayOf(const std::vector<Variant>& Items);
bool VarIsNull(const Variant& V);
bool VarIsEmpty(const Variant& V);
bool VarIsArray(const Variant& V);
std::string VarToStr(const Variant& V);
TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);

} // namespace kelva
