// The base property editor: its entries, the typed accessors over them, and the behaviour a
// descendant inherits when it overrides nothing.
#include "kelva/framework/design/PropertyEditor.h"

#include "kelva/framework/design/DesignerHost.h"
#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <algorithm>

namespace kelva {

namespace {

// Restores the shown entry however AllEqual's comparison ends.
class ShownIndexGuard {
public:
  explicit ShownIndexGuard(std::int32_t& Index) : FIndex(Index), FSaved(Index) {}
  ~ShownIndexGuard() { FIndex = FSaved; }
  ShownIndexGuard(const ShownIndexGuard&) = delete;
  ShownIndexGuard& operator=(const ShownIndexGuard&) = delete;

private:
  std::int32_t& FIndex;
  std::int32_t FSaved;
};

[[noreturn]] void CannotRead(const TPropInfo& Prop) {
  throw EInvalidOperation("Property " + Prop.Name + " cannot be read");
}

[[noreturn]] void CannotWrite(const TPropInfo& Prop) {
  throw EInvalidOperation("Property " + Prop.Name + " is read-only");
}

} // namespace

TPropertyEditor::TPropertyEditor(TDesignerHost* Designer, std::int32_t PropCount)
    : FDesigner(Designer) {
  if (PropCount < 1) throw EInvalidOperation("A property editor needs at least one object");
  FEntries.resize(static_cast<std::size_t>(PropCount));
}

TPropertyEditor::~TPropertyEditor() = default;

void TPropertyEditor::Activate() {}

bool TPropertyEditor::AllEqual() {
  if (PropCount() <= 1) return true;
  ShownIndexGuard Guard(FShownIndex);
  FShownIndex = 0;
  const std::string First = GetValue();
  for (FShownIndex = 1; FShownIndex < PropCount(); ++FShownIndex)
    if (GetValue() != First) return false;
  return true;
}

void TPropertyEditor::Edit() {
  if (!GetAttributes().Contains(paValueList)) return;
  const std::vector<std::string> Values = ListedValues();
  if (Values.empty()) return;
  // The value after the current one, wrapping round; an unlisted value moves to the first.
  const std::string Current = GetValue();
  std::size_t Next = 0;
  for (std::size_t I = 0; I < Values.size(); ++I)
    if (CompareText(Values[I], Current) == 0) {
      Next = (I + 1) % Values.size();
      break;
    }
  SetValue(Values[Next]);
}

TPropertyAttributes TPropertyEditor::GetAttributes() {
  return {paRevertable, paMultiSelect};
}

std::int32_t TPropertyEditor::GetEditLimit() {
  return 255;
}

std::string TPropertyEditor::GetName() {
  const TPropInfo* Prop = GetPropInfo();
  return Prop ? Prop->Name : std::string();
}

void TPropertyEditor::GetProperties(const std::function<void(std::unique_ptr<TPropertyEditor>)>&) {}

std::string TPropertyEditor::GetValue() {
  return "(unknown)";
}

void TPropertyEditor::GetValues(const std::function<void(const std::string&)>&) {}

void TPropertyEditor::Initialize() {}

void TPropertyEditor::SetValue(const std::string&) {
  // Silently keeping the old value would look like success to the developer who typed it.
  throw EInvalidOperation("Property " + GetName() + " cannot be set from text");
}

void TPropertyEditor::SetPropEntry(std::int32_t Index, TPersistent* Instance,
                                   const TPropInfo* PropInfo) {
  if (Index < 0 || Index >= PropCount()) throw EListError(Format(SListIndexError, {Index}));
  if (!Instance || !PropInfo)
    throw EInvalidOperation("A property entry needs an object and a property");
  FEntries[static_cast<std::size_t>(Index)] = TPropEntry{Instance, PropInfo};
}

const TPropertyEditor::TPropEntry& TPropertyEditor::Entry(std::int32_t Index) const {
  if (Index < 0 || Index >= PropCount()) throw EListError(Format(SListIndexError, {Index}));
  const TPropEntry& Found = FEntries[static_cast<std::size_t>(Index)];
  if (!Found.Instance)
    throw EInvalidOperation("Property editor entry " + IntToStr(Index) + " is not filled");
  return Found;
}

TPersistent* TPropertyEditor::GetComponent(std::int32_t Index) const {
  return Entry(Index).Instance;
}

const TPropInfo* TPropertyEditor::GetPropInfo() const {
  return FEntries.front().PropInfo;
}

void TPropertyEditor::Modified() {
  if (FDesigner) FDesigner->Modified();
}

std::vector<std::string> TPropertyEditor::ListedValues() {
  std::vector<std::string> Values;
  GetValues([&Values](const std::string& Value) { Values.push_back(Value); });
  if (GetAttributes().Contains(paSortList))
    std::stable_sort(Values.begin(), Values.end(), [](const std::string& A, const std::string& B) {
      return CompareText(A, B) < 0;
    });
  return Values;
}

std::int64_t TPropertyEditor::GetOrdValueAt(std::int32_t Index) const {
  const TPropEntry& E = Entry(Index);
  if (!E.PropInfo->GetOrd) CannotRead(*E.PropInfo);
  return E.PropInfo->GetOrd(E.Instance);
}

double TPropertyEditor::GetFloatValueAt(std::int32_t Index) const {
  const TPropEntry& E = Entry(Index);
  if (!E.PropInfo->GetFloat) CannotRead(*E.PropInfo);
  return E.PropInfo->GetFloat(E.Instance);
}

std::string TPropertyEditor::GetStrValueAt(std::int32_t Index) const {
  const TPropEntry& E = Entry(Index);
  if (!E.PropInfo->GetStr) CannotRead(*E.PropInfo);
  return E.PropInfo->GetStr(E.Instance);
}

TObject* TPropertyEditor::GetObjectValueAt(std::int32_t Index) const {
  const TPropEntry& E = Entry(Index);
  if (!E.PropInfo->GetObject) CannotRead(*E.PropInfo);
  return E.PropInfo->GetObject(E.Instance);
}

std::int64_t TPropertyEditor::GetOrdValue() const {
  return GetOrdValueAt(FShownIndex);
}

double TPropertyEditor::GetFloatValue() const {
  return GetFloatValueAt(FShownIndex);
}

std::string TPropertyEditor::GetStrValue() const {
  return GetStrValueAt(FShownIndex);
}

TObject* TPropertyEditor::GetObjectValue() const {
  return GetObjectValueAt(FShownIndex);
}

void TPropertyEditor::WriteEntries(const std::function<bool(const TPropInfo&)>& CanWrite,
                                   const std::function<void(const TPropEntry&)>& Write) {
  // Every entry is checked first, so that a read-only entry does not leave the others half
  // changed; a setter that throws part-way still reports the entries it already changed.
  for (std::int32_t I = 0; I < PropCount(); ++I)
    if (!CanWrite(*Entry(I).PropInfo)) CannotWrite(*Entry(I).PropInfo);
  bool Changed = false;
  try {
    for (const TPropEntry& E : FEntries) {
      Write(E);
      Changed = true;
    }
  } catch (...) {
    if (Changed) Modified();
    throw;
  }
  Modified();
}

void TPropertyEditor::SetOrdValue(std::int64_t Value) {
  WriteEntries([](const TPropInfo& P) { return static_cast<bool>(P.SetOrd); },
               [Value](const TPropEntry& E) { E.PropInfo->SetOrd(E.Instance, Value); });
}

void TPropertyEditor::SetFloatValue(double Value) {
  WriteEntries([](const TPropInfo& P) { return static_cast<bool>(P.SetFloat); },
               [Value](const TPropEntry& E) { E.PropInfo->SetFloat(E.Instance, Value); });
}

void TPropertyEditor::SetStrValue(const std::string& Value) {
  WriteEntries([](const TPropInfo& P) { return static_cast<bool>(P.SetStr); },
               [&Value](const TPropEntry& E) { E.PropInfo->SetStr(E.Instance, Value); });
}

void TPropertyEditor::SetObjectValue(TObject* Value) {
  WriteEntries([](const TPropInfo& P) { return static_cast<bool>(P.SetObject); },
               [Value](const TPropEntry& E) { E.PropInfo->SetObject(E.Instance, Value); });
}

} // namespace kelva
