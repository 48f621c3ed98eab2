// Components for the form-file tests: a form root with published methods, controls that nest
// inside each other and carry one property of every kind (a sub-object, a collection, a string
// list, references, an event), and the probe dataset registered for streaming. Every control
// logs its Loaded call, with what it saw then, into the form that owns it.
#pragma once

#include "../db/ProbeDataSet.h"

#include "kelva/framework/rtl/Collection.h"
#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Strings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelva::test {

enum TTestAlign : std::uint8_t { alNone, alTop, alClient };
enum TTestOption : std::uint8_t { toTitles, toIndicator, toLines };
using TTestOptions = TSet<TTestOption>;

class TTestTitle : public TPersistent {
public:
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  std::int32_t Height() const { return FHeight; }
  void SetHeight(std::int32_t Value) { FHeight = Value; }

private:
  std::string FCaption;
  std::int32_t FHeight = 0;
};

class TTestColumn : public TCollectionItem {
public:
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value) { FFieldName = Value; }
  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t Value) { FWidth = Value; }
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* Value) { FLink = Value; }

private:
  std::string FFieldName;
  std::int32_t FWidth = 64;
  TComponent* FLink = nullptr; // not watched: the tests keep the target alive
};

class TTestControl : public TComponent {
public:
  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override;

  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* Value);
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  std::int32_t Width() const { return FWidth; }
  void SetWidth(std::int32_t Value); // refuses negative widths
  double Ratio() const { return FRatio; }
  void SetRatio(double Value) { FRatio = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign Value) { FAlign = Value; }
  TTestOptions Options() const { return FOptions; }
  void SetOptions(TTestOptions Value) { FOptions = Value; }
  TStringList& Lines() { return FLines; }
  void SetLines(const TStrings& Value);
  TTestTitle& Title() { return FTitle; }
  TCollection& Columns() { return FColumns; }
  TTestControl* Buddy() const { return FBuddy; }
  void SetBuddy(TTestControl* Value) { FBuddy = Value; }
  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* Value) { FLink = Value; }
  bool FailLoaded() const { return FFailLoaded; }
  void SetFailLoaded(bool Value) { FFailLoaded = Value; }

  TNotifyEvent OnClick;
  int LinesSetterCalls = 0; // SetLines calls, to prove a list arrives in one piece

  void Loaded() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TTestControl* FParent = nullptr;
  std::vector<TTestControl*> FChildren; // in placement order
  std::string FCaption;
  std::int32_t FWidth = 0;
  double FRatio = 0;
  bool FVisible = true;
  TTestAlign FAlign = alNone;
  TTestOptions FOptions;
  TStringList FLines;
  TTestTitle FTitle;
  TCollection FColumns = TCollection::Of<TTestColumn>();
  TTestControl* FBuddy = nullptr;
  TComponent* FLink = nullptr;
  bool FFailLoaded = false;
};

// The root: lists its non-control components first, then its child controls.
class TTestForm : public TTestControl {
public:
  explicit TTestForm(TComponent* AOwner = nullptr) : TTestControl(AOwner) {}
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

  // Published methods.
  void ButtonClick(TObject* Sender) { Clicks.push_back(Sender); }
  void DataSetOpened(TDataSet* DataSet) { OpenedDataSets.push_back(DataSet); }

  std::vector<TObject*> Clicks;
  std::vector<TDataSet*> OpenedDataSets;
  // "Name: what it saw", one line per Loaded call of the form and its controls.
  std::vector<std::string> LoadLog;
};

// A second root class, to check that a text for one class is refused by another.
class TOtherForm : public TTestForm {
public:
  using TTestForm::TTestForm;
};

// Registers the database classes, the test classes above and TProbeDataSet. Idempotent.
void RegisterStreamingTestClasses();

// The components Owner holds, in order.
std::vector<TComponent*> OwnedComponents(const TComponent& Owner);

} // namespace kelva::test
