// Registration of the dataset classes with the class registry.
#include "kelva/dataset/KelvaClasses.h"

#include "kelva/dataset/KelvaDataset.h"
#include "kelva/framework/db/DBClasses.h"
#include "kelva/framework/rtl/ClassBuilder.h"

#include <mutex>

namespace kelva {

namespace {
PTypeInfo EventType(const char* Name) {
  return new TTypeInfo{Name, tkMethod, {}, {}}; // lives as long as the registry
}
} // namespace

PTypeInfo TypeInfoKlvLoadNotifyEvent() {
  static const PTypeInfo T = EventType("TKlvLoadNotifyEvent");
  return T;
}
PTypeInfo TypeInfoKlvUpdateRecNotifyEvent() {
  static const PTypeInfo T = EventType("TklvUpdateRecNotifyEvent");
  return T;
}
PTypeInfo TypeInfoKlvUpdateNotifyEvent() {
  static const PTypeInfo T = EventType("TklvUpdateNotifyEvent");
  return T;
}

void RegisterKelvaClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterDbClasses();
    using D = TKelvaDataset;
    const TClassInfo* Kelva =
        TClassBuilder<D>("TKelvaDataset", ClassInfo<TDataSet>())
            .Strings("MetaFields", static_cast<TStrings& (D::*)()>(&D::MetaFields),
                     &D::SetKLVFields)
            .Strings("ParamsDesc", static_cast<TStrings& (D::*)()>(&D::ParamsDesc),
                     &D::SetFParamsDesc)
            .Bool("CachedUpdates", &D::CachedUpdates, &D::SetCachedUpdates, false)
            .Bool("RawLoadFireStdEvents", &D::RawLoadFireStdEvents, &D::SetRawLoadFireStdEvents,
                  false)
            .Bool("ReadOnly", &D::ReadOnly, &D::SetReadOnly, false)
            .Reference<TDataSource>("MasterSource", "TDataSource", &D::MasterSource,
                                    &D::SetMasterSource)
            .Register();
    TClassBuilder<TEventDataset>("TEventDataset", Kelva)
        .Creatable()
        .Event("OnUpdate", TypeInfoKlvUpdateNotifyEvent(), &TEventDataset::OnUpdate)
        .Event("OnUpdaterec", TypeInfoKlvUpdateRecNotifyEvent(), &TEventDataset::OnUpdaterec)
        .Event("OnLoad", TypeInfoKlvLoadNotifyEvent(), &TEventDataset::OnLoad)
        .Register();
  });
}

} // namespace kelva
