// The sub-object, component-reference and event editors. References and events are resolved
// against the designed form's root: a form refers only to its own components and methods.
#include "kelva/framework/design/ObjectEditors.h"

#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/design/EditorFactory.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

namespace {

TComponent& DesignedRoot(const TPropertyEditor& Editor) {
  TComponent* Root = Editor.Designer() ? Editor.Designer()->Root() : nullptr;
  if (!Root)
    throw EInvalidOperation("Property " + Editor.GetPropInfo()->Name +
                            " can only be edited on a designed form");
  return *Root;
}

} // namespace

TPropertyAttributes TClassProperty::GetAttributes() {
  return TPropertyEditor::GetAttributes() + TPropertyAttributes{paSubProperties, paReadOnly};
}

void TClassProperty::GetProperties(
    const std::function<void(std::unique_ptr<TPropertyEditor>)>& Proc) {
  std::vector<TPersistent*> SubObjects;
  for (std::int32_t I = 0; I < PropCount(); ++I) {
    auto* Sub = dynamic_cast<TPersistent*>(GetObjectValueAt(I));
    if (!Sub) return; // an object without a value has nothing to show beneath it
    SubObjects.push_back(Sub);
  }
  for (auto& Editor : PropertyEditorsFor(Designer(), SubObjects)) Proc(std::move(Editor));
}

std::string TClassProperty::GetValue() {
  const TObject* Object = GetObjectValue();
  if (!Object) return {};
  std::string Name = ClassNameOf(*Object);
  if (Name.empty()) Name = GetPropInfo()->PropType->ClassName; // an unregistered descendant
  return "(" + Name + ")";
}

TPropertyAttributes TComponentProperty::GetAttributes() {
  TPropertyAttributes Attributes =
      TPropertyEditor::GetAttributes() + TPropertyAttributes{paValueList, paSortList};
  if (!GetPropInfo()->SetObject) Attributes.Include(paReadOnly);
  return Attributes;
}

std::string TComponentProperty::GetValue() {
  const TObject* Object = GetObjectValue();
  if (!Object) return {};
  const auto* Referenced = dynamic_cast<const TComponent*>(Object);
  if (!Referenced) {
    // Appended rather than written as "(" + name: g++ 12 at -O3 reports a false overlap
    // (-Wrestrict) in the library's operator+ for a literal and a temporary string.
    std::string Text = "(";
    Text += ClassNameOf(*Object);
    Text += ")";
    return Text;
  }
  // A component of another form is named with its form, as the developer would write it.
  const TComponent* Owner = Referenced->Owner();
  const TComponent* Root = Designer() ? Designer()->Root() : nullptr;
  if (Owner && Owner != Root && !Owner->Name().empty())
    return Owner->Name() + "." + Referenced->Name();
  return Referenced->Name();
}

void TComponentProperty::GetValues(const std::function<void(const std::string&)>& Proc) {
  const TComponent& Root = DesignedRoot(*this);
  const TClassInfo* Wanted = GetPropInfo()->ClassType();
  if (!Wanted) return;
  for (std::int32_t I = 0; I < Root.ComponentCount(); ++I) {
    const TComponent* Candidate = Root.Components(I);
    const TClassInfo* Class = ClassInfoOf(*Candidate);
    if (!Candidate->Name().empty() && Class && Class->InheritsFrom(Wanted)) Proc(Candidate->Name());
  }
}

void TComponentProperty::SetValue(const std::string& Value) {
  const std::string Name = Trim(Value);
  if (Name.empty()) {
    SetObjectValue(nullptr);
    return;
  }
  const TComponent& Root = DesignedRoot(*this);
  TComponent* Found = Root.FindComponent(Name);
  if (!Found) throw EInvalidOperation("No component named " + Name + " on " + Root.Name());
  const TClassInfo* Wanted = GetPropInfo()->ClassType();
  const TClassInfo* Class = ClassInfoOf(*Found);
  if (!Wanted || !Class || !Class->InheritsFrom(Wanted))
    throw EInvalidOperation("Component " + Found->Name() + " is not a " +
                            GetPropInfo()->PropType->ClassName);
  SetObjectValue(Found);
}

TPropertyAttributes TMethodProperty::GetAttributes() {
  TPropertyAttributes Attributes =
      TPropertyEditor::GetAttributes() + TPropertyAttributes{paValueList, paSortList};
  if (!GetPropInfo()->SetMethod) Attributes.Include(paReadOnly);
  return Attributes;
}

TComponent& TMethodProperty::EventOwner(std::int32_t Index) const {
  auto* Owner = dynamic_cast<TComponent*>(GetComponent(Index));
  if (!Owner)
    throw EInvalidOperation("Event " + GetPropInfo()->Name + " can only be bound on a component");
  return *Owner;
}

std::string TMethodProperty::GetValue() {
  const auto* Owner = dynamic_cast<const TComponent*>(GetComponent(ShownIndex()));
  return Owner ? Owner->EventHandlerName(GetPropInfo()->Name) : std::string();
}

void TMethodProperty::GetValues(const std::function<void(const std::string&)>& Proc) {
  for (const std::string& Name : MethodNamesFor(DesignedRoot(*this), GetPropInfo()->PropType))
    Proc(Name);
}

void TMethodProperty::SetValue(const std::string& Value) {
  TComponent& Root = DesignedRoot(*this);
  for (std::int32_t I = 0; I < PropCount(); ++I) EventOwner(I);
  const std::string MethodName = Trim(Value);
  WriteEntries([](const TPropInfo& P) { return static_cast<bool>(P.SetMethod); },
               [&Root, &MethodName](const TPropEntry& E) {
                 BindEventHandler(dynamic_cast<TComponent&>(*E.Instance), *E.PropInfo, Root,
                                  MethodName);
               });
}

} // namespace kelva
