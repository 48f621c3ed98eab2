// Assigning the properties of a parsed form object to a live object: values checked against
// the property's type, dotted names walked through owned sub-objects, string lists and
// collections filled, events bound to the root's methods, and component references recorded
// as fixups that are resolved once every component of the form exists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelva {

class TClassInfo;
class TCollection;
class TComponent;
class TObject;
struct TFormProperty;
struct TFormValue;
struct TPropInfo;

// Raises EReadError "Line N: Message".
[[noreturn]] void FormReadError(int Line, const std::string& Message);
// Runs Step. A failure other than the reader's own (a setter or constructor refusing) is
// raised again as EReadError "Line N: What: <its message>"; EAbort and std::bad_alloc pass
// through unchanged.
void ReportAt(int Line, const std::string& What, const std::function<void()>& Step);

// What the property reader needs from the component reader.
class TFormReaderHost {
public:
  virtual TComponent& Root() = 0;
  // False once a component the read made has been destroyed.
  virtual bool IsAlive(TComponent* C) const = 0;

protected:
  ~TFormReaderHost() = default;
};

class TFormPropertyReader {
public:
  explicit TFormPropertyReader(TFormReaderHost& Host) : FHost(Host) {}

  // Assigns Property to C, whose registered class is Class; Where names C in messages.
  void ReadComponentProperty(TComponent& C, const TClassInfo* Class, const std::string& Where,
                             const TFormProperty& Property);
  // Sets every recorded reference, in file order.
  void ResolveFixups();

private:
  // One step from a component to the object a property belongs to: an owned sub-object
  // property, or an item of the collection reached so far.
  struct TPathStep {
    const TPropInfo* Object = nullptr;
    std::int32_t ItemIndex = -1;
  };
  // Where a value goes, kept as a path rather than a pointer: by the time references are
  // resolved, a later assignment may have replaced the sub-object or collection item.
  struct TTarget {
    TComponent* Holder = nullptr;
    const TClassInfo* HolderClass = nullptr;
    std::vector<TPathStep> Steps;
  };
  struct TFixup {
    TTarget Target;
    const TPropInfo* Prop = nullptr;
    std::string ComponentName;
    std::string Where;
    int Line = 0;
    bool Dropped = false; // its collection item was read again: nothing to resolve
  };

  void ReadProperty(TObject& Instance, const TClassInfo* Class, TTarget Target,
                    const std::string& Where, const TFormProperty& Property,
                    TComponent* EventHolder);
  void Assign(TObject& Instance, const TPropInfo& Prop, const TTarget& Target,
              const std::string& Where, const TFormValue& Value, TComponent* EventHolder);
  void AssignObject(TObject& Instance, const TPropInfo& Prop, const TTarget& Target,
                    const std::string& Where, const TFormValue& Value);
  void ReadCollection(TCollection& Collection, const TPropInfo& Prop, TTarget Target,
                      const std::string& Where, const TFormValue& Value);
  void AddFixup(const TPropInfo& Prop, const TTarget& Target, const std::string& Where,
                const TFormValue& Value);
  // Whether Target lies at or below Prefix.
  static bool Leads(const TTarget& Prefix, const TTarget& Target);
  // The object a fixup's value goes to now, or null when it no longer exists.
  TObject* Locate(const TTarget& Target) const;
  TComponent* FindComponentNamed(const std::string& Name) const;

  TFormReaderHost& FHost;
  std::vector<TFixup> FFixups;
  // The positions in FFixups of each holder's fixups, so that reading a collection looks
  // only at its own component's references, not at every one read so far.
  std::unordered_map<const TComponent*, std::vector<std::size_t>> FFixupsOf;
};

} // namespace kelva
