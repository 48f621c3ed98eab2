// The integer, enumeration, set and set-element editors. All of them read and write the
// property's ordinal; only the text differs.
#include "kelva/framework/design/OrdinalEditors.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <algorithm>
#include <optional>

namespace kelva {

namespace {

TPropertyAttributes WithReadOnly(TPropertyAttributes Attributes, const TPropInfo* Prop) {
  if (Prop && !Prop->SetOrd) Attributes.Include(paReadOnly);
  return Attributes;
}

[[noreturn]] void NotAValueOf(const std::string& Text, PTypeInfo Type) {
  throw EConvertError(Format("'%s' is not a valid %s value", {Text, Type->Name}));
}

std::uint64_t ElementBit(unsigned Element) {
  return std::uint64_t{1} << Element;
}

} // namespace

TPropertyAttributes TIntegerProperty::GetAttributes() {
  return WithReadOnly(TPropertyEditor::GetAttributes(), GetPropInfo());
}

std::string TIntegerProperty::GetValue() {
  return IntToStr(GetOrdValue());
}

void TIntegerProperty::SetValue(const std::string& Value) {
  SetOrdValue(StrToInt(Value));
}

TPropertyAttributes TEnumProperty::GetAttributes() {
  return WithReadOnly(TPropertyEditor::GetAttributes() +
                          TPropertyAttributes{paValueList, paSortList},
                      GetPropInfo());
}

std::string TEnumProperty::GetValue() {
  return OrdinalToName(GetPropInfo()->PropType, GetOrdValue());
}

void TEnumProperty::GetValues(const std::function<void(const std::string&)>& Proc) {
  for (const std::string& Name : GetPropInfo()->PropType->Names) Proc(Name);
}

void TEnumProperty::SetValue(const std::string& Value) {
  const PTypeInfo Type = GetPropInfo()->PropType;
  const std::optional<std::int64_t> Ordinal = NameToOrdinal(Type, Trim(Value));
  if (!Ordinal) NotAValueOf(Value, Type);
  SetOrdValue(*Ordinal);
}

TPropertyAttributes TSetProperty::GetAttributes() {
  return WithReadOnly(TPropertyEditor::GetAttributes() + TPropertyAttributes{paSubProperties},
                      GetPropInfo());
}

void TSetProperty::GetProperties(
    const std::function<void(std::unique_ptr<TPropertyEditor>)>& Proc) {
  const std::size_t Elements = std::min<std::size_t>(GetPropInfo()->PropType->Names.size(), 64);
  for (unsigned Element = 0; Element < Elements; ++Element) {
    auto Sub = std::make_unique<TSetElementProperty>(Designer(), PropCount(), Element);
    for (std::int32_t I = 0; I < PropCount(); ++I)
      Sub->SetPropEntry(I, GetComponent(I), Entry(I).PropInfo);
    Sub->Initialize();
    Proc(std::move(Sub));
  }
}

std::string TSetProperty::GetValue() {
  return SetToString(GetPropInfo()->PropType, static_cast<std::uint64_t>(GetOrdValue()));
}

void TSetProperty::SetValue(const std::string& Value) {
  const PTypeInfo Type = GetPropInfo()->PropType;
  std::string Inner = Trim(Value);
  if (!Inner.empty() && Inner.front() == '[') {
    if (Inner.back() != ']') NotAValueOf(Value, Type);
    Inner = Inner.substr(1, Inner.size() - 2);
  }
  std::uint64_t Bits = 0;
  if (!Trim(Inner).empty()) {
    for (std::size_t Start = 0;;) {
      std::size_t Comma = Inner.find(',', Start);
      if (Comma == std::string::npos) Comma = Inner.size();
      const std::string Name = Trim(Inner.substr(Start, Comma - Start));
      if (Name.empty()) NotAValueOf(Value, Type);
      const std::optional<std::int64_t> Ordinal = NameToOrdinal(Type, Name);
      if (!Ordinal || *Ordinal >= 64) NotAValueOf(Name, Type);
      Bits |= ElementBit(static_cast<unsigned>(*Ordinal));
      if (Comma == Inner.size()) break;
      Start = Comma + 1;
    }
  }
  SetOrdValue(static_cast<std::int64_t>(Bits));
}

TSetElementProperty::TSetElementProperty(TDesignerHost* Designer, std::int32_t PropCount,
                                         unsigned Element)
    : TPropertyEditor(Designer, PropCount), FElement(Element) {}

TPropertyAttributes TSetElementProperty::GetAttributes() {
  return WithReadOnly({paMultiSelect, paValueList, paSortList}, GetPropInfo());
}

std::string TSetElementProperty::GetName() {
  return OrdinalToName(GetPropInfo()->PropType, FElement);
}

bool TSetElementProperty::IsIncluded(std::int32_t Index) const {
  return (static_cast<std::uint64_t>(GetOrdValueAt(Index)) & ElementBit(FElement)) != 0;
}

std::string TSetElementProperty::GetValue() {
  return OrdinalToName(TypeInfoBoolean(), IsIncluded(ShownIndex()) ? 1 : 0);
}

void TSetElementProperty::GetValues(const std::function<void(const std::string&)>& Proc) {
  for (const std::string& Name : TypeInfoBoolean()->Names) Proc(Name);
}

void TSetElementProperty::SetValue(const std::string& Value) {
  const std::optional<std::int64_t> Truth = NameToOrdinal(TypeInfoBoolean(), Trim(Value));
  if (!Truth) NotAValueOf(Value, TypeInfoBoolean());
  // Each object keeps its own other elements, so the entries are written one by one.
  WriteEntries([](const TPropInfo& P) { return P.GetOrd && P.SetOrd; },
               [this, Include = *Truth != 0](const TPropEntry& E) {
                 auto Bits = static_cast<std::uint64_t>(E.PropInfo->GetOrd(E.Instance));
                 Bits = Include ? Bits | ElementBit(FElement) : Bits & ~ElementBit(FElement);
                 E.PropInfo->SetOrd(E.Instance, static_cast<std::int64_t>(Bits));
               });
}

} // namespace kelva
