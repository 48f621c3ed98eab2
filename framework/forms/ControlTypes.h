// Type descriptors of the forms layer's published enumerations, sets and events, for
// classes that publish properties or handlers of these types.
#pragma once

#include "kelva/framework/rtl/TypeInfo.h"

namespace kelva {

PTypeInfo TypeInfoAlign();
PTypeInfo TypeInfoFormBorderStyle();
PTypeInfo TypeInfoPosition();
PTypeInfo TypeInfoComboBoxStyle();
PTypeInfo TypeInfoNavButtonSet();
PTypeInfo TypeInfoDBGridOptions();
PTypeInfo TypeInfoCloseQueryEvent();
PTypeInfo TypeInfoTabChangingEvent();
PTypeInfo TypeInfoNavClick();

} // namespace kelva
