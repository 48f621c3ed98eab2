// Property assignment for the form reader: one function per kind of property, each checking
// the value's kind first so that a wrong file is refused with a message naming the property.
#include "kelva/framework/rtl/FormPropertyReader.h"

#include "kelva/framework/rtl/Collection.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <cmath>
#include <limits>
#include <new>

namespace kelva {

namespace {

// The reader's own errors already carry their line; ReportAt lets them through untouched.
class EFormReadError : public EReadError {
public:
  using EReadError::EReadError;
};

std::string ClassNameText(const TClassInfo* Class) {
  return Class ? Class->Name : "(unregistered class)";
}

void ExpectKind(const TFormValue& Value, TFormValueKind Kind, const std::string& Where) {
  if (Value.Kind != Kind)
    FormReadError(Value.Line, Where + ": " + FormValueKindName(Kind) + " expected but " +
                                  FormValueKindName(Value.Kind) + " found");
}

[[noreturn]] void ReadOnlyError(const TFormValue& Value, const std::string& Where) {
  FormReadError(Value.Line, Where + ": the property cannot be set");
}

double FloatOf(const TFormValue& Value, const std::string& Where) {
  switch (Value.Kind) {
  case TFormValueKind::Float:
    return Value.Float;
  case TFormValueKind::Integer:
    return static_cast<double>(Value.Integer);
  case TFormValueKind::Identifier:
    if (CompareText(Value.Text, "Inf") == 0) return std::numeric_limits<double>::infinity();
    if (CompareText(Value.Text, "NaN") == 0) return std::numeric_limits<double>::quiet_NaN();
    break;
  default:
    break;
  }
  ExpectKind(Value, TFormValueKind::Float, Where);
  return 0; // not reached: ExpectKind raised
}

std::int64_t OrdinalOf(PTypeInfo Type, const std::string& Name, const TFormValue& Value,
                       const std::string& Where) {
  const std::optional<std::int64_t> Ordinal = NameToOrdinal(Type, Name);
  if (!Ordinal)
    FormReadError(Value.Line, Where + ": '" + Name + "' is not a value of " + Type->Name);
  return *Ordinal;
}

bool IsStringListProperty(const TPropInfo& Prop, TObject* Current) {
  if (dynamic_cast<TStrings*>(Current)) return true;
  const TClassInfo* Class = Prop.ClassType();
  const TClassInfo* Strings = ClassInfo<TStrings>();
  return Class && Strings && Class->InheritsFrom(Strings);
}

} // namespace

void FormReadError(int Line, const std::string& Message) {
  throw EFormReadError("Line " + std::to_string(Line) + ": " + Message);
}

void ReportAt(int Line, const std::string& What, const std::function<void()>& Step) {
  const auto Prefixed = [&](const std::string& Message) {
    return What.empty() ? Message : What + ": " + Message;
  };
  try {
    Step();
  } catch (const EFormReadError&) {
    throw;
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& E) {
    FormReadError(Line, Prefixed(E.Message()));
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& E) {
    FormReadError(Line, Prefixed(E.what()));
  }
}

void TFormPropertyReader::ReadComponentProperty(TComponent& C, const TClassInfo* Class,
                                                const std::string& Where,
                                                const TFormProperty& Property) {
  ReadProperty(C, Class, TTarget{&C, Class, {}}, Where, Property, &C);
}

void TFormPropertyReader::ReadProperty(TObject& Instance, const TClassInfo* Class, TTarget Target,
                                       const std::string& Where, const TFormProperty& Property,
                                       TComponent* EventHolder) {
  TObject* Object = &Instance;
  std::string Path = Where;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t Dot = Property.Name.find('.', Start);
    const std::string Segment = Property.Name.substr(Start, Dot - Start);
    Path += '.';
    Path += Segment;
    const TPropInfo* Prop = Class ? Class->FindProperty(Segment) : nullptr;
    if (!Prop)
      FormReadError(Property.Line, Path + ": no such property in class " + ClassNameText(Class));
    if (Dot == std::string::npos) {
      Assign(*Object, *Prop, Target, Path, Property.Value, EventHolder);
      return;
    }
    // A dotted name walks into an owned sub-object; another component is not owned.
    TObject* Sub = nullptr;
    if (Prop->PropType->Kind == tkClass && Prop->GetObject && !Prop->IsReference())
      ReportAt(Property.Line, Path, [&] { Sub = Prop->GetObject(Object); });
    if (!Sub || dynamic_cast<TComponent*>(Sub))
      FormReadError(Property.Line, Path + ": not an object with properties of its own");
    Target.Steps.push_back(TPathStep{Prop, -1});
    Object = Sub;
    Class = ClassInfoOf(*Sub);
    if (!Class) Class = Prop->ClassType();
    EventHolder = nullptr; // events bind on components only
    Start = Dot + 1;
  }
}

