// The form writer: a component, its properties (the stored ones that differ from their
// defaults), then its children, indented two spaces per level.
#include "kelva/framework/rtl/FormWriter.h"

#include "kelva/framework/rtl/Collection.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/FormLiterals.h"
#include "kelva/framework/rtl/FormParser.h"
#include "kelva/framework/rtl/Streams.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <unordered_set>
#include <vector>

namespace kelva {

namespace {

class TFormWriter {
public:
  explicit TFormWriter(TComponent& Root) : FRoot(Root) {}

  std::string Write() {
    WriteComponent(FRoot, 0);
    return std::move(FOut);
  }

private:
  [[noreturn]] static void Fail(const std::string& Message) { throw EWriteError(Message); }

  static std::string Indentation(int Level) { return std::string(2 * Level, ' '); }
  void Line(int Level, const std::string& Text) {
    FOut += Indentation(Level);
    FOut += Text;
    FOut += '\n';
  }
  // Appends Closer to the last line written (the ">" after an item's "end").
  void CloseLastLine(char Closer) {
    FOut.pop_back();
    FOut += Closer;
    FOut += '\n';
  }
  static void CheckDepth(int Level, const std::string& Where) {
    // The reader counts the top object as level 1.
    if (Level + 1 > MaxFormNestingDepth)
      Fail(Where + " is nested deeper than " + std::to_string(MaxFormNestingDepth) +
           " levels, which a form file cannot hold");
  }

  void WriteComponent(TComponent& C, int Level) {
    const TClassInfo* Class = ClassInfoOf(C);
    const std::string Display = C.Name().empty() ? "an unnamed component" : C.Name();
    if (!Class) Fail("The class of " + Display + " is not registered");
    CheckDepth(Level, Display);
    if (!FWritten.insert(&C).second) Fail(Display + " is listed twice in the component tree");

    Line(Level, "object " + (C.Name().empty() ? Class->Name : C.Name() + ": " + Class->Name));
    WriteProperties(C, *Class, C.Name().empty() ? Class->Name : C.Name(), "", &C, Level + 1, Level,
                    0);
    std::vector<TComponent*> Children;
    C.GetChildren([&](TComponent* Child) { Children.push_back(Child); }, &FRoot);
    for (TComponent* Child : Children) WriteComponent(*Child, Level + 1);
    Line(Level, "end");
  }

  // Level: the indentation; Depth: the nesting the reader will count; SubDepth: how many
  // sub-objects deep the dotted names go (bounded, in case sub-objects form a cycle).
  void WriteProperties(TObject& Instance, const TClassInfo& Class, const std::string& Where,
                       const std::string& Prefix, TComponent* EventHolder, int Level, int Depth,
                       int SubDepth) {
    if (SubDepth > MaxFormNestingDepth)
      Fail(Where + ": sub-objects nested deeper than " + std::to_string(MaxFormNestingDepth) +
           " levels");
    for (const TPropInfo* Prop : Class.AllProperties()) {
      // The header carries a component's name.
      if (EventHolder && Prefix.empty() && Prop->Name == "Name") continue;
      if (Prop->Stored && !Prop->Stored(&Instance)) continue;
      WriteProperty(Instance, *Prop, Where, Prefix + Prop->Name, EventHolder, Level, Depth,
                    SubDepth);
    }
  }

  void WriteProperty(TObject& Instance, const TPropInfo& Prop, const std::string& Where,
                     const std::string& Name, TComponent* EventHolder, int Level, int Depth,
                     int SubDepth) {
    const PTypeInfo Type = Prop.PropType;
    const std::string Path = Where + "." + Name;
    // Only what the reader can set again is written.
    switch (Type->Kind) {
    case tkInteger:
    case tkEnumeration:
    case tkSet: {
      if (!Prop.GetOrd || !Prop.SetOrd) return;
      const std::int64_t Value = Prop.GetOrd(&Instance);
      if (Prop.DefaultOrd && *Prop.DefaultOrd == Value) return;
      Line(Level, Name + " = " + OrdinalText(Type, Value, Path));
      return;
    }
    case tkFloat: {
      if (!Prop.GetFloat || !Prop.SetFloat) return;
      const double Value = Prop.GetFloat(&Instance);
      if (Value == 0.0) return;
      Line(Level, Name + " = " + FormatFormFloat(Value));
      return;
    }
    case tkString: {
      if (!Prop.GetStr || !Prop.SetStr) return;
      const std::string Value = Prop.GetStr(&Instance);
      if (Value.empty()) return;
      Line(Level, Name + " = " + FormatFormString(Value, Indentation(Level + 1)));
      return;
    }
    case tkMethod: {
      // Handlers assigned in code have no name to write; a name whose handler was cleared
      // meanwhile is stale.
      if (!EventHolder || !Prop.SetMethod) return;
      const std::string Method = EventHolder->EventHandlerName(Prop.Name);
      if (Method.empty() || (Prop.HasMethod && !Prop.HasMethod(&Instance))) return;
      Line(Level, Name + " = " + Method);
      return;
    }
    case tkClass:
      WriteObjectProperty(Instance, Prop, Where, Name, Level, Depth, SubDepth);
      return;
    }
  }

