// The palette and property-editor registries, and the choice of the most specific editor for
// a property.
#include "kelva/framework/design/DesignIntf.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <mutex>

namespace kelva {

namespace {

struct PalettePage {
  std::string Name;
  std::vector<const TClassInfo*> Classes;
};

struct EditorRegistration {
  PTypeInfo PropertyType;
  const TClassInfo* ComponentClass; // null: any
  std::string PropertyName;         // "": any
  TPropertyEditorClass EditorClass;
};

struct DesignRegistry {
  std::mutex Lock;
  std::vector<PalettePage> Pages; // in order of first registration
  // A deque: FindPropertyEditorClass hands out addresses that later registrations must not
  // move.
  std::deque<EditorRegistration> Editors;
};

DesignRegistry& TheDesignRegistry() {
  static DesignRegistry R;
  return R;
}

constexpr int NoMatch = -1;
constexpr int Unrelated = std::numeric_limits<int>::max();

// How many parent steps lead from Class up to Ancestor; NoMatch when Ancestor is not one.
int ClassDistance(const TClassInfo* Class, const TClassInfo* Ancestor) {
  int Steps = 0;
  for (const TClassInfo* C = Class; C; C = C->Parent, ++Steps)
    if (C == Ancestor) return Steps;
  return NoMatch;
}

// Steps from the property's type up to the registered type: 0 for the same type, more for a
// property whose class descends from the registered class.
int PropertyTypeDistance(const TPropInfo& Prop, PTypeInfo Registered) {
  if (!Prop.PropType) return NoMatch;
  if (Prop.PropType == Registered) return 0;
  if (Prop.PropType->Kind != tkClass || Registered->Kind != tkClass) return NoMatch;
  const TClassInfo* PropClass = Prop.ClassType();
  const TClassInfo* RegisteredClass = FindClass(Registered->ClassName);
  if (!PropClass || !RegisteredClass) {
    // A class not registered yet can still be named exactly.
    return CompareText(Prop.PropType->ClassName, Registered->ClassName) == 0 ? 0 : NoMatch;
  }
  return ClassDistance(PropClass, RegisteredClass);
}

// Ranks a fitting registration: compared lexicographically, the greater wins. A given name
// beats any name, then the nearer component class, then the nearer property type.
struct Specificity {
  bool NameGiven;
  int ComponentSteps; // Unrelated when the registration is for any component class
  int TypeSteps;

  bool BeatsOrTies(const Specificity& Other) const {
    if (NameGiven != Other.NameGiven) return NameGiven;
    if (ComponentSteps != Other.ComponentSteps) return ComponentSteps < Other.ComponentSteps;
    return TypeSteps <= Other.TypeSteps;
  }
};

bool SameEditorRegistration(const EditorRegistration& A, const EditorRegistration& B) {
  return A.PropertyType == B.PropertyType && A.ComponentClass == B.ComponentClass &&
         CompareText(A.PropertyName, B.PropertyName) == 0 &&
         A.EditorClass.Name == B.EditorClass.Name;
}

} // namespace

void RegisterComponents(const std::string& Page,
                        std::initializer_list<const TClassInfo*> ComponentClasses) {
  if (Page.empty()) throw EComponentError("A palette page needs a name");
  for (const TClassInfo* Class : ComponentClasses) {
    if (!Class) throw EComponentError("Cannot register a null class on palette page " + Page);
    if (!Class->IsComponentClass())
      throw EComponentError("Class " + Class->Name + " is not a component class");
    if (!Class->Create)
      throw EComponentError("Class " + Class->Name + " cannot be created by the designer");
  }

  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  auto Found = std::find_if(R.Pages.begin(), R.Pages.end(), [&Page](const PalettePage& P) {
    return CompareText(P.Name, Page) == 0;
  });
  if (Found == R.Pages.end()) Found = R.Pages.insert(R.Pages.end(), PalettePage{Page, {}});
  for (const TClassInfo* Class : ComponentClasses)
    if (std::find(Found->Classes.begin(), Found->Classes.end(), Class) == Found->Classes.end())
      Found->Classes.push_back(Class);
}

void RegisterPropertyEditor(PTypeInfo PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass) {
  if (!PropertyType) throw EInvalidOperation("A property editor needs a property type");
  if (!EditorClass.Create)
    throw EInvalidOperation("Property editor " + EditorClass.Name + " has no factory");

  EditorRegistration Added{PropertyType, ComponentClass, PropertyName, std::move(EditorClass)};
  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  for (const EditorRegistration& Existing : R.Editors)
    if (SameEditorRegistration(Existing, Added)) return;
  R.Editors.push_back(std::move(Added));
}

std::vector<std::string> PalettePages() {
  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  std::vector<std::string> Names;
  for (const PalettePage& P : R.Pages) Names.push_back(P.Name);
  return Names;
}

std::vector<const TClassInfo*> PaletteClasses(const std::string& Page) {
  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  for (const PalettePage& P : R.Pages)
    if (CompareText(P.Name, Page) == 0) return P.Classes;
  return {};
}

bool IsPaletteClass(const TClassInfo* Class) {
  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  return std::any_of(R.Pages.begin(), R.Pages.end(), [Class](const PalettePage& P) {
    return std::find(P.Classes.begin(), P.Classes.end(), Class) != P.Classes.end();
  });
}

const TPropertyEditorClass* FindPropertyEditorClass(const TPropInfo& Prop,
                                                    const TClassInfo* ComponentClass) {
  DesignRegistry& R = TheDesignRegistry();
  std::lock_guard Guard(R.Lock);
  const EditorRegistration* Best = nullptr;
  Specificity BestRank{};
  // Later registrations come later in the list, so on a tie they replace the earlier one.
  for (const EditorRegistration& Reg : R.Editors) {
    if (!Reg.PropertyName.empty() && CompareText(Reg.PropertyName, Prop.Name) != 0) continue;
    int ComponentSteps = Unrelated;
    if (Reg.ComponentClass) {
      ComponentSteps = ClassDistance(ComponentClass, Reg.ComponentClass);
      if (ComponentSteps == NoMatch) continue;
    }
    const int TypeSteps = PropertyTypeDistance(Prop, Reg.PropertyType);
    if (TypeSteps == NoMatch) continue;
    const Specificity Rank{!Reg.PropertyName.empty(), ComponentSteps, TypeSteps};
    if (!Best || Rank.BeatsOrTies(BestRank)) {
      Best = &Reg;
      BestRank = Rank;
    }
  }
  return Best ? &Best->EditorClass : nullptr;
}

} // namespace kelva