void TFormPropertyReader::Assign(TObject& Instance, const TPropInfo& Prop, const TTarget& Target,
                                 const std::string& Where, const TFormValue& Value,
                                 TComponent* EventHolder) {
  const PTypeInfo Type = Prop.PropType;
  switch (Type->Kind) {
  case tkInteger: {
    ExpectKind(Value, TFormValueKind::Integer, Where);
    // "Integer" is 32 bits wide; a wider value would be cut silently by the setter.
    if (Type == TypeInfoInteger() && (Value.Integer < std::numeric_limits<std::int32_t>::min() ||
                                      Value.Integer > std::numeric_limits<std::int32_t>::max()))
      FormReadError(Value.Line, Where + ": " + std::to_string(Value.Integer) +
                                    " is out of the range of Integer");
    if (!Prop.SetOrd) ReadOnlyError(Value, Where);
    ReportAt(Value.Line, Where, [&] { Prop.SetOrd(&Instance, Value.Integer); });
    return;
  }
  case tkEnumeration: {
    ExpectKind(Value, TFormValueKind::Identifier, Where);
    const std::int64_t Ordinal = OrdinalOf(Type, Value.Text, Value, Where);
    if (!Prop.SetOrd) ReadOnlyError(Value, Where);
    ReportAt(Value.Line, Where, [&] { Prop.SetOrd(&Instance, Ordinal); });
    return;
  }
  case tkSet: {
    ExpectKind(Value, TFormValueKind::Set, Where);
    std::uint64_t Bits = 0;
    for (const std::string& Element : Value.Elements) {
      const std::int64_t Bit = OrdinalOf(Type, Element, Value, Where);
      if (Bit >= 64) FormReadError(Value.Line, Where + ": '" + Element + "' cannot be in a set");
      Bits |= std::uint64_t{1} << Bit;
    }
    if (!Prop.SetOrd) ReadOnlyError(Value, Where);
    ReportAt(Value.Line, Where, [&] { Prop.SetOrd(&Instance, static_cast<std::int64_t>(Bits)); });
    return;
  }
  case tkFloat: {
    const double Number = FloatOf(Value, Where);
    if (!Prop.SetFloat) ReadOnlyError(Value, Where);
    ReportAt(Value.Line, Where, [&] { Prop.SetFloat(&Instance, Number); });
    return;
  }
  case tkString:
    ExpectKind(Value, TFormValueKind::String, Where);
    if (!Prop.SetStr) ReadOnlyError(Value, Where);
    ReportAt(Value.Line, Where, [&] { Prop.SetStr(&Instance, Value.Text); });
    return;
  case tkMethod:
    ExpectKind(Value, TFormValueKind::Identifier, Where);
    if (!EventHolder) FormReadError(Value.Line, Where + ": events can be bound on components only");
    ReportAt(Value.Line, Where,
             [&] { BindEventHandler(*EventHolder, Prop, FHost.Root(), Value.Text); });
    return;
  case tkClass:
    AssignObject(Instance, Prop, Target, Where, Value);
    return;
  }
}

void TFormPropertyReader::AssignObject(TObject& Instance, const TPropInfo& Prop,
                                       const TTarget& Target, const std::string& Where,
                                       const TFormValue& Value) {
  if (Prop.IsReference()) {
    AddFixup(Prop, Target, Where, Value);
    return;
  }
  TObject* Current = nullptr;
  if (Prop.GetObject) ReportAt(Value.Line, Where, [&] { Current = Prop.GetObject(&Instance); });

  if (auto* Collection = dynamic_cast<TCollection*>(Current)) {
    ReadCollection(*Collection, Prop, Target, Where, Value);
    return;
  }
  if (IsStringListProperty(Prop, Current)) {
    ExpectKind(Value, TFormValueKind::List, Where);
    // The setter gets a whole new list to copy, as it would from code, so that a component
    // reacting to the change sees the complete list once.
    TStringList Lines;
    for (const std::string& Line : Value.Elements) Lines.Add(Line);
    if (Prop.SetObject)
      ReportAt(Value.Line, Where, [&] { Prop.SetObject(&Instance, &Lines); });
    else if (auto* Strings = dynamic_cast<TStrings*>(Current))
      ReportAt(Value.Line, Where, [&] { Strings->Assign(Lines); });
    else
      ReadOnlyError(Value, Where);
    return;
  }
  // A component reference whose class is not registered: recognisable by its value.
  if (Value.Kind == TFormValueKind::Identifier && Prop.SetObject &&
      (!Current || dynamic_cast<TComponent*>(Current))) {
    AddFixup(Prop, Target, Where, Value);
    return;
  }
  FormReadError(Value.Line, Where + ": an object property is read through its own properties (" +
                                Prop.Name + ".Name = value), not given a " +
                                FormValueKindName(Value.Kind));
}

