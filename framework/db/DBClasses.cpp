// Class registrations of the database layer. Defaults match the constructors, so that an
// untouched component writes nothing but what identifies it (a field: its FieldName).
#include "kelva/framework/db/DBClasses.h"

#include "kelva/framework/db/DataSet.h"
#include "kelva/framework/db/DataSource.h"
#include "kelva/framework/db/Fields.h"
#include "kelva/framework/rtl/ClassBuilder.h"

#include <mutex>

namespace kelva {

namespace {

PTypeInfo MakeEventType(const char* Name) {
  return new TTypeInfo{Name, tkMethod, {}, {}}; // lives as long as the registry that uses it
}

void RegisterDataSet(const TClassInfo* Component) {
  const PTypeInfo Notify = TypeInfoDataSetNotifyEvent();
  const PTypeInfo Error = TypeInfoDataSetErrorEvent();
  TClassBuilder<TDataSet>("TDataSet", Component)
      .Bool("Active", &TDataSet::Active, &TDataSet::SetActive, false)
      .Bool("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered, false)
      .Bool("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields, true)
      .Event("BeforeOpen", Notify, &TDataSet::BeforeOpen)
      .Event("AfterOpen", Notify, &TDataSet::AfterOpen)
      .Event("BeforeClose", Notify, &TDataSet::BeforeClose)
      .Event("AfterClose", Notify, &TDataSet::AfterClose)
      .Event("BeforeInsert", Notify, &TDataSet::BeforeInsert)
      .Event("AfterInsert", Notify, &TDataSet::AfterInsert)
      .Event("BeforeEdit", Notify, &TDataSet::BeforeEdit)
      .Event("AfterEdit", Notify, &TDataSet::AfterEdit)
      .Event("BeforePost", Notify, &TDataSet::BeforePost)
      .Event("AfterPost", Notify, &TDataSet::AfterPost)
      .Event("BeforeCancel", Notify, &TDataSet::BeforeCancel)
      .Event("AfterCancel", Notify, &TDataSet::AfterCancel)
      .Event("BeforeDelete", Notify, &TDataSet::BeforeDelete)
      .Event("AfterDelete", Notify, &TDataSet::AfterDelete)
      .Event("BeforeScroll", Notify, &TDataSet::BeforeScroll)
      .Event("AfterScroll", Notify, &TDataSet::AfterScroll)
      .Event("OnCalcFields", Notify, &TDataSet::OnCalcFields)
      .Event("OnNewRecord", Notify, &TDataSet::OnNewRecord)
      .Event("OnFilterRecord", TypeInfoFilterRecordEvent(), &TDataSet::OnFilterRecord)
      .Event("OnPostError", Error, &TDataSet::OnPostError)
      .Event("OnDeleteError", Error, &TDataSet::OnDeleteError)
      .Event("OnEditError", Error, &TDataSet::OnEditError)
      .Register();
}

void RegisterDataSource(const TClassInfo* Component) {
  TClassBuilder<TDataSource>("TDataSource", Component)
      .Creatable()
      .Reference<TDataSet>("DataSet", "TDataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
      .Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true)
      .Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit, true)
      .Event("OnStateChange", TypeInfoNotifyEvent(), &TDataSource::OnStateChange)
      .Event("OnDataChange", TypeInfoDataChangeEvent(), &TDataSource::OnDataChange)
      .Event("OnUpdateData", TypeInfoNotifyEvent(), &TDataSource::OnUpdateData)
      .Register();
}

// DisplayWidth reads the class default while none is set; only a width that was set is stored.
TPropInfo DisplayWidthProperty() {
  TPropInfo P;
  P.Name = "DisplayWidth";
  P.PropType = TypeInfoInteger();
  P.GetOrd = [](TObject* O) { return std::int64_t{static_cast<TField*>(O)->DisplayWidth()}; };
  P.SetOrd = [](TObject* O, std::int64_t V) {
    static_cast<TField*>(O)->SetDisplayWidth(static_cast<std::int32_t>(V));
  };
  P.Stored = [](TObject* O) { return static_cast<TField*>(O)->IsDisplayWidthStored(); };
  return P;
}

void RegisterFields(const TClassInfo* Component) {
  const PTypeInfo Notify = TypeInfoFieldNotifyEvent();
  const TClassInfo* Field =
      TClassBuilder<TField>("TField", Component)
          .String("FieldName", &TField::FieldName, &TField::SetFieldName)
          .Enum("FieldKind", TypeInfoFieldKind(), &TField::FieldKind, &TField::SetFieldKind, fkData)
          .String("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel)
          .Property(DisplayWidthProperty())
          .Bool("Visible", &TField::Visible, &TField::SetVisible, true)
          .Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly, false)
          .Bool("Required", &TField::Required, &TField::SetRequired, false)
          .Event("OnChange", Notify, &TField::OnChange)
          .Event("OnValidate", Notify, &TField::OnValidate)
          .Register();

  TClassBuilder<TStringField>("TStringField", Field)
      .CreatableRestrictedToLinks()
      .Integer("Size", &TStringField::Size, &TStringField::SetSize, 20)
      .Register();
  const TClassInfo* Numeric = TClassBuilder<TNumericField>("TNumericField", Field).Register();
  const TClassInfo* Integer = TClassBuilder<TIntegerField>("TIntegerField", Numeric)
                                  .CreatableRestrictedToLinks()
                                  .Register();
  TClassBuilder<TSmallintField>("TSmallintField", Integer).CreatableRestrictedToLinks().Register();
  TClassBuilder<TFloatField>("TFloatField", Numeric).CreatableRestrictedToLinks().Register();
  // Size is the number of decimals of a BCD field: without it a reloaded field would round.
  TClassBuilder<TBCDField>("TBCDField", Numeric)
      .CreatableRestrictedToLinks()
      .Integer("Size", &TBCDField::Size, &TBCDField::SetSize, 4)
      .Register();
  TClassBuilder<TBooleanField>("TBooleanField", Field).CreatableRestrictedToLinks().Register();
  const TClassInfo* DateTime = TClassBuilder<TDateTimeField>("TDateTimeField", Field)
                                   .CreatableRestrictedToLinks()
                                   .Register();
  TClassBuilder<TDateField>("TDateField", DateTime).CreatableRestrictedToLinks().Register();
  TClassBuilder<TTimeField>("TTimeField", DateTime).CreatableRestrictedToLinks().Register();
}

} // namespace

PTypeInfo TypeInfoDataSetNotifyEvent() {
  static const PTypeInfo T = MakeEventType("TDataSetNotifyEvent");
  return T;
}
PTypeInfo TypeInfoFilterRecordEvent() {
  static const PTypeInfo T = MakeEventType("TFilterRecordEvent");
  return T;
}
PTypeInfo TypeInfoDataSetErrorEvent() {
  static const PTypeInfo T = MakeEventType("TDataSetErrorEvent");
  return T;
}
PTypeInfo TypeInfoDataChangeEvent() {
  static const PTypeInfo T = MakeEventType("TDataChangeEvent");
  return T;
}
PTypeInfo TypeInfoFieldNotifyEvent() {
  static const PTypeInfo T = MakeEventType("TFieldNotifyEvent");
  return T;
}
PTypeInfo TypeInfoFieldKind() {
  static const PTypeInfo T = new TTypeInfo{
      "TFieldKind", tkEnumeration, {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc"}, {}};
  return T;
}

void RegisterDbClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterRtlClasses();
    const TClassInfo* Component = ClassInfo<TComponent>();
    RegisterDataSet(Component);
    RegisterDataSource(Component);
    RegisterFields(Component);
  });
}

} // namespace kelva
