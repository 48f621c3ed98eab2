// Published-property type information: what a class shows to form files and to the designer.
// A class registers a TClassInfo naming its parent, how to create it (components only), its
// published properties with typed accessors, and its published methods (event handlers a
// form file can bind by name). Lookups go by class name or by the object's dynamic type.
#pragma once

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Types.h"

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

namespace kelva {

class TClassInfo;
class TComponent;

enum TTypeKind : std::uint8_t {
  tkInteger,     // signed integer
  tkFloat,       // double
  tkString,      // text
  tkEnumeration, // named ordinal values; Boolean is the enumeration False, True
  tkSet,         // a set of named elements, held as bits
  tkClass,       // an object: a component reference or an owned sub-object
  tkMethod       // an event, bound to a published method of the form's root
};

struct TTypeInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;
  // tkEnumeration: the value names by ordinal; tkSet: the element names by bit number.
  std::vector<std::string> Names;
  // tkClass: the class of the property; resolved lazily so that type descriptors can be
  // static objects declared before any class is registered.
  std::string ClassName;
};
using PTypeInfo = const TTypeInfo*;

PTypeInfo TypeInfoInteger();
PTypeInfo TypeInfoDouble();
PTypeInfo TypeInfoString();
PTypeInfo TypeInfoBoolean();
PTypeInfo TypeInfoNotifyEvent();
// The descriptor of a class type, made once per class name.
PTypeInfo TypeInfoOfClass(const std::string& ClassName);

// Text of an enumeration value or a set, as form files and the object inspector write them.
std::string OrdinalToName(PTypeInfo Type, std::int64_t Value);
// The ordinal for Name (case-insensitive); nullopt when the type has no such name.
std::optional<std::int64_t> NameToOrdinal(PTypeInfo Type, const std::string& Name);
std::string SetToString(PTypeInfo Type, std::uint64_t Bits); // "[a, b]"

struct TPropInfo {
  std::string Name;
  PTypeInfo PropType = nullptr;

  // tkInteger, tkEnumeration and tkSet (the bits) go through the ordinal pair.
  std::function<std::int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, std::int64_t)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  // tkClass. A reference property (its class is a component) is set to another component; an
  // owned sub-object (string list, collection, nested persistent) is read through GetObject,
  // and SetObject, when present, takes a new value to copy (a string list's setter).
  std::function<TObject*(TObject*)> GetObject;
  std::function<void(TObject*, TObject*)> SetObject;
  // tkMethod: SetMethod takes the bound handler (an empty std::any clears the event);
  // HasMethod tells whether a handler is assigned.
  std::function<void(TObject*, const std::any&)> SetMethod;
  std::function<bool(TObject*)> HasMethod;

  // Ordinal and float values equal to the default are not written to form files.
  std::optional<std::int64_t> DefaultOrd;
  // When set and false for an object, the property is not written.
  std::function<bool(TObject*)> Stored;

  bool IsReference() const;            // tkClass whose class is a component
  const TClassInfo* ClassType() const; // tkClass: the registered class, or null
};

struct TPublishedMethod {
  std::string Name;
  PTypeInfo EventType = nullptr;
  // Makes the handler bound to Instance (an object of the class that publishes the method),
  // as a std::any holding the event's std::function type.
  std::function<std::any(TObject* Instance)> Bind;
};

class TClassInfo {
public:
  std::string Name;
  const TClassInfo* Parent = nullptr;
  std::type_index Type = typeid(void);
  // Components only: makes an instance owned by Owner.
  std::function<TComponent*(TComponent* Owner)> Create;
  std::vector<TPropInfo> Properties;     // this class's own, in declaration order
  std::vector<TPublishedMethod> Methods; // this class's own

  bool InheritsFrom(const TClassInfo* Other) const;
  bool IsComponentClass() const;
  // Case-insensitive, searching the parents too.
  const TPropInfo* FindProperty(const std::string& PropName) const;
  const TPublishedMethod* FindMethod(const std::string& MethodName) const;
  // Every published property, the root class's first.
  std::vector<const TPropInfo*> AllProperties() const;
};

// Registers Info; registering a class again under the same name and type is ignored, a
// different type under a taken name raises EComponentError.
const TClassInfo* RegisterClass(TClassInfo Info);
const TClassInfo* FindClass(const std::string& Name);       // null when unknown
const TClassInfo* GetClass(const std::string& Name);        // raises EClassNotFound
const TClassInfo* ClassInfoOf(const std::type_index& Type); // exact type; null when unknown
const TClassInfo* ClassInfoOf(const TObject& Object);       // the object's dynamic type
template <class T>
const TClassInfo* ClassInfo() {
  return ClassInfoOf(std::type_index(typeid(T)));
}
// The registered name of the object's class, or an empty text for an unregistered class.
std::string ClassNameOf(const TObject& Object);

// Binds the published method MethodName of Root's class to the event Prop of Instance, and
// records the name on Instance so that it can be written back; an empty name clears the
// event. Raises EInvalidOperation when Root's class publishes no such method or when the
// method's event type is not the property's.
void BindEventHandler(TComponent& Instance, const TPropInfo& Prop, TComponent& Root,
                      const std::string& MethodName);
// The names of the published methods of Root's class that fit events of type EventType.
std::vector<std::string> MethodNamesFor(const TComponent& Root, PTypeInfo EventType);

// Registers the classes of the run-time library (TPersistent, TComponent, TStrings,
// TStringList, TCollection, TCollectionItem). Safe to call many times.
void RegisterRtlClasses();

} // namespace kelva
