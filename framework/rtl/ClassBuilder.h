// TClassBuilder<T>: declares a class's published properties and methods from its member
// functions, so that each registration reads like the class's published section:
//
//   TClassBuilder<TButton>("TButton", ClassInfo<TControl>())
//       .Creatable()
//       .String("Caption", &TButton::Caption, &TButton::SetCaption)
//       .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
//       .Event("OnClick", TypeInfoNotifyEvent(), &TButton::OnClick)
//       .Register();
#pragma once

#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Strings.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <functional>
#include <string>
#include <utility>

namespace kelva {

template <class T>
class TClassBuilder {
public:
  TClassBuilder(std::string Name, const TClassInfo* Parent) {
    FInfo.Name = std::move(Name);
    FInfo.Parent = Parent;
    FInfo.Type = std::type_index(typeid(T));
  }

  // The class can be created by a form file or the palette: new T(Owner).
  TClassBuilder& Creatable() {
    FInfo.Create = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    return *this;
  }
  // The same, for a class whose Notification keeps the promise of
  // TComponent::RestrictNotificationsToLinks: each instance made here makes it.
  TClassBuilder& CreatableRestrictedToLinks() {
    FInfo.Create = [](TComponent* Owner) -> TComponent* {
      T* Made = new T(Owner);
      Made->RestrictNotificationsToLinks();
      return Made;
    };
    return *this;
  }

  template <class Get, class Set>
  TClassBuilder& Integer(std::string Name, Get G, Set S, std::int64_t Default = 0) {
    TPropInfo P = Make(std::move(Name), TypeInfoInteger());
    P.GetOrd = [G](TObject* O) { return static_cast<std::int64_t>(std::invoke(G, Self(O))); };
    P.SetOrd = [S](TObject* O, std::int64_t V) { std::invoke(S, Self(O), V); };
    P.DefaultOrd = Default;
    return Add(std::move(P));
  }

  template <class Get, class Set>
  TClassBuilder& Bool(std::string Name, Get G, Set S, bool Default) {
    TPropInfo P = Make(std::move(Name), TypeInfoBoolean());
    P.GetOrd = [G](TObject* O) { return std::int64_t{std::invoke(G, Self(O)) ? 1 : 0}; };
    P.SetOrd = [S](TObject* O, std::int64_t V) { std::invoke(S, Self(O), V != 0); };
    P.DefaultOrd = Default ? 1 : 0;
    return Add(std::move(P));
  }

  template <class Get, class Set>
  TClassBuilder& Float(std::string Name, Get G, Set S) {
    TPropInfo P = Make(std::move(Name), TypeInfoDouble());
    P.GetFloat = [G](TObject* O) { return static_cast<double>(std::invoke(G, Self(O))); };
    P.SetFloat = [S](TObject* O, double V) { std::invoke(S, Self(O), V); };
    return Add(std::move(P));
  }

  template <class Get, class Set>
  TClassBuilder& String(std::string Name, Get G, Set S) {
    TPropInfo P = Make(std::move(Name), TypeInfoString());
    P.GetStr = [G](TObject* O) { return std::string(std::invoke(G, Self(O))); };
    P.SetStr = [S](TObject* O, const std::string& V) { std::invoke(S, Self(O), V); };
    return Add(std::move(P));
  }

  // An enumeration property; Type names the values in ordinal order.
  template <class Get, class Set, class E>
  TClassBuilder& Enum(std::string Name, PTypeInfo Type, Get G, Set S, E Default) {
    TPropInfo P = Make(std::move(Name), Type);
    P.GetOrd = [G](TObject* O) { return static_cast<std::int64_t>(std::invoke(G, Self(O))); };
    P.SetOrd = [S](TObject* O, std::int64_t V) { std::invoke(S, Self(O), static_cast<E>(V)); };
    P.DefaultOrd = static_cast<std::int64_t>(Default);
    return Add(std::move(P));
  }

  // A set property held as a TSet<E>; Type names the elements by bit number.
  template <class Get, class Set, class E>
  TClassBuilder& SetOf(std::string Name, PTypeInfo Type, Get G, Set S, TSet<E> Default) {
    TPropInfo P = Make(std::move(Name), Type);
    P.GetOrd = [G](TObject* O) {
      return static_cast<std::int64_t>(TSet<E>(std::invoke(G, Self(O))).Bits());
    };
    P.SetOrd = [S](TObject* O, std::int64_t V) {
      TSet<E> Value;
      for (unsigned Bit = 0; Bit < 64; ++Bit)
        if ((static_cast<std::uint64_t>(V) >> Bit) & 1U) Value.Include(static_cast<E>(Bit));
      std::invoke(S, Self(O), Value);
    };
    P.DefaultOrd = static_cast<std::int64_t>(Default.Bits());
    return Add(std::move(P));
  }

