// The test components of StreamingFixtures.h and their class registrations.
#include "StreamingFixtures.h"

#include "kelva/framework/db/DBClasses.h"
#include "kelva/framework/rtl/ClassBuilder.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <algorithm>
#include <mutex>

namespace kelva::test {

TTestControl::TTestControl(TComponent* AOwner) : TComponent(AOwner) {}

TTestControl::~TTestControl() {
  for (TTestControl* Child : FChildren) Child->FParent = nullptr;
  SetParent(nullptr);
}

void TTestControl::SetParent(TTestControl* Value) {
  if (Value == FParent) return;
  if (FParent) std::erase(FParent->FChildren, this);
  FParent = Value;
  if (FParent) FParent->FChildren.push_back(this);
}

void TTestControl::SetParentComponent(TComponent* Value) {
  auto* Control = dynamic_cast<TTestControl*>(Value);
  if (Value && !Control) throw EComponentError("A control needs a control as its parent");
  SetParent(Control);
}

void TTestControl::GetChildren(const std::function<void(TComponent*)>& Proc,
                               TComponent* Root) const {
  for (TTestControl* Child : FChildren)
    if (Child->Owner() == Root) Proc(Child);
}

void TTestControl::SetWidth(std::int32_t Value) {
  if (Value < 0) throw EInvalidOperation("Width must not be negative");
  FWidth = Value;
}

void TTestControl::SetLines(const TStrings& Value) {
  ++LinesSetterCalls;
  FLines.Assign(Value);
}

void TTestControl::Loaded() {
  TComponent::Loaded();
  std::string Seen = Name() + ":";
  if (ComponentState().Contains(csReading)) Seen += " reading";
  if (ComponentState().Contains(csLoading)) Seen += " loading";
  Seen += " buddy=" + (FBuddy ? FBuddy->Name() : std::string("-"));
  Seen += " link=" + (FLink ? FLink->Name() : std::string("-"));
  Seen += " caption=" + FCaption;
  for (TComponent* O = this; O; O = O->Owner())
    if (auto* Form = dynamic_cast<TTestForm*>(O)) {
      Form->LoadLog.push_back(Seen);
      break;
    }
  if (FFailLoaded) throw EComponentError("Loaded refused by " + Name());
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FBuddy) FBuddy = nullptr;
  if (AComponent == FLink) FLink = nullptr;
}

void TTestForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  if (Root == this)
    for (std::int32_t I = 0; I < ComponentCount(); ++I)
      if (!Components(I)->GetParentComponent() && !dynamic_cast<TTestControl*>(Components(I)))
        Proc(Components(I));
  TTestControl::GetChildren(Proc, Root);
}

namespace {

PTypeInfo AlignType() {
  static const TTypeInfo T{"TTestAlign", tkEnumeration, {"alNone", "alTop", "alClient"}, {}};
  return &T;
}

PTypeInfo OptionsType() {
  static const TTypeInfo T{"TTestOptions", tkSet, {"toTitles", "toIndicator", "toLines"}, {}};
  return &T;
}

void RegisterClasses() {
  RegisterDbClasses();
  const TClassInfo* Persistent = ClassInfo<TPersistent>();
  TClassBuilder<TTestTitle>("TTestTitle", Persistent)
      .String("Caption", &TTestTitle::Caption, &TTestTitle::SetCaption)
      .Integer("Height", &TTestTitle::Height, &TTestTitle::SetHeight)
      .Register();
  TClassBuilder<TTestColumn>("TTestColumn", ClassInfo<TCollectionItem>())
      .String("FieldName", &TTestColumn::FieldName, &TTestColumn::SetFieldName)
      .Integer("Width", &TTestColumn::Width, &TTestColumn::SetWidth, 64)
      .Reference<TComponent>("Link", "TComponent", &TTestColumn::Link, &TTestColumn::SetLink)
      .Register();
  const TClassInfo* Control =
      TClassBuilder<TTestControl>("TTestControl", ClassInfo<TComponent>())
          .Creatable()
          .String("Caption", &TTestControl::Caption, &TTestControl::SetCaption)
          .Integer("Width", &TTestControl::Width, &TTestControl::SetWidth)
          .Float("Ratio", &TTestControl::Ratio, &TTestControl::SetRatio)
          .Bool("Visible", &TTestControl::Visible, &TTestControl::SetVisible, true)
          .Enum("Align", AlignType(), &TTestControl::Align, &TTestControl::SetAlign, alNone)
          .SetOf("Options", OptionsType(), &TTestControl::Options, &TTestControl::SetOptions,
                 TTestOptions{})
          .Strings("Lines", &TTestControl::Lines, &TTestControl::SetLines)
          .Object("Title", "TTestTitle", &TTestControl::Title)
          .Object("Columns", "TCollection", &TTestControl::Columns)
          .Reference<TTestControl>("Buddy", "TTestControl", &TTestControl::Buddy,
                                   &TTestControl::SetBuddy)
          .Reference<TComponent>("Link", "TComponent", &TTestControl::Link, &TTestControl::SetLink)
          .Bool("FailLoaded", &TTestControl::FailLoaded, &TTestControl::SetFailLoaded, false)
          .Event("OnClick", TypeInfoNotifyEvent(), &TTestControl::OnClick)
          .Register();
  const TClassInfo* Form =
      TClassBuilder<TTestForm>("TTestForm", Control)
          .Creatable()
          .Method<TNotifyEvent>("ButtonClick", TypeInfoNotifyEvent(), &TTestForm::ButtonClick)
          .Method<TDataSetNotifyEvent>("DataSetOpened", TypeInfoDataSetNotifyEvent(),
                                       &TTestForm::DataSetOpened)
          .Register();
  TClassBuilder<TOtherForm>("TOtherForm", Form).Creatable().Register();
  TClassBuilder<ProbeDataSet>("TProbeDataSet", ClassInfo<TDataSet>()).Creatable().Register();
}

} // namespace

void RegisterStreamingTestClasses() {
  static std::once_flag Once;
  std::call_once(Once, RegisterClasses);
}

std::vector<TComponent*> OwnedComponents(const TComponent& Owner) {
  std::vector<TComponent*> List;
  for (std::int32_t I = 0; I < Owner.ComponentCount(); ++I) List.push_back(Owner.Components(I));
  return List;
}

} // namespace kelva::test
