// The published properties and events of the database classes, so that form files and the
// designer can store and edit datasets, data sources and persistent fields.
#pragma once

#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

// The event types of the database layer, one descriptor each: a published method binds to an
// event only when both name the same descriptor.
PTypeInfo TypeInfoDataSetNotifyEvent();
PTypeInfo TypeInfoFilterRecordEvent();
PTypeInfo TypeInfoDataSetErrorEvent();
PTypeInfo TypeInfoDataChangeEvent();
PTypeInfo TypeInfoFieldNotifyEvent();
// The enumeration of field kinds (fkData, fkCalculated, fkLookup, fkInternalCalc).
PTypeInfo TypeInfoFieldKind();

// Registers TDataSet, TDataSource, TField and the field classes (after the run-time library's
// classes). Safe to call many times.
void RegisterDbClasses();

} // namespace kelva
