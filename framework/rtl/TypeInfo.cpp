// The class registry and the descriptors of the built-in types.
#include "kelva/framework/rtl/TypeInfo.h"

#include "kelva/framework/rtl/ClassBuilder.h"
#include "kelva/framework/rtl/Collection.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace kelva {

namespace {

struct Registry {
  std::mutex Lock;
  // Class infos never move once registered: lookups hand out their addresses.
  std::vector<std::unique_ptr<TClassInfo>> Classes;
  std::map<std::string, const TClassInfo*> ByUpperName;
  std::unordered_map<std::type_index, const TClassInfo*> ByType;
  std::map<std::string, std::unique_ptr<TTypeInfo>> ClassTypes;
};

Registry& TheRegistry() {
  static Registry R;
  return R;
}

PTypeInfo MakeStatic(const char* Name, TTypeKind Kind, std::vector<std::string> Names = {}) {
  auto* Info = new TTypeInfo{Name, Kind, std::move(Names), {}};
  return Info; // lives for the whole run, like the registry itself
}

} // namespace

PTypeInfo TypeInfoInteger() {
  static const PTypeInfo T = MakeStatic("Integer", tkInteger);
  return T;
}
PTypeInfo TypeInfoDouble() {
  static const PTypeInfo T = MakeStatic("Double", tkFloat);
  return T;
}
PTypeInfo TypeInfoString() {
  static const PTypeInfo T = MakeStatic("string", tkString);
  return T;
}
PTypeInfo TypeInfoBoolean() {
  static const PTypeInfo T = MakeStatic("Boolean", tkEnumeration, {"False", "True"});
  return T;
}
PTypeInfo TypeInfoNotifyEvent() {
  static const PTypeInfo T = MakeStatic("TNotifyEvent", tkMethod);
  return T;
}

PTypeInfo TypeInfoOfClass(const std::string& ClassName) {
  Registry& R = TheRegistry();
  std::lock_guard Guard(R.Lock);
  auto& Slot = R.ClassTypes[UpperCase(ClassName)];
  if (!Slot) Slot = std::make_unique<TTypeInfo>(TTypeInfo{ClassName, tkClass, {}, ClassName});
  return Slot.get();
}

std::string OrdinalToName(PTypeInfo Type, std::int64_t Value) {
  if (Value >= 0 && static_cast<std::size_t>(Value) < Type->Names.size())
    return Type->Names[static_cast<std::size_t>(Value)];
  return IntToStr(Value);
}

std::optional<std::int64_t> NameToOrdinal(PTypeInfo Type, const std::string& Name) {
  for (std::size_t I = 0; I < Type->Names.size(); ++I)
    if (CompareText(Type->Names[I], Name) == 0) return static_cast<std::int64_t>(I);
  return std::nullopt;
}

std::string SetToString(PTypeInfo Type, std::uint64_t Bits) {
  std::string Text = "[";
  for (unsigned Bit = 0; Bit < 64; ++Bit) {
    if (((Bits >> Bit) & 1U) == 0) continue;
    if (Text.size() > 1) Text += ", ";
    Text += OrdinalToName(Type, Bit);
  }
  return Text + "]";
}

bool TPropInfo::IsReference() const {
  const TClassInfo* Class = ClassType();
  return Class && Class->IsComponentClass();
}

const TClassInfo* TPropInfo::ClassType() const {
  if (!PropType || PropType->Kind != tkClass) return nullptr;
  return FindClass(PropType->ClassName);
}

bool TClassInfo::InheritsFrom(const TClassInfo* Other) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    if (C == Other) return true;
  return false;
}

bool TClassInfo::IsComponentClass() const {
  const TClassInfo* Component = ClassInfo<TComponent>();
  return Component && InheritsFrom(Component);
}

const TPropInfo* TClassInfo::FindProperty(const std::string& PropName) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const TPropInfo& P : C->Properties)
      if (CompareText(P.Name, PropName) == 0) return &P;
  return nullptr;
}

