// The published properties and events of TKelvaDataset and TEventDataset, for form files
// and the designer.
#pragma once

#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

PTypeInfo TypeInfoKlvLoadNotifyEvent();
PTypeInfo TypeInfoKlvUpdateRecNotifyEvent();
PTypeInfo TypeInfoKlvUpdateNotifyEvent();

// Registers TKelvaDataset and TEventDataset (after the database layer's classes). Safe to
// call many times.
void RegisterKelvaClasses();

} // namespace kelva