  // A string-list property: Get returns the owned list, Set copies a new one in.
  template <class Get, class Set>
  TClassBuilder& Strings(std::string Name, Get G, Set S) {
    TPropInfo P = Make(std::move(Name), TypeInfoOfClass("TStrings"));
    P.GetObject = [G](TObject* O) -> TObject* { return &std::invoke(G, Self(O)); };
    P.SetObject = [S](TObject* O, TObject* V) {
      std::invoke(S, Self(O), dynamic_cast<const TStrings&>(*V));
    };
    P.Stored = [G](TObject* O) { return std::invoke(G, Self(O)).Count() > 0; };
    return Add(std::move(P));
  }

  // An owned sub-object whose own published properties are read and written in place (a
  // collection, a column title). Get returns a reference or pointer to it.
  template <class Get>
  TClassBuilder& Object(std::string Name, const std::string& ClassName, Get G) {
    TPropInfo P = Make(std::move(Name), TypeInfoOfClass(ClassName));
    P.GetObject = [G](TObject* O) -> TObject* { return AsPointer(std::invoke(G, Self(O))); };
    return Add(std::move(P));
  }

  // A reference to another component of class C (or a descendant).
  template <class C, class Get, class Set>
  TClassBuilder& Reference(std::string Name, const std::string& ClassName, Get G, Set S) {
    TPropInfo P = Make(std::move(Name), TypeInfoOfClass(ClassName));
    P.GetObject = [G](TObject* O) -> TObject* { return std::invoke(G, Self(O)); };
    P.SetObject = [S](TObject* O, TObject* V) {
      C* Target = V ? dynamic_cast<C*>(V) : nullptr;
      if (V && !Target) throw EInvalidOperation("Invalid property value");
      std::invoke(S, Self(O), Target);
    };
    return Add(std::move(P));
  }

  // An event held in the public std::function member M, of the event type Type.
  template <class Ev>
  TClassBuilder& Event(std::string Name, PTypeInfo Type, Ev T::*M) {
    TPropInfo P = Make(std::move(Name), Type);
    P.SetMethod = [M](TObject* O, const std::any& Handler) {
      Self(O)->*M = Handler.has_value() ? std::any_cast<Ev>(Handler) : Ev();
    };
    P.HasMethod = [M](TObject* O) { return static_cast<bool>(Self(O)->*M); };
    return Add(std::move(P));
  }

  // A published method, bindable by name to events of type Type whose std::function type is
  // Ev. Works for methods of T and of its bases.
  template <class Ev, class Fn>
  TClassBuilder& Method(std::string Name, PTypeInfo Type, Fn F) {
    TPublishedMethod M;
    M.Name = std::move(Name);
    M.EventType = Type;
    M.Bind = [F](TObject* Instance) -> std::any {
      T* Target = Self(Instance);
      return Ev([Target, F](auto&&... Args) {
        return std::invoke(F, Target, std::forward<decltype(Args)>(Args)...);
      });
    };
    FInfo.Methods.push_back(std::move(M));
    return *this;
  }

  // Writes the property last declared only for objects where Stored says so.
  TClassBuilder& StoredWhen(std::function<bool(TObject*)> Stored) {
    FInfo.Properties.back().Stored = std::move(Stored);
    return *this;
  }

  // Anything else: a descriptor the caller fills in.
  TClassBuilder& Property(TPropInfo P) { return Add(std::move(P)); }

  const TClassInfo* Register() { return RegisterClass(std::move(FInfo)); }

private:
  static T* Self(TObject* O) { return static_cast<T*>(O); }
  template <class U>
  static TObject* AsPointer(U& Ref) {
    return &Ref;
  }
  template <class U>
  static TObject* AsPointer(U* Ptr) {
    return Ptr;
  }
  static TPropInfo Make(std::string Name, PTypeInfo Type) {
    TPropInfo P;
    P.Name = std::move(Name);
    P.PropType = Type;
    return P;
  }
  TClassBuilder& Add(TPropInfo P) {
    FInfo.Properties.push_back(std::move(P));
    return *this;
  }

  TClassInfo FInfo;
};

} // namespace kelva
