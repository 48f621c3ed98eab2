// TPropertyEditor: how the object inspector shows and changes one published property of the
// selected objects. The designer makes one editor per property, fills one entry per selected
// object (the object and its TPropInfo), calls Initialize, and then asks for the text, the
// attributes, the value list, or calls Edit for the ellipsis button.
#pragma once

#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TDesignerHost;
struct TPropInfo;

enum TPropertyAttribute : std::uint8_t {
  paValueList,             // GetValues offers the values to pick from
  paSubProperties,         // GetProperties gives the nested rows
  paDialog,                // Edit opens a dialog (the ellipsis button)
  paMultiSelect,           // shown when several objects are selected
  paAutoUpdate,            // SetValue on every keystroke
  paSortList,              // the value list is shown sorted
  paReadOnly,              // the text cannot be typed in
  paRevertable,            // can be reset to its inherited value
  paFullWidthName,         // the name takes the whole row
  paVolatileSubProperties, // the nested rows change with the value
  paReference,             // the value refers to another object
  paNotNestable            // not shown as a sub-property
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

class TPropertyEditor : public TPersistent {
public:
  // PropCount is the number of selected objects the editor serves; at least one.
  TPropertyEditor(TDesignerHost* Designer, std::int32_t PropCount);
  ~TPropertyEditor() override;
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;

  // The dispatch order below is fixed: descendants elsewhere rely on it.
  virtual void Activate();
  virtual bool AllEqual();
  virtual void Edit();
  virtual TPropertyAttributes GetAttributes();
  virtual std::int32_t GetEditLimit();
  virtual std::string GetName();
  virtual void GetProperties(const std::function<void(std::unique_ptr<TPropertyEditor>)>& Proc);
  virtual std::string GetValue();
  virtual void GetValues(const std::function<void(const std::string&)>& Proc);
  virtual void Initialize();
  virtual void SetValue(const std::string& Value);

  // Filled by the designer before Initialize; Index in [0, PropCount).
  void SetPropEntry(std::int32_t Index, TPersistent* Instance, const TPropInfo* PropInfo);

  TPersistent* GetComponent(std::int32_t Index) const;
  std::int32_t PropCount() const { return static_cast<std::int32_t>(FEntries.size()); }
  const TPropInfo* GetPropInfo() const;
  TDesignerHost* Designer() const { return FDesigner; }
  // Tells the designer that the edited objects changed.
  void Modified();
  // The values GetValues offers, in the order the drop-down list shows them (sorted,
  // case-insensitively, when the attributes hold paSortList).
  std::vector<std::string> ListedValues();

  // The getters read the entry being shown (the first one, except while AllEqual compares the
  // entries); the setters write every entry and then call Modified.
  std::int64_t GetOrdValue() const;
  void SetOrdValue(std::int64_t Value);
  double GetFloatValue() const;
  void SetFloatValue(double Value);
  std::string GetStrValue() const;
  void SetStrValue(const std::string& Value);
  TObject* GetObjectValue() const;
  void SetObjectValue(TObject* Value);

  std::int64_t GetOrdValueAt(std::int32_t Index) const;
  double GetFloatValueAt(std::int32_t Index) const;
  std::string GetStrValueAt(std::int32_t Index) const;
  TObject* GetObjectValueAt(std::int32_t Index) const;

protected:
  struct TPropEntry {
    TPersistent* Instance = nullptr;
    const TPropInfo* PropInfo = nullptr;
  };
  const TPropEntry& Entry(std::int32_t Index) const;
  // The entry the getters read.
  std::int32_t ShownIndex() const { return FShownIndex; }
  // Checks that every entry can be written, writes each with Write, then calls Modified.
  void WriteEntries(const std::function<bool(const TPropInfo&)>& CanWrite,
                    const std::function<void(const TPropEntry&)>& Write);

private:
  TDesignerHost* FDesigner;
  std::vector<TPropEntry> FEntries;
  std::int32_t FShownIndex = 0;
};

// What RegisterPropertyEditor stores: a name (registrations are told apart by it) and a
// factory the designer calls with the designer and the number of selected objects.
struct TPropertyEditorClass {
  std::string Name;
  std::function<std::unique_ptr<TPropertyEditor>(TDesignerHost*, std::int32_t)> Create;
};

template <class E>
TPropertyEditorClass PropertyEditorClassOf(std::string Name) {
  return TPropertyEditorClass{std::move(Name), [](TDesignerHost* Designer, std::int32_t PropCount) {
                                return std::unique_ptr<TPropertyEditor>(
                                    std::make_unique<E>(Designer, PropCount));
                              }};
}

} // namespace kelva