void TFormPropertyReader::ReadCollection(TCollection& Collection, const TPropInfo& Prop,
                                         TTarget Target, const std::string& Where,
                                         const TFormValue& Value) {
  ExpectKind(Value, TFormValueKind::Collection, Where);
  Target.Steps.push_back(TPathStep{&Prop, -1});
  // References read for the items about to go would land on the new items at their indexes.
  if (const auto Own = FFixupsOf.find(Target.Holder); Own != FFixupsOf.end())
    for (std::size_t Index : Own->second)
      if (Leads(Target, FFixups[Index].Target)) FFixups[Index].Dropped = true;
  ReportAt(Value.Line, Where, [&] { Collection.Clear(); });
  for (const TFormItem& ItemNode : Value.Items) {
    TCollectionItem* Item = nullptr;
    ReportAt(ItemNode.Line, Where, [&] { Item = Collection.Add(); });
    const std::int32_t Index = Collection.Count() - 1;
    const TClassInfo* ItemClass = ClassInfoOf(*Item);
    if (!ItemClass) ItemClass = Collection.ItemClass();
    TTarget ItemTarget = Target;
    ItemTarget.Steps.push_back(TPathStep{nullptr, Index});
    const std::string ItemWhere = Where + "[" + std::to_string(Index) + "]";
    for (const TFormProperty& Property : ItemNode.Properties)
      ReadProperty(*Item, ItemClass, ItemTarget, ItemWhere, Property, nullptr);
  }
}

void TFormPropertyReader::AddFixup(const TPropInfo& Prop, const TTarget& Target,
                                   const std::string& Where, const TFormValue& Value) {
  ExpectKind(Value, TFormValueKind::Identifier, Where);
  if (!Prop.SetObject) ReadOnlyError(Value, Where);
  std::vector<std::size_t>& Own = FFixupsOf[Target.Holder];
  FFixups.push_back(TFixup{Target, &Prop, Value.Text, Where, Value.Line});
  try {
    Own.push_back(FFixups.size() - 1);
  } catch (...) {
    FFixups.pop_back();
    throw;
  }
}

bool TFormPropertyReader::Leads(const TTarget& Prefix, const TTarget& Target) {
  if (Prefix.Holder != Target.Holder || Prefix.Steps.size() > Target.Steps.size()) return false;
  for (std::size_t I = 0; I < Prefix.Steps.size(); ++I)
    if (Prefix.Steps[I].Object != Target.Steps[I].Object ||
        Prefix.Steps[I].ItemIndex != Target.Steps[I].ItemIndex)
      return false;
  return true;
}

TObject* TFormPropertyReader::Locate(const TTarget& Target) const {
  if (!FHost.IsAlive(Target.Holder) || ClassInfoOf(*Target.Holder) != Target.HolderClass)
    return nullptr;
  TObject* Object = Target.Holder;
  for (const TPathStep& Step : Target.Steps) {
    if (Step.Object) {
      Object = Step.Object->GetObject(Object);
    } else {
      auto* Collection = dynamic_cast<TCollection*>(Object);
      if (!Collection || Step.ItemIndex >= Collection->Count()) return nullptr;
      Object = Collection->Items(Step.ItemIndex);
    }
    if (!Object) return nullptr;
  }
  return Object;
}

TComponent* TFormPropertyReader::FindComponentNamed(const std::string& Name) const {
  TComponent& Root = FHost.Root();
  if (TComponent* Owned = Root.FindComponent(Name)) return Owned;
  return CompareText(Name, Root.Name()) == 0 ? &Root : nullptr;
}

void TFormPropertyReader::ResolveFixups() {
  for (const TFixup& Fixup : FFixups) {
    if (Fixup.Dropped) continue;
    TComponent* Component = FindComponentNamed(Fixup.ComponentName);
    if (!Component)
      FormReadError(Fixup.Line, Fixup.Where + ": component " + Fixup.ComponentName + " not found");
    const TClassInfo* Wanted = Fixup.Prop->ClassType();
    const TClassInfo* Actual = ClassInfoOf(*Component);
    if (Wanted && Actual && !Actual->InheritsFrom(Wanted))
      FormReadError(Fixup.Line, Fixup.Where + ": " + Fixup.ComponentName + " is a " + Actual->Name +
                                    ", not a " + Wanted->Name);
    // A later assignment may have removed what the value was meant for; nothing to set then.
    TObject* Object = nullptr;
    ReportAt(Fixup.Line, Fixup.Where, [&] { Object = Locate(Fixup.Target); });
    if (!Object) continue;
    ReportAt(Fixup.Line, Fixup.Where, [&] { Fixup.Prop->SetObject(Object, Component); });
  }
  FFixups.clear();
  FFixupsOf.clear();
}

} // namespace kelva