const TPublishedMethod* TClassInfo::FindMethod(const std::string& MethodName) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const TPublishedMethod& M : C->Methods)
      if (CompareText(M.Name, MethodName) == 0) return &M;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
  std::vector<const TClassInfo*> Chain;
  for (const TClassInfo* C = this; C; C = C->Parent) Chain.push_back(C);
  std::vector<const TPropInfo*> All;
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
    for (const TPropInfo& P : (*It)->Properties) All.push_back(&P);
  return All;
}

const TClassInfo* RegisterClass(TClassInfo Info) {
  Registry& R = TheRegistry();
  std::lock_guard Guard(R.Lock);
  const std::string Key = UpperCase(Info.Name);
  auto Found = R.ByUpperName.find(Key);
  if (Found != R.ByUpperName.end()) {
    if (Found->second->Type == Info.Type) return Found->second;
    throw EComponentError("A class named " + Info.Name + " is already registered");
  }
  R.Classes.push_back(std::make_unique<TClassInfo>(std::move(Info)));
  const TClassInfo* Stored = R.Classes.back().get();
  R.ByUpperName.emplace(Key, Stored);
  R.ByType.emplace(Stored->Type, Stored);
  return Stored;
}

const TClassInfo* FindClass(const std::string& Name) {
  Registry& R = TheRegistry();
  std::lock_guard Guard(R.Lock);
  auto Found = R.ByUpperName.find(UpperCase(Name));
  return Found == R.ByUpperName.end() ? nullptr : Found->second;
}

const TClassInfo* GetClass(const std::string& Name) {
  const TClassInfo* Class = FindClass(Name);
  if (!Class) throw EClassNotFound("Class " + Name + " not found");
  return Class;
}

const TClassInfo* ClassInfoOf(const std::type_index& Type) {
  Registry& R = TheRegistry();
  std::lock_guard Guard(R.Lock);
  auto Found = R.ByType.find(Type);
  return Found == R.ByType.end() ? nullptr : Found->second;
}

const TClassInfo* ClassInfoOf(const TObject& Object) {
  return ClassInfoOf(std::type_index(typeid(Object)));
}

std::string ClassNameOf(const TObject& Object) {
  const TClassInfo* Class = ClassInfoOf(Object);
  return Class ? Class->Name : std::string();
}

void BindEventHandler(TComponent& Instance, const TPropInfo& Prop, TComponent& Root,
                      const std::string& MethodName) {
  if (!Prop.SetMethod) throw EInvalidOperation("Property " + Prop.Name + " is not an event");
  if (MethodName.empty()) {
    Prop.SetMethod(&Instance, std::any());
    Instance.SetEventHandlerName(Prop.Name, {});
    return;
  }
  const TClassInfo* RootClass = ClassInfoOf(Root);
  const TPublishedMethod* Method = RootClass ? RootClass->FindMethod(MethodName) : nullptr;
  if (!Method) throw EInvalidOperation("Method " + MethodName + " not found");
  if (Method->EventType != Prop.PropType)
    throw EInvalidOperation("Method " + MethodName + " does not fit event " + Prop.Name);
  Prop.SetMethod(&Instance, Method->Bind(&Root));
  Instance.SetEventHandlerName(Prop.Name, Method->Name);
}

std::vector<std::string> MethodNamesFor(const TComponent& Root, PTypeInfo EventType) {
  std::vector<std::string> Names;
  for (const TClassInfo* C = ClassInfoOf(Root); C; C = C->Parent)
    for (const TPublishedMethod& M : C->Methods)
      if (M.EventType == EventType) Names.push_back(M.Name);
  return Names;
}

void RegisterRtlClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    const TClassInfo* Persistent = TClassBuilder<TPersistent>("TPersistent", nullptr).Register();
    TClassBuilder<TComponent>("TComponent", Persistent)
        .String("Name", &TComponent::Name, &TComponent::SetName)
        .Register();
    const TClassInfo* Strings = TClassBuilder<TStrings>("TStrings", Persistent).Register();
    TClassBuilder<TStringList>("TStringList", Strings).Register();
    TClassBuilder<TCollection>("TCollection", Persistent).Register();
    TClassBuilder<TCollectionItem>("TCollectionItem", Persistent).Register();
  });
}

} // namespace kelva
