// Choosing and preparing property editors: the registered editor of each property or the
// default of its kind, over the properties that every object of a selection shares.
#include "kelva/framework/design/EditorFactory.h"

#include "kelva/framework/design/DesignIntf.h"
#include "kelva/framework/design/ObjectEditors.h"
#include "kelva/framework/design/OrdinalEditors.h"
#include "kelva/framework/design/TextEditors.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <set>

namespace kelva {

namespace {

bool IsComponentNameProperty(const TPropInfo& Prop) {
  const TClassInfo* Component = ClassInfo<TComponent>();
  return Component && Component->FindProperty("Name") == &Prop;
}

// The classes of Instances, or an empty list when one of them is not registered (it then has
// no published properties to show).
std::vector<const TClassInfo*> ClassesOf(const std::vector<TPersistent*>& Instances) {
  std::vector<const TClassInfo*> Classes;
  for (const TPersistent* Instance : Instances) {
    const TClassInfo* Class = ClassInfoOf(*Instance);
    if (!Class) return {};
    Classes.push_back(Class);
  }
  return Classes;
}

// The editor for PropName when every instance has such a property of one type and the same
// editor is chosen for each of them; null otherwise, or when a selection of several objects
// meets an editor that does not serve several.
std::unique_ptr<TPropertyEditor> MakeEditor(TDesignerHost* Designer,
                                            const std::vector<TPersistent*>& Instances,
                                            const std::vector<const TClassInfo*>& Classes,
                                            const std::string& PropName) {
  std::vector<const TPropInfo*> Props;
  const TPropertyEditorClass* Chosen = nullptr;
  for (std::size_t I = 0; I < Classes.size(); ++I) {
    const TPropInfo* Prop = Classes[I]->FindProperty(PropName);
    if (!Prop || (!Props.empty() && Prop->PropType != Props.front()->PropType)) return nullptr;
    const TPropertyEditorClass* EditorClass = FindPropertyEditorClass(*Prop, Classes[I]);
    if (I > 0 && EditorClass != Chosen) return nullptr;
    Chosen = EditorClass;
    Props.push_back(Prop);
  }
  if (Props.empty()) return nullptr;

  const auto Count = static_cast<std::int32_t>(Instances.size());
  std::unique_ptr<TPropertyEditor> Editor =
      Chosen ? Chosen->Create(Designer, Count)
             : CreateDefaultPropertyEditor(Designer, Count, *Props.front());
  if (!Editor)
    throw EInvalidOperation("Property editor " + Chosen->Name + " made no editor for " + PropName);
  for (std::int32_t I = 0; I < Count; ++I)
    Editor->SetPropEntry(I, Instances[static_cast<std::size_t>(I)],
                         Props[static_cast<std::size_t>(I)]);
  Editor->Initialize();
  if (Count > 1 && !Editor->GetAttributes().Contains(paMultiSelect)) return nullptr;
  return Editor;
}

} // namespace

std::unique_ptr<TPropertyEditor> CreateDefaultPropertyEditor(TDesignerHost* Designer,
                                                             std::int32_t PropCount,
                                                             const TPropInfo& Prop) {
  if (!Prop.PropType) return std::make_unique<TPropertyEditor>(Designer, PropCount);
  switch (Prop.PropType->Kind) {
  case tkInteger:
    return std::make_unique<TIntegerProperty>(Designer, PropCount);
  case tkFloat:
    return std::make_unique<TFloatProperty>(Designer, PropCount);
  case tkString:
    if (IsComponentNameProperty(Prop))
      return std::make_unique<TComponentNameProperty>(Designer, PropCount);
    return std::make_unique<TStringProperty>(Designer, PropCount);
  case tkEnumeration:
    return std::make_unique<TEnumProperty>(Designer, PropCount);
  case tkSet:
    return std::make_unique<TSetProperty>(Designer, PropCount);
  case tkClass:
    if (Prop.IsReference()) return std::make_unique<TComponentProperty>(Designer, PropCount);
    return std::make_unique<TClassProperty>(Designer, PropCount);
  case tkMethod:
    return std::make_unique<TMethodProperty>(Designer, PropCount);
  }
  return std::make_unique<TPropertyEditor>(Designer, PropCount);
}

std::vector<std::unique_ptr<TPropertyEditor>>
PropertyEditorsFor(TDesignerHost* Designer, const std::vector<TPersistent*>& Instances) {
  std::vector<std::unique_ptr<TPropertyEditor>> Editors;
  const std::vector<const TClassInfo*> Classes = ClassesOf(Instances);
  if (Classes.empty()) return Editors;
  // A descendant may publish a property again under the same name: it is shown once.
  std::set<std::string> Seen;
  for (const TPropInfo* Prop : Classes.front()->AllProperties()) {
    if (!Seen.insert(UpperCase(Prop->Name)).second) continue;
    if (auto Editor = MakeEditor(Designer, Instances, Classes, Prop->Name))
      Editors.push_back(std::move(Editor));
  }
  return Editors;
}

std::unique_ptr<TPropertyEditor> PropertyEditorFor(TDesignerHost* Designer,
                                                   const std::vector<TPersistent*>& Instances,
                                                   const std::string& PropName) {
  const std::vector<const TClassInfo*> Classes = ClassesOf(Instances);
  if (Classes.empty()) return nullptr;
  return MakeEditor(Designer, Instances, Classes, PropName);
}

} // namespace kelva