  static std::string OrdinalText(PTypeInfo Type, std::int64_t Value, const std::string& Path) {
    const auto Names = static_cast<std::int64_t>(Type->Names.size());
    if (Type->Kind == tkInteger) return IntToStr(Value);
    if (Type->Kind == tkEnumeration) {
      if (Value < 0 || Value >= Names)
        Fail(Path + ": " + Type->Name + " has no name for the value " + IntToStr(Value));
      return Type->Names[static_cast<std::size_t>(Value)];
    }
    const auto Bits = static_cast<std::uint64_t>(Value);
    if (Names < 64 && (Bits >> Names) != 0)
      Fail(Path + ": the set holds an element that " + Type->Name + " does not name");
    return SetToString(Type, Bits);
  }

  void WriteObjectProperty(TObject& Instance, const TPropInfo& Prop, const std::string& Where,
                           const std::string& Name, int Level, int Depth, int SubDepth) {
    if (!Prop.GetObject) return;
    TObject* Object = Prop.GetObject(&Instance);
    if (!Object) return;
    const std::string Path = Where + "." + Name;
    if (auto* Component = dynamic_cast<TComponent*>(Object)) {
      if (Prop.SetObject) Line(Level, Name + " = " + ReferenceName(*Component, Path));
      return;
    }
    if (auto* Collection = dynamic_cast<TCollection*>(Object)) {
      if (Collection->Count() > 0) WriteCollection(*Collection, Path, Name, Level, Depth);
      return;
    }
    if (auto* Strings = dynamic_cast<TStrings*>(Object)) {
      if (Strings->Count() > 0) WriteStrings(*Strings, Name, Level);
      return;
    }
    const TClassInfo* SubClass = ClassInfoOf(*Object);
    if (!SubClass) SubClass = Prop.ClassType();
    if (SubClass)
      WriteProperties(*Object, *SubClass, Where, Name + ".", nullptr, Level, Depth, SubDepth + 1);
  }

  std::string ReferenceName(TComponent& Target, const std::string& Path) const {
    if (Target.Name().empty()) Fail(Path + " refers to a component without a name");
    if (&Target == &FRoot) {
      // The reader looks among the owned components first.
      if (FRoot.FindComponent(Target.Name()))
        Fail(Path + " refers to the root, whose name " + Target.Name() +
             " is also the name of one of its components");
      return Target.Name();
    }
    if (Target.Owner() != &FRoot)
      Fail(Path + " refers to " + Target.Name() + ", which the root " + FRoot.Name() +
           " does not own");
    return Target.Name();
  }

  void WriteCollection(TCollection& Collection, const std::string& Path, const std::string& Name,
                       int Level, int Depth) {
    CheckDepth(Depth + 1, Path);
    Line(Level, Name + " = <");
    for (std::int32_t I = 0; I < Collection.Count(); ++I) {
      TCollectionItem* Item = Collection.Items(I);
      Line(Level + 1, "item");
      const TClassInfo* ItemClass = ClassInfoOf(*Item);
      if (!ItemClass) ItemClass = Collection.ItemClass();
      if (ItemClass)
        WriteProperties(*Item, *ItemClass, Path + "[" + std::to_string(I) + "]", "", nullptr,
                        Level + 2, Depth + 1, 0);
      Line(Level + 1, "end");
    }
    CloseLastLine('>');
  }

  void WriteStrings(const TStrings& Strings, const std::string& Name, int Level) {
    Line(Level, Name + " = (");
    for (std::int32_t I = 0; I < Strings.Count(); ++I)
      Line(Level + 1, FormatFormString(Strings[I], Indentation(Level + 2)));
    CloseLastLine(')');
  }

  TComponent& FRoot;
  std::string FOut;
  std::unordered_set<const TComponent*> FWritten;
};

} // namespace

std::string WriteComponentToText(TComponent& Root) {
  return TFormWriter(Root).Write();
}

void WriteComponentToText(TComponent& Root, TStream& Stream) {
  Stream.WriteBuffer(WriteComponentToText(Root));
}

} // namespace kelva
