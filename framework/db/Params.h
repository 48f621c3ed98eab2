// TParam and TParams: named, typed values handed to a dataset (query parameters, master
// values). A parameter keeps a Variant together with its field type and binding state.
#pragma once

#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/Types.h"
#include "kelva/framework/rtl/Variant.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TParams;

enum TParamType : std::uint8_t { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParam {
public:
  explicit TParam(TParams* Owner, TParamType ParamType = ptUnknown);
  TParam(const TParam&) = delete;
  TParam& operator=(const TParam&) = delete;

  TParams* Collection() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  TFieldType DataType() const { return FDataType; }
  // Changes the type and converts a stored value to it; a value that does not convert
  // is cleared.
  void SetDataType(TFieldType Value);
  TParamType ParamType() const { return FParamType; }
  void SetParamType(TParamType Value) { FParamType = Value; }
  std::int32_t Size() const { return FSize; }
  void SetSize(std::int32_t Value) { FSize = Value; }

  const Variant& Value() const { return FValue; }
  // Stores the value; it is bound unless Unassigned. An untyped parameter takes its
  // type from the value's kind.
  void SetValue(const Variant& Value);
  bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
  bool Bound() const { return FBound; }
  void SetBound(bool Value) { FBound = Value; }
  void Clear() { FValue = Unassigned(); }

  // Getters give "", 0, 0.0, false, 0, 0 for a null value and convert the Variant
  // otherwise (conversion failures raise EVariantError).
  std::string AsString() const;
  std::int32_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  Currency AsCurrency() const;
  // Setters store the value and set the matching DataType.
  void SetAsString(const std::string& Value);
  void SetAsInteger(std::int32_t Value);
  // A wider integer or a fraction would be cut without a word: convert it explicitly first.
  void SetAsInteger(std::int64_t) = delete;
  void SetAsInteger(std::floating_point auto) = delete;
  void SetAsSmallInt(std::int32_t Value);
  void SetAsFloat(double Value);
  void SetAsBoolean(bool Value);
  void SetAsDateTime(TDateTime Value);
  void SetAsDate(TDateTime Value);
  void SetAsTime(TDateTime Value);
  void SetAsCurrency(Currency Value);
  void SetAsBCD(Currency Value);

  // Copies type, value, binding, name and size; the parameter type only when this one's
  // is still ptUnknown.
  void Assign(const TParam& Source);
  // Takes the field's value, type and size, and its name exactly as spelled.
  void AssignField(TField* Field);
  // Takes the field's type and size with the given value, and becomes bound.
  void AssignFieldValue(TField* Field, const Variant& Value);

private:
  friend class TParams;

  // Stores a value given with its type, as the typed setters do.
  void SetTypedValue(TFieldType Type, const Variant& Value);

  TParams* FOwner;
  std::string FName;
  TFieldType FDataType = ftUnknown;
  TParamType FParamType;
  std::int32_t FSize = 0;
  Variant FValue;
  bool FBound = false;
};

// An ordered list of parameters that owns them. Names may repeat; lookups find the first.
class TParams : public TPersistent {
public:
  explicit TParams(TPersistent* Owner = nullptr) : FOwner(Owner) {}
  TParams(const TParams&) = delete;
  TParams& operator=(const TParams&) = delete;

  TPersistent* Owner() const { return FOwner; }
  TParam* CreateParam(TFieldType FldType, const std::string& ParamName, TParamType ParamType);
  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  // Raise EListError SListIndexError outside 0 ... Count()-1.
  TParam* Items(std::int32_t Index) const;
  TParam* GetParam(std::int32_t Index) const { return Items(Index); }
  TParam* operator[](std::int32_t Index) const { return Items(Index); }
  // The first parameter (lowest index) named Name case-insensitively, or null.
  TParam* FindParam(const std::string& Name) const;
  // FindParam, or EDatabaseError SParameterNotFound.
  TParam* ParamByName(const std::string& Name) const;
  void Clear() { FItems.clear(); }
  // Assigns each parameter of Value to the first parameter here with its name; nothing
  // is added or removed.
  void AssignValues(const TParams& Value);
  // Replaces the list by copies of Source's parameters.
  void Assign(const TParams& Source);

private:
  TPersistent* FOwner;
  std::vector<std::unique_ptr<TParam>> FItems;
};

} // namespace kelva
